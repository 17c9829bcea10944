#pragma once

#include <string>

namespace Fernhouse::Base
{

class Exception;

// Appends dated records to "./ErrorLog.txt". Never throws for an unwritable file: the record then goes
// to standard error instead.
namespace ErrorLog
{

void write(const std::string& text);
void write(const Exception& exception);

} // namespace ErrorLog

} // namespace Fernhouse::Base
