#pragma once

#include "engine/base/FramePacer.h"

#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{
class FontManager;
class TextureFactory;
} // namespace Fernhouse::Graphics

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Fernhouse::Base
{

class EventRouter;
class GameTime;
class Screen;

// The frame of a program: owns the screen, the event router, the clock and the texture, font and sound
// services. A program derives from it, calls init from its constructor and runs the frame loop in run.
// Only one may live at a time.
class Application
{
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The process exit code.
    virtual int run() = 0;

    // Initialises SDL, opens the window and creates the sound manager from the mixer's values (Hz, SDL
    // sample format, mixing channels, chunk size). Throws ScreenCreateFailedException when the window
    // cannot be opened; no sound manager exists then. Throws the SoundException when no audio device can
    // be opened, after putting a silent sound manager in place, so the program can run on without sound.
    void init(const std::string& caption, std::uint32_t width, std::uint32_t height,
              std::uint32_t bitsPerPixel, bool fullscreen, int audioFrequency, std::uint16_t audioFormat,
              int audioChannels, int audioChunkSize);

    // Null until init has opened the window.
    Screen* getScreen() const { return m_screen; }

    EventRouter* getEventRouter() const { return m_eventRouter; }

    GameTime* getGameTime() const { return m_gameTime; }

    // Null until init has run.
    Sound::SoundManager* getSoundManager() const { return m_soundManager; }

    Graphics::TextureFactory* getTextureFactory() const { return m_textureFactory; }

    Graphics::FontManager* getFontManager() const { return m_fontManager; }

    // The live application, or null.
    static Application* getInstance() { return s_instance; }

    // Whether frame loops sleep to the display's rate where the driver gives no vertical sync; on by
    // default. Tests that drive frames with a fake clock switch it off.
    static void setFramePacing(bool paced) { s_paced = paced; }

    // Whether a frame with nothing changed goes undrawn and unswapped; on by default.
    void setDrawOnlyChanges(bool value) { m_drawOnlyChanges = value; }

    // Clears the screen and draws the whole entity tree as it is, without swapping: what a frame shows.
    void redraw();

    // The end of every frame of any loop: draws and swaps when a repaint was asked for (or always, when
    // drawing only changes is off), then paces. Returns whether the frame was drawn.
    bool presentFrame();

    // Whether the last frame was drawn and swapped.
    bool wasLastFrameDrawn() const { return m_lastFrameDrawn; }

    FramePacer& getFramePacer() { return m_pacer; }

protected:
    // One pass of the frame loop. Returns false once a quit event has arrived (nothing is drawn then).
    bool frame();
    // The program's per-frame step, between clearing the screen and updating the entity tree: the place
    // to add or remove screen children and handlers.
    virtual void step();

private:
    Screen* m_screen = nullptr;                           // owned
    Graphics::TextureFactory* m_textureFactory = nullptr; // owned
    Graphics::FontManager* m_fontManager = nullptr;       // owned
    Sound::SoundManager* m_soundManager = nullptr;        // owned
    EventRouter* m_eventRouter = nullptr;                 // owned
    GameTime* m_gameTime = nullptr;                       // owned
    FramePacer m_pacer{&FramePacer::realClock, &FramePacer::realSleep};
    bool m_drawOnlyChanges = true;
    bool m_lastFrameDrawn = false;

    static Application* s_instance;
    static bool s_paced;
};

} // namespace Fernhouse::Base
