// Functions bound by name from a system library, resolved once.
//
// Code that calls a function some systems lack (uxtheme, msimg32, user32
// extras, oleacc, shell32 on demand) binds it here instead of linking it,
// and takes its classic path when the function is absent:
//
//     gcl::TSystemLibrary UxThemeLibrary{"uxtheme.dll"};
//     gcl::TLibraryProc<HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR)>
//         SetWindowThemeProc{UxThemeLibrary, "SetWindowTheme"};
//     ...
//     if (auto setWindowTheme = SetWindowThemeProc.Get())
//         setWindowTheme(handle, L"", L"");
//     else
//         ... classic path ...
//
// The library is loaded at the first Get of one of its functions: the
// module the process already has (GetModuleHandleA, which also honours the
// program's side-by-side manifest, as for comctl32), else LoadLibraryExA
// from the system folder only; natively dlopen. Each function is looked
// up at its first Get. Both answers, found or absent, are kept for the
// life of the process: a library is never freed and never asked twice.
// Both classes have constexpr constructors, so namespace-scope objects are
// constant-initialised (no static constructor runs); binding is
// thread-safe.
#pragma once

#include <mutex>
#include <type_traits>

namespace gcl {

class TSystemLibrary {
public:
    constexpr explicit TSystemLibrary(const char* name) noexcept : FName(name) {}
    TSystemLibrary(const TSystemLibrary&) = delete;
    TSystemLibrary& operator=(const TSystemLibrary&) = delete;

    const char* Name() const noexcept { return FName; }
    // The module (an HMODULE on Windows), loaded on the first call; null
    // when the library is absent.
    void* Handle();
    bool Loaded() { return Handle() != nullptr; }
    // The address of an exported function, null when the library or the
    // function is absent. Looks it up at every call: TLibraryProc keeps it.
    void* FindProc(const char* procName);

private:
    const char* FName;
    std::once_flag FOnce;
    void* FHandle = nullptr;
};

// One function of a TSystemLibrary; F is the function pointer type.
template <class F>
class TLibraryProc {
    static_assert(std::is_pointer_v<F> && std::is_function_v<std::remove_pointer_t<F>>,
                  "TLibraryProc takes a function pointer type");

public:
    constexpr TLibraryProc(TSystemLibrary& library, const char* name) noexcept : FLibrary(library), FName(name) {}
    TLibraryProc(const TLibraryProc&) = delete;
    TLibraryProc& operator=(const TLibraryProc&) = delete;

    const char* Name() const noexcept { return FName; }
    // The function, bound on the first call; null when absent.
    F Get() {
        std::call_once(FOnce, [this] { FProc = reinterpret_cast<F>(FLibrary.FindProc(FName)); });
        return FProc;
    }
    bool Available() { return Get() != nullptr; }

private:
    TSystemLibrary& FLibrary;
    const char* FName;
    std::once_flag FOnce;
    F FProc = nullptr;
};

} // namespace gcl
