#include "engine/gui/Widget.h"

namespace Fernhouse::GUI
{

// Out of line so that the vtables of both bases are emitted in one place.
Widget::~Widget() = default;

} // namespace Fernhouse::GUI
