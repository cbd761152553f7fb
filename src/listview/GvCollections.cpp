// The collection base and entry base, the items and columns collections, the
// flat item view, the default bitmap store, selection groups and the item kinds.
#include "listview/GvInternal.h"

#include <exception>

namespace qelvo {

using namespace gvdetail;

GCL_IMPLEMENT_CLASS(TGvDynamicDataHelper)
GCL_IMPLEMENT_CLASS(TGvItemDynamicDataHelper)

std::wstring TGvDynamicDataHelper::GetCaption(int Index) const { return CaptionRef(Index); }
namespace {
// What CaptionRef answers past the end (no guarded local static: sorting
// asks for every item's caption).
const TGvCaption NoCaption;
} // namespace

const TGvCaption& TGvDynamicDataHelper::CaptionRef(int Index) const {
    return Index >= 0 && Index < static_cast<int>(Captions.size()) ? Captions[static_cast<size_t>(Index)] : NoCaption;
}
bool TGvDynamicDataHelper::SetCaption(int Index, const std::wstring& Value) {
    if (Index < 0) return false;
    if (Index >= static_cast<int>(Captions.size())) Captions.resize(static_cast<size_t>(Index) + 1);
    TGvCaption& stored = Captions[static_cast<size_t>(Index)];
    if (stored == Value) return false;
    stored = Value;
    return true;
}
int32_t TGvDynamicDataHelper::GetDetail(int Index) const { return ValueAt(Details, Index, 0); }
bool TGvDynamicDataHelper::SetDetail(int Index, int32_t Value) { return StoreAt(Details, Index, Value, 0); }
uint32_t TGvDynamicDataHelper::GetGroupKey(int Index) const { return ValueAt(GroupKeys, Index, GvNoGroupKey); }
bool TGvDynamicDataHelper::SetGroupKey(int Index, uint32_t Value) { return StoreAt(GroupKeys, Index, Value, GvNoGroupKey); }
int32_t TGvDynamicDataHelper::GetImageIndex(int Index) const { return ValueAt(ImageIndexes, Index, -1); }
bool TGvDynamicDataHelper::SetImageIndex(int Index, int32_t Value) { return StoreAt(ImageIndexes, Index, Value, -1); }
int32_t TGvDynamicDataHelper::GetOverlayIndex(int Index) const { return ValueAt(OverlayIndexes, Index, -1); }
bool TGvDynamicDataHelper::SetOverlayIndex(int Index, int32_t Value) { return StoreAt(OverlayIndexes, Index, Value, -1); }

void TGvDynamicDataHelper::LoadFromStream(TStream& S, int) {
    const int32_t count = ReadCount(S, 4);
    Captions.clear();
    Captions.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) Captions.push_back(ReadWide(S));
    ReadArray(S, Details);
    ReadArray(S, ImageIndexes);
    ReadArray(S, OverlayIndexes);
}

void TGvDynamicDataHelper::SaveToStream(TStream& S, int) {
    WriteInt32(S, static_cast<int32_t>(Captions.size()));
    for (const TGvCaption& caption : Captions) WriteWide(S, caption.View());
    WriteArray(S, Details);
    WriteArray(S, ImageIndexes);
    WriteArray(S, OverlayIndexes);
}

int32_t TGvItemDynamicDataHelper::GetStateImageIndex(int Index) const { return ValueAt(StateImageIndexes, Index, -1); }
bool TGvItemDynamicDataHelper::SetStateImageIndex(int Index, int32_t Value) {
    return StoreAt(StateImageIndexes, Index, Value, -1);
}

void TGvItemDynamicDataHelper::LoadFromStream(TStream& S, int Version) {
    inherited::LoadFromStream(S, Version);
    if (Version > 2) {
        ReadArray(S, GroupKeys);
        ReadArray(S, StateImageIndexes);
    } else {
        GroupKeys.clear();
        StateImageIndexes.clear();
    }
}

void TGvItemDynamicDataHelper::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    WriteArray(S, GroupKeys);
    WriteArray(S, StateImageIndexes);
}

// ---- TGvCollectionItem -------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvCollectionItem)

TGvCollectionItem::TGvCollectionItem(TGvCollection* ACollection) : FCollection(ACollection) {
    FState.Include(esosVisible);
    FState.Include(esosEnabled);
    FNotifierSink.Owner = this;
}

TGvCollectionItem::~TGvCollectionItem() {
    if (FPaintInfo & OwnsPaintInfoBit) gcl::Free(GetPaintInfo());
}

gcl::HRESULT GCL_STDCALL TGvCollectionItem::TNotifierSink::QueryInterface(const gcl::TGUID&, void** out) {
    if (out) *out = nullptr;
    return gcl::hr::NoInterface;
}

void GCL_STDCALL TGvCollectionItem::TNotifierSink::Invalidate(bool ImmediateUpdate) {
    try {
        Owner->Invalidate(ImmediateUpdate);
    } catch (...) {
    }
}

TCustomGvListview* TGvCollectionItem::OwnerListview() const noexcept {
    return FCollection ? FCollection->GetOwnerListview() : nullptr;
}

gcl::TPersistent* TGvCollectionItem::GetOwner() const { return FCollection; }

void TGvCollectionItem::SetData(void* Value) { FData = Value; }

void TGvCollectionItem::SetDataInf(gcl::IUnknown* Value) {
    if (Value == FDataInf.Get()) return;
    gcl::ComPtr<IGvItemNotification> notify;
    if (FDataInf && gcl::Supports(FDataInf.Get(), notify)) notify->UnRegister(&FNotifierSink);
    FDataInf = gcl::ComPtr<gcl::IUnknown>(Value);
    notify.Reset();
    if (FDataInf && gcl::Supports(FDataInf.Get(), notify)) notify->Register(&FNotifierSink);
}

int TGvCollectionItem::GetIndex() const {
    if (!FCollection) return -1;
    const auto& list = FCollection->FList;
    // Before the first empty place the positions are the indexes.
    if (FCollection->FHoles > 0 &&
        !(FIndex >= 0 && FIndex < FCollection->FFirstHole && list[static_cast<size_t>(FIndex)] == this))
        FCollection->Settle();
    if (FIndex >= 0 && FIndex < static_cast<int>(list.size()) && list[static_cast<size_t>(FIndex)] == this)
        return FIndex;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TGvCollectionItem::SetPaintInfo(TGvPaintInfoBasic* Value, bool Owns) {
    static_assert(alignof(TGvPaintInfoBasic) > OwnsPaintInfoBit, "the flag lies in a bit every address leaves 0");
    TGvPaintInfoBasic* old = GetPaintInfo();
    if (Value != old && (FPaintInfo & OwnsPaintInfoBit)) gcl::Free(old);
    FPaintInfo = reinterpret_cast<std::uintptr_t>(Value) | (Owns && Value ? OwnsPaintInfoBit : 0);
}

TGvPaintInfoBasic* TGvCollectionItem::PaintInfo() const {
    TGvPaintInfoBasic* own = GetPaintInfo();
    return own ? own : DefaultPaintInfo();
}

// The common pattern of the state setters: nothing for an unchanged value;
// while destroying only clearing is possible and asks no query.
#define GV_STATE_SETTER(Name, Bit, Query, Gain, Lose)                    \
    void TGvCollectionItem::Set##Name(bool Value) {                      \
        if (Value == FState.Contains(Bit)) return;                       \
        if (IsDestroying()) {                                            \
            if (!Value) {                                                \
                SetStateBit(Bit, false);                                 \
                Lose();                                                  \
            }                                                            \
            return;                                                      \
        }                                                                \
        if (!Query()) return;                                            \
        SetStateBit(Bit, Value);                                         \
        if (Value)                                                       \
            Gain();                                                      \
        else                                                             \
            Lose();                                                      \
    }

GV_STATE_SETTER(Bold, esosBold, CanChangeBold, BoldGain, BoldLose)
GV_STATE_SETTER(Checked, esosChecked, CanChangeCheck, CheckGain, CheckLose)
#undef GV_STATE_SETTER

void TGvCollectionItem::SetEnabled(bool Value) {
    if (Value == GetEnabled()) return;
    if (IsDestroying()) {
        if (!Value) {
            SetFocused(false);
            SetSelected(false);
            SetStateBit(esosEnabled, false);
            EnableLose();
        }
        return;
    }
    if (!CanChangeEnable()) return;
    if (Value) {
        SetStateBit(esosEnabled, true);
        EnableGain();
    } else {
        SetFocused(false);
        SetSelected(false);
        SetStateBit(esosEnabled, false);
        EnableLose();
    }
}

void TGvCollectionItem::SetFocused(bool Value) {
    if (Value == GetFocused()) return;
    if (IsDestroying()) {
        if (!Value) {
            SetStateBit(esosFocused, false);
            FocusLose();
        }
        return;
    }
    if (Value && !(GetVisible() && GetEnabled())) return;
    if (!CanChangeFocus()) return;
    SetStateBit(esosFocused, Value);
    if (Value && FCollection) FCollection->FSelectionSeen = true;
    if (Value)
        FocusGain();
    else
        FocusLose();
}

void TGvCollectionItem::SetSelected(bool Value) {
    if (Value == GetSelected()) return;
    if (IsDestroying()) {
        if (!Value) {
            SetStateBit(esosSelected, false);
            SelectionLose();
        }
        return;
    }
    if (Value && !(GetVisible() && GetEnabled())) return;
    if (!CanChangeSelection()) return;
    SetStateBit(esosSelected, Value);
    if (Value && FCollection) FCollection->FSelectionSeen = true;
    if (Value)
        SelectionGain();
    else
        SelectionLose();
}

void TGvCollectionItem::SetVisible(bool Value) {
    if (Value == GetVisible()) return;
    TCustomGvListview* lv = OwnerListview();
    auto hide = [&] {
        SetFocused(false);
        SetSelected(false);
        if (!(lv && lv->GetAllowHiddenCheckedItems())) SetChecked(false);
        SetStateBit(esosVisible, false);
        VisibilityLose();
    };
    if (IsDestroying()) {
        if (!Value) hide();
        return;
    }
    if (!CanChangeVisibility()) return;
    if (Value) {
        SetStateBit(esosVisible, true);
        VisibilityGain();
    } else {
        hide();
    }
}

void TGvCollectionItem::SetHotTracking(bool Value, TPoint MousePos) {
    if (Value == GetHotTracking()) return;
    if (IsDestroying()) {
        if (!Value) {
            SetStateBit(esosHotTracking, false);
            HotTrackLose();
        }
        return;
    }
    if (!CanChangeHotTracking()) return;
    SetStateBit(esosHotTracking, Value);
    if (Value)
        HotTrackGain(MousePos);
    else
        HotTrackLose();
}

void TGvCollectionItem::SetGhosted(bool Value) {
    if (Value == GetGhosted() || (Value && IsDestroying())) return;
    SetStateBit(esosGhosted, Value);
    if (Value)
        GhostedGain();
    else
        GhostedLose();
}

void TGvCollectionItem::SetDropTarget(bool Value) {
    if (Value == GetDropTarget() || (Value && IsDestroying())) return;
    if (!Value && IsDestroying()) {
        SetFocused(false);
        SetSelected(false);
    }
    SetStateBit(esosDropTarget, Value);
    if (Value)
        DropTargetGain();
    else
        DropTargetLose();
}

void TGvCollectionItem::SetInitialized(bool Value) {
    if (Value == GetInitialized() || (Value && IsDestroying())) return;
    SetStateBit(esosInitialized, Value);
    if (Value) Initialize();
}

#define GV_PAINT_STATE_SETTER(Name, Bit)                        \
    void TGvCollectionItem::Set##Name(bool Value) {             \
        if (Value == FState.Contains(Bit)) return;              \
        SetStateBit(Bit, Value);                                \
        Invalidate(false);                                      \
    }
GV_PAINT_STATE_SETTER(Cut, esosCut)
GV_PAINT_STATE_SETTER(CheckPending, esosCheckPending)
GV_PAINT_STATE_SETTER(CheckHot, esosCheckHot)
GV_PAINT_STATE_SETTER(Clicking, esosClicking)
GV_PAINT_STATE_SETTER(Marked, esosMarked)
#undef GV_PAINT_STATE_SETTER

std::wstring TGvCollectionItem::GetCaptions(int) const { return std::wstring(); }
void TGvCollectionItem::SetCaptions(int, const std::wstring&) {}
int TGvCollectionItem::GetImageIndexes(int) const { return -1; }
void TGvCollectionItem::SetImageIndexes(int, int) {}
int TGvCollectionItem::GetImageOverlayIndexes(int) const { return -1; }
void TGvCollectionItem::SetImageOverlayIndexes(int, int) {}
int TGvCollectionItem::GetDetailCount() const { return 0; }
void TGvCollectionItem::SetDetailCount(int) {}
int TGvCollectionItem::GetDetails(int) const { return 0; }
void TGvCollectionItem::SetDetails(int, int) {}
gcl::TCustomImageList* TGvCollectionItem::GetImageList(int) const { return DefaultImageList(0); }

gcl::TCustomImageList* TGvCollectionItem::DefaultImageList(int ImageSize) const {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return nullptr;
    switch (ImageSize) {
    case 0:
        return lv->GetImagesSmall();
    case 1:
        return lv->GetImagesLarge();
    case 2:
        return lv->GetImagesExLarge();
    default:
        return nullptr;
    }
}

bool TGvCollectionItem::ImageDrawIsCustom(TGvColumn* Column) {
    TCustomGvListview* lv = OwnerListview();
    bool custom = false;
    if (!lv) return false;
    if (auto* item = dynamic_cast<TGvItem*>(this))
        lv->DoItemImageDrawIsCustom(item, Column, custom);
    else if (auto* group = dynamic_cast<TGvGroup*>(this))
        lv->DoGroupImageDrawIsCustom(group, custom);
    else if (auto* column = dynamic_cast<TGvColumn*>(this))
        lv->DoColumnImageDrawIsCustom(column, custom);
    return custom;
}

void TGvCollectionItem::ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (auto* item = dynamic_cast<TGvItem*>(this))
        lv->DoItemImageGetSize(item, Column, ImageWidth, ImageHeight);
    else if (auto* group = dynamic_cast<TGvGroup*>(this))
        lv->DoGroupImageGetSize(group, ImageWidth, ImageHeight);
    else if (auto* column = dynamic_cast<TGvColumn*>(this))
        lv->DoColumnImageGetSize(column, ImageWidth, ImageHeight);
}

void TGvCollectionItem::ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                  TGvAlphaBlender* AlphaBlender) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (auto* item = dynamic_cast<TGvItem*>(this))
        lv->DoItemImageDraw(item, Column, ACanvas, RectArray, AlphaBlender);
    else if (auto* group = dynamic_cast<TGvGroup*>(this))
        lv->DoGroupImageDraw(group, ACanvas, RectArray, AlphaBlender);
    else if (auto* column = dynamic_cast<TGvColumn*>(this))
        lv->DoColumnImageDraw(column, ACanvas, RectArray, AlphaBlender);
}

std::string TGvCollectionItem::GetDisplayName() const {
    const std::wstring caption = GetCaption();
    return caption.empty() ? ClassName() : gcl::WideToAnsi(caption);
}

void TGvCollectionItem::Invalidate(bool ImmediateUpdate) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || lv->GetUpdateCount() > 0 || !lv->HandleAllocated() || !lv->GetScrollbars()) return;
    const TRect window = lv->GetScrollbars()->MapViewRectToWindowRect(FDisplayRect);
    TRect r;
    if (gcl::IntersectRect(r, window, ClientRectOf(lv))) lv->SafeInvalidateRect(&r, ImmediateUpdate);
}

void TGvCollectionItem::LoadFromStream(TStream& S, int& Version) {
    uint8_t bytes[4] = {};
    const int32_t got = S.Read(bytes, 4);
    const uint32_t magic = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                           uint32_t(bytes[3]) << 24;
    if (got == 4 && magic == GvStreamMagic) {
        Version = ReadInt32(S);
    } else {
        // Records of that age have neither magic nor version.
        S.Seek(-got, gcl::soCurrent);
        Version = 2;
    }
    const uint16_t state = ReadUInt16(S);
    SetSelected((state & 0x0400) != 0);
    SetEnabled((state & 0x0080) != 0);
    SetVisible((state & 0x0800) != 0);
    SetChecked((state & 0x0001) != 0);
    SetBold((state & 0x2000) != 0);
}

void TGvCollectionItem::SaveToStream(TStream& S, int Version) {
    WriteUInt32(S, GvStreamMagic);
    WriteInt32(S, Version);
    WriteUInt16(S, static_cast<uint16_t>(FState.Mask() & GvStreamStateMask));
}

void TGvCollectionItem::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    try {
        SetDataInf(nullptr);
    } catch (...) {
    }
    if (TCustomGvListview* lv = OwnerListview()) {
        if (lv->GetHotTrack()) lv->GetHotTrack()->Forget(this);
        if (lv->GetCheckManager() && lv->GetCheckManager()->GetPendingObject() == this)
            lv->GetCheckManager()->SetPendingObject(nullptr);
        if (lv->GetEditManager()) lv->GetEditManager()->Forget(this);
        lv->ForgetInputReferences(this);
    }
    try {
        Freeing();
    } catch (...) {
    }
    // An entry freed on its own leaves its collection, which is told of
    // the removal (a collection that clears itself needs neither).
    if (FCollection && !FCollection->FClearing) {
        TGvCollection* collection = FCollection;
        collection->Vacate(this);
        try {
            collection->ReIndexItems(false);
            collection->DoStructureChange();
        } catch (...) {
        }
    }
    inherited::BeforeDestruction();
}

// ---- TGvCollection ------------------------------------------------------------------------

GCL_PUBLISHED(TGvCollection,
    GCL_PROP(Tag).Default(0))

TGvCollection::TGvCollection(TCustomGvListview* AOwner, TGvCollectionItemClass BaseClass)
    : TGvOwnedPersistent(AOwner), FItemClass(TGvCollectionItem::StaticClass()), FBaseClass(BaseClass) {}

TGvCollection::~TGvCollection() = default;

void TGvCollection::BeforeDestruction() noexcept {
    try {
        Clear(true);
    } catch (...) {
    }
    // Whatever is left (an error above) is freed without notifications.
    Settle();
    FClearing = true;
    for (auto it = FList.rbegin(); it != FList.rend(); ++it) gcl::Free(*it);
    FList.clear();
    FVisibleList.clear();
    inherited::BeforeDestruction();
}

TGvCollectionItem* TGvCollection::VisibleItems(int Index) const {
    return Index >= 0 && Index < VisibleCount() ? FVisibleList[static_cast<size_t>(Index)] : nullptr;
}

TGvCollectionItem* TGvCollection::Add(void* Data) {
    if (!FItemClass || !FItemClass->CanCreate() || !FItemClass->InheritsFrom(FBaseClass)) return nullptr;
    TGvCollectionItem* item = FItemClass->Create(this);
    if (!item) return nullptr;
    AppendEntry(item);
    item->SetData(Data);
    DoStructureChange();
    return item;
}

void TGvCollection::Clear(bool FreeItems) {
    Settle();
    if (FList.empty()) return;
    TCustomGvListview* lv = GetOwnerListview();
    {
        TListviewUpdate update(lv);
        ClearEntries(FreeItems);
        if (lv && lv->HandleAllocated() && lv->GetScrollbars()) {
            lv->GetScrollbars()->SetOffsetX(0);
            lv->GetScrollbars()->SetOffsetY(0);
        }
    }
    if (lv && !lv->IsDestroying()) DoStructureChange();
}

void TGvCollection::ClearEntries(bool FreeItems) {
    Settle();
    FClearing = true;
    try {
        if (FreeItems && !FSelectionSeen) {
            // No entry has a focus or selection to lose: marking them
            // destroying fires nothing, so they are all marked at once
            // and the free is the one walk over them.
            FEntriesDestroying = true;
            FreeEntries();
        } else {
            for (TGvCollectionItem* item : FList) {
                item->SetStateBit(esosDestroying, true);
                if (item->GetFocused()) item->SetFocused(false);
                if (item->GetSelected()) item->SetSelected(false);
            }
            if (FreeItems) FreeEntries();
        }
    } catch (...) {
        FList.clear();
        FVisibleList.clear();
        FClearing = false;
        FEntriesDestroying = false;
        FSelectionSeen = false;
        throw;
    }
    FList.clear();
    FVisibleList.clear();
    FNumbered = true;
    FClearing = false;
    FEntriesDestroying = false;
    FSelectionSeen = false;
}

void TGvCollection::AppendEntry(TGvCollectionItem* Item) {
    FList.push_back(Item);
    if (Item->FState.Contains(esosSelected) || Item->FState.Contains(esosFocused)) FSelectionSeen = true;
    // Only the new entry needs a number (its place), so a bulk fill stays
    // linear.
    Item->FIndex = static_cast<int>(FList.size()) - 1;
    DoItemAdd(Item, GetCount() - 1);
}

void TGvCollection::FreeEntries() {
    Settle();
    for (auto it = FList.rbegin(); it != FList.rend(); ++it) gcl::Free(*it);
}

void TGvCollection::Exchange(int Index1, int Index2) {
    Settle();
    std::swap(FList.at(static_cast<size_t>(Index1)), FList.at(static_cast<size_t>(Index2)));
    FNumbered = false;
    ReIndexItems(false);
    gcl::TFlagScope exchanging(FExchanging);
    DoStructureChange();
}

void TGvCollection::Extract(TGvCollectionItem* Item) {
    // An entry taken out while the clear destroys them all stays destroying.
    if (FEntriesDestroying) Item->SetStateBit(esosDestroying, true);
    Settle();
    auto it = std::find(FList.begin(), FList.end(), Item);
    if (it != FList.end()) {
        FNumbered = FNumbered && it + 1 == FList.end();
        FList.erase(it);
    }
    auto vit = std::find(FVisibleList.begin(), FVisibleList.end(), Item);
    if (vit != FVisibleList.end()) FVisibleList.erase(vit);
}

void TGvCollection::Vacate(TGvCollectionItem* Item) {
    // The entry's number finds its place (numbered once when a change
    // since the last numbering moved entries).
    if (!FNumbered) ReIndexItems(true);
    const int at = Item->FIndex;
    if (at < 0 || at >= static_cast<int>(FList.size()) || FList[static_cast<size_t>(at)] != Item)
        return Extract(Item);
    if (FEntriesDestroying) Item->SetStateBit(esosDestroying, true);
    FList[static_cast<size_t>(at)] = nullptr;
    ++FHoles;
    FFirstHole = std::min(FFirstHole, at);
    if (FVisibleList.empty()) return;
    auto vit = std::find(FVisibleList.begin(), FVisibleList.end(), Item);
    if (vit != FVisibleList.end()) FVisibleList.erase(vit);
}

void TGvCollection::CloseUp() const noexcept {
    // The entries after the first empty place move up over the empty
    // ones, keeping their order (and their numbers their places).
    size_t at = static_cast<size_t>(FFirstHole);
    const size_t count = FList.size();
    for (size_t i = at; i < count; ++i) {
        TGvCollectionItem* entry = FList[i];
        if (!entry) continue;
        if (FNumbered) {
            if (i + 16 < count && FList[i + 16]) __builtin_prefetch(FList[i + 16], 1);
            entry->FIndex = static_cast<int>(at);
        }
        FList[at++] = entry;
    }
    FList.resize(at);
    FHoles = 0;
    FFirstHole = NoHole;
}

void TGvCollection::RetainEntries(const std::vector<std::uint8_t>& Keep) {
    Settle();
    // Each entry that goes is destroying before it loses its focus and
    // selection, as in a clear; an error of their events still takes every
    // one of them out and frees it, and is passed on after.
    std::exception_ptr error;
    for (size_t i = 0; i < FList.size(); ++i) {
        if (Keep[i]) continue;
        TGvCollectionItem* item = FList[i];
        item->SetStateBit(esosDestroying, true);
        try {
            if (item->GetFocused()) item->SetFocused(false);
            if (item->GetSelected()) item->SetSelected(false);
        } catch (...) {
            if (!error) error = std::current_exception();
        }
    }
    TGvEntryList gone;
    size_t at = 0;
    for (size_t i = 0; i < FList.size(); ++i) {
        if (Keep[i])
            FList[at++] = FList[i];
        else
            gone.push_back(FList[i]);
    }
    FList.resize(at);
    FVisibleList.erase(std::remove_if(FVisibleList.begin(), FVisibleList.end(),
                                      [](const TGvCollectionItem* e) { return e->HasState(esosDestroying); }),
                       FVisibleList.end());
    FNumbered = false;
    {
        gcl::TFlagScope clearing(FClearing);
        FreeOutside(gone);
    }
    if (error) std::rethrow_exception(error);
}

void TGvCollection::FreeOutside(TGvEntryList& Gone) {
    for (auto it = Gone.rbegin(); it != Gone.rend(); ++it) gcl::Free(*it);
}

void TGvCollection::MoveItem(TGvCollectionItem* Item, int Index) {
    if (!Item) return;
    if (!Item->InheritsFrom(FBaseClass)) throw gcl::EInvalidCast(gcl::msg::InvalidCast);
    TGvCollection* from = Item->FCollection;
    if (from) {
        from->Extract(Item);
        from->ReIndexItems(false);
    }
    Settle();
    Index = std::clamp(Index, 0, GetCount());
    FList.insert(FList.begin() + Index, Item);
    FNumbered = false;
    Item->FCollection = this;
    if (Item->FState.Contains(esosSelected) || Item->FState.Contains(esosFocused)) FSelectionSeen = true;
    ReIndexItems(false);
    if (from && from != this) from->DoStructureChange();
    DoStructureChange();
}

void TGvCollection::ReIndexItems(bool Force) {
    TCustomGvListview* lv = GetOwnerListview();
    TGvGroups* groups = lv ? lv->GetGroups() : nullptr;
    if (!Force && groups && groups->FReIndexCount > 0) return;
    if (FNumbered && !Force) return;
    Settle();
    // The entries lie scattered over the heap: fetch ahead.
    const size_t count = FList.size();
    for (size_t i = 0; i < count; ++i) {
        if (i + 16 < count) __builtin_prefetch(FList[i + 16], 1);
        FList[i]->FIndex = static_cast<int>(i);
    }
    FNumbered = true;
}

TGvCollectionItem* TGvCollection::FirstVisible() const { return FVisibleList.empty() ? nullptr : FVisibleList.front(); }
TGvCollectionItem* TGvCollection::LastVisible() const { return FVisibleList.empty() ? nullptr : FVisibleList.back(); }

TGvCollectionItem* TGvCollection::NextVisible(TGvCollectionItem* Item) const {
    if (!Item) return nullptr;
    Settle();
    for (int i = Item->GetIndex() + 1; i < GetCount(); ++i)
        if (FList[static_cast<size_t>(i)]->GetVisible()) return FList[static_cast<size_t>(i)];
    return nullptr;
}

TGvCollectionItem* TGvCollection::PrevVisible(TGvCollectionItem* Item) const {
    if (!Item) return nullptr;
    Settle();
    for (int i = Item->GetIndex() - 1; i >= 0; --i)
        if (FList[static_cast<size_t>(i)]->GetVisible()) return FList[static_cast<size_t>(i)];
    return nullptr;
}

void TGvCollection::MakeAllVisible() {
    Settle();
    for (size_t i = 0; i < FList.size(); ++i) FList[i]->SetVisible(true);
}

void TGvCollection::BeginUpdate() {
    if (TCustomGvListview* lv = GetOwnerListview()) lv->BeginUpdate();
}

void TGvCollection::EndUpdate(bool Invalidate) {
    if (TCustomGvListview* lv = GetOwnerListview()) lv->EndUpdate(Invalidate);
}

void TGvCollection::WriteItems(TStream& S) {
    WriteInt32(S, GvStreamVersion);
    WriteInt32(S, GetCount());
    Settle();
    for (TGvCollectionItem* item : FList) {
        Helper().WriteString(S, item->ClassName());
        item->SaveToStream(S, GvStreamVersion);
    }
}

void TGvCollection::ReadItems(TStream& S) {
    Clear(true);
    const int32_t version = ReadInt32(S);
    // Every entry takes at least its state word (and from version 5 on a
    // class-name length).
    const int32_t count = ReadCount(S, version >= GvStreamVersion ? 4 : 2);
    for (int32_t i = 0; i < count; ++i) {
        if (version >= GvStreamVersion) {
            std::string name;
            Helper().ReadString(S, name);
            gcl::TClass cls = gcl::GetClass(name);
            if (!cls || !cls->InheritsFrom(FBaseClass)) throw gcl::EReadError(msg::GvUnregisteredClass);
            auto* itemClass = static_cast<TGvCollectionItemClass>(cls);
            if (!itemClass->CanCreate()) throw gcl::EReadError(msg::GvUnregisteredClass);
            FItemClass = itemClass;
        }
        TGvCollectionItem* item = Add(nullptr);
        if (!item) throw gcl::EReadError(msg::GvUnregisteredClass);
        int itemVersion = version;
        item->LoadFromStream(S, itemVersion);
    }
}

void TGvCollection::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    Filer.DefineBinaryProperty("Items", gcl::TStreamProc(this, &TGvCollection::ReadItems),
                               gcl::TStreamProc(this, &TGvCollection::WriteItems), GetCount() > 0 && !FHideFromForm);
}

// ---- TGvItems ----------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvItems)

TGvItems::TGvItems(TCustomGvListview* AOwner, TGvGroup* AOwnerGroup)
    : TGvCollection(AOwner, TGvItem::StaticClass()), FOwnerGroup(AOwnerGroup) {
    TGvCollectionItemClass kind = AOwner ? AOwner->GetItemClass() : nullptr;
    SetItemClass(kind && kind->InheritsFrom(TGvItem::StaticClass()) ? kind : TGvItemStored::StaticClass());
}

TGvItem* TGvItems::GetItems(int Index) const { return static_cast<TGvItem*>(TGvCollection::GetItems(Index)); }

void TGvItems::SetItems(int Index, TGvItem* Value) { TGvCollection::SetItems(Index, Value); }

TGvItem* TGvItems::Add(void* Data) { return static_cast<TGvItem*>(TGvCollection::Add(Data)); }

void TGvItems::Clear(bool FreeItems) {
    TCustomGvListview* lv = GetOwnerListview();
    TGvSelectionManager* selection = lv ? lv->GetSelection() : nullptr;
    if (!selection) return inherited::Clear(FreeItems);
    selection->GroupSelectionBeginUpdate();
    selection->BeginUpdate();
    try {
        inherited::Clear(FreeItems);
    } catch (...) {
        selection->GroupSelectionEndUpdate();
        selection->EndUpdate();
        throw;
    }
    selection->GroupSelectionEndUpdate();
    selection->EndUpdate();
}

void TGvItems::Retain(const std::vector<std::uint8_t>& Keep) {
    if (Keep.size() != static_cast<size_t>(GetCount()))
        throw gcl::EListError(gcl::Format(gcl::msg::ListIndexError, {static_cast<int>(Keep.size())}));
    if (std::find(Keep.begin(), Keep.end(), 0) == Keep.end()) return;
    TCustomGvListview* lv = GetOwnerListview();
    TGvSelectionManager* selection = lv ? lv->GetSelection() : nullptr;
    if (selection) {
        selection->GroupSelectionBeginUpdate();
        selection->BeginUpdate();
    }
    try {
        TListviewUpdate update(lv);
        RetainEntries(Keep);
    } catch (...) {
        if (selection) {
            selection->GroupSelectionEndUpdate();
            selection->EndUpdate();
        }
        throw;
    }
    if (selection) {
        selection->GroupSelectionEndUpdate();
        selection->EndUpdate();
    }
    if (lv && !lv->IsDestroying()) DoStructureChange();
}

void TGvItems::AddMany(int Count, TDataAt DataAt, const void* Source, TItemMade Made) {
    TGvCollectionItemClass kind = GetItemClass();
    if (Count <= 0 || !kind || !kind->CanCreate() || !kind->InheritsFrom(TGvItem::StaticClass())) return;
    Reserve(GetCount() + Count);
    // Items of the built-in kinds take their slots from the pool a batch
    // at a time, listed on the stack: a list of every slot of a large fill
    // would be a block of its own, fresh memory on each refill.
    const bool isVirtual = kind == TGvItemVirtual::StaticClass();
    const bool isStored = kind == TGvItemStored::StaticClass();
    gcl::TSlotPool* pool = isVirtual || isStored
                               ? &TGvItem::SlotsOf(isVirtual ? sizeof(TGvItemVirtual) : sizeof(TGvItemStored))
                               : nullptr;
    constexpr int BatchSlots = 64;
    void* batch[BatchSlots];
    int taken = 0;  // slots of the batch taken from the pool
    int used = 0;   // of which used
    int made = 0;
    try {
        while (made < Count) {
            TGvCollectionItem* item;
            if (!pool) {
                item = kind->Create(this);
            } else {
                if (used == taken) {
                    taken = std::min(BatchSlots, Count - made);
                    used = 0;
                    pool->TakeMany(batch, static_cast<size_t>(taken));
                }
                // Built in place: the slot goes back to the pool with the
                // item's own delete when it is freed.
                void* slot = batch[used];
                TGvItem* built = isVirtual ? static_cast<TGvItem*>(::new (slot) TGvItemVirtual(this))
                                           : static_cast<TGvItem*>(::new (slot) TGvItemStored(this));
                ++used;
                item = built;
                try {
                    item->AfterConstruction();
                } catch (...) {
                    item->Free();
                    throw;
                }
            }
            AppendEntry(item);
            item->SetData(DataAt(Source, made));
            // Counted before Made runs: the item is the collection's now.
            const int index = made++;
            if (Made) Made(Source, index, static_cast<TGvItem*>(item));
        }
    } catch (...) {
        if (pool && used < taken) pool->GiveMany(batch + used, static_cast<size_t>(taken - used));
        if (made > 0) DoStructureChange();
        throw;
    }
    DoStructureChange();
}

void TGvItems::AddStarted(int Count, TStartAt StartAt, const void* Source) {
    // AddMany asks for each item's data and then hands the item on, one
    // item at a time: the start is asked with the data and applied when
    // the item is handed on.
    // Every item AddMany makes is of the collection's item class: whether
    // that is a built-in kind is asked once.
    const gcl::TClass kind = GetItemClass();
    struct TStarted {
        TStartAt At;
        const void* Source;
        TCustomGvListview* Listview;
        bool BuiltIn;
        mutable TItemStart Start;
    } started{StartAt, Source, GetOwnerListview(),
              kind == TGvItemVirtual::StaticClass() || kind == TGvItemStored::StaticClass(), TItemStart{}};
    AddMany(
        Count,
        [](const void* S, int Index) -> void* {
            const auto* st = static_cast<const TStarted*>(S);
            st->Start = TItemStart{};
            st->At(st->Source, Index, st->Start);
            return st->Start.Data;
        },
        &started,
        [](const void* S, int, TGvItem* Item) {
            const auto* st = static_cast<const TStarted*>(S);
            if (!st->BuiltIn) {
                // Other kinds may keep these elsewhere: they are set as
                // anyone sets them.
                Item->SetTag(st->Start.Tag);
                if (st->Start.Checked) Item->SetChecked(true);
                return;
            }
            Item->FTag = st->Start.Tag;
            if (st->Start.Checked && !Item->FState.Contains(esosChecked)) {
                Item->FState.Include(esosChecked);
                if (st->Listview) ++st->Listview->FCheckedCount;
            }
        });
}

void TGvItems::FreeEntries() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv) return inherited::FreeEntries();
    if (!FReferencesDropped) lv->ForgetEntriesOf(this);
    FreeItems(List());
}

void TGvItems::FreeOutside(TGvEntryList& Gone) {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv) return inherited::FreeOutside(Gone);
    lv->ForgetReferencesIf(
        [](const TGvCollectionItem* Obj, const void* Context) noexcept {
            return Obj->GetCollection() == static_cast<const TGvCollection*>(Context) && Obj->IsDestroying();
        },
        this);
    // The group shows no item until it lays its items out again (when the
    // update ends), rather than those gone.
    if (FOwnerGroup) FOwnerGroup->VisibleItems().clear();
    FreeItems(Gone);
}

void TGvItems::FreeItems(const TGvEntryList& list) {
    TCustomGvListview* lv = GetOwnerListview();
    const bool allowHiddenChecked = lv->GetAllowHiddenCheckedItems();
    // Events without a handler are not fired item by item.
    const bool fireVisibility = static_cast<bool>(lv->OnItemVisibilityChanged);
    const bool fireFreeing = static_cast<bool>(lv->OnItemFreeing);
    const bool fireCheck = static_cast<bool>(lv->OnItemCheckChange);
    gcl::TSlotPool& virtualSlots = TGvItem::SlotsOf(sizeof(TGvItemVirtual));
    gcl::TSlotPool& storedSlots = TGvItem::SlotsOf(sizeof(TGvItemStored));
    // The slots in the order freed: the runs of one block empty it at once.
    // A small list (a group of a few items, freed by the thousand) lists
    // them on the stack.
    constexpr size_t LocalSlots = 32;
    struct TFreed {
        void* Local[LocalSlots];
        size_t Count = 0;
        std::vector<void*> Many;
        void Add(void* Slot) {
            if (Count < LocalSlots) {
                Local[Count++] = Slot;
                return;
            }
            if (Many.empty()) Many.assign(Local, Local + LocalSlots);
            Many.push_back(Slot);
            ++Count;
        }
        void* const* Data() const noexcept { return Many.empty() ? Local : Many.data(); }
    } freedVirtual, freedStored;
    if (list.size() > LocalSlots)
        (GetItemClass() == TGvItemStored::StaticClass() ? freedStored : freedVirtual).Many.reserve(list.size());
    for (size_t k = list.size(); k-- > 0;) {
        // The items lie apart from the list: fetched some places ahead.
        if (k >= 8) __builtin_prefetch(list[k - 8], 1);
        auto* item = static_cast<TGvItem*>(list[k]);
        if (!item->BulkFreeable()) {
            gcl::Free(item);
            continue;
        }
        const bool isVirtual = item->ClassType() == TGvItemVirtual::StaticClass();
        item->BulkBeforeDestruction(lv, allowHiddenChecked, fireVisibility, fireFreeing, fireCheck);
        item->~TGvItem();
        (isVirtual ? freedVirtual : freedStored).Add(item);
    }
    if (freedVirtual.Count > 0) virtualSlots.GiveMany(freedVirtual.Data(), freedVirtual.Count);
    if (freedStored.Count > 0) storedSlots.GiveMany(freedStored.Data(), freedStored.Count);
}

void TGvItems::ClearInGroupsWalk() {
    if (GetCount() == 0) return;
    // The groups' clear holds the update bracket, puts the scroll offsets
    // back and lays the list out once for all its groups, and leaves no
    // item to sort: of this clear only the free and the structure event
    // are left to do here.
    {
        gcl::TFlagScope dropped(FReferencesDropped);
        ClearEntries(true);
    }
    TCustomGvListview* lv = GetOwnerListview();
    if (lv && !lv->IsDestroying()) lv->DoItemStructureChange();
}

void TGvItems::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying()) return;
    TGvGroups* groups = lv->GetGroups();
    if (groups) groups->Rebuild(false);
    // An exchange keeps the order the caller asked for. While the groups
    // clear themselves nothing will be left to sort, and the list still
    // names the groups freed so far.
    if (!GetExchanging() && lv->GetSort() && lv->GetSort()->GetAutoSort() && !(groups && groups->GetClearing()))
        lv->GetSort()->SortAll(false);
    lv->DoItemStructureChange();
}

// ---- TGvColumns ---------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvColumns)

TGvColumns::TGvColumns(TCustomGvListview* AOwner) : TGvCollection(AOwner, TGvColumn::StaticClass()) {
    SetItemClass(TGvColumnStored::StaticClass());
}

TGvColumn* TGvColumns::GetColumns(int Index) const { return static_cast<TGvColumn*>(TGvCollection::GetItems(Index)); }

TGvColumn* TGvColumns::Add(void* Data) {
    auto* column = static_cast<TGvColumn*>(TGvCollection::Add(Data));
    TCustomGvListview* lv = GetOwnerListview();
    if (column && lv && lv->GetHeader()) column->SetColor(lv->GetHeader()->GetColor());
    return column;
}

TGvColumn* TGvColumns::ColumnByPoint(TPoint ViewPoint) const {
    for (int i = 0; i < GetCount(); ++i)
        if (gcl::PtInRect(GetColumns(i)->GetDisplayRect(), ViewPoint)) return GetColumns(i);
    return nullptr;
}

void TGvColumns::Clear(bool FreeItems) {
    inherited::Clear(FreeItems);
    TCustomGvListview* lv = GetOwnerListview();
    if (lv && lv->GetHeader()) lv->GetHeader()->ClearLists();
}

void TGvColumns::ReadItems(TStream& S) {
    inherited::ReadItems(S);
    // Stored widths and positions are not trusted: widths are kept at 0 or
    // more, positions renumbered 0..n-1 in the stored order.
    for (int i = 0; i < GetCount(); ++i)
        if (GetColumns(i)->FWidth < 0) GetColumns(i)->FWidth = 0;
    TCustomGvListview* lv = GetOwnerListview();
    if (lv && lv->GetHeader()) {
        lv->GetHeader()->RenumberPositions();
        lv->GetHeader()->Rebuild(false);
    }
}

void TGvColumns::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying() || !lv->GetHeader()) return;
    // A column that came or went must not leave a gap in the positions.
    lv->GetHeader()->RenumberPositions();
    lv->GetHeader()->Rebuild(false);
}

// ---- TGvGlobalItems ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGlobalItems)

TGvItem* TGvGlobalItems::Add(void* Data) {
    TGvGroups* groups = FOwnerListview->GetGroups();
    if (groups->GetCount() == 0) {
        TGvGroup* group = groups->Add(nullptr);
        if (group) group->SetCaption(gcl::AnsiToWide(msg::GvDefaultGroupCaption));
    }
    TGvGroup* last = groups->LastGroup();
    return last ? last->GetItems()->Add(Data) : nullptr;
}

void TGvGlobalItems::Clear() { FOwnerListview->GetGroups()->Clear(true); }

int TGvGlobalItems::GetCount() const { return FOwnerListview->GetGroups()->ItemCount(); }

TGvItem* TGvGlobalItems::GetItems(int Index) const {
    if (Index >= 0) {
        TGvGroups* groups = FOwnerListview->GetGroups();
        int rest = Index;
        for (int i = 0; i < groups->GetCount(); ++i) {
            TGvGroup* g = groups->GetGroups(i);
            if (rest < g->ItemCount()) return g->GetItem(rest);
            rest -= g->ItemCount();
        }
    }
    throw gcl::EListError(gcl::Format(gcl::msg::ListIndexError, {Index}));
}

void TGvGlobalItems::Exchange(int Index1, int Index2) {
    TGvItem* item1 = GetItems(Index1);
    TGvItem* item2 = GetItems(Index2);
    if (item1->OwnerGroup() != item2->OwnerGroup()) throw gcl::Exception(msg::GvExchangeBetweenGroups);
    item1->OwnerItems()->Exchange(item1->GetIndex(), item2->GetIndex());
}

// ---- TGvGlobalImageManager ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGlobalImageManager)

TGvGlobalImageManager::TGvGlobalImageManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FGroupExpandButton(std::make_unique<gcl::TBitmap>()),
      FGroupCollapseButton(std::make_unique<gcl::TBitmap>()),
      FColumnSortUp(std::make_unique<gcl::TBitmap>()),
      FColumnSortDown(std::make_unique<gcl::TBitmap>()) {}

TGvGlobalImageManager::~TGvGlobalImageManager() = default;

namespace {
// The picture of a default bitmap, for a program that carries no such
// resource: 0 expand (+), 1 collapse (-), 2 sort up, 3 sort down.
void DrawDefaultBitmap(gcl::TBitmap* bitmap, int kind) {
    const bool button = kind < 2;
    const int size = button ? 9 : 16;
    bitmap->SetPixelFormat(gcl::pf24bit);
    bitmap->SetSize(size, size);
    gcl::TCanvas* c = bitmap->GetCanvas();
    c->GetBrush()->SetColor(button ? gcl::clWhite : gcl::TColor(0xFF00FF));
    c->FillRect(TRect{0, 0, size, size});
    c->GetPen()->SetColor(gcl::clGray);
    if (button) {
        c->GetBrush()->SetColor(gcl::clGray);
        c->FrameRect(TRect{0, 0, size, size});
        c->GetPen()->SetColor(gcl::clBlack);
        c->MoveTo(2, 4);
        c->LineTo(7, 4);
        if (kind == 0) {
            c->MoveTo(4, 2);
            c->LineTo(4, 7);
        }
    } else {
        for (int row = 0; row < 4; ++row) {
            const int y = kind == 2 ? 6 + row : 9 - row;
            c->MoveTo(8 - row, y);
            c->LineTo(9 + row, y);
        }
    }
}
} // namespace

gcl::TBitmap* TGvGlobalImageManager::Load(gcl::TBitmap* Bitmap, const char* Resource, int Kind) {
    if (!Bitmap->GetEmpty()) return Bitmap;
    Bitmap->SetTransparent(true);
    Bitmap->SetTransparentColor(0xFF00FF);
    HINSTANCE module = GetModuleHandleA(nullptr);
    if (FindResourceA(module, Resource, MAKEINTRESOURCEA(2)))
        Bitmap->LoadFromResourceName(module, Resource);
    else
        DrawDefaultBitmap(Bitmap, Kind);
    Bitmap->SetTransparentColor(0xFF00FF);
    ++FLoadCount;
    return Bitmap;
}

gcl::TBitmap* TGvGlobalImageManager::GetGroupExpandButton() {
    return Load(FGroupExpandButton.get(), "DEFAULTEXPANDED", 0);
}
gcl::TBitmap* TGvGlobalImageManager::GetGroupCollapseButton() {
    return Load(FGroupCollapseButton.get(), "DEFAULTCOLLAPSED", 1);
}
gcl::TBitmap* TGvGlobalImageManager::GetColumnSortUp() { return Load(FColumnSortUp.get(), "SORTARROWUP", 2); }
gcl::TBitmap* TGvGlobalImageManager::GetColumnSortDown() { return Load(FColumnSortDown.get(), "SORTARROWDOWN", 3); }

// ---- TGvSelectionGroupList -------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvSelectionGroupList)

void TGvSelectionGroupList::Add(TGvItem* Item) { FItems.push_back(Item); }

void TGvSelectionGroupList::DecRef() noexcept {
    if (--FRefCount <= 0) Free();
}

// ---- TGvItem -------------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvItem)

namespace {
// Two pools: the items that ask for their captions (the most numerous by
// far) are half the size of the items that keep them, and a slot of the
// larger size for each would leave half of it unused.
constexpr std::size_t ItemAlign = 8;
static_assert(alignof(TGvItemVirtual) <= ItemAlign && alignof(TGvItemStored) <= ItemAlign);
static_assert(sizeof(void*) != 4 || sizeof(TGvItemVirtual) <= 72);

gcl::TSlotPool& ItemSlots(std::size_t Size) {
    // Never destroyed: an item may be freed as late as the end of the
    // process.
    // Slots are aligned as the heap aligns its blocks, which is all any
    // item's fields need, so that a slot is no larger than its item
    // rounded up to 8 bytes (72 bytes for an item that asks for its
    // captions in 32-bit programs).
    static gcl::TSlotPool* const small = new gcl::TSlotPool(sizeof(TGvItemVirtual), ItemAlign);
    static gcl::TSlotPool* const large = new gcl::TSlotPool(sizeof(TGvItemStored), ItemAlign);
    return Size <= small->SlotSize() ? *small : *large;
}
} // namespace

gcl::TSlotPool& TGvItem::SlotsOf(std::size_t Size) noexcept { return ItemSlots(Size); }

void TGvItem::HoldSlots() noexcept {
    ItemSlots(sizeof(TGvItemVirtual)).Hold();
    ItemSlots(sizeof(TGvItemStored)).Hold();
}

void TGvItem::ReleaseSlots() noexcept {
    ItemSlots(sizeof(TGvItemVirtual)).Release();
    ItemSlots(sizeof(TGvItemStored)).Release();
}

void* TGvItem::operator new(std::size_t Size) {
    gcl::TSlotPool& slots = ItemSlots(Size);
    return Size <= slots.SlotSize() ? slots.Take() : ::operator new(Size);
}

void TGvItem::operator delete(void* P, std::size_t Size) noexcept {
    gcl::TSlotPool& slots = ItemSlots(Size);
    if (Size <= slots.SlotSize())
        slots.Give(P);
    else
        ::operator delete(P);
}

TGvItems* TGvItem::OwnerItems() const { return static_cast<TGvItems*>(GetCollection()); }

TGvGroup* TGvItem::OwnerGroup() const {
    TGvItems* items = OwnerItems();
    return items ? items->GetOwnerGroup() : nullptr;
}

void TGvItem::SetSelectionGroup(TGvSelectionGroupList* Value) {
    if (Value == FSelectionGroup) return;
    if (Value) Value->IncRef();
    TGvSelectionGroupList* old = FSelectionGroup;
    FSelectionGroup = Value;
    if (old) old->DecRef();
}

int TGvItem::GetStateImageIndexes(int) const { return -1; }
void TGvItem::SetStateImageIndexes(int, int) {}

void TGvItem::ThumbnailDraw(gcl::TCanvas* ACanvas, const TRect& ARect, TGvAlphaBlender* AlphaBlender,
                            bool& DoDefault) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemThumbnailDraw(this, ACanvas, ARect, AlphaBlender, DoDefault);
}

gcl::TCustomImageList* TGvItem::GetStateImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetImagesState() : nullptr;
}

gcl::TCustomImageList* TGvItem::DefaultImageList(int ImageSize) const {
    return TGvCollectionItem::DefaultImageList(ImageSize);
}

gcl::TCustomImageList* TGvItem::GetImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? DefaultImageList(ImageSizeOfView(lv->GetView())) : nullptr;
}

void TGvItem::Invalidate(bool ImmediateUpdate) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || lv->GetUpdateCount() > 0 || !lv->HandleAllocated() || !lv->GetScrollbars()) return;
    TGvScrollbarManager* bars = lv->GetScrollbars();
    const TRect client = ClientRectOf(lv);
    const TRect visible = bars->MapWindowRectToViewRect(client);
    TRect meet;
    if (!gcl::IntersectRect(meet, GetDisplayRect(), visible)) return;
    TRect r = bars->MapViewRectToWindowRect(GetDisplayRect());
    lv->SafeInvalidateRect(&r, ImmediateUpdate);
}

void TGvItem::MakeVisible(TGvMakeVisiblePos Position) {
    TCustomGvListview* lv = OwnerListview();
    if (!GetVisible() || !lv || !lv->GetScrollbars()) return;
    TGvScrollbarManager* bars = lv->GetScrollbars();
    const TRect client = ClientRectOf(lv);
    const int cw = client.Width();
    const int ch = client.Height();
    const int headerHeight = lv->GetHeader() ? lv->GetHeader()->RuntimeHeight() : 0;
    const TRect r = GetDisplayRect();
    const TRect view{bars->GetOffsetX(), bars->GetOffsetY(), bars->GetOffsetX() + cw,
                     bars->GetOffsetY() + ch - headerHeight};
    if (ContainsRect(view, r)) return;
    int x = bars->GetOffsetX();
    int y = bars->GetOffsetY();
    switch (Position) {
    case emvTop:
        y = r.Top;
        x = r.Left;
        break;
    case emvBottom:
        y = r.Bottom - ch + headerHeight;
        x = r.Right - cw;
        break;
    case emvMiddle:
        // Centred in the part of the client area below the header.
        y = r.Top - (ch - headerHeight - r.Height()) / 2;
        x = r.Left - (cw - r.Width()) / 2;
        break;
    case emvAuto:
        if (r.Bottom > view.Bottom)
            y = r.Bottom - ch + headerHeight;
        else if (view.Top > r.Top)
            y = r.Top;
        if (view.Right < r.Right || view.Left > r.Left) x = r.Left;
        break;
    }
    bars->SetOffsetY(y);
    bars->SetOffsetX(x);
}

void TGvItem::RectArray(TGvColumn* Column, TGvRectArrayObject& R) {
    R = TGvRectArrayObject{};
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    gcl::TCanvas* canvas = lv->HandleAllocated() ? lv->GetCanvas() : nullptr;
    lv->ItemView(this)->CalcRects(this, Column, canvas, R);
}

bool TGvItem::HitTestAt(TPoint ViewPoint, TGvItemHitTestInfoSet& HitInfo) {
    HitInfo = TGvItemHitTestInfoSet{};
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return false;
    TGvColumn* column = nullptr;
    if (lv->HeaderShown() || lv->GetView() == elsReport) {
        for (TGvColumn* candidate : lv->GetHeader()->Positions()) {
            const TRect c = candidate->GetDisplayRect();
            if (candidate->GetVisible() && ViewPoint.X >= c.Left && ViewPoint.X < c.Right) column = candidate;
        }
    }
    TGvRectArrayObject R;
    RectArray(column, R);
    // The icon counts together with the gap to its caption.
    TRect icon = R.IconRect;
    const int indent = lv->GetPaintInfoItem() ? lv->GetPaintInfoItem()->GetCaptionIndent() : 0;
    if (ScrollsVertically(lv->GetView()))
        icon.Bottom += indent;
    else
        icon.Right += indent;
    const std::pair<TRect, TGvItemHitTestInfo> parts[] = {
        {R.StateRect, ehtStateIcon},         {icon, ehtOnIcon},
        {R.LabelRect, ehtOnLabel},           {R.ClickSelectRect, ehtOnClickSelectBounds},
        {R.DragSelectRect, ehtOnDragSelectBounds}, {R.TextRect, ehtOnText},
        {R.CheckRect, ehtOnCheck}};
    for (const auto& part : parts)
        if (gcl::PtInRect(part.first, ViewPoint)) HitInfo.Include(part.second);
    return !HitInfo.Empty();
}

void TGvItem::Edit(TGvColumn* Column) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetEditManager()) lv->GetEditManager()->BeginEdit(this, Column);
}

bool TGvItem::SelectionHitPt(TPoint ViewPoint) {
    return SelectionHit(TRect{ViewPoint.X, ViewPoint.Y, ViewPoint.X + 1, ViewPoint.Y + 1});
}

bool TGvItem::SelectionHit(const TRect& ViewRect) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || !GetEnabled() || !GetVisible()) return false;
    return lv->ItemView(this)->SelectionHitRect(this, ViewRect, nullptr);
}

void TGvItem::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemLoadFromStream(this, S, Version);
}

void TGvItem::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSaveToStream(this, S, Version);
}

bool TGvItem::CanChangeCheck() {
    if (!GetEnabled()) return false;
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemCheckChanging(this, allow);
    return allow;
}

bool TGvItem::CanChangeEnable() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemEnableChanging(this, allow);
    return allow;
}

bool TGvItem::CanChangeFocus() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemFocusChanging(this, allow);
    return allow;
}

bool TGvItem::CanChangeSelection() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSelectionChanging(this, allow);
    return allow;
}

bool TGvItem::CanChangeVisibility() {
    // An item is not shown inside a hidden group.
    TGvGroup* group = OwnerGroup();
    if (!GetVisible() && group && !group->GetVisible()) return false;
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemVisibilityChanging(this, allow);
    return allow;
}

TGvPaintInfoBasic* TGvItem::DefaultPaintInfo() const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetPaintInfoItem() : nullptr;
}

void TGvItem::Freeing() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemFreeing(this);
}

void TGvItem::CheckGain() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    ++lv->FCheckedCount;
    lv->DoItemCheckChange(this);
    Invalidate(false);
}

void TGvItem::CheckLose() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    --lv->FCheckedCount;
    lv->DoItemCheckChange(this);
    if (!IsDestroying()) Invalidate(false);
}

void TGvItem::EnableGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemEnableChange(this);
    Invalidate(false);
}

void TGvItem::EnableLose() {
    SetSelectionGroup(nullptr);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemEnableChange(this);
    if (!IsDestroying()) Invalidate(false);
}

void TGvItem::FocusGain() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    lv->DoItemFocusChanged(this);
    if (TGvSelectionManager* selection = lv->GetSelection()) {
        TGvItem* previous = selection->FFocusedItem;
        selection->FFocusedItem = this;
        // Only one item holds the focus.
        if (previous && previous != this) previous->SetFocused(false);
        Invalidate(false);
        if (selection->GetGroupSelections()) {
            selection->BuildSelectionGroupings(false);
            lv->InvalidateView();
        } else if (!previous) {
            selection->KeyboardPlaceChanged();  // from around the rows to this row
        }
    }
}

void TGvItem::FocusLose() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    TGvSelectionManager* selection = lv->GetSelection();
    if (selection && selection->FFocusedItem == this) selection->FFocusedItem = nullptr;
    lv->DoItemFocusChanged(this);
    if (!IsDestroying()) {
        Invalidate(false);
        if (selection && selection->GetGroupSelections())
            lv->InvalidateView();
        else if (selection && !selection->FFocusedItem)
            selection->KeyboardPlaceChanged();  // from this row to around the rows
    }
}

void TGvItem::SelectionRepaint(bool Losing) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || (Losing && IsDestroying())) return;
    TGvSelectionManager* selection = lv->GetSelection();
    if (selection && selection->GetGroupSelections()) {
        // Inside a bracket the runs are made and the list repainted once, at its end.
        if (selection->GroupSelectionUpdating()) {
            selection->GroupSelectionRepaint();
            return;
        }
        selection->BuildSelectionGroupings(false);
        lv->InvalidateView();
    } else {
        Invalidate(false);
    }
}

void TGvItem::SelectionGain() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetSelection()) lv->GetSelection()->GainingSelection(this);
    lv->DoItemSelectionChanged(this);
    SelectionRepaint(false);
}

void TGvItem::SelectionLose() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetSelection()) lv->GetSelection()->LosingSelection(this);
    lv->DoItemSelectionChanged(this);
    SelectionRepaint(true);
}

void TGvItem::VisibilityGain() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetGroups()) lv->GetGroups()->Rebuild(false);
    lv->DoItemVisibilityChanged(this);
}

void TGvItem::VisibilityLose() {
    SetSelectionGroup(nullptr);
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetGroups()) lv->GetGroups()->Rebuild(false);
    lv->DoItemVisibilityChanged(this);
}

void TGvItem::HotTrackGain(TPoint MousePos) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemHotTrack(this, ehsEnable, MousePos);
    Invalidate(true);
}

void TGvItem::HotTrackLose() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemHotTrack(this, ehsDisable, TPoint{});
    Invalidate(true);
}

void TGvItem::GhostedGain() {
    if (!IsDestroying()) Invalidate(false);
}

void TGvItem::GhostedLose() {
    if (!IsDestroying()) Invalidate(false);
}

void TGvItem::Initialize() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemInitialize(this);
}

void TGvItem::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    try {
        if (TCustomGvListview* lv = OwnerListview()) {
            if (TGvSelectionManager* selection = lv->GetSelection()) {
                if (selection->FAnchorItem == this) selection->FAnchorItem = nullptr;
                if (selection->FFocusedItem == this) selection->FFocusedItem = nullptr;
            }
            if (lv->GetEditManager()) lv->GetEditManager()->Forget(this);
            if (lv->GetCheckManager() && lv->GetCheckManager()->GetPendingObject() == this)
                lv->GetCheckManager()->SetPendingObject(nullptr);
        }
        SetVisible(false);
        // The list view's count of checked items stays true.
        SetChecked(false);
    } catch (...) {
    }
    inherited::BeforeDestruction();
    SetSelectionGroup(nullptr);
}

bool TGvItem::BulkFreeable() const noexcept {
    const gcl::TClass kind = ClassType();
    return (kind == TGvItemVirtual::StaticClass() || kind == TGvItemStored::StaticClass()) && !GetDataInf();
}

void TGvItem::BulkBeforeDestruction(TCustomGvListview* Listview, bool AllowHiddenChecked, bool FireVisibility,
                                    bool FireFreeing, bool FireCheck) noexcept {
    // BeforeDestruction of an item of a built-in kind, without data object,
    // whose focus and selection are gone and whose references the list
    // view has dropped: what is left are the check, the visibility and
    // their events, and the freeing event. The check goes as SetChecked
    // takes it from an item being destroyed (no query, the count, the
    // event where a handler is assigned, no repaint).
    SetStateBit(esosDestroying, true);
    auto loseCheck = [&] {
        SetStateBit(esosChecked, false);
        --Listview->FCheckedCount;
        if (FireCheck) Listview->DoItemCheckChange(this);
    };
    try {
        if (GetVisible()) {
            if (!AllowHiddenChecked && TGvCollectionItem::GetChecked()) loseCheck();
            SetStateBit(esosVisible, false);
            if (FSelectionGroup) SetSelectionGroup(nullptr);
            if (FireVisibility) Listview->DoItemVisibilityChanged(this);
        }
        if (TGvCollectionItem::GetChecked()) loseCheck();
    } catch (...) {
    }
    if (FireFreeing) {
        try {
            Listview->DoItemFreeing(this);
        } catch (...) {
        }
    }
    if (FSelectionGroup) SetSelectionGroup(nullptr);
}

// ---- Item kinds ----------------------------------------------------------------------------

GCL_PUBLISHED(TGvItemStored,
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Ghosted).Default(false),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(Selected).Default(false),
    GCL_PROP(StateImageIndex).Default(-1),
    GCL_PROP(Tag).Default(0),
    GCL_PROP(Visible).Default(true))
GCL_IMPLEMENT_CLASS(TGvItemVirtual)
GCL_IMPLEMENT_CLASS(TGvItemInterfaced)

TGvItemStored::TGvItemStored(TGvCollection* ACollection) : TGvItem(ACollection) {}

std::wstring TGvItemStored::GetCaptions(int Column) const { return FDataHelper.GetCaption(Column); }
void TGvItemStored::SetCaptions(int Column, const std::wstring& Value) {
    // The first caption makes room for one in every column at once, so
    // that filling the columns one by one allocates once.
    TGvCaptions& captions = FDataHelper.Captions;
    if (captions.capacity() == 0 && Column >= 0) {
        TCustomGvListview* lv = OwnerListview();
        const int columns = lv && lv->GetHeader() ? lv->GetHeader()->GetColumns()->GetCount() : 0;
        captions.reserve(static_cast<size_t>(std::max(Column + 1, columns)));
    }
    if (FDataHelper.SetCaption(Column, Value)) Invalidate(false);
}
int TGvItemStored::GetImageIndexes(int Column) const { return FDataHelper.GetImageIndex(Column); }
void TGvItemStored::SetImageIndexes(int Column, int Value) {
    if (FDataHelper.SetImageIndex(Column, Value)) Invalidate(false);
}
int TGvItemStored::GetImageOverlayIndexes(int Column) const { return FDataHelper.GetOverlayIndex(Column); }
void TGvItemStored::SetImageOverlayIndexes(int Column, int Value) {
    if (FDataHelper.SetOverlayIndex(Column, Value)) Invalidate(false);
}
int TGvItemStored::GetStateImageIndexes(int Column) const { return FDataHelper.GetStateImageIndex(Column); }
void TGvItemStored::SetStateImageIndexes(int Column, int Value) {
    if (FDataHelper.SetStateImageIndex(Column, Value)) Invalidate(false);
}
int TGvItemStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoItem() ? lv->GetPaintInfoItem()->GetTileDetailCount() : 0;
}
void TGvItemStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoItem()) lv->GetPaintInfoItem()->SetTileDetailCount(Value);
}
int TGvItemStored::GetDetails(int Line) const { return FDataHelper.GetDetail(Line); }
void TGvItemStored::SetDetails(int Line, int Value) {
    if (FDataHelper.SetDetail(Line, Value)) Invalidate(false);
}
uint32_t TGvItemStored::GetGroupKey(int Column) const { return FDataHelper.GetGroupKey(Column); }
void TGvItemStored::SetGroupKey(int Column, uint32_t Key) { FDataHelper.SetGroupKey(Column, Key); }

void TGvItemStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper.LoadFromStream(S, Version);
}

void TGvItemStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper.SaveToStream(S, Version);
}

std::wstring TGvItemVirtual::GetCaptions(int Column) const {
    std::wstring caption;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemGetCaption(const_cast<TGvItemVirtual*>(this), Column, caption);
    return caption;
}
void TGvItemVirtual::SetCaptions(int Column, const std::wstring& Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetCaption(this, Column, Value);
    Invalidate(false);
}

namespace {
int VirtualItemImage(const TGvItem* item, int column, TGvImageKind kind) {
    int index = -1;
    if (TCustomGvListview* lv = item->OwnerListview())
        lv->DoItemGetImageIndex(const_cast<TGvItem*>(item), column, kind, index);
    return index;
}
} // namespace

int TGvItemVirtual::GetImageIndexes(int Column) const { return VirtualItemImage(this, Column, eikNormal); }
int TGvItemVirtual::GetImageOverlayIndexes(int Column) const { return VirtualItemImage(this, Column, eikOverlay); }
int TGvItemVirtual::GetStateImageIndexes(int Column) const { return VirtualItemImage(this, Column, eikState); }
void TGvItemVirtual::SetImageIndexes(int Column, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetImageIndex(this, Column, eikNormal, Value);
    Invalidate(false);
}
void TGvItemVirtual::SetImageOverlayIndexes(int Column, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetImageIndex(this, Column, eikOverlay, Value);
    Invalidate(false);
}
void TGvItemVirtual::SetStateImageIndexes(int Column, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetImageIndex(this, Column, eikState, Value);
    Invalidate(false);
}
gcl::TCustomImageList* TGvItemVirtual::GetImageList(int Column) const {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return nullptr;
    gcl::TCustomImageList* list = nullptr;
    lv->DoItemGetImageList(const_cast<TGvItemVirtual*>(this), Column, list);
    return list ? list : DefaultImageList(ImageSizeOfView(lv->GetView()));
}
gcl::TCustomImageList* TGvItemVirtual::GetStateImageList(int Column) const {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return nullptr;
    gcl::TCustomImageList* list = nullptr;
    lv->DoItemGetStateImageList(const_cast<TGvItemVirtual*>(this), Column, list);
    return list ? list : lv->GetImagesState();
}
int TGvItemVirtual::GetDetailCount() const {
    int count = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemGetTileDetailCount(const_cast<TGvItemVirtual*>(this), count);
    return count;
}
void TGvItemVirtual::SetDetailCount(int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetTileDetailCount(this, Value);
    Invalidate(false);
}
int TGvItemVirtual::GetDetails(int Line) const {
    int detail = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemGetTileDetail(const_cast<TGvItemVirtual*>(this), Line, detail);
    return detail;
}
void TGvItemVirtual::SetDetails(int Line, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetTileDetail(this, Line, Value);
    Invalidate(false);
}
uint32_t TGvItemVirtual::GetGroupKey(int Column) const {
    uint32_t key = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemGetGroupKey(const_cast<TGvItemVirtual*>(this), Column, key);
    return key;
}
void TGvItemVirtual::SetGroupKey(int Column, uint32_t Key) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoItemSetGroupKey(this, Column, Key);
}

std::wstring TGvItemInterfaced::GetCaptions(int Column) const { return InterfacedCaption(this, Column); }
void TGvItemInterfaced::SetCaptions(int Column, const std::wstring& Value) { InterfacedSetCaption(this, Column, Value); }
int TGvItemInterfaced::GetImageIndexes(int Column) const { return InterfacedImage(this, Column, eikNormal); }
void TGvItemInterfaced::SetImageIndexes(int Column, int Value) { InterfacedSetImage(this, Column, eikNormal, Value); }
int TGvItemInterfaced::GetImageOverlayIndexes(int Column) const { return InterfacedImage(this, Column, eikOverlay); }
void TGvItemInterfaced::SetImageOverlayIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikOverlay, Value);
}
int TGvItemInterfaced::GetStateImageIndexes(int Column) const { return InterfacedImage(this, Column, eikState); }
void TGvItemInterfaced::SetStateImageIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikState, Value);
}
gcl::TCustomImageList* TGvItemInterfaced::GetImageList(int Column) const {
    TCustomGvListview* lv = OwnerListview();
    return InterfacedImageList(this, Column, lv ? DefaultImageList(ImageSizeOfView(lv->GetView())) : nullptr);
}
gcl::TCustomImageList* TGvItemInterfaced::GetStateImageList(int Column) const {
    gcl::TCustomImageList* list = nullptr;
    if (auto lists = DataInterface<IGvStateImageList>(this)) list = lists->GetStateImageList(Column);
    return list ? list : TGvItem::GetStateImageList(Column);
}
int TGvItemInterfaced::GetDetailCount() const { return InterfacedDetailCount(this); }
void TGvItemInterfaced::SetDetailCount(int Value) { InterfacedSetDetailCount(this, Value); }
int TGvItemInterfaced::GetDetails(int Line) const { return InterfacedDetail(this, Line); }
void TGvItemInterfaced::SetDetails(int Line, int Value) { InterfacedSetDetail(this, Line, Value); }
uint32_t TGvItemInterfaced::GetGroupKey(int Column) const {
    if (auto keys = DataInterface<IGvGroupKey>(this)) return keys->GetGroupKey(Column);
    if (auto keys = DataInterface<IGvGroupKeyEditable>(this)) return keys->GetGroupKey(Column);
    return 0;
}
void TGvItemInterfaced::SetGroupKey(int Column, uint32_t Key) {
    if (auto keys = DataInterface<IGvGroupKeyEditable>(this)) keys->SetGroupKey(Column, Key);
}
bool TGvItemInterfaced::ImageDrawIsCustom(TGvColumn* Column) { return InterfacedImageDrawIsCustom(this, Column); }
void TGvItemInterfaced::ImageGetSize(TGvColumn* Column, int& ImageWidth, int& ImageHeight) {
    InterfacedImageGetSize(this, Column, ImageWidth, ImageHeight);
}
void TGvItemInterfaced::ImageDraw(TGvColumn* Column, gcl::TCanvas* ACanvas, const TGvRectArrayObject& RectArray,
                                  TGvAlphaBlender* AlphaBlender) {
    InterfacedImageDraw(this, Column, ACanvas, RectArray, AlphaBlender);
}
void TGvItemInterfaced::ThumbnailDraw(gcl::TCanvas* ACanvas, const TRect& ARect, TGvAlphaBlender* AlphaBlender,
                                      bool& DoDefault) {
    if (auto thumbnail = DataInterface<IGvThumbnail>(this))
        thumbnail->ThumbnailDraw(ACanvas, ARect, AlphaBlender, DoDefault);
}

bool TGvItemInterfaced::GetChecked() const {
    if (auto checks = DataInterface<IGvChecks>(this)) return checks->GetChecked();
    return TGvItem::GetChecked();
}
void TGvItemInterfaced::SetChecked(bool Value) {
    TGvItem::SetChecked(Value);
    if (auto checks = DataInterface<IGvChecks>(this)) checks->SetChecked(TGvItem::GetChecked());
}

} // namespace qelvo
