#include "engine/base/Exception.h"

#include "game/ai/AIFile.h"

#include <cstdint>
#include <unistd.h>

#include "fuzz/FuzzInput.h"

// AI files are found by name under "ai" in the working folder: the fuzzer works in its own.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return chdir(TarvoFuzz::FuzzInput::folder().c_str());
}

// Every input either loads as an AI file or fails with one of our exceptions.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TarvoFuzz::FuzzInput::write("ai/fuzz.ai", data, size);
    try
    {
        const Tarvo::AIFile file("fuzz");
    }
    catch (const Fernhouse::Base::Exception&)
    {
    }
    return 0;
}
