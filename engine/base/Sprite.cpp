#include "engine/base/Sprite.h"

namespace Fernhouse::Base
{

Sprite::Sprite() = default;

Sprite::~Sprite() = default;

} // namespace Fernhouse::Base
