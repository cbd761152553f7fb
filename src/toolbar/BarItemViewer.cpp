// Item viewers: unthemed sizes and painting, mouse handling, captions and
// hints, and the glyphs (check mark, radio dot, arrows, dither, chevron).
#include "toolbar/BarItem.h"

#include "gcl/Forms.h"
#include "gcl/rtl/Maths.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::is;

using gcl::TCanvas;
using gcl::TRect;

// ---- Glyphs -----------------------------------------------------------------------------

namespace {

constexpr DWORD RopBrushWhereSourceSet = 0xE20746;   // D = S ? P : D

// A system colour as GDI wants it (through the system-colour service).
COLORREF SysRGB(int index) { return gcl::ColorToColorRef(gcl::SysColor(index)); }

// A solid brush for the scope.
class TSolidBrush {
public:
    explicit TSolidBrush(COLORREF colour) : FBrush(CreateSolidBrush(colour)) {}
    ~TSolidBrush() { DeleteObject(FBrush); }
    TSolidBrush(const TSolidBrush&) = delete;
    TSolidBrush& operator=(const TSolidBrush&) = delete;
    operator HBRUSH() const { return FBrush; }

private:
    HBRUSH FBrush;
};

// Copies a monochrome bitmap onto dc so that its glyph pixels take brush:
// the glyph is the set bits, or the clear (black) bits when glyphIsBlack.
void BlitMonoWithBrush(HDC dc, int x, int y, int w, int h, HDC mono, bool glyphIsBlack, HBRUSH brush) {
    COLORREF oldText = SetTextColor(dc, glyphIsBlack ? RGB(255, 255, 255) : RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc, glyphIsBlack ? RGB(0, 0, 0) : RGB(255, 255, 255));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    BitBlt(dc, x, y, w, h, mono, 0, 0, RopBrushWhereSourceSet);
    SelectObject(dc, oldBrush);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

// A pen and brush of one colour selected into dc for the scope.
class TSolidScope {
public:
    TSolidScope(HDC dc, COLORREF colour, bool fill) : FDC(dc) {
        FPen = CreatePen(PS_SOLID, 1, colour);
        FBrush = fill ? CreateSolidBrush(colour) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        FOldPen = SelectObject(dc, FPen);
        FOldBrush = SelectObject(dc, FBrush);
        FOwnBrush = fill;
    }
    ~TSolidScope() {
        SelectObject(FDC, FOldPen);
        SelectObject(FDC, FOldBrush);
        DeleteObject(FPen);
        if (FOwnBrush) DeleteObject(FBrush);
    }
    TSolidScope(const TSolidScope&) = delete;
    TSolidScope& operator=(const TSolidScope&) = delete;

private:
    HDC FDC;
    HPEN FPen;
    HBRUSH FBrush;
    HGDIOBJ FOldPen;
    HGDIOBJ FOldBrush;
    bool FOwnBrush;
};

void PolylineAt(HDC dc, const POINT* pts, int count, int dx, int dy) {
    POINT moved[8];
    for (int i = 0; i < count; ++i) moved[i] = POINT{pts[i].x + dx, pts[i].y + dy};
    Polyline(dc, moved, count);
}

// The small filled triangle of a drop-down button.
void DrawArrowTriangle(HDC dc, int cx, int cy, bool pointLeft, COLORREF colour) {
    TSolidScope scope(dc, colour, true);
    POINT pts[3];
    if (pointLeft) {
        pts[0] = {cx - 1, cy + 2};
        pts[1] = {cx - 1, cy - 2};
        pts[2] = {cx - 3, cy};
    } else {
        pts[0] = {cx - 2, cy - 1};
        pts[1] = {cx + 2, cy - 1};
        pts[2] = {cx, cy + 1};
    }
    Polygon(dc, pts, 3);
}

} // namespace

void DrawMonoPattern(HDC DC, int X, int Y, const uint8_t* Rows, int RowCount, HBRUSH Brush) {
    WORD words[16] = {};
    if (RowCount > 16) RowCount = 16;
    for (int i = 0; i < RowCount; ++i) words[i] = Rows[i];
    HBITMAP bitmap = CreateBitmap(8, RowCount, 1, 1, words);
    HDC mono = CreateCompatibleDC(DC);
    HGDIOBJ old = SelectObject(mono, bitmap);
    BlitMonoWithBrush(DC, X, Y, 8, RowCount, mono, false, Brush);
    SelectObject(mono, old);
    DeleteDC(mono);
    DeleteObject(bitmap);
}

void DrawMenuCheckMark(HDC DC, int CX, int CY) {
    static const POINT dark[7] = {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}};
    static const POINT light[5] = {{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}};
    {
        TSolidScope scope(DC, SysRGB(COLOR_BTNTEXT), false);
        PolylineAt(DC, dark, 7, CX - 2, CY + 1);
    }
    TSolidScope scope(DC, SysRGB(COLOR_BTNHIGHLIGHT), false);
    PolylineAt(DC, light, 5, CX - 2, CY + 1);
}

void DrawMenuRadioDot(HDC DC, int CX, int CY) {
    {
        TSolidScope scope(DC, SysRGB(COLOR_BTNTEXT), true);
        RoundRect(DC, CX - 3, CY - 3, CX + 2, CY + 2, 2, 2);
    }
    TSolidScope scope(DC, SysRGB(COLOR_BTNHIGHLIGHT), false);
    RoundRect(DC, CX - 4, CY - 4, CX + 3, CY + 3, 6, 6);
}

void DrawMenuArrowGlyph(HDC DC, const TRect& R, HBRUSH Brush) {
    const int w = R.Width(), h = R.Height();
    if (w <= 0 || h <= 0) return;
    HBITMAP bitmap = CreateBitmap(w, h, 1, 1, nullptr);
    HDC mono = CreateCompatibleDC(DC);
    HGDIOBJ old = SelectObject(mono, bitmap);
    RECT r{0, 0, w, h};
    DrawFrameControl(mono, &r, DFC_MENU, DFCS_MENUARROW);
    BlitMonoWithBrush(DC, R.Left, R.Top, w, h, mono, true, Brush);
    SelectObject(mono, old);
    DeleteDC(mono);
    DeleteObject(bitmap);
}

void FillDither(HDC DC, const TRect& R) {
    HBRUSH brush = MakeHalftoneBrush();
    COLORREF oldText = SetTextColor(DC, SysRGB(COLOR_BTNFACE));
    COLORREF oldBk = SetBkColor(DC, SysRGB(COLOR_BTNHIGHLIGHT));
    RECT r = gcl::ToRECT(R);
    FillRect(DC, &r, brush);
    SetBkColor(DC, oldBk);
    SetTextColor(DC, oldText);
    DeleteObject(brush);
}

void DrawChevronGlyph(HDC DC, const TRect& R, bool Vertical, bool Pushed, bool Enabled) {
    static const uint8_t horizontal[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    static const uint8_t vertical[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
    int x, y;
    if (Vertical) {
        x = R.Right - 9;
        y = R.Top + 2;
    } else {
        x = R.Left + 2;
        y = R.Top + 4;
    }
    if (Pushed) ++x, ++y;
    const uint8_t* rows = Vertical ? vertical : horizontal;
    const int count = Vertical ? 8 : 5;
    if (Enabled) {
        DrawMonoPattern(DC, x, y, rows, count, TSolidBrush(SysRGB(COLOR_BTNTEXT)));
    } else {
        DrawMonoPattern(DC, x, y + 1, rows, count, TSolidBrush(SysRGB(COLOR_BTNHIGHLIGHT)));
        DrawMonoPattern(DC, x, y, rows, count, TSolidBrush(SysRGB(COLOR_BTNSHADOW)));
    }
}

// ---- TBarItemViewer ------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TBarItemViewer)
GCL_IMPLEMENT_CLASS(TBarSeparatorItemViewer)

TBarItemViewer::TBarItemViewer(TBarView* AView, TBarCustomItem* AItem, int AGroupLevel)
    : FView(AView), FItem(AItem), FGroupLevel(AGroupLevel) {
    CountLiveObject(+1);
}

TBarItemViewer::~TBarItemViewer() { CountLiveObject(-1); }

void TBarItemViewer::BeforeDestruction() noexcept {
    CancelDeferredClicks(this);
    ReleaseAccObject();
}

bool TBarItemViewer::IsToolbarStyle() {
    return FView->GetIsToolbar() || FItem->GetEffectiveOptions().Contains(tboToolbarStyle);
}

bool TBarItemViewer::IsToolbarSize() {
    return FView->GetIsToolbar() || FItem->GetEffectiveOptions().Contains(tboToolbarSize);
}

bool TBarItemViewer::UsesSameWidth() {
    TBarItemOptions o = FItem->GetEffectiveOptions();
    return o.Contains(tboImageAboveCaption) && o.Contains(tboSameWidth) && IsToolbarSize();
}

std::string TBarItemViewer::GetCaptionText() {
    const std::string& caption = FItem->GetCaption();
    return caption.substr(0, caption.find('\t'));
}

bool TBarItemViewer::ImageShown() {
    if (FItem->GetImageIndex() < 0) return false;
    switch (FItem->GetDisplayMode()) {
    case nbdmDefault:
    case nbdmImageAndText: return true;
    case nbdmTextOnlyInMenus: return IsToolbarStyle();
    default: return false;
    }
}

bool TBarItemViewer::CaptionShown() {
    if (!GetCaptionText().empty()) {
        TBarItemDisplayMode mode = FItem->GetDisplayMode();
        if (!IsToolbarSize() || FItem->GetImageIndex() < 0 || mode == nbdmTextOnly || mode == nbdmImageAndText)
            return true;
    }
    return FItem->GetEffectiveOptions().Contains(tboImageAboveCaption);
}

bool TBarItemViewer::IsRotated() {
    if (FView->GetOrientation() != tbvoVertical) return false;
    TBarItemOptions o = FItem->GetEffectiveOptions();
    return !o.Contains(tboNoRotation) && !o.Contains(tboImageAboveCaption);
}

gcl::TCustomImageList* TBarItemViewer::GetImageList() {
    if (gcl::TCustomImageList* own = FItem->GetImages()) return own;
    for (TBarView* v = FView; v; v = v->GetParentView()) {
        if (v->GetShownItem() && v->GetShownItem()->GetSubMenuImages()) return v->GetShownItem()->GetSubMenuImages();
        if (v->GetParentItem() && v->GetParentItem()->GetSubMenuImages()) return v->GetParentItem()->GetSubMenuImages();
    }
    return nullptr;
}

int TBarItemViewer::GetIndex() { return FView->IndexOf(this); }

gcl::TPoint TBarItemViewer::ScreenToClient(gcl::TPoint Pt) {
    POINT p{Pt.X, Pt.Y};
    if (FView->GetWindow() && FView->GetWindow()->HandleAllocated())
        ::ScreenToClient(FView->GetWindow()->GetHandle(), &p);
    return {p.x - BoundsRect.Left, p.y - BoundsRect.Top};
}

std::string TBarItemViewer::GetHintText() {
    std::string hint = gcl::GetShortHint(FItem->GetHint());
    if (hint.empty() && !FItem->GetEffectiveOptions().Contains(tboNoAutoHint) &&
        !(FItem->HasStyle(tbisSubmenu) && !FItem->HasStyle(tbisCombo) && CaptionShown()))
        hint = RemoveAccelMarks(TrimCaptionEnding(GetCaptionText()));
    if (auto* action = dynamic_cast<gcl::TCustomAction*>(FItem->GetAction()))
        if (!action->DoHint(hint)) hint.clear();
    if (!hint.empty() && gcl::Application && gcl::Application->GetHintShortCuts()) {
        std::string sc = FItem->GetShortCutText();
        if (!sc.empty()) hint = hint + " (" + sc + ")";
    }
    return hint;
}

bool TBarItemViewer::Execute(bool AGivePriority) {
    bool result = DoExecute();
    if (result && AGivePriority) FView->RaisePriority(this);
    return result;
}

bool TBarItemViewer::DoExecute() {
    FView->EndWithClick(this);
    return true;
}

void TBarItemViewer::Entering(TBarItemViewer*) {
    if (FItem->OnSelect) FItem->OnSelect(FItem, this, true);
}

void TBarItemViewer::Leaving() {
    if (FItem->OnSelect) FItem->OnSelect(FItem, this, false);
}

int TBarItemViewer::GetAccRole() {
    if (is<TBarControlItem>(FItem)) return 10;             // ROLE_SYSTEM_CLIENT
    if (FItem->HasStyle(tbisSeparator)) return 21;          // ROLE_SYSTEM_SEPARATOR
    if (FView->GetIsPopup() || (FView->GetStyle() & vsMenuBar)) return 12;   // ROLE_SYSTEM_MENUITEM
    if (FItem->HasStyle(tbisSubmenu)) return 57;            // ROLE_SYSTEM_BUTTONMENU
    return 43;                                              // ROLE_SYSTEM_PUSHBUTTON
}

bool TBarItemViewer::GetAccValue(std::wstring&) { return false; }
void TBarItemViewer::GetCursor(gcl::TPoint, HCURSOR&) {}
void TBarItemViewer::KeyDown(uint16_t&, gcl::TShiftState) {}
void TBarItemViewer::MouseMove(int, int) {}
void TBarItemViewer::MouseWheel(int, int, int) {}

void TBarItemViewer::LosingCapture() { FView->Invalidate(this); }

void TBarItemViewer::QueueAccSelect(bool AExecute) { PostDeferredClick(this, AExecute ? 1 : 0); }

bool TBarItemViewer::IsPtInButtonPart(int X, int) {
    if (FItem->HasStyle(tbisCombo)) {
        int arrow = IsToolbarStyle() ? 11 : GetSystemMetrics(SM_CXMENUCHECK);
        return X < BoundsRect.Width() - arrow;
    }
    return !FItem->HasStyle(tbisSubmenu);
}

void TBarItemViewer::MouseDown(gcl::TShiftState Shift, int X, int Y, bool& MouseDownOnMenu) {
    const bool topLevel = !FView->GetParentView() && !FView->GetIsPopup();
    if (!FItem->GetEnabled()) {
        if (topLevel) FView->EndModal();
        return;
    }
    if (IsPtInButtonPart(X, Y)) {
        if (IsToolbarStyle()) {
            FView->CancelChildPopups();
            FView->BeginCapture();
            FView->Invalidate(this);
        }
        return;
    }
    const bool wasOpen = FView->GetOpenViewer() == this;
    if (!FView->OpenChildPopup(false)) return;
    if (wasOpen && topLevel) MouseDownOnMenu = true;
    if (Shift.Contains(gcl::ssDouble) && !FItem->HasStyle(tbisCombo)) {
        if (TBarView* child = FView->GetOpenChildView()) {
            for (int i = 0; i < child->GetViewerCount(); ++i) {
                TBarItemViewer* v = child->GetViewers(i);
                TBarCustomItem* item = v->GetItem();
                if ((v->Show || v->Clipped) && item->GetEffectiveOptions().Contains(tboDefault) &&
                    item->HasStyle(tbisSelectable) && item->GetEnabled() && item->GetVisible()) {
                    v->Execute(true);
                    break;
                }
            }
        }
    }
}

void TBarItemViewer::MouseUp(int X, int Y, bool MouseWasDownOnMenu) {
    const bool hadCapture = FView->GetCapture();
    FView->CancelCapture();
    const bool topLevel = !FView->GetParentView() && !FView->GetIsPopup();
    if (FView->GetMouseOverSelected() && FItem->GetEnabled() && !FItem->HasStyle(tbisClicksTransparent)) {
        if (FItem->HasStyle(tbisSubmenu) && !IsPtInButtonPart(X, Y)) {
            if (MouseWasDownOnMenu && topLevel) FView->EndModal();
            return;
        }
        if (IsToolbarStyle() && !hadCapture) return;
        Execute(true);
        return;
    }
    if (topLevel) FView->EndModal();
}

// ---- Sizes ----------------------------------------------------------------------------

namespace {

// The canvas's DC with the canvas font selected (raw GDI calls follow).
HDC FontDC(TCanvas* canvas) {
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    return canvas->GetHandle();
}

// The text metrics of the canvas font, or of its rotated copy.
TEXTMETRICA CanvasMetrics(HDC dc, bool rotated) {
    TEXTMETRICA tm{};
    HFONT font = rotated ? CreateRotatedFont(dc) : nullptr;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextMetricsA(dc, &tm);
    if (font) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    return tm;
}

} // namespace

int TBarItemViewer::MenuImageColumnWidth(int h) {
    gcl::TCustomImageList* images = GetImageList();
    if (!images) return h;
    return gcl::MulDiv(images->GetWidth() + 3, h, images->GetHeight() + 3);
}

void TBarItemViewer::CalcSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    HDC dc = FontDC(Canvas);
    const bool ts = IsToolbarStyle();
    const bool rotated = IsRotated();
    TEXTMETRICA tm = CanvasMetrics(dc, rotated);
    const TBarItemOptions options = FItem->GetEffectiveOptions();
    AWidth = ts ? 6 : 0;
    AHeight = ts ? 6 : 0;
    if (!ts || CaptionShown()) {
        const int tw = GetTextWidth(dc, GetCaptionText(), true) + (ts ? 6 : 0);
        if (!rotated) {
            AHeight += tm.tmHeight;
            AWidth += tw;
        } else {
            AWidth += tm.tmHeight;
            AHeight += tw;
        }
    }
    gcl::TCustomImageList* images = GetImageList();
    if (ts && ImageShown() && images) {
        if (!rotated && !options.Contains(tboImageAboveCaption)) {
            AWidth += images->GetWidth() + 1;
            AHeight = gcl::Max(AHeight, images->GetHeight() + 6);
        } else {
            AHeight += images->GetHeight();
            AWidth = gcl::Max(AWidth, images->GetWidth() + 7);
        }
    }
    if (ts && FItem->HasStyle(tbisSubmenu)) {
        if (FItem->HasStyle(tbisCombo)) AWidth += 11;
        else if (options.Contains(tboDropdownArrow)) {
            if (FView->GetOrientation() == tbvoVertical) AHeight += 8;
            else AWidth += 8;
        }
    }
    if (!ts) {
        AHeight += tm.tmExternalLeading + 4;
        if (images) AHeight = gcl::Max(AHeight, images->GetHeight() + 3);
        AWidth += MenuImageColumnWidth(AHeight) + 6;
        std::string sc = FItem->GetShortCutText();
        if (!sc.empty()) AWidth += GetTextWidth(dc, sc, false) + (AHeight - 6);
        AWidth += AHeight;
    }
}

void TBarSeparatorItemViewer::CalcSize(TCanvas* Canvas, int& AWidth, int& AHeight) {
    if (IsToolbarStyle()) {
        AWidth = 6;
        AHeight = 6;
        return;
    }
    AWidth = 0;
    AHeight = DivAwayFromZero(FontTextHeight(FontDC(Canvas)) * 2, 3);
}

// ---- Painting ---------------------------------------------------------------------------

void TBarItemViewer::DrawItemCaption(TCanvas* Canvas, TRect ARect, const std::string& ACaption,
                                     bool ADisabledShadow, UINT AFormat) {
    HDC dc = Canvas->GetHandle();
    auto draw = [&](TRect r) {
        if (IsRotated()) {
            DrawRotatedText(dc, ACaption, r, AFormat);
        } else {
            RECT rr = gcl::ToRECT(r);
            DrawTextA(dc, ACaption.c_str(), static_cast<int>(ACaption.size()), &rr, AFormat);
        }
    };
    if (!ADisabledShadow) {
        draw(ARect);
        return;
    }
    COLORREF old = GetTextColor(dc);
    TRect moved = ARect;
    gcl::OffsetRect(moved, 1, 1);
    SetTextColor(dc, SysRGB(COLOR_BTNHIGHLIGHT));
    draw(moved);
    SetTextColor(dc, SysRGB(COLOR_BTNSHADOW));
    draw(ARect);
    SetTextColor(dc, old);
}

void TBarItemViewer::Paint(TCanvas* Canvas, TRect R, bool IsSelected, bool IsPushed, bool UseDisabledShadow) {
    HDC dc = Canvas->GetHandle();
    const bool ts = IsToolbarStyle();
    const bool enabled = FItem->GetEnabled();
    const bool showEnabled = enabled || FView->GetCustomizing();
    const bool designing = FItem->GetComponentState().Contains(gcl::csDesigning);
    const bool combo = FItem->HasStyle(tbisCombo);
    const bool submenu = FItem->HasStyle(tbisSubmenu);
    const TBarItemOptions options = FItem->GetEffectiveOptions();
    const bool hasArrow = submenu && (combo || options.Contains(tboDropdownArrow));
    const bool vertical = FView->GetOrientation() == tbvoVertical;
    const bool checked = FItem->GetChecked();
    gcl::TCustomImageList* images = GetImageList();
    const bool drawImage = ImageShown() && images;
    const int imageColumn = MenuImageColumnWidth(R.Height());
    const COLORREF fontColour = GetTextColor(dc);

    // 1. A selected menu row is filled from the image column on.
    if (!ts && IsSelected) {
        TRect fill = R;
        if (drawImage || checked) fill.Left = R.Left + imageColumn + 1;
        if (combo && enabled) fill.Right -= GetSystemMetrics(SM_CXMENUCHECK);
        Canvas->FillRect(fill);
    }

    TRect button = R;
    if (ts) {
        // 2. Button frame, drop-down arrow, dither.
        TRect arrowPart;
        if (combo) {
            arrowPart = TRect{R.Right - 9, R.Top, R.Right, R.Bottom};
            button.Right = R.Right - 9;
        } else if (hasArrow) {
            arrowPart = vertical ? TRect{R.Left, R.Bottom - 11, R.Right, R.Bottom - 3}
                                 : TRect{R.Right - 11, R.Top, R.Right - 3, R.Bottom};
        }
        bool buttonPushed = IsPushed;
        if (combo) buttonPushed = IsPushed && FView->GetCapture() && FView->GetMouseOverSelected();
        if ((IsSelected && showEnabled) || checked || designing) {
            RECT b = gcl::ToRECT(button);
            DrawEdge(dc, &b, (buttonPushed || checked) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            if (combo) {
                RECT a = gcl::ToRECT(arrowPart);
                const bool arrowPushed = FView->GetOpenViewer() == this;
                DrawEdge(dc, &a, arrowPushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            }
        }
        if (hasArrow) {
            int cx = arrowPart.Left + arrowPart.Width() / 2, cy = arrowPart.Top + arrowPart.Height() / 2;
            if (!combo && IsPushed) ++cx, ++cy;
            const bool pointLeft = !combo && vertical;
            if (enabled) {
                DrawArrowTriangle(dc, cx, cy, pointLeft, fontColour);
            } else {
                DrawArrowTriangle(dc, cx + 1, cy + 1, pointLeft, SysRGB(COLOR_BTNHIGHLIGHT));
                DrawArrowTriangle(dc, cx, cy, pointLeft, SysRGB(COLOR_BTNSHADOW));
            }
        }
        gcl::InflateRect(button, -1, -1);
        if (checked && !(IsSelected && showEnabled)) FillDither(dc, button);
        gcl::InflateRect(button, -1, -1);
        if (checked || IsPushed) gcl::OffsetRect(button, 1, 1);
        if (hasArrow && !combo) {
            if (vertical) button.Bottom -= 8;
            else button.Right -= 8;
        }
    }

    // 3. The default item's caption is bold.
    HFONT boldFont = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (options.Contains(tboDefault)) {
        LOGFONTA lf{};
        if (GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf) == sizeof lf) {
            lf.lfWeight = FW_BOLD;
            boldFont = CreateFontIndirectA(&lf);
            oldFont = SelectObject(dc, boldFont);
        }
    }
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SetBkMode(dc, TRANSPARENT);

    UINT prefixFlags = 0;
    if (!AreKeyboardCuesEnabled() && (FView->GetStyle() & vsUseHiddenAccels) && !(FView->GetState() & vsShowAccels))
        prefixFlags = DT_HIDEPREFIX;

    // 4. Caption.
    if (CaptionShown()) {
        TRect box = ts ? button : R;
        UINT format;
        if (!ts) {
            box.Left = R.Left + imageColumn + 3;
            box.Right = R.Right - R.Height();
            format = DT_SINGLELINE | DT_VCENTER;
        } else {
            if (drawImage) {
                if (!IsRotated() && !options.Contains(tboImageAboveCaption)) box.Left += images->GetWidth() + 1;
                else box.Top += images->GetHeight() + 1;
            }
            format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        }
        if (box.Height() == tm.tmHeight + tm.tmExternalLeading + 4) box.Bottom -= 1;
        box.Top += tm.tmExternalLeading;
        DrawItemCaption(Canvas, box, GetCaptionText(), UseDisabledShadow, format | prefixFlags);
    }

    // 5. Menus: the shortcut text and the submenu arrow.
    if (!ts) {
        std::string sc = FItem->GetShortCutText();
        if (!sc.empty()) {
            TRect box{R.Left + imageColumn + 3, R.Top, R.Right - R.Height(), R.Bottom};
            box.Top += tm.tmExternalLeading;
            DrawItemCaption(Canvas, box, sc, UseDisabledShadow, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_RIGHT);
        }
        if (submenu) {
            const int checkW = GetSystemMetrics(SM_CXMENUCHECK);
            TRect column{R.Right - (combo ? checkW : R.Height()), R.Top, R.Right, R.Bottom};
            if (combo) {
                if (!(IsSelected && enabled)) {
                    RECT edge{column.Left - 1, column.Top, column.Right, column.Bottom};
                    if (!IsSelected) DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT);
                    else DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_LEFT);
                } else {
                    RECT box = gcl::ToRECT(column);
                    DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
                }
            }
            const int gw = checkW, gh = GetSystemMetrics(SM_CYMENUCHECK);
            TRect glyph = gcl::Bounds(column.Left + (column.Width() - gw) / 2, column.Top + (column.Height() - gh) / 2,
                                      gw, gh);
            if (enabled) {
                DrawMenuArrowGlyph(dc, glyph, TSolidBrush(fontColour));
            } else {
                TRect moved = glyph;
                gcl::OffsetRect(moved, 1, 1);
                DrawMenuArrowGlyph(dc, moved, TSolidBrush(SysRGB(COLOR_BTNHIGHLIGHT)));
                DrawMenuArrowGlyph(dc, glyph, TSolidBrush(SysRGB(COLOR_BTNSHADOW)));
            }
        }
    }

    // 6. Image or check.
    if (!ts) {
        TRect column{R.Left, R.Top, R.Left + imageColumn, R.Bottom};
        if ((drawImage || checked) && ((IsSelected && enabled) || checked)) {
            RECT box = gcl::ToRECT(column);
            DrawEdge(dc, &box, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            if (checked && !IsSelected) {
                TRect inner = column;
                gcl::InflateRect(inner, -1, -1);
                FillDither(dc, inner);
            }
        }
        if (drawImage) {
            images->Draw(Canvas, column.Left + (column.Width() - images->GetWidth()) / 2,
                         column.Top + (column.Height() - images->GetHeight()) / 2, FItem->GetImageIndex(), showEnabled);
        } else if (checked) {
            int cx = column.Left + column.Width() / 2, cy = column.Top + column.Height() / 2;
            if (FItem->GetRadioItem()) DrawMenuRadioDot(dc, cx, cy);
            else DrawMenuCheckMark(dc, cx, cy);
        }
    } else if (drawImage) {
        TRect box = button;
        if (CaptionShown()) {
            if (!IsRotated() && !options.Contains(tboImageAboveCaption)) box.Right = box.Left + images->GetWidth() + 2;
            else box.Bottom = box.Top + images->GetHeight() + 2;
        }
        images->Draw(Canvas, box.Left + (box.Width() - images->GetWidth()) / 2,
                     box.Top + (box.Height() - images->GetHeight()) / 2, FItem->GetImageIndex(), showEnabled);
    }

    if (boldFont) {
        SelectObject(dc, oldFont);
        DeleteObject(boldFont);
    }
}

void TBarSeparatorItemViewer::Paint(TCanvas* Canvas, TRect R, bool, bool, bool) {
    auto* separator = dynamic_cast<TBarSeparatorItem*>(FItem);
    if (separator && separator->GetBlank()) return;
    HDC dc = Canvas->GetHandle();
    const bool vertical = FView->GetOrientation() == tbvoVertical;
    bool horizontalLine = !IsToolbarStyle() || vertical;
    if (IsLineSep()) horizontalLine = !horizontalLine;
    RECT r = gcl::ToRECT(R);
    if (horizontalLine) {
        r.top = R.Bottom / 2 - 1;
        if (!IsToolbarStyle()) {
            r.left += 12;
            r.right -= 12;
        }
        if (IsLineSep()) {
            int inset = FView->GetOrientation() == tbvoFloating ? 1 : 4;
            r.left += inset;
            r.right -= inset;
        }
        DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    } else {
        r.left = R.Right / 2 - 1;
        if (IsLineSep()) {
            r.top += 4;
            r.bottom -= 4;
        }
        DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
    }
}

} // namespace qelvo
