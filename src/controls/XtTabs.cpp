// Tab items and the painters of tabs and of the pane under them.
#include "controls/XtTabs.h"
#include "controls/XtPaint.h"

#include "theming/TxUtils.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Scopes.h"

#include <algorithm>
#include <vector>

namespace qelvo {

namespace {

constexpr int TABP_TABITEM = 1;
constexpr int TABP_TABITEMLEFTEDGE = 2;
constexpr int TABP_TABITEMRIGHTEDGE = 3;
constexpr int TABP_PANE = 9;

// The toolbar whose items hold Item directly.
TBarCustomToolbar* ToolbarOf(const TBarCustomItem* Item) {
    TBarCustomItem* parent = Item ? Item->GetParent() : nullptr;
    return parent ? dynamic_cast<TBarCustomToolbar*>(parent->GetParentComponentField()) : nullptr;
}

// Copies h rows of w pixels from (sx, sy) of src to (dx, dy) of dst; with
// Flip the rows are taken from the bottom up.
void CopyRows(HDC dst, int dx, int dy, HDC src, int sx, int sy, int w, int h, bool flip) {
    if (!flip) {
        BitBlt(dst, dx, dy, w, h, src, sx, sy, SRCCOPY);
        return;
    }
    for (int row = 0; row < h; ++row) BitBlt(dst, dx, dy + row, w, 1, src, sx, sy + h - 1 - row, SRCCOPY);
}

// The classic frames of a tab or pane: flat a raised 3-D line, classic a
// window-coloured outer frame and a shadowed inner one.
void DrawClassicTabFrame(HDC dc, TRect r, TColor face, bool flat) {
    if (flat) {
        Frame3DColor(dc, r, gcl::clWindow, gcl::clBtnShadow, true);
        return;
    }
    Frame3DColor(dc, r, gcl::clWindow, gcl::clWindowFrame, true);
    Frame3DColor(dc, r, face, gcl::clBtnShadow, true);
}

// A classic tab or pane needs a colour: "none" (a tab set that takes its
// look from visual styles or the theme) paints as the button face.
TColor OpaqueFace(TColor color) { return color == clNone ? gcl::clBtnFace : color; }

// Paints into an off-screen copy of the canvas at rect (mirrored when
// Flip) and puts it back the same way.
template <class Paint>
void PaintOffscreen(TCanvas* canvas, const TRect& rect, bool flip, bool copyCanvas, Paint paint) {
    const int w = rect.Width(), h = rect.Height();
    canvas->RequiredState({gcl::csHandleValid, gcl::csBrushValid});
    const HDC dc = canvas->GetHandle();
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(w, h);
    TCanvas* target = bitmap.GetCanvas();
    const HDC memDC = target->GetHandle();
    if (copyCanvas) CopyRows(memDC, 0, 0, dc, rect.Left, rect.Top, w, h, flip);
    paint(target, TRect{0, 0, w, h});
    GdiFlush();
    CopyRows(dc, rect.Left, rect.Top, memDC, 0, 0, w, h, flip);
}

// Tabs as visual styles draw them (milliseconds each under Wine), kept: a
// tab drawn again with the same part, state, size and mirroring over the
// same pixels where the part lets what lies beneath show copies the
// picture made the first time. Those pixels are the ones that come out
// differently over black and over white; everywhere else the part covers
// what it is drawn over (a tab's old caption, for one), so they need not
// match. A few looks are kept (each tab's checked, plain and hot states),
// and none across a change of the theme's handles.
struct TKeptTab {
    HTHEME Theme = nullptr;
    int Part = 0, State = 0, Width = 0, Height = 0;
    bool Flip = false;
    std::vector<size_t> Open;       // the places, row by row, where what lies beneath shows
    std::vector<uint32_t> Beneath;  // the pixels it was drawn over at those places
    std::vector<uint32_t> Picture;  // the pixels it left
};

struct TKeptTabs {
    std::vector<TKeptTab> Tabs;
    unsigned Age = 0;
};

TKeptTabs& KeptTabs() {
    static TKeptTabs kept;
    if (kept.Age != XtThemeHandlesAge()) {
        kept.Tabs.clear();
        kept.Age = XtThemeHandlesAge();
    }
    return kept;
}

constexpr size_t KeptTabLooks = 12;

std::vector<uint32_t> PixelsOf(gcl::TBitmap& bitmap, int w, int h) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint32_t*>(bitmap.GetScanLine(y));
        std::copy(row, row + w, pixels.begin() + static_cast<ptrdiff_t>(y) * w);
    }
    return pixels;
}

void PutPixels(gcl::TBitmap& bitmap, int w, int h, const std::vector<uint32_t>& pixels) {
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint32_t*>(bitmap.GetScanLine(y));
        std::copy(pixels.begin() + static_cast<ptrdiff_t>(y) * w, pixels.begin() + static_cast<ptrdiff_t>(y + 1) * w,
                  row);
    }
}

// The pixels of a bitmap at some places.
std::vector<uint32_t> PixelsAt(const std::vector<uint32_t>& pixels, const std::vector<size_t>& places) {
    std::vector<uint32_t> some;
    some.reserve(places.size());
    for (size_t i : places) some.push_back(pixels[i]);
    return some;
}

// The places of a w x h part where what lies beneath shows: it comes out
// differently drawn over black and over white.
std::vector<size_t> OpenPlaces(HTHEME theme, int part, int state, int w, int h) {
    std::vector<uint32_t> over[2];
    const uint32_t grounds[2] = {0x00000000, 0x00FFFFFF};
    for (int k = 0; k < 2; ++k) {
        gcl::TBitmap bitmap;
        bitmap.SetPixelFormat(gcl::pf32bit);
        bitmap.SetSize(w, h);
        for (int y = 0; y < h; ++y) {
            auto* row = static_cast<uint32_t*>(bitmap.GetScanLine(y));
            std::fill(row, row + w, grounds[k]);
        }
        DrawVisualStylesPart(theme, bitmap.GetCanvas()->GetHandle(), part, state, TRect{0, 0, w, h});
        GdiFlush();
        over[k] = PixelsOf(bitmap, w, h);
    }
    std::vector<size_t> open;
    for (size_t i = 0; i < over[0].size(); ++i)
        if (over[0][i] != over[1][i]) open.push_back(i);
    return open;
}

// A visual-styles tab part drawn over a copy of the canvas at rect
// (mirrored when Flip), through the kept pictures.
void PaintKeptTab(TCanvas* canvas, const TRect& rect, bool flip, int part, int state) {
    const int w = rect.Width(), h = rect.Height();
    canvas->RequiredState({gcl::csHandleValid, gcl::csBrushValid});
    const HDC dc = canvas->GetHandle();
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(w, h);
    const HDC memDC = bitmap.GetCanvas()->GetHandle();
    CopyRows(memDC, 0, 0, dc, rect.Left, rect.Top, w, h, flip);
    GdiFlush();
    const std::vector<uint32_t> beneath = PixelsOf(bitmap, w, h);
    TKeptTabs& kept = KeptTabs();
    const HTHEME theme = XtTabTheme;
    auto same = [&](const TKeptTab& t) {
        return t.Theme == theme && t.Part == part && t.State == state && t.Width == w && t.Height == h &&
               t.Flip == flip && PixelsAt(beneath, t.Open) == t.Beneath;
    };
    if (auto it = std::find_if(kept.Tabs.begin(), kept.Tabs.end(), same); it != kept.Tabs.end()) {
        PutPixels(bitmap, w, h, it->Picture);
    } else {
        DrawVisualStylesPart(theme, memDC, part, state, TRect{0, 0, w, h});
        GdiFlush();
        // The places open to what lies beneath are the same for every
        // picture of a look.
        std::vector<size_t> open;
        auto look = std::find_if(kept.Tabs.begin(), kept.Tabs.end(), [&](const TKeptTab& t) {
            return t.Theme == theme && t.Part == part && t.State == state && t.Width == w && t.Height == h;
        });
        open = look != kept.Tabs.end() ? look->Open : OpenPlaces(theme, part, state, w, h);
        if (kept.Tabs.size() >= KeptTabLooks) kept.Tabs.erase(kept.Tabs.begin());
        std::vector<uint32_t> under = PixelsAt(beneath, open);
        kept.Tabs.push_back(
            TKeptTab{theme, part, state, w, h, flip, std::move(open), std::move(under), PixelsOf(bitmap, w, h)});
    }
    GdiFlush();
    CopyRows(dc, rect.Left, rect.Top, memDC, 0, 0, w, h, flip);
}

} // namespace

// ==== Painters ==================================================================================

TXtTabThemeType GetTabThemeType(TXtTabThemeType ThemeType) {
    if (ThemeType == tttTx && CurrentThemeName() == "Default") ThemeType = tttWindows;
    if (ThemeType == tttWindows && !VisualStylesUsable()) ThemeType = tttNone;
    return ThemeType;
}

void DrawXPTab(TCanvas* Canvas, const TRect& Rect, bool Enabled, bool Checked, bool HotTrack, bool Focused,
               bool Bottom, TXtTabThemeType ThemeType, int Edge) {
    TXtTabThemeType style = GetTabThemeType(ThemeType);
    if (style == tttWindows && !XtTabTheme) style = tttNone;   // no handle: the classic look
    if (IsEmptyRect(Rect) || ((style == tttNone || style == tttFlat) && !Checked)) return;
    switch (style) {
    case tttWindows: {
        const int part = Edge == 1 ? TABP_TABITEMLEFTEDGE : Edge == 2 ? TABP_TABITEMRIGHTEDGE : TABP_TABITEM;
        const int state = !Enabled ? 4 : Checked ? 3 : HotTrack ? 2 : 1;
        PaintKeptTab(Canvas, Rect, Bottom, part, state);
        break;
    }
    case tttTx: {
        // These themes shade their buttons the other way up.
        const bool flip = ThemeNameIn({"Dream", "Miranda", "Nexos2", "NexosX", "OfficeC", "Relifer", "SentimoX",
                                       "Tristan", "Tristan2", "Zezio"});
        PaintOffscreen(Canvas, Rect, flip, true, [&](TCanvas* target, const TRect& r) {
            TTxItemInfo info;
            FillButtonItemInfo(Enabled, false, HotTrack, Checked, info);
            CurrentTheme->PaintButton(target, r, info);
        });
        break;
    }
    default: {
        const TColor face = OpaqueFace(Canvas->GetBrush()->GetColor());
        PaintOffscreen(Canvas, Rect, false, false, [&](TCanvas* target, const TRect& r) {
            const HDC dc = target->GetHandle();
            FillRectColor(dc, r, face);
            DrawClassicTabFrame(dc, r, face, style == tttFlat);
        });
        break;
    }
    }
    if (Checked && Focused) DrawFocusRectangle(Canvas, InsetRect(Rect, 3, 3));
}

void DrawXPTabControlBackground(TCanvas* Canvas, const TRect& Rect, TColor Color, TXtTabThemeType ThemeType,
                                bool Bottom) {
    TXtTabThemeType style = GetTabThemeType(ThemeType);
    if (style == tttWindows && !XtTabTheme) style = tttNone;
    if (IsEmptyRect(Rect)) return;
    switch (style) {
    case tttWindows:
        PaintOffscreen(Canvas, Rect, Bottom, true, [&](TCanvas* target, const TRect& r) {
            DrawVisualStylesPart(XtTabTheme, target->GetHandle(), TABP_PANE, 0, r);
        });
        break;
    case tttTx:
        PaintOffscreen(Canvas, Rect, false, false, [&](TCanvas* target, const TRect& r) {
            FillRectColor(target->GetHandle(), r, 0xFFFFFF);
            TTxItemInfo info;
            FillButtonItemInfo(true, false, false, true, info);
            CurrentTheme->PaintButton(target, r, info);
        });
        break;
    default:
        PaintOffscreen(Canvas, Rect, false, false, [&](TCanvas* target, const TRect& r) {
            const HDC dc = target->GetHandle();
            FillRectColor(dc, r, OpaqueFace(Color));
            DrawClassicTabFrame(dc, r, OpaqueFace(Color), style == tttFlat);
        });
        break;
    }
}

// ==== Tab items ===================================================================================

GCL_PUBLISHED(TXtTabItem,
    gcl::Prop<&TXtCustomItem::GetCaption, &TXtCustomItem::SetCaption>("Caption"),
    gcl::Prop<&TXtCustomItem::GetHint, &TXtCustomItem::SetHint>("Hint"),
    GCL_PROP(Action),
    GCL_PROP(Checked).Default(false).StoredBy<&TBarCustomItem::IsCheckedStored>(),
    GCL_PROP(Enabled).Default(true).StoredBy<&TBarCustomItem::IsEnabledStored>(),
    GCL_PROP(FontSettings),
    GCL_PROP(HelpContext).Default(0).StoredBy<&TBarCustomItem::IsHelpContextStored>(),
    GCL_PROP(ImageIndex).Default(-1).StoredBy<&TBarCustomItem::IsImageIndexStored>(),
    GCL_PROP(Images),
    GCL_PROP(InheritOptions).Default(true),
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),
    GCL_PROP(Options).Default(TBarItemOptions{}),
    GCL_PROP(ShortCut).Default(0).StoredBy<&TBarCustomItem::IsShortCutStored>(),
    GCL_PROP(Visible).Default(true).StoredBy<&TBarCustomItem::IsVisibleStored>(),
    GCL_PROP(Alignment).Default(gcl::taCenter),
    GCL_PROP(CustomWidth).Default(-1),
    GCL_PROP(CustomHeight).Default(-1),
    GCL_PROP(Margins).Default(4),
    GCL_PROP(Wrapping).Default(twEndEllipsis),
    GCL_PROP(TabPosition).Default(ttpTop),
    GCL_PROP(ThemeType).Default(tttWindows))

TXtTabItem::TXtTabItem(gcl::TComponent* AOwner) : TXtCustomItem(AOwner) {
    SetDisplayMode(nbdmImageAndText);
    SetGroupIndex(TabGroupIndex);
    SetWrapping(twEndEllipsis);
    SetMargins(4);
}

TXtTabPosition TXtTabItem::GetTabPosition() const {
    TXtTabToolbar* toolbar;
    if (GetTabToolbar(const_cast<TXtTabItem*>(this), toolbar)) FTabPosition = toolbar->GetTabPosition();
    return FTabPosition;
}

void TXtTabItem::SetTabPosition(TXtTabPosition Value) {
    TXtTabToolbar* toolbar;
    if (!GetTabToolbar(this, toolbar)) StoreAndChange(FTabPosition, Value, false);
}

TXtTabThemeType TXtTabItem::GetThemeType() const {
    TXtTabToolbar* toolbar;
    if (GetTabToolbar(const_cast<TXtTabItem*>(this), toolbar)) FThemeType = toolbar->GetThemeType();
    return FThemeType;
}

void TXtTabItem::SetThemeType(TXtTabThemeType Value) {
    TXtTabToolbar* toolbar;
    if (!GetTabToolbar(this, toolbar)) StoreAndChange(FThemeType, Value, false);
}

TColor TXtTabItem::GetTabColor() const {
    TXtTabToolbar* toolbar;
    return GetTabToolbar(const_cast<TXtTabItem*>(this), toolbar) ? toolbar->GetTabColor() : gcl::clBtnFace;
}

void TXtTabItem::DrawTab(TCanvas* Canvas, const TRect& Rect, bool Enabled, bool Checked, bool HotTrack, bool Bottom,
                         bool Separator, int Edge) {
    const TXtTabThemeType themeType = GetThemeType();
    if (Separator) {
        if (themeType == tttTx && CurrentThemeName() != "Default") {
            TTxItemInfo info;
            info.ViewType = VT_MENUBAR;
            info.ItemOptions = 0x31;
            info.Enabled = Enabled;
            info.IsVertical = true;
            CurrentTheme->PaintSeparator(Canvas, TRect{Rect.Right - 4, Rect.Top + 3, Rect.Right, Rect.Bottom - 3},
                                         info, false, false);
        } else {
            const HDC dc = Canvas->GetHandle();
            DrawLineColor(dc, Rect.Right - 2, Rect.Top + 3, Rect.Right - 2, Rect.Bottom - 3, gcl::clBtnShadow);
            DrawLineColor(dc, Rect.Right - 1, Rect.Top + 3, Rect.Right - 1, Rect.Bottom - 3, gcl::clBtnHighlight);
        }
        return;
    }
    // A flat tab under the mouse looks like a themed button.
    const TXtTabThemeType style = themeType == tttFlat && HotTrack && !Checked ? tttTx : themeType;
    gcl::TBrush* brush = Canvas->GetBrush();
    const TColor oldColor = brush->GetColor();
    const gcl::TBrushStyle oldStyle = brush->GetStyle();
    brush->SetColor(GetTabColor());
    DrawXPTab(Canvas, Rect, Enabled, Checked, HotTrack, false, Bottom, style, Edge);
    brush->SetColor(oldColor);
    brush->SetStyle(oldStyle);
}

TRect TXtTabItem::CheckedTabRect(TBarItemViewer* Viewer, bool Windows) {
    TRect r = Viewer->BoundsRect;
    if (GetTabPosition() == ttpTop) ++r.Bottom;
    else --r.Top;
    if (Windows) {
        if (GetAdjacentTab(this, false, true)) r.Left -= 2;
        if (GetAdjacentTab(this, true, true)) r.Right += 2;
    }
    return r;
}

void TXtTabItem::DoDrawItem(gcl::TCanvas* Canvas, const TRect& Rect, const TTxItemInfo& ItemInfo,
                            TXtPaintStage PaintStage, bool& PaintDefault) {
    TXtCustomItem::DoDrawItem(Canvas, Rect, ItemInfo, PaintStage, PaintDefault);
    if (PaintStage != pstPrePaint || !PaintDefault) return;
    PaintDefault = false;
    const bool bottom = GetTabPosition() == ttpBottom;
    const bool checked = ItemInfo.Selected;
    const bool hot = ItemInfo.HoverKind == 2;
    const TXtTabThemeType style = GetTabThemeType(GetThemeType());
    TRect r = Rect;
    if (bottom) --r.Top;
    else ++r.Bottom;

    TBarCustomToolbar* toolbar = ToolbarOf(this);
    TBarItemViewer* own = toolbar && toolbar->GetView() ? FindViewerOfItem(toolbar->GetView(), this) : nullptr;

    if (style == tttWindows) {
        // A checked tab covers its neighbours by two pixels; an unchecked one
        // paints that part of a checked neighbour again over itself.
        TRect face = r;
        if (checked && own) {
            face = CheckedTabRect(own, true);
            gcl::OffsetRect(face, Rect.Left - own->BoundsRect.Left, Rect.Top - own->BoundsRect.Top);
        }
        DrawTab(Canvas, face, ItemInfo.Enabled, checked, hot, bottom, false, 0);
        if (checked || !own) return;
        TBarItemViewer* neighbour = GetAdjacentTab(this, false, true);
        if (!neighbour || !neighbour->GetItem()->GetChecked()) neighbour = GetAdjacentTab(this, true, true);
        if (!neighbour || !neighbour->GetItem()->GetChecked()) return;
        auto* tab = static_cast<TXtTabItem*>(neighbour->GetItem());
        TRect over = tab->CheckedTabRect(neighbour, true);
        gcl::OffsetRect(over, Rect.Left - own->BoundsRect.Left, Rect.Top - own->BoundsRect.Top);
        tab->DrawTab(Canvas, over, tab->GetEnabled(), true, false, bottom, false, 0);
        return;
    }
    const bool hotFace = hot && style != tttNone && (style != tttFlat || CurrentThemeName() != "Default");
    if (checked || hotFace) {
        DrawTab(Canvas, r, ItemInfo.Enabled, checked, hot, bottom, false, 0);
        return;
    }
    // Between two unchecked tabs a line parts them.
    if (TBarItemViewer* next = GetAdjacentTab(this, true, false); next && !next->GetItem()->GetChecked())
        DrawTab(Canvas, r, ItemInfo.Enabled, false, false, bottom, true, 0);
}

void TXtTabItem::DoDrawCaption(gcl::TCanvas* Canvas, const TRect& ClientAreaRect, int State, std::wstring& Caption,
                               TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated,
                               TXtPaintStage PaintStage, bool& PaintDefault) {
    if (PaintStage == pstPrePaint) {
        // An unchecked tab sits lower; the "Default" theme's pushed offset is undone.
        if (!(State & ISF_SELECTED)) gcl::OffsetRect(CaptionRect, 0, GetTabPosition() == ttpTop ? 2 : -2);
        if ((State & ISF_PUSHED) && CurrentThemeName() == "Default") gcl::OffsetRect(CaptionRect, -1, -1);
    }
    TXtCustomItem::DoDrawCaption(Canvas, ClientAreaRect, State, Caption, CaptionRect, CaptionFormat, IsTextRotated,
                                 PaintStage, PaintDefault);
}

void TXtTabItem::DoDrawImage(gcl::TCanvas* Canvas, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                             gcl::TCustomImageList*& ImageList, int& ImageIndex, TRect& Rect, bool& PaintDefault) {
    if (PaintStage == pstPrePaint && !ItemInfo.Selected)
        gcl::OffsetRect(Rect, 0, GetTabPosition() == ttpTop ? 2 : -2);
    TXtCustomItem::DoDrawImage(Canvas, ItemInfo, PaintStage, ImageList, ImageIndex, Rect, PaintDefault);
}

void TXtTabItem::Click() {
    TXtTabToolbar* toolbar;
    if (!GetChecked() && GetEnabled() && GetTabToolbar(this, toolbar)) {
        const int index = toolbar->GetItems()->IndexOf(this);
        if (TXtCustomTabSet* tabSet = toolbar->GetTabSet()) {
            gcl::TComponentRef<TXtTabItem> self(this);
            if (tabSet->CanActiveTabChange(toolbar->GetActiveTabIndex(), index) && self)
                toolbar->ApplyActiveTab(index);
            if (!self) return;
        } else {
            SetChecked(true);
        }
    }
    TXtCustomItem::Click();
}

void TXtTabItem::DoDrawAdjustFont(gcl::TFont* Font, int State) {
    TXtCustomItem::DoDrawAdjustFont(Font, State);
    if (GetTabThemeType(GetThemeType()) != tttTx && GetEnabled()) Font->SetColor(gcl::clBtnText);
}

// ==== Tab routines ================================================================================

bool GetTabToolbar(TBarCustomItem* Tab, TXtTabToolbar*& Toolbar) {
    Toolbar = dynamic_cast<TXtTabToolbar*>(ToolbarOf(Tab));
    return Toolbar != nullptr;
}

namespace {

bool IsSelectableItem(TBarCustomItem* Item) { return Item->GetVisible() && Item->HasStyle(tbisSelectable); }

} // namespace

TBarItemViewer* GetAdjacentTab(TBarCustomItem* Tab, bool Forward, bool StopAtNonTab) {
    TBarCustomToolbar* toolbar = ToolbarOf(Tab);
    TBarView* view = toolbar ? toolbar->GetView() : nullptr;
    TBarItemViewer* viewer = view ? FindViewerOfItem(view, Tab) : nullptr;
    if (!viewer) return nullptr;
    while ((viewer = FindAdjacentViewer(view, viewer, Forward, TXtItemTest(&IsSelectableItem)))) {
        if (dynamic_cast<TXtTabItem*>(viewer->GetItem())) return viewer;
        if (StopAtNonTab) return nullptr;
    }
    return nullptr;
}

bool IsFirstTab(TBarCustomItem* Tab) {
    TBarCustomToolbar* toolbar = ToolbarOf(Tab);
    TBarView* view = toolbar ? toolbar->GetView() : nullptr;
    return view && view->GetViewerCount() > 0 && view->GetViewers(0)->GetItem() == Tab;
}

// ==== The tab toolbar =============================================================================

namespace {

bool IsSpacer(TBarCustomItem* Item) { return dynamic_cast<TXtRightAlignSpacerItem*>(Item) != nullptr; }

// The index of the first right-align spacer: the tabs come before it.
int SpacerIndex(TBarCustomItem* Root) {
    for (int i = 0; i < Root->GetCount(); ++i)
        if (IsSpacer(Root->GetItem(i))) return i;
    return Root->GetCount();
}

} // namespace

GCL_IMPLEMENT_CLASS(TXtTabItemDragObject)

TXtTabItemDragObject::TXtTabItemDragObject(gcl::TControl* ASourceControl, TBarCustomItem* ASourceItem)
    : TXtCustomDragObject(ASourceControl, ASourceItem) {
    SetAcceptedCursor(gcl::crDefault);
    SetRejectedCursor(gcl::crDefault);
}

GCL_PUBLISHED(TXtTabToolbar,
    GCL_PROP(ActiveTabIndex).Default(-1),
    GCL_PROP(TabAutofit).Default(false),
    GCL_PROP(TabAutofitMaxSize).Default(200),
    GCL_PROP(TabColor).Default(gcl::clBtnFace).Idents(gcl::ColorIdents),
    GCL_PROP(TabPosition).Default(ttpTop),
    GCL_PROP(TabDragReorder).Default(false),
    GCL_PROP(ThemeType).Default(tttWindows))

TXtTabToolbar::TXtTabToolbar(gcl::TComponent* AOwner)
    : TXtToolbar(AOwner), FHiddenItems(std::make_unique<TXtItemCacheCollection>()),
      FTabSet(dynamic_cast<TXtCustomTabSet*>(AOwner)) {}

void TXtTabToolbar::BeforeDestruction() noexcept {
    FTabSet = nullptr;
    inherited::BeforeDestruction();
}

void TXtTabToolbar::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TXtTabToolbar::SetThemeType(TXtTabThemeType Value) {
    if (Value == FThemeType) return;
    FThemeType = Value;
    GetView()->InvalidatePositions();
    RedrawFrame();
    if (FTabSet) FTabSet->InvalidateBackground(true);
}

void TXtTabToolbar::SetTabColor(TColor Value) {
    if (Value == FTabColor) return;
    FTabColor = Value;
    if (FThemeType == tttTx) return;   // the theme's faces take no colour
    RedrawFrame();
    if (FTabSet) FTabSet->InvalidateBackground(true);
}

void TXtTabToolbar::SetTabPosition(TXtTabPosition Value) {
    if (Value == FTabPosition) return;
    FTabPosition = Value;
    RedrawFrame();
    if (FTabSet) FTabSet->InvalidateBackground(true);
}

void TXtTabToolbar::SetTabAutofit(bool Value) {
    if (Value == FTabAutofit) return;
    FTabAutofit = Value;
    if (FTabAutofit) {
        TabAutofitUpdate();
        RedrawFrame();
    }
}

void TXtTabToolbar::SetTabAutofitMaxSize(int Value) {
    if (Value == FTabAutofitMaxSize) return;
    FTabAutofitMaxSize = Value;
    if (FTabAutofit) TabAutofitUpdate();
}

TXtTabItem* TXtTabToolbar::GetActiveTab() const {
    TBarCustomItem* root = const_cast<TXtTabToolbar*>(this)->GetItems();
    if (!root || FActiveTabIndex < 0 || FActiveTabIndex >= root->GetCount()) return nullptr;
    auto* tab = dynamic_cast<TXtTabItem*>(root->GetItem(FActiveTabIndex));
    if (!tab || gcl::InState(tab, gcl::csDestroying) || !tab->GetParent()) return nullptr;
    return tab;
}

int TXtTabToolbar::NormalizedTabIndex(int Value) const {
    TBarCustomItem* root = const_cast<TXtTabToolbar*>(this)->GetItems();
    if (Value < 0 || !root || Value >= root->GetCount() || gcl::InState(root->GetItem(Value), gcl::csDestroying))
        return -1;
    return dynamic_cast<TXtTabItem*>(root->GetItem(Value)) ? Value : FActiveTabIndex;
}

void TXtTabToolbar::SetActiveTabIndex(int Value) {
    if (!FTabSet) return;
    Value = NormalizedTabIndex(Value);
    if (Value == FActiveTabIndex || !FTabSet->CanActiveTabChange(FActiveTabIndex, Value)) return;
    ApplyActiveTab(Value);
}

void TXtTabToolbar::ApplyActiveTab(int Index) {
    Index = NormalizedTabIndex(Index);
    if (Index == FActiveTabIndex) return;
    TXtTabItem* old = GetActiveTab();
    FActiveTabIndex = Index;
    if (old) {
        old->SetChecked(false);
        if (gcl::TControl* control = old->GetControl()) control->SetVisible(false);
    }
    if (TXtTabItem* tab = GetActiveTab()) {
        tab->SetChecked(true);
        if (gcl::TControl* control = tab->GetControl()) {
            control->SetVisible(true);
            control->BringToFront();
        }
        MakeTabVisible(tab);
    }
    if (FTabSet) FTabSet->DoActiveTabChange(FActiveTabIndex);
    RedrawFrame();
}

// ---- Fitting, hiding and showing tabs ---------------------------------------------------------------

void TXtTabToolbar::TabAutofitUpdate() {
    TBarView* view = GetView();
    if (!FTabAutofit || FUpdating || !view || GetItems()->GetCount() == 0) return;
    TBarDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    if (!dock) return;
    gcl::TFlagScope updating(FUpdating);
    for (int i = FHiddenItems->GetCount() - 1; i >= 0; --i) ShowHiddenTab(i);
    view->ValidatePositions();
    TViewUpdateScope update(view);
    int tabs = 0, others = 0, spacers = 0;
    for (int i = 0; i < view->GetViewerCount(); ++i) {
        TBarItemViewer* viewer = view->GetViewers(i);
        if (!viewer->Show) continue;
        if (dynamic_cast<TXtTabItem*>(viewer->GetItem())) ++tabs;
        else if (IsSpacer(viewer->GetItem())) spacers += 20;
        else others += viewer->BoundsRect.Width();
    }
    if (tabs == 0) return;
    const int dockWidth = dock->GetClientWidth();
    // Widths below 0 would read as "the natural width".
    const int tabWidth = std::max(0, std::min((dockWidth - 4 - others - spacers) / tabs, FTabAutofitMaxSize));
    const int spacerWidth = 20 + dockWidth - (tabWidth * tabs + others + spacers);
    for (int i = 0; i < view->GetViewerCount(); ++i) {
        TBarItemViewer* viewer = view->GetViewers(i);
        if (!viewer->Show) continue;
        if (auto* tab = dynamic_cast<TXtTabItem*>(viewer->GetItem())) tab->SetCustomWidth(tabWidth);
        else if (IsSpacer(viewer->GetItem()))
            static_cast<TXtCustomItem*>(viewer->GetItem())->SetCustomWidth(
                std::max(0, spacerWidth - GetRightAlignMargin()));
    }
    view->InvalidatePositions();
    view->UpdatePositions();
}

int TXtTabToolbar::ShowHiddenTab(int CacheIndex) {
    TXtItemCache* cache = FHiddenItems->GetItems(CacheIndex);
    const int width = cache->GetWidth();
    if (TBarCustomItem* item = cache->GetItem()) item->SetVisible(true);
    FHiddenItems->Delete(CacheIndex);
    return width;
}

void TXtTabToolbar::HideTab(TBarItemViewer* Viewer) {
    if (FHiddenItems->IndexOfItem(Viewer->GetItem()) < 0) FHiddenItems->AddItem(Viewer->GetItem(), Viewer->BoundsRect);
    Viewer->GetItem()->SetVisible(false);
}

void TXtTabToolbar::FitTabs() {
    TBarView* view = GetView();
    TBarDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    if (FUpdating || gcl::InState(this, gcl::csDestroying) || !view || !dock || dock->GetWidth() <= 0 ||
        dock->GetHeight() <= 0 || GetItems()->GetCount() == 0 || !GetVisible())
        return;
    if (FTabAutofit) {
        TabAutofitUpdate();
        return;
    }
    TBarItemViewer* first = view->NextSelectable(nullptr, true);
    if (!first) return;
    gcl::TFlagScope updating(FUpdating);
    view->ValidatePositions();
    TViewUpdateScope update(view);
    std::vector<TBarItemViewer*> afterSpacer;
    int afterLength = 0, total = 0;
    TBarItemViewer* spacer = MeasureRightAlignedItems(view, &afterSpacer, false, afterLength, total);
    auto* spacerItem = spacer ? dynamic_cast<TXtCustomItem*>(spacer->GetItem()) : nullptr;
    const int dockWidth = dock->GetClientWidth();
    int limit = dockWidth - 8;
    int running = total;
    int spacerWidth = 0;
    if (spacerItem) {
        const int current = std::max(0, spacerItem->GetCustomWidth());
        limit = dockWidth - 8 - afterLength + current;
        running = total - current;
        spacerWidth = dockWidth - running - 4;
    }
    // Hidden tabs after the last shown one come back, in order, while they fit.
    TBarCustomItem* root = GetItems();
    const int spacerIndex = spacerItem ? root->IndexOf(spacerItem) : root->GetCount();
    int from = 0;
    for (int i = 0; i < spacerIndex; ++i)
        if (root->GetItem(i)->GetVisible() && root->GetItem(i)->HasStyle(tbisSelectable)) from = i;
    for (int i = from; i < spacerIndex; ++i) {
        const int cached = FHiddenItems->IndexOfItem(root->GetItem(i));
        if (cached < 0 || root->GetItem(i)->GetVisible()) continue;
        const int width = FHiddenItems->GetItems(cached)->GetWidth();
        if (running + width >= limit) break;
        running += ShowHiddenTab(cached);
        spacerWidth -= width;
    }
    view->ValidatePositions();
    // Then the items past the limit go, from the last one.
    for (int i = view->GetViewerCount() - 1; i >= 0; --i) {
        TBarItemViewer* viewer = view->GetViewers(i);
        if (!viewer->Show || viewer == first || viewer == spacer || viewer->GetItem() == GetChevronItem() ||
            std::find(afterSpacer.begin(), afterSpacer.end(), viewer) != afterSpacer.end())
            continue;
        if (viewer->BoundsRect.Right <= limit) continue;
        spacerWidth += viewer->BoundsRect.Width();
        HideTab(viewer);
    }
    if (spacerItem) spacerItem->SetCustomWidth(std::max(0, spacerWidth));
    view->InvalidatePositions();
    view->UpdatePositions();
}

void TXtTabToolbar::ScrollLeft() {
    TBarView* view = GetView();
    TBarCustomItem* root = GetItems();
    if (FTabAutofit || !view || root->GetCount() < 2) return;
    {
        gcl::TFlagScope updating(FUpdating);
        // The nearest hidden tab before the first shown one comes in, the
        // last shown one goes.
        const int end = SpacerIndex(root);
        int firstShown = -1, lastShown = -1;
        for (int i = 0; i < end; ++i)
            if (root->GetItem(i)->GetVisible()) {
                if (firstShown < 0) firstShown = i;
                lastShown = i;
            }
        int comeBack = -1;
        for (int i = firstShown - 1; i >= 0 && comeBack < 0; --i)
            if (FHiddenItems->IndexOfItem(root->GetItem(i)) >= 0) comeBack = i;
        if (comeBack < 0) {
            // The first tab never hides, so room made at the end (a tab
            // deleted) brings back the first hidden tab after the shown ones.
            for (int i = 0; i < end && comeBack < 0; ++i)
                if (FHiddenItems->IndexOfItem(root->GetItem(i)) >= 0) comeBack = i;
            if (comeBack < 0) return;
        }
        ShowHiddenTab(FHiddenItems->IndexOfItem(root->GetItem(comeBack)));
        if (lastShown >= 0 && lastShown != comeBack && lastShown > comeBack) {
            view->ValidatePositions();
            if (TBarItemViewer* viewer = FindViewerOfItem(view, root->GetItem(lastShown))) HideTab(viewer);
        }
    }
    if (FindRightAlignSpacerViewer(view)) FitTabs();
    else RedrawFrame();
}

void TXtTabToolbar::ScrollRight() {
    TBarView* view = GetView();
    TBarCustomItem* root = GetItems();
    if (FTabAutofit || !view || root->GetCount() < 2) return;
    {
        gcl::TFlagScope updating(FUpdating);
        // The nearest hidden tab after the last shown one comes in, the
        // first shown one (after the first selectable, which stays) goes.
        TBarItemViewer* first = view->NextSelectable(nullptr, true);
        const int end = SpacerIndex(root);
        int lastShown = -1;
        for (int i = 0; i < end; ++i)
            if (root->GetItem(i)->GetVisible()) lastShown = i;
        int comeBack = -1;
        for (int i = lastShown + 1; i < end && comeBack < 0; ++i)
            if (FHiddenItems->IndexOfItem(root->GetItem(i)) >= 0) comeBack = i;
        if (comeBack < 0) return;
        ShowHiddenTab(FHiddenItems->IndexOfItem(root->GetItem(comeBack)));
        view->ValidatePositions();
        for (int i = 0; i < end; ++i) {
            TBarCustomItem* item = root->GetItem(i);
            if (!item->GetVisible() || (first && first->GetItem() == item)) continue;
            if (TBarItemViewer* viewer = FindViewerOfItem(view, item)) HideTab(viewer);
            break;
        }
    }
    if (FindRightAlignSpacerViewer(view)) FitTabs();
    else RedrawFrame();
}

void TXtTabToolbar::MakeTabVisible(TXtTabItem* Tab) {
    TBarCustomItem* root = GetItems();
    if (!Tab || root->GetCount() < 2 || Tab->GetVisible() || FHiddenItems->IndexOfItem(Tab) < 0) return;
    const int index = root->IndexOf(Tab);
    const int rounds = GetView() ? GetView()->GetViewerCount() : 0;
    for (int n = 0; n < rounds && !Tab->GetVisible(); ++n) {
        int firstShown = -1;
        for (int i = 0; i < root->GetCount() && firstShown < 0; ++i)
            if (root->GetItem(i)->GetVisible()) firstShown = i;
        if (index <= firstShown) ScrollLeft();
        else ScrollRight();
    }
}

// ---- Mouse, drag and notifications ----------------------------------------------------------------

bool TXtTabToolbar::CanItemClick(TBarCustomItem* Item, gcl::TMouseButton Button, gcl::TShiftState Shift, int X,
                                 int Y) {
    auto* tab = dynamic_cast<TXtTabItem*>(Item);
    if (!tab || Button != gcl::mbLeft || !tab->GetEnabled() || gcl::InState(this, gcl::csDesigning))
        return inherited::CanItemClick(Item, Button, Shift, X, Y);
    // A tab acts on the press; the press never opens a menu loop.
    gcl::TComponentRef<TXtTabItem> ref(tab);
    gcl::TComponentRef<TXtTabToolbar> self(this);
    if (!tab->GetChecked()) {
        tab->Click();
        if (!self) return false;
        if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
    }
    if (self && ref && FTabDragReorder && ref->GetChecked() && ref->GetVisible()) {
        FDragTab = ref.Get();
        BeginDrag(false, 2);
    }
    return false;
}

void TXtTabToolbar::DoStartDrag(gcl::TDragObject*& DragObject) {
    if (FDragTab && !DragObject) {
        DragObject = TXtTabItemDragObject::Create(this, FDragTab.Get());
        return;
    }
    inherited::DoStartDrag(DragObject);
}

void TXtTabToolbar::DragOver(gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept) {
    auto* drag = dynamic_cast<TXtTabItemDragObject*>(Source);
    TBarCustomItem* tab = drag ? drag->GetSourceItem() : nullptr;
    TBarCustomItem* root = GetItems();
    if (!tab || tab->GetParent() != root) {
        inherited::DragOver(Source, X, Y, State, Accept);
        return;
    }
    Accept = true;
    const int source = root->IndexOf(tab);
    int target = -1;
    TBarItemViewer* viewer = nullptr;
    if (!CalcTabDropIndex(root, GetView(), TPoint{X, Y}, target, viewer, source)) return;
    const int spacerIndex = SpacerIndex(root);
    if (target == source || target < 0 || target >= root->GetCount() || (viewer && viewer->GetItem() == tab) ||
        target >= spacerIndex)
        return;
    if (FTabSet && !FTabSet->CanActiveTabReorder(source, target)) return;
    {
        gcl::TFlagScope updating(FUpdating);
        TViewUpdateScope update(GetView());
        FActiveTabIndex = target;
        root->Move(source, target);
        if (FTabSet) FTabSet->DoActiveTabReorder(target);
    }
    RedrawFrame();
}

void TXtTabToolbar::DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, TBarItemChangedAction Action,
                                       int Index, TBarCustomItem* Item) {
    if (FUpdating) return;
    inherited::DoItemNotification(Ancestor, Relayed, Action, Index, Item);
}

// ---- The frame: the pane's edge and the active tab over it --------------------------------------------

void TXtTabToolbar::DrawNCArea(HDC DC) {
    inherited::DrawNCArea(DC);
    if (!GetDocked() || !HandleAllocated() || !FTabSet) return;
    const HWND wnd = GetHandle();
    const HDC dc = DC ? DC : GetWindowDC(wnd);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const int saved = SaveDC(dc);
    TPoint tl, br;
    GetDockedNCArea(tl, br, false);
    ExcludeClipRect(dc, tl.X, tl.Y, w - br.X, h - br.Y);
    const bool bottom = FTabPosition == ttpBottom;
    gcl::TCanvas canvas;
    canvas.SetHandle(dc);
    // The strip along the pane's edge, painted as the pane is.
    const TRect strip = bottom ? TRect{0, -4, w, 2} : TRect{0, h - 2, w, h + 4};
    {
        gcl::TBitmap bitmap;
        bitmap.SetPixelFormat(gcl::pf32bit);
        bitmap.SetSize(strip.Width(), strip.Height());
        const TRect r{0, 0, strip.Width(), strip.Height()};
        bool paintDefault = true;
        FTabSet->DoDrawBackground(bitmap.GetCanvas(), r, pstPrePaint, paintDefault);
        if (paintDefault) DrawXPTabControlBackground(bitmap.GetCanvas(), r, FTabColor, FThemeType, bottom);
        FTabSet->DoDrawBackground(bitmap.GetCanvas(), r, pstPostPaint, paintDefault);
        canvas.Draw(strip.Left, strip.Top, &bitmap);
    }
    // The active tab again, reaching into the pane.
    TXtTabItem* tab = GetActiveTab();
    TBarItemViewer* viewer = tab && GetView() ? FindViewerOfItem(GetView(), tab) : nullptr;
    if (viewer && viewer->Show) {
        const TXtTabThemeType style = GetTabThemeType(FThemeType);
        TRect r = viewer->BoundsRect;
        gcl::OffsetRect(r, tl.X, tl.Y);
        int reach = 1;
        if ((style == tttTx && ThemeNameIn({"Dream", "Miranda", "Monai", "NexosX", "Stripes", "Zezio"})) ||
            (bottom && style == tttNone))
            reach = 2;
        if (bottom) r.Top -= reach;
        else r.Bottom += reach;
        int edge = 0;
        if (style == tttWindows) {
            const bool first = IsFirstTab(tab);
            if (first || GetAdjacentTab(tab, false, true)) r.Left -= 2;
            if (GetAdjacentTab(tab, true, true)) r.Right += 2;
            if (first) edge = 1;
        }
        tab->DrawTab(&canvas, r, true, true, false, bottom, false, edge);
    }
    canvas.SetHandle(nullptr);
    RestoreDC(dc, saved);
    if (!DC) ReleaseDC(wnd, dc);
}

// ==== The tab set =================================================================================

GCL_IMPLEMENT_CLASS(TXtCustomTabSet)
GCL_PUBLISHED(TXtTabSet,
    GCL_PROP(Align),
    GCL_PROP(Color),
    GCL_PROP(Visible),
    GCL_PROP(ActiveTabIndex).Default(-1),
    GCL_PROP(TabAutofit).Default(false),
    GCL_PROP(TabPosition).Default(ttpTop),
    GCL_PROP(ThemeType).Default(tttWindows),
    GCL_PROP(TabBackgroundBorders).Default(true))

TXtCustomTabSet::TXtCustomTabSet(gcl::TComponent* AOwner)
    : TXtCompoundItemsControl(AOwner), FBackgroundBitmap(std::make_unique<gcl::TBitmap>()) {
    SetControlStyle(GetControlStyle().Include(gcl::csAcceptsControls).Include(gcl::csOpaque));
}

void TXtCustomTabSet::AfterConstruction() {
    inherited::AfterConstruction();
    SetParentColor(false);
    const TXtTabThemeType style = GetTabThemeType(GetThemeType());
    SetColor(style == tttWindows || style == tttTx ? clNone : gcl::clBtnFace);
    SetBounds(GetLeft(), GetTop(), 289, GetDock()->GetHeight() + 2);
    GetItems()->RegisterNotification(TBarItemChangeHandler(this, &TXtCustomTabSet::ItemNotification));
}

void TXtCustomTabSet::BeforeDestruction() noexcept {
    if (TBarCustomItem* items = GetItems())
        items->UnregisterNotification(TBarItemChangeHandler(this, &TXtCustomTabSet::ItemNotification));
    inherited::BeforeDestruction();
}

const gcl::TComponent::TMetaClassType* TXtCustomTabSet::GetToolbarClass() { return TXtTabToolbar::StaticClass(); }

TXtTabToolbar* TXtCustomTabSet::GetTabToolbar() const { return static_cast<TXtTabToolbar*>(GetToolbar()); }

bool TXtCustomTabSet::IsLoadingNow() const { return gcl::InState(this, gcl::csLoading); }

int TXtCustomTabSet::GetActiveTabIndex() const {
    return IsLoadingNow() ? FActiveTabIndexWhileLoading : GetTabToolbar()->GetActiveTabIndex();
}

void TXtCustomTabSet::SetActiveTabIndex(int Value) {
    if (IsLoadingNow()) FActiveTabIndexWhileLoading = Value;
    else GetTabToolbar()->SetActiveTabIndex(Value);
}

bool TXtCustomTabSet::GetTabAutofit() const { return GetTabToolbar()->GetTabAutofit(); }
void TXtCustomTabSet::SetTabAutofit(bool Value) { GetTabToolbar()->SetTabAutofit(Value); }
TXtTabThemeType TXtCustomTabSet::GetThemeType() const { return GetTabToolbar()->GetThemeType(); }
void TXtCustomTabSet::SetThemeType(TXtTabThemeType Value) { GetTabToolbar()->SetThemeType(Value); }
TXtTabPosition TXtCustomTabSet::GetTabPosition() const { return GetTabToolbar()->GetTabPosition(); }
void TXtCustomTabSet::SetTabPosition(TXtTabPosition Value) { GetTabToolbar()->SetTabPosition(Value); }

void TXtCustomTabSet::SetTabBackgroundBorders(bool Value) {
    if (Value == FTabBackgroundBorders) return;
    FTabBackgroundBorders = Value;
    InvalidateBackground(true);
}

void TXtCustomTabSet::DefineProperties(gcl::TFiler& Filer) {
    inherited::DefineProperties(Filer);
    Filer.DefineProperty("HiddenItems", gcl::TReaderProc(this, &TXtCustomTabSet::ReadHiddenItems),
                         gcl::TWriterProc(this, &TXtCustomTabSet::WriteHiddenItems),
                         GetTabToolbar()->GetHiddenItems()->GetCount() > 0);
}

void TXtCustomTabSet::ReadHiddenItems(gcl::TReader& Reader) {
    Reader.ReadCollection(GetTabToolbar()->GetHiddenItems());
}

void TXtCustomTabSet::WriteHiddenItems(gcl::TWriter& Writer) {
    Writer.WriteCollection(GetTabToolbar()->GetHiddenItems());
}

void TXtCustomTabSet::Loaded() {
    inherited::Loaded();
    TXtItemCacheCollection* hidden = GetTabToolbar()->GetHiddenItems();
    for (int i = hidden->GetCount() - 1; i >= 0; --i) {
        TXtItemCache* entry = hidden->GetItems(i);
        if (entry->GetItem()) continue;
        const std::string name = entry->GetName();
        gcl::TComponent* found = name.empty() || !GetOwner() ? nullptr : GetOwner()->FindComponent(name);
        if (auto* item = dynamic_cast<TBarCustomItem*>(found)) entry->SetItem(item);
        else if (name.empty()) hidden->Delete(i);
    }
    if (FActiveTabIndexWhileLoading >= 0) GetTabToolbar()->SetActiveTabIndex(FActiveTabIndexWhileLoading);
    FActiveTabIndexWhileLoading = -1;
    if (GetTabAutofit()) GetTabToolbar()->TabAutofitUpdate();
}

void TXtCustomTabSet::DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                       bool& PaintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, Canvas, Rect, PaintStage, PaintDefault);
}

bool TXtCustomTabSet::CanActiveTabChange(int TabIndex, int NewTabIndex) {
    bool allow = true;
    if (OnActiveTabChanging && !IsLoadingNow()) OnActiveTabChanging(this, TabIndex, NewTabIndex, allow);
    return allow;
}

void TXtCustomTabSet::DoActiveTabChange(int TabIndex) {
    if (OnActiveTabChange && !IsLoadingNow()) OnActiveTabChange(this, TabIndex);
}

bool TXtCustomTabSet::CanActiveTabReorder(int TabIndex, int NewTabIndex) {
    bool allow = true;
    if (OnActiveTabReordering) OnActiveTabReordering(this, TabIndex, NewTabIndex, allow);
    return allow;
}

void TXtCustomTabSet::DoActiveTabReorder(int NewTabIndex) {
    if (OnActiveTabReorder) OnActiveTabReorder(this, NewTabIndex);
}

void TXtCustomTabSet::TabInserted(TXtTabItem* Tab) {
    if (GetItems()->GetCount() == 1) Tab->Click();
}

void TXtCustomTabSet::TabDeleted(TXtTabItem*) { GetTabToolbar()->ScrollLeft(); }

void TXtCustomTabSet::ItemClick(TBarCustomItem* Item) {
    if (Item) Item->Click();
}

void TXtCustomTabSet::ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                                       TBarCustomItem* Item) {
    TXtTabToolbar* toolbar = GetTabToolbar();
    if (!toolbar || toolbar->GetUpdating() || Relayed || Sender != GetItems() || FReentrant) return;
    const int active = toolbar->GetActiveTabIndex();
    switch (Action) {
    case tbicInserted:
        if (active >= 0 && Index <= active) toolbar->SetActiveTabIndexField(active + 1);
        if (auto* tab = dynamic_cast<TXtTabItem*>(Item)) TabInserted(tab);
        InvalidateBackground(false);
        FUpdateState = 0;
        break;
    case tbicDeleting: {
        if (gcl::InState(this, gcl::csDestroying)) break;
        bool replaced = false;
        if (Index < active) {
            toolbar->SetActiveTabIndexField(active - 1);
        } else if (Index == active) {
            if (Index > 0) {
                toolbar->ApplyActiveTab(Index - 1);
            } else {
                // The next tab takes over by a click; once the first tab has
                // gone it is at index 0.
                auto* next = GetItems()->GetCount() > 1 ? dynamic_cast<TXtTabItem*>(GetItems()->GetItem(1)) : nullptr;
                if (next) {
                    gcl::TFlagScope reentrant(FReentrant);
                    ItemClick(next);
                    replaced = toolbar->GetActiveTab() == next;
                }
                toolbar->SetActiveTabIndexField(replaced ? 0 : -1);
            }
        }
        if (auto* tab = dynamic_cast<TXtTabItem*>(Item)) {
            FDeletedTab = tab;
            if (FUpdateState >= 1) FUpdateState = 2;
            else TabDeleted(tab);
        }
        if (replaced && HandleAllocated()) PostMessageA(GetHandle(), CM_REAPPLYACTIVETAB, 0, 0);
        else InvalidateBackground(false);
        break;
    }
    case tbicSubitemsBeginUpdate: FUpdateState = 1; break;
    case tbicSubitemsEndUpdate:
        if (FUpdateState == 2) TabDeleted(FDeletedTab.Get());
        FUpdateState = 0;
        break;
    case tbicInvalidate:
    case tbicInvalidateAndResize:
        if (auto* tab = dynamic_cast<TXtTabItem*>(Item); tab && tab->GetChecked() && tab->GetEnabled()) {
            const int index = GetItems()->IndexOf(tab);
            if (index >= 0 && index != active) {
                gcl::TFlagScope reentrant(FReentrant);
                toolbar->SetActiveTabIndex(index);
            }
        }
        break;
    default: break;
    }
}

void TXtCustomTabSet::InvalidateBackground(bool Repaint) {
    FBackgroundBitmap->SetSize(0, 0);
    inherited::InvalidateBackground(Repaint);
}

void TXtCustomTabSet::EraseBackground(gcl::TMessage& Message) {
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TRect r{0, 0, GetWidth(), GetHeight()};
    const bool bottom = GetTabPosition() == ttpBottom;
    if (FTabBackgroundBorders) {
        const int strip = GetDock()->GetHeight() - 2;
        if (bottom) r.Bottom -= strip;
        else r.Top += strip;
    }
    if (gcl::IsRectEmpty(r)) {
        Message.Result = 1;
        return;
    }
    if (FBackgroundBitmap->GetWidth() != r.Width() || FBackgroundBitmap->GetHeight() != r.Height() ||
        OnDrawBackground) {
        FBackgroundBitmap->SetPixelFormat(gcl::pf32bit);
        FBackgroundBitmap->SetSize(r.Width(), r.Height());
        TCanvas* canvas = FBackgroundBitmap->GetCanvas();
        const TRect pane{0, 0, r.Width(), r.Height()};
        FillRectColor(canvas->GetHandle(), pane, 0xFFFFFF);
        bool paintDefault = true;
        DoDrawBackground(canvas, pane, pstPrePaint, paintDefault);
        if (paintDefault) DrawXPTabControlBackground(canvas, pane, GetColor(), GetThemeType(), bottom);
        DoDrawBackground(canvas, pane, pstPostPaint, paintDefault);
    }
    GdiFlush();
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), FBackgroundBitmap->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    Message.Result = 1;
}

void TXtCustomTabSet::Dispatch(gcl::TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (gcl::InState(this, gcl::csDestroying)) break;
        EraseBackground(Message);
        return;
    case gcl::CM_COLORCHANGED:
        inherited::Dispatch(Message);
        if (TXtTabToolbar* toolbar = GetTabToolbar()) toolbar->SetTabColor(GetColor());
        InvalidateBackground(false);
        return;
    case WM_WINDOWPOSCHANGED:
        inherited::Dispatch(Message);
        InvalidateBackground(true);
        return;
    case CM_REAPPLYACTIVETAB:
        if (TXtTabToolbar* toolbar = GetTabToolbar()) {
            const int index = toolbar->GetActiveTabIndex();
            toolbar->SetActiveTabIndexField(-1);
            toolbar->SetActiveTabIndex(index);
        }
        if (HandleAllocated())
            RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    default: break;
    }
    inherited::Dispatch(Message);
}

} // namespace qelvo
