// System services of the run-time library: the operating-system version,
// critical sections and the shell's "open" operation.
//
// The version and the shell are replaceable services, so tests can
// pretend to run on another Windows version or record shell calls.
#pragma once

#include "gcl/rtl/Services.h"

#include <mutex>
#include <string>

namespace gcl {

// ---- Operating-system version ---------------------------------------

// Platform ids as GetVersionEx reports them.
inline constexpr int PlatformWin32s = 0;
inline constexpr int PlatformWin32Windows = 1;   // Windows 95/98/Me
inline constexpr int PlatformWin32NT = 2;

struct TOSVersionInfo {
    int Platform = PlatformWin32NT;
    int MajorVersion = 6;
    int MinorVersion = 1;
    int BuildNumber = 7601;
};

class IOSVersion {
public:
    virtual ~IOSVersion() = default;
    virtual TOSVersionInfo GetVersion() = 0;
};

// The production service asks GetVersionExA once and keeps the answer;
// natively it reports Windows NT 6.1 (build 7601).
extern ServiceSlot<IOSVersion> OSVersion;

// A fixed version, for tests:
//   TFixedOSVersion win98{{PlatformWin32Windows, 4, 10, 2222}};
//   ServiceOverride<IOSVersion> use(OSVersion, win98);
class TFixedOSVersion : public IOSVersion {
public:
    explicit TFixedOSVersion(const TOSVersionInfo& info) : FInfo(info) {}
    TOSVersionInfo GetVersion() override { return FInfo; }

private:
    TOSVersionInfo FInfo;
};

// The version globals read like integers (Win32MajorVersion >= 6) and
// always answer from the current OSVersion service.
class TOSVersionField {
public:
    constexpr explicit TOSVersionField(int TOSVersionInfo::*field) noexcept : FField(field) {}
    operator int() const { return OSVersion->GetVersion().*FField; }

private:
    int TOSVersionInfo::*FField;
};

extern const TOSVersionField Win32Platform;
extern const TOSVersionField Win32MajorVersion;
extern const TOSVersionField Win32MinorVersion;
extern const TOSVersionField Win32BuildNumber;

// ---- Critical sections ----------------------------------------------

// A recursive lock: the owning thread may enter again.
class TCriticalSection {
public:
    TCriticalSection() = default;
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }
    bool TryEnter() { return FMutex.try_lock(); }

private:
    std::recursive_mutex FMutex;
};

// Holds a critical section for the lifetime of the object.
class TCriticalSectionLock {
public:
    explicit TCriticalSectionLock(TCriticalSection& section) : FSection(section) { FSection.Enter(); }
    ~TCriticalSectionLock() { FSection.Leave(); }
    TCriticalSectionLock(const TCriticalSectionLock&) = delete;
    TCriticalSectionLock& operator=(const TCriticalSectionLock&) = delete;

private:
    TCriticalSection& FSection;
};

// ---- Shell -----------------------------------------------------------

// Opens a document, folder or URL with the program the system associates
// with it. True when the shell accepted the request.
struct IShell {
    virtual ~IShell() = default;
    virtual bool Open(const std::string& target, const std::string& params = "") = 0;
    // Opens a wide target without any message from the system: a target
    // that cannot be opened only answers false. (Without an own form, the
    // 8-bit Open of the converted strings.)
    virtual bool OpenSilently(const std::wstring& target, const std::wstring& params);
};

// ShellExecuteA with the verb "open" on Windows; natively always false.
extern ServiceSlot<IShell> Shell;

} // namespace gcl
