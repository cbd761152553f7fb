// The bars and panels around the task list: the quick-entry bar with its
// date and tags panels, the filter bar, the lists-and-tags panel with its
// tree and editors, and the note panel.
#include "app/Main.h"

#include <cstdlib>
#include <functional>
#include <utility>

#include "app/MainItems.h"

#include "app/logic/AppMessages.h"
#include "app/logic/Options.h"
#include "app/logic/TaskCommands.h"
#include "data/uDataMan.h"
#include "gcl/MessageHooks.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

namespace {

// The room the task list keeps when the side or note panel grows.
constexpr int MinListRoom = 60;

void SetItalic(TTxCustomItem* item, bool on) { item->GetFontSettings()->SetItalic(on ? tsTrue : tsFalse); }

// The edits hold wide text; the program's texts are 8-bit in the system
// code page. The caret goes after the last character.
std::string EditText(const TQuickEdit* edit) { return edit ? gcl::WideToAnsi(edit->GetText()) : std::string(); }
void SetEditText(TQuickEdit* edit, const std::string& text) {
    if (edit) edit->SetText(gcl::AnsiToWide(text));
}
// The rewrites of the quick-entry text move only ASCII marks and tokens:
// they run over the text's UTF-8 form, so every character typed stays in
// the edit, and the system code page applies once, when the task is made.
std::string Utf8Text(const TQuickEdit* edit) { return gcl::Utf8Encode(edit->GetText()); }
// The same, with the placeholder read as no text (the Add commands).
std::string QuickEntryUtf8(const TQuickEdit* edit) { return QuickEntryText(Utf8Text(edit)); }
void SetUtf8Text(TQuickEdit* edit, const std::string& text) { edit->SetText(gcl::Utf8Decode(text)); }
void CaretToEnd(TQuickEdit* edit) {
    edit->SetSelStart(static_cast<int>(edit->GetText().size()));
    edit->SetSelLength(0);
}

void FocusIfPossible(gcl::TWinControl* control) {
    if (control && control->CanFocus()) control->SetFocus();
}

gcl::TFont* ArialFont(gcl::TControl* control, int pixels) {
    gcl::TFont* font = control->GetFont();
    font->SetName("Arial");
    font->SetHeight(-pixels);
    return font;
}

} // namespace

// ======================================================================================
// The quick-entry bar
// ======================================================================================

void TMainForm::CreateQuickEntryBar() {
    using E = gcl::TNotifyEvent;
    TopPanel = NewToolbar(this, "TopPanel");
    TopPanel->SetImages(Others16);
    TopPanel->SetDockRow(1);
    // No command brings the quick-entry bar back: floating, it cannot be
    // closed.
    TopPanel->SetCloseButton(false);
    // The bar spans its row; the edit follows its width.
    TopPanel->SetFullSize(true);
    TopPanel->SetParent(TopDock);
    TopPanel->OnResize = E(this, &TMainForm::TopPanelResize);

    // The popup menus of the two modes and the lists menu of Add.
    TopAddMenu = TXtPopupMenu::Create(this);
    TopAddMenu->SetName("TopAddMenu");
    TopAddMenu->SetImages(Others16);
    TBarCustomItem* addRoot = TopAddMenu->GetItems();
    AddActionItem(this, addRoot, SetDueDateA);
    AddActionItem(this, addRoot, SetTagsA);
    TXtSubmenuItem* priority = TXtSubmenuItem::Create(this);
    priority->SetCaption(gcl::AnsiToWide("Priority"));
    addRoot->Add(priority);
    AddClickItem(this, priority, "High", 1, E(this, &TMainForm::TxItem24Click));
    AddClickItem(this, priority, "Normal", 0, E(this, &TMainForm::TxItem24Click));
    AddClickItem(this, priority, "Low", 2, E(this, &TMainForm::TxItem24Click));
    AddSeparator(this, addRoot);
    AddActionItem(this, addRoot, ClearTopEditA);
    AddActionItem(this, addRoot, AddItemA);
    TopFindMenu = TXtPopupMenu::Create(this);
    TopFindMenu->SetName("TopFindMenu");
    TopFindMenu->SetImages(Others16);
    AddActionItem(this, TopFindMenu->GetItems(), ClearTopEditA);
    AddSeparator(this, TopFindMenu->GetItems());
    TXtItem* find = TXtItem::Create(this);
    find->SetCaption(gcl::AnsiToWide("Find"));
    TopFindMenu->GetItems()->Add(find);
    AddItemFolderMenu = TXtPopupMenu::Create(this);
    AddItemFolderMenu->SetName("AddItemFolderMenu");
    AddItemFolderMenu->GetItems()->SetOnPopup(TBarPopupEvent(this, &TMainForm::AddItemFolderMenuPopup));

    const TQuickModeLook look = QuickModeLook(TQuickMode::Add);
    tBtn1 = TXtItem::Create(this);
    tBtn1->SetName("tBtn1");
    tBtn1->SetCaption((gcl::AnsiToWide(look.SwitchCaption)));
    tBtn1->SetImageIndex(look.SwitchImage);
    // Both mode buttons show their captions: the bar reads "Find", "Add:"
    // and then the edit (which takes the bar's width less their room).
    tBtn1->SetDisplayMode(nbdmImageAndText);
    tBtn1->SetOnClick(E(this, &TMainForm::tBtn1Click));
    TopPanel->GetItems()->Add(tBtn1);
    tBtn2 = TXtSubmenuItem::Create(this);
    tBtn2->SetName("tBtn2");
    tBtn2->SetCaption((gcl::AnsiToWide(look.ModeCaption)));
    tBtn2->SetImageIndex(look.ModeImage);
    tBtn2->SetOptions(TBarItemOptions{tboDropdownArrow});
    tBtn2->SetDisplayMode(nbdmImageAndText);
    tBtn2->SetLinkSubitems(addRoot);
    TopPanel->GetItems()->Add(tBtn2);

    TopEdit = TQuickEdit::Create(this);
    TopEdit->SetName("TopEdit");
    ArialFont(TopEdit, 15);
    TopEdit->SetWidth(400);
    TopEdit->SetParent(TopPanel);
    SetEditText(TopEdit, NewTaskPlaceholder);
    TopEdit->OnEnter = E(this, &TMainForm::TopEditEnter);
    TopEdit->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::TopEditKeyDown);
    TopEdit->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::TopEditKeyPress);
    TopEdit->OnChange = E(this, &TMainForm::TopEditChange);

    SetDueDateA->SetOnExecute(E(this, &TMainForm::SetDueDateAExecute));
    SetTagsA->SetOnExecute(E(this, &TMainForm::SetTagsAExecute));
    QDateOkA->SetOnExecute(E(this, &TMainForm::QDateOkAExecute));
    QTagsOkA->SetOnExecute(E(this, &TMainForm::QTagsOkAExecute));
    ClearTopEditA->SetOnExecute(E(this, &TMainForm::ClearTopEditAExecute));
    AddItemA->SetOnExecute(E(this, &TMainForm::AddItemAExecute));
    FindM->SetOnExecute(E(this, &TMainForm::FindMExecute));
    NewTaskM->SetOnExecute(E(this, &TMainForm::NewTaskMExecute));

    // The quick tags panel.
    QuickTagsPanel = TXtPanel::Create(this);
    QuickTagsPanel->SetName("QuickTagsPanel");
    QuickTagsPanel->SetVisible(false);
    QuickTagsPanel->SetBounds(0, 0, 230, 214);
    QuickTagsPanel->SetParent(this);
    TXtLabel* tagsLabel = TXtLabel::Create(this);
    tagsLabel->SetCaption(std::wstring(L"Tags :"));
    tagsLabel->SetBounds(8, 10, 40, 18);
    tagsLabel->SetParent(QuickTagsPanel);
    QuickEditTags = TQuickEdit::Create(this);
    QuickEditTags->SetName("QuickEditTags");
    QuickEditTags->SetBounds(50, 6, 172, 24);
    QuickEditTags->SetParent(QuickTagsPanel);
    QuickEditTags->OnChange = E(this, &TMainForm::QuickEditTagsChange);
    QuickEditTags->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::QuickEditTagsKeyDown);
    QuickEditTags->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::QuickEditTagsKeyPress);
    QuickEditTags->OnExit = E(this, &TMainForm::QuickEditTagsExit);
    QuickTagsList = TQuickCheckList::Create(this);
    QuickTagsList->SetName("QuickTagsList");
    QuickTagsList->SetBounds(8, 36, 214, 136);
    QuickTagsList->SetParent(QuickTagsPanel);
    QuickTagsList->OnClickCheck = E(this, &TMainForm::QuickTagsListClickCheck);
    QuickTagsList->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::QuickTagsListKeyDown);
    QuickTagsList->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::QuickTagsListKeyPress);
    QuickTagsList->OnExit = E(this, &TMainForm::QuickTagsListExit);
    QuickTagsPanelOk = TXtButton::Create(this);
    QuickTagsPanelOk->SetName("QuickTagsPanelOk");
    QuickTagsPanelOk->SetBounds(8, 180, 214, 26);
    QuickTagsPanelOk->SetParent(QuickTagsPanel);
    // Laid out for 96 dots per inch: its label and button text grow with
    // the screen. (The date panel's picker has a font of pixels, and its
    // button's text fits.)
    gcl::ScaleControlToScreen(QuickTagsPanel);
}

// The date panel is not made with the window: its first use makes it,
// hidden, in the window's tab order just before the tags panel, where it
// stood when the bar made both.
void TMainForm::MakeQuickDatePanel() {
    using E = gcl::TNotifyEvent;
    QuickDatePanel = TXtPanel::Create(this);
    QuickDatePanel->SetName("QuickDatePanel");
    QuickDatePanel->SetVisible(false);
    QuickDatePanel->SetBounds(0, 0, 230, 74);
    QuickDatePanel->SetParent(this);
    QCheckDate = TXtCheckBox::Create(this);
    QCheckDate->SetName("QCheckDate");
    QCheckDate->SetBounds(8, 10, 20, 20);
    QCheckDate->SetParent(QuickDatePanel);
    QCheckDate->OnClick = E(this, &TMainForm::QCheckDateClick);
    QuickDate = gcl::TDateTimePicker::Create(this);
    QuickDate->SetName("QuickDate");
    ArialFont(QuickDate, 15);
    QuickDate->SetBounds(32, 6, 190, 26);
    QuickDate->SetParent(QuickDatePanel);
    FQuickDateWindowProc = QuickDate->GetWindowProc();
    QuickDate->SetWindowProc(gcl::TWndMethod(this, &TMainForm::QuickDateWindowProc));
    QuickDate->OnExit = E(this, &TMainForm::QuickDateExit);
    QuickDate->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::QuickDateKeyDown);
    QuickDate->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::QuickDateKeyPress);
    QuickDatePanelOk = TXtButton::Create(this);
    QuickDatePanelOk->SetName("QuickDatePanelOk");
    QuickDatePanelOk->SetBounds(8, 40, 214, 26);
    QuickDatePanelOk->SetParent(QuickDatePanel);

    if (QuickTagsPanel) QuickDatePanel->SetTabOrder(QuickTagsPanel->GetTabOrder());
}

// ---- Texts and modes --------------------------------------------------------------------

std::string TMainForm::TopEditText() const { return EditText(TopEdit); }

void TMainForm::SetTopEditText(const std::string& Text) { SetEditText(TopEdit, Text); }

std::string TMainForm::QuickEditTagsText() const { return EditText(QuickEditTags); }

void TMainForm::SetQuickEditTagsText(const std::string& Text) { SetEditText(QuickEditTags, Text); }

bool TMainForm::InFindMode() const {
    return tBtn2 && QuickModeFromImage(tBtn2->GetImageIndex()) == TQuickMode::Find;
}

void TMainForm::FocusTopEdit() {
    if (!TopEdit) return;
    FocusIfPossible(TopEdit);
    CaretToEnd(TopEdit);
}

void TMainForm::ClearAndFocusTopEdit() {
    SetTopEditText(std::string());
    FocusIfPossible(TopEdit);
}

void TMainForm::tBtn1Click(gcl::TObject*) {
    const TQuickMode mode = SwitchTarget(gcl::WideToAnsi(tBtn1->GetCaption()));
    const TQuickModeLook look = QuickModeLook(mode);
    {
        TXtToolbarChanges changes(TopPanel);
        tBtn2->SetCaption((gcl::AnsiToWide(look.ModeCaption)));
        tBtn2->SetImageIndex(look.ModeImage);
        tBtn1->SetCaption((gcl::AnsiToWide(look.SwitchCaption)));
        tBtn1->SetImageIndex(look.SwitchImage);
        tBtn2->SetLinkSubitems(mode == TQuickMode::Find ? TopFindMenu->GetItems() : TopAddMenu->GetItems());
    }
    {
        // One refresh for the switch, after the edit was cleared.
        gcl::TFlagScope switching(FSwitchingQuickMode);
        ClearAndFocusTopEdit();
    }
    RefreshTaskList();
}

void TMainForm::NewTaskMExecute(gcl::TObject*) {
    if (gcl::Application && IsIconic(gcl::Application->GetHandle())) gcl::Application->Restore();
    if (InFindMode())
        tBtn1->Click();
    else
        ClearAndFocusTopEdit();
}

void TMainForm::FindMExecute(gcl::TObject*) {
    if (!InFindMode())
        tBtn1->Click();
    else
        ClearAndFocusTopEdit();
}

void TMainForm::TopEditEnter(gcl::TObject*) {
    if (IsPlaceholderText(TopEditText())) SetTopEditText(std::string());
}

void TMainForm::ClearTopEditAExecute(gcl::TObject*) { SetTopEditText(std::string()); }

void TMainForm::TopEditChange(gcl::TObject*) {
    if (InFindMode() && !FSwitchingQuickMode) RefreshTaskList();
}

void TMainForm::TopPanelResize(gcl::TObject*) {
    // The bar keeps 173 pixels for its grip, "Find", "Add:" and its end;
    // where the buttons' captions are wider (a larger system font) it keeps
    // as much more, or the edit would not fit and go behind the chevron.
    // (Floating, the bar is as long as its items: it keeps the fixed room.)
    constexpr int Room = 173, RoomAfterModeButton = 64;
    int room = Room;
    TBarDock* dock = TopPanel->GetCurrentDock();
    if (TBarView* view = TopPanel->GetView(); view && !TopPanel->GetFloating() && dock && !dock->IsLeftRight())
        if (TBarItemViewer* mode = view->Find(tBtn2))
            room = std::max(Room, mode->BoundsRect.Right + RoomAfterModeButton);
    if (TopEdit && TopPanel->GetWidth() > room) TopEdit->SetWidth(TopPanel->GetWidth() - room);
    // The buttons are measured by the layout this resize is part of, which
    // placed the edit at its former width: it lays out again once done.
    if (room != FQuickEntryRoom && room > Room && !FQuickEntryFitPosted && HandleAllocated())
        FQuickEntryFitPosted = PostMessageW(GetHandle(), QuickEntryFitMessage, 0, 0) != FALSE;
    FQuickEntryRoom = room;
}

void TMainForm::TopEditKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState) {
    if (Key == VK_DOWN || Key == VK_UP) {
        if (!List) return;
        FocusIfPossible(List);
        if (!List->GetSelection()->First() && List->GetItems()->GetCount() > 0) ChooseFirstTask();
    } else if (Key == VK_RETURN && !InFindMode()) {
        Key = 0;
        AddItemA->Execute();
    }
}

void TMainForm::TopEditKeyPress(gcl::TObject*, char& Key) {
    // Only ";" and "[" typed in add mode may be rewritten: any other key
    // leaves the text unread (three questions to the edit per character).
    if ((Key != ';' && Key != '[') || InFindMode()) {
        if (Key == '\r') Key = 0;  // Enter was handled on key down
        return;
    }
    std::wstring text = TopEdit->GetText();
    int caret = TopEdit->GetSelStart();
    const TDoubleKey rule =
        DoubleKeyRule(text, caret, static_cast<wchar_t>(static_cast<unsigned char>(Key)), true);
    if (rule == TDoubleKey::None) return;
    Key = 0;
    TopEdit->SetText(text);
    TopEdit->SetSelStart(caret);
    if (rule == TDoubleKey::OpenDatePanel)
        SetDueDateA->Execute();
    else
        SetTagsA->Execute();
}

void TMainForm::AddItemAExecute(gcl::TObject*) {
    const std::string text = QuickEntryText(TopEditText());
    if (text.empty() || !Database) return;
    // The edit keeps every character typed; the task would not.
    if (!FitsCodePage(TopEdit->GetText())) {
        gcl::ShowMessageBox(msg::UnsavableTitle, msg::AppTitle, MB_OK | MB_ICONWARNING);
        FocusTopEdit();
        return;
    }
    if (!QuickEntryHasTitle(text)) {
        gcl::ShowMessageBox(msg::NoTitleForTask, msg::AppTitle, MB_OK | MB_ICONINFORMATION);
        FocusTopEdit();
        return;
    }
    if (!LiveSettings.CurrentFolder.Name.empty()) {
        AddTask(text, LiveSettings.CurrentFolder, *Database);
        SetTopEditText(std::string());
        return;
    }
    // No list chosen ("All"): the lists menu opens under the edit, when
    // there is a list to choose.
    if (Database->Folders->GetCount() == 0) {
        gcl::ShowMessageBox(msg::NoListForTask, msg::AppTitle, MB_OK | MB_ICONINFORMATION);
        FocusTopEdit();
        return;
    }
    const gcl::TPoint at = TopEdit->ClientToScreen(gcl::TPoint{2, TopEdit->GetHeight()});
    AddItemFolderMenu->Popup(at.X, at.Y);
    FocusIfPossible(TopEdit);
}

void TMainForm::AddItemFolderMenuPopup(TBarCustomItem*, bool) {
    TBarCustomItem* root = AddItemFolderMenu->GetItems();
    root->Clear();
    if (!Database) return;
    const std::vector<std::string> names = ListMenuCaptions(*Database->Folders);
    for (size_t i = 0; i < names.size(); ++i) {
        TXtItem* item = AddClickItem(root, root, DoubleAmpersands(names[i]), static_cast<intptr_t>(i),
                                     gcl::TNotifyEvent(this, &TMainForm::AddItemFolderMenuClick));
        item->SetGroupIndex(1);
    }
}

void TMainForm::AddItemFolderMenuClick(gcl::TObject* Sender) {
    auto* item = dynamic_cast<TBarCustomItem*>(Sender);
    if (!item || !Database) return;
    TFolderRef folder;
    folder.Name = NameOfCaption(item->GetCaption()).substr(0, 50);
    AddTask(TopEditText(), folder, *Database);
    SetTopEditText(std::string());
}

void TMainForm::TxItem24Click(gcl::TObject* Sender) {
    auto* item = dynamic_cast<TBarCustomItem*>(Sender);
    if (!item) return;
    SetUtf8Text(TopEdit, QuickPriorityRewrite(QuickEntryUtf8(TopEdit), static_cast<int>(item->GetTag())));
    FocusTopEdit();
}

// ---- The floating panels ----------------------------------------------------------------

void TMainForm::ShowPanel(gcl::TControl* Panel, gcl::TPoint Point) {
    const TPoint32 at = ShowPanelPosition(TPoint32{Point.X, Point.Y}, Panel->GetWidth(), Panel->GetHeight(),
                                          GetClientWidth(), GetClientHeight());
    Panel->SetBounds(at.X, at.Y, Panel->GetWidth(), Panel->GetHeight());
    Panel->BringToFront();
    Panel->SetVisible(true);
}

void TMainForm::BindPanelButton(TXtButton* Button, TMainAction* Action) {
    Button->SetAction(Action);
    Button->OnClick = Action->GetOnExecute();
}

gcl::TPoint TMainForm::QuickEntryPanelPoint() {
    const gcl::TPoint editTopLeft = ScreenToClient(TopEdit->ClientToScreen(gcl::TPoint{0, 0}));
    const gcl::TPoint barBottom = ScreenToClient(TopPanel->ClientToScreen(gcl::TPoint{0, TopPanel->GetHeight()}));
    return gcl::TPoint{editTopLeft.X + 8, barBottom.Y};
}

void TMainForm::OpenDatePanel(gcl::TPoint At, TMainAction* OkAction, double Date, bool DropDown) {
    ShowPanel(QuickDatePanel, At);
    BindPanelButton(QuickDatePanelOk, OkAction);
    // The picker writes dates as the list does.
    QuickDate->SetFormat(PickerDateFormat(gcl::FormatSettings().ShortDateFormat, gcl::FormatSettings().DateSeparator));
    FocusIfPossible(QuickDate);
    QCheckDate->SetChecked(true);
    // The picker takes the day at its start: the last day it shows (31
    // December 9999) with the time of day is past its range, and a date it
    // refuses leaves it showing the one before, which OK would then take.
    // A day that counts as no date (1901 or before, beyond the calendar)
    // starts it at today.
    QuickDate->SetDateTime(KeptDue(Date) != 0 ? gcl::DateOf(Date) : gcl::Date());
    if (DropDown && QuickDate->HandleAllocated())
        PostMessageA(QuickDate->GetHandle(), WM_KEYDOWN, VK_F4, 0);
}

void TMainForm::OpenTagsPanel(gcl::TPoint At, TMainAction* OkAction, const std::string& Tags, bool EditFirst) {
    OpenTagsPanel(At, OkAction, gcl::AnsiToWide(Tags), EditFirst);
}

void TMainForm::OpenTagsPanel(gcl::TPoint At, TMainAction* OkAction, const std::wstring& Tags, bool EditFirst) {
    ShowPanel(QuickTagsPanel, At);
    FillQuickTagsList();
    BindPanelButton(QuickTagsPanelOk, OkAction);
    FocusIfPossible(EditFirst ? static_cast<gcl::TWinControl*>(QuickEditTags) : QuickTagsList);
    QuickEditTags->SetText(std::wstring());
    QuickEditTags->SetText(Tags);
    CaretToEnd(QuickEditTags);
}

bool TMainForm::QuickPanelOnSelection() const {
    if (QuickDatePanel.Made() && QuickDatePanel->GetVisible() && !DatePanelInQuickEntryMode()) return true;
    return QuickTagsPanel && QuickTagsPanel->GetVisible() && !TagsPanelInQuickEntryMode();
}

void TMainForm::CloseQuickPanelsOnSelection() {
    if (QuickDatePanel.Made() && QuickDatePanel->GetVisible() && !DatePanelInQuickEntryMode()) QuickPanelEscape(false);
    if (QuickTagsPanel && QuickTagsPanel->GetVisible() && !TagsPanelInQuickEntryMode()) QuickPanelEscape(true);
}

void TMainForm::CloseQuickDateCalendar() {
    if (!QuickDatePanel.Made() || !QuickDate->GetDroppedDown()) return;
    QuickDate->SetDroppedDown(false);
    if (QuickDatePanel->GetVisible()) FocusIfPossible(QuickDate);
}

bool TMainForm::DatePanelInQuickEntryMode() const { return QuickDatePanelOk->GetAction() == QDateOkA; }
bool TMainForm::TagsPanelInQuickEntryMode() const { return QuickTagsPanelOk->GetAction() == QTagsOkA; }

void TMainForm::SetDueDateAExecute(gcl::TObject*) {
    // A token the picker cannot read (";abc;") starts it at today rather
    // than keeping the panel shut.
    double date = 0;
    try {
        date = ParseDueToken(QuickEntryUtf8(TopEdit));
    } catch (const gcl::EConvertError&) {
        date = gcl::Now();
    }
    OpenDatePanel(QuickEntryPanelPoint(), QDateOkA, date, true);
}

void TMainForm::QDateOkAExecute(gcl::TObject*) {
    SetUtf8Text(TopEdit,
                QuickDateRewrite(QuickEntryUtf8(TopEdit), QCheckDate->GetChecked(), QuickDate->GetDate(), gcl::Now()));
    QuickDatePanel->Hide();
    FocusTopEdit();
}

void TMainForm::QuickDateExit(gcl::TObject*) {
    if (gcl::Screen && gcl::Screen->GetActiveControl() == QCheckDate) return;
    HideQuickPanelLeft(false);
}

void TMainForm::QCheckDateClick(gcl::TObject*) { FocusIfPossible(QuickDate); }

void TMainForm::HideQuickPanelLeft(bool Tags) {
    gcl::TWinControl* panel = Tags ? static_cast<gcl::TWinControl*>(QuickTagsPanel) : QuickDatePanel;
    // Tab takes the keyboard on to the panel's Ok button, which goes with
    // the panel: the keyboard then goes where Esc takes it rather than
    // staying on the bare window. A click elsewhere keeps its place.
    gcl::TWinControl* to = gcl::Screen ? gcl::Screen->GetActiveControl() : nullptr;
    const bool inside = to && (to == panel || panel->ContainsControl(to));
    panel->Hide();
    if (!inside) return;
    if (Tags ? TagsPanelInQuickEntryMode() : DatePanelInQuickEntryMode())
        FocusTopEdit();
    else
        FocusIfPossible(List);
}

void TMainForm::QuickPanelEscape(bool Tags) {
    const bool quickEntry = Tags ? TagsPanelInQuickEntryMode() : DatePanelInQuickEntryMode();
    if (Tags) SetQuickEditTagsText(std::string());
    if (quickEntry) {
        (Tags ? static_cast<gcl::TControl*>(QuickTagsPanel) : QuickDatePanel)->Hide();
        FocusTopEdit();
    } else {
        // Leaving the panel hides it.
        FocusIfPossible(List);
        (Tags ? static_cast<gcl::TControl*>(QuickTagsPanel) : QuickDatePanel)->Hide();
    }
}

void TMainForm::QuickDateKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState) {
    switch (Key) {
    case VK_ESCAPE: QuickPanelEscape(false); break;
    case VK_SPACE:
        if (QuickDate->HandleAllocated()) PostMessageA(QuickDate->GetHandle(), WM_KEYDOWN, VK_F4, 0);
        break;
    case VK_RETURN:
        Key = 0;
        if (gcl::TBasicAction* action = QuickDatePanelOk->GetAction()) action->Execute();
        break;
    case VK_SHIFT: QCheckDate->SetChecked(!QCheckDate->GetChecked()); break;
    default: break;
    }
}

// Shift pressed toggles the date's check box once: the key-downs a held
// Shift repeats (that of Shift+D itself, held a moment longer) toggled it
// with each repeat, and Enter then took the date away or kept it at random.
void TMainForm::QuickDateWindowProc(gcl::TMessage& Message) {
    constexpr intptr_t WasDown = intptr_t(1) << 30;
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_SHIFT && (Message.LParam & WasDown)) {
        Message.Result = 0;
        return;
    }
    if (FQuickDateWindowProc) FQuickDateWindowProc(Message);
}

void TMainForm::QuickDateKeyPress(gcl::TObject*, char& Key) {
    if (Key == '\r' || Key == 0x1B) Key = 0;
}

void TMainForm::SetTagsAExecute(gcl::TObject*) {
    OpenTagsPanel(QuickEntryPanelPoint(), QTagsOkA, gcl::Utf8Decode(ParseTagsToken(QuickEntryUtf8(TopEdit))), true);
}

void TMainForm::QTagsOkAExecute(gcl::TObject*) {
    const std::string tagged = QuickTagsRewrite(QuickEntryUtf8(TopEdit), Utf8Text(QuickEditTags));
    // Blank tags leave the text as it was, the placeholder too.
    if (!tagged.empty()) SetUtf8Text(TopEdit, tagged);
    QuickTagsPanel->Hide();
    FocusTopEdit();
    SetQuickEditTagsText(std::string());
}

TCheckListModel TMainForm::QuickTagsModel() const {
    TCheckListModel model;
    for (int i = 0; i < QuickTagsList->GetItems()->GetCount(); ++i) {
        model.Items.push_back(gcl::WideToAnsi(QuickTagsList->GetItems()->GetStrings(i)));
        model.Checked.push_back(QuickTagsList->GetChecked(i));
    }
    return model;
}

void TMainForm::FillQuickTagsList() {
    // Drawn once at the end: a list that redraws after every line took
    // seconds to fill with a few thousand tags.
    TWideStrings* items = QuickTagsList->GetItems();
    gcl::TUpdateGuard<TWideStrings> update(*items);
    items->Clear();
    if (!Database) return;
    for (int i = 0; i < Database->Tags->GetCount(); ++i) items->Add(gcl::AnsiToWide(Database->Tags->Get(i)));
}

void TMainForm::QuickEditTagsChange(gcl::TObject*) {
    if (QuickEditTags->GetTag() == 1) return;
    // The marks the edit swallows as keys come in no other way either (a
    // paste, the edit's menu): in the quick-entry text they would end the
    // tags token early and put the rest of the tags into the title.
    std::wstring text = QuickEditTags->GetText();
    int caret = QuickEditTags->GetSelStart();
    if (DropSwallowedTagMarks(text, caret)) {
        // The edit then changes again, with no mark left.
        QuickEditTags->SetText(text);
        QuickEditTags->SetSelStart(caret);
        QuickEditTags->SetSelLength(0);
        return;
    }
    TCheckListModel model = QuickTagsModel();
    FilterQuickTagsList(QuickEditTagsText(), model);
    for (size_t i = 0; i < model.Checked.size(); ++i) QuickTagsList->SetChecked(static_cast<int>(i), model.Checked[i]);
}

void TMainForm::QuickTagsListClickCheck(gcl::TObject*) {
    QuickEditTags->SetTag(1);
    try {
        SetQuickEditTagsText(CheckedTagsText(QuickTagsModel()));
    } catch (...) {
        QuickEditTags->SetTag(0);
        throw;
    }
    QuickEditTags->SetTag(0);
}

void TMainForm::QuickTagsKey(uint16_t& Key) {
    if (Key == VK_ESCAPE) {
        QuickPanelEscape(true);
    } else if (Key == VK_RETURN) {
        Key = 0;
        if (gcl::TBasicAction* action = QuickTagsPanelOk->GetAction()) action->Execute();
    }
}

void TMainForm::QuickEditTagsKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState) {
    if (Key == VK_DOWN) {
        FocusIfPossible(QuickTagsList);
        return;
    }
    QuickTagsKey(Key);
}

void TMainForm::QuickEditTagsKeyPress(gcl::TObject*, char& Key) {
    if (IsQuickTagsKeySwallowed(Key) || Key == '\r' || Key == 0x1B) Key = 0;
}

void TMainForm::QuickEditTagsExit(gcl::TObject*) {
    if (gcl::Screen && gcl::Screen->GetActiveControl() == QuickTagsList) return;
    HideQuickPanelLeft(true);
}

void TMainForm::QuickTagsListKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState) {
    if (Key == VK_UP && (QuickTagsList->GetItems()->GetCount() == 0 || QuickTagsList->GetItemIndex() <= 0)) {
        Key = 0;
        FocusIfPossible(QuickEditTags);
        CaretToEnd(QuickEditTags);
        return;
    }
    QuickTagsKey(Key);
}

void TMainForm::QuickTagsListKeyPress(gcl::TObject*, char& Key) {
    if (Key == '\r' || Key == 0x1B) Key = 0;
}

void TMainForm::QuickTagsListExit(gcl::TObject*) {
    if (gcl::Screen && gcl::Screen->GetActiveControl() == QuickEditTags) return;
    HideQuickPanelLeft(true);
}

// ======================================================================================
// The filter bar
// ======================================================================================

void TMainForm::CreateFilterBar() {
    using E = gcl::TNotifyEvent;
    FiltersPanel = NewToolbar(this, "FiltersPanel");
    FiltersPanel->SetImages(Others16);
    FiltersPanel->SetDockRow(3);
    FiltersPanel->OnClose = E(this, &TMainForm::OptionalBarClose);
    FiltersPanel->SetParent(TopDock);
    TBarCustomItem* items = FiltersPanel->GetItems();
    TXtLabelItem* label = TXtLabelItem::Create(this);
    label->SetCaption(gcl::AnsiToWide("Filters :"));
    items->Add(label);

    FFolders = TXtSubmenuItem::Create(this);
    FFolders->SetName("FFolders");
    FFolders->SetCaption((gcl::AnsiToWide(FilterCaption("", ""))));
    FFolders->GetFontSettings()->SetBold(tsTrue);
    FFolders->GetFontSettings()->SetColor(static_cast<gcl::TColor>(4605510));
    FFolders->SetOnPopup(TBarPopupEvent(this, &TMainForm::FFolders2Popup));
    items->Add(FFolders);

    FDone = AddActionItem(this, items, HideDoneA);
    FDone->SetName("FDone");

    FPriority = TXtSubmenuItem::Create(this);
    FPriority->SetName("FPriority");
    FPriority->SetCaption(gcl::AnsiToWide(PriorityFilterCaption(-1)));
    FPriority->SetTag(-1);
    items->Add(FPriority);
    AddClickItem(this, FPriority, "All", -1, E(this, &TMainForm::TxItem4Click));
    AddClickItem(this, FPriority, "High", 2, E(this, &TMainForm::TxItem4Click));
    AddClickItem(this, FPriority, "Normal", 1, E(this, &TMainForm::TxItem4Click));
    AddClickItem(this, FPriority, "Low", 0, E(this, &TMainForm::TxItem4Click));

    FDueDate = TXtSubmenuItem::Create(this);
    FDueDate->SetName("FDueDate");
    FDueDate->SetCaption(gcl::AnsiToWide(AllDatesCaption));
    items->Add(FDueDate);
    TMainAction* dueActions[DueChoiceCount] = {FDateAll, FDate0A, FOverdueA, FDate1A,  FDate2A,  FDate3A,
                                               FDate4A,  FDate5A, FDate6A,   FDate14A, FDate13A, FDate7A,
                                               FDate8A,  FDate11A, FDate9A,  FDate12A};
    for (int i = 0; i < DueChoiceCount; ++i) {
        TMainAction* action = dueActions[i];
        action->SetTag(static_cast<int>(DueChoices[static_cast<size_t>(i)].Choice));
        action->SetOnExecute(E(this, &TMainForm::FDateAExecute));
        TXtItem* item = AddActionItem(this, FDueDate, action);
        if (action == FDate1A) item->GetFontSettings()->SetBold(tsTrue);
        const TDueChoice choice = DueChoices[static_cast<size_t>(i)].Choice;
        if (choice == TDueChoice::AllDates || choice == TDueChoice::Overdue || choice == TDueChoice::Yesterday ||
            choice == TDueChoice::NextMonth || choice == TDueChoice::Next30Days)
            AddSeparator(this, FDueDate);
    }

    HideDoneA->SetOnExecute(E(this, &TMainForm::HideDoneAExecute));
    FFolderA->SetOnExecute(E(this, &TMainForm::FFolderAExecute));
    FPriorityA->SetOnExecute(E(this, &TMainForm::FPriorityAExecute));
}

void TMainForm::BuildFilter(TFilterSystem& Filter) { qelvo::BuildFilter(Filter, FilterBarState()); }

void TMainForm::FDateAExecute(gcl::TObject* Sender) {
    auto* action = dynamic_cast<TMainAction*>(Sender);
    if (!action) return;
    const TDueChoice choice = static_cast<TDueChoice>(action->GetTag());
    FDueChoice = choice;
    FDueFilterDay = gcl::Date();
    LiveSettings.DateFilter = DueDateFilterFor(choice, FDueFilterDay, LiveSettings.DateFilter);
    {
        TXtToolbarChanges changes(FiltersPanel);
        FDueDate->SetCaption(gcl::AnsiToWide(DueChoiceInfo(choice).Caption));
        SetItalic(FDueDate, choice != TDueChoice::AllDates);
    }
    RefreshTaskList();
}

void TMainForm::FollowDayInDueFilter() {
    if (!DueChoiceCountsFromToday(FDueChoice) || !List || FRefreshing) return;
    const double today = gcl::Date();
    if (today == FDueFilterDay) return;
    // A title being typed or a window over the list keeps the old day for
    // now: the next tick tries again.
    if (TGvEditManager* edit = List->GetEditManager(); edit && edit->Editing()) return;
    // So does a quick panel open on the chosen task: the refresh would take
    // the task from the selection, and the panel's OK would find none.
    if (QuickPanelOnSelection()) return;
    // And a note being typed: the refresh would empty the editor under the
    // keys (with no task chosen it takes none). The window keeps the note
    // as its control while another program is in front.
    if (RichEdit1 && GetActiveControl() == RichEdit1 && RichEdit1->GetModified()) return;
    if (!HandleAllocated() || !IsWindowEnabled(GetHandle())) return;
    FDueFilterDay = today;
    LiveSettings.DateFilter = DueDateFilterFor(FDueChoice, today, LiveSettings.DateFilter);
    RefreshTaskList();
}

void TMainForm::ApplyPriorityFilter(int Tag) {
    FPriority->SetTag(Tag);
    {
        TXtToolbarChanges changes(FiltersPanel);
        SetItalic(FPriority, Tag >= 0);
        FPriority->SetCaption(gcl::AnsiToWide(PriorityFilterCaption(Tag)));
    }
    RefreshTaskList();
}

void TMainForm::TxItem4Click(gcl::TObject* Sender) {
    if (auto* item = dynamic_cast<TBarCustomItem*>(Sender)) ApplyPriorityFilter(static_cast<int>(item->GetTag()));
}

void TMainForm::FPriorityAExecute(gcl::TObject*) {
    ApplyPriorityFilter(NextPriorityFilter(static_cast<int>(FPriority->GetTag())));
}

void TMainForm::HideDoneAExecute(gcl::TObject*) {
    RefreshTaskList();
    SetItalic(FDone, HideDoneA->GetChecked());
}

void TMainForm::FFolderAExecute(gcl::TObject*) {
    if (!List) return;
    const gcl::TPoint at = List->ClientToScreen(gcl::TPoint{0, 0});
    FFolders->Popup(at.X, at.Y, false);
}

void TMainForm::FFolders2Popup(TBarCustomItem*, bool) {
    FFolders->Clear();
    if (!Database) return;
    for (const TListsMenuItem& entry : ListsMenuModel(*Database->Folders, static_cast<int>(FFolders->GetTag()))) {
        TXtItem* item = AddClickItem(FFolders, FFolders, DoubleAmpersands(entry.Caption), entry.Tag,
                                     gcl::TNotifyEvent(this, &TMainForm::FFoldersItemClick));
        item->SetGroupIndex(1);
        if (entry.Bold) item->GetFontSettings()->SetBold(tsTrue);
        if (entry.SeparatorAfter) FFolders->Add(TBarSeparatorItem::Create(FFolders));
    }
}

void TMainForm::UpdateFilterCaption() {
    FFolders->SetCaption(CaptionOfName(FilterCaption(LiveSettings.CurrentFolder.Name, LiveSettings.TagFilter)));
    SetItalic(FoldersTab, !LiveSettings.CurrentFolder.Name.empty());
    SetItalic(TagsTab, !LiveSettings.TagFilter.empty());
}

void TMainForm::FFoldersItemClick(gcl::TObject* Sender) {
    auto* item = dynamic_cast<TBarCustomItem*>(Sender);
    if (!item) return;
    const int tag = static_cast<int>(item->GetTag());
    FFolders->SetTag(tag);
    if (ListsTabShown()) {
        if (tag >= 0 && tag < FoldersList->GetItems()->GetCount()) SelectTreeNodeOnly(tag);
        return;
    }
    TListsMenuItem entry;
    entry.Caption = NameOfCaption(item->GetCaption());
    entry.Tag = tag;
    LiveSettings.CurrentFolder.Name = ListFromMenuItem(entry);
    UpdateFilterCaption();
    RefreshTaskList();
}

// ======================================================================================
// The lists and tags panel
// ======================================================================================

void TMainForm::CreateListsPanel() {
    using E = gcl::TNotifyEvent;
    OrgPanel = TXtDockablePanel::Create(this);
    OrgPanel->SetName("OrgPanel");
    OrgPanel->SetDockedWidth(200);
    // A title bar of 30 pixels holding only the two tabs: no caption text
    // and no caption buttons.
    TXtDockablePanelButtonOptions* orgButtons = OrgPanel->GetOptions();
    orgButtons->SetCaption(false);
    orgButtons->SetClose(false);
    orgButtons->SetMinimize(false);
    orgButtons->SetMaximize(false);
    orgButtons->SetTitleBarSize(30);
    OrgPanel->SetParent(LeftDock);
    OrgPanel->OnDockedResizing = TTxDockedResizing(this, &TMainForm::PanelDockedResizing);
    OrgPanel->OnDockChanging = TBarDockChangingEvent(this, &TMainForm::OrgPanelDockChanging);
    OrgPanel->OnDockChanged = E(this, &TMainForm::OrgPanelDockChanged);

    // The tabs "Todo Lists" and "Tags" on the panel's caption bar.
    FoldersTab = TXtTabItem::Create(this);
    FoldersTab->SetName("FoldersTab");
    FoldersTab->SetCaption(gcl::AnsiToWide("Todo Lists"));
    FoldersTab->SetChecked(true);
    FoldersTab->SetOnClick(E(this, &TMainForm::FoldersTabClick));
    OrgPanel->GetItems()->Add(FoldersTab);
    TagsTab = TXtTabItem::Create(this);
    TagsTab->SetName("TagsTab");
    TagsTab->SetCaption(gcl::AnsiToWide("Tags"));
    TagsTab->SetOnClick(E(this, &TMainForm::TagsTabClick));
    OrgPanel->GetItems()->Add(TagsTab);

    // The strip under the tree: the "< New List >" link and the editors of
    // a new name and icon.
    XtPanel1 = TXtPanel::Create(this);
    XtPanel1->SetName("XtPanel1");
    XtPanel1->SetAlign(gcl::alBottom);
    XtPanel1->SetHeight(30);
    XtPanel1->SetParent(OrgPanel);
    NewFTLbl = TXtLabel::Create(this);
    NewFTLbl->SetName("NewFTLbl");
    ArialFont(NewFTLbl, 16);
    NewFTLbl->SetCaption(std::wstring(L"< New List >"));
    // The label fills the strip (it would otherwise shrink to its text at
    // the left edge) with its text centred.
    NewFTLbl->SetAutoSize(false);
    NewFTLbl->SetAlign(gcl::alClient);
    NewFTLbl->SetAlignment(gcl::taCenter);
    NewFTLbl->SetCursor(gcl::crHandPoint);
    NewFTLbl->SetParent(XtPanel1);
    NewFTLbl->OnClick = E(this, &TMainForm::NewFTLblClick);
    FolderImgE = TTxcImageListCombo::Create(this);
    FolderImgE->SetName("FolderImgE");
    FolderImgE->SetVisible(false);
    FolderImgE->SetAlign(gcl::alRight);
    FolderImgE->SetWidth(56);
    FolderImgE->SetParent(XtPanel1);
    FolderImgE->SetImages(CatIcons_24);
    FolderImgE->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::FolderImgEKeyDown);
    FolderImgE->OnExit = E(this, &TMainForm::FolderImgEExit);
    FolderTextE = TQuickEdit::Create(this);
    FolderTextE->SetName("FolderTextE");
    FolderTextE->SetVisible(false);
    FolderTextE->SetAlign(gcl::alClient);
    FolderTextE->SetParent(XtPanel1);
    FolderTextE->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::FolderTextEKeyDown);
    FolderTextE->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::FolderTextEKeyPress);

    OrgRightMenu = TXtPopupMenu::Create(this);
    OrgRightMenu->SetName("OrgRightMenu");
    TBarCustomItem* menu = OrgRightMenu->GetItems();
    menu->SetOnPopup(TBarPopupEvent(this, &TMainForm::OrgRightMenuPopup));
    OrgRightCaptions.Add(this, menu, EditA, L"Edit                      Enter");
    OrgRightCaptions.Add(this, menu, DelA, L"Delete                  Del");
    // Shown as the lists tab's ChangeIconA is; its key is in its caption.
    ChangeFIcon = OrgRightCaptions.Add(this, menu, ChangeIconA, L"Change icon        Ctrl+I");
    ChangeFIcon->SetName("ChangeFIcon");
    AddSeparator(this, menu);
    OrgRightCaptions.Add(this, menu, MoveUpA, L"Move Up             Ctrl+Up");
    OrgRightCaptions.Add(this, menu, MoveDownA, L"Move Down        Ctrl+Down");

    FoldersList = TUniTreeView::Create(this);
    FoldersList->SetName("FoldersList");
    FoldersList->SetAlign(gcl::alClient);
    FoldersList->GetFont()->SetName("Verdana");
    FoldersList->GetFont()->SetHeight(-15);
    FoldersList->SetHideSelection(false);
    FoldersList->SetHotTrack(true);
    FoldersList->SetRowSelect(true);
    FoldersList->SetShowButtons(false);
    FoldersList->SetShowLines(false);
    FoldersList->SetShowRoot(false);
    FoldersList->SetIndent(27);
    FoldersList->SetImages(CatIcons_24);
    FoldersList->SetPopupMenu(OrgRightMenu);
    FoldersList->SetParent(OrgPanel);
    FoldersList->OnChange = gcl::TTVChangedEvent(this, &TMainForm::FoldersList2Change);
    FoldersList->OnEditing = gcl::TTVEditingEvent(this, &TMainForm::FoldersListEditing);
    FoldersList->OnEdited = TUniTVEditedEvent(this, &TMainForm::FoldersListEdited);
    FoldersList->OnCancelEdit = gcl::TTVChangedEvent(this, &TMainForm::FoldersListCancelEdit);
    FoldersList->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::FoldersList2KeyDown);
    FoldersList->OnKeyPress = gcl::TKeyPressEvent(this, &TMainForm::FoldersList2KeyPress);
    FoldersList->OnDblClick = E(this, &TMainForm::FoldersList2DblClick);
    FoldersList->OnMouseUp = gcl::TMouseEvent(this, &TMainForm::FoldersList2MouseUp);
    FoldersList->OnContextPopup = gcl::TContextPopupEvent(this, &TMainForm::FoldersList2ContextPopup);
    FoldersList->OnClick = E(this, &TMainForm::FoldersList2Click);
    FoldersList->OnEnter = E(this, &TMainForm::FoldersList2Enter);
    FoldersList->OnExit = E(this, &TMainForm::FoldersList2Exit);
    FoldersList->OnDragOver = gcl::TDragOverEvent(this, &TMainForm::FoldersList2DragOver);
    FoldersList->OnDragDrop = gcl::TDragDropEvent(this, &TMainForm::FoldersList2DragDrop);

    // The floating icon chooser of a list.
    FolderIconPanel = TXtPanel::Create(this);
    FolderIconPanel->SetName("FolderIconPanel");
    FolderIconPanel->SetVisible(false);
    FolderIconPanel->SetBounds(0, 0, 120, 40);
    FolderIconPanel->SetParent(OrgPanel);
    FolderEditIcon = TTxcImageListCombo::Create(this);
    FolderEditIcon->SetName("FolderEditIcon");
    FolderEditIcon->SetBounds(6, 6, 60, 28);
    FolderEditIcon->SetParent(FolderIconPanel);
    FolderEditIcon->SetImages(CatIcons_24);
    FolderEditIcon->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::FolderEditIconKeyDown);
    FolderEditIcon->OnExit = E(this, &TMainForm::FolderEditIconExit);
    TXtButton* ok = TXtButton::Create(this);
    ok->SetName("FolderIconOk");
    ok->SetBounds(70, 8, 44, 24);
    ok->SetParent(FolderIconPanel);
    ok->SetAction(FolderIconOkA);

    NewListTagM->SetOnExecute(E(this, &TMainForm::NewListTagMExecute));
    FolderIconOkA->SetOnExecute(E(this, &TMainForm::FolderIconOkAExecute));
    EditFolderIconA->SetOnExecute(E(this, &TMainForm::EditFolderIconAExecute));
    ChangeIconA->SetOnExecute(E(this, &TMainForm::EditFolderIconAExecute));
    DelA->SetOnExecute(E(this, &TMainForm::DelAExecute));
    EditA->SetOnExecute(E(this, &TMainForm::EditAExecute));
    MoveUpA->SetOnExecute(E(this, &TMainForm::MoveUpAExecute));
    MoveDownA->SetOnExecute(E(this, &TMainForm::MoveDownAExecute));
}

bool TMainForm::ListsTabShown() const { return !FoldersTab || FoldersTab->GetChecked(); }

// ---- The tree and its model -------------------------------------------------------------

TListsTreeModel TMainForm::TreeModel() {
    TListsTreeModel model;
    model.ListsMode = ListsTabShown();
    TUniTreeNodes* nodes = FoldersList->GetItems();
    for (TUniTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNextSibling()) {
        TTreeNode entry;
        entry.Text = gcl::WideToAnsi(node->GetText());
        entry.ImageIndex = node->GetImageIndex();
        entry.Selected = node->GetSelected();
        model.Nodes.push_back(std::move(entry));
    }
    return model;
}

void TMainForm::ShowTreeModel(const TListsTreeModel& Model) {
    gcl::TFlagScope quiet(FTreeUpdating);
    TUniTreeNodes* nodes = FoldersList->GetItems();
    nodes->BeginUpdate();
    try {
        nodes->Clear();
        for (const TTreeNode& entry : Model.Nodes) {
            TUniTreeNode* node = nodes->Add(nullptr, gcl::AnsiToWide(entry.Text));
            node->SetImageIndex(entry.ImageIndex);
            node->SetSelectedIndex(entry.ImageIndex);
        }
    } catch (...) {
        nodes->EndUpdate();
        throw;
    }
    nodes->EndUpdate();
}

void TMainForm::TakeTreeLabelEdit() {
    if (FoldersList && FoldersList->IsEditing()) FoldersList->Perform(TVM_ENDEDITLABELNOW, 0);
    ShowJoinedTree();
}

void TMainForm::ShowJoinedTree() {
    if (!FTreeJoinPending) return;
    FTreeJoinPending = false;
    RebuildSideTree();
    RefreshTaskList();
}

bool TMainForm::TakeNewNameEdit() {
    if (!FolderTextE || !FolderTextE->GetVisible()) return true;
    if (!gcl::Trim(EditText(FolderTextE)).empty()) {
        AddTreeNodeFromEditor(false);
        if (FolderTextE->GetVisible()) return false;
    }
    HideTreeEditors();
    FocusIfPossible(FoldersList);
    return true;
}

void TMainForm::BuildListsTree(const gcl::TStrings& Folders) {
    TakeTreeLabelEdit();
    TListsTreeModel model;
    model.BuildListsTree(Folders);
    ShowTreeModel(model);
}

void TMainForm::BuildTagsTree(const gcl::TStrings& Tags) {
    TakeTreeLabelEdit();
    TListsTreeModel model;
    model.BuildTagsTree(Tags);
    ShowTreeModel(model);
}

void TMainForm::StoreListsFromTree(gcl::TStrings& Folders) {
    bool modified = false;
    TreeModel().StoreListsFromTree(Folders, modified);
    if (modified && Database) Database->Modified = true;
}

void TMainForm::StoreTagsFromTree(gcl::TStrings& Tags) {
    gcl::TFlagScope quiet(FTreeUpdating);
    bool modified = false;
    TreeModel().StoreTagsFromTree(Tags, modified);
    if (modified && Database) Database->Modified = true;
}

void TMainForm::RebuildSideTree() {
    if (!Database || !FoldersList) return;
    // A list or tag the database no longer holds is no longer chosen: new
    // tasks would go to a list that is gone.
    KeepExistingFilter(*Database, LiveSettings.CurrentFolder.Name, LiveSettings.TagFilter);
    if (ListsTabShown())
        BuildListsTree(*Database->Folders);
    else
        BuildTagsTree(*Database->Tags);
    RestoreTreeSelection(ListsTabShown());
    MarkChosenListInMenu();
    UpdateFilterCaption();
}

void TMainForm::MarkChosenListInMenu() {
    const int entry = LiveSettings.CurrentFolder.Name.empty()
                          ? -1
                          : ChosenFolderEntry(*Database->Folders, LiveSettings.CurrentFolder.Name);
    FFolders->SetTag(entry + 1);
}

void TMainForm::StoreSideTree(bool TakeLabelEdit) {
    if (!Database || !FoldersList) return;
    if (TakeLabelEdit) TakeTreeLabelEdit();
    if (ListsTabShown())
        StoreListsFromTree(*Database->Folders);
    else
        StoreTagsFromTree(*Database->Tags);
}

void TMainForm::SelectTreeNodeOnly(int Index) {
    TUniTreeNode* node = FoldersList->GetItems()->GetItem(Index);
    FoldersList->ClearSelection();
    FoldersList->Select(node);
}

void TMainForm::RestoreTreeSelection(bool ListsMode) {
    TListsTreeModel model = TreeModel();
    model.RestoreTreeSelection(ListsMode ? LiveSettings.CurrentFolder.Name : std::string(),
                               ListsMode ? std::string() : LiveSettings.TagFilter);
    gcl::TFlagScope quiet(FTreeUpdating);
    FoldersList->ClearSelection();
    TUniTreeNodes* nodes = FoldersList->GetItems();
    bool first = true;
    for (size_t i = 0; i < model.Nodes.size(); ++i) {
        if (!model.Nodes[i].Selected) continue;
        TUniTreeNode* node = nodes->GetItem(static_cast<int>(i));
        if (first)
            FoldersList->Select(node);
        else
            FoldersList->Subselect(node);
        first = false;
    }
}

bool TMainForm::RegisterTaskTags(const std::string& Tags) {
    if (!Database || !qelvo::RegisterTaskTags(*Database, Tags)) return false;
    TagsAdded();
    return true;
}

void TMainForm::TagsAdded() {
    if (FoldersList && !ListsTabShown()) {
        BuildTagsTree(*Database->Tags);
        RestoreTreeSelection(false);
    }
}

// ---- Tabs and selection -------------------------------------------------------------------

void TMainForm::FoldersTabClick(gcl::TObject*) {
    if (!Database) return;
    TakeTreeLabelEdit();
    if (!TakeNewNameEdit()) return;
    if (!ListsTabShown()) StoreTagsFromTree(*Database->Tags);
    FoldersTab->SetChecked(true);
    TagsTab->SetChecked(false);
    BuildListsTree(*Database->Folders);
    NewFTLbl->SetCaption(std::wstring(L"< New List >"));
    ChangeIconA->SetEnabled(true);
    RestoreTreeSelection(true);
    NewListTagM->SetCaption(gcl::AnsiToWide("New List"));
    FoldersList->SetMultiSelect(false);
}

void TMainForm::TagsTabClick(gcl::TObject*) {
    if (!Database) return;
    TakeTreeLabelEdit();
    if (!TakeNewNameEdit()) return;
    if (ListsTabShown()) StoreListsFromTree(*Database->Folders);
    TagsTab->SetChecked(true);
    FoldersTab->SetChecked(false);
    FoldersList->SetMultiSelect(true);
    BuildTagsTree(*Database->Tags);
    NewFTLbl->SetCaption(std::wstring(L"< New tag >"));
    ChangeIconA->SetEnabled(false);
    RestoreTreeSelection(false);
    NewListTagM->SetCaption(gcl::AnsiToWide("New tag"));
}

void TMainForm::FoldersList2Change(gcl::TObject*, gcl::TTreeNode*) {
    if (FTreeUpdating) return;
    TreeEditing = false;
    const TListsTreeModel model = TreeModel();
    if (model.ListsMode) {
        LiveSettings.CurrentFolder.Name = model.SelectedListName();
        FFolders->SetTag(std::max(model.SelectedIndex(), 0));
    } else {
        LiveSettings.TagFilter = model.SelectedTagFilter();
    }
    UpdateFilterCaption();
    RefreshTaskList();
}

void TMainForm::FoldersList2MouseUp(gcl::TObject*, gcl::TMouseButton, gcl::TShiftState, int, int Y) {
    if (!FoldersList->GetNodeAt(15, Y)) {
        FoldersList->ClearSelection();
        FoldersList2Change(FoldersList, nullptr);
    }
}

// A right click selects the node under the pointer before the menu opens,
// so that the menu's commands act on it; a node that is already one of the
// selected tags keeps the whole selection. Below the nodes it chooses none,
// as a left click there does (the tree's own right-click handling takes
// the button's release, so the mouse-up rule never sees it): the menu's
// commands then have nothing to act on. A menu opened from the keyboard
// comes at the focused node (the tree hands its point on), which it then
// acts on; with no node focused it comes at the tree's client origin,
// where the pointer is not, and leaves the selection alone (it chose "All"
// there, so the menu never acted on the list chosen).
void TMainForm::FoldersList2ContextPopup(gcl::TObject*, gcl::TPoint MousePos, bool&) {
    if (MousePos.X == 0 && MousePos.Y == 0) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const gcl::TPoint at = FoldersList->ScreenToClient(gcl::TPoint{cursor.x, cursor.y});
        if (std::abs(at.X) > 2 || std::abs(at.Y) > 2) return;
    }
    if (!FoldersList->GetNodeAt(15, MousePos.Y)) {
        FoldersList2MouseUp(FoldersList, gcl::mbRight, gcl::TShiftState{}, MousePos.X, MousePos.Y);
        return;
    }
    TUniTreeNode* node = FoldersList->GetNodeAt(MousePos.X, MousePos.Y);
    if (!node || node->GetSelected()) return;
    SelectTreeNodeOnly(node->GetIndex());
}

void TMainForm::FoldersList2KeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState Shift) {
    const bool ctrl = Shift.Contains(gcl::ssCtrl);
    if ((Key == VK_LEFT || Key == VK_RIGHT) && !TreeEditing) {
        Key = 0;
        if (ctrl) {
            (ListsTabShown() ? TagsTab : FoldersTab)->Click();
        } else if (List) {
            FocusIfPossible(List);
            if (!List->GetSelection()->First() && List->GetItems()->GetCount() > 0) ChooseFirstTask();
        }
    } else if (ctrl && Key == VK_UP) {
        Key = 0;
        MoveUpA->Execute();
    } else if (ctrl && Key == VK_DOWN) {
        Key = 0;
        MoveDownA->Execute();
    } else if (Key == VK_DELETE && !TreeEditing) {
        Key = 0;
        DelA->Execute();
    } else if (Key == VK_RETURN && !TreeEditing) {
        Key = 0;
        if (TUniTreeNode* node = ChosenTreeNode()) node->EditText();
    }
}

void TMainForm::FoldersList2KeyPress(gcl::TObject*, char& Key) {
    if (Key == '\r' && !TreeEditing) Key = 0;
}

void TMainForm::FoldersList2DblClick(gcl::TObject*) { EditAExecute(this); }

void TMainForm::FoldersList2Click(gcl::TObject*) { TreeEditing = false; }

void TMainForm::FoldersList2Exit(gcl::TObject*) { TreeEditing = false; }

// An edit ended by Esc gives the tree its keys back (Enter, Delete, the
// arrows) as an accepted one does.
void TMainForm::FoldersListCancelEdit(gcl::TObject*, gcl::TTreeNode*) { TreeEditing = false; }

void TMainForm::FoldersList2Enter(gcl::TObject*) { HideTreeEditors(); }

void TMainForm::HideTreeEditors() {
    if (!FolderTextE) return;
    FolderTextE->SetVisible(false);
    FolderImgE->SetVisible(false);
    NewFTLbl->SetVisible(true);
}

// ---- Renaming, deleting and moving ------------------------------------------------------------

namespace {

// The warning of a refused character, text or name (the reasons of
// UnsavableTypedMessage).
const char* RefusalText(WPARAM What) {
    return What == UnsavableTextPasted    ? msg::UnsavablePasted
           : What == UnsavableTextDropped ? msg::UnsavableDropped
           : What == UnsavableNameGiven   ? msg::UnsavableName
           : What == TagNameWithSeparators ? msg::TagNameSeparators
           : What == ListNameWithSeparator ? msg::ListNameSeparator
           : What == TagNameAsMarker       ? msg::TagNameMarker
                                           : msg::UnsavableTyped;
}

// Why a list (ListsMode) or tag may not take Name: the warning to give, or
// 0 when it may.
WPARAM NameRefusal(bool ListsMode, const std::string& Name) {
    if (ListsMode) return IsListNameAllowed(Name) ? WPARAM{0} : WPARAM{ListNameWithSeparator};
    if (!IsTagNameAllowed(Name)) return TagNameWithSeparators;
    return IsFileMarker(gcl::Trim(Name)) ? WPARAM{TagNameAsMarker} : WPARAM{0};
}

} // namespace

void TMainForm::FoldersListEditing(gcl::TObject*, gcl::TTreeNode* Node, bool& AllowEdit) {
    AllowEdit = Node && Node->GetIndex() > 0;
    if (AllowEdit) TreeEditing = true;
}

void TMainForm::FoldersListEdited(gcl::TObject*, TUniTreeNode* Node, std::wstring& S) {
    TreeEditing = false;
    if (!Node || !Database) return;
    TListsTreeModel model = TreeModel();
    // A name the database cannot hold: the node keeps its name, and the
    // user is told once the editor has gone.
    if (!FitsCodePage(S)) {
        S = Node->GetText();
        PostMessageW(GetHandle(), UnsavableTypedMessage, UnsavableNameGiven, 0);
        return;
    }
    // Nor one with a separator of the file in it (the new-tag editor
    // keeps a tag's out).
    if (const WPARAM refused = NameRefusal(model.ListsMode, gcl::WideToAnsi(S))) {
        S = Node->GetText();
        PostMessageW(GetHandle(), UnsavableTypedMessage, refused, 0);
        return;
    }
    const std::string oldText = gcl::WideToAnsi(Node->GetText());
    const std::string text = gcl::Trim(gcl::WideToAnsi(S));
    std::string joined;
    // An empty name counts as a cancelled edit: the node keeps its text.
    if (!RenameNode(model, Node->GetIndex(), text, *Database, &joined)) {
        S = Node->GetText();
        return;
    }
    if (!joined.empty()) {
        // It joined the list or tag of that name: the node goes once its
        // editor has (the tree view still holds it until then).
        S = Node->GetText();
        FollowRename(model.ListsMode, oldText, joined, LiveSettings.CurrentFolder.Name, LiveSettings.TagFilter);
        FTreeJoinPending = true;
        PostMessageW(GetHandle(), TreeJoinedMessage, 0, 0);
        return;
    }
    S = gcl::AnsiToWide(text);
    // The chosen list or tag stays chosen under its new name.
    FollowRename(model.ListsMode, oldText, text, LiveSettings.CurrentFolder.Name, LiveSettings.TagFilter);
    UpdateFilterCaption();
    RefreshTaskList();
}

TUniTreeNode* TMainForm::ChosenTreeNode() {
    TUniTreeNode* node = FoldersList->GetSelected();
    return node && node->GetSelected() ? node : nullptr;
}

void TMainForm::EditAExecute(gcl::TObject*) {
    TUniTreeNode* node = ChosenTreeNode();
    if (node && node->GetIndex() > 0) node->EditText();
}

void TMainForm::DelAExecute(gcl::TObject*) {
    TUniTreeNode* node = ChosenTreeNode();
    if (!node || node->GetIndex() == 0 || !Database) return;
    if (ListsTabShown() && gcl::MessageDlg(msg::DeleteListQuestion, gcl::mtConfirmation,
                                           gcl::TMsgDlgButtons{gcl::mbYes, gcl::mbNo}) != gcl::mrYes)
        return;
    // Deleting a list frees its tasks: the list and the note editor let go
    // of every task first.
    ReleaseTaskReferences();
    TListsTreeModel model = TreeModel();
    DeleteNode(model, node->GetIndex(), *Database);
    {
        gcl::TFlagScope quiet(FTreeUpdating);
        node->Delete();
        // The tags tab chooses none when its only chosen tag goes: "All"
        // shows what the filter then is.
        if (TreeModel().SelectedIndex() < 0) SelectTreeNodeOnly(0);
    }
    FoldersList2Change(FoldersList, FoldersList->GetSelected());
}

void TMainForm::MoveNode(bool Up) {
    // Ctrl+Up and Ctrl+Down come from the name's editor too: the name typed
    // is taken before the node moves (the move takes the node's row from
    // under the editor, which may then end without it). A name that joined
    // another list or tag leaves no node of its own to move.
    if (FoldersList->IsEditing()) {
        FoldersList->Perform(TVM_ENDEDITLABELNOW, 0);
        if (FTreeJoinPending) {
            ShowJoinedTree();
            return;
        }
    }
    TUniTreeNode* node = ChosenTreeNode();
    if (!node || !Database) return;
    TListsTreeModel model = TreeModel();
    const int index = node->GetIndex();
    if (!(Up ? model.MoveUp(index) : model.MoveDown(index))) return;
    {
        // The two rows trade names and icons (every node is a top-level
        // sibling with nothing else of its own): taking the window's item
        // out and back in made it lay out every row below again, seconds
        // among a hundred thousand tags.
        gcl::TFlagScope quiet(FTreeUpdating);
        TUniTreeNode* other = FoldersList->GetItems()->GetItem(Up ? index - 1 : index + 1);
        const std::wstring text = node->GetText();
        const int image = node->GetImageIndex(), selectedImage = node->GetSelectedIndex();
        node->SetText(other->GetText());
        node->SetImageIndex(other->GetImageIndex());
        node->SetSelectedIndex(other->GetSelectedIndex());
        other->SetText(text);
        other->SetImageIndex(image);
        other->SetSelectedIndex(selectedImage);
        FoldersList->Select(other);
    }
    StoreSideTree();
    // The chosen list keeps its mark in the list menu at its new place.
    if (ListsTabShown()) MarkChosenListInMenu();
}

void TMainForm::MoveUpAExecute(gcl::TObject*) { MoveNode(true); }
void TMainForm::MoveDownAExecute(gcl::TObject*) { MoveNode(false); }

// ---- New lists and tags ----------------------------------------------------------------------

void TMainForm::NewFTLblClick(gcl::TObject*) {
    if (ListsTabShown()) FolderImgE->SetVisible(true);
    FolderTextE->SetVisible(true);
    SetEditText(FolderTextE, std::string());
    FocusIfPossible(FolderTextE);
    NewFTLbl->SetVisible(false);
}

void TMainForm::NewListTagMExecute(gcl::TObject* Sender) { NewFTLblClick(Sender); }

void TMainForm::FolderTextEKeyPress(gcl::TObject*, char& Key) {
    if ((!ListsTabShown() && IsTagNameKeySwallowed(Key)) || Key == '\r' || Key == 0x1B) Key = 0;
}

void TMainForm::AddTreeNodeFromEditor(bool KeepOpen) {
    // Blanks around a name go; a name of blanks would show as an empty row
    // (and a blank tag chosen filters every task away): it adds nothing,
    // as an empty one does.
    const std::string text = gcl::Trim(EditText(FolderTextE));
    if (text.empty() || !Database) return;
    if (!FitsCodePage(FolderTextE->GetText())) {
        gcl::ShowMessageBox(msg::UnsavableName, msg::AppTitle, MB_OK | MB_ICONWARNING);
        FocusIfPossible(FolderTextE);
        return;
    }
    const bool lists = ListsTabShown();
    // A tag's typed separators are swallowed; pasted ones are refused.
    if (const WPARAM refused = NameRefusal(lists, text)) {
        gcl::ShowMessageBox(RefusalText(refused), msg::AppTitle, MB_OK | MB_ICONWARNING);
        FocusIfPossible(FolderTextE);
        return;
    }
    if (NamesakeNode(TreeModel(), -1, text) > 0) {
        gcl::ShowMessageBox(lists ? msg::ListNameTaken : msg::TagNameTaken, msg::AppTitle, MB_OK | MB_ICONWARNING);
        FocusIfPossible(FolderTextE);
        return;
    }
    {
        gcl::TFlagScope quiet(FTreeUpdating);
        TUniTreeNode* node = FoldersList->GetItems()->Add(nullptr, gcl::AnsiToWide(text));
        const int image = lists ? std::max(FolderImgE->GetItemIndex(), 0) : TagNodeImage;
        node->SetImageIndex(image);
        node->SetSelectedIndex(image);
        // It goes last, below the rows in sight once the tree is long.
        node->MakeVisible();
    }
    StoreSideTree();
    SetEditText(FolderTextE, std::string());
    if (!KeepOpen) {
        HideTreeEditors();
        FocusIfPossible(FoldersList);
    } else {
        FocusIfPossible(FolderTextE);
    }
}

void TMainForm::FolderTextEKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState Shift) {
    switch (Key) {
    case VK_RETURN:
        Key = 0;
        AddTreeNodeFromEditor(Shift.Contains(gcl::ssShift));
        break;
    case VK_ESCAPE:
        Key = 0;
        HideTreeEditors();
        FocusIfPossible(FoldersList);
        break;
    case VK_UP:
    case VK_DOWN:
        if (ListsTabShown()) {
            Key = 0;
            FocusIfPossible(FolderImgE);
            FolderImgE->SetDroppedDown(true);
        }
        break;
    default: break;
    }
}

void TMainForm::FolderImgEKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState Shift) {
    switch (Key) {
    case VK_ESCAPE:
        Key = 0;
        HideTreeEditors();
        FocusIfPossible(FoldersList);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        Key = 0;
        FocusIfPossible(FolderTextE);
        CaretToEnd(FolderTextE);
        break;
    case VK_SPACE:
        Key = 0;
        FolderImgE->SetDroppedDown(true);
        break;
    case VK_RETURN:
        Key = 0;
        AddTreeNodeFromEditor(Shift.Contains(gcl::ssShift));
        break;
    default: break;
    }
}

void TMainForm::FolderImgEExit(gcl::TObject*) {
    if (gcl::Screen && gcl::Screen->GetActiveControl() == FolderTextE) return;
    HideTreeEditors();
}

// ---- Icons of lists ---------------------------------------------------------------------------

void TMainForm::EditFolderIconAExecute(gcl::TObject*) {
    TUniTreeNode* node = FoldersList->GetSelected();
    if (!ListsTabShown() || !FoldersList->Focused() || !node || node->GetIndex() == 0) return;
    FolderIconPanel->SetLeft(OrgPanel->GetWidth() / 2 - FolderIconPanel->GetWidth() / 2);
    FolderIconPanel->SetTop(OrgPanel->GetHeight() / 2 - FolderIconPanel->GetHeight() / 2);
    FolderEditIcon->SetItemIndex(node->GetImageIndex());
    FolderIconPanel->BringToFront();
    FolderIconPanel->SetVisible(true);
    FocusIfPossible(FolderEditIcon);
    if (FolderEditIcon->HandleAllocated()) FolderEditIcon->SetDroppedDown(true);
}

void TMainForm::HideFolderIconPanel() {
    FolderIconPanel->SetVisible(false);
    FocusIfPossible(FoldersList);
}

void TMainForm::FolderIconOkAExecute(gcl::TObject*) {
    if (TUniTreeNode* node = FoldersList->GetSelected(); node && node->GetIndex() > 0 && Database) {
        node->SetImageIndex(FolderEditIcon->GetItemIndex());
        node->SetSelectedIndex(FolderEditIcon->GetItemIndex());
        StoreListsFromTree(*Database->Folders);
    }
    HideFolderIconPanel();
}

void TMainForm::FolderEditIconKeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState) {
    if (Key == VK_RETURN) {
        Key = 0;
        FolderIconOkA->Execute();
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        HideFolderIconPanel();
    } else if (Key == VK_SPACE) {
        Key = 0;
        FolderEditIcon->SetDroppedDown(true);
    }
}

void TMainForm::FolderEditIconExit(gcl::TObject*) {
    if (FolderIconPanel->GetVisible()) HideFolderIconPanel();
}

void TMainForm::OrgRightMenuPopup(TBarCustomItem*, bool) {
    OrgRightCaptions.Restore();
    ChangeFIcon->SetVisible(ChangeIconA->GetEnabled());
}

// ---- Dropping tasks on the tree ---------------------------------------------------------------

void TMainForm::FoldersList2DragOver(gcl::TObject*, gcl::TObject* Source, int, int, gcl::TDragState, bool& Accept) {
    Accept = Source == List;
}

void TMainForm::FoldersList2DragDrop(gcl::TObject*, gcl::TObject* Source, int X, int Y) {
    TUniTreeNode* node = FoldersList->GetNodeAt(X, Y);
    std::vector<TuTask*> dropped;
    if (Source == List) dropped = SelectedTasks();
    if (node && node->GetIndex() > 0 && Database && !dropped.empty()) {
        TListviewUpdate update(List);
        DropOnNode(TreeModel(), node->GetIndex(), dropped, *Database);
    }
    // The tasks dropped stay chosen where the list shows them now (also
    // when "All" or no node took them).
    RefreshChoosing(dropped);
}

// ======================================================================================
// The note panel
// ======================================================================================

// ---- Characters the database cannot hold ------------------------------------------------

namespace {

bool GTypingGuard = false;
HWND GTypingGuardWindow = nullptr;
bool GTypingWarningPending = false;

// The rule of the whole text, for one character; runs in a hook, so no
// error leaves it.
bool CharFitsCodePage(wchar_t c) noexcept {
    if (c < 0x80) return true;
    try {
        return FitsCodePage(std::wstring(1, c));
    } catch (...) {
        return false;
    }
}

// Whether the wide text of a global block (up to its first NUL) holds a
// character the code page lacks.
bool GlobalTextUnfit(HGLOBAL data) {
    bool unfit = false;
    if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
        const size_t limit = GlobalSize(data) / sizeof(wchar_t);
        for (size_t i = 0; i < limit && text[i] && !unfit; ++i) unfit = !CharFitsCodePage(text[i]);
        GlobalUnlock(data);
    }
    return unfit;
}

// Whether the clipboard's text holds a character the code page lacks.
bool ClipboardTextUnfit() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return false;
    bool unfit = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) unfit = GlobalTextUnfit(data);
    CloseClipboard();
    return unfit;
}

// The wide text a drop offers: whether there is any, and whether it holds a
// character the code page lacks.
struct TDroppedText {
    bool Offered = false;
    bool Unfit = false;
};
TDroppedText DroppedText(IDataObject* data) {
    TDroppedText dropped;
    FORMATETC wide{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || data->QueryGetData(&wide) != S_OK || data->GetData(&wide, &medium) != S_OK) return dropped;
    dropped.Offered = medium.tymed == TYMED_HGLOBAL;
    dropped.Unfit = dropped.Offered && GlobalTextUnfit(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return dropped;
}

// Ctrl+V or Shift+Insert for an edit control.
bool IsPasteKey(const MSG& msg) {
    // The key first: the keyboard state is a trip to the window server.
    if (msg.message != WM_KEYDOWN || (msg.wParam != 'V' && msg.wParam != VK_INSERT)) return false;
    if (GetKeyState(VK_MENU) < 0) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    // Ctrl+V pastes with Shift held too (the edit's Ctrl+V character, the
    // rich edit's key).
    if (!(msg.wParam == 'V' && ctrl) && !(msg.wParam == VK_INSERT && shift && !ctrl)) return false;
    // Only edit controls, plain or rich, have a limit on their text.
    return SendMessageA(msg.hwnd, EM_GETLIMITTEXT, 0, 0) != 0;
}

// The word comes once the message in hand is done (a menu or a key may be).
void WarnLater(WPARAM what) {
    if (!GTypingWarningPending && GTypingGuardWindow) {
        GTypingWarningPending = true;
        PostMessageW(GTypingGuardWindow, UnsavableTypedMessage, what, 0);
    }
}

void DropWithWarning(MSG& msg, WPARAM what) {
    msg.message = WM_NULL;
    WarnLater(what);
}

// A paste the edit is told to do: its context menu's Paste sends WM_PASTE,
// which no key announces. Refused as the paste keys are.
bool PasteRefused(gcl::TMessage& message) {
    if (message.Msg != WM_PASTE || !ClipboardTextUnfit()) return false;
    message.Result = 0;
    WarnLater(UnsavableTextPasted);
    return true;
}

// The list's title editor, whose edit refuses such a paste. The edit runs
// its own message loop, where no key reaches the main window's commands: a
// key with Ctrl or Alt that is one of them takes the title typed, as a click
// elsewhere does, and the command runs once the edit has ended. The keys
// every text box takes for itself (Ctrl+A) stay the editor's.
class TTitleEditor : public TGvStringEditor {
    GCL_CLASS(TTitleEditor, TGvStringEditor)
public:
    // True when the shortcut runs one of the main window's commands now.
    std::function<bool(gcl::TShortCut)> IsCommand;

    void GCL_STDCALL ControlWndHookProc(gcl::TMessage& Message) override {
        if (PasteRefused(Message)) return;
        if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) && IsCommand) {
            gcl::TWMKey key(Message);
            const gcl::TShortCut shortCut = gcl::ShortCutFromMessage(key);
            if ((shortCut & (gcl::scCtrl | gcl::scAlt)) != 0 && !gcl::IsTextEditingKey(shortCut) &&
                IsCommand(shortCut)) {
                Message.Result = 0;
                // A title refused keeps the editor open, and the command waits.
                if (AcceptEdit() && GTypingGuardWindow)
                    PostMessageW(GTypingGuardWindow, CommandAfterEditMessage, shortCut, 0);
                return;
            }
        }
        inherited::ControlWndHookProc(Message);
    }

protected:
    TTitleEditor() = default;
};
GCL_IMPLEMENT_CLASS(TTitleEditor)

// Sees each message in its wide form before an 8-bit window gets it as a
// "?" or a look-alike letter, and each paste key before the edit pastes.
void TypingGuardFilter(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (msg.hwnd && !IsWindowUnicode(msg.hwnd)) {
            if (msg.message == WM_CHAR && !CharFitsCodePage(static_cast<wchar_t>(msg.wParam)))
                DropWithWarning(msg, UnsavableCharTyped);
            else if (IsPasteKey(msg) && ClipboardTextUnfit())
                DropWithWarning(msg, UnsavableTextPasted);
        }
    }
}

} // namespace

void TMainForm::InstallTypingGuard() {
    GTypingGuardWindow = GetHandle();
    if (!GTypingGuard) GTypingGuard = gcl::AddGetMessageFilter(&TypingGuardFilter);
}

void TMainForm::ListItemCreateEditor(TCustomGvListview*, TGvItem*, gcl::ComPtr<IGvCellEditor>& Editor) {
    TTitleEditor* editor = TTitleEditor::Create();
    editor->IsCommand = [this](gcl::TShortCut ShortCut) { return ActionOfShortCut(ShortCut) != nullptr; };
    Editor = gcl::ComPtr<IGvCellEditor>(editor);
}

gcl::TCustomAction* TMainForm::ActionOfShortCut(gcl::TShortCut ShortCut) {
    for (int i = 0; i < ActionList1->GetActionCount(); ++i) {
        auto* action = dynamic_cast<gcl::TCustomAction*>(ActionList1->GetActions(i));
        if (!action || action->GetShortCut() != ShortCut) continue;
        action->Update();
        if (action->GetEnabled()) return action;
    }
    return nullptr;
}

void TMainForm::RunCommandAfterEdit(gcl::TShortCut ShortCut) {
    // The window may have been disabled by a dialog meanwhile.
    if (!IsWindowEnabled(GetHandle())) return;
    if (gcl::TCustomAction* action = ActionOfShortCut(ShortCut)) action->Execute();
}

void TMainForm::RichEdit1WindowProc(gcl::TMessage& Message) {
    if (!PasteRefused(Message) && FRichEdit1WindowProc) FRichEdit1WindowProc(Message);
}

void TMainForm::RichEdit1QueryAcceptData(gcl::TObject*, IDataObject* DataObject, CLIPFORMAT& Format, DWORD Reco,
                                         bool Really, HGLOBAL, bool& Accept) {
    // A drop, from another program or from the note itself, brings its
    // text as a paste does: the plain text only (the library would take
    // rich text first), and never characters the file cannot hold, which
    // the note's 8-bit text would turn into "?".
    if (Reco != RECO_DROP || !Accept) return;
    const TDroppedText dropped = DroppedText(DataObject);
    if (!dropped.Offered) {
        Accept = false;
    } else if (dropped.Unfit) {
        Accept = false;
        if (Really) WarnLater(UnsavableTextDropped);
    } else {
        Format = CF_UNICODETEXT;
    }
}

void TMainForm::RemoveTypingGuard() noexcept {
    if (GTypingGuard) gcl::RemoveGetMessageFilter(&TypingGuardFilter);
    GTypingGuard = false;
    GTypingGuardWindow = nullptr;
    GTypingWarningPending = false;
}

void TMainForm::WarnUnsavableTyped(WPARAM What) {
    const HWND focus = ::GetFocus();
    const char* text = RefusalText(What);
    try {
        gcl::ShowMessageBox(text, msg::AppTitle, MB_OK | MB_ICONWARNING);
    } catch (...) {
        GTypingWarningPending = false;
        throw;
    }
    GTypingWarningPending = false;
    if (focus && IsWindow(focus) && IsWindowVisible(focus)) ::SetFocus(focus);
}

namespace {

// Stands in the note editor's place until the editor's window is made,
// painting what the empty editor paints (its background) and showing its
// cursor. A button pressed over it makes the editor, which then takes the
// press as if it had been there: the keyboard, a caret, its menu on the
// right button.
class TNoteStandIn final : public gcl::TGraphicControl {
    GCL_CLASS(TNoteStandIn, gcl::TGraphicControl)
public:
    TKitRichEdit* Editor = nullptr;
    std::function<void()> MakeEditor;

    void Dispatch(gcl::TMessage& Message) override {
        switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: PassOn(Message); return;
        default: inherited::Dispatch(Message);
        }
    }

protected:
    explicit TNoteStandIn(gcl::TComponent* Owner) : gcl::TGraphicControl(Owner) { SetCursor(gcl::crIBeam); }

    void Paint() override {
        gcl::TCanvas* canvas = GetCanvas();
        canvas->GetBrush()->SetColor(Editor->GetColor());
        canvas->GetBrush()->SetStyle(gcl::bsSolid);
        canvas->FillRect(GetClientRect());
    }

private:
    void PassOn(gcl::TMessage& Message) {
        // This control is hidden by the making; the message is copied first.
        const UINT msg = Message.Msg;
        const WPARAM wParam = Message.WParam;
        const gcl::TPoint at = gcl::LParamToPoint(Message.LParam);
        gcl::TWinControl* parent = GetParent();
        if (!parent || !parent->HandleAllocated()) return;
        POINT p{at.X + GetLeft(), at.Y + GetTop()};
        const HWND parentWindow = parent->GetHandle();
        MakeEditor();
        Message.Result = 1;
        if (!Editor->HandleAllocated()) return;
        MapWindowPoints(parentWindow, Editor->GetHandle(), &p, 1);
        SendMessageA(Editor->GetHandle(), msg, wParam, MAKELPARAM(p.x, p.y));
    }
};
GCL_IMPLEMENT_CLASS(TNoteStandIn)

} // namespace

void TMainForm::CreateNotePanel() {
    using E = gcl::TNotifyEvent;
    NoteEdit = TXtDockablePanel::Create(this);
    NoteEdit->SetName("NoteEdit");
    NoteEdit->SetCaption(L"Note");
    NoteEdit->SetDockedHeight(80);
    // Minimisable only: it neither closes nor floats. The minimise and
    // restore images come from the panel's own list.
    NoteEdit->SetDockMode(dmCannotFloat);
    NoteEdit->SetImages(Others16);
    TXtDockablePanelButtonOptions* noteButtons = NoteEdit->GetOptions();
    noteButtons->SetClose(false);
    noteButtons->SetMaximize(false);
    noteButtons->SetMinimize(true);
    noteButtons->SetMinimizeImageIndex(NoteMinimizeImage);
    noteButtons->SetRestoreImageIndex(NoteRestoreImage);
    NoteEdit->SetParent(NoteDock);
    NoteEdit->OnDockedResizing = TTxDockedResizing(this, &TMainForm::PanelDockedResizing);
    NoteEdit->OnResize = E(this, &TMainForm::NoteEditResize);
    RichEdit1 = TKitRichEdit::Create(this);
    RichEdit1->SetName("RichEdit1");
    RichEdit1->SetAlign(gcl::alClient);
    RichEdit1->GetFont()->SetName("Arial");
    RichEdit1->GetFont()->SetSize(Options.NoteFontSize);
    RichEdit1->SetFlat(true);
    RichEdit1->SetBorderStyle(gcl::bsNone);
    RichEdit1->SetPlainText(true);
    // Made with its window when first needed (MakeNoteEditor).
    RichEdit1->SetVisible(false);
    RichEdit1->SetParent(NoteEdit);
    TNoteStandIn* standIn = TNoteStandIn::Create(this);
    standIn->Editor = RichEdit1;
    standIn->MakeEditor = [this] { MakeNoteEditor(); };
    standIn->SetAlign(gcl::alClient);
    standIn->SetParent(NoteEdit);
    NoteStandIn = standIn;
    FRichEdit1WindowProc = RichEdit1->GetWindowProc();
    RichEdit1->SetWindowProc(gcl::TWndMethod(this, &TMainForm::RichEdit1WindowProc));
    RichEdit1->OnExit = E(this, &TMainForm::RichEdit1Exit);
    RichEdit1->OnKeyDown = gcl::TKeyEvent(this, &TMainForm::RichEdit1KeyDown);
    RichEdit1->OnURLClick = TRichEditURLClickEvent(this, &TMainForm::RichEdit1URLClick);
    RichEdit1->OnQueryAcceptData = TRichEditQueryAcceptData(this, &TMainForm::RichEdit1QueryAcceptData);
    EditNoteA->SetOnExecute(E(this, &TMainForm::EditNoteAExecute));
    MinRestoreNoteA->SetOnExecute(E(this, &TMainForm::MinRestoreNoteAExecute));
}

bool TMainForm::NoteEditorMade() const noexcept { return RichEdit1 && RichEdit1->GetVisible(); }

void TMainForm::MakeNoteEditor() {
    if (!RichEdit1 || NoteEditorMade()) return;
    // The editor takes the stand-in's place (the window is made now when
    // the panel shows, else when it first shows).
    RichEdit1->SetVisible(true);
    if (NoteStandIn) NoteStandIn->SetVisible(false);
}

std::string TMainForm::NoteText() const { return RichEdit1 ? RichEdit1->GetText() : std::string(); }

void TMainForm::ShowNote(TuTask* Task) {
    if (!RichEdit1 || !Database) return;
    if (Task) MakeNoteEditor();
    if (RichEdit1->GetModified()) FNoteEditor.Edited();
    const std::string text = FNoteEditor.Show(Task, NoteText(), *Database);
    RichEdit1->SetText(text);
    RichEdit1->SetModified(false);
    FNoteEditor.Shown(NoteText());
    // With no task chosen, typing would go nowhere: the keyboard, if the
    // note had it (a filter key pressed in the note refreshes the list,
    // which then has no chosen task), goes to the task list.
    RichEdit1->SetReadOnly(Task == nullptr);
    NoteEdit->SetCaption(CaptionOfName(NoteCaption(Task)));
    if (!Task && RichEdit1->Focused()) FocusIfPossible(List);
    // A refresh under a dialog (the options' Ok or Cancel): the keyboard
    // comes back to the list, not to the emptied note, when the dialog goes.
    else if (!Task && GetActiveControl() == RichEdit1 && !GetActive() && List->CanFocus())
        SetActiveControl(List);
}

void TMainForm::CommitNote(bool TypingGoesOn) {
    if (!RichEdit1 || !Database) return;
    if (RichEdit1->GetModified()) FNoteEditor.Edited();
    FNoteEditor.Commit(NoteText(), *Database, TypingGoesOn);
    RichEdit1->SetModified(false);
}

void TMainForm::ListItemSelectionsChanged(TCustomGvListview*) {
    // Items going away during a rebuild say nothing about the selection.
    if (FRefreshing) return;
    const bool any = List->GetSelection()->First() && List->GetItems()->GetCount() > 0;
    DelTaskA->SetEnabled(any && List->Focused());
    ShowNote(any ? FirstSelectedTask() : nullptr);
}

void TMainForm::RichEdit1Exit(gcl::TObject*) { CommitNote(); }

void TMainForm::RichEdit1KeyDown(gcl::TObject*, uint16_t& Key, gcl::TShiftState Shift) {
    if (Key == VK_ESCAPE && Database) {
        Key = 0;
        RichEdit1->SetText(FNoteEditor.Revert(*Database));
        RichEdit1->SetModified(false);
        FNoteEditor.Shown(NoteText());
        FocusIfPossible(List);
    } else if (Key == VK_RETURN && Shift.Contains(gcl::ssShift)) {
        Key = 0;
        FNoteEditor.Edited();
        CommitNote();
        FocusIfPossible(List);
    }
}

void TMainForm::RichEdit1URLClick(gcl::TObject*, const std::string& URLText, gcl::TMouseButton Button) {
    if (Button == gcl::mbLeft) gcl::Shell->Open(URLText);
}

void TMainForm::EditNoteAExecute(gcl::TObject*) {
    if (!List || !List->Focused() || !List->GetSelection()->First()) return;
    if (NotePanelMinimized()) NoteEdit->Restore(false);
    FocusIfPossible(RichEdit1);
}

void TMainForm::MinRestoreNoteAExecute(gcl::TObject*) {
    if (NotePanelMinimized())
        NoteEdit->Restore(false);
    else
        MinimizeNotePanel();
    KeyboardOutOfFoldedNote();
}

void TMainForm::NoteEditResize(gcl::TObject*) { KeyboardOutOfFoldedNote(); }

void TMainForm::KeyboardOutOfFoldedNote() {
    // A folded note panel shows its caption only: keys typed on would land
    // unseen in the note, so the keyboard goes to the task list, and the
    // note typed so far is taken as it leaves. (While the panel folds, its
    // resize comes before it counts as minimised, with no room left for
    // the note.)
    if (!RichEdit1 || !NoteEdit || !RichEdit1->Focused()) return;
    if (!NotePanelMinimized() && RichEdit1->GetHeight() > 0) return;
    FocusIfPossible(List);
}

void TMainForm::PanelDockedResizing(gcl::TObject* Sender, bool Vertical, int& NewSize, TTxResizingStage,
                                    bool&) {
    auto* panel = dynamic_cast<gcl::TControl*>(Sender);
    if (!panel || !List) return;
    // A size the user gives now is the one to keep.
    if (panel == OrgPanel) {
        FOrgWantedWidth = 0;
        FOrgFitClientWidth = GetClientWidth();
    }
    if (panel == NoteEdit) FNoteWantedHeight = 0;
    FNoteOwnHeight = 0;
    const int now = Vertical ? panel->GetHeight() : panel->GetWidth();
    const int list = Vertical ? List->GetHeight() : List->GetWidth();
    // A list already smaller than that may still grow, never shrink.
    const int most = std::max(now + list - MinListRoom, std::min(now, NewSize));
    NewSize = std::min(NewSize, most);
}

void TMainForm::OrgPanelDockChanging(gcl::TObject*, bool, TBarDock* DockingTo) {
    if (!NoteEdit || !NoteEdit->GetDocked()) return;
    TBarDock* noteDock = NoteEdit->GetCurrentDock();
    // (A folded note keeps the height it unfolds to with its own state.)
    if (DockingTo == noteDock && OrgPanel->GetCurrentDock() != noteDock && FNoteOwnHeight == 0 &&
        !NotePanelMinimized())
        FNoteOwnHeight = NoteEdit->GetDockedHeight();
}

void TMainForm::OrgPanelDockChanged(gcl::TObject*) {
    if (FNoteOwnHeight == 0 || !NoteEdit) return;
    if (NoteEdit->GetDocked() && OrgPanel->GetCurrentDock() == NoteEdit->GetCurrentDock()) return;
    // Gone: the dock it left takes the note's own height as it is laid
    // out again.
    const int height = std::exchange(FNoteOwnHeight, 0);
    if (!NotePanelMinimized()) NoteEdit->SetDockedHeight(height);
}

int TMainForm::ListRoomHeight() const {
    // The side panel docked beside the list is as high as the list: its
    // tree needs the list's least room too, above what the panel's tabs
    // and button take.
    if (!OrgPanel || !FoldersList || !LeftDock || !OrgPanel->GetDocked() || OrgPanel->GetCurrentDock() != LeftDock ||
        !OrgPanel->GetVisible())
        return MinListRoom;
    return std::max(MinListRoom, OrgPanel->GetHeight() - FoldersList->GetHeight() + MinListRoom);
}

int TMainForm::ListRoomWidth() { return std::max(MinListRoom, GetClientWidth() / 2); }

bool TMainForm::WindowNarrowedForOrgPanel() {
    return FOrgFitClientWidth == 0 || GetClientWidth() < FOrgFitClientWidth;
}

void TMainForm::ListResize(gcl::TObject*) {
    if (!HandleAllocated() || !List) return;
    // A wider window squeezes nothing: the side panel's width stands for it.
    if (FOrgWantedWidth == 0 && FOrgFitClientWidth > 0 && GetClientWidth() > FOrgFitClientWidth)
        FOrgFitClientWidth = GetClientWidth();
    if (FFitPanelsPosted) return;
    const bool squeezed = FOrgWantedWidth > 0 || FNoteWantedHeight > 0;
    const bool narrow = WindowNarrowedForOrgPanel() && List->GetWidth() < ListRoomWidth() && LeftDock &&
                        LeftDock->GetWidth() > 0;
    if (List->GetHeight() >= ListRoomHeight() && List->GetWidth() >= MinListRoom && !squeezed && !narrow) return;
    // Not inside the layout that resized the list: once it is done.
    FFitPanelsPosted = PostMessageW(GetHandle(), FitPanelsMessage, 0, 0) != FALSE;
}

void TMainForm::FitPanelsToList() {
    if (!List || !NoteEdit || !OrgPanel || !TopDock || !NoteDock || !LeftDock || !HandleAllocated()) return;
    // A hidden or minimised window has no room to share out.
    if (!IsWindowVisible(GetHandle()) || IsIconic(GetHandle())) return;
    constexpr int MinPanelRoom = 60;
    // The list fills what the docks leave: the note dock spans the bottom,
    // the side dock the left between the bars and the note.
    // A panel squeezed remembers the size the user gave it, when a screen
    // could show it beside the list (a size no screen has is not one).
    const gcl::TRect work = gcl::Screen->GetWorkAreaNear(gcl::TRect{GetLeft(), GetTop(), GetLeft() + GetWidth(),
                                                                      GetTop() + GetHeight()});
    auto remember = [](int& wanted, int size, int room) {
        if (wanted == 0 && size <= room - MinListRoom) wanted = size;
    };
    const int tall = TopDock->GetHeight() + NoteDock->GetHeight() + ListRoomHeight() - GetClientHeight();
    if (tall > 0 && !NotePanelMinimized() && NoteEdit->GetDockedHeight() > MinPanelRoom) {
        remember(FNoteWantedHeight, NoteEdit->GetDockedHeight(), work.Height());
        NoteEdit->SetDockedHeight(std::max(MinPanelRoom, NoteEdit->GetDockedHeight() - tall));
    } else if (tall < 0 && FNoteWantedHeight > 0 && !NotePanelMinimized()) {
        // Room again: back towards the size it had.
        NoteEdit->SetDockedHeight(std::min(FNoteWantedHeight, NoteEdit->GetDockedHeight() - tall));
    }
    if (FNoteWantedHeight > 0 && NoteEdit->GetDockedHeight() >= FNoteWantedHeight) FNoteWantedHeight = 0;
    // The side panel: a window made narrower than the one its width was
    // given in (or a start with a width from elsewhere) leaves the list half
    // of it; the width given comes back whole in a window as wide again.
    const int client = GetClientWidth();
    const bool narrowed = WindowNarrowedForOrgPanel();
    const int wide = LeftDock->GetWidth() + (narrowed ? ListRoomWidth() : MinListRoom) - client;
    if (FOrgWantedWidth > 0 && !narrowed) {
        OrgPanel->SetDockedWidth(std::min(FOrgWantedWidth, OrgPanel->GetDockedWidth() - wide));
    } else if (wide > 0 && OrgPanel->GetDockedWidth() > MinPanelRoom) {
        if (FOrgWantedWidth == 0 && OrgPanel->GetDockedWidth() <= work.Width() - MinListRoom) {
            FOrgWantedWidth = OrgPanel->GetDockedWidth();
            // A width stored by an earlier run: the window as wide as the
            // screen has room for it.
            if (FOrgFitClientWidth == 0) FOrgFitClientWidth = work.Width() - (GetWidth() - client);
        }
        OrgPanel->SetDockedWidth(std::max(MinPanelRoom, OrgPanel->GetDockedWidth() - wide));
    } else if (wide < 0 && FOrgWantedWidth > 0) {
        OrgPanel->SetDockedWidth(std::min(FOrgWantedWidth, OrgPanel->GetDockedWidth() - wide));
    }
    if (FOrgWantedWidth > 0 && OrgPanel->GetDockedWidth() >= FOrgWantedWidth) FOrgWantedWidth = 0;
    if (FOrgWantedWidth == 0) FOrgFitClientWidth = client;
}

void TMainForm::WidenOrgPanelToItsTabs() {
    if (!OrgPanel || !OrgPanel->GetDocked()) return;
    TBarDock* dock = OrgPanel->GetCurrentDock();
    TXtDockablePanelToolbar* tabs = OrgPanel->GetCaptionToolbar();
    if (!dock || !dock->IsLeftRight() || !tabs) return;
    // The tabs' bar spans the panel's width across its caption strip.
    gcl::TPoint base{};
    tabs->GetBaseSize(base);
    const int wanted = base.X + tabs->DockedNCSize(false).X;
    if (OrgPanel->GetDockedWidth() < wanted) OrgPanel->SetDockedWidth(wanted);
}

void TMainForm::SetNoteFontSize(int Size) {
    if (RichEdit1) RichEdit1->GetFont()->SetSize(Size);
}

} // namespace qelvo
