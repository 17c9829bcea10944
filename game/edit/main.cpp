#include "game/edit/EditorApp.h"

#include <SDL/SDL.h>

#include <string>
#include <vector>

// SDL's start-up code may call this under another name.
int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto* app = new Tarvo::EditorApp(args);
    const int result = app->run();
    delete app;
    return result;
}
