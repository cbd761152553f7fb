// Captions drawn by the list view: a struck-out font's line drawn by the
// list itself lands on the pixels the font's own line covers, in every
// face, size, style, colour, alignment and width (shortened with "..."
// too), and the font metrics kept for it follow the font and are dropped
// when fonts, settings or the display change.
#include <gtest/gtest.h>

#include <string>

#include "listview/GvInternal.h"
#include "listview/GvWindowFixture.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::PixelCanvas;

namespace {

class GvCaptionTextTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        GvWindowFixture::SetUp();
        gvdetail::ForgetLineMetrics();
    }
    void TearDown() override {
        gvdetail::ForgetLineMetrics();
        GvWindowFixture::TearDown();
    }
};

struct TLook {
    const char* Face;
    int Size;
    gcl::TFontStyles Style;
    COLORREF Color;
};

void SetFont(gcl::TCanvas* canvas, const TLook& look, bool struck) {
    gcl::TFont* font = canvas->GetFont();
    font->SetName(look.Face);
    font->SetSize(look.Size);
    gcl::TFontStyles style = look.Style;
    if (struck) style.Include(gcl::fsStrikeOut);
    font->SetStyle(style);
    font->SetColor(static_cast<gcl::TColor>(look.Color));
}

// Text in the font's own struck-out copy, as the system draws it.
void DrawBySystem(PixelCanvas& c, const TLook& look, const std::wstring& text, TRect r, int lines,
                  TCommonDrawTextWFlags flags) {
    SetFont(c.Canvas(), look, true);
    c.Canvas()->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
    SetBkMode(c.DC(), TRANSPARENT);
    DrawTextWEx(c.DC(), text, r, lines, flags);
}

void DrawByList(PixelCanvas& c, const TLook& look, const std::wstring& text, const TRect& r, int lines,
                TCommonDrawTextWFlags flags) {
    SetFont(c.Canvas(), look, true);
    gvdetail::DrawCaption(c.Canvas(), text, r, lines, flags);
    // The canvas's font stays as the caller set it.
    EXPECT_TRUE(c.Canvas()->GetFont()->GetStyle().Contains(gcl::fsStrikeOut));
}

TEST_F(GvCaptionTextTest, StruckOutCaptionsMatchTheFontsOwnLine) {
    const TLook looks[] = {
        {"Arial", 8, {}, RGB(0, 0, 0)},
        {"Arial", 9, {gcl::fsItalic}, RGB(200, 0, 0)},
        {"Arial", 12, {gcl::fsBold}, RGB(0, 0, 160)},
        {"Arial", 16, {gcl::fsUnderline}, RGB(0, 120, 0)},
        {"Tahoma", 8, {}, RGB(0, 0, 0)},
        {"Tahoma", 10, {gcl::fsBold, gcl::fsItalic}, RGB(90, 90, 90)},
        {"Tahoma", 20, {}, RGB(255, 255, 255)},
        {"Tahoma", 27, {gcl::fsBold}, RGB(0, 0, 0)},
        {"Arial", 36, {}, RGB(0, 0, 0)},
        {"Arial", 50, {gcl::fsItalic, gcl::fsUnderline}, RGB(0, 0, 0)},
        {"MS Sans Serif", 8, {}, RGB(0, 0, 0)},
        {"MS Sans Serif", 11, {gcl::fsBold}, RGB(128, 0, 128)},
        {"Courier New", 10, {}, RGB(0, 0, 0)},
        {"Small Fonts", 7, {}, RGB(0, 0, 0)},
        {"No Such Face", 13, {gcl::fsItalic}, RGB(0, 80, 200)},
    };
    const std::wstring texts[] = {L"Pay the rent", L"Wij", L"A much longer caption that does not fit its cell"};
    struct TPlace {
        int Width;
        TCommonDrawTextWFlags Flags;
    };
    const TPlace places[] = {
        {300, dtLeft | dtVCenter | dtSingleLine | dtEndEllipsis},
        {300, dtRight | dtVCenter | dtSingleLine | dtEndEllipsis},
        {300, dtCenter | dtTop | dtSingleLine},
        {90, dtLeft | dtVCenter | dtSingleLine | dtEndEllipsis},
        {90, dtRight | dtBottom | dtSingleLine | dtEndEllipsis},
        {12, dtLeft | dtVCenter | dtSingleLine | dtEndEllipsis},  // narrower than "..."
        {70, dtLeft | dtTop | dtEndEllipsis},                     // wrapped lines
    };
    for (const TLook& look : looks)
        for (const std::wstring& text : texts)
            for (const TPlace& place : places) {
                PixelCanvas bySystem(340, 160, RGB(250, 240, 200)), byList(340, 160, RGB(250, 240, 200));
                const TRect r{20, 10, 20 + place.Width, 150};
                DrawBySystem(bySystem, look, text, r, -1, place.Flags);
                DrawByList(byList, look, text, r, -1, place.Flags);
                EXPECT_TRUE(byList.SameAs(bySystem))
                    << look.Face << " " << look.Size << " width " << place.Width << " flags " << place.Flags;
                // Something was drawn at all.
                EXPECT_LT(bySystem.CountOf(RGB(250, 240, 200)), 340 * 160);
            }
    // The metrics kept: one per description (struck or not), each face
    // size and style its own.
    EXPECT_EQ(gvdetail::LineMetricsCount(), std::size(looks));
}

// A caption too wide for its place keeps the longest start that fits
// beside "...", whatever width it has to fit and whether its width was
// measured by the caller or not.
TEST_F(GvCaptionTextTest, ShortenedCaptionsKeepTheLongestStartThatFits) {
    PixelCanvas c(10, 10);
    const TLook looks[] = {{"Arial", 8, {}, 0}, {"Tahoma", 10, {gcl::fsBold}, 0}, {"Arial", 13, {gcl::fsItalic}, 0}};
    const std::wstring texts[] = {L"Call the bank about the loan", L"WWW iii WWW iii", L"\u00c9t\u00e9 \u00e0 Paris, mardi"};
    auto width = [&](const std::wstring& t) {
        SIZE s{};
        GetTextExtentPoint32W(c.DC(), t.c_str(), static_cast<int>(t.size()), &s);
        return static_cast<int>(s.cx);
    };
    for (const TLook& look : looks) {
        SetFont(c.Canvas(), look, false);
        c.Canvas()->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
        const int dots = width(L"...");
        for (const std::wstring& text : texts) {
            const int full = width(text);
            for (int max = 0; max <= full + 1; ++max) {
                std::wstring expected = text;
                if (full > max) {
                    size_t keep = 0;
                    while (keep < text.size() && width(text.substr(0, keep + 1)) <= max - dots) ++keep;
                    expected = text.substr(0, keep) + L"...";
                }
                for (int known : {-1, full}) {
                    std::wstring shortened = text;
                    const int answer = FitWithEllipsis(c.DC(), shortened, max, known, known < 0 ? -1 : dots);
                    ASSERT_EQ(shortened, expected) << look.Face << " " << max << " " << known;
                    EXPECT_EQ(answer, full > max ? -1 : full);
                }
            }
        }
    }
}

// A group caption measured on the kept DC measures as on the screen, in
// every font and after other fonts were measured there.
TEST_F(GvCaptionTextTest, CaptionsMeasuredOnTheKeptDCMeasureAsOnTheScreen) {
    const TLook looks[] = {{"Arial", 8, {gcl::fsBold}, 0}, {"Tahoma", 14, {gcl::fsItalic}, 0}, {"Arial", 8, {}, 0}};
    for (int round = 0; round < 2; ++round)
        for (const TLook& look : looks)
            for (const std::wstring text : {L"Work", L"Today and tomorrow", L"\u00c9t\u00e9"}) {
                gcl::TFont font;
                font.SetName(look.Face);
                font.SetSize(look.Size);
                font.SetStyle(look.Style);
                gcl::TSize onScreen, kept;
                TextExtentW(text, &font, onScreen);
                gvdetail::MeasureOnDisplay(text, font, kept);
                EXPECT_EQ(kept.cx, onScreen.cx) << look.Face << " " << look.Size;
                EXPECT_EQ(kept.cy, onScreen.cy) << look.Face << " " << look.Size;
                EXPECT_GT(kept.cx, 0);
            }
}

TEST_F(GvCaptionTextTest, KeptMetricsFollowTheFontAndGoWithFontSettingAndDisplayChanges) {
    const TLook small{"Arial", 8, {}, RGB(0, 0, 0)};
    const TLook large{"Arial", 18, {}, RGB(0, 0, 0)};
    const TRect r{4, 4, 200, 40};
    const TCommonDrawTextWFlags flags = dtLeft | dtVCenter | dtSingleLine | dtEndEllipsis;
    // Plain text in a size after another: each placed by its own height.
    for (const TLook* look : {&small, &large, &small}) {
        PixelCanvas bySystem(220, 50), byList(220, 50);
        SetFont(bySystem.Canvas(), *look, false);
        bySystem.Canvas()->RequiredState(gcl::TCanvasState{gcl::csHandleValid, gcl::csFontValid});
        SetBkMode(bySystem.DC(), TRANSPARENT);
        TRect s = r;
        DrawTextWEx(bySystem.DC(), L"Plain text", s, 1, flags);
        SetFont(byList.Canvas(), *look, false);
        gvdetail::DrawCaption(byList.Canvas(), L"Plain text", r, 1, flags);
        EXPECT_TRUE(byList.SameAs(bySystem)) << look->Size;
    }
    EXPECT_EQ(gvdetail::LineMetricsCount(), 2u);
    // What the application window hears drops them all, and so does what
    // reaches the list view.
    struct TChange {
        HWND Window;
        UINT Message;
    };
    HWND application = gcl::Application->GetHandle();
    const TChange changes[] = {{application, WM_FONTCHANGE},       {application, WM_SETTINGCHANGE},
                               {application, WM_DISPLAYCHANGE},    {LV->GetHandle(), WM_THEMECHANGED},
                               {LV->GetHandle(), WM_SYSCOLORCHANGE}};
    for (const TChange& change : changes) {
        PixelCanvas c(220, 50);
        SetFont(c.Canvas(), small, true);
        gvdetail::DrawCaption(c.Canvas(), L"Struck", r, 1, flags);
        EXPECT_GE(gvdetail::LineMetricsCount(), 1u);
        SendMessageA(change.Window, change.Message, 0, 0);
        EXPECT_EQ(gvdetail::LineMetricsCount(), 0u) << change.Message;
    }
}

} // namespace
