#pragma once

#include "engine/base/Color.h"
#include "engine/base/Point.h"
#include "engine/base/Rect.h"
#include "engine/base/TileSprite.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

namespace Fernhouse::Graphics
{
class Texture;
} // namespace Fernhouse::Graphics

namespace Fernhouse::IO
{
class Control;
} // namespace Fernhouse::IO

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class OccupancyGrid;

// One worm: a chain of grid cells that advances one cell at a time at its speed (cells per second of game
// time), steered by its control. It moves into anything; the game engine judges what it hit.
class WormSprite final : public Fernhouse::Base::TileSprite
{
public:
    // One body cell; tile indexes the skin sheet.
    struct Segment
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t tile = 0;
    };

    // What a round leaves behind, as the score board and the campaign store it: nine 32-bit words.
    struct Results
    {
        std::array<std::uint32_t, 6> applesEaten{};
        std::int32_t score = 0;
        std::uint32_t length = 0;
        float topSpeed = 0.0f;
    };

    // The worm's own directions.
    static constexpr std::uint32_t Right = 0;
    static constexpr std::uint32_t Left = 1;
    static constexpr std::uint32_t Up = 2;
    static constexpr std::uint32_t Down = 3;

    static constexpr std::uint32_t StateNormal = 0;
    static constexpr std::uint32_t StateTurbo = 1;
    static constexpr std::uint32_t StateDead = 2;
    static constexpr std::uint32_t StateDrunk = 3;

    static constexpr std::uint32_t ControlAbsolute = 0;
    static constexpr std::uint32_t ControlRelative = 1;

    static constexpr int Type = 1;
    static constexpr std::uint32_t MaxLength = 256;
    static constexpr std::size_t AppleKinds = 6;
    // Cells and skin tiles are squares of this many pixels.
    static constexpr std::int32_t CellSize = 16;
    static constexpr float BaseSpeed = 3.0f;
    // A computer worm's speed in cells per second, from its AI file's percent of BaseSpeed.
    static float computerSpeed(std::uint32_t percent);
    static constexpr float TurboBoost = 2.0f;
    static constexpr float DrunkFactor = 0.5f;
    // Milliseconds of game time.
    static constexpr std::uint32_t TurboDuration = 5000;
    static constexpr std::uint32_t DrunkDuration = 10000;
    static constexpr Fernhouse::Base::Color DeadTint{180, 90, 0, 255};

    // soundManager and skin are not owned and may be null (silent, invisible); control is owned and
    // deleted with the worm; without one the worm only goes straight. start is a grid cell, direction one
    // of Right..Down, controlMode ControlAbsolute or ControlRelative. occupancy is the round's count of
    // segments per cell: not owned, must outlive the worm, which keeps its cells counted there from birth
    // until it is deleted.
    WormSprite(Fernhouse::Sound::SoundManager* soundManager, const std::string& name,
               Fernhouse::IO::Control* control, const Fernhouse::Graphics::Texture* skin,
               const Fernhouse::Base::Point& start, std::uint32_t direction, std::uint32_t controlMode,
               OccupancyGrid* occupancy);
    // Owns its control: a copy would delete it twice.
    WormSprite(const WormSprite&) = delete;
    WormSprite& operator=(const WormSprite&) = delete;
    ~WormSprite() override;

    // Advances by the game time since the last update: at most one cell per call.
    void update() override;
    // Draws the segments in the parent's frame, from the tail up to the head, skipping those outside
    // the draw area.
    void draw() override;

    // The cells that can be seen; segments elsewhere are not drawn. An empty rectangle (the default)
    // draws every segment.
    void setDrawArea(const Fernhouse::Base::Rect& cells) { m_drawArea = cells; }

    int getType() const override { return Type; }

    // Whether other's head lies on one of this worm's segments (this worm's own head not counted).
    bool collidesWith(Fernhouse::Base::Sprite* other) const override;
    bool occupies(const Fernhouse::Base::Point& cell) const override;

    // Growth is capped so that the worm never exceeds MaxLength segments.
    void grow(std::uint32_t cells);
    void setState(std::uint32_t state);

    // The engine's bookkeeping when the worm eats; kind is an apple kind, 0 to 5.
    void addScore(std::int32_t points) { m_score += points; }

    void addAppleEaten(std::size_t kind)
    {
        assert(kind < AppleKinds);
        ++m_applesEaten[kind];
    }

    bool isKeyboardControlled() const { return m_keyboardControlled; }

    bool isDead() const { return m_state == StateDead; }

    const Segment& getHead() const { return m_body.front(); }

    // Head first, tail last.
    const std::vector<Segment>& getBody() const { return m_body; }

    std::uint32_t getDirection() const { return m_direction; }

    std::uint32_t getState() const { return m_state; }

    // Cells per second.
    float getSpeed() const { return m_speed; }

    std::int32_t getScore() const { return m_score; }

    std::uint32_t getLength() const { return m_length; }

    std::uint32_t getApplesEaten(std::size_t kind) const
    {
        assert(kind < AppleKinds);
        return m_applesEaten[kind];
    }

    float getTopSpeed() const { return m_topSpeed; }

    std::int32_t getPendingGrowth() const { return m_pendingGrowth; }

    const std::string& getName() const { return m_name; }

    Fernhouse::IO::Control* getControl() const { return m_control; }

    Results getResults() const;

private:
    // One cell forward, asking the control where to.
    void step();
    std::uint32_t steer(std::uint32_t request) const;
    void playSound(const char* name);

    Fernhouse::Sound::SoundManager* m_soundManager; // not owned; null plays nothing
    std::string m_name;
    Fernhouse::IO::Control* m_control;          // owned
    const Fernhouse::Graphics::Texture* m_skin; // not owned: the engine keeps the skin sheets
    // Capacity for one more than the longest worm is reserved once, so stepping never allocates.
    std::vector<Segment> m_body;
    std::uint32_t m_direction;
    std::int32_t m_pendingGrowth = 2;
    std::uint32_t m_lastTime = 0; // game ms; 0 = not yet set
    float m_progress = 0.0f;      // cells travelled since the last step
    float m_speed = BaseSpeed;
    bool m_keyboardControlled = false;
    std::uint32_t m_state = StateNormal;
    std::uint32_t m_effectEnd = 0; // game ms
    std::array<std::uint32_t, AppleKinds> m_applesEaten{};
    std::int32_t m_score = 0;
    std::uint32_t m_length = 1;
    float m_topSpeed = BaseSpeed;
    float m_baseSpeed = BaseSpeed;
    std::uint32_t m_controlMode;
    OccupancyGrid* m_occupancy; // not owned: the round's
    Fernhouse::Base::Rect m_drawArea;
};

} // namespace Tarvo
