// The column header bar.
#include "listview/GvInternal.h"

namespace qelvo {

using namespace gvdetail;

// ---- TGvHeader -------------------------------------------------------------------------------

GCL_PUBLISHED(TGvHeader,
    GCL_PROP(AutoSizeHeight).Default(true),
    GCL_PROP(AutoSizeHeightMargin).Default(8),
    GCL_PROP(Color).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP_RO(Columns),
    GCL_PROP(Draggable).Default(true),
    GCL_PROP_RO(DragManager),
    GCL_PROP(FixedSingleColumn).Default(false),
    GCL_PROP(Font),
    gcl::Prop<&TGvHeader::GetNominalHeight, &TGvHeader::SetHeight>("Height").Default(21),
    GCL_PROP(Images),
    GCL_PROP(ShowInAllViews).Default(false),
    GCL_PROP(Sizeable).Default(true),
    GCL_PROP(Visible).Default(false))

TGvHeader::TGvHeader(TCustomGvListview* AOwner)
    : TGvOwnedPersistent(AOwner),
      FColumns(TGvColumns::Create(AOwner)),
      FDragManager(TGvHeaderDragManager::Create(AOwner)),
      FFont(std::make_unique<gcl::TFont>()) {
    FDragManager->SetEnabled(true);
}

TGvHeader::~TGvHeader() {
    gcl::Free(FColumns);
    gcl::Free(FDragManager);
}

bool TGvHeader::GetDraggable() const { return FDragManager && FDragManager->GetEnabled(); }

void TGvHeader::SetDraggable(bool Value) {
    if (FDragManager) FDragManager->SetEnabled(Value);
}

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

void TGvHeader::RenumberPositions() {
    FPositions.clear();
    if (!FColumns) return;
    for (int i = 0; i < FColumns->GetCount(); ++i) FPositions.push_back(FColumns->GetColumns(i));
    std::stable_sort(FPositions.begin(), FPositions.end(),
                     [](TGvColumn* a, TGvColumn* b) { return a->FPosition < b->FPosition; });
    for (size_t i = 0; i < FPositions.size(); ++i) FPositions[i]->FPosition = static_cast<int>(i);
}

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
    TCustomGvListview* lv = FOwnerListview;
    if (lv && lv->HandleAllocated() && FColumns) {
        // Only the first column stays; it spans the client width.
        for (int i = 1; i < FColumns->GetCount(); ++i) FColumns->GetColumns(i)->SetVisible(!Value);
        if (Value) {
            TGvColumn* first = FColumns->GetCount() > 0 ? FColumns->GetColumns(0) : FColumns->Add(nullptr);
            if (first) first->SetWidth(std::max(ClientRectOf(lv).Width() - 1, 0));
        }
    }
    FFixedSingleColumn = Value;
    RebuildLayoutOf(lv);
}

void TGvHeader::Resize(int ClientWidth) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !FColumns) return;
    if (FLastHeaderWidth < 0) FLastHeaderWidth = ClientWidth;
    if (FFixedSingleColumn) {
        TGvColumn* first = FirstColumn();
        if (first && first->GetWidth() != ClientWidth - 1) {
            first->SetWidth(ClientWidth - 1);
            if (lv->GetGroups()) lv->GetGroups()->Rebuild(true);
        }
    } else if (const int delta = ClientWidth - FLastHeaderWidth; delta != 0) {
        // The visible AutoSpring columns share the change; fractions of a
        // pixel wait for the next change. Nothing to share without one.
        int count = 0;
        for (int i = 0; i < FColumns->GetCount(); ++i)
            if (FColumns->GetColumns(i)->GetVisible() && FColumns->GetColumns(i)->GetAutoSpring()) ++count;
        if (count > 0) {
            const float share = static_cast<float>(delta < 0 ? -delta : delta) / static_cast<float>(count);
            float rest = static_cast<float>(delta < 0 ? -delta : delta);
            for (int i = 0; i < FColumns->GetCount() && rest >= 0.0f; ++i) {
                TGvColumn* column = FColumns->GetColumns(i);
                if (!column->GetVisible() || !column->GetAutoSpring()) continue;
                const float accumulated = column->FSpringRest + share;
                if (accumulated >= 1.0f) {
                    const int whole = static_cast<int>(accumulated);
                    column->SetWidth(column->GetWidth() + (delta > 0 ? whole : -whole));
                    column->FSpringRest = accumulated - static_cast<float>(whole);
                } else {
                    column->FSpringRest = accumulated;
                }
                rest -= share;
            }
        }
    }
    FLastHeaderWidth = ClientWidth;
}

int TGvHeader::GetHeight() const {
    if (!FAutoSizeHeight) return FHeight;
    // Layout and painting ask for the height many times a paint; the screen
    // DC costs a trip to the window server, so the font's text height is
    // measured once per font description.
    const LOGFONTA font = FFont->GetLogFont();
    if (FMeasuredTextHeight < 0 || std::memcmp(&font, &FMeasuredFont, sizeof font) != 0) {
        int textHeight = 0;
        if (HDC dc = GetDC(nullptr)) {
            HGDIOBJ old = SelectObject(dc, FFont->GetHandle());
            TEXTMETRICA tm{};
            if (GetTextMetricsA(dc, &tm)) textHeight = tm.tmHeight;
            SelectObject(dc, old);
            ReleaseDC(nullptr, dc);
        }
        FMeasuredFont = font;
        FMeasuredTextHeight = textHeight;
    }
    const int fitted = FMeasuredTextHeight + FAutoSizeHeightMargin;
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
    RenumberPositions();
    const int clientWidth = lv->HandleAllocated() ? ClientRectOf(lv).Width() : 0;
    for (int i = 0; i < FColumns->GetCount(); ++i) {
        TGvColumn* column = FColumns->GetColumns(i);
        if (!column->GetVisible()) continue;
        FColumns->VisibleList().push_back(column);
        if (FFixedSingleColumn) column->FWidth = std::max(clientWidth - 1, 0);
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
    // Inside an update bracket the layout that ends it repaints the bar.
    ForgetPainted();
    if (FOwnerListview && FOwnerListview->GetUpdateCount() == 0)
        FOwnerListview->SafeInvalidateRect(nullptr, ImmediateUpdate);
}

namespace {
// FNV-1a over the values a paint of the bar draws from.
class TLookHash {
public:
    void Add(const void* Data, size_t Size) noexcept {
        const auto* bytes = static_cast<const uint8_t*>(Data);
        for (size_t i = 0; i < Size; ++i) {
            FValue ^= bytes[i];
            FValue *= 1099511628211ull;
        }
    }
    template <class T>
    void Add(const T& Value) noexcept {
        static_assert(std::is_trivially_copyable_v<T>);
        Add(&Value, sizeof Value);
    }
    uint64_t Value() const noexcept { return FValue; }

private:
    uint64_t FValue = 14695981039346656037ull;
};
} // namespace

uint64_t TGvHeader::LookKey() const {
    TCustomGvListview* lv = FOwnerListview;
    TLookHash h;
    if (!lv) return h.Value();
    h.Add(Shown());
    h.Add(RuntimeHeight());
    h.Add(FHeaderRect);
    h.Add(DisplayRect());
    h.Add(lv->GetView());
    h.Add(FShowInAllViews);
    h.Add(lv->HandleAllocated() ? ClientRectOf(lv) : TRect{});
    h.Add(lv->GetScrollbars() ? lv->GetScrollbars()->GetOffsetX() : 0);
    h.Add(lv->UseRightToLeftAlignment());
    const bool themed = lv->DrawWithThemes();
    h.Add(themed);
    if (themed) {
        h.Add(lv->GetThemeManager()->GetHeaderTheme());
        h.Add(lv->GetThemeManager()->GetComboBoxTheme());
    }
    if (TGvPaintInfoBaseColumn* info = lv->GetPaintInfoColumn()) h.Add(info->GetStyle());
    h.Add(gcl::ColorToRGB(FColor));
    h.Add(FFont->GetLogFont());
    h.Add(gcl::ColorToRGB(FFont->GetColor()));
    h.Add(FImages.Get());
    for (TGvColumn* column : FPositions) {
        h.Add(column);
        h.Add(column->GetState());
        h.Add(column->GetDisplayRect());
        const std::wstring caption = column->GetCaption();
        h.Add(caption.size());
        h.Add(caption.data(), caption.size() * sizeof(wchar_t));
        h.Add(column->GetAlignment());
        h.Add(column->GetImageIndex());
        h.Add(column->GetImageOverlayIndex());
        h.Add(column->GetSortDirection());
        h.Add(gcl::ColorToRGB(column->GetColor()));
        const TGvColumnDropDownButton* button = column->GetDropDownButton();
        h.Add(button->GetVisible());
        h.Add(button->GetAlwaysShow());
        h.Add(button->GetEnabled());
        h.Add(button->State);
    }
    return h.Value();
}

bool TGvHeader::ShowsAsPainted() const {
    TCustomGvListview* lv = FOwnerListview;
    if (!FLookPainted || !lv) return false;
    // What handlers draw follows from nothing the key holds.
    if (lv->OnPaintHeaderBkGnd || lv->OnColumnPaintText || lv->OnColumnImageDraw || lv->OnColumnImageDrawIsCustom ||
        lv->OnColumnCustomView || lv->OnAfterPaint)
        return false;
    return LookKey() == FPaintedLook;
}

void TGvHeader::NotePainted(bool Whole) {
    if (Whole) {
        FPaintedLook = LookKey();
        FLookPainted = true;
    } else if (FLookPainted && LookKey() != FPaintedLook) {
        // Part of the bar as it is now beside the rest as it was.
        FLookPainted = false;
    }
}

void TGvHeader::LoadFromStream(TStream& S) {
    if (FStreamColumns && FColumns) FColumns->ReadItems(S);
}

void TGvHeader::SaveToStream(TStream& S) {
    if (FStreamColumns && FColumns) FColumns->WriteItems(S);
}

} // namespace qelvo
