#include "game/frontend/PlayerConfig.h"

#include "engine/graphics/Label.h"
#include "engine/gui/BoolSelect.h"

#include "tests/game/frontend/PanelFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

using Fernhouse::IO::KeySet;
using Tarvo::PlayerConfig;

using PlayerConfigTest = PanelSupport::PanelTest<PlayerConfig>;

namespace
{

std::string dots(std::size_t count)
{
    return std::string(count, '.');
}

} // namespace

TEST(PlayerConfigKeys, SeventyFiveKeysCanBeAssignedAndEachNameCanBeDrawn)
{
    const auto keys = PlayerConfig::assignableKeys();
    EXPECT_EQ(keys.size(), 75u);
    for (const auto& [key, name] : std::map<SDLKey, std::string>{{SDLK_COMMA, ","},
                                                                 {SDLK_9, "9"},
                                                                 {SDLK_BACKSLASH, "\\"},
                                                                 {SDLK_a, "A"},
                                                                 {SDLK_KP0, "KP0"},
                                                                 {SDLK_KP_MULTIPLY, "KP_MULTIPLY"},
                                                                 {SDLK_PAGEDOWN, "PAGEDOWN"},
                                                                 {SDLK_LEFTBRACKET, "LEFTBRACKET"}})
    {
        EXPECT_EQ(keys.at(key).name, name);
    }
    for (const SDLKey refused : {SDLK_SPACE, SDLK_RETURN, SDLK_ESCAPE, SDLK_TAB, SDLK_F1, SDLK_KP_ENTER,
                                 SDLK_KP_EQUALS, SDLK_LSHIFT, SDLK_QUESTION, SDLK_AT})
    {
        EXPECT_EQ(keys.count(refused), 0u) << refused;
    }
    for (const auto& [key, name] : keys)
    {
        EXPECT_LE(name.name.size(), static_cast<std::size_t>(PlayerConfig::CaptionWidth)) << key;
        EXPECT_FALSE(name.used);
    }
    EXPECT_EQ(PlayerConfig::rowText("LEFT.", "LEFT"), "LEFT." + dots(11) + "LEFT");
    EXPECT_EQ(PlayerConfig::rowText("UP...", ""), "UP..." + dots(15));
}

TEST_F(PlayerConfigTest, RowsShowTheKeysAndEveryKeyNameDrawsWithTheMenuFont)
{
    open(false);
    EXPECT_EQ(m_panel->getLeftLabel()->getText(), "LEFT." + dots(14) + "A");
    EXPECT_EQ(m_panel->getRightLabel()->getText(), "RIGHT" + dots(14) + "D");
    EXPECT_EQ(m_panel->getUpLabel()->getText(), "UP..." + dots(14) + "W");
    EXPECT_EQ(m_panel->getDownLabel()->getText(), "DOWN." + dots(14) + "S");
    EXPECT_EQ(m_panel->getFocus(), m_panel->getRelativeLabel());
    EXPECT_TRUE(isRegistered(m_panel->getRelativeSelect()));
    EXPECT_FALSE(m_panel->getRelativeSelect()->getValue());
    EXPECT_EQ(m_panel->getRelativeLabel()->getColor(), PlayerConfig::FocusColor);

    // A name the font cannot draw would end the game from the panel's draw.
    Fernhouse::GUI::Label probe("comic_medium");
    for (const auto& [key, name] : PlayerConfig::assignableKeys())
    {
        probe.setText(PlayerConfig::rowText("LEFT.", name.name));
        EXPECT_NO_THROW(probe.draw()) << name.name;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    EXPECT_NO_THROW(m_panel->draw());
    // Six rows 40 pixels apart, the first 100 above the panel's position: relative, four keys, back.
    const Fernhouse::Base::Color black(0, 0, 0, 255);
    for (int top = 265; top <= 465; top += 40)
    {
        EXPECT_EQ(countColor(0, top - 1, 800, 1, black), 800) << top;
        EXPECT_LT(countColor(0, top, 800, 1, black), 800) << top;
    }
}

TEST_F(PlayerConfigTest, KeysUsedByEitherPlayerAreRefusedWhileWaitingAndOwnKeyIsAccepted)
{
    open(true);
    EXPECT_TRUE(press(SDLK_DOWN));
    EXPECT_EQ(m_panel->getFocus(), m_panel->getLeftLabel());
    EXPECT_FALSE(isRegistered(m_panel->getRelativeSelect()));
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_TRUE(m_panel->isWaitingForKey());
    EXPECT_EQ(m_panel->getLeftLabel()->getText(), "LEFT." + dots(4) + "PRESS A KEY");

    // Player 2 steers with A; Space cannot be assigned and passes on; neither ends the wait.
    EXPECT_TRUE(press(SDLK_a));
    EXPECT_FALSE(press(SDLK_SPACE));
    EXPECT_FALSE(press(SDLK_j, true));
    EXPECT_TRUE(m_panel->isWaitingForKey());
    EXPECT_EQ(m_panel->getKeys().left, SDLK_LEFT);

    // The row's own key was freed when the row was chosen.
    EXPECT_TRUE(press(SDLK_LEFT));
    EXPECT_FALSE(m_panel->isWaitingForKey());
    EXPECT_EQ(m_panel->getKeys().left, SDLK_LEFT);
    EXPECT_EQ(m_panel->getLeftLabel()->getText(), "LEFT." + dots(11) + "LEFT");

    // Another row: the freed Up key is taken by Up itself rather than moving the focus.
    press(SDLK_DOWN);
    press(SDLK_DOWN);
    EXPECT_EQ(m_panel->getFocus(), m_panel->getUpLabel());
    press(SDLK_RETURN);
    EXPECT_TRUE(press(SDLK_UP));
    EXPECT_FALSE(m_panel->isWaitingForKey());
    EXPECT_EQ(m_panel->getFocus(), m_panel->getUpLabel());
    press(SDLK_RETURN);
    EXPECT_TRUE(press(SDLK_KP8));
    EXPECT_EQ(m_panel->getKeys().up, SDLK_KP8);
    EXPECT_EQ(m_panel->getUpLabel()->getText(), "UP..." + dots(12) + "KP8");
    EXPECT_FALSE(m_panel->getKeyNames().at(SDLK_UP).used);
    EXPECT_TRUE(m_panel->getKeyNames().at(SDLK_KP8).used);
}

TEST_F(PlayerConfigTest, FocusWrapsThroughSixRowsAndReturnOnBackEndsThePanel)
{
    open(true);
    PlayerConfig& panel = *m_panel;
    EXPECT_TRUE(press(SDLK_UP));
    EXPECT_EQ(panel.getFocus(), panel.getBackLabel());
    EXPECT_EQ(panel.getBackLabel()->getColor(), PlayerConfig::FocusColor);
    EXPECT_EQ(panel.getRelativeLabel()->getColor(), PlayerConfig::NormalColor);
    EXPECT_TRUE(press(SDLK_DOWN));
    EXPECT_EQ(panel.getFocus(), panel.getRelativeLabel());
    // Return on the relative row does nothing; Left toggles its selector.
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_FALSE(panel.isWaitingForKey());
    EXPECT_TRUE(press(SDLK_LEFT));
    EXPECT_TRUE(panel.getRelativeSelect()->getValue());
    for (int i = 0; i < 5; ++i)
    {
        press(SDLK_DOWN);
    }
    EXPECT_EQ(panel.getFocus(), panel.getBackLabel());
    EXPECT_FALSE(press(SDLK_ESCAPE));
    EXPECT_FALSE(press(SDLK_RETURN, true));
    EXPECT_FALSE(panel.isDone());
    EXPECT_TRUE(press(SDLK_RETURN));
    EXPECT_TRUE(panel.isDone());
}

TEST_F(PlayerConfigTest, LeavingWritesTheKeysAndSteeringOfItsPlayerOnly)
{
    KeySet second = m_configuration.getPlayer2Keys();
    second.action1 = SDLK_q;
    m_configuration.setPlayer2Keys(second);
    m_configuration.setPlayer2Relative(1);
    open(false);
    EXPECT_TRUE(m_panel->getRelativeSelect()->getValue());
    press(SDLK_RIGHT);
    press(SDLK_DOWN);
    press(SDLK_DOWN);
    press(SDLK_RETURN);
    press(SDLK_g);
    close();
    EXPECT_EQ(m_configuration.getPlayer2Relative(), 0u);
    EXPECT_EQ(m_configuration.getPlayer2Keys().right, SDLK_g);
    EXPECT_EQ(m_configuration.getPlayer2Keys().left, SDLK_a);
    EXPECT_EQ(m_configuration.getPlayer2Keys().action1, SDLK_q);
    EXPECT_EQ(m_configuration.getPlayer2Keys().buffered, second.buffered);
    EXPECT_EQ(m_configuration.getPlayer1Keys().left, SDLK_LEFT);
    EXPECT_EQ(m_configuration.getPlayer1Relative(), 0u);
    EXPECT_TRUE(router().getHandlers().empty());

    // Leaving at once still writes the keys: a damaged player-1 set is replaced by the panel's copy.
    KeySet first = m_configuration.getPlayer1Keys();
    first.up = SDLK_RIGHT;
    m_configuration.setPlayer1Keys(first);
    open(true);
    close();
    EXPECT_EQ(m_configuration.getPlayer1Keys().up, SDLK_RIGHT);
    EXPECT_EQ(m_configuration.getPlayer1Relative(), 0u);
}
