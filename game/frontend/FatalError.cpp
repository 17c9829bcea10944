#include "game/frontend/FatalError.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/Exception.h"

#include "game/frontend/AlertBox.h"

#include <exception>

namespace Tarvo
{

namespace
{

namespace ErrorLog = Fernhouse::Base::ErrorLog;

constexpr const char* ErrorFontName = "fixed_medium";
constexpr const char* ErrorTitle = "Error";
constexpr const char* UnexpectedError = "Unexpected exception.";

} // namespace

std::optional<std::string> FatalError::logInFlight()
{
    try
    {
        throw;
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
        return e.getMessage();
    }
    catch (const std::exception& e)
    {
        ErrorLog::write(e.what());
        return std::string(e.what());
    }
    catch (...)
    {
        ErrorLog::write(UnexpectedError);
        return std::nullopt;
    }
}

void FatalError::show(const std::string& message)
{
    try
    {
        (new AlertBox(ErrorTitle, message, ErrorFontName))->show();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
}

} // namespace Tarvo
