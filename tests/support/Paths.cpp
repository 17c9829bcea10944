#include "tests/support/Paths.h"

namespace TestSupport
{

const char* sourceDir()
{
    return TARVO_SOURCE_DIR;
}

const char* testDataDir()
{
    return TARVO_TEST_DATA_DIR;
}

const char* checkBinary()
{
    return TARVO_CHECK_BINARY;
}

} // namespace TestSupport
