// The modeless find and replace dialogs over the system's own windows:
// what the buttons report, closing, keys through the application loop and
// freeing the component while the dialog is open.
#include <gtest/gtest.h>

#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {

class TFindLog : public TObject {
public:
    struct TEntry {
        std::string Event;
        std::string FindText;
        TFindOptions Options;
    };
    std::vector<TEntry> Entries;
    std::string ReplaceText;
    void Find(TObject* sender) { Add("find", sender); }
    void Replace(TObject* sender) {
        ReplaceText = static_cast<TReplaceDialog*>(sender)->GetReplaceText();
        Add("replace", sender);
    }
    void Close(TObject* sender) { Add("close", sender); }
    void Throw(TObject*) { throw EInvalidOperation("find handler failed"); }

private:
    void Add(const char* event, TObject* sender) {
        auto* dialog = static_cast<TFindDialog*>(sender);
        Entries.push_back({event, dialog->GetFindText(), dialog->GetOptions()});
    }
};

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class FindDialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }
    void SetUp() override { Owner = TComponent::Create(nullptr); }
    void TearDown() override {
        FreeAndNil(Owner);
        PumpApplication(20);
    }

    template <class T>
    T* NewDialog() {
        T* dialog = T::Create(Owner);
        dialog->OnFind = TNotifyEvent(&Log, &TFindLog::Find);
        dialog->OnClose = TNotifyEvent(&Log, &TFindLog::Close);
        return dialog;
    }

    TComponent* Owner = nullptr;
    TFindLog Log;
};

} // namespace

TEST_F(FindDialogsTest, FindDialogReportsItsTextAndOptionsAndCloses) {
    TFindDialog* dialog = NewDialog<TFindDialog>();
    dialog->SetFindText("needle");
    EXPECT_EQ(dialog->GetHandle(), nullptr);
    EXPECT_TRUE(dialog->Execute());
    HWND handle = dialog->GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    EXPECT_TRUE(IsWindowVisible(handle));
    char text[64] = {};
    GetDlgItemTextA(handle, edt1, text, sizeof text);
    EXPECT_STREQ(text, "needle");
    // A second Execute keeps the one window.
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->GetHandle(), handle);

    // The user edits the text, ticks match case and whole word, searches up.
    SetDlgItemTextA(handle, edt1, "Pin");
    CheckDlgButton(handle, chx1, BST_CHECKED);
    CheckDlgButton(handle, chx2, BST_CHECKED);
    CheckRadioButton(handle, rad1, rad2, rad1);
    Click(handle, IDOK);
    ASSERT_EQ(Log.Entries.size(), 1u);
    EXPECT_EQ(Log.Entries[0].Event, "find");
    EXPECT_EQ(Log.Entries[0].FindText, "Pin");
    EXPECT_EQ(Log.Entries[0].Options, (TFindOptions{frFindNext, frMatchCase, frWholeWord}));

    CheckRadioButton(handle, rad1, rad2, rad2);
    CheckDlgButton(handle, chx1, BST_UNCHECKED);
    Click(handle, IDOK);
    ASSERT_EQ(Log.Entries.size(), 2u);
    EXPECT_EQ(Log.Entries[1].Options, (TFindOptions{frDown, frFindNext, frMatchCase}));

    dialog->CloseDialog();
    EXPECT_EQ(dialog->GetHandle(), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    ASSERT_EQ(Log.Entries.size(), 3u);
    EXPECT_EQ(Log.Entries[2].Event, "close");

    // Shown again, it opens with what the user chose last.
    dialog->Execute();
    handle = dialog->GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    GetDlgItemTextA(handle, edt1, text, sizeof text);
    EXPECT_STREQ(text, "Pin");
    EXPECT_EQ(IsDlgButtonChecked(handle, chx2), static_cast<UINT>(BST_CHECKED));
    // The Cancel button closes it too.
    Click(handle, IDCANCEL);
    PumpApplication(200, [&] { return !IsWindow(handle); });
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(dialog->GetHandle(), nullptr);
    EXPECT_EQ(Log.Entries.back().Event, "close");
}

TEST_F(FindDialogsTest, ReplaceDialogReportsReplaceAndReplaceAll) {
    auto* dialog = NewDialog<TReplaceDialog>();
    dialog->OnReplace = TNotifyEvent(&Log, &TFindLog::Replace);
    dialog->SetFindText("old");
    dialog->SetReplaceText("new");
    dialog->Execute();
    HWND handle = dialog->GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    char text[64] = {};
    GetDlgItemTextA(handle, edt2, text, sizeof text);
    EXPECT_STREQ(text, "new");

    SetDlgItemTextA(handle, edt2, "newer");
    Click(handle, psh1);
    Click(handle, psh2);
    Click(handle, IDOK);
    ASSERT_EQ(Log.Entries.size(), 3u);
    EXPECT_EQ(Log.Entries[0].Event, "replace");
    EXPECT_TRUE(Log.Entries[0].Options.Contains(frReplace));
    EXPECT_FALSE(Log.Entries[0].Options.Contains(frReplaceAll));
    EXPECT_EQ(Log.Entries[1].Event, "replace");
    EXPECT_TRUE(Log.Entries[1].Options.Contains(frReplaceAll));
    EXPECT_EQ(Log.Entries[2].Event, "find");
    EXPECT_EQ(Log.ReplaceText, "newer");
    EXPECT_EQ(dialog->GetReplaceText(), "newer");
    EXPECT_EQ(Log.Entries[2].FindText, "old");
}

TEST_F(FindDialogsTest, EnterInTheDialogGoesThroughTheApplicationLoop) {
    TFindDialog* dialog = NewDialog<TFindDialog>();
    dialog->SetFindText("key");
    dialog->Execute();
    HWND edit = GetDlgItem(dialog->GetHandle(), edt1);
    ASSERT_NE(edit, nullptr);
    // Without IsDialogMessageA the edit would swallow the key; with it,
    // Enter presses the default button, Find Next.
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(PumpApplication(1000, [&] { return !Log.Entries.empty(); }));
    ASSERT_EQ(Log.Entries.size(), 1u);
    EXPECT_EQ(Log.Entries[0].FindText, "key");

    // Once the dialog is closed, the loop no longer routes to it.
    dialog->CloseDialog();
    HWND other = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    PostMessageA(other, WM_KEYDOWN, VK_RETURN, 1);
    PumpApplication(50);
    EXPECT_EQ(Log.Entries.size(), 2u);  // find, close
    DestroyWindow(other);
}

TEST_F(FindDialogsTest, FreeingTheComponentClosesTheDialogQuietly) {
    TFindDialog* dialog = NewDialog<TFindDialog>();
    dialog->SetFindText("gone");
    dialog->Execute();
    HWND handle = dialog->GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    dialog->Free();
    EXPECT_FALSE(IsWindow(handle));
    PumpApplication(50);
    EXPECT_TRUE(Log.Entries.empty());
}

TEST_F(FindDialogsTest, AnExceptionInAHandlerStopsAtTheFirewall) {
    TFindDialog* dialog = NewDialog<TFindDialog>();
    dialog->OnFind = TNotifyEvent(&Log, &TFindLog::Throw);
    std::vector<std::string> handled;
    struct TCatcher : TObject {
        std::vector<std::string>* Messages;
        void Catch(TObject*, Exception& e) { Messages->push_back(e.GetMessage()); }
    } catcher;
    catcher.Messages = &handled;
    Application->OnException = TExceptionEvent(&catcher, &TCatcher::Catch);
    dialog->SetFindText("boom");
    dialog->Execute();
    Click(dialog->GetHandle(), IDOK);
    Application->OnException = TExceptionEvent();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0], "find handler failed");
    EXPECT_TRUE(IsWindow(dialog->GetHandle()));
}
