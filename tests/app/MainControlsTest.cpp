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

TEST_F(MainControls, GreekAndChineseTypedIntoTheQuickEntryBarStayUntilTheTitleCanHoldThem) {
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

    // Characters the saved file cannot hold: the user is told, no task is
    // made and the edit keeps what was typed.
    const int tasks = Database->Tasks->GetCount();
    Dialogs.ExpectMessage("cannot save", IDOK);
    PressKey(form->TopEdit, VK_RETURN);
    EXPECT_EQ(tasks, Database->Tasks->GetCount());
    EXPECT_EQ(L"-[mail,bank]" + title, form->TopEdit->GetText());
    // Written with what the code page holds, the task goes in as typed.
    const std::wstring kept = L"Kalimera Caf\u00e9 \u20ac5";
    form->TopEdit->SetText(L"-[mail,bank]" + kept);
    PressKey(form->TopEdit, VK_RETURN);
    EXPECT_EQ(L"", form->TopEdit->GetText());
    const std::string stored = gcl::WideToAnsi(kept);
    TuTask* task = TaskOf(stored);
    ASSERT_NE(nullptr, task);
    EXPECT_EQ(0, task->Priority);
    EXPECT_EQ("mail,bank", std::string(task->Tags));
    EXPECT_EQ("Work", std::string(task->Folder));
    EXPECT_EQ(kept, gcl::AnsiToWide(std::string(task->Title)));
    EXPECT_NE(std::string::npos, std::string(task->Title).find("Caf\xE9"));
    TGvItem* item = ItemOf(form, stored);
    ASSERT_NE(nullptr, item);
    EXPECT_NE(std::wstring::npos, item->GetCaption().find(gcl::AnsiToWide(stored)));
    CloseMainForm(form);
}

// The commands of the window with the captions and shortcuts users see in
// the menus, and the tray icon's menu in its order.
TEST_F(MainControls, CommandsCarryTheirCaptionsAndShortcutsAndTheTrayMenuItsOrder) {
    TMainForm* form = OpenMainForm();
    using gcl::ssAlt;
    using gcl::ssCtrl;
    using gcl::ssShift;
    struct TExpected {
        const char* Name;
        const wchar_t* Caption;
        unsigned short Key;
        gcl::TShiftState Shift;
    };
    const TExpected expected[] = {
        {"OpenM", L"Open...", 0, {}},
        {"SaveAsM", L"Save as...", 0, {}},
        {"SaveM", L"Save", 'S', {ssCtrl}},
        {"SetAsDefaultM", L"Set as default database", 0, {}},
        {"CreateNewDbM", L"Clear database...", 0, {}},
        {"ExitWSM", L"Exit without saving", 'X', {ssCtrl, ssShift}},
        {"ExitM", L"Exit and save", 'Q', {ssCtrl}},
        {"OptionsA", L"Options...", 0, {}},
        {"ViewTodayTasksM", L"View Today tasks", 0, {}},
        {"AboutM", L"About...", 0, {}},
        {"HelpM", L"Online help...", 0, {}},
        {"ContactM", L"Contact Us", 0, {}},
        {"VisitHomeM", L"Visit our homepage", 0, {}},
        {"DelTaskA", L"Delete", 0, {}},
        {"EditNoteA", L"Edit Note", 0, {}},
        {"DateGroupA", L"Date", 'D', {ssAlt}},
        {"PriorityGroupA", L"Priority", 'P', {ssAlt}},
        {"TagsGroupA", L"Tags", 'T', {ssAlt}},
        {"FoldersGroupA", L"List", 'L', {ssAlt}},
        {"NoGroupA", L"Nothing", 'N', {ssAlt}},
        {"CountItemsM", L"Count Items", 0, {}},
        {"ClearTopEditA", L"Clear", 0, {}},
        {"AddItemA", L"Add task to list", 0, {}},
        {"FindM", L"Find", 'F', {ssCtrl}},
        {"NewTaskM", L"New task", 'N', {ssCtrl}},
        {"HideDoneA", L"Hide Done", 'D', {ssCtrl}},
        {"FDate0A", L"Without date set", '0', {ssCtrl}},
        {"FDate1A", L"Today", '1', {ssCtrl}},
        {"FDate2A", L"Tomorrow", '2', {ssCtrl}},
        {"FDate3A", L"Yesterday", '3', {ssCtrl}},
        {"FDate4A", L"This Week", '4', {ssCtrl}},
        {"FDate5A", L"This Month", '5', {ssCtrl}},
        {"FDate6A", L"Next Week", '6', {ssCtrl}},
        {"FDate7A", L"Next 5 days", '7', {ssCtrl}},
        {"FDate8A", L"Next 10 days", '8', {ssCtrl}},
        {"FDate9A", L"Last 10 days", '9', {ssCtrl}},
        {"FDate11A", L"Next 30 days", 0, {}},
        {"FDate12A", L"Last Week", 0, {}},
        {"FDate13A", L"Next 3 days", 0, {}},
        {"FDate14A", L"Next Month", 0, {}},
        {"FDateAll", L"All dates", 'A', {ssCtrl}},
        {"FOverdueA", L"Overdue", 'O', {ssCtrl}},
        {"NewListTagM", L"New List", 'N', {ssCtrl, ssShift}},
        {"EditFolderIconA", L"Change icon", 'I', {ssCtrl}},
        {"MakeStickyNoteA", L"Make Sticky Note", 'K', {ssCtrl}},
        {"ShowAllSA", L"Show All", 0, {}},
        {"CloseAllSA", L"Close All", 0, {}},
        {"ShowGroupByPanM", L"Show Group By panel", 0, {}},
        {"ShowFiltersPanM", L"Show Filters panel", 0, {}},
        {"ShowTagsColM", L"Show Tags column", 0, {}},
        {"ShowDueDateColM", L"Show Due Date column", 0, {}},
        {"PrintM", L"Print...", 0, {}},
        {"ExportToTextM", L"Export to text", 0, {}},
        {"ExportToHTMLM", L"Export to HTML", 0, {}},
        {"ExportToPdM", L"Export to Pendrillax database", 0, {}},
    };
    for (const TExpected& e : expected) {
        auto* action = dynamic_cast<TMainAction*>(form->FindComponent(e.Name));
        ASSERT_NE(nullptr, action) << e.Name;
        EXPECT_EQ(std::wstring(e.Caption), action->GetCaption()) << e.Name;
        EXPECT_EQ(e.Key ? gcl::ShortCut(e.Key, e.Shift) : gcl::TShortCut(0), action->GetShortCut()) << e.Name;
    }
    EXPECT_EQ(gcl::ShortCut('L', {ssCtrl}), form->FFolderA->GetShortCut());
    EXPECT_EQ(gcl::ShortCut('P', {ssCtrl}), form->FPriorityA->GetShortCut());
    EXPECT_EQ(gcl::ShortCut('Z', {ssAlt}), form->MinRestoreNoteA->GetShortCut());

    // The tray icon's menu, in order.
    TBarCustomItem* tray = form->TrayMenu->GetItems();
    const gcl::TBasicAction* trayOrder[] = {form->NewTaskM, form->ViewTodayTasksM, nullptr, form->HelpM,
                                            nullptr,        form->ExitWSM,         form->ExitM};
    ASSERT_EQ(static_cast<int>(std::size(trayOrder)), tray->GetCount());
    for (int i = 0; i < tray->GetCount(); ++i) {
        TBarCustomItem* item = tray->GetItem(i);
        if (!trayOrder[i])
            EXPECT_TRUE(item->InheritsFrom(TBarSeparatorItem::StaticClass())) << i;
        else
            EXPECT_EQ(trayOrder[i], item->GetAction()) << i;
    }
    // The File menu's Minimize/Restore item (no action).
    EXPECT_EQ(L"Minimize/Restore          Shift+Ctrl+O", form->TxItem76->GetCaption());
    EXPECT_GE(form->FileMenu->IndexOf(form->TxItem76), 0);
    // Make Sticky Note in the Tools menu, Show All and Close All in its
    // "Sticky Notes" submenu.
    EXPECT_EQ(L"Sticky Notes", form->StickyNotesMenu->GetCaption());
    EXPECT_GE(form->ToolsMenu->IndexOf(form->StickyNotesMenu), 0);
    ASSERT_EQ(2, form->StickyNotesMenu->GetCount());
    EXPECT_EQ(form->ShowAllSA, form->StickyNotesMenu->GetItem(0)->GetAction());
    EXPECT_EQ(form->CloseAllSA, form->StickyNotesMenu->GetItem(1)->GetAction());
    bool makeInTools = false;
    for (int i = 0; i < form->ToolsMenu->GetCount(); ++i)
        makeInTools = makeInTools || form->ToolsMenu->GetItem(i)->GetAction() == form->MakeStickyNoteA;
    EXPECT_TRUE(makeInTools);
    CloseMainForm(form);
}

TEST_F(MainControls, TheQuickEntryBarSpansItsRowAndTheEditFollowsItsWidth) {
    TMainForm* form = OpenMainForm();
    for (int width : {1000, 700}) {
        form->SetBounds(0, 0, width, 600);
        PumpMessages(50);
        EXPECT_EQ(form->TopDock->GetClientWidth(), form->TopPanel->GetWidth()) << width;
        EXPECT_EQ(form->TopPanel->GetWidth() - 173, form->TopEdit->GetWidth()) << width;
    }
    // The mode buttons show their captions.
    EXPECT_EQ(nbdmImageAndText, form->tBtn1->GetDisplayMode());
    EXPECT_EQ(nbdmImageAndText, form->tBtn2->GetDisplayMode());
    // The "< New List >" link fills the strip under the tree.
    EXPECT_GE(form->NewFTLbl->GetWidth(), form->XtPanel1->GetClientWidth() - 8);
    CloseMainForm(form);
}

TEST_F(MainControls, TheSidePanelsTitleBarHoldsOnlyItsTabs) {
    TMainForm* form = OpenMainForm();
    TXtDockablePanelButtonOptions* options = form->OrgPanel->GetOptions();
    EXPECT_EQ(30, options->GetTitleBarSize());
    // No caption text, no close, minimise or maximise button: the tabs
    // are the first things on the bar.
    for (TXtItem* button : {options->GetCloseButton(), options->GetMinimizeButton(), options->GetMaximizeButton()})
        EXPECT_TRUE(!button || !button->GetVisible());
    EXPECT_TRUE(!options->GetCaptionLabel() || !options->GetCaptionLabel()->GetVisible());
    std::vector<TBarCustomItem*> shown;
    TBarCustomItem* items = form->OrgPanel->GetItems();
    for (int i = 0; i < items->GetCount(); ++i)
        if (items->GetItem(i)->GetVisible()) shown.push_back(items->GetItem(i));
    ASSERT_EQ(2u, shown.size());
    EXPECT_EQ(form->FoldersTab, shown[0]);
    EXPECT_EQ(form->TagsTab, shown[1]);
    EXPECT_EQ(L"Todo Lists", form->FoldersTab->GetCaption());
    EXPECT_EQ(L"Tags", form->TagsTab->GetCaption());
    // The tabs start at the bar's left edge.
    TXtDockablePanelToolbar* bar = form->OrgPanel->GetCaptionToolbar();
    TBarItemViewer* first = bar->GetView()->Find(form->FoldersTab);
    ASSERT_NE(nullptr, first);
    EXPECT_LT(first->BoundsRect.Left, 8);
    CloseMainForm(form);
}

TEST_F(MainControls, TheNotePanelOnlyMinimisesWithItsOwnImages) {
    TMainForm* form = OpenMainForm();
    TXtDockablePanel* panel = form->NoteEdit;
    TXtDockablePanelButtonOptions* options = panel->GetOptions();
    EXPECT_EQ(dmCannotFloat, panel->GetDockMode());
    EXPECT_EQ(form->Others16, panel->GetImages());
    EXPECT_TRUE(!options->GetCloseButton() || !options->GetCloseButton()->GetVisible());
    EXPECT_TRUE(!options->GetMaximizeButton() || !options->GetMaximizeButton()->GetVisible());
    TXtItem* minimize = options->GetMinimizeButton();
    ASSERT_NE(nullptr, minimize);
    EXPECT_TRUE(minimize->GetVisible());
    EXPECT_EQ(NoteMinimizeImage, minimize->GetImageIndex());
    EXPECT_EQ(L"Note", panel->GetCaption());
    EXPECT_TRUE(options->GetCaptionLabel()->GetVisible());

    // The caption bar stands above the editor, which fills the rest (the
    // editor's window is made once a task is chosen).
    gcl::TWinControl* caption = panel->GetCaptionDock();
    EXPECT_TRUE(caption->GetVisible());
    EXPECT_GT(caption->GetHeight(), 0);
    SelectTasks(form, {"Pay rent"});
    ASSERT_TRUE(form->NoteEditorMade());
    EXPECT_GE(form->RichEdit1->GetTop(), caption->GetTop() + caption->GetHeight());
    RECT editRect, captionRect;
    GetWindowRect(form->RichEdit1->GetHandle(), &editRect);
    GetWindowRect(caption->GetHandle(), &captionRect);
    EXPECT_GE(editRect.top, captionRect.bottom);

    // The button minimises the panel to its caption bar and shows the
    // restore image; a second click brings the height back.
    const int height = panel->GetHeight();
    minimize->Click();
    EXPECT_TRUE(panel->IsMinimized());
    EXPECT_LT(panel->GetHeight(), height);
    EXPECT_EQ(NoteRestoreImage, minimize->GetImageIndex());
    minimize->Click();
    EXPECT_FALSE(panel->IsMinimized());
    EXPECT_EQ(height, panel->GetHeight());
    EXPECT_EQ(NoteMinimizeImage, minimize->GetImageIndex());
    // Alt+Z does the same.
    form->MinRestoreNoteA->Execute();
    EXPECT_TRUE(panel->IsMinimized());
    EXPECT_EQ(NoteRestoreImage, minimize->GetImageIndex());
    form->MinRestoreNoteA->Execute();
    EXPECT_FALSE(panel->IsMinimized());
    CloseMainForm(form);
}

// The note editor's window is made when first needed; until then a
// windowless stand-in holds its place, and every way to the editor makes it
// first: a task chosen, a button pressed over its place, Tab.
TEST_F(MainControls, TheNoteEditorIsMadeInItsStandInsPlaceWhenFirstNeeded) {
    TMainForm* form = OpenMainForm();
    ASSERT_FALSE(form->NoteEditorMade());
    EXPECT_FALSE(form->RichEdit1->HandleAllocated());
    ASSERT_TRUE(form->NoteStandIn->GetVisible());
    // The stand-in fills what the caption bar leaves of the panel.
    gcl::TWinControl* caption = form->NoteEdit->GetCaptionDock();
    const gcl::TRect place = form->NoteStandIn->GetBoundsRect();
    EXPECT_EQ(caption->GetTop() + caption->GetHeight(), place.Top);
    EXPECT_EQ(form->NoteEdit->GetClientHeight(), place.Bottom);
    EXPECT_EQ(form->NoteEdit->GetClientWidth(), place.Right - place.Left);
    EXPECT_EQ(gcl::crIBeam, form->NoteStandIn->GetCursor());
    // No task chosen keeps it so; a task chosen shows its note in the
    // editor, made where the stand-in stood, which goes.
    form->ShowNote(nullptr);
    EXPECT_FALSE(form->NoteEditorMade());
    SelectTasks(form, {"Pay rent"});
    ASSERT_TRUE(form->NoteEditorMade());
    ASSERT_TRUE(form->RichEdit1->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(form->RichEdit1->GetHandle()));
    EXPECT_FALSE(form->NoteStandIn->GetVisible());
    EXPECT_EQ(place, form->RichEdit1->GetBoundsRect());
    EXPECT_FALSE(form->RichEdit1->GetReadOnly());
    EXPECT_EQ("No note - Pay rent", gcl::TControlSeam::GetText(form->NoteEdit));
    // Nothing chosen again: the editor stays, empty and read-only.
    SelectTasks(form, {});
    EXPECT_TRUE(form->NoteEditorMade());
    EXPECT_EQ("", form->RichEdit1->GetText());
    EXPECT_TRUE(form->RichEdit1->GetReadOnly());
    CloseMainForm(form);

    // A press of the left button over the place: the editor is made there
    // and takes the press, and with it the keyboard.
    form = OpenMainForm();
    ASSERT_FALSE(form->NoteEditorMade());
    form->List->SetFocus();
    const gcl::TRect at = form->NoteStandIn->GetBoundsRect();
    const LPARAM middle = MAKELPARAM((at.Left + at.Right) / 2, (at.Top + at.Bottom) / 2);
    SendMessageA(form->NoteEdit->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    ASSERT_TRUE(form->NoteEditorMade());
    ASSERT_TRUE(form->RichEdit1->HandleAllocated());
    SendMessageA(form->RichEdit1->GetHandle(), WM_LBUTTONUP, 0, middle);
    EXPECT_EQ(form->RichEdit1->GetHandle(), GetFocus());
    EXPECT_FALSE(form->NoteStandIn->GetVisible());
    EXPECT_TRUE(form->RichEdit1->GetReadOnly());
    CloseMainForm(form);

    // Tab from the task list, nothing chosen: the editor is made before the
    // keyboard moves on, so the move counts it as before.
    form = OpenMainForm();
    ASSERT_FALSE(form->NoteEditorMade());
    form->List->SetFocus();
    form->List->Perform(gcl::CN_KEYDOWN, VK_TAB, 1);
    EXPECT_TRUE(form->NoteEditorMade());
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
