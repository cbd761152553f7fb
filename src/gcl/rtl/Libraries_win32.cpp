// Binding system libraries on Windows: GetModuleHandleA, else
// LoadLibraryExA from the system folder; GetProcAddress.
#include "gcl/rtl/WinApi.h"

#include "gcl/rtl/Libraries.h"

namespace gcl {

void* TSystemLibrary::Handle() {
    std::call_once(FOnce, [this] {
        HMODULE module = GetModuleHandleA(FName);
        if (!module) module = LoadLibraryExA(FName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        // Systems without the search flags refuse them as an invalid parameter.
        if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryA(FName);
        FHandle = module;
    });
    return FHandle;
}

void* TSystemLibrary::FindProc(const char* procName) {
    HMODULE module = static_cast<HMODULE>(Handle());
    if (!module || !procName) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, procName));
}

} // namespace gcl
