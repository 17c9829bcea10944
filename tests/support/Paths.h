#pragma once

namespace TestSupport
{

// Where this build's tests find the repository, their own data and the map checker. Only Paths.cpp is
// compiled with these folders, so that a compiler cache serves every other file to a clone anywhere.
extern const char* const SourceDir;
extern const char* const TestDataDir;
extern const char* const CheckBinary;

} // namespace TestSupport
