// The skin options and their reader, the bitmap hint's rectangle and the
// shared resources the unit loads from the program.
#include <gtest/gtest.h>

#include <fstream>

#include "controls/XtSkins.h"
#include "controls/XtTestSupport.h"
#include "gcl/rtl/Strings.h"
#include "support/TestEnvironment.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class XtSkins : public XtFormTest {
protected:
    std::wstring Write(const std::string& name, const std::string& text) {
        std::ofstream(Dir.File(name), std::ios::binary) << text;
        return gcl::AnsiToWide(Dir.File(name));
    }
    TempDir Dir;
};

TEST_F(XtSkins, EntriesKeepTheirResetValuesForMissingFields) {
    TXtSkinOptions options;
    options.LoadFromFile(Write("Skin.Ini",
                               "[Toolbar]\nNormal.Body=1,clRed\nNormal.Borders=\"2\",$00FF00,16711680,clBlue,"
                               "clWhite,99\nNormal.EffectiveColor=clBtnFace\n"
                               "[MenuItem]\nHotTrack.Body=3\nChecked.EffectiveColor=$000080\n"));
    TXtSkinOptionCategory* toolbar = options.Options(skcToolbar);
    EXPECT_EQ(toolbar->GetBody()->GetEntryType(), 1);
    EXPECT_EQ(toolbar->GetBody()->GetColor1(), gcl::clRed);
    EXPECT_EQ(toolbar->GetBody()->GetColor2(), clNone);
    EXPECT_EQ(toolbar->GetBody()->GetColor4(), clNone);
    EXPECT_EQ(toolbar->GetBorders()->GetEntryType(), 2);
    EXPECT_EQ(toolbar->GetBorders()->GetColor1(), 0x00FF00);
    EXPECT_EQ(toolbar->GetBorders()->GetColor2(), 16711680);
    EXPECT_EQ(toolbar->GetBorders()->GetColor3(), gcl::clBlue);
    EXPECT_EQ(toolbar->GetBorders()->GetColor4(), gcl::clWhite);
    EXPECT_EQ(toolbar->GetInternalBorders()->GetEntryType(), 0);
    EXPECT_EQ(toolbar->GetEffectiveColor(), gcl::clBtnFace);
    TXtSkinOptionCategory* hot = options.Options(skkMenuItem, sksHotTrack);
    EXPECT_EQ(hot->GetBody()->GetEntryType(), 3);
    EXPECT_EQ(hot->GetEffectiveColor(), clNone);
    EXPECT_EQ(options.Options(skkMenuItem, sksChecked)->GetEffectiveColor(), 0x000080);
    EXPECT_EQ(options.Options(skcDock)->GetBody()->GetEntryType(), 0);
}

TEST_F(XtSkins, BadValuesNeverRaise) {
    TXtSkinOptions options;
    EXPECT_NO_THROW(options.LoadFromFile(
        Write("Skin.Ini", "[Dock]\nNormal.Body=x,clRedd,$zz,12\nNormal.EffectiveColor=notacolour\n"
                          "[Popup]\nNormal.Body=4,clGreen\n")));
    TXtSkinOptionCategory* dock = options.Options(skcDock);
    EXPECT_EQ(dock->GetBody()->GetEntryType(), 0);
    EXPECT_EQ(dock->GetBody()->GetColor1(), clNone);
    EXPECT_EQ(dock->GetBody()->GetColor2(), clNone);
    EXPECT_EQ(dock->GetBody()->GetColor3(), 12);
    EXPECT_EQ(dock->GetEffectiveColor(), clNone);
    // The categories after the bad one are still read.
    EXPECT_EQ(options.Options(skcPopup)->GetBody()->GetColor1(), gcl::clGreen);
}

TEST_F(XtSkins, LoadingResetsAndAMissingFileChangesNothing) {
    TXtSkinOptions options;
    options.LoadFromFile(Write("a.ini", "[StatusBar]\nNormal.Body=5,clRed\n[ToolbarItem]\nPushed.Body=6\n"));
    EXPECT_EQ(options.Options(skcStatusBar)->GetBody()->GetEntryType(), 5);
    options.LoadFromFile(gcl::AnsiToWide(Dir.File("missing.ini")));
    EXPECT_EQ(options.Options(skcStatusBar)->GetBody()->GetEntryType(), 5);
    options.LoadFromFile(Write("b.ini", "[ToolbarItem]\nPushed.Body=7\n"));
    EXPECT_EQ(options.Options(skcStatusBar)->GetBody()->GetEntryType(), 0);
    EXPECT_EQ(options.Options(skcStatusBar)->GetBody()->GetColor1(), clNone);
    EXPECT_EQ(options.Options(skkToolbarItem, sksPushed)->GetBody()->GetEntryType(), 7);
    options.Reset();
    EXPECT_EQ(options.Options(skkToolbarItem, sksPushed)->GetBody()->GetEntryType(), 0);
}

TEST_F(XtSkins, OptionsOutsideTheRangeAreNull) {
    TXtSkinOptions options;
    EXPECT_NE(options.Options(5), nullptr);
    EXPECT_EQ(options.Options(6), nullptr);
    EXPECT_EQ(options.Options(-1), nullptr);
    EXPECT_EQ(options.Options(134), nullptr);
    EXPECT_NE(options.Options(1, 4), nullptr);
    EXPECT_EQ(options.Options(2, 0), nullptr);
    EXPECT_EQ(options.Options(0, 5), nullptr);
    EXPECT_EQ(options.Options(0, 128), nullptr);
}

TEST_F(XtSkins, SkinEntriesAndTheirFiles) {
    EXPECT_TRUE(IsSkinEntry(L"XtTheme:Blue"));
    EXPECT_FALSE(IsSkinEntry(L"My XtTheme:Blue"));
    EXPECT_EQ(SkinEntryName(L"XtTheme:Blue"), L"Blue");
    EXPECT_EQ(SkinEntryName(L"Default"), L"");
    EXPECT_EQ(SkinFileName(L"C:\\Skins", L"Blue"), L"C:\\Skins\\Blue\\Skin.Ini");
    EXPECT_EQ(SkinFileName(L"C:\\Skins\\", L"Blue"), L"C:\\Skins\\Blue\\Skin.Ini");
    EXPECT_FALSE(IsSkinThemeActive());
    EXPECT_EQ(CurrentSkinTheme(), nullptr);
}

TEST_F(XtSkins, BitmapHintIsAsLargeAsItsBitmap) {
    EXPECT_EQ(TBitmapHint::HintRectFor(TRect{10, 20, 0, 0}, 100, 20), (TRect{10, 20, 108, 38}));
    gcl::TBitmap bitmap;
    bitmap.SetSize(100, 20);
    TBitmapHint* hint = TBitmapHint::Create(Form);
    hint->ActivateHintData(TRect{30, 40, 500, 500}, "text", &bitmap);
    RECT wr;
    GetWindowRect(hint->GetHandle(), &wr);
    EXPECT_EQ(wr.right - wr.left, 100);
    EXPECT_EQ(wr.bottom - wr.top, 20);
    EXPECT_EQ(hint->GetHintBitmap(), &bitmap);
    // A new text does not resize it.
    EXPECT_EQ(hint->Perform(gcl::CM_TEXTCHANGED), 1);
    hint->ReleaseHandle();
}

TEST_F(XtSkins, SharedResourcesComeFromTheProgram) {
    ASSERT_NE(gcl::Screen, nullptr);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    EXPECT_EQ(gcl::Screen->GetCursors(crXtMove), LoadCursorA(module, "CZMOVE"));
    EXPECT_EQ(gcl::Screen->GetCursors(crXtCancel), LoadCursorA(module, "CZCANCEL"));
    EXPECT_NE(LoadCursorA(module, "CZMOVE"), nullptr);
    EXPECT_NE(XtHandCursor(), nullptr);
    ASSERT_NE(XtGlyphs, nullptr);
    EXPECT_EQ(XtGlyphs->GetCount(), 4);
    EXPECT_EQ(XtGlyphs->GetWidth(), 16);
    ASSERT_NE(XtHintBitmap, nullptr);
    ASSERT_NE(XtSkinOptions, nullptr);
    // The close glyph: black on a transparent (masked) ground.
    TPaintTarget target(16, 16, gcl::clWhite);
    XtGlyphs->Draw(target.Canvas(), 0, 0, 0, true);
    EXPECT_EQ(target.CountOf(TRect{0, 0, 16, 16}, 0xFF00FF), 0);
    EXPECT_GT(target.CountOf(TRect{0, 0, 16, 16}, gcl::clBlack), 10);
}

} // namespace
