#include "gcl/rtl/Interfaces.h"

#include <cstdio>

namespace gcl {

namespace detail {

void RaiseInvalidGUID(std::string_view text) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, msg::InvalidGUID, std::string(text.substr(0, 100)).c_str());
    throw EConvertError(buffer);
}

HRESULT QueryObject(TObject* obj, const TGUID& iid, void** out) noexcept {
    if (!out) return hr::Pointer;
    try {
        if (obj->GetInterface(iid, out) && *out) {
            static_cast<IUnknown*>(*out)->AddRef();
            return hr::Ok;
        }
    } catch (...) {
    }
    *out = nullptr;
    return hr::NoInterface;
}

bool SupportsObject(TObject* obj, const TGUID& iid, void** out) {
    *out = nullptr;
    return obj && detail::QueryObject(obj, iid, out) == hr::Ok;
}

bool SupportsUnknown(IUnknown* unk, const TGUID& iid, void** out) {
    *out = nullptr;
    return unk && unk->QueryInterface(iid, out) == hr::Ok && *out;
}

bool AnswersObject(TObject* obj, const TGUID& iid) {
    void* p = nullptr;
    return obj && obj->GetInterface(iid, &p) && p;
}

} // namespace detail

std::string GUIDToString(const TGUID& g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.D1), g.D2, g.D3, g.D4[0], g.D4[1], g.D4[2], g.D4[3], g.D4[4],
                  g.D4[5], g.D4[6], g.D4[7]);
    return buffer;
}

// ---- TInterfacedObject -------------------------------------------------

GCL_IMPLEMENT_CLASS(TInterfacedObject)

bool TInterfacedObject::GetInterface(const TGUID& iid, void** out) {
    if (iid == IUnknown::IID) {
        *out = static_cast<IUnknown*>(this);
        return true;
    }
    return inherited::GetInterface(iid, out);
}

ULONG TInterfacedObject::ObjRelease() noexcept {
    int32_t count = --FRefCount;
    if (count == 0) Free();
    return static_cast<ULONG>(count);
}

} // namespace gcl
