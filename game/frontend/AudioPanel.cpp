#include "game/frontend/AudioPanel.h"

#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/gui/SlideBar.h"
#include "engine/sound/SoundManager.h"

#include "game/progress/Configuration.h"

#include <cassert>
#include <memory>
#include <string>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Base::Entity;
using Fernhouse::Graphics::TextureFactory;
using Fernhouse::Graphics::TextureMap;
using Fernhouse::GUI::Label;
using Fernhouse::GUI::SlideBar;

static_assert(SDLK_UP == 273 && SDLK_DOWN == 274 && SDLK_RETURN == 13);

constexpr const char* SliderFile = "graphics/slider.png";
// The slider sheet fits one texture tile, which every bar draws from.
constexpr std::uint32_t SliderColumn = 0;
constexpr std::uint32_t SliderRow = 0;
constexpr const char* MusicText = "MUSIC VOLUME";
constexpr const char* SoundText = "SOUND VOLUME";
// Offsets from the panel's position, in pixels.
constexpr int MusicLabelY = -80;
constexpr int MusicBarY = -60;
constexpr int SoundLabelY = 0;
constexpr int SoundBarY = 20;
constexpr int BackLabelY = 80;
constexpr int BarX = -100;
constexpr int BarWidth = 200;

TextureFactory& textureFactory()
{
    TextureFactory* factory = TextureFactory::getInstance();
    assert(factory != nullptr && "the slider sheet is made by the texture factory");
    return *factory;
}

std::unique_ptr<SlideBar> makeBar(TextureMap* sliderImage, std::uint32_t volume, int y, const Color& color)
{
    auto bar = std::make_unique<SlideBar>(sliderImage->getTexture(SliderColumn, SliderRow));
    bar->setPosition(BarX, y);
    bar->setWidth(BarWidth);
    bar->setValue(static_cast<int>(volume));
    bar->setColor(color);
    return bar;
}

} // namespace

AudioPanel::AudioPanel(Configuration* configuration, Fernhouse::Sound::SoundManager* soundManager)
    : m_configuration(configuration),
      m_soundManager(soundManager)
{
    assert(configuration != nullptr && soundManager != nullptr);
    const Color transparentBlack;
    m_sliderImage = textureFactory().createTextureMap(SliderFile, &transparentBlack);
    // The rows wait in guards until all exist, so a font that fails to load leaves nothing behind.
    try
    {
        auto musicLabel = makeLabel(MusicText, FocusColor);
        auto musicBar = makeBar(m_sliderImage, configuration->getMusicVolume(), MusicBarY, FocusBarColor);
        auto soundLabel = makeLabel(SoundText, NormalColor);
        auto soundBar = makeBar(m_sliderImage, configuration->getSoundVolume(), SoundBarY, NormalBarColor);
        auto backLabel = makeLabel(BackText, NormalColor);
        placeCentred(*musicLabel, MusicLabelY);
        placeCentred(*soundLabel, SoundLabelY);
        placeCentred(*backLabel, BackLabelY);
        m_musicLabel = musicLabel.release();
        m_musicBar = musicBar.release();
        m_soundLabel = soundLabel.release();
        m_soundBar = soundBar.release();
        m_backLabel = backLabel.release();
    }
    catch (...)
    {
        textureFactory().freeTextureMap(m_sliderImage);
        throw;
    }
    addChild(m_musicLabel);
    addChild(m_musicBar);
    addChild(m_soundLabel);
    addChild(m_soundBar);
    addChild(m_backLabel);
    m_focus = m_musicBar;
    listen(m_musicBar, true);
}

AudioPanel::~AudioPanel()
{
    if (m_focus == m_musicBar || m_focus == m_soundBar)
    {
        listen(static_cast<SlideBar*>(m_focus), false);
    }
    if (TextureFactory* factory = TextureFactory::getInstance())
    {
        factory->freeTextureMap(m_sliderImage);
    }
}

bool AudioPanel::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (!isPlain(ctrl, shift, alt))
    {
        return false;
    }
    switch (key)
    {
        case SDLK_DOWN:
            setFocus(m_focus == m_musicBar   ? static_cast<Entity*>(m_soundBar)
                     : m_focus == m_soundBar ? static_cast<Entity*>(m_backLabel)
                                             : static_cast<Entity*>(m_musicBar));
            return true;
        case SDLK_UP:
            setFocus(m_focus == m_musicBar    ? static_cast<Entity*>(m_backLabel)
                     : m_focus == m_backLabel ? static_cast<Entity*>(m_soundBar)
                                              : static_cast<Entity*>(m_musicBar));
            return true;
        case SDLK_RETURN:
            if (m_focus == m_backLabel)
            {
                setDone(true);
            }
            return true;
        default:
            return false;
    }
}

void AudioPanel::setFocus(Entity* focus)
{
    markRow(m_focus, false);
    m_focus = focus;
    markRow(m_focus, true);
}

void AudioPanel::markRow(Entity* row, bool focused)
{
    const Color& labelColor = focused ? FocusColor : NormalColor;
    if (row == m_backLabel)
    {
        m_backLabel->setColor(labelColor);
        return;
    }
    SlideBar* bar = static_cast<SlideBar*>(row);
    listen(bar, focused);
    bar->setColor(focused ? FocusBarColor : NormalBarColor);
    (bar == m_musicBar ? m_musicLabel : m_soundLabel)->setColor(labelColor);
}

void AudioPanel::update()
{
    const auto soundVolume = static_cast<std::uint32_t>(m_soundBar->getValue());
    if (soundVolume != m_configuration->getSoundVolume())
    {
        m_configuration->setSoundVolume(soundVolume);
        m_soundManager->setSoundVolume(soundVolume);
    }
    const auto musicVolume = static_cast<std::uint32_t>(m_musicBar->getValue());
    if (musicVolume != m_configuration->getMusicVolume())
    {
        m_configuration->setMusicVolume(musicVolume);
        m_soundManager->setMusicVolume(musicVolume);
    }
    Entity::update();
}

} // namespace Tarvo
