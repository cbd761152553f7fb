// The Unicode check list box: wide items and every item state across
// window re-creation, the virtual styles' texts, drawing past the items,
// copying the selection, the published wide properties.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>

#include "gcl/Forms.h"
#include "gcl/Messages.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "gcl/rtl/TypInfo.h"
#include "support/WindowTest.h"
#include "unicode/UniCheckLst.h"
#include "unicode/UniControls.h"
#include "unicode/UniSystem.h"
#include "unicode/UniTestControls.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;
using qelvo::test::WindowItem;

using qelvo::test::W;
using qelvo::test::Windows98;

namespace {

gcl::TObject* FakeData(int i) { return reinterpret_cast<gcl::TObject*>(static_cast<uintptr_t>(0x2000 + 16 * i)); }

int GWideDataCalls = 0;
void WideData(gcl::TWinControl*, int index, std::wstring& data) {
    ++GWideDataCalls;
    data = W("项目 ") + std::to_wstring(index);
}
void AnsiData(gcl::TWinControl*, int index, std::string& data) { data = "ansi \xE6" + std::to_string(index); }

// Sends CN_DRAWITEM for item Index into a memory DC.
void DrawItemOf(TUniCheckListBox* box, int index) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_LISTBOX;
    item.itemID = static_cast<UINT>(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = box->GetHandle();
    item.hDC = dc;
    item.rcItem = RECT{0, 0, 200, 20};
    box->Perform(gcl::CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

} // namespace

class UniCheckLstTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        UniControlsUnit.Initialize();
        UniCheckLstUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniCheckLstUnit.Finalize();
        UniControlsUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }

    TUniCheckListBox* Make() {
        TUniCheckListBox* box = TUniCheckListBox::Create(nullptr);
        box->SetParentWindow(static_cast<HWND>(FHost.Handle()));
        return box;
    }

    qelvo::test::HiddenTestWindow FHost;
};

TEST_F(UniCheckLstTest, ItemsAndStatesSurviveRecreation) {
    const std::wstring texts[] = {W("中文"), W("Ελληνικά"), W("Dansk æøå"), L"Header", W("汉字 Ω")};
    auto fill = [&](TUniCheckListBox* box) {
        for (int i = 0; i < 5; ++i) box->GetItems()->AddObject(texts[i], FakeData(i));
        box->SetChecked(0, true);
        box->SetState(1, gcl::cbGrayed);
        box->SetItemEnabled(2, false);
        box->SetState(2, gcl::cbChecked);
        box->SetHeader(3, true);
        box->SetItemIndex(4);
    };
    auto check = [&](TUniCheckListBox* box, const char* when) {
        SCOPED_TRACE(when);
        HWND handle = box->GetHandle();
        ASSERT_TRUE(IsWindowUnicode(handle));
        ASSERT_EQ(box->GetCount(), 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(WindowItem(handle, i), texts[i]) << i;
            EXPECT_EQ(box->GetItems()->GetObject(i), FakeData(i)) << i;
        }
        EXPECT_EQ(box->GetState(0), gcl::cbChecked);
        EXPECT_EQ(box->GetState(1), gcl::cbGrayed);
        EXPECT_EQ(box->GetState(2), gcl::cbChecked);
        EXPECT_FALSE(box->GetItemEnabled(2));
        EXPECT_TRUE(box->GetItemEnabled(1));
        EXPECT_TRUE(box->GetHeader(3));
        EXPECT_FALSE(box->GetHeader(4));
        EXPECT_EQ(box->GetState(4), gcl::cbUnchecked);
        EXPECT_EQ(box->GetItemIndex(), 4);
    };

    TUniCheckListBox* box = Make();
    fill(box);
    check(box, "first window");
    box->RecreateWnd();
    check(box, "recreated");
    // A style change re-creates the window too.
    box->SetMultiSelect(true);
    box->SetSelected(1, true);
    box->SetSelected(3, true);
    box->SetItemIndex(4);
    box->SetSorted(false);
    box->SetIntegralHeight(true);
    check(box, "multi-select");
    EXPECT_TRUE(box->GetSelected(1));
    EXPECT_TRUE(box->GetSelected(3));
    EXPECT_FALSE(box->GetSelected(0));

    // Without a window the wide texts stay readable, and items added
    // meanwhile reach the next window whole.
    box->SetParentWindow(nullptr);
    ASSERT_FALSE(box->HandleAllocated());
    EXPECT_EQ(box->GetItems()->Get(1), texts[1]);
    box->GetItems()->AddObject(W("新しい"), FakeData(5));
    box->SetChecked(5, true);
    box->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    EXPECT_EQ(WindowItem(box->GetHandle(), 5), W("新しい"));
    EXPECT_TRUE(box->GetChecked(5));
    box->GetItems()->Delete(5);
    check(box, "windowless");
    box->Free();

    // Items and states given before the first window.
    box = TUniCheckListBox::Create(nullptr);
    fill(box);
    box->SetParentWindow(static_cast<HWND>(FHost.Handle()));
    check(box, "made windowless");
    box->Free();
}

TEST_F(UniCheckLstTest, VirtualStylesTakeTheirTextsFromOnData) {
    TUniCheckListBox* box = Make();
    box->SetStyle(gcl::lbVirtual);
    box->SetCount(3);
    HWND handle = box->GetHandle();
    ASSERT_TRUE(IsWindowUnicode(handle));
    EXPECT_EQ(box->GetCount(), 3);

    // No OnData at all: LB_ERR.
    EXPECT_EQ(SendMessageW(handle, LB_GETTEXTLEN, 0, 0), LB_ERR);
    wchar_t buffer[32] = {};
    EXPECT_EQ(SendMessageW(handle, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), LB_ERR);

    // The 8-bit OnData of the class library, converted.
    box->gcl::TCustomListBox::OnData = &AnsiData;
    EXPECT_EQ(WindowItem(handle, 1), W("ansi æ1"));

    // The wide OnData: lengths in characters, the text whole.
    box->OnData = &WideData;
    EXPECT_EQ(SendMessageW(handle, LB_GETTEXTLEN, 2, 0), 4);
    EXPECT_EQ(WindowItem(handle, 2), W("项目 2"));
    EXPECT_EQ(box->GetItems()->Get(0), W("项目 0"));
    EXPECT_EQ(SendMessageW(handle, LB_GETTEXTLEN, 3, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(handle, LB_GETTEXTLEN, static_cast<WPARAM>(-1), 0), LB_ERR);
    // The class library's 8-bit reads get the converted text, never the
    // window's wide answer in their 8-bit buffer.
    EXPECT_EQ(box->gcl::TCustomListBox::GetItems()->Get(2), gcl::WideToAnsi(W("项目 2")));
    EXPECT_THROW(box->gcl::TCustomListBox::GetItems()->Get(3), gcl::EStringListError);

    // Without a window the wide texts come from OnData directly.
    box->SetParentWindow(nullptr);
    EXPECT_EQ(box->GetItems()->Get(1), W("项目 1"));
    EXPECT_THROW(box->GetItems()->Get(3), gcl::EStringListError);
    box->Free();

    // 9x: an 8-bit window, lengths in bytes of the layer's code page.
    gcl::TFixedOSVersion version(Windows98);
    gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
    LCID locale = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT));
    if (DefaultSystemCodePage == 936u) {
        box = Make();
        box->SetStyle(gcl::lbVirtualOwnerDraw);
        box->SetCount(2);
        box->OnData = &WideData;
        handle = box->GetHandle();
        EXPECT_FALSE(IsWindowUnicode(handle));
        const std::string expected = WideStringToStringEx(W("项目 1"), 936);
        EXPECT_EQ(SendMessageA(handle, LB_GETTEXTLEN, 1, 0), static_cast<LRESULT>(expected.size()));
        char bytes[32] = {};
        EXPECT_EQ(SendMessageA(handle, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(bytes)),
                  static_cast<LRESULT>(expected.size()));
        EXPECT_EQ(std::string(bytes), expected);
        EXPECT_EQ(box->GetItems()->Get(1), W("项目 1"));
        box->Free();
    }
    SetThreadLocale(locale);
}

TEST_F(UniCheckLstTest, DrawingPastTheItemsDrawsOnlyTheBackground) {
    TUniCheckListBox* box = Make();
    box->SetStyle(gcl::lbVirtual);
    box->SetCount(2);
    box->OnData = &WideData;
    GWideDataCalls = 0;
    DrawItemOf(box, 1);
    EXPECT_GT(GWideDataCalls, 0);
    GWideDataCalls = 0;
    DrawItemOf(box, 2);   // the item count
    EXPECT_EQ(GWideDataCalls, 0);
    box->Free();

    // A list with items: drawing the count index asks for no text.
    box = Make();
    box->GetItems()->Add(W("中文"));
    DrawItemOf(box, 0);
    EXPECT_NO_THROW(DrawItemOf(box, 1));
    box->Free();
}

TEST_F(UniCheckLstTest, CopySelectionAddItemAndWideProperties) {
    TUniCheckListBox* source = Make();
    source->AddItem(W("中文"), FakeData(0));
    source->AddItem("plain \xE6", FakeData(1));
    source->AddItem(W("Ελληνικά"), FakeData(2));
    EXPECT_EQ(source->GetItems()->Get(1), W("plain æ"));
    EXPECT_TRUE(gcl::Supports(source, IWideCustomListControl::IID));

    // A wide destination gets the wide texts.
    TUniCheckListBox* wide = Make();
    source->SetItemIndex(0);
    source->CopySelection(wide);
    ASSERT_EQ(wide->GetCount(), 1);
    EXPECT_EQ(wide->GetItems()->Get(0), W("中文"));
    EXPECT_EQ(wide->GetItems()->GetObject(0), FakeData(0));

    // An 8-bit one the converted texts; with MultiSelect every selected
    // item goes.
    gcl::TListBox* ansi = gcl::TListBox::Create(nullptr);
    source->SetMultiSelect(true);
    EXPECT_TRUE(source->GetSelected(0));   // the current item stays selected
    source->SetSelected(0, false);
    source->SetSelected(1, true);
    source->SetSelected(2, true);
    source->CopySelection(ansi);
    ASSERT_EQ(ansi->GetCount(), 2);
    EXPECT_EQ(ansi->GetItems()->Get(0), "plain \xE6");
    EXPECT_EQ(ansi->GetItems()->Get(1), gcl::WideToAnsi(W("Ελληνικά")));
    EXPECT_EQ(ansi->GetItems()->GetObject(1), FakeData(2));

    // The published Hint and Items are the wide ones.
    const gcl::TPropInfo* hint = gcl::GetPropInfo(source, "Hint");
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Kind(), gcl::tkWString);
    source->SetHint(W("提示|Ελληνικά"));
    EXPECT_EQ(source->GetHint(), W("提示|Ελληνικά"));
    EXPECT_EQ(gcl::GetPropValue(source, "Hint").AsWString(), W("提示|Ελληνικά"));
    const gcl::TPropInfo* items = gcl::GetPropInfo(source, "Items");
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items->PropClass(), TWideStrings::StaticClass());
    wide->SetItems(source->GetItems());
    EXPECT_EQ(wide->GetItems()->Get(2), W("Ελληνικά"));

    ansi->Free();
    wide->Free();
    source->Free();
}
