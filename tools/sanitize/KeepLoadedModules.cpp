// Linked into executables of the sanitizer build only. The GL driver is loaded with dlopen and unloaded
// at SDL_Quit, after which LeakSanitizer cannot name the library that leaked and no suppression can match
// it. Keeping every loaded module in memory lets the reports name Mesa, X11 or SDL, which the suppression
// file then filters, while leaks in our own code are still reported.
extern "C" int dlclose(void* /*handle*/)
{
    return 0;
}
