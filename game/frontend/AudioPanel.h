#pragma once

#include "engine/base/Color.h"

#include "game/frontend/SettingsPanel.h"

namespace Fernhouse::Base
{
class Entity;
} // namespace Fernhouse::Base

namespace Fernhouse::GUI
{
class Label;
class SlideBar;
} // namespace Fernhouse::GUI

namespace Fernhouse::Graphics
{
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class Configuration;

// Music and sound volume on two slide bars, and a way back. A new volume is stored in the configuration
// and handed to the sound manager in the same frame, so it is heard while the bar moves. Laid out around
// the panel's position; the focused bar alone is registered with the event router.
class AudioPanel final : public SettingsPanel
{
public:
    static constexpr Fernhouse::Base::Color FocusBarColor{255, 255, 255, 255};
    static constexpr Fernhouse::Base::Color NormalBarColor{150, 150, 150, 255};

    // Neither is owned; both must outlive the panel. Needs the EventRouter and the texture and font
    // services; throws their loading errors.
    AudioPanel(Configuration* configuration, Fernhouse::Sound::SoundManager* soundManager);
    ~AudioPanel() override;

    // Up and Down move the focus, Return on the back row ends the panel. Modifiers leave every key alone.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    // Applies changed volumes, then updates the rows.
    void update() override;

    Fernhouse::GUI::SlideBar* getMusicBar() const { return m_musicBar; }

    Fernhouse::GUI::SlideBar* getSoundBar() const { return m_soundBar; }

    Fernhouse::GUI::Label* getBackLabel() const { return m_backLabel; }

    Fernhouse::GUI::Label* getMusicLabel() const { return m_musicLabel; }

    Fernhouse::GUI::Label* getSoundLabel() const { return m_soundLabel; }

    // One of the two bars or the back label.
    Fernhouse::Base::Entity* getFocus() const { return m_focus; }

private:
    void setFocus(Fernhouse::Base::Entity* focus);
    // Recolours a row and registers or unregisters its bar.
    void markRow(Fernhouse::Base::Entity* row, bool focused);

    Fernhouse::GUI::SlideBar* m_musicBar = nullptr;           // owned, a child
    Fernhouse::GUI::SlideBar* m_soundBar = nullptr;           // owned, a child
    Fernhouse::GUI::Label* m_backLabel = nullptr;             // owned, a child
    Fernhouse::GUI::Label* m_musicLabel = nullptr;            // owned, a child
    Fernhouse::GUI::Label* m_soundLabel = nullptr;            // owned, a child
    Fernhouse::Base::Entity* m_focus = nullptr;               // one of the two bars or the back label
    Fernhouse::Graphics::TextureMap* m_sliderImage = nullptr; // freed through TextureFactory
    Configuration* m_configuration;                           // not owned
    Fernhouse::Sound::SoundManager* m_soundManager;           // not owned
};

} // namespace Tarvo
