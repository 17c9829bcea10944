#include "engine/base/ErrorLog.h"

#include "engine/base/Exception.h"

#include <cstdio>
#include <ctime>

namespace Fernhouse::Base::ErrorLog
{

namespace
{

constexpr const char* LogPath = "./ErrorLog.txt";
constexpr const char* Separator = "--------------------------------";

} // namespace

void write(const std::string& text)
{
    const std::time_t now = std::time(nullptr);
    // ctime's text ends with its own line end, which closes the date line.
    const char* date = std::ctime(&now);
    if (date == nullptr)
    {
        date = "(unknown time)\n";
    }

    std::FILE* file = std::fopen(LogPath, "a");
    if (file != nullptr)
    {
        std::fprintf(file, "%s%s\n%s\n\n", date, Separator, text.c_str());
        std::fclose(file);
        return;
    }
    std::fprintf(stderr, "%sFailed to create log file.\n%s\n%s\n\n", date, Separator, text.c_str());
}

void write(const Exception& exception)
{
    write(std::string(exception.what()));
}

} // namespace Fernhouse::Base::ErrorLog
