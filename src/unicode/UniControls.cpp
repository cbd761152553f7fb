#include "gcl/rtl/WinApi.h"

#include "unicode/UniControls.h"

#include "gcl/Messages.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniWindows.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TWideControlHelper)

namespace {

// Reaches the protected text and hint members of any control.
struct TControlAccess : gcl::TControl {
    static std::string GetTextOf(gcl::TControl* control) { return (control->*&TControlAccess::GetText)(); }
    static void SetTextOf(gcl::TControl* control, const std::string& value) {
        (control->*&TControlAccess::SetText)(value);
    }
    static void SetHintOf(gcl::TControl* control, const std::string& value) {
        (control->*&TControlAccess::SetHintRaw)(value);
    }
};

void SetAnsiText(gcl::TObject* obj, const std::string& value) {
    TControlAccess::SetTextOf(static_cast<gcl::TControl*>(obj), value);
}

void SetAnsiHint(gcl::TObject* obj, const std::string& value) {
    TControlAccess::SetHintOf(static_cast<gcl::TControl*>(obj), value);
}

TWideComponentHelperList* GControlHelpers = nullptr;

TWideComponentHelperList* ControlHelpers() {
    if (!GControlHelpers) GControlHelpers = new TWideComponentHelperList();
    return GControlHelpers;
}

TWideControlHelper* NeedWideControlHelper(gcl::TControl* control) {
    if (TWideControlHelper* helper = FindWideControlHelper(control)) return helper;
    return TWideControlHelper::Create(control, ControlHelpers());
}

// The window of a windowed control, or null when there is none (yet).
HWND ExistingHandle(gcl::TControl* control) {
    auto* win = dynamic_cast<gcl::TWinControl*>(control);
    return win && win->HandleAllocated() ? win->GetHandle() : nullptr;
}

void InitializeUniControls() { ControlHelpers(); }

void FinalizeUniControls() {
    delete GControlHelpers;
    GControlHelpers = nullptr;
}

} // namespace

gcl::TUnit UniControlsUnit{"UniControls", &InitializeUniControls, &FinalizeUniControls};

TWideControlHelper* FindWideControlHelper(const gcl::TControl* control) {
    return static_cast<TWideControlHelper*>(FindWideComponentHelper(GControlHelpers, control));
}

std::wstring WideControlGetText(gcl::TControl* control) {
    HWND handle = ExistingHandle(control);
    if (!UnicodePlatform || (handle && !IsWindowUnicode(handle)))
        return gcl::AnsiToWide(TControlAccess::GetTextOf(control));
    if (handle) {
        int length = GetWindowTextLengthW(handle);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int n = GetWindowTextW(handle, text.data(), length + 1);
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return text;
    }
    // No window (a windowless control, or one whose window is not made
    // yet): the kept wide caption, unless 8-bit code changed the caption.
    std::string ansi = TControlAccess::GetTextOf(control);
    if (TWideControlHelper* helper = FindWideControlHelper(control))
        return GetSyncedWideString(helper->WideCaption(), ansi);
    return gcl::AnsiToWide(ansi);
}

void WideControlSetText(gcl::TControl* control, const std::wstring& value) {
    HWND handle = ExistingHandle(control);
    if (!UnicodePlatform || (handle && !IsWindowUnicode(handle))) {
        TControlAccess::SetTextOf(control, gcl::WideToAnsi(value));
        return;
    }
    if (handle) {
        if (WideControlGetText(control) != value) {
            Uni_SetWindowTextW(handle, value.c_str());
            control->Perform(gcl::CM_TEXTCHANGED, 0, 0);
        }
        return;
    }
    TWideControlHelper* helper = NeedWideControlHelper(control);
    if (dynamic_cast<gcl::TWinControl*>(control)) {
        helper->WideCaption() = value;
        TControlAccess::SetTextOf(control, gcl::WideToAnsi(value));
    } else {
        SetSyncedWideString(value, helper->WideCaption(), TControlAccess::GetTextOf(control), &SetAnsiText, control);
    }
}

std::wstring WideControlGetHint(gcl::TControl* control) {
    if (UnicodePlatform)
        if (TWideControlHelper* helper = FindWideControlHelper(control))
            return GetSyncedWideString(helper->WideHint(), control->GetHint());
    return gcl::AnsiToWide(control->GetHint());
}

void WideControlSetHint(gcl::TControl* control, const std::wstring& value) {
    if (UnicodePlatform) {
        TWideControlHelper* helper = NeedWideControlHelper(control);
        SetSyncedWideString(value, helper->WideHint(), control->GetHint(), &SetAnsiHint, control);
    } else {
        TControlAccess::SetHintOf(control, gcl::WideToAnsi(value));
    }
}

bool IsWideCaptionStored(gcl::TControl*) { return true; }

bool IsWideHintStored(gcl::TControl*) { return true; }

std::wstring WideGetHintOfControlChain(gcl::TControl* control) {
    for (gcl::TControl* c = control; c; c = c->GetParent()) {
        std::wstring hint = WideControlGetHint(c);
        if (!hint.empty()) return hint;
    }
    return std::wstring();
}

std::wstring WideGetShortHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(0, bar);
}

std::wstring WideGetLongHint(const std::wstring& hint) {
    size_t bar = hint.find(L'|');
    return bar == std::wstring::npos ? hint : hint.substr(bar + 1);
}

} // namespace qelvo
