#pragma once

namespace Fernhouse::Base
{

// Whether the next frame must be drawn. Whatever changes what is drawn asks for a repaint; the frame loop
// takes the request before drawing and neither draws nor swaps a frame that has none, so the window keeps
// showing the last picture, which is still what a full redraw would give.
class Repaint final
{
public:
    Repaint() = delete;

    static void request() { s_requested = true; }

    static bool isRequested() { return s_requested; }

    // Whether a repaint was asked for; clears the request.
    static bool take()
    {
        const bool requested = s_requested;
        s_requested = false;
        return requested;
    }

private:
    static bool s_requested;
};

} // namespace Fernhouse::Base
