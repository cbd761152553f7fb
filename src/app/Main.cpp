// The main window's frame: construction of the docks, menus, toolbars,
// actions, timers and tray icon; start-up, the file commands, closing and
// exiting, auto-save, the hot key, the About box, the web commands and the
// layout applied to and taken from the controls.
#include "app/Main.h"

#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TMainForm)

namespace {

gcl::TShortCut Ctrl(unsigned short key) { return gcl::ShortCut(key, gcl::TShiftState{gcl::ssCtrl}); }
gcl::TShortCut CtrlShift(unsigned short key) {
    return gcl::ShortCut(key, gcl::TShiftState{gcl::ssCtrl, gcl::ssShift});
}
gcl::TShortCut Alt(unsigned short key) { return gcl::ShortCut(key, gcl::TShiftState{gcl::ssAlt}); }

} // namespace

TMainForm::TMainForm(gcl::TComponent* AOwner) : TForm(AOwner, 0) {
    SetName("MainForm");
    SetCaption(msg::MainCaption);
    SetBounds(0, 0, 804, 500);
    SetKeyPreview(true);
    CreateImages();
    CreateActions();
    CreateDocks();
    CreateQuickEntryBar();
    CreateGroupByBar();
    CreateFilterBar();
    CreateMenuBar();
    CreateListsPanel();
    CreateNotePanel();
    CreateTaskList();
    CreateTray();

    Timer1 = gcl::TTimer::Create(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(1000);
    Timer1->SetOnTimer(gcl::TNotifyEvent(this, &TMainForm::Timer1Timer));
    Timer2 = gcl::TTimer::Create(this);
    Timer2->SetName("Timer2");
    Timer2->SetInterval(100);
    Timer2->SetOnTimer(gcl::TNotifyEvent(this, &TMainForm::Timer2Timer));

    OpenDialog1 = gcl::TOpenDialog::Create(this);
    OpenDialog1->SetFilter(msg::DatabaseFilter);
    OpenDialog1->SetOptions(gcl::TOpenOptions{gcl::ofHideReadOnly, gcl::ofFileMustExist});
    SaveDialog1 = gcl::TSaveDialog::Create(this);
    SaveDialog1->SetFilter(msg::DatabaseFilter);
    SaveDialog1->SetDefaultExt("kpx");
    SaveDialog1->SetOptions(gcl::TOpenOptions{gcl::ofHideReadOnly, gcl::ofOverwritePrompt});

    OnCreate = gcl::TNotifyEvent(this, &TMainForm::FormCreate);
    OnClose = gcl::TCloseEvent(this, &TMainForm::FormClose);
    OnDestroy = gcl::TNotifyEvent(this, &TMainForm::FormDestroy);
}

// ---- Construction ---------------------------------------------------------------

void TMainForm::CreateImages() {
    IconList = gcl::TImageList::Create(this);
    IconList->SetName("IconList");
    IconList->SetSize(16, 16);
    Others16 = gcl::TImageList::Create(this);
    Others16->SetName("Others16");
    Others16->SetSize(16, 16);
    CatIcons_24 = gcl::TImageList::Create(this);
    CatIcons_24->SetName("CatIcons_24");
    CatIcons_24->SetSize(24, 24);
}

TMainAction* TMainForm::NewAction(const char* Name, const char* Caption, gcl::TShortCut ShortCut,
                                  gcl::TNotifyEvent OnExecute) {
    TMainAction* action = TMainAction::Create(this);
    action->SetName(Name);
    action->SetCaption(std::string(Caption));
    action->SetShortCut(ShortCut);
    action->SetActionList(ActionList1);
    if (OnExecute) action->SetOnExecute(OnExecute);
    return action;
}

void TMainForm::CreateActions() {
    ActionList1 = gcl::TActionList::Create(this);
    ActionList1->SetName("ActionList1");
    ActionList1->SetImages(Others16);
    using E = gcl::TNotifyEvent;

    // The shell.
    OpenM = NewAction("OpenM", "Open...", 0, E(this, &TMainForm::OpenMExecute));
    SaveAsM = NewAction("SaveAsM", "Save as...", 0, E(this, &TMainForm::SaveAsMExecute));
    SaveM = NewAction("SaveM", "Save", Ctrl('S'), E(this, &TMainForm::SaveMExecute));
    SetAsDefaultM = NewAction("SetAsDefaultM", "Set as default database", 0, E(this, &TMainForm::SetAsDefaultMExecute));
    CreateNewDbM = NewAction("CreateNewDbM", "Clear database...", 0, E(this, &TMainForm::CreateNewDbMExecute));
    ExitWSM = NewAction("ExitWSM", "Exit without saving", CtrlShift('X'), E(this, &TMainForm::ExitWSMExecute));
    ExitM = NewAction("ExitM", "Exit and save", Ctrl('Q'), E(this, &TMainForm::ExitMExecute));
    OptionsA = NewAction("OptionsA", "Options...");
    ViewTodayTasksM = NewAction("ViewTodayTasksM", "View Today tasks", 0, E(this, &TMainForm::ViewTodayTasksMExecute));
    AboutM = NewAction("AboutM", "About...", 0, E(this, &TMainForm::AboutMExecute));
    HelpM = NewAction("HelpM", "Online help...", 0, E(this, &TMainForm::HelpMExecute));
    ContactM = NewAction("ContactM", "Contact Us", 0, E(this, &TMainForm::ContactMExecute));
    VisitHomeM = NewAction("VisitHomeM", "Visit our homepage", 0, E(this, &TMainForm::VisitHomeMExecute));

    // The layout.
    ShowGroupByPanM = NewAction("ShowGroupByPanM", "Show Group By panel", 0, E(this, &TMainForm::ShowGroupByPanMExecute));
    ShowFiltersPanM = NewAction("ShowFiltersPanM", "Show Filters panel", 0, E(this, &TMainForm::ShowFiltersPanMExecute));
    ShowTagsColM = NewAction("ShowTagsColM", "Show Tags column", 0, E(this, &TMainForm::ShowTagsColMExecute));
    ShowDueDateColM = NewAction("ShowDueDateColM", "Show Due Date column", 0, E(this, &TMainForm::ShowDueDateColMExecute));
    for (TMainAction* a : {ShowGroupByPanM, ShowFiltersPanM, ShowTagsColM, ShowDueDateColM}) {
        a->SetAutoCheck(true);
        a->SetChecked(true);
    }

    // The task list.
    DelTaskA = NewAction("DelTaskA", "Delete");
    EditTitleA = NewAction("EditTitleA", "Edit Title");
    EditTagsA = NewAction("EditTagsA", "Edit Tags");
    EditDueDateA = NewAction("EditDueDateA", "Edit Due Date");
    EditFolderA = NewAction("EditFolderA", "Move To List");
    NoGroupA = NewAction("NoGroupA", "Nothing", Alt('N'));
    FoldersGroupA = NewAction("FoldersGroupA", "List", Alt('L'));
    DateGroupA = NewAction("DateGroupA", "Date", Alt('D'));
    PriorityGroupA = NewAction("PriorityGroupA", "Priority", Alt('P'));
    TagsGroupA = NewAction("TagsGroupA", "Tags", Alt('T'));
    int mode = 0;
    for (TMainAction* a : {NoGroupA, FoldersGroupA, DateGroupA, PriorityGroupA, TagsGroupA}) {
        a->SetGroupIndex(1);
        a->SetAutoCheck(true);
        a->SetTag(mode++);
    }
    NoGroupA->SetChecked(true);
    CountItemsM = NewAction("CountItemsM", "Count Items");
    CountItemsM->SetAutoCheck(true);

    // The quick-entry bar.
    SetDueDateA = NewAction("SetDueDateA", "Set Due Date");
    SetTagsA = NewAction("SetTagsA", "Set Tags");
    QDateOkA = NewAction("QDateOkA", "Click here or press enter");
    QTagsOkA = NewAction("QTagsOkA", "Click here or press enter...");
    ClearTopEditA = NewAction("ClearTopEditA", "Clear");
    AddItemA = NewAction("AddItemA", "Add task to list");
    QDateSelOkA = NewAction("QDateSelOkA", "Click here or press enter...");
    QTagsSelOkA = NewAction("QTagsSelOkA", "Click here or press enter...");
    FindM = NewAction("FindM", "Find", Ctrl('F'));
    NewTaskM = NewAction("NewTaskM", "New task", Ctrl('N'));

    // The filter bar.
    HideDoneA = NewAction("HideDoneA", "Hide Done", Ctrl('D'));
    HideDoneA->SetAutoCheck(true);
    FDate0A = NewAction("FDate0A", "Without date set", Ctrl('0'));
    FDate1A = NewAction("FDate1A", "Today", Ctrl('1'));
    FDate2A = NewAction("FDate2A", "Tomorrow", Ctrl('2'));
    FDate3A = NewAction("FDate3A", "Yesterday", Ctrl('3'));
    FDate4A = NewAction("FDate4A", "This Week", Ctrl('4'));
    FDate5A = NewAction("FDate5A", "This Month", Ctrl('5'));
    FDate6A = NewAction("FDate6A", "Next Week", Ctrl('6'));
    FDate14A = NewAction("FDate14A", "Next Month");
    FDate13A = NewAction("FDate13A", "Next 3 days");
    FDate7A = NewAction("FDate7A", "Next 5 days", Ctrl('7'));
    FDate8A = NewAction("FDate8A", "Next 10 days", Ctrl('8'));
    FDate11A = NewAction("FDate11A", "Next 30 days");
    FDate9A = NewAction("FDate9A", "Last 10 days", Ctrl('9'));
    FDate12A = NewAction("FDate12A", "Last Week");
    FDateAll = NewAction("FDateAll", "All dates", Ctrl('A'));
    FOverdueA = NewAction("FOverdueA", "Overdue", Ctrl('O'));
    FFolderA = NewAction("FFolderA", "Lists", Ctrl('L'));
    FPriorityA = NewAction("FPriorityA", "Priority", Ctrl('P'));

    // The lists and tags panel.
    NewListTagM = NewAction("NewListTagM", "New List", CtrlShift('N'));
    FolderIconOkA = NewAction("FolderIconOkA", "Ok");
    EditFolderIconA = NewAction("EditFolderIconA", "Change icon", Ctrl('I'));
    DelA = NewAction("DelA", "Delete");
    EditA = NewAction("EditA", "Edit");
    MoveUpA = NewAction("MoveUpA", "Move Up");
    MoveDownA = NewAction("MoveDownA", "Move Down");
    ChangeIconA = NewAction("ChangeIconA", "Change icon");

    // The note panel.
    EditNoteA = NewAction("EditNoteA", "Edit Note");
    MinRestoreNoteA = NewAction("MinRestoreNoteA", "Show/Hide Note panel", Alt('Z'));

    // Printing, exports and sticky notes.
    PrintM = NewAction("PrintM", "Print...");
    ExportToTextM = NewAction("ExportToTextM", "Export to text");
    ExportToHTMLM = NewAction("ExportToHTMLM", "Export to HTML");
    ExportToPdM = NewAction("ExportToPdM", "Export to Pendrillax database");
    MakeStickyNoteA = NewAction("MakeStickyNoteA", "Make Sticky Note", Ctrl('K'));
    ShowAllSA = NewAction("ShowAllSA", "Show All");
    CloseAllSA = NewAction("CloseAllSA", "Close All");
}

void TMainForm::CreateDocks() {
    TopDock = TTxDock::Create(this);
    TopDock->SetName("TopDock");
    TopDock->SetParent(this);
    LeftDock = TTxMultiDock::Create(this);
    LeftDock->SetName("LeftDock");
    LeftDock->SetPosition(dpLeft);
    LeftDock->SetParent(this);
    NoteDock = TTxMultiDock::Create(this);
    NoteDock->SetName("NoteDock");
    NoteDock->SetPosition(dpBottom);
    NoteDock->SetParent(this);
}

namespace {

template <class T>
T* AddItem(gcl::TComponent* owner, TBarCustomItem* parent, const wchar_t* caption = nullptr) {
    T* item = T::Create(owner);
    if (caption) item->SetCaption(caption);
    parent->Add(item);
    return item;
}

TXtItem* AddActionItem(gcl::TComponent* owner, TBarCustomItem* parent, gcl::TBasicAction* action) {
    TXtItem* item = TXtItem::Create(owner);
    item->SetAction(action);
    parent->Add(item);
    return item;
}

void AddSeparator(gcl::TComponent* owner, TBarCustomItem* parent) { parent->Add(TXtSeparatorItem::Create(owner)); }

} // namespace

void TMainForm::CreateMenuBar() {
    MenuBar = TTxToolbar::Create(this);
    MenuBar->SetName("MenuBar");
    MenuBar->SetMenuBar(true);
    MenuBar->SetImages(Others16);
    MenuBar->SetDockRow(0);
    MenuBar->SetParent(TopDock);

    FileMenu = AddItem<TXtSubmenuItem>(this, MenuBar->GetItems(), L"&File");
    AddActionItem(this, FileMenu, NewTaskM);
    AddActionItem(this, FileMenu, NewListTagM);
    AddSeparator(this, FileMenu);
    AddActionItem(this, FileMenu, OpenM);
    AddActionItem(this, FileMenu, SaveM);
    AddActionItem(this, FileMenu, SaveAsM);
    AddActionItem(this, FileMenu, SetAsDefaultM);
    AddActionItem(this, FileMenu, CreateNewDbM);
    AddSeparator(this, FileMenu);
    AddActionItem(this, FileMenu, PrintM);
    AddActionItem(this, FileMenu, ExportToTextM);
    AddActionItem(this, FileMenu, ExportToHTMLM);
    AddActionItem(this, FileMenu, ExportToPdM);
    AddSeparator(this, FileMenu);
    TxItem76 = AddItem<TXtItem>(this, FileMenu, L"Minimize/Restore          Shift+Ctrl+O");
    TxItem76->SetName("TxItem76");
    TxItem76->SetOnClick(gcl::TNotifyEvent(this, &TMainForm::TxItem76Click));
    AddSeparator(this, FileMenu);
    AddActionItem(this, FileMenu, ExitWSM);
    AddActionItem(this, FileMenu, ExitM);

    ViewMenu = AddItem<TXtSubmenuItem>(this, MenuBar->GetItems(), L"&View");
    AddActionItem(this, ViewMenu, ViewTodayTasksM);
    AddActionItem(this, ViewMenu, HideDoneA);
    AddSeparator(this, ViewMenu);
    TXtSubmenuItem* groupBy = AddItem<TXtSubmenuItem>(this, ViewMenu, L"Group by");
    for (TMainAction* a : {NoGroupA, FoldersGroupA, DateGroupA, PriorityGroupA, TagsGroupA})
        AddActionItem(this, groupBy, a);
    AddActionItem(this, ViewMenu, CountItemsM);
    AddSeparator(this, ViewMenu);
    AddActionItem(this, ViewMenu, ShowGroupByPanM);
    AddActionItem(this, ViewMenu, ShowFiltersPanM);
    AddActionItem(this, ViewMenu, MinRestoreNoteA);
    AddSeparator(this, ViewMenu);
    AddActionItem(this, ViewMenu, ShowTagsColM);
    AddActionItem(this, ViewMenu, ShowDueDateColM);

    ToolsMenu = AddItem<TXtSubmenuItem>(this, MenuBar->GetItems(), L"&Tools");
    AddActionItem(this, ToolsMenu, FindM);
    AddSeparator(this, ToolsMenu);
    AddActionItem(this, ToolsMenu, MakeStickyNoteA);
    AddActionItem(this, ToolsMenu, ShowAllSA);
    AddActionItem(this, ToolsMenu, CloseAllSA);
    AddSeparator(this, ToolsMenu);
    ThemeMenu = AddItem<TXtSubmenuItem>(this, ToolsMenu, L"Theme");
    themes = TXtThemeGroupItem::Create(this);
    themes->SetName("themes");
    themes->SetOnClick(gcl::TNotifyEvent(this, &TMainForm::themesClick));
    ThemeMenu->Add(themes);
    AddSeparator(this, ToolsMenu);
    AddActionItem(this, ToolsMenu, OptionsA);

    HelpMenu = AddItem<TXtSubmenuItem>(this, MenuBar->GetItems(), L"&Help");
    AddActionItem(this, HelpMenu, HelpM);
    AddSeparator(this, HelpMenu);
    AddActionItem(this, HelpMenu, VisitHomeM);
    AddActionItem(this, HelpMenu, ContactM);
    AddSeparator(this, HelpMenu);
    AddActionItem(this, HelpMenu, AboutM);
}

void TMainForm::CreateGroupByBar() {
    GroupByPan = TTxToolbar::Create(this);
    GroupByPan->SetName("GroupByPan");
    GroupByPan->SetImages(Others16);
    GroupByPan->SetDockRow(2);
    GroupByPan->SetParent(TopDock);
    AddItem<TXtLabelItem>(this, GroupByPan->GetItems(), L"Group by :");
    NoGroupBtn = AddActionItem(this, GroupByPan->GetItems(), NoGroupA);
    NoGroupBtn->SetName("NoGroupBtn");
    AddSeparator(this, GroupByPan->GetItems());
    for (TMainAction* a : {FoldersGroupA, DateGroupA, PriorityGroupA, TagsGroupA})
        AddActionItem(this, GroupByPan->GetItems(), a);
}

void TMainForm::CreateTray() {
    TrayMenu = TXtPopupMenu::Create(this);
    TrayMenu->SetName("TrayMenu");
    TrayMenu->SetImages(Others16);
    TBarCustomItem* root = TrayMenu->GetItems();
    AddActionItem(this, root, NewTaskM);
    AddActionItem(this, root, ViewTodayTasksM);
    AddSeparator(this, root);
    AddActionItem(this, root, HelpM);
    AddSeparator(this, root);
    AddActionItem(this, root, ExitWSM);
    AddActionItem(this, root, ExitM);

    tray = TKitTrayIcon::Create(this);
    tray->SetName("tray");
    tray->SetHint(msg::AppTitle);
    tray->SetPopupMenu(TrayMenu);
    tray->SetVisibility(TTrayVisibilities{tvVisibleTaskBar, tvVisibleTaskList, tvAutoHide, tvRestoreClick,
                                          tvMinimizeClick});
}

// ---- Start-up -----------------------------------------------------------------------

void TMainForm::FormCreate(gcl::TObject*) {}

bool TMainForm::LoadDatabase(TuData&, const std::string&) { return false; }

void TMainForm::FormClose(gcl::TObject*, gcl::TCloseAction&) {}

void TMainForm::FormDestroy(gcl::TObject*) {}

void TMainForm::OpenMExecute(gcl::TObject*) {}
void TMainForm::SaveAsMExecute(gcl::TObject*) {}
void TMainForm::SaveMExecute(gcl::TObject*) {}
void TMainForm::SetAsDefaultMExecute(gcl::TObject*) {}
void TMainForm::CreateNewDbMExecute(gcl::TObject*) {}
void TMainForm::ExitWSMExecute(gcl::TObject*) {}
void TMainForm::ExitMExecute(gcl::TObject*) {}
void TMainForm::ViewTodayTasksMExecute(gcl::TObject*) {}
void TMainForm::AboutMExecute(gcl::TObject*) {}
void TMainForm::HelpMExecute(gcl::TObject*) { gcl::Shell->Open(msg::HelpPageUrl); }
void TMainForm::ContactMExecute(gcl::TObject*) { gcl::Shell->Open(msg::ContactPageUrl); }
void TMainForm::VisitHomeMExecute(gcl::TObject*) { gcl::Shell->Open(msg::HomePageUrl); }
void TMainForm::Timer1Timer(gcl::TObject*) {}
void TMainForm::TxItem76Click(gcl::TObject*) {}

bool TMainForm::LoadLayoutSettings(const std::string&) { return true; }
void TMainForm::SaveLayoutSettings(const std::string&) {}
void TMainForm::Timer2Timer(gcl::TObject*) { Timer2->SetEnabled(false); }
void TMainForm::themesClick(gcl::TObject*) {}
void TMainForm::ShowGroupByPanMExecute(gcl::TObject*) {}
void TMainForm::ShowFiltersPanMExecute(gcl::TObject*) {}
void TMainForm::ShowTagsColMExecute(gcl::TObject*) {}
void TMainForm::ShowDueDateColMExecute(gcl::TObject*) {}

void TMainForm::WMHotKey(gcl::TMessage&) {}

bool TMainForm::SaveTo(const std::string&, bool) { return false; }

void TMainForm::Dispatch(gcl::TMessage& Message) {
    if (Message.Msg == WM_HOTKEY) {
        WMHotKey(Message);
        return;
    }
    inherited::Dispatch(Message);
}

} // namespace qelvo
