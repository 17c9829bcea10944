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
constexpr const char* NotCreated = "Failed to create log file.";
constexpr const char* NotWritten = "Failed to write log file.";

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
    if (file == nullptr)
    {
        std::fprintf(stderr, "%s%s\n%s\n%s\n\n", date, NotCreated, Separator, text.c_str());
        return;
    }
    // A full disk shows only when the buffer is flushed, at the latest when the file is closed.
    const bool written = std::fprintf(file, "%s%s\n%s\n\n", date, Separator, text.c_str()) >= 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
    {
        std::fprintf(stderr, "%s%s\n%s\n%s\n\n", date, NotWritten, Separator, text.c_str());
    }
}

void write(const Exception& exception)
{
    write(std::string(exception.what()));
}

} // namespace Fernhouse::Base::ErrorLog
