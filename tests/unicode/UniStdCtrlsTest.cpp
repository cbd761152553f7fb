// Wide edit routines (selection and password character, on NT and on the
// 9x branch) and the wide item list of a Unicode list box.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "support/WindowTest.h"
#include "unicode/UniControls.h"
#include "unicode/UniStdCtrls.h"
#include "unicode/UniSystem.h"
#include "unicode/UniTestControls.h"
#include "unicode/UniTestSupport.h"

using namespace qelvo;

using qelvo::test::W;
using qelvo::test::Windows98;

namespace {

// The 9x family with a Chinese thread locale: the layer's code page is
// 936, where most characters take two bytes.
class ChineseWin9x {
public:
    ChineseWin9x() : FVersion(Windows98), FUse(gcl::OSVersion, FVersion), FLocale(GetThreadLocale()) {
        SetThreadLocale(MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT));
    }
    ~ChineseWin9x() { SetThreadLocale(FLocale); }

private:
    gcl::TFixedOSVersion FVersion;
    gcl::ServiceOverride<gcl::IOSVersion> FUse;
    LCID FLocale;
};

} // namespace

namespace qelvo::test {
GCL_IMPLEMENT_CLASS(TUniTestEdit)
GCL_IMPLEMENT_CLASS(TUniTestListBox)
} // namespace qelvo::test

using qelvo::test::TUniTestEdit;
using qelvo::test::TUniTestListBox;
using qelvo::test::WindowItem;

class UniStdCtrlsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::FormsUnit.Initialize();
        UniControlsUnit.Initialize();
    }
    static void TearDownTestSuite() {
        UniControlsUnit.Finalize();
        gcl::FormsUnit.Finalize();
    }

    template <class T>
    T* Make() {
        T* control = T::Create(nullptr);
        control->SetParentWindow(static_cast<HWND>(FHost.Handle()));
        return control;
    }

    qelvo::test::HiddenTestWindow FHost;
};

TEST_F(UniStdCtrlsTest, SelectionCountsWideCharactersOnNT) {
    TUniTestEdit* edit = Make<TUniTestEdit>();
    const std::wstring text = W("Ελλ中文 æbc");
    WideControlSetText(edit, text);
    HWND handle = edit->GetHandle();
    ASSERT_TRUE(IsWindowUnicode(handle));

    WideEditSetSelStart(edit, 2);
    WideEditSetSelLength(edit, 4);
    DWORD start = 0, end = 0;
    SendMessageW(handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(end, 6u);
    EXPECT_EQ(WideEditGetSelStart(edit), 2);
    EXPECT_EQ(WideEditGetSelLength(edit), 4);
    EXPECT_EQ(WideEditGetSelText(edit), W("λ中文 "));

    // A selection past the end is cut by the window; no text is empty.
    WideEditSetSelStart(edit, 100);
    EXPECT_EQ(WideEditGetSelText(edit), L"");
    edit->Free();
}

TEST_F(UniStdCtrlsTest, SelectionOnThe9xBranchConvertsBytePositions) {
    ChineseWin9x win9x;
    if (DefaultSystemCodePage != 936u) GTEST_SKIP() << "no Chinese code page";
    TUniTestEdit* edit = Make<TUniTestEdit>();
    const std::wstring text = W("aΩ中b文c");
    edit->SetText(WideStringToStringEx(text, 936));   // 9 bytes for 6 characters
    ASSERT_FALSE(IsWindowUnicode(edit->GetHandle()));

    // Two characters in ("aΩ") are three bytes in; "中b" is three bytes.
    WideEditSetSelStart(edit, 2);
    WideEditSetSelLength(edit, 2);
    EXPECT_EQ(edit->gcl::TCustomEdit::GetSelStart(), 3);
    EXPECT_EQ(edit->gcl::TCustomEdit::GetSelLength(), 3);
    EXPECT_EQ(WideEditGetSelStart(edit), 2);
    EXPECT_EQ(WideEditGetSelLength(edit), 2);
    EXPECT_EQ(WideEditGetSelText(edit), W("中b"));

    // To the end, and beyond it: the conversions clamp.
    WideEditSetSelStart(edit, 4);
    WideEditSetSelLength(edit, 50);
    EXPECT_EQ(edit->gcl::TCustomEdit::GetSelStart(), 6);
    EXPECT_EQ(WideEditGetSelText(edit), W("文c"));
    EXPECT_EQ(WideEditGetSelLength(edit), 2);
    edit->Free();
}

TEST_F(UniStdCtrlsTest, PasswordCharAbove255) {
    const wchar_t bullet = 0x25CF;
    {
        TUniTestEdit* edit = Make<TUniTestEdit>();
        HWND handle = edit->GetHandle();
        WideEditSetPasswordChar(edit, edit->WidePasswordChar, bullet);
        EXPECT_EQ(edit->GetPasswordChar(), '*');
        EXPECT_EQ(SendMessageW(handle, EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>(bullet));
        EXPECT_EQ(WideEditGetPasswordChar(edit, edit->WidePasswordChar), bullet);

        // A new window gets the wide character again.
        edit->RecreateWnd();
        handle = edit->GetHandle();
        EXPECT_EQ(SendMessageW(handle, EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>(bullet));

        // 8-bit code that changes the character wins.
        edit->SetPasswordChar('#');
        EXPECT_EQ(WideEditGetPasswordChar(edit, edit->WidePasswordChar), L'#');
        EXPECT_EQ(SendMessageW(handle, EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>('#'));
        WideEditSetPasswordChar(edit, edit->WidePasswordChar, L'x');
        EXPECT_EQ(edit->GetPasswordChar(), 'x');
        EXPECT_EQ(SendMessageW(handle, EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>('x'));
        edit->Free();
    }
    {
        // Given before the window exists.
        TUniTestEdit* edit = TUniTestEdit::Create(nullptr);
        WideEditSetPasswordChar(edit, edit->WidePasswordChar, bullet);
        EXPECT_EQ(edit->GetPasswordChar(), '*');
        edit->SetParentWindow(static_cast<HWND>(FHost.Handle()));
        EXPECT_EQ(SendMessageW(edit->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>(bullet));
        edit->Free();
    }
    {
        // 9x: the 8-bit window shows the mapping, also when it changes
        // while the window exists.
        gcl::TFixedOSVersion version(Windows98);
        gcl::ServiceOverride<gcl::IOSVersion> use(gcl::OSVersion, version);
        TUniTestEdit* edit = Make<TUniTestEdit>();
        WideEditSetPasswordChar(edit, edit->WidePasswordChar, bullet);
        EXPECT_EQ(SendMessageA(edit->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), static_cast<LRESULT>('*'));
        EXPECT_EQ(WideEditGetPasswordChar(edit, edit->WidePasswordChar), bullet);
        edit->Free();
    }
}

TEST_F(UniStdCtrlsTest, ListBoxStringsOnAUnicodeWindow) {
    TUniTestListBox* box = Make<TUniTestListBox>();
    TUniListBoxStrings* items = box->WideItems();
    HWND handle = box->GetHandle();
    ASSERT_TRUE(IsWindowUnicode(handle));
    // Item data is never looked at: any values do.
    gcl::TObject* data[4];
    for (int i = 0; i < 4; ++i) data[i] = reinterpret_cast<gcl::TObject*>(static_cast<uintptr_t>(0x1000 + 16 * i));

    const std::wstring chinese = W("中文"), greek = W("Ελληνικά"), danish = W("Dansk æøå");
    EXPECT_EQ(items->AddObject(chinese, data[0]), 0);
    EXPECT_EQ(items->AddObject(greek, data[1]), 1);
    items->InsertObject(1, danish, data[2]);
    items->AddObject(L"plain", data[3]);
    ASSERT_EQ(items->GetCount(), 4);
    EXPECT_EQ(items->Get(0), chinese);
    EXPECT_EQ(items->Get(1), danish);
    EXPECT_EQ(WindowItem(handle, 2), greek);
    EXPECT_EQ(items->GetObject(2), data[1]);
    EXPECT_EQ(items->IndexOf(greek), 2);
    EXPECT_EQ(items->IndexOf(L"PLAIN"), 3);
    EXPECT_EQ(items->IndexOf(W("文中")), -1);
    EXPECT_THROW(items->Get(4), gcl::EStringListError);

    // Put keeps the item's data and the current item.
    box->SetItemIndex(1);
    items->Put(1, W("Æblegrød"));
    EXPECT_EQ(WindowItem(handle, 1), W("Æblegrød"));
    EXPECT_EQ(items->GetObject(1), data[2]);
    EXPECT_EQ(box->GetItemIndex(), 1);

    // Exchange and Move take texts and data along; the current item
    // follows its item.
    items->Exchange(1, 3);   // 中文, plain, Ελληνικά, Æblegrød
    EXPECT_EQ(items->Get(1), L"plain");
    EXPECT_EQ(items->Get(3), W("Æblegrød"));
    EXPECT_EQ(items->GetObject(1), data[3]);
    EXPECT_EQ(items->GetObject(3), data[2]);
    EXPECT_EQ(box->GetItemIndex(), 3);
    items->Move(3, 0);       // Æblegrød, 中文, plain, Ελληνικά
    EXPECT_EQ(items->Get(0), W("Æblegrød"));
    EXPECT_EQ(items->Get(1), chinese);
    EXPECT_EQ(items->GetObject(0), data[2]);
    EXPECT_EQ(items->GetObject(1), data[0]);
    EXPECT_EQ(box->GetItemIndex(), 0);
    items->Move(1, 3);       // Æblegrød, plain, Ελληνικά, 中文
    EXPECT_EQ(items->Get(3), chinese);
    EXPECT_EQ(items->GetObject(3), data[0]);
    EXPECT_EQ(box->GetItemIndex(), 0);

    items->Delete(0);
    EXPECT_EQ(items->GetCount(), 3);
    items->Clear();
    EXPECT_EQ(SendMessageW(handle, LB_GETCOUNT, 0, 0), 0);
    box->Free();
}

TEST_F(UniStdCtrlsTest, ListBoxStringsWithoutAWindowAndOn9x) {
    {
        // NT, no window yet: the wide texts are kept beside the 8-bit ones.
        TUniTestListBox* box = TUniTestListBox::Create(nullptr);
        TUniListBoxStrings* items = box->WideItems();
        items->Add(W("中文"));
        items->Add(W("Ελληνικά"));
        items->Insert(0, W("æøå"));
        EXPECT_EQ(box->gcl::TListBox::GetItems()->Get(1), "??");
        EXPECT_EQ(items->Get(0), W("æøå"));
        EXPECT_EQ(items->Get(1), W("中文"));
        EXPECT_EQ(items->Get(2), W("Ελληνικά"));
        EXPECT_EQ(items->IndexOf(W("ελληνικά")), 2);
        items->Exchange(0, 2);
        EXPECT_EQ(items->Get(0), W("Ελληνικά"));
        EXPECT_EQ(items->Get(2), W("æøå"));
        // 8-bit code that replaces an item wins over the kept text.
        box->gcl::TListBox::GetItems()->Put(0, "eight");
        EXPECT_EQ(items->Get(0), L"eight");
        items->Delete(0);
        EXPECT_EQ(items->Get(0), W("中文"));
        box->Free();
    }
    {
        ChineseWin9x win9x;
        if (DefaultSystemCodePage != 936u) GTEST_SKIP() << "no Chinese code page";
        TUniTestListBox* box = Make<TUniTestListBox>();
        TUniListBoxStrings* items = box->WideItems();
        ASSERT_FALSE(IsWindowUnicode(box->GetHandle()));
        items->Add(W("中文"));
        items->Add(L"abc");
        EXPECT_EQ(box->gcl::TListBox::GetItems()->Get(0), WideStringToStringEx(W("中文"), 936));
        EXPECT_EQ(items->Get(0), W("中文"));
        EXPECT_EQ(items->IndexOf(L"ABC"), 1);
        items->Put(0, W("汉字"));
        EXPECT_EQ(items->Get(0), W("汉字"));
        box->Free();
    }
}
