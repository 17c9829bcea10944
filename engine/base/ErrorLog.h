#pragma once

#include <string>

namespace Fernhouse::Base
{

class Exception;

// Appends dated records to "./ErrorLog.txt". Never throws for an unwritable file: a record that could not
// be opened for ("Failed to create log file.") or written completely ("Failed to write log file.", a full
// disk) goes to standard error instead, after that line.
namespace ErrorLog
{

void write(const std::string& text);
void write(const Exception& exception);

} // namespace ErrorLog

} // namespace Fernhouse::Base
