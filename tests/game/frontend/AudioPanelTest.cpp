#include "game/frontend/AudioPanel.h"

#include "engine/base/Color.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/gui/SlideBar.h"
#include "engine/sound/SoundManager.h"

#include "tests/game/frontend/PanelFixture.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

using Fernhouse::Base::Color;
using Tarvo::AudioPanel;

using AudioPanelTest = PanelSupport::PanelTest<AudioPanel>;

// Down and Up wrap through music, sound and back; only the focused row is lit and only its bar is
// registered, so with the back row focused Left and Right reach nobody.
TEST_F(AudioPanelTest, FocusCyclesThroughTheRowsAndOnlyTheFocusedBarHearsKeys)
{
    AudioPanel& panel = open(m_app.getSoundManager());
    const auto expectFocus = [&](const Fernhouse::Base::Entity* focus) {
        EXPECT_EQ(panel.getFocus(), focus);
        const bool music = focus == panel.getMusicBar();
        const bool sound = focus == panel.getSoundBar();
        EXPECT_EQ(isRegistered(panel.getMusicBar()), music);
        EXPECT_EQ(isRegistered(panel.getSoundBar()), sound);
        EXPECT_EQ(panel.getMusicLabel()->getColor(),
                  music ? AudioPanel::FocusColor : AudioPanel::NormalColor);
        EXPECT_EQ(panel.getMusicBar()->getColor(),
                  music ? AudioPanel::FocusBarColor : AudioPanel::NormalBarColor);
        EXPECT_EQ(panel.getSoundLabel()->getColor(),
                  sound ? AudioPanel::FocusColor : AudioPanel::NormalColor);
        EXPECT_EQ(panel.getSoundBar()->getColor(),
                  sound ? AudioPanel::FocusBarColor : AudioPanel::NormalBarColor);
        EXPECT_EQ(panel.getBackLabel()->getColor(),
                  focus == panel.getBackLabel() ? AudioPanel::FocusColor : AudioPanel::NormalColor);
    };
    expectFocus(panel.getMusicBar());
    for (const auto& [key, focus] :
         {std::pair<SDLKey, Fernhouse::Base::Entity*>{SDLK_DOWN, panel.getSoundBar()},
          {SDLK_DOWN, panel.getBackLabel()},
          {SDLK_DOWN, panel.getMusicBar()},
          {SDLK_UP, panel.getBackLabel()},
          {SDLK_UP, panel.getSoundBar()}})
    {
        EXPECT_TRUE(press(key));
        expectFocus(focus);
        EXPECT_EQ(press(SDLK_LEFT), focus != panel.getBackLabel());
    }
}

TEST_F(AudioPanelTest, BarsChangeTheVolumesHeardInTheSameUpdateWithinZeroTo100)
{
    m_configuration.setMusicVolume(90);
    m_configuration.setSoundVolume(50);
    open(m_app.getSoundManager());
    EXPECT_EQ(m_panel->getMusicBar()->getValue(), 90);
    EXPECT_EQ(m_panel->getSoundBar()->getValue(), 50);

    EXPECT_TRUE(press(SDLK_RIGHT));
    m_panel->update();
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);
    EXPECT_EQ(m_app.getSoundManager()->getMusicVolume(), 100u);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);
    press(SDLK_RIGHT);
    m_panel->update();
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);

    press(SDLK_DOWN);
    press(SDLK_LEFT);
    m_panel->update();
    EXPECT_EQ(m_configuration.getSoundVolume(), 40u);
    EXPECT_EQ(m_app.getSoundManager()->getSoundVolume(), 40u);
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME * 40 / 100);
    EXPECT_EQ(m_configuration.getMusicVolume(), 100u);
}

TEST_F(AudioPanelTest, OnlyReturnOnTheBackRowEndsThePanelAndEscapeOrModifiedKeysPassOn)
{
    open(m_app.getSoundManager());
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_FALSE(m_panel->isDone());
    EXPECT_FALSE(press(SDLK_ESCAPE));
    EXPECT_FALSE(press(SDLK_DOWN, true));
    EXPECT_FALSE(press(SDLK_RIGHT, true));
    EXPECT_EQ(m_panel->getFocus(), m_panel->getMusicBar());
    EXPECT_EQ(m_panel->getMusicBar()->getValue(), static_cast<int>(Tarvo::Configuration::DefaultVolume));
    press(SDLK_UP);
    EXPECT_FALSE(m_panel->isDone());
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_TRUE(m_panel->isDone());
}

TEST_F(AudioPanelTest, DeletingReleasesTheSliderSheetAndLeavesNoHandler)
{
    Fernhouse::Graphics::TextureFactory* factory = m_app.getTextureFactory();
    // The labels' font stays loaded throughout, so only the slider sheet comes and goes.
    const Fernhouse::GUI::Label fontHolder("comic_medium");
    const std::size_t maps = factory->getTextureMapCount();
    open(m_app.getSoundManager());
    EXPECT_EQ(factory->getTextureMapCount(), maps + 1);
    press(SDLK_DOWN);
    close();
    EXPECT_EQ(factory->getTextureMapCount(), maps);
    EXPECT_TRUE(router().getHandlers().empty());

    open(m_app.getSoundManager());
    press(SDLK_UP);
    close();
    EXPECT_TRUE(router().getHandlers().empty());
}

TEST_F(AudioPanelTest, RowsAreDrawnAroundThePanelPositionInTheirColours)
{
    open(m_app.getSoundManager());
    m_panel->update();
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    m_panel->draw();
    // Each label centred on x 250; the font's glyphs are not empty, so each box holds its colour.
    const Fernhouse::Graphics::Font* font = m_panel->getMusicLabel()->getFont();
    const auto music = font->getTextSize("MUSIC VOLUME");
    const int musicX = 250 - static_cast<int>(music.w) / 2;
    EXPECT_GT(
        countColor(musicX, 285, static_cast<int>(music.w), static_cast<int>(music.h), AudioPanel::FocusColor),
        0);
    EXPECT_EQ(countColor(0, 0, musicX, 600, AudioPanel::FocusColor), 0);
    // The bars' sheet leaves five clear rows above the bar: music 60 above the position, sound 20 below.
    for (const int top : {310, 390})
    {
        EXPECT_EQ(countColor(150, top - 1, 200, 1, Color(0, 0, 0, 255)), 200) << top;
        EXPECT_LT(countColor(150, top, 200, 1, Color(0, 0, 0, 255)), 200) << top;
    }
    const auto back = font->getTextSize("BACK..");
    EXPECT_GT(countColor(250 - static_cast<int>(back.w) / 2, 445, static_cast<int>(back.w),
                         static_cast<int>(back.h), AudioPanel::NormalColor),
              0);
}
