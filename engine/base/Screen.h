#pragma once

#include "engine/base/Color.h"
#include "engine/base/Entity.h"
#include "engine/base/Size.h"

#include <cstdint>
#include <string>

namespace Fernhouse::Base
{

// The OpenGL window and the root of the entity tree. Its projection maps one unit to one pixel with
// the origin at the top left and y growing downwards.
class Screen final : public Entity
{
public:
    // Both open the window at once. Throw ScreenCreateFailedException when the mode cannot be set.
    Screen(const std::string& caption, std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel,
           bool fullscreen);
    Screen(const std::string& caption, const Size& size, std::uint32_t bitsPerPixel, bool fullscreen);

    // Switches in place, or recreates the mode when the toggle is refused. Throws
    // ScreenCreateFailedException, keeping the former value, when neither works.
    void setFullscreen(bool value);

    bool isFullscreen() const { return m_fullscreen; }

    void setBackgroundColor(const Color& color);

    const Color& getBackgroundColor() const { return m_backgroundColor; }

    void setCaption(const std::string& caption);

    const std::string& getCaption() const { return m_caption; }

    // Starts a frame: clears the colour buffer and resets the modelview matrix.
    void clear();
    void swapBuffers();

    std::uint32_t getWidth() const { return m_size.w; }

    std::uint32_t getHeight() const { return m_size.h; }

    const Size& getSize() const { return m_size; }

    std::uint32_t getBitsPerPixel() const { return m_bitsPerPixel; }

    // The SDL_SetVideoMode flags for a windowed or full-screen OpenGL mode.
    static std::uint32_t videoFlags(bool fullscreen);

private:
    void createVideoMode();
    void setUpProjection();

    std::string m_caption;
    Size m_size;
    std::uint32_t m_bitsPerPixel;
    bool m_fullscreen;
    Color m_backgroundColor;
};

} // namespace Fernhouse::Base
