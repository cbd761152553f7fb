// Private helpers shared by the list view's source files: the collection
// stream's integer and string helpers, rectangles of the control, an update
// scope, and the data-object look-ups of the interfaced kinds. Not for users.
#pragma once

#include "listview/GvListview.h"

#include <ole2.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/SlotPool.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"
#include "listview/LvDataObject.h"

namespace qelvo {

using gcl::TPoint;
using gcl::TRect;
using gcl::TStream;

namespace gvdetail {

// The client point a mouse message carries in its LParam (signed, so a
// point left of or above the window stays negative).
inline TPoint MessagePoint(const gcl::TMessage& Message) {
    const auto lp = static_cast<uintptr_t>(Message.LParam);
    return TPoint{static_cast<int16_t>(LOWORD(lp)), static_cast<int16_t>(HIWORD(lp))};
}

// ---- Stream helpers ------------------------------------------------------------------


inline TCommonMemoryStreamHelper& Helper() {
    // The helper holds no state; a local one serves before the unit starts.
    static TCommonMemoryStreamHelper fallback;
    return StreamHelper ? *StreamHelper : fallback;
}

inline void WriteInt32(TStream& S, int32_t Value) { Helper().WriteInteger(S, Value); }
inline int32_t ReadInt32(TStream& S) { return Helper().ReadInteger(S); }

inline void WriteUInt32(TStream& S, uint32_t Value) { WriteInt32(S, static_cast<int32_t>(Value)); }

inline void WriteUInt16(TStream& S, uint16_t Value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8)};
    S.WriteBuffer(bytes, 2);
}
inline uint16_t ReadUInt16(TStream& S) {
    uint8_t bytes[2];
    S.ReadBuffer(bytes, 2);
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

inline void WriteByte(TStream& S, uint8_t Value) { S.WriteBuffer(&Value, 1); }
inline uint8_t ReadByte(TStream& S) {
    uint8_t value = 0;
    S.ReadBuffer(&value, 1);
    return value;
}

// A count of entries that take at least EntrySize bytes each: never
// negative and never more than the stream can still hold.
inline int32_t ReadCount(TStream& S, int EntrySize) {
    const int32_t count = ReadInt32(S);
    if (count < 0) throw gcl::EReadError(gcl::msg::ReadError);
    S.CheckAvailable(static_cast<int64_t>(count) * EntrySize);
    return count;
}

// Length in UTF-16 code units, then the UTF-16LE text.
inline void WriteWide(TStream& S, std::wstring_view Value) {
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

inline std::wstring ReadWide(TStream& S) {
    const int32_t length = ReadCount(S, 2);
    std::vector<uint8_t> bytes(static_cast<size_t>(length) * 2);
    if (length > 0) S.ReadBuffer(bytes.data(), length * 2);
    std::wstring result(static_cast<size_t>(length), L'\0');
    for (int32_t i = 0; i < length; ++i)
        result[static_cast<size_t>(i)] = static_cast<wchar_t>(bytes[i * 2] | bytes[i * 2 + 1] << 8);
    return result;
}

template <class T>
inline void WriteArray(TStream& S, const std::vector<T>& Values) {
    WriteInt32(S, static_cast<int32_t>(Values.size()));
    for (T v : Values) WriteInt32(S, static_cast<int32_t>(v));
}

template <class T>
inline void ReadArray(TStream& S, std::vector<T>& Values) {
    const int32_t count = ReadCount(S, 4);
    Values.assign(static_cast<size_t>(count), T());
    for (int32_t i = 0; i < count; ++i) Values[static_cast<size_t>(i)] = static_cast<T>(ReadInt32(S));
}

template <class T>
inline T ValueAt(const std::vector<T>& Values, int Index, T Default) {
    return Index >= 0 && Index < static_cast<int>(Values.size()) ? Values[static_cast<size_t>(Index)] : Default;
}

// Stores Value at Index, growing the array with Filler; true when the
// value read there before differs.
template <class T>
inline bool StoreAt(std::vector<T>& Values, int Index, T Value, T Filler) {
    if (Index < 0) return false;
    if (Index >= static_cast<int>(Values.size())) Values.resize(static_cast<size_t>(Index) + 1, Filler);
    T& stored = Values[static_cast<size_t>(Index)];
    const bool changed = !(stored == Value);
    stored = std::move(Value);
    return changed;
}

// An enumeration byte of a stream, or Default when it is out of range.
template <class E>
inline E ReadEnum(TStream& S, E Default) {
    const uint8_t value = ReadByte(S);
    return value < gcl::EnumInfo<E>().Count ? static_cast<E>(value) : Default;
}

inline TRect ClientRectOf(TCustomGvListview* lv) {
    if (!lv) return {};
    if (lv->HandleAllocated()) {
        RECT r{};
        ::GetClientRect(lv->GetHandle(), &r);
        return gcl::FromRECT(r);
    }
    return TRect{0, 0, lv->GetWidth(), lv->GetHeight()};
}

inline bool ScrollsVertically(TGvListStyle View) { return View != elsList && View != elsFilmStrip; }

inline bool Intersects(const TRect& A, const TRect& B) {
    TRect r;
    return gcl::IntersectRect(r, A, B);
}

// The update bracket of the public header, under its old name here.
using qelvo::TListviewUpdate;

inline void RebuildGroupsOf(TCustomGvListview* lv) {
    if (lv && lv->GetGroups()) lv->GetGroups()->Rebuild(false);
}
inline void RepaintListview(TCustomGvListview* lv) {
    if (lv) lv->SafeInvalidateRect(nullptr, false);
}
// The image list size that a view style shows.
inline int ImageSizeOfView(TGvListStyle view) {
    switch (view) {
    case elsIcon:
        return 1;
    case elsThumbnail:
    case elsTile:
    case elsFilmStrip:
        return 2;
    default:
        return 0;
    }
}
// The interface I of an object's data object, or null.
template <class I>
inline gcl::ComPtr<I> DataInterface(const TGvCollectionItem* item) {
    gcl::ComPtr<I> result;
    if (gcl::IUnknown* data = item->GetDataInf()) gcl::Supports(data, result);
    return result;
}

inline std::wstring InterfacedCaption(const TGvCollectionItem* item, int column) {
    if (auto captions = DataInterface<IGvCaptions>(item)) return captions->GetCaption(column).ToWide();
    if (auto captions = DataInterface<IGvCaptionsEditable>(item)) return captions->GetCaption(column).ToWide();
    return std::wstring();
}
inline void InterfacedSetCaption(const TGvCollectionItem* item, int column, const std::wstring& value) {
    if (auto captions = DataInterface<IGvCaptionsEditable>(item)) captions->SetCaption(column, gcl::TVariant(value));
}
inline int InterfacedImage(const TGvCollectionItem* item, int column, TGvImageKind kind) {
    if (auto images = DataInterface<IGvImages>(item)) return images->GetImageIndex(column, kind);
    if (auto images = DataInterface<IGvImagesEditable>(item)) return images->GetImageIndex(column, kind);
    return -1;
}
inline void InterfacedSetImage(const TGvCollectionItem* item, int column, TGvImageKind kind, int value) {
    if (auto images = DataInterface<IGvImagesEditable>(item)) images->SetImageIndex(column, kind, value);
}
inline gcl::TCustomImageList* InterfacedImageList(const TGvCollectionItem* item, int column, gcl::TCustomImageList* fallback) {
    gcl::TCustomImageList* list = nullptr;
    if (auto lists = DataInterface<IGvImageList>(item)) list = lists->GetImageList(column);
    return list ? list : fallback;
}
inline int InterfacedDetailCount(const TGvCollectionItem* item) {
    if (auto details = DataInterface<IGvDetails>(item)) return details->GetDetailCount();
    if (auto details = DataInterface<IGvDetailsEditable>(item)) return details->GetDetailCount();
    return 0;
}
inline int InterfacedDetail(const TGvCollectionItem* item, int line) {
    if (auto details = DataInterface<IGvDetails>(item)) return details->GetDetail(line);
    if (auto details = DataInterface<IGvDetailsEditable>(item)) return details->GetDetail(line);
    return 0;
}
inline void InterfacedSetDetail(const TGvCollectionItem* item, int line, int value) {
    if (auto details = DataInterface<IGvDetailsEditable>(item)) details->SetDetail(line, value);
}
inline void InterfacedSetDetailCount(const TGvCollectionItem* item, int value) {
    if (auto details = DataInterface<IGvDetailsEditable>(item)) details->SetDetailCount(value);
}
inline bool InterfacedImageDrawIsCustom(const TGvCollectionItem* item, TGvColumn* column) {
    bool custom = false;
    if (auto images = DataInterface<IGvCustomImage>(item)) images->DrawImageIsCustom(column, custom);
    return custom;
}
inline void InterfacedImageGetSize(const TGvCollectionItem* item, TGvColumn* column, int& width, int& height) {
    if (auto images = DataInterface<IGvCustomImage>(item)) images->GetSize(column, width, height);
}
inline void InterfacedImageDraw(const TGvCollectionItem* item, TGvColumn* column, gcl::TCanvas* canvas,
                                const TGvRectArrayObject& rects, TGvAlphaBlender* blender) {
    if (auto images = DataInterface<IGvCustomImage>(item)) images->DrawImage(column, canvas, rects, blender);
}
struct TMarginSizes {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool LeftOn = false, TopOn = false, RightOn = false, BottomOn = false;
};
// A group's paint info as the group kind's (null when it is another),
// told by the class library's class chain: a dynamic_cast compares type
// names in this toolchain, and the layout asks once per group (thousands
// of groups by tags).
inline TGvPaintInfoBaseGroup* GroupInfo(const TGvGroup* Group) {
    TGvPaintInfoBasic* info = Group->PaintInfo();
    return info && info->InheritsFrom(TGvPaintInfoBaseGroup::StaticClass()) ? static_cast<TGvPaintInfoBaseGroup*>(info)
                                                                             : nullptr;
}
// The runtime sizes of a group's four margins (0 without group margins)
// and whether each is visible.
inline TMarginSizes MarginsOf(const TGvGroup* group) {
    TMarginSizes m;
    TGvPaintInfoBaseGroup* info = GroupInfo(group);
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

// ---- Painting helpers ------------------------------------------------------------------

// The size of a check box of the given size: measured once per size
// through the shared bound manager (measuring takes the screen DC and a
// font), directly while the common objects are not set up.
inline TRect CheckBoundsOf(int Size) {
    if (!CheckBoundManager) return CheckBounds(Size);
    TRect bounds;
    CheckBoundManager->Bound(Size, bounds);
    return bounds;
}

// A check box of a paint info's size at Left, centred in Top..Bottom.
inline TRect CheckRectAt(const TGvPaintInfoBasic* info, int Left, int Top, int Bottom) {
    const TRect bounds = CheckBoundsOf(info->GetCheckSize());
    const int top = Top + (Bottom - Top - bounds.Height()) / 2;
    return TRect{Left, top, Left + bounds.Width(), top + bounds.Height()};
}

// The check box of a paint info in Area: after CheckIndent, centred
// vertically; zero-wide at Area's left without a check type.
inline TRect CheckRectIn(const TGvPaintInfoBasic* info, const TRect& Area) {
    if (info->GetCheckType() == ectNone) return TRect{Area.Left, Area.Top, Area.Left, Area.Bottom};
    return CheckRectAt(info, Area.Left + info->GetCheckIndent(), Area.Top, Area.Bottom);
}

// A wide caption drawn with the text drawer in the canvas's font. On a
// plain DC (device units, text at its top left) the font's height, ascent
// and strike-out line come from the metrics kept for its description, and
// a struck-out font's line is drawn as a band after its text is drawn
// with the plain font: the same pixels, without the system working out
// the font's line for each text. KnownWidth, when not negative, is the
// width of Text in the canvas's font, measured by the caller.
void DrawCaption(gcl::TCanvas* Canvas, const std::wstring& Text, TRect R, int Lines, TCommonDrawTextWFlags Flags,
                 int KnownWidth = -1);
// The extent of Text in Font on the display, as TextExtentW with a font
// measures it.
void MeasureOnDisplay(const std::wstring& Text, gcl::TFont& Font, gcl::TSize& Size);
// Drops the kept font metrics (a font was added or taken away, or the
// display or the system's settings changed); how many are kept.
void ForgetLineMetrics() noexcept;
size_t LineMetricsCount() noexcept;

inline TCommonDrawTextWFlags AlignFlags(TAlignment Alignment) {
    switch (Alignment) {
    case taRightJustify:
        return dtRight;
    case taCenter:
        return dtCenter;
    default:
        return dtLeft;
    }
}

inline TCommonDrawTextWFlags VAlignFlags(TCommonVAlignment VAlignment) {
    switch (VAlignment) {
    case cvaTop:
        return dtTop;
    case cvaBottom:
        return dtBottom;
    default:
        return dtVCenter;
    }
}

inline bool ListviewFocused(TCustomGvListview* lv) { return lv && lv->PaintsFocused(); }

// The rectangle R in the device coordinates of the canvas.
gcl::TRect DeviceRect(HDC DC, const gcl::TRect& R);
// The size of the 32-bit DIB section selected into DC (0 x 0 without one).
gcl::TSize DibSize(HDC DC);

// Kept drawings. A drawing whose pixels follow from its parameters (Key)
// and the pixels it lands on (a themed check box or expand button, a
// picture of an image list) is made once for each such pair and copied
// after that, in this paint and the next ones: a key names everything the
// drawing reads besides the pixels beneath and the DC's text and
// background colours and mode (for a picture, its list's change stamp),
// and what no key can name (the theme's data, the system's colours and
// settings) drops every kept drawing when it changes. Draw paints it with
// its top left at (X, Y) of the DC it is given, inside Where's size; one
// that reaches further, and any DC that is not a plain 32-bit bitmap in
// device units, gets Draw itself.
struct TKeptDrawingKey {
    uintptr_t Parts[6] = {};
    bool operator==(const TKeptDrawingKey& o) const noexcept {
        return std::equal(std::begin(Parts), std::end(Parts), std::begin(o.Parts));
    }
};
using TKeptDrawingDraw = void (*)(const void* Context, HDC DC, int X, int Y);
void DrawKept(HDC DC, const gcl::TRect& Where, const TKeptDrawingKey& Key, TKeptDrawingDraw Draw,
              const void* Context);
template <class F>
void DrawKept(HDC DC, const gcl::TRect& Where, const TKeptDrawingKey& Key, const F& Draw) {
    DrawKept(
        DC, Where, Key, [](const void* Context, HDC Target, int X, int Y) { (*static_cast<const F*>(Context))(Target, X, Y); },
        &Draw);
}
// Drops every kept drawing: a theme was closed or changed, or the system's
// colours, settings or display changed.
void ForgetKeptDrawings() noexcept;
// How many drawings are kept now.
size_t KeptDrawingCount() noexcept;
// A number that changes at every paint of a list view: the stamp of a
// picture from a list whose images may change unseen (a shared one), so
// that it is kept for one paint only.
uintptr_t PaintSerial() noexcept;
// The change stamp a picture of Images is kept under.
uintptr_t PictureStamp(gcl::TCustomImageList* Images);

} // namespace gvdetail

} // namespace qelvo
