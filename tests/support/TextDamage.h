#pragma once

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace TestSupport
{

// The text with one to four random damages: cut off, a byte changed, one of the pieces inserted, or up
// to eight bytes erased. The generator is the caller's, so that a fixed seed repeats a failure.
inline std::string damageText(std::string text, std::mt19937& generator,
                              const std::vector<std::string>& pieces)
{
    for (int i = 0, damages = 1 + static_cast<int>(generator() % 4); i < damages && !text.empty(); ++i)
    {
        const std::size_t at = generator() % text.size();
        const std::function<void()> kinds[] = {[&] { text.resize(at); },
                                               [&] { text[at] = static_cast<char>(generator() % 256); },
                                               [&] { text.insert(at, pieces[generator() % pieces.size()]); },
                                               [&] { text.erase(at, 1 + generator() % 8); }};
        kinds[generator() % 4]();
    }
    return text;
}

} // namespace TestSupport
