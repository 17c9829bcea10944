#include "engine/gui/SlideBar.h"

#include "engine/base/Exception.h"
#include "engine/base/Rect.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Painter.h"

#include <algorithm>
#include <cstdint>

namespace Fernhouse::GUI
{

namespace
{

constexpr const char* SourceTag = "src/SlideBar";

static_assert(SDLK_LEFT == 276 && SDLK_RIGHT == 275);

// Tiles of the slider sheet, (column, row) in tile units.
constexpr int KnobColumn = 0;
constexpr int KnobRow = 0;
constexpr int TrackColumn = 1;
constexpr int TrackRow = 0;
constexpr int LeftEndColumn = 0;
constexpr int LeftEndRow = 1;
constexpr int RightEndColumn = 1;
constexpr int RightEndRow = 1;

Base::Rect tile(int column, int row, int size)
{
    const auto side = static_cast<std::uint32_t>(size);
    return Base::Rect(column * size, row * size, side, side);
}

} // namespace

SlideBar::SlideBar(Graphics::Texture* texture) : m_texture(texture)
{
    if (texture == nullptr)
    {
        FH_THROW(Base::ArgumentException, "texture is 0.");
    }
    setDone(true);
}

void SlideBar::setValue(int value)
{
    if (value < m_minimum || value > m_maximum)
    {
        FH_THROW(Base::OutOfBoundException, "value is out of bound.");
    }
    m_value = value;
}

void SlideBar::setMinimum(int minimum)
{
    if (minimum > m_maximum)
    {
        FH_THROW(Base::OutOfBoundException, "value is out of bound.");
    }
    m_minimum = minimum;
    m_value = std::max(m_value, minimum);
}

void SlideBar::setMaximum(int maximum)
{
    if (maximum < m_minimum)
    {
        FH_THROW(Base::OutOfBoundException, "value is out of bound.");
    }
    m_maximum = maximum;
    m_value = std::min(m_value, maximum);
}

void SlideBar::increase()
{
    stepBy(m_step);
}

void SlideBar::decrease()
{
    stepBy(-static_cast<long long>(m_step));
}

void SlideBar::stepBy(long long delta)
{
    // Both ends are checked whatever the sign, so even a negative step keeps the value in range.
    const long long value = std::clamp(static_cast<long long>(m_value) + delta,
                                       static_cast<long long>(m_minimum), static_cast<long long>(m_maximum));
    m_value = static_cast<int>(value);
}

bool SlideBar::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (ctrl || shift || alt)
    {
        return false;
    }
    if (key == SDLK_LEFT)
    {
        decrease();
        return true;
    }
    if (key == SDLK_RIGHT)
    {
        increase();
        return true;
    }
    return false;
}

void SlideBar::update()
{
    const long long range = static_cast<long long>(m_maximum) - m_minimum;
    // An empty range has no scale; its knob rests at the left end.
    double offset = 0.0;
    if (range > 0)
    {
        const double pixelsPerUnit = static_cast<double>(m_width - m_tileSize) / static_cast<double>(range);
        offset = 0.5 + static_cast<double>(static_cast<long long>(m_value) - m_minimum) * pixelsPerUnit;
    }
    const int knobX = getX() + static_cast<int>(offset);
    if (knobX != m_knobX || getY() != m_knobY)
    {
        m_knobX = knobX;
        m_knobY = getY();
        Base::Repaint::request();
    }
    Entity::update();
}

void SlideBar::draw()
{
    const int x = getX();
    const int y = getY();
    const int s = m_tileSize;
    const auto side = static_cast<std::uint32_t>(s);
    Graphics::Painter painter;
    painter.setColor(getColor());
    painter.bindTexture(m_texture);
    painter.drawTexturedRect(Base::Rect(x, y, side, side), tile(LeftEndColumn, LeftEndRow, s));
    painter.drawTexturedRect(Base::Rect(x + m_width - s, y, side, side),
                             tile(RightEndColumn, RightEndRow, s));
    // A bar narrower than its two ends has no middle; a negative width would wrap to a huge quad.
    if (m_width > 2 * s)
    {
        painter.drawTexturedRect(Base::Rect(x + s, y, static_cast<std::uint32_t>(m_width - 2 * s), side),
                                 tile(TrackColumn, TrackRow, s));
    }
    painter.drawTexturedRect(Base::Rect(m_knobX, m_knobY, side, side), tile(KnobColumn, KnobRow, s));
    painter.unbindTexture();
    painter.restoreColor();
    Entity::draw();
}

} // namespace Fernhouse::GUI
