// Painting of the list view: canvas store, check-box painter, group view,
// column view; and TCustomGvListview's painting members
// (the window's double-buffered paint and PaintRect, which paints into any
// canvas).
#include "listview/GvInternal.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "gcl/rtl/Maths.h"

namespace qelvo {

using namespace gvdetail;

GCL_IMPLEMENT_CLASS(TGvCanvasStore)
GCL_IMPLEMENT_CLASS(TGvViewGroup)
GCL_IMPLEMENT_CLASS(TGvViewColumn)


// ---- Canvas store --------------------------------------------------------------------------

void TGvCanvasStore::StoreCanvas(gcl::TCanvas* Canvas) {
    if (!Canvas) return;
    if (!FPen) FPen = std::make_unique<gcl::TPen>();
    if (!FBrush) FBrush = std::make_unique<gcl::TBrush>();
    if (!FFont) FFont = std::make_unique<gcl::TFont>();
    FPen->Assign(Canvas->GetPen());
    FBrush->Assign(Canvas->GetBrush());
    FFont->Assign(Canvas->GetFont());
}

void TGvCanvasStore::RestoreCanvas(gcl::TCanvas* Canvas) {
    if (!Canvas || !FPen) return;
    Canvas->SetPen(FPen.get());
    Canvas->SetBrush(FBrush.get());
    Canvas->SetFont(FFont.get());
}

// ---- Check-box painter -----------------------------------------------------------------------

namespace {

// A box drawn from glyphs (five text outputs with a symbol font made for
// it) is the same picture wherever it is drawn: its face is opaque. Each
// look is drawn once on two scratch bitmaps of different colours; the
// pixels both agree on, when they form a rectangle and nothing else was
// touched, are kept and copied to later boxes of that look. A look that
// lets the background through anywhere is drawn each time.
struct TGlyphBoxLook {
    TGvCheckType Type = ectNone;
    int Size = 0;
    COLORREF Colors[6] = {};
    bool Checked = false;
    bool Enabled = false;
    LOGFONTA Font{};  // the glyphs' font, as the canvas's font gives it
    bool operator==(const TGlyphBoxLook& o) const noexcept {
        return Type == o.Type && Size == o.Size && Checked == o.Checked && Enabled == o.Enabled &&
               std::equal(std::begin(Colors), std::end(Colors), std::begin(o.Colors)) &&
               std::memcmp(&Font, &o.Font, sizeof Font) == 0;
    }
};

struct TGlyphBoxPicture {
    TGlyphBoxLook Look;
    bool Usable = false;
    TPoint Offset;  // of the picture's top left from where the glyphs are drawn
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // top-down rows
};

void DrawGlyphBox(const TGlyphBoxLook& L, gcl::TCanvas* Canvas, TPoint At) {
    using gcl::TColor;
    const auto c = [&](int i) { return static_cast<TColor>(L.Colors[i]); };
    if (L.Type == ectBox)
        DrawCheckBox(Canvas, At, L.Size, c(0), c(1), c(2), c(3), c(4), c(5), L.Checked, L.Enabled);
    else
        DrawRadioButton(Canvas, At, L.Size, c(0), c(1), c(2), c(3), c(4), c(5), L.Checked, L.Enabled);
}

TGlyphBoxPicture MakeGlyphBoxPicture(const TGlyphBoxLook& L, gcl::TFont* CanvasFont) {
    TGlyphBoxPicture picture;
    picture.Look = L;
    constexpr int Margin = 4;
    const int side = 3 * std::max(L.Size, 1) + 2 * Margin;
    const uint32_t backgrounds[2] = {0x00123456u, 0x00EDCBA9u};
    gcl::TBitmap drafts[2];
    for (int d = 0; d < 2; ++d) {
        drafts[d].SetPixelFormat(gcl::pf32bit);
        drafts[d].SetSize(side, side);
        for (int y = 0; y < side; ++y) {
            auto* row = static_cast<uint32_t*>(drafts[d].GetScanLine(y));
            std::fill(row, row + side, backgrounds[d]);
        }
        drafts[d].GetCanvas()->GetFont()->Assign(CanvasFont);
        DrawGlyphBox(L, drafts[d].GetCanvas(), TPoint{Margin, Margin});
    }
    GdiFlush();
    // Where the drafts agree (the picture), where they kept their own
    // backgrounds (untouched) and anything else (see-through).
    TRect box{side, side, 0, 0};
    for (int y = 0; y < side; ++y) {
        const auto* a = static_cast<const uint32_t*>(drafts[0].GetScanLine(y));
        const auto* b = static_cast<const uint32_t*>(drafts[1].GetScanLine(y));
        for (int x = 0; x < side; ++x) {
            const uint32_t pa = a[x] & 0xFFFFFFu, pb = b[x] & 0xFFFFFFu;
            if (pa == backgrounds[0] && pb == backgrounds[1]) continue;
            if (pa != pb) return picture;
            box.Left = std::min(box.Left, x);
            box.Top = std::min(box.Top, y);
            box.Right = std::max(box.Right, x + 1);
            box.Bottom = std::max(box.Bottom, y + 1);
        }
    }
    if (box.Right <= box.Left || box.Bottom <= box.Top) return picture;
    if (box.Left == 0 || box.Top == 0 || box.Right == side || box.Bottom == side) return picture;  // may go further
    picture.Offset = TPoint{box.Left - Margin, box.Top - Margin};
    picture.Width = box.Width();
    picture.Height = box.Height();
    picture.Pixels.reserve(static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height));
    for (int y = box.Top; y < box.Bottom; ++y) {
        const auto* a = static_cast<const uint32_t*>(drafts[0].GetScanLine(y));
        const auto* b = static_cast<const uint32_t*>(drafts[1].GetScanLine(y));
        for (int x = box.Left; x < box.Right; ++x) {
            // A hole in the rectangle lets the background through.
            if ((a[x] & 0xFFFFFFu) != (b[x] & 0xFFFFFFu)) return picture;
            picture.Pixels.push_back(a[x] & 0xFFFFFFu);
        }
    }
    picture.Usable = true;
    return picture;
}

// The kept picture of a look; null when it must be drawn.
const TGlyphBoxPicture* GlyphBoxPicture(const TGlyphBoxLook& L, gcl::TFont* CanvasFont) {
    static std::vector<TGlyphBoxPicture> kept;
    for (const TGlyphBoxPicture& p : kept)
        if (p.Look == L) return p.Usable ? &p : nullptr;
    if (kept.size() >= 64) kept.clear();
    kept.push_back(MakeGlyphBoxPicture(L, CanvasFont));
    return kept.back().Usable ? &kept.back() : nullptr;
}

// The header of a 32-bit picture of W x H pixels stored top row first.
BITMAPINFO TopDownInfo(int W, int H) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = W;
    bi.bmiHeader.biHeight = -H;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// Puts W x H pixels, top row first, at (X, Y) of DC.
void PutPixels(HDC DC, int X, int Y, int W, int H, const uint32_t* Pixels) {
    const BITMAPINFO bi = TopDownInfo(W, H);
    SetDIBitsToDevice(DC, X, Y, static_cast<DWORD>(W), static_cast<DWORD>(H), 0, 0, 0, static_cast<UINT>(H), Pixels,
                      &bi, DIB_RGB_COLORS);
}

// Only a plain 32-bit bitmap in device units takes kept pixels as they
// are: on anything else the drawing is made.
bool TakesKeptPixels(HDC DC) {
    if (GetObjectType(DC) != OBJ_MEMDC || GetMapMode(DC) != MM_TEXT || GetGraphicsMode(DC) != GM_COMPATIBLE ||
        GetLayout(DC) != 0)
        return false;
    if ((GetTextAlign(DC) & (TA_UPDATECP | TA_BASELINE | TA_BOTTOM | TA_RIGHT | TA_CENTER)) != 0) return false;
    DIBSECTION ds{};
    HGDIOBJ bitmap = GetCurrentObject(DC, OBJ_BITMAP);
    return bitmap && GetObjectW(bitmap, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel == 32;
}

// The kept drawings, and the bitmap they are made on: the drawing goes
// Margin pixels in from its edges, so that one reaching outside its size
// is seen.
struct TKeptDrawing {
    TKeptDrawingKey Key;
    int Width = 0;
    int Height = 0;
    COLORREF Text = 0, Back = 0;
    int BackMode = 0;
    bool Reaches = false;  // outside its size: drawn each time
    std::vector<uint32_t> Beneath, Result;
};

struct TKeptDrawings {
    static constexpr int Margin = 4;
    static constexpr int Largest = 64;
    // More than this many (looks of rows times pixels beneath) start anew.
    static constexpr size_t Most = 128;
    static constexpr int Side = Largest + 2 * Margin;
    std::vector<TKeptDrawing> Kept;
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Displaced = nullptr;
    uint32_t* Bits = nullptr;  // top-down rows of Side pixels

    bool Ready() {
        if (DC) return true;
        const BITMAPINFO bi = TopDownInfo(Side, Side);
        void* bits = nullptr;
        Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        DC = Bitmap ? CreateCompatibleDC(nullptr) : nullptr;
        if (!DC) {
            Forget();
            return false;
        }
        Displaced = SelectObject(DC, Bitmap);
        Bits = static_cast<uint32_t*>(bits);
        return true;
    }
    void Forget() noexcept {
        Kept.clear();
        if (DC) {
            SelectObject(DC, Displaced);
            DeleteDC(DC);
        }
        if (Bitmap) DeleteObject(Bitmap);
        DC = nullptr;
        Bitmap = nullptr;
        Bits = nullptr;
    }
    uint32_t* Row(int y) const { return Bits + static_cast<ptrdiff_t>(y + Margin) * Side + Margin; }
};

TKeptDrawings& KeptDrawings() {
    static TKeptDrawings kept;
    return kept;
}

} // namespace

void gvdetail::ForgetKeptDrawings() noexcept { KeptDrawings().Forget(); }

void gvdetail::MeasureOnDisplay(const std::wstring& Text, gcl::TFont& Font, gcl::TSize& Size) {
    // A DC of the display's kind, kept for the run: the screen's own DC,
    // taken and given back for each text, costs ten times the measuring
    // under Wine. Measured on the thread that paints the list views.
    static const HDC measuring = CreateCompatibleDC(nullptr);
    if (!measuring || Text.empty()) {
        TextExtentW(Text, &Font, Size);
        return;
    }
    const HGDIOBJ displaced = SelectObject(measuring, Font.GetHandle());
    TextExtentW(Text, measuring, Size);
    SelectObject(measuring, displaced);
}

// ---- Captions ----------------------------------------------------------------------------------

namespace {

// The metrics of each font description text was drawn in, on the screen
// and bitmaps like it; a paint draws its captions in a few of them.
struct TKeptLineMetrics {
    LOGFONTA Font;
    TTextLineMetrics Metrics;
};

// What they were read under: a font added or taken away, a change of the
// system's settings or of the display counts a new generation.
struct TKeptLineMetricsSet {
    unsigned Generation = 0;
    std::vector<TKeptLineMetrics> Fonts;
};

std::vector<TKeptLineMetrics>& KeptLineMetrics() {
    static TKeptLineMetricsSet kept;
    const unsigned generation = gcl::SystemSettingsGeneration();
    if (kept.Generation != generation) {
        kept.Fonts.clear();
        kept.Generation = generation;
    }
    return kept.Fonts;
}

// A DC whose text lands where the kept metrics say: device units on the
// display (or a bitmap made for it), unmirrored, text placed by its top
// left corner.
bool PlainTextDC(HDC DC) {
    return GetMapMode(DC) == MM_TEXT && GetGraphicsMode(DC) == GM_COMPATIBLE && GetLayout(DC) == 0 &&
           (GetTextAlign(DC) & (TA_UPDATECP | TA_BASELINE | TA_BOTTOM | TA_RIGHT | TA_CENTER)) == 0 &&
           GetDeviceCaps(DC, TECHNOLOGY) == DT_RASDISPLAY;
}

// The metrics of Font, selected into DC.
const TTextLineMetrics& LineMetricsOf(HDC DC, const LOGFONTA& Font) {
    std::vector<TKeptLineMetrics>& kept = KeptLineMetrics();
    for (const TKeptLineMetrics& k : kept)
        if (std::memcmp(&k.Font, &Font, sizeof Font) == 0) return k.Metrics;
    // A handful of fonts at a time: more start anew.
    if (kept.size() >= 32) kept.clear();
    kept.push_back(TKeptLineMetrics{Font, ReadTextLineMetrics(DC)});
    return kept.back().Metrics;
}

} // namespace

void gvdetail::ForgetLineMetrics() noexcept { KeptLineMetrics().clear(); }

size_t gvdetail::LineMetricsCount() noexcept { return KeptLineMetrics().size(); }

void gvdetail::DrawCaption(gcl::TCanvas* Canvas, const std::wstring& Text, TRect R, int Lines,
                           TCommonDrawTextWFlags Flags, int KnownWidth) {
    if (Text.empty() || R.Width() <= 0 || R.Height() <= 0) return;
    HDC dc = Canvas->GetHandle();
    gcl::TFont* font = Canvas->GetFont();
    if (!PlainTextDC(dc) || font->GetOrientation() != 0 || (Flags & dtRTLReading)) {
        Canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
        SetBkMode(dc, TRANSPARENT);
        DrawTextWEx(dc, Text, R, Lines, Flags);
        return;
    }
    const gcl::TFontStyles style = font->GetStyle();
    LOGFONTA plain = font->GetLogFont();
    plain.lfStrikeOut = 0;
    const bool strike = style.Contains(gcl::fsStrikeOut);
    if (strike) {
        // The text in the plain font, when the line can be drawn as the
        // font draws it.
        const TTextLineMetrics* known = nullptr;
        for (const TKeptLineMetrics& k : KeptLineMetrics())
            if (std::memcmp(&k.Font, &plain, sizeof plain) == 0) known = &k.Metrics;
        if (!known || known->StrikeSize > 0) font->SetStyle(gcl::TFontStyles(style).Exclude(gcl::fsStrikeOut));
    }
    Canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    const TTextLineMetrics& metrics = LineMetricsOf(dc, plain);
    SetBkMode(dc, TRANSPARENT);
    if (strike && metrics.StrikeSize <= 0) {
        // No outline metrics: the font draws its own line.
        if (!font->GetStyle().Contains(gcl::fsStrikeOut)) font->SetStyle(style);
        Canvas->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
        DrawTextWEx(dc, Text, R, Lines, Flags, metrics, false, KnownWidth);
        return;
    }
    DrawTextWEx(dc, Text, R, Lines, Flags, metrics, strike, KnownWidth);
    if (strike) font->SetStyle(style);
}

size_t gvdetail::KeptDrawingCount() noexcept { return KeptDrawings().Kept.size(); }

namespace {
uintptr_t GPaintSerial = 0;
} // namespace

uintptr_t gvdetail::PaintSerial() noexcept { return GPaintSerial; }

uintptr_t gvdetail::PictureStamp(gcl::TCustomImageList* Images) {
    // The top bit tells the two kinds apart.
    constexpr uintptr_t Top = ~(~uintptr_t{0} >> 1);
    if (Images->GetShareImages()) return GPaintSerial | Top;
    return static_cast<uintptr_t>(Images->GetChangeStamp()) & ~Top;
}

void gvdetail::DrawKept(HDC DC, const TRect& Where, const TKeptDrawingKey& Key, TKeptDrawingDraw Draw,
                        const void* Context) {
    const int w = Where.Width(), h = Where.Height();
    TKeptDrawings& k = KeptDrawings();
    if (w <= 0 || h <= 0 || w > k.Largest || h > k.Largest || !TakesKeptPixels(DC) || !k.Ready()) {
        Draw(Context, DC, Where.Left, Where.Top);
        return;
    }
    const COLORREF text = GetTextColor(DC), back = GetBkColor(DC);
    const int backMode = GetBkMode(DC);
    // What lies beneath, as it is now (what lies outside the bitmap, as a
    // colour of its own).
    GdiFlush();
    for (int y = 0; y < h; ++y) std::fill(k.Row(y), k.Row(y) + w, 0xFF000000u);
    BitBlt(k.DC, k.Margin, k.Margin, w, h, DC, Where.Left, Where.Top, SRCCOPY);
    GdiFlush();
    auto sameBeneath = [&](const TKeptDrawing& d) {
        for (int y = 0; y < h; ++y)
            if (std::memcmp(k.Row(y), d.Beneath.data() + static_cast<size_t>(y) * w, sizeof(uint32_t) * w) != 0)
                return false;
        return true;
    };
    const TKeptDrawing* found = nullptr;
    for (const TKeptDrawing& d : k.Kept)
        if (d.Key == Key && d.Width == w && d.Height == h && d.Text == text && d.Back == back &&
            d.BackMode == backMode && sameBeneath(d)) {
            found = &d;
            break;
        }
    if (!found) {
        // Made once, over a copy of what lies beneath, in a ring of a colour
        // of its own that must stay as it is.
        if (k.Kept.size() >= k.Most) k.Kept.clear();
        TKeptDrawing d;
        d.Key = Key;
        d.Width = w;
        d.Height = h;
        d.Text = text;
        d.Back = back;
        d.BackMode = backMode;
        d.Beneath.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) std::memcpy(d.Beneath.data() + static_cast<size_t>(y) * w, k.Row(y), sizeof(uint32_t) * w);
        constexpr uint32_t Ring = 0x00A5C3E1u;
        std::fill(k.Bits, k.Bits + static_cast<size_t>(k.Side) * k.Side, Ring);
        for (int y = 0; y < h; ++y) std::memcpy(k.Row(y), d.Beneath.data() + static_cast<size_t>(y) * w, sizeof(uint32_t) * w);
        SetTextColor(k.DC, text);
        SetBkColor(k.DC, back);
        SetBkMode(k.DC, backMode);
        Draw(Context, k.DC, k.Margin, k.Margin);
        GdiFlush();
        for (int y = -k.Margin; y < k.Side - k.Margin && !d.Reaches; ++y) {
            const uint32_t* row = k.Row(y) - k.Margin;
            for (int x = 0; x < k.Side && !d.Reaches; ++x) {
                const bool inside = y >= 0 && y < h && x >= k.Margin && x < k.Margin + w;
                d.Reaches = !inside && row[x] != Ring;
            }
        }
        if (!d.Reaches) {
            d.Result.resize(static_cast<size_t>(w) * h);
            for (int y = 0; y < h; ++y)
                std::memcpy(d.Result.data() + static_cast<size_t>(y) * w, k.Row(y), sizeof(uint32_t) * w);
        }
        k.Kept.push_back(std::move(d));
        found = &k.Kept.back();
    }
    if (found->Reaches) {
        Draw(Context, DC, Where.Left, Where.Top);
        return;
    }
    PutPixels(DC, Where.Left, Where.Top, w, h, found->Result.data());
}

void PaintCheckBox(TGvCheckType CheckType, TCustomGvListview* Listview, const TRect& R, gcl::TCanvas* Canvas,
                   bool Enabled, bool Checked, bool Hot, bool Pressed, bool Flat, int Size) {
    if (!Canvas || (CheckType != ectBox && CheckType != ectRadio)) return;
    HTHEME theme = Listview && Listview->DrawWithThemes() ? Listview->GetThemeManager()->GetButtonTheme() : nullptr;
    if (theme) {
        int state = !Enabled ? 4 : Hot ? 2 : Pressed ? 3 : 1;
        if (Checked) state += 4;
        const int part = CheckType == ectBox ? BP_CHECKBOX : BP_RADIOBUTTON;
        TKeptDrawingKey key;
        key.Parts[0] = 1;  // a themed part
        key.Parts[1] = reinterpret_cast<uintptr_t>(theme);
        key.Parts[2] = static_cast<uintptr_t>(part);
        key.Parts[3] = static_cast<uintptr_t>(state);
        DrawKept(Canvas->GetHandle(), R, key, [&](HDC dc, int x, int y) {
            RECT r{x, y, x + R.Width(), y + R.Height()};
            DrawThemeBackground(theme, dc, part, state, &r, nullptr);
        });
        return;
    }
    using namespace gcl;
    TColor outerLight = cl3DLight, outerDark = cl3DDkShadow, innerLight = clBtnHighlight, innerDark = clBtnShadow;
    TColor face = clBtnFace, background = clWhite;
    if (Flat) outerLight = outerDark = innerLight = innerDark = Enabled ? clBlack : clBtnShadow;
    if (!Enabled) background = clBtnFace;
    TGlyphBoxLook look;
    look.Type = CheckType;
    look.Size = Size;
    const TColor colors[6] = {outerLight, outerDark, innerLight, innerDark, face, background};
    for (int i = 0; i < 6; ++i) look.Colors[i] = ColorToColorRef(colors[i]);
    look.Checked = Checked;
    look.Enabled = Enabled;
    HDC dc = Canvas->GetHandle();
    if (TakesKeptPixels(dc)) {
        // The font the glyphs would be drawn with.
        gcl::TFont font;
        font.Assign(Canvas->GetFont());
        font.SetName("Marlett");
        font.SetSize(Size);
        font.SetStyle({});
        font.SetCharset(SYMBOL_CHARSET);
        look.Font = font.GetLogFont();
        // (What follows the name's end is no part of it.)
        const size_t name = strnlen(look.Font.lfFaceName, LF_FACESIZE);
        std::fill(look.Font.lfFaceName + name, look.Font.lfFaceName + LF_FACESIZE, '\0');
        if (const TGlyphBoxPicture* picture = GlyphBoxPicture(look, Canvas->GetFont())) {
            PutPixels(dc, R.Left + picture->Offset.X, R.Top + picture->Offset.Y, picture->Width, picture->Height,
                      picture->Pixels.data());
            return;
        }
    }
    DrawGlyphBox(look, Canvas, TPoint{R.Left, R.Top});
}

// ---- Group view ------------------------------------------------------------------------------

gcl::TSize TGvViewGroup::ExpandButtonSize() const {
    TCustomGvListview* lv = FOwnerListview;
    gcl::TBitmap* expand = lv->GetGroupExpandButton();
    gcl::TBitmap* collapse = lv->GetGroupCollapseButton();
    TGvGlobalImageManager* store = lv->GetGlobalImageManager();
    if ((!expand || expand->GetEmpty()) && store) expand = store->GetGroupExpandButton();
    if ((!collapse || collapse->GetEmpty()) && store) collapse = store->GetGroupCollapseButton();
    int w = std::max(expand ? expand->GetWidth() : 0, collapse ? collapse->GetWidth() : 0);
    const int h = std::max(expand ? expand->GetHeight() : 0, collapse ? collapse->GetHeight() : 0);
    // One pixel more at 96 dots per inch (an addition, not a scaling). The
    // screen's resolution is read once: the screen DC costs a trip to the
    // window server on every paint of every group otherwise.
    static const int dpi = [] {
        int value = 96;
        if (HDC dc = GetDC(nullptr)) {
            value = GetDeviceCaps(dc, LOGPIXELSX);
            ReleaseDC(nullptr, dc);
        }
        return value;
    }();
    w = gcl::Round(w + dpi / 96.0);
    return gcl::TSize{w, h};
}

void TGvViewGroup::SetupFont(TGvGroup* Group, gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    Canvas->SetFont(lv->GetGroupFont());
    Canvas->GetBrush()->SetStyle(gcl::bsClear);
    if (Group->GetFocused() && ListviewFocused(lv)) Canvas->GetFont()->SetColor(gcl::clHighlightText);
    if (Group->GetBold()) {
        gcl::TFontStyles style = Canvas->GetFont()->GetStyle();
        style.Include(gcl::fsBold);
        Canvas->GetFont()->SetStyle(style);
    }
    lv->DoGroupPaintText(Group, Canvas);
}

void TGvViewGroup::GroupRectArray(TGvGroup* Group, int MarginEdge, const TRect& ObjRect, TGvRectArrayObject& R) {
    Group->SetInitialized(true);
    R = TGvRectArrayObject{};
    R.BackgroundRect = ObjRect;
    R.GroupRect = Group->ClientRect();
    TGvPaintInfoBaseGroup* info = GroupInfo(Group);
    if (!info) return;
    if (MarginEdge == gmeLeft || MarginEdge == gmeRight) {
        const int top = Group->MarginRectTop().Bottom > 0 ? Group->MarginRectTop().Bottom : R.GroupRect.Top;
        const int bottom = Group->MarginRectBottom().Top > 0 ? Group->MarginRectBottom().Top : R.GroupRect.Bottom;
        const int inset = (ObjRect.Width() - info->GetBandThickness()) / 2;
        R.BandRect = MarginEdge == gmeLeft ? TRect{ObjRect.Left + inset, top, ObjRect.Right, bottom - 1}
                                           : TRect{ObjRect.Left, top, ObjRect.Right - inset, bottom - 1};
        return;
    }
    if (MarginEdge != gmeTop && MarginEdge != gmeBottom) return;
    const bool top = MarginEdge == gmeTop;
    const int H = info->GetBandEnabled() ? info->GetBandThickness() + 2 * info->GetBandMargin() : 0;
    // The image.
    gcl::TSize image{0, 0};
    gcl::TCustomImageList* images = Group->GetImageList(0);
    const int imageIndex = top ? Group->GetImageIndex() : info->GetMarginBottom()->GetImageIndex();
    if (Group->ImageDrawIsCustom(nullptr))
        Group->ImageGetSize(nullptr, image.cx, image.cy);
    else if (images && imageIndex >= 0)
        image = gcl::TSize{images->GetWidth(), images->GetHeight()};
    // Expand button, check box, icon, label.
    const gcl::TSize expand = ExpandButtonSize();
    if (top && info->GetExpandable())
        R.ExpandButtonRect = TRect{ObjRect.Left + info->GetExpandImageIndent(), ObjRect.Top,
                                   ObjRect.Left + expand.cx + info->GetExpandImageIndent(), ObjRect.Bottom - H};
    else
        R.ExpandButtonRect = TRect{ObjRect.Left, ObjRect.Top, ObjRect.Left, ObjRect.Bottom - H};
    if (top && info->GetCheckType() != ectNone) {
        const TRect bounds = CheckBoundsOf(info->GetCheckSize());
        int y = ObjRect.Top + (ObjRect.Height() - H - bounds.Height()) / 2;
        if (info->GetVAlignment() == cvaTop) y = ObjRect.Top + 2;
        if (info->GetVAlignment() == cvaBottom) y = ObjRect.Bottom - H - bounds.Height() - 2;
        const int x = R.ExpandButtonRect.Right + info->GetCheckIndent();
        R.CheckRect = TRect{x, y, x + bounds.Width(), y + bounds.Height()};
    } else {
        R.CheckRect = TRect{R.ExpandButtonRect.Right, ObjRect.Top, R.ExpandButtonRect.Right, ObjRect.Bottom};
    }
    if (imageIndex < 0)
        R.IconRect = TRect{R.CheckRect.Right, R.CheckRect.Top, R.CheckRect.Right, R.CheckRect.Bottom - H};
    else
        R.IconRect = TRect{R.CheckRect.Right + info->GetImageIndent(), ObjRect.Top,
                           R.CheckRect.Right + info->GetImageIndent() + image.cx, ObjRect.Bottom - H};
    R.LabelRect = TRect{R.IconRect.Right + info->GetCaptionIndent(), R.ExpandButtonRect.Top, ObjRect.Right,
                        R.ExpandButtonRect.Bottom};
    // The caption's text rectangle.
    const std::wstring caption = top ? Group->GetCaption() : info->GetMarginBottom()->GetCaption();
    gcl::TSize text{0, 0};
    if (FOwnerListview->HandleAllocated() && !caption.empty()) {
        gcl::TFont font;
        font.Assign(FOwnerListview->GetGroupFont());
        if (Group->GetBold()) {
            gcl::TFontStyles style = font.GetStyle();
            style.Include(gcl::fsBold);
            font.SetStyle(style);
        }
        MeasureOnDisplay(caption, font, text);
    }
    R.TextRect = TRect{R.LabelRect.Left, R.LabelRect.Top, std::min(R.LabelRect.Left + text.cx, R.LabelRect.Right),
                       std::min(R.LabelRect.Top + text.cy, R.LabelRect.Bottom)};
    const TAlignment alignment = top ? info->GetAlignment() : info->GetMarginBottom()->GetAlignment();
    const TCommonVAlignment valignment = top ? info->GetVAlignment() : info->GetMarginBottom()->GetVAlignment();
    int dx = 0;
    if (alignment == taRightJustify) dx = R.LabelRect.Width() - text.cx;
    if (alignment == taCenter) dx = (R.LabelRect.Width() - text.cx) / 2;
    int dy = 0;
    if (valignment == cvaBottom) dy = ObjRect.Height() - (text.cy + H);
    if (valignment == cvaCenter) dy = (ObjRect.Height() - H - text.cy) / 2;
    gcl::OffsetRect(R.TextRect, dx, dy);
    // The band under it.
    if (info->GetBandEnabled()) {
        const int margin = info->GetBandMargin();
        const int thickness = info->GetBandThickness();
        if (info->GetBandFullWidth())
            R.BandRect = TRect{ObjRect.Left, ObjRect.Bottom - margin - thickness, ObjRect.Right, ObjRect.Bottom - margin};
        else
            R.BandRect = TRect{ObjRect.Left, ObjRect.Bottom - 2 * margin - thickness,
                               ObjRect.Left + info->GetBandLength(), ObjRect.Bottom - margin};
        gcl::OffsetRect(R.BandRect, info->GetBandIndent(), 0);
    }
}

void TGvViewGroup::PaintBand(TGvGroup* Group, int MarginEdge, const TRect& ObjRect, const TGvRectArrayObject& R,
                             gcl::TCanvas* Canvas) {
    TGvPaintInfoBaseGroup* info = GroupInfo(Group);
    if (!info || !info->GetBandEnabled() || gcl::IsRectEmpty(R.BandRect)) return;
    const int T = info->GetBandThickness();
    gcl::TPen* pen = Canvas->GetPen();
    pen->SetWidth(1);
    pen->SetStyle(gcl::psSolid);
    const gcl::TColor start = gcl::ColorToRGB(info->GetBandColor());
    const gcl::TColor fade = gcl::ColorToRGB(info->GetBandColorFade());
    if (MarginEdge == gmeTop || MarginEdge == gmeBottom) {
        const int y0 = R.BandRect.Top + info->GetBandMargin();
        if (!info->GetBandBlended()) {
            pen->SetColor(start);
            const int left = info->GetBandFullWidth() ? ObjRect.Left : R.BandRect.Left;
            const int right = info->GetBandFullWidth() ? ObjRect.Right : R.BandRect.Left + info->GetBandLength();
            for (int y = y0; y < y0 + T; ++y) {
                Canvas->MoveTo(left, y);
                Canvas->LineTo(right, y);
            }
            return;
        }
        if (info->GetBandLength() <= 0) return;
        const int n = info->GetBandFullWidth() ? ObjRect.Width() : info->GetBandLength();
        const double step[3] = {double(int(GetRValue(fade)) - int(GetRValue(start))) / n,
                                double(int(GetGValue(fade)) - int(GetGValue(start))) / n,
                                double(int(GetBValue(fade)) - int(GetBValue(start))) / n};
        // Line i takes the colour of step i - 1 (line 0 the start colour).
        // The lines are put together in a bitmap and copied in one go.
        if (T <= 0) return;
        gcl::TBitmap strip;
        strip.SetPixelFormat(gcl::pf32bit);
        strip.SetSize(n + 1, T);
        for (int y = 0; y < T; ++y) {
            auto* row = static_cast<uint8_t*>(strip.GetScanLine(y));
            for (int i = 0; i <= n; ++i) {
                const int k = i == 0 ? 0 : i - 1;
                row[i * 4 + 0] = static_cast<uint8_t>(gcl::Round(GetBValue(start) + k * step[2]));
                row[i * 4 + 1] = static_cast<uint8_t>(gcl::Round(GetGValue(start) + k * step[1]));
                row[i * 4 + 2] = static_cast<uint8_t>(gcl::Round(GetRValue(start) + k * step[0]));
                row[i * 4 + 3] = 0;
            }
        }
        BitBlt(Canvas->GetHandle(), R.BandRect.Left, y0, n + 1, T, strip.GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
        return;
    }
    // The left and right margins: brackets.
    const int radius = info->GetBandRadius();
    const TRect b = R.BandRect;
    pen->SetColor(MarginEdge == gmeRight && info->GetBandBlended() ? fade : start);
    for (int i = 0; i < T; ++i) {
        if (MarginEdge == gmeLeft) {
            Canvas->MoveTo(b.Left + radius, b.Top + i);
            Canvas->LineTo(b.Right + 1, b.Top + i);
            Canvas->MoveTo(b.Left + radius, b.Bottom - i);
            Canvas->LineTo(b.Right + 1, b.Bottom - i);
            Canvas->MoveTo(b.Left + i, b.Top + radius);
            Canvas->LineTo(b.Left + i, b.Bottom - radius + 1);
            if (radius - i > 0) {
                Canvas->MoveTo(b.Left + radius, b.Top + i);
                Canvas->AngleArc(b.Left + radius, b.Top + radius, unsigned(radius - i), 90, 90);
                Canvas->MoveTo(b.Left + i, b.Bottom - radius);
                Canvas->AngleArc(b.Left + radius, b.Bottom - radius, unsigned(radius - i), 180, 90);
            }
        } else {
            Canvas->MoveTo(b.Left, b.Top + i);
            Canvas->LineTo(b.Right - radius + 1, b.Top + i);
            Canvas->MoveTo(b.Left, b.Bottom - i);
            Canvas->LineTo(b.Right - radius + 1, b.Bottom - i);
            Canvas->MoveTo(b.Right - i, b.Top + radius);
            Canvas->LineTo(b.Right - i, b.Bottom - radius + 1);
            if (radius - i > 0) {
                Canvas->MoveTo(b.Right - i, b.Top + radius);
                Canvas->AngleArc(b.Right - radius, b.Top + radius, unsigned(radius - i), 0, 90);
                Canvas->MoveTo(b.Right - radius, b.Bottom - i);
                Canvas->AngleArc(b.Right - radius, b.Bottom - radius, unsigned(radius - i), 270, 90);
            }
        }
    }
}

void TGvViewGroup::PaintExpandButton(TGvGroup* Group, const TGvRectArrayObject& R, gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    TGvPaintInfoBaseGroup* info = GroupInfo(Group);
    if (!info || gcl::IsRectEmpty(R.ExpandButtonRect)) return;
    const bool ownBitmaps = !lv->GetGroupExpandButton()->GetEmpty() || !lv->GetGroupCollapseButton()->GetEmpty();
    if (lv->DrawWithThemes() && !ownBitmaps && lv->GetThemeManager()->GetTreeviewTheme()) {
        TRect square = R.ExpandButtonRect;
        square.Top += (square.Height() - square.Width()) / 2;
        square.Bottom = square.Top + square.Width();
        HTHEME theme = lv->GetThemeManager()->GetTreeviewTheme();
        const int state = Group->GetExpanded() ? GLPS_OPENED : GLPS_CLOSED;
        TKeptDrawingKey key;
        key.Parts[0] = 3;  // a themed expand button
        key.Parts[1] = reinterpret_cast<uintptr_t>(theme);
        key.Parts[2] = TVP_GLYPH;
        key.Parts[3] = static_cast<uintptr_t>(state);
        DrawKept(Canvas->GetHandle(), square, key, [&](HDC dc, int x, int y) {
            RECT r{x, y, x + square.Width(), y + square.Height()};
            DrawThemeBackground(theme, dc, TVP_GLYPH, state, &r, nullptr);
        });
        return;
    }
    if (!info->GetExpandable()) return;
    gcl::TBitmap* bitmap = Group->GetExpanded() ? lv->GetGroupCollapseButton() : lv->GetGroupExpandButton();
    if (bitmap->GetEmpty() && lv->GetGlobalImageManager())
        bitmap = Group->GetExpanded() ? lv->GetGlobalImageManager()->GetGroupCollapseButton()
                                      : lv->GetGlobalImageManager()->GetGroupExpandButton();
    if (!bitmap || bitmap->GetEmpty()) return;
    const TRect e = R.ExpandButtonRect;
    const int x = e.Left + (e.Width() - bitmap->GetWidth()) / 2;
    int y = e.Top + (e.Height() - bitmap->GetHeight()) / 2;
    if (info->GetVAlignment() == cvaTop) y = e.Top + 2;
    if (info->GetVAlignment() == cvaBottom) y = e.Bottom - 2 - bitmap->GetHeight();
    Canvas->Draw(x, y, bitmap);
}

void TGvViewGroup::Paint(TGvGroup* Group, int MarginEdge, const TRect& ObjRect, gcl::TCanvas* Canvas) {
    if (!Group || !Canvas || gcl::IsRectEmpty(ObjRect)) return;
    TGvPaintInfoBaseGroup* info = GroupInfo(Group);
    if (!info) return;
    TGvCanvasStore store;
    store.StoreCanvas(Canvas);
    TGvRectArrayObject R;
    GroupRectArray(Group, MarginEdge, ObjRect, R);
    const bool top = MarginEdge == gmeTop;
    if (top && info->GetCheckType() != ectNone && info->GetCheckType() != ectNoneWithSpace)
        PaintCheckBox(info->GetCheckType(), FOwnerListview, R.CheckRect, Canvas, Group->GetEnabled(),
                      Group->GetChecked(), Group->GetCheckHot(), Group->GetCheckPending(), info->GetCheckFlat(),
                      info->GetCheckSize());
    const std::wstring caption = top ? Group->GetCaption() : info->GetMarginBottom()->GetCaption();
    if (Group->GetSelected() && !caption.empty() && !gcl::IsRectEmpty(R.TextRect)) {
        Canvas->GetBrush()->SetColor(gcl::clHighlight);
        Canvas->GetBrush()->SetStyle(gcl::bsSolid);
        TRect frame = R.TextRect;
        gcl::InflateRect(frame, 2, 2);
        Canvas->FillRect(frame);
    }
    if (MarginEdge == gmeForeground && Group->GetFocused()) {
        TRect focus = ObjRect;
        gcl::InflateRect(focus, -4, -4);
        Canvas->GetBrush()->SetColor(FOwnerListview->GetColor());
        Canvas->GetFont()->SetColor(gcl::clBlack);
        Canvas->DrawFocusRect(focus);
    }
    if ((top || MarginEdge == gmeBottom) && !caption.empty() && !gcl::IsRectEmpty(R.TextRect)) {
        SetupFont(Group, Canvas);
        const TAlignment alignment = top ? info->GetAlignment() : info->GetMarginBottom()->GetAlignment();
        const TCommonVAlignment valignment = top ? info->GetVAlignment() : info->GetMarginBottom()->GetVAlignment();
        DrawCaption(Canvas, caption, R.TextRect, 1,
                    static_cast<TCommonDrawTextWFlags>(dtEndEllipsis | AlignFlags(alignment) |
                                                       VAlignFlags(valignment) | dtSingleLine));
    }
    PaintBand(Group, MarginEdge, ObjRect, R, Canvas);
    if (top) PaintExpandButton(Group, R, Canvas);
    if ((top || MarginEdge == gmeBottom) && Group->ImageDrawIsCustom(nullptr)) {
        TGvBackgroundManager* background = FOwnerListview->GetBackGround();
        Group->ImageDraw(nullptr, Canvas, R, background ? background->GetAlphaBlender() : nullptr);
    } else if (top || MarginEdge == gmeBottom) {
        gcl::TCustomImageList* images = Group->GetImageList(0);
        const int index = top ? Group->GetImageIndex() : info->GetMarginBottom()->GetImageIndex();
        if (images && index >= 0 && images->HandleAllocated()) {
            // The same picture heads many groups: kept.
            const int w = images->GetWidth(), h = images->GetHeight();
            const int x = R.IconRect.Left + (R.IconRect.Width() - w) / 2;
            const int y = R.IconRect.Top + (R.IconRect.Height() - h) / 2;
            const bool enabled = Group->GetEnabled();
            TKeptDrawingKey key;
            key.Parts[0] = 4 | (enabled ? 0x100u : 0u);  // a picture of an image list as a group draws it
            key.Parts[1] = reinterpret_cast<uintptr_t>(images->GetHandle());
            key.Parts[2] = static_cast<uintptr_t>(static_cast<uint32_t>(index));
            key.Parts[5] = PictureStamp(images);
            DrawKept(Canvas->GetHandle(), TRect{x, y, x + w, y + h}, key, [&](HDC dc, int at, int on) {
                if (dc == Canvas->GetHandle()) {
                    images->Draw(Canvas, at, on, index, enabled);
                    return;
                }
                gcl::TCanvas kept;
                kept.SetHandle(dc);
                images->Draw(&kept, at, on, index, enabled);
                kept.SetHandle(nullptr);
            });
        }
    }
    store.RestoreCanvas(Canvas);
}

// ---- Column view -----------------------------------------------------------------------------

void TGvViewColumn::CalcRects(TGvColumn* Column, gcl::TCanvas* Canvas, TGvRectArrayObject& R) {
    R = TGvRectArrayObject{};
    TCustomGvListview* lv = FOwnerListview;
    TGvPaintInfoBaseColumn* info = lv->GetPaintInfoColumn();
    R.BoundsRect = Column->GetDisplayRect();
    gcl::InflateRect(R.BoundsRect, -2, -2);
    const TRect b = R.BoundsRect;
    R.CheckRect = CheckRectIn(info, b);
    R.DropDownRect = TRect{b.Right, b.Top, b.Right, b.Bottom};
    gcl::TCustomImageList* images = lv->GetHeader()->GetImages();
    const int imageIndex = Column->GetImageIndex();
    R.LabelRect = TRect{R.CheckRect.Right, b.Top, b.Right, b.Bottom};
    gcl::TSize image{0, 0};
    if (Column->ImageDrawIsCustom(nullptr))
        Column->ImageGetSize(nullptr, image.cx, image.cy);
    else if (images)
        image = gcl::TSize{images->GetWidth(), images->GetHeight()};
    if (imageIndex >= 0 && (image.cx > 0 || image.cy > 0)) {
        const int w = image.cx;
        const int h = image.cy;
        const int top = b.Top + (b.Height() - h) / 2;
        // Above and below the caption the image is centred across the label.
        const int centre = R.LabelRect.Left + (R.LabelRect.Width() - w) / 2;
        switch (info->GetImagePosition()) {
        case ehpRight:
            R.IconRect = TRect{b.Right - info->GetImageIndent() - w, top, b.Right - info->GetImageIndent(), top + h};
            R.LabelRect.Right = R.IconRect.Left - info->GetCaptionIndent();
            break;
        case ehpTop:
            R.IconRect = TRect{centre, b.Top + info->GetImageIndent(), centre + w, b.Top + info->GetImageIndent() + h};
            R.LabelRect.Top = R.IconRect.Bottom + info->GetCaptionIndent();
            break;
        case ehpBottom:
            R.IconRect =
                TRect{centre, b.Bottom - info->GetImageIndent() - h, centre + w, b.Bottom - info->GetImageIndent()};
            R.LabelRect.Bottom = R.IconRect.Top - info->GetCaptionIndent();
            break;
        default:
            R.IconRect = TRect{R.CheckRect.Right + info->GetImageIndent(), top,
                               R.CheckRect.Right + info->GetImageIndent() + w, top + h};
            R.LabelRect.Left = R.IconRect.Right + info->GetCaptionIndent();
            break;
        }
    }
    if (Column->GetSortDirection() != esdNone && lv->GetGlobalImageManager()) {
        gcl::TBitmap* glyph = lv->GetGlobalImageManager()->GetColumnSortUp();
        const int w = glyph ? glyph->GetWidth() : 0;
        const int h = glyph ? glyph->GetHeight() : 0;
        const int top = R.LabelRect.Top + (R.LabelRect.Height() - h) / 2;
        if (info->GetSortGlyphAlign() == esgaLeft) {
            R.SortRect = TRect{R.LabelRect.Left, top, R.LabelRect.Left + w, top + h};
            R.LabelRect.Left += info->GetSortGlyphIndent() + w;
        } else {
            R.SortRect = TRect{R.LabelRect.Right - w, top, R.LabelRect.Right, top + h};
            R.LabelRect.Right -= info->GetSortGlyphIndent() + w;
        }
    }
    // The drop-down button: a square as wide as the label is tall, at the
    // right, shown always or while the column is hot.
    if (TGvColumnDropDownButton* button = Column->GetDropDownButton();
        button->GetVisible() && R.LabelRect.Width() > R.LabelRect.Height() + 10 &&
        (button->GetAlwaysShow() || Column->GetHotTracking())) {
        const int side = R.LabelRect.Height();
        R.DropDownRect = TRect{b.Right - side, b.Top, b.Right, b.Top + side};
        R.LabelRect.Right -= side;
    }
    const TRect l = R.LabelRect;
    R.TextRect = Column->GetAlignment() == taRightJustify
                     ? TRect{l.Left + 4, l.Top, l.Right - info->GetCaptionIndent(), l.Bottom}
                     : TRect{l.Left + info->GetCaptionIndent(), l.Top, l.Right - 4, l.Bottom};
    gcl::InflateRect(R.TextRect, -2, -2);
    // The caption's lines, then their union moved by the vertical alignment.
    TRect text = R.TextRect;
    if (Canvas && !Column->GetCaption().empty()) {
        Canvas->SetFont(lv->GetHeader()->GetFont());
        DrawTextWEx(Canvas->GetHandle(), Column->GetCaption(), text, info->GetCaptionLines(),
                    static_cast<TCommonDrawTextWFlags>(dtCalcRect | AlignFlags(Column->GetAlignment()) | dtTop));
        const int lineHeight = text.Height();
        text.Right = std::min(text.Right, R.TextRect.Right);
        if (info->GetVAlignment() == cvaCenter) gcl::OffsetRect(text, 0, (R.TextRect.Height() - lineHeight) / 2);
        if (info->GetVAlignment() == cvaBottom) gcl::OffsetRect(text, 0, R.TextRect.Height() - lineHeight);
        text.Left = R.TextRect.Left;
        text.Right = R.TextRect.Right;
    }
    R.TextRect = text;
    R.TextLines.assign(1, text);
    R.FullTextRect = text;
}

namespace {

// Draws a theme part into R through a 32-bit bitmap whose rows are then
// reversed: the right-to-left look of a themed background.
void DrawThemeMirrored(HTHEME Theme, HDC DC, int Part, int State, const TRect& R) {
    const int w = R.Width();
    const int h = R.Height();
    if (w <= 0 || h <= 0) return;
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(w, h);
    HDC bitmapDC = bitmap.GetCanvas()->GetHandle();
    RECT r{0, 0, w, h};
    DrawThemeBackground(Theme, bitmapDC, Part, State, &r, nullptr);
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        auto* row = static_cast<uint32_t*>(bitmap.GetScanLine(y));
        std::reverse(row, row + w);
    }
    BitBlt(DC, R.Left, R.Top, w, h, bitmapDC, 0, 0, SRCCOPY);
}

} // namespace

void TGvViewColumn::PaintBackground(TGvColumn* Column, gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    TGvPaintInfoBaseColumn* info = lv->GetPaintInfoColumn();
    const TRect cell = Column->GetDisplayRect();
    const bool pressed = Column->GetClicking();
    HDC dc = Canvas->GetHandle();
    HTHEME theme = lv->DrawWithThemes() ? lv->GetThemeManager()->GetHeaderTheme() : nullptr;
    if (info->GetStyle() == ehbsThemed && theme) {
        const int state = pressed ? HIS_PRESSED : Column->GetHotTracking() ? HIS_HOT : HIS_NORMAL;
        if (lv->UseRightToLeftAlignment()) {
            DrawThemeMirrored(theme, dc, HP_HEADERITEM, state, cell);
        } else {
            RECT r = gcl::ToRECT(cell);
            DrawThemeBackground(theme, dc, HP_HEADERITEM, state, &r, nullptr);
        }
        return;
    }
    Canvas->GetBrush()->SetStyle(gcl::bsSolid);
    Canvas->GetBrush()->SetColor(Column->GetColor());
    Canvas->FillRect(cell);
    RECT r = gcl::ToRECT(cell);
    switch (info->GetStyle()) {
    case ehbsFlat:
        DrawEdge(dc, &r, pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        break;
    case ehbsPlate:
        DrawEdge(dc, &r, pressed ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        break;
    default:
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
        break;
    }
}

void TGvViewColumn::PaintDropDownButton(TGvColumn* Column, const TGvRectArrayObject& R, gcl::TCanvas* Canvas) {
    TGvColumnDropDownButton* button = Column->GetDropDownButton();
    if (!button || !button->GetVisible() || R.DropDownRect.Width() < 1) return;
    TCustomGvListview* lv = FOwnerListview;
    const bool hot = button->State & 0x01;
    const bool pressed = button->State & 0x02;
    HDC dc = Canvas->GetHandle();
    HTHEME theme = lv->DrawWithThemes() ? lv->GetThemeManager()->GetComboBoxTheme() : nullptr;
    if (theme) {
        const int state = !button->GetEnabled() ? CBXS_DISABLED : pressed ? CBXS_PRESSED : hot ? CBXS_HOT : CBXS_NORMAL;
        RECT r = gcl::ToRECT(R.DropDownRect);
        DrawThemeBackground(theme, dc, CP_DROPDOWNBUTTON, state, &r, nullptr);
        return;
    }
    TRect frame = R.DropDownRect;
    gcl::InflateRect(frame, -1, -1);
    RECT r = gcl::ToRECT(frame);
    UINT flags = DFCS_SCROLLCOMBOBOX | DFCS_FLAT;
    if (!button->GetEnabled())
        flags |= DFCS_INACTIVE;
    else {
        if (hot) flags |= DFCS_HOT;
        if (pressed) flags |= DFCS_PUSHED;
    }
    DrawFrameControl(dc, &r, DFC_SCROLL, flags);
}

void TGvViewColumn::Paint(TGvColumn* Column, gcl::TCanvas* Canvas) {
    TCustomGvListview* lv = FOwnerListview;
    TGvPaintInfoBaseColumn* info = lv->GetPaintInfoColumn();
    TGvCanvasStore store;
    store.StoreCanvas(Canvas);
    TGvRectArrayObject R;
    CalcRects(Column, Canvas, R);
    PaintBackground(Column, Canvas);
    gcl::TCustomImageList* images = lv->GetHeader()->GetImages();
    if (Column->ImageDrawIsCustom(nullptr)) {
        TGvBackgroundManager* background = lv->GetBackGround();
        Column->ImageDraw(nullptr, Canvas, R, background ? background->GetAlphaBlender() : nullptr);
    } else if (images && Column->GetImageIndex() > -1) {
        UINT style = ILD_TRANSPARENT;
        if (Column->GetImageOverlayIndex() >= 0 && images->Overlay(Column->GetImageOverlayIndex(), 0))
            style |= INDEXTOOVERLAYMASK(1);
        images->DrawEx(Canvas->GetHandle(), R.IconRect.Left, R.IconRect.Top, Column->GetImageIndex(), style);
    }
    Canvas->GetBrush()->SetStyle(gcl::bsClear);
    Canvas->SetFont(lv->GetHeader()->GetFont());
    if (Column->GetBold()) {
        gcl::TFontStyles style = Canvas->GetFont()->GetStyle();
        style.Include(gcl::fsBold);
        Canvas->GetFont()->SetStyle(style);
    }
    lv->DoColumnPaintText(Column, Canvas);
    const int lines = info->GetCaptionLines();
    DrawCaption(Canvas, Column->GetCaption(), R.TextRect, lines,
                static_cast<TCommonDrawTextWFlags>(dtEndEllipsis | (lines <= 1 ? dtSingleLine : 0) |
                                                   AlignFlags(Column->GetAlignment())));
    if (Column->GetSortDirection() != esdNone && lv->GetGlobalImageManager()) {
        TGvGlobalImageManager* glyphs = lv->GetGlobalImageManager();
        gcl::TBitmap* glyph =
            Column->GetSortDirection() == esdAscending ? glyphs->GetColumnSortUp() : glyphs->GetColumnSortDown();
        if (glyph && !glyph->GetEmpty()) Canvas->Draw(R.SortRect.Left, R.SortRect.Top, glyph);
    }
    PaintCheckBox(info->GetCheckType(), lv, R.CheckRect, Canvas, Column->GetEnabled(), Column->GetChecked(),
                  Column->GetCheckHot(), Column->GetCheckPending(), info->GetCheckFlat(), info->GetCheckSize());
    // The insert mark of a header drag onto this column, at the edge where
    // the dragged column lands: a column dropped on one before it in the
    // order takes its place ahead of it, on one after it, behind it.
    if (Column->GetMarked()) {
        const TRect cell = Column->GetDisplayRect();
        const TGvColumn* dragged = lv->GetHeader() ? lv->GetHeader()->GetDragManager()->GetColumn() : nullptr;
        const bool ahead = dragged && dragged->GetPosition() > Column->GetPosition();
        Canvas->GetBrush()->SetStyle(gcl::bsSolid);
        Canvas->GetBrush()->SetColor(gcl::clBlue);
        Canvas->FillRect(ahead ? TRect{cell.Left, cell.Top, cell.Left + 2, cell.Bottom}
                               : TRect{cell.Right - 2, cell.Top, cell.Right, cell.Bottom});
    }
    PaintDropDownButton(Column, R, Canvas);
    store.RestoreCanvas(Canvas);
}

// ---- Column auto-size ----------------------------------------------------------------------

void TGvColumn::AutoSizeToFit() {
    TCustomGvListview* lv = OwnerListview();
    if (!lv || !lv->GetGroups()) return;
    // A measuring canvas: the screen's, through a small bitmap.
    gcl::TBitmap measure;
    measure.SetSize(1, 1);
    gcl::TCanvas* canvas = measure.GetCanvas();
    const int index = GetIndex();
    TGvViewReportItem* view = lv->ReportItemView();
    int widest = 0;
    TGvGroups* groups = lv->GetGroups();
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            view->SetupFont(item, GetPosition(), false, canvas);
            gcl::TSize text{0, 0};
            TextExtentW(item->GetCaptions(index), canvas, text);
            int width = text.cx + 8;
            auto* info = dynamic_cast<TGvPaintInfoBasic*>(item->PaintInfo());
            gcl::TCustomImageList* images = item->GetImageList(index);
            if (images && item->GetImageIndexes(index) >= 0 && images->GetWidth() > 0)
                width += (info ? info->GetImageIndent() : 0) + images->GetWidth();
            gcl::TCustomImageList* states = item->GetStateImageList(index);
            if (states && item->GetStateImageIndexes(index) >= 0) width += states->GetWidth();
            // The check box is drawn in the column of index 0 only.
            if (info && index == 0 && info->GetCheckType() != ectNone)
                width += info->GetCheckIndent() + CheckBoundsOf(info->GetCheckSize()).Width();
            widest = std::max(widest, width);
        }
    }
    groups->BeginUpdate();
    try {
        SetWidth(widest);
        if (lv->GetSelection() && lv->GetSelection()->GetFullRowSelect()) groups->Rebuild(true);
    } catch (...) {
        groups->EndUpdate(true);
        throw;
    }
    groups->EndUpdate(true);
}

void TCustomGvListview::AutoFitAllCells(bool VisibleOnly) {
    TListviewUpdate update(this);
    switch (FView) {
    case elsSmallIcon:
        FCellSizes->GetSmallIcon()->SetAutoSize(true);
        break;
    case elsList:
        FCellSizes->GetList()->SetAutoSize(true);
        break;
    case elsGrid:
        FCellSizes->GetGrid()->SetAutoSize(true);
        break;
    case elsReport:
        for (int i = 0; i < FHeader->GetColumns()->GetCount(); ++i) {
            TGvColumn* column = FHeader->GetColumns()->GetColumns(i);
            if (!VisibleOnly || column->GetVisible()) column->AutoSizeToFit();
        }
        break;
    default:
        break;
    }
}

// ---- TGvHeader's painting members -----------------------------------------------------------

void TGvHeader::PaintTo(gcl::TCanvas* ACanvas, const TRect& ARect) {
    TCustomGvListview* lv = FOwnerListview;
    if (!lv || !ACanvas) return;
    TGvCanvasStore store;
    store.StoreCanvas(ACanvas);
    bool handled = false;
    lv->DoPaintHeaderBkGnd(ACanvas, FHeaderRect, handled);
    store.RestoreCanvas(ACanvas);
    HTHEME theme = lv->DrawWithThemes() ? lv->GetThemeManager()->GetHeaderTheme() : nullptr;
    if (handled) {
        // The handler painted the bar.
    } else if (theme) {
        RECT r = gcl::ToRECT(FHeaderRect);
        DrawThemeBackground(theme, ACanvas->GetHandle(), HP_HEADERITEM, HIS_NORMAL, &r, nullptr);
    } else {
        ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
        ACanvas->GetBrush()->SetColor(FColor);
        TRect r = DisplayRect();
        r.Right = std::max(r.Right, FHeaderRect.Right);
        ACanvas->FillRect(r);
    }
    TRect paintRect = ARect;
    gcl::OffsetRect(paintRect, 0, -ARect.Top);
    for (TGvColumn* column : FPositions) {
        if (!column->GetVisible() || column->GetDisplayRect().Width() <= 0) continue;
        if (!Intersects(column->GetDisplayRect(), paintRect)) continue;
        SelectClipRgn(ACanvas->GetHandle(), nullptr);
        lv->ColumnView(column)->Paint(column, ACanvas);
    }
}

// ---- TCustomGvListview's painting members --------------------------------------------------

template <class V, class Meta>
V* TCustomGvListview::CachedView(const Meta* ViewClass) {
    for (auto& view : FViews)
        if (view->ClassType() == ViewClass) return static_cast<V*>(view.get());
    V* view = static_cast<V*>(ViewClass->Create(this));
    FViews.emplace_back(view);
    return view;
}

TGvViewItemClass TCustomGvListview::ItemViewClass(TGvListStyle ViewStyle) const {
    switch (ViewStyle) {
    case elsIcon:
        return TGvViewIconItem::StaticClass();
    case elsSmallIcon:
        return TGvViewSmallIconItem::StaticClass();
    case elsList:
        return TGvViewListItem::StaticClass();
    case elsReport:
        return TGvViewReportItem::StaticClass();
    case elsThumbnail:
        return TGvViewThumbnailItem::StaticClass();
    case elsTile:
        return TGvViewTileItem::StaticClass();
    case elsFilmStrip:
        return TGvViewFilmStripItem::StaticClass();
    case elsGrid:
        return TGvViewGridItem::StaticClass();
    }
    return TGvViewItem::StaticClass();
}
TGvViewGroupClass TCustomGvListview::GroupViewClass() const { return TGvViewGroup::StaticClass(); }
TGvViewColumnClass TCustomGvListview::ColumnViewClass() const { return TGvViewColumn::StaticClass(); }

TGvViewGroup* TCustomGvListview::GroupView(TGvGroup* Group) {
    TGvViewGroupClass wanted = nullptr;
    if (Group) DoGroupCustomView(Group, FView, wanted);
    return CachedView<TGvViewGroup>(wanted ? wanted : GroupViewClass());
}

TGvViewColumn* TCustomGvListview::ColumnView(TGvColumn* Column) {
    TGvViewColumnClass wanted = nullptr;
    if (Column) DoColumnCustomView(Column, wanted);
    return CachedView<TGvViewColumn>(wanted ? wanted : ColumnViewClass());
}

TGvViewItem* TCustomGvListview::ItemView(TGvItem* Item) {
    TGvViewItemClass wanted = nullptr;
    if (Item) DoItemCustomView(Item, FView, wanted);
    return CachedView<TGvViewItem>(wanted ? wanted : ItemViewClass(FView));
}

gcl::TCanvas* TCustomGvListview::MeasureCanvas() {
    if (!FMeasureBitmap) {
        FMeasureBitmap = std::make_unique<gcl::TBitmap>();
        FMeasureBitmap->SetSize(1, 1);
    }
    return FMeasureBitmap->GetCanvas();
}

TGvViewReportItem* TCustomGvListview::ReportItemView() {
    return CachedView<TGvViewReportItem>(TGvViewReportItem::StaticClass());
}

bool TCustomGvListview::ShowsKeyboardPlace() const noexcept {
    return FSelection && FSelection->GetCount() == 0 && PaintsFocused();
}

void TCustomGvListview::PaintKeyboardPlace(gcl::TCanvas* ACanvas, const TRect& Rows) {
    if (!ShowsKeyboardPlace()) return;
    TRect mark{};
    TGvItem* focused = FSelection->GetFocusedItem();
    if (!focused || !focused->GetVisible()) {
        mark = Rows;
    } else if (!FSelection->GetUseFocusRect() || ItemView(focused)->SelectsFullRow()) {
        // (Otherwise the item's own view frames it.)
        mark = focused->GetDisplayRect();
    }
    if (gcl::IsRectEmpty(mark)) return;
    ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
    ACanvas->GetBrush()->SetColor(GetColor());
    ACanvas->GetFont()->SetColor(gcl::clBlack);
    ACanvas->DrawFocusRect(mark);
}

bool TCustomGvListview::PaintsFocused() const noexcept {
    if (FPaintFocus >= 0) return FPaintFocus != 0;
    return HandleAllocated() && Focused();
}

void TCustomGvListview::PaintRect(gcl::TCanvas* ACanvas, const TRect& ARect, bool SelectedOnly) {
    if (!ACanvas || !FGroups || !FHeader || !FScrollbars) return;
    gcl::TValueScope<int8_t> focus(FPaintFocus, static_cast<int8_t>(PaintsFocused() ? 1 : 0));
    HDC dc = ACanvas->GetHandle();
    ++GPaintSerial;
    const int saved = SaveDC(dc);
    const int headerHeight = FHeader->RuntimeHeight();
    const int offsetX = FScrollbars->GetOffsetX();
    const int offsetY = FScrollbars->GetOffsetY();
    const TRect client = ClientRectOf(this);
    const TRect viewRect = FScrollbars->MapWindowRectToViewRect(ARect, true);
    gcl::TValueScope<int> paintedTop(FPaintedTop, std::max(viewRect.Top, offsetY));
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    if (!SelectedOnly) {
        if (FBackGround) {
            // The manager places its picture and caption by the client
            // area; it fills only the area to paint, not the whole client.
            HRGN clip = CreateRectRgn(0, 0, 0, 0);
            const bool clipped = GetClipRgn(dc, clip) == 1;
            IntersectClipRect(dc, ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
            FBackGround->PaintTo(ACanvas, client, true);
            SelectClipRgn(dc, clipped ? clip : nullptr);
            DeleteObject(clip);
        } else {
            ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
            ACanvas->GetBrush()->SetColor(GetColor());
            ACanvas->FillRect(ARect);
        }
        // The header, unless the area to paint lies wholly below it.
        if (FHeader->Shown() && headerHeight > 0 && ARect.Top < headerHeight) {
            const bool fixed = FHeader->GetShowInAllViews() && FView == elsList;
            SetWindowOrgEx(dc, origin.x + (fixed ? 0 : offsetX), origin.y, nullptr);
            TRect headerArea{ARect.Left + (fixed ? 0 : offsetX), 0, ARect.Right + (fixed ? 0 : offsetX), headerHeight};
            FHeader->PaintTo(ACanvas, headerArea);
            SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
        }
    }
    ExcludeClipRect(dc, 0, 0, client.Width() + 1, headerHeight);
    SetWindowOrgEx(dc, origin.x + offsetX, origin.y + offsetY - headerHeight, nullptr);
    // An area wholly within the header's band (the header repainted on its
    // own) shows no row: the walks over the groups and items, which would
    // pass every group to find none there, are left out.
    const bool rowsShown = ARect.Bottom > headerHeight;
    // Groups, margin by margin.
    if (!SelectedOnly && rowsShown) {
        for (TGvGroup* group = FGroups->FirstGroupInRect(viewRect); group;
             group = FGroups->NextGroupInRect(group, viewRect)) {
            TGvViewGroup* groupView = GroupView(group);
            groupView->Paint(group, gmeBackground, group->GetDisplayRect(), ACanvas);
            groupView->Paint(group, gmeTop, group->MarginRectTop(), ACanvas);
            groupView->Paint(group, gmeBottom, group->MarginRectBottom(), ACanvas);
            groupView->Paint(group, gmeLeft, group->MarginRectLeft(), ACanvas);
            groupView->Paint(group, gmeRight, group->MarginRectRight(), ACanvas);
            groupView->Paint(group, gmeForeground, group->GetDisplayRect(), ACanvas);
        }
    }
    // The focused column's band, when it is sorted.
    const bool report = FView == elsReport || FView == elsGrid;
    TGvColumns* columns = FHeader->GetColumns();
    if (!SelectedOnly && rowsShown && report && FPaintInfoColumn && FPaintInfoColumn->GetHilightFocused() &&
        FSelection) {
        TGvColumn* focused = FSelection->PeekFocusedColumn();
        if (focused && focused->GetVisible() && focused->GetSortDirection() != esdNone) {
            ACanvas->GetBrush()->SetStyle(gcl::bsSolid);
            ACanvas->GetBrush()->SetColor(FPaintInfoColumn->GetHilightFocusedColor());
            for (TGvGroup* group = FGroups->FirstGroupInRect(viewRect); group;
                 group = FGroups->NextGroupInRect(group, viewRect)) {
                const TRect content = group->ClientRect();
                const TRect c = focused->GetDisplayRect();
                ACanvas->FillRect(TRect{std::max(c.Left, content.Left), content.Top, std::min(c.Right, content.Right),
                                        content.Bottom});
            }
        }
    }
    // Items, each through its view; in report view cell by cell across the
    // visible columns. A view may ask for the focused item to come last.
    TGvColumn* first = columns->GetCount() > 0 ? columns->GetColumns(0) : nullptr;
    TGvItem* heldBack = nullptr;
    auto paintItem = [&](TGvItem* item, TGvViewItem* view) {
        if (FView != elsReport || !first) {
            view->Paint(item, nullptr, ACanvas, view->SelectsFullRow());
            return;
        }
        const bool fullRow = view->SelectsFullRow();
        // The row's selection first, so that no cell covers it.
        if (fullRow) view->Paint(item, first, ACanvas, true);
        for (TGvColumn* column : FHeader->Positions()) {
            if (!column->GetVisible() || (fullRow && column == first)) continue;
            const TRect cell = view->CellRect(item, column);
            if (cell.Right < viewRect.Left || cell.Left > viewRect.Right) continue;
            view->Paint(item, column, ACanvas, false);
        }
    };
    for (TGvItem* item = rowsShown ? FGroups->FirstItemInRect(viewRect) : nullptr; item;
         item = FGroups->NextItemInRect(item, viewRect)) {
        if (SelectedOnly && !item->GetSelected()) continue;
        TGvViewItem* view = ItemView(item);
        if (item->GetFocused() && view->PaintFocusedLast()) {
            heldBack = item;
            continue;
        }
        paintItem(item, view);
    }
    if (heldBack) paintItem(heldBack, ItemView(heldBack));
    // Grid lines.
    if (!SelectedOnly && rowsShown && report && FPaintInfoItem && FPaintInfoItem->GetGridLines()) {
        gcl::TPen* pen = ACanvas->GetPen();
        pen->SetStyle(gcl::psSolid);
        pen->SetWidth(1);
        pen->SetColor(FPaintInfoItem->GetGridLineColor());
        for (TGvGroup* group = FGroups->FirstGroupInRect(viewRect); group;
             group = FGroups->NextGroupInRect(group, viewRect)) {
            for (TGvCollectionItem* entry : FHeader->GetColumns()->VisibleList()) {
                const TRect c = entry->GetDisplayRect();
                if (c.Right < viewRect.Left || c.Right > viewRect.Right) continue;
                ACanvas->MoveTo(c.Right - 1, group->GetDisplayRect().Top);
                ACanvas->LineTo(c.Right - 1, group->GetDisplayRect().Bottom);
            }
        }
        for (TGvItem* item = FGroups->FirstItemInRect(viewRect); item; item = FGroups->NextItemInRect(item, viewRect)) {
            const int y = item->GetDisplayRect().Bottom - 1;
            ACanvas->MoveTo(offsetX, y);
            ACanvas->LineTo(client.Width() + offsetX, y);
        }
    }
    if (!SelectedOnly && rowsShown) PaintKeyboardPlace(ACanvas, TRect{offsetX, offsetY, offsetX + client.Width(),
                                                                      offsetY + client.Height() - headerHeight});
    // The drag feedback: where a drop would insert.
    if (!SelectedOnly && FDragManager) FDragManager->GetInsertMark()->Paint(ACanvas);
    RestoreDC(dc, saved);
}

void TCustomGvListview::PaintWindow(HDC DC) {
    const bool ownWindow = std::exchange(FPaintsOwnWindow, false);
    if (GetUpdateCount() > 0) {
        // The area to paint is taken as painted, the header's too.
        if (ownWindow && FHeader) FHeader->ForgetPainted();
        return;
    }
    const TRect client = ClientRectOf(this);
    RECT clip{};
    const int clipKind = GetClipBox(DC, &clip);
    if (clipKind == NULLREGION) return;
    TRect paintRect = gcl::FromRECT(clip);
    if (client.Width() < 1 || client.Height() < 1 || gcl::IsRectEmpty(paintRect)) return;
    // What the screen will show of the header: all of it when the area is
    // one rectangle holding the whole bar.
    const int headerHeight = FHeader ? FHeader->RuntimeHeight() : 0;
    if (ownWindow && headerHeight > 0 && paintRect.Top < headerHeight)
        FHeader->NotePainted(clipKind == SIMPLEREGION && paintRect.Left <= 0 && paintRect.Top <= 0 &&
                             paintRect.Right >= client.Width() && paintRect.Bottom >= headerHeight);
    // The kept bitmap (grown to the client) or one for this paint.
    std::unique_ptr<gcl::TBitmap> own;
    gcl::TBitmap* buffer = FDoubleBuffer.get();
    if (FCacheDoubleBufferBits && buffer) {
        GrowBufferBitmap(client.Width(), client.Height());
    } else {
        own = std::make_unique<gcl::TBitmap>();
        own->SetPixelFormat(gcl::pf32bit);
        own->SetSize(client.Width(), client.Height());
        buffer = own.get();
    }
    gcl::TCanvas* canvas = buffer->GetCanvas();
    canvas->Lock();
    HDC bufferDC = canvas->GetHandle();
    SetWindowOrgEx(bufferDC, 0, 0, nullptr);
    SetViewportOrgEx(bufferDC, 0, 0, nullptr);
    SelectClipRgn(bufferDC, nullptr);
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetColor(GetColor());
    // The background manager fills the area, unless a handler of its event
    // paints instead (and may paint nothing).
    if (!FBackGround || OnPaintBkGnd) canvas->FillRect(paintRect);
    PaintRect(canvas, paintRect, false);
    SelectClipRgn(canvas->GetHandle(), nullptr);
    if (HasState(gcsRectSelecting) && FDragRectManager) FDragRectManager->PaintSelectionRect(canvas);
    DoAfterPaint(canvas, paintRect);
    BitBlt(DC, paintRect.Left, paintRect.Top, paintRect.Width(), paintRect.Height(), canvas->GetHandle(),
           paintRect.Left, paintRect.Top, SRCCOPY);
    canvas->Unlock();
}

// ---- The window frame ----------------------------------------------------------------------------

namespace {
// The part and state of the "listview" theme that frame the control.
constexpr int ListviewFramePart = 5;
constexpr int ListviewFrameState = 1;

// The corner between two visible scroll bars, in window coordinates
// (empty unless both show).
TRect ScrollBarCorner(HWND Wnd, const TRect& Client) {
    const LONG style = GetWindowLongA(Wnd, GWL_STYLE);
    if (!(style & WS_VSCROLL) || !(style & WS_HSCROLL)) return TRect{};
    const bool leftBar = (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    const int h = GetSystemMetrics(SM_CYHSCROLL);
    return leftBar ? TRect{Client.Left - w, Client.Bottom, Client.Left, Client.Bottom + h}
                   : TRect{Client.Right, Client.Bottom, Client.Right + w, Client.Bottom + h};
}
} // namespace

void TCustomGvListview::WMNCCalcSize(gcl::TMessage& Message) {
    HTHEME theme = DrawWithThemes() ? GetThemeManager()->GetListviewTheme() : nullptr;
    if (!theme) {
        // The class library's bevels and border.
        inherited::Dispatch(Message);
        return;
    }
    DefaultHandler(Message);
    // With or without NCCALCSIZE_PARAMS the proposed rectangle comes first.
    auto* proposed = reinterpret_cast<RECT*>(Message.LParam);
    if (!proposed) return;
    HDC dc = GetDC(GetHandle());
    RECT content{};
    const HRESULT hr = GetThemeBackgroundContentRect(theme, dc, ListviewFramePart, ListviewFrameState, proposed,
                                                     &content);
    ReleaseDC(GetHandle(), dc);
    if (FAILED(hr)) return;
    const int inset = GetBorderWidth() + 1;
    InflateRect(&content, -inset, -inset);
    if (content.right < content.left) content.right = content.left;
    if (content.bottom < content.top) content.bottom = content.top;
    *proposed = content;
}

bool TCustomGvListview::ScrollBarLookNow(int Bar, const RECT& Window, TScrollBarLook& Look) {
    HWND wnd = GetHandle();
    if (!(GetWindowLongA(wnd, GWL_STYLE) & (Bar == 0 ? WS_VSCROLL : WS_HSCROLL))) return false;
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetScrollBarInfo(wnd, Bar == 0 ? OBJID_VSCROLL : OBJID_HSCROLL, &info)) return false;
    if (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) return false;
    if (IsRectEmpty(&info.rcScrollBar)) return false;
    Look.Left = info.rcScrollBar.left - Window.left;
    Look.Top = info.rcScrollBar.top - Window.top;
    Look.Right = info.rcScrollBar.right - Window.left;
    Look.Bottom = info.rcScrollBar.bottom - Window.top;
    Look.LineButton = info.dxyLineButton;
    Look.ThumbTop = info.xyThumbTop;
    Look.ThumbBottom = info.xyThumbBottom;
    std::copy(std::begin(info.rgstate), std::end(info.rgstate), std::begin(Look.States));
    Look.Enabled = IsWindowEnabled(wnd) != FALSE;
    return true;
}

namespace {
// Whether a mouse button is down: a bar may be held, its parts pressed.
bool AnyMouseButtonDown() {
    return GetKeyState(VK_LBUTTON) < 0 || GetKeyState(VK_RBUTTON) < 0 || GetKeyState(VK_MBUTTON) < 0;
}

// Whether the cursor is over a bar (the system draws its parts hot); the
// bar in window coordinates.
bool CursorOver(const RECT& Window, int Left, int Top, int Right, int Bottom) {
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return true;
    const RECT bar{Window.left + Left, Window.top + Top, Window.left + Right, Window.top + Bottom};
    return PtInRect(&bar, cursor) != FALSE;
}

// A mirrored window's DC counts from the right: its bars are left to the
// system.
bool Mirrored(HWND Wnd) { return (GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }
} // namespace

bool TCustomGvListview::PaintKeptScrollBars(HDC WindowDC, const RECT& Window) {
    // Nothing kept yet (the first paint of the frame): the system draws
    // the bars, and the questions below would only cost round trips.
    if (!FKeptScrollBars[0].Picture && !FKeptScrollBars[1].Picture) return false;
    if (AnyMouseButtonDown() || Mirrored(GetHandle())) return false;
    bool shown[2] = {};
    for (int bar = 0; bar < 2; ++bar) {
        TScrollBarLook look;
        shown[bar] = ScrollBarLookNow(bar, Window, look);
        if (shown[bar] && (!FKeptScrollBars[bar].Picture || !(FKeptScrollBars[bar].Look == look) ||
                           CursorOver(Window, look.Left, look.Top, look.Right, look.Bottom)))
            return false;
    }
    if (!shown[0] && !shown[1]) return false;
    for (int bar = 0; bar < 2; ++bar) {
        if (!shown[bar]) continue;
        const TScrollBarLook& look = FKeptScrollBars[bar].Look;
        gcl::TCanvas* canvas = FKeptScrollBars[bar].Picture->GetCanvas();
        canvas->Lock();
        BitBlt(WindowDC, look.Left, look.Top, look.Right - look.Left, look.Bottom - look.Top, canvas->GetHandle(), 0, 0,
               SRCCOPY);
        canvas->Unlock();
    }
    return true;
}

void TCustomGvListview::KeepScrollBars(HDC WindowDC, const RECT& Window) {
    // A bar not shown, or not taken now, keeps the picture it had: that
    // one still shows the look kept with it.
    if (AnyMouseButtonDown() || Mirrored(GetHandle())) return;
    // A bar under another window (or off the screen) cannot be read back.
    HRGN visible = CreateRectRgn(0, 0, 0, 0);
    if (!visible) return;
    if (GetRandomRgn(WindowDC, visible, SYSRGN) == 1) {
        for (int bar = 0; bar < 2; ++bar) {
            TScrollBarLook look;
            if (!ScrollBarLookNow(bar, Window, look) || CursorOver(Window, look.Left, look.Top, look.Right, look.Bottom))
                continue;
            const int width = look.Right - look.Left;
            const int height = look.Bottom - look.Top;
            // (The visible region is in screen coordinates.)
            HRGN outside = CreateRectRgn(Window.left + look.Left, Window.top + look.Top, Window.left + look.Right,
                                         Window.top + look.Bottom);
            const bool whole = outside && CombineRgn(outside, outside, visible, RGN_DIFF) == NULLREGION;
            if (outside) DeleteObject(outside);
            if (!whole) continue;
            auto picture = std::make_unique<gcl::TBitmap>();
            picture->SetPixelFormat(gcl::pf32bit);
            picture->SetSize(width, height);
            gcl::TCanvas* canvas = picture->GetCanvas();
            canvas->Lock();
            const bool copied =
                BitBlt(canvas->GetHandle(), 0, 0, width, height, WindowDC, look.Left, look.Top, SRCCOPY) != FALSE;
            canvas->Unlock();
            if (!copied) continue;
            FKeptScrollBars[bar].Look = look;
            FKeptScrollBars[bar].Picture = std::move(picture);
        }
    }
    DeleteObject(visible);
}

void TCustomGvListview::ForgetScrollBars() noexcept {
    for (TKeptScrollBar& kept : FKeptScrollBars) kept.Picture.reset();
}

void TCustomGvListview::WMNCPaint(gcl::TMessage& Message) {
    HTHEME theme = DrawWithThemes() ? GetThemeManager()->GetListviewTheme() : nullptr;
    if (!theme) {
        // The class library draws the scroll bars, the border width and
        // the bevels.
        ForgetScrollBars();
        inherited::Dispatch(Message);
    }
    if (!HandleAllocated()) return;
    HWND wnd = GetHandle();
    RECT window{};
    GetWindowRect(wnd, &window);
    HDC dc = GetWindowDC(wnd);
    if (!dc) {
        if (theme) DefaultHandler(Message);
        return;
    }
    if (theme && !PaintKeptScrollBars(dc, window)) {
        // The system draws the scroll bars; the pictures are taken of
        // those the mouse did not draw hot or pressed.
        DefaultHandler(Message);
        KeepScrollBars(dc, window);
    }
    RECT clientRect{};
    ::GetClientRect(wnd, &clientRect);
    MapWindowPoints(wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&clientRect), 2);
    OffsetRect(&clientRect, -window.left, -window.top);
    const int saved = SaveDC(dc);
    // The square between two scroll bars belongs to neither.
    const TRect corner = ScrollBarCorner(wnd, gcl::FromRECT(clientRect));
    if (!gcl::IsRectEmpty(corner)) {
        const RECT r = gcl::ToRECT(corner);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    if (theme) {
        // The client area with its scroll bars, which the frame surrounds.
        RECT inner = clientRect;
        gcl::AddScrollBarsToClientRect(wnd, inner);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        // The theme's border always takes room (see WM_NCCALCSIZE), so it
        // is drawn whether or not there are bevels.
        RECT frame{0, 0, window.right - window.left, window.bottom - window.top};
        if (!FShowThemedBorder) {
            // The border itself is pushed outside the window; its fill stays.
            RECT content{};
            if (SUCCEEDED(GetThemeBackgroundContentRect(theme, dc, ListviewFramePart, ListviewFrameState, &frame,
                                                        &content)))
                frame = RECT{frame.left - (content.left - frame.left), frame.top - (content.top - frame.top),
                             frame.right + (frame.right - content.right), frame.bottom + (frame.bottom - content.bottom)};
        }
        DrawThemeBackground(theme, dc, ListviewFramePart, ListviewFrameState, &frame, nullptr);
    }
    RestoreDC(dc, saved);
    ReleaseDC(wnd, dc);
}

} // namespace qelvo
