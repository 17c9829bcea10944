#pragma once

#include <exception>
#include <string>

namespace Fernhouse::Base
{

// The root of every error the engine and the game throw. Throw through FH_THROW so that the
// source tag and line are always recorded.
class Exception : public std::exception
{
public:
    Exception(const std::string& message, const std::string& file, int line);

    const std::string& getMessage() const { return m_message; }

    const std::string& getFile() const { return m_file; }

    int getLine() const { return m_line; }

    // "Exception in <file>:<line>: <message>"; valid while the exception lives.
    const char* what() const noexcept override;

private:
    std::string m_message;
    std::string m_file;
    int m_line;
    std::string m_what;
};

} // namespace Fernhouse::Base

// The error classes add no fields: the class names the kind of error, the message names the case.
#define FH_DECLARE_EXCEPTION(Name)                                                                           \
    class Name final : public ::Fernhouse::Base::Exception                                                   \
    {                                                                                                        \
    public:                                                                                                  \
        using ::Fernhouse::Base::Exception::Exception;                                                       \
    }

namespace Fernhouse::Base
{

FH_DECLARE_EXCEPTION(ArgumentException);
FH_DECLARE_EXCEPTION(IOException);
FH_DECLARE_EXCEPTION(FileNotFoundException);
FH_DECLARE_EXCEPTION(SoundException);
FH_DECLARE_EXCEPTION(MapFileException);
FH_DECLARE_EXCEPTION(OutOfBoundException);
FH_DECLARE_EXCEPTION(ScreenCreateFailedException);
FH_DECLARE_EXCEPTION(TextureCreationFailedException);
FH_DECLARE_EXCEPTION(TextureMapOutOfBoundException);
FH_DECLARE_EXCEPTION(FontLoadFailedException);
FH_DECLARE_EXCEPTION(InvalidFontReferenceCounterException);
FH_DECLARE_EXCEPTION(GenericFontException);

} // namespace Fernhouse::Base

// Every throwing .cpp declares `constexpr const char* SourceTag = "src/<Class>";` once, in an
// anonymous namespace; a file without a tag does not compile.
#define FH_THROW(Type, message) throw Type((message), SourceTag, __LINE__)
