// The free-standing helpers: conversions, rectangles, wide comparison,
// text measuring and wrapping, gradients, glyphs, alpha blending, drag
// detection, the library cache and the callback stub.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/rtl/Strings.h"
#include "listview/GvListview.h"
#include "listview/LvCommonUtilities.h"
#include "support/WindowTest.h"

using namespace qelvo;
using gcl::TRect;

namespace {

class LvCommonUtilitiesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { GvListviewUnit.Initialize(); }
    static void TearDownTestSuite() { GvListviewUnit.Finalize(); }
};

// A memory DC with a fixed font for text measuring.
class TTextDC {
public:
    TTextDC() {
        FDC = CreateCompatibleDC(nullptr);
        FFont = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
        FOld = SelectObject(FDC, FFont);
    }
    ~TTextDC() {
        SelectObject(FDC, FOld);
        DeleteObject(FFont);
        DeleteDC(FDC);
    }
    HDC Get() const { return FDC; }
    int Width(const std::wstring& s) const {
        gcl::TSize size;
        TextExtentW(s, FDC, size);
        return size.cx;
    }

private:
    HDC FDC;
    HFONT FFont;
    HGDIOBJ FOld;
};

std::vector<std::wstring> Lines(const TCommonWideCharArray& buffer, int count) {
    std::vector<std::wstring> lines;
    const wchar_t* p = buffer.data();
    for (int i = 0; i < count; ++i) {
        lines.emplace_back(p);
        p += lines.back().size() + 1;
    }
    return lines;
}

// A 32-bit top-down DIB section selected into its own DC.
class TDib {
public:
    TDib(int w, int h, uint32_t fill) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        FBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
        FDC = CreateCompatibleDC(nullptr);
        FOld = SelectObject(FDC, FBitmap);
        for (int i = 0; i < w * h; ++i) FBits[i] = fill;
        FWidth = w;
    }
    ~TDib() {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    HDC DC() const { return FDC; }
    uint32_t At(int x, int y) const { return FBits[y * FWidth + x]; }

private:
    HBITMAP FBitmap;
    HDC FDC;
    HGDIOBJ FOld;
    uint32_t* FBits = nullptr;
    int FWidth;
};

int GCL_STDCALL AddWithObject(void* Obj, int A, int B) { return *static_cast<int*>(Obj) * 100 + A + B; }

TEST_F(LvCommonUtilitiesTest, KeyMouseAndDropEffectConversions) {
    EXPECT_EQ(KeyStatesToDropEffect({cksControl}), cdeCopy);
    EXPECT_EQ(KeyStatesToDropEffect({cksControl, cksAlt}), cdeMove);
    EXPECT_EQ(KeyStatesToDropEffect({cksAlt}), cdeLink);
    EXPECT_EQ(KeyStatesToDropEffect({cksControl, cksShift}), cdeLink);
    EXPECT_EQ(KeyStatesToDropEffect({cksShift}), cdeMove);
    EXPECT_EQ(KeyStatesToDropEffect({}), cdeMove);

    EXPECT_EQ(DropEffectsFromDropEffect(DROPEFFECT_NONE), TCommonDropEffects{cdeNone});
    EXPECT_EQ(DropEffectsFromDropEffect(DROPEFFECT_SCROLL), (TCommonDropEffects{cdeNone, cdeScroll}));
    EXPECT_EQ(DropEffectsFromDropEffect(DROPEFFECT_COPY | DROPEFFECT_LINK), (TCommonDropEffects{cdeCopy, cdeLink}));
    EXPECT_EQ(DropEffectsToDropEffect({cdeNone, cdeMove, cdeScroll}), DROPEFFECT_MOVE | DROPEFFECT_SCROLL);

    EXPECT_EQ(KeyStatesFromMK(MK_CONTROL | MK_RBUTTON | 0x20),
              (TCommonKeyStates{cksControl, cksRButton, cksAlt, cksButton}));
    EXPECT_EQ(KeyStatesFromMK(MK_SHIFT), TCommonKeyStates{cksShift});
    EXPECT_EQ(MouseButtonFromMK(MK_RBUTTON | MK_MBUTTON), cmbMiddle);
    EXPECT_EQ(MouseButtonFromMK(MK_LBUTTON | MK_RBUTTON), cmbLeft);
    EXPECT_EQ(MouseButtonFromMK(0), cmbNone);
    EXPECT_EQ(MouseButtonToMask(cmbRight), 2u);
    EXPECT_EQ(MouseButtonToMask(cmbMiddle), 4u);
    EXPECT_TRUE(KeyToShiftState(0x20000000).Contains(gcl::ssAlt));
    EXPECT_TRUE(IsUnicode());
    EXPECT_TRUE(IsWin2kOrUp());
    EXPECT_FALSE(IsWinNT4());
}

// Sort keys order texts exactly like WideStrIComp: the locale's keys for
// any text, and the cheap lower-case keys for sets of plain ASCII text.
TEST_F(LvCommonUtilitiesTest, SortKeysOrderLikeTheCaseInsensitiveComparison) {
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    const wchar_t alphabet[] = L"aAbBzZ09 5mM";
    std::vector<std::wstring> plain;
    unsigned x = 12345;
    for (int i = 0; i < 300; ++i) {
        std::wstring text;
        const int length = static_cast<int>((x >> 3) % 6);
        for (int k = 0; k < length; ++k) {
            x = x * 1103515245u + 12345u;
            text += alphabet[(x >> 16) % 12];
        }
        x = x * 1103515245u + 12345u;
        plain.push_back(text);
    }
    const std::vector<std::string> cheap = WideStrSortKeys(plain);
    ASSERT_EQ(cheap.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i)
        for (size_t j = 0; j < plain.size(); j += 7)
            ASSERT_EQ(sign(cheap[i].compare(cheap[j])), sign(WideStrIComp(plain[i], plain[j])))
                << gcl::WideToAnsi(plain[i]) << " / " << gcl::WideToAnsi(plain[j]);
    // One text outside the plain set switches the whole set to the locale's
    // keys, which agree with the comparison too.
    std::vector<std::wstring> mixed = plain;
    mixed.push_back(L"co-op");
    mixed.push_back(L"\u00e9t\u00e9");
    mixed.push_back(L"a'b");
    const std::vector<std::string> full = WideStrSortKeys(mixed);
    for (size_t i = 0; i < mixed.size(); i += 3)
        for (size_t j = 0; j < mixed.size(); j += 5)
            ASSERT_EQ(sign(full[i].compare(full[j])), sign(WideStrIComp(mixed[i], mixed[j]))) << i << " " << j;
}

TEST_F(LvCommonUtilitiesTest, RectanglesMixingAndComparison) {
    TRect r;
    CenterRectInRect(TRect{0, 0, 10, 4}, TRect{0, 0, 30, 20}, r);
    EXPECT_EQ(r, (TRect{10, 8, 20, 12}));
    CenterRectInRect(TRect{0, 0, 40, 4}, TRect{5, 0, 30, 20}, r);
    EXPECT_EQ(r.Left, 5);
    EXPECT_EQ(r.Right, 30);
    ProperRect(TRect{9, 8, 1, 2}, r);
    EXPECT_EQ(r, (TRect{1, 2, 9, 8}));
    EXPECT_FALSE(IsRectProper(TRect{9, 0, 1, 2}));
    EXPECT_TRUE(ContainsRect(TRect{0, 0, 10, 10}, TRect{0, 0, 10, 10}));
    EXPECT_FALSE(ContainsRect(TRect{0, 0, 10, 10}, TRect{1, 1, 11, 5}));
    EXPECT_TRUE(PointsEqual(gcl::TPoint{3, 4}, gcl::TPoint{3, 4}));
    EXPECT_EQ(RectWidth(TRect{2, 0, 7, 0}), 5);

    EXPECT_EQ(MixValue(10, 20, 1, 1), 15u);
    EXPECT_EQ(MixValue(0, 255, 3, 1), 63u);
    EXPECT_EQ(MixValue(5, 6, 0, 0), 0u);

    // WideCompareText takes its operands the other way round.
    EXPECT_LT(WideStrIComp(L"apple", L"Banana"), 0);
    EXPECT_EQ(WideStrIComp(L"ABC", L"abc"), 0);
    EXPECT_GT(WideCompareText(L"apple", L"Banana"), 0);
    EXPECT_LT(WideCompareText(L"pear", L"apple"), 0);
    EXPECT_EQ(WideStrLower(L"\u00c9T\u00c9 Xy"), L"\u00e9t\u00e9 xy");
}

TEST_F(LvCommonUtilitiesTest, ShortenWrapAndDrawText) {
    TTextDC dc;
    const int dots = dc.Width(L"...");
    std::wstring text = L"Short";
    ShortenStringEx(dc.Get(), text, dc.Width(L"Short"));
    EXPECT_EQ(text, L"Short");
    text = L"A much longer caption";
    const int max = dc.Width(L"A much") + dots;
    ShortenStringEx(dc.Get(), text, max);
    EXPECT_EQ(text, L"A much...");
    EXPECT_LE(dc.Width(text), max);
    text = L"Whatever";
    ShortenStringEx(dc.Get(), text, dots - 1);
    EXPECT_EQ(text, L"...");

    TCommonWideCharArray buffer;
    const int width = dc.Width(L"three four") + 1;
    int n = WrapTextW(dc.Get(), L"one two three four", width, -1, buffer);
    EXPECT_EQ(Lines(buffer, n), (std::vector<std::wstring>{L"one two", L"three four"}));
    EXPECT_EQ(buffer.size(), std::wstring(L"one two").size() + 1 + std::wstring(L"three four").size() + 1 + 1);
    EXPECT_EQ(buffer.back(), 0);
    n = WrapTextW(dc.Get(), L"one two three four five six", width, 2, buffer);
    EXPECT_EQ(Lines(buffer, n), (std::vector<std::wstring>{L"one two", L"three four five six"}));
    n = WrapTextW(dc.Get(), L"line\r\nnext", 1000, -1, buffer);
    EXPECT_EQ(Lines(buffer, n), (std::vector<std::wstring>{L"line", L"next"}));
    // Without a space the line ends before the character that overflows.
    n = WrapTextW(dc.Get(), L"0123456789", dc.Width(L"0123") + 1, -1, buffer);
    EXPECT_EQ(Lines(buffer, n), (std::vector<std::wstring>{L"0123", L"4567", L"89"}));
    EXPECT_EQ(WrapTextW(dc.Get(), L"anything", 0, -1, buffer), 0);
    EXPECT_EQ(buffer, TCommonWideCharArray{0});

    // Measuring without drawing.
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.Get(), &tm);
    TRect r{10, 10, 10 + width, 200};
    EXPECT_EQ(DrawTextWEx(dc.Get(), L"one two three four", r, -1, dtCalcRect), 2 * tm.tmHeight);
    EXPECT_EQ(r.Top, 10);
    EXPECT_EQ(r.Bottom, 10 + 2 * tm.tmHeight);
    EXPECT_EQ(r.Right, 10 + dc.Width(L"three four"));
    r = TRect{0, 0, 100, 40};
    DrawTextWEx(dc.Get(), L"Hi", r, 1, dtSingleLine | dtRight | dtBottom | dtCalcRect);
    EXPECT_EQ(r.Right, 100);
    EXPECT_EQ(r.Bottom, 40);
    EXPECT_EQ(r.Left, 100 - dc.Width(L"Hi"));
    // Placed by the width of the text drawn: the shortened one when it did
    // not fit, the whole one when it did.
    r = TRect{0, 0, max, 40};
    DrawTextWEx(dc.Get(), L"A much longer caption", r, 1, dtSingleLine | dtRight | dtEndEllipsis | dtCalcRect);
    EXPECT_EQ(r.Right, max);
    EXPECT_EQ(r.Left, max - dc.Width(L"A much..."));
    r = TRect{0, 0, max, 40};
    DrawTextWEx(dc.Get(), L"A much", r, 1, dtSingleLine | dtCenter | dtEndEllipsis | dtCalcRect);
    EXPECT_EQ(r.Left, (max - dc.Width(L"A much")) / 2);
    EXPECT_EQ(r.Right, r.Left + dc.Width(L"A much"));
}

TEST_F(LvCommonUtilitiesTest, GradientGlyphsAndAlphaBlending) {
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(4, 3);
    gcl::TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetPen()->SetColor(gcl::clRed);
    FillGradientRows(canvas, 0, 0, 4, 2, gcl::clBlack, gcl::clWhite, 0, 2);
    EXPECT_EQ(canvas->GetPixels(1, 0), 0x000000);
    EXPECT_EQ(canvas->GetPixels(1, 1), 0x808080);  // 127.5 rounds to the even 128
    EXPECT_EQ(canvas->GetPixels(1, 2), 0xFFFFFF);
    EXPECT_EQ(canvas->GetPen()->GetColor(), gcl::clRed);

    // Check boxes of Marlett glyphs: the mark only when checked.
    TRect bounds = CheckBounds(12);
    EXPECT_GT(bounds.Right, 0);
    EXPECT_GT(bounds.Bottom, 0);
    gcl::TRect cached;
    CheckBoundManager->Bound(12, cached);
    EXPECT_EQ(cached, bounds);
    gcl::TBitmap boxes;
    boxes.SetPixelFormat(gcl::pf32bit);
    boxes.SetSize(2 * bounds.Right + 4, bounds.Bottom + 2);
    gcl::TCanvas* c = boxes.GetCanvas();
    c->GetBrush()->SetColor(gcl::clWhite);
    c->FillRect(TRect{0, 0, boxes.GetWidth(), boxes.GetHeight()});
    DrawCheckBox(c, gcl::TPoint{0, 0}, 12, gcl::cl3DLight, gcl::cl3DDkShadow, gcl::clBtnHighlight, gcl::clBtnShadow,
                 gcl::clBtnFace, gcl::clWhite, false, true);
    DrawCheckBox(c, gcl::TPoint{bounds.Right + 2, 0}, 12, gcl::cl3DLight, gcl::cl3DDkShadow, gcl::clBtnHighlight,
                 gcl::clBtnShadow, gcl::clBtnFace, gcl::clWhite, true, true);
    int blackUnchecked = 0, blackChecked = 0;
    for (int y = 0; y < bounds.Bottom; ++y)
        for (int x = 0; x < bounds.Right; ++x) {
            if (c->GetPixels(x, y) == gcl::clBlack) ++blackUnchecked;
            if (c->GetPixels(bounds.Right + 2 + x, y) == gcl::clBlack) ++blackChecked;
        }
    EXPECT_GT(blackChecked, blackUnchecked);

    // Constant alpha: d + (s - d) * a / 256 + bias, per byte.
    TDib source(4, 4, 0x00FF0000);
    TDib target(4, 4, 0x00000000);
    AlphaBlend(source.DC(), target.DC(), TRect{0, 0, 2, 2}, 0, 128, cbmConstantAlpha, gcl::TPoint{1, 1});
    EXPECT_EQ(target.At(1, 1), 0x007F0000u);
    EXPECT_EQ(target.At(2, 2), 0x007F0000u);
    EXPECT_EQ(target.At(0, 0), 0u);
    EXPECT_EQ(target.At(3, 3), 0u);
    // Tinting the destination with a colour (given in the bias).
    TDib tint(2, 2, 0x00FFFFFF);
    AlphaBlend(nullptr, tint.DC(), TRect{0, 0, 1, 1}, 0x000000FF, 128, cbmConstantAlphaAndColor, gcl::TPoint{});
    EXPECT_EQ(tint.At(0, 0), 0x00FF7F7Fu);  // blue and green halved, red kept
    EXPECT_EQ(tint.At(1, 1), 0x00FFFFFFu);
    // Blending outside the bitmap is clipped, not written past its end.
    AlphaBlend(source.DC(), target.DC(), TRect{0, 0, 4, 4}, 0, 255, cbmConstantAlpha, gcl::TPoint{3, 3});
    EXPECT_EQ(target.At(3, 3), 0x00FE0000u);
    // Only 32-bit DIB sections can be blended.
    HDC plain = CreateCompatibleDC(nullptr);
    try {
        AlphaBlend(source.DC(), plain, TRect{0, 0, 1, 1}, 0, 128, cbmConstantAlpha, gcl::TPoint{});
        ADD_FAILURE();
    } catch (const gcl::EAssertionFailed& e) {
        EXPECT_EQ(e.GetMessage(), "Alpha blending error: bitmap must use 32 bpp.");
    }
    DeleteDC(plain);

    // BlendBitmaps mixes the colour bytes of equal-sized 32-bit bitmaps.
    gcl::TBitmap a, b;
    for (gcl::TBitmap* bmp : {&a, &b}) {
        bmp->SetPixelFormat(gcl::pf32bit);
        bmp->SetSize(3, 3);
    }
    a.GetCanvas()->GetBrush()->SetColor(0x0000C8);
    a.GetCanvas()->FillRect(TRect{0, 0, 3, 3});
    b.GetCanvas()->GetBrush()->SetColor(0x000064);
    b.GetCanvas()->FillRect(TRect{0, 0, 3, 3});
    BlendBitmaps(&a, &b, 1, false, 1);
    EXPECT_EQ(b.GetCanvas()->GetPixels(1, 1), 0x000096);
    gcl::TBitmap other;
    other.SetPixelFormat(gcl::pf32bit);
    other.SetSize(2, 2);
    BlendBitmaps(&a, &other, 1, false, 1);  // sizes differ: nothing
    EXPECT_EQ(other.GetCanvas()->GetPixels(0, 0), 0x000000);
}

TEST_F(LvCommonUtilitiesTest, DragDetectionLibraryCacheAndStub) {
    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    MSG m;
    while (PeekMessageW(&m, wnd, 0, 0, PM_REMOVE)) {
    }
    // A release before the pointer moves ends detection; the release is
    // posted back for the window to handle.
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(DragDetectPlus(wnd, gcl::TPoint{100, 100}));
    EXPECT_TRUE(PeekMessageW(&m, wnd, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    // A move far enough away starts the drag.
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    PostMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    EXPECT_TRUE(DragDetectPlus(wnd, gcl::TPoint{origin.x, origin.y}));

    HMODULE first = CommonLoadLibrary("comdlg32.dll");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CommonLoadLibrary("COMDLG32.DLL"), first);
    EXPECT_EQ(CommonLoadLibrary("no-such-library-here.dll"), nullptr);

    int object = 7;
    void* stub = CreateStub(&object, reinterpret_cast<void*>(&AddWithObject));
    ASSERT_NE(stub, nullptr);
    auto callback = reinterpret_cast<int(GCL_STDCALL*)(int, int)>(stub);
    EXPECT_EQ(callback(2, 3), 705);
    DisposeStub(stub);
}

} // namespace
