// The list-view control: construction, properties, streaming, the Do
// methods that fire its events, and the published control.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- TCustomGvListview -----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TCustomGvListview)

TCustomGvListview::TCustomGvListview(gcl::TComponent* AOwner)
    : TCommonCanvasControl(AOwner),
      FGroupFont(std::make_unique<gcl::TFont>()),
      FGroupCollapseButton(std::make_unique<gcl::TBitmap>()),
      FGroupExpandButton(std::make_unique<gcl::TBitmap>()) {}

void TCustomGvListview::AfterConstruction() {
    inherited::AfterConstruction();
    FPaintInfoGroup = CreatePaintInfoGroup();
    FPaintInfoItem = CreatePaintInfoItem();
    FPaintInfoColumn = CreatePaintInfoColumn();
    FGesture = TGvGestureManager::Create(this);
    FHotTrack = TGvHotTrackManager::Create(this);
    SetParentColor(false);
    GetBrush()->SetColor(gcl::clWindow);
    SetColor(gcl::clWindow);
    SetBevelInner(gcl::bvLowered);
    SetBevelKind(gcl::bkTile);
    gcl::TControlStyle style = GetControlStyle();
    style.Exclude(gcl::csAcceptsControls);
    style.Exclude(gcl::csCaptureMouse);
    style.Exclude(gcl::csOpaque);
    SetControlStyle(style);
    FBackGround = TGvBackgroundManager::Create(this);
    FScrollbars = TGvScrollbarManager::Create(this);
    FDropTarget = gcl::ComPtr<TGvDropTargetManager>(TGvDropTargetManager::Create(this));
    FDragRectManager = TGvDragRectManager::Create(this);
    FDragManager = TGvOLEDragManager::Create(this);
    FCheckManager = TGvCheckManager::Create(this);
    FSelection = TGvSelectionManager::Create(this);
    FGroups = CreateGroups();
    FHeader = TGvHeader::Create(this);
    FEditManager = TGvEditManager::Create(this);
    FGlobalImageManager = TGvGlobalImageManager::Create(this);
    FCellSizes = TGvCellSizes::Create(this);
    FSort = TGvSortManager::Create(this);
    SetTabStop(true);
    FWheelMouseDefaultScroll = edwsVert;
    FWheelMouseScrollModifierEnabled = true;
    FItems = std::make_unique<TGvGlobalItems>(this);
    FShowGroupMargins = false;
    FShowThemedBorder = true;
    FDisabledBlendAlpha = 128;
    FDisabledBlendColor = gcl::clWindow;
    FIncrementalSearch = TGvIncrementalSearchManager::Create(this);
    FHintInfo.reset(TGvHintInfo::Create());
    FHintData.reset(new TGvHintData());
    FHintData->Listview = this;
}

void TCustomGvListview::THintInfoDeleter::operator()(TGvHintInfo* Info) const noexcept { gcl::Free(Info); }
void TCustomGvListview::THintDataDeleter::operator()(TGvHintData* Data) const noexcept { delete Data; }

TCustomGvListview::~TCustomGvListview() {
    if (FDropTarget) FDropTarget->Detach();
    FDropTarget = nullptr;
    gcl::FreeAndNil(FGesture);
    FItems.reset();
    gcl::FreeAndNil(FBackGround);
    gcl::FreeAndNil(FScrollbars);
    gcl::FreeAndNil(FDragRectManager);
    gcl::FreeAndNil(FDragManager);
    gcl::FreeAndNil(FCheckManager);
    gcl::FreeAndNil(FSelection);
    gcl::FreeAndNil(FHeader);
    gcl::FreeAndNil(FEditManager);
    gcl::FreeAndNil(FGlobalImageManager);
    gcl::FreeAndNil(FCellSizes);
    gcl::FreeAndNil(FPaintInfoColumn);
    gcl::FreeAndNil(FPaintInfoGroup);
    gcl::FreeAndNil(FPaintInfoItem);
    gcl::FreeAndNil(FHotTrack);
    gcl::FreeAndNil(FSort);
    gcl::FreeAndNil(FIncrementalSearch);
    gcl::FreeAndNil(FGroups);
}

void TCustomGvListview::BeforeDestruction() noexcept {
    Destroying();
    // A running edit is taken down while everything it refers to exists.
    if (FEditManager) FEditManager->OwnerDestroying();
    try {
        if (FGroups) FGroups->Clear(true);
        if (FHeader && FHeader->GetColumns()) FHeader->GetColumns()->Clear(true);
    } catch (...) {
    }
    inherited::BeforeDestruction();
    if (FHoldsItemSlots) {
        FHoldsItemSlots = false;
        TGvItem::ReleaseSlots();
    }
}

TGvPaintInfoColumn* TCustomGvListview::CreatePaintInfoColumn() { return TGvPaintInfoColumn::Create(this); }
TGvPaintInfoGroup* TCustomGvListview::CreatePaintInfoGroup() { return TGvPaintInfoGroup::Create(this); }
TGvGroups* TCustomGvListview::CreateGroups() { return TGvGroups::Create(this); }
TGvPaintInfoItem* TCustomGvListview::CreatePaintInfoItem() { return TGvPaintInfoItem::Create(this); }

void TCustomGvListview::BeginUpdate() {
    inherited::BeginUpdate();
    // Items freed and made again inside one update bracket (a list
    // refilled) reuse their memory.
    if (!FHoldsItemSlots) {
        TGvItem::HoldSlots();
        FHoldsItemSlots = true;
    }
}

void TCustomGvListview::EndUpdate(bool Invalidate) {
    try {
        inherited::EndUpdate(Invalidate);
    } catch (...) {
        ReleaseItemSlots();
        throw;
    }
    ReleaseItemSlots();
    // The entries may have changed under a pointer that rests: what lies
    // under it now is lit (and the cursor follows).
    if (GetUpdateCount() == 0) HotTrackAtPointer();
}

void TCustomGvListview::ReleaseItemSlots() noexcept {
    if (!FHoldsItemSlots || GetUpdateCount() > 0) return;
    FHoldsItemSlots = false;
    TGvItem::ReleaseSlots();
}

void TCustomGvListview::Rebuild() {
    if (IsDestroying()) return;
    if (FGroups) FGroups->Rebuild(true);
    if (FScrollbars) FScrollbars->ReCalculateScrollbars(true, false);
}

void TCustomGvListview::Loaded() {
    inherited::Loaded();
    Rebuild();
}

void TCustomGvListview::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.WindowClass.style |= CS_DBLCLKS;
    Params.Style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

void TCustomGvListview::CreateWnd() {
    inherited::CreateWnd();
    Rebuild();
    // A new window: registered as a drop target when a drag manager wants
    // it, once it is shown and painted.
    if (FDropTarget) FDropTarget->SyncAfterPaint();
    GrowBufferBitmap(GetClientWidth(), GetClientHeight());
}

void TCustomGvListview::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == gcl::CM_DRAG) {
        HandleDragMessage(Message);
        return;
    }
    if (Message.Msg == WM_DESTROY && FDropTarget) FDropTarget->WindowGone();
    // The system's scroll bars may look different from now on, and so may
    // what the theme draws.
    const bool lookChanged = Message.Msg == WM_THEMECHANGED || Message.Msg == WM_SYSCOLORCHANGE ||
                             Message.Msg == WM_SETTINGCHANGE || Message.Msg == WM_DISPLAYCHANGE ||
                             Message.Msg == WM_DPICHANGED || Message.Msg == gcl::CM_SYSCOLORCHANGE;
    if (lookChanged || Message.Msg == WM_DESTROY) ForgetScrollBars();
    if (lookChanged) {
        gvdetail::ForgetKeptDrawings();
        gvdetail::ForgetLineMetrics();
    }
    if (Message.Msg == WM_TIMER && Message.WParam == DropTargetSyncTimer) {
        KillTimer(GetHandle(), DropTargetSyncTimer);
        if (FDropTarget) FDropTarget->SyncIfDue();
        return;
    }
    if (Message.Msg == WM_PAINT) {
        gcl::TRestore<bool> own(FPaintsOwnWindow, Message.WParam == 0 && !GetDoubleBuffered());
        inherited::Dispatch(Message);
        return;
    }
    if (FHeader && RouteToHeader(Message)) return;
    if (DispatchInput(Message)) return;
    if (Message.Msg == WM_SIZE && FHeader) {
        // The new client width, from the message itself.
        FHeader->Resize(static_cast<int>(LOWORD(static_cast<uintptr_t>(Message.LParam))));
        inherited::Dispatch(Message);
        return;
    }
    if (Message.Msg == gcl::CM_PARENTFONTCHANGED) {
        inherited::Dispatch(Message);
        if (GetParentFont()) {
            gcl::TFont* font = Message.WParam ? reinterpret_cast<gcl::TFont*>(Message.LParam)
                                              : (GetParent() ? GetParent()->GetFont() : nullptr);
            if (font) {
                FGroupFont->Assign(font);
                if (FHeader) FHeader->SetFont(font);
            }
        }
        return;
    }
    inherited::Dispatch(Message);
}

bool TCustomGvListview::RouteToHeader(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        const auto lp = static_cast<uintptr_t>(Message.LParam);
        const TPoint pt{static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))};
        if (!IsOverHeader(pt)) return false;
        if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN) SetFocusIfAllowed();
        // Nothing of the list is hot while the mouse is on the header.
        if (Message.Msg == WM_MOUSEMOVE && FHotTrack) FHotTrack->SetPendingObject(nullptr, pt);
        gcl::TComponentRef<TCustomGvListview> alive(this);
        FHeader->Dispatch(Message);
        // A handler may have freed the control.
        if (alive && Message.Msg == WM_LBUTTONUP) {
            // The release also counts as a move (hot tracking follows).
            gcl::TMessage move = Message;
            move.Msg = WM_MOUSEMOVE;
            FHeader->Dispatch(move);
        }
        return true;
    }
    case WM_CONTEXTMENU: {
        if (!HandleAllocated() || !FHeader->Shown()) return false;
        const auto lp = static_cast<uintptr_t>(Message.LParam);
        const TPoint screen{static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))};
        if (screen.X == -1 && screen.Y == -1) return false;
        if (!FHeader->OwnsMouse(ScreenToClient(screen))) return false;
        Message.Result = 0;
        FHeader->Dispatch(Message);
        // A handled menu stops here; otherwise the default handling runs once.
        if (Message.Result == 0) inherited::Dispatch(Message);
        return true;
    }
    default:
        return false;
    }
}

void TCustomGvListview::SetBackGround(TGvBackgroundManager* Value) {
    if (Value == FBackGround) return;
    gcl::Free(FBackGround);
    FBackGround = Value;
}

void TCustomGvListview::SetSelection(TGvSelectionManager* Value) {
    if (Value == FSelection) return;
    gcl::Free(FSelection);
    FSelection = Value;
}

void TCustomGvListview::SetPaintInfoColumn(TGvPaintInfoColumn* Value) {
    if (Value == FPaintInfoColumn) return;
    gcl::Free(FPaintInfoColumn);
    FPaintInfoColumn = Value;
}

void TCustomGvListview::SetPaintInfoGroup(TGvPaintInfoGroup* Value) {
    if (Value == FPaintInfoGroup) return;
    gcl::Free(FPaintInfoGroup);
    FPaintInfoGroup = Value;
}

void TCustomGvListview::SetPaintInfoItem(TGvPaintInfoItem* Value) {
    if (Value == FPaintInfoItem) return;
    gcl::Free(FPaintInfoItem);
    FPaintInfoItem = Value;
}

void TCustomGvListview::SetGroupCollapseButton(gcl::TBitmap* Value) {
    FGroupCollapseButton->Assign(Value);
    if (!FGroupCollapseButton->GetEmpty()) FGroupCollapseButton->SetPixelFormat(gcl::pf32bit);
}

void TCustomGvListview::SetGroupExpandButton(gcl::TBitmap* Value) {
    FGroupExpandButton->Assign(Value);
    if (!FGroupExpandButton->GetEmpty()) FGroupExpandButton->SetPixelFormat(gcl::pf32bit);
}

void TCustomGvListview::SetView(TGvListStyle Value) {
    if (Value == FView) return;
    FView = Value;
    if (FGroups) FGroups->Rebuild(true);
    FWheelMouseDefaultScroll = ScrollsVertically(Value) ? edwsVert : edwsHorz;
}

void TCustomGvListview::InvalidateView() {
    if (!HandleAllocated()) return;
    const int headerHeight = FHeader ? FHeader->RuntimeHeight() : 0;
    if (headerHeight <= 0 || !FHeader->ShowsAsPainted()) {
        SafeInvalidateRect(nullptr, false);
        return;
    }
    TRect rows = ClientRectOf(this);
    rows.Top = std::min(headerHeight, rows.Bottom);
    if (!gcl::IsRectEmpty(rows)) SafeInvalidateRect(&rows, false);
}

void TCustomGvListview::SetShowGroupMargins(bool Value) {
    if (Value == FShowGroupMargins) return;
    FShowGroupMargins = Value;
    Rebuild();
}

void TCustomGvListview::SetShowInactive(bool Value) {
    if (Value == FShowInactive) return;
    FShowInactive = Value;
    SafeInvalidateRect(nullptr, true);
}

void TCustomGvListview::SetShowThemedBorder(bool Value) {
    if (Value == FShowThemedBorder) return;
    FShowThemedBorder = Value;
    if (HandleAllocated())
        SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomGvListview::SetCacheDoubleBufferBits(bool Value) {
    if (Value == FCacheDoubleBufferBits) return;
    FCacheDoubleBufferBits = Value;
    if (!Value) {
        FDoubleBuffer.reset();
        return;
    }
    FDoubleBuffer = std::make_unique<gcl::TBitmap>();
    FDoubleBuffer->SetPixelFormat(gcl::pf32bit);
    FDoubleBuffer->SetSize(1, 1);
    if (HandleAllocated()) GrowBufferBitmap(GetClientWidth(), GetClientHeight());
}

void TCustomGvListview::GrowBufferBitmap(int Width, int Height) {
    if (!FCacheDoubleBufferBits || !FDoubleBuffer) return;
    const int w = std::max({FDoubleBuffer->GetWidth(), Width, 1});
    const int h = std::max({FDoubleBuffer->GetHeight(), Height, 1});
    if (w != FDoubleBuffer->GetWidth() || h != FDoubleBuffer->GetHeight()) FDoubleBuffer->SetSize(w, h);
}

void TCustomGvListview::DoResize(int, int) {}

#define GV_IMAGES_SETTER(Name)                                             \
    void TCustomGvListview::Set##Name(gcl::TCustomImageList* Value) {      \
        if (Value == F##Name.Get()) return;                                \
        F##Name = Value;                                                   \
        SafeInvalidateRect(nullptr, false);                                \
    }
GV_IMAGES_SETTER(ImagesExLarge)
GV_IMAGES_SETTER(ImagesGroup)
GV_IMAGES_SETTER(ImagesLarge)
GV_IMAGES_SETTER(ImagesSmall)
GV_IMAGES_SETTER(ImagesState)
#undef GV_IMAGES_SETTER

bool TCustomGvListview::HeaderShown() const { return FHeader && FHeader->Shown(); }

TGvColumn* TCustomGvListview::FocusedColumn() { return FSelection ? FSelection->GetFocusedColumn() : nullptr; }

void TCustomGvListview::SetFocusIfAllowed() {
    if (!Focused() && CanFocus() && HandleAllocated()) SetFocus();
}

void TCustomGvListview::MarkSelectedCut() {
    for (int g = 0; g < FGroups->GetCount(); ++g) {
        TGvGroup* group = FGroups->GetGroups(g);
        for (int i = 0; i < group->ItemCount(); ++i) group->GetItem(i)->SetCut(false);
    }
    for (TGvItem* item = FSelection->First(); item; item = FSelection->Next(item)) item->SetCut(true);
}

void TCustomGvListview::CopyToClipboard() {}
void TCustomGvListview::PasteFromClipboard() {
    bool handled = false;
    DoClipboardPaste(handled);
}

void TCustomGvListview::CutToClipboard() {
    bool markAsCut = false;
    bool handled = true;
    DoClipboardCut(markAsCut, handled);
    if (markAsCut && handled) MarkSelectedCut();
}

void TCustomGvListview::ClipboardCopyCommand() {
    bool handled = false;
    DoClipboardCopy(handled);
    if (!handled) CopyToClipboard();
}

void TCustomGvListview::ClipboardCutCommand() {
    bool markAsCut = true;
    bool handled = false;
    DoClipboardCut(markAsCut, handled);
    if (!handled)
        CutToClipboard();
    else if (markAsCut)
        MarkSelectedCut();
}

void TCustomGvListview::ClipboardPasteCommand() {
    bool handled = false;
    DoClipboardPaste(handled);
    if (!handled) PasteFromClipboard();
}

bool TCustomGvListview::GroupCaptionsShown() const {
    return FPaintInfoGroup && FPaintInfoGroup->GetMarginTop()->GetVisible();
}

void TCustomGvListview::SaveToStream(TStream& S) {
    WriteInt32(S, GvStreamVersion);
    WriteByte(S, static_cast<uint8_t>(FView));
    FGroups->SaveToStream(S);
    FHeader->SaveToStream(S);
}

void TCustomGvListview::LoadFromStream(TStream& S) {
    TListviewUpdate update(this);
    const int32_t version = ReadInt32(S);
    if (version > 0) {
        const uint8_t view = ReadByte(S);
        if (view >= gcl::EnumInfo<TGvListStyle>().Count) throw gcl::EReadError(gcl::msg::ReadError);
        SetView(static_cast<TGvListStyle>(view));
        FGroups->LoadFromStream(S);
        FHeader->LoadFromStream(S);
        FGroups->Rebuild(true);
    }
}

int TCustomGvListview::DefaultCaptionCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2) {
    return DefaultSortCompare(Column, Item1, Item2);
}

int TCustomGvListview::GroupCompare(TGvColumn*, TGvGroup* Group1, TGvGroup* Group2) {
    return DoGroupCompare(Group1, Group2);
}

int TCustomGvListview::ItemCompare(TGvColumn* Column, TGvGroup* Group, TGvItem* Item1, TGvItem* Item2) {
    return DoItemCompare(Column, Group, Item1, Item2);
}

// ---- Do methods ------------------------------------------------------------------------------

// Fires an event when it is assigned.
#define GV_FIRE(Event, ...) \
    if (Event) Event(this, __VA_ARGS__)
// The same, but not while the control is being destroyed.
#define GV_FIRE_GUARDED(Event, ...) \
    if (!IsDestroying() && Event) Event(this, __VA_ARGS__)

void TCustomGvListview::DoAutoGroupGetKey(TGvItem* Item, int ColumnIndex, TGvGroups* Groups, uint32_t& Key) {
    GV_FIRE(OnAutoGroupGetKey, Item, ColumnIndex, Groups, Key);
}

void TCustomGvListview::DoAutoSortGroupCreate(TGvItem* Item, int ColumnIndex, TGvGroups* Groups, TGvGroup*& Group,
                                              bool& DoDefaultAction) {
    GV_FIRE(OnAutoSortGroupCreate, Item, ColumnIndex, Groups, Group, DoDefaultAction);
    if (!Group) Group = FGroups->Add(nullptr);
}

void TCustomGvListview::DoColumnCheckChanged(TGvColumn* Column) { GV_FIRE_GUARDED(OnColumnCheckChanged, Column); }
void TCustomGvListview::DoColumnCheckChanging(TGvColumn* Column, bool& Allow) {
    GV_FIRE_GUARDED(OnColumnCheckChanging, Column, Allow);
}
void TCustomGvListview::DoColumnEnableChanged(TGvColumn* Column) { GV_FIRE_GUARDED(OnColumnEnableChanged, Column); }
void TCustomGvListview::DoColumnEnableChanging(TGvColumn* Column, bool& Allow) {
    GV_FIRE_GUARDED(OnColumnEnableChanging, Column, Allow);
}
void TCustomGvListview::DoColumnFocusChanged(TGvColumn*) {}
void TCustomGvListview::DoColumnFocusChanging(TGvColumn*, bool&) {}
void TCustomGvListview::DoColumnFreeing(TGvColumn* Column) { GV_FIRE(OnColumnFreeing, Column); }
void TCustomGvListview::DoColumnInitialize(TGvColumn* Column) { GV_FIRE(OnColumnInitialize, Column); }
void TCustomGvListview::DoColumnSelectionChanged(TGvColumn* Column) {
    GV_FIRE_GUARDED(OnColumnSelectionChanged, Column);
}
void TCustomGvListview::DoColumnSelectionChanging(TGvColumn* Column, bool& Allow) {
    GV_FIRE_GUARDED(OnColumnSelectionChanging, Column, Allow);
}
void TCustomGvListview::DoColumnVisibilityChanged(TGvColumn* Column) {
    GV_FIRE(OnColumnVisibilityChanged, Column);
}
void TCustomGvListview::DoColumnVisibilityChanging(TGvColumn* Column, bool& Allow) {
    GV_FIRE(OnColumnVisibilityChanging, Column, Allow);
}
void TCustomGvListview::DoColumnLoadFromStream(TGvColumn* Column, TStream& S, int Version) {
    GV_FIRE(OnColumnLoadFromStream, Column, S, Version);
}
void TCustomGvListview::DoColumnSaveToStream(TGvColumn* Column, TStream& S, int Version) {
    GV_FIRE(OnColumnSaveToStream, Column, S, Version);
}
void TCustomGvListview::DoColumnGetCaption(TGvColumn* Column, int Line, std::wstring& Caption) {
    GV_FIRE(OnColumnGetCaption, Column, Line, Caption);
}
void TCustomGvListview::DoColumnSetCaption(TGvColumn* Column, const std::wstring& Caption) {
    GV_FIRE(OnColumnSetCaption, Column, Caption);
}
void TCustomGvListview::DoColumnGetDetail(TGvColumn* Column, int Line, int& Detail) {
    GV_FIRE(OnColumnGetDetail, Column, Line, Detail);
}
void TCustomGvListview::DoColumnSetDetail(TGvColumn* Column, int Line, const int& Detail) {
    GV_FIRE(OnColumnSetDetail, Column, Line, Detail);
}
void TCustomGvListview::DoColumnGetDetailCount(TGvColumn* Column, int& Count) {
    GV_FIRE(OnColumnGetDetailCount, Column, Count);
}
void TCustomGvListview::DoColumnSetDetailCount(TGvColumn*, int) { SafeInvalidateRect(nullptr, false); }
void TCustomGvListview::DoColumnGetImageIndex(TGvColumn* Column, TGvImageKind ImageKind, int& ImageIndex) {
    GV_FIRE(OnColumnGetImageIndex, Column, ImageKind, ImageIndex);
}
void TCustomGvListview::DoColumnSetImageIndex(TGvColumn* Column, TGvImageKind ImageKind, int ImageIndex) {
    GV_FIRE(OnColumnSetImageIndex, Column, ImageKind, ImageIndex);
}
void TCustomGvListview::DoColumnGetImageList(TGvColumn* Column, gcl::TCustomImageList*& ImageList) {
    GV_FIRE(OnColumnGetImageList, Column, ImageList);
}
void TCustomGvListview::DoColumnStructureChange() {
    if (OnColumnStructureChange) OnColumnStructureChange(this);
}
void TCustomGvListview::DoGroupCollapse(TGvGroup* Group) { GV_FIRE_GUARDED(OnGroupCollapse, Group); }
void TCustomGvListview::DoGroupCollapsing(TGvGroup* Group, bool& Allow) {
    GV_FIRE_GUARDED(OnGroupCollapsing, Group, Allow);
}
void TCustomGvListview::DoGroupExpand(TGvGroup* Group) {
    if (FGroups) FGroups->Rebuild(false);
    GV_FIRE(OnGroupExpand, Group);
}
void TCustomGvListview::DoGroupExpanding(TGvGroup* Group, bool& Allow) { GV_FIRE(OnGroupExpanding, Group, Allow); }
void TCustomGvListview::DoGroupFreeing(TGvGroup* Group) { GV_FIRE(OnGroupFreeing, Group); }
void TCustomGvListview::DoGroupInitialize(TGvGroup* Group) { GV_FIRE(OnGroupInitialize, Group); }
void TCustomGvListview::DoGroupSelectionChanged(TGvGroup*) {}
void TCustomGvListview::DoGroupSelectionChanging(TGvGroup*, bool&) {}
void TCustomGvListview::DoGroupVisibilityChanged(TGvGroup* Group) { GV_FIRE_GUARDED(OnGroupVisibilityChanged, Group); }
void TCustomGvListview::DoGroupVisibilityChanging(TGvGroup* Group, bool& Allow) {
    GV_FIRE_GUARDED(OnGroupVisibilityChanging, Group, Allow);
}
void TCustomGvListview::DoGroupLoadFromStream(TGvGroup* Group, TStream& S, int Version) {
    GV_FIRE(OnGroupLoadFromStream, Group, S, Version);
}
void TCustomGvListview::DoGroupSaveToStream(TGvGroup* Group, TStream& S, int Version) {
    GV_FIRE(OnGroupSaveToStream, Group, S, Version);
}
void TCustomGvListview::DoGroupGetCaption(TGvGroup* Group, std::wstring& Caption) {
    GV_FIRE(OnGroupGetCaption, Group, Caption);
}
void TCustomGvListview::DoGroupSetCaption(TGvGroup* Group, const std::wstring& Caption) {
    GV_FIRE(OnGroupSetCaption, Group, Caption);
}
void TCustomGvListview::DoGroupGetDetail(TGvGroup* Group, int Line, int& Detail) {
    GV_FIRE(OnGroupGetDetail, Group, Line, Detail);
}
void TCustomGvListview::DoGroupSetDetail(TGvGroup* Group, int Line, const int& Detail) {
    GV_FIRE(OnGroupSetDetail, Group, Line, Detail);
}
void TCustomGvListview::DoGroupGetDetailCount(TGvGroup* Group, int& Count) {
    GV_FIRE(OnGroupGetDetailCount, Group, Count);
}
void TCustomGvListview::DoGroupSetDetailCount(TGvGroup*, int) { SafeInvalidateRect(nullptr, false); }
void TCustomGvListview::DoGroupGetImageIndex(TGvGroup* Group, TGvImageKind ImageKind, int& ImageIndex) {
    GV_FIRE(OnGroupGetImageIndex, Group, ImageKind, ImageIndex);
}
void TCustomGvListview::DoGroupSetImageIndex(TGvGroup* Group, TGvImageKind ImageKind, int ImageIndex) {
    GV_FIRE(OnGroupSetImageIndex, Group, ImageKind, ImageIndex);
}
void TCustomGvListview::DoGroupGetImageList(TGvGroup* Group, gcl::TCustomImageList*& ImageList) {
    GV_FIRE(OnGroupGetImageList, Group, ImageList);
}
void TCustomGvListview::DoGroupHotTrack(TGvGroup* Group, TGvHotTrackState State, TPoint MousePos) {
    GV_FIRE(OnGroupHotTrack, Group, State, MousePos);
}
int TCustomGvListview::DoGroupCompare(TGvGroup* Item1, TGvGroup* Item2) {
    if (OnGroupCompare) return OnGroupCompare(this, Item1, Item2);
    return DefaultSortCompare(nullptr, Item1, Item2);
}
void TCustomGvListview::DoGroupStructureChange() {
    if (OnGroupStructureChange) OnGroupStructureChange(this);
}
void TCustomGvListview::DoItemCheckChange(TGvItem* Item) { GV_FIRE_GUARDED(OnItemCheckChange, Item); }
void TCustomGvListview::DoItemCheckChanging(TGvItem* Item, bool& Allow) {
    GV_FIRE_GUARDED(OnItemCheckChanging, Item, Allow);
}
void TCustomGvListview::DoItemEditBegin(TGvItem* Item, int& Column, bool& Allow) {
    GV_FIRE(OnItemEditBegin, Item, Column, Allow);
}
void TCustomGvListview::DoItemEnableChange(TGvItem* Item) { GV_FIRE(OnItemEnableChange, Item); }
void TCustomGvListview::DoItemEnableChanging(TGvItem* Item, bool& Allow) {
    GV_FIRE(OnItemEnableChanging, Item, Allow);
}
void TCustomGvListview::DoItemFocusChanged(TGvItem* Item) { GV_FIRE(OnItemFocusChanged, Item); }
void TCustomGvListview::DoItemFocusChanging(TGvItem* Item, bool& Allow) { GV_FIRE(OnItemFocusChanging, Item, Allow); }
void TCustomGvListview::DoItemFreeing(TGvItem* Item) { GV_FIRE(OnItemFreeing, Item); }
void TCustomGvListview::DoItemInitialize(TGvItem* Item) { GV_FIRE(OnItemInitialize, Item); }
void TCustomGvListview::DoItemSelectionChanged(TGvItem* Item) { GV_FIRE_GUARDED(OnItemSelectionChanged, Item); }
void TCustomGvListview::DoItemSelectionChanging(TGvItem* Item, bool& Allow) {
    GV_FIRE_GUARDED(OnItemSelectionChanging, Item, Allow);
}
void TCustomGvListview::DoItemSelectionsChanged() {
    if (!IsDestroying() && OnItemSelectionsChanged) OnItemSelectionsChanged(this);
}
void TCustomGvListview::DoItemVisibilityChanged(TGvItem* Item) { GV_FIRE_GUARDED(OnItemVisibilityChanged, Item); }
void TCustomGvListview::DoItemVisibilityChanging(TGvItem* Item, bool& Allow) {
    GV_FIRE_GUARDED(OnItemVisibilityChanging, Item, Allow);
}
void TCustomGvListview::DoItemLoadFromStream(TGvItem* Item, TStream& S, int Version) {
    GV_FIRE(OnItemLoadFromStream, Item, S, Version);
}
void TCustomGvListview::DoItemSaveToStream(TGvItem* Item, TStream& S, int Version) {
    GV_FIRE(OnItemSaveToStream, Item, S, Version);
}
void TCustomGvListview::DoItemGetCaption(TGvItem* Item, int Column, std::wstring& Caption) {
    GV_FIRE(OnItemGetCaption, Item, Column, Caption);
}
void TCustomGvListview::DoItemSetCaption(TGvItem* Item, int Column, const std::wstring& Caption) {
    GV_FIRE(OnItemSetCaption, Item, Column, Caption);
}
void TCustomGvListview::DoItemGetTileDetail(TGvItem* Item, int Line, int& Detail) {
    GV_FIRE(OnItemGetTileDetail, Item, Line, Detail);
}
void TCustomGvListview::DoItemSetTileDetail(TGvItem* Item, int Line, const int& Detail) {
    GV_FIRE(OnItemSetTileDetail, Item, Line, Detail);
}
void TCustomGvListview::DoItemGetTileDetailCount(TGvItem* Item, int& Count) {
    GV_FIRE(OnItemGetTileDetailCount, Item, Count);
}
void TCustomGvListview::DoItemSetTileDetailCount(TGvItem*, int) {}
void TCustomGvListview::DoItemGetImageIndex(TGvItem* Item, int Column, TGvImageKind ImageKind, int& ImageIndex) {
    GV_FIRE(OnItemGetImageIndex, Item, Column, ImageKind, ImageIndex);
}
void TCustomGvListview::DoItemSetImageIndex(TGvItem* Item, int Column, TGvImageKind ImageKind, int ImageIndex) {
    GV_FIRE(OnItemSetImageIndex, Item, Column, ImageKind, ImageIndex);
}
void TCustomGvListview::DoItemGetImageList(TGvItem* Item, int Column, gcl::TCustomImageList*& ImageList) {
    GV_FIRE(OnItemGetImageList, Item, Column, ImageList);
}
void TCustomGvListview::DoItemGetStateImageList(TGvItem*, int, gcl::TCustomImageList*&) {}
void TCustomGvListview::DoItemGetGroupKey(TGvItem* Item, int FocusedColumn, uint32_t& GroupKey) {
    GV_FIRE(OnItemGetGroupKey, Item, FocusedColumn, GroupKey);
}
void TCustomGvListview::DoItemSetGroupKey(TGvItem* Item, int Column, uint32_t Key) {
    GV_FIRE(OnItemSetGroupKey, Item, Column, Key);
}
void TCustomGvListview::DoItemHotTrack(TGvItem* Item, TGvHotTrackState State, TPoint MousePos) {
    if (FHotTrack && FHotTrack->GetEnabled()) GV_FIRE(OnItemHotTrack, Item, State, MousePos);
}
int TCustomGvListview::DoItemCompare(TGvColumn* Column, TGvGroup* Group, TGvItem* Item1, TGvItem* Item2) {
    if (OnItemCompare) {
        bool doDefault = true;
        const int result = OnItemCompare(this, Column, Group, Item1, Item2, doDefault);
        if (!doDefault) return result;
    }
    return DefaultSortCompare(Column, Item1, Item2);
}
void TCustomGvListview::DoItemStructureChange() {
    if (OnItemStructureChange) OnItemStructureChange(this);
}
void TCustomGvListview::DoScroll(int DeltaX, int DeltaY) { GV_FIRE(OnScroll, DeltaX, DeltaY); }
void TCustomGvListview::DoPaintBkGnd(gcl::TCanvas* ACanvas, const gcl::TRect& AWindowRect,
                                     TGvAlphaBlender* AlphaBlender, bool& DoDefault) {
    GV_FIRE(OnPaintBkGnd, ACanvas, AWindowRect, AlphaBlender, DoDefault);
}
void TCustomGvListview::DoPaintHeaderBkGnd(gcl::TCanvas* ACanvas, const gcl::TRect& ARect, bool& Handled) {
    GV_FIRE(OnPaintHeaderBkGnd, ACanvas, ARect, Handled);
}
void TCustomGvListview::DoAfterPaint(gcl::TCanvas* ACanvas, const gcl::TRect& ClipRect) {
    GV_FIRE(OnAfterPaint, ACanvas, ClipRect);
}
void TCustomGvListview::DoGroupPaintText(TGvGroup* Group, gcl::TCanvas* ACanvas) {
    GV_FIRE(OnGroupPaintText, Group, ACanvas);
}
void TCustomGvListview::DoColumnPaintText(TGvColumn* Column, gcl::TCanvas* ACanvas) {
    GV_FIRE(OnColumnPaintText, Column, ACanvas);
}
void TCustomGvListview::DoItemPaintText(TGvItem* Item, int Position, gcl::TCanvas* ACanvas) {
    GV_FIRE(OnItemPaintText, Item, Position, ACanvas);
}
void TCustomGvListview::DoGroupImageDraw(TGvGroup* Group, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                         TGvAlphaBlender* AlphaBlender) {
    GV_FIRE(OnGroupImageDraw, Group, ACanvas, RectArray, AlphaBlender);
}
void TCustomGvListview::DoGroupImageDrawIsCustom(TGvGroup* Group, bool& IsCustom) {
    GV_FIRE(OnGroupImageDrawIsCustom, Group, IsCustom);
}
void TCustomGvListview::DoGroupImageGetSize(TGvGroup* Group, int& ImageWidth, int& ImageHeight) {
    GV_FIRE(OnGroupImageGetSize, Group, ImageWidth, ImageHeight);
}
void TCustomGvListview::DoColumnImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas,
                                          const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender) {
    GV_FIRE(OnColumnImageDraw, Column, ACanvas, RectArray, AlphaBlender);
}
void TCustomGvListview::DoColumnImageDrawIsCustom(TGvColumn* Column, bool& IsCustom) {
    GV_FIRE(OnColumnImageDrawIsCustom, Column, IsCustom);
}
void TCustomGvListview::DoColumnImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    GV_FIRE(OnColumnImageGetSize, Column, ImageWidth, ImageHeight);
}
void TCustomGvListview::DoItemImageDraw(TGvItem* Item, TGvColumn* Column, gcl::TCanvas* ACanvas,
                                        const TGvRectArrayObject& RectArray, TGvAlphaBlender* AlphaBlender) {
    GV_FIRE(OnItemImageDraw, Item, Column, ACanvas, RectArray, AlphaBlender);
}
void TCustomGvListview::DoItemImageDrawIsCustom(TGvItem* Item, TGvColumn* Column, bool& IsCustom) {
    GV_FIRE(OnItemImageDrawIsCustom, Item, Column, IsCustom);
}
void TCustomGvListview::DoItemImageGetSize(TGvItem* Item, TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    GV_FIRE(OnItemImageGetSize, Item, Column, ImageWidth, ImageHeight);
}
void TCustomGvListview::DoItemThumbnailDraw(TGvItem* Item, gcl::TCanvas* ACanvas, const gcl::TRect& ARect,
                                            TGvAlphaBlender* AlphaBlender, bool& DoDefault) {
    GV_FIRE(OnItemThumbnailDraw, Item, ACanvas, ARect, AlphaBlender, DoDefault);
}
void TCustomGvListview::DoGroupCustomView(TGvGroup* Group, TGvListStyle ViewStyle, TGvViewGroupClass& View) {
    GV_FIRE(OnGroupCustomView, Group, ViewStyle, View);
}
void TCustomGvListview::DoItemCustomView(TGvItem* Item, TGvListStyle ViewStyle, TGvViewItemClass& View) {
    GV_FIRE(OnItemCustomView, Item, ViewStyle, View);
}
void TCustomGvListview::DoColumnCustomView(TGvColumn* Column, TGvViewColumnClass& View) {
    GV_FIRE(OnColumnCustomView, Column, View);
}
void TCustomGvListview::DoCustomGrid(TGvGroup* Group, TGvListStyle ViewStyle, TGvGridGroupClass& Grid) {
    GV_FIRE(OnCustomGrid, Group, ViewStyle, Grid);
}
void TCustomGvListview::DoViewChange() {
    if (OnViewChange) OnViewChange(this);
}
void TCustomGvListview::DoItemMouseDown(TGvItem* Item, TCommonMouseButton Button, bool& DoDefault) {
    GV_FIRE(OnItemMouseDown, Item, Button, DoDefault);
}
void TCustomGvListview::DoItemMouseUp(TGvItem* Item, TCommonMouseButton Button, bool& DoDefault) {
    GV_FIRE(OnItemMouseUp, Item, Button, DoDefault);
}
void TCustomGvListview::DoItemContextMenu(const TGvHitInfoItem& HitInfo, TPoint WindowPoint, gcl::TPopupMenu*& Menu,
                                          bool& Handled) {
    Menu = nullptr;
    GV_FIRE(OnItemContextMenu, HitInfo, WindowPoint, Menu, Handled);
}
void TCustomGvListview::DoGroupContextMenu(const TGvHitInfoGroup& HitInfo, TPoint WindowPoint,
                                           gcl::TPopupMenu*& Menu, bool& Handled) {
    GV_FIRE(OnGroupContextMenu, HitInfo, WindowPoint, Menu, Handled);
}
void TCustomGvListview::DoColumnContextMenu(const TGvHitInfoColumn& HitInfo, TPoint WindowPoint,
                                            gcl::TPopupMenu*& Menu) {
    GV_FIRE(OnColumnContextMenu, HitInfo, WindowPoint, Menu);
}
void TCustomGvListview::DoHeaderMouseDown(TCommonMouseButton MouseButton, gcl::TShiftState Shift, int X, int Y,
                                          TGvColumn* Column) {
    GV_FIRE(OnHeaderMouseDown, MouseButton, Shift, X, Y, Column);
}
void TCustomGvListview::DoHeaderMouseUp(TCommonMouseButton MouseButton, gcl::TShiftState Shift, int X, int Y,
                                        TGvColumn* Column) {
    GV_FIRE(OnHeaderMouseUp, MouseButton, Shift, X, Y, Column);
}
void TCustomGvListview::DoHeaderMouseMove(gcl::TShiftState Shift, int X, int Y) {
    GV_FIRE(OnHeaderMouseMove, Shift, X, Y);
}
void TCustomGvListview::DoHeaderDblClick(TCommonMouseButton MouseButton, TPoint MousePos,
                                         gcl::TShiftState ShiftState) {
    GV_FIRE(OnHeaderDblClick, MouseButton, MousePos, ShiftState);
}
void TCustomGvListview::DoColumnClick(TCommonMouseButton Button, TGvColumn* Column) {
    GV_FIRE(OnColumnClick, Button, Column);
}
void TCustomGvListview::DoColumnDblClick(TCommonMouseButton Button, TPoint MousePos, TGvColumn* Column) {
    GV_FIRE(OnColumnDblClick, Button, MousePos, Column);
}
void TCustomGvListview::DoColumnDropDownButtonClick(TGvColumn* Column, TCommonMouseButton Button,
                                                    gcl::TShiftState ShiftState, TPoint WindowPt, bool& DoDefault) {
    GV_FIRE(OnColumnDropDownButtonClick, Column, Button, ShiftState, WindowPt, DoDefault);
}
void TCustomGvListview::DoColumnSizeChanged(TGvColumn* Column) { GV_FIRE_GUARDED(OnColumnSizeChanged, Column); }
void TCustomGvListview::DoColumnSizeChanging(TGvColumn* Column, int Width, int NewWidth, bool& Allow) {
    GV_FIRE_GUARDED(OnColumnSizeChanging, Column, Width, NewWidth, Allow);
}
void TCustomGvListview::DoDblClick(TCommonMouseButton Button, TPoint MousePos, gcl::TShiftState ShiftState) {
    GV_FIRE(OnDblClick, Button, MousePos, ShiftState);
}
void TCustomGvListview::DoGroupClick(TGvGroup* Group, TCommonKeyStates KeyStates, TGvGroupHitTestInfoSet HitTest) {
    GV_FIRE(OnGroupClick, Group, KeyStates, HitTest);
}
void TCustomGvListview::DoGroupDblClick(TCommonMouseButton Button, TPoint MousePos, const TGvHitInfoGroup& HitInfo) {
    GV_FIRE(OnGroupDblClick, Button, MousePos, HitInfo);
}
void TCustomGvListview::DoItemClick(TGvItem* Item, TCommonKeyStates KeyStates, TGvItemHitTestInfoSet HitInfo) {
    GV_FIRE(OnItemClick, Item, KeyStates, HitInfo);
}
void TCustomGvListview::DoItemDblClick(TCommonMouseButton Button, TPoint MousePos, const TGvHitInfoItem& HitInfo) {
    GV_FIRE(OnItemDblClick, Button, MousePos, HitInfo);
}
void TCustomGvListview::DoKeyAction(uint16_t& CharCode, gcl::TShiftState& Shift, bool& DoDefault) {
    GV_FIRE(OnKeyAction, CharCode, Shift, DoDefault);
}
void TCustomGvListview::DoMouseGesture(const std::wstring& Gesture, bool& DoDefaultMouseAction) {
    if (!OnMouseGesture) return;
    // The handler gets its own copy of the path.
    const std::wstring gesture = Gesture;
    OnMouseGesture(this, gesture, DoDefaultMouseAction);
}
int TCustomGvListview::DoIncrementalSearch(TGvCollectionItem* Item, const std::wstring& SearchBuffer) {
    int compareResult = 0;
    bool handled = false;
    if (OnIncrementalSearch) OnIncrementalSearch(Item, SearchBuffer, handled, compareResult);
    if (!handled && Item)
        compareResult = WideStrIComp(Item->GetCaption().substr(0, SearchBuffer.size()), SearchBuffer);
    return compareResult;
}
void TCustomGvListview::DoClipboardCopy(bool& Handled) { GV_FIRE(OnClipboardCopy, Handled); }
void TCustomGvListview::DoClipboardCut(bool& MarkAsCut, bool& Handled) { GV_FIRE(OnClipboardCut, MarkAsCut, Handled); }
void TCustomGvListview::DoClipboardPaste(bool& Handled) { GV_FIRE(OnClipboardPaste, Handled); }
void TCustomGvListview::DoHintCustomDraw(TGvCollectionItem* TargetObj, const TGvHintInfo* Info) {
    GV_FIRE(OnHintCustomDraw, TargetObj, Info);
}
void TCustomGvListview::DoHintCustomInfo(TGvCollectionItem* TargetObj, TGvHintInfo* Info) {
    GV_FIRE(OnHintCustomInfo, TargetObj, Info);
}
void TCustomGvListview::DoHintPauseTime(bool HintWindowShown, int& PauseDelay) {
    GV_FIRE(OnHintPauseTime, HintWindowShown, PauseDelay);
}
void TCustomGvListview::DoHintPopup(TGvCollectionItem* TargetObj, TGvHintType HintType, TPoint MousePos,
                                    std::wstring& AText, int& HideTimeout, int& ReShowTimeout, bool& Allow) {
    GV_FIRE(OnHintPopup, TargetObj, HintType, MousePos, AText, HideTimeout, ReShowTimeout, Allow);
}
void TCustomGvListview::DoItemCreateEditor(TGvItem* Item, gcl::ComPtr<IGvCellEditor>& Editor) {
    GV_FIRE(OnItemCreateEditor, Item, Editor);
    if (!Editor) Editor = CreateDefaultEditor(FView);
}
void TCustomGvListview::DoItemEditEnd(TGvItem* Item) { GV_FIRE(OnItemEditEnd, Item); }
void TCustomGvListview::DoItemEdited(TGvItem* Item, gcl::TVariant& NewValue, bool& Accept) {
    GV_FIRE(OnItemEdited, Item, NewValue, Accept);
}
void TCustomGvListview::DoItemGetEditCaption(TGvItem* Item, TGvColumn* Column, std::wstring& Caption) {
    GV_FIRE(OnItemGetEditCaption, Item, Column, Caption);
}
void TCustomGvListview::DoItemGetEditMenu(TGvBaseEditor* Editor, gcl::TPopupMenu*& Menu) {
    GV_FIRE(OnItemGetEditMenu, Editor, Menu);
}
void TCustomGvListview::DoGetDragImage(gcl::TBitmap* Image, TPoint DragStartPt, TPoint& HotSpot,
                                       gcl::TColor& TransparentColor, bool& Handled) {
    GV_FIRE(OnGetDragImage, Image, DragStartPt, HotSpot, TransparentColor, Handled);
}

namespace {
// Holds a reference to a data object for the length of an event call.
class TDataObjectHold {
public:
    explicit TDataObjectHold(::IDataObject* Object) : FObject(Object) {
        if (FObject) FObject->AddRef();
    }
    ~TDataObjectHold() {
        if (FObject) FObject->Release();
    }
    TDataObjectHold(const TDataObjectHold&) = delete;
    TDataObjectHold& operator=(const TDataObjectHold&) = delete;

private:
    ::IDataObject* FObject;
};
} // namespace

void TCustomGvListview::DoOLEDragDrop(::IDataObject* DataObject, TCommonKeyStates KeyState, TPoint WindowPt,
                                      TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect,
                                      bool& Handled) {
    TDataObjectHold hold(DataObject);
    GV_FIRE(OnOLEDragDrop, DataObject, KeyState, WindowPt, AvailableEffects, DesiredDropEffect, Handled);
}
void TCustomGvListview::DoOLEDragEnd(::IDataObject* ADataObject, TCommonOLEDragResult DragResult,
                                     TCommonDropEffects ResultEffect, TCommonKeyStates KeyStates) {
    TDataObjectHold hold(ADataObject);
    GV_FIRE(OnOLEDragEnd, ADataObject, DragResult, ResultEffect, KeyStates);
}
void TCustomGvListview::DoOLEDragEnter(::IDataObject* DataObject, TCommonKeyStates KeyState, TPoint WindowPt,
                                       TCommonDropEffects AvailableEffects, TCommonDropEffect& DesiredDropEffect) {
    TDataObjectHold hold(DataObject);
    GV_FIRE(OnOLEDragEnter, DataObject, KeyState, WindowPt, AvailableEffects, DesiredDropEffect);
}
void TCustomGvListview::DoOLEDragLeave() {
    if (OnOLEDragLeave) OnOLEDragLeave(this);
}
void TCustomGvListview::DoOLEDragOver(TCommonKeyStates KeyState, TPoint WindowPt, TCommonDropEffects AvailableEffects,
                                      TCommonDropEffect& DesiredDropEffect) {
    GV_FIRE(OnOLEDragOver, KeyState, WindowPt, AvailableEffects, DesiredDropEffect);
}
void TCustomGvListview::DoOLEDragStart(::IDataObject* ADataObject, TCommonDropEffects& AvailableEffects,
                                       bool& AllowDrag) {
    TDataObjectHold hold(ADataObject);
    GV_FIRE(OnOLEDragStart, ADataObject, AvailableEffects, AllowDrag);
}
void TCustomGvListview::DoOLEGetCustomFormats(TFormatEtcArray& Formats) { GV_FIRE(OnOLEGetCustomFormats, Formats); }
void TCustomGvListview::DoOLEGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled) {
    std::memset(&Medium, 0, sizeof(Medium));
    Handled = false;
    GV_FIRE(OnOLEGetData, FormatEtcIn, Medium, Handled);
}
void TCustomGvListview::DoOLEGetDataObject(gcl::ComPtr<::IDataObject>& DataObject) {
    DataObject = nullptr;
    GV_FIRE(OnOLEGetDataObject, DataObject);
}
void TCustomGvListview::DoOLEGiveFeedback(TCommonDropEffects Effect, bool& UseDefaultCursors) {
    GV_FIRE(OnOLEGiveFeedback, Effect, UseDefaultCursors);
}
void TCustomGvListview::DoOLEQueryContineDrag(bool EscapeKeyPressed, TCommonKeyStates KeyStates,
                                              TGvQueryDragResult& QueryResult) {
    GV_FIRE(OnOLEQueryContineDrag, EscapeKeyPressed, KeyStates, QueryResult);
}
void TCustomGvListview::DoOLEQueryData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled) {
    GV_FIRE(OnOLEQueryData, FormatEtcIn, FormatAvailable, Handled);
}
void TCustomGvListview::DoThreadCallBack(TWMThreadRequest& Msg) { GV_FIRE(OnThreadCallBack, Msg); }

#undef GV_FIRE
#undef GV_FIRE_GUARDED

// ---- TGvListview -----------------------------------------------------------------------------

GCL_PUBLISHED(TGvListview,
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(AllowHiddenCheckedItems).Default(false),
    GCL_PROP(BackGround),
    GCL_PROP(BevelInner).Default(gcl::bvLowered),
    GCL_PROP(BevelKind).Default(gcl::bkNone),
    GCL_PROP(CacheDoubleBufferBits).Default(false),
    GCL_PROP_RO(CellSizes),
    GCL_PROP(Color).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(DisabledBlendAlpha).Default(128),
    GCL_PROP(DisabledBlendColor).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP_RO(DragManager),
    GCL_PROP_RO(EditManager),
    GCL_PROP(Font),
    GCL_PROP_RO(Gesture),
    GCL_PROP(GroupCollapseButton),
    GCL_PROP(GroupExpandButton),
    GCL_PROP(GroupFont),
    GCL_PROP_RO(Groups),
    GCL_PROP_RO(Header),
    GCL_PROP(HintAlignment),
    GCL_PROP(HintType).Default(ehtText),
    GCL_PROP_RO(HotTrack),
    GCL_PROP(ImagesExLarge),
    GCL_PROP(ImagesGroup),
    GCL_PROP(ImagesLarge),
    GCL_PROP(ImagesSmall),
    GCL_PROP(ImagesState),
    GCL_PROP_RO(IncrementalSearch),
    GCL_PROP(PaintInfoColumn),
    GCL_PROP(PaintInfoGroup),
    GCL_PROP(PaintInfoItem),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(PopupMenuHeader),
    GCL_PROP_RO(Scrollbars),
    GCL_PROP(Selection),
    GCL_PROP(ShowGroupMargins).Default(false),
    GCL_PROP(ShowInactive).Default(false),
    GCL_PROP(ShowThemedBorder).Default(true),
    GCL_PROP_RO(Sort),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(Themed).Default(true),
    GCL_PROP(View),
    GCL_PROP(Visible).Default(true),
    GCL_PROP(WheelMouseDefaultScroll).Default(edwsVert),
    GCL_PROP(WheelMouseScrollModifierEnabled).Default(true),
    GCL_PROP(OnAutoGroupGetKey),
    GCL_PROP(OnAutoSortGroupCreate),
    GCL_PROP(OnColumnCheckChanged),
    GCL_PROP(OnColumnCheckChanging),
    GCL_PROP(OnColumnEnableChanged),
    GCL_PROP(OnColumnEnableChanging),
    GCL_PROP(OnColumnFreeing),
    GCL_PROP(OnColumnGetCaption),
    GCL_PROP(OnColumnGetDetail),
    GCL_PROP(OnColumnGetDetailCount),
    GCL_PROP(OnColumnGetImageIndex),
    GCL_PROP(OnColumnGetImageList),
    GCL_PROP(OnColumnInitialize),
    GCL_PROP(OnColumnLoadFromStream),
    GCL_PROP(OnColumnSaveToStream),
    GCL_PROP(OnColumnSelectionChanged),
    GCL_PROP(OnColumnSelectionChanging),
    GCL_PROP(OnColumnSetCaption),
    GCL_PROP(OnColumnSetDetail),
    GCL_PROP(OnColumnSetImageIndex),
    GCL_PROP(OnColumnStructureChange),
    GCL_PROP(OnColumnVisibilityChanged),
    GCL_PROP(OnColumnVisibilityChanging),
    GCL_PROP(OnEndUpdate),
    GCL_PROP(OnGroupCollapse),
    GCL_PROP(OnGroupCollapsing),
    GCL_PROP(OnGroupCompare),
    GCL_PROP(OnGroupExpand),
    GCL_PROP(OnGroupExpanding),
    GCL_PROP(OnGroupFreeing),
    GCL_PROP(OnGroupGetCaption),
    GCL_PROP(OnGroupGetDetail),
    GCL_PROP(OnGroupGetDetailCount),
    GCL_PROP(OnGroupGetImageIndex),
    GCL_PROP(OnGroupGetImageList),
    GCL_PROP(OnGroupHotTrack),
    GCL_PROP(OnGroupInitialize),
    GCL_PROP(OnGroupLoadFromStream),
    GCL_PROP(OnGroupSaveToStream),
    GCL_PROP(OnGroupSetCaption),
    GCL_PROP(OnGroupSetDetail),
    GCL_PROP(OnGroupSetImageIndex),
    GCL_PROP(OnGroupStructureChange),
    GCL_PROP(OnGroupVisibilityChanged),
    GCL_PROP(OnGroupVisibilityChanging),
    GCL_PROP(OnItemCheckChange),
    GCL_PROP(OnItemCheckChanging),
    GCL_PROP(OnItemCompare),
    GCL_PROP(OnItemEditBegin),
    GCL_PROP(OnItemEnableChange),
    GCL_PROP(OnItemEnableChanging),
    GCL_PROP(OnItemFocusChanged),
    GCL_PROP(OnItemFocusChanging),
    GCL_PROP(OnItemFreeing),
    GCL_PROP(OnItemGetCaption),
    GCL_PROP(OnItemGetGroupKey),
    GCL_PROP(OnItemGetImageIndex),
    GCL_PROP(OnItemGetImageList),
    GCL_PROP(OnItemGetTileDetail),
    GCL_PROP(OnItemGetTileDetailCount),
    GCL_PROP(OnItemHotTrack),
    GCL_PROP(OnItemInitialize),
    GCL_PROP(OnItemLoadFromStream),
    GCL_PROP(OnItemSaveToStream),
    GCL_PROP(OnItemSelectionChanged),
    GCL_PROP(OnItemSelectionChanging),
    GCL_PROP(OnItemSelectionsChanged),
    GCL_PROP(OnItemSetCaption),
    GCL_PROP(OnItemSetGroupKey),
    GCL_PROP(OnItemSetImageIndex),
    GCL_PROP(OnItemSetTileDetail),
    GCL_PROP(OnItemStructureChange),
    GCL_PROP(OnItemVisibilityChanged),
    GCL_PROP(OnItemVisibilityChanging),
    GCL_PROP(OnScroll),
    GCL_PROP(OnPaintBkGnd),
    GCL_PROP(OnPaintHeaderBkGnd),
    GCL_PROP(OnAfterPaint),
    GCL_PROP(OnGroupPaintText),
    GCL_PROP(OnColumnPaintText),
    GCL_PROP(OnItemPaintText),
    GCL_PROP(OnGroupImageDraw),
    GCL_PROP(OnGroupImageDrawIsCustom),
    GCL_PROP(OnGroupImageGetSize),
    GCL_PROP(OnColumnImageDraw),
    GCL_PROP(OnColumnImageDrawIsCustom),
    GCL_PROP(OnColumnImageGetSize),
    GCL_PROP(OnItemImageDraw),
    GCL_PROP(OnItemImageDrawIsCustom),
    GCL_PROP(OnItemImageGetSize),
    GCL_PROP(OnItemThumbnailDraw),
    GCL_PROP(OnGroupCustomView),
    GCL_PROP(OnItemCustomView),
    GCL_PROP(OnColumnCustomView),
    GCL_PROP(OnCustomGrid),
    GCL_PROP(OnViewChange),
    GCL_PROP(OnItemMouseDown),
    GCL_PROP(OnItemMouseUp),
    GCL_PROP(OnItemContextMenu),
    GCL_PROP(OnGroupContextMenu),
    GCL_PROP(OnColumnContextMenu),
    GCL_PROP(OnHeaderMouseDown),
    GCL_PROP(OnHeaderMouseUp),
    GCL_PROP(OnHeaderMouseMove),
    GCL_PROP(OnHeaderDblClick),
    GCL_PROP(OnColumnClick),
    GCL_PROP(OnColumnDblClick),
    GCL_PROP(OnColumnDropDownButtonClick),
    GCL_PROP(OnColumnSizeChanged),
    GCL_PROP(OnColumnSizeChanging),
    GCL_PROP(OnDblClick),
    GCL_PROP(OnGroupClick),
    GCL_PROP(OnGroupDblClick),
    GCL_PROP(OnItemClick),
    GCL_PROP(OnItemDblClick),
    GCL_PROP(OnKeyAction),
    GCL_PROP(OnMouseGesture),
    GCL_PROP(OnIncrementalSearch),
    GCL_PROP(OnClipboardCopy),
    GCL_PROP(OnClipboardCut),
    GCL_PROP(OnClipboardPaste),
    GCL_PROP(OnHintCustomDraw),
    GCL_PROP(OnHintCustomInfo),
    GCL_PROP(OnHintPauseTime),
    GCL_PROP(OnHintPopup),
    GCL_PROP(OnItemCreateEditor),
    GCL_PROP(OnItemEditEnd),
    GCL_PROP(OnItemEdited),
    GCL_PROP(OnItemGetEditCaption),
    GCL_PROP(OnItemGetEditMenu),
    GCL_PROP(OnGetDragImage),
    GCL_PROP(OnOLEDragDrop),
    GCL_PROP(OnOLEDragEnd),
    GCL_PROP(OnOLEDragEnter),
    GCL_PROP(OnOLEDragLeave),
    GCL_PROP(OnOLEDragOver),
    GCL_PROP(OnOLEDragStart),
    GCL_PROP(OnOLEGetCustomFormats),
    GCL_PROP(OnOLEGetData),
    GCL_PROP(OnOLEGetDataObject),
    GCL_PROP(OnOLEGiveFeedback),
    GCL_PROP(OnOLEQueryContineDrag),
    GCL_PROP(OnOLEQueryData),
    GCL_PROP(OnThreadCallBack))

} // namespace qelvo
