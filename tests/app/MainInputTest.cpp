// The main window driven by mouse and key messages: the hot zones of the
// task list with their cursor and click actions, the quick date and tags
// panels with their keys (also opened by ";;" and "[[" in the quick-entry
// bar), the icon chooser of a list, and tasks dragged between groups and
// onto the side tree.
#include "MainWindowTest.h"

#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"
#include "listview/LvDataObject.h"
#include "support/ApplicationTest.h"
#include "support/WindowTest.h"
#include "toolbar/MenuScript.h"

namespace qelvo::test {
namespace {

class MainInput : public TMainWindowTest {
protected:
    TMainForm* Open() {
        TMainForm* form = OpenMainForm();
        form->SetBounds(0, 0, 1000, 680);
        // Hit testing sees every window of the desktop: stay on top.
        SetWindowPos(form->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PumpMessages(50);
        return form;
    }
    // The list's client point Dx pixels right of the left edge of column
    // Column, halfway down the row of the task Title.
    static gcl::TPoint ItemPoint(TMainForm* form, const std::string& title, int column, int dx) {
        TGvItem* item = ItemOf(form, title);
        EXPECT_NE(nullptr, item) << title;
        if (!item) return gcl::TPoint{};
        const gcl::TRect row = item->GetDisplayRect();
        const gcl::TRect col = form->List->GetHeader()->GetColumns()->GetColumns(column)->GetDisplayRect();
        return form->List->GetScrollbars()->MapViewToWindow(gcl::TPoint{col.Left + dx, (row.Top + row.Bottom) / 2});
    }
    static void CursorTo(gcl::TWinControl* control, gcl::TPoint at) {
        const gcl::TPoint screen = control->ClientToScreen(at);
        SetCursorPos(screen.X, screen.Y);
    }
    static void Move(gcl::TWinControl* control, gcl::TPoint at, WPARAM keys = 0) {
        CursorTo(control, at);
        SendMessageA(control->GetHandle(), WM_MOUSEMOVE, keys, MAKELPARAM(at.X, at.Y));
    }
    // The mouse moves to the point, then the left button goes down and up.
    static void Click(gcl::TWinControl* control, gcl::TPoint at, WPARAM keys = 0) {
        Move(control, at, keys);
        SendMessageA(control->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(at.X, at.Y));
        SendMessageA(control->GetHandle(), WM_LBUTTONUP, keys, MAKELPARAM(at.X, at.Y));
    }
    // The cursor the control shows at a point: the mouse moves there, then
    // the system asks the window for its cursor.
    static HCURSOR CursorAt(gcl::TWinControl* control, gcl::TPoint at) {
        Move(control, at);
        const HWND wnd = control->GetHandle();
        SetCursor(nullptr);
        SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    }
    static HCURSOR Hand() { return gcl::Screen->GetCursors(gcl::crHandPoint); }
    // A key pressed in a control (down, the character for printable
    // keys, up) with Shift and Ctrl as given.
    static void Key(gcl::TWinControl* control, WPARAM key, bool shift = false, bool ctrl = false, char ch = 0) {
        THeldKeys held(ctrl, shift);
        const HWND wnd = control->GetHandle();
        SendMessageA(wnd, WM_KEYDOWN, key, 1);
        if (ch) SendMessageA(wnd, WM_CHAR, static_cast<unsigned char>(ch), 1);
        SendMessageA(wnd, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    }
    static void Type(gcl::TWinControl* control, const std::string& text) {
        for (char c : text) SendMessageA(control->GetHandle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    static bool Shows(gcl::TControl* control) { return control->GetVisible(); }
    static gcl::TWinControl* Focused() { return gcl::Screen->GetActiveControl(); }
};

TEST_F(MainInput, TheHotZonesShowTheHandAndAnswerAClick) {
    TMainForm* form = Open();
    TGvListview* list = form->List;
    // Column 0: the priority icon from 17 to 31 pixels, both ends included.
    EXPECT_NE(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 0, 16)));
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 0, 17)));
    EXPECT_EQ(gcl::crHandPoint, list->GetCursor());
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 0, 31)));
    EXPECT_NE(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 0, 32)));
    EXPECT_EQ(gcl::crDefault, list->GetCursor());
    // Columns 1 (tags) and 2 (due date): their first 15 pixels, from the
    // very edge that column 0 ends on.
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 1, 0)));
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 1, 14)));
    EXPECT_NE(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 1, 15)));
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 2, 0)));
    EXPECT_EQ(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 2, 14)));
    EXPECT_NE(Hand(), CursorAt(list, ItemPoint(form, "Pay rent", 2, 15)));
    // Below the last row, still over the column, no task's mark is drawn:
    // no zone there (a click there leaves no task chosen, and a panel
    // opened by it would have none to act on).
    const gcl::TPoint below{ItemPoint(form, "Pay rent", 2, 5).X, list->GetClientHeight() - 4};
    EXPECT_NE(Hand(), CursorAt(list, below));

    // A click on the date zone selects the task and opens the date panel
    // at the click point, bound to the selection's OK.
    const gcl::TPoint date = ItemPoint(form, "Buy stamps", 2, 6);
    Click(list, date);
    EXPECT_EQ(TaskOf("Buy stamps"), form->FirstSelectedTask());
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    const gcl::TPoint atForm = form->ScreenToClient(list->ClientToScreen(date));
    EXPECT_EQ(atForm.X, form->QuickDatePanel->GetLeft());
    EXPECT_EQ(atForm.Y, form->QuickDatePanel->GetTop());
    EXPECT_EQ(form->QDateSelOkA, form->QuickDatePanelOk->GetAction());
    EXPECT_EQ(Today + 9, gcl::DateOf(form->QuickDate->GetDate()));
    EXPECT_TRUE(form->QCheckDate->GetChecked());
    Key(form->QuickDate, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->List, Focused());
    EXPECT_EQ(Today + 9, gcl::DateOf(TaskOf("Buy stamps")->Due));

    // The tags zone: the tags panel with every tag, the task's ticked.
    Click(list, ItemPoint(form, "Send the report", 1, 3));
    EXPECT_EQ(TaskOf("Send the report"), form->FirstSelectedTask());
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    EXPECT_EQ(form->QTagsSelOkA, form->QuickTagsPanelOk->GetAction());
    EXPECT_EQ("work,mail", form->QuickEditTagsText());
    ASSERT_EQ(2, form->QuickTagsList->GetItems()->GetCount());
    EXPECT_TRUE(form->QuickTagsList->GetChecked(0));   // mail
    EXPECT_FALSE(form->QuickTagsList->GetChecked(1));  // bank
    EXPECT_EQ(form->QuickTagsList, Focused());
    Key(form->QuickTagsList, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    EXPECT_EQ("", form->QuickEditTagsText());
    EXPECT_EQ("work,mail", std::string(TaskOf("Send the report")->Tags));

    // The priority icon: the priority menu at the pointer; "Low" chosen.
    Database->Modified = false;
    TLoopWatchdog watchdog;
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    Click(list, ItemPoint(form, "Send the report", 0, 24));
    PumpMessages(100, [&] { return TaskOf("Send the report")->Priority == 0; });
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(0, TaskOf("Send the report")->Priority);
    EXPECT_EQ(0, ItemOf(form, "Send the report")->GetImageIndexes(0));
    EXPECT_TRUE(Database->Modified);

    // Away from the zones a click only selects.
    Click(list, ItemPoint(form, "Pay rent", 0, 80));
    EXPECT_EQ(TaskOf("Pay rent"), form->FirstSelectedTask());
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    CloseMainForm(form);
}

// The caret of an edit window (its selection start).
int Caret(gcl::TWinControl* edit) {
    DWORD start = 0;
    SendMessageA(edit->GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

TEST_F(MainInput, SemicolonsTwiceOpenTheDatePanelWhoseKeysRewriteTheFirstDueToken) {
    TMainForm* form = Open();
    form->TopEdit->SetFocus();
    EXPECT_EQ("", form->TopEditText());
    Type(form->TopEdit, "+Call A");
    Type(form->TopEdit, ";;");
    // Neither semicolon stays; the panel opens under the edit, the picker
    // at today's date.
    EXPECT_EQ("+Call A", form->TopEditText());
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->QDateOkA, form->QuickDatePanelOk->GetAction());
    EXPECT_EQ(L"Click here or press enter", form->QuickDatePanelOk->GetCaption());
    const gcl::TPoint edit = form->ScreenToClient(form->TopEdit->ClientToScreen(gcl::TPoint{0, 0}));
    const gcl::TPoint bar =
        form->ScreenToClient(form->TopPanel->ClientToScreen(gcl::TPoint{0, form->TopPanel->GetHeight()}));
    EXPECT_EQ(edit.X + 8, form->QuickDatePanel->GetLeft());
    EXPECT_EQ(bar.Y, form->QuickDatePanel->GetTop());
    EXPECT_EQ(form->QuickDate, Focused());
    EXPECT_TRUE(form->QCheckDate->GetChecked());
    EXPECT_EQ(Today, gcl::DateOf(form->QuickDate->GetDate()));
    // The picker's calendar drops down.
    PumpMessages(200, [&] { return SendMessageA(form->QuickDate->GetHandle(), DTM_GETMONTHCAL, 0, 0) != 0; });
    EXPECT_NE(0, SendMessageA(form->QuickDate->GetHandle(), DTM_GETMONTHCAL, 0, 0));
    SendMessageA(form->QuickDate->GetHandle(), DTM_CLOSEMONTHCAL, 0, 0);
    // Enter takes today: ";t;" after the priority mark.
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ("+;t;Call A", form->TopEditText());
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->TopEdit, Focused());
    EXPECT_EQ(10, Caret(form->TopEdit));

    // Tomorrow replaces the token with ";t1;", another day with the date.
    Type(form->TopEdit, ";;");
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(Today, gcl::DateOf(form->QuickDate->GetDate()));
    form->QuickDate->SetDate(Today + 1);
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ("+;t1;Call A", form->TopEditText());
    Type(form->TopEdit, ";;");
    EXPECT_EQ(Today + 1, gcl::DateOf(form->QuickDate->GetDate()));
    form->QuickDate->SetDate(Today + 5);
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ("+;" + gcl::DateToStr(Today + 5) + ";Call A", form->TopEditText());

    // Shift toggles the check box; without a date the token only goes, and
    // text between later semicolons stays.
    form->SetTopEditText("+;t;Call A;B");
    SendMessageA(form->TopEdit->GetHandle(), EM_SETSEL, 12, 12);
    Type(form->TopEdit, ";;");
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    Key(form->QuickDate, VK_SHIFT, true);
    EXPECT_FALSE(form->QCheckDate->GetChecked());
    Key(form->QuickDate, VK_SHIFT, true);
    EXPECT_TRUE(form->QCheckDate->GetChecked());
    Key(form->QuickDate, VK_SHIFT, true);
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ("+Call A;B", form->TopEditText());

    // Esc leaves the text alone and goes back to the edit.
    Type(form->TopEdit, ";;");
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    Key(form->QuickDate, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->TopEdit, Focused());
    EXPECT_EQ("+Call A;B", form->TopEditText());

    // A token the picker cannot read starts the picker at today.
    form->SetTopEditText("a;b;c");
    SendMessageA(form->TopEdit->GetHandle(), EM_SETSEL, 5, 5);
    Type(form->TopEdit, ";;");
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(Today, gcl::DateOf(form->QuickDate->GetDate()));

    // Clicking the check box keeps the panel and gives the picker the
    // focus; leaving the panel for the list hides it.
    ClickControl(form->QCheckDate);
    EXPECT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->QuickDate, Focused());
    form->List->SetFocus();
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_EQ("a;b;c", form->TopEditText());

    // In Find mode the two semicolons are typed as they are.
    form->tBtn1Click(form);
    Type(form->TopEdit, "x;;");
    EXPECT_EQ("x;;", form->TopEditText());
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    CloseMainForm(form);
}

TEST_F(MainInput, BracketsTwiceOpenTheTagsPanelWhoseKeysRewriteTheFirstTagsToken) {
    TMainForm* form = Open();
    form->TopEdit->SetFocus();
    form->SetTopEditText("-[mail] Buy [x] milk");
    SendMessageA(form->TopEdit->GetHandle(), EM_SETSEL, 20, 20);
    Type(form->TopEdit, "[[");
    EXPECT_EQ("-[mail] Buy [x] milk", form->TopEditText());
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    EXPECT_EQ(form->QTagsOkA, form->QuickTagsPanelOk->GetAction());
    EXPECT_EQ(form->QuickEditTags, Focused());
    EXPECT_EQ("mail", form->QuickEditTagsText());
    EXPECT_EQ(4, Caret(form->QuickEditTags));
    ASSERT_EQ(2, form->QuickTagsList->GetItems()->GetCount());
    EXPECT_TRUE(form->QuickTagsList->GetChecked(0));
    EXPECT_FALSE(form->QuickTagsList->GetChecked(1));

    // Typing ticks the lines named; brackets and semicolons are kept out.
    Type(form->QuickEditTags, ", [BANK];");
    EXPECT_EQ("mail, BANK", form->QuickEditTagsText());
    EXPECT_TRUE(form->QuickTagsList->GetChecked(0));
    EXPECT_TRUE(form->QuickTagsList->GetChecked(1));
    // Down goes to the list; Up on its first line back to the edit.
    Key(form->QuickEditTags, VK_DOWN);
    EXPECT_EQ(form->QuickTagsList, Focused());
    EXPECT_TRUE(Shows(form->QuickTagsPanel));
    form->QuickTagsList->SetItemIndex(1);
    Key(form->QuickTagsList, VK_UP);
    EXPECT_EQ(form->QuickTagsList, Focused());
    EXPECT_EQ(0, form->QuickTagsList->GetItemIndex());
    Key(form->QuickTagsList, VK_UP);
    EXPECT_EQ(form->QuickEditTags, Focused());
    EXPECT_TRUE(Shows(form->QuickTagsPanel));
    // Ticking a line writes the ticked lines into the edit.
    form->QuickTagsList->SetFocus();
    form->QuickTagsList->SetItemIndex(0);
    Key(form->QuickTagsList, VK_SPACE, false, false, ' ');
    EXPECT_FALSE(form->QuickTagsList->GetChecked(0));
    EXPECT_EQ("bank", form->QuickEditTagsText());
    Key(form->QuickTagsList, VK_SPACE, false, false, ' ');
    EXPECT_EQ("mail,bank", form->QuickEditTagsText());
    // Enter replaces only the first tags token, after the priority mark.
    Key(form->QuickTagsList, VK_RETURN);
    EXPECT_EQ("-[mail,bank] Buy [x] milk", form->TopEditText());
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    EXPECT_EQ("", form->QuickEditTagsText());
    EXPECT_EQ(form->TopEdit, Focused());

    // Esc drops what was typed in the panel.
    Type(form->TopEdit, "[[");
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    Type(form->QuickEditTags, ",home");
    Key(form->QuickEditTags, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    EXPECT_EQ("", form->QuickEditTagsText());
    EXPECT_EQ(form->TopEdit, Focused());
    EXPECT_EQ("-[mail,bank] Buy [x] milk", form->TopEditText());

    // Enter in the edit, with no token yet: the token goes in front.
    form->SetTopEditText("+Plan");
    SendMessageA(form->TopEdit->GetHandle(), EM_SETSEL, 5, 5);
    Type(form->TopEdit, "[[");
    EXPECT_EQ("", form->QuickEditTagsText());
    Type(form->QuickEditTags, "home , work");
    Key(form->QuickEditTags, VK_RETURN);
    EXPECT_EQ("+[home,work]Plan", form->TopEditText());
    // Leaving the panel for the list hides it.
    Type(form->TopEdit, "[[");
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    form->List->SetFocus();
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    CloseMainForm(form);
}

TEST_F(MainInput, ShiftDAndShiftTEditEverySelectedTaskThroughThePanels) {
    TMainForm* form = Open();
    form->List->SetFocus();
    SelectTasks(form, {"Water the plants", "Buy stamps"});
    Database->Modified = false;
    Key(form->List, 'D', true);
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->QDateSelOkA, form->QuickDatePanelOk->GetAction());
    EXPECT_EQ(L"Click here or press enter...", form->QuickDatePanelOk->GetCaption());
    EXPECT_EQ(Today + 1, gcl::DateOf(form->QuickDate->GetDate()));
    // Under the first selected task, at the left edge of the due column.
    TGvItem* first = ItemOf(form, "Water the plants");
    const gcl::TRect row = first->GetDisplayRect();
    const gcl::TRect due = form->List->GetHeader()->GetColumns()->GetColumns(2)->GetDisplayRect();
    const gcl::TPoint at = form->ScreenToClient(form->List->ClientToScreen(
        form->List->GetScrollbars()->MapViewToWindow(gcl::TPoint{due.Left, row.Bottom})));
    EXPECT_EQ(at.X, form->QuickDatePanel->GetLeft());
    EXPECT_EQ(at.Y, form->QuickDatePanel->GetTop());
    form->QuickDate->SetDate(Today + 4);
    Key(form->QuickDate, VK_RETURN);
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->List, Focused());
    EXPECT_EQ(Today + 4, gcl::DateOf(TaskOf("Water the plants")->Due));
    EXPECT_EQ(Today + 4, gcl::DateOf(TaskOf("Buy stamps")->Due));
    EXPECT_EQ(gcl::AnsiToWide(gcl::DateToStr(Today + 4)), first->GetCaptions(2));
    EXPECT_TRUE(Database->Modified);
    // The check box cleared: no due date, an empty cell.
    Key(form->List, 'D', true);
    Key(form->QuickDate, VK_SHIFT, true);
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ(0, TaskOf("Water the plants")->Due);
    EXPECT_EQ(0, TaskOf("Buy stamps")->Due);
    EXPECT_EQ(L"", first->GetCaptions(2));

    // Shift+T: the tags of the first selected task; new tags are registered.
    Key(form->List, 'T', true);
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    EXPECT_EQ(form->QTagsSelOkA, form->QuickTagsPanelOk->GetAction());
    EXPECT_EQ("home", form->QuickEditTagsText());
    EXPECT_EQ(form->QuickTagsList, Focused());
    Key(form->QuickTagsList, VK_UP);
    EXPECT_EQ(form->QuickEditTags, Focused());
    Type(form->QuickEditTags, ", garden ,bank");
    Key(form->QuickEditTags, VK_RETURN);
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    EXPECT_EQ(form->List, Focused());
    EXPECT_EQ("home,garden,bank", std::string(TaskOf("Water the plants")->Tags));
    EXPECT_EQ("home,garden,bank", std::string(TaskOf("Buy stamps")->Tags));
    EXPECT_EQ(L"home, garden, bank", first->GetCaptions(1));
    EXPECT_GE(Database->Tags->IndexOf("garden"), 0);
    EXPECT_EQ("", form->QuickEditTagsText());
    // Esc in the selection mode: back to the list, nothing changed.
    Key(form->List, 'T', true);
    ASSERT_TRUE(Shows(form->QuickTagsPanel));
    Key(form->QuickTagsList, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickTagsPanel));
    EXPECT_EQ(form->List, Focused());
    EXPECT_EQ("home,garden,bank", std::string(TaskOf("Water the plants")->Tags));
    // Without the focus in the list the keys type text elsewhere and the
    // commands do nothing.
    form->TopEdit->SetFocus();
    form->EditDueDateA->Execute();
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    CloseMainForm(form);
}

TEST_F(MainInput, TheIconChooserOfAListTakesEnterEscAndLeaving) {
    TMainForm* form = Open();
    SelectTreeNode(form, "Work");
    form->FoldersList->SetFocus();
    // Ctrl+I while the tree has the focus: the chooser in the middle of
    // the side panel, showing the list's icon, open.
    PressShortcut(form->FoldersList->GetHandle(), 'I', true);
    ASSERT_TRUE(Shows(form->FolderIconPanel));
    EXPECT_EQ(form->OrgPanel->GetWidth() / 2 - form->FolderIconPanel->GetWidth() / 2,
              form->FolderIconPanel->GetLeft());
    EXPECT_EQ(form->OrgPanel->GetHeight() / 2 - form->FolderIconPanel->GetHeight() / 2,
              form->FolderIconPanel->GetTop());
    EXPECT_EQ(3, form->FolderEditIcon->GetItemIndex());
    EXPECT_EQ(form->FolderEditIcon, Focused());
    EXPECT_TRUE(form->FolderEditIcon->GetDroppedDown());
    form->FolderEditIcon->SetDroppedDown(false);
    // Esc: nothing changes, the tree has the focus again.
    form->FolderEditIcon->SetItemIndex(9);
    Key(form->FolderEditIcon, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    EXPECT_EQ(form->FoldersList, Focused());
    EXPECT_EQ(3, form->FoldersList->GetSelected()->GetImageIndex());
    // Enter: the node and the stored entry take the icon.
    Database->Modified = false;
    PressShortcut(form->FoldersList->GetHandle(), 'I', true);
    ASSERT_TRUE(Shows(form->FolderIconPanel));
    form->FolderEditIcon->SetDroppedDown(false);
    form->FolderEditIcon->SetItemIndex(9);
    Key(form->FolderEditIcon, VK_RETURN);
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    EXPECT_EQ(form->FoldersList, Focused());
    EXPECT_EQ(9, form->FoldersList->GetSelected()->GetImageIndex());
    EXPECT_EQ(9, form->FoldersList->GetSelected()->GetSelectedIndex());
    EXPECT_EQ(std::string("Work") + FieldSeparator + "9" + FieldSeparator, Database->Folders->Get(1));
    EXPECT_TRUE(Database->Modified);
    // Leaving the chooser hides it.
    PressShortcut(form->FoldersList->GetHandle(), 'I', true);
    ASSERT_TRUE(Shows(form->FolderIconPanel));
    form->FolderEditIcon->SetDroppedDown(false);
    form->List->SetFocus();
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    // Not on "All", not in the tags tab, not while the focus is elsewhere.
    form->TopEdit->SetFocus();
    PressShortcut(form->TopEdit->GetHandle(), 'I', true);
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    SelectTreeNode(form, "All");
    form->FoldersList->SetFocus();
    PressShortcut(form->FoldersList->GetHandle(), 'I', true);
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    form->TagsTabClick(form);
    SelectTreeNode(form, "bank");
    form->FoldersList->SetFocus();
    PressShortcut(form->FoldersList->GetHandle(), 'I', true);
    EXPECT_FALSE(Shows(form->FolderIconPanel));
    CloseMainForm(form);
}

TEST_F(MainInput, NewListsAndTagsAreTypedBelowTheTree) {
    TMainForm* form = Open();
    ClickControl(form->NewFTLbl);
    EXPECT_FALSE(Shows(form->NewFTLbl));
    EXPECT_TRUE(Shows(form->FolderTextE));
    EXPECT_TRUE(Shows(form->FolderImgE));
    EXPECT_EQ(form->FolderTextE, Focused());
    Type(form->FolderTextE, "Garden");
    // Up or Down opens the icon chooser; Left comes back to the name.
    Key(form->FolderTextE, VK_DOWN);
    EXPECT_EQ(form->FolderImgE, Focused());
    EXPECT_TRUE(form->FolderImgE->GetDroppedDown());
    form->FolderImgE->SetDroppedDown(false);
    EXPECT_TRUE(Shows(form->FolderTextE));
    form->FolderImgE->SetItemIndex(7);
    Key(form->FolderImgE, VK_LEFT);
    EXPECT_EQ(form->FolderTextE, Focused());
    EXPECT_TRUE(Shows(form->FolderImgE));
    EXPECT_EQ(6, Caret(form->FolderTextE));
    // Shift+Enter adds the list and keeps the editor open for the next.
    Key(form->FolderTextE, VK_RETURN, true);
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Work", "Errands", "Garden"}), TreeTexts(form));
    EXPECT_EQ(7, form->FoldersList->GetItems()->GetItem(4)->GetImageIndex());
    EXPECT_EQ(std::string("Garden") + FieldSeparator + "7" + FieldSeparator, Database->Folders->Get(3));
    EXPECT_EQ(form->FolderTextE, Focused());
    EXPECT_TRUE(Shows(form->FolderTextE));
    EXPECT_EQ(0, GetWindowTextLengthA(form->FolderTextE->GetHandle()));
    // Enter in the chooser adds the next one and closes the editors.
    Type(form->FolderTextE, "Car");
    form->FolderImgE->SetFocus();
    form->FolderImgE->SetItemIndex(2);
    Key(form->FolderImgE, VK_RETURN);
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Work", "Errands", "Garden", "Car"}), TreeTexts(form));
    EXPECT_EQ(2, form->FoldersList->GetItems()->GetItem(5)->GetImageIndex());
    EXPECT_FALSE(Shows(form->FolderTextE));
    EXPECT_FALSE(Shows(form->FolderImgE));
    EXPECT_TRUE(Shows(form->NewFTLbl));
    EXPECT_EQ(form->FoldersList, Focused());
    // Esc, and an empty name: nothing is added.
    form->NewListTagM->Execute();
    Key(form->FolderTextE, VK_RETURN);
    Type(form->FolderTextE, "Boat");
    Key(form->FolderTextE, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->FolderTextE));
    EXPECT_EQ(form->FoldersList, Focused());
    EXPECT_EQ(6u, TreeTexts(form).size());

    // Tags: no icon chooser; commas, brackets and semicolons stay out.
    form->TagsTabClick(form);
    EXPECT_EQ(L"< New tag >", form->NewFTLbl->GetCaption());
    EXPECT_EQ(L"New tag", form->NewListTagM->GetCaption());
    PressShortcut(form->FoldersList->GetHandle(), 'N', true, true);
    EXPECT_TRUE(Shows(form->FolderTextE));
    EXPECT_FALSE(Shows(form->FolderImgE));
    Type(form->FolderTextE, "a,b[c];d]");
    Key(form->FolderTextE, VK_RETURN);
    EXPECT_EQ((std::vector<std::string>{"All", "mail", "bank", "abcd"}), TreeTexts(form));
    EXPECT_EQ(72, form->FoldersList->GetItems()->GetItem(3)->GetImageIndex());
    EXPECT_EQ("abcd", Database->Tags->Get(2));
    CloseMainForm(form);
}

class MainDrag : public MainInput {
protected:
    // Drags the selected tasks with the mouse: the left button goes down
    // on the task From, the pointer leaves the drag rectangle, moves over
    // To's client point At and the button comes up there.
    static void DragTasks(TMainForm* form, const std::string& from, gcl::TWinControl* to, gcl::TPoint at);
};

void MainDrag::DragTasks(TMainForm* form, const std::string& from, gcl::TWinControl* to, gcl::TPoint at) {
    TGvListview* list = form->List;
    TGvItem* item = ItemOf(form, from);
    ASSERT_NE(nullptr, item) << from;
    const gcl::TRect row = item->GetDisplayRect();
    const gcl::TPoint press = list->GetScrollbars()->MapViewToWindow(gcl::TPoint{80, (row.Top + row.Bottom) / 2});
    const gcl::TPoint pressScreen = list->ClientToScreen(press);
    SetCursorPos(pressScreen.X, pressScreen.Y);
    SendMessageA(list->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.X, press.Y));
    const gcl::TPoint target = to->ClientToScreen(at);
    const gcl::TPoint away = list->ScreenToClient(target);
    // The press waits for the pointer to leave the drag rectangle; the
    // drag then follows the pointer to the target and drops there.
    PostMessageA(list->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(away.X, away.Y));
    PostMessageA(to->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.X, at.Y + 1));
    PostMessageA(to->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.X, at.Y));
    PostMessageA(to->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(at.X, at.Y));
    SendMessageA(list->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.X + 1, press.Y));
    SetCursorPos(target.X, target.Y);
    PumpMessages(100);
}

TEST_F(MainDrag, TasksDraggedOntoAnotherGroupTakeItsListDatePriorityOrTags) {
    TMainForm* form = Open();
    auto onto = [&](const std::string& title) {
        TGvItem* item = ItemOf(form, title);
        const gcl::TRect row = item->GetDisplayRect();
        return form->List->GetScrollbars()->MapViewToWindow(gcl::TPoint{100, (row.Top + row.Bottom) / 2});
    };
    // By date: both selected tasks take the date of the task dropped on.
    form->DateGroupA->Execute();
    SelectTasks(form, {"Buy stamps", "Call the bank"});
    Database->Modified = false;
    DragTasks(form, "Buy stamps", form->List, onto("Send the report"));
    EXPECT_EQ(Today, gcl::DateOf(TaskOf("Buy stamps")->Due));
    EXPECT_EQ(Today, gcl::DateOf(TaskOf("Call the bank")->Due));
    EXPECT_TRUE(Database->Modified);
    EXPECT_EQ((std::vector<std::string>{"08 March 2026, Sunday", "11 March 2026, Wednesday",
                                        "12 March 2026, Thursday"}),
              GroupCaptions(form));
    EXPECT_EQ(3, form->List->GetGroups()->GetGroups(1)->GetItems()->GetCount());
    // By list.
    form->FoldersGroupA->Execute();
    SelectTasks(form, {"Buy stamps"});
    DragTasks(form, "Buy stamps", form->List, onto("Water the plants"));
    EXPECT_EQ("Home", std::string(TaskOf("Buy stamps")->Folder));
    EXPECT_EQ((std::vector<std::string>{"Home", "Work"}), GroupCaptions(form));
    // By priority.
    form->PriorityGroupA->Execute();
    SelectTasks(form, {"Water the plants"});
    DragTasks(form, "Water the plants", form->List, onto("Pay rent"));
    EXPECT_EQ(2, TaskOf("Water the plants")->Priority);
    // By tags: the whole tag text.
    form->TagsGroupA->Execute();
    SelectTasks(form, {"Buy stamps"});
    DragTasks(form, "Buy stamps", form->List, onto("Send the report"));
    EXPECT_EQ("work,mail", std::string(TaskOf("Buy stamps")->Tags));
    // Without grouping the list refuses the drop.
    form->TagsGroupA->Execute();
    ASSERT_TRUE(form->NoGroupA->GetChecked());
    SelectTasks(form, {"Pay rent"});
    Database->Modified = false;
    DragTasks(form, "Pay rent", form->List, onto("Send the report"));
    EXPECT_EQ("bank", std::string(TaskOf("Pay rent")->Tags));
    EXPECT_EQ(Today - 3, gcl::DateOf(TaskOf("Pay rent")->Due));
    EXPECT_FALSE(Database->Modified);
    CloseMainForm(form);
}

TEST_F(MainDrag, TasksDroppedOnTheTreeMoveToAListOrToggleATag) {
    TMainForm* form = Open();
    auto node = [&](int index) {
        const gcl::TRect r = form->FoldersList->GetItems()->GetItem(index)->DisplayRect(true);
        return gcl::TPoint{r.Left + 4, (r.Top + r.Bottom) / 2};
    };
    SelectTasks(form, {"Pay rent", "Buy stamps"});
    DragTasks(form, "Pay rent", form->FoldersList, node(2));  // "Work"
    EXPECT_EQ("Work", std::string(TaskOf("Pay rent")->Folder));
    EXPECT_EQ("Work", std::string(TaskOf("Buy stamps")->Folder));
    // "All" takes nothing.
    SelectTasks(form, {"Pay rent"});
    DragTasks(form, "Pay rent", form->FoldersList, node(0));
    EXPECT_EQ("Work", std::string(TaskOf("Pay rent")->Folder));

    // Tags: three tasks on "bank", which one of them carries.
    form->TagsTabClick(form);
    SelectTasks(form, {"Water the plants", "Pay rent", "Buy stamps"});
    Database->Modified = false;
    DragTasks(form, "Water the plants", form->FoldersList, node(2));
    EXPECT_EQ("home,bank", std::string(TaskOf("Water the plants")->Tags));
    EXPECT_EQ("", std::string(TaskOf("Pay rent")->Tags));
    EXPECT_EQ("bank", std::string(TaskOf("Buy stamps")->Tags));
    EXPECT_TRUE(Database->Modified);
    // The list shows the new tags at once.
    EXPECT_EQ(L"home, bank", ItemOf(form, "Water the plants")->GetCaptions(1));
    CloseMainForm(form);
}

TEST_F(MainInput, KeysOfTheListAndTheTree) {
    TMainForm* form = Open();
    TGvListview* list = form->List;
    list->SetFocus();
    SelectTasks(form, {"Call the bank"});
    // Right and Left: to the tree (the side panel shows) and back; from the
    // tree the list selects its first item when nothing is selected.
    Key(list, VK_RIGHT);
    EXPECT_EQ(form->FoldersList, Focused());
    list->GetSelection()->ClearAll();
    Key(form->FoldersList, VK_LEFT);
    EXPECT_EQ(list, Focused());
    ASSERT_NE(nullptr, list->GetSelection()->First());
    EXPECT_EQ(list->GetItems()->GetItems(0), list->GetSelection()->First());
    // Ctrl+Right in the tree switches to the other tab, and back.
    Key(list, VK_LEFT);
    Key(form->FoldersList, VK_RIGHT, false, true);
    EXPECT_TRUE(form->TagsTab->GetChecked());
    EXPECT_EQ((std::vector<std::string>{"All", "mail", "bank"}), TreeTexts(form));
    Key(form->FoldersList, VK_LEFT, false, true);
    EXPECT_TRUE(form->FoldersTab->GetChecked());
    // Ctrl+Down and Ctrl+Up move the selected list.
    SelectTreeNode(form, "Home");
    Key(form->FoldersList, VK_DOWN, false, true);
    EXPECT_EQ((std::vector<std::string>{"All", "Work", "Home", "Errands"}), TreeTexts(form));
    Key(form->FoldersList, VK_UP, false, true);
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Work", "Errands"}), TreeTexts(form));
    // Delete in the tags tab takes the tag off every task without asking.
    form->TagsTabClick(form);
    SelectTreeNode(form, "bank");
    Key(form->FoldersList, VK_DELETE);
    EXPECT_EQ((std::vector<std::string>{"All", "mail"}), TreeTexts(form));
    EXPECT_EQ("", std::string(TaskOf("Pay rent")->Tags));
    EXPECT_EQ("", std::string(TaskOf("Call the bank")->Tags));
    EXPECT_EQ(-1, Database->Tags->IndexOf("bank"));
    form->FoldersTabClick(form);

    // Shift+N with the note panel minimised: restored, the caret in the note.
    SelectTreeNode(form, "All");
    list->SetFocus();
    SelectTasks(form, {"Buy stamps"});
    form->MinimizeNotePanel();
    ASSERT_TRUE(form->NotePanelMinimized());
    Key(list, 'N', true);
    EXPECT_FALSE(form->NotePanelMinimized());
    EXPECT_EQ(form->RichEdit1, Focused());
    // Shift+Enter in the note stores it and goes back to the list.
    Type(form->RichEdit1, "Ten");
    Key(form->RichEdit1, VK_RETURN, true);
    EXPECT_EQ("Ten", std::string(TaskOf("Buy stamps")->Notes));
    EXPECT_EQ(list, Focused());
    // Delete asks first; Enter starts the title editor.
    Dialogs.ExpectMessage("delete selected item(s)", gcl::mrNo);
    Key(list, VK_DELETE);
    EXPECT_NE(nullptr, TaskOf("Buy stamps"));
    // Enter starts the title editor, which shows the title without its
    // number; Esc in it ends the edit.
    SelectTasks(form, {"Buy stamps"});
    ASSERT_EQ(L"5. Buy stamps", ItemOf(form, "Buy stamps")->GetCaption());
    bool editing = false;
    std::wstring shown;
    TLoopScript script;
    script.Then([&] {
        editing = list->GetEditManager()->Editing();
        wchar_t text[100] = {};
        GetWindowTextW(GetFocus(), text, 100);
        shown = text;
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    script.Start();
    TLoopWatchdog watchdog;
    Key(list, VK_RETURN);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(editing);
    EXPECT_EQ(L"Buy stamps", shown);
    EXPECT_FALSE(list->GetEditManager()->Editing());
    EXPECT_EQ("Buy stamps", std::string(TaskOf("Buy stamps")->Title));
    // A click on an empty part of the list: nothing selected, the note
    // panel says "Note" and the editor is empty.
    Click(list, gcl::TPoint{200, list->GetClientHeight() - 6});
    EXPECT_EQ(nullptr, list->GetSelection()->First());
    EXPECT_EQ("Note", gcl::WideToAnsi(form->NoteEdit->GetCaption()));
    EXPECT_EQ("", form->RichEdit1->GetText());
    EXPECT_FALSE(form->DelTaskA->GetEnabled());
    CloseMainForm(form);
}

// A popup menu of the toolbar framework is showing.
BOOL CALLBACK FindPopup(HWND wnd, LPARAM found) {
    if (IsWindowVisible(wnd) && dynamic_cast<TBarPopupWindow*>(gcl::FindControl(wnd)))
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}
bool PopupShowing() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), &FindPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A drop onto the note (the rich-edit library asks the note whether it
// takes the data) brings plain text only, and never letters the database
// cannot hold: those are refused, with a word once the drop is made.
TEST_F(MainInput, TextDroppedOntoTheNoteIsPlainTextTheDatabaseCanHold) {
    TMainForm* form = Open();
    SelectTasks(form, {"Buy stamps"});
    ASSERT_TRUE(form->NoteEditorMade());
    TRichEditOleCallback* callback = form->RichEdit1->GetOleCallback();
    ASSERT_NE(nullptr, callback);
    auto offering = [](CLIPFORMAT format, const std::string& bytes) {
        gcl::ComPtr<::IDataObject> object(TCommonDataObject::Create()->AsDataObject());
        EXPECT_TRUE(SaveToDataObject(object.Get(), format, bytes.data(), static_cast<int>(bytes.size())));
        return object;
    };
    auto wide = [](const std::wstring& text) {
        return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    };
    auto ask = [&](::IDataObject* data, CLIPFORMAT& format, bool really) {
        return callback->QueryAcceptData(data, &format, RECO_DROP, really ? TRUE : FALSE, nullptr);
    };

    CLIPFORMAT format = 0;
    EXPECT_EQ(S_OK, ask(offering(CF_UNICODETEXT, wide(L"Caf\u00e9")).Get(), format, true));
    EXPECT_EQ(CF_UNICODETEXT, format) << "the library may choose rich text";
    // Greek: refused while dragging without a word, and on the drop with one.
    const gcl::ComPtr<::IDataObject> greek = offering(CF_UNICODETEXT, wide(L"Greek \u03b1\u03b2"));
    format = 0;
    EXPECT_EQ(S_FALSE, ask(greek.Get(), format, false));
    PumpMessages(30);
    Dialogs.ExpectMessage("It was not dropped", gcl::mrOk);
    EXPECT_EQ(S_FALSE, ask(greek.Get(), format, true));
    PumpMessages(500, [&] { return Dialogs.Done(); });
    // Rich text with no plain text beside it: nothing to take.
    format = 0;
    EXPECT_EQ(S_FALSE, ask(offering(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Rich Text Format")),
                                    std::string("{\\rtf1 \\u945?}") + '\0')
                               .Get(),
                           format, true));
    CloseMainForm(form);
}

TEST_F(MainInput, MenusChosenWithTheKeyboardAndClicksOnHeaders) {
    TMainForm* form = Open();
    TGvListview* list = form->List;
    TLoopWatchdog watchdog;
    // Enter with "All" selected: the lists menu under the edit adds the
    // task to the list chosen.
    form->TopEdit->SetFocus();
    Type(form->TopEdit, "Post the letter");
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    Key(form->TopEdit, VK_RETURN);
    PumpMessages(100, [&] { return TaskOf("Post the letter") != nullptr; });
    ASSERT_NE(nullptr, TaskOf("Post the letter"));
    EXPECT_EQ("Errands", std::string(TaskOf("Post the letter")->Folder));
    EXPECT_EQ("", form->TopEditText());
    EXPECT_EQ(form->TopEdit, Focused());

    // Shift+L: "Move To List" under the first selected task moves them all.
    list->SetFocus();
    SelectTasks(form, {"Water the plants", "Pay rent"});
    QueueKey(VK_DOWN);
    QueueKey(VK_DOWN);
    QueueKey(VK_RETURN);
    Key(list, 'L', true);
    PumpMessages(100, [&] { return std::string(TaskOf("Pay rent")->Folder) == "Work"; });
    EXPECT_EQ("Work", std::string(TaskOf("Water the plants")->Folder));
    EXPECT_EQ("Work", std::string(TaskOf("Pay rent")->Folder));

    // Ctrl+L: the list filter menu; "Home" selects its node in the tree.
    // (The keys go in once the menu shows: the shortcut itself is posted.)
    TLoopScript script;
    script.WaitFor([] { return PopupShowing(); }).Then([] {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = state[VK_LCONTROL] = 0;
        SetKeyboardState(state);
        QueueKey(VK_DOWN);
        QueueKey(VK_DOWN);
        QueueKey(VK_RETURN);
    });
    script.Start();
    PressShortcut(list->GetHandle(), 'L', true);
    PumpMessages(100, [&] { return LiveSettings.CurrentFolder.Name == "Home"; });
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ("Home", LiveSettings.CurrentFolder.Name);
    EXPECT_EQ(L"Home > All tags", form->FFolders->GetCaption());
    EXPECT_EQ(L"Home", form->FoldersList->GetSelected()->GetText());
    EXPECT_TRUE(Titles(form).empty());
    SelectTreeNode(form, "All");

    // A click on the title header sorts by title within each list, the
    // next one backwards.
    ASSERT_TRUE(form->FoldersGroupA->GetChecked());
    form->CountItemsM->Execute();  // numbering off
    const int headerMid = list->GetHeader()->GetHeight() / 2;
    Click(list, gcl::TPoint{60, headerMid});
    EXPECT_EQ((std::vector<std::string>{"Call the bank", "Pay rent", "Send the report", "Water the plants",
                                        "Buy stamps", "Post the letter"}),
              Titles(form));
    Click(list, gcl::TPoint{60, headerMid});
    EXPECT_EQ((std::vector<std::string>{"Water the plants", "Send the report", "Pay rent", "Call the bank",
                                        "Post the letter", "Buy stamps"}),
              Titles(form));

    // Group headers: a click folds a group, Ctrl+click leaves only that
    // group open.
    TGvGroups* groups = list->GetGroups();
    ASSERT_EQ(2, groups->GetCount());
    auto headerOf = [&](int g) {
        const gcl::TRect r = groups->GetGroups(g)->MarginRectTop();
        return list->GetScrollbars()->MapViewToWindow(gcl::TPoint{r.Left + 40, (r.Top + r.Bottom) / 2});
    };
    Click(list, headerOf(0));
    EXPECT_FALSE(groups->GetGroups(0)->GetExpanded());
    EXPECT_TRUE(groups->GetGroups(1)->GetExpanded());
    Click(list, headerOf(0));
    EXPECT_TRUE(groups->GetGroups(0)->GetExpanded());
    Click(list, headerOf(1), MK_CONTROL);
    EXPECT_FALSE(groups->GetGroups(0)->GetExpanded());
    EXPECT_TRUE(groups->GetGroups(1)->GetExpanded());
    CloseMainForm(form);
}

TEST_F(MainInput, TheDatePanelIsMadeWhenFirstOpenedInItsPlaceOfTheTabOrder) {
    TMainForm* form = Open();
    // The window starts without it, and nothing of the start makes it.
    PumpMessages(50);
    EXPECT_FALSE(form->QuickDatePanel.Made());
    const int tagsPlace = form->QuickTagsPanel->GetTabOrder();
    form->TopEdit->SetFocus();
    Type(form->TopEdit, "+Call A");
    Type(form->TopEdit, ";;");
    ASSERT_TRUE(form->QuickDatePanel.Made());
    ASSERT_TRUE(Shows(form->QuickDatePanel));
    EXPECT_EQ(form->QuickDate, Focused());
    // Just before the tags panel among the window's controls, as when the
    // bar made both.
    EXPECT_EQ(form, form->QuickDatePanel->GetParent());
    EXPECT_EQ(tagsPlace, form->QuickDatePanel->GetTabOrder());
    EXPECT_EQ(tagsPlace + 1, form->QuickTagsPanel->GetTabOrder());
    // Made once: closed and opened again, the same panel.
    gcl::TControl* panel = form->QuickDatePanel;
    Key(form->QuickDate, VK_ESCAPE);
    EXPECT_FALSE(Shows(form->QuickDatePanel));
    Type(form->TopEdit, ";;");
    EXPECT_EQ(panel, static_cast<gcl::TControl*>(form->QuickDatePanel));
    EXPECT_TRUE(Shows(panel));
    Key(form->QuickDate, VK_RETURN);
    EXPECT_EQ("+;t;Call A", form->TopEditText());
    CloseMainForm(form);
}

} // namespace
} // namespace qelvo::test
