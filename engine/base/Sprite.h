#pragma once

#include "engine/base/Entity.h"

namespace Fernhouse::Base
{

// A moving object on the play field. It draws nothing itself; concrete sprites say what they are and
// whom they hit.
class Sprite : public Entity
{
public:
    Sprite();
    ~Sprite() override;

    // A constant per concrete class: the worm answers 1, an apple 2.
    virtual int getType() const = 0;
    // Whether this sprite hits the other one; other is never null.
    virtual bool collidesWith(Sprite* other) const = 0;
};

} // namespace Fernhouse::Base
