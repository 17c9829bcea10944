#pragma once

#include "engine/gui/Widget.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Fernhouse::GUI
{
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

// A modal message box for a fatal error: a title and a message centred on a black box over a translucent
// veil, shown by its own small frame loop until any key or a quit event. A message wider than the screen
// is wrapped at blanks; one longer than the screen can hold ends in "...". Game time stands still meanwhile,
// and the loop sleeps until the next event.
class AlertBox : public Fernhouse::GUI::Widget
{
public:
    // fontName is loaded through FontManager when the box is shown.
    AlertBox(const std::string& title, const std::string& message, const std::string& fontName);
    AlertBox(const AlertBox&) = delete;
    AlertBox& operator=(const AlertBox&) = delete;
    // Leaves the screen and the event router.
    ~AlertBox() override;

    // Runs until dismissed, then deletes the box, also when it throws (a font that cannot be loaded):
    // the box must have been made with new, and the caller must not use or delete it afterwards. Needs
    // the application's screen, the EventRouter and the GameTime clock.
    void show();

    // Any key dismisses the box; nothing behind it sees the key.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void draw() override;

    // The black box in screen pixels, computed by show.
    std::int32_t getBoxX() const { return m_boxX; }

    std::int32_t getBoxY() const { return m_boxY; }

    std::int32_t getBoxWidth() const { return m_boxWidth; }

    std::int32_t getBoxHeight() const { return m_boxHeight; }

private:
    void layOut();
    void runLoop();

    std::string m_title;
    std::string m_message;
    std::string m_fontName;
    std::int32_t m_boxX = 0;
    std::int32_t m_boxY = 0;
    std::int32_t m_boxWidth = 0;
    std::int32_t m_boxHeight = 0;
    Fernhouse::GUI::Label* m_titleLabel = nullptr;      // owned, a child
    std::vector<Fernhouse::GUI::Label*> m_messageLines; // owned, children
};

} // namespace Tarvo
