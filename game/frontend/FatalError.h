#pragma once

#include <optional>
#include <string>

namespace Tarvo
{

// The game's last resort for an error nothing else handled: the entry in the error log, and the "Error"
// box the player reads before the game ends.
class FatalError final
{
public:
    FatalError() = delete;

    // Writes the exception in flight to the error log; call it only inside a catch block. Returns the
    // message to show, nothing for an exception of a type that carries none.
    static std::optional<std::string> logInFlight();

    // An "Error" box with the message until a key; needs the application's screen, router and clock. When
    // the box cannot be shown (its font missing), the log entry is all the player gets.
    static void show(const std::string& message);
};

} // namespace Tarvo
