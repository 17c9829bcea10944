#pragma once

#include "engine/base/Application.h"
#include "engine/base/EventHandler.h"

namespace Tarvo
{

// The game's application: opens the window and runs the frame loop until the window is closed.
class TarvoApp final : public Fernhouse::Base::Application, public Fernhouse::Base::EventHandler
{
public:
    // Errors while opening the window are written to the error log; run then ends at once.
    TarvoApp(int argc, char** argv);

    // 0 after a normal quit, 1 when the window could not be opened.
    int run() override;
};

} // namespace Tarvo
