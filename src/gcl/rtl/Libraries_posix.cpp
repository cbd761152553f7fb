// Binding shared libraries natively: dlopen and dlsym.
#include "gcl/rtl/Libraries.h"

#include <dlfcn.h>

namespace gcl {

void* TSystemLibrary::Handle() {
    std::call_once(FOnce, [this] { FHandle = dlopen(FName, RTLD_NOW | RTLD_LOCAL); });
    return FHandle;
}

void* TSystemLibrary::FindProc(const char* procName) {
    void* module = Handle();
    if (!module || !procName) return nullptr;
    return dlsym(module, procName);
}

} // namespace gcl
