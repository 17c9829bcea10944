#include "game/frontend/VideoPanel.h"

#include "engine/base/Screen.h"
#include "engine/graphics/Label.h"
#include "engine/gui/BoolSelect.h"

#include "tests/game/frontend/PanelFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

using Tarvo::VideoPanel;

static_assert(!std::is_copy_constructible_v<VideoPanel> && !std::is_copy_assignable_v<VideoPanel>);

namespace
{

class VideoPanelTest : public PanelSupport::PanelTest
{
protected:
    void open()
    {
        m_panel = std::make_unique<VideoPanel>(&m_configuration, m_app.getScreen());
        m_panel->setPosition(250, 365);
        router().addHandler(m_panel.get());
    }

    void close()
    {
        router().removeHandler(m_panel.get());
        m_panel.reset();
    }

    std::unique_ptr<VideoPanel> m_panel;
};

} // namespace

TEST_F(VideoPanelTest, ChoosingOnSwitchesTheScreenAtOnceAndStoresTheChoice)
{
    open();
    EXPECT_FALSE(m_panel->getFullscreenSelect()->getValue());
    m_panel->update();
    EXPECT_FALSE(m_app.getScreen()->isFullscreen());

    EXPECT_TRUE(press(SDLK_RIGHT));
    m_panel->update();
    EXPECT_TRUE(m_configuration.isFullscreen());
    EXPECT_TRUE(m_app.getScreen()->isFullscreen());

    EXPECT_TRUE(press(SDLK_LEFT));
    m_panel->update();
    EXPECT_FALSE(m_configuration.isFullscreen());
    EXPECT_FALSE(m_app.getScreen()->isFullscreen());
}

TEST_F(VideoPanelTest, UpAndDownMoveTheFocusAndTheSelectorHearsKeysOnlyOnItsRow)
{
    m_configuration.setFullscreen(true);
    open();
    VideoPanel& panel = *m_panel;
    EXPECT_TRUE(panel.getFullscreenSelect()->getValue());
    EXPECT_TRUE(panel.isSelectorFocused());
    EXPECT_TRUE(isRegistered(panel.getFullscreenSelect()));
    EXPECT_EQ(panel.getFullscreenLabel()->getColor(), VideoPanel::FocusColor);
    EXPECT_EQ(panel.getBackLabel()->getColor(), VideoPanel::NormalColor);

    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_FALSE(panel.isDone());
    EXPECT_TRUE(press(SDLK_DOWN));
    EXPECT_FALSE(panel.isSelectorFocused());
    EXPECT_FALSE(isRegistered(panel.getFullscreenSelect()));
    EXPECT_EQ(panel.getFullscreenLabel()->getColor(), VideoPanel::NormalColor);
    EXPECT_EQ(panel.getBackLabel()->getColor(), VideoPanel::FocusColor);
    EXPECT_FALSE(press(SDLK_RIGHT));
    EXPECT_TRUE(panel.getFullscreenSelect()->getValue());
    EXPECT_FALSE(press(SDLK_ESCAPE));
    EXPECT_FALSE(press(SDLK_RETURN, true));
    EXPECT_FALSE(panel.isDone());

    EXPECT_TRUE(press(SDLK_UP));
    EXPECT_TRUE(isRegistered(panel.getFullscreenSelect()));
    close();
    EXPECT_TRUE(router().getHandlers().empty());
}
