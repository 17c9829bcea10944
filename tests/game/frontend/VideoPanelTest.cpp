#include "game/frontend/VideoPanel.h"

#include "engine/base/Screen.h"
#include "engine/graphics/Label.h"
#include "engine/gui/BoolSelect.h"

#include "tests/game/frontend/PanelFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using Tarvo::VideoPanel;
using VideoPanelTest = PanelSupport::PanelTest<VideoPanel>;

TEST_F(VideoPanelTest, ChoosingOnSwitchesTheScreenAtOnceAndStoresTheChoice)
{
    open(m_app.getScreen());
    EXPECT_FALSE(m_panel->getFullscreenSelect()->getValue());
    for (const auto& [key, on] : {std::pair{SDLK_RIGHT, true}, {SDLK_LEFT, false}})
    {
        EXPECT_TRUE(press(key));
        m_panel->update();
        EXPECT_EQ(m_configuration.isFullscreen(), on);
        EXPECT_EQ(m_app.getScreen()->isFullscreen(), on);
    }
}

// On the back row the selector is unregistered, so Left and Right pass on; Escape and Shift+Return never
// end the panel.
TEST_F(VideoPanelTest, UpAndDownMoveTheFocusAndTheSelectorHearsKeysOnlyOnItsRow)
{
    m_configuration.setFullscreen(true);
    VideoPanel& panel = open(m_app.getScreen());
    EXPECT_TRUE(panel.getFullscreenSelect()->getValue());
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_FALSE(panel.isDone());
    for (const bool onSelector : {true, false})
    {
        EXPECT_EQ(panel.isSelectorFocused(), onSelector);
        EXPECT_EQ(isRegistered(panel.getFullscreenSelect()), onSelector);
        EXPECT_EQ(panel.getFullscreenLabel()->getColor(),
                  onSelector ? VideoPanel::FocusColor : VideoPanel::NormalColor);
        EXPECT_EQ(panel.getBackLabel()->getColor(),
                  onSelector ? VideoPanel::NormalColor : VideoPanel::FocusColor);
        EXPECT_TRUE(press(onSelector ? SDLK_DOWN : SDLK_UP));
        if (onSelector)
        {
            EXPECT_FALSE(press(SDLK_RIGHT));
            EXPECT_FALSE(press(SDLK_ESCAPE));
            EXPECT_FALSE(press(SDLK_RETURN, true));
        }
    }
    EXPECT_TRUE(isRegistered(panel.getFullscreenSelect()));
    EXPECT_TRUE(panel.getFullscreenSelect()->getValue());
    EXPECT_FALSE(panel.isDone());
    // Closed with the selector focused: it goes off the router too.
    close();
    EXPECT_TRUE(router().getHandlers().empty());
}

// Caption, gap and selector span x 97 to 401 together, centred on the panel, on the row 50 above it.
TEST_F(VideoPanelTest, TheChoiceRowIsDrawnCentredOnThePanel)
{
    open(m_app.getScreen());
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    m_panel->draw();
    const Fernhouse::Base::Color black(0, 0, 0, 255);
    EXPECT_EQ(countColor(0, 314, 800, 1, black), 800);
    EXPECT_EQ(countColor(96, 315, 1, 16, black), 16);
    EXPECT_LT(countColor(97, 315, 1, 16, black), 16);
    EXPECT_LT(countColor(401, 315, 1, 16, black), 16);
    EXPECT_EQ(countColor(402, 315, 1, 16, black), 16);
}
