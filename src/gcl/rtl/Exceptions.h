// The exception hierarchy of the GCL. Every error the library or the
// program raises is a gcl::Exception carrying its user-facing message.
// Throw by value, catch by reference.
#pragma once

#include <string>
#include <utility>

namespace gcl {

class Exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    virtual ~Exception() = default;

    const std::string& GetMessage() const noexcept { return FMessage; }
    void SetMessage(const std::string& value) { FMessage = value; }
    // Name of the most derived class, for diagnostics ("EConvertError").
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string FMessage;
};

#define GCL_DECLARE_EXCEPTION(Name, Base)                                      \
    class Name : public Base {                                                 \
    public:                                                                    \
        using Base::Base;                                                      \
        const char* ClassName() const noexcept override { return #Name; }      \
    }

GCL_DECLARE_EXCEPTION(EAbort, Exception);           // silent, from Abort()
GCL_DECLARE_EXCEPTION(EConvertError, Exception);
GCL_DECLARE_EXCEPTION(EListError, Exception);
GCL_DECLARE_EXCEPTION(EStringListError, Exception);
GCL_DECLARE_EXCEPTION(EStreamError, Exception);
GCL_DECLARE_EXCEPTION(EReadError, EStreamError);
GCL_DECLARE_EXCEPTION(EWriteError, EStreamError);
GCL_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
GCL_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
GCL_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
GCL_DECLARE_EXCEPTION(EInvalidOperation, Exception);
GCL_DECLARE_EXCEPTION(EOutOfResources, Exception);
GCL_DECLARE_EXCEPTION(EPropertyError, Exception);
GCL_DECLARE_EXCEPTION(EInvalidCast, Exception);
GCL_DECLARE_EXCEPTION(EComponentError, Exception);
GCL_DECLARE_EXCEPTION(EClassNotFound, Exception);
GCL_DECLARE_EXCEPTION(ERangeError, Exception);
GCL_DECLARE_EXCEPTION(EIniFileException, Exception);
GCL_DECLARE_EXCEPTION(ERegistryException, Exception);
GCL_DECLARE_EXCEPTION(EOleError, Exception);

// An operating-system error: the message is the system's text, the code
// is the error number captured right after the failed call.
class EOSError : public Exception {
public:
    EOSError(std::string message, unsigned long code)
        : Exception(std::move(message)), ErrorCode(code) {}
    const char* ClassName() const noexcept override { return "EOSError"; }
    unsigned long ErrorCode;
};

class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, long code)
        : EOleError(std::move(message)), ErrorCode(code) {}
    const char* ClassName() const noexcept override { return "EOleSysError"; }
    long ErrorCode;
};

// A failed internal check. Unlike assert() it is a real exception and
// survives NDEBUG builds.
class EAssertionFailed : public Exception {
public:
    EAssertionFailed(std::string message, std::string unit)
        : Exception(std::move(message)), UnitName(std::move(unit)) {}
    const char* ClassName() const noexcept override { return "EAssertionFailed"; }
    std::string UnitName;
};

// Message texts raised by the library itself.
namespace msg {
inline constexpr const char* ListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SortedListError = "Operation not allowed on sorted list";
inline constexpr const char* DuplicateString = "String list does not allow duplicates";
inline constexpr const char* InvalidPropertyValue = "Invalid property value";
inline constexpr const char* ReadError = "Stream read error";
inline constexpr const char* WriteError = "Stream write error";
inline constexpr const char* FCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* FOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* ParentRequired = "Control '%s' has no parent window";
inline constexpr const char* InvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* InvalidDate = "'%s' is not a valid date";
inline constexpr const char* InvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* AssignError = "Cannot assign a %s to a %s";
inline constexpr const char* DuplicateName = "A component named %s already exists";
inline constexpr const char* InvalidName = "'%s' is not a valid component name";
inline constexpr const char* ClassNotFound = "Class %s not found";
inline constexpr const char* LineInsertError = "Unable to insert a line";
inline constexpr const char* SystemErrorCode = "System Error.  Code: %d.";
} // namespace msg

// ---- Operating-system errors
//
// SysErrorMessage is the system's text for an error code (FormatMessageA;
// natively strerror) without surrounding blanks and line breaks, empty
// when the system has none. RaiseLastOSError raises EOSError for the last
// error of the calling thread (GetLastError; natively errno), read before
// anything else runs, or for a code the caller captured right after the
// failed call; the message is the system's text, or msg::SystemErrorCode
// when there is none. Win32Check raises the last error when Value is 0
// (a failed BOOL, ATOM or handle-as-int call) and returns Value otherwise.
// These are the only copies: the window core and the layers on it use them.
std::string SysErrorMessage(unsigned long code);
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(unsigned long code);
int Win32Check(int value);

// Raises EAbort: unwinds the current operation without a message.
[[noreturn]] void Abort();

// Raises EAssertionFailed when the condition is false.
void Assert(bool condition, const char* message, const char* unit);

} // namespace gcl
