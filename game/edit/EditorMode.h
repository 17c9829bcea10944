#pragma once

namespace Tarvo
{

// What the editor window is doing, and so where its keys and the mouse go.
enum class EditorMode
{
    NewMap,
    Edit,
    Prompt,
    ConfirmQuit,
    PlayTest,
    Done
};

} // namespace Tarvo
