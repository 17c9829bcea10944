#include "engine/base/Exception.h"

namespace Fernhouse::Base
{

Exception::Exception(const std::string& message, const std::string& file, int line)
    : m_message(message),
      m_file(file),
      m_line(line),
      m_what("Exception in " + file + ":" + std::to_string(line) + ": " + message)
{
}

const char* Exception::what() const noexcept
{
    return m_what.c_str();
}

} // namespace Fernhouse::Base
