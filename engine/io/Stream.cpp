#include "engine/io/Stream.h"

namespace Fernhouse::IO
{

Stream::~Stream() = default;

} // namespace Fernhouse::IO
