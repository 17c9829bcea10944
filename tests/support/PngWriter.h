#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport
{

// Writes 8-bit RGBA pixels, or RGB ones (the kind colour keys are made for), rows from the top, as a PNG.
// Throws std::runtime_error when the file cannot be written or the sizes disagree.
void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
              int channels = 4);

// The current RGBA frame of the shared window, read before the swap, rows from the top.
std::vector<std::uint8_t> readFrame();

} // namespace TestSupport
