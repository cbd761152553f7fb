// The OfficeC theme: its scheme, colour cache and the painting that
// differs from Nexos4.
#include "themes/TxOfficeCTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnText;
using gcl::clWindow;

namespace {

TNexosUnitState OfficeCUnit{TThemeStock{true}, OfficeCInitialOptions(),
                            TNexosColors{}};


} // namespace

TOfficeCState OfficeC = InitialOfficeCState();

void SetOfficeCScheme(TColor light, TColor dark, TColor hotLight, TColor hotDark) {
    OfficeC.SchemeLight = light;
    OfficeC.SchemeDark = dark;
    OfficeC.SchemeHotLight = hotLight;
    OfficeC.SchemeHotDark = hotDark;
}

GCL_IMPLEMENT_CLASS(TTxOfficeCTheme)

TTxOfficeCTheme::TTxOfficeCTheme(const std::string& name) : TTxNexos4Theme(name, OfficeCUnit, FCacheC) {}

void TTxOfficeCTheme::SetupColorCache() {
    CurrentCacheFormulas().OfficeC(FCacheC, FUnit->Colors, OfficeC);
    FDockColor = OfficeC.MenuBarColor;
}

int TTxOfficeCTheme::IntegerMetric(int index) { return index == 50 ? -1 : TTxNexos4Theme::IntegerMetric(index); }

bool TTxOfficeCTheme::BooleanMetric(int index) { return index == 1 || TTxNexos4Theme::BooleanMetric(index); }

int TTxOfficeCTheme::PopupShadowKind() { return 2; }

void TTxOfficeCTheme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupMenuView(viewType) && !IsToolbarView(viewType))
        border = {1, 1};
    else
        TTxNexos4Theme::ViewBorder(viewType, border);
}

void TTxOfficeCTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                      TColor color, bool transparent, uint32_t viewType) {
    if (transparent) return;
    TRect v;
    if (!gcl::IntersectRect(v, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const bool opaque = (viewType & VT_OPAQUE) != 0;
    const bool gradient = (IsViewKind(viewType, VT_TOOLBAR) && !opaque) ||
                          (IsMenuBarView(viewType) && OfficeC.GradientMenuBar && !opaque) ||
                          IsViewKind(viewType, VT_GRADIENTTOOLBAR);
    if (gradient) {
        const bool horizontal = !gcl::IsRectEmpty(dockRect) ? v.Width() > v.Height() : rect.Right > rect.Bottom;
        OfficeC.VerticalBackground = !horizontal;
        TRect g = v;
        if (horizontal)
            gcl::InflateRect(g, 0, 1);
        else
            gcl::InflateRect(g, 1, 0);
        GradientFillCanvas(canvas, g, OfficeC.GradientDark, OfficeC.GradientLight, horizontal);
        return;
    }
    OfficeC.VerticalBackground = false;
    FillRectColor(dc, v, color);
    if (IsToolbarView(viewType) || IsViewKind(viewType, VT_CHEVRONPOPUP) || IsViewKind(viewType, VT_TOOLBOXPOPUP)) return;
    TRect band = v;
    if (!OfficeC.GradientPopups) band.Right = std::min(band.Right, band.Left + 24);
    FillLineGradient(dc, band, OfficeC.GradientDark, OfficeC.GradientLight, false);
}

void TTxOfficeCTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const TOfficeCState& s = OfficeC;
    const bool hot = IsHot(itemInfo);
    const bool active = itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected);
    const TColor openFill = s.GradientPopups ? s.GradientLight : FCacheC.PopupBackground;
    if (IsMenuBarView(itemInfo.ViewType) && itemInfo.HoverKind != 0) {
        if (!active && !hot) return;
        TRect r = rect;
        if (!itemInfo.Pushed)
            FillLineGradient(dc, r, ButtonPart(itemInfo, cpBody), s.GradientLight, true);
        else
            FillRectColor(dc, r, openFill);
        FrameRectColor(dc, r, FCacheC.PopupBorderColor, true);
        return;
    }
    TRect r = rect;
    FrameRectColor(dc, r, ButtonPart(itemInfo, cpFrame), true);
    const bool vertical = !s.VerticalBackground;
    TRect face = r;
    if (s.VerticalBackground && itemInfo.IsPopupParent == 2) face.Right += 12;
    const bool arrowPart = s.VerticalBackground && itemInfo.IsPopupParent == 3;
    if (itemInfo.Enabled && hot && !itemInfo.Pushed && !itemInfo.Selected && !arrowPart)
        FillLineGradient(dc, face, s.SchemeHotDark, s.SchemeHotLight, vertical);
    if (active) {
        if (itemInfo.Selected && !itemInfo.Pushed && itemInfo.HoverKind == 0)
            FillLineGradient(dc, r, ButtonPart(itemInfo, cpBody), s.GradientDark, !itemInfo.IsVertical);
        else if (!itemInfo.PopupOpen)
            FillLineGradient(dc, face, s.GradientLight, s.GradientDark, vertical);
        else
            FillRectColor(dc, r, openFill);
    }
    if (itemInfo.Selected && hot && !itemInfo.Pushed && !arrowPart)
        FillLineGradient(dc, face, s.SchemeHotLight, s.SchemeHotDark, vertical);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, rect, itemInfo);
}

void TTxOfficeCTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    TRect r = rect;
    if (!itemInfo.Enabled && !IsOpaqueToolbarItem(itemInfo)) FrameRectColor(dc, r, FCacheC.DisabledEditFrameColor, false);
    const int w = IntegerMetric(60);
    gcl::InflateRect(r, -w, -w);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    if (itemInfo.Enabled) {
        const bool noFrame = !IsToolbarView(itemInfo.ViewType) && ItemPart(itemInfo, cpFrame) == clNone;
        FrameRectColor(dc, r, noFrame ? clBtnFace : clWindow, true);
        FillRectColor(dc, r, clWindow);
        if (noFrame) {
            gcl::InflateRect(r, -1, -1);
            FrameRectColor(dc, r, clBtnFace, false);
        }
    }
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxOfficeCTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const bool opaque = IsOpaqueToolbarItem(itemInfo), toolbar = IsToolbarView(itemInfo.ViewType);
    TRect r{rect.Left, rect.Top - 1, rect.Right + 1, rect.Bottom + 1};
    auto windowFrame = [&](const TRect& part) {
        TRect f = part;
        FrameRectColor(dc, f, clWindow, false);
        DrawLineColor(dc, part.Left - 1, part.Top, part.Left - 1, part.Bottom, clWindow);
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & EBDS_PRESSED) != 0;
        if (!disabled) {
            if (info.Pushed || hot || opaque)
                PaintButton(canvas, r, info);
            else if (toolbar)
                windowFrame(r);
        }
        PaintDropDownArrow(canvas, r, info);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    for (int half = 0; half < 2; ++half) {
        const bool up = half == 0;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (up ? EBSS_UP : EBSS_DOWN)) != 0;
        TRect h = SpinHalf(r, up);
        if (!disabled) {
            if (info.Pushed || hot || opaque) {
                if (info.Pushed)
                    FillLineGradient(dc, h, OfficeC.GradientLight, OfficeC.GradientDark, true);
                else if (hot)
                    FillLineGradient(dc, h, OfficeC.SchemeHotDark, OfficeC.SchemeHotLight, true);
                TRect f = h;
                FrameRectColor(dc, f, ButtonPart(info, cpFrame), false);
            } else if (toolbar) {
                windowFrame(h);
            }
        }
        DrawCentredSpinTriangle(dc, h, up, ItemPart(info, cpText));
    }
}

void TTxOfficeCTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int) {
    TRect r = dockRect;
    gcl::InflateRect(r, 1, 1);
    FillRectColor(canvas->GetHandle(), r, OfficeC.MenuBarColor);
}

void TTxOfficeCTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCentredDropDownTriangle(canvas->GetHandle(), rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxOfficeCTheme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    FillLineGradient(canvas->GetHandle(), bar, OfficeC.GradientLight, OfficeC.GradientDark, vertical);
}

void TTxOfficeCTheme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    const TColor(&r)[3] = FCacheC.ButtonColorTable[row];
    PaintCloseButton(canvas, square, r[cpBody], r[cpFrame], r[cpText]);
}

void TTxOfficeCTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    if (itemInfo.Enabled && IsHot(itemInfo))
        FillLineGradient(dc, rect, OfficeC.SchemeHotDark, OfficeC.SchemeHotLight, true);
    TRect r = rect;
    FrameRectColor(dc, r, ItemPart(itemInfo, cpFrame), false);
}

void TTxOfficeCTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
        gcl::InflateRect(r, -1, 0);
        canvas->GetBrush()->SetColor(FCacheC.ToolbarBackground);
    }
    PaintControlFrame(canvas, r, itemInfo);
}

void TTxOfficeCTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = area;
    if (itemInfo.HoverKind == 0) {
        FrameRectColor(dc, r, ButtonPart(itemInfo, cpFrame), true);
        FillLineGradient(dc, r, OfficeC.GradientDark, OfficeC.GradientLight, true);
    } else {
        FillLineGradient(dc, r, MixColors(OfficeC.SchemeHotDark, clWindow, 50), OfficeC.SchemeHotLight, true);
    }
}

void TTxOfficeCTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    const TColor(&hotRow)[3] = FCacheC.ButtonColorTable[brHot];
    FrameRectColor(dc, r, hot ? hotRow[cpFrame] : OfficeC.GradientDark, true);
    if (hot)
        FillLineGradient(dc, r, OfficeC.SchemeHotDark, OfficeC.SchemeHotLight, true);
    else
        FillRectColor(dc, r, OfficeC.GradientLight);
    DrawScrollArrow(dc, r, direction, hot ? hotRow[cpText] : FCacheC.ButtonColorTable[brNormal][cpText]);
}

void TTxOfficeCTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                     bool) {
    HDC dc = canvas->GetHandle();
    const TColor light = OfficeC.GradientLight, dark = OfficeC.GradientDark;
    if (horizontal) {
        const int y = rect.Bottom / 2;
        int x0 = rect.Left;
        TColor pen = FCacheC.SeparatorColor;
        if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
            x0 += itemInfo.PopupMargin + 9;
            pen = FCacheC.MenuSeparatorColor;
        }
        if (!IsToolbarView(itemInfo.ViewType)) {
            DrawLineColor(dc, x0, y, rect.Right - 2, y, pen);
        } else {
            DrawLineColor(dc, x0 + 4, y, rect.Right - 2, y, light);
            DrawLineColor(dc, x0 + 3, y - 1, rect.Right - 3, y - 1, dark);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, light);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, dark);
    }
}

void TTxOfficeCTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const TOfficeCState& s = OfficeC;
    const uint32_t vt = info.ViewType;
    const TRect& r = rect;
    const bool menuBar = IsMenuBarView(vt);
    if (menuBar && !s.GradientMenuBar) FillRectColor(dc, r, s.MenuBarColor);
    if (IsViewKind(vt, VT_TOOLBAR) || (menuBar && s.GradientMenuBar) || IsViewKind(vt, VT_GRADIENTTOOLBAR)) {
        GradientFillCanvas(canvas, r, s.GradientDark, s.GradientLight, !info.IsVertical);
        if (info.BorderStyle != 1) return;
        const TColor soft = MixColors(s.MenuBarColor, s.GradientLight, 75);
        if (info.IsVertical) {
            GradientFillCanvas(canvas, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, s.GradientDark, s.GradientLight, false);
            DrawLineColor(dc, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1, s.EdgeColor);
            DrawLineColor(dc, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1, s.EdgeColor);
            SetPixelColor(dc, r.Left, r.Top, soft);
            SetPixelColor(dc, r.Left, r.Bottom - 2, soft);
            SetPixelColor(dc, r.Left, r.Bottom - 1, soft);
        } else {
            GradientFillCanvas(canvas, TRect{r.Right - 1, r.Top + 1, r.Right, r.Bottom}, s.EdgeColor,
                               MixColors(s.GradientDark, s.GradientLight, 50), true);
            DrawLineColor(dc, r.Left, r.Bottom - 1, r.Right - 1, r.Bottom - 1, s.EdgeColor);
            SetPixelColor(dc, r.Left, r.Top, soft);
            SetPixelColor(dc, r.Right - 2, r.Top, soft);
            SetPixelColor(dc, r.Right - 1, r.Top, s.MenuBarColor);
            SetPixelColor(dc, r.Left, r.Bottom - 1, s.GradientDark);
            SetPixelColor(dc, r.Right - 1, r.Bottom - 1, s.GradientDark);
            const TColor corner = MixColors(s.GradientDark, s.EdgeColor, 50);
            SetPixelColor(dc, r.Left, r.Bottom - 2, corner);
            SetPixelColor(dc, r.Right - 2, r.Bottom - 2, corner);
        }
    }
    PaintToolbarHandle(canvas, rect, info);
}

void TTxOfficeCTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    TFrameControlColors colors = TableFrameControlColors(FCacheC, state);
    colors.Mark = FrameControlMarkColor(state);
    PaintCheckRadio(canvas, rect, kind, state, colors);
}

void TTxOfficeCTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    const TOfficeCState& s = OfficeC;
    switch (part) {
    case 0: {
        FillRectColor(dc, rect, s.MenuBarColor);
        const std::pair<int, int> lines[] = {{rect.Top, 200},       {rect.Top + 1, 128},    {rect.Top + 2, 64},
                                             {rect.Top + 3, 32},    {rect.Top + 4, 12},     {rect.Bottom - 3, 8},
                                             {rect.Bottom - 2, 16}, {rect.Bottom - 1, 24}};
        for (const auto& [y, weight] : lines)
            DrawLineColor(dc, rect.Left, y, rect.Right, y, BlendColorNearest(s.GradientDark, s.MenuBarColor, weight));
        break;
    }
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, s.GradientDark);
        DrawLineColor(dc, x + 1, rect.Top + 5, x + 1, rect.Bottom - 2, s.GradientLight);
        break;
    }
    case 3: {
        TColor shades[7];
        const TNexosColors& u = UnitColors();
        GripShades(u.GripFaceColor, u.GripShadowColor, u.GripLightColor, true, shades);
        DrawDimpleSizeGrip(dc, rect, shades);
        break;
    }
    default: break;
    }
}

} // namespace qelvo
