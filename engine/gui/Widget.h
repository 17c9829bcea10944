#pragma once

#include "engine/base/Entity.h"
#include "engine/base/EventHandler.h"

namespace Fernhouse::GUI
{

// Something the front end shows and polls: drawn and updated with the entity tree, fed keys once its owner
// registers it with the event router (a widget never registers itself).
class Widget : public Base::Entity, public Base::EventHandler
{
public:
    Widget() = default;
    ~Widget() override;

    // Set when the user has finished with the widget; its owner polls it once per frame.
    bool isDone() const { return m_done; }

    void setDone(bool done) { m_done = done; }

private:
    bool m_done = false;
};

} // namespace Fernhouse::GUI
