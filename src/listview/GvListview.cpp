#include "listview/GvListview.h"

#include <ole2.h>

#include <algorithm>
#include <cstring>

#include "gcl/Controls.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "listview/LvDataObject.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;
using gcl::TStream;

CLIPFORMAT CF_GVHEADER = 0;

// ---- Stream helpers ------------------------------------------------------------------

namespace {

TCommonMemoryStreamHelper& Helper() {
    // The helper holds no state; a local one serves before the unit starts.
    static TCommonMemoryStreamHelper fallback;
    return StreamHelper ? *StreamHelper : fallback;
}

void WriteInt32(TStream& S, int32_t Value) { Helper().WriteInteger(S, Value); }
int32_t ReadInt32(TStream& S) { return Helper().ReadInteger(S); }

void WriteUInt32(TStream& S, uint32_t Value) { WriteInt32(S, static_cast<int32_t>(Value)); }

void WriteUInt16(TStream& S, uint16_t Value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8)};
    S.WriteBuffer(bytes, 2);
}
uint16_t ReadUInt16(TStream& S) {
    uint8_t bytes[2];
    S.ReadBuffer(bytes, 2);
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

void WriteByte(TStream& S, uint8_t Value) { S.WriteBuffer(&Value, 1); }
uint8_t ReadByte(TStream& S) {
    uint8_t value = 0;
    S.ReadBuffer(&value, 1);
    return value;
}

// A count of entries that take at least EntrySize bytes each: never
// negative and never more than the stream can still hold.
int32_t ReadCount(TStream& S, int EntrySize) {
    const int32_t count = ReadInt32(S);
    if (count < 0) throw gcl::EReadError(gcl::msg::ReadError);
    S.CheckAvailable(static_cast<int64_t>(count) * EntrySize);
    return count;
}

// Length in UTF-16 code units, then the UTF-16LE text.
void WriteWide(TStream& S, const std::wstring& Value) {
    WriteInt32(S, static_cast<int32_t>(Value.size()));
    std::vector<uint8_t> bytes;
    bytes.reserve(Value.size() * 2);
    for (wchar_t c : Value) {
        const uint16_t u = static_cast<uint16_t>(c);
        bytes.push_back(static_cast<uint8_t>(u));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    if (!bytes.empty()) S.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

std::wstring ReadWide(TStream& S) {
    const int32_t length = ReadCount(S, 2);
    std::vector<uint8_t> bytes(static_cast<size_t>(length) * 2);
    if (length > 0) S.ReadBuffer(bytes.data(), length * 2);
    std::wstring result(static_cast<size_t>(length), L'\0');
    for (int32_t i = 0; i < length; ++i)
        result[static_cast<size_t>(i)] = static_cast<wchar_t>(bytes[i * 2] | bytes[i * 2 + 1] << 8);
    return result;
}

template <class T>
void WriteArray(TStream& S, const std::vector<T>& Values) {
    WriteInt32(S, static_cast<int32_t>(Values.size()));
    for (T v : Values) WriteInt32(S, static_cast<int32_t>(v));
}

template <class T>
void ReadArray(TStream& S, std::vector<T>& Values) {
    const int32_t count = ReadCount(S, 4);
    Values.assign(static_cast<size_t>(count), T());
    for (int32_t i = 0; i < count; ++i) Values[static_cast<size_t>(i)] = static_cast<T>(ReadInt32(S));
}

template <class T>
T ValueAt(const std::vector<T>& Values, int Index, T Default) {
    return Index >= 0 && Index < static_cast<int>(Values.size()) ? Values[static_cast<size_t>(Index)] : Default;
}

template <class T>
void StoreAt(std::vector<T>& Values, int Index, T Value, T Filler) {
    if (Index < 0) return;
    if (Index >= static_cast<int>(Values.size())) Values.resize(static_cast<size_t>(Index) + 1, Filler);
    Values[static_cast<size_t>(Index)] = Value;
}

// An enumeration byte of a stream, or Default when it is out of range.
template <class E>
E ReadEnum(TStream& S, E Default) {
    const uint8_t value = ReadByte(S);
    return value < gcl::EnumInfo<E>().Count ? static_cast<E>(value) : Default;
}

TRect ClientRectOf(TCustomGvListview* lv) {
    if (!lv) return {};
    if (lv->HandleAllocated()) {
        RECT r{};
        ::GetClientRect(lv->GetHandle(), &r);
        return gcl::FromRECT(r);
    }
    return TRect{0, 0, lv->GetWidth(), lv->GetHeight()};
}

bool ScrollsVertically(TGvListStyle View) { return View != elsList && View != elsFilmStrip; }

bool Intersects(const TRect& A, const TRect& B) {
    TRect r;
    return gcl::IntersectRect(r, A, B);
}

// Runs EndUpdate when it goes out of scope.
class TListviewUpdate {
public:
    explicit TListviewUpdate(TCustomGvListview* lv, bool invalidate = true) : FListview(lv), FInvalidate(invalidate) {
        if (FListview) FListview->BeginUpdate();
    }
    ~TListviewUpdate() {
        if (FListview) {
            try {
                FListview->EndUpdate(FInvalidate);
            } catch (...) {
            }
        }
    }
    TListviewUpdate(const TListviewUpdate&) = delete;
    TListviewUpdate& operator=(const TListviewUpdate&) = delete;

private:
    TCustomGvListview* FListview;
    bool FInvalidate;
};

} // namespace

// ---- Persistent bases ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistentView)
GCL_IMPLEMENT_CLASS(TGvOwnedPersistentGroupItem)
GCL_IMPLEMENT_CLASS(TGvInterfacedPersistent)
GCL_IMPLEMENT_CLASS(TGvOwnedInterfacedPersistent)

gcl::TPersistent* TGvOwnedPersistent::GetOwner() const { return FOwnerListview; }

TGvOwnedPersistentGroupItem::TGvOwnedPersistentGroupItem(TGvCollectionItem* AOwner)
    : TGvOwnedPersistentView(AOwner ? AOwner->OwnerListview() : nullptr), FOwnerItem(AOwner) {}

bool TGvInterfacedPersistent::GetInterface(const gcl::TGUID& iid, void** out) {
    if (iid == gcl::IUnknown::IID) {
        *out = static_cast<gcl::IUnknown*>(this);
        return true;
    }
    return inherited::GetInterface(iid, out);
}

gcl::ULONG TGvInterfacedPersistent::ObjRelease() noexcept {
    const LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) Free();
    return static_cast<gcl::ULONG>(count);
}

void TGvInterfacedPersistent::AfterConstruction() {
    inherited::AfterConstruction();
    InterlockedDecrement(&FRefCount);
}

// ---- Margins ---------------------------------------------------------------------------

GCL_PUBLISHED(TGvMargin,
    GCL_PROP(Size).Default(30),
    GCL_PROP(Visible).Default(false))

GCL_PUBLISHED(TGvHeaderMargin,
    GCL_PROP(Visible).Default(true))

GCL_IMPLEMENT_CLASS(TCustomGvFooterMargin)

GCL_PUBLISHED(TGvFooterMargin,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(Caption),
    GCL_PROP(CaptionIndent).Default(2),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(VAlignment).Default(cvaCenter))

namespace {
void RebuildGroupsOf(TCustomGvListview* lv) {
    if (lv && lv->GetGroups()) lv->GetGroups()->Rebuild(false);
}
void RepaintListview(TCustomGvListview* lv) {
    if (lv) lv->SafeInvalidateRect(nullptr, false);
}
} // namespace

void TGvMargin::Assign(gcl::TPersistent* Source) {
    if (auto* margin = dynamic_cast<TGvMargin*>(Source)) {
        SetSize(margin->FSize);
        SetVisible(margin->FVisible);
        return;
    }
    inherited::Assign(Source);
}

void TGvMargin::SetSize(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FSize) return;
    FSize = Value;
    RebuildGroupsOf(FOwnerListview);
}

void TGvMargin::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    RebuildGroupsOf(FOwnerListview);
}

int TGvMargin::RuntimeSize() const {
    return FVisible && FOwnerListview && FOwnerListview->GetShowGroupMargins() ? FSize : 0;
}

void TCustomGvFooterMargin::Assign(gcl::TPersistent* Source) {
    inherited::Assign(Source);
    if (auto* footer = dynamic_cast<TCustomGvFooterMargin*>(Source)) SetCaption(footer->FCaption);
}

void TCustomGvFooterMargin::Repaint() { RepaintListview(FOwnerListview); }

void TCustomGvFooterMargin::SetCaption(const std::wstring& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    RebuildGroupsOf(FOwnerListview);
}

void TCustomGvFooterMargin::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    RebuildGroupsOf(FOwnerListview);
}

#define GV_REPAINT_SETTER(Class, Name, Type) \
    void Class::Set##Name(Type Value) {      \
        if (Value == F##Name) return;        \
        F##Name = Value;                     \
        Repaint();                           \
    }

GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageIndex, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageOverlayIndex, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, CaptionIndent, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, CaptionLines, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, ImageIndent, int)
GV_REPAINT_SETTER(TCustomGvFooterMargin, VAlignment, TCommonVAlignment)

// ---- Paint info ----------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvPaintInfoBasic)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseItem)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseColumn)
GCL_IMPLEMENT_CLASS(TCustomGvPaintInfoBaseColumn)
GCL_IMPLEMENT_CLASS(TGvPaintInfoBaseGroup)

GCL_PUBLISHED(TGvPaintInfoItem,
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(GridLineColor).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP(GridLines).Default(false),
    GCL_PROP(HideCaption).Default(false),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ShowBorder).Default(true),
    GCL_PROP(TileDetailCount).Default(1),
    GCL_PROP(VAlignment).Default(cvaCenter))

GCL_PUBLISHED(TGvPaintInfoColumn,
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(Color).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP(HilightFocused).Default(false),
    GCL_PROP(HilightFocusedColor).Default(0xF7F7F7).Idents(gcl::ColorIdents),
    GCL_PROP(HotTrack).Default(true),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(ImagePosition).Default(ehpLeft),
    GCL_PROP(SortGlyphAlign).Default(esgaRight),
    GCL_PROP(SortGlyphIndent).Default(2),
    GCL_PROP(Style).Default(ehbsThick),
    GCL_PROP(VAlignment).Default(cvaCenter))

GCL_PUBLISHED(TGvPaintInfoGroup,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(BandBlended).Default(true),
    GCL_PROP(BandColor).Default(gcl::clBlue).Idents(gcl::ColorIdents),
    GCL_PROP(BandColorFade).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(BandEnabled).Default(true),
    GCL_PROP(BandFullWidth).Default(false),
    GCL_PROP(BandIndent).Default(0),
    GCL_PROP(BandLength).Default(300),
    GCL_PROP(BandMargin).Default(2),
    GCL_PROP(BandRadius).Default(4),
    GCL_PROP(BandThickness).Default(3),
    GCL_PROP(Border).Default(4),
    GCL_PROP(BorderColor).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(CaptionIndent).Default(4),
    GCL_PROP(CaptionLines).Default(1),
    GCL_PROP(CheckFlat).Default(false),
    GCL_PROP(CheckIndent).Default(2),
    GCL_PROP(CheckSize).Default(12),
    GCL_PROP(CheckType).Default(ectNone),
    GCL_PROP(Expandable).Default(true),
    GCL_PROP(ExpandImageIndent).Default(4),
    GCL_PROP(ImageIndent).Default(2),
    GCL_PROP(MarginBottom),
    GCL_PROP(MarginLeft),
    GCL_PROP(MarginRight),
    GCL_PROP(MarginTop),
    GCL_PROP(VAlignment).Default(cvaCenter))

void TGvPaintInfoBasic::Repaint() { RepaintListview(FOwnerListview); }

void TGvPaintInfoBasic::Assign(gcl::TPersistent* Source) {
    auto* source = dynamic_cast<TGvPaintInfoBasic*>(Source);
    if (!source) return inherited::Assign(Source);
    FAlignment = source->FAlignment;
    FBorder = source->FBorder;
    FBorderColor = source->FBorderColor;
    FCaptionIndent = source->FCaptionIndent;
    FCaptionLines = source->FCaptionLines;
    FCheckFlat = source->FCheckFlat;
    FCheckIndent = source->FCheckIndent;
    FCheckSize = source->FCheckSize;
    FCheckType = source->FCheckType;
    FImageIndent = source->FImageIndent;
    FVAlignment = source->FVAlignment;
    Repaint();
}

GV_REPAINT_SETTER(TGvPaintInfoBasic, Alignment, TAlignment)
GV_REPAINT_SETTER(TGvPaintInfoBasic, Border, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, BorderColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CaptionIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CaptionLines, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckFlat, bool)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckSize, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, CheckType, TGvCheckType)
GV_REPAINT_SETTER(TGvPaintInfoBasic, ImageIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBasic, VAlignment, TCommonVAlignment)

void TGvPaintInfoBaseItem::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseItem*>(Source)) {
        FGridLineColor = source->FGridLineColor;
        FGridLines = source->FGridLines;
        FHideCaption = source->FHideCaption;
        FTileDetailCount = source->FTileDetailCount;
    }
    inherited::Assign(Source);
}

GV_REPAINT_SETTER(TGvPaintInfoBaseItem, GridLineColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, GridLines, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, HideCaption, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseItem, TileDetailCount, int)

void TGvPaintInfoBaseColumn::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseColumn*>(Source)) {
        FColor = source->FColor;
        FHilightFocused = source->FHilightFocused;
        FHilightFocusedColor = source->FHilightFocusedColor;
        FHotTrack = source->FHotTrack;
        FImagePosition = source->FImagePosition;
        FSortGlyphAlign = source->FSortGlyphAlign;
        FSortGlyphIndent = source->FSortGlyphIndent;
        FStyle = source->FStyle;
    }
    inherited::Assign(Source);
}

void TGvPaintInfoBaseColumn::RepaintHeader() {
    if (FOwnerListview && FOwnerListview->GetHeader()) FOwnerListview->GetHeader()->Invalidate(false);
}

#define GV_HEADER_SETTER(Name, Type)                              \
    void TGvPaintInfoBaseColumn::Set##Name(Type Value) {          \
        if (Value == F##Name) return;                             \
        F##Name = Value;                                          \
        RepaintHeader();                                          \
    }
GV_HEADER_SETTER(Color, gcl::TColor)
GV_HEADER_SETTER(ImagePosition, TGvHeaderImagePosition)
GV_HEADER_SETTER(SortGlyphAlign, TGvSortGlyphAlign)
GV_HEADER_SETTER(SortGlyphIndent, int)
GV_HEADER_SETTER(Style, TGvHeaderButtonStyle)
#undef GV_HEADER_SETTER

GV_REPAINT_SETTER(TGvPaintInfoBaseColumn, HilightFocused, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseColumn, HilightFocusedColor, gcl::TColor)

TGvPaintInfoBaseGroup::TGvPaintInfoBaseGroup(TCustomGvListview* AOwner)
    : TGvPaintInfoBasic(AOwner),
      FMarginBottom(TGvFooterMargin::Create(AOwner)),
      FMarginLeft(TGvMargin::Create(AOwner)),
      FMarginRight(TGvMargin::Create(AOwner)),
      FMarginTop(TGvHeaderMargin::Create(AOwner)) {}

TGvPaintInfoBaseGroup::~TGvPaintInfoBaseGroup() {
    gcl::Free(FMarginBottom);
    gcl::Free(FMarginLeft);
    gcl::Free(FMarginRight);
    gcl::Free(FMarginTop);
}

void TGvPaintInfoBaseGroup::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvPaintInfoBaseGroup*>(Source)) {
        FBandBlended = source->FBandBlended;
        FBandColor = source->FBandColor;
        FBandColorFade = source->FBandColorFade;
        FBandEnabled = source->FBandEnabled;
        FBandFullWidth = source->FBandFullWidth;
        FBandIndent = source->FBandIndent;
        FBandLength = source->FBandLength;
        FBandMargin = source->FBandMargin;
        FBandRadius = source->FBandRadius;
        FBandThickness = source->FBandThickness;
        FExpandable = source->FExpandable;
        FExpandImageIndent = source->FExpandImageIndent;
        FMarginBottom->Assign(source->FMarginBottom);
        FMarginLeft->Assign(source->FMarginLeft);
        FMarginRight->Assign(source->FMarginRight);
        FMarginTop->Assign(source->FMarginTop);
    }
    inherited::Assign(Source);
}

GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandBlended, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandColor, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandColorFade, gcl::TColor)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandEnabled, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandFullWidth, bool)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandIndent, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandLength, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandMargin, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandRadius, uint8_t)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, BandThickness, int)
GV_REPAINT_SETTER(TGvPaintInfoBaseGroup, ExpandImageIndent, int)

void TGvPaintInfoBaseGroup::SetExpandable(bool Value) {
    if (Value == FExpandable) return;
    if (!Value && FOwnerListview && FOwnerListview->GetGroups()) FOwnerListview->GetGroups()->ExpandAll();
    FExpandable = Value;
    Repaint();
}

#define GV_MARGIN_SETTER(Name, Type)                          \
    void TGvPaintInfoBaseGroup::Set##Name(Type* Value) {      \
        if (Value == F##Name) return;                         \
        gcl::Free(F##Name);                                   \
        F##Name = Value;                                      \
    }
GV_MARGIN_SETTER(MarginBottom, TGvFooterMargin)
GV_MARGIN_SETTER(MarginLeft, TGvMargin)
GV_MARGIN_SETTER(MarginRight, TGvMargin)
GV_MARGIN_SETTER(MarginTop, TGvHeaderMargin)
#undef GV_MARGIN_SETTER

// ---- Data holders ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvDynamicDataHelper)
GCL_IMPLEMENT_CLASS(TGvItemDynamicDataHelper)

std::wstring TGvDynamicDataHelper::GetCaption(int Index) const { return ValueAt(Captions, Index, std::wstring()); }
void TGvDynamicDataHelper::SetCaption(int Index, const std::wstring& Value) {
    StoreAt(Captions, Index, Value, std::wstring());
}
int32_t TGvDynamicDataHelper::GetDetail(int Index) const { return ValueAt(Details, Index, 0); }
void TGvDynamicDataHelper::SetDetail(int Index, int32_t Value) { StoreAt(Details, Index, Value, 0); }
uint32_t TGvDynamicDataHelper::GetGroupKey(int Index) const { return ValueAt(GroupKeys, Index, GvNoGroupKey); }
void TGvDynamicDataHelper::SetGroupKey(int Index, uint32_t Value) { StoreAt(GroupKeys, Index, Value, GvNoGroupKey); }
int32_t TGvDynamicDataHelper::GetImageIndex(int Index) const { return ValueAt(ImageIndexes, Index, -1); }
void TGvDynamicDataHelper::SetImageIndex(int Index, int32_t Value) { StoreAt(ImageIndexes, Index, Value, -1); }
int32_t TGvDynamicDataHelper::GetOverlayIndex(int Index) const { return ValueAt(OverlayIndexes, Index, -1); }
void TGvDynamicDataHelper::SetOverlayIndex(int Index, int32_t Value) { StoreAt(OverlayIndexes, Index, Value, -1); }

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
    for (const std::wstring& caption : Captions) WriteWide(S, caption);
    WriteArray(S, Details);
    WriteArray(S, ImageIndexes);
    WriteArray(S, OverlayIndexes);
}

int32_t TGvItemDynamicDataHelper::GetStateImageIndex(int Index) const { return ValueAt(StateImageIndexes, Index, -1); }
void TGvItemDynamicDataHelper::SetStateImageIndex(int Index, int32_t Value) {
    StoreAt(StateImageIndexes, Index, Value, -1);
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
    if (FOwnsPaintInfo) gcl::Free(FPaintInfo);
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
    if (FIndex >= 0 && FIndex < static_cast<int>(list.size()) && list[static_cast<size_t>(FIndex)] == this)
        return FIndex;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TGvCollectionItem::SetPaintInfo(TGvPaintInfoBasic* Value, bool Owns) {
    if (Value != FPaintInfo && FOwnsPaintInfo) gcl::Free(FPaintInfo);
    FPaintInfo = Value;
    FOwnsPaintInfo = Owns && Value;
}

TGvPaintInfoBasic* TGvCollectionItem::PaintInfo() const { return FPaintInfo ? FPaintInfo : DefaultPaintInfo(); }

void TGvCollectionItem::SetStateBit(TGvObjectStateItem Item, bool Value) noexcept {
    if (Value)
        FState.Include(Item);
    else
        FState.Exclude(Item);
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
    }
    try {
        Freeing();
    } catch (...) {
    }
    // An entry freed on its own leaves its collection, which is told of
    // the removal (a collection that clears itself needs neither).
    if (FCollection && !FCollection->FClearing) {
        TGvCollection* collection = FCollection;
        collection->Extract(this);
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
    FList.push_back(item);
    ReIndexItems(false);
    DoItemAdd(item, GetCount() - 1);
    item->SetData(Data);
    DoStructureChange();
    return item;
}

void TGvCollection::Clear(bool FreeItems) {
    if (FList.empty()) return;
    TCustomGvListview* lv = GetOwnerListview();
    {
        TListviewUpdate update(lv);
        FClearing = true;
        try {
            for (TGvCollectionItem* item : FList) {
                item->SetStateBit(esosDestroying, true);
                item->SetFocused(false);
                item->SetSelected(false);
            }
            if (FreeItems)
                for (auto it = FList.rbegin(); it != FList.rend(); ++it) gcl::Free(*it);
        } catch (...) {
            FList.clear();
            FVisibleList.clear();
            FClearing = false;
            throw;
        }
        FList.clear();
        FVisibleList.clear();
        FClearing = false;
        if (lv && lv->HandleAllocated() && lv->GetScrollbars()) {
            lv->GetScrollbars()->SetOffsetX(0);
            lv->GetScrollbars()->SetOffsetY(0);
        }
    }
    if (lv && !lv->IsDestroying()) DoStructureChange();
}

void TGvCollection::Exchange(int Index1, int Index2) {
    std::swap(FList.at(static_cast<size_t>(Index1)), FList.at(static_cast<size_t>(Index2)));
    ReIndexItems(false);
    FExchanging = true;
    try {
        DoStructureChange();
    } catch (...) {
        FExchanging = false;
        throw;
    }
    FExchanging = false;
}

void TGvCollection::Extract(TGvCollectionItem* Item) {
    auto it = std::find(FList.begin(), FList.end(), Item);
    if (it != FList.end()) FList.erase(it);
    auto vit = std::find(FVisibleList.begin(), FVisibleList.end(), Item);
    if (vit != FVisibleList.end()) FVisibleList.erase(vit);
}

void TGvCollection::MoveItem(TGvCollectionItem* Item, int Index) {
    if (!Item) return;
    if (!Item->InheritsFrom(FBaseClass)) throw gcl::EInvalidCast(gcl::msg::InvalidCast);
    TGvCollection* from = Item->FCollection;
    if (from) {
        from->Extract(Item);
        from->ReIndexItems(false);
    }
    Index = std::clamp(Index, 0, GetCount());
    FList.insert(FList.begin() + Index, Item);
    Item->FCollection = this;
    ReIndexItems(false);
    if (from && from != this) from->DoStructureChange();
    DoStructureChange();
}

void TGvCollection::ReIndexItems(bool Force) {
    TCustomGvListview* lv = GetOwnerListview();
    TGvGroups* groups = lv ? lv->GetGroups() : nullptr;
    if (!Force && groups && groups->FReIndexCount > 0) return;
    for (size_t i = 0; i < FList.size(); ++i) FList[i]->FIndex = static_cast<int>(i);
}

TGvCollectionItem* TGvCollection::FirstVisible() const { return FVisibleList.empty() ? nullptr : FVisibleList.front(); }
TGvCollectionItem* TGvCollection::LastVisible() const { return FVisibleList.empty() ? nullptr : FVisibleList.back(); }

TGvCollectionItem* TGvCollection::NextVisible(TGvCollectionItem* Item) const {
    if (!Item) return nullptr;
    for (int i = Item->GetIndex() + 1; i < GetCount(); ++i)
        if (FList[static_cast<size_t>(i)]->GetVisible()) return FList[static_cast<size_t>(i)];
    return nullptr;
}

TGvCollectionItem* TGvCollection::PrevVisible(TGvCollectionItem* Item) const {
    if (!Item) return nullptr;
    for (int i = Item->GetIndex() - 1; i >= 0; --i)
        if (FList[static_cast<size_t>(i)]->GetVisible()) return FList[static_cast<size_t>(i)];
    return nullptr;
}

void TGvCollection::MakeAllVisible() {
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
    SetItemClass(TGvItemStored::StaticClass());
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

void TGvItems::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying()) return;
    if (lv->GetGroups()) lv->GetGroups()->Rebuild(false);
    // An exchange keeps the order the caller asked for.
    if (!GetExchanging() && lv->GetSort() && lv->GetSort()->GetAutoSort()) lv->GetSort()->SortAll(false);
    lv->DoItemStructureChange();
}

// ---- TGvGroups ----------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroups)

TGvGroups::TGvGroups(TCustomGvListview* AOwner) : TGvCollection(AOwner, TGvGroup::StaticClass()) {
    SetItemClass(TGvGroupStored::StaticClass());
}

TGvGroup* TGvGroups::GetGroups(int Index) const { return static_cast<TGvGroup*>(TGvCollection::GetItems(Index)); }

TGvGroup* TGvGroups::Add(void* Data) { return static_cast<TGvGroup*>(TGvCollection::Add(Data)); }

void TGvGroups::Clear(bool FreeItems) {
    TCustomGvListview* lv = GetOwnerListview();
    TGvSelectionManager* selection = lv ? lv->GetSelection() : nullptr;
    if (!selection) return inherited::Clear(FreeItems);
    selection->GroupSelectionBeginUpdate();
    selection->BeginUpdate();
    try {
        inherited::Clear(FreeItems);
    } catch (...) {
        selection->EndUpdate();
        selection->GroupSelectionEndUpdate();
        throw;
    }
    selection->EndUpdate();
    selection->GroupSelectionEndUpdate();
}

TGvGroup* TGvGroups::VisibleGroup(int Index) const { return static_cast<TGvGroup*>(VisibleItems(Index)); }

int TGvGroups::ItemCount() const {
    int count = 0;
    for (int i = 0; i < GetCount(); ++i) count += GetGroups(i)->ItemCount();
    return count;
}

TGvGroup* TGvGroups::FirstGroup() const { return GetCount() > 0 ? GetGroups(0) : nullptr; }
TGvGroup* TGvGroups::LastGroup() const { return GetCount() > 0 ? GetGroups(GetCount() - 1) : nullptr; }

TGvGroup* TGvGroups::FirstVisibleGroup() const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetGroups(i)->GetVisible()) return GetGroups(i);
    return nullptr;
}

TGvGroup* TGvGroups::LastVisibleGroup() const {
    for (int i = GetCount() - 1; i >= 0; --i)
        if (GetGroups(i)->GetVisible()) return GetGroups(i);
    return nullptr;
}

TGvGroup* TGvGroups::NextGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    const int i = Group->GetIndex() + 1;
    return i > 0 && i < GetCount() ? GetGroups(i) : nullptr;
}

TGvGroup* TGvGroups::PrevGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    const int i = Group->GetIndex() - 1;
    return i >= 0 && i < GetCount() ? GetGroups(i) : nullptr;
}

TGvGroup* TGvGroups::NextVisibleGroup(TGvGroup* Group) const {
    for (TGvGroup* g = NextGroup(Group); g; g = NextGroup(g))
        if (g->GetExpanded() && g->GetVisible()) return g;
    return nullptr;
}

TGvGroup* TGvGroups::PrevVisibleGroup(TGvGroup* Group) const {
    for (TGvGroup* g = PrevGroup(Group); g; g = PrevGroup(g))
        if (g->GetExpanded() && g->GetVisible()) return g;
    return nullptr;
}

bool TGvGroups::ItemQualifies(TGvItem* Item, TGvItemSearch Mode) const {
    switch (Mode) {
    case TGvItemSearch::Any:
        return true;
    case TGvItemSearch::Visible:
        return Item->GetVisible();
    case TGvItemSearch::Initialized:
        return Item->GetInitialized();
    case TGvItemSearch::Editable: {
        if (!Item->GetVisible()) return false;
        TCustomGvListview* lv = GetOwnerListview();
        if (!lv) return true;
        // The handler of this query may only decide Allow.
        int column = 0;
        bool allow = true;
        lv->DoItemEditBegin(Item, column, allow);
        return allow;
    }
    }
    return false;
}

namespace {
// The first (last) item of the given kind over all groups, in order.
template <class Pred>
TGvItem* FirstItemWhere(const TGvGroups* groups, bool forward, Pred pred) {
    const int n = groups->GetCount();
    for (int gi = forward ? 0 : n - 1; forward ? gi < n : gi >= 0; gi += forward ? 1 : -1) {
        TGvGroup* g = groups->GetGroups(gi);
        const int m = g->ItemCount();
        for (int ii = forward ? 0 : m - 1; forward ? ii < m : ii >= 0; ii += forward ? 1 : -1)
            if (pred(g->GetItem(ii))) return g->GetItem(ii);
    }
    return nullptr;
}
} // namespace

TGvItem* TGvGroups::FirstItem() const { return FirstItemWhere(this, true, [](TGvItem*) { return true; }); }
TGvItem* TGvGroups::FirstVisibleItem() const {
    return FirstItemWhere(this, true, [](TGvItem* i) { return i->GetVisible(); });
}
TGvItem* TGvGroups::FirstInitializedItem() const {
    return FirstItemWhere(this, true, [](TGvItem* i) { return i->GetInitialized(); });
}
TGvItem* TGvGroups::LastItem() const { return FirstItemWhere(this, false, [](TGvItem*) { return true; }); }
TGvItem* TGvGroups::LastVisibleItem() const {
    return FirstItemWhere(this, false, [](TGvItem* i) { return i->GetVisible(); });
}
TGvItem* TGvGroups::LastInitializedItem() const {
    return FirstItemWhere(this, false, [](TGvItem* i) { return i->GetInitialized(); });
}

TGvItem* TGvGroups::FirstInGroup(TGvGroup* Group) const {
    if (!Group || Group->ItemCount() == 0) return nullptr;
    return Group->GetItem(0);
}

TGvItem* TGvGroups::FirstVisibleInGroup(TGvGroup* Group) const {
    if (!Group) return nullptr;
    for (int i = 0; i < Group->ItemCount(); ++i)
        if (Group->GetItem(i)->GetVisible()) return Group->GetItem(i);
    return nullptr;
}

TGvItem* TGvGroups::SearchItem(TGvItem* Item, TGvItemSearch Mode, bool Forward) const {
    if (!Item) return nullptr;
    TGvGroup* group = Item->OwnerGroup();
    if (!group) return nullptr;
    int gi = group->GetIndex();
    if (gi < 0) return nullptr;
    int ii = Item->GetIndex() + (Forward ? 1 : -1);
    const int step = Forward ? 1 : -1;
    while (gi >= 0 && gi < GetCount()) {
        TGvGroup* g = GetGroups(gi);
        if (g->GetExpanded() && g->GetEnabled()) {
            const int n = g->ItemCount();
            for (; Forward ? ii < n : ii >= 0; ii += step) {
                if (ii < 0 || ii >= n) continue;
                TGvItem* candidate = g->GetItem(ii);
                if (ItemQualifies(candidate, Mode)) return candidate;
            }
        }
        gi += step;
        if (gi >= 0 && gi < GetCount()) ii = Forward ? 0 : GetGroups(gi)->ItemCount() - 1;
    }
    return nullptr;
}

TGvItem* TGvGroups::NextItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Any, true); }
TGvItem* TGvGroups::PrevItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Any, false); }
TGvItem* TGvGroups::NextVisibleItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Visible, true); }
TGvItem* TGvGroups::PrevVisibleItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Visible, false); }
TGvItem* TGvGroups::NextInitializedItem(TGvItem* Item) const {
    return SearchItem(Item, TGvItemSearch::Initialized, true);
}
TGvItem* TGvGroups::PrevInitializedItem(TGvItem* Item) const {
    return SearchItem(Item, TGvItemSearch::Initialized, false);
}
TGvItem* TGvGroups::NextEditableItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Editable, true); }
TGvItem* TGvGroups::PrevEditableItem(TGvItem* Item) const { return SearchItem(Item, TGvItemSearch::Editable, false); }

TGvItem* TGvGroups::NextVisibleInGroup(TGvGroup* Group, TGvItem* Item) const {
    if (!Group || !Item || Item->OwnerGroup() != Group) return nullptr;
    for (int i = Item->GetIndex() + 1; i < Group->ItemCount(); ++i)
        if (Group->GetItem(i)->GetVisible()) return Group->GetItem(i);
    return nullptr;
}

TGvGroup* TGvGroups::GroupByPoint(TPoint ViewPoint) const {
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        if (g->GetVisible() && g->GetEnabled() && gcl::PtInRect(g->GetDisplayRect(), ViewPoint)) return g;
    }
    return nullptr;
}

TGvItem* TGvGroups::ItemByPoint(TPoint ViewPoint) const {
    TGvGroup* group = GroupByPoint(ViewPoint);
    return group ? group->ItemByPoint(ViewPoint) : nullptr;
}

TGvGroup* TGvGroups::FirstGroupInRect(const TRect& ViewRect) const {
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        if (g->GetVisible() && Intersects(g->GetDisplayRect(), ViewRect)) return g;
    }
    return nullptr;
}

TGvGroup* TGvGroups::NextGroupInRect(TGvGroup* Group, const TRect& ViewRect) const {
    for (TGvGroup* g = NextGroup(Group); g; g = NextGroup(g)) {
        if (!g->GetVisible()) continue;
        return Intersects(g->GetDisplayRect(), ViewRect) ? g : nullptr;
    }
    return nullptr;
}

namespace {
TRect ItemTestRect(TGvItem* item, TCustomGvListview* lv) {
    TRect r = item->GetDisplayRect();
    if (lv && lv->GetView() == elsReport && lv->GetHeader()) {
        const TRect header = lv->GetHeader()->GetHeaderRect();
        r.Left = header.Left;
        r.Right = header.Right;
    }
    return r;
}
} // namespace

TGvItem* TGvGroups::FirstItemInRect(const TRect& ViewRect) const {
    TCustomGvListview* lv = GetOwnerListview();
    for (TGvGroup* g = FirstGroupInRect(ViewRect); g; g = NextGroupInRect(g, ViewRect)) {
        if (!g->GetExpanded() || g->ItemCount() == 0) continue;
        for (int i = 0; i < g->ItemCount(); ++i) {
            TGvItem* item = g->GetItem(i);
            if (item->GetVisible() && Intersects(ItemTestRect(item, lv), ViewRect)) return item;
        }
    }
    return nullptr;
}

TGvItem* TGvGroups::NextItemInRect(TGvItem* Item, const TRect& ViewRect) const {
    if (!Item || !Item->OwnerGroup()) return nullptr;
    TCustomGvListview* lv = GetOwnerListview();
    const bool report = lv && lv->GetView() == elsReport;
    const bool horizontal = lv && !ScrollsVertically(lv->GetView());
    TGvGroup* g = Item->OwnerGroup();
    int start = Item->GetIndex() + 1;
    while (g) {
        if (g->GetExpanded()) {
            for (int i = start; i < g->ItemCount(); ++i) {
                TGvItem* item = g->GetItem(i);
                if (!item->GetVisible()) continue;
                const TRect r = ItemTestRect(item, lv);
                if (Intersects(r, ViewRect)) return item;
                if (report) return nullptr;
                const bool beyond = horizontal ? r.Left > ViewRect.Right : r.Top > ViewRect.Bottom;
                if (beyond) return nullptr;
            }
        }
        g = NextGroupInRect(g, ViewRect);
        start = 0;
    }
    return nullptr;
}

int TGvGroups::CellHeight() const {
    TCustomGvListview* lv = GetOwnerListview();
    if (GetCount() == 0 || !lv || !lv->GetCellSizes()) return 0;
    return lv->GetCellSizes()->ForView(lv->GetView())->GetHeight();
}

int TGvGroups::CellWidth() const {
    TCustomGvListview* lv = GetOwnerListview();
    if (GetCount() == 0 || !lv || !lv->GetCellSizes()) return 0;
    return lv->GetCellSizes()->ForView(lv->GetView())->GetWidth();
}

void TGvGroups::GetViewRect(TRect& R) const {
    R = TRect{};
    if (TGvGroup* g = LastVisibleGroup()) {
        const TRect d = g->GetDisplayRect();
        R = TRect{0, 0, d.Right, d.Bottom};
    }
}

void TGvGroups::ExpandAll() {
    TListviewUpdate update(GetOwnerListview());
    for (int i = 0; i < GetCount(); ++i) GetGroups(i)->SetExpanded(true);
}

void TGvGroups::MakeAllVisible() {
    TListviewUpdate update(GetOwnerListview());
    for (int i = 0; i < GetCount(); ++i) {
        TGvGroup* g = GetGroups(i);
        g->SetVisible(true);
        for (int j = 0; j < g->ItemCount(); ++j) g->GetItem(j)->SetVisible(true);
    }
}

void TGvGroups::InvalidateGroup(TGvGroup* Group, bool ImmediateUpdate) {
    if (Group) Group->Invalidate(ImmediateUpdate);
}

void TGvGroups::Rebuild(bool Force) {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || FRebuilding) return;
    if (!(lv->GetUpdateCount() == 0 || Force)) return;
    if (lv->IsLoading() || lv->IsDestroying() || !lv->HandleAllocated()) return;
    FRebuilding = true;
    try {
        std::vector<TGvCollectionItem*>& visible = VisibleList();
        visible.clear();
        visible.reserve(static_cast<size_t>(GetCount()));
        if (lv->GetHeader()) lv->GetHeader()->Rebuild(Force);
        TRect view{};
        int nextVisibleIndex = 0;
        TGvGroup* previous = nullptr;
        for (int i = 0; i < GetCount(); ++i) {
            TGvGroup* g = GetGroups(i);
            if (g->GetVisible()) {
                g->SetVisibleIndex(static_cast<int>(visible.size()));
                visible.push_back(g);
            } else {
                g->SetVisibleIndex(-1);
            }
            g->RebuildLayout(previous, nextVisibleIndex);
            gcl::UnionRect(view, view, g->GetDisplayRect());
            view.Left = 0;
            view.Top = 0;
            if (g->GetItems()) g->GetItems()->ReIndexItems(false);
            previous = g;
        }
        if (lv->GetSelection() && lv->GetSelection()->GetGroupSelections())
            lv->GetSelection()->BuildSelectionGroupings(false);
        if (lv->GetScrollbars()) {
            lv->GetScrollbars()->SetViewRect(view, true);
            lv->GetScrollbars()->ReCalculateScrollbars(true, false);
        }
    } catch (...) {
        FRebuilding = false;
        throw;
    }
    FRebuilding = false;
}

void TGvGroups::LoadFromStream(TStream& S) {
    if (FStreamGroups) ReadItems(S);
}

void TGvGroups::SaveToStream(TStream& S) {
    if (FStreamGroups) WriteItems(S);
}

void TGvGroups::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying()) return;
    Rebuild(false);
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
    std::vector<TGvColumn*> columns;
    for (int i = 0; i < GetCount(); ++i) {
        TGvColumn* column = GetColumns(i);
        if (column->FWidth < 0) column->FWidth = 0;
        columns.push_back(column);
    }
    std::stable_sort(columns.begin(), columns.end(),
                     [](TGvColumn* a, TGvColumn* b) { return a->FPosition < b->FPosition; });
    for (size_t i = 0; i < columns.size(); ++i) columns[i]->FPosition = static_cast<int>(i);
    TCustomGvListview* lv = GetOwnerListview();
    if (lv && lv->GetHeader()) lv->GetHeader()->Rebuild(false);
}

void TGvColumns::DoStructureChange() {
    TCustomGvListview* lv = GetOwnerListview();
    if (!lv || lv->IsDestroying()) return;
    if (lv->GetHeader()) lv->GetHeader()->Rebuild(false);
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
// The image list size that a view style shows.
int ImageSizeOfView(TGvListStyle view) {
    switch (view) {
    case elsIcon:
    case elsTile:
        return 1;
    case elsThumbnail:
    case elsFilmStrip:
        return 2;
    default:
        return 0;
    }
}
} // namespace

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
    if (!lv || !lv->HandleAllocated() || !lv->GetScrollbars()) return;
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
            lv->SafeInvalidateRect(nullptr, false);
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
        if (selection && selection->GetGroupSelections()) lv->SafeInvalidateRect(nullptr, false);
    }
}

void TGvItem::SelectionRepaint(bool Losing) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || (Losing && IsDestroying())) return;
    TGvSelectionManager* selection = lv->GetSelection();
    if (selection && selection->GetGroupSelections()) {
        selection->BuildSelectionGroupings(false);
        lv->SafeInvalidateRect(nullptr, false);
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

TGvItemStored::TGvItemStored(TGvCollection* ACollection)
    : TGvItem(ACollection), FDataHelper(std::make_unique<TGvItemDynamicDataHelper>()) {}

std::wstring TGvItemStored::GetCaptions(int Column) const { return FDataHelper->GetCaption(Column); }
void TGvItemStored::SetCaptions(int Column, const std::wstring& Value) {
    FDataHelper->SetCaption(Column, Value);
    Invalidate(false);
}
int TGvItemStored::GetImageIndexes(int Column) const { return FDataHelper->GetImageIndex(Column); }
void TGvItemStored::SetImageIndexes(int Column, int Value) {
    FDataHelper->SetImageIndex(Column, Value);
    Invalidate(false);
}
int TGvItemStored::GetImageOverlayIndexes(int Column) const { return FDataHelper->GetOverlayIndex(Column); }
void TGvItemStored::SetImageOverlayIndexes(int Column, int Value) {
    FDataHelper->SetOverlayIndex(Column, Value);
    Invalidate(false);
}
int TGvItemStored::GetStateImageIndexes(int Column) const { return FDataHelper->GetStateImageIndex(Column); }
void TGvItemStored::SetStateImageIndexes(int Column, int Value) {
    FDataHelper->SetStateImageIndex(Column, Value);
    Invalidate(false);
}
int TGvItemStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoItem() ? lv->GetPaintInfoItem()->GetTileDetailCount() : 0;
}
void TGvItemStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoItem()) lv->GetPaintInfoItem()->SetTileDetailCount(Value);
}
int TGvItemStored::GetDetails(int Line) const { return FDataHelper->GetDetail(Line); }
void TGvItemStored::SetDetails(int Line, int Value) {
    FDataHelper->SetDetail(Line, Value);
    Invalidate(false);
}
uint32_t TGvItemStored::GetGroupKey(int Column) const { return FDataHelper->GetGroupKey(Column); }
void TGvItemStored::SetGroupKey(int Column, uint32_t Key) { FDataHelper->SetGroupKey(Column, Key); }

void TGvItemStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper->LoadFromStream(S, Version);
}

void TGvItemStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper->SaveToStream(S, Version);
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

namespace {
// The interface I of an object's data object, or null.
template <class I>
gcl::ComPtr<I> DataInterface(const TGvCollectionItem* item) {
    gcl::ComPtr<I> result;
    if (gcl::IUnknown* data = item->GetDataInf()) gcl::Supports(data, result);
    return result;
}

std::wstring InterfacedCaption(const TGvCollectionItem* item, int column) {
    if (auto captions = DataInterface<IGvCaptions>(item)) return captions->GetCaption(column).ToWide();
    if (auto captions = DataInterface<IGvCaptionsEditable>(item)) return captions->GetCaption(column).ToWide();
    return std::wstring();
}
void InterfacedSetCaption(const TGvCollectionItem* item, int column, const std::wstring& value) {
    if (auto captions = DataInterface<IGvCaptionsEditable>(item)) captions->SetCaption(column, gcl::TVariant(value));
}
int InterfacedImage(const TGvCollectionItem* item, int column, TGvImageKind kind) {
    if (auto images = DataInterface<IGvImages>(item)) return images->GetImageIndex(column, kind);
    if (auto images = DataInterface<IGvImagesEditable>(item)) return images->GetImageIndex(column, kind);
    return -1;
}
void InterfacedSetImage(const TGvCollectionItem* item, int column, TGvImageKind kind, int value) {
    if (auto images = DataInterface<IGvImagesEditable>(item)) images->SetImageIndex(column, kind, value);
}
gcl::TCustomImageList* InterfacedImageList(const TGvCollectionItem* item, int column, gcl::TCustomImageList* fallback) {
    gcl::TCustomImageList* list = nullptr;
    if (auto lists = DataInterface<IGvImageList>(item)) list = lists->GetImageList(column);
    return list ? list : fallback;
}
int InterfacedDetailCount(const TGvCollectionItem* item) {
    if (auto details = DataInterface<IGvDetails>(item)) return details->GetDetailCount();
    if (auto details = DataInterface<IGvDetailsEditable>(item)) return details->GetDetailCount();
    return 0;
}
int InterfacedDetail(const TGvCollectionItem* item, int line) {
    if (auto details = DataInterface<IGvDetails>(item)) return details->GetDetail(line);
    if (auto details = DataInterface<IGvDetailsEditable>(item)) return details->GetDetail(line);
    return 0;
}
void InterfacedSetDetail(const TGvCollectionItem* item, int line, int value) {
    if (auto details = DataInterface<IGvDetailsEditable>(item)) details->SetDetail(line, value);
}
void InterfacedSetDetailCount(const TGvCollectionItem* item, int value) {
    if (auto details = DataInterface<IGvDetailsEditable>(item)) details->SetDetailCount(value);
}
} // namespace

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
bool TGvItemInterfaced::GetChecked() const {
    if (auto checks = DataInterface<IGvChecks>(this)) return checks->GetChecked();
    return TGvItem::GetChecked();
}
void TGvItemInterfaced::SetChecked(bool Value) {
    TGvItem::SetChecked(Value);
    if (auto checks = DataInterface<IGvChecks>(this)) checks->SetChecked(TGvItem::GetChecked());
}

// ---- TGvGroup ------------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroup)

TGvGroup::TGvGroup(TGvCollection* ACollection)
    : TGvCollectionItem(ACollection),
      FItems(TGvItems::Create(ACollection ? ACollection->GetOwnerListview() : nullptr, this)) {}

TGvGroup::~TGvGroup() { gcl::Free(FItems); }

TGvItem* TGvGroup::GetItem(int Index) const { return FItems->GetItems(Index); }
int TGvGroup::ItemCount() const { return FItems ? FItems->GetCount() : 0; }

TGvItem* TGvGroup::VisibleItem(int Index) const {
    return Index >= 0 && Index < VisibleItemCount() ? FVisibleItems[static_cast<size_t>(Index)] : nullptr;
}

TGvItem* TGvGroup::ItemByPoint(TPoint ViewPoint) const {
    for (int i = 0; i < ItemCount(); ++i)
        if (gcl::PtInRect(GetItem(i)->GetDisplayRect(), ViewPoint)) return GetItem(i);
    return nullptr;
}

void TGvGroup::SetExpanded(bool Value) {
    if (Value == FExpanded) return;
    if (auto* info = dynamic_cast<TGvPaintInfoBaseGroup*>(PaintInfo()); info && !info->GetExpandable()) return;
    TCustomGvListview* lv = OwnerListview();
    TListviewUpdate update(lv);
    FExpanded = Value;
    if (lv) {
        if (Value)
            lv->DoGroupExpand(this);
        else
            lv->DoGroupCollapse(this);
        if (lv->GetGroups()) lv->GetGroups()->Rebuild(true);
    }
}

namespace {
struct TMarginSizes {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool LeftOn = false, TopOn = false, RightOn = false, BottomOn = false;
};
TMarginSizes MarginsOf(const TGvGroup* group) {
    TMarginSizes m;
    auto* info = dynamic_cast<TGvPaintInfoBaseGroup*>(group->PaintInfo());
    TCustomGvListview* lv = group->OwnerListview();
    if (!info || !lv || !lv->GetShowGroupMargins()) return m;
    m.Left = info->GetMarginLeft()->RuntimeSize();
    m.Top = info->GetMarginTop()->RuntimeSize();
    m.Right = info->GetMarginRight()->RuntimeSize();
    m.Bottom = info->GetMarginBottom()->RuntimeSize();
    m.LeftOn = info->GetMarginLeft()->GetVisible();
    m.TopOn = info->GetMarginTop()->GetVisible();
    m.RightOn = info->GetMarginRight()->GetVisible();
    m.BottomOn = info->GetMarginBottom()->GetVisible();
    return m;
}
} // namespace

TRect TGvGroup::MarginRectTop() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.TopOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left + m.Left, d.Top, d.Right - m.Right, d.Top + m.Top};
}

TRect TGvGroup::MarginRectBottom() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.BottomOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left + m.Left, d.Bottom - m.Bottom, d.Right - m.Right, d.Bottom};
}

TRect TGvGroup::MarginRectLeft() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.LeftOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Left, d.Top, d.Left + m.Left, d.Bottom};
}

TRect TGvGroup::MarginRectRight() const {
    const TMarginSizes m = MarginsOf(this);
    if (!m.RightOn) return {};
    const TRect d = GetDisplayRect();
    return TRect{d.Right - m.Right, d.Top, d.Right, d.Bottom};
}

TRect TGvGroup::ClientRect() const {
    const TMarginSizes m = MarginsOf(this);
    TRect r = GetDisplayRect();
    r.Left += m.Left;
    r.Top += m.Top;
    r.Right -= m.Right;
    r.Bottom -= m.Bottom;
    if (r.Top > r.Bottom) r.Bottom = r.Top;
    if (r.Left > r.Right) r.Right = r.Left;
    return r;
}

gcl::TCustomImageList* TGvGroup::DefaultImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetImagesGroup() : nullptr;
}

void TGvGroup::RebuildLayout(TGvGroup*, int& NextVisibleIndex) {
    FVisibleItems.clear();
    const bool shown = GetVisible() && FExpanded;
    for (int i = 0; i < ItemCount(); ++i) {
        TGvItem* item = GetItem(i);
        if (shown && item->GetVisible()) {
            item->SetVisibleIndex(NextVisibleIndex++);
            item->SetVisibleIndexInGroup(static_cast<int>(FVisibleItems.size()));
            FVisibleItems.push_back(item);
        } else {
            item->SetVisibleIndex(-1);
            item->SetVisibleIndexInGroup(-1);
        }
    }
}

bool TGvGroup::CanChangeSelection() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanging(this, allow);
    return allow;
}

bool TGvGroup::CanChangeVisibility() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanging(this, allow);
    return allow;
}

TGvPaintInfoBasic* TGvGroup::DefaultPaintInfo() const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetPaintInfoGroup() : nullptr;
}

void TGvGroup::Freeing() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupFreeing(this);
}

void TGvGroup::CheckGain() {
    for (int i = 0; i < ItemCount(); ++i)
        if (GetItem(i)->GetVisible()) GetItem(i)->SetChecked(true);
    Invalidate(false);
}

void TGvGroup::CheckLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetChecked(false);
    Invalidate(false);
}

void TGvGroup::EnableGain() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetEnabled(true);
    Invalidate(false);
}

void TGvGroup::EnableLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetEnabled(false);
    Invalidate(false);
}

void TGvGroup::HotTrackGain(TPoint MousePos) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupHotTrack(this, ehsEnable, MousePos);
    Invalidate(true);
}

void TGvGroup::HotTrackLose() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupHotTrack(this, ehsDisable, TPoint{});
    Invalidate(true);
}

void TGvGroup::Initialize() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupInitialize(this);
}

void TGvGroup::SelectionGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanged(this);
}

void TGvGroup::SelectionLose() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSelectionChanged(this);
}

void TGvGroup::VisibilityGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanged(this);
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetVisible(true);
}

void TGvGroup::VisibilityLose() {
    for (int i = 0; i < ItemCount(); ++i) GetItem(i)->SetVisible(false);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupVisibilityChanged(this);
}

void TGvGroup::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    if (FItems)
        FItems->Clear(true);
    else
        FItems = TGvItems::Create(OwnerListview(), this);
    FItems->ReadItems(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupLoadFromStream(this, S, Version);
}

void TGvGroup::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FItems->WriteItems(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSaveToStream(this, S, Version);
}

void TGvGroup::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    try {
        SetSelected(false);
        SetFocused(false);
    } catch (...) {
    }
    gcl::FreeAndNil(FItems);
    inherited::BeforeDestruction();
    FVisibleItems.clear();
}

// ---- Group kinds ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvGroupInterfaced)
GCL_IMPLEMENT_CLASS(TGvGroupVirtual)
GCL_IMPLEMENT_CLASS(TGvBaseGroupStored)

GCL_PUBLISHED(TGvGroupStored,
    GCL_PROP(Caption),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Cut).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Expanded).Default(true),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP_RO(Items),
    GCL_PROP(Tag).Default(0),
    GCL_PROP(Visible).Default(true))

GCL_PUBLISHED(TGvGroupTaskPanel,
    GCL_PROP(Caption),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Cut).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Expanded).Default(true),
    GCL_PROP(Height).Default(200),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(Tag).Default(0),
    GCL_PROP_RO(TaskWindowCreated),
    GCL_PROP(Visible).Default(true))

std::wstring TGvGroupInterfaced::GetCaptions(int Column) const { return InterfacedCaption(this, Column); }
void TGvGroupInterfaced::SetCaptions(int Column, const std::wstring& Value) { InterfacedSetCaption(this, Column, Value); }
int TGvGroupInterfaced::GetImageIndexes(int Column) const { return InterfacedImage(this, Column, eikNormal); }
void TGvGroupInterfaced::SetImageIndexes(int Column, int Value) { InterfacedSetImage(this, Column, eikNormal, Value); }
int TGvGroupInterfaced::GetImageOverlayIndexes(int Column) const { return InterfacedImage(this, Column, eikOverlay); }
void TGvGroupInterfaced::SetImageOverlayIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikOverlay, Value);
}
gcl::TCustomImageList* TGvGroupInterfaced::GetImageList(int Column) const {
    return InterfacedImageList(this, Column, DefaultImageList(0));
}
int TGvGroupInterfaced::GetDetailCount() const { return InterfacedDetailCount(this); }
void TGvGroupInterfaced::SetDetailCount(int Value) { InterfacedSetDetailCount(this, Value); }
int TGvGroupInterfaced::GetDetails(int Line) const { return InterfacedDetail(this, Line); }
void TGvGroupInterfaced::SetDetails(int Line, int Value) { InterfacedSetDetail(this, Line, Value); }

std::wstring TGvGroupVirtual::GetCaptions(int) const {
    std::wstring caption;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetCaption(const_cast<TGvGroupVirtual*>(this), caption);
    return caption;
}
void TGvGroupVirtual::SetCaptions(int, const std::wstring& Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetCaption(this, Value);
    Invalidate(false);
}
int TGvGroupVirtual::GetImageIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoGroupGetImageIndex(const_cast<TGvGroupVirtual*>(this), eikNormal, index);
    return index;
}
int TGvGroupVirtual::GetImageOverlayIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoGroupGetImageIndex(const_cast<TGvGroupVirtual*>(this), eikOverlay, index);
    return index;
}
void TGvGroupVirtual::SetImageIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetImageIndex(this, eikNormal, Value);
    Invalidate(false);
}
void TGvGroupVirtual::SetImageOverlayIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetImageIndex(this, eikOverlay, Value);
    Invalidate(false);
}
gcl::TCustomImageList* TGvGroupVirtual::GetImageList(int) const {
    gcl::TCustomImageList* list = nullptr;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetImageList(const_cast<TGvGroupVirtual*>(this), list);
    return list ? list : DefaultImageList(0);
}
int TGvGroupVirtual::GetDetailCount() const {
    int count = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetDetailCount(const_cast<TGvGroupVirtual*>(this), count);
    return count;
}
void TGvGroupVirtual::SetDetailCount(int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetDetailCount(this, Value);
}
int TGvGroupVirtual::GetDetails(int Line) const {
    int detail = 0;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupGetDetail(const_cast<TGvGroupVirtual*>(this), Line, detail);
    return detail;
}
void TGvGroupVirtual::SetDetails(int Line, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoGroupSetDetail(this, Line, Value);
    Invalidate(false);
}

TGvBaseGroupStored::TGvBaseGroupStored(TGvCollection* ACollection)
    : TGvGroup(ACollection), FDataHelper(std::make_unique<TGvDynamicDataHelper>()) {}

std::wstring TGvBaseGroupStored::GetCaptions(int Column) const { return FDataHelper->GetCaption(Column); }
void TGvBaseGroupStored::SetCaptions(int Column, const std::wstring& Value) {
    FDataHelper->SetCaption(Column, Value);
    Invalidate(false);
}
int TGvBaseGroupStored::GetImageIndexes(int Column) const { return FDataHelper->GetImageIndex(Column); }
void TGvBaseGroupStored::SetImageIndexes(int Column, int Value) {
    FDataHelper->SetImageIndex(Column, Value);
    Invalidate(false);
}
int TGvBaseGroupStored::GetImageOverlayIndexes(int Column) const { return FDataHelper->GetOverlayIndex(Column); }
void TGvBaseGroupStored::SetImageOverlayIndexes(int Column, int Value) {
    FDataHelper->SetOverlayIndex(Column, Value);
    Invalidate(false);
}
int TGvBaseGroupStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoGroup() ? lv->GetPaintInfoGroup()->GetCaptionLines() : 0;
}
void TGvBaseGroupStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoGroup()) lv->GetPaintInfoGroup()->SetCaptionLines(Value);
}
int TGvBaseGroupStored::GetDetails(int Line) const { return FDataHelper->GetDetail(Line); }
void TGvBaseGroupStored::SetDetails(int Line, int Value) {
    FDataHelper->SetDetail(Line, Value);
    Invalidate(false);
}

void TGvBaseGroupStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper->LoadFromStream(S, Version);
}

void TGvBaseGroupStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper->SaveToStream(S, Version);
}

void TGvGroupTaskPanel::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetGroups()) lv->GetGroups()->Rebuild(true);
}

void TGvGroupTaskPanel::SetTaskWindow(gcl::TWinControl* Value) {
    if (Value == FTaskWindow) return;
    gcl::Free(FTaskWindow);
    FTaskWindow = Value;
}

void TGvGroupTaskPanel::SetExpanded(bool Value) {
    inherited::SetExpanded(Value);
    if (FTaskWindow) FTaskWindow->SetHeight(GetExpanded() ? FHeight : 0);
}

void TGvGroupTaskPanel::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FHeight = ReadInt32(S);
}

void TGvGroupTaskPanel::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    WriteInt32(S, FHeight);
}

void TGvGroupTaskPanel::BeforeDestruction() noexcept {
    gcl::FreeAndNil(FTaskWindow);
    inherited::BeforeDestruction();
}

// ---- TGvColumnDropDownButton -----------------------------------------------------------------

GCL_PUBLISHED(TGvColumnDropDownButton,
    GCL_PROP(AlwaysShow).Default(false),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Visible).Default(false))

void TGvColumnDropDownButton::Repaint() {
    if (FOwner) FOwner->Invalidate(false);
}

void TGvColumnDropDownButton::SetAlwaysShow(bool Value) {
    if (Value == FAlwaysShow) return;
    FAlwaysShow = Value;
    Repaint();
}

void TGvColumnDropDownButton::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Repaint();
}

void TGvColumnDropDownButton::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Repaint();
}

// ---- TGvColumn ---------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvColumn)

TGvColumn::TGvColumn(TGvCollection* ACollection)
    : TGvCollectionItem(ACollection),
      FDropDownButton(std::make_unique<TGvColumnDropDownButton>(this)),
      FPosition(ACollection ? ACollection->GetCount() : 0) {}

TGvColumn::~TGvColumn() = default;

void TGvColumn::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate(false);
}

gcl::TColor TGvColumn::GetColor() const {
    auto* info = dynamic_cast<TGvPaintInfoBaseColumn*>(PaintInfo());
    return info ? info->GetColor() : gcl::clBtnFace;
}

void TGvColumn::SetColor(gcl::TColor Value) {
    if (auto* info = dynamic_cast<TGvPaintInfoBaseColumn*>(PaintInfo())) info->SetColor(Value);
}

void TGvColumn::SetPosition(int Value) {
    TGvCollection* columns = GetCollection();
    const int count = columns ? columns->GetCount() : 1;
    Value = std::clamp(Value, 0, std::max(count - 1, 0));
    if (count <= 1) {
        FPosition = 0;
        return;
    }
    const int oldPosition = FPosition;
    for (int i = 0; i < count; ++i) {
        auto* column = static_cast<TGvColumn*>(columns->GetItems(i));
        if (Value <= oldPosition) {
            if (column->FPosition >= Value && column->FPosition <= oldPosition) ++column->FPosition;
        } else if (column->FPosition >= oldPosition && column->FPosition <= Value) {
            --column->FPosition;
        }
    }
    FPosition = Value;
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetHeader()) {
        lv->GetHeader()->Rebuild(false);
        lv->GetHeader()->Invalidate(false);
    }
}

void TGvColumn::SetSortDirection(TGvSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    if (lv->GetHeader()) lv->GetHeader()->Invalidate(false);
    if (Value != esdNone) {
        if (lv->GetSelection()) lv->GetSelection()->SetFocusedColumn(this);
        if (lv->GetSort() && lv->GetSort()->GetAutoSort()) lv->GetSort()->SortAll(false);
    }
}

void TGvColumn::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    TCustomGvListview* lv = OwnerListview();
    if (!lv || !lv->GetHeader()) return;
    lv->GetHeader()->Rebuild(false);
    if (lv->GetView() == elsReport && lv->GetScrollbars()) {
        TRect r = lv->GetScrollbars()->GetViewRect();
        r.Right = lv->GetHeader()->GetHeaderRect().Right;
        lv->GetScrollbars()->SetViewRect(r, true);
    }
}

void TGvColumn::Invalidate(bool ImmediateUpdate) {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || lv->GetUpdateCount() > 0 || !lv->HandleAllocated() || !lv->GetHeader()) return;
    TRect strip{0, 0, ClientRectOf(lv).Width(), lv->GetHeader()->GetHeight()};
    lv->SafeInvalidateRect(&strip, ImmediateUpdate);
}

void TGvColumn::MakeVisible(TGvMakeVisiblePos Position) {
    TCustomGvListview* lv = OwnerListview();
    if (!GetVisible() || !lv || !lv->GetScrollbars()) return;
    TGvScrollbarManager* bars = lv->GetScrollbars();
    const int visibleWidth = ClientRectOf(lv).Width();
    const int left = bars->GetOffsetX();
    const TRect r = GetDisplayRect();
    if (r.Left >= left && r.Right <= left + visibleWidth) return;
    switch (Position) {
    case emvMiddle:
        if (visibleWidth > r.Width())
            bars->SetOffsetX(r.Left - (visibleWidth - r.Width()) / 2);
        else
            bars->SetOffsetX(r.Left);
        break;
    default:
        // The column's left edge becomes the view's left edge, whichever
        // side the column lies off.
        bars->SetOffsetX(r.Left);
        break;
    }
}

gcl::TCustomImageList* TGvColumn::DefaultImageList(int) const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetHeader() ? lv->GetHeader()->GetImages() : nullptr;
}

void TGvColumn::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FAlignment = ReadEnum(S, taLeftJustify);
    FAutoSizeOnDblClk = ReadByte(S) != 0;
    if (Version > 1) FAutoSortOnClick = ReadByte(S) != 0;
    FAutoSpring = ReadByte(S) != 0;
    FAutoToggleSortGlyph = ReadByte(S) != 0;
    FPosition = ReadInt32(S);
    FSortDirection = ReadEnum(S, esdNone);
    FStreamByte = ReadByte(S);
    FClickable = ReadByte(S) != 0;
    FWidth = ReadInt32(S);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnLoadFromStream(this, S, Version);
}

void TGvColumn::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    WriteByte(S, static_cast<uint8_t>(FAlignment));
    WriteByte(S, FAutoSizeOnDblClk ? 1 : 0);
    WriteByte(S, FAutoSortOnClick ? 1 : 0);
    WriteByte(S, FAutoSpring ? 1 : 0);
    WriteByte(S, FAutoToggleSortGlyph ? 1 : 0);
    WriteInt32(S, FPosition);
    WriteByte(S, static_cast<uint8_t>(FSortDirection));
    WriteByte(S, FStreamByte);
    WriteByte(S, FClickable ? 1 : 0);
    WriteInt32(S, FWidth);
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSaveToStream(this, S, Version);
}

bool TGvColumn::CanChangeCheck() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnCheckChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeEnable() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnEnableChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeFocus() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFocusChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeSelection() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSelectionChanging(this, allow);
    return allow;
}

bool TGvColumn::CanChangeVisibility() {
    bool allow = true;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnVisibilityChanging(this, allow);
    return allow;
}

TGvPaintInfoBasic* TGvColumn::DefaultPaintInfo() const {
    TCustomGvListview* lv = OwnerListview();
    return lv ? lv->GetPaintInfoColumn() : nullptr;
}

void TGvColumn::Freeing() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFreeing(this);
}

void TGvColumn::CheckGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnCheckChanged(this);
}
void TGvColumn::CheckLose() { CheckGain(); }
void TGvColumn::EnableGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnEnableChanged(this);
}
void TGvColumn::EnableLose() { EnableGain(); }
void TGvColumn::FocusGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnFocusChanged(this);
}
void TGvColumn::FocusLose() { FocusGain(); }
void TGvColumn::SelectionGain() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSelectionChanged(this);
}
void TGvColumn::SelectionLose() { SelectionGain(); }
void TGvColumn::Initialize() {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnInitialize(this);
}

void TGvColumn::VisibilityChanged() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv) return;
    TListviewUpdate update(lv, false);
    lv->DoColumnVisibilityChanged(this);
}
void TGvColumn::VisibilityGain() { VisibilityChanged(); }
void TGvColumn::VisibilityLose() { VisibilityChanged(); }

void TGvColumn::BeforeDestruction() noexcept {
    SetStateBit(esosDestroying, true);
    if (TCustomGvListview* lv = OwnerListview()) {
        if (TGvSelectionManager* selection = lv->GetSelection())
            if (selection->FFocusedColumn == this) selection->FFocusedColumn = nullptr;
        if (TGvHeader* header = lv->GetHeader()) {
            auto& positions = header->FPositions;
            positions.erase(std::remove(positions.begin(), positions.end(), this), positions.end());
        }
    }
    inherited::BeforeDestruction();
}

// ---- Column kinds ----------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvColumnInterfaced)
GCL_IMPLEMENT_CLASS(TGvColumnVirtual)

GCL_PUBLISHED(TGvColumnStored,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(AutoSizeOnDblClk).Default(true),
    GCL_PROP(AutoSortOnClick).Default(false),
    GCL_PROP(AutoSpring).Default(false),
    GCL_PROP(AutoToggleSortGlyph).Default(true),
    GCL_PROP(Bold).Default(false),
    GCL_PROP(Caption),
    GCL_PROP(Checked).Default(false),
    GCL_PROP(Clickable).Default(true),
    GCL_PROP(Color).Idents(gcl::ColorIdents),
    GCL_PROP_RO(DropDownButton),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(ImageIndex).Default(-1),
    GCL_PROP(ImageOverlayIndex).Default(-1),
    GCL_PROP(Position),
    GCL_PROP(Selected).Default(false),
    GCL_PROP(SortDirection).Default(esdNone),
    GCL_PROP(Width).Default(50),
    GCL_PROP(Visible).Default(true))

std::wstring TGvColumnInterfaced::GetCaptions(int Column) const { return InterfacedCaption(this, Column); }
void TGvColumnInterfaced::SetCaptions(int Column, const std::wstring& Value) {
    InterfacedSetCaption(this, Column, Value);
}
int TGvColumnInterfaced::GetImageIndexes(int Column) const { return InterfacedImage(this, Column, eikNormal); }
void TGvColumnInterfaced::SetImageIndexes(int Column, int Value) { InterfacedSetImage(this, Column, eikNormal, Value); }
int TGvColumnInterfaced::GetImageOverlayIndexes(int Column) const { return InterfacedImage(this, Column, eikOverlay); }
void TGvColumnInterfaced::SetImageOverlayIndexes(int Column, int Value) {
    InterfacedSetImage(this, Column, eikOverlay, Value);
}
gcl::TCustomImageList* TGvColumnInterfaced::GetImageList(int Column) const {
    return InterfacedImageList(this, Column, DefaultImageList(0));
}
int TGvColumnInterfaced::GetDetailCount() const { return InterfacedDetailCount(this); }
void TGvColumnInterfaced::SetDetailCount(int Value) { InterfacedSetDetailCount(this, Value); }
int TGvColumnInterfaced::GetDetails(int Line) const { return InterfacedDetail(this, Line); }
void TGvColumnInterfaced::SetDetails(int Line, int Value) { InterfacedSetDetail(this, Line, Value); }

TGvColumnStored::TGvColumnStored(TGvCollection* ACollection)
    : TGvColumn(ACollection), FDataHelper(std::make_unique<TGvDynamicDataHelper>()) {}

std::wstring TGvColumnStored::GetCaptions(int Column) const { return FDataHelper->GetCaption(Column); }
void TGvColumnStored::SetCaptions(int Column, const std::wstring& Value) {
    FDataHelper->SetCaption(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetImageIndexes(int Column) const { return FDataHelper->GetImageIndex(Column); }
void TGvColumnStored::SetImageIndexes(int Column, int Value) {
    FDataHelper->SetImageIndex(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetImageOverlayIndexes(int Column) const { return FDataHelper->GetOverlayIndex(Column); }
void TGvColumnStored::SetImageOverlayIndexes(int Column, int Value) {
    FDataHelper->SetOverlayIndex(Column, Value);
    Invalidate(false);
}
int TGvColumnStored::GetDetailCount() const {
    TCustomGvListview* lv = OwnerListview();
    return lv && lv->GetPaintInfoColumn() ? lv->GetPaintInfoColumn()->GetCaptionLines() : 0;
}
void TGvColumnStored::SetDetailCount(int Value) {
    TCustomGvListview* lv = OwnerListview();
    if (lv && lv->GetPaintInfoColumn()) lv->GetPaintInfoColumn()->SetCaptionLines(Value);
}
int TGvColumnStored::GetDetails(int Line) const { return FDataHelper->GetDetail(Line); }
void TGvColumnStored::SetDetails(int Line, int Value) {
    FDataHelper->SetDetail(Line, Value);
    Invalidate(false);
}

void TGvColumnStored::LoadFromStream(TStream& S, int& Version) {
    inherited::LoadFromStream(S, Version);
    FDataHelper->LoadFromStream(S, Version);
}

void TGvColumnStored::SaveToStream(TStream& S, int Version) {
    inherited::SaveToStream(S, Version);
    FDataHelper->SaveToStream(S, Version);
}

std::wstring TGvColumnVirtual::GetCaptions(int Column) const {
    std::wstring caption;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetCaption(const_cast<TGvColumnVirtual*>(this), Column, caption);
    return caption;
}
void TGvColumnVirtual::SetCaptions(int, const std::wstring& Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetCaption(this, Value);
    Invalidate(false);
}
int TGvColumnVirtual::GetImageIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetImageIndex(const_cast<TGvColumnVirtual*>(this), eikNormal, index);
    return index;
}
int TGvColumnVirtual::GetImageOverlayIndexes(int) const {
    int index = -1;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetImageIndex(const_cast<TGvColumnVirtual*>(this), eikOverlay, index);
    return index;
}
void TGvColumnVirtual::SetImageIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetImageIndex(this, eikNormal, Value);
    Invalidate(false);
}
void TGvColumnVirtual::SetImageOverlayIndexes(int, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetImageIndex(this, eikOverlay, Value);
    Invalidate(false);
}
gcl::TCustomImageList* TGvColumnVirtual::GetImageList(int) const {
    gcl::TCustomImageList* list = nullptr;
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnGetImageList(const_cast<TGvColumnVirtual*>(this), list);
    return list ? list : DefaultImageList(0);
}
int TGvColumnVirtual::GetDetailCount() const {
    int count = 0;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetDetailCount(const_cast<TGvColumnVirtual*>(this), count);
    return count;
}
void TGvColumnVirtual::SetDetailCount(int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetDetailCount(this, Value);
}
int TGvColumnVirtual::GetDetails(int Line) const {
    int detail = 0;
    if (TCustomGvListview* lv = OwnerListview())
        lv->DoColumnGetDetail(const_cast<TGvColumnVirtual*>(this), Line, detail);
    return detail;
}
void TGvColumnVirtual::SetDetails(int Line, int Value) {
    if (TCustomGvListview* lv = OwnerListview()) lv->DoColumnSetDetail(this, Line, Value);
    Invalidate(false);
}

// ---- TGvHeader -------------------------------------------------------------------------------

GCL_PUBLISHED(TGvHeader,
    GCL_PROP(AutoSizeHeight).Default(true),
    GCL_PROP(AutoSizeHeightMargin).Default(8),
    GCL_PROP(Color).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP_RO(Columns),
    GCL_PROP(Draggable).Default(true),
    GCL_PROP(FixedSingleColumn).Default(false),
    GCL_PROP(Font),
    gcl::Prop<&TGvHeader::GetNominalHeight, &TGvHeader::SetHeight>("Height").Default(21),
    GCL_PROP(Images),
    GCL_PROP(ShowInAllViews).Default(false),
    GCL_PROP(Sizeable).Default(true),
    GCL_PROP(Visible).Default(false))

TGvHeader::TGvHeader(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner), FColumns(TGvColumns::Create(AOwner)), FFont(std::make_unique<gcl::TFont>()) {}

TGvHeader::~TGvHeader() { gcl::Free(FColumns); }

void TGvHeader::BeforeDestruction() noexcept {
    gcl::FreeAndNil(FColumns);
    FPositions.clear();
    inherited::BeforeDestruction();
}

TGvColumn* TGvHeader::FirstColumn() const {
    return FColumns && FColumns->GetCount() > 0 ? FColumns->GetColumns(0) : nullptr;
}

TGvColumn* TGvHeader::LastColumn() const {
    return FColumns && FColumns->GetCount() > 0 ? FColumns->GetColumns(FColumns->GetCount() - 1) : nullptr;
}

TGvColumn* TGvHeader::NextColumn(TGvColumn* Column) const {
    if (!Column || !FColumns) return nullptr;
    const int i = Column->GetIndex() + 1;
    return i > 0 && i < FColumns->GetCount() ? FColumns->GetColumns(i) : nullptr;
}

TGvColumn* TGvHeader::PrevColumn(TGvColumn* Column) const {
    if (!Column || !FColumns) return nullptr;
    const int i = Column->GetIndex() - 1;
    return i >= 0 && i < FColumns->GetCount() ? FColumns->GetColumns(i) : nullptr;
}

TGvColumn* TGvHeader::FirstVisibleColumn() const {
    TGvColumn* column = FirstColumn();
    while (column && !column->GetVisible()) column = NextColumn(column);
    return column;
}

TGvColumn* TGvHeader::LastVisibleColumn() const {
    TGvColumn* column = LastColumn();
    while (column && !column->GetVisible()) column = PrevColumn(column);
    return column;
}

TGvColumn* TGvHeader::NextVisibleColumn(TGvColumn* Column) const {
    TGvColumn* column = NextColumn(Column);
    while (column && !column->GetVisible()) column = NextColumn(column);
    return column;
}

TGvColumn* TGvHeader::PrevVisibleColumn(TGvColumn* Column) const {
    TGvColumn* column = PrevColumn(Column);
    while (column && !column->GetVisible()) column = PrevColumn(column);
    return column;
}

TGvColumn* TGvHeader::FirstColumnByPosition() const { return FPositions.empty() ? nullptr : FPositions.front(); }
TGvColumn* TGvHeader::LastColumnByPosition() const { return FPositions.empty() ? nullptr : FPositions.back(); }

void TGvHeader::ClearLists() {
    FPositions.clear();
    if (FColumns) FColumns->VisibleList().clear();
}

namespace {
void RebuildLayoutOf(TCustomGvListview* lv) {
    if (lv && lv->GetGroups()) lv->GetGroups()->Rebuild(false);
}
} // namespace

void TGvHeader::SetAutoSizeHeight(bool Value) {
    if (Value == FAutoSizeHeight) return;
    FAutoSizeHeight = Value;
    RebuildLayoutOf(FOwnerListview);
}

void TGvHeader::SetAutoSizeHeightMargin(int Value) {
    if (!FAutoSizeHeight) return;
    if (Value < 0) Value = 0;
    if (Value == FAutoSizeHeightMargin) return;
    FAutoSizeHeightMargin = Value;
    RebuildLayoutOf(FOwnerListview);
}

void TGvHeader::SetColor(gcl::TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Invalidate(false);
}

void TGvHeader::SetFixedSingleColumn(bool Value) {
    if (Value == FFixedSingleColumn) return;
    FFixedSingleColumn = Value;
    RebuildLayoutOf(FOwnerListview);
}

int TGvHeader::GetHeight() const {
    if (!FAutoSizeHeight) return FHeight;
    int textHeight = 0;
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, FFont->GetHandle());
        TEXTMETRICA tm{};
        if (GetTextMetricsA(dc, &tm)) textHeight = tm.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    const int fitted = textHeight + FAutoSizeHeightMargin;
    return fitted > FHeight ? fitted : FHeight;
}

void TGvHeader::SetHeight(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FHeight) return;
    FHeight = Value;
    RebuildLayoutOf(FOwnerListview);
}

void TGvHeader::SetImages(gcl::TCustomImageList* Value) {
    if (Value == FImages.Get()) return;
    FImages = Value;
    RepaintListview(FOwnerListview);
}

void TGvHeader::SetShowInAllViews(bool Value) {
    if (Value == FShowInAllViews) return;
    FShowInAllViews = Value;
    RebuildLayoutOf(FOwnerListview);
}

void TGvHeader::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    RebuildLayoutOf(FOwnerListview);
}

bool TGvHeader::Shown() const {
    if (!FVisible || !FOwnerListview) return false;
    const TGvListStyle view = FOwnerListview->GetView();
    return view == elsReport || view == elsGrid || FShowInAllViews;
}

int TGvHeader::RuntimeHeight() const { return Shown() ? GetHeight() : 0; }

TRect TGvHeader::DisplayRect() const { return TRect{0, 0, ClientRectOf(FOwnerListview).Width(), RuntimeHeight()}; }

bool TGvHeader::FollowsHorizontalScroll() const {
    return !(FShowInAllViews && FOwnerListview && FOwnerListview->GetView() == elsList);
}

void TGvHeader::Rebuild(bool Force) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !FColumns) return;
    if (!Force && (lv->GetUpdateCount() > 0 || lv->IsLoading() || !lv->HandleAllocated())) return;
    ClearLists();
    for (int i = 0; i < FColumns->GetCount(); ++i) FPositions.push_back(FColumns->GetColumns(i));
    std::stable_sort(FPositions.begin(), FPositions.end(),
                     [](TGvColumn* a, TGvColumn* b) { return a->FPosition < b->FPosition; });
    for (size_t i = 0; i < FPositions.size(); ++i) FPositions[i]->FPosition = static_cast<int>(i);
    const int clientWidth = lv->HandleAllocated() ? ClientRectOf(lv).Width() : 0;
    for (int i = 0; i < FColumns->GetCount(); ++i) {
        TGvColumn* column = FColumns->GetColumns(i);
        if (!column->GetVisible()) continue;
        FColumns->VisibleList().push_back(column);
        if (FFixedSingleColumn) column->FWidth = clientWidth;
    }
    FHeaderRect = TRect{};
    const int height = GetHeight();
    TRect previous{};
    bool first = true;
    for (TGvColumn* column : FPositions) {
        const int width = column->GetVisible() ? column->FWidth : 0;
        TRect r = first ? TRect{0, 0, width, height}
                        : TRect{previous.Right, previous.Top, previous.Right + width, previous.Bottom};
        column->SetDisplayRect(r);
        gcl::UnionRect(FHeaderRect, FHeaderRect, r);
        previous = r;
        first = false;
    }
    if (FHeaderRect.Width() < clientWidth) {
        FHeaderRect.Left = 0;
        FHeaderRect.Right = clientWidth;
        FHeaderRect.Bottom = FHeaderRect.Top + height;
    }
}

void TGvHeader::Invalidate(bool ImmediateUpdate) {
    if (FOwnerListview && FOwnerListview->GetUpdateCount() == 0)
        FOwnerListview->SafeInvalidateRect(nullptr, ImmediateUpdate);
}

void TGvHeader::LoadFromStream(TStream& S) {
    if (FStreamColumns && FColumns) FColumns->ReadItems(S);
}

void TGvHeader::SaveToStream(TStream& S) {
    if (FStreamColumns && FColumns) FColumns->WriteItems(S);
}

// ---- TGvSelectionManager ---------------------------------------------------------------------

GCL_PUBLISHED(TGvSelectionManager,
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(FullRowSelect).Default(false),
    GCL_PROP(GroupSelections).Default(false),
    GCL_PROP(MultiSelect).Default(false),
    GCL_PROP(ResizeGroupOnFocus).Default(false))

TGvItem* TGvSelectionManager::First() const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups) return nullptr;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (item->GetVisible() && item->GetSelected()) return item;
        }
    }
    return nullptr;
}

TGvItem* TGvSelectionManager::Next(TGvItem* Item) const {
    TGvGroups* groups = FOwnerListview ? FOwnerListview->GetGroups() : nullptr;
    if (!groups || !Item || !Item->OwnerGroup()) return nullptr;
    int start = Item->GetIndex() + 1;
    for (int g = Item->OwnerGroup()->GetIndex(); g >= 0 && g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = start; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (item->GetVisible() && item->GetSelected()) return item;
        }
        start = 0;
    }
    return nullptr;
}

void TGvSelectionManager::Work(TWork Mode, TGvItem* Except) {
    if (!FEnabled || !FOwnerListview) return;
    TGvGroups* groups = FOwnerListview->GetGroups();
    BeginUpdate();
    GroupSelectionBeginUpdate();
    try {
        for (int g = 0; groups && g < groups->GetCount(); ++g) {
            TGvGroup* group = groups->GetGroups(g);
            for (int i = 0; i < group->ItemCount(); ++i) {
                TGvItem* item = group->GetItem(i);
                if (item == Except) continue;
                if (Mode == TWork::Select) {
                    item->SetSelected(true);
                } else if (Mode == TWork::Invert) {
                    item->SetSelected(!item->GetSelected());
                } else {
                    item->SetSelected(false);
                    if (FCount == 0) break;
                }
            }
            if (Mode == TWork::Clear && FCount == 0) break;
        }
    } catch (...) {
        GroupSelectionEndUpdate();
        EndUpdate();
        throw;
    }
    GroupSelectionEndUpdate();
    EndUpdate();
}

void TGvSelectionManager::ClearAll() { Work(TWork::Clear, nullptr); }
void TGvSelectionManager::ClearAllExcept(TGvItem* Item) { Work(TWork::Clear, Item); }

void TGvSelectionManager::SelectAll() {
    if (FMultiSelect) Work(TWork::Select, nullptr);
}

void TGvSelectionManager::InvertSelection() { Work(TWork::Invert, nullptr); }

void TGvSelectionManager::SelectFirst() {
    ClearAll();
    if (!FEnabled || !FOwnerListview) return;
    if (TGvItem* item = FOwnerListview->GetGroups()->FirstItem()) {
        SetFocusedItem(item);
        item->SetSelected(true);
    }
}

void TGvSelectionManager::BeginUpdate() {
    if (FUpdateCount == 0) FChangedCount = 0;
    ++FUpdateCount;
}

void TGvSelectionManager::EndUpdate() {
    if (--FUpdateCount > 0) return;
    FUpdateCount = 0;
    if (FChangedCount > 0) {
        FChangedCount = 0;
        if (FOwnerListview) FOwnerListview->DoItemSelectionsChanged();
    }
}

void TGvSelectionManager::Notify() {
    ++FChangedCount;
    if (FUpdateCount == 0) {
        FChangedCount = 0;
        if (FOwnerListview) FOwnerListview->DoItemSelectionsChanged();
    }
}

void TGvSelectionManager::GroupSelectionEndUpdate() {
    if (--FGroupSelectionUpdateCount > 0) return;
    FGroupSelectionUpdateCount = 0;
    BuildSelectionGroupings(false);
}

void TGvSelectionManager::GainingSelection(TGvItem* Item) {
    if (!FMultiSelect) ClearAllExcept(Item);
    ++FCount;
    if (!FMultiSelect) SetFocusedItem(Item);
    Notify();
}

void TGvSelectionManager::LosingSelection(TGvItem* Item) {
    --FCount;
    if (Item) Item->SetSelectionGroup(nullptr);
    Notify();
}

void TGvSelectionManager::BuildSelectionGroupings(bool Force) {
    if (!FOwnerListview || FOwnerListview->IsLoading()) return;
    if (!Force && (!FGroupSelections || FGroupSelectionUpdateCount > 0)) return;
    TGvGroups* groups = FOwnerListview->GetGroups();
    if (!groups) return;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        std::vector<TGvItem*> run;
        auto close = [&run] {
            if (run.size() >= 2) {
                auto* list = TGvSelectionGroupList::Create();
                for (TGvItem* item : run) {
                    list->Add(item);
                    gcl::UnionRect(list->DisplayRect, list->DisplayRect, item->GetDisplayRect());
                    item->SetSelectionGroup(list);
                }
            }
            run.clear();
        };
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (!item->GetVisible()) continue;
            item->SetSelectionGroup(nullptr);
            if (item->GetSelected())
                run.push_back(item);
            else
                close();
        }
        close();
    }
}

void TGvSelectionManager::SetFocusedItem(TGvItem* Value) {
    if (!Value) {
        TGvItem* old = FFocusedItem;
        FFocusedItem = nullptr;
        if (old) old->SetFocused(false);
        return;
    }
    if (Value == FFocusedItem || !Value->GetVisible() || !Value->GetEnabled()) return;
    if (TGvItem* old = FFocusedItem) {
        old->SetFocused(false);
        if (old->GetFocused()) return;  // the handler refused
    }
    Value->SetFocused(true);
    if (Value->GetFocused()) FFocusedItem = Value;
}

void TGvSelectionManager::SetAnchorItem(TGvItem* Value) {
    if (!Value)
        FAnchorItem = nullptr;
    else if (Value->GetVisible() && Value->GetEnabled())
        FAnchorItem = Value;
}

TGvColumn* TGvSelectionManager::GetFocusedColumn() {
    if (!FFocusedColumn && FOwnerListview && FOwnerListview->GetHeader())
        FFocusedColumn = FOwnerListview->GetHeader()->FirstColumn();
    return FFocusedColumn;
}

void TGvSelectionManager::SetFocusedColumn(TGvColumn* Value) {
    if (Value == FFocusedColumn) return;
    TGvColumn* old = FFocusedColumn;
    FFocusedColumn = Value;
    if (old) old->Invalidate(false);
    if (Value) Value->Invalidate(false);
}

void TGvSelectionManager::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    if (!Value) ClearAll();
    FEnabled = Value;
}

void TGvSelectionManager::SetMultiSelect(bool Value) {
    if (Value == FMultiSelect) return;
    ClearAll();
    FMultiSelect = Value;
}

void TGvSelectionManager::SetGroupSelections(bool Value) {
    if (Value == FGroupSelections) return;
    TListviewUpdate update(FOwnerListview);
    FGroupSelections = Value;
    BuildSelectionGroupings(true);
}

// ---- TGvCheckManager, TGvHotTrackManager, TGvEditManager ----------------------------------------

GCL_IMPLEMENT_CLASS(TGvCheckManager)

void TGvCheckManager::SetPendingObject(TGvCollectionItem* Value) {
    if (Value == FPendingObject) return;
    TGvCollectionItem* old = FPendingObject;
    FPendingObject = Value;
    if (old) old->SetCheckPending(false);
    if (Value) Value->SetCheckPending(true);
}

GCL_PUBLISHED(TGvHotTrackManager,
    GCL_PROP(Color).Default(gcl::clHighlight).Idents(gcl::ColorIdents),
    GCL_PROP(Enabled).Default(false),
    GCL_PROP(Cursor).Default(gcl::crHandPoint),
    GCL_PROP(GroupTrack).Default(TGvHotTrackRectGroups{htgIcon, htgText}),
    GCL_PROP(ItemTrack).Default(TGvHotTrackRectItems{htiIcon, htiText}),
    GCL_PROP(OnlyFocused).Default(false),
    GCL_PROP(Underline).Default(true))

void TGvHotTrackManager::SetPendingObject(TGvCollectionItem* Obj, TPoint MousePos) {
    if (Obj == FHotObject) return;
    TGvCollectionItem* old = FHotObject;
    FHotObject = nullptr;
    TCustomGvListview* lv = FOwnerListview;
    if ((FEnabled || !Obj) && lv && lv->HandleAllocated()) {
        HWND wnd = lv->GetHandle();
        const bool captured = GetCapture() == wnd;
        if (captured) ReleaseCapture();
        lv->SetCursor(Obj ? FCursor : gcl::crDefault);
        if (Obj) SetCapture(wnd);
    }
    if (old) old->SetHotTracking(false);
    if (Obj) Obj->SetHotTracking(true, MousePos);
    FHotObject = Obj;
}

void TGvHotTrackManager::SetPendingObjectCheck(TGvItem* Item) {
    if (Item == FHotCheckItem) return;
    TGvItem* old = FHotCheckItem;
    FHotCheckItem = Item;
    if (old) old->SetCheckHot(false);
    if (Item) Item->SetCheckHot(true);
}

void TGvHotTrackManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (FHotObject == Obj) FHotObject = nullptr;
    if (FHotCheckItem == Obj) FHotCheckItem = nullptr;
}

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

void TGvEditManager::SetEnabled(bool Value) {
    StopEdit();
    FEnabled = Value;
}

void TGvEditManager::StopEdit() { FStopFlag = true; }

void TGvEditManager::Forget(TGvCollectionItem* Obj) noexcept {
    if (FEditItem == Obj) FEditItem = nullptr;
    if (FEditColumn == Obj) FEditColumn = nullptr;
    if (FTabMoveFocusItem == Obj) FTabMoveFocusItem = nullptr;
    if (FTabMoveFocusColumn == Obj) FTabMoveFocusColumn = nullptr;
}

// ---- TGvScrollbarManager -----------------------------------------------------------------------

GCL_PUBLISHED(TGvScrollbarManager,
    GCL_PROP(HorzEnabled).Default(true),
    GCL_PROP(SnapHorzView).Default(true),
    GCL_PROP(VertEnabled).Default(true))

namespace {
int HeaderHeightOf(TCustomGvListview* lv) { return lv && lv->GetHeader() ? lv->GetHeader()->RuntimeHeight() : 0; }
int ListCellWidth(TCustomGvListview* lv) {
    return lv && lv->GetCellSizes() ? std::max(1, lv->GetCellSizes()->GetList()->GetWidth()) : 1;
}
} // namespace

void TGvScrollbarManager::SetHorzEnabled(bool Value) {
    if (Value == FHorzEnabled) return;
    FHorzEnabled = Value;
    ReCalculateScrollbars(true, false);
    RepaintListview(FOwnerListview);
}

void TGvScrollbarManager::SetVertEnabled(bool Value) {
    if (Value == FVertEnabled) return;
    FVertEnabled = Value;
    ReCalculateScrollbars(true, false);
    RepaintListview(FOwnerListview);
}

bool TGvScrollbarManager::HorzBarVisible() const {
    return FOwnerListview && FOwnerListview->HandleAllocated() &&
           (GetWindowLongA(FOwnerListview->GetHandle(), GWL_STYLE) & WS_HSCROLL) != 0;
}

bool TGvScrollbarManager::VertBarVisible() const {
    return FOwnerListview && FOwnerListview->HandleAllocated() &&
           (GetWindowLongA(FOwnerListview->GetHandle(), GWL_STYLE) & WS_VSCROLL) != 0;
}

int TGvScrollbarManager::MaxOffsetX() const {
    const int clientWidth = ClientRectOf(FOwnerListview).Width();
    int result = ViewWidth() - clientWidth;
    if (FOwnerListview && !ScrollsVertically(FOwnerListview->GetView()) && HorzBarVisible()) {
        const int cell = ListCellWidth(FOwnerListview);
        result = (result / cell) * cell + cell;
    }
    return std::max(result, 0);
}

int TGvScrollbarManager::MaxOffsetY() const {
    const int result = ViewHeight() - ClientRectOf(FOwnerListview).Height() + HeaderHeightOf(FOwnerListview);
    return std::max(result, 0);
}

int TGvScrollbarManager::LineStep() const {
    return FOwnerListview && FOwnerListview->GetGroups() ? FOwnerListview->GetGroups()->CellHeight() : 0;
}

void TGvScrollbarManager::ValidateOffsets(int& X, int& Y) const {
    if (!FOwnerListview) {
        X = 0;
        Y = 0;
        return;
    }
    if (!ScrollsVertically(FOwnerListview->GetView()) && FSnapHorzView) {
        const int cell = ListCellWidth(FOwnerListview);
        const bool beyond = X > ViewWidth() - cell;
        const int remainder = X % cell;
        X -= remainder;
        if (remainder > cell / 2 || beyond) X += cell;
    }
    Y = std::min(Y, MaxOffsetY());
    X = std::min(X, MaxOffsetX());
    X = std::max(X, 0);
    Y = std::max(Y, 0);
}

void TGvScrollbarManager::SetOffsetX(int Value) {
    if (Value != FOffsetX) Scroll(Value - FOffsetX, 0);
}

void TGvScrollbarManager::SetOffsetY(int Value) {
    if (Value != FOffsetY) Scroll(0, Value - FOffsetY);
}

void TGvScrollbarManager::Scroll(int DeltaX, int DeltaY) {
    const int oldX = FOffsetX;
    const int oldY = FOffsetY;
    int x = FOffsetX + DeltaX;
    int y = FOffsetY + DeltaY;
    ValidateOffsets(x, y);
    if (x == oldX && y == oldY) return;
    FOffsetX = x;
    FOffsetY = y;
    ReCalculateScrollbars(true, true);
    if (FOwnerListview) {
        FOwnerListview->DoScroll(oldX - x, oldY - y);
        FOwnerListview->SafeInvalidateRect(nullptr, false);
    }
}

void TGvScrollbarManager::SetViewRect(const TRect& Value, bool ForceInvalidate) {
    const bool changed = !(Value == FViewRect);
    const bool hadHorz = HorzBarVisible();
    const bool hadVert = VertBarVisible();
    FViewRect = Value;
    bool invalidate = ForceInvalidate;
    if (changed && !invalidate && FOwnerListview) {
        const TRect client = ClientRectOf(FOwnerListview);
        const bool needHorz = ViewWidth() - 1 > client.Width();
        const bool needVert = ViewHeight() + HeaderHeightOf(FOwnerListview) - 1 > client.Height();
        invalidate = (hadHorz && !needHorz) || (hadVert && !needVert);
    }
    if (invalidate) RepaintListview(FOwnerListview);
}

TPoint TGvScrollbarManager::MapWindowToView(TPoint Point, bool IncludeHeader) const {
    return TPoint{Point.X + FOffsetX, Point.Y + FOffsetY - (IncludeHeader ? HeaderHeightOf(FOwnerListview) : 0)};
}

TPoint TGvScrollbarManager::MapViewToWindow(TPoint Point, bool IncludeHeader) const {
    return TPoint{Point.X - FOffsetX, Point.Y - FOffsetY + (IncludeHeader ? HeaderHeightOf(FOwnerListview) : 0)};
}

TRect TGvScrollbarManager::MapWindowRectToViewRect(const TRect& R, bool IncludeHeader) const {
    const TPoint a = MapWindowToView(TPoint{R.Left, R.Top}, IncludeHeader);
    const TPoint b = MapWindowToView(TPoint{R.Right, R.Bottom}, IncludeHeader);
    return TRect{a.X, a.Y, b.X, b.Y};
}

TRect TGvScrollbarManager::MapViewRectToWindowRect(const TRect& R, bool IncludeHeader) const {
    const TPoint a = MapViewToWindow(TPoint{R.Left, R.Top}, IncludeHeader);
    const TPoint b = MapViewToWindow(TPoint{R.Right, R.Bottom}, IncludeHeader);
    return TRect{a.X, a.Y, b.X, b.Y};
}

void TGvScrollbarManager::ReCalculateScrollbars(bool Redraw, bool Force) {
    TCustomGvListview* lv = FOwnerListview;
    if (FRecalculating || !lv || !lv->HandleAllocated()) return;
    if (!Force && lv->GetUpdateCount() > 0) return;
    FRecalculating = true;
    try {
        ValidateOffsets(FOffsetX, FOffsetY);
        HWND wnd = lv->GetHandle();
        const TRect client = ClientRectOf(lv);
        const int headerHeight = HeaderHeightOf(lv);
        const bool needHorz = ViewWidth() - 1 > client.Width() && GetSystemMetrics(SM_CYHSCROLL) < lv->GetHeight();
        const bool needVert =
            ViewHeight() + headerHeight - 1 > client.Height() && GetSystemMetrics(SM_CXVSCROLL) < lv->GetWidth();
        const bool hadHorz = HorzBarVisible();
        const bool hadVert = VertBarVisible();
        bool changed = false;
        if (!FVertEnabled) {
            if (hadVert) ShowScrollBar(wnd, SB_VERT, FALSE);
        } else if (hadVert != needVert) {
            ShowScrollBar(wnd, SB_VERT, needVert);
            changed = true;
        }
        if (!FHorzEnabled) {
            if (hadHorz) ShowScrollBar(wnd, SB_HORZ, FALSE);
        } else if (hadHorz != needHorz) {
            ShowScrollBar(wnd, SB_HORZ, needHorz);
            changed = true;
        }
        if (changed && lv->GetGroups()) lv->GetGroups()->Rebuild(true);
        const TRect after = ClientRectOf(lv);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (FVertEnabled && VertBarVisible()) {
            info.nMax = ViewHeight() + headerHeight - 1;
            info.nPage = static_cast<UINT>(std::max(after.Height(), 0));
            info.nPos = std::abs(FOffsetY);
        }
        SetScrollInfo(wnd, SB_VERT, &info, Redraw);
        info = SCROLLINFO{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (FHorzEnabled && HorzBarVisible()) {
            info.nMax = ViewWidth() - 1;
            info.nPage = static_cast<UINT>(std::max(after.Width(), 0));
            info.nPos = std::abs(FOffsetX);
        }
        SetScrollInfo(wnd, SB_HORZ, &info, Redraw);
        ValidateOffsets(FOffsetX, FOffsetY);
        if ((!hadHorz && HorzBarVisible()) || (!hadVert && VertBarVisible()))
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASENOW | RDW_FRAME);
    } catch (...) {
        FRecalculating = false;
        throw;
    }
    FRecalculating = false;
}

// ---- Cell sizes ----------------------------------------------------------------------------

GCL_PUBLISHED(TGvCellSize,
    GCL_PROP(AutoSize).Default(false),
    GCL_PROP(Height).Default(75),
    GCL_PROP(Width).Default(75))
GCL_IMPLEMENT_CLASS(TGvCellSizeIcon)
GCL_PUBLISHED(TGvCellSizeSmallIcon, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeList, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(200))
GCL_PUBLISHED(TGvCellSizeReport, GCL_PROP(Height).Default(17), GCL_PROP(Width).Default(75))
GCL_PUBLISHED(TGvCellSizeThumbnail, GCL_PROP(Height).Default(143), GCL_PROP(Width).Default(125))
GCL_PUBLISHED(TGvCellSizeTile, GCL_PROP(Height).Default(58), GCL_PROP(Width).Default(218))
GCL_IMPLEMENT_CLASS(TGvCellSizeFilmStrip)
GCL_IMPLEMENT_CLASS(TGvCellGrid)

void TGvCellSize::Assign(gcl::TPersistent* Source) {
    if (auto* source = dynamic_cast<TGvCellSize*>(Source)) {
        FHeight = source->GetHeight();
        FWidth = source->GetWidth();
        return;
    }
    inherited::Assign(Source);
}

int TGvCellSize::GetHeight() const noexcept { return FAutoSize ? FAutoHeight : std::max(FHeight, 1); }
int TGvCellSize::GetWidth() const noexcept { return FAutoSize ? FAutoWidth : std::max(FWidth, 1); }

void TGvCellSize::SetHeight(int Value) { SetSize(FAutoSize ? FAutoWidth : FWidth, Value); }
void TGvCellSize::SetWidth(int Value) { SetSize(Value, FAutoSize ? FAutoHeight : FHeight); }

void TGvCellSize::SetSize(int Width, int Height) {
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (FAutoSize) {
        if (Width == FWidth && Height == FHeight) return;
        FAutoWidth = Width;
        FAutoHeight = Height;
        return;
    }
    FWidth = Width;
    FHeight = Height;
    RebuildGroupsOf(FOwnerListview);
}

void TGvCellSize::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    if (!Value) {
        FAutoWidth = FWidth;
        FAutoHeight = FHeight;
    }
    RebuildGroupsOf(FOwnerListview);
}

GCL_PUBLISHED(TGvCellSizes,
    GCL_PROP_RO(FilmStrip),
    GCL_PROP_RO(Icon),
    GCL_PROP_RO(SmallIcon),
    GCL_PROP_RO(Grid),
    GCL_PROP_RO(Thumbnail),
    GCL_PROP_RO(Tile),
    GCL_PROP_RO(List),
    GCL_PROP_RO(Report))

TGvCellSizes::TGvCellSizes(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FIcon(TGvCellSizeIcon::Create(AOwner)),
      FSmallIcon(TGvCellSizeSmallIcon::Create(AOwner)),
      FThumbnail(TGvCellSizeThumbnail::Create(AOwner)),
      FTile(TGvCellSizeTile::Create(AOwner)),
      FList(TGvCellSizeList::Create(AOwner)),
      FReport(TGvCellSizeReport::Create(AOwner)),
      FFilmStrip(TGvCellSizeFilmStrip::Create(AOwner)),
      FGrid(TGvCellGrid::Create(AOwner)) {}

TGvCellSizes::~TGvCellSizes() {
    for (TGvCellSize* size : {FIcon, FSmallIcon, FThumbnail, FTile, FList, FReport, FFilmStrip, FGrid}) gcl::Free(size);
}

TGvCellSize* TGvCellSizes::ForView(TGvListStyle View) const {
    switch (View) {
    case elsIcon:
        return FIcon;
    case elsSmallIcon:
        return FSmallIcon;
    case elsList:
        return FList;
    case elsReport:
        return FReport;
    case elsThumbnail:
        return FThumbnail;
    case elsTile:
        return FTile;
    case elsFilmStrip:
        return FFilmStrip;
    case elsGrid:
        return FGrid;
    }
    return FIcon;
}

// ---- Sorters --------------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TGvSorter)
GCL_IMPLEMENT_CLASS(TGvQuickSort)
GCL_IMPLEMENT_CLASS(TGvBubbleSort)
GCL_IMPLEMENT_CLASS(TGvMergeSort)

void TGvSorter::Prepare(TGvColumn* Column, TGvCollection* Collection, TGvGroupCompareFunc GroupCompare,
                        TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    FColumn = Column;
    FGroupCompare = GroupCompare;
    FItemCompare = ItemCompare;
    FUseInterfaces = UseInterfaces;
    auto* items = dynamic_cast<TGvItems*>(Collection);
    FGroup = items ? items->GetOwnerGroup() : nullptr;
}

int TGvSorter::Compare(TGvCollectionItem* A, TGvCollectionItem* B) const {
    if (FUseInterfaces) {
        // B is asked with A as target: below 0 means A sorts before B.
        gcl::ComPtr<IGvCompare> compare;
        if (B->GetDataInf() && gcl::Supports(B->GetDataInf(), compare)) return compare->Compare(A->GetDataInf(), FColumn);
        return 0;
    }
    TCustomGvListview* lv = FOwner ? FOwner->GetOwnerListview() : nullptr;
    if (lv && FGroupCompare)
        return (lv->*FGroupCompare)(FColumn, static_cast<TGvGroup*>(A), static_cast<TGvGroup*>(B));
    if (lv && FItemCompare)
        return (lv->*FItemCompare)(FColumn, FGroup, static_cast<TGvItem*>(A), static_cast<TGvItem*>(B));
    return DefaultSortCompare(FColumn, A, B);
}

void TGvQuickSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                        TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, GroupCompare, ItemCompare, UseInterfaces);
    QuickSort(Slots(Collection), Min, Max);
}

void TGvQuickSort::QuickSort(std::vector<TGvCollectionItem*>& List, int L, int R) {
    while (L < R) {
        int i = L;
        int j = R;
        TGvCollectionItem* pivot = List[(static_cast<unsigned>(L) + static_cast<unsigned>(R)) >> 1];
        do {
            while (Compare(List[i], pivot) < 0) ++i;
            while (Compare(List[j], pivot) > 0) --j;
            if (i <= j) {
                std::swap(List[i], List[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (L < j) QuickSort(List, L, j);
        L = i;
    }
}

void TGvBubbleSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                         TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, GroupCompare, ItemCompare, UseInterfaces);
    std::vector<TGvCollectionItem*>& list = Slots(Collection);
    int lo = Min;
    int hi = Max;
    while (lo < hi) {
        // Forward: lift an entry that is greater than its successor and let
        // the smaller ones after it move down.
        int lastMove = lo;
        int j = lo + 1;
        while (j <= hi) {
            if (Compare(list[j - 1], list[j]) <= 0) {
                ++j;
                continue;
            }
            TGvCollectionItem* x = list[j - 1];
            int k = j;
            while (k <= hi && Compare(list[k], x) < 0) {
                list[k - 1] = list[k];
                ++k;
            }
            list[k - 1] = x;
            lastMove = k - 1;
            j = lastMove + 2;
        }
        hi = lastMove - 1;
        // Backward: the mirror image.
        lastMove = hi;
        j = hi - 1;
        while (j >= lo) {
            if (Compare(list[j + 1], list[j]) >= 0) {
                --j;
                continue;
            }
            TGvCollectionItem* x = list[j + 1];
            int k = j;
            while (k >= lo && Compare(x, list[k]) < 0) {
                list[k + 1] = list[k];
                --k;
            }
            list[k + 1] = x;
            lastMove = k + 1;
            j = lastMove - 2;
        }
        lo = lastMove + 1;
    }
}

void TGvMergeSort::Sort(TGvColumn* Column, TGvCollection* Collection, int Min, int Max,
                        TGvGroupCompareFunc GroupCompare, TGvItemCompareFunc ItemCompare, bool UseInterfaces) {
    if (!Collection) return;
    Max = std::min(Max, Collection->GetCount() - 1);
    if (Min < 0 || Max - Min + 1 < 2) return;
    Prepare(Column, Collection, GroupCompare, ItemCompare, UseInterfaces);
    TSlots buffer(static_cast<size_t>((Max - Min + 2) / 2));
    SortInPlace(Slots(Collection), Min, Max + 1, buffer, 0);
}

void TGvMergeSort::Merge(TSlots& Left, int LeftLo, int LeftHi, TSlots& Right, int RightLo, int RightHi, TSlots& Dest,
                         int D) {
    // Ties take the left (earlier) entry first; once the left run is used
    // up the rest of the right run is already in place.
    int i = LeftLo;
    int j = RightLo;
    int k = D;
    while (i < LeftHi) {
        if (j >= RightHi || LessOrEqual(Left[static_cast<size_t>(i)], Right[static_cast<size_t>(j)]))
            Dest[static_cast<size_t>(k++)] = Left[static_cast<size_t>(i++)];
        else
            Dest[static_cast<size_t>(k++)] = Right[static_cast<size_t>(j++)];
    }
}

void TGvMergeSort::SortInPlace(TSlots& List, int Lo, int Hi, TSlots& Buffer, int B) {
    const int n = Hi - Lo;
    if (n >= 3) {
        const int m = n / 2;
        SortInPlace(List, Hi - m, Hi, Buffer, B);
        SortInto(List, Lo, Hi - m, Buffer, B);
        Merge(Buffer, B, B + n - m, List, Hi - m, Hi, List, Lo);
    } else if (n == 2) {
        if (!LessOrEqual(List[static_cast<size_t>(Lo)], List[static_cast<size_t>(Lo + 1)]))
            std::swap(List[static_cast<size_t>(Lo)], List[static_cast<size_t>(Lo + 1)]);
    }
}

void TGvMergeSort::SortInto(TSlots& Source, int Lo, int Hi, TSlots& Dest, int D) {
    const int n = Hi - Lo;
    if (n >= 3) {
        const int m = n / 2;
        SortInto(Source, Lo + m, Hi, Dest, D + m);
        // The lower part is sorted in place with the still free front of
        // Dest as its buffer.
        SortInPlace(Source, Lo, Lo + m, Dest, D);
        Merge(Source, Lo, Lo + m, Dest, D + m, D + n, Dest, D);
    } else if (n == 2) {
        TGvCollectionItem* a = Source[static_cast<size_t>(Lo)];
        TGvCollectionItem* b = Source[static_cast<size_t>(Lo + 1)];
        if (LessOrEqual(a, b)) {
            Dest[static_cast<size_t>(D)] = a;
            Dest[static_cast<size_t>(D + 1)] = b;
        } else {
            Dest[static_cast<size_t>(D)] = b;
            Dest[static_cast<size_t>(D + 1)] = a;
        }
    } else if (n == 1) {
        Dest[static_cast<size_t>(D)] = Source[static_cast<size_t>(Lo)];
    }
}

// ---- TGvSortManager ------------------------------------------------------------------------

GCL_PUBLISHED(TGvSortManager,
    GCL_PROP(Algorithm).Default(esaMergeSort),
    GCL_PROP(AutoRegroup).Default(false),
    GCL_PROP(AutoSort).Default(false))

TGvSortManager::TGvSortManager(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner), FSorter(std::make_unique<TGvMergeSort>(this)) {}

TGvSortManager::~TGvSortManager() = default;

void TGvSortManager::SetAlgorithm(TGvSortAlgorithm Value) {
    if (Value == FAlgorithm) return;
    FSorter.reset();
    switch (Value) {
    case esaQuickSort:
        FSorter = std::make_unique<TGvQuickSort>(this);
        break;
    case esaBubbleSort:
        FSorter = std::make_unique<TGvBubbleSort>(this);
        break;
    case esaMergeSort:
        FSorter = std::make_unique<TGvMergeSort>(this);
        break;
    }
    FAlgorithm = Value;
}

namespace {
TGvColumn* FocusedOrFirstColumn(TCustomGvListview* lv) {
    if (!lv) return nullptr;
    if (lv->GetSelection() && lv->GetSelection()->PeekFocusedColumn()) return lv->GetSelection()->PeekFocusedColumn();
    return lv->GetHeader() ? lv->GetHeader()->FirstColumn() : nullptr;
}

// A group key shown as a caption: the character upper-cased the ANSI way
// (only a to z change).
std::wstring KeyCaption(uint32_t key) {
    std::string text = gcl::WideToAnsi(std::wstring(1, static_cast<wchar_t>(key & 0xFFFF)));
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return gcl::AnsiToWide(text);
}
} // namespace

void TGvSortManager::SetAutoRegroup(bool Value) {
    if (Value == FAutoRegroup) return;
    TCustomGvListview* lv = FOwnerListview;
    TListviewUpdate update(lv);
    if (lv) lv->SetShowGroupMargins(Value);
    FAutoRegroup = Value;
    ReGroup(FocusedOrFirstColumn(lv));
}

void TGvSortManager::SetAutoSort(bool Value) {
    if (Value == FAutoSort) return;
    FAutoSort = Value;
    TCustomGvListview* lv = FOwnerListview;
    if (lv && lv->GetSelection() && !lv->GetSelection()->PeekFocusedColumn() && lv->GetHeader())
        lv->GetSelection()->SetFocusedColumn(lv->GetHeader()->FirstColumn());
    if (Value) SortAll(false);
}

void TGvSortManager::ReGroup(TGvColumn* Column) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !lv->GetGroups()) return;
    TGvGroups* groups = lv->GetGroups();
    lv->BeginUpdate();
    try {
        const int columnIndex = Column ? Column->GetIndex() : 0;
        FKeyList.assign(static_cast<size_t>(groups->ItemCount()), TGvGroupKeyEntry{});
        size_t k = 0;
        for (int g = 0; g < groups->GetCount(); ++g) {
            TGvItems* items = groups->GetGroups(g)->GetItems();
            if (!items) continue;
            for (int i = 0; i < items->GetCount(); ++i) {
                TGvItem* item = items->GetItems(i);
                uint32_t key = 0;
                if (FAutoRegroup) {
                    key = GvNoGroupKey;
                    lv->DoAutoGroupGetKey(item, columnIndex, groups, key);
                    if (key != GvNoGroupKey) {
                        item->SetGroupKey(columnIndex, key);
                    } else {
                        const std::wstring caption = item->GetCaption();
                        key = caption.empty() ? 0 : static_cast<uint16_t>(WideStrLower(caption)[0]);
                    }
                }
                FKeyList[k++] = TGvGroupKeyEntry{item, key};
                item->FCollection = nullptr;
                items->FList[static_cast<size_t>(i)] = nullptr;
            }
        }
        for (int g = 0; g < groups->GetCount(); ++g) {
            if (TGvItems* items = groups->GetGroups(g)->GetItems()) {
                auto& list = items->FList;
                list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
                items->FVisibleList.clear();
            }
            groups->GetGroups(g)->FVisibleItems.clear();
        }
        groups->Clear(true);
        for (const TGvGroupKeyEntry& entry : FKeyList) AddToGroupByKey(entry.Item, columnIndex, entry.Key);
        SortAll(false);
    } catch (...) {
        // No item may be left without a group: the ones not placed yet go
        // to the last group (a new one when there is none).
        for (const TGvGroupKeyEntry& entry : FKeyList) {
            if (!entry.Item || entry.Item->FCollection) continue;
            try {
                TGvGroup* group = groups->LastGroup();
                if (!group) group = groups->Add(nullptr);
                if (group) {
                    group->FItems->FList.push_back(entry.Item);
                    entry.Item->FCollection = group->FItems;
                    group->FItems->ReIndexItems(false);
                }
            } catch (...) {
            }
        }
        FKeyList.clear();
        lv->EndUpdate(true);
        throw;
    }
    FKeyList.clear();
    lv->EndUpdate(true);
}

void TGvSortManager::AddToGroupByKey(TGvItem* Item, int ColumnIndex, uint32_t Key) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !Item) return;
    TGvGroups* groups = lv->GetGroups();
    TGvGroup* group = nullptr;
    for (int g = 0; g < groups->GetCount() && !group; ++g)
        if (groups->GetGroups(g)->FKey == Key) group = groups->GetGroups(g);
    if (!group) {
        bool doDefaultAction = true;
        lv->DoAutoSortGroupCreate(Item, ColumnIndex, groups, group, doDefaultAction);
        // A group that is not one of this list view's groups cannot take
        // the item.
        if (!group || group->GetCollection() != groups) group = groups->Add(nullptr);
        if (doDefaultAction && Key != 0) group->SetCaption(KeyCaption(Key));
        group->FKey = Key;
    }
    // The item belongs to the items of the group that received it.
    group->FItems->FList.push_back(Item);
    Item->FCollection = group->FItems;
    group->FItems->ReIndexItems(false);
}

void TGvSortManager::SortAll(bool) {
    TCustomGvListview* lv = FOwnerListview;
    if (!FSorter || !lv || !lv->GetGroups()) return;
    if (lv->GetEditManager()) lv->GetEditManager()->StopEdit();
    TGvGroups* groups = lv->GetGroups();
    FSorter->Sort(nullptr, groups, 0, groups->GetCount() - 1, &TCustomGvListview::GroupCompare, nullptr,
                  CollectionSupportsCompare(groups));
    // The sorters move list slots only; the indexes follow here, so they
    // are right also while there is no window to lay out.
    groups->ReIndexItems(false);
    TGvColumn* column = lv->GetSelection() ? lv->GetSelection()->GetFocusedColumn() : nullptr;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvItems* items = groups->GetGroups(g)->GetItems();
        if (!items) continue;
        FSorter->Sort(column, items, 0, items->GetCount() - 1, nullptr, &TCustomGvListview::ItemCompare,
                      CollectionSupportsCompare(items));
        items->ReIndexItems(false);
    }
    if (!groups->GetRebuilding()) groups->Rebuild(true);
}

bool TGvSortManager::CollectionSupportsCompare(TGvCollection* Collection) const {
    if (!Collection) return false;
    for (int i = 0; i < Collection->GetCount(); ++i) {
        gcl::IUnknown* data = Collection->GetItems(i)->GetDataInf();
        if (!data) return false;
        gcl::ComPtr<IGvCompare> compare;
        if (!gcl::Supports(data, compare)) return false;
    }
    return true;
}

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
    FScrollbars = TGvScrollbarManager::Create(this);
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
}

TCustomGvListview::~TCustomGvListview() {
    FItems.reset();
    gcl::FreeAndNil(FScrollbars);
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
    gcl::FreeAndNil(FGroups);
}

void TCustomGvListview::BeforeDestruction() noexcept {
    Destroying();
    try {
        if (FGroups) FGroups->Clear(true);
        if (FHeader && FHeader->GetColumns()) FHeader->GetColumns()->Clear(true);
    } catch (...) {
    }
    inherited::BeforeDestruction();
}

TGvPaintInfoColumn* TCustomGvListview::CreatePaintInfoColumn() { return TGvPaintInfoColumn::Create(this); }
TGvPaintInfoGroup* TCustomGvListview::CreatePaintInfoGroup() { return TGvPaintInfoGroup::Create(this); }
TGvGroups* TCustomGvListview::CreateGroups() { return TGvGroups::Create(this); }
TGvPaintInfoItem* TCustomGvListview::CreatePaintInfoItem() { return TGvPaintInfoItem::Create(this); }

void TCustomGvListview::BeginUpdate() { inherited::BeginUpdate(); }
void TCustomGvListview::EndUpdate(bool Invalidate) { inherited::EndUpdate(Invalidate); }

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
}

void TCustomGvListview::Dispatch(gcl::TMessage& Message) {
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

#undef GV_FIRE
#undef GV_FIRE_GUARDED

// ---- TGvListview -----------------------------------------------------------------------------

GCL_PUBLISHED(TGvListview,
    GCL_PROP(Align).Default(gcl::alNone),
    GCL_PROP(AllowHiddenCheckedItems).Default(false),
    GCL_PROP(BevelInner).Default(gcl::bvLowered),
    GCL_PROP(BevelKind).Default(gcl::bkNone),
    GCL_PROP_RO(CellSizes),
    GCL_PROP(Color).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP(DisabledBlendAlpha).Default(128),
    GCL_PROP(DisabledBlendColor).Default(gcl::clWindow).Idents(gcl::ColorIdents),
    GCL_PROP_RO(EditManager),
    GCL_PROP(Font),
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
    GCL_PROP(PaintInfoColumn),
    GCL_PROP(PaintInfoGroup),
    GCL_PROP(PaintInfoItem),
    GCL_PROP(ParentFont).Default(true),
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
    GCL_PROP(OnScroll))

// ---- Helpers of this unit -----------------------------------------------------------------

uint32_t MixValue(uint32_t A, uint32_t B, uint32_t WeightA, uint32_t WeightB) {
    const uint32_t total = WeightA + WeightB;
    if (total == 0) return 0;
    return (A * WeightA + B * WeightB) / total;
}

void BlendBitmaps(gcl::TBitmap* Source, gcl::TBitmap* Target, uint32_t WeightSource, bool Blur, uint32_t WeightTarget) {
    if (!Source || !Target) return;
    const int width = Target->GetWidth();
    const int height = Target->GetHeight();
    if (height < 1 || width < 1 || Source->GetWidth() != width || Source->GetHeight() != height) return;
    if (Source->GetPixelFormat() != gcl::pf32bit || Target->GetPixelFormat() != gcl::pf32bit) return;
    for (int y = 0; y < height; ++y) {
        const auto* s = static_cast<const uint8_t*>(Source->GetScanLine(y));
        auto* t = static_cast<uint8_t*>(Target->GetScanLine(y));
        const uint8_t* above = y > 0 ? static_cast<const uint8_t*>(Target->GetScanLine(y - 1)) : nullptr;
        const uint8_t* below = y < height - 1 ? static_cast<const uint8_t*>(Target->GetScanLine(y + 1)) : nullptr;
        for (int x = 0; x < width; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                uint32_t target = t[x * 4 + ch];
                if (Blur && above && below && x > 0 && x < width - 1) {
                    uint32_t sum = 0;
                    for (int dx = -1; dx <= 1; ++dx) {
                        sum += above[(x + dx) * 4 + ch] + below[(x + dx) * 4 + ch];
                        if (dx != 0) sum += t[(x + dx) * 4 + ch];
                    }
                    target = (sum + target / 2) / 9;
                }
                t[x * 4 + ch] = static_cast<uint8_t>(MixValue(s[x * 4 + ch], target, WeightSource, WeightTarget));
            }
        }
    }
}

void HeaderClipboardFormatEtc(FORMATETC& F) {
    F.cfFormat = CF_GVHEADER;
    F.ptd = nullptr;
    F.dwAspect = 0xFFFFFFFF;
    F.lindex = -1;
    F.tymed = TYMED_HGLOBAL;
}

int DefaultSortCompare(TGvColumn* Column, TGvCollectionItem* Item1, TGvCollectionItem* Item2) {
    // Captions are kept by collection index, whatever the display position.
    const int index = Column ? Column->GetIndex() : 0;
    int result = WideStrIComp(Item1->GetCaptions(index), Item2->GetCaptions(index));
    if (Column && Column->GetSortDirection() == esdDescending) result = -result;
    return result;
}

// ---- Unit ------------------------------------------------------------------------------------

namespace {

bool GOleInitialized = false;

// The kinds a collection stream may name, and the control for forms.
const gcl::TClass GvClasses[] = {
    TGvGroup::StaticClass(),        TGvGroupVirtual::StaticClass(),   TGvGroupInterfaced::StaticClass(),
    TGvGroupStored::StaticClass(),  TGvGroupTaskPanel::StaticClass(), TGvItem::StaticClass(),
    TGvItemVirtual::StaticClass(),  TGvItemInterfaced::StaticClass(), TGvItemStored::StaticClass(),
    TGvColumn::StaticClass(),       TGvColumnVirtual::StaticClass(),  TGvColumnInterfaced::StaticClass(),
    TGvColumnStored::StaticClass(), TGvListview::StaticClass()};

void InitGvListview() {
    LvCommonUtilitiesUnit.Initialize();
    LvCommonObjectsUnit.Initialize();
    LvDataObjectUnit.Initialize();
    const HRESULT hr = OleInitialize(nullptr);
    GOleInitialized = SUCCEEDED(hr);
    const UINT format = RegisterClipboardFormatA("GvListview.Header");
    if (format > 0xFFFF) throw gcl::ERangeError("Range check error");
    CF_GVHEADER = static_cast<CLIPFORMAT>(format);
    for (gcl::TClass cls : GvClasses) gcl::RegisterClasses({cls});
}

void FinalizeGvListview() {
    for (gcl::TClass cls : GvClasses) gcl::UnRegisterClass(cls);
    if (GOleInitialized) OleUninitialize();
    GOleInitialized = false;
    LvDataObjectUnit.Finalize();
    LvCommonObjectsUnit.Finalize();
    LvCommonUtilitiesUnit.Finalize();
}

} // namespace

gcl::TUnit GvListviewUnit{"GvListview", &InitGvListview, &FinalizeGvListview};

} // namespace qelvo
