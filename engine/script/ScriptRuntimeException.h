#pragma once

#include "engine/base/Exception.h"

namespace Fernhouse::Script
{

// A script failed while running.
FH_DECLARE_EXCEPTION(ScriptRuntimeException);

} // namespace Fernhouse::Script
