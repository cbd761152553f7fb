// COM helpers of the class library: the OLE start-up unit, OleCheck and
// its error class, ownership wrappers for BSTR, VARIANT and STGMEDIUM,
// SafeCall for the bodies of COM methods, and __uuidof for the program's
// own interfaces.
//
// Reference counting (ComPtr, TInterfacedObject) lives in
// gcl/rtl/Interfaces.h and works with system interfaces too:
//
//     gcl::ComPtr<IStorage> storage;
//     gcl::OleCheck(StgCreateDocfileOnILockBytes(bytes.Get(), mode, 0, storage.Put()));
//
// A COM method of our own never lets a C++ exception out (it would end the
// process on this toolchain); its body runs inside SafeCall:
//
//     HRESULT STDMETHODCALLTYPE TMySite::GetWindow(HWND* window) {
//         return gcl::SafeCall([&] { *window = FOwner->GetHandle(); return S_OK; });
//     }
#pragma once

#include "gcl/rtl/WinApi.h"
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <utility>

#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Interfaces.h"

namespace gcl {

namespace msg {
inline constexpr const char* OleError = "OLE error %.8X";
} // namespace msg

// The text of an HRESULT: the system's message, else "OLE error XXXXXXXX".
std::string OleErrorMessage(HRESULT code);
// Raises EOleSysError carrying the code and its text.
[[noreturn]] void OleError(HRESULT code);
// Raises EOleSysError when the code is a failure; answers it otherwise.
inline HRESULT OleCheck(HRESULT code) {
    if (FAILED(code)) OleError(code);
    return code;
}

// Runs body (which answers an HRESULT) and turns any exception into
// failure (E_UNEXPECTED unless given; E_OUTOFMEMORY for a failed
// allocation; an EOleSysError's own code).
template <class F>
HRESULT SafeCall(F&& body, HRESULT failure = E_UNEXPECTED) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (const EOleSysError& e) {
        return FAILED(e.ErrorCode) ? static_cast<HRESULT>(e.ErrorCode) : failure;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return failure;
    }
}

// ---- Ownership of automation values --------------------------------------

// A BSTR freed with SysFreeString.
class TBStr {
public:
    TBStr() noexcept = default;
    explicit TBStr(const std::wstring& text);
    ~TBStr() { Reset(); }
    TBStr(const TBStr&) = delete;
    TBStr& operator=(const TBStr&) = delete;
    TBStr(TBStr&& other) noexcept : FValue(std::exchange(other.FValue, nullptr)) {}
    TBStr& operator=(TBStr&& other) noexcept {
        if (this != &other) {
            Reset();
            FValue = std::exchange(other.FValue, nullptr);
        }
        return *this;
    }

    BSTR Get() const noexcept { return FValue; }
    // Frees the held string and answers the slot for an out parameter.
    BSTR* Put() noexcept {
        Reset();
        return &FValue;
    }
    BSTR Detach() noexcept { return std::exchange(FValue, nullptr); }
    void Reset() noexcept;
    std::wstring ToWide() const;
    // In the system code page.
    std::string ToString() const;

private:
    BSTR FValue = nullptr;
};

// A VARIANT cleared with VariantClear.
class TOleVariant {
public:
    TOleVariant() noexcept { VariantInit(&FValue); }
    explicit TOleVariant(const std::wstring& text);
    explicit TOleVariant(int32_t value) noexcept;
    explicit TOleVariant(bool value) noexcept;
    ~TOleVariant() { Clear(); }
    TOleVariant(const TOleVariant&) = delete;
    TOleVariant& operator=(const TOleVariant&) = delete;

    VARIANT* Get() noexcept { return &FValue; }
    const VARIANT* Get() const noexcept { return &FValue; }
    VARTYPE Type() const noexcept { return FValue.vt; }
    // Clears the value and answers it for an out parameter.
    VARIANT* Put() noexcept {
        Clear();
        return &FValue;
    }
    void Clear() noexcept { VariantClear(&FValue); }

private:
    VARIANT FValue;
};

// A STGMEDIUM released with ReleaseStgMedium.
class TStgMedium {
public:
    TStgMedium() noexcept = default;
    ~TStgMedium() { Reset(); }
    TStgMedium(const TStgMedium&) = delete;
    TStgMedium& operator=(const TStgMedium&) = delete;

    STGMEDIUM* Get() noexcept { return &FValue; }
    STGMEDIUM* Put() noexcept {
        Reset();
        return &FValue;
    }
    // Gives the medium up without releasing it.
    STGMEDIUM Detach() noexcept { return std::exchange(FValue, STGMEDIUM{}); }
    void Reset() noexcept;

private:
    STGMEDIUM FValue{};
};

// ---- Identifiers ------------------------------------------------------------

// System interfaces the headers give no identifier for (callback
// interfaces handed over by pointer, such as IOleUIObjInfoA): declare them
// with a specialisation set to true; objects implementing them then answer
// QueryInterface only for IUnknown and the others.
template <class I>
inline constexpr bool HasNoInterfaceID = false;

// The identifier of an interface: I::IID for the program's own (gcl::TGUID),
// __uuidof for the system's, the null identifier for the ones above.
template <class I>
const IID& IIDOf() noexcept {
    static constexpr IID none{};
    if constexpr (HasNoInterfaceID<I>)
        return none;
    else if constexpr (requires { I::IID; })
        return reinterpret_cast<const IID&>(I::IID);
    else
        return __uuidof(I);
}

// ---- Objects implementing system interfaces -----------------------------------

// A reference-counted object implementing the system interfaces I...:
// QueryInterface answers IUnknown and each __uuidof(I) from a table, plus
// whatever QueryExtra adds (base interfaces such as IOleWindow). The count
// starts at 0; the Release that brings it back to 0 frees the object.
// Create it with T::Create(...) and hold it through ComPtr.
//
//     using TSiteBase = gcl::TComObject<IOleClientSite, IOleInPlaceSite>;
//     class TSite : public TSiteBase {
//         GCL_CLASS(TSite, TSiteBase)
//         ...
//     };
template <class First, class... Rest>
class TComObject : public TObject, public First, public Rest... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        void* found = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || (!HasNoInterfaceID<First> && IsEqualIID(iid, IIDOf<First>())))
            found = static_cast<First*>(this);
        else
            (void)((!HasNoInterfaceID<Rest> && IsEqualIID(iid, IIDOf<Rest>()) ? (found = static_cast<Rest*>(this), true)
                                                                               : false) ||
                   ...);
        if (!found) found = QueryExtra(iid);
        *out = found;
        if (!found) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = InterlockedDecrement(&FRefCount);
        if (count == 0) Free();
        return static_cast<ULONG>(count);
    }
    LONG GetRefCount() const noexcept { return FRefCount; }

protected:
    TComObject() = default;
    ~TComObject() override = default;
    // Further identifiers this object answers (not reference counted).
    virtual void* QueryExtra(REFIID) { return nullptr; }

private:
    LONG FRefCount = 0;
};

// ---- Start-up ---------------------------------------------------------------

// OleInitialize on the GUI thread at start-up (drag and drop, the
// clipboard, embedded objects and hosted controls need it), OleUninitialize
// at the end. Listed in the unit table before every unit that uses COM.
extern TUnit OleUnit;

} // namespace gcl

// Lets __uuidof name an interface of the program's own that carries a
// static IID member; put it at global scope after the interface:
//
//     GCL_DECLARE_UUIDOF(qelvo::IGvCaptions)
#define GCL_DECLARE_UUIDOF(type)                                                 \
    extern "C++" {                                                               \
    template <>                                                                  \
    inline const GUID& __mingw_uuidof<type>() {                                  \
        return reinterpret_cast<const GUID&>(type::IID);                         \
    }                                                                            \
    template <>                                                                  \
    inline const GUID& __mingw_uuidof<type*>() {                                 \
        return __mingw_uuidof<type>();                                           \
    }                                                                            \
    }
