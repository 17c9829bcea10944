#include "game/frontend/FadeSplash.h"

#include "engine/base/Color.h"
#include "engine/base/GameTime.h"
#include "engine/base/Layout.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Image.h"

#include <algorithm>
#include <cassert>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Graphics::Image;

static_assert(SDLK_ESCAPE == 27 && SDLK_RETURN == 13 && SDLK_SPACE == 32);

constexpr float Opaque = 255.0f;

std::uint32_t now()
{
    Fernhouse::Base::GameTime* clock = Fernhouse::Base::GameTime::getInstance();
    assert(clock != nullptr && "the splash runs on game time");
    return clock->getTime();
}

void setAlpha(Image& image, float alpha)
{
    Color color = image.getColor();
    color.a = static_cast<std::uint8_t>(alpha);
    image.setColor(color);
}

void centre(Image& image, std::uint32_t screenWidth, std::uint32_t screenHeight)
{
    const Fernhouse::Base::Size size = image.getSize();
    image.setPosition(Fernhouse::Base::Layout::centredWithin(screenWidth, size.w),
                      Fernhouse::Base::Layout::centredWithin(screenHeight, size.h));
}

} // namespace

FadeSplash::FadeSplash(Image* firstImage, Image* secondImage, const Fernhouse::Base::Size& screenSize)
    : m_firstImage(firstImage),
      m_secondImage(secondImage),
      m_screenWidth(screenSize.w),
      m_screenHeight(screenSize.h)
{
    if (firstImage != nullptr)
    {
        centre(*firstImage, m_screenWidth, m_screenHeight);
        setAlpha(*firstImage, Opaque);
        m_showingFirst = true;
    }
    if (secondImage != nullptr)
    {
        centre(*secondImage, m_screenWidth, m_screenHeight);
        setAlpha(*secondImage, 0.0f);
    }
    if (firstImage == nullptr && secondImage == nullptr)
    {
        setDone(true);
    }
    m_phaseStart = now();
}

bool FadeSplash::keyDown(SDLKey key, bool, bool, bool)
{
    if (key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_SPACE)
    {
        setDone(true);
        return true;
    }
    return false;
}

void FadeSplash::update()
{
    const std::uint32_t time = now();
    const auto fadeTime = static_cast<float>(m_fadeTime);
    if (m_showingFirst)
    {
        if (time < m_phaseStart + m_fadeTime)
        {
            const auto elapsed = static_cast<float>(time - m_phaseStart);
            setAlpha(*m_firstImage, (1.0f - elapsed / fadeTime) * Opaque);
            return;
        }
        m_showingFirst = false;
        m_phaseStart = time;
        Fernhouse::Base::Repaint::request();
    }
    if (isDone())
    {
        return;
    }
    if (time >= m_phaseStart + m_fadeTime + m_holdTime)
    {
        setDone(true);
    }
    else if (m_secondImage != nullptr)
    {
        // A frame that skips past the end of the fade still lands on the full opacity.
        const auto elapsed = static_cast<float>(std::min(time - m_phaseStart, m_fadeTime));
        setAlpha(*m_secondImage, elapsed / fadeTime * Opaque);
    }
}

void FadeSplash::draw()
{
    if (m_showingFirst)
    {
        m_firstImage->draw();
    }
    else if (m_secondImage != nullptr)
    {
        m_secondImage->draw();
    }
}

} // namespace Tarvo
