#pragma once

#include "engine/base/Application.h"
#include "engine/base/Color.h"
#include "engine/base/EventRouter.h"
#include "engine/graphics/FontManager.h"

#include "game/progress/Configuration.h"

#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace PanelSupport
{

// The services a panel finds in the running game: window, event router, fonts, textures and a sound
// manager (on SDL's dummy driver unless the environment names another).
class PanelApp final : public Fernhouse::Base::Application
{
public:
    PanelApp()
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        init("Tarvo panels", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048);
        getFontManager()->setFontDirectory("graphics/fonts/");
    }

    int run() override { return 0; }
};

// A working directory holding the game's pictures, the application, a configuration to edit, and the
// panel, built and registered as the front end does it. Keys reach it through the event router.
template <typename Panel> class PanelTest : public ::testing::Test
{
protected:
    PanelTest()
    {
        std::filesystem::create_directory_symlink(std::filesystem::path(TARVO_SOURCE_DIR) / "graphics",
                                                  m_dir.path() / "graphics");
    }

    template <typename... Arguments> Panel& open(Arguments... arguments)
    {
        m_panel = std::make_unique<Panel>(&m_configuration, arguments...);
        m_panel->setPosition(250, 365);
        router().addHandler(m_panel.get());
        return *m_panel;
    }

    void close()
    {
        router().removeHandler(m_panel.get());
        m_panel.reset();
    }

    bool press(SDLKey key, bool shift = false) { return router().keyDown(key, false, shift, false); }

    Fernhouse::Base::EventRouter& router() { return *m_app.getEventRouter(); }

    bool isRegistered(const Fernhouse::Base::EventHandler* handler)
    {
        const auto& handlers = router().getHandlers();
        return std::find(handlers.begin(), handlers.end(), handler) != handlers.end();
    }

    // Pixels of exactly the colour in a rectangle of the current frame, top-left origin.
    static int countColor(int x, int y, int w, int h, const Fernhouse::Base::Color& color)
    {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, 600 - y - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int count = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3)
        {
            count += (rgb[i] == color.r && rgb[i + 1] == color.g && rgb[i + 2] == color.b) ? 1 : 0;
        }
        return count;
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    PanelApp m_app;
    Tarvo::Configuration m_configuration;
    std::unique_ptr<Panel> m_panel;
};

} // namespace PanelSupport
