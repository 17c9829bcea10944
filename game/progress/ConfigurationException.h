#pragma once

#include "engine/base/Exception.h"

namespace Tarvo
{

// The configuration file has a version this program does not read.
FH_DECLARE_EXCEPTION(ConfigurationException);

} // namespace Tarvo
