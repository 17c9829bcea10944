#pragma once

#include "engine/base/Exception.h"

namespace Fernhouse::Script
{

// The script engine could not be set up.
FH_DECLARE_EXCEPTION(ScriptEngineException);

} // namespace Fernhouse::Script
