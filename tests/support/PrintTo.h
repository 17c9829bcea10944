#pragma once

#include "engine/base/Color.h"
#include "engine/base/Point.h"
#include "engine/base/Rect.h"
#include "engine/base/Size.h"

#include <ostream>

// gtest prints our value types through these when an assertion fails.
namespace Fernhouse::Base
{

inline void PrintTo(const Color& c, std::ostream* os)
{
    *os << "Color(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

inline void PrintTo(const Point& p, std::ostream* os)
{
    *os << "Point(" << p.x << ", " << p.y << ")";
}

inline void PrintTo(const Size& s, std::ostream* os)
{
    *os << "Size(" << s.w << ", " << s.h << ")";
}

inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "Rect(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

} // namespace Fernhouse::Base
