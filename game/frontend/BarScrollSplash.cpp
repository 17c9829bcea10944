#include "game/frontend/BarScrollSplash.h"

#include "engine/base/Color.h"
#include "engine/base/GameTime.h"
#include "engine/base/Layout.h"
#include "engine/base/Rect.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Painter.h"

#include <GL/gl.h>

#include <algorithm>
#include <cassert>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::GameTime;

static_assert(SDLK_ESCAPE == 27 && SDLK_RETURN == 13 && SDLK_SPACE == 32);

// Rows of the image per stripe, before rounding the stripe height down.
constexpr std::uint32_t RowsPerStripe = 4;
constexpr GLint StripeMark = 1;
constexpr GLuint StripeBit = 1;
constexpr Fernhouse::Base::Color MaskColor(255, 255, 255, 255);

std::uint32_t now()
{
    GameTime* clock = GameTime::getInstance();
    assert(clock != nullptr && "the splash runs on game time");
    return clock->getTime();
}

} // namespace

BarScrollSplash::BarScrollSplash(Fernhouse::Graphics::Image* image, const Fernhouse::Base::Size& screenSize)
    : m_image(image),
      m_screenWidth(screenSize.w),
      m_screenHeight(screenSize.h)
{
    if (image == nullptr)
    {
        setDone(true);
        return;
    }
    const Fernhouse::Base::Size size = image->getSize();
    m_centerX = static_cast<std::uint32_t>(Fernhouse::Base::Layout::centredWithin(m_screenWidth, size.w));
    m_centerY = static_cast<std::uint32_t>(Fernhouse::Base::Layout::centredWithin(m_screenHeight, size.h));
    m_speedLeft = static_cast<float>(size.w + m_centerX) / m_scrollTime;
    m_speedRight = static_cast<float>(m_screenWidth - m_centerX) / m_scrollTime;
    // An image under four rows high gets one stripe of its own height instead of a division by zero.
    m_stripeCount = static_cast<std::uint16_t>(std::max<std::uint32_t>(size.h / RowsPerStripe, 1));
    m_stripeHeight = size.h / m_stripeCount;
    m_startTime = now();
    m_meetTime = 0;
    m_leftX = -static_cast<std::int32_t>(size.w);
    m_rightX = static_cast<std::int32_t>(m_screenWidth);
    buildStripeMask();
    Fernhouse::Base::Repaint::request();
}

BarScrollSplash::~BarScrollSplash()
{
    glClear(GL_STENCIL_BUFFER_BIT);
}

void BarScrollSplash::buildStripeMask() const
{
    glClearStencil(0);
    glEnable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glStencilFunc(GL_ALWAYS, StripeMark, StripeBit);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    // Even stripes get the mark; the left copy shows through them, the right copy through the rest.
    for (std::uint32_t i = 0; i <= m_stripeCount; i += 2)
    {
        const auto y = static_cast<std::int32_t>(m_centerY + i * m_stripeHeight);
        Fernhouse::Graphics::Painter::fillRect(Fernhouse::Base::Rect(0, y, m_screenWidth, m_stripeHeight),
                                               MaskColor);
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_STENCIL_TEST);
}

bool BarScrollSplash::keyDown(SDLKey key, bool, bool, bool)
{
    if (key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_SPACE)
    {
        setDone(true);
        return true;
    }
    return false;
}

void BarScrollSplash::update()
{
    if (m_image == nullptr)
    {
        return;
    }
    const std::uint32_t time = now();
    const std::uint32_t elapsed = time - m_startTime;
    const auto centerX = static_cast<std::int32_t>(m_centerX);
    const auto imageWidth = static_cast<std::int32_t>(m_image->getSize().w);
    const std::int32_t oldLeft = m_leftX;
    const std::int32_t oldRight = m_rightX;
    if (m_leftX < centerX)
    {
        m_leftX = static_cast<std::int32_t>(static_cast<float>(elapsed) * m_speedLeft) - imageWidth;
        m_leftX = std::min(m_leftX, centerX);
    }
    if (m_rightX > centerX)
    {
        m_rightX = static_cast<std::int32_t>(m_screenWidth) -
                   static_cast<std::int32_t>(static_cast<float>(elapsed) * m_speedRight);
        m_rightX = std::max(m_rightX, centerX);
    }
    if (m_leftX != oldLeft || m_rightX != oldRight)
    {
        Fernhouse::Base::Repaint::request();
    }
    if (m_leftX == centerX && m_rightX == centerX && m_meetTime == 0)
    {
        m_meetTime = time;
    }
    if (m_meetTime != 0 && m_meetTime + m_holdTime <= time)
    {
        setDone(true);
    }
    Entity::update();
}

void BarScrollSplash::draw()
{
    if (m_image == nullptr)
    {
        return;
    }
    const auto centerY = static_cast<std::int32_t>(m_centerY);
    glEnable(GL_STENCIL_TEST);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glStencilFunc(GL_EQUAL, StripeMark, StripeBit);
    m_image->setPosition(m_leftX, centerY);
    m_image->draw();
    glStencilFunc(GL_NOTEQUAL, StripeMark, StripeBit);
    m_image->setPosition(m_rightX, centerY);
    m_image->draw();
    glDisable(GL_STENCIL_TEST);
    Entity::draw();
}

} // namespace Tarvo
