#pragma once

#include "engine/base/Exception.h"

namespace Tarvo
{

// An AI file's content is not valid.
FH_DECLARE_EXCEPTION(AIFileException);

} // namespace Tarvo
