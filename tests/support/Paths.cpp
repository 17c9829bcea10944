#include "tests/support/Paths.h"

const char* const TestSupport::SourceDir = TARVO_SOURCE_DIR;
const char* const TestSupport::TestDataDir = TARVO_TEST_DATA_DIR;
const char* const TestSupport::CheckBinary = TARVO_CHECK_BINARY;
