#pragma once

#include "game/frontend/SettingsPanel.h"

namespace Fernhouse::Base
{
class Screen;
} // namespace Fernhouse::Base

namespace Fernhouse::GUI
{
class BoolSelect;
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

class Configuration;

// Full screen on or off, and a way back. A new choice is stored in the configuration and switches the
// screen in the same frame. Laid out around the panel's position; the selector is registered with the
// event router while its row has the focus.
class VideoPanel final : public SettingsPanel
{
public:
    // Neither is owned; both must outlive the panel. Needs the EventRouter and the font service; throws
    // the font loading errors.
    VideoPanel(Configuration* configuration, Fernhouse::Base::Screen* screen);
    ~VideoPanel() override;

    // Up and Down move the focus, Return on the back row ends the panel. Modifiers leave every key alone.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    // Switches the screen when the choice changed, then updates the rows. Throws what the screen's
    // setFullscreen throws.
    void update() override;

    Fernhouse::GUI::Label* getBackLabel() const { return m_backLabel; }

    Fernhouse::GUI::Label* getFullscreenLabel() const { return m_fullscreenLabel; }

    Fernhouse::GUI::BoolSelect* getFullscreenSelect() const { return m_fullscreenSelect; }

    bool isSelectorFocused() const { return m_selectorFocused; }

private:
    Fernhouse::GUI::Label* m_backLabel = nullptr;             // owned, a child
    Fernhouse::GUI::Label* m_fullscreenLabel = nullptr;       // owned, a child
    Fernhouse::GUI::BoolSelect* m_fullscreenSelect = nullptr; // owned, a child
    bool m_selectorFocused = true;
    Configuration* m_configuration;    // not owned
    Fernhouse::Base::Screen* m_screen; // not owned
};

} // namespace Tarvo
