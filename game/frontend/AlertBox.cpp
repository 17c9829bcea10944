#include "game/frontend/AlertBox.h"

#include "engine/base/Application.h"
#include "engine/base/Color.h"
#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/base/Layout.h"
#include "engine/base/Rect.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <vector>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Application;
using Fernhouse::Base::Color;
using Fernhouse::Base::EventRouter;
using Fernhouse::Base::GameTime;
using Fernhouse::Base::Rect;
using Fernhouse::Base::Screen;
using Fernhouse::Graphics::Painter;
using Fernhouse::GUI::Label;

constexpr Color TitleColor(83, 148, 28, 255);
constexpr Color MessageColor(255, 90, 0, 255);
constexpr Color VeilColor(0, 0, 0, 180);
constexpr Color FrameColor = TitleColor;
constexpr Color BoxColor(0, 0, 0, 255);
// The box reaches this far beyond the wider text, and its height is this much more than three lines.
constexpr std::int32_t BoxPadding = 50;
constexpr std::int32_t FrameWidth = 2;
// The box holds the title, an empty line and the message lines.
constexpr std::int32_t LinesAboveMessage = 2;

// An error message may hold any byte (quotes, line ends), and a byte without a glyph would throw while the
// error is being shown.
constexpr char Substitute = '?';

std::string drawable(const std::string& text)
{
    std::string result = text;
    for (char& c : result)
    {
        if (!Fernhouse::Graphics::Font::canDraw(c))
        {
            c = Substitute;
        }
    }
    return result;
}

Screen* screen()
{
    Application* application = Application::getInstance();
    return application != nullptr ? application->getScreen() : nullptr;
}

Screen& requireScreen()
{
    Screen* current = screen();
    assert(current != nullptr && "an alert box is shown on the application's screen");
    return *current;
}

Rect rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    return Rect(x, y, static_cast<std::uint32_t>(std::max(w, 0)), static_cast<std::uint32_t>(std::max(h, 0)));
}

} // namespace

AlertBox::AlertBox(const std::string& title, const std::string& message, const std::string& fontName)
    : m_title(title),
      m_message(message),
      m_fontName(fontName)
{
}

AlertBox::~AlertBox()
{
    removeChild(m_titleLabel);
    delete m_titleLabel;
    for (Label* line : m_messageLines)
    {
        removeChild(line);
        delete line;
    }
    if (Screen* current = screen())
    {
        current->removeChild(this);
    }
    if (EventRouter* router = EventRouter::getInstance())
    {
        router->removeHandler(this);
    }
}

void AlertBox::show()
{
    // Deletes the box on every way out, as the caller was promised.
    std::unique_ptr<AlertBox> self(this);
    EventRouter* router = EventRouter::getInstance();
    assert(router != nullptr && "an alert box reads keys through the event router");
    requireScreen().addChild(this);
    router->addHandler(this);
    layOut();

    GameTime* clock = GameTime::getInstance();
    assert(clock != nullptr && "an alert box stops game time");
    clock->stop();
    runLoop();
    clock->start();
}

void AlertBox::layOut()
{
    const Screen& current = requireScreen();
    const std::uint32_t screenWidth = current.getWidth();
    const std::uint32_t screenHeight = current.getHeight();

    m_titleLabel = new Label(m_fontName);
    m_titleLabel->setText(drawable(m_title));
    m_titleLabel->setColor(TitleColor);
    const Fernhouse::Base::Size titleSize = m_titleLabel->getFont()->getTextSize(m_title);
    addChild(m_titleLabel);

    // Lines wider than the screen would be cut off on both sides.
    const Fernhouse::Graphics::Font& font = *m_titleLabel->getFont();
    const auto lineHeight = static_cast<std::int32_t>(titleSize.h);
    const auto maxWidth = static_cast<std::uint32_t>(std::max<std::int32_t>(
        static_cast<std::int32_t>(screenWidth) - 2 * BoxPadding, static_cast<std::int32_t>(titleSize.w)));
    const auto roomForLines =
        (static_cast<std::int32_t>(screenHeight) - BoxPadding) / std::max(lineHeight, 1) - LinesAboveMessage;
    const std::vector<std::string> lines = Fernhouse::Base::Layout::wrapped(
        drawable(m_message), [&](const std::string& line) { return font.getTextSize(line).w <= maxWidth; },
        static_cast<std::size_t>(std::max(roomForLines, 1)), "");

    std::uint32_t widest = titleSize.w;
    for (const std::string& line : lines)
    {
        widest = std::max(widest, font.getTextSize(line).w);
    }
    const auto lineCount = static_cast<std::int32_t>(std::max<std::size_t>(lines.size(), 1));
    m_boxWidth = static_cast<std::int32_t>(widest) + BoxPadding;
    m_boxHeight = (LinesAboveMessage + lineCount) * lineHeight + BoxPadding;
    m_boxX = (static_cast<std::int32_t>(screenWidth) - m_boxWidth) / 2;
    m_boxY = (static_cast<std::int32_t>(screenHeight) - m_boxHeight) / 2;

    std::int32_t y = m_boxY + BoxPadding / 2;
    m_titleLabel->setPosition(Fernhouse::Base::Layout::centred(screenWidth, titleSize.w), y);
    y += LinesAboveMessage * lineHeight;
    for (const std::string& text : lines)
    {
        auto* line = new Label(m_fontName);
        m_messageLines.push_back(line);
        line->setText(text);
        line->setColor(MessageColor);
        line->setPosition(Fernhouse::Base::Layout::centred(screenWidth, font.getTextSize(text).w), y);
        addChild(line);
        y += lineHeight;
    }
}

void AlertBox::runLoop()
{
    EventRouter& router = *EventRouter::getInstance();
    Screen& current = requireScreen();
    // No clock update and no GL error report here: the box only waits for the user, asleep between
    // events, and draws again after each.
    Application* application = Application::getInstance();
    bool open = router.poll();
    while (open && !isDone())
    {
        current.update();
        if (application != nullptr && application->getScreen() == &current)
        {
            application->presentFrame();
        }
        else
        {
            current.clear();
            current.draw();
            current.swapBuffers();
        }
        open = router.wait();
    }
}

bool AlertBox::keyDown(SDLKey, bool, bool, bool)
{
    setDone(true);
    return true;
}

void AlertBox::draw()
{
    const Screen& current = requireScreen();
    const auto screenWidth = static_cast<std::int32_t>(current.getWidth());
    const auto screenHeight = static_cast<std::int32_t>(current.getHeight());
    Painter::fillRect(rect(0, 0, screenWidth, screenHeight), VeilColor);
    Painter::fillRect(rect(m_boxX - FrameWidth, m_boxY - FrameWidth, m_boxWidth + 2 * FrameWidth,
                           m_boxHeight + 2 * FrameWidth),
                      FrameColor);
    Painter::fillRect(rect(m_boxX, m_boxY, m_boxWidth, m_boxHeight), BoxColor);
    Entity::draw();
}

} // namespace Tarvo
