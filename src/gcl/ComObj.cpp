// OLE start-up, OLE errors and the automation value wrappers.
#include "gcl/ComObj.h"

#include "gcl/rtl/Strings.h"

namespace gcl {

std::string OleErrorMessage(HRESULT code) {
    std::string message = SysErrorMessage(static_cast<unsigned long>(code));
    while (!message.empty() && message.back() == '.') message.pop_back();
    if (message.empty()) message = Format(msg::OleError, {static_cast<uint32_t>(code)});
    return message;
}

void OleError(HRESULT code) { throw EOleSysError(OleErrorMessage(code), code); }

// ---- TBStr ----------------------------------------------------------------------

TBStr::TBStr(const std::wstring& text)
    : FValue(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!FValue && !text.empty()) throw std::bad_alloc();
}

void TBStr::Reset() noexcept {
    if (BSTR value = std::exchange(FValue, nullptr)) SysFreeString(value);
}

std::wstring TBStr::ToWide() const {
    if (!FValue) return std::wstring();
    return std::wstring(FValue, SysStringLen(FValue));
}

std::string TBStr::ToString() const { return WideToAnsi(ToWide()); }

// ---- TOleVariant --------------------------------------------------------------------

TOleVariant::TOleVariant(const std::wstring& text) {
    VariantInit(&FValue);
    TBStr value(text);
    FValue.vt = VT_BSTR;
    FValue.bstrVal = value.Detach();
}

TOleVariant::TOleVariant(int32_t value) noexcept {
    VariantInit(&FValue);
    FValue.vt = VT_I4;
    FValue.lVal = value;
}

TOleVariant::TOleVariant(bool value) noexcept {
    VariantInit(&FValue);
    FValue.vt = VT_BOOL;
    FValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// ---- TStgMedium ------------------------------------------------------------------------

void TStgMedium::Reset() noexcept {
    if (FValue.tymed != TYMED_NULL) ReleaseStgMedium(&FValue);
    FValue = STGMEDIUM{};
}

// ---- Start-up ------------------------------------------------------------------------------

namespace {
bool GOleStarted = false;

void InitOle() {
    HRESULT code = OleInitialize(nullptr);
    // S_FALSE: this thread had it already; the count still needs the matching
    // uninitialise. RPC_E_CHANGED_MODE: COM runs multi-threaded here, OLE
    // cannot start, and there is nothing to undo.
    GOleStarted = SUCCEEDED(code);
    if (code != RPC_E_CHANGED_MODE) OleCheck(code);
}

void DoneOle() {
    if (GOleStarted) OleUninitialize();
    GOleStarted = false;
}
} // namespace

TUnit OleUnit{"Ole", &InitOle, &DoneOle};

} // namespace gcl
