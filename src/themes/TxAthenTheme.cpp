// The Athen theme: its colour cache, metrics and painting.
#include "themes/TxAthenTheme.h"
#include "themes/ThemePaint.h"

#include "theming/TxDefaultTheme.h"
#include "theming/TxUtils.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnHighlight;
using gcl::clBtnShadow;
using gcl::clBtnText;
using gcl::clGrayText;
using gcl::clHighlight;
using gcl::clMenuText;
using gcl::clWindow;
using gcl::clWindowText;

namespace {

TThemeStock AthenStock{true};

// An edit item placed in a menu (painted as selected over its full width).
constexpr uint32_t IO_MENUEDIT = 0x2000;

void LightFace(TCanvas* canvas, const TRect& r, bool vertical = true) { PaintThreeStopGradient(canvas, r, true, vertical); }
void PlainFace(TCanvas* canvas, const TRect& r, bool vertical = true) { PaintThreeStopGradient(canvas, r, false, vertical); }
void PressedFace(TCanvas* canvas, const TRect& r, bool vertical = true) {
    GradientFillCanvas(canvas, r, 0xFFFFFF, 0xC0C0C0, vertical);
}
void Frame(TCanvas* canvas, const TRect& r, int leftCut, int rightCut, TColor color) {
    DrawCutCornerFrameAlt(canvas, r, leftCut, rightCut, color, clNone);
}
} // namespace

GCL_IMPLEMENT_CLASS(TTxAthenTheme)

TTxAthenTheme::TTxAthenTheme(const std::string& name) : TTxAthenTheme(name, AthenStock) {}

TTxAthenTheme::TTxAthenTheme(const std::string& name, TThemeStock& stock) : TTxCacheTheme(name, stock, FCache) {}

// ---- Colour cache ----------------------------------------------------------------

void TTxAthenTheme::SetupColorCache() {
    CurrentCacheFormulas().Athen(FCache);
}

// ---- Colour lookups and metrics ----------------------------------------------------------

void TTxAthenTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    TTxCacheTheme::ThemeMargins(marginID, margins);
    // Status panes keep 1 on their left.
    if (marginID == 3) margins.LeftWidth = 1;
}

int TTxAthenTheme::PopupShadowKind() { return 3; }

void TTxAthenTheme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupView(viewType) && !IsToolbarView(viewType))
        border = IsPopupMenuView(viewType) ? TPoint{1, 2} : TPoint{2, 2};
    else if (!IsToolbarView(viewType) && !(viewType & VT_DOCKPANELGROUP))
        border = {0, 0};
    else if (viewType & VT_FLOATING)
        border = (viewType & VT_SIZABLE)
                     ? TPoint{GetSystemMetrics(SM_CXSIZEFRAME) - 1, GetSystemMetrics(SM_CYSIZEFRAME) - 1}
                     : TPoint{GetSystemMetrics(SM_CXFIXEDFRAME) - 1, GetSystemMetrics(SM_CYFIXEDFRAME) - 1};
    else
        border = {2, 2};
}

int TTxAthenTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 20:
    case 33: return 8;
    case 21:
    case 34:
    case 35: return 3;
    case 32: return 0;
    case 36:
    case 37:
    case 61:
    case 62: return 2;
    case 50: return 6;
    case 60:
    case 66: return 1;
    case 65: return 14;
    default: return -1;
    }
}

// ---- Backgrounds and frames ----------------------------------------------------------

void TTxAthenTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                    TColor color, bool transparent, uint32_t viewType) {
    // Screens of fewer than 12 bits per pixel keep what lies beneath.
    if (LowColorScreen || transparent) return;
    TRect r;
    if (!gcl::IntersectRect(r, rect, clipRect)) return;
    if (IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE) || IsPopupView(viewType)) {
        FillRectColor(canvas->GetHandle(), r, color);
        return;
    }
    const bool wide = gcl::IsRectEmpty(dockRect) ? rect.Right > rect.Bottom : r.Width() > r.Height();
    if (wide)
        PlainFace(canvas, TRect{r.Left, r.Top - 1, r.Right, r.Bottom + 1}, true);
    else
        PlainFace(canvas, TRect{r.Left - 1, r.Top, r.Right + 1, r.Bottom}, false);
}

void TTxAthenTheme::PaintDockBackground(TCanvas* canvas, const TRect& clientRect, const TRect&, int) {
    FillRectColor(canvas->GetHandle(), clientRect, 0xE0E0E0);
}

void TTxAthenTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    PaintCachePopupFrame(canvas->GetHandle(), rect, info.ParentItemRect, FCache, PopupJointColor());
}

void TTxAthenTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    const bool bordered = info.BorderStyle == 1;
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    if (info.IsVertical) {
        PlainFace(canvas, r, false);
        if (bordered) {
            GradientFillCanvas(canvas, TRect{L, B - 1, R, B + 1}, AthenShadow, MixColors(AthenShadow, AthenWhite, 30),
                               false);
            DrawLineColor(dc, R - 1, T + 1, R - 1, B - 1, AthenShadow);
            SetPixelColor(dc, L, T, MixColors(AthenSilver, AthenWhite, 60));
            SetPixelColor(dc, L, B - 2, MixColors(AthenSilver, AthenWhite, 60));
            SetPixelColor(dc, L, B - 1, 0xE0E0E0);
            SetPixelColor(dc, R - 2, T, MixColors(AthenSilver, AthenWhite, 35));
            SetPixelColor(dc, R - 1, T, MixColors(AthenWhite, AthenShadow, 50));
            SetPixelColor(dc, R - 1, B - 1, AthenSilver);
            SetPixelColor(dc, R - 2, B - 2, MixColors(AthenSilver, AthenShadow, 50));
        }
    } else {
        PlainFace(canvas, r, true);
        if (bordered) {
            GradientFillCanvas(canvas, TRect{R - 1, T + 1, R, B}, AthenShadow, MixColors(AthenShadow, AthenWhite, 45),
                               true);
            DrawLineColor(dc, L + 1, B - 1, R - 1, B - 1, AthenShadow);
            SetPixelColor(dc, L, T, MixColors(AthenSilver, AthenWhite, 60));
            SetPixelColor(dc, L, B - 1, 0xE0E0E0);
            SetPixelColor(dc, L, B - 2, MixColors(AthenSilver, AthenShadow, 50));
            SetPixelColor(dc, R - 2, T, MixColors(AthenSilver, AthenWhite, 35));
            SetPixelColor(dc, R - 1, T, 0xE0E0E0);
            SetPixelColor(dc, R - 1, B - 1, 0xE0E0E0);
            SetPixelColor(dc, R - 2, B - 2, MixColors(AthenSilver, AthenShadow, 50));
        }
    }
    if (!bordered) return;
    r = Inset(r, 2);
    if (!info.AllowDrag) return;
    const int g = GetDragHandleSize(info);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    TRect handle = r;
    if (!info.IsVertical)
        handle.Right = handle.Left + g;
    else
        handle.Bottom = handle.Top + g;
    if (info.DragHandleStyle != 1) {
        static constexpr int Offsets[2][3] = {{2, 0, 1}, {5, 0, 5}};
        const int style = info.DragHandleStyle >= 0 && info.DragHandleStyle < 3 ? info.DragHandleStyle : 0;
        const int o = Offsets[closeButton][style];
        if (!info.IsVertical) {
            const int top = handle.Top + (closeButton ? g - 2 : 0);
            for (int y = top + 3; y < handle.Bottom - 3; y += 2) {
                DrawLineColor(dc, handle.Left + o, y, handle.Left + o + 3, y, 0xA0A0A0);
                DrawLineColor(dc, handle.Left + o, y + 1, handle.Left + o + 3, y + 1, 0xFFFFFF);
            }
        } else {
            const int right = handle.Right - (closeButton ? g - 2 : 0);
            for (int x = handle.Left + 3; x < right - 3; x += 2) {
                DrawLineColor(dc, x, handle.Top + o, x, handle.Top + o + 3, 0x808080);
                DrawLineColor(dc, x + 1, handle.Top + o, x + 1, handle.Top + o + 3, 0xFFFFFF);
            }
        }
    }
    if (closeButton) {
        const TRect square = !info.IsVertical
                                 ? TRect{handle.Left, handle.Top, handle.Right - 1, handle.Top + handle.Width() - 1}
                                 : TRect{handle.Right - (handle.Height() - 1), handle.Top, handle.Right, handle.Bottom - 1};
        PaintDockedCloseButton(canvas, square, info.CloseButtonState, true);
    }
}

void TTxAthenTheme::PaintDockedCloseButton(TCanvas* canvas, const TRect& square, uint32_t state, bool vertical) {
    HDC dc = canvas->GetHandle();
    TRect b = square;
    const TButtonRow row = CloseButtonRow(state);
    if (row == brHot) {
        FrameRectColor(dc, b, BtnHotFrame(), true);
        LightFace(canvas, b, vertical);
    } else if (row == brPushed) {
        PressedFace(canvas, Inset(b, 1), vertical);
        FrameRectColor(dc, b, 0xD0D0D0, true);
    } else {
        FrameRectColor(dc, b, FCache.ButtonColorTable[row][cpFrame], true);
    }
    DrawMonoGlyph(canvas, square, 0x000000);
}

void TTxAthenTheme::PaintFloatingBar(TCanvas* canvas, const TRect& bar, TColor) { PlainFace(canvas, bar, true); }

void TTxAthenTheme::PaintFloatingCloseButton(TCanvas* canvas, const TRect& square, const TTxFloatingFrameInfo& info,
                                             TColor, TColor) {
    PlainFace(canvas, square, true);
    TRect b = square;
    switch (FloatingCloseButtonRow(info.CloseButtonState, info.Active)) {
    case brHot:
        FrameRectColor(canvas->GetHandle(), b, BtnHotFrame(), true);
        LightFace(canvas, b);
        break;
    case brPushed:
        FrameRectColor(canvas->GetHandle(), b, 0xD0D0D0, true);
        PressedFace(canvas, b);
        break;
    default: break;
    }
    DrawMonoGlyph(canvas, square, 0x000000);
}

void TTxAthenTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    const int row = info.Active ? frActive : frInactive;
    const bool panel = (info.ViewType & VT_DOCKPANELGROUP) != 0;
    const TColor(&table)[2][3] = panel ? FCache.PanelFrameColors : FCache.FloatingFrameColors;
    const TColor entry = canvas->GetBrush()->GetColor();
    HDC dc = canvas->GetHandle();
    if (info.RedrawPart & RP_FRAME)
        PaintFloatingBorder(dc, rect, info.BorderSize, table[row][fpBorder], FloatingOutlineColor(entry), !panel);
    if (!info.ShowCaption) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    TRect bar{0, 0, info.ClientWidth, h};
    gcl::OffsetRect(bar, info.BorderSize.X, info.BorderSize.Y);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.RedrawPart & RP_CAPTION) {
        TRect c = bar;
        DrawLineColor(dc, c.Left, c.Bottom, c.Right, c.Bottom, entry);
        if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) c.Right -= h;
        PaintFloatingBar(canvas, c, table[row][fpCaption]);
        gcl::InflateRect(c, -2, 0);
        DrawSmallCaption(canvas, c, info.Caption, table[row][fpCaptionText], ThemeCaptionFormat, false);
    }
    if (closeButton) {
        const TRect b{bar.Right - h, bar.Top, bar.Right, bar.Bottom};
        DrawLineColor(dc, b.Left - 1, b.Bottom, b.Right, b.Bottom, entry);
        PaintFloatingCloseButton(canvas, b, info, table[row][fpCaption], table[row][fpCaptionText]);
    }
}

void TTxAthenTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    PaintPanelCaptionBorder(canvas, rect, info.IsVertical, clBtnFace);
    if (!info.ShowCaption()) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar = rect;
    gcl::InflateRect(bar, -info.BorderSize.X, -info.BorderSize.Y);
    if (info.IsVertical) {
        bar.Bottom = bar.Top + h - 1;
        PlainFace(canvas, TRect{bar.Left, bar.Top, bar.Right, bar.Bottom + 1}, true);
    } else {
        bar.Right = bar.Left + h - 1;
        PlainFace(canvas, TRect{bar.Left, bar.Top, bar.Right + 1, bar.Bottom}, false);
    }
    PaintPanelCaptionContent(canvas, bar, h, info, 0x000000);
}

void TTxAthenTheme::PaintPanelCaptionContent(TCanvas* canvas, const TRect& bar, int h, const TTxPanelCaptionInfo& info,
                                             TColor textColor) {
    TRect text = bar;
    if (info.CloseButtonState & CDBS_VISIBLE) {
        const int side = h - 1;
        TRect square;
        if (info.IsVertical) {
            square = TRect{bar.Right - side, bar.Top, bar.Right, bar.Top + side};
            text.Right = square.Left;
        } else {
            square = TRect{bar.Left, bar.Bottom - side, bar.Left + side, bar.Bottom};
            text.Bottom = square.Top;
        }
        PaintDockedCloseButton(canvas, square, info.CloseButtonState, info.IsVertical);
    }
    if (info.IsVertical)
        gcl::InflateRect(text, -4, 0);
    else
        gcl::InflateRect(text, 0, -4);
    DrawSmallCaption(canvas, text, info.Caption, textColor, ThemeCaptionFormat, !info.IsVertical);
}

void TTxAthenTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: PlainFace(canvas, rect, true); break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, clBtnShadow);
        DrawLineColor(dc, x + 1, rect.Top + 5, x + 1, rect.Bottom - 2, clBtnHighlight);
        break;
    }
    case 3:
        DrawFaceSizeGrip(dc, rect);
        break;
    default: break;
    }
}

// ---- Items ------------------------------------------------------------------------------

void TTxAthenTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    int lc = 0, rc = 0;
    ItemOutlineCuts(itemInfo, r, lc, rc);
    const bool hotLike = IsItemHot(itemInfo);
    if (IsOpaqueToolbarItem(itemInfo) && !hotLike) {
        if (itemInfo.Enabled) {
            FillRectColor(canvas->GetHandle(), Inset(r, 1), FCache.ToolbarBackground);
            Frame(canvas, r, lc, rc, 0xB0B0B0);
        } else {
            Frame(canvas, r, lc, rc, 0xC0C0C0);
        }
    }
    const bool down = itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected);
    if (IsMenuBarView(itemInfo.ViewType)) {
        if (down || hotLike) LightFace(canvas, r);
        return;
    }
    if (down) {
        if (itemInfo.Pushed || itemInfo.HoverKind != 0) {
            PressedFace(canvas, Inset(r, 1));
            DrawCutCornerFrameAlt(canvas, r, lc, rc, 0xB0B0B0, 0xD0D0D0);
        } else {
            LightFace(canvas, Inset(r, 1));
            Frame(canvas, r, lc, rc, MixColors(BtnHotFrame(), 0x000000, 90));
        }
        if (itemInfo.Selected && !itemInfo.Pushed && itemInfo.HoverKind != 0) {
            LightFace(canvas, r);
            Frame(canvas, r, lc, rc, BtnHotFrame());
        }
    } else if (hotLike || (itemInfo.ItemOptions & IO_DESIGNING)) {
        LightFace(canvas, Inset(r, 1));
        Frame(canvas, r, lc, rc, ButtonPart(itemInfo, cpFrame));
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxAthenTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 const std::string& caption, unsigned format, bool rotated) {
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemPart(itemInfo, cpText);
    DrawCaptionText(canvas, rect, caption, color, format, rotated);
}

void TTxAthenTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCheckTick(canvas->GetHandle(), (rect.Left + rect.Right) / 2 - 2, (rect.Top + rect.Bottom) / 2,
                  ButtonPart(itemInfo, cpText));
}

void TTxAthenTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCentredDropDownTriangle(canvas->GetHandle(), rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxAthenTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    if (itemInfo.Enabled || itemInfo.HoverKind == 1) {
        if (itemInfo.HoverKind == 0 && !(itemInfo.ItemOptions & IO_DESIGNING)) return;
        PlainFace(canvas, Inset(rect, 1));
        const TColor menuHot = FCache.MenuItemColorTable[mrHot][cpFrame];
        TColor pen = itemInfo.Pushed ? FCache.ButtonColorTable[brChecked][cpFrame] : ItemPart(itemInfo, cpFrame);
        if (itemInfo.ItemOptions & IO_MENUEDIT) pen = menuHot;
        DrawCutOutline(dc, rect, 1, 1, pen);
        return;
    }
    TRect r = Inset(rect, 1);
    FrameRectColor(dc, r, FCache.ToolbarBackground, false);
}

void TTxAthenTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = Inset(rect, w);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    const TColor frame = itemInfo.HoverKind != 0 ? 0xFFFFFF
                         : itemInfo.Enabled      ? 0xD0D0D0
                                                 : FCache.ButtonColorTable[brDisabled][cpFrame];
    FrameRectColor(dc, r, frame, true);
    if (itemInfo.Enabled) FillRectColor(dc, r, 0xFFFFFF);
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxAthenTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                    const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const bool plainBox = IsOpaqueToolbarItem(itemInfo) || itemInfo.ViewType == VT_CHEVRONPOPUP;
    const TColor menuHot = FCache.MenuItemColorTable[mrHot][cpFrame];
    TRect r = rect;
    r.Left += 1;
    auto idleFace = [&](TRect face, bool pushed) {
        if (pushed || hot) return;
        if (plainBox) {
            FrameRectColor(dc, face, 0xC0C0C0, true);
            FillRectColor(dc, face, 0xFFFFFF);
        } else {
            FrameRectColor(dc, face, 0xD0D0D0, true);
        }
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        if (disabled) {
            TRect f = r;
            FrameRectColor(dc, f, FCache.ButtonColorTable[brDisabled][cpFrame], true);
        } else {
            const bool pushed = (state & EBDS_PRESSED) != 0;
            if (pushed) {
                PressedFace(canvas, r);
            } else if (hot) {
                if (itemInfo.ItemOptions & IO_MENUEDIT) {
                    PlainFace(canvas, r);
                    DrawLineColor(dc, r.Left, r.Top, r.Left, r.Bottom, menuHot);
                } else {
                    LightFace(canvas, r);
                }
            }
            idleFace(r, pushed);
            DrawLineColor(dc, r.Left - 1, r.Top + 1, r.Left - 1, r.Bottom - 1, 0xFFFFFF);
        }
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const TRect up = SpinHalf(r, true), down = SpinHalf(r, false);
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        const TRect& hr = upper ? up : down;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (upper ? EBSS_UP : EBSS_DOWN)) != 0;
        if (!disabled) {
            if (info.Pushed) {
                PressedFace(canvas, hr);
            } else if (hot) {
                if (itemInfo.ItemOptions & IO_MENUEDIT) {
                    PlainFace(canvas, hr);
                    if (upper) {
                        DrawLineColor(dc, hr.Left, hr.Top, hr.Left, hr.Bottom, menuHot);
                    } else {
                        const TPoint line[3] = {{hr.Left, up.Bottom - 1}, {hr.Left, hr.Top}, {hr.Right, hr.Top}};
                        PolylineColor(dc, line, 2, menuHot);
                    }
                } else {
                    LightFace(canvas, hr);
                }
            }
            idleFace(hr, info.Pushed);
        }
        DrawCentredSpinTriangle(dc, hr, upper, ItemPart(itemInfo, cpText));
    }
}

void TTxAthenTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                               TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, clBtnShadow);
        return;
    }
    if (itemInfo.Selected || itemInfo.Pushed) {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else if (itemInfo.HoverKind != 0) {
        TRect shadow = rect;
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else if (dark || WhiteButtonFace || LowColorScreen) {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else {
        DrawImageTinted(canvas, rect, imageList, imageIndex, clWindow, 255);
    }
}

void TTxAthenTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
        FillRectColor(canvas->GetHandle(), TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin + 2, rect.Bottom},
                      0xFFFFFF);
        r = TRect{rect.Left + 1, rect.Top, rect.Right - 1, rect.Bottom};
    }
    PaintControlFrame(canvas, r, itemInfo);
}

void TTxAthenTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    PaintMenuItemFrame(canvas, rect, itemInfo);
    PaintPopupItemMarks(dc, rect, itemInfo, FCache.MenuSeparatorColor, FCache.MenuSeparatorColor,
                        ItemPart(itemInfo, cpText));
    if (!itemInfo.Selected || !itemInfo.Enabled) return;
    TRect c{rect.Left + 1, rect.Top, rect.Left + 1 + itemInfo.PopupMargin, rect.Bottom};
    if (itemInfo.HoverKind == 2) c = Inset(c, 1);
    LightFace(canvas, c);
    if (!itemInfo.Pushed && itemInfo.HoverKind == 0) {
        Frame(canvas, c, 1, 1, 0xC0C0C0);
        Frame(canvas, c, 2, 2, MixColors(BtnHotFrame(), 0x000000, 90));
    }
}

void TTxAthenTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    const TRect r = Inset(rect, 1);
    if (hot)
        LightFace(canvas, r);
    else
        FillRectColor(dc, r, 0xFFFFFF);
    DrawCutOutline(dc, rect, 1, 1, hot ? BtnHotFrame() : 0xD0D0D0);
    SetCornerPixels(dc, rect, clBtnFace);
    DrawScrollArrow(dc, rect, direction, clBtnText);
}

void TTxAthenTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                   bool) {
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        TRect r = rect;
        TColor pen = FCache.SeparatorColor;
        if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
            pen = FCache.MenuSeparatorColor;
            r.Left += itemInfo.PopupMargin + 9;
        }
        const int y = r.Bottom / 2;
        if (IsToolbarView(itemInfo.ViewType)) {
            DrawLineColor(dc, r.Left + 4, y + 1, r.Right - 2, y + 1, 0xFFFFFF);
            DrawLineColor(dc, r.Left + 3, y, r.Right - 3, y, AthenSilver);
        } else {
            DrawLineColor(dc, r.Left, y, r.Right, y, pen);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, 0xFFFFFF);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, AthenSilver);
    }
}

void TTxAthenTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    HDC dc = canvas->GetHandle();
    const bool disabled = state & PFS_DISABLED, pushed = state & PFS_PUSHED, hot = state & PFS_HOT,
               marked = state & (PFS_CHECKED | PFS_MIXED);
    const auto& table = FCache.ButtonColorTable;
    const TColor mark = disabled                 ? table[brDisabled][cpText]
                        : pushed                 ? table[brPushed][cpText]
                        : (state & PFS_MIXED)    ? clBtnShadow
                        : hot                    ? table[brHot][cpText]
                                                 : table[brNormal][cpText];
    const TRect r = Inset(rect, 1);
    // Pressed and idle boxes get the silver face, hot and checked ones the light one.
    const bool lightFace = hot ? !pushed : marked;
    const TColor pen = hot ? (pushed ? 0xC0C0C0 : BtnHotFrame()) : marked ? table[brChecked][cpFrame] : 0xC0C0C0;
    if (kind == PFC_CHECKBOX) {
        if (lightFace)
            LightFace(canvas, r);
        else
            PressedFace(canvas, r);
        DrawCutOutline(dc, rect, 1, 1, pen);
        if (marked) FillCheckTick(dc, (rect.Left + rect.Right) / 2 - 1, (rect.Top + rect.Bottom) / 2 + 1, mark);
        return;
    }
    if (lightFace)
        FillThreeStopRound(dc, r, true);
    else
        FillRoundGradient(dc, r, 0xFFFFFF, 0xC0C0C0, true);
    DrawRadioRing(dc, rect, pen);
    if (state & PFS_CHECKED) {
        const TRect dot = Inset(rect, 4);
        canvas->GetPen()->SetColor(mark);
        canvas->GetBrush()->SetColor(mark);
        canvas->Ellipse(dot);
    }
}

} // namespace qelvo
