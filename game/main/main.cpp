#include "game/frontend/TarvoApp.h"

#include <SDL/SDL.h>

// SDL's start-up code may call this under another name; the arguments are accepted and ignored.
int main(int argc, char** argv)
{
    auto* app = new Tarvo::TarvoApp(argc, argv);
    const int result = app->run();
    delete app;
    return result;
}
