#include "gcl/StdCtrls.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "gcl/ActnList.h"
#include "gcl/DragDrop.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace msg {
inline constexpr const char* ListBoxMustBeVirtual = "Listbox (%s) style must be virtual in order to set Count";
} // namespace msg

namespace {

// Draws on a control canvas for the lifetime of the object: the canvas
// wraps dc and takes the control's font and brush.
class TCanvasOnDC {
public:
    TCanvasOnDC(TControlCanvas& canvas, HDC dc, TFont* font, TBrush* brush) : FCanvas(canvas) {
        FCanvas.FreeHandle();
        FCanvas.Lock();
        FCanvas.SetHandle(dc);
        if (font) FCanvas.SetFont(font);
        if (brush) FCanvas.SetBrush(brush);
    }
    ~TCanvasOnDC() {
        FCanvas.SetHandle(nullptr);
        FCanvas.Unlock();
    }
    TCanvasOnDC(const TCanvasOnDC&) = delete;
    TCanvasOnDC& operator=(const TCanvasOnDC&) = delete;

private:
    TControlCanvas& FCanvas;
};

// Sends a message that carries 8-bit text to the control's own window. It
// passes the control's WindowProc like Perform, and when other code has
// made the window a Unicode one the system converts the text both ways.
intptr_t SendText(TWinControl* control, UINT msg, uintptr_t wParam, intptr_t lParam = 0) {
    return SendMessageA(control->GetHandle(), msg, wParam, lParam);
}

// Text flags of an owner-drawn item's default text.
constexpr uint32_t kItemTextFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;  // 2084

// The default drawing of an owner-drawn list item: background, then the
// text 2 pixels from the leading edge.
void DrawListItemText(TControl* control, TCanvas* canvas, TRect rect, const std::string& text, bool hasText) {
    canvas->FillRect(rect);
    if (!hasText) return;
    uint32_t flags = control->DrawTextBiDiModeFlags(kItemTextFlags);
    if (!control->UseRightToLeftAlignment())
        rect.Left += 2;
    else
        rect.Right -= 2;
    canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    RECT r = ToRECT(rect);
    DrawTextA(canvas->GetHandle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

// Answers the WM_DRAWITEM of a list box's or a combo box's item: the canvas
// on the item's DC in the control's font and brush, the highlight colours on
// a selected item, paintItem(index, rect, state), then the focus frame. Item
// -1 is an empty list being focused: background only.
template <class PaintItem>
void PaintOwnerDrawnItem(TMessage& message, TControlCanvas& canvas, TFont* font, TBrush* brush,
                         PaintItem paintItem) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
    if (!item) return;
    TOwnerDrawState state = OwnerDrawStateFromItemState(item->itemState);
    TCanvasOnDC scope(canvas, item->hDC, font, brush);
    int index = static_cast<int>(item->itemID);
    if (index >= 0 && state.Contains(odSelected)) {
        canvas.GetBrush()->SetColor(clHighlight);
        canvas.GetFont()->SetColor(clHighlightText);
    }
    TRect rect = FromRECT(item->rcItem);
    if (index >= 0)
        paintItem(index, rect, state);
    else
        canvas.FillRect(rect);
    if (state.Contains(odFocused)) DrawFocusRect(item->hDC, &item->rcItem);
    message.Result = 1;
}

// Common published properties of windowed controls.
#define GCL_STD_CONTROL_PROPS                                                       \
    GCL_PROP(Align).Default(alNone), GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}), \
        GCL_PROP(BiDiMode).Default(bdLeftToRight), GCL_PROP(Constraints),           \
        GCL_PROP(DragCursor).Default(crDrag), GCL_PROP(DragKind).Default(dkDrag),  \
        GCL_PROP(DragMode).Default(dmManual), GCL_PROP(Enabled).Default(true), GCL_PROP(Font), \
        GCL_PROP(ParentBiDiMode).Default(true), GCL_PROP(ParentFont).Default(true), \
        GCL_PROP(ParentShowHint).Default(true), GCL_PROP(ShowHint).Default(false), \
        GCL_PROP(Visible).Default(true)

} // namespace

// ---- TCustomEdit -----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomEdit)

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentColor(false);
    SetBorderStyle(bsSingle);
}

void TCustomEdit::AfterConstruction() {
    inherited::AfterConstruction();
    if (FInitialAutoSize) SetAutoSize(true);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "EDIT");
    params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (!FHideSelection) params.Style |= ES_NOHIDESEL;
    if (FOEMConvert) params.Style |= ES_OEMCONVERT;
    if (FReadOnly) params.Style |= ES_READONLY;
    if (FPasswordChar != '\0') params.Style |= ES_PASSWORD;
}

void TCustomEdit::CreateWnd() {
    inherited::CreateWnd();
    Perform(EM_LIMITTEXT, static_cast<uintptr_t>(FMaxLength));
    if (FPasswordChar != '\0') Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar));
    Perform(EM_SETMODIFY, FModified ? 1 : 0);
    if (FSavedSelStart >= 0) {
        Perform(EM_SETSEL, static_cast<uintptr_t>(FSavedSelStart), FSavedSelStart + FSavedSelLength);
        FSavedSelStart = -1;
    }
}

void TCustomEdit::DestroyWnd() {
    FModified = GetModified();
    FSavedSelStart = GetSelStart();
    FSavedSelLength = GetSelLength();
    inherited::DestroyWnd();
}

void TCustomEdit::SetMaxLength(int value) {
    value = std::max(value, 0);
    if (value == FMaxLength) return;
    FMaxLength = value;
    if (HandleAllocated()) Perform(EM_LIMITTEXT, static_cast<uintptr_t>(value));
}

void TCustomEdit::SetReadOnly(bool value) {
    if (value == FReadOnly) return;
    FReadOnly = value;
    if (HandleAllocated()) Perform(EM_SETREADONLY, value ? 1 : 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value) { StoreAndRecreateWnd(FCharCase, value); }

void TCustomEdit::SetPasswordChar(char value) {
    if (value == FPasswordChar) return;
    FPasswordChar = value;
    if (HandleAllocated()) {
        Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(value));
        Invalidate();
    }
}

void TCustomEdit::SetHideSelection(bool value) { StoreAndRecreateWnd(FHideSelection, value); }

void TCustomEdit::SetOEMConvert(bool value) { StoreAndRecreateWnd(FOEMConvert, value); }

bool TCustomEdit::GetModified() {
    if (HandleAllocated()) return Perform(EM_GETMODIFY) != 0;
    return FModified;
}

void TCustomEdit::SetModified(bool value) {
    FModified = value;
    if (HandleAllocated()) Perform(EM_SETMODIFY, value ? 1 : 0);
}

int TCustomEdit::GetSelStart() {
    if (!HandleAllocated()) return std::max(FSavedSelStart, 0);
    DWORD start = 0;
    DWORD end = 0;
    Perform(EM_GETSEL, reinterpret_cast<uintptr_t>(&start), reinterpret_cast<intptr_t>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) {
    if (!HandleAllocated()) {
        FSavedSelStart = std::max(value, 0);
        FSavedSelLength = 0;
        return;
    }
    Perform(EM_SETSEL, static_cast<uintptr_t>(value), value);
}

int TCustomEdit::GetSelLength() {
    if (!HandleAllocated()) return FSavedSelStart >= 0 ? FSavedSelLength : 0;
    DWORD start = 0;
    DWORD end = 0;
    Perform(EM_GETSEL, reinterpret_cast<uintptr_t>(&start), reinterpret_cast<intptr_t>(&end));
    return static_cast<int>(end) - static_cast<int>(start);
}

void TCustomEdit::SetSelLength(int value) {
    if (!HandleAllocated()) {
        FSavedSelStart = std::max(FSavedSelStart, 0);
        FSavedSelLength = std::max(value, 0);
        return;
    }
    int start = GetSelStart();
    Perform(EM_SETSEL, static_cast<uintptr_t>(start), start + value);
}

std::string TCustomEdit::GetSelText() {
    int start = GetSelStart();
    int length = GetSelLength();
    if (length <= 0) return std::string();
    return Copy(GetText(), start + 1, length);
}

void TCustomEdit::SetSelText(const std::string& value) {
    HandleNeeded();
    SendText(this, EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(value.c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) {
        Perform(EM_SETSEL, 0, -1);
    } else {
        FSavedSelStart = 0;
        FSavedSelLength = GetTextLen();
    }
}

void TCustomEdit::ClearSelection() {
    if (HandleAllocated()) Perform(WM_CLEAR);
}

void TCustomEdit::Clear() { SetText(std::string()); }

void TCustomEdit::CopyToClipboard() {
    if (HandleAllocated()) Perform(WM_COPY);
}

void TCustomEdit::CutToClipboard() {
    if (HandleAllocated()) Perform(WM_CUT);
}

void TCustomEdit::PasteFromClipboard() {
    if (HandleAllocated()) Perform(WM_PASTE);
}

bool TCustomEdit::CanUndo() { return HandleAllocated() && Perform(EM_CANUNDO) != 0; }

void TCustomEdit::Undo() {
    if (HandleAllocated()) Perform(WM_UNDO);
}

void TCustomEdit::ClearUndo() {
    if (HandleAllocated()) Perform(EM_EMPTYUNDOBUFFER);
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && !GetControlState().Contains(csLButtonDown) && HandleAllocated() &&
        !(GetWindowLongA(GetHandle(), GWL_STYLE) & ES_MULTILINE))
        SelectAll();
    inherited::DoEnter();
}

int TCustomEdit::AutoHeight() {
    TCanvas& canvas = MeasureCanvas();
    canvas.SetFont(GetFont());
    canvas.RequiredState({csHandleValid, csFontValid});
    TEXTMETRICA metrics{};
    GetTextMetricsA(canvas.GetHandle(), &metrics);
    int border = GetCtl3D() ? 8 : 6;
    return metrics.tmHeight + GetSystemMetrics(SM_CYBORDER) * border;
}

bool TCustomEdit::CanAutoSize(int&, int& newHeight) {
    newHeight = AutoHeight();
    return true;
}

void TCustomEdit::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HiWord(message.WParam) == EN_CHANGE) {
            Change();
            return;
        }
        break;
    case WM_SETFONT:
        DefaultHandler(message);
        if (HandleAllocated() && !(GetWindowLongA(GetHandle(), GWL_STYLE) & ES_MULTILINE))
            Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        return;
    case CM_FONTCHANGED:
    case CM_CTL3DCHANGED:
        inherited::Dispatch(message);
        if (GetAutoSize()) AdjustSize();
        return;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TEdit,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(AutoSelect).Default(true),
    GCL_PROP(AutoSize).Default(true),
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(CharCase).Default(ecNormal),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(HideSelection).Default(true),
    GCL_PROP(ImeMode).Default(imDontCare),
    GCL_PROP(ImeName),
    GCL_PROP(MaxLength).Default(0),
    GCL_PROP(OEMConvert).Default(false),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(PasswordChar).Default('\0'),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(Text))

// ---- TCustomMemo -----------------------------------------------------------------------

namespace {

// The lines of a memo. With a window they are the window's lines (EM_
// messages; with word wrap these are the wrapped lines); without one they
// are the lines of the stored text.
class TMemoStrings : public TStrings {
    GCL_CLASS(TMemoStrings, TStrings)
public:
    explicit TMemoStrings(TCustomMemo* memo) : FMemo(memo) {}

    std::string Get(int index) const override {
        if (!FMemo->HandleAllocated()) {
            TStringList lines;
            lines.SetText(FMemo->GetText());
            if (index < 0 || index >= lines.GetCount()) Error(msg::ListIndexError, index);
            return lines.Get(index);
        }
        if (index < 0 || index >= GetCount()) Error(msg::ListIndexError, index);
        int start = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(index)));
        int length = static_cast<int>(FMemo->Perform(EM_LINELENGTH, static_cast<uintptr_t>(start)));
        if (length <= 0) return std::string();
        // EM_GETLINE: the first word of the buffer holds its size.
        std::string buffer(std::max<size_t>(static_cast<size_t>(length) + 1, sizeof(WORD)), '\0');
        *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min(length + 1, 0xFFFF));
        int copied = static_cast<int>(
            SendText(FMemo, EM_GETLINE, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(buffer.data())));
        buffer.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
        return buffer;
    }

    int GetCount() const override {
        if (!FMemo->HandleAllocated()) {
            TStringList lines;
            lines.SetText(FMemo->GetText());
            return lines.GetCount();
        }
        int count = static_cast<int>(FMemo->Perform(EM_GETLINECOUNT));
        // The empty line after a final line break is not a line.
        int last = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(count - 1)));
        if (FMemo->Perform(EM_LINELENGTH, static_cast<uintptr_t>(last)) == 0) --count;
        return count;
    }

    void Clear() override { FMemo->Clear(); }

    void Delete(int index) override {
        if (!FMemo->HandleAllocated()) {
            Edit([&](TStringList& lines) {
                if (index < 0 || index >= lines.GetCount()) Error(msg::ListIndexError, index);
                lines.Delete(index);
            });
            return;
        }
        int start = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(index)));
        if (start < 0 || index < 0) Error(msg::ListIndexError, index);
        int end = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(index + 1)));
        if (end < 0) end = start + static_cast<int>(FMemo->Perform(EM_LINELENGTH, static_cast<uintptr_t>(start)));
        FMemo->Perform(EM_SETSEL, static_cast<uintptr_t>(start), end);
        SendText(FMemo, EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(""));
    }

    void Insert(int index, const std::string& s) override {
        if (!FMemo->HandleAllocated()) {
            Edit([&](TStringList& lines) {
                if (index < 0 || index > lines.GetCount()) Error(msg::ListIndexError, index);
                lines.Insert(index, s);
            });
            return;
        }
        if (index < 0) Error(msg::ListIndexError, index);
        int start = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(index)));
        std::string line;
        if (start >= 0) {
            line = s + "\r\n";
        } else {
            // Past the last line: append after it, starting a new line.
            if (index == 0) Error(msg::ListIndexError, index);
            start = static_cast<int>(FMemo->Perform(EM_LINEINDEX, static_cast<uintptr_t>(index - 1)));
            if (start < 0) Error(msg::ListIndexError, index);
            int length = static_cast<int>(FMemo->Perform(EM_LINELENGTH, static_cast<uintptr_t>(start)));
            if (length == 0) Error(msg::ListIndexError, index);
            start += length;
            line = "\r\n" + s;
        }
        FMemo->Perform(EM_SETSEL, static_cast<uintptr_t>(start), start);
        SendText(FMemo, EM_REPLACESEL, 0, reinterpret_cast<intptr_t>(line.c_str()));
    }

    std::string GetText() const override { return FMemo->GetText(); }
    void SetText(const std::string& text) override { FMemo->SetText(text); }

protected:
    void SetUpdateState(bool updating) override {
        if (!FMemo->HandleAllocated()) return;
        FMemo->Perform(WM_SETREDRAW, updating ? 0 : 1);
        if (!updating) FMemo->Invalidate();
    }

private:
    template <class F>
    void Edit(F change) {
        TStringList lines;
        lines.SetText(FMemo->GetText());
        change(lines);
        FMemo->SetText(lines.GetText());
    }

    TCustomMemo* FMemo;
};
GCL_IMPLEMENT_CLASS(TMemoStrings)

} // namespace

GCL_IMPLEMENT_CLASS(TCustomMemo)

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TMemoStrings>(this)) {
    FInitialAutoSize = false;
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetLines(TStrings* value) { FLines->Assign(value); }

void TCustomMemo::SetScrollBars(TScrollStyle value) { StoreAndRecreateWnd(FScrollBars, value); }

void TCustomMemo::SetWordWrap(bool value) { StoreAndRecreateWnd(FWordWrap, value); }

void TCustomMemo::SetAlignment(TAlignment value) { StoreAndRecreateWnd(FAlignment, value); }

void TCustomMemo::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style |= ES_MULTILINE;
    if (FWordWrap) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    switch (FAlignment) {
    case taRightJustify:
        params.Style |= ES_RIGHT;
        break;
    case taCenter:
        params.Style |= ES_CENTER;
        break;
    default:
        break;
    }
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
    if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) params.Style |= WS_HSCROLL;
}

TPoint TCustomMemo::GetCaretPos() {
    if (!HandleAllocated()) return Point(0, 0);
    int start = GetSelStart();
    int line = static_cast<int>(Perform(EM_LINEFROMCHAR, static_cast<uintptr_t>(start)));
    int lineStart = static_cast<int>(Perform(EM_LINEINDEX, static_cast<uintptr_t>(line)));
    return Point(start - lineStart, line);
}

void TCustomMemo::KeyPress(char& key) {
    inherited::KeyPress(key);
    if (key == '\r' && !FWantReturns) key = '\0';
}

void TCustomMemo::Dispatch(TMessage& message) {
    if (message.Msg == WM_GETDLGCODE) {
        DefaultHandler(message);
        if (FWantTabs)
            message.Result |= DLGC_WANTTAB;
        else
            message.Result &= ~static_cast<intptr_t>(DLGC_WANTTAB);
        if (!FWantReturns) message.Result &= ~static_cast<intptr_t>(DLGC_WANTALLKEYS);
        return;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TMemo,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(HideSelection).Default(true),
    GCL_PROP(ImeMode).Default(imDontCare),
    GCL_PROP(ImeName),
    GCL_PROP(Lines),
    GCL_PROP(MaxLength).Default(0),
    GCL_PROP(OEMConvert).Default(false),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(ScrollBars).Default(ssNone),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(WantReturns).Default(true),
    GCL_PROP(WantTabs).Default(false),
    GCL_PROP(WordWrap).Default(true))

// ---- TButtonControl ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TButtonControl)

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
}

void TButtonControl::SetWordWrap(bool value) { StoreAndRecreateWnd(FWordWrap, value); }

TBasicActionLinkClass TButtonControl::GetActionLinkClass() const { return TButtonActionLink::StaticClass(); }

void TButtonControl::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    if (FWordWrap) params.Style |= BS_MULTILINE;
}

// ---- TButton -----------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    inherited::CreateWnd();
    FActive = FDefault;
}

void TButton::Click() {
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
    }
    inherited::Click();
}

void TButton::SetDefault(bool value) {
    if (value == FDefault) return;
    FDefault = value;
    if (!HandleAllocated()) return;
    if (TCustomForm* form = GetParentForm(this))
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<intptr_t>(form->GetActiveControl()));
    else
        SetButtonStyle(value);
}

void TButton::SetButtonStyle(bool isDefault) {
    FActive = isDefault;
    if (!HandleAllocated()) return;
    DWORD style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((static_cast<DWORD>(GetWindowLongA(GetHandle(), GWL_STYLE)) & 0xF) != style)
        Perform(BM_SETSTYLE, style, 1);
}

void TButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HiWord(message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY: {
        uint16_t key = LoWord(message.WParam);
        if (((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel)) &&
            KeyDataToShiftState(message.LParam).Empty() && CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetCaption()) && CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TObject*>(message.LParam);
        if (dynamic_cast<TButton*>(focused))
            SetButtonStyle(focused == this);
        else
            SetButtonStyle(FDefault);
        break;
    }
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TButton,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(Cancel).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Default).Default(false),
    GCL_PROP(ModalResult).Default(mrNone),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(WordWrap).Default(false))

// ---- TCustomCheckBox -------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomCheckBox)

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_3STATE;
    if ((FAlignment == taLeftJustify) != UseRightToLeftAlignment()) params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    inherited::CreateWnd();
    Perform(BM_SETCHECK, static_cast<uintptr_t>(FState));
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
    if (value == FState) return;
    FState = value;
    if (HandleAllocated()) Perform(BM_SETCHECK, static_cast<uintptr_t>(value));
    if (!GetClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) { StoreAndRecreateWnd(FAlignment, value); }

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked:
        SetState(FAllowGrayed ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCustomCheckBox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HiWord(message.WParam) == BN_CLICKED) {
            Toggle();
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetCaption()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TCheckBox,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(Alignment).Default(taRightJustify),
    GCL_PROP(AllowGrayed).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(ParentColor).Default(true),
    GCL_PROP(State).Default(cbUnchecked),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(WordWrap).Default(false))

// ---- TRadioButton -----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_RADIOBUTTON;
    if ((FAlignment == taLeftJustify) != UseRightToLeftAlignment()) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    inherited::CreateWnd();
    Perform(BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED);
}

void TRadioButton::SetChecked(bool value) {
    if (value == FChecked) return;
    FChecked = value;
    SetTabStop(value);
    if (HandleAllocated()) Perform(BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED);
    if (!value) return;
    if (TWinControl* parent = GetParent()) {
        for (int i = 0; i < parent->GetControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->GetControls(i));
            if (sibling && sibling != this) sibling->SetChecked(false);
        }
    }
    if (!GetClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment value) { StoreAndRecreateWnd(FAlignment, value); }

void TRadioButton::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        switch (HiWord(message.WParam)) {
        case BN_CLICKED:
            SetChecked(true);
            return;
        case BN_DOUBLECLICKED:
            DblClick();
            return;
        default:
            break;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(message.WParam), GetCaption()) && CanFocus()) {
            SetFocus();
            if (Focused()) SetChecked(true);
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TRadioButton,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(Alignment).Default(taRightJustify),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(ParentColor).Default(true),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(false),
    GCL_PROP(WordWrap).Default(false))

// ---- TCustomLabel ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomLabel)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(GetControlStyle() | TControlStyle{csOpaque});
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::AfterConstruction() {
    inherited::AfterConstruction();
    SetAutoSize(true);
}

std::string TCustomLabel::GetLabelText() { return GetText(); }

void TCustomLabel::DoDrawText(TRect& rect, uint32_t flags) {
    std::string text = GetLabelText();
    if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    flags = DrawTextBiDiModeFlags(flags);
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    canvas->RequiredState({csHandleValid, csFontValid, csBrushValid});
    HDC dc = canvas->GetHandle();
    RECT r = ToRECT(rect);
    if (!GetEnabled() && !(flags & DT_CALCRECT)) {
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, ColorToColorRef(clBtnHighlight));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        OffsetRect(&r, -1, -1);
        SetTextColor(dc, ColorToColorRef(clBtnShadow));
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    } else {
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    }
    rect = FromRECT(r);
}

namespace {

uint32_t AlignmentFlags(TAlignment alignment) noexcept {
    switch (alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

} // namespace

void TCustomLabel::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    if (!FTransparent) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(client);
    }
    canvas->GetBrush()->SetStyle(bsClear);
    uint32_t flags = DT_EXPANDTABS | AlignmentFlags(FAlignment) | (FWordWrap ? DT_WORDBREAK : 0);
    TRect rect = client;
    if (FLayout != tlTop) {
        TRect calc = client;
        DoDrawText(calc, flags | DT_CALCRECT);
        int offset = client.Height() - calc.Height();
        if (FLayout == tlCenter) offset /= 2;
        rect.Top += offset;
    }
    DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading(this) || !GetAutoSize()) return;
    TRect rect = GetClientRect();
    auto* canvas = static_cast<TControlCanvas*>(GetCanvas());
    HDC dc = GetDC(nullptr);
    {
        TCanvasOnDC scope(*canvas, dc, nullptr, nullptr);
        DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    }
    ReleaseDC(nullptr, dc);
    int x = GetLeft();
    TAlignment alignment = FAlignment;
    if (UseRightToLeftAlignment()) {
        if (alignment == taLeftJustify)
            alignment = taRightJustify;
        else if (alignment == taRightJustify)
            alignment = taLeftJustify;
    }
    if (alignment == taRightJustify) x += GetWidth() - rect.Right;
    if (alignment == taCenter) x += (GetWidth() - rect.Right) / 2;
    SetBounds(x, GetTop(), rect.Right, rect.Bottom);
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == GetAutoSize()) return;
    inherited::SetAutoSize(value);
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    inherited::Loaded();
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) { StoreAndInvalidate(FAlignment, value); }

void TCustomLabel::SetLayout(TTextLayout value) { StoreAndInvalidate(FLayout, value); }

void TCustomLabel::SetShowAccelChar(bool value) { StoreAndInvalidate(FShowAccelChar, value); }

void TCustomLabel::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    ApplyTransparent(value);
}

void TCustomLabel::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        AdjustBounds();
        break;
    case CM_FONTCHANGED:
        inherited::Dispatch(message);
        AdjustBounds();
        break;
    case CM_DIALOGCHAR: {
        TWinControl* focus = FFocusControl.Get();
        if (focus && GetEnabled() && FShowAccelChar && IsAccel(static_cast<char>(message.WParam), GetCaption()) &&
            focus->CanFocus()) {
            focus->SetFocus();
            message.Result = 1;
        }
        break;
    }
    default:
        inherited::Dispatch(message);
        break;
    }
}

GCL_PUBLISHED(TLabel,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(AutoSize).Default(true),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(Caption),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(DragCursor).Default(crDrag),
    GCL_PROP(DragKind).Default(dkDrag),
    GCL_PROP(DragMode).Default(dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(FocusControl),
    GCL_PROP(Font),
    GCL_PROP(Layout).Default(tlTop),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowAccelChar).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(Transparent).Default(false),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(WordWrap).Default(false))

// ---- TCustomListControl ------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomListControl)

void TCustomListControl::MoveSelection(TCustomListControl* destination) {
    CopySelection(destination);
    DeleteSelected();
}

// ---- TListBoxStrings -------------------------------------------------------------------------------

int MovedItemIndex(int itemIndex, int curIndex, int newIndex) noexcept {
    if (itemIndex == curIndex) return newIndex;
    if (itemIndex > curIndex && itemIndex <= newIndex) return itemIndex - 1;
    if (itemIndex < curIndex && itemIndex >= newIndex) return itemIndex + 1;
    return itemIndex;
}

// The items of a list or combo box while it has a window are the window's
// own: the shared reading, searching and update state of both.
class TWindowItemStrings : public TStrings {
    GCL_CLASS(TWindowItemStrings, TStrings)
public:
    explicit TWindowItemStrings(TWinControl* control) : FControl(control) {}

protected:
    // Item Index's text, by the window's length and text messages.
    std::string ReadItemText(UINT lengthMsg, UINT textMsg, int index) const {
        int length = static_cast<int>(SendText(FControl, lengthMsg, static_cast<uintptr_t>(index)));
        if (length < 0) Error(msg::ListIndexError, index);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        int copied = static_cast<int>(
            SendText(FControl, textMsg, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(text.data())));
        if (copied < 0) Error(msg::ListIndexError, index);
        text.resize(static_cast<size_t>(std::min(copied, length)));
        return text;
    }

    // Case-insensitive, as the window searches.
    int FindExact(UINT findMsg, const std::string& s) const {
        return static_cast<int>(
            SendText(FControl, findMsg, static_cast<uintptr_t>(-1), reinterpret_cast<intptr_t>(s.c_str())));
    }

    // The current item's index once item Deleted is gone from the saved items.
    static int IndexAfterDelete(int current, int deleted) noexcept {
        if (current == deleted) return -1;
        return current > deleted ? current - 1 : current;
    }

    void SetUpdateState(bool updating) override {
        if (!FControl->HandleAllocated()) return;
        FControl->Perform(WM_SETREDRAW, updating ? 0 : 1);
        if (!updating) FControl->Invalidate();
    }

private:
    TWinControl* FControl;
};
GCL_IMPLEMENT_CLASS(TWindowItemStrings)

// The items of a list box: LB_ messages through the list box's Perform
// while it has a window, its saved items otherwise.
class TListBoxStrings : public TWindowItemStrings {
    GCL_CLASS(TListBoxStrings, TWindowItemStrings)
public:
    explicit TListBoxStrings(TCustomListBox* listBox) : TWindowItemStrings(listBox), FListBox(listBox) {}

    std::string Get(int index) const override {
        TCustomListBox* lb = FListBox;
        if (lb->IsVirtual()) {
            // The texts of a virtual list come from DoGetData, window or
            // not: a window made Unicode would answer LB_GETTEXT with wide
            // characters, which an 8-bit buffer cannot hold.
            if (index < 0 || index >= lb->GetCount()) Error(msg::ListIndexError, index);
            return lb->DoGetData(index);
        }
        if (!lb->HandleAllocated()) {
            if (index < 0 || index >= static_cast<int>(lb->FSaved.size())) Error(msg::ListIndexError, index);
            return lb->FSaved[static_cast<size_t>(index)].Text;
        }
        return ReadItemText(LB_GETTEXTLEN, LB_GETTEXT, index);
    }

    int GetCount() const override { return FListBox->GetCount(); }

    TObject* GetObject(int index) const override {
        if (FListBox->IsVirtual()) return nullptr;
        if (!FListBox->HandleAllocated()) {
            if (index < 0 || index >= static_cast<int>(FListBox->FSaved.size())) Error(msg::ListIndexError, index);
            return FListBox->FSaved[static_cast<size_t>(index)].Data;
        }
        if (index < 0 || index >= GetCount()) Error(msg::ListIndexError, index);
        return FListBox->GetItemData(index);
    }

    void PutObject(int index, TObject* object) override {
        if (FListBox->IsVirtual()) return;
        if (index < 0 || index >= GetCount()) Error(msg::ListIndexError, index);
        FListBox->SetItemData(index, object);
    }

    int Add(const std::string& s) override {
        TCustomListBox* lb = FListBox;
        if (lb->IsVirtual()) return -1;
        if (!lb->HandleAllocated()) {
            int index = lb->SavedInsertPosition(s);
            lb->FSaved.insert(lb->FSaved.begin() + index, TCustomListBox::TSavedItem{s});
            if (lb->FSavedItemIndex >= index) ++lb->FSavedItemIndex;
            lb->ItemInserted(index);
            return index;
        }
        int index = static_cast<int>(SendText(lb, LB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str())));
        if (index < 0) throw EOutOfResources(msg::LineInsertError);
        return index;
    }

    void Insert(int index, const std::string& s) override {
        TCustomListBox* lb = FListBox;
        if (lb->IsVirtual()) return;
        if (!lb->HandleAllocated()) {
            if (index < 0 || index > static_cast<int>(lb->FSaved.size())) Error(msg::ListIndexError, index);
            lb->FSaved.insert(lb->FSaved.begin() + index, TCustomListBox::TSavedItem{s});
            if (lb->FSavedItemIndex >= index) ++lb->FSavedItemIndex;
            lb->ItemInserted(index);
            return;
        }
        if (SendText(lb, LB_INSERTSTRING, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(s.c_str())) < 0)
            throw EOutOfResources(msg::LineInsertError);
    }

    void Delete(int index) override {
        TCustomListBox* lb = FListBox;
        if (!lb->HandleAllocated()) {
            if (lb->IsVirtual()) return;
            if (index < 0 || index >= static_cast<int>(lb->FSaved.size())) Error(msg::ListIndexError, index);
            lb->FSaved.erase(lb->FSaved.begin() + index);
            lb->FSavedItemIndex = IndexAfterDelete(lb->FSavedItemIndex, index);
            lb->ItemDeleted(index);
            return;
        }
        lb->Perform(LB_DELETESTRING, static_cast<uintptr_t>(index));
    }

    void Clear() override {
        TCustomListBox* lb = FListBox;
        if (!lb->HandleAllocated()) {
            lb->FSaved.clear();
            lb->FSavedCount = 0;
            lb->FSavedItemIndex = -1;
            lb->FSavedTopIndex = 0;
            lb->ItemsCleared();
            return;
        }
        lb->Perform(LB_RESETCONTENT);
    }

    // Replaces the text, keeping the item's data, its other state and
    // the current item.
    void Put(int index, const std::string& s) override {
        if (FListBox->IsVirtual()) return;
        int itemIndex = FListBox->GetItemIndex();
        TFlagScope moving(FListBox->FMoving);
        TObject* data = GetObject(index);
        Delete(index);
        InsertObject(index, s, data);
        FListBox->SetItemIndex(itemIndex);
    }

    // Moves an item with its data and state; the current item follows it.
    void Move(int curIndex, int newIndex) override {
        if (FListBox->IsVirtual() || curIndex == newIndex) return;
        int itemIndex = FListBox->GetItemIndex();
        {
            TStringsUpdate update(*this);
            TFlagScope moving(FListBox->FMoving);
            std::string text = Get(curIndex);
            TObject* data = GetObject(curIndex);
            Delete(curIndex);
            InsertObject(newIndex, text, data);
        }
        FListBox->SetItemIndex(MovedItemIndex(itemIndex, curIndex, newIndex));
    }

    void Exchange(int index1, int index2) override {
        if (index1 == index2) return;
        if (index1 > index2) std::swap(index1, index2);
        int itemIndex = FListBox->GetItemIndex();
        Move(index2, index1);
        Move(index1 + 1, index2);
        if (itemIndex == index1)
            itemIndex = index2;
        else if (itemIndex == index2)
            itemIndex = index1;
        FListBox->SetItemIndex(itemIndex);
    }

    int IndexOf(const std::string& s) const override {
        if (FListBox->HandleAllocated() && !FListBox->IsVirtual()) return FindExact(LB_FINDSTRINGEXACT, s);
        return TStrings::IndexOf(s);
    }

private:
    TCustomListBox* FListBox;
};
GCL_IMPLEMENT_CLASS(TListBoxStrings)

// ---- TCustomListBox ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomListBox)

TCustomListBox::TCustomListBox(TComponent* owner)
    : TCustomListControl(owner),
      FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
    SetControlStyle(TControlStyle{csSetCaption});
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetBorderStyle(bsSingle);
}

TCustomListBox::~TCustomListBox() = default;

TStrings* TCustomListBox::GetItems() const noexcept { return FItems.get(); }

void TCustomListBox::SetItems(TStrings* value) { FItems->Assign(value); }

TCanvas* TCustomListBox::GetCanvas() const noexcept { return FCanvas.get(); }

void TCustomListBox::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "LISTBOX");
    params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY;
    switch (FStyle) {
    case lbOwnerDrawFixed:
        params.Style |= LBS_OWNERDRAWFIXED;
        break;
    case lbOwnerDrawVariable:
        params.Style |= LBS_OWNERDRAWVARIABLE;
        break;
    case lbVirtual:
    case lbVirtualOwnerDraw:
        params.Style |= LBS_OWNERDRAWFIXED | LBS_NODATA;
        break;
    default:
        break;
    }
    if (!IsVirtual()) {
        params.Style |= LBS_HASSTRINGS;
        if (FSorted) params.Style |= LBS_SORT;
    }
    if (!FIntegralHeight) params.Style |= LBS_NOINTEGRALHEIGHT;
    if (FMultiSelect) params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (FColumns > 0) params.Style |= LBS_MULTICOLUMN;
    if (FTabWidth != 0) params.Style |= LBS_USETABSTOPS;
    // The scroll bars appear when needed.
    params.Style &= ~static_cast<DWORD>(WS_HSCROLL);
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
    inherited::CreateWnd();
    TFlagScope restoring(FRestoring);
    if (FTabWidth != 0) {
        int width = FTabWidth;
        Perform(LB_SETTABSTOPS, 1, reinterpret_cast<intptr_t>(&width));
    }
    if (FColumns > 0) Perform(LB_SETCOLUMNWIDTH, static_cast<uintptr_t>(GetWidth() / FColumns));
    if (IsVirtual()) {
        Perform(LB_SETCOUNT, static_cast<uintptr_t>(FSavedCount));
    } else {
        std::vector<TSavedItem> saved;
        saved.swap(FSaved);
        for (size_t i = 0; i < saved.size(); ++i) {
            int index = static_cast<int>(
                SendText(this, LB_INSERTSTRING, i, reinterpret_cast<intptr_t>(saved[i].Text.c_str())));
            if (index < 0) continue;
            if (saved[i].Data) SetItemData(index, saved[i].Data);
            if (FMultiSelect && saved[i].Selected) Perform(LB_SETSEL, 1, index);
        }
    }
    if (FSavedItemIndex >= 0) SetItemIndex(FSavedItemIndex);
    if (FSavedTopIndex > 0) Perform(LB_SETTOPINDEX, static_cast<uintptr_t>(FSavedTopIndex));
    FSavedItemIndex = -1;
    FSavedTopIndex = 0;
}

void TCustomListBox::DestroyWnd() {
    if (HandleAllocated()) {
        int count = GetCount();
        if (IsVirtual()) {
            FSavedCount = count;
        } else {
            std::vector<TSavedItem> saved(static_cast<size_t>(std::max(count, 0)));
            for (int i = 0; i < count; ++i) {
                TSavedItem& item = saved[static_cast<size_t>(i)];
                item.Text = FItems->Get(i);
                item.Data = GetItemData(i);
                item.Selected = FMultiSelect && Perform(LB_GETSEL, static_cast<uintptr_t>(i)) > 0;
            }
            FSaved.swap(saved);
        }
        FSavedItemIndex = GetItemIndex();
        FSavedTopIndex = GetTopIndex();
    }
    FCanvas->FreeHandle();
    inherited::DestroyWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
    if (value == FStyle) return;
    bool wasVirtual = IsVirtual();
    if (HandleAllocated()) {
        DestroyHandle();
    }
    FStyle = value;
    if (wasVirtual != IsVirtual()) {
        // Items and a virtual count do not convert into each other.
        FSaved.clear();
        FSavedCount = 0;
        FSavedItemIndex = -1;
        FSavedTopIndex = 0;
        ItemsCleared();
    }
    UpdateControlState();
}

int TCustomListBox::GetItemHeight() {
    if (HandleAllocated() && FStyle == lbStandard) return static_cast<int>(Perform(LB_GETITEMHEIGHT));
    return FItemHeight;
}

void TCustomListBox::SetItemHeight(int value) {
    if (value <= 0 || value == FItemHeight) return;
    FItemHeight = value;
    if (IsOwnerDraw()) RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool value) { StoreAndRecreateWnd(FMultiSelect, value); }

void TCustomListBox::SetExtendedSelect(bool value) { StoreAndRecreateWnd(FExtendedSelect, value); }

void TCustomListBox::SetSorted(bool value) {
    if (value == FSorted) return;
    FSorted = value;
    if (!value || IsVirtual()) {
        RecreateWnd();
        return;
    }
    // Sort what is there now: the items move with their data, selection
    // and state.
    int count = GetCount();
    std::vector<TSavedItem> items(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        items[static_cast<size_t>(i)].Text = FItems->Get(i);
        items[static_cast<size_t>(i)].Data = FItems->GetObject(i);
        items[static_cast<size_t>(i)].Selected = GetSelected(i);
    }
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return lstrcmpiA(items[static_cast<size_t>(a)].Text.c_str(), items[static_cast<size_t>(b)].Text.c_str()) < 0;
    });
    int itemIndex = GetItemIndex();
    int newItemIndex = -1;
    std::vector<TSavedItem> sorted;
    sorted.reserve(items.size());
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(items[static_cast<size_t>(order[i])]);
        if (order[i] == itemIndex) newItemIndex = static_cast<int>(i);
    }
    ItemsReordered(order);
    if (HandleAllocated()) DestroyHandle();
    FSaved = std::move(sorted);
    FSavedItemIndex = newItemIndex;
    FSavedTopIndex = 0;
    UpdateControlState();
}

void TCustomListBox::SetIntegralHeight(bool value) { StoreAndRecreateWnd(FIntegralHeight, value); }

void TCustomListBox::SetColumns(int value) {
    value = std::max(value, 0);
    if (value == FColumns) return;
    bool styleChanges = (value == 0) != (FColumns == 0);
    FColumns = value;
    if (styleChanges)
        RecreateWnd();
    else if (HandleAllocated())
        Perform(LB_SETCOLUMNWIDTH, static_cast<uintptr_t>(GetWidth() / FColumns));
}

void TCustomListBox::SetTabWidth(int value) {
    value = std::max(value, 0);
    if (value == FTabWidth) return;
    FTabWidth = value;
    RecreateWnd();
}

int TCustomListBox::GetCount() {
    if (HandleAllocated()) return static_cast<int>(Perform(LB_GETCOUNT));
    return IsVirtual() ? FSavedCount : static_cast<int>(FSaved.size());
}

void TCustomListBox::SetCount(int value) {
    if (!IsVirtual()) throw EInvalidOperation(Format(msg::ListBoxMustBeVirtual, {GetName()}));
    value = std::max(value, 0);
    if (HandleAllocated()) {
        Perform(LB_SETCOUNT, static_cast<uintptr_t>(value));
        return;
    }
    FSavedCount = value;
    if (FSavedItemIndex >= value) FSavedItemIndex = -1;
    ItemCountSet(value);
}

int TCustomListBox::GetItemIndex() {
    if (!HandleAllocated()) return FSavedItemIndex < GetCount() ? FSavedItemIndex : -1;
    return static_cast<int>(Perform(FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int value) {
    if (!HandleAllocated()) {
        FSavedItemIndex = value >= 0 && value < GetCount() ? value : -1;
        return;
    }
    if (GetItemIndex() == value) return;
    if (FMultiSelect)
        Perform(LB_SETCARETINDEX, static_cast<uintptr_t>(value), 0);
    else
        Perform(LB_SETCURSEL, static_cast<uintptr_t>(value));
}

int TCustomListBox::GetTopIndex() {
    if (!HandleAllocated()) return FSavedTopIndex;
    return static_cast<int>(Perform(LB_GETTOPINDEX));
}

void TCustomListBox::SetTopIndex(int value) {
    if (!HandleAllocated()) {
        FSavedTopIndex = std::max(value, 0);
        return;
    }
    if (GetTopIndex() != value) Perform(LB_SETTOPINDEX, static_cast<uintptr_t>(value));
}

bool TCustomListBox::GetSelected(int index) {
    if (index < 0 || index >= GetCount()) throw EListError(Format(msg::ListIndexError, {index}));
    if (!HandleAllocated()) {
        if (FMultiSelect && !IsVirtual()) return FSaved[static_cast<size_t>(index)].Selected;
        return index == FSavedItemIndex;
    }
    return Perform(LB_GETSEL, static_cast<uintptr_t>(index)) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
    if (index < 0 || index >= GetCount()) throw EListError(Format(msg::ListIndexError, {index}));
    if (!HandleAllocated()) {
        if (FMultiSelect && !IsVirtual())
            FSaved[static_cast<size_t>(index)].Selected = value;
        else if (value)
            FSavedItemIndex = index;
        else if (FSavedItemIndex == index)
            FSavedItemIndex = -1;
        return;
    }
    if (FMultiSelect) {
        Perform(LB_SETSEL, value ? 1 : 0, index);
    } else if (value) {
        SetItemIndex(index);
    } else if (GetItemIndex() == index) {
        SetItemIndex(-1);
    }
}

int TCustomListBox::GetSelCount() {
    if (!FMultiSelect) return -1;
    if (HandleAllocated()) return static_cast<int>(Perform(LB_GETSELCOUNT));
    return static_cast<int>(std::count_if(FSaved.begin(), FSaved.end(), [](const TSavedItem& i) { return i.Selected; }));
}

TObject* TCustomListBox::GetItemData(int index) {
    if (IsVirtual()) return nullptr;
    if (!HandleAllocated()) {
        if (index < 0 || index >= static_cast<int>(FSaved.size())) throw EListError(Format(msg::ListIndexError, {index}));
        return FSaved[static_cast<size_t>(index)].Data;
    }
    intptr_t data = Perform(LB_GETITEMDATA, static_cast<uintptr_t>(index));
    if (data == LB_ERR) throw EListError(Format(msg::ListIndexError, {index}));
    return reinterpret_cast<TObject*>(data);
}

void TCustomListBox::SetItemData(int index, TObject* data) {
    if (IsVirtual()) return;
    if (!HandleAllocated()) {
        if (index < 0 || index >= static_cast<int>(FSaved.size())) throw EListError(Format(msg::ListIndexError, {index}));
        FSaved[static_cast<size_t>(index)].Data = data;
        return;
    }
    if (Perform(LB_SETITEMDATA, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(data)) == LB_ERR)
        throw EListError(Format(msg::ListIndexError, {index}));
}

void TCustomListBox::AddItem(const std::string& item, TObject* object) { FItems->AddObject(item, object); }

void TCustomListBox::Clear() { FItems->Clear(); }

void TCustomListBox::ClearSelection() {
    if (FMultiSelect) {
        for (int i = 0; i < GetCount(); ++i) SetSelected(i, false);
    } else {
        SetItemIndex(-1);
    }
}

void TCustomListBox::CopySelection(TCustomListControl* destination) {
    if (!destination) return;
    if (FMultiSelect) {
        for (int i = 0; i < GetCount(); ++i)
            if (GetSelected(i)) destination->AddItem(FItems->Get(i), FItems->GetObject(i));
    } else {
        int index = GetItemIndex();
        if (index >= 0) destination->AddItem(FItems->Get(index), FItems->GetObject(index));
    }
}

void TCustomListBox::DeleteSelected() {
    if (FMultiSelect) {
        for (int i = GetCount() - 1; i >= 0; --i)
            if (GetSelected(i)) FItems->Delete(i);
    } else {
        int index = GetItemIndex();
        if (index >= 0) FItems->Delete(index);
    }
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    for (int i = 0; i < GetCount(); ++i) SetSelected(i, true);
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
    if (HandleAllocated() && PtInRect(GetClientRect(), pos)) {
        int count = GetCount();
        for (int index = GetTopIndex(); index < count; ++index) {
            RECT r{};
            Perform(LB_GETITEMRECT, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&r));
            if (PtInRect(&r, POINT{pos.X, pos.Y})) return index;
        }
        if (!existing) return count;
    }
    return -1;
}

TRect TCustomListBox::ItemRect(int index) {
    RECT r{};
    if (HandleAllocated() && index >= 0 && index < GetCount())
        Perform(LB_GETITEMRECT, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(&r));
    return FromRECT(r);
}

std::string TCustomListBox::DoGetData(int index) {
    std::string data;
    if (OnData) OnData(this, index, data);
    return data;
}

int TCustomListBox::SavedInsertPosition(const std::string& text) const {
    if (!FSorted) return static_cast<int>(FSaved.size());
    auto it = std::upper_bound(FSaved.begin(), FSaved.end(), text, [](const std::string& s, const TSavedItem& item) {
        return lstrcmpiA(s.c_str(), item.Text.c_str()) < 0;
    });
    return static_cast<int>(it - FSaved.begin());
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    bool hasText = index < GetCount();
    DrawListItemText(this, FCanvas.get(), rect, hasText ? FItems->Get(index) : std::string(), hasText);
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::ItemInserted(int) {}
void TCustomListBox::ItemDeleted(int) {}
void TCustomListBox::ItemsCleared() {}
void TCustomListBox::ItemCountSet(int) {}
void TCustomListBox::ItemsReordered(const std::vector<int>&) {}

void TCustomListBox::CNDrawItem(TMessage& message) {
    PaintOwnerDrawnItem(message, *FCanvas, GetFont(), GetBrush(),
                        [this](int index, TRect rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
}

void TCustomListBox::CNMeasureItem(TMessage& message) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    if (!item) return;
    int height = MeasuredItemHeight();
    if (FStyle == lbOwnerDrawVariable) MeasureItem(static_cast<int>(item->itemID), height);
    item->itemHeight = static_cast<UINT>(std::max(height, 1));
    message.Result = 1;
}

int TCustomListBox::MeasuredItemHeight() { return FItemHeight; }

void TCustomListBox::CNCommand(TMessage& message) {
    switch (HiWord(message.WParam)) {
    case LBN_SELCHANGE:
        Click();
        break;
    case LBN_DBLCLK:
        DblClick();
        break;
    default:
        break;
    }
}

void TCustomListBox::LBGetText(TMessage& message, bool lengthOnly) {
    int index = static_cast<int>(message.WParam);
    if (index < 0 || index >= GetCount() || !OnData) {
        message.Result = LB_ERR;
        return;
    }
    std::string text = DoGetData(index);
    if (!lengthOnly && message.LParam) std::memcpy(reinterpret_cast<char*>(message.LParam), text.c_str(), text.size() + 1);
    message.Result = static_cast<intptr_t>(text.size());
}

void TCustomListBox::WndProc(TMessage& message) {
    if (!DispatchOwnDragPress(message)) inherited::WndProc(message);
}

void TCustomListBox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_DRAWITEM:
        CNDrawItem(message);
        return;
    case CN_MEASUREITEM:
        CNMeasureItem(message);
        return;
    case CN_COMMAND:
        CNCommand(message);
        return;
    case LB_GETTEXT:
    case LB_GETTEXTLEN:
        if (IsVirtual()) {
            LBGetText(message, message.Msg == LB_GETTEXTLEN);
            return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetDragMode() == dmAutomatic) {
            // A press on an item of a multiple selection drags the
            // selection as it is; otherwise the press selects first.
            if (FMultiSelect) {
                int index = ItemAtPos(LParamToPoint(message.LParam), true);
                if (index >= 0 && GetSelected(index)) {
                    BeginDrag(false);
                    return;
                }
            }
            TComponentRef<TControl> alive(this);
            inherited::Dispatch(message);
            if (alive) BeginAutoDrag();
            return;
        }
        break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        DefaultHandler(message);
        if (message.Result >= 0 && !FRestoring) ItemInserted(static_cast<int>(message.Result));
        return;
    case LB_DELETESTRING:
        DefaultHandler(message);
        if (message.Result != LB_ERR && !FRestoring) ItemDeleted(static_cast<int>(message.WParam));
        return;
    case LB_RESETCONTENT:
        DefaultHandler(message);
        if (!FRestoring) ItemsCleared();
        return;
    case LB_SETCOUNT:
        DefaultHandler(message);
        if (message.Result != LB_ERR && !FRestoring) ItemCountSet(static_cast<int>(message.WParam));
        return;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TListBox,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Columns).Default(0),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(ExtendedSelect).Default(true),
    GCL_PROP(IntegralHeight).Default(false),
    GCL_PROP(ItemHeight).Default(16).StoredBy<&Self::IsItemHeightStored>(),
    GCL_PROP(Items),
    GCL_PROP(MultiSelect).Default(false),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(Sorted).Default(false),
    GCL_PROP(Style).Default(lbStandard),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(TabWidth).Default(0))

// ---- TComboBoxStrings ---------------------------------------------------------------------------

class TComboBoxStrings : public TWindowItemStrings {
    GCL_CLASS(TComboBoxStrings, TWindowItemStrings)
public:
    explicit TComboBoxStrings(TCustomComboBox* comboBox) : TWindowItemStrings(comboBox), FComboBox(comboBox) {}

    std::string Get(int index) const override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            CheckSaved(index);
            return cb->FSaved[static_cast<size_t>(index)].Text;
        }
        return ReadItemText(CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
    }

    int GetCount() const override { return FComboBox->GetCount(); }

    TObject* GetObject(int index) const override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            CheckSaved(index);
            return cb->FSaved[static_cast<size_t>(index)].Data;
        }
        intptr_t data = cb->Perform(CB_GETITEMDATA, static_cast<uintptr_t>(index));
        if (data == CB_ERR) Error(msg::ListIndexError, index);
        return reinterpret_cast<TObject*>(data);
    }

    void PutObject(int index, TObject* object) override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            CheckSaved(index);
            cb->FSaved[static_cast<size_t>(index)].Data = object;
            return;
        }
        if (cb->Perform(CB_SETITEMDATA, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(object)) == CB_ERR)
            Error(msg::ListIndexError, index);
    }

    int Add(const std::string& s) override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            int index = static_cast<int>(cb->FSaved.size());
            if (cb->FSorted) {
                auto it = std::upper_bound(cb->FSaved.begin(), cb->FSaved.end(), s,
                                           [](const std::string& a, const TCustomComboBox::TSavedItem& b) {
                                               return lstrcmpiA(a.c_str(), b.Text.c_str()) < 0;
                                           });
                index = static_cast<int>(it - cb->FSaved.begin());
            }
            InsertSaved(index, s);
            return index;
        }
        int index = static_cast<int>(SendText(cb, CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(s.c_str())));
        if (index < 0) throw EOutOfResources(msg::LineInsertError);
        return index;
    }

    void Insert(int index, const std::string& s) override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            if (index < 0 || index > static_cast<int>(cb->FSaved.size())) Error(msg::ListIndexError, index);
            InsertSaved(index, s);
            return;
        }
        if (SendText(cb, CB_INSERTSTRING, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(s.c_str())) < 0)
            throw EOutOfResources(msg::LineInsertError);
    }

    void Delete(int index) override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            CheckSaved(index);
            cb->FSaved.erase(cb->FSaved.begin() + index);
            cb->FSavedItemIndex = IndexAfterDelete(cb->FSavedItemIndex, index);
            return;
        }
        cb->Perform(CB_DELETESTRING, static_cast<uintptr_t>(index));
    }

    void Clear() override {
        TCustomComboBox* cb = FComboBox;
        if (!cb->HandleAllocated()) {
            cb->FSaved.clear();
            cb->FSavedItemIndex = -1;
            cb->SetText(std::string());
            return;
        }
        std::string text = cb->GetText();
        cb->Perform(CB_RESETCONTENT);
        // Resetting empties the edit too; its text stays.
        if (cb->GetStyle() == csDropDown || cb->GetStyle() == csSimple) cb->SetText(text);
    }

    int IndexOf(const std::string& s) const override {
        if (FComboBox->HandleAllocated()) return FindExact(CB_FINDSTRINGEXACT, s);
        return TStrings::IndexOf(s);
    }

private:
    void CheckSaved(int index) const {
        if (index < 0 || index >= static_cast<int>(FComboBox->FSaved.size())) Error(msg::ListIndexError, index);
    }
    void InsertSaved(int index, const std::string& s) {
        FComboBox->FSaved.insert(FComboBox->FSaved.begin() + index, TCustomComboBox::TSavedItem{s});
        if (FComboBox->FSavedItemIndex >= index) ++FComboBox->FSavedItemIndex;
    }

    TCustomComboBox* FComboBox;
};
GCL_IMPLEMENT_CLASS(TComboBoxStrings)

// ---- TCustomComboBox ------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomComboBox)

LRESULT CALLBACK ComboEditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* combo = dynamic_cast<TCustomComboBox*>(FindControl(GetParent(hwnd)));
    if (!combo || combo->FEditHandle != hwnd || !combo->FEditDefProc) return DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC defProc = combo->FEditDefProc;
    bool handled = false;
    GCL_GUARD(combo, handled = combo->EditKeyMessage(msg, wParam, lParam););
    if (handled) return 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defProc));
        combo->FEditHandle = nullptr;
        combo->FEditDefProc = nullptr;
    }
    return CallWindowProcA(defProc, hwnd, msg, wParam, lParam);
}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TCustomListControl(owner),
      FItems(std::make_unique<TComboBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>()) {
    FCanvas->SetControl(this);
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentColor(false);
}

TCustomComboBox::~TCustomComboBox() = default;

TStrings* TCustomComboBox::GetItems() const noexcept { return FItems.get(); }

void TCustomComboBox::SetItems(TStrings* value) { FItems->Assign(value); }

TCanvas* TCustomComboBox::GetCanvas() const noexcept { return FCanvas.get(); }

void TCustomComboBox::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, "COMBOBOX");
    params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case csSimple:
        params.Style |= CBS_SIMPLE;
        break;
    case csDropDownList:
        params.Style |= CBS_DROPDOWNLIST;
        break;
    case csOwnerDrawFixed:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
        break;
    case csOwnerDrawVariable:
        params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE;
        break;
    default:
        params.Style |= CBS_DROPDOWN;
        break;
    }
    if (FSorted) params.Style |= CBS_SORT;
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
    // The text of an editable combo box is its edit's; put it back there.
    std::string text = HandleAllocated() ? std::string() : TControl::GetText();
    inherited::CreateWnd();
    Perform(CB_LIMITTEXT, static_cast<uintptr_t>(FMaxLength));
    std::vector<TSavedItem> saved;
    saved.swap(FSaved);
    for (size_t i = 0; i < saved.size(); ++i) {
        int index = static_cast<int>(SendText(this, CB_INSERTSTRING, i, reinterpret_cast<intptr_t>(saved[i].Text.c_str())));
        if (index >= 0 && saved[i].Data)
            Perform(CB_SETITEMDATA, static_cast<uintptr_t>(index), reinterpret_cast<intptr_t>(saved[i].Data));
    }
    if (FSavedItemIndex >= 0) Perform(CB_SETCURSEL, static_cast<uintptr_t>(FSavedItemIndex));
    FSavedItemIndex = -1;
    if ((FStyle == csDropDown || FStyle == csSimple) && !text.empty())
        Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
    HookEdit();
}

void TCustomComboBox::DestroyWnd() {
    if (HandleAllocated()) {
        int count = GetCount();
        std::vector<TSavedItem> saved(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i) {
            saved[static_cast<size_t>(i)].Text = FItems->Get(i);
            saved[static_cast<size_t>(i)].Data = FItems->GetObject(i);
        }
        FSaved.swap(saved);
        FSavedItemIndex = GetItemIndex();
    }
    UnhookEdit();
    FCanvas->FreeHandle();
    inherited::DestroyWnd();
}

HWND TCustomComboBox::GetEditHandle() {
    HandleNeeded();
    return FEditHandle;
}

void TCustomComboBox::HookEdit() {
    FEditHandle = nullptr;
    if (FStyle != csDropDown && FStyle != csSimple) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(GetHandle(), &info) || !info.hwndItem || info.hwndItem == GetHandle()) return;
    FEditHandle = info.hwndItem;
    FEditDefProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboEditWndProc)));
}

void TCustomComboBox::UnhookEdit() noexcept {
    if (FEditHandle && IsWindow(FEditHandle) && FEditDefProc &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FEditHandle, GWLP_WNDPROC)) == &ComboEditWndProc)
        SetWindowLongPtrA(FEditHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FEditDefProc));
    FEditHandle = nullptr;
    FEditDefProc = nullptr;
}

bool TCustomComboBox::EditKeyMessage(UINT msg, WPARAM& wParam, LPARAM lParam) {
    TMessage message = MakeMessage(msg, wParam, lParam);
    bool handled = false;
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        handled = DoKeyDown(message);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        handled = DoKeyUp(message);
        break;
    case WM_CHAR:
        handled = DoKeyPress(message);
        break;
    default:
        return false;
    }
    wParam = message.WParam;
    return handled;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) { StoreAndRecreateWnd(FStyle, value); }

int TCustomComboBox::GetItemHeight() {
    if (HandleAllocated() && FStyle != csOwnerDrawFixed && FStyle != csOwnerDrawVariable)
        return static_cast<int>(Perform(CB_GETITEMHEIGHT, 0));
    return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int value) {
    if (value <= 0 || value == FItemHeight) return;
    FItemHeight = value;
    if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) RecreateWnd();
}

bool TCustomComboBox::GetDroppedDown() { return HandleAllocated() && Perform(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool value) {
    HandleNeeded();
    Perform(CB_SHOWDROPDOWN, value ? 1 : 0);
}

void TCustomComboBox::FitDroppedList() {
    if (!GetDroppedDown()) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(GetHandle(), &info) || !info.hwndList) return;
    RECT field{};
    GetWindowRect(GetHandle(), &field);
    RECT list{};
    GetWindowRect(info.hwndList, &list);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT work = monitor.rcWork;
    // DropDownCount items (and their borders) at most, never more than
    // the room above or below the field.
    const int items = std::clamp(GetCount(), 1, std::max(FDropDownCount, 1));
    const int borders = (list.bottom - list.top) - static_cast<int>(SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0)) *
                                                      std::max(static_cast<int>(SendMessageA(info.hwndList, LB_GETCOUNT, 0, 0)), 1);
    int height = GetItemHeight() * items + std::clamp(borders, 2, 8);
    const int below = work.bottom - field.bottom;
    const int above = field.top - work.top;
    const bool down = height <= below || below >= above;
    height = std::min(height, down ? below : above);
    const int width = list.right - list.left;
    const int left = std::clamp(static_cast<int>(list.left), static_cast<int>(work.left),
                                std::max(static_cast<int>(work.left), static_cast<int>(work.right) - width));
    const int top = down ? field.bottom : field.top - height;
    SetWindowPos(info.hwndList, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::CloseDroppedList() {
    Perform(CB_SHOWDROPDOWN, 0);
    // A list whose key was taken by a handler may be left up, holding the
    // mouse, without the combo box counting it as dropped.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(GetHandle(), &info) || !info.hwndList) return;
    if (GetCapture() == info.hwndList) ReleaseCapture();
    if (IsWindowVisible(info.hwndList)) ShowWindow(info.hwndList, SW_HIDE);
}

void TCustomComboBox::SetMaxLength(int value) {
    value = std::max(value, 0);
    if (value == FMaxLength) return;
    FMaxLength = value;
    if (HandleAllocated()) Perform(CB_LIMITTEXT, static_cast<uintptr_t>(value));
}

void TCustomComboBox::SetSorted(bool value) {
    if (value == FSorted) return;
    FSorted = value;
    if (value && !HandleAllocated()) {
        std::stable_sort(FSaved.begin(), FSaved.end(), [](const TSavedItem& a, const TSavedItem& b) {
            return lstrcmpiA(a.Text.c_str(), b.Text.c_str()) < 0;
        });
        FSavedItemIndex = -1;
        return;
    }
    if (value) {
        // The window sorts what it is given.
        std::vector<TSavedItem> items;
        for (int i = 0; i < GetCount(); ++i) items.push_back(TSavedItem{FItems->Get(i), FItems->GetObject(i)});
        DestroyHandle();
        std::stable_sort(items.begin(), items.end(), [](const TSavedItem& a, const TSavedItem& b) {
            return lstrcmpiA(a.Text.c_str(), b.Text.c_str()) < 0;
        });
        FSaved = std::move(items);
        FSavedItemIndex = -1;
        UpdateControlState();
        return;
    }
    RecreateWnd();
}

int TCustomComboBox::GetSelStart() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0;
    Perform(CB_GETEDITSEL, reinterpret_cast<uintptr_t>(&start), 0);
    return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int value) {
    HandleNeeded();
    Perform(CB_SETEDITSEL, 0, MAKELPARAM(value, value));
}

int TCustomComboBox::GetSelLength() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0;
    DWORD end = 0;
    Perform(CB_GETEDITSEL, reinterpret_cast<uintptr_t>(&start), reinterpret_cast<intptr_t>(&end));
    return static_cast<int>(end) - static_cast<int>(start);
}

void TCustomComboBox::SetSelLength(int value) {
    HandleNeeded();
    int start = GetSelStart();
    Perform(CB_SETEDITSEL, 0, MAKELPARAM(start, start + value));
}

int TCustomComboBox::GetCount() {
    if (HandleAllocated()) return static_cast<int>(Perform(CB_GETCOUNT));
    return static_cast<int>(FSaved.size());
}

int TCustomComboBox::GetItemIndex() {
    if (HandleAllocated()) return static_cast<int>(Perform(CB_GETCURSEL));
    return FSavedItemIndex < GetCount() ? FSavedItemIndex : -1;
}

void TCustomComboBox::SetItemIndex(int value) {
    if (!HandleAllocated()) {
        FSavedItemIndex = value >= 0 && value < GetCount() ? value : -1;
        TControl::SetText(FSavedItemIndex >= 0 ? FSaved[static_cast<size_t>(FSavedItemIndex)].Text : std::string());
        return;
    }
    if (GetItemIndex() != value) Perform(CB_SETCURSEL, static_cast<uintptr_t>(value));
}

void TCustomComboBox::AddItem(const std::string& item, TObject* object) { FItems->AddObject(item, object); }

void TCustomComboBox::Clear() {
    FItems->Clear();
    TControl::SetText(std::string());
}

void TCustomComboBox::ClearSelection() { SetItemIndex(-1); }

void TCustomComboBox::CopySelection(TCustomListControl* destination) {
    int index = GetItemIndex();
    if (destination && index >= 0) destination->AddItem(FItems->Get(index), FItems->GetObject(index));
}

void TCustomComboBox::DeleteSelected() {
    int index = GetItemIndex();
    if (index >= 0) FItems->Delete(index);
}

void TCustomComboBox::SelectAll() {
    if (HandleAllocated()) Perform(CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas->FillRect(rect);
    if (index >= 0 && index < GetCount()) FCanvas->TextOut(rect.Left + 2, rect.Top, FItems->Get(index));
}

void TCustomComboBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

// The dropped list shows up to DropDownCount items: the window is given
// the full dropped height, which the system keeps for the list.
void TCustomComboBox::AdjustDropDown() {
    if (!HandleAllocated() || FStyle == csSimple) return;
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    int items = std::clamp(GetCount(), 1, std::max(FDropDownCount, 1));
    int height = (r.bottom - r.top) + GetItemHeight() * items + 2;
    SetWindowPos(GetHandle(), nullptr, 0, 0, r.right - r.left, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::CNCommand(TMessage& message) {
    switch (HiWord(message.WParam)) {
    case CBN_DBLCLK:
        DblClick();
        break;
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_DROPDOWN:
        DropDown();
        AdjustDropDown();
        // The system places the list after this notice: it is fitted then.
        if (HandleAllocated()) PostMessageA(GetHandle(), CM_FITDROPPEDLIST, 0, 0);
        break;
    case CBN_SELCHANGE: {
        int index = GetItemIndex();
        if (index >= 0 && (FStyle == csDropDown || FStyle == csSimple)) TControl::SetText(FItems->Get(index));
        Click();
        Select();
        break;
    }
    case CBN_CLOSEUP:
        CloseUp();
        break;
    default:
        break;
    }
}

void TCustomComboBox::CNDrawItem(TMessage& message) {
    PaintOwnerDrawnItem(message, *FCanvas, GetFont(), GetBrush(),
                        [this](int index, TRect rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
}

void TCustomComboBox::CNMeasureItem(TMessage& message) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    if (!item) return;
    int height = FItemHeight;
    if (FStyle == csOwnerDrawVariable && static_cast<int>(item->itemID) >= 0)
        MeasureItem(static_cast<int>(item->itemID), height);
    item->itemHeight = static_cast<UINT>(std::max(height, 1));
    message.Result = 1;
}

void TCustomComboBox::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        CNCommand(message);
        return;
    case CM_FITDROPPEDLIST:
        FitDroppedList();
        return;
    case CM_SHOWINGCHANGED:
        // A list left dropped down behind a hidden combo box would keep the
        // mouse and come back with it.
        if (!GetShowing() && HandleAllocated()) CloseDroppedList();
        break;
    case CN_DRAWITEM:
        CNDrawItem(message);
        return;
    case CN_MEASUREITEM:
        CNMeasureItem(message);
        return;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TComboBox,
    GCL_STD_CONTROL_PROPS,
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(DropDownCount).Default(8),
    GCL_PROP(ItemHeight).Default(16).StoredBy<&Self::IsItemHeightStored>(),
    GCL_PROP(Items),
    GCL_PROP(MaxLength).Default(0),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(Sorted).Default(false),
    GCL_PROP(Style).Default(csDropDown),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(Text))

// ---- Unit ---------------------------------------------------------------------------------------

namespace {

constexpr TClass kStdClasses[] = {TEdit::StaticClass(),  TMemo::StaticClass(),    TButton::StaticClass(),
                                  TCheckBox::StaticClass(), TRadioButton::StaticClass(), TLabel::StaticClass(),
                                  TListBox::StaticClass(), TComboBox::StaticClass()};

void InitializeStdCtrls() {
    for (TClass cls : kStdClasses) RegisterClass(cls);
}

void FinalizeStdCtrls() {
    for (TClass cls : kStdClasses) UnRegisterClass(cls);
}

} // namespace

TUnit StdCtrlsUnit{"StdCtrls", &InitializeStdCtrls, &FinalizeStdCtrls};

} // namespace gcl
