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

// Fades the first image out, then the second one in, holds it and reports done: six seconds of game time
// with both images. Centres both images on the screen and drives their alpha; draws nothing else.
class FadeSplash : public Fernhouse::GUI::Widget
{
public:
    // Neither image is owned; each may be null. Without the first the fade-in starts at once; without
    // either the splash is done at once. Needs the GameTime clock.
    FadeSplash(Fernhouse::Graphics::Image* firstImage, Fernhouse::Graphics::Image* secondImage,
               const Fernhouse::Base::Size& screenSize);
    FadeSplash(const FadeSplash&) = delete;
    FadeSplash& operator=(const FadeSplash&) = delete;

    // Escape, Return or Space end the splash, with or without modifiers; other keys pass on.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void update() override;
    void draw() override;

    // True while the first image is fading out.
    bool isShowingFirst() const { return m_showingFirst; }

private:
    Fernhouse::Graphics::Image* m_firstImage;  // not owned, not a child
    Fernhouse::Graphics::Image* m_secondImage; // not owned, not a child
    std::uint32_t m_screenWidth;
    std::uint32_t m_screenHeight;
    std::uint32_t m_fadeTime = 2000; // milliseconds of each fade
    std::uint32_t m_holdTime = 2000; // milliseconds the second image stays after fading in
    bool m_showingFirst = false;
    std::uint32_t m_phaseStart = 0; // game time
};

} // namespace Tarvo
