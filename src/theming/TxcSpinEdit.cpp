// The themed spin edit: value rules, keys, the embedded button's place and
// the edit rectangle beside it.
#include "theming/TxcSpinEdit.h"

#include <algorithm>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TTxcCustomSpinEdit)

GCL_PUBLISHED(TTxcSpinEdit,
    GCL_PROP(MinValue).Default(0),
    GCL_PROP(MaxValue).Default(0),
    GCL_PROP(Increment).Default(1),
    GCL_PROP(EditorEnabled).Default(true),
    GCL_PROP(Value),
    GCL_PROP(DefaultValue).Default(0),
    GCL_PROP(MaxLength).Default(9),
    GCL_PROP(ReadOnly).Default(false))

TTxcCustomSpinEdit::TTxcCustomSpinEdit(gcl::TComponent* owner) : TTxcEdit(owner) {
    FButton = TTxcSpinButton::Create(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    // The edit is the box's one stop: typing and Up and Down work there,
    // and its arrows take the mouse only.
    FButton->SetTabStop(false);
    FButton->SetParent(this);
    FButton->OnUpClick = gcl::TNotifyEvent(this, &TTxcCustomSpinEdit::UpClick);
    FButton->OnDownClick = gcl::TNotifyEvent(this, &TTxcCustomSpinEdit::DownClick);
    SetText("0");
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csSetCaption);
    SetControlStyle(style);
    SetMaxLength(9);
}

void TTxcCustomSpinEdit::BeforeDestruction() noexcept {
    FButton = nullptr;  // freed as an owned component
    inherited::BeforeDestruction();
}

int TTxcCustomSpinEdit::ClampValue(int value) const noexcept {
    if (FMinValue == FMaxValue) return value;
    return std::max(FMinValue, std::min(FMaxValue, value));
}

int TTxcCustomSpinEdit::GetValue() {
    int value;
    return gcl::TryStrToInt(GetText(), value) ? value : FMinValue;
}

void TTxcCustomSpinEdit::SetValue(int value) { SetText(gcl::IntToStr(ClampValue(value))); }

void TTxcCustomSpinEdit::SetDefaultValue(int value) {
    // Equal limits mean no range, as for Value; and a form being read
    // keeps the Value it stores.
    FDefaultValue = ClampValue(value);
    if (GetComponentState().Contains(gcl::csLoading) || GetComponentState().Contains(gcl::csReading)) return;
    SetValue(value);
}

bool TTxcCustomSpinEdit::IsValidChar(char key) {
    const auto k = static_cast<unsigned char>(key);
    const bool numeric = (key >= '0' && key <= '9') || key == '+' || key == '-' ||
                         key == gcl::FormatSettings().DecimalSeparator;
    if (!numeric && (k >= 32 || key == '\r')) return false;
    return FEditorEnabled || (k < 32 && key != '\b');
}

void TTxcCustomSpinEdit::UpClick(gcl::TObject*) {
    if (GetReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (GetText().empty()) SetValue(FDefaultValue);
    SetValue(GetValue() + FIncrement);
}

void TTxcCustomSpinEdit::DownClick(gcl::TObject*) {
    if (GetReadOnly()) {
        MessageBeep(0);
        return;
    }
    if (GetText().empty()) SetValue(FDefaultValue);
    SetValue(GetValue() - FIncrement);
}

void TTxcCustomSpinEdit::KeyDown(uint16_t& key, gcl::TShiftState shift) {
    if (key == VK_UP) UpClick(this);
    else if (key == VK_DOWN) DownClick(this);
    inherited::KeyDown(key, shift);
}

void TTxcCustomSpinEdit::KeyPress(char& key) {
    if (!IsValidChar(key)) {
        key = '\0';
        MessageBeep(0);
    }
    if (key != '\0') inherited::KeyPress(key);
}

void TTxcCustomSpinEdit::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
}

void TTxcCustomSpinEdit::CreateWnd() {
    inherited::CreateWnd();
    SetEditRect();
}

void TTxcCustomSpinEdit::SetEditRect() {
    if (!HandleAllocated()) return;
    const int buttonWidth = FButton ? FButton->GetWidth() : 0;
    RECT r{0, 0, GetClientWidth() - buttonWidth, GetClientHeight() + 1};
    SendMessageA(GetHandle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageA(GetHandle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

int TTxcCustomSpinEdit::GetMinHeight() {
    const HDC dc = GetDC(nullptr);
    TEXTMETRICA system{};
    GetTextMetricsA(dc, &system);
    const HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
    TEXTMETRICA font{};
    GetTextMetricsA(dc, &font);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int s = system.tmHeight;
    const int f = font.tmHeight;
    return f + std::min(s, f) / 4 + 4 * GetSystemMetrics(SM_CYBORDER) + 2;
}

void TTxcCustomSpinEdit::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_SIZE: {
        inherited::Dispatch(message);
        const int minHeight = GetMinHeight();
        if (minHeight > GetHeight()) {
            SetHeight(minHeight);
            // Placed by the WM_SIZE of the new height, unless AutoSize kept
            // the old one.
            if (GetHeight() >= minHeight) return;
        }
        if (FButton) {
            const int bw = FButton->GetWidth();
            if (GetCtl3D()) FButton->SetBounds(GetWidth() - bw - 4, 0, bw, GetHeight() - 3);
            else FButton->SetBounds(GetWidth() - bw, 1, bw, GetHeight() - 3);
            SetEditRect();
        }
        return;
    }
    case WM_PASTE:
    case WM_CUT:
        if (FEditorEnabled && !GetReadOnly()) inherited::Dispatch(message);
        return;
    case gcl::CM_ENTER:
        if (GetAutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
        break;
    case gcl::CM_ENABLEDCHANGED:
        inherited::Dispatch(message);
        if (FButton) FButton->SetEnabled(GetEnabled());
        return;
    case WM_GETDLGCODE:
        // A one-line number box, though its window is a multi-line edit:
        // Enter and Esc belong to the dialog's Ok and Cancel buttons.
        inherited::Dispatch(message);
        message.Result &= ~static_cast<intptr_t>(DLGC_WANTALLKEYS);
        return;
    default: break;
    }
    inherited::Dispatch(message);
}

} // namespace qelvo
