#pragma once

#include "engine/base/Point.h"
#include "engine/base/Sprite.h"

namespace Fernhouse::Base
{

// A sprite that covers cells of the play field's grid.
class TileSprite : public Sprite
{
public:
    TileSprite();
    ~TileSprite() override;

    // Whether the sprite covers the grid cell (in cells, not pixels).
    virtual bool occupies(const Point& cell) const = 0;
};

} // namespace Fernhouse::Base
