#include "game/play/ApplePainter.h"

#include "engine/base/GameTime.h"
#include "engine/base/Random.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Painter.h"

#include "game/play/Apple.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"

#include <memory>

namespace Tarvo
{

namespace
{

// Pixels per map cell and per tileset tile.
constexpr std::int32_t CellSize = 16;
// Live apples rarely exceed a few dozen (one spawn every 1.5 s, 30 s at most each); reserving keeps
// spawning from reallocating during play.
constexpr std::size_t ExpectedApples = 64;

// The integer part of a random fraction of range, as the game has always computed it.
std::int32_t randomPart(double range)
{
    return static_cast<std::int32_t>(Fernhouse::Base::random() /
                                     static_cast<double>(Fernhouse::Base::RandomMax) * range);
}

} // namespace

ApplePainter::ApplePainter(GameEngine* engine, const Fernhouse::Graphics::Texture* texture)
    : m_texture(texture),
      m_engine(engine)
{
    m_apples.reserve(ExpectedApples);
}

ApplePainter::~ApplePainter()
{
    for (Apple* apple : m_apples)
    {
        delete apple;
    }
}

void ApplePainter::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.bindTexture(m_texture);
    for (const Apple* apple : m_apples)
    {
        const std::int32_t kind = apple->getKind();
        if (kind == Apple::Gone)
        {
            continue;
        }
        const Fernhouse::Base::Point& cell = apple->getCell();
        painter.drawTexturedRect(
            Fernhouse::Base::Rect(CellSize * cell.x, CellSize * cell.y, CellSize, CellSize),
            Fernhouse::Base::Rect(CellSize * kind, 0, CellSize, CellSize));
    }
    painter.unbindTexture();
}

void ApplePainter::update()
{
    // Compacted in place: the walk goes on with the next apple after a removal.
    std::size_t kept = 0;
    for (Apple* apple : m_apples)
    {
        apple->update();
        if (apple->getKind() == Apple::Gone)
        {
            delete apple;
        }
        else
        {
            m_apples[kept++] = apple;
        }
    }
    m_apples.resize(kept);

    const std::uint32_t now = Fernhouse::Base::GameTime::getInstance()->getTime();
    if (m_nextSpawn <= now)
    {
        spawnApple();
        m_nextSpawn = now + static_cast<std::uint32_t>(randomPart(MaxSpawnInterval));
    }
}

std::int32_t ApplePainter::randomKind() const
{
    std::int32_t total = 0;
    for (std::int32_t weight : m_weights)
    {
        total += weight;
    }
    const std::int32_t roll = randomPart(total);
    std::int32_t sum = 0;
    for (std::size_t kind = 0; kind < m_weights.size(); ++kind)
    {
        sum += m_weights[kind];
        if (roll < sum)
        {
            return static_cast<std::int32_t>(kind);
        }
    }
    return Apple::Gone;
}

void ApplePainter::spawnApple()
{
    auto apple = std::make_unique<Apple>();
    apple->setKind(randomKind());

    const MapFile* map = m_engine->getMap();
    for (int tries = 0; tries < MaxPlacementTries; ++tries)
    {
        // Column first, then row: the order of draws is part of the game. Held as 16-bit numbers, as
        // the game always has.
        const auto x = static_cast<std::int16_t>(randomPart(map->getWidth()));
        const auto y = static_cast<std::int16_t>(randomPart(map->getHeight()));
        const Fernhouse::Base::Point cell(x, y);
        bool taken = false;
        for (const Apple* other : m_apples)
        {
            if (other->getCell() == cell)
            {
                taken = true;
                break;
            }
        }
        if (taken || !m_engine->isFree(cell, false))
        {
            continue;
        }
        apple->setCell(cell);
        m_apples.push_back(apple.release());
        Fernhouse::Base::Repaint::request();
        return;
    }
}

} // namespace Tarvo
