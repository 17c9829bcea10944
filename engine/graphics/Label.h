#pragma once

#include "engine/base/Color.h"
#include "engine/base/Entity.h"
#include "engine/base/Size.h"

#include <string>

namespace Fernhouse::Graphics
{
class Font;
} // namespace Fernhouse::Graphics

namespace Fernhouse::GUI
{

// One line of text in a bitmap font, its top-left corner at the entity position, in the entity colour,
// optionally on a box of the background colour. Children of a label are not drawn.
class Label : public Base::Entity
{
public:
    Label();
    // Loads the font through FontManager; throws its loading errors.
    explicit Label(const std::string& fontName);
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;
    ~Label() override;

    // Releases the held font before loading the new one; if loading throws, the label holds no font.
    void setFont(const std::string& fontName);

    // Null when none is held; shared, never deleted by the caller.
    Graphics::Font* getFont() const { return m_font; }

    // Checked only when drawn: a byte without a glyph throws GenericFontException from draw.
    void setText(const std::string& text);

    std::string getText() const { return m_text; }

    void setBackgroundColor(const Base::Color& color);

    Base::Color getBackgroundColor() const { return m_backgroundColor; }

    void setDrawBackground(bool value);

    bool isDrawBackground() const { return m_drawBackground; }

    // How far the background box reaches beyond the text on each side, in pixels, read as signed values.
    void setMargin(const Base::Size& margin);

    Base::Size getMargin() const { return m_margin; }

    void draw() override;

private:
    std::string m_text;
    Graphics::Font* m_font = nullptr; // shared through FontManager
    Base::Color m_backgroundColor;
    bool m_drawBackground = false;
    Base::Size m_margin;
};

} // namespace Fernhouse::GUI
