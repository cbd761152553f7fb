// Drag and drop of the list view: the auto-scrolling base, the rubber band,
// the header's column drag, the item drag with its insert mark, and the
// control's OLE drop target, drop source and data object.
#include "listview/GvInternal.h"

#include <cstdlib>

#include "gcl/DragDrop.h"

namespace qelvo {

using namespace gvdetail;

namespace {

// The answer proposed for a drop: what the keys ask for when the source
// offers it, else the first of move, copy and link it offers.
TCommonDropEffect ChooseEffect(TCommonKeyStates KeyStates, TCommonDropEffects Available) {
    const TCommonDropEffect wanted = KeyStatesToDropEffect(KeyStates);
    if (Available.Contains(wanted)) return wanted;
    for (TCommonDropEffect e : {cdeMove, cdeCopy, cdeLink})
        if (Available.Contains(e)) return e;
    return cdeNone;
}

DWORD EffectToDropEffect(TCommonDropEffect Effect) {
    return Effect == cdeNone ? DROPEFFECT_NONE : DropEffectsToDropEffect(TCommonDropEffects{Effect});
}

TGvScrollbarManager* ScrollbarsOf(TCustomGvListview* lv) { return lv ? lv->GetScrollbars() : nullptr; }

// The keyboard and mouse buttons as they are now.
TCommonKeyStates KeyStatesNow() {
    TCommonKeyStates keys;
    if (GetKeyState(VK_CONTROL) < 0) keys.Include(cksControl);
    if (GetKeyState(VK_SHIFT) < 0) keys.Include(cksShift);
    if (GetKeyState(VK_MENU) < 0) keys.Include(cksAlt);
    if (GetKeyState(VK_LBUTTON) < 0) keys.Include(cksLButton);
    if (GetKeyState(VK_MBUTTON) < 0) keys.Include(cksMButton);
    if (GetKeyState(VK_RBUTTON) < 0) keys.Include(cksRButton);
    if (keys.Contains(cksLButton) || keys.Contains(cksMButton) || keys.Contains(cksRButton)) keys.Include(cksButton);
    return keys;
}

} // namespace

bool WantsDrops(TCustomGvListview* Listview) {
    if (!Listview) return false;
    TGvOLEDragManager* items = Listview->GetDragManager();
    TGvHeaderDragManager* columns = Listview->GetHeader() ? Listview->GetHeader()->GetDragManager() : nullptr;
    return (items && items->GetEnabled() && items->GetDragType() == edtOLE) || (columns && columns->GetEnabled());
}

bool SameComObject(::IUnknown* A, ::IUnknown* B) {
    if (!A || !B) return false;
    if (A == B) return true;
    gcl::ComPtr<::IUnknown> a, b;
    if (FAILED(A->QueryInterface(IID_IUnknown, a.PutVoid())) || FAILED(B->QueryInterface(IID_IUnknown, b.PutVoid())))
        return false;
    return a.Get() == b.Get();
}

// ---- TCustomGvDragManagerBase ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomGvDragManagerBase)

TCustomGvDragManagerBase::TCustomGvDragManagerBase(TCustomGvListview* AOwner) : TGvOwnedPersistent(AOwner) {}

TCustomGvDragManagerBase::~TCustomGvDragManagerBase() { FreeTimer(); }

void TCustomGvDragManagerBase::FreeTimer() noexcept {
    if (!FTimer) return;
    gcl::TTimer* timer = FTimer;
    FTimer = nullptr;
    timer->Free();
}

void TCustomGvDragManagerBase::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    EnabledChange(Value);
    FEnabled = Value;
    EnabledChanged();
}

void TCustomGvDragManagerBase::EnabledChange(bool) {}

int TCustomGvDragManagerBase::HeaderHeight() const {
    return FOwnerListview && FOwnerListview->GetHeader() ? FOwnerListview->GetHeader()->RuntimeHeight() : 0;
}

TPoint TCustomGvDragManagerBase::CursorClientPos() const {
    POINT p{};
    GetCursorPos(&p);
    if (FOwnerListview && FOwnerListview->HandleAllocated()) ScreenToClient(FOwnerListview->GetHandle(), &p);
    return TPoint{p.x, p.y};
}

void TCustomGvDragManagerBase::DragStart(::IDataObject* DataObject, TCommonKeyStates KeyStates, TPoint WindowPt) {
    FDragging = true;
    FDataObject = gcl::ComPtr<::IDataObject>(DataObject);
    if (!FTimer) FTimer = gcl::TTimer::Create(nullptr);
    FTimer->SetEnabled(false);
    FTimer->OnTimer = gcl::TNotifyEvent(this, &TCustomGvDragManagerBase::TimerTick);
    FTimer->SetInterval(static_cast<uint32_t>(std::max(FAutoScrollDelay, 1)));
    FAutoScrolling = false;
    FLastKeyStates = KeyStates;
    DoDragBegin(KeyStates, WindowPt);
}

void TCustomGvDragManagerBase::Drag(TCommonKeyStates KeyStates, TPoint WindowPt, TCommonDropEffects AvailableEffects,
                                    TCommonDropEffect& Effect) {
    const bool inRegion = PtInAutoScrollUpRegion(WindowPt) || PtInAutoScrollDownRegion(WindowPt) ||
                          PtInAutoScrollLeftRegion(WindowPt) || PtInAutoScrollRightRegion(WindowPt);
    if (FAutoScroll && inRegion) {
        if (FTimer && !FTimer->GetEnabled()) FTimer->SetEnabled(true);
    } else {
        FAutoScrolling = false;
        if (FTimer) {
            FTimer->SetEnabled(false);
            FTimer->SetInterval(static_cast<uint32_t>(std::max(FAutoScrollDelay, 1)));
        }
    }
    FLastKeyStates = KeyStates;
    DoDrag(KeyStates, WindowPt, AvailableEffects, Effect);
}

void TCustomGvDragManagerBase::DragDrop(TCommonKeyStates KeyStates, TPoint WindowPt,
                                        TCommonDropEffects AvailableEffects, TCommonDropEffect& Effect) {
    FreeTimer();
    FLastKeyStates = TCommonKeyStates();
    FDragging = false;
    FAutoScrolling = false;
    // The hook still sees the data object; it is released afterwards.
    struct TRelease {
        gcl::ComPtr<::IDataObject>& Data;
        ~TRelease() { Data = nullptr; }
    } release{FDataObject};
    DoDragDrop(KeyStates, WindowPt, AvailableEffects, Effect);
}

void TCustomGvDragManagerBase::DragEnd() {
    FreeTimer();
    FLastKeyStates = TCommonKeyStates();
    FDragging = false;
    FAutoScrolling = false;
    struct TRelease {
        gcl::ComPtr<::IDataObject>& Data;
        ~TRelease() { Data = nullptr; }
    } release{FDataObject};
    DoDragEnd();
}

void TCustomGvDragManagerBase::TimerTick(gcl::TObject*) {
    if (!FAutoScrolling) {
        FAutoScrolling = true;
        if (FTimer) FTimer->SetInterval(static_cast<uint32_t>(std::max(FAutoScrollTime, 1)));
        return;
    }
    AutoScrollStep();
}

void TCustomGvDragManagerBase::AutoScrollStep() {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars || !lv->HandleAllocated() || !FAutoScrolling) return;
    const TPoint pt = CursorClientPos();
    const int accel = FAutoScrollAccelerator;
    int dx = 0, dy = 0;
    if (PtInAutoScrollUpRegion(pt))
        dy = -(ScrollDeltaUp(pt) * accel);
    else if (PtInAutoScrollDownRegion(pt))
        dy = ScrollDeltaDown(pt) * accel;
    if (bars->GetSnapHorzView()) {
        TGvCellSize* cell = lv->GetCellSizes() ? lv->GetCellSizes()->GetList() : nullptr;
        const int width = cell ? cell->GetWidth() : 0;
        if (PtInAutoScrollLeftRegion(pt))
            dx = -width;
        else if (PtInAutoScrollRightRegion(pt))
            dx = width;
    } else if (PtInAutoScrollLeftRegion(pt)) {
        dx = -(ScrollDeltaLeft(pt) * accel);
    } else if (PtInAutoScrollRightRegion(pt)) {
        dx = ScrollDeltaRight(pt) * accel;
    }
    if (dx != 0 || dy != 0) ScrollBy(dx, dy);
}

void TCustomGvDragManagerBase::ScrollBy(int DeltaX, int DeltaY) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars) return;
    DoBeforeScroll();
    {
        gcl::TFlagScope running(FStepRunning);
        const int oldX = bars->GetOffsetX();
        const int oldY = bars->GetOffsetY();
        bars->Scroll(DeltaX, DeltaY);
        DoAfterOffsetChange(oldX, oldY);
        if (lv->HandleAllocated()) {
            const TPoint pt = CursorClientPos();
            lv->Perform(WM_MOUSEMOVE, 0, static_cast<intptr_t>(MAKELPARAM(pt.X, pt.Y)));
        }
    }
    DoAfterScroll();
}

int TCustomGvDragManagerBase::ScrollDeltaUp(TPoint WindowPt) const {
    return std::abs(WindowPt.Y - HeaderHeight() - FAutoScrollMargin);
}

int TCustomGvDragManagerBase::ScrollDeltaDown(TPoint WindowPt) const {
    return std::abs(ClientRectOf(FOwnerListview).Height() - WindowPt.Y - FAutoScrollMargin);
}

int TCustomGvDragManagerBase::ScrollDeltaLeft(TPoint WindowPt) const {
    return std::abs(WindowPt.X - FAutoScrollMargin);
}

int TCustomGvDragManagerBase::ScrollDeltaRight(TPoint WindowPt) const {
    return std::abs(ClientRectOf(FOwnerListview).Width() - WindowPt.X - FAutoScrollMargin);
}

bool TCustomGvDragManagerBase::ViewCanScrollUp(TPoint WindowPt) const {
    TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview);
    return bars && WindowPt.Y - HeaderHeight() < FAutoScrollMargin && bars->GetOffsetY() >= 1;
}

bool TCustomGvDragManagerBase::ViewCanScrollDown(TPoint WindowPt) const {
    TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview);
    return bars && WindowPt.Y > ClientRectOf(FOwnerListview).Height() - FAutoScrollMargin &&
           bars->GetOffsetY() < bars->MaxOffsetY();
}

bool TCustomGvDragManagerBase::ViewCanScrollLeft(TPoint WindowPt) const {
    TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview);
    return bars && WindowPt.X < FAutoScrollMargin && bars->GetOffsetX() >= 1;
}

bool TCustomGvDragManagerBase::ViewCanScrollRight(TPoint WindowPt) const {
    TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview);
    return bars && WindowPt.X > ClientRectOf(FOwnerListview).Width() - FAutoScrollMargin &&
           bars->GetOffsetX() < bars->MaxOffsetX();
}

void TCustomGvDragManagerBase::KeyScroll(uint16_t Key) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars) return;
    const TRect client = ClientRectOf(lv);
    switch (Key) {
    case VK_PRIOR:
        ScrollBy(0, -client.Height());
        break;
    case VK_NEXT:
        ScrollBy(0, client.Height());
        break;
    case VK_END:
        ScrollBy(bars->ViewWidth() - client.Width(), bars->ViewHeight() - client.Height());
        break;
    case VK_HOME:
        ScrollBy(-bars->GetOffsetX(), -bars->GetOffsetY());
        break;
    case VK_LEFT:
        ScrollBy(-bars->LineStep(), 0);
        break;
    case VK_UP:
        ScrollBy(0, -bars->LineStep());
        break;
    case VK_RIGHT:
        ScrollBy(bars->LineStep(), 0);
        break;
    case VK_DOWN:
        ScrollBy(0, bars->LineStep());
        break;
    default:
        break;
    }
}

void TCustomGvDragManagerBase::RegisterAsDropTarget(bool Value) {
    if (TGvDropTargetManager* target = FOwnerListview ? FOwnerListview->GetDropTargetManager() : nullptr)
        target->Register(Value);
}

// ---- TGvDragRectManager -----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvDragRectManager)

TGvDragRectManager::TGvDragRectManager(TCustomGvListview* AOwner) : TCustomGvDragManagerBase(AOwner) {
    SetMouseButton(TCommonMouseButtons{cmbLeft, cmbRight});
}

bool TGvDragRectManager::DragStartTest(TCommonMouseButton Button, TPoint WindowPt) {
    FPending = false;
    if (!GetEnabled() || !GetMouseButton().Contains(Button) || Button == cmbNone) return false;
    TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview);
    if (!bars) return false;
    FAnchorPoint = FDragPoint = bars->MapWindowToView(WindowPt);
    FPrevRect = TRect{};
    FPending = true;
    return true;
}

TRect TGvDragRectManager::SelectionRect() const {
    if (!FPending && !FBand) return TRect{};
    TRect r{std::min(FAnchorPoint.X, FDragPoint.X), std::min(FAnchorPoint.Y, FDragPoint.Y),
            std::max(FAnchorPoint.X, FDragPoint.X), std::max(FAnchorPoint.Y, FDragPoint.Y)};
    if (r.Right == r.Left) ++r.Right;
    if (r.Bottom == r.Top) ++r.Bottom;
    return r;
}

void TGvDragRectManager::InvalidateBand(const TRect& ViewRect) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars || !lv->HandleAllocated()) return;
    TRect r = bars->MapViewRectToWindowRect(ViewRect);
    gcl::InflateRect(r, 1, 1);
    TRect clipped;
    if (gcl::IntersectRect(clipped, r, ClientRectOf(lv))) lv->SafeInvalidateRect(&clipped, false);
}

void TGvDragRectManager::DoDragBegin(TCommonKeyStates, TPoint WindowPt) {
    FPending = false;
    FBand = true;
    if (TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview)) FDragPoint = bars->MapWindowToView(WindowPt);
    FPrevRect = TRect{};
}

void TGvDragRectManager::DoDrag(TCommonKeyStates KeyStates, TPoint WindowPt, TCommonDropEffects, TCommonDropEffect&) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars) return;
    const TRect old = SelectionRect();
    FPrevRect = old;
    FDragPoint = bars->MapWindowToView(WindowPt);
    if (TGvSelectionManager* selection = lv->GetSelection()) selection->DragSelect(KeyStates, SelectionRect(), old);
    TRect both;
    gcl::UnionRect(both, old, SelectionRect());
    InvalidateBand(both);
    if (!ScrollStepRunning()) AutoScrollStep();
}

void TGvDragRectManager::DoBeforeScroll() {
    if (TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview))
        FSavedOffset = TPoint{bars->GetOffsetX(), bars->GetOffsetY()};
}

void TGvDragRectManager::DoAfterScroll() {
    if (TGvScrollbarManager* bars = ScrollbarsOf(FOwnerListview)) {
        FDragPoint.X += bars->GetOffsetX() - FSavedOffset.X;
        FDragPoint.Y += bars->GetOffsetY() - FSavedOffset.Y;
    }
}

void TGvDragRectManager::Reset() {
    InvalidateBand(SelectionRect());
    FBand = false;
    FPending = false;
    FAnchorPoint = FDragPoint = TPoint{};
    FPrevRect = TRect{};
}

void TGvDragRectManager::DoDragDrop(TCommonKeyStates, TPoint, TCommonDropEffects, TCommonDropEffect&) { Reset(); }

void TGvDragRectManager::DoDragEnd() { Reset(); }

void TGvDragRectManager::PaintSelectionRect(gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!Canvas || !bars || !FBand) return;
    const TRect r = bars->MapViewRectToWindowRect(SelectionRect());
    TGvSelectionManager* selection = lv->GetSelection();
    const gcl::TColor frame = selection ? selection->GetBorderColorSelRect() : gcl::clHighlight;
    RECT rr = gcl::ToRECT(r);
    HDC dc = Canvas->GetHandle();
    // A blended band tints what lies under it, on a 32-bit surface only.
    const gcl::TSize dib = DibSize(dc);
    TRect inside{};
    if (selection && selection->GetAlphaBlendSelRect() && dib.cx > 0 &&
        gcl::IntersectRect(inside, DeviceRect(dc, r), TRect{0, 0, dib.cx, dib.cy}))
        AlphaBlend(dc, dc, inside, static_cast<int32_t>(gcl::ColorToRGB(selection->GetBlendColorSelRect())),
                   selection->GetBlendAlphaSelRect(), cbmConstantAlphaAndColor, TPoint{});
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(gcl::ColorToRGB(frame)));
    FrameRect(dc, &rr, brush);
    DeleteObject(brush);
}

// ---- TGvHeaderDragManager ----------------------------------------------------------------------

GCL_PUBLISHED(TGvHeaderDragManager,
    GCL_PROP(AutoScroll).Default(true),
    GCL_PROP(AutoScrollAccelerator).Default(2),
    GCL_PROP(AutoScrollDelay).Default(500),
    GCL_PROP(AutoScrollMargin).Default(15),
    GCL_PROP(AutoScrollTime).Default(50),
    GCL_PROP(DragCursor).Default(gcl::crDrag),
    GCL_PROP(EnableDragImage).Default(true),
    GCL_PROP(MouseButton).Default(TCommonMouseButtons{cmbLeft}))

TGvHeaderDragManager::TGvHeaderDragManager(TCustomGvListview* AOwner) : TCustomGvDragManagerBase(AOwner) {}

gcl::TCursor TGvHeaderDragManager::GetDragCursor() const {
    return FOwnerListview ? FOwnerListview->GetDragCursor() : gcl::crDrag;
}

void TGvHeaderDragManager::SetDragCursor(gcl::TCursor Value) {
    if (FOwnerListview) FOwnerListview->SetDragCursor(Value);
}

void TGvHeaderDragManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (FColumn == Obj) FColumn = nullptr;
    if (FTargetColumn == Obj) FTargetColumn = nullptr;
    if (FDropColumn == Obj) FDropColumn = nullptr;
}

void TGvHeaderDragManager::EnabledChanged() {
    // Registered while either manager wants drops.
    if (TGvDropTargetManager* target = FOwnerListview ? FOwnerListview->GetDropTargetManager() : nullptr)
        target->Sync();
}

bool TGvHeaderDragManager::PtInAutoScrollLeftRegion(TPoint WindowPt) const {
    return FOwnerListview && FOwnerListview->GetView() == elsReport && WindowPt.X < GetAutoScrollMargin();
}

bool TGvHeaderDragManager::PtInAutoScrollRightRegion(TPoint WindowPt) const {
    return FOwnerListview && FOwnerListview->GetView() == elsReport &&
           WindowPt.X > ClientRectOf(FOwnerListview).Width() - GetAutoScrollMargin();
}

TGvColumn* TGvHeaderDragManager::RecordColumn(::IDataObject* DataObject) const {
    TCustomGvListview* lv = FOwnerListview;
    if (!DataObject || !lv || !CF_GVHEADER) return nullptr;
    std::vector<char> buffer;
    if (!LoadFromDataObject(DataObject, CF_GVHEADER, buffer)) return nullptr;
    if (buffer.size() != sizeof(TGvHeaderDragRecord)) return nullptr;
    TGvHeaderDragRecord record{};
    std::memcpy(&record, buffer.data(), sizeof(record));
    if (record.ProcessId != GetCurrentProcessId() || record.ThreadId != GetCurrentThreadId()) return nullptr;
    if (record.Listview != reinterpret_cast<uintptr_t>(lv)) return nullptr;
    // The column must still be one of this header's columns; the pointer
    // is only compared, never followed, before that.
    TGvColumns* columns = lv->GetHeader() ? lv->GetHeader()->GetColumns() : nullptr;
    if (!columns) return nullptr;
    for (int i = 0; i < columns->GetCount(); ++i)
        if (reinterpret_cast<uintptr_t>(columns->GetColumns(i)) == record.Column) return columns->GetColumns(i);
    return nullptr;
}

void TGvHeaderDragManager::SetTargetColumn(TGvColumn* Value) {
    if (Value == FTargetColumn) return;
    TGvColumn* old = FTargetColumn;
    FTargetColumn = Value;
    if (old) {
        old->SetMarked(false);
        old->Invalidate(true);
    }
    if (Value) {
        Value->SetMarked(true);
        Value->Invalidate(true);
    }
}

void TGvHeaderDragManager::DoDragBegin(TCommonKeyStates, TPoint) {
    FDropColumn = RecordColumn(GetDataObject());
    FHeaderDragValid = FDropColumn != nullptr;
}

void TGvHeaderDragManager::DoDrag(TCommonKeyStates, TPoint WindowPt, TCommonDropEffects, TCommonDropEffect& Effect) {
    Effect = cdeNone;
    TCustomGvListview* lv = FOwnerListview;
    if (!FHeaderDragValid || !lv || !lv->GetHeader()) return;
    TGvHeader* header = lv->GetHeader();
    if (WindowPt.Y >= header->RuntimeHeight()) {
        SetTargetColumn(nullptr);
        return;
    }
    Effect = cdeMove;
    TPoint pt = WindowPt;
    if (!(lv->GetView() == elsList && header->GetShowInAllViews()))
        if (TGvScrollbarManager* bars = lv->GetScrollbars()) pt.X += bars->GetOffsetX();
    SetTargetColumn(header->GetColumns()->ColumnByPoint(pt));
}

void TGvHeaderDragManager::DoDragDrop(TCommonKeyStates, TPoint, TCommonDropEffects, TCommonDropEffect& Effect) {
    if (!FHeaderDragValid) {
        // Not a column drag: the answer is someone else's.
        DoDragEnd();
        return;
    }
    // Checked again: the column may have gone since the drag entered.
    TGvColumn* column = RecordColumn(GetDataObject());
    TGvColumn* target = FTargetColumn;
    Effect = cdeNone;
    if (target && column && column == FDropColumn) {
        if (column != target) column->SetPosition(target->GetPosition());
        Effect = cdeMove;
    }
    DoDragEnd();
}

void TGvHeaderDragManager::DoDragEnd() {
    SetTargetColumn(nullptr);
    FHeaderDragValid = false;
    FDropColumn = nullptr;
}

bool TGvHeaderDragManager::FillDataObject(::IDataObject* DataObject, TCommonDropEffects& AvailableEffects) {
    AvailableEffects = TCommonDropEffects{cdeMove};
    if (!GetEnabled() || !FColumn || !CF_GVHEADER) return false;
    TGvHeaderDragRecord record{};
    record.ProcessId = GetCurrentProcessId();
    record.ThreadId = GetCurrentThreadId();
    record.Listview = reinterpret_cast<uintptr_t>(FOwnerListview);
    record.Column = reinterpret_cast<uintptr_t>(FColumn);
    return SaveToDataObject(DataObject, CF_GVHEADER, &record, sizeof(record));
}

gcl::TSize TGvHeaderDragManager::DragImageSize() const {
    const int height = FOwnerListview && FOwnerListview->GetHeader() ? FOwnerListview->GetHeader()->GetHeight() : 0;
    return gcl::TSize{FColumn ? FColumn->GetWidth() : 0, height};
}

void TGvHeaderDragManager::DragFinished(::IDataObject*, TCommonOLEDragResult, TCommonDropEffects, TCommonKeyStates) {}

void TGvHeaderDragManager::GetDragImage(gcl::TBitmap* Bitmap, TPoint DragStartPt, TPoint& HotSpot,
                                        gcl::TColor& TransparentColor, bool& Handled) {
    TCustomGvListview* lv = FOwnerListview;
    if (!Bitmap || !FColumn || !lv) return;
    TGvHeader* header = lv->GetHeader();
    gcl::TCanvas* canvas = Bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(header->GetColor());
    canvas->FillRect(TRect{0, 0, Bitmap->GetWidth(), Bitmap->GetHeight()});
    const TRect rect = FColumn->GetDisplayRect();
    const int offsetX = lv->GetScrollbars() && header->FollowsHorizontalScroll() ? lv->GetScrollbars()->GetOffsetX() : 0;
    HotSpot = TPoint{DragStartPt.X + offsetX - rect.Left, DragStartPt.Y - rect.Top};
    if (rect.Left - offsetX < 0) HotSpot.X += rect.Left - offsetX;
    if (rect.Top < 0) HotSpot.Y += rect.Top;
    // Paint the button with the viewport moved so that it lands at (0, 0).
    HDC dc = canvas->GetHandle();
    POINT old{};
    SetViewportOrgEx(dc, -rect.Left, -rect.Top, &old);
    if (TGvViewColumn* view = lv->ColumnView()) view->Paint(FColumn, canvas);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    TransparentColor = lv->GetColor();
    Handled = true;
}

bool TGvHeaderDragManager::ExecuteDrag(TPoint WindowPt, TCommonKeyStates KeyStates) {
    TCustomGvListview* lv = FOwnerListview;
    if (!GetEnabled() || !lv) return false;
    if (UsesGclDrag()) {
        BeginGclDrag();
        return true;
    }
    gcl::ComPtr<::IDataObject> data;
    lv->DoOLEGetDataObject(data);
    TGvDataObjectManager* own = nullptr;
    if (!data) {
        own = TGvDataObjectManager::Create(lv);
        data = gcl::ComPtr<::IDataObject>(own);
    }
    struct TUnbind {
        TGvDataObjectManager* Object;
        ~TUnbind() {
            if (Object) Object->Unbind();
        }
    } unbind{own};
    TCommonDropEffects effects;
    if (!FillDataObject(data.Get(), effects)) return false;
    if (FEnableDragImage && lv->HandleAllocated()) {
        const gcl::TSize size = DragImageSize();
        if (size.cx > 0 && size.cy > 0) {
            gcl::TBitmap image;
            image.SetPixelFormat(gcl::pf32bit);
            image.SetWidth(size.cx);
            image.SetHeight(size.cy);
            TPoint hotSpot{size.cx / 2, size.cy / 2};
            gcl::TColor transparent = gcl::clWindow;
            bool handled = false;
            lv->DoGetDragImage(&image, WindowPt, hotSpot, transparent, handled);
            if (!handled) GetDragImage(&image, WindowPt, hotSpot, transparent, handled);
            if (handled) SetDragImage(data.Get(), &image, hotSpot, transparent);
        }
    }
    FSourceDataObject = data;
    struct TForgetSource {
        gcl::ComPtr<::IDataObject>& Source;
        ~TForgetSource() { Source = nullptr; }
    } forget{FSourceDataObject};
    gcl::ComPtr<::IDropSource> source(TGvDropSourceManager::Create(lv));
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = lv->ExecuteDragDrop(data.Get(), source.Get(), effects, effect);
    const TCommonOLEDragResult result = hr == DRAGDROP_S_DROP ? cdrDrop : hr == DRAGDROP_S_CANCEL ? cdrCancel : cdrError;
    DragFinished(data.Get(), result, DropEffectsFromDropEffect(effect), KeyStates);
    return true;
}

// ---- TGvInsertMark ----------------------------------------------------------------------------

GCL_PUBLISHED(TGvInsertMark,
    GCL_PROP(AutoMove).Default(true),
    GCL_PROP(Color).Default(gcl::clBlack).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(ReSelectAfterMove).Default(true),
    GCL_PROP(Width).Default(2))

void TGvInsertMark::SetColor(gcl::TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    InvalidateMark();
}

void TGvInsertMark::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!Value) Hide();
}

void TGvInsertMark::SetWidth(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FWidth) return;
    FWidth = Value;
    InvalidateMark();
}

void TGvInsertMark::InvalidateMark() {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->HandleAllocated() || !lv->GetScrollbars() || gcl::IsRectEmpty(FDisplayRect)) return;
    TRect r = lv->GetScrollbars()->MapViewRectToWindowRect(FDisplayRect);
    lv->SafeInvalidateRect(&r, false);
}

void TGvInsertMark::Place(TGvItem* Item, int Side, const TRect& ViewRect, bool Vertical) {
    if (!Item) {
        Hide();
        return;
    }
    if (FVisible && Item == FDropItem && Side == FSide && ViewRect == FDisplayRect) return;
    InvalidateMark();
    FDropItem = Item;
    FSide = Side;
    FDisplayRect = ViewRect;
    FVertical = Vertical;
    FVisible = true;
    InvalidateMark();
}

void TGvInsertMark::Hide() {
    if (FVisible) InvalidateMark();
    FVisible = false;
    FDropItem = nullptr;
    FSide = 0;
    FDisplayRect = TRect{};
}

void TGvInsertMark::Forget(TGvCollectionItem* Obj) noexcept {
    if (Obj && Obj == FDropItem) {
        FVisible = false;
        FDropItem = nullptr;
        FSide = 0;
        FDisplayRect = TRect{};
    }
}

void TGvInsertMark::Paint(gcl::TCanvas* Canvas) {
    if (!Canvas || !FVisible || gcl::IsRectEmpty(FDisplayRect)) return;
    const TRect r = FDisplayRect;
    HDC dc = Canvas->GetHandle();
    HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(gcl::ColorToRGB(FColor)));
    HGDIOBJ old = SelectObject(dc, pen);
    auto line = [dc](int x1, int y1, int x2, int y2) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    };
    if (FVertical) {
        // A stem over the middle third, caps across the full width.
        const int w = std::max(r.Width() / 3, 1);
        for (int x = r.Left + w; x < r.Right - w; ++x) line(x, r.Top, x, r.Bottom);
        for (int y = r.Top; y < r.Top + w; ++y) line(r.Left, y, r.Right, y);
        for (int y = r.Bottom - w; y < r.Bottom; ++y) line(r.Left, y, r.Right, y);
    } else {
        const int h = std::max(r.Height() / 3, 1);
        for (int y = r.Top + h; y < r.Bottom - h; ++y) line(r.Left, y, r.Right, y);
        for (int x = r.Left; x < r.Left + h; ++x) line(x, r.Top, x, r.Bottom);
        for (int x = r.Right - h; x < r.Right; ++x) line(x, r.Top, x, r.Bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

// ---- TGvOLEDragManager ------------------------------------------------------------------------

GCL_PUBLISHED(TGvOLEDragManager,
    GCL_PROP(AutoScroll).Default(true),
    GCL_PROP(AutoScrollAccelerator).Default(2),
    GCL_PROP(AutoScrollDelay).Default(500),
    GCL_PROP(AutoScrollMargin).Default(15),
    GCL_PROP(AutoScrollTime).Default(50),
    GCL_PROP(DragCursor).Default(gcl::crDrag),
    GCL_PROP(DragImageHeight).Default(300),
    GCL_PROP(DragImageWidth).Default(200),
    GCL_PROP(DragMode).Default(gcl::dmManual),
    GCL_PROP(DragType).Default(edtOLE),
    GCL_PROP(EnableDragImage).Default(true),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(HilightDropTarget).Default(true),
    GCL_PROP(InsertMark),
    GCL_PROP(MouseButton).Default(TCommonMouseButtons{cmbLeft}))

TGvOLEDragManager::TGvOLEDragManager(TCustomGvListview* AOwner)
    : TGvHeaderDragManager(AOwner), FInsertMark(std::make_unique<TGvInsertMark>(AOwner)) {}

TGvOLEDragManager::~TGvOLEDragManager() = default;

void TGvOLEDragManager::SetInsertMark(TGvInsertMark* Value) {
    if (Value && Value != FInsertMark.get()) FInsertMark->Assign(Value);
}

void TGvOLEDragManager::SetDragType(TGvDragType Value) {
    if (Value == FDragType) return;
    FDragType = Value;
    // Switching to edtGCL revokes the OLE drop target unless the header
    // still takes column drops.
    EnabledChanged();
}

void TGvOLEDragManager::Forget(TGvCollectionItem* Obj) noexcept {
    TGvHeaderDragManager::Forget(Obj);
    if (FDragItem == Obj) FDragItem = nullptr;
    if (FDropTarget == Obj) FDropTarget = nullptr;
    FInsertMark->Forget(Obj);
}

bool TGvOLEDragManager::DragStartTest(TCommonMouseButton Button, TPoint WindowPt) {
    FDragItem = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if (!GetEnabled() || !lv || Button == cmbNone || !GetMouseButton().Contains(Button)) return false;
    TGvScrollbarManager* bars = lv->GetScrollbars();
    if (!bars || !lv->GetGroups()) return false;
    TGvItem* item = lv->GetGroups()->ItemByPoint(bars->MapWindowToView(WindowPt));
    if (!item || !item->GetEnabled()) return false;
    FDragItem = item;
    return true;
}

bool TGvOLEDragManager::FillDataObject(::IDataObject* DataObject, TCommonDropEffects& AvailableEffects) {
    AvailableEffects = TCommonDropEffects{cdeCopy, cdeMove, cdeLink};
    bool allow = GetEnabled();
    if (FOwnerListview) FOwnerListview->DoOLEDragStart(DataObject, AvailableEffects, allow);
    return allow;
}

gcl::TSize TGvOLEDragManager::DragImageSize() const { return gcl::TSize{GetDragImageWidth(), GetDragImageHeight()}; }

void TGvOLEDragManager::GetDragImage(gcl::TBitmap* Bitmap, TPoint DragStartPt, TPoint& HotSpot,
                                     gcl::TColor& TransparentColor, bool& Handled) {
    TCustomGvListview* lv = FOwnerListview;
    if (!Bitmap || !lv) return;
    const int w = Bitmap->GetWidth();
    const int h = Bitmap->GetHeight();
    // The area around the start point; moved in when it reaches over the
    // top or left edge, with the hot spot following.
    TRect area{DragStartPt.X - w / 2, DragStartPt.Y - h / 2, 0, 0};
    HotSpot = TPoint{w / 2, h / 2};
    if (area.Left < 0) {
        HotSpot.X += area.Left;
        area.Left = 0;
    }
    if (area.Top < 0) {
        HotSpot.Y += area.Top;
        area.Top = 0;
    }
    area.Right = area.Left + w;
    area.Bottom = area.Top + h;
    gcl::TCanvas* canvas = Bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(lv->GetColor());
    canvas->FillRect(TRect{0, 0, w, h});
    HDC dc = canvas->GetHandle();
    POINT old{};
    SetViewportOrgEx(dc, -area.Left, -area.Top, &old);
    lv->PaintRect(canvas, area, true);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    TransparentColor = lv->GetColor();
    Handled = true;
}

void TGvOLEDragManager::DragFinished(::IDataObject* DataObject, TCommonOLEDragResult DragResult,
                                     TCommonDropEffects ResultEffect, TCommonKeyStates KeyStates) {
    if (FOwnerListview) FOwnerListview->DoOLEDragEnd(DataObject, DragResult, ResultEffect, KeyStates);
}

void TGvOLEDragManager::BeginGclDrag() {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv) return;
    if (lv->GetSelection()) FDragItem = lv->GetSelection()->GetFocusedItem();
    if (FDragMode == gcl::dmAutomatic) lv->BeginDrag(true, -1);
}

void TGvOLEDragManager::SetDropTarget(TGvItem* Value) {
    if (Value == FDropTarget) return;
    TGvItem* old = FDropTarget;
    FDropTarget = Value;
    if (old) {
        old->SetDropTarget(false);
        old->Invalidate(false);
    }
    if (Value) {
        Value->SetDropTarget(true);
        Value->Invalidate(false);
    }
}

void TGvOLEDragManager::ClearFeedback() {
    SetDropTarget(nullptr);
    FInsertMark->Hide();
    FDragInProgress = false;
}

void TGvOLEDragManager::DoDragBegin(TCommonKeyStates KeyStates, TPoint WindowPt) {
    // Only a drag of this list view's own items may move them.
    FOwnDrag = !GetDataObject() || SameComObject(GetDataObject(), RunningDataObject());
    FDragInProgress = true;
    TCommonDropEffect effect = cdeNone;
    DoDrag(KeyStates, WindowPt, TCommonDropEffects(), effect);
}

void TGvOLEDragManager::DoDrag(TCommonKeyStates, TPoint WindowPt, TCommonDropEffects, TCommonDropEffect&) {
    TCustomGvListview* lv = FOwnerListview;
    TGvScrollbarManager* bars = ScrollbarsOf(lv);
    if (!bars || !lv->GetGroups()) return;
    FDragInProgress = true;
    const TPoint pt = bars->MapWindowToView(WindowPt);
    // Over the header the point maps to the rows scrolled away under it:
    // no item there is one the user can see, nor drop on.
    TGvItem* candidate = WindowPt.Y >= HeaderHeight() ? lv->GetGroups()->ItemByPoint(pt) : nullptr;
    if (candidate && !candidate->GetEnabled()) candidate = nullptr;
    if (FInsertMark->GetEnabled() && FOwnDrag && candidate) {
        SetDropTarget(nullptr);
        const TRect r = candidate->GetDisplayRect();
        TGvGridGroup* grid = candidate->OwnerGroup() ? candidate->OwnerGroup()->GetGrid() : nullptr;
        const bool sideBySide = grid && grid->GetLayout() == 1;
        const int w = FInsertMark->GetWidth();
        const int thick = w * 3;
        int side = 0;
        if (sideBySide) {
            const int quarter = r.Width() / 4;
            if (pt.X < r.Left + quarter)
                side = 1;
            else if (pt.X >= r.Right - quarter)
                side = 2;
            if (side) {
                const int x = side == 1 ? r.Left : r.Right;
                FInsertMark->Place(candidate, side, TRect{x - thick / 2, r.Top, x - thick / 2 + thick, r.Bottom}, true);
            }
        } else {
            if (pt.Y < r.Top + 2)
                side = 1;
            else if (pt.Y >= r.Bottom - 2)
                side = 2;
            if (side) {
                const int y = side == 1 ? r.Top : r.Bottom;
                FInsertMark->Place(candidate, side, TRect{r.Left, y - thick / 2, r.Right, y - thick / 2 + thick},
                                   false);
            }
        }
        if (!side) FInsertMark->Hide();
        return;
    }
    FInsertMark->Hide();
    if (!candidate) {
        SetDropTarget(nullptr);
        return;
    }
    if (FHilightDropTarget) SetDropTarget(candidate);
}

void TGvOLEDragManager::MoveSelectionToMark() {
    TCustomGvListview* lv = FOwnerListview;
    TGvItem* target = FInsertMark->GetDropItem();
    const int side = FInsertMark->GetSide();
    if (!lv || !target || !lv->GetSelection()) return;
    TGvGroup* group = target->OwnerGroup();
    if (!group) return;
    TListviewUpdate update(lv);
    std::vector<TGvItem*> moving;
    TGvSelectionManager* selection = lv->GetSelection();
    for (TGvItem* item = selection->First(); item; item = selection->Next(item)) moving.push_back(item);
    selection->ClearAll();
    FInsertMark->Hide();
    // The target keeps its place among the items that stay; each moved
    // item goes in after the one before it.
    int index = target->GetIndex() + (side == 2 ? 1 : 0);
    for (TGvItem* item : moving) {
        if (item == target) {
            index = item->GetIndex() + 1;
            continue;
        }
        TGvItems* items = group->GetItems();
        if (item->OwnerGroup() == group && item->GetIndex() < index) --index;
        items->MoveItem(item, index);
        ++index;
        if (FInsertMark->GetReSelectAfterMove()) item->SetSelected(true);
    }
    if (lv->GetGroups()) lv->GetGroups()->Rebuild(false);
}

void TGvOLEDragManager::DoDragDrop(TCommonKeyStates KeyStates, TPoint WindowPt, TCommonDropEffects AvailableEffects,
                                   TCommonDropEffect& Effect) {
    if (FInsertMark->GetVisible() && FInsertMark->GetDropItem() && FOwnDrag) {
        MoveSelectionToMark();
    } else {
        TGvHeaderDragManager::DoDragDrop(KeyStates, WindowPt, AvailableEffects, Effect);
    }
    ClearFeedback();
    FDragItem = nullptr;
    FOwnDrag = false;
}

void TGvOLEDragManager::DoDragEnd() {
    TGvHeaderDragManager::DoDragEnd();
    ClearFeedback();
    FOwnDrag = false;
}

void TGvOLEDragManager::GclDragEnter(TPoint ClientPt) {
    DragStart(nullptr, KeyStatesNow(), ClientPt);
}

void TGvOLEDragManager::GclDragOver(TPoint ClientPt) {
    TCommonDropEffect effect = cdeNone;
    if (!Dragging()) DragStart(nullptr, KeyStatesNow(), ClientPt);
    Drag(KeyStatesNow(), ClientPt, TCommonDropEffects(), effect);
}

void TGvOLEDragManager::GclDragDrop(TPoint ClientPt) {
    TCommonDropEffect effect = cdeNone;
    DragDrop(KeyStatesNow(), ClientPt, TCommonDropEffects(), effect);
}

void TGvOLEDragManager::GclDragLeave() {
    if (Dragging() || FDragInProgress) DragEnd();
}

// ---- TGvDropTargetManager ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvDropTargetManager)

TGvDropTargetManager::~TGvDropTargetManager() { ReleaseHelper(); }

void TGvDropTargetManager::ReleaseHelper() noexcept {
    if (FHelper) FHelper->Release();
    FHelper = nullptr;
}

void TGvDropTargetManager::Detach() noexcept {
    FSyncDue = false;
    try {
        Register(false);
    } catch (...) {
    }
    FOwnerListview = nullptr;
    FCurrentTarget = nullptr;
    FDataObject = nullptr;
    ReleaseHelper();
}

IDropTargetHelper* TGvDropTargetManager::Helper() {
    if (!FHelperTried) {
        FHelperTried = true;
        if (CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                             reinterpret_cast<void**>(&FHelper)) != S_OK)
            FHelper = nullptr;
    }
    return FHelper;
}

void TGvDropTargetManager::Register(bool Value) {
    TCustomGvListview* lv = FOwnerListview;
    if (Value) {
        if (FRegistered || !lv || !lv->HandleAllocated()) return;
        if (SUCCEEDED(RegisterDragDrop(lv->GetHandle(), this))) FRegistered = true;
        return;
    }
    if (!FRegistered) return;
    if (lv && lv->HandleAllocated()) RevokeDragDrop(lv->GetHandle());
    FRegistered = false;
}

bool TGvDropTargetManager::GetRegistered() {
    SyncIfDue();
    return FRegistered;
}

void TGvDropTargetManager::SyncAfterPaint() {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->HandleAllocated()) return;
    // A timer's message comes only when the thread has nothing else to do,
    // so after the window's first paint.
    FSyncDue = SetTimer(lv->GetHandle(), DropTargetSyncTimer, USER_TIMER_MINIMUM, nullptr) != 0;
    if (!FSyncDue) Sync();
}

void TGvDropTargetManager::SyncIfDue() {
    if (FSyncDue) Sync();
}

void TGvDropTargetManager::Sync() {
    TCustomGvListview* lv = FOwnerListview;
    if (FSyncDue) {
        FSyncDue = false;
        if (lv && lv->HandleAllocated()) KillTimer(lv->GetHandle(), DropTargetSyncTimer);
    }
    if (!lv) return;
    if (WantsDrops(lv))
        Register(true);
    else
        Register(false);
}

void TGvDropTargetManager::WindowGone() noexcept {
    TCustomGvListview* lv = FOwnerListview;
    FSyncDue = false;  // the timer goes with the window
    if (FRegistered && lv && lv->HandleAllocated()) RevokeDragDrop(lv->GetHandle());
    FRegistered = false;
}

TPoint TGvDropTargetManager::ClientPoint(POINTL Pt) const {
    POINT p{Pt.x, Pt.y};
    if (FOwnerListview && FOwnerListview->HandleAllocated()) ScreenToClient(FOwnerListview->GetHandle(), &p);
    return TPoint{p.x, p.y};
}

HRESULT STDMETHODCALLTYPE TGvDropTargetManager::DragEnter(::IDataObject* DataObject, DWORD KeyState, POINTL Pt,
                                                          DWORD* Effect) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!Effect) return E_INVALIDARG;
        TCustomGvListview* lv = FOwnerListview;
        const DWORD offered = *Effect;
        *Effect = DROPEFFECT_NONE;
        if (IDropTargetHelper* helper = Helper()) {
            POINT p{Pt.x, Pt.y};
            if (lv && lv->HandleAllocated()) helper->DragEnter(lv->GetHandle(), DataObject, &p, offered);
        }
        FCurrentTarget = nullptr;
        FDataObject = gcl::ComPtr<::IDataObject>(DataObject);
        if (!lv) return S_OK;
        const TCommonKeyStates keys = KeyStatesFromMK(KeyState);
        const TPoint pt = ClientPoint(Pt);
        FAvailableEffects = DropEffectsFromDropEffect(offered);
        TGvOLEDragManager* items = lv->GetDragManager();
        TGvHeaderDragManager* columns = lv->GetHeader() ? lv->GetHeader()->GetDragManager() : nullptr;
        TCommonDropEffect desired = cdeNone;
        if (columns && columns->GetEnabled() && columns->RecordColumn(DataObject)) {
            // A column of this header: the header's manager decides.
            FCurrentTarget = columns;
        } else if (items && items->GetEnabled() && items->GetDragType() == edtOLE) {
            FCurrentTarget = items;
            // Data of a drag of this list view may move; anything else is
            // refused unless the owner's handler accepts it.
            if (SameComObject(DataObject, items->RunningDataObject())) desired = ChooseEffect(keys, FAvailableEffects);
        }
        if (!FCurrentTarget) return S_OK;
        lv->DoOLEDragEnter(DataObject, keys, pt, FAvailableEffects, desired);
        if (FOwnerListview != lv || !FCurrentTarget) return S_OK;
        FCurrentTarget->DragStart(DataObject, keys, pt);
        if (FCurrentTarget == columns) {
            desired = cdeNone;
            FCurrentTarget->Drag(keys, pt, FAvailableEffects, desired);
        }
        FDesired = desired;
        *Effect = EffectToDropEffect(desired);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TGvDropTargetManager::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!Effect) return E_INVALIDARG;
        TCustomGvListview* lv = FOwnerListview;
        const DWORD offered = *Effect;
        *Effect = DROPEFFECT_NONE;
        if (IDropTargetHelper* helper = Helper()) {
            POINT p{Pt.x, Pt.y};
            helper->DragOver(&p, offered);
        }
        if (!lv || !FCurrentTarget) return S_OK;
        const TCommonKeyStates keys = KeyStatesFromMK(KeyState);
        const TPoint pt = ClientPoint(Pt);
        FAvailableEffects = DropEffectsFromDropEffect(offered);
        TGvOLEDragManager* items = lv->GetDragManager();
        TCommonDropEffect desired = cdeNone;
        if (FCurrentTarget == items) {
            if (!items->GetEnabled()) return S_OK;
            if (SameComObject(FDataObject.Get(), items->RunningDataObject()))
                desired = ChooseEffect(keys, FAvailableEffects);
            lv->DoOLEDragOver(keys, pt, FAvailableEffects, desired);
            if (FOwnerListview != lv || FCurrentTarget != items) return S_OK;
        }
        FCurrentTarget->Drag(keys, pt, FAvailableEffects, desired);
        FDesired = desired;
        *Effect = EffectToDropEffect(desired);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TGvDropTargetManager::DragLeave() {
    return gcl::SafeCall([&]() -> HRESULT {
        if (IDropTargetHelper* helper = Helper()) helper->DragLeave();
        TCustomGvListview* lv = FOwnerListview;
        TCustomGvDragManagerBase* target = FCurrentTarget;
        FCurrentTarget = nullptr;
        FDataObject = nullptr;
        if (!lv) return S_OK;
        lv->DoOLEDragLeave();
        if (target && FOwnerListview == lv) target->DragEnd();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE TGvDropTargetManager::Drop(::IDataObject* DataObject, DWORD KeyState, POINTL Pt,
                                                     DWORD* Effect) {
    return gcl::SafeCall([&]() -> HRESULT {
        if (!Effect) return E_INVALIDARG;
        TCustomGvListview* lv = FOwnerListview;
        const DWORD offered = *Effect;
        *Effect = DROPEFFECT_NONE;
        if (IDropTargetHelper* helper = Helper()) {
            POINT p{Pt.x, Pt.y};
            helper->Drop(DataObject, &p, offered);
        }
        TCustomGvDragManagerBase* target = FCurrentTarget;
        FCurrentTarget = nullptr;
        gcl::ComPtr<::IDataObject> hold(DataObject);
        FDataObject = nullptr;
        if (!lv || !target) return S_OK;
        const TCommonKeyStates keys = KeyStatesFromMK(KeyState);
        const TPoint pt = ClientPoint(Pt);
        FAvailableEffects = DropEffectsFromDropEffect(offered);
        TCommonDropEffect desired = FDesired;
        bool handled = false;
        if (target == lv->GetDragManager()) {
            lv->DoOLEDragDrop(DataObject, keys, pt, FAvailableEffects, desired, handled);
            if (FOwnerListview != lv) return S_OK;
        }
        if (handled)
            target->DragEnd();
        else
            target->DragDrop(keys, pt, FAvailableEffects, desired);
        *Effect = EffectToDropEffect(desired);
        return S_OK;
    });
}

// ---- TGvDropSourceManager ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvDropSourceManager)

HRESULT STDMETHODCALLTYPE TGvDropSourceManager::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
    return gcl::SafeCall([&]() -> HRESULT {
        const TCommonKeyStates keys = KeyStatesFromMK(KeyState);
        TGvQueryDragResult result = eqdrContinue;
        if (!keys.Contains(cksLButton) && !keys.Contains(cksMButton) && !keys.Contains(cksRButton))
            result = eqdrDrop;
        else if (EscapePressed)
            result = eqdrQuit;
        if (FOwnerListview) FOwnerListview->DoOLEQueryContineDrag(EscapePressed != FALSE, keys, result);
        switch (result) {
        case eqdrQuit:
            return DRAGDROP_S_CANCEL;
        case eqdrDrop:
            return DRAGDROP_S_DROP;
        case eqdrContinue:
            return S_OK;
        default:
            return E_UNEXPECTED;
        }
    });
}

HRESULT STDMETHODCALLTYPE TGvDropSourceManager::GiveFeedback(DWORD Effect) {
    return gcl::SafeCall([&]() -> HRESULT {
        bool useDefault = true;
        if (FOwnerListview) FOwnerListview->DoOLEGiveFeedback(DropEffectsFromDropEffect(Effect), useDefault);
        return useDefault ? DRAGDROP_S_USEDEFAULTCURSORS : S_OK;
    });
}

// ---- TGvDataObjectManager ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvDataObjectManager)

void TGvDataObjectManager::DoGetCustomFormats(TFormatEtcArray& Formats) {
    if (FListview) FListview->DoOLEGetCustomFormats(Formats);
}

void TGvDataObjectManager::DoGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled) {
    if (FListview) FListview->DoOLEGetData(FormatEtcIn, Medium, Handled);
}

void TGvDataObjectManager::DoQueryGetData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled) {
    if (FListview) FListview->DoOLEQueryData(FormatEtcIn, FormatAvailable, Handled);
}

// ---- TCustomGvListview's drag members ------------------------------------------------------------

HRESULT TCustomGvListview::ExecuteDragDrop(::IDataObject* DataObject, ::IDropSource* DropSource,
                                           TCommonDropEffects OKEffects, DWORD& Effect) {
    Effect = DROPEFFECT_NONE;
    return DoDragDrop(DataObject, DropSource, DropEffectsToDropEffect(OKEffects), &Effect);
}

void TCustomGvListview::HandleDragMessage(gcl::TMessage& Message) {
    auto* rec = reinterpret_cast<gcl::TDragRec*>(Message.LParam);
    TGvOLEDragManager* manager = FDragManager;
    const TPoint client = rec ? ScreenToClient(rec->Pos) : TPoint{};
    switch (static_cast<gcl::TDragMessage>(Message.WParam)) {
    case gcl::dmDragEnter:
        if (manager) manager->GclDragEnter(client);
        inherited::Dispatch(Message);
        break;
    case gcl::dmDragLeave: {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (manager && (!HandleAllocated() || WindowFromPoint(cursor) != GetHandle())) manager->GclDragLeave();
        inherited::Dispatch(Message);
        break;
    }
    case gcl::dmDragMove:
        if (manager) manager->GclDragOver(client);
        inherited::Dispatch(Message);
        break;
    case gcl::dmDragDrop:
        // OnDragDrop first, then the manager's own drop (the insert mark).
        inherited::Dispatch(Message);
        if (FDragManager) FDragManager->GclDragDrop(client);
        break;
    case gcl::dmDragCancel:
        if (manager) manager->GclDragLeave();
        inherited::Dispatch(Message);
        break;
    default:
        inherited::Dispatch(Message);
        break;
    }
}

void TCustomGvListview::DoEndDrag(gcl::TObject* Target, int X, int Y) {
    if (HasState(gcsGclDragging)) {
        // A drop on another control leaves the manager's drag running.
        if (FDragManager && FDragManager->Dragging()) FDragManager->DragEnd();
        ClearStates();
        if (HandleAllocated() && GetCapture() == GetHandle()) ReleaseCapture();
    }
    inherited::DoEndDrag(Target, X, Y);
}

void TCustomGvListview::ForgetInputReferences(TGvCollectionItem* Obj) noexcept {
    if (FDragManager) FDragManager->Forget(Obj);
    if (FHeader && FHeader->GetDragManager()) FHeader->GetDragManager()->Forget(Obj);
    if (FIncrementalSearch) FIncrementalSearch->Forget(Obj);
    if (FHeader) FHeader->Forget(Obj);
    // A hint shown for the entry outlives it: its handlers get no target.
    if (FHintData && FHintData->TargetObj == Obj) FHintData->TargetObj = nullptr;
    if (FHintInfo && FHintInfo->TargetObj == Obj) FHintInfo->TargetObj = nullptr;
}

void TCustomGvListview::ForgetEntriesOf(const TGvCollection* Entries) noexcept {
    ForgetReferencesIf(
        [](const TGvCollectionItem* Obj, const void* Context) noexcept {
            return Obj->GetCollection() == static_cast<const TGvCollection*>(Context);
        },
        Entries);
}

void TCustomGvListview::ForgetGroupsOf(const TGvGroups* Groups, const TGvGroup* Except) noexcept {
    struct TWhich {
        const TGvCollection* Groups;
        const TGvGroup* Except;
    } which{Groups, Except};
    ForgetReferencesIf(
        [](const TGvCollectionItem* Obj, const void* Context) noexcept {
            const auto* w = static_cast<const TWhich*>(Context);
            const TGvCollection* owner = Obj->GetCollection();
            if (!owner) return false;
            if (owner == w->Groups) return Obj != w->Except;
            if (!owner->InheritsFrom(TGvItems::StaticClass())) return false;
            const TGvGroup* group = static_cast<const TGvItems*>(owner)->GetOwnerGroup();
            return group && group != w->Except && group->GetCollection() == w->Groups;
        },
        &which);
}

void TCustomGvListview::ForgetReferencesIf(TForgetsEntry Belongs, const void* Context) noexcept {
    // Every holder keeps at most a few references: each one that names an
    // entry that belongs is dropped by everything an entry's free does.
    auto forget = [this, Belongs, Context](TGvCollectionItem* Obj) noexcept {
        if (!Obj || !Belongs(Obj, Context)) return;
        try {
            if (FSelection) {
                if (FSelection->GetAnchorItem() == Obj) FSelection->SetAnchorItem(nullptr);
                if (FSelection->GetFocusedItem() == Obj) FSelection->SetFocusedItem(nullptr);
            }
            if (FCheckManager && FCheckManager->GetPendingObject() == Obj) FCheckManager->SetPendingObject(nullptr);
        } catch (...) {
        }
        if (FHotTrack) FHotTrack->Forget(Obj);
        if (FEditManager) FEditManager->Forget(Obj);
        ForgetInputReferences(Obj);
    };
    if (FSelection) {
        forget(FSelection->GetAnchorItem());
        forget(FSelection->GetFocusedItem());
    }
    if (FCheckManager) forget(FCheckManager->GetPendingObject());
    if (FHotTrack) {
        forget(FHotTrack->GetHotObject());
        forget(FHotTrack->GetHotCheckItem());
    }
    if (FEditManager) {
        forget(FEditManager->GetEditItem());
        forget(FEditManager->GetTabMoveFocusItem());
        if (auto* editor = dynamic_cast<TGvBaseEditor*>(FEditManager->GetEditor())) forget(editor->GetItem());
    }
    if (FDragManager) {
        forget(FDragManager->GetDragItem());
        forget(FDragManager->GetDropTarget());
        if (FDragManager->GetInsertMark()) forget(FDragManager->GetInsertMark()->GetDropItem());
    }
    if (FIncrementalSearch) {
        forget(FIncrementalSearch->GetSearchItem());
        forget(FIncrementalSearch->GetNextSearchItem());
    }
    // The header and its drag manager hold columns only.
    if (FHintData) forget(FHintData->TargetObj);
    if (FHintInfo) forget(FHintInfo->TargetObj);
}

} // namespace qelvo
