// A form whose edit, list box, check list box, menu and tree hold Chinese,
// Greek and Danish texts side by side: what the windows show, typing, and
// window re-creation. Saves mixed_script_form.bmp beside the test program.
#include "gcl/rtl/WinApi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/rtl/Strings.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "unicode/UniCheckLst.h"
#include "unicode/UniComCtrls.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniMenus.h"
#include "unicode/UniTestControls.h"
#include "support/StringHelpers.h"

using namespace qelvo;
using qelvo::test::TUniTestEdit;
using qelvo::test::TUniTestListBox;
using qelvo::test::WindowItem;

using qelvo::test::W;

namespace {

// One text per script; only the Danish one has an 8-bit form here.
const char* const kChinese = "购物清单";
const char* const kGreek = "Λίστα αγορών";
const char* const kDanish = "Indkøbsliste på dansk";

std::wstring WindowText(HWND handle) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
    wchar_t buffer[256] = {};
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = buffer;
    info.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    return buffer;
}

// The texts of every item of a tree window, depth first, expanded or not.
void TreeTexts(HWND tree, HTREEITEM item, std::vector<std::wstring>& out) {
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        out.push_back(TreeItemText(tree, item));
        TreeTexts(tree,
                  reinterpret_cast<HTREEITEM>(
                      SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
                  out);
    }
}

std::vector<std::wstring> TreeTexts(HWND tree) {
    std::vector<std::wstring> texts;
    TreeTexts(tree, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), texts);
    return texts;
}

std::wstring MenuText(HMENU menu, int position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, 128, MF_BYPOSITION);
    return buffer;
}

class TMixedScriptForm : public gcl::TForm {
    GCL_CLASS(TMixedScriptForm, gcl::TForm)
public:
    TUniTestEdit* Edit = nullptr;
    TUniTestListBox* List = nullptr;
    TUniCheckListBox* Checks = nullptr;
    TUniTreeView* Tree = nullptr;
    gcl::TMainMenu* Menu = nullptr;

protected:
    explicit TMixedScriptForm(gcl::TComponent* owner) : gcl::TForm(owner) {
        SetCaption("Mixed scripts");
        SetBounds(40, 40, 560, 330);
        // A face with linked fonts for every script (the default face is an
        // 8-bit bitmap face without them).
        GetFont()->SetName("Tahoma");
        Edit = TUniTestEdit::Create(this);
        Edit->SetBounds(10, 10, 250, 23);
        Edit->SetParent(this);
        List = TUniTestListBox::Create(this);
        List->SetBounds(10, 45, 250, 90);
        List->SetParent(this);
        Checks = TUniCheckListBox::Create(this);
        Checks->SetBounds(10, 145, 250, 110);
        Checks->SetParent(this);
        Tree = TUniTreeView::Create(this);
        Tree->SetBounds(275, 10, 260, 245);
        Tree->SetParent(this);
        Menu = gcl::TMainMenu::Create(this);
        for (const char* caption : {"&文件", "&Επεξεργασία", "&Hjælp"}) {
            TUniMenuItem* item = TUniMenuItem::Create(this);
            item->SetWideCaption(W(caption));
            Menu->GetItems()->Add(item);
        }
        SetMenu(Menu);
    }
};
GCL_IMPLEMENT_CLASS(TMixedScriptForm)

class UniMixedScriptFormTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        gcl::InitializeUnits({&gcl::FormsUnit, &gcl::StdCtrlsUnit, &gcl::ComCtrlsUnit, &gcl::CheckLstUnit,
                              &UniControlsUnit, &UniFormsUnit, &UniMenusUnit, &UniComCtrlsUnit, &UniCheckLstUnit, &gcl::CommonControlsUnit});
    }
    static void TearDownTestSuite() {
        gcl::FinalizeUnits({&gcl::FormsUnit, &gcl::StdCtrlsUnit, &gcl::ComCtrlsUnit, &gcl::CheckLstUnit,
                            &UniControlsUnit, &UniFormsUnit, &UniMenusUnit, &UniComCtrlsUnit, &UniCheckLstUnit, &gcl::CommonControlsUnit});
    }
};

} // namespace

TEST_F(UniMixedScriptFormTest, EveryControlHoldsEveryScript) {
    const std::vector<std::wstring> texts{W(kChinese), W(kGreek), W(kDanish)};
    TMixedScriptForm* form = TMixedScriptForm::Create(nullptr);
    form->Show();

    WideControlSetText(form->Edit, texts[0] + L" " + texts[1]);
    for (const std::wstring& text : texts) form->List->WideItems()->Add(text);
    for (const std::wstring& text : texts) form->Checks->GetItems()->Add(text);
    form->Checks->SetChecked(0, true);
    form->Checks->SetState(1, gcl::cbGrayed);
    form->Checks->SetItemEnabled(2, false);
    TUniTreeNodes* nodes = form->Tree->GetItems();
    TUniTreeNode* root = nodes->Add(nullptr, W("Alle lister"));
    for (const std::wstring& text : texts) nodes->AddChild(nodes->AddChild(root, text), text + L" 1");
    root->Expand(false);
    form->List->SetItemIndex(1);
    qelvo::test::PumpApplication(200);

    // The windows hold the wide texts, not their "?" forms.
    EXPECT_EQ(WindowText(form->Edit->GetHandle()), texts[0] + L" " + texts[1]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(WindowItem(form->List->GetHandle(), i), texts[static_cast<size_t>(i)]);
        EXPECT_EQ(WindowItem(form->Checks->GetHandle(), i), texts[static_cast<size_t>(i)]);
    }
    const std::vector<std::wstring> treeTexts{W("Alle lister"), texts[0], texts[0] + L" 1", texts[1],
                                              texts[1] + L" 1", texts[2], texts[2] + L" 1"};
    EXPECT_EQ(TreeTexts(form->Tree->GetHandle()), treeTexts);
    HMENU bar = GetMenu(form->GetHandle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuText(bar, 0), W("&文件"));
    EXPECT_EQ(MenuText(bar, 1), W("&Επεξεργασία"));
    EXPECT_EQ(MenuText(bar, 2), W("&Hjælp"));

    // A character above 255 typed into the edit, through the program's
    // message loop, arrives whole.
    SendMessageW(form->Edit->GetHandle(), EM_SETSEL, 0x7FFF, 0x7FFF);
    for (wchar_t c : {L'\x4E2D', L'\x03A9', L'\x00E6'}) PostMessageW(form->Edit->GetHandle(), WM_CHAR, c, 1);
    const std::wstring typed = texts[0] + L" " + texts[1] + L"\x4E2D\x03A9\x00E6";
    qelvo::test::PumpApplication(200, [&] { return WindowText(form->Edit->GetHandle()) == typed; });
    EXPECT_EQ(WindowText(form->Edit->GetHandle()), typed);
    EXPECT_EQ(WideControlGetText(form->Edit), typed);

    SetWindowPos(form->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(form->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    qelvo::test::PumpApplication(200);
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(form->GetHandle(), "mixed_script_form.bmp"), 200);

    // New windows for the tree (collapsed nodes included) and the check
    // list box keep every text and state.
    root->Collapse(true);
    form->Tree->RecreateWnd();
    form->Checks->RecreateWnd();
    form->Tree->HandleNeeded();
    form->Checks->HandleNeeded();
    EXPECT_EQ(TreeTexts(form->Tree->GetHandle()), treeTexts);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(WindowItem(form->Checks->GetHandle(), i), texts[static_cast<size_t>(i)]);
    EXPECT_TRUE(form->Checks->GetChecked(0));
    EXPECT_EQ(form->Checks->GetState(1), gcl::cbGrayed);
    EXPECT_FALSE(form->Checks->GetItemEnabled(2));
    form->Free();
}
