#include "game/frontend/VideoPanel.h"

#include "engine/base/Screen.h"
#include "engine/graphics/Label.h"
#include "engine/gui/BoolSelect.h"

#include "game/progress/Configuration.h"

#include <cassert>

namespace Tarvo
{

namespace
{

static_assert(SDLK_UP == 273 && SDLK_DOWN == 274 && SDLK_RETURN == 13);

constexpr const char* FullscreenText = "FULLSCREEN";
// Offsets from the panel's position, in pixels.
constexpr int FullscreenY = -50;
constexpr int BackY = -10;

} // namespace

VideoPanel::VideoPanel(Configuration* configuration, Fernhouse::Base::Screen* screen)
    : m_configuration(configuration),
      m_screen(screen)
{
    assert(configuration != nullptr && screen != nullptr);
    auto fullscreenLabel = makeLabel(FullscreenText, FocusColor);
    auto fullscreenSelect = makeSelect(configuration->isFullscreen());
    auto backLabel = makeLabel(BackText, NormalColor);
    placeChoiceRow(*fullscreenLabel, *fullscreenSelect, FullscreenY);
    placeCentred(*backLabel, BackY);

    m_fullscreenLabel = fullscreenLabel.release();
    m_fullscreenSelect = fullscreenSelect.release();
    m_backLabel = backLabel.release();
    addChild(m_fullscreenLabel);
    addChild(m_fullscreenSelect);
    addChild(m_backLabel);
    listen(m_fullscreenSelect, true);
}

VideoPanel::~VideoPanel()
{
    if (m_selectorFocused)
    {
        listen(m_fullscreenSelect, false);
    }
}

bool VideoPanel::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (!isPlain(ctrl, shift, alt))
    {
        return false;
    }
    switch (key)
    {
        case SDLK_UP:
        case SDLK_DOWN:
            m_selectorFocused = !m_selectorFocused;
            listen(m_fullscreenSelect, m_selectorFocused);
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

} // namespace Tarvo
