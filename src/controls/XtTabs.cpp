// Tab items and the painters of tabs and of the pane under them.
#include "controls/XtTabs.h"

#include "theming/TxUtils.h"

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

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

TRect Inset(const TRect& r, int d) { return TRect{r.Left + d, r.Top + d, r.Right - d, r.Bottom - d}; }

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
        PaintOffscreen(Canvas, Rect, Bottom, true, [&](TCanvas* target, const TRect& r) {
            DrawVisualStylesPart(XtTabTheme, target->GetHandle(), part, state, r);
        });
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
        const TColor face = Canvas->GetBrush()->GetColor();
        PaintOffscreen(Canvas, Rect, false, false, [&](TCanvas* target, const TRect& r) {
            const HDC dc = target->GetHandle();
            FillRectColor(dc, r, face);
            DrawClassicTabFrame(dc, r, face, style == tttFlat);
        });
        break;
    }
    }
    if (Checked && Focused) DrawFocusRectangle(Canvas, Inset(Rect, 3));
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
            FillRectColor(dc, r, Color);
            DrawClassicTabFrame(dc, r, Color, style == tttFlat);
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

TXtTabPosition TXtTabItem::GetTabPosition() const { return FTabPosition; }

void TXtTabItem::SetTabPosition(TXtTabPosition Value) {
    TXtTabToolbar* toolbar;
    if (GetTabToolbar(this, toolbar) || Value == FTabPosition) return;
    FTabPosition = Value;
    Changed(false);
}

TXtTabThemeType TXtTabItem::GetThemeType() const { return FThemeType; }

void TXtTabItem::SetThemeType(TXtTabThemeType Value) {
    TXtTabToolbar* toolbar;
    if (GetTabToolbar(this, toolbar) || Value == FThemeType) return;
    FThemeType = Value;
    Changed(false);
}

TColor TXtTabItem::GetTabColor() const { return gcl::clBtnFace; }

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

    TBarItemViewer* own = nullptr;
    if (TBarCustomToolbar* toolbar = ToolbarOf(this))
        if (TBarView* view = toolbar->GetView())
            for (int i = 0; i < view->GetViewerCount() && !own; ++i)
                if (view->GetViewers(i)->GetItem() == this) own = view->GetViewers(i);

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

void TXtTabItem::DoDrawAdjustFont(gcl::TFont* Font, int State) {
    TXtCustomItem::DoDrawAdjustFont(Font, State);
    if (GetTabThemeType(GetThemeType()) != tttTx && GetEnabled()) Font->SetColor(gcl::clBtnText);
}

// ==== Tab routines ================================================================================

bool GetTabToolbar(TBarCustomItem* Tab, TXtTabToolbar*& Toolbar) {
    (void)Tab;
    Toolbar = nullptr;
    return false;
}

TBarItemViewer* GetAdjacentTab(TBarCustomItem* Tab, bool Forward, bool StopAtNonTab) {
    TBarCustomToolbar* toolbar = ToolbarOf(Tab);
    TBarView* view = toolbar ? toolbar->GetView() : nullptr;
    if (!view) return nullptr;
    int i = -1;
    for (int k = 0; k < view->GetViewerCount(); ++k)
        if (view->GetViewers(k)->GetItem() == Tab) i = k;
    if (i < 0) return nullptr;
    for (i += Forward ? 1 : -1; i >= 0 && i < view->GetViewerCount(); i += Forward ? 1 : -1) {
        TBarItemViewer* v = view->GetViewers(i);
        TBarCustomItem* item = v->GetItem();
        if (!(v->Show || v->Clipped) || !item->GetVisible() || !item->HasStyle(tbisSelectable)) continue;
        if (dynamic_cast<TXtTabItem*>(item)) return v;
        if (StopAtNonTab) return nullptr;
    }
    return nullptr;
}

bool IsFirstTab(TBarCustomItem* Tab) {
    TBarCustomToolbar* toolbar = ToolbarOf(Tab);
    TBarView* view = toolbar ? toolbar->GetView() : nullptr;
    return view && view->GetViewerCount() > 0 && view->GetViewers(0)->GetItem() == Tab;
}

} // namespace qelvo
