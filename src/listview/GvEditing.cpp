// In-place editing: the editors over their native controls and the edit
// manager with its private message loop.
#include "listview/GvInternal.h"

#include "gcl/Forms.h"

namespace qelvo {

using namespace gvdetail;

// ---- TGvEdit, TGvMemo ------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvEdit)
GCL_IMPLEMENT_CLASS(TGvMemo)

// ---- TGvBaseEditor ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvBaseEditor)

TGvBaseEditor::~TGvBaseEditor() { FreeEditControl(); }

bool TGvBaseEditor::GetInterface(const gcl::TGUID& iid, void** out) {
    return gcl::QueryInterfaces<IGvCellEditor>(this, iid, out) || inherited::GetInterface(iid, out);
}

void TGvBaseEditor::FreeEditControl() noexcept {
    gcl::TWinControl* control = FEditControl;
    if (!control) return;
    FEditControl = nullptr;
    FFreePending = false;
    try {
        if (control->GetWindowProc() == gcl::TWndMethod(this, &TGvBaseEditor::HookMessage))
            control->SetWindowProc(FOldWndProc);
    } catch (...) {
    }
    control->Free();
}

HWND TGvBaseEditor::GetHandle() {
    return FEditControl && FEditControl->HandleAllocated() ? FEditControl->GetHandle() : nullptr;
}

void TGvBaseEditor::GetEditCaption(TGvItem* Item, TGvColumn* Column, std::wstring& Caption) {
    Caption.clear();
    if (TCustomGvListview* lv = GetListview()) lv->DoItemGetEditCaption(Item, Column, Caption);
    if (Caption.empty() && Item) Caption = Column ? Item->GetCaptions(Column->GetIndex()) : Item->GetCaption();
}

std::wstring TGvBaseEditor::ControlText() const {
    auto* edit = dynamic_cast<gcl::TCustomEdit*>(FEditControl);
    return edit ? gcl::AnsiToWide(edit->GetText()) : std::wstring();
}

void TGvBaseEditor::SetUpEditControl(gcl::TCustomEdit* Control, TGvColumn* Column, gcl::TWinControl* Parent) {
    Control->SetVisible(false);
    Control->SetParent(Parent);
    std::wstring caption;
    GetEditCaption(GetItem(), Column, caption);
    Control->SetText(gcl::WideToAnsi(caption));
    Control->OnKeyDown = gcl::TKeyEvent(this, &TGvBaseEditor::EditKeyDown);
    ApplyFlatLook(Control);
}

gcl::TFont* TGvBaseEditor::GetEditorFont() { return FEditControl ? FEditControl->GetFont() : nullptr; }

void TGvBaseEditor::GetValue(gcl::TVariant& Value) {
    auto* edit = dynamic_cast<gcl::TCustomEdit*>(FEditControl);
    Value = edit ? gcl::TVariant(edit->GetText()) : gcl::TVariant();
}

void GCL_STDCALL TGvBaseEditor::SelectAll() {
    if (auto* edit = dynamic_cast<gcl::TCustomEdit*>(FEditControl)) edit->SelectAll();
}

void TGvBaseEditor::ApplyFlatLook(gcl::TCustomEdit* Control) {
    TCustomGvListview* lv = GetListview();
    if (!Control || (lv && lv->GetThemed())) return;
    Control->SetCtl3D(false);
    Control->SetBorderStyle(gcl::bsSingle);
    Control->SetBevelInner(gcl::bvNone);
    Control->SetBevelOuter(gcl::bvNone);
    Control->SetBevelKind(gcl::bkNone);
}

void GCL_STDCALL TGvBaseEditor::Initialize(TGvItem* Item, TGvColumn* Column) {
    FItem = Item;
    FColumn = Column;
    TCustomGvListview* lv = Item ? Item->OwnerListview() : nullptr;
    FListview = lv;
    if (!lv) return;
    CreateEditor(FEditControl, Column, lv);
    if (!FEditControl) return;
    FEditControl->SetVisible(false);
    FOldWndProc = FEditControl->GetWindowProc();
    FEditControl->SetWindowProc(gcl::TWndMethod(this, &TGvBaseEditor::HookMessage));
    if (TGvEditManager* manager = lv->GetEditManager()) {
        FEditControl->SetColor(manager->GetColor());
        if (gcl::TFont* font = GetEditorFont()) font->Assign(manager->GetFont());
    }
    Item->RectArray(Column, FRectArray);
    ResizeEditor();
    const HWND handle = FEditControl->GetHandle();
    SetWindowLongA(handle, GWL_EXSTYLE, GetWindowLongA(handle, GWL_EXSTYLE) | WS_EX_TOPMOST);
}

void GCL_STDCALL TGvBaseEditor::Finalize() {
    FModified = false;
    if (!FEditControl) return;
    // A control in the middle of one of its own messages is freed when that
    // message is done.
    if (FControlMessageDepth > 0) {
        FFreePending = true;
        FEditControl->SetVisible(false);
        return;
    }
    FreeEditControl();
}

void TGvBaseEditor::FollowItem() {
    if (!FItem || !FEditControl || !GetListview()) return;
    FItem->RectArray(FColumn, FRectArray);
    ResizeEditor();
}

void TGvBaseEditor::Forget(TGvCollectionItem* Obj) noexcept {
    if (Obj == FItem) FItem = nullptr;
    if (Obj == FColumn) FColumn = nullptr;
}

void GCL_STDCALL TGvBaseEditor::Hide() {
    if (FEditControl) FEditControl->SetVisible(false);
}

void GCL_STDCALL TGvBaseEditor::Show() {
    if (FEditControl) FEditControl->SetVisible(true);
}

bool GCL_STDCALL TGvBaseEditor::PtInEditControl(TPoint WindowPoint) {
    return FEditControl && gcl::PtInRect(FEditControl->GetBoundsRect(), WindowPoint);
}

void GCL_STDCALL TGvBaseEditor::SetEditorFocus() {
    if (!FEditControl || !FEditControl->CanFocus()) return;
    // On a form the form keeps track of its active control; a list view on
    // a plain window hands the focus to the editor's window directly.
    if (gcl::GetParentFormHost(FEditControl))
        FEditControl->SetFocus();
    else
        ::SetFocus(FEditControl->GetHandle());
    SelectAll();
}

bool GCL_STDCALL TGvBaseEditor::AcceptEdit() {
    gcl::TVariant value;
    GetValue(value);
    bool accept = true;
    TCustomGvListview* lv = GetListview();
    if (lv && FItem) lv->DoItemEdited(FItem, value, accept);
    // The handler may have freed the item, its column or the whole list
    // view: then there is nothing left to write to.
    lv = GetListview();
    if (!accept || !lv || !FItem) return accept;
    const std::wstring text = value.ToWide();
    if (FColumn)
        FItem->SetCaptions(FColumn->GetIndex(), text);
    else
        FItem->SetCaption(text);
    if (TGvEditManager* manager = lv->GetEditManager()) manager->EndEdit();
    return true;
}

void GCL_STDCALL TGvBaseEditor::ControlWndHookProc(gcl::TMessage& Message) {
    gcl::TWinControl* control = FEditControl;
    if (!control) return;
    // The edit may end inside this message: the editor stays until the
    // message is done, and frees the control only then.
    gcl::ComPtr<IGvCellEditor> self(this);
    ++FControlMessageDepth;
    try {
        bool passOn = true;
        switch (Message.Msg) {
        case WM_CONTEXTMENU: {
            gcl::TPopupMenu* menu = nullptr;
            if (TCustomGvListview* lv = GetListview()) lv->DoItemGetEditMenu(this, menu);
            if (menu) {
                const TPoint pos = gcl::LParamToPoint(Message.LParam);
                menu->SetPopupComponent(control);
                menu->Popup(pos.X, pos.Y);
                Message.Result = 0;
                passOn = false;
            }
            break;
        }
        case WM_CHAR:
            if (Message.WParam == VK_TAB) Message.WParam = ' ';
            break;
        case GvMsgEditorResize:
            ResizeEditor();
            passOn = false;
            break;
        case gcl::CN_COMMAND:
            // The text changed without a key (the edit menu's Undo or
            // Paste): the control fits it as it does after a key.
            if (HIWORD(Message.WParam) == EN_CHANGE && control->HandleAllocated())
                PostMessageA(control->GetHandle(), GvMsgEditorResize, 0, 0);
            break;
        default:
            break;
        }
        if (passOn && FEditControl == control && FOldWndProc) FOldWndProc(Message);
    } catch (...) {
        --FControlMessageDepth;
        if (FControlMessageDepth == 0 && FFreePending) FreeEditControl();
        throw;
    }
    --FControlMessageDepth;
    if (FControlMessageDepth == 0 && FFreePending) FreeEditControl();
}

void TGvBaseEditor::ResizeEditor() {
    if (!FEditControl || !GetListview()) return;
    std::wstring text = ControlText();
    if (text.empty()) text = L" ";
    TRect r;
    CalcEditorRect(text, r);
    FEditControl->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    // A text that fits now shows from its start: the edit scrolls back by
    // moving the caret home and then where it was.
    if (FEditControl->HandleAllocated()) {
        const HWND handle = FEditControl->GetHandle();
        DWORD start = 0, end = 0;
        SendMessageA(handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        SendMessageA(handle, EM_SETSEL, 0, 0);
        SendMessageA(handle, EM_SETSEL, start, end);
    }
}

void TGvBaseEditor::EditKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState Shift) {
    bool doDefault = true;
    DoEditKeyDown(Key, Shift, doDefault);
    FModified = true;
    if (!doDefault) return;
    if (Key == VK_RETURN) {
        Key = 0;
        AcceptEdit();
    } else if (Key == VK_F2) {
        SelectAll();
    } else if (FEditControl && FEditControl->HandleAllocated()) {
        PostMessageA(FEditControl->GetHandle(), GvMsgEditorResize, 0, 0);
    }
}

namespace {

// The editor rectangle: the caption's label area less (4, 2) on each side in
// window coordinates, fitted to Text, grown by Grow, kept inside the client
// area; the single-line editor leaves room for one more character.
void FitEditorRect(gcl::TWinControl* Control, gcl::TFont* Font, TCustomGvListview* lv, const TRect& LabelRect,
                   const std::wstring& Text, bool SingleLine, gcl::TSize Grow, TRect& Rect) {
    TRect r = LabelRect;
    gcl::InflateRect(r, -4, -2);
    if (lv->GetScrollbars()) r = lv->GetScrollbars()->MapViewRectToWindowRect(r);
    const HWND handle = Control->GetHandle();
    HDC dc = GetDC(handle);
    HGDIOBJ old = SelectObject(dc, Font->GetHandle());
    DrawTextWEx(dc, Text, r, SingleLine ? 1 : -1,
                static_cast<TCommonDrawTextWFlags>(dtCalcRect | dtLeft | (SingleLine ? dtSingleLine : 0)));
    gcl::InflateRect(r, Grow.cx, Grow.cy);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(handle, dc);
    const TRect client = ClientRectOf(lv);
    const int average = metrics.tmAveCharWidth;
    r.Right = std::min(r.Right, client.Width() - average + 12);
    r.Bottom = std::min(r.Bottom, client.Height() - 2);
    if (SingleLine) r.Right += average;
    Rect = r;
}

} // namespace

// ---- TGvStringEditor -------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvStringEditor)

void TGvStringEditor::CreateEditor(gcl::TWinControl*& Control, TGvColumn* Column, gcl::TWinControl* Parent) {
    TGvEdit* edit = TGvEdit::Create(static_cast<gcl::TComponent*>(nullptr));
    Control = edit;
    SetUpEditControl(edit, Column, Parent);
}

void TGvStringEditor::CalcEditorRect(const std::wstring& Text, TRect& Rect) {
    FitEditorRect(GetEditControl(), GetEditorFont(), GetListview(), GetRectArray().LabelRect, Text, true,
                  gcl::TSize{6, 2}, Rect);
}

// ---- TGvMemoEditor ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvMemoEditor)

void TGvMemoEditor::CreateEditor(gcl::TWinControl*& Control, TGvColumn* Column, gcl::TWinControl* Parent) {
    TGvMemo* memo = TGvMemo::Create(static_cast<gcl::TComponent*>(nullptr));
    Control = memo;
    SetUpEditControl(memo, Column, Parent);
    memo->SetAlignment(taCenter);
}

void TGvMemoEditor::CalcEditorRect(const std::wstring& Text, TRect& Rect) {
    FitEditorRect(GetEditControl(), GetEditorFont(), GetListview(), GetRectArray().LabelRect, Text, false,
                  gcl::TSize{12, 3}, Rect);
}

gcl::ComPtr<IGvCellEditor> CreateDefaultEditor(TGvListStyle View) {
    switch (View) {
    case elsIcon:
    case elsThumbnail:
    case elsTile:
    case elsFilmStrip:
        return gcl::ComPtr<IGvCellEditor>(TGvMemoEditor::Create());
    default:
        return gcl::ComPtr<IGvCellEditor>(TGvStringEditor::Create());
    }
}

// ---- TGvEditManager --------------------------------------------------------------------------

GCL_PUBLISHED(TGvEditManager,
    GCL_PROP(AutoEditDelayTime).Default(300),
    GCL_PROP(Color).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Font),
    GCL_PROP(TabMoveFocus).Default(false))

TGvEditManager::TGvEditManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner), FFont(std::make_unique<gcl::TFont>()) {
    if (AOwner) FFont->Assign(AOwner->GetFont());
}

TGvEditManager::~TGvEditManager() {
    if (FLoopGone) *FLoopGone = true;
    if (FTimer) FTimer->Free();
}

void TGvEditManager::SetEnabled(bool Value) {
    StopEdit();
    FEnabled = Value;
}

void TGvEditManager::StopEdit() {
    StopAutoEditTimer();
    if (!FOwnerListview || !FOwnerListview->IsDestroying()) RemoveHook();
    FAppHookInstalled = false;
    FStopFlag = true;
}

void TGvEditManager::StartAutoEditTimer() {
    StopAutoEditTimer();
    if (!FEnabled) return;
    FTimer = gcl::TTimer::Create(static_cast<gcl::TComponent*>(nullptr));
    FTimer->SetInterval(static_cast<uint32_t>(std::max(FAutoEditDelayTime, 1)));
    FTimer->OnTimer = gcl::TNotifyEvent(this, &TGvEditManager::AutoEditTimer);
    FTimer->SetEnabled(true);
    FTimerRunning = true;
}

void TGvEditManager::StopAutoEditTimer() {
    if (!FTimerRunning) return;
    FTimerRunning = false;
    gcl::TTimer* timer = FTimer;
    FTimer = nullptr;
    if (timer) timer->Free();
}

void TGvEditManager::AutoEditTimer(gcl::TObject*) {
    StopAutoEditTimer();
    // The click asked to edit what the user was at: not once the keyboard
    // has gone elsewhere, nor under a modal window (whose keys the edit's
    // loop would take), nor while another window holds the mouse (a menu
    // the user opened, which the edit's loop would end).
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->HandleAllocated() || GetFocus() != lv->GetHandle()) return;
    if (!IsWindowEnabled(GetAncestor(lv->GetHandle(), GA_ROOT))) return;
    if (HWND capture = GetCapture(); capture && capture != lv->GetHandle()) return;
    TGvSelectionManager* selection = lv->GetSelection();
    if (selection && selection->GetFocusedItem()) BeginEdit(selection->GetFocusedItem(), nullptr);
}

bool TGvEditManager::MainWindowHook(gcl::TMessage& Message) {
    // Only losing the activation ends the edit; gaining it does not.
    if (Message.Msg == WM_ACTIVATEAPP && !Message.WParam && FOwnerListview && FOwnerListview->HandleAllocated())
        PostMessageA(FOwnerListview->GetHandle(), GvMsgEditEnd, 0, 0);
    return false;
}

void TGvEditManager::InstallHook() {
    if (gcl::Application) gcl::Application->HookMainWindow(gcl::TWindowHook(this, &TGvEditManager::MainWindowHook));
    FAppHookInstalled = true;
}

void TGvEditManager::RemoveHook() noexcept {
    if (!FAppHookInstalled) return;
    FAppHookInstalled = false;
    try {
        if (gcl::Application)
            gcl::Application->UnhookMainWindow(gcl::TWindowHook(this, &TGvEditManager::MainWindowHook));
    } catch (...) {
    }
}

void TGvEditManager::EndEdit() {
    if (!FEditing) {
        FStopFlag = true;
        return;
    }
    FEditing = false;
    gcl::ComPtr<IGvCellEditor> editor = FEditor;
    // An edit taken as the window loses the activation (the user went to
    // another program) leaves the keyboard alone: an editor hidden while it
    // holds the focus hands it to its parent, and a focus set in a window
    // that is no longer active takes the activation back within this
    // thread, from the program the user went to.
    if (!GetActiveWindow() && GetFocus()) SetFocus(nullptr);
    if (editor) editor->Hide();
    // A running edit always has its loop's flag; the end event may free the
    // list view and this manager with it.
    bool* gone = FLoopGone;
    if (TGvItem* item = FEditItem; item && FOwnerListview) FOwnerListview->DoItemEditEnd(item);
    if (gone && *gone) return;
    if (editor) editor->Finalize();
    FEditItem = nullptr;
    FStopFlag = true;
}

bool TGvEditManager::Accept() {
    gcl::ComPtr<IGvCellEditor> editor = FEditor;
    if (!editor) return false;
    if (editor->AcceptEdit()) return true;
    editor->SetEditorFocus();
    return false;
}

void TGvEditManager::PlanTabMove(TGvItem* Item, TGvColumn* Column, bool Backwards) {
    TGvGroups* groups = FOwnerListview->GetGroups();
    TGvHeader* header = FOwnerListview->GetHeader();
    FTabMoveFocusColumn = nullptr;
    FTabMoveFocusItem = nullptr;
    if (!Backwards) {
        if (!FTabEditColumns) {
            FTabMoveFocusItem = groups->NextEditableItem(Item);
            return;
        }
        FTabMoveFocusColumn = Column ? header->NextVisibleColumn(Column) : nullptr;
        FTabMoveFocusItem = FTabMoveFocusColumn ? Item : groups->NextEditableItem(Item);
        return;
    }
    if (!FTabEditColumns) {
        FTabMoveFocusItem = groups->PrevEditableItem(Item);
        return;
    }
    FTabMoveFocusColumn = Column ? header->PrevVisibleColumn(Column) : nullptr;
    if (FTabMoveFocusColumn) {
        FTabMoveFocusItem = Item;
    } else {
        FTabMoveFocusItem = groups->PrevEditableItem(Item);
        FTabMoveFocusColumn = header->LastVisibleColumn();
    }
}

bool TGvEditManager::FilterMessage(MSG& Msg) {
    // Every step below may run handlers that free the list view, and this
    // manager with it: after each, the loop's flag says whether to go on.
    bool* gone = FLoopGone;
    gcl::ComPtr<IGvCellEditor> editor = FEditor;
    switch (Msg.message) {
    case WM_KEYDOWN:
        if (Msg.wParam == VK_ESCAPE) {
            EndEdit();
        } else if (Msg.wParam == 'A' && GetKeyState(VK_CONTROL) < 0) {
            if (editor) editor->SelectAll();
            return false;
        } else if (Msg.wParam == VK_TAB && FTabMoveFocus) {
            // The next place is found while the item is sure to exist: the
            // accepting handlers may rebuild the list.
            // Ctrl as it was when Tab was pressed (input typed ahead may
            // have let go of it since), or as it is now.
            const bool backwards = GetKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_CONTROL) < 0;
            if (TGvItem* item = FEditItem) PlanTabMove(item, FEditColumn, backwards);
            if (*gone) return false;
            const bool accepted = Accept();
            if (*gone) return false;
            if (!accepted) {
                FTabMoveFocusItem = nullptr;
                FTabMoveFocusColumn = nullptr;
                return false;
            }
            StopEdit();
            if (FOwnerListview->HandleAllocated()) PostMessageA(FOwnerListview->GetHandle(), GvMsgEditContinue, 0, 0);
            return false;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
        if (FOwnerListview->HandleAllocated()) MapWindowPoints(Msg.hwnd, FOwnerListview->GetHandle(), &p, 1);
        if (editor && editor->PtInEditControl(TPoint{p.x, p.y})) break;
        // The click goes on only when the value was taken.
        const bool accepted = Accept();
        return accepted && !*gone;
    }
    case WM_MOUSEWHEEL:
    case gcl::CM_MOUSEWHEEL:
        EndEdit();
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        // Dragging a window by its caption keeps the edit.
        if (SendMessageA(Msg.hwnd, WM_NCHITTEST, 0, Msg.lParam) != HTCAPTION) EndEdit();
        break;
    default:
        if (Msg.message == GvMsgEditEnd) EndEdit();
        break;
    }
    return !*gone;
}

void TGvEditManager::BeginEdit(TGvItem* Item, TGvColumn* Column) {
    TCustomGvListview* lv = FOwnerListview;
    if (Editing() || !lv || lv->IsDestroying()) return;
    FStopFlag = false;
    if (!Item || !FEnabled) return;
    Item->MakeVisible(emvAuto);
    FEditItem = Item;
    bool allow = true;
    int columnIndex = Column ? Column->GetIndex() : 0;
    lv->DoItemEditBegin(Item, columnIndex, allow);
    // The handler may have freed the item (which clears FEditItem).
    if (FEditItem != Item) return;
    TGvColumns* columns = lv->GetHeader()->GetColumns();
    if (lv->GetView() == elsReport && columnIndex >= 0 && columnIndex < columns->GetCount())
        columns->GetColumns(columnIndex)->MakeVisible(emvAuto);
    else
        columnIndex = 0;
    FEditColumn = columnIndex < columns->GetCount() ? columns->GetColumns(columnIndex) : nullptr;
    if (!allow) {
        FEditItem = nullptr;
        FEditColumn = nullptr;
        return;
    }
    InstallHook();
    FEditor = nullptr;
    gcl::ComPtr<IGvCellEditor> editor;
    lv->DoItemCreateEditor(Item, editor);
    if (!editor || FEditItem != Item) {
        RemoveHook();
        FEditItem = nullptr;
        FEditColumn = nullptr;
        return;
    }
    FEditor = editor;
    FRestoreFocus = GetFocus();
    if (gcl::Screen && gcl::Screen->GetActiveControl() && gcl::Screen->GetActiveControl()->HandleAllocated())
        FRestoreFocus = gcl::Screen->GetActiveControl()->GetHandle();

    // The destructor tells a running loop that the manager is gone.
    bool gone = false;
    bool* outerLoop = FLoopGone;
    FLoopGone = &gone;
    try {
        editor->Initialize(Item, FEditColumn);
        FEditing = true;
        Item->Invalidate(true);
        editor->Show();
        editor->SetEditorFocus();
        while (!gone && !FStopFlag) {
            MSG msg{};
            const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0) {
                // The program is ending: the edit is dropped and the quit
                // goes on to the loop around this one.
                PostQuitMessage(static_cast<int>(msg.wParam));
                EndEdit();
                break;
            }
            if (got == -1) {
                EndEdit();
                break;
            }
            if (!FilterMessage(msg) || gone) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } catch (...) {
        if (!gone) FinishEdit(gone);
        if (!gone) FLoopGone = outerLoop;
        throw;
    }
    if (!gone) FinishEdit(gone);
    if (!gone) FLoopGone = outerLoop;
}

void TGvEditManager::FinishEdit(bool& Gone) noexcept {
    RemoveHook();
    try {
        EndEdit();
    } catch (...) {
        gcl::HandleGuardedException(FOwnerListview);
    }
    if (Gone) return;
    const HWND focus = FRestoreFocus;
    FRestoreFocus = nullptr;
    gcl::ComPtr<IGvCellEditor> editor = std::move(FEditor);
    if (editor) {
        try {
            editor->Finalize();
        } catch (...) {
        }
    }
    FEditColumn = nullptr;
    FEditItem = nullptr;
    // The window that had the focus may have gone meanwhile. A click that
    // ended the edit may have given the focus to another control (the
    // user clicked into another edit box or a tree): it keeps it, and the
    // keys typed next go where the user clicked.
    if (!focus || !IsWindow(focus) || !IsWindowVisible(focus) || !FocusStillInList()) return;
    if (GetActiveWindow()) {
        SetFocus(focus);
        return;
    }
    // The window went inactive meanwhile: the list is where the keyboard
    // comes back to when the user does.
    gcl::TCustomForm* form = gcl::GetParentForm(FOwnerListview);
    if (form && FOwnerListview->HandleAllocated() && focus == FOwnerListview->GetHandle() && FOwnerListview->CanFocus())
        form->SetActiveControl(FOwnerListview);
}

bool TGvEditManager::FocusStillInList() const {
    const HWND now = GetFocus();
    if (!now) return true;
    if (!FOwnerListview || !FOwnerListview->HandleAllocated()) return true;
    const HWND owner = FOwnerListview->GetHandle();
    // A form holds the focus itself while no control has it (a toolbar's
    // menu that the click opened leaves it there).
    return now == owner || IsChild(owner, now) || now == GetAncestor(owner, GA_ROOT);
}

void TGvEditManager::ContinueAfterTab() {
    TGvItem* item = FTabMoveFocusItem;
    TGvColumn* column = FTabMoveFocusColumn;
    FTabMoveFocusItem = nullptr;
    FTabMoveFocusColumn = nullptr;
    if (!item || !FOwnerListview) return;
    if (FTabEditColumns && column) {
        column->MakeVisible(emvAuto);
        BeginEdit(item, column);
        return;
    }
    if (TGvSelectionManager* selection = FOwnerListview->GetSelection()) selection->SetFocusedItem(item);
    item->MakeVisible(emvAuto);
    BeginEdit(item, nullptr);
}

void TGvEditManager::OwnerDestroying() noexcept {
    StopAutoEditTimer();
    RemoveHook();
    FStopFlag = true;
    FEditing = false;
    FTabMoveFocusItem = nullptr;
    FTabMoveFocusColumn = nullptr;
    gcl::ComPtr<IGvCellEditor> editor = std::move(FEditor);
    if (editor) {
        if (auto* base = dynamic_cast<TGvBaseEditor*>(editor.Get())) {
            base->Forget(FEditItem);
            base->Forget(FEditColumn);
        }
        try {
            editor->Hide();
            editor->Finalize();
        } catch (...) {
        }
    }
    FEditItem = nullptr;
    FEditColumn = nullptr;
    FRestoreFocus = nullptr;
}

void TGvEditManager::OwnerResized() {
    if (!FEditing || !FEditItem) return;
    FEditItem->MakeVisible(emvAuto);
    if (auto* base = dynamic_cast<TGvBaseEditor*>(FEditor.Get())) base->FollowItem();
}

void TGvEditManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (!Obj) return;
    if (auto* base = dynamic_cast<TGvBaseEditor*>(FEditor.Get())) base->Forget(Obj);
    if (FTabMoveFocusItem == Obj) FTabMoveFocusItem = nullptr;
    if (FTabMoveFocusColumn == Obj) FTabMoveFocusColumn = nullptr;
    if (FEditItem != Obj && FEditColumn != Obj) return;
    // What is being edited goes away: the edit ends without accepting and
    // without an end event for an object that is half gone.
    const bool running = FEditing;
    FEditing = false;
    FEditItem = nullptr;
    FEditColumn = nullptr;
    FStopFlag = true;
    if (running && FEditor) {
        try {
            FEditor->Hide();
        } catch (...) {
        }
    }
}

} // namespace qelvo
