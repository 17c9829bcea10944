#pragma once

#include "engine/base/Color.h"
#include "engine/gui/Widget.h"

#include <optional>
#include <string>

namespace Fernhouse::GUI
{

class Label;

// Two words and a separator on one line ("ON/OFF"), toggled by Left and Right; the chosen word takes the
// chosen colour, the other the normal one. Drawn with its transform, so the words follow its position.
class BoolSelect : public Widget
{
public:
    // The labels load fontName through FontManager and throw its errors. Each colour may be null (the
    // labels then keep theirs) and is copied. Value true. Done from the start: a selector lives inside a
    // panel and is never polled.
    BoolSelect(const std::string& fontName, const Base::Color* normalColor, const Base::Color* chosenColor,
               const std::string& trueText, const std::string& falseText, const std::string& separatorText);
    BoolSelect(const BoolSelect&) = delete;
    BoolSelect& operator=(const BoolSelect&) = delete;
    ~BoolSelect() override;

    // The colours follow at the next update.
    void setValue(bool value) { m_value = value; }

    bool getValue() const { return m_value; }

    // The three texts side by side, in pixels.
    int getWidth() const { return m_width; }

    // The font's glyph height, in pixels.
    int getHeight() const { return m_height; }

    // Any modifier leaves the key to later handlers.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void update() override;
    void draw() override;

private:
    Label* m_trueLabel = nullptr;      // owned, a child
    Label* m_falseLabel = nullptr;     // owned, a child
    Label* m_separatorLabel = nullptr; // owned, a child
    std::optional<Base::Color> m_normalColor;
    std::optional<Base::Color> m_chosenColor;
    bool m_value = true;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Fernhouse::GUI
