// GUIDs and COM-layout interfaces.
//
// gcl::IUnknown has the layout of the Win32 IUnknown (stdcall methods on
// i686), so its descendants can be handed to and taken from system COM
// code by pointer cast. An interface names its identifier in a static
// IID member:
//
//     struct IGvCaptions : gcl::IUnknown {
//         static constexpr gcl::TGUID IID = gcl::StringToGUID("{...}");
//         virtual gcl::HRESULT GCL_STDCALL GetCaption(...) = 0;
//     };
//
// A class implementing interfaces puts GCL_IUNKNOWN in its public part and
// answers the identifiers in GetInterface:
//
//     class TMyView : public TComponent, public IGvCaptions {
//         GCL_CLASS(TMyView, TComponent)
//     public:
//         GCL_IUNKNOWN
//         bool GetInterface(const TGUID& iid, void** out) override {
//             return QueryInterfaces<IGvCaptions>(this, iid, out) ||
//                    inherited::GetInterface(iid, out);
//         }
//     };
//
// Components are not reference counted (AddRef and Release answer -1;
// the component tree owns them). Reference-counted objects derive from
// TInterfacedObject, whose count starts at 0: the first Release that brings
// it back to 0 frees the object.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "gcl/rtl/Objects.h"

#if defined(_WIN32) && defined(__i386__)
#define GCL_STDCALL __attribute__((stdcall))
#else
#define GCL_STDCALL
#endif

namespace gcl {

#ifdef _WIN32
using HRESULT = long;
using ULONG = unsigned long;
#else
using HRESULT = int32_t;
using ULONG = uint32_t;
#endif

// Result codes (named apart from the Win32 macros).
namespace hr {
inline constexpr HRESULT Ok = 0;
inline constexpr HRESULT False = 1;
inline constexpr HRESULT NoInterface = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT Pointer = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT Unexpected = static_cast<HRESULT>(0x8000FFFFu);
} // namespace hr

namespace msg {
inline constexpr const char* InvalidGUID = "'%s' is not a valid GUID value";
} // namespace msg

// Laid out like the Win32 GUID.
struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};
    friend constexpr bool operator==(const TGUID&, const TGUID&) noexcept = default;
};
static_assert(sizeof(TGUID) == 16);

namespace detail {
[[noreturn]] void RaiseInvalidGUID(std::string_view text);

constexpr int HexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace detail

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; raises EConvertError
// for any other text (a compile error when evaluated at compile time).
constexpr TGUID StringToGUID(std::string_view text) {
    constexpr std::string_view pattern = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != pattern.size()) detail::RaiseInvalidGUID(text);
    uint8_t bytes[16] = {};
    int nibble = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != 'X') {
            if (text[i] != pattern[i]) detail::RaiseInvalidGUID(text);
            continue;
        }
        int digit = detail::HexDigit(text[i]);
        if (digit < 0) detail::RaiseInvalidGUID(text);
        bytes[nibble / 2] = static_cast<uint8_t>(bytes[nibble / 2] << 4 | digit);
        ++nibble;
    }
    TGUID g;
    g.D1 = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    g.D2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    g.D3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) g.D4[i] = bytes[8 + i];
    return g;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GUIDToString(const TGUID& guid);

struct IUnknown {
    static constexpr TGUID IID = StringToGUID("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT GCL_STDCALL QueryInterface(const TGUID& iid, void** out) = 0;
    virtual ULONG GCL_STDCALL AddRef() = 0;
    virtual ULONG GCL_STDCALL Release() = 0;

protected:
    // Not virtual: a virtual destructor would add slots to the COM vtable.
    ~IUnknown() = default;
};
using IInterface = IUnknown;

namespace detail {
// QueryInterface through obj->GetInterface, with AddRef on success.
HRESULT QueryObject(TObject* obj, const TGUID& iid, void** out) noexcept;
} // namespace detail

// The IUnknown methods of a class implementing interfaces: QueryInterface
// goes to GetInterface, AddRef/Release to the class's ObjAddRef/ObjRelease
// (TInterfacedObject counts, TComponent does not).
#define GCL_IUNKNOWN                                                                        \
    ::gcl::HRESULT GCL_STDCALL QueryInterface(const ::gcl::TGUID& iid, void** out) override { \
        return ::gcl::detail::QueryObject(this, iid, out);                                  \
    }                                                                                       \
    ::gcl::ULONG GCL_STDCALL AddRef() override { return ObjAddRef(); }                      \
    ::gcl::ULONG GCL_STDCALL Release() override { return ObjRelease(); }

// For GetInterface overrides: answers IUnknown and each I::IID from self
// (not reference counted).
template <class First, class... Rest, class T>
bool QueryInterfaces(T* self, const TGUID& iid, void** out) noexcept {
    void* found = nullptr;
    if (iid == IUnknown::IID)
        found = static_cast<IUnknown*>(static_cast<First*>(self));
    else if (iid == First::IID)
        found = static_cast<First*>(self);
    else
        (void)((iid == Rest::IID ? (found = static_cast<Rest*>(self), true) : false) || ...);
    *out = found;
    return found != nullptr;
}

// A reference to a COM object: AddRef on copy, Release when dropped.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* p) noexcept : FPtr(p) {
        if (FPtr) FPtr->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.FPtr) {}
    ComPtr(ComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(FPtr, other.FPtr);
        return *this;
    }

    T* Get() const noexcept { return FPtr; }
    T* operator->() const noexcept { return FPtr; }
    explicit operator bool() const noexcept { return FPtr != nullptr; }
    // Releases the held pointer and returns the slot for an out parameter.
    T** Put() noexcept {
        Reset();
        return &FPtr;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }
    // Takes over a reference without AddRef.
    void Attach(T* p) noexcept {
        Reset();
        FPtr = p;
    }
    // Gives up the reference without Release.
    T* Detach() noexcept { return std::exchange(FPtr, nullptr); }
    void Reset() noexcept {
        if (T* p = std::exchange(FPtr, nullptr)) p->Release();
    }

private:
    T* FPtr = nullptr;
};

namespace detail {
bool SupportsObject(TObject* obj, const TGUID& iid, void** out);
bool SupportsUnknown(IUnknown* unk, const TGUID& iid, void** out);
bool AnswersObject(TObject* obj, const TGUID& iid);
} // namespace detail

// Queries obj (a TObject descendant or an interface) for iid; on success
// *out holds an AddRef'd interface.
template <class T>
bool Supports(T* obj, const TGUID& iid, void** out) {
    if constexpr (std::is_base_of_v<TObject, T>)
        return detail::SupportsObject(obj, iid, out);
    else
        return detail::SupportsUnknown(obj, iid, out);
}
template <class I, class T>
bool Supports(T* obj, ComPtr<I>& out) {
    return Supports(obj, I::IID, out.PutVoid());
}
// Only whether the object answers iid.
template <class T>
    requires std::is_base_of_v<TObject, T>
bool Supports(T* obj, const TGUID& iid) {
    return detail::AnswersObject(obj, iid);
}

// A reference-counted object. Its count starts at 0 and is changed with
// interlocked operations; the Release that brings it to 0 frees it.
// Hold it through ComPtr; free an object never referenced with Free().
class TInterfacedObject : public TObject, public IUnknown {
    GCL_CLASS(TInterfacedObject, TObject)
public:
    TInterfacedObject() = default;
    GCL_IUNKNOWN
    bool GetInterface(const TGUID& iid, void** out) override;
    ULONG ObjAddRef() noexcept { return static_cast<ULONG>(++FRefCount); }
    ULONG ObjRelease() noexcept;
    int32_t GetRefCount() const noexcept { return FRefCount; }

protected:
    ~TInterfacedObject() override = default;

private:
    std::atomic<int32_t> FRefCount{0};
};

} // namespace gcl
