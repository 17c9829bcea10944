#pragma once

#include "engine/io/KeySet.h"

#include "game/frontend/SettingsPanel.h"

#include <array>
#include <map>
#include <string>

namespace Fernhouse::GUI
{
class BoolSelect;
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

class Configuration;

// One player's steering keys and relative control. Return on a key row waits for the next key and takes
// it when it can be assigned and neither player uses it. The keys and the steering flag go back to the
// configuration when the panel is deleted. Laid out around the panel's position.
class PlayerConfig final : public SettingsPanel
{
public:
    // Characters of the key-name field of a row, which right-aligns the name.
    static constexpr int CaptionWidth = 15;
    static constexpr const char* WaitingText = "PRESS A KEY";

    struct KeyName
    {
        std::string name;
        bool used;
    };

    // configuration is not owned and must outlive the panel; firstPlayer selects player 1's settings,
    // else player 2's. Needs the EventRouter and the font service; throws the font loading errors.
    PlayerConfig(Configuration* configuration, bool firstPlayer);
    // Writes the keys and the steering flag to the configuration.
    ~PlayerConfig() override;

    // Modifiers leave every key alone, also while waiting for a key.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;

    // The 75 keys that can be assigned, each with the name a row shows for it.
    static std::map<SDLKey, KeyName> assignableKeys();
    // A row's text: the caption, then the name right-aligned in CaptionWidth characters filled with dots.
    static std::string rowText(const std::string& caption, const std::string& name);

    bool isWaitingForKey() const { return m_waitingForKey; }

    const Fernhouse::IO::KeySet& getKeys() const { return m_keys; }

    const std::map<SDLKey, KeyName>& getKeyNames() const { return m_keyNames; }

    Fernhouse::GUI::Label* getFocus() const { return m_focus; }

    Fernhouse::GUI::Label* getBackLabel() const { return m_backLabel; }

    Fernhouse::GUI::Label* getRelativeLabel() const { return m_relativeLabel; }

    Fernhouse::GUI::Label* getLeftLabel() const { return m_leftLabel; }

    Fernhouse::GUI::Label* getRightLabel() const { return m_rightLabel; }

    Fernhouse::GUI::Label* getUpLabel() const { return m_upLabel; }

    Fernhouse::GUI::Label* getDownLabel() const { return m_downLabel; }

    Fernhouse::GUI::BoolSelect* getRelativeSelect() const { return m_relativeSelect; }

private:
    static constexpr std::size_t RowCount = 6;

    // The rows in focus order from the top.
    std::array<Fernhouse::GUI::Label*, RowCount> rows() const;
    void moveFocus(int rows);
    void setFocus(Fernhouse::GUI::Label* focus);
    // The key field of a direction row; null for the other rows.
    SDLKey* keyOf(const Fernhouse::GUI::Label* row);
    const std::string& captionOf(const Fernhouse::GUI::Label* row) const;
    void showKey(Fernhouse::GUI::Label* row);
    bool assignKey(SDLKey key);

    std::array<std::string, 4> m_captions{"LEFT.", "RIGHT", "UP...", "DOWN."};
    Fernhouse::GUI::Label* m_backLabel = nullptr;           // owned, a child
    Fernhouse::GUI::Label* m_relativeLabel = nullptr;       // owned, a child
    Fernhouse::GUI::Label* m_leftLabel = nullptr;           // owned, a child
    Fernhouse::GUI::Label* m_rightLabel = nullptr;          // owned, a child
    Fernhouse::GUI::Label* m_upLabel = nullptr;             // owned, a child
    Fernhouse::GUI::Label* m_downLabel = nullptr;           // owned, a child
    Fernhouse::GUI::BoolSelect* m_relativeSelect = nullptr; // owned, a child
    Configuration* m_configuration;                         // not owned
    bool m_firstPlayer;
    Fernhouse::GUI::Label* m_focus = nullptr; // one of the six labels
    bool m_waitingForKey = false;
    std::map<SDLKey, KeyName> m_keyNames;
    Fernhouse::IO::KeySet m_keys;
};

} // namespace Tarvo
