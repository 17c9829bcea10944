#pragma once

#include "engine/base/Size.h"
#include "engine/gui/Widget.h"

#include <cstdint>

namespace Fernhouse::Graphics
{
class Image;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

// The opening effect: two copies of an image slide in from the left and the right, interleaved in
// horizontal stripes, meet in the middle of the screen and stay there a while. The stripes are a mask in
// the stencil buffer, written at construction and cleared by the destructor; drawing in between must leave
// the stencil buffer alone. Drawn in screen coordinates; times are game time.
class BarScrollSplash : public Fernhouse::GUI::Widget
{
public:
    // image is not owned and must outlive the splash; null makes the splash done at once. Needs the
    // GameTime clock and the window's stencil buffer.
    BarScrollSplash(Fernhouse::Graphics::Image* image, const Fernhouse::Base::Size& screenSize);
    BarScrollSplash(const BarScrollSplash&) = delete;
    BarScrollSplash& operator=(const BarScrollSplash&) = delete;
    ~BarScrollSplash() override;

    // Escape, Return or Space end the splash, with or without modifiers; other keys pass on.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void update() override;
    void draw() override;

    // x of the copy coming from the left, in pixels.
    std::int32_t getLeftX() const { return m_leftX; }

    // x of the copy coming from the right, in pixels.
    std::int32_t getRightX() const { return m_rightX; }

    // Where both copies end up: the image centred on the screen.
    std::uint32_t getCenterX() const { return m_centerX; }

    std::uint32_t getCenterY() const { return m_centerY; }

    std::uint16_t getStripeCount() const { return m_stripeCount; }

    // In pixels.
    std::uint32_t getStripeHeight() const { return m_stripeHeight; }

    // Game time at which the copies met; 0 while they have not.
    std::uint32_t getMeetTime() const { return m_meetTime; }

private:
    void buildStripeMask() const;

    Fernhouse::Graphics::Image* m_image; // not owned, not a child
    std::uint32_t m_screenWidth;
    std::uint32_t m_screenHeight;
    float m_scrollTime = 1000.0f;    // milliseconds of the slide
    std::uint32_t m_holdTime = 1500; // milliseconds shown after the copies meet
    std::uint32_t m_centerX = 0;     // pixels
    std::uint32_t m_centerY = 0;     // pixels
    float m_speedLeft = 0.0f;        // pixels per millisecond
    float m_speedRight = 0.0f;       // pixels per millisecond
    std::uint16_t m_stripeCount = 0;
    std::uint32_t m_stripeHeight = 0; // pixels
    std::uint32_t m_startTime = 0;    // game time
    std::uint32_t m_meetTime = 0;     // game time; 0 = not yet
    std::int32_t m_leftX = 0;
    std::int32_t m_rightX = 0;
};

} // namespace Tarvo
