// The edit item and its viewer: text and case rules, sizes and painting,
// and the in-place editing loop with its edit control.
#include "toolbar/BarEditItem.h"

#include "gcl/Forms.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;

// ---- The item --------------------------------------------------------------------------------

GCL_PUBLISHED(TBarEditItem,
    GCL_PROP(CharCase).Default(gcl::ecNormal),
    GCL_PROP(EditCaption),
    GCL_PROP(EditOptions).Default(TBarEditItemOptions{}),
    GCL_PROP(EditWidth).Default(64),
    GCL_PROP(MaxLength).Default(0),
    GCL_PROP(Text))

TBarEditItem::TBarEditItem(gcl::TComponent* AOwner) : TBarCustomItem(AOwner) {}

void TBarEditItem::SetTextEx(const std::string& Value, TBarEditTextSource Source) {
    std::string text = Value;
    DoTextChanging(FText, text, Source);
    if (text == FText) return;
    FText = text;
    Changed(false);
    DoTextChanged(Source);
}

void TBarEditItem::SetCharCase(gcl::TEditCharCase Value) {
    if (Value == FCharCase) return;
    FCharCase = Value;
    SetText(FText);
}

void TBarEditItem::SetEditCaption(const std::string& Value) { StoreAndChange(FEditCaption, Value, true); }

void TBarEditItem::SetEditOptions(TBarEditItemOptions Value) { StoreAndChange(FEditOptions, Value, true); }

void TBarEditItem::SetEditWidth(int Value) { StoreAndChange(FEditWidth, Value, true); }

void TBarEditItem::SetMaxLength(int Value) { StoreAndChange(FMaxLength, Value, false); }

bool TBarEditItem::DoAcceptText(std::string& NewText) {
    bool accept = true;
    if (OnAcceptText) OnAcceptText(this, NewText, accept);
    return accept;
}

void TBarEditItem::DoBeginEdit(TBarEditItemViewer* Viewer) {
    if (OnBeginEdit) OnBeginEdit(this, Viewer, Viewer->GetEditControl());
}

void TBarEditItem::DoTextChanging(const std::string&, std::string& NewText, TBarEditTextSource) {
    if (FCharCase == gcl::ecUpperCase) NewText = gcl::AnsiUpperCase(NewText);
    else if (FCharCase == gcl::ecLowerCase) NewText = gcl::AnsiLowerCase(NewText);
}

void TBarEditItem::DoTextChanged(TBarEditTextSource) {}

TBarItemViewerClass TBarEditItem::GetItemViewerClass(TBarView* View) {
    if (View && View->GetOrientation() == tbvoVertical && !FEditOptions.Contains(tboUseEditWhenVertical))
        return TBarItemViewer::StaticClass();
    return TBarEditItemViewer::StaticClass();
}

bool TBarEditItem::NeedToRecreateViewer(TBarItemViewer* Viewer) {
    return GetItemViewerClass(Viewer->GetView()) != Viewer->ClassType();
}

// ---- The viewer: size and painting ------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarEditItemViewer)

int TBarEditItemViewer::CaptionWidth() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FView->GetFont()->GetHandle());
    const int w = GetTextWidth(dc, EditItem()->GetEditCaption(), true);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return w;
}

void TBarEditItemViewer::CalcSize(gcl::TCanvas* Canvas, int& AWidth, int& AHeight) {
    TBarEditItem* item = EditItem();
    AWidth = item->GetEditWidth();
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    HDC dc = Canvas->GetHandle();
    if (!IsToolbarStyle() && !item->GetEditCaption().empty())
        AWidth += GetTextWidth(dc, item->GetEditCaption(), true) + 10;
    const int text = FontTextHeight(dc);
    AHeight = text;
    if (!IsToolbarStyle()) AHeight += DivAwayFromZero(AHeight, 4);
    AHeight = std::max(AHeight, text + 7);
}

bool TBarEditItemViewer::CaptionShown() { return !IsToolbarStyle() && TBarItemViewer::CaptionShown(); }

std::string TBarEditItemViewer::GetCaptionText() { return EditItem()->GetEditCaption(); }

void TBarEditItemViewer::GetEditRect(TRect& R) {
    R = BoundsRect;
    if (!FView->GetIsToolbar() && !EditItem()->GetEditCaption().empty()) R.Left += CaptionWidth() + 10;
}

void TBarEditItemViewer::GetCursor(TPoint Pt, HCURSOR& ACursor) {
    if (!FItem->GetEnabled()) return;
    TRect r;
    GetEditRect(r);
    r = TRect{r.Left - BoundsRect.Left + 2, r.Top - BoundsRect.Top + 2, r.Right - BoundsRect.Left - 2,
              r.Bottom - BoundsRect.Top - 2};
    if (Pt.X >= r.Left && Pt.X < r.Right && Pt.Y >= r.Top && Pt.Y < r.Bottom) ACursor = LoadCursorA(nullptr, IDC_IBEAM);
}

void TBarEditItemViewer::MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) {
    if (IsPtInButtonPart(X, Y)) {
        if (FItem->GetEnabled()) Execute(true);
        else if (!FView->GetParentView() && !FView->GetIsPopup()) FView->EndModal();
        return;
    }
    TBarItemViewer::MouseDown(Shift, X, Y, MouseDownOnMenu);
}

void TBarEditItemViewer::MouseUp(int X, int Y, bool MouseWasDownOnMenu) {
    if (IsPtInButtonPart(X, Y)) return;
    TBarItemViewer::MouseUp(X, Y, MouseWasDownOnMenu);
}

bool TBarEditItemViewer::GetAccValue(std::wstring& Value) {
    const std::string& text = EditItem()->GetText();
    Value.assign(text.begin(), text.end());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    Value.resize(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), Value.data(), n);
    return true;
}

void TBarEditItemViewer::Paint(gcl::TCanvas* Canvas, TRect R, bool IsSelected, bool, bool UseDisabledShadow) {
    TBarEditItem* item = EditItem();
    const bool enabled = item->GetEnabled();
    HDC dc = Canvas->GetHandle();
    if (!IsToolbarStyle() && !item->GetEditCaption().empty()) {
        Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
        const int w = GetTextWidth(dc, item->GetEditCaption(), true) + 6;
        TRect box{R.Left, R.Top, R.Left + w, R.Bottom};
        if (IsSelected) Canvas->FillRect(box);
        TRect textBox{box.Left + 3, box.Top, box.Right, box.Bottom};
        DrawItemCaption(Canvas, textBox, item->GetEditCaption(), UseDisabledShadow, DT_SINGLELINE | DT_VCENTER);
        R.Left += w + 4;
    }
    RECT r{R.Left, R.Top, R.Right, R.Bottom};
    if (IsSelected && enabled) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&r, -1, -1);
    HBRUSH frame = CreateSolidBrush(gcl::ColorToRGB(enabled ? gcl::clBtnFace : gcl::clWindow));
    FrameRect(dc, &r, frame);
    DeleteObject(frame);
    InflateRect(&r, -1, -1);
    HBRUSH fill = CreateSolidBrush(gcl::ColorToRGB(enabled ? gcl::clWindow : gcl::clBtnFace));
    FillRect(dc, &r, fill);
    DeleteObject(fill);
    InflateRect(&r, -1, -1);
    if (!item->GetText().empty()) {
        Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
        const int mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF old = SetTextColor(dc, gcl::ColorToRGB(enabled ? gcl::clWindowText : gcl::clGrayText));
        DrawTextA(dc, item->GetText().c_str(), static_cast<int>(item->GetText().size()), &r,
                  DT_SINGLELINE | DT_NOPREFIX);
        SetTextColor(dc, old);
        SetBkMode(dc, mode);
    }
}

// ---- In-place editing ---------------------------------------------------------------------------

bool TBarEditItemViewer::DoExecute() {
    FView->CancelChildPopups();
    if (!EditLoop(FView->GetCaptureWnd())) return false;
    FView->EndModal();
    return (FEditState & tbesMoveOn) != 0;
}

void TBarEditItemViewer::Accept() {
    std::string text = FEditControl->GetText();
    if (EditItem()->DoAcceptText(text)) EditItem()->SetTextEx(text, tbetsEditControl);
}

void TBarEditItemViewer::FreeEditControl(gcl::TEdit* Control) {
    // The control's own procedure comes back before it is freed. A hook
    // that another layer put in front of the viewer's once the window was
    // made (the Unicode layer's, which gives the class library's 8-bit
    // requests their 8-bit form) would be cut out of the chain with it:
    // the viewer's procedure then stays, passing messages on, until the
    // control is gone.
    if (Control->GetWindowProc() == gcl::TWndMethod(this, &TBarEditItemViewer::EditWndProc))
        Control->SetWindowProc(FOldWndProc);
    else
        FPassingOn = true;
    struct TDone {
        bool& PassingOn;
        ~TDone() { PassingOn = false; }
    } done{FPassingOn};
    Control->Free();
}

void TBarEditItemViewer::EditWndProc(gcl::TMessage& Message) {
    if (FPassingOn) {
        if (FOldWndProc) FOldWndProc(Message);
        return;
    }
    if (HandleEditMessage(Message)) return;
    if (Message.Msg == WM_CHAR && (Message.WParam == VK_TAB || Message.WParam == VK_RETURN ||
                                   Message.WParam == VK_ESCAPE)) {
        switch (Message.WParam) {
        case VK_TAB:
            FEditState = tbesMoveOn;
            Accept();
            break;
        case VK_RETURN:
            FEditState = tbesMoveOn | tbesLeave;
            Accept();
            break;
        default: FEditState = 0; break;
        }
        return;
    }
    if (FOldWndProc) FOldWndProc(Message);
    // Losing the focus ends the menu, but only while the edit is still
    // running: the focus that goes with the control when it is freed after
    // Tab or Enter changes nothing.
    if (Message.Msg == WM_KILLFOCUS && FEditState == tbesEditing) {
        FView->CancelMode();
        FEditState = tbesLeave;
    }
}

bool TBarEditItemViewer::EditLoop(HWND CaptureWnd) {
    TRect r;
    GetEditRect(r);
    if (gcl::IsRectEmpty(r)) return false;
    const HWND oldActive = GetActiveWindow();
    const HWND oldFocus = GetFocus();
    r = TRect{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
    TBarEditItem* item = EditItem();

    auto* cls = static_cast<const gcl::TComponent::TMetaClassType*>(GetEditControlClass());
    FEditControl = gcl::as<gcl::TEdit>(cls->Create(static_cast<gcl::TComponent*>(nullptr)));
    std::string text;
    try {
        char name[96];
        snprintf(name, sizeof name, "%s_edit_control_%p", ClassName().c_str(), static_cast<void*>(FEditControl));
        std::string clean;
        for (const char* p = name; *p; ++p)
            clean += (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_') ? *p : '_';
        FEditControl->SetName(clean);
        FEditControl->SetVisible(false);
        FEditControl->SetBorderStyle(gcl::bsNone);
        if (gcl::TFont* font = FView->GetFont()) FEditControl->GetFont()->Assign(font);
        FEditControl->SetText(item->GetText());
        FEditControl->SetCharCase(item->GetCharCase());
        FEditControl->SetMaxLength(item->GetMaxLength());
        FEditControl->SetBounds(r.Left, r.Top, r.Width(), r.Height());
        FOldWndProc = FEditControl->GetWindowProc();
        FEditControl->SetWindowProc(gcl::TWndMethod(this, &TBarEditItemViewer::EditWndProc));
        FEditControl->SetParentWindow(FView->GetWindow()->GetHandle());
        FEditControl->SelectAll();
        item->DoBeginEdit(this);
        FEditControl->SetVisible(true);
        SetFocus(FEditControl->GetHandle());
        FEditControl->SelectAll();
        const HWND nowActive = GetActiveWindow();
        if (nowActive != oldActive && oldActive) SendMessageA(oldActive, WM_NCACTIVATE, TRUE, 0);

        FEditState = tbesEditing;
        const HWND edit = FEditControl->GetHandle();
        while ((FEditState & tbesEditing) && !FView->IsEnding() && GetFocus() == edit && item->GetEnabled()) {
            MSG msg{};
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                WaitMessage();
                continue;
            }
            if (msg.message == WM_QUIT) break;
            if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
                POINT p{};
                GetCursorPos(&p);
                const HWND under = WindowFromPoint(p);
                const bool overEdit = under == edit || IsChild(edit, under);
                if (GetCapture() == CaptureWnd && overEdit) ReleaseCapture();
                else if (!GetCapture() && !overEdit && CaptureWnd) SetCapture(CaptureWnd);
                if (GetCapture() == CaptureWnd) ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            } else if ((msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK &&
                        msg.message != WM_LBUTTONUP && msg.message != WM_RBUTTONUP && msg.message != WM_MBUTTONUP) ||
                       (msg.message >= WM_NCLBUTTONDOWN && msg.message <= WM_NCMBUTTONDBLCLK &&
                        msg.message != WM_NCLBUTTONUP && msg.message != WM_NCRBUTTONUP &&
                        msg.message != WM_NCMBUTTONUP)) {
                if (msg.hwnd != edit) break;   // stays queued; EditState stays "editing"
            } else if (msg.message == WM_SYSKEYUP && msg.wParam == VK_MENU) {
                FEditState = tbesLeave;
                PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
                break;
            } else if (msg.message == WM_SYSKEYDOWN && msg.wParam != VK_MENU && msg.wParam != VK_SHIFT &&
                       msg.wParam != VK_KANJI) {
                const UINT scan = (static_cast<UINT>(msg.lParam) >> 16) & 0xFF;
                const bool keypadDigit = !(msg.lParam & 0x1000000) && scan >= 0x47 && scan <= 0x52 && scan != 0x4A &&
                                         scan != 0x4E;
                if (!keypadDigit) {
                    FEditState = tbesLeave;
                    break;
                }
            }
            if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE)) continue;
            const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
            if (!(mouse && msg.hwnd == CaptureWnd)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        DiscardMessages(WM_CHAR, WM_DEADCHAR);
        DiscardMessages(WM_SYSCHAR, WM_SYSDEADCHAR);
        text = FEditControl->GetText();
    } catch (...) {
        gcl::TEdit* control = FEditControl;
        FEditControl = nullptr;
        FreeEditControl(control);
        throw;
    }
    gcl::TEdit* control = FEditControl;
    FEditControl = nullptr;
    FreeEditControl(control);
    if (FEditState == tbesEditing && item->GetExtendedAccept()) {
        std::string accepted = text;
        if (item->DoAcceptText(accepted)) item->SetTextEx(accepted, tbetsEditControl);
    }

    if (FView->GetWindow()->HandleAllocated()) UpdateWindow(FView->GetWindow()->GetHandle());
    if (GetActiveWindow()) {
        if (oldFocus && IsWindow(oldFocus)) SetFocus(oldFocus);
        if (!GetCapture() && CaptureWnd) SetCapture(CaptureWnd);
    }
    const HWND nowActive = GetActiveWindow();
    if (oldActive && IsWindow(oldActive)) SendMessageA(oldActive, WM_NCACTIVATE, oldActive == nowActive, 0);
    if (FView->IsPopupWindow() && FView->GetWindow()->HandleAllocated())
        SetWindowPos(FView->GetWindow()->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    FView->RaiseAccFocus();
    if ((FEditState & tbesMoveOn) && !(FEditState & tbesLeave) && GetCapture() == CaptureWnd) {
        FView->Select(FView->NextSelectable(FView->GetSelected(), GetKeyState(VK_SHIFT) >= 0), false);
    }
    return (FEditState & tbesLeave) != 0;
}

namespace {
void InitBarEditItem() { gcl::RegisterClass(TBarEditItem::StaticClass()); }
void FinalizeBarEditItem() { gcl::UnRegisterClass(TBarEditItem::StaticClass()); }
} // namespace

gcl::TUnit BarEditItemUnit{"BarEditItem", &InitBarEditItem, &FinalizeBarEditItem};

} // namespace qelvo
