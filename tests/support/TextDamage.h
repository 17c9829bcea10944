#pragma once

#include <random>
#include <string>
#include <vector>

namespace TestSupport
{

// The text with one to four random damages: cut off, a byte changed, one of the pieces inserted, or up
// to eight bytes erased. The generator is the caller's, so that a fixed seed repeats a failure.
std::string damageText(std::string text, std::mt19937& generator, const std::vector<std::string>& pieces);

} // namespace TestSupport
