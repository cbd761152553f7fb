// Shared toolbar routines: caption text, lists, rotated text, drag
// outlines, button tracking, message helpers and the registry settings.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/rtl/Registry.h"
#include "gcl/rtl/SysInfo.h"
#include "support/WindowTest.h"
#include "toolbar/BarCommon.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::PixelCanvas;

namespace {

TEST(BarCommonText, AcceleratorMarks) {
    EXPECT_EQ(RemoveAccelMarks("Save &As"), "Save As");
    EXPECT_EQ(RemoveAccelMarks("R&&D"), "R&D");
    EXPECT_EQ(RemoveAccelMarks("&&&x&"), "&x");
    EXPECT_EQ(AcceleratorOf("&File &Open"), 'O');
    EXPECT_EQ(AcceleratorOf("R&&D"), '\0');
    EXPECT_EQ(AcceleratorOf("R&&&D"), 'D');
    EXPECT_EQ(AcceleratorOf("Trailing&"), '\0');
    EXPECT_EQ(DoubleAmpersands("A&B&&"), "A&&B&&&&");
}

TEST(BarCommonText, CaptionEndings) {
    EXPECT_EQ(TrimCaptionEnding("Open..."), "Open");
    EXPECT_EQ(TrimCaptionEnding("Name:"), "Name");
    EXPECT_EQ(TrimCaptionEnding(":"), ":");
    EXPECT_EQ(TrimCaptionEnding("..."), "...");
    EXPECT_EQ(TrimCaptionEnding("a..."), "a");
    EXPECT_EQ(TrimCaptionEnding("Plain"), "Plain");
}

TEST(BarCommonText, DivisionAwayFromZero) {
    EXPECT_EQ(DivAwayFromZero(7, 2), 4);
    EXPECT_EQ(DivAwayFromZero(-7, 2), -4);
    EXPECT_EQ(DivAwayFromZero(6, 2), 3);
    EXPECT_EQ(DivAwayFromZero(26, 3), 9);
    EXPECT_EQ(DivAwayFromZero(7, -2), -4);
    EXPECT_EQ(Max(3, -4), 3);
    EXPECT_EQ(Min(3, -4), -4);
}

TEST(BarCommonLists, UniqueAddAndRelease) {
    gcl::TList* list = nullptr;
    int a = 1, b = 2;
    EXPECT_TRUE(ListAddUnique(list, &a));
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(ListAddUnique(list, &a));
    EXPECT_TRUE(ListInsertFirstUnique(list, &b));
    EXPECT_FALSE(ListInsertFirstUnique(list, &a));
    ASSERT_EQ(list->GetCount(), 2);
    EXPECT_EQ(list->GetItem(0), &b);
    ListRemoveAndRelease(list, &b);
    EXPECT_EQ(list->GetCount(), 1);
    ListRemoveAndRelease(list, &a);
    EXPECT_EQ(list, nullptr);
    ListRemoveAndRelease(list, &a);   // a null list is an empty one
    EXPECT_EQ(list, nullptr);
}

struct SortEntry {
    int Key;
    int Id;
};

int CompareKeys(void* a, void* b, void* extra) {
    ++*static_cast<int*>(extra);
    int x = static_cast<SortEntry*>(a)->Key, y = static_cast<SortEntry*>(b)->Key;
    return x < y ? -1 : (x > y ? 1 : 0);
}

TEST(BarCommonLists, SortKeepsTheOrderOfEqualKeys) {
    // Keys far apart would overflow a subtraction compare; equal keys keep
    // their list order.
    std::vector<SortEntry> entries{{5, 0}, {INT32_MIN, 1}, {5, 2}, {INT32_MAX, 3}, {0, 4}, {5, 5}, {0, 6}};
    gcl::TList list;
    for (auto& e : entries) list.Add(&e);
    int calls = 0;
    ListSortEx(&list, CompareKeys, &calls);
    EXPECT_GT(calls, 0);
    std::vector<int> ids;
    for (int i = 0; i < list.GetCount(); ++i) ids.push_back(static_cast<SortEntry*>(list.GetItem(i))->Id);
    EXPECT_EQ(ids, (std::vector<int>{1, 4, 6, 0, 2, 5, 3}));
    ListSortEx(nullptr, CompareKeys, &calls);   // nothing to do
}

// Draws text with DrawRotatedText in a black font on white.
void DrawRotated(PixelCanvas& c, const std::string& text, const TRect& r, UINT format) {
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_ONLY_PRECIS, 0, 0, 0, "Tahoma");
    HGDIOBJ old = SelectObject(c.DC(), font);
    SetTextColor(c.DC(), RGB(0, 0, 0));
    SetBkMode(c.DC(), TRANSPARENT);
    DrawRotatedText(c.DC(), text, r, format);
    SelectObject(c.DC(), old);
    DeleteObject(font);
}

TEST(BarCommonRotatedText, PrefixUnderlineAndHiding) {
    TRect r{0, 0, 30, 80};
    PixelCanvas plain(30, 80), hidden(30, 80), shown(30, 80), empty(30, 80);
    DrawRotated(plain, "Tools", r, DT_NOPREFIX);
    DrawRotated(hidden, "&Tools", r, DT_HIDEPREFIX);
    DrawRotated(shown, "&Tools", r, 0);
    DrawRotated(empty, "", r, 0);
    EXPECT_GT(plain.CountOf(RGB(0, 0, 0)), 20) << "the text is drawn";
    EXPECT_TRUE(hidden.SameAs(plain)) << "DT_HIDEPREFIX draws the text without the underline";
    EXPECT_FALSE(shown.SameAs(plain)) << "the accelerator is underlined";
    EXPECT_GT(shown.CountOf(RGB(0, 0, 0)), plain.CountOf(RGB(0, 0, 0)));
    EXPECT_EQ(empty.CountOf(RGB(0, 0, 0)), 0);
}

TEST(BarCommonRotatedText, EllipsisAndCentring) {
    PixelCanvas shortened(30, 120), literal(30, 120);
    // Too long for 40 pixels: ends in "...".
    DrawRotated(shortened, "Organise everything", TRect{0, 0, 30, 40}, DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_EQ(shortened.CountOf(RGB(0, 0, 0)) > 0, true);
    for (int y = 45; y < 120; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_NE(shortened.At(x, y), RGB(0, 0, 0)) << "drawn past the height";

    // Under 3 pixels high the first character stays, followed by "...".
    PixelCanvas tiny(30, 120), expected(30, 120);
    DrawRotated(tiny, "Hello", TRect{0, 10, 30, 12}, DT_END_ELLIPSIS | DT_NOCLIP);
    DrawRotated(expected, "H...", TRect{0, 10, 30, 12}, DT_NOCLIP);
    EXPECT_TRUE(tiny.SameAs(expected));

    // Centred along the height: the ink sits in the middle.
    PixelCanvas centred(30, 120);
    DrawRotated(centred, "Hi", TRect{0, 0, 30, 120}, DT_CENTER);
    int first = -1, last = -1;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 30; ++x)
            if (centred.At(x, y) == RGB(0, 0, 0)) {
                if (first < 0) first = y;
                last = y;
            }
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last) / 2, 60, 6);
}

TEST(BarCommonOutlines, FrameInvertsOnlyTheFrame) {
    PixelCanvas c(60, 60);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));   // XOR with white inverts
    TRect first{10, 10, 40, 40};
    InvertFrameChange(c.DC(), &first, nullptr, white, white, {3, 3}, {0, 0});
    EXPECT_EQ(c.At(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(c.At(12, 25), RGB(0, 0, 0));
    EXPECT_EQ(c.At(13, 25), RGB(255, 255, 255)) << "the inside of the frame stays";
    EXPECT_EQ(c.At(25, 25), RGB(255, 255, 255));
    EXPECT_EQ(c.At(40, 40), RGB(255, 255, 255));
    EXPECT_EQ(c.CountOf(RGB(0, 0, 0)), 30 * 30 - 24 * 24);

    // Moving it flips only what changes: the old frame goes, the new one shows.
    TRect second{20, 20, 50, 50};
    InvertFrameChange(c.DC(), &second, &first, white, white, {3, 3}, {3, 3});
    PixelCanvas expected(60, 60);
    InvertFrameChange(expected.DC(), &second, nullptr, white, white, {3, 3}, {0, 0});
    EXPECT_TRUE(c.SameAs(expected));

    // Taking it away leaves nothing.
    InvertFrameChange(c.DC(), nullptr, &second, white, white, {0, 0}, {3, 3});
    EXPECT_EQ(c.CountOf(RGB(0, 0, 0)), 0);
    DeleteObject(white);
}

TEST(BarCommonOutlines, HalftoneAlternatesPixels) {
    PixelCanvas c(16, 16);
    TRect r{0, 0, 16, 16};
    DrawHalftoneInvertRect(c.DC(), &r, nullptr, {16, 16}, {0, 0});
    EXPECT_EQ(c.CountOf(RGB(0, 0, 0)), 128);
    EXPECT_NE(c.At(0, 0), c.At(1, 0));
    EXPECT_NE(c.At(0, 0), c.At(0, 1));
    EXPECT_EQ(c.At(0, 0), c.At(1, 1));
}

class PressLog : public gcl::TObject {
public:
    std::string Log;
    void Changed(bool pressed) { Log += pressed ? 'P' : 'u'; }
};

TEST(BarCommonTracking, ReleasedInsideOrOutside) {
    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    TRect button{10, 10, 30, 30};
    PressLog log;
    PostMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    PostMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
    PostMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(TrackButtonPress(wnd, button, TButtonPressEvent(&log, &PressLog::Changed)));
    EXPECT_EQ(log.Log, "PuPu");
    EXPECT_EQ(GetCapture(), nullptr);

    log.Log.clear();
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(50, 20));
    EXPECT_FALSE(TrackButtonPress(wnd, button, TButtonPressEvent(&log, &PressLog::Changed)));
    EXPECT_EQ(log.Log, "Pu");

    log.Log.clear();
    PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(TrackButtonPress(wnd, button, TButtonPressEvent(&log, &PressLog::Changed)));
    EXPECT_EQ(log.Log, "Pu");
}

TEST(BarCommonMessages, QuitIsPostedAgain) {
    PostQuitMessage(7);
    ProcessPaintMessages();
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);

    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    PostMessageA(wnd, WM_USER + 5, 0, 0);
    PostMessageA(wnd, WM_USER + 9, 0, 0);
    PostMessageA(wnd, WM_USER + 20, 0, 0);
    DiscardMessages(WM_USER, WM_USER + 10);
    ASSERT_TRUE(PeekMessageA(&m, wnd, WM_USER, WM_USER + 100, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 20));
    EXPECT_FALSE(PeekMessageA(&m, wnd, WM_USER, WM_USER + 100, PM_REMOVE));
}

TEST(BarCommonScreen, MonitorRectangles) {
    TRect screen = PrimaryMonitorRect(false);
    EXPECT_EQ(screen.Left, 0);
    EXPECT_EQ(screen.Right, GetSystemMetrics(SM_CXSCREEN));
    TRect work = PrimaryMonitorRect(true);
    EXPECT_FALSE(gcl::IsRectEmpty(work));
    EXPECT_EQ(MonitorRectOfPoint({5, 5}, true), MonitorRectOfRect(TRect{5, 5, 10, 10}, true));
    if (!HasSeveralMonitors()) {
        EXPECT_EQ(MonitorRectOfPoint({5, 5}, true), work);
    }
}

TEST(BarCommonSettings, MenuShowDelayFromTheRegistry) {
    gcl::TMemRegistryStore store;
    gcl::ServiceOverride<gcl::IRegistryStore> use(gcl::RegistryStore, store);
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 400) << "no key";
    store.CreateKey(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop");
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 400) << "no value";
    store.SetString(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay", "250");
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 250);
    store.SetString(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay", "fast");
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 0);
    store.SetString(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay", "-40");
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 0);
    store.SetString(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay", "");
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 0);
    store.SetValue(gcl::TRegRootKey::CurrentUser, "Control Panel\\Desktop", "MenuShowDelay",
                   gcl::TRegDataType::Integer, std::string("\x10\0\0\0", 4));
    EXPECT_EQ(ReadMenuShowDelayFromRegistry(), 0) << "not a string";
    EXPECT_GE(MenuShowDelay(), 0);
}

TEST(BarCommonSettings, SoundSchemeEvents) {
    gcl::TMemRegistryStore store;
    gcl::ServiceOverride<gcl::IRegistryStore> use(gcl::RegistryStore, store);
    const std::string key = "AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current";
    EXPECT_FALSE(SoundSchemeHasEvent("MenuPopup"));
    store.CreateKey(gcl::TRegRootKey::CurrentUser, key);
    store.SetString(gcl::TRegRootKey::CurrentUser, key, "", "");
    EXPECT_FALSE(SoundSchemeHasEvent("MenuPopup"));
    store.SetString(gcl::TRegRootKey::CurrentUser, key, "", "C:\\Windows\\Media\\menu popup sound.wav");
    EXPECT_TRUE(SoundSchemeHasEvent("MenuPopup"));
    EXPECT_FALSE(SoundSchemeHasEvent("MenuCommand"));

    gcl::TFixedOSVersion win98{{gcl::PlatformWin32Windows, 4, 10, 2222}};
    gcl::ServiceOverride<gcl::IOSVersion> old(gcl::OSVersion, win98);
    EXPECT_TRUE(SoundSchemeHasEvent("MenuCommand"));
    EXPECT_FALSE(IsWindowsXP());
    EXPECT_FALSE(FlatMenusEnabled());
    EXPECT_TRUE(AreKeyboardCuesEnabled());
}

TEST(BarCommonSettings, KeyboardCodePage) {
    UINT cp = KeyboardLayoutCodePage();
    if (cp != 0) {
        EXPECT_TRUE(IsValidCodePage(cp));
    }
}

} // namespace
