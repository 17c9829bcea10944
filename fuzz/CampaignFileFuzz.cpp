#include "engine/base/Exception.h"

#include "game/progress/CampaignFile.h"

#include <cstdint>

#include "fuzz/FuzzInput.h"

// Every input either loads as a campaign or fails with one of our exceptions; anything else (a crash, a
// sanitizer report, a foreign exception, a huge allocation) is a finding.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = TarvoFuzz::FuzzInput::write("campaign.cpj", data, size);
    try
    {
        Tarvo::CampaignFile campaign;
        campaign.load(path);
    }
    catch (const Fernhouse::Base::Exception&)
    {
    }
    return 0;
}
