#include "game/frontend/VideoPanel.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"
#include "engine/gui/BoolSelect.h"

#include "game/progress/Configuration.h"

#include <cassert>
#include <memory>
#include <string>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Base::EventRouter;
using Fernhouse::GUI::BoolSelect;
using Fernhouse::GUI::Label;

static_assert(SDLK_UP == 273 && SDLK_DOWN == 274 && SDLK_RETURN == 13);

constexpr const char* FontName = "comic_medium";
constexpr const char* FullscreenText = "FULLSCREEN";
constexpr const char* BackText = "BACK..";
constexpr const char* OnText = "ON";
constexpr const char* OffText = "OFF";
constexpr const char* SeparatorText = "/";
// Offsets from the panel's position, in pixels; the gap lies between the caption and the selector.
constexpr int FullscreenY = -50;
constexpr int BackY = -10;
constexpr int Gap = 50;

EventRouter& router()
{
    EventRouter* current = EventRouter::getInstance();
    assert(current != nullptr && "a panel registers its selector with the event router");
    return *current;
}

std::unique_ptr<Label> makeLabel(const std::string& text, const Color& color)
{
    auto label = std::make_unique<Label>(FontName);
    label->setText(text);
    label->setColor(color);
    return label;
}

int textWidth(const Label& label)
{
    return static_cast<int>(label.getFont()->getTextSize(label.getText()).w);
}

} // namespace

VideoPanel::VideoPanel(Configuration* configuration, Fernhouse::Base::Screen* screen)
    : m_configuration(configuration),
      m_screen(screen)
{
    assert(configuration != nullptr && screen != nullptr);
    auto fullscreenLabel = makeLabel(FullscreenText, FocusColor);
    auto fullscreenSelect =
        std::make_unique<BoolSelect>(FontName, &NormalColor, &FocusColor, OnText, OffText, SeparatorText);
    fullscreenSelect->setValue(configuration->isFullscreen());
    auto backLabel = makeLabel(BackText, NormalColor);

    const int captionWidth = textWidth(*fullscreenLabel);
    const int x0 = -(captionWidth + fullscreenSelect->getWidth() + Gap) / 2;
    fullscreenLabel->setPosition(x0, FullscreenY);
    fullscreenSelect->setPosition(x0 + Gap + captionWidth, FullscreenY);
    backLabel->setPosition(-textWidth(*backLabel) / 2, BackY);

    m_fullscreenLabel = fullscreenLabel.release();
    m_fullscreenSelect = fullscreenSelect.release();
    m_backLabel = backLabel.release();
    addChild(m_fullscreenLabel);
    addChild(m_fullscreenSelect);
    addChild(m_backLabel);
    router().addHandler(m_fullscreenSelect);
}

VideoPanel::~VideoPanel()
{
    if (m_selectorFocused)
    {
        router().removeHandler(m_fullscreenSelect);
    }
    removeChild(m_fullscreenLabel);
    removeChild(m_fullscreenSelect);
    removeChild(m_backLabel);
    delete m_backLabel;
    delete m_fullscreenLabel;
    delete m_fullscreenSelect;
}

bool VideoPanel::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (ctrl || shift || alt)
    {
        return false;
    }
    switch (key)
    {
        case SDLK_UP:
        case SDLK_DOWN:
            m_selectorFocused = !m_selectorFocused;
            if (m_selectorFocused)
            {
                router().addHandler(m_fullscreenSelect);
            }
            else
            {
                router().removeHandler(m_fullscreenSelect);
            }
            m_fullscreenLabel->setColor(m_selectorFocused ? FocusColor : NormalColor);
            m_backLabel->setColor(m_selectorFocused ? NormalColor : FocusColor);
            return true;
        case SDLK_RETURN:
            if (!m_selectorFocused)
            {
                setDone(true);
            }
            return true;
        default:
            return false;
    }
}

void VideoPanel::update()
{
    const bool fullscreen = m_fullscreenSelect->getValue();
    if (fullscreen != m_configuration->isFullscreen())
    {
        m_configuration->setFullscreen(fullscreen);
        m_screen->setFullscreen(fullscreen);
    }
    Entity::update();
}

void VideoPanel::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.pushMatrix();
    applyTransform();
    Entity::draw();
    painter.popMatrix();
}

} // namespace Tarvo
