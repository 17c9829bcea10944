#include "game/frontend/PlayerConfig.h"

#include "engine/base/Layout.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/gui/BoolSelect.h"

#include "game/progress/Configuration.h"

#include <algorithm>
#include <cassert>
#include <memory>
#include <utility>

namespace Tarvo
{

namespace
{

using Fernhouse::GUI::Label;
using Fernhouse::IO::KeySet;

static_assert(SDLK_UP == 273 && SDLK_DOWN == 274 && SDLK_RETURN == 13);
static_assert(SDLK_COMMA == 44 && SDLK_GREATER == 62 && SDLK_LEFTBRACKET == 91 && SDLK_BACKQUOTE == 96);
static_assert(SDLK_a == 97 && SDLK_z == 122 && SDLK_KP0 == 256 && SDLK_KP_PLUS == 270);
static_assert(SDLK_UP == 273 && SDLK_PAGEDOWN == 281);

constexpr const char* RelativeText = "RELATIVE CONTROL";
constexpr char Filler = '.';
constexpr std::uint32_t RelativeOn = 1;
constexpr std::uint32_t RelativeOff = 0;
// Offsets from the panel's position, in pixels.
constexpr int RelativeY = -100;
constexpr int KeyRowX = -150;
constexpr std::array<int, 4> KeyRowY{-60, -20, 20, 60};
constexpr int BackY = 100;

// The keypad signs and the cursor and editing keys, in key code order.
constexpr std::array<const char*, 5> KeypadSignNames{"KP_PERIOD", "KP_DIVIDE", "KP_MULTIPLY", "KP_MINUS",
                                                     "KP_PLUS"};
constexpr std::array<const char*, 9> CursorNames{"UP",   "DOWN", "RIGHT",  "LEFT",    "INSERT",
                                                 "HOME", "END",  "PAGEUP", "PAGEDOWN"};

// Keys whose sign no font sheet draws, spelled out so that their row can be shown.
constexpr std::array<std::pair<SDLKey, const char*>, 4> SpelledSigns{{{SDLK_LEFTBRACKET, "LEFTBRACKET"},
                                                                      {SDLK_RIGHTBRACKET, "RIGHTBRACKET"},
                                                                      {SDLK_CARET, "CARET"},
                                                                      {SDLK_BACKQUOTE, "BACKQUOTE"}}};

std::string signName(SDLKey key)
{
    const char sign = static_cast<char>(key);
    if (Fernhouse::Graphics::Font::canDraw(sign))
    {
        return std::string(1, sign);
    }
    const auto spelled = std::find_if(SpelledSigns.begin(), SpelledSigns.end(),
                                      [key](const auto& entry) { return entry.first == key; });
    assert(spelled != SpelledSigns.end() && "every assignable sign is drawn or spelled");
    return spelled->second;
}

void addRange(std::map<SDLKey, PlayerConfig::KeyName>& names, int first, int last)
{
    for (int code = first; code <= last; ++code)
    {
        const auto key = static_cast<SDLKey>(code);
        names[key] = {signName(key), false};
    }
}

} // namespace

std::map<SDLKey, PlayerConfig::KeyName> PlayerConfig::assignableKeys()
{
    std::map<SDLKey, KeyName> names;
    addRange(names, SDLK_COMMA, SDLK_GREATER);
    addRange(names, SDLK_LEFTBRACKET, SDLK_BACKQUOTE);
    for (int code = SDLK_a; code <= SDLK_z; ++code)
    {
        names[static_cast<SDLKey>(code)] = {std::string(1, static_cast<char>(code - SDLK_a + 'A')), false};
    }
    for (int digit = 0; digit <= SDLK_KP9 - SDLK_KP0; ++digit)
    {
        names[static_cast<SDLKey>(SDLK_KP0 + digit)] = {"KP" + std::to_string(digit), false};
    }
    for (std::size_t i = 0; i < KeypadSignNames.size(); ++i)
    {
        names[static_cast<SDLKey>(SDLK_KP_PERIOD + static_cast<int>(i))] = {KeypadSignNames[i], false};
    }
    for (std::size_t i = 0; i < CursorNames.size(); ++i)
    {
        names[static_cast<SDLKey>(SDLK_UP + static_cast<int>(i))] = {CursorNames[i], false};
    }
    return names;
}

std::string PlayerConfig::rowText(const std::string& caption, const std::string& name)
{
    return caption + Fernhouse::Base::Layout::rightAligned(name, CaptionWidth, Filler);
}

PlayerConfig::PlayerConfig(Configuration* configuration, bool firstPlayer)
    : m_configuration(configuration),
      m_firstPlayer(firstPlayer),
      m_keyNames(assignableKeys())
{
    assert(configuration != nullptr);
    m_keys = firstPlayer ? configuration->getPlayer1Keys() : configuration->getPlayer2Keys();
    for (const KeySet* keys : {&configuration->getPlayer1Keys(), &configuration->getPlayer2Keys()})
    {
        for (const SDLKey key : {keys->left, keys->right, keys->up, keys->down, keys->action1, keys->action2})
        {
            const auto found = m_keyNames.find(key);
            if (found != m_keyNames.end())
            {
                found->second.used = true;
            }
        }
    }
    const std::uint32_t relative =
        firstPlayer ? configuration->getPlayer1Relative() : configuration->getPlayer2Relative();

    // Everything waits in guards until all exist, so a font that fails to load leaves nothing behind.
    auto relativeLabel = makeLabel(RelativeText, FocusColor);
    auto relativeSelect = makeSelect(relative == RelativeOn);
    std::array<std::unique_ptr<Label>, 4> keyRows;
    for (std::size_t i = 0; i < keyRows.size(); ++i)
    {
        keyRows[i] = makeLabel("", NormalColor);
        keyRows[i]->setPosition(KeyRowX, KeyRowY[i]);
    }
    auto backLabel = makeLabel(BackText, NormalColor);

    placeChoiceRow(*relativeLabel, *relativeSelect, RelativeY);
    placeCentred(*backLabel, BackY);

    m_relativeLabel = relativeLabel.release();
    m_relativeSelect = relativeSelect.release();
    m_leftLabel = keyRows[0].release();
    m_rightLabel = keyRows[1].release();
    m_upLabel = keyRows[2].release();
    m_downLabel = keyRows[3].release();
    m_backLabel = backLabel.release();
    addChild(m_relativeLabel);
    addChild(m_relativeSelect);
    for (Label* row : {m_leftLabel, m_rightLabel, m_upLabel, m_downLabel})
    {
        showKey(row);
        addChild(row);
    }
    addChild(m_backLabel);
    m_focus = m_relativeLabel;
    listen(m_relativeSelect, true);
}

PlayerConfig::~PlayerConfig()
{
    const std::uint32_t relative = m_relativeSelect->getValue() ? RelativeOn : RelativeOff;
    if (m_firstPlayer)
    {
        m_configuration->setPlayer1Relative(relative);
        m_configuration->setPlayer1Keys(m_keys);
    }
    else
    {
        m_configuration->setPlayer2Relative(relative);
        m_configuration->setPlayer2Keys(m_keys);
    }
    if (m_focus == m_relativeLabel)
    {
        listen(m_relativeSelect, false);
    }
}

std::array<Label*, PlayerConfig::RowCount> PlayerConfig::rows() const
{
    return {m_relativeLabel, m_leftLabel, m_rightLabel, m_upLabel, m_downLabel, m_backLabel};
}

bool PlayerConfig::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (!isPlain(ctrl, shift, alt))
    {
        return false;
    }
    if (m_waitingForKey)
    {
        return assignKey(key);
    }
    switch (key)
    {
        case SDLK_DOWN:
            moveFocus(1);
            return true;
        case SDLK_UP:
            moveFocus(-1);
            return true;
        case SDLK_RETURN:
            if (m_focus == m_backLabel)
            {
                setDone(true);
            }
            else if (SDLKey* assigned = keyOf(m_focus))
            {
                // Freed first, so the row may take its own key again.
                const auto found = m_keyNames.find(*assigned);
                if (found != m_keyNames.end())
                {
                    found->second.used = false;
                }
                m_focus->setText(rowText(captionOf(m_focus), WaitingText));
                m_waitingForKey = true;
            }
            return true;
        default:
            return false;
    }
}

bool PlayerConfig::assignKey(SDLKey key)
{
    const auto found = m_keyNames.find(key);
    if (found == m_keyNames.end())
    {
        return false;
    }
    if (found->second.used)
    {
        return true;
    }
    *keyOf(m_focus) = key;
    found->second.used = true;
    showKey(m_focus);
    m_waitingForKey = false;
    return true;
}

void PlayerConfig::moveFocus(int rows)
{
    const std::array<Label*, RowCount> order = this->rows();
    const auto current = static_cast<int>(std::find(order.begin(), order.end(), m_focus) - order.begin());
    const int count = static_cast<int>(RowCount);
    setFocus(order[static_cast<std::size_t>((current + rows + count) % count)]);
}

void PlayerConfig::setFocus(Label* focus)
{
    if (m_focus == m_relativeLabel || focus == m_relativeLabel)
    {
        listen(m_relativeSelect, focus == m_relativeLabel);
    }
    m_focus->setColor(NormalColor);
    focus->setColor(FocusColor);
    m_focus = focus;
}

SDLKey* PlayerConfig::keyOf(const Label* row)
{
    if (row == m_leftLabel)
    {
        return &m_keys.left;
    }
    if (row == m_rightLabel)
    {
        return &m_keys.right;
    }
    if (row == m_upLabel)
    {
        return &m_keys.up;
    }
    if (row == m_downLabel)
    {
        return &m_keys.down;
    }
    return nullptr;
}

const std::string& PlayerConfig::captionOf(const Label* row) const
{
    const std::array<const Label*, 4> keyRows{m_leftLabel, m_rightLabel, m_upLabel, m_downLabel};
    const auto index =
        static_cast<std::size_t>(std::find(keyRows.begin(), keyRows.end(), row) - keyRows.begin());
    assert(index < m_captions.size() && "only the four key rows have captions");
    return m_captions[index];
}

void PlayerConfig::showKey(Label* row)
{
    const auto found = m_keyNames.find(*keyOf(row));
    row->setText(rowText(captionOf(row), found != m_keyNames.end() ? found->second.name : std::string()));
}

} // namespace Tarvo
