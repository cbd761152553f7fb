// The main window's controls themselves: the extended edits and check list
// of the bars and panels with their wide text, and the caption bars of the
// two dockable panels.
#include "MainWindowTest.h"

#include "data/uDataMan.h"
#include "gcl/rtl/Strings.h"
#include "support/WindowTest.h"

namespace qelvo::test {
namespace {

class MainControls : public TMainWindowTest {
protected:
    // Characters as the keyboard delivers them to a Unicode window.
    static void Type(gcl::TWinControl* control, const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(control->GetHandle(), WM_CHAR, c, 1);
    }
    static void PressKey(gcl::TWinControl* control, WPARAM key) {
        SendMessageW(control->GetHandle(), WM_KEYDOWN, key, 1);
        SendMessageW(control->GetHandle(), WM_KEYUP, key, 0xC0000001);
    }
};

TEST_F(MainControls, TheEditsAndTheTagPickerAreExtendedControlsWithWideText) {
    TMainForm* form = OpenMainForm();
    // Unicode windows, each holding wide text.
    for (TQuickEdit* edit : {form->TopEdit, form->QuickEditTags, form->FolderTextE}) {
        EXPECT_TRUE(IsWindowUnicode(edit->GetHandle())) << edit->GetName();
        edit->SetText(L"Ωμέγα 中文");
        EXPECT_EQ(L"Ωμέγα 中文", edit->GetText()) << edit->GetName();
    }
    EXPECT_TRUE(IsWindowUnicode(form->QuickTagsList->GetHandle()));
    form->SetTopEditText("< new task >");
    EXPECT_EQ(L"< new task >", form->TopEdit->GetText());
    EXPECT_EQ("Arial", form->TopEdit->GetFont()->GetName());
    EXPECT_EQ(-15, form->TopEdit->GetFont()->GetHeight());
    CloseMainForm(form);
}

TEST_F(MainControls, GreekAndChineseTypedIntoTheQuickEntryBarReachTheTitle) {
    TMainForm* form = OpenMainForm();
    SelectTreeNode(form, "Work");
    form->TopEdit->SetFocus();
    EXPECT_EQ(L"", form->TopEdit->GetText());  // the placeholder went

    // The edit keeps every character typed, also those beyond the code page.
    const std::wstring title = L"Καλημέρα κόσμε 你好世界 Café";
    Type(form->TopEdit, L"+" + title);
    EXPECT_EQ(L"+" + title, form->TopEdit->GetText());

    // ";;" after wide text opens the date panel and leaves the text as it was.
    Type(form->TopEdit, L";;");
    EXPECT_TRUE(form->QuickDatePanel->GetVisible());
    EXPECT_EQ(L"+" + title, form->TopEdit->GetText());
    form->QCheckDate->SetChecked(false);
    form->QDateOkA->Execute();
    EXPECT_FALSE(form->QuickDatePanel->GetVisible());
    EXPECT_EQ(L"+" + title, form->TopEdit->GetText());

    // "[[" opens the tags panel; its tags go in front, the text stays.
    Type(form->TopEdit, L"[[");
    EXPECT_TRUE(form->QuickTagsPanel->GetVisible());
    form->QuickEditTags->SetText(L"mail, bank");
    form->QTagsOkA->Execute();
    EXPECT_EQ(L"+[mail,bank]" + title, form->TopEdit->GetText());
    // The priority submenu swaps the mark.
    TXtItem* low = TXtItem::Create(nullptr);
    low->SetTag(2);
    form->TxItem24Click(low);
    low->Free();
    EXPECT_EQ(L"-[mail,bank]" + title, form->TopEdit->GetText());

    PressKey(form->TopEdit, VK_RETURN);
    EXPECT_EQ(L"", form->TopEdit->GetText());
    // The title is the system code page's form of what was typed: exactly
    // those characters wherever the code page holds them.
    const std::string stored = gcl::WideToAnsi(title);
    TuTask* task = TaskOf(stored);
    ASSERT_NE(nullptr, task);
    EXPECT_EQ(0, task->Priority);
    EXPECT_EQ("mail,bank", std::string(task->Tags));
    EXPECT_EQ("Work", std::string(task->Folder));
    EXPECT_EQ(gcl::AnsiToWide(stored), gcl::AnsiToWide(std::string(task->Title)));
    EXPECT_NE(std::string::npos, std::string(task->Title).find("Caf\xE9"));
    TGvItem* item = ItemOf(form, stored);
    ASSERT_NE(nullptr, item);
    EXPECT_NE(std::wstring::npos, item->GetCaption().find(gcl::AnsiToWide(stored)));
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
