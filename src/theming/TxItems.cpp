// Themed items and viewers: the item properties, the record every paint
// hands to the theme, sizes from the theme's metrics, the separator, the
// popup margin and the themed popup placement.
#include "theming/TxItems.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gcl/Forms.h"
#include "theming/TxBars.h"
#include "theming/TxExtItems.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

// An integer metric of the current theme; "no value" counts as 0.

// The text metrics of Font on a memory DC (of the DC's own font without
// one), kept per font description: a bar asks for them for each item in
// every measure and paint, and a memory DC made for the question costs
// requests to the system each time. A change of the system's settings,
// display or fonts (SystemSettingsGeneration) or a theme switched drops
// them.
struct TKeptFontMetrics {
    bool Own = false;  // the DC's own font
    LOGFONTA Font{};
    TEXTMETRICA Metrics{};
};

TEXTMETRICA FontMetrics(gcl::TFont* Font) {
    static std::vector<TKeptFontMetrics> kept;
    static unsigned generation = 0;
    static const TTxTheme* theme = nullptr;
    if (generation != gcl::SystemSettingsGeneration() || theme != CurrentTheme) {
        kept.clear();
        generation = gcl::SystemSettingsGeneration();
        theme = CurrentTheme;
    }
    const LOGFONTA font = Font ? Font->GetLogFont() : LOGFONTA{};
    for (const TKeptFontMetrics& k : kept)
        if (k.Own == !Font && (!Font || std::memcmp(&k.Font, &font, sizeof font) == 0)) return k.Metrics;
    TEXTMETRICA tm{};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = Font ? SelectObject(dc, Font->GetHandle()) : nullptr;
    GetTextMetricsA(dc, &tm);
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    // A few fonts: the bars' own, bold and italic ones.
    if (kept.size() >= 16) kept.erase(kept.begin());
    kept.push_back(TKeptFontMetrics{!Font, font, tm});
    return tm;
}

TEXTMETRICA CanvasMetrics(TCanvas* Canvas) {
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    TEXTMETRICA tm{};
    GetTextMetricsA(Canvas->GetHandle(), &tm);
    return tm;
}

// Centres a W x H block in R.
TRect CentredBlock(const TRect& R, int W, int H) {
    const int x = (R.Left + R.Right - W) / 2;
    const int y = (R.Top + R.Bottom - H) / 2;
    return TRect{x, y, x + W, y + H};
}

} // namespace

// ==== Items ======================================================================================

GCL_PUBLISHED(TTxCustomItem,
    GCL_PROP(Layout).Default(txlAuto),
    GCL_PROP(MinHeight).Default(0),
    GCL_PROP(MinWidth).Default(0),
    GCL_PROP(Stretch).Default(false))

// The item properties both published themed items stream.
#define TX_ITEM_PROPERTIES                                                                   \
    GCL_PROP(Action),                                                                        \
    GCL_PROP(AutoCheck).Default(false).StoredBy<&TBarCustomItem::IsAutoCheckStored>(),       \
    GCL_PROP(Caption).StoredBy<&TBarCustomItem::IsCaptionStored>(),                          \
    GCL_PROP(Checked).Default(false).StoredBy<&TBarCustomItem::IsCheckedStored>(),           \
    GCL_PROP(DisplayMode).Default(nbdmDefault),                                              \
    GCL_PROP(Enabled).Default(true).StoredBy<&TBarCustomItem::IsEnabledStored>(),            \
    GCL_PROP(GroupIndex).Default(0),                                                         \
    GCL_PROP(HelpContext).Default(0).StoredBy<&TBarCustomItem::IsHelpContextStored>(),       \
    GCL_PROP(Hint).StoredBy<&TBarCustomItem::IsHintStored>(),                                \
    GCL_PROP(ImageIndex).Default(-1).StoredBy<&TBarCustomItem::IsImageIndexStored>(),        \
    GCL_PROP(Images),                                                                        \
    GCL_PROP(InheritOptions).Default(true),                                                  \
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),                                        \
    GCL_PROP(Options).Default(TBarItemOptions{}),                                            \
    GCL_PROP(RadioItem).Default(false),                                                      \
    GCL_PROP(ShortCut).Default(0).StoredBy<&TBarCustomItem::IsShortCutStored>(),             \
    GCL_PROP(Visible).Default(true).StoredBy<&TBarCustomItem::IsVisibleStored>()

GCL_PUBLISHED(TTxItem, TX_ITEM_PROPERTIES)

GCL_PUBLISHED(TTxSubmenuItem,
    TX_ITEM_PROPERTIES,
    GCL_PROP(AlwaysSelectFirst).Default(false),
    GCL_PROP(DropdownCombo).Default(false),
    GCL_PROP(LinkSubitems),
    GCL_PROP(SubMenuImages),
    GCL_PROP(ToolBoxPopup).Default(false))

#undef TX_ITEM_PROPERTIES

GCL_PUBLISHED(TTxSeparatorItem,
    GCL_PROP(MaskOptions).Default(TBarItemOptions{}),
    GCL_PROP(Options).Default(TBarItemOptions{}),
    GCL_PROP(Size).Default(-1))

TTxCustomItem::TTxCustomItem(gcl::TComponent* AOwner)
    : TBarCustomItem(AOwner), FFontSettings(std::make_unique<TFontSettings>()) {
    FFontSettings->OnChange = gcl::TNotifyEvent(this, &TTxCustomItem::FontSettingsChanged);
}

TTxCustomItem::~TTxCustomItem() = default;

void TTxCustomItem::FontSettingsChanged(gcl::TObject*) { Changed(true); }

void TTxCustomItem::SetLayout(TTxItemLayout Value) { StoreAndChange(FLayout, Value, true); }

void TTxCustomItem::SetMinHeight(int Value) { StoreAndChange(FMinHeight, Value, true); }

void TTxCustomItem::SetMinWidth(int Value) { StoreAndChange(FMinWidth, Value, true); }

void TTxCustomItem::SetStretch(bool Value) {
    if (Value == GetStretch()) return;
    SetItemStyle(static_cast<TBarItemStyle>(GetItemStyle() ^ tbisStretch));
    Changed(true);
}

TBarPopupWindow* TTxCustomItem::CreatePopup(TBarView* ParentView, TBarItemViewer* ParentViewer,
                                            bool PositionAsSubmenu, bool SelectFirstItem, bool Customizing,
                                            gcl::TPoint APopupPoint, TBarPopupAnchor Alignment) {
    return TBarCustomItem::CreatePopup(ParentView, ParentViewer, PositionAsSubmenu,
                                       SelectFirstItem || FAlwaysSelectFirst, Customizing, APopupPoint, Alignment);
}

TBarItemViewerClass TTxCustomItem::GetItemViewerClass(TBarView*) { return TTxItemViewer::StaticClass(); }

TBarPopupWindowClass TTxCustomItem::GetPopupWindowClass() { return TTxPopupWindow::StaticClass(); }

void BaseItemPlacement(void* Item, TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    static_cast<TBarCustomItem*>(Item)->TBarCustomItem::GetPopupPosition(ParentView, PopupWindow, Rec);
}

void TTxCustomItem::GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) {
    ThemedPopupPosition(ParentView, PopupWindow, Rec, true, &BaseItemPlacement, this);
}

void ThemedPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec,
                         bool SoundRule, TBasePlacement Base, void* Context) {
    if (CurrentTheme->BooleanMetric(1)) {
        // Popups join their parent item: no frame overlap, and the popup
        // shares the item's edge.
        if (Rec.PositionAsSubmenu) {
            Rec.X += Rec.NCSizeX;
            Rec.Y += Rec.NCSizeY;
            Rec.NCSizeX = 0;
            Rec.NCSizeY = 0;
            Base(Context, ParentView, PopupWindow, Rec);
        } else {
            Rec.NCSizeX = 0;
            Rec.NCSizeY = 0;
            const int oldRight = Rec.ParentItemRect.Right;
            const int oldBottom = Rec.ParentItemRect.Bottom;
            Rec.ParentItemRect.Right -= 1;
            Rec.ParentItemRect.Bottom -= 1;
            if (Rec.X == oldRight + 1) Rec.X -= 1;
            if (Rec.Y == oldBottom + 1) Rec.Y -= 1;
            if (Rec.X + Rec.W <= Rec.ParentItemRect.Left) Rec.X += 1;
            if (Rec.Y + Rec.H <= Rec.ParentItemRect.Top) Rec.Y += 1;
            Rec.W -= 1;
            Rec.H -= 1;
            Base(Context, ParentView, PopupWindow, Rec);
            Rec.W += 1;
            Rec.H += 1;
        }
    } else {
        Base(Context, ParentView, PopupWindow, Rec);
    }
    if (SoundRule) Rec.PlaySound = !IsViewKind(QueryControlViewType(PopupWindow), VT_LISTPOPUP);
}

TTxSubmenuItem::TTxSubmenuItem(gcl::TComponent* AOwner) : TTxCustomItem(AOwner) {
    SetItemStyle(static_cast<TBarItemStyle>(GetItemStyle() | tbisSubmenu | tbisSubitemsEditable));
}

void TTxSubmenuItem::SetDropdownCombo(bool Value) {
    if (Value == GetDropdownCombo()) return;
    SetItemStyle(static_cast<TBarItemStyle>(GetItemStyle() ^ tbisCombo));
    Changed(true);
}

void TTxSeparatorItem::SetSize(int Value) {
    Value = std::max(Value, -1);
    if (Value == FSize) return;
    FSize = Value;
    Changed(true);
}

TBarItemViewerClass TTxSeparatorItem::GetItemViewerClass(TBarView*) {
    return TTxSeparatorItemViewer::StaticClass();
}

// ==== Shared routines ===========================================================================

bool IsToolBoxView(TBarView* View) { return IsViewKind(QueryViewType(View), VT_TOOLBOXPOPUP); }

uint8_t ViewerHoverKind(TBarItemViewer* Viewer, bool IsSelected, bool Enabled) {
    if (!IsSelected) return 0;
    if (Enabled) return 2;
    return Viewer->GetView()->GetMouseOverSelected() ? 0 : 1;
}

int GetPopupMargin(TBarItemViewer* Viewer) {
    gcl::TSize size{0, 0};
    if (auto* tv = dynamic_cast<TTxItemViewer*>(Viewer)) {
        tv->GetImageSize(size);
    } else if (gcl::TCustomImageList* images = Viewer->GetImageList()) {
        size = gcl::TSize{images->GetWidth(), images->GetHeight()};
    }
    if (size.cx <= 0 || size.cy <= 0) size = gcl::TSize{16, 16};
    const TEXTMETRICA tm = FontMetrics(Viewer->GetView()->GetFont());
    TTxMarginRect margins;
    CurrentTheme->ThemeMargins(2, margins);
    const int m = margins.TopHeight + margins.BottomHeight;
    const int h = size.cy + m;
    if (h == 0) return size.cx + m;
    return (size.cx + m) * std::max<int>(tm.tmHeight + tm.tmExternalLeading + m, h) / h;
}

// ==== The item viewer ===========================================================================

GCL_IMPLEMENT_CLASS(TTxItemViewer)
GCL_IMPLEMENT_CLASS(TTxSeparatorItemViewer)

TTxItemViewer::TTxItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel)
    : TBarItemViewer(AView, AItem, AGroupLevel), FWideGlyphLeft(true) {}

bool TTxItemViewer::IsToolbarStyle() { return TBarItemViewer::IsToolbarStyle() || IsToolBoxView(FView); }
bool TTxItemViewer::IsToolbarSize() { return TBarItemViewer::IsToolbarSize() || IsToolBoxView(FView); }

int TTxItemViewer::GetImageMarginID() { return IsToolbarStyle() ? 1 : 2; }

void TTxItemViewer::DoPaintCaption(TCanvas*, const TRect&, TRect&, UINT&, bool, bool, bool&) {}

void TTxItemViewer::DoPaintFace(TCanvas*, const TRect&, TTxItemInfo&, bool, bool&) {}

namespace {

// The theme's face painting between the viewer's two face hooks.
template <class Paint>
void PaintFaceHooked(TTxItemViewer* viewer, TCanvas* canvas, const TRect& rect, TTxItemInfo& info, Paint paint) {
    bool paintDefault = true;
    viewer->DoPaintFace(canvas, rect, info, false, paintDefault);
    if (paintDefault) paint();
    viewer->DoPaintFace(canvas, rect, info, true, paintDefault);
}

} // namespace

bool TTxItemViewer::IsImageShown() { return ImageShown(); }

void TTxItemViewer::GetImageSize(gcl::TSize& Size) {
    gcl::TCustomImageList* images = GetImageList();
    Size = images ? gcl::TSize{images->GetWidth(), images->GetHeight()} : gcl::TSize{0, 0};
}

UINT TTxItemViewer::GetTextFlags() {
    if (!AreKeyboardCuesEnabled() && (FView->GetStyle() & vsUseHiddenAccels) && !(FView->GetState() & vsShowAccels))
        return DT_HIDEPREFIX;
    return 0;
}

void TTxItemViewer::DoAdjustFont(gcl::TFont* Font, int StateFlags) {
    if (FItem->GetEffectiveOptions().Contains(tboDefault)) {
        gcl::TFontStyles style = Font->GetStyle();
        style.Include(gcl::fsBold);
        Font->SetStyle(style);
    }
    if (auto* item = dynamic_cast<TTxCustomItem*>(FItem)) {
        item->GetFontSettings()->Apply(Font);
        if (item->OnAdjustFont) item->OnAdjustFont(item, this, Font, StateFlags);
    } else if (auto* edit = dynamic_cast<TTxEditItem*>(FItem)) {
        edit->GetFontSettings()->Apply(Font);
    }
}

void TTxItemViewer::GetTextSize(TCanvas* Canvas, const std::string& Text, gcl::TSize& Size, int StateFlags,
                                bool IsTextRotated, UINT TextFlags) {
    Size = gcl::TSize{0, 0};
    if (Text.empty()) return;
    if (gcl::TFont* font = FView->GetFont()) Canvas->GetFont()->Assign(font);
    DoAdjustFont(Canvas->GetFont(), StateFlags);
    Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    HDC dc = Canvas->GetHandle();
    if (IsTextRotated) {
        HFONT rotated = CreateRotatedFont(dc);
        HGDIOBJ old = rotated ? SelectObject(dc, rotated) : nullptr;
        Size.cx = FontTextHeight(dc);
        Size.cy = GetTextWidth(dc, Text, (TextFlags & DT_NOPREFIX) == 0);
        if (rotated) {
            SelectObject(dc, old);
            DeleteObject(rotated);
        }
        return;
    }
    RECT r{0, 0, 1, 0};
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT | TextFlags);
    Size = gcl::TSize{r.right - r.left, r.bottom - r.top};
}

TTxItemLayout TTxItemViewer::EffectiveLayout() {
    TTxItemLayout layout = txlAuto;
    if (auto* item = dynamic_cast<TTxCustomItem*>(FItem)) layout = item->GetLayout();
    if (layout != txlAuto) return layout;
    return FItem->GetEffectiveOptions().Contains(tboImageAboveCaption) || FView->GetOrientation() == tbvoVertical
               ? txlGlyphTop
               : txlGlyphLeft;
}

TTxItemInfo TTxItemViewer::FillItemInfo(bool IsSelected, bool& IsPushed, bool& ComboPushed) {
    const bool toolbarStyle = IsToolbarStyle();
    const bool combo = FItem->HasStyle(tbisCombo);
    const bool submenu = FItem->HasStyle(tbisSubmenu);
    ComboPushed = combo && IsPushed && !FView->GetCapture();
    if (ComboPushed) IsPushed = false;

    gcl::TSize image{0, 0};
    bool imageShown = IsImageShown();
    if (imageShown) GetImageSize(image);
    if (image.cx < 1 || image.cy < 1) {
        image = gcl::TSize{0, 0};
        imageShown = false;
    }

    TTxItemInfo info{};
    info.ViewType = QueryViewType(FView);
    if (toolbarStyle) info.ItemOptions |= IO_TOOLBARSTYLE;
    if (submenu) info.ItemOptions |= IO_SUBMENUITEM;
    if (combo) info.ItemOptions |= IO_COMBO;
    if (IsDesigning(FItem)) info.ItemOptions |= IO_DESIGNING;
    if (gcl::Application && gcl::Application->GetActive()) info.ItemOptions |= IO_APPACTIVE;
    info.Enabled = FItem->GetEnabled() || FView->GetCustomizing();
    info.Pushed = IsPushed;
    info.Selected = FItem->GetChecked();
    info.ImageShown = imageShown;
    info.ImageWidth = image.cx;
    info.ImageHeight = image.cy;
    info.HoverKind = ViewerHoverKind(this, IsSelected, FItem->GetEnabled());
    info.PopupOpen = toolbarStyle && ((FView->GetState() & vsModal && FView->GetOpenViewer()) || submenu) &&
                     (combo ? ComboPushed : IsPushed);
    info.IsVertical = FView->GetOrientation() == tbvoVertical && !combo;
    info.PopupMargin = GetPopupMargin(this);
    return info;
}

void TTxItemViewer::DrawItemImage(TCanvas* Canvas, TRect ARect, TTxItemInfo& ItemInfo) {
    gcl::TCustomImageList* images = GetImageList();
    const int index = FItem->GetImageIndex();
    if (images && index >= 0 && index < images->GetCount())
        CurrentTheme->PaintImage(Canvas, ARect, ItemInfo, images, index);
    auto* item = dynamic_cast<TTxCustomItem*>(FItem);
    if (item && item->OnDrawImage) {
        const TPoint offset = CurrentTheme->ImageOffset(Canvas, ItemInfo, images);
        TRect moved = ARect;
        gcl::OffsetRect(moved, offset.X, offset.Y);
        item->OnDrawImage(item, this, Canvas, moved, offset, ItemInfoToStateFlags(ItemInfo));
    }
}

void TTxItemViewer::Paint(TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool) {
    bool comboPushed = false;
    TTxItemInfo info = FillItemInfo(IsSelected, IsPushed, comboPushed);
    const bool toolbarStyle = IsToolbarStyle();
    const bool combo = FItem->HasStyle(tbisCombo);
    const bool submenu = FItem->HasStyle(tbisSubmenu);
    const bool vertical = FView->GetOrientation() == tbvoVertical;
    const TBarItemOptions options = FItem->GetEffectiveOptions();
    const TTxItemLayout layout = EffectiveLayout();
    const bool showArrow = submenu && (combo || options.Contains(tboDropdownArrow));
    TTxItemLayout ownLayout = txlAuto;
    if (auto* item = dynamic_cast<TTxCustomItem*>(FItem)) ownLayout = item->GetLayout();

    // 1. Font and colour.
    const int stateFlags = ItemInfoToStateFlags(info);
    gcl::TFont* font = Canvas->GetFont();
    if (gcl::TFont* viewFont = FView->GetFont()) font->Assign(viewFont);
    font->SetColor(CurrentTheme->ItemTextColor(info));
    DoAdjustFont(font, stateFlags);
    const TColor textColour = font->GetColor();

    // 2. Caption text and size.
    std::string text;
    gcl::TSize textSize{0, 0};
    bool rotated = false;
    UINT textFlags = 0;
    if (CaptionShown()) {
        text = GetCaptionText();
        rotated = vertical && toolbarStyle && ownLayout == txlAuto && !options.Contains(tboImageAboveCaption);
        textFlags = GetTextFlags();
        if (rotated || !toolbarStyle) textFlags |= DT_SINGLELINE;
        GetTextSize(Canvas, text, textSize, stateFlags, rotated, textFlags);
        font->SetColor(textColour);
    }

    // 3. The drop-down arrow beside the image.
    const bool glyphTop = layout == txlGlyphTop;
    const bool arrowInCaption = showArrow && !combo && toolbarStyle && glyphTop && info.ImageWidth > 0 &&
                                !rotated && textSize.cx > 0;
    const TEXTMETRICA tm = CanvasMetrics(Canvas);

    TRect button = R;
    if (toolbarStyle) {
        // 4. Button, arrow part and drop-down arrow.
        TTxMarginRect margins;
        CurrentTheme->ThemeMargins(1, margins);
        const int arrowW = ThemeMetric(20);
        if (showArrow) info.IsPopupParent = 1;
        if (combo) {
            info.IsPopupParent = 2;
            const int comboW = ThemeMetric(10);
            TRect arrowPart{R.Right - comboW, R.Top, R.Right, R.Bottom};
            button.Right = arrowPart.Left;
            PaintFaceHooked(this, Canvas, button, info, [&] { CurrentTheme->PaintButton(Canvas, button, info); });
            const bool pushed = info.Pushed;
            const bool selected = info.Selected;
            info.Pushed = comboPushed;
            info.Selected = false;
            info.IsPopupParent = 3;
            PaintFaceHooked(this, Canvas, arrowPart, info,
                            [&] { CurrentTheme->PaintButton(Canvas, arrowPart, info); });
            info.IsPopupParent = 2;
            info.Pushed = pushed;
            info.Selected = selected;
        } else {
            PaintFaceHooked(this, Canvas, R, info, [&] { CurrentTheme->PaintButton(Canvas, R, info); });
            if (showArrow) {
                TRect arrow;
                if (arrowInCaption) {
                    const int right = (R.Left + R.Right + info.ImageWidth + arrowW + 4) / 2;
                    const int top = (R.Top + R.Bottom - info.ImageHeight - 2 - textSize.cy) / 2;
                    arrow = TRect{right - arrowW, top, right, top + info.ImageHeight};
                } else if (vertical) {
                    const int bottom = R.Bottom - ThemeMetric(21);
                    arrow = TRect{R.Left, bottom - arrowW, R.Right, bottom};
                } else {
                    const int right = R.Right - ThemeMetric(21);
                    arrow = TRect{right - arrowW, R.Top, right, R.Bottom};
                }
                CurrentTheme->PaintDropDownArrow(Canvas, arrow, info);
                if (!arrowInCaption) {
                    if (vertical) button.Bottom -= arrowW;
                    else button.Right -= arrowW;
                }
            }
        }
        gcl::InflateRect(button, -2, -2);
    } else {
        // 5. Menu row.
        TTxMarginRect margins;
        CurrentTheme->ThemeMargins(2, margins);
        PaintFaceHooked(this, Canvas, R, info, [&] { CurrentTheme->PaintMenuItem(Canvas, R, info); });
        button = TRect{R.Left + margins.LeftWidth, R.Top + margins.TopHeight, R.Right - margins.RightWidth,
                       R.Bottom - margins.BottomHeight};
    }

    SetBkMode(Canvas->GetHandle(), TRANSPARENT);
    if (!text.empty()) {
        TRect captionRect = button;
        UINT flags = textFlags;
        if (toolbarStyle) {
            // 6. Caption of a button.
            flags |= DT_CENTER | DT_VCENTER;
            if (info.ImageShown && layout == txlGlyphLeft) {
                captionRect.Left += info.ImageWidth + 3;
                captionRect = CentredBlock(captionRect, textSize.cx, textSize.cy);
                flags &= ~UINT(DT_CENTER);
            } else if (info.ImageShown && glyphTop) {
                captionRect.Top += info.ImageHeight + 1 + (rotated ? 3 : 0);
                captionRect = CentredBlock(captionRect, textSize.cx, textSize.cy);
                flags &= ~UINT(DT_VCENTER);
            } else {
                captionRect = CentredBlock(captionRect, textSize.cx, textSize.cy);
            }
        } else {
            // 7. Caption of a menu row.
            flags |= DT_VCENTER;
            TTxMarginRect margins;
            CurrentTheme->ThemeMargins(2, margins);
            captionRect.Left += ThemeMetric(32) + info.PopupMargin + ThemeMetric(33);
            if (captionRect.Height() - (textSize.cy + tm.tmExternalLeading) == margins.BottomHeight)
                captionRect.Bottom -= 1;
            captionRect.Top += tm.tmExternalLeading;
            captionRect.Right = captionRect.Left + textSize.cx;
        }
        font->SetColor(textColour);
        bool paintDefault = true;
        DoPaintCaption(Canvas, R, captionRect, flags, rotated, false, paintDefault);
        if (paintDefault) CurrentTheme->PaintCaption(Canvas, captionRect, info, text, flags, rotated);
    }

    // 8. Shortcut of a menu row.
    if (!toolbarStyle) {
        const std::string shortcut = FItem->GetShortCutText();
        if (!shortcut.empty()) {
            TRect sr = button;
            sr.Right = R.Right - R.Height();
            TTxMarginRect margins;
            CurrentTheme->ThemeMargins(2, margins);
            if (sr.Height() - (textSize.cy + tm.tmExternalLeading) == margins.BottomHeight) sr.Bottom -= 1;
            sr.Top += tm.tmExternalLeading;
            bool paintDefault = true;
            font->SetColor(textColour);
            UINT flags = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
            DoPaintCaption(Canvas, R, sr, flags, false, true, paintDefault);
            if (paintDefault) CurrentTheme->PaintCaption(Canvas, sr, info, shortcut, flags, false);
        }
    }

    // 9. Image column.
    if (info.ImageShown || (!toolbarStyle && FItem->GetChecked())) {
        TRect imageRect;
        if (toolbarStyle) {
            imageRect = button;
            if (arrowInCaption) gcl::OffsetRect(imageRect, (1 - ThemeMetric(20)) / 2, 0);
            if (layout == txlGlyphLeft && !text.empty()) {
                imageRect.Right = imageRect.Left + info.ImageWidth + 2;
            } else if (glyphTop && !text.empty()) {
                const int top = (button.Top + button.Bottom - info.ImageHeight - 1 - textSize.cy) / 2;
                imageRect.Top = top;
                imageRect.Bottom = top + info.ImageHeight;
            }
        } else {
            imageRect = TRect{R.Left, R.Top, R.Left + R.Height(), R.Bottom};
        }
        if (info.ImageShown) {
            DrawItemImage(Canvas, CentredBlock(imageRect, info.ImageWidth, info.ImageHeight), info);
        } else {
            if (FItem->GetRadioItem()) info.ItemOptions |= IO_RADIO;
            CurrentTheme->PaintCheckMark(Canvas, imageRect, info);
        }
    }
}

void TTxItemViewer::CalcSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    const bool toolbarStyle = IsToolbarStyle();
    const bool vertical = FView->GetOrientation() == tbvoVertical;
    const TBarItemOptions options = FItem->GetEffectiveOptions();
    const TTxItemLayout layout = EffectiveLayout();
    TTxItemLayout ownLayout = txlAuto;
    if (auto* item = dynamic_cast<TTxCustomItem*>(FItem)) ownLayout = item->GetLayout();
    const int stateFlags = FItem->GetEnabled() ? 0 : ISF_DISABLED;

    std::string text;
    gcl::TSize textSize{0, 0};
    bool rotated = false;
    if (CaptionShown()) {
        text = GetCaptionText();
        rotated = vertical && toolbarStyle && ownLayout == txlAuto && !options.Contains(tboImageAboveCaption);
        UINT flags = GetTextFlags();
        if (rotated || !toolbarStyle) flags |= DT_SINGLELINE;
        GetTextSize(Canvas, text, textSize, stateFlags, rotated, flags);
    }
    gcl::TSize image{0, 0};
    if (IsImageShown()) GetImageSize(image);
    const bool hasImage = image.cx >= 1 && image.cy >= 1;

    if (toolbarStyle) {
        AWidth = 6;
        AHeight = 6;
        if (!text.empty()) {
            AWidth += textSize.cx;
            AHeight += textSize.cy;
            if (rotated) AHeight += 4;
            else AWidth += 4;
        }
        if (hasImage) {
            if (layout == txlGlyphTop) {
                AHeight += image.cy;
                AWidth = std::max(AWidth, image.cx + 7);
            } else {
                AWidth += image.cx + (FWideGlyphLeft ? 1 : 0);
                AHeight = std::max(AHeight, image.cy + 6);
            }
        }
        if (FItem->HasStyle(tbisSubmenu)) {
            const int arrowW = ThemeMetric(20);
            if (FItem->HasStyle(tbisCombo)) {
                AWidth += ThemeMetric(10);
            } else if (options.Contains(tboDropdownArrow)) {
                if (layout == txlGlyphTop && hasImage && !rotated) {
                    if (vertical) AHeight = std::max(AHeight, arrowW + image.cy + 2 + 7);
                    else AWidth = std::max(AWidth, arrowW + image.cx + 2 + 7);
                } else if (vertical) {
                    AHeight += arrowW;
                } else {
                    AWidth += arrowW;
                }
            }
        }
    } else {
        const TEXTMETRICA tm = CanvasMetrics(Canvas);
        const int textH = textSize.cy + tm.tmExternalLeading;
        const int textW = textSize.cx + tm.tmExternalLeading;
        const int imageH = hasImage ? image.cy : 16;
        TTxMarginRect margins;
        CurrentTheme->ThemeMargins(2, margins);
        AHeight = std::max(textH, imageH) + margins.TopHeight + margins.BottomHeight;
        AWidth = textW + margins.LeftWidth + margins.RightWidth;
        AWidth += ThemeMetric(32) + GetPopupMargin(this) + ThemeMetric(33) + ThemeMetric(34);
        const std::string shortcut = FItem->GetShortCutText();
        if (!shortcut.empty()) {
            Canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
            AWidth += GetTextWidth(Canvas->GetHandle(), shortcut, false) + AHeight - 6;
        }
        AWidth += AHeight;
    }
    if (auto* item = dynamic_cast<TTxCustomItem*>(FItem)) {
        AWidth = std::max(AWidth, item->GetMinWidth());
        AHeight = std::max(AHeight, item->GetMinHeight());
    }
}

bool TTxItemViewer::IsPtInButtonPart(int X, int) {
    if (!FItem->HasStyle(tbisSubmenu)) return true;
    if (!FItem->HasStyle(tbisCombo)) return false;
    const int w = IsToolbarStyle() ? ThemeMetric(10) : GetSystemMetrics(SM_CXMENUCHECK);
    return X < BoundsRect.Width() - w;
}

void TTxItemViewer::MouseUp(int X, int Y, bool MouseWasDownOnMenu) {
    // The base viewer executes a toolbar button only when it held the
    // capture; a themed one also when the mouse is over it.
    const bool mouseOver = FView->GetMouseOverSelected();
    const bool hadCapture = FView->GetCapture();
    TBarItemViewer::MouseUp(X, Y, MouseWasDownOnMenu);
    if (hadCapture || !IsToolbarStyle()) return;
    if (FItem->GetEnabled() && mouseOver && !FItem->HasStyle(tbisClicksTransparent) &&
        (!FItem->HasStyle(tbisSubmenu) || IsPtInButtonPart(X, Y)) && FView->GetSelected() == this)
        Execute(true);
}

int TTxItemViewer::GetAccRole() {
    auto* item = dynamic_cast<TTxCustomItem*>(FItem);
    if (item && item->GetToolBoxPopup() && FItem->HasStyle(tbisSubmenu)) return 58;   // drop-down grid
    return TBarItemViewer::GetAccRole();
}

// ==== The separator viewer ======================================================================

bool TTxSeparatorItemViewer::IsToolbarStyle() {
    return TBarSeparatorItemViewer::IsToolbarStyle() || IsToolBoxView(FView);
}
bool TTxSeparatorItemViewer::IsToolbarSize() {
    return TBarSeparatorItemViewer::IsToolbarSize() || IsToolBoxView(FView);
}

void TTxSeparatorItemViewer::CalcSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    int size = -1;
    if (auto* item = dynamic_cast<TTxSeparatorItem*>(FItem)) size = item->GetSize();
    const bool toolbarStyle = IsToolbarStyle();
    if (size < 0) {
        size = CurrentTheme->IntegerMetric(toolbarStyle ? 50 : 35);
        if (size < 0) {
            TBarSeparatorItemViewer::CalcSize(Canvas, AWidth, AHeight);
            return;
        }
        AWidth = AHeight = size;
        return;
    }
    AWidth = toolbarStyle ? size : 0;
    AHeight = size;
}

void TTxSeparatorItemViewer::Paint(TCanvas* Canvas, TRect R, bool, bool IsPushed, bool) {
    auto* item = dynamic_cast<TTxSeparatorItem*>(FItem);
    if (item && item->GetSize() == 0) return;
    const bool toolbarStyle = IsToolbarStyle();
    TTxItemInfo info{};
    info.ViewType = QueryViewType(FView);
    if (toolbarStyle) info.ItemOptions |= IO_TOOLBARSTYLE;
    if (IsDesigning(FItem)) info.ItemOptions |= IO_DESIGNING;
    info.Enabled = !static_cast<TBarSeparatorItem*>(FItem)->GetBlank();
    info.Pushed = IsPushed;
    info.IsVertical = FView->GetOrientation() == tbvoVertical;
    if (!toolbarStyle) info.PopupMargin = GetPopupMargin(this);
    // A separator across the line: in menus and vertical bars, or between
    // wrapped rows of a horizontal bar.
    const bool horizontal = (!toolbarStyle || info.IsVertical) != IsLineSep();
    bool lineSeparator = info.IsVertical != horizontal || IsLineSep();
    if (IsViewKind(info.ViewType, VT_CHEVRONPOPUP)) lineSeparator = lineSeparator && horizontal;
    CurrentTheme->PaintSeparator(Canvas, R, info, horizontal, lineSeparator);
}

} // namespace qelvo
