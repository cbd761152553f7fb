// The extended memo base: clipboard gates, hint colour, highlight border
// and the overridable message steps.
#include "components/KitExStdCtrls.h"

#include "components/KitUnitVersioning.h"
#include "gcl/rtl/Interfaces.h"
#include "gcl/rtl/TypInfo.h"

namespace qelvo {

using namespace gcl;

namespace {

// The interface CM_QUERYKITINTERFACE asks about.
constexpr TGUID KitControlInterface = StringToGUID("{76942BC0-2A6E-4DC4-BFC9-8E110DB7F601}");

// Runs a step with the message it handles remembered, for its default.
class TCurrentMessage {
public:
    TCurrentMessage(TMessage*& slot, TMessage& message) noexcept : FSlot(slot), FPrevious(slot) { slot = &message; }
    ~TCurrentMessage() { FSlot = FPrevious; }

private:
    TMessage*& FSlot;
    TMessage* FPrevious;
};

// Keeps a device context's state for a scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) noexcept : FDC(dc), FSaved(dc ? SaveDC(dc) : 0) {}
    ~TSavedDC() {
        if (FDC && FSaved) RestoreDC(FDC, FSaved);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

} // namespace

TClipboardCommands PermittedClipboardCommands(TControl* control) {
    if (auto* memo = dynamic_cast<TKitExCustomMemo*>(control)) return memo->GetClipboardCommands();
    if (control && GetPropInfo(control, "ClipboardCommands"))
        return TClipboardCommands::FromMask(
            static_cast<uint64_t>(GetPropValue(control, "ClipboardCommands").AsOrdinal()));
    return TClipboardCommands{caCopy, caCut, caPaste, caUndo};
}

GCL_IMPLEMENT_CLASS(TKitExCustomMemo)

TKitExCustomMemo::TKitExCustomMemo(TComponent* owner) : TCustomMemo(owner) {}

void TKitExCustomMemo::SetDotNetHighlighting(bool value) {
    if (value == FDotNetHighlighting) return;
    FDotNetHighlighting = value;
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TKitExCustomMemo::WndProc(TMessage& message) {
    auto gate = [&](TClipboardCommand command) {
        if (FClipboardCommands.Contains(command)) return false;
        message.Result = 1;
        return true;
    };
    switch (message.Msg) {
    case WM_COPY:
        if (gate(caCopy)) return;
        break;
    case WM_CUT:
        if (gate(caCut)) return;
        break;
    case WM_PASTE:
        if (gate(caPaste)) return;
        break;
    case WM_CLEAR:
        if (gate(caClear)) return;
        break;
    case WM_UNDO:
    case EM_UNDO:
        if (gate(caUndo)) return;
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        TSavedDC saved(reinterpret_cast<HDC>(message.WParam));
        Inherited(message);
        return;
    }
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        if (!dc) break;
        TSavedDC saved(dc);
        TCanvas canvas;
        canvas.SetHandle(dc);
        TCurrentMessage current(FCurrent, message);
        try {
            message.Result = DoEraseBackground(&canvas, message.LParam) ? 1 : 0;
        } catch (...) {
            canvas.SetHandle(nullptr);
            throw;
        }
        canvas.SetHandle(nullptr);
        return;
    }
    case WM_SIZE:
        Inherited(message);
        BoundsChanged();
        return;
    case WM_SETFOCUS: {
        TCurrentMessage current(FCurrent, message);
        FocusSet(reinterpret_cast<HWND>(message.WParam));
        PaintDotNetFrame();
        return;
    }
    case WM_KILLFOCUS: {
        TCurrentMessage current(FCurrent, message);
        FocusKilled(reinterpret_cast<HWND>(message.WParam));
        PaintDotNetFrame();
        return;
    }
    case WM_GETDLGCODE: {
        Inherited(message);
        uint32_t codes = static_cast<uint32_t>(message.Result);
        if (!DoGetDlgCode(codes)) message.Result = static_cast<intptr_t>(codes);
        return;
    }
    case WM_NCPAINT:
        Inherited(message);
        PaintDotNetFrame();
        return;
    case CM_MOUSEENTER: {
        TCurrentMessage current(FCurrent, message);
        FMouseOver = true;
        MouseEnter(reinterpret_cast<TControl*>(message.LParam));
        PaintDotNetFrame();
        return;
    }
    case CM_MOUSELEAVE: {
        TCurrentMessage current(FCurrent, message);
        FMouseOver = false;
        MouseLeave(reinterpret_cast<TControl*>(message.LParam));
        if (FDotNetHighlighting && HandleAllocated()) {
            // Only the two frame rings need repainting.
            HRGN outer = CreateRectRgn(0, 0, GetWidth() - 1, GetHeight() - 1);
            HRGN inner = CreateRectRgn(2, 2, GetWidth() - 3, GetHeight() - 3);
            CombineRgn(outer, outer, inner, RGN_DIFF);
            InvalidateRgn(GetHandle(), outer, FALSE);
            DeleteObject(inner);
            DeleteObject(outer);
            PaintDotNetFrame();
        }
        return;
    }
    case CM_PARENTCOLORCHANGED: {
        TCurrentMessage current(FCurrent, message);
        ParentColorChanged();
        return;
    }
    case CM_HINTSHOW:
        Inherited(message);
        if (message.LParam) ApplyHintColor(*reinterpret_cast<THintInfo*>(message.LParam));
        return;
    case CM_QUERYKITINTERFACE:
        message.Result = ImplementsInterface(KitControlInterface) ? 1 : 0;
        return;
    default:
        if (Notification(message)) return;
        break;
    }
    Inherited(message);
}

bool TKitExCustomMemo::Notification(TMessage& message) {
    TCurrentMessage current(FCurrent, message);
    switch (message.Msg) {
    case CM_VISIBLECHANGED:
        DoVisibleChanged();
        return true;
    case CM_ENABLEDCHANGED:
        DoEnabledChanged();
        return true;
    case CM_COLORCHANGED:
        DoColorChanged();
        return true;
    case CM_FONTCHANGED:
        DoFontChanged();
        return true;
    case CM_CURSORCHANGED:
        DoCursorChanged();
        return true;
    case CM_PARENTFONTCHANGED:
        DoParentFontChanged();
        return true;
    case CM_TEXTCHANGED:
        DoTextChanged();
        return true;
    case CM_FOCUSCHANGED:
        DoFocusChanged(reinterpret_cast<TWinControl*>(message.LParam));
        return true;
    case CM_SHOWINGCHANGED:
        DoShowingChanged();
        return true;
    case CM_SHOWHINTCHANGED:
        DoShowHintChanged();
        return true;
    case CM_PARENTSHOWHINTCHANGED:
        DoParentShowHintChanged();
        return true;
    case CM_DIALOGCHAR: {
        std::string text(1, static_cast<char>(message.WParam));
        message.Result =
            DoWantKey(static_cast<uint16_t>(message.WParam), KeyDataToShiftState(message.LParam), text) ? 1 : 0;
        return true;
    }
    case CM_HITTEST:
        message.Result =
            DoHitTest(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))) ? 1 : 0;
        return true;
    case CM_CONTROLLISTCHANGE: {
        auto* control = reinterpret_cast<TControl*>(message.WParam);
        bool inserting = message.LParam != 0;
        // Before an insertion, after a removal.
        if (inserting)
            DoControlsListChanging(control, true);
        else
            DoControlsListChanged(control, false);
        return true;
    }
    case CM_CONTROLCHANGE: {
        auto* control = reinterpret_cast<TControl*>(message.WParam);
        bool inserting = message.LParam != 0;
        // After an insertion, before a removal.
        if (inserting)
            DoControlsListChanged(control, true);
        else
            DoControlsListChanging(control, false);
        return true;
    }
    default:
        return false;
    }
}

void TKitExCustomMemo::DoVisibleChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoEnabledChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoColorChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoFontChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoCursorChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoParentFontChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoTextChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoFocusChanged(TWinControl*) { InheritedCurrent(); }
void TKitExCustomMemo::DoShowingChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoShowHintChanged() { InheritedCurrent(); }
void TKitExCustomMemo::DoParentShowHintChanged() { InheritedCurrent(); }

bool TKitExCustomMemo::DoWantKey(uint16_t, TShiftState, const std::string&) {
    InheritedCurrent();
    return FCurrent && FCurrent->Result != 0;
}

bool TKitExCustomMemo::DoHitTest(int, int) {
    InheritedCurrent();
    return FCurrent && FCurrent->Result != 0;
}

void TKitExCustomMemo::DoControlsListChanging(TControl*, bool) { InheritedCurrent(); }
void TKitExCustomMemo::DoControlsListChanged(TControl*, bool) { InheritedCurrent(); }

bool TKitExCustomMemo::DoEraseBackground(TCanvas*, intptr_t) {
    if (!FCurrent) return false;
    Inherited(*FCurrent);
    return FCurrent->Result != 0;
}

void TKitExCustomMemo::BoundsChanged() {}

void TKitExCustomMemo::FocusSet(HWND) {
    InheritedCurrent();
}

void TKitExCustomMemo::FocusKilled(HWND) {
    InheritedCurrent();
}

bool TKitExCustomMemo::DoGetDlgCode(uint32_t&) { return true; }

void TKitExCustomMemo::MouseEnter(TControl*) {
    InheritedCurrent();
}

void TKitExCustomMemo::MouseLeave(TControl*) {
    InheritedCurrent();
}

void TKitExCustomMemo::ParentColorChanged() {
    InheritedCurrent();
    if (OnParentColorChange) OnParentColorChange(this);
}

bool TKitExCustomMemo::ImplementsInterface(const TGUID& iid) { return Supports(this, iid); }

void TKitExCustomMemo::ApplyHintColor(THintInfo& info) {
    if (FHintColor == clNone) {
        if (Application) info.HintColor = Application->GetHintColor();
    } else if (FHintColor == clDefault) {
        if (TWinControl* parent = GetParent()) {
            THintInfo asked = info;
            parent->Perform(CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&asked));
            info.HintColor = asked.HintColor;
        }
    } else {
        info.HintColor = FHintColor;
    }
}

void TKitExCustomMemo::PaintDotNetFrame() {
    if (!FDotNetHighlighting || !HandleAllocated()) return;
    HDC dc = GetWindowDC(GetHandle());
    if (!dc) return;
    RECT rect{0, 0, GetWidth(), GetHeight()};
    bool hot = Focused() || FMouseOver;
    HBRUSH outer = CreateSolidBrush(ColorToRGB(hot ? DotNetHotColor : DotNetNormalColor));
    HBRUSH inner = CreateSolidBrush(ColorToRGB(hot ? DotNetHotColor : GetColor()));
    FrameRect(dc, &rect, outer);
    InflateRect(&rect, -1, -1);
    FrameRect(dc, &rect, inner);
    DeleteObject(outer);
    DeleteObject(inner);
    ReleaseDC(GetHandle(), dc);
}

namespace {
const TUnitVersionInfo ExStdCtrlsUnitVersion{"KitExStdCtrls.cpp", "1.0", "2026-12-07", "components", "", nullptr};
void InitExStdCtrls() { RegisterUnitVersion(UnitVersionInstance(), ExStdCtrlsUnitVersion); }
void DoneExStdCtrls() { UnregisterModuleUnitVersions(UnitVersionInstance()); }
} // namespace

gcl::TUnit KitExStdCtrlsUnit{"KitExStdCtrls", &InitExStdCtrls, &DoneExStdCtrls};

} // namespace qelvo
