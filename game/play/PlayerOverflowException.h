#pragma once

#include "engine/base/Exception.h"

namespace Tarvo
{

// The map has no free start position for another player.
FH_DECLARE_EXCEPTION(PlayerOverflowException);

} // namespace Tarvo
