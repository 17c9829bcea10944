#pragma once

#include "engine/gui/Widget.h"

namespace Fernhouse::Graphics
{
class Texture;
} // namespace Fernhouse::Graphics

namespace Fernhouse::GUI
{

// A horizontal bar with a knob for a whole number in [minimum, maximum], moved by Left and Right. Drawn at
// its position without the transform, from a slider texture of 2 x 2 tiles: knob, track middle, left end,
// right end. The knob position is computed by update, so a new value shows after the next update.
class SlideBar : public Widget
{
public:
    // texture is the slider sheet, not owned; null throws ArgumentException. Range 0 to 100, value 0,
    // width 100 pixels, step 10. Done from the start: a bar lives inside a panel and is never polled.
    explicit SlideBar(Graphics::Texture* texture);

    // All three throw OutOfBoundException and change nothing when the range would not hold the value.
    void setValue(int value);
    // Raises the value to the new minimum if it was smaller.
    void setMinimum(int minimum);
    // Lowers the value to the new maximum if it was larger.
    void setMaximum(int maximum);

    int getValue() const { return m_value; }

    int getMinimum() const { return m_minimum; }

    int getMaximum() const { return m_maximum; }

    // In pixels, both ends included.
    void setWidth(int width) { m_width = width; }

    int getWidth() const { return m_width; }

    void setStep(int step) { m_step = step; }

    int getStep() const { return m_step; }

    // Side of one slider tile in pixels.
    int getTileSize() const { return m_tileSize; }

    // Where the knob is drawn, as of the last update.
    int getKnobX() const { return m_knobX; }

    int getKnobY() const { return m_knobY; }

    // One step up or down, stopping at the ends of the range.
    void increase();
    void decrease();

    // Any modifier leaves the key to later handlers.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void update() override;
    void draw() override;

private:
    // Clamps to the range; 64-bit so that a large step cannot overflow.
    void stepBy(long long delta);

    Graphics::Texture* m_texture; // not owned
    int m_tileSize = 32;
    int m_value = 0;
    int m_maximum = 100;
    int m_minimum = 0;
    int m_width = 100;
    int m_step = 10;
    int m_knobX = 0;
    int m_knobY = 0;
};

} // namespace Fernhouse::GUI
