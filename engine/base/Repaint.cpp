#include "engine/base/Repaint.h"

namespace Fernhouse::Base
{

// The first frame is always drawn.
bool Repaint::s_requested = true;

} // namespace Fernhouse::Base
