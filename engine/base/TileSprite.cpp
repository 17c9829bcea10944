#include "engine/base/TileSprite.h"

namespace Fernhouse::Base
{

TileSprite::TileSprite() = default;

TileSprite::~TileSprite() = default;

} // namespace Fernhouse::Base
