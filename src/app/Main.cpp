// The main window's frame: construction of the docks, menus, toolbars,
// actions, timers and tray icon; start-up, the file commands, closing and
// exiting, auto-save, the hot key, the About box, the web commands and the
// layout applied to and taken from the controls.
#include "app/Main.h"

#include "app/MainItems.h"

#include <algorithm>
#include <utility>

#include "app/AboutForm.h"
#include "app/SingleInstance.h"
#include "app/StartupLog.h"

#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/Options.h"
#include "data/uDataMan.h"
#include "listview/LvCommonUtilities.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"

namespace qelvo {

GCL_IMPLEMENT_CLASS(TMainForm)

namespace {

// The missing database AnnounceMissingDatabase told of.
std::string GAnnouncedMissing;

gcl::TShortCut Ctrl(unsigned short key) { return gcl::ShortCut(key, gcl::TShiftState{gcl::ssCtrl}); }
gcl::TShortCut CtrlShift(unsigned short key) {
    return gcl::ShortCut(key, gcl::TShiftState{gcl::ssCtrl, gcl::ssShift});
}
gcl::TShortCut Alt(unsigned short key) { return gcl::ShortCut(key, gcl::TShiftState{gcl::ssAlt}); }

// The work area of the monitor nearest to the stored window place (the
// primary one's for a window to centre), so that a place on a monitor
// that is gone comes back onto one that is there.
TRect32 WorkAreaFor(const TLayoutSettings& layout) {
    auto from = [](const gcl::TRect& r) { return TRect32{r.Left, r.Top, r.Right, r.Bottom}; };
    if (layout.Left <= 0 || layout.Top <= 0) return from(gcl::Screen->GetWorkAreaRect());
    auto edge = [](long long from, int size) {
        return static_cast<int32_t>(std::min<long long>(from + std::max(size, 1), 1LL << 30));
    };
    const gcl::TRect stored{layout.Left, layout.Top, edge(layout.Left, layout.Width), edge(layout.Top, layout.Height)};
    return from(gcl::Screen->GetWorkAreaNear(stored));
}

} // namespace

TMainForm::TMainForm(gcl::TComponent* AOwner) : TForm(AOwner, 0) {
    SetName("MainForm");
    SetCaption(msg::MainCaption);
    SetBounds(0, 0, 804, 500);
    SetKeyPreview(true);
    StartupMark("main window: class made");
    CreateImages();
    StartupMark("main window: images");
    CreateActions();
    StartupMark("main window: actions");
    CreateDocks();
    StartupMark("main window: docks");
    // The top dock lays its bars out once, when all four are in.
    TopDock->BeginUpdate();
    CreateQuickEntryBar();
    StartupMark("main window: quick-entry bar");
    CreateGroupByBar();
    StartupMark("main window: group-by bar");
    CreateFilterBar();
    StartupMark("main window: filter bar");
    CreateMenuBar();
    TopDock->EndUpdate();
    StartupMark("main window: menu bar");
    CreateListsPanel();
    StartupMark("main window: lists panel");
    CreateNotePanel();
    StartupMark("main window: note panel");
    CreateTaskList();
    // The task list comes first in the tab order: it has the keyboard when
    // the window first shows, so a first key acts on the tasks.
    List->SetTabOrder(0);
    StartupMark("main window: task list");
    CreateTray();
    StartupMark("main window: tray");

    Timer1 = gcl::TTimer::Create(this);
    Timer1->SetName("Timer1");
    Timer1->SetInterval(1000);
    Timer1->SetOnTimer(gcl::TNotifyEvent(this, &TMainForm::Timer1Timer));
    Timer2 = gcl::TTimer::Create(this);
    Timer2->SetName("Timer2");
    Timer2->SetInterval(100);
    Timer2->SetOnTimer(gcl::TNotifyEvent(this, &TMainForm::Timer2Timer));
    TrayTimer = gcl::TTimer::Create(this);
    TrayTimer->SetName("TrayTimer");
    TrayTimer->SetEnabled(false);
    TrayTimer->SetInterval(1);
    TrayTimer->SetOnTimer(gcl::TNotifyEvent(this, &TMainForm::TrayTimerTimer));

    OpenDialog1 = gcl::TOpenDialog::Create(this);
    OpenDialog1->SetFilter(msg::DatabaseFilter);
    OpenDialog1->SetOptions(gcl::TOpenOptions{gcl::ofHideReadOnly, gcl::ofFileMustExist});
    SaveDialog1 = gcl::TSaveDialog::Create(this);
    SaveDialog1->SetFilter(msg::DatabaseFilter);
    SaveDialog1->SetDefaultExt("kpx");
    SaveDialog1->SetOptions(gcl::TOpenOptions{gcl::ofHideReadOnly, gcl::ofOverwritePrompt});

    ApplicationEvents1 = gcl::TApplicationEvents::Create(this);
    ApplicationEvents1->SetName("ApplicationEvents1");
    ApplicationEvents1->OnException = gcl::TExceptionEvent(this, &TMainForm::ApplicationEvents1Exception);
    ApplicationEvents1->OnMinimize = gcl::TNotifyEvent(this, &TMainForm::ApplicationEvents1Minimize);

    OnCreate = gcl::TNotifyEvent(this, &TMainForm::FormCreate);
    OnClose = gcl::TCloseEvent(this, &TMainForm::FormClose);
    OnDestroy = gcl::TNotifyEvent(this, &TMainForm::FormDestroy);
}

bool AnnounceMissingDatabase() {
    // The options as the main window's start will read them; the
    // program's own stay untouched until then.
    TOptions options;
    LoadOptions(SettingsFileName(), options);
    const std::string fileName = StartupDatabaseFileName(options.DefaultDatabase);
    const bool missing = !gcl::FileExists(fileName);
    // A default database that is not there is told of with the file opened
    // instead, which auto-save then leaves alone.
    if (!options.DefaultDatabase.empty() && options.DefaultDatabase != fileName) {
        std::string text = MissingDefaultDatabaseMessage(options.DefaultDatabase, fileName);
        if (missing) text += "\r\n\r\n" + MissingDatabaseMessage(fileName);
        gcl::ShowMessageBox(text, msg::AppTitle, MB_OK | MB_ICONWARNING);
    } else if (missing) {
        gcl::ShowMessageBox(MissingDatabaseMessage(fileName), msg::AppTitle, MB_OK | MB_ICONERROR);
    } else {
        return false;
    }
    if (missing) GAnnouncedMissing = fileName;
    return true;
}

// ---- Construction ---------------------------------------------------------------

void TMainForm::CreateImages() {
    // The strips come from the program's resources; without them (a test
    // program that lacks them) the lists stay empty.
    auto make = [this](const char* name, const char* resource, int size) {
        gcl::TImageList* images = gcl::TImageList::Create(this);
        images->SetName(name);
        images->SetSize(size, size);
        if (FindResourceA(GetModuleHandleA(nullptr), resource, MAKEINTRESOURCEA(2)))  // RT_BITMAP
            images->ResourceLoad(gcl::rtBitmap, resource, gcl::clFuchsia);
        return images;
    };
    IconList = make("IconList", "ICONLIST", 16);
    Others16 = make("Others16", "OTHERS16", 16);
    CatIcons_24 = make("CatIcons_24", "CATICONS24", 24);
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
    OptionsA = NewAction("OptionsA", "Options...", 0, E(this, &TMainForm::OptionsAExecute));
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
    PrintM = NewAction("PrintM", "Print...", 0, E(this, &TMainForm::PrintMExecute));
    ExportToTextM = NewAction("ExportToTextM", "Export to text", 0, E(this, &TMainForm::ExportToTextMExecute));
    ExportToHTMLM = NewAction("ExportToHTMLM", "Export to HTML", 0, E(this, &TMainForm::ExportToHTMLMExecute));
    ExportToPdM = NewAction("ExportToPdM", "Export to Pendrillax database", 0, E(this, &TMainForm::ExportToPdMExecute));
    MakeStickyNoteA =
        NewAction("MakeStickyNoteA", "Make Sticky Note", Ctrl('K'), E(this, &TMainForm::MakeStickyNoteAExecute));
    ShowAllSA = NewAction("ShowAllSA", "Show All", 0, E(this, &TMainForm::ShowAllSAExecute));
    CloseAllSA = NewAction("CloseAllSA", "Close All", 0, E(this, &TMainForm::CloseAllSAExecute));
}

void TMainForm::CreateDocks() {
    TopDock = TXtDock::Create(this);
    TopDock->SetName("TopDock");
    TopDock->SetParent(this);
    LeftDock = TXtMultiDock::Create(this);
    LeftDock->SetName("LeftDock");
    LeftDock->SetPosition(dpxLeft);
    LeftDock->SetParent(this);
    NoteDock = TXtMultiDock::Create(this);
    NoteDock->SetName("NoteDock");
    NoteDock->SetPosition(dpxBottom);
    NoteDock->SetParent(this);
}

void TMainForm::CreateMenuBar() {
    MenuBar = NewToolbar(this, "MenuBar");
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

    // Alt+T is the Tags grouping's shortcut, which would win over a marked
    // T: the menu is marked where its letter opens it.
    ToolsMenu = AddItem<TXtSubmenuItem>(this, MenuBar->GetItems(), L"T&ools");
    AddActionItem(this, ToolsMenu, FindM);
    AddSeparator(this, ToolsMenu);
    AddActionItem(this, ToolsMenu, MakeStickyNoteA);
    StickyNotesMenu = AddItem<TXtSubmenuItem>(this, ToolsMenu, L"Sticky Notes");
    AddActionItem(this, StickyNotesMenu, ShowAllSA);
    AddActionItem(this, StickyNotesMenu, CloseAllSA);
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
    GroupByPan = NewToolbar(this, "GroupByPan");
    GroupByPan->SetImages(Others16);
    GroupByPan->SetDockRow(2);
    GroupByPan->OnClose = gcl::TNotifyEvent(this, &TMainForm::OptionalBarClose);
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

void TMainForm::FormCreate(gcl::TObject*) {
    StartupMark("FormCreate: components made");
    ApplyProgramDateFormats();
    // The window is made after this handler; CreateWnd registers the key.
    FHotKeyId = GlobalAddAtomA(HotKeyAtomName);
    if (FHotKeyId && HandleAllocated())
        RegisterHotKey(GetHandle(), FHotKeyId, MOD_CONTROL | MOD_SHIFT, HotKeyVirtualKey);
    SetCaption(msg::MainCaption);
    OpenDialog1->SetInitialDir(AppDir() + "Data");
    themes->Recreate();
    StartupMark("FormCreate: hot key, theme menu");
    SaveOnExit = false;
    delete Database;
    Database = new TuData();
    FTaskOrders.TrustChangeMarkOf(Database);
    SaveOnExit = true;
    // The layout applies the stored theme; when it applies none, the
    // first-start theme is the one.
    const int themeIndex = FThemeIndex;
    FThemeIndex = -1;
    LoadLayoutSettings(SettingsFileName());
    if (FThemeIndex < 0) {
        FThemeIndex = themeIndex;
        ClickThemeItem(StartupThemeIndex);
    }
    StartupMark("FormCreate: layout and theme");
    Database->FileName = StartupDatabaseFileName();
    TrayTimer->SetEnabled(true);
    const bool existed = gcl::FileExists(Database->FileName);
    // A missing database told of before the window was built is not told
    // of again.
    const bool announced = !existed && !GAnnouncedMissing.empty() && Database->FileName == GAnnouncedMissing;
    GAnnouncedMissing.clear();
    if (announced || !LoadDatabase(*Database, Database->FileName)) {
        // The window is as on an empty database ("All" in the side tree),
        // so lists made now are kept like any others.
        RebuildSideTree();
        // The file is there but could not be read: the empty database
        // must not replace it unasked.
        if (existed) FSaveGuard.StartupLoadFailed(Database->FileName);
        ShowAutoSaveHold();
    }
}

void TMainForm::CreateWnd() {
    inherited::CreateWnd();
    if (FHotKeyId) RegisterHotKey(GetHandle(), FHotKeyId, MOD_CONTROL | MOD_SHIFT, HotKeyVirtualKey);
    InstallTypingGuard();
}

namespace {
// Whether the program runs under Wine (its ntdll tells its version).
bool RunsUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
} // namespace

void TMainForm::CreateParams(gcl::TCreateParams& Params) {
    inherited::CreateParams(Params);
    // The window is owned by the application window, which holds the
    // taskbar button. Under Wine that window, having no size, never shows
    // on the X display, and Wine tells the window manager that an owned
    // window keeps off the taskbar unless it is an "app window": the
    // manager then passes the main window by when it hands the keyboard on
    // after a window of the program closed (openbox gave it to Wine's tray
    // window), and its taskbar shows no Qelvo. Under Wine the main window
    // is one; on Windows that would give the program a second button.
    if (RunsUnderWine()) Params.ExStyle |= WS_EX_APPWINDOW;
}

void TMainForm::DestroyWnd() {
    RemoveTypingGuard();
    if (FHotKeyId) UnregisterHotKey(GetHandle(), FHotKeyId);
    inherited::DestroyWnd();
}

bool TMainForm::LoadDatabase(TuData& Data, const std::string& FileName) {
    CommitNote();
    const TLoadResult result = LoadDatabaseFile(Data, FileName);
    StartupMark("database: file read");
    if (!result.Loaded) {
        gcl::ShowMessageBox(result.Message, msg::AppTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    if (&Data == Database) {
        FSaveGuard.Clear();
        FChangedElsewhere = false;
        FDiskStamp = result.Stamp;
        FSearchNarrowing.Forget();
        FFilterAnswer.Forget();
    }
    RebuildSideTree();
    StartupMark("database: side tree");
    SetCaption(result.Caption);
    RefreshTaskList();
    StartupMark("database: task list");
    SetAsDefaultM->SetChecked(IsDefaultDatabase(Options, Data.FileName));
    ShowAutoSaveHold();
    return true;
}

// ---- File commands ------------------------------------------------------------------

void TMainForm::OpenMExecute(gcl::TObject*) {
    if (!SaveChangesBeforeOpen()) return;
    if (!OpenDialog1->Execute()) return;
    LoadDatabase(*Database, OpenDialog1->GetFileName());
}

bool TMainForm::SaveOpenDatabase(TSaveMode Mode) {
    if (!Database) return false;
    // The clock's save comes in the middle of whatever the user does: the
    // note typed so far is saved, and Esc still drops the whole edit; a
    // list being renamed stays in its editor, and its new name is a change
    // for the next save.
    CommitNote(Mode == TSaveMode::Auto);
    StoreSideTree(Mode != TSaveMode::Auto);
    const std::string fileName = Database->FileName;
    const bool blocked = FSaveGuard.NeedsConfirmation(fileName);
    // Saved over a file another writer changed only when the user says
    // so; the check runs alongside the save, which then leaves the file.
    TSaveResult result;
    if (!blocked) result = SaveDatabase(*Database, fileName, gcl::Now(), &FDiskStamp);
    if (blocked || result.Conflict) {
        if (Mode == TSaveMode::Unattended || Mode == TSaveMode::Auto || Mode == TSaveMode::Quiet) {
            if (CaptionHasCountdown(GetCaption())) SetCaption(FileCaption(fileName));
            // Left alone in silence: the caption says so until a save
            // the user asks for decides.
            if (result.Conflict) FChangedElsewhere = true;
            ShowAutoSaveHold();
            return false;
        }
        if (Mode == TSaveMode::Exit) BringWindowBack();
        const std::string text = blocked ? msg::SaveOverFailedLoadHead + FSaveGuard.GetBlocked() +
                                               msg::SaveOverFailedLoadTail + msg::SaveChoices
                                         : msg::ChangedOnDiskHead + fileName + msg::ChangedOnDiskTail + msg::SaveChoices;
        const int answer = gcl::ShowMessageBox(text, msg::AppTitle, MB_YESNOCANCEL | MB_ICONWARNING);
        if (answer == IDNO) return SaveCopyAs(TCopyTarget::Elsewhere);
        if (answer != IDYES) return false;
        FSaveGuard.Clear();
        result = SaveDatabase(*Database, fileName, gcl::Now());
    }
    if (!result.Saved) {
        if (CaptionHasCountdown(GetCaption())) SetCaption(FileCaption(fileName));
        if (Mode == TSaveMode::Quiet) return false;
        if (Mode == TSaveMode::Exit) {
            BringWindowBack();
            const std::string text = msg::SaveFailedHead + fileName + msg::ExitSaveFailedTail;
            return gcl::ShowMessageBox(text, msg::AppTitle, MB_YESNO | MB_ICONERROR) == IDYES &&
                   SaveCopyAs(TCopyTarget::Elsewhere);
        }
        gcl::ShowMessageBox(result.Message, msg::AppTitle, MB_OK | MB_ICONERROR);
        return false;
    }
    FDiskStamp = result.Stamp;
    FChangedElsewhere = false;
    SetCaption(result.Caption);
    ShowAutoSaveHold();
    return true;
}

void TMainForm::ShowAutoSaveHold() {
    if (!Database) return;
    const TAutoSaveHold hold =
        AutoSaveHoldOf(Options, Database->FileName, FSaveGuard.Blocks(Database->FileName), FChangedElsewhere);
    const std::string caption = GetCaption();
    const std::string shown = CaptionWithHold(caption, hold);
    if (shown != caption) SetCaption(shown);
}

bool TMainForm::TakeEditsInProgress() {
    TakeTitleBeingEdited();
    // A new list's or tag's name typed without Enter: refused (a name in
    // use), it stays in its box with the message that said why.
    if (!TakeNewNameEdit()) return false;
    CommitNote();
    // A list made or renamed in the side tree is a change too.
    StoreSideTree();
    return true;
}

bool TMainForm::SaveChangesBeforeOpen() {
    if (!Database) return true;
    if (!TakeEditsInProgress()) return false;
    if (!Database->Modified) return true;
    const int answer =
        gcl::ShowMessageBox(msg::SaveBeforeOpenQuestion, msg::AppTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDNO) return true;
    // A save that failed or was refused keeps the changes and the file.
    return answer == IDYES && SaveOpenDatabase(TSaveMode::Command);
}

bool TMainForm::SaveBeforeExit() {
    if (!Database) return true;
    CommitNote();
    StoreSideTree();
    if (Database->Modified) {
        if (!SaveOpenDatabase(TSaveMode::Exit)) return false;
    } else {
        // Nothing unsaved: the file is written as always, but never over
        // a file it may not replace, and a failure loses nothing.
        SaveOpenDatabase(TSaveMode::Quiet);
    }
    // Written: the window's end has nothing left to save.
    SaveOnExit = false;
    return true;
}

void TMainForm::BringWindowBack() {
    if (tray->GetActive() && !tray->IsApplicationVisible())
        tray->ShowApplication();
    else if (gcl::Application->GetHandle() && IsIconic(gcl::Application->GetHandle()))
        gcl::Application->Restore();
    gcl::Application->BringToFront();
}

void TMainForm::WMShowRunningCopy() {
    // The keyboard goes to the quick-entry box: a title being typed is
    // taken first, as a click elsewhere takes it, rather than its editor
    // staying on the screen without the keyboard, and an open menu (whose
    // loop holds the capture) closes rather than taking the keys typed.
    TakeTitleBeingEdited();
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
    BringWindowBack();
    FocusAfterComingBack();
}

void TMainForm::TakeTitleBeingEdited() {
    if (!List) return;
    TGvEditManager* edit = List->GetEditManager();
    if (edit && edit->Editing())
        if (IGvCellEditor* editor = edit->GetEditor()) editor->AcceptEdit();
}

bool TMainForm::QueryEndSession() {
    if (!Database || !SaveOnExit) return true;
    // No box may come up here: the system waits for the answer. A question
    // or dialog left open changes nothing until it is answered, so what
    // the window holds now is what the user has, with a title being typed.
    TakeTitleBeingEdited();
    SaveOpenDatabase(TSaveMode::Quiet);
    if (!Database->Modified) return true;
    if (!FSessionSaveFailedPosted && HandleAllocated()) {
        FSessionSaveFailedPosted = true;
        PostMessageA(GetHandle(), SessionSaveFailedMessage, 0, 0);
    }
    return false;
}

void TMainForm::WMEndSession(bool Ending) {
    if (!Ending || !Database) return;
    // The process may end as soon as this returns: the tasks first.
    TakeTitleBeingEdited();
    CommitNote();
    StoreSideTree();
    if (SaveOnExit && Database->Modified) SaveOpenDatabase(TSaveMode::Quiet);
    SaveLayoutSettings(SettingsFileName());
}

void TMainForm::WMSessionSaveFailed() {
    if (!Database || !Database->Modified) {
        FSessionSaveFailedPosted = false;
        return;
    }
    // Not over a question or dialog still open: the report comes once it
    // is answered (WM_ENABLE).
    if (HandleAllocated() && !IsWindowEnabled(GetHandle())) {
        FSessionReportWaiting = true;
        return;
    }
    BringWindowBack();
    // The flag stays set while the report is up: the session held back
    // again meanwhile posts nothing, and one box says why.
    try {
        SaveOpenDatabase(TSaveMode::Command);
    } catch (...) {
        FSessionSaveFailedPosted = false;
        throw;
    }
    FSessionSaveFailedPosted = false;
}

namespace {

struct TOwnedWindowSearch {
    HWND Owner = nullptr;
    std::vector<HWND> Found;
};

BOOL CALLBACK FindOwnedWindows(HWND window, LPARAM data) noexcept {
    auto* search = reinterpret_cast<TOwnedWindowSearch*>(data);
    if (GetWindow(window, GW_OWNER) == search->Owner && IsWindowVisible(window)) search->Found.push_back(window);
    return TRUE;
}

// The window that takes the keyboard among the shown windows Owner owns:
// an enabled one, or else the one that a window held disabled by a dialog
// of its own leads to (the colour dialog over the Options dialog);
// nullptr when there is none.
HWND EnabledOwnedWindow(HWND owner, HWND skip, int depth = 0) {
    if (!owner || depth > 8) return nullptr;
    TOwnedWindowSearch search;
    search.Owner = owner;
    EnumThreadWindows(GetCurrentThreadId(), &FindOwnedWindows, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.Found)
        if (window != skip && IsWindowEnabled(window)) return window;
    for (HWND window : search.Found)
        if (window != skip)
            if (HWND inner = EnabledOwnedWindow(window, skip, depth + 1)) return inner;
    return nullptr;
}

} // namespace

bool TMainForm::ActivateModalWindow() {
    // A modal window keeps this one disabled while it is up; the system
    // forgot it as the last active one when this window was shown again.
    const HWND self = GetHandle();
    if (IsWindowEnabled(self)) return false;
    for (HWND owner : {self, gcl::Application->GetHandle()}) {
        if (HWND found = EnabledOwnedWindow(owner, self)) {
            SetForegroundWindow(found);
            SetActiveWindow(found);
            return true;
        }
    }
    return false;
}

void TMainForm::FocusAfterComingBack() {
    if (!ActivateModalWindow()) FocusTopEdit();
}

bool TMainForm::SaveCopyAs(TCopyTarget Target) {
    // The dialog starts beside the open database, with its name, or with
    // a free name beside it when that file is to stay as it is.
    if (!Database->FileName.empty()) {
        SaveDialog1->SetInitialDir(gcl::ExcludeTrailingPathDelimiter(gcl::ExtractFilePath(Database->FileName)));
        SaveDialog1->SetFileName(Target == TCopyTarget::AnyFile ? Database->FileName : FreeCopyName(Database->FileName));
    }
    if (!SaveDialog1->Execute()) return false;
    const std::string fileName = SaveDialog1->GetFileName();
    // (However the name is written: another letter case, a short name, a link.)
    const bool openFile = gcl::SameText(gcl::ExpandFileName(fileName), gcl::ExpandFileName(Database->FileName)) ||
                          gcl::SameFile(fileName, Database->FileName);
    if (Target == TCopyTarget::NotTheOpenFile && openFile) {
        gcl::ShowMessageBox(fileName + msg::CopyIsClearedFileTail, msg::AppTitle, MB_OK | MB_ICONWARNING);
        return false;
    }
    CommitNote();
    StoreSideTree();
    const bool modified = Database->Modified;
    std::string written;
    if (!Database->SaveToFile(fileName, &written)) {
        gcl::ShowMessageBox(std::string(msg::SaveFailedHead) + fileName + msg::SaveFailedTail, msg::AppTitle,
                            MB_OK | MB_ICONERROR);
        return false;
    }
    if (openFile) {
        // A copy over the open file itself (the dialog asked before
        // replacing it) is that file's content now, and may replace a
        // file that could not be read.
        FSaveGuard.Clear();
        FDiskStamp = StampBytes(written);
    } else if (Target != TCopyTarget::Elsewhere) {
        // The open file, which later saves write, still lacks the changes:
        // they stay unsaved, and opening another database asks about them.
        // (A copy the user made instead of replacing the open file is
        // where the changes were meant to go.)
        Database->Modified = modified;
    }
    return true;
}

void TMainForm::SaveAsMExecute(gcl::TObject*) { SaveCopyAs(); }

void TMainForm::SaveMExecute(gcl::TObject*) {
    if (SaveOpenDatabase(TSaveMode::Command)) FAutoSaveClock.Restart();
}

void TMainForm::SetAsDefaultMExecute(gcl::TObject*) {
    Options.DefaultDatabase = Database->FileName;
    const TOptionsSaved saved = SaveOptions(SettingsFileName());
    SetAsDefaultM->SetChecked(true);
    ShowAutoSaveHold();
    // It is the default of this run all the same; the user learns that
    // the next start will not know it.
    if (!saved) gcl::ShowMessageBox(OptionsNotSavedMessage(saved, SettingsFileName()), msg::AppTitle, MB_OK | MB_ICONWARNING);
}

void TMainForm::CreateNewDbMExecute(gcl::TObject*) {
    // What is being typed belongs to this database: taken first, it is in
    // the copy the question offers, and no box is left open to take the
    // emptied database a name.
    if (!TakeEditsInProgress()) return;
    const int answer = gcl::ShowMessageBox(msg::ClearDatabaseQuestion, msg::AppTitle,
                                           MB_YESNOCANCEL | MB_ICONQUESTION);
    const TAnswer a = answer == IDYES ? TAnswer::Yes : answer == IDNO ? TAnswer::No : TAnswer::Cancel;
    const bool copySaved = a == TAnswer::Yes && SaveCopyAs(TCopyTarget::NotTheOpenFile);
    if (!ClearDatabaseProceeds(a, copySaved)) return;
    CommitNote();
    Database->Clear();
    RebuildSideTree();
    Database->Modified = true;
    RefreshTaskList();
}

void TMainForm::ExitMExecute(gcl::TObject*) {
    // A title being typed is part of what is saved.
    TakeTitleBeingEdited();
    CommitNote();
    // The save comes first: when it fails, the program stays with the changes.
    if (SaveOnExit && !SaveBeforeExit()) return;
    TerminateApplication();
}

void TMainForm::TerminateApplication() {
    gcl::Application->ProcessMessages();
    gcl::Application->Terminate();
}

void TMainForm::ExitWSMExecute(gcl::TObject*) {
    const int answer = gcl::ShowMessageBox(msg::ExitWithoutSavingQuestion, msg::AppTitle, MB_YESNO | MB_ICONQUESTION);
    const TExitDecision d = ExitWithoutSavingDecision(SaveOnExit, answer == IDYES ? TAnswer::Yes : TAnswer::No);
    if (!d.Exit) return;
    SaveOnExit = d.SaveOnExit;
    TerminateApplication();
}

void TMainForm::FormClose(gcl::TObject*, gcl::TCloseAction& Action) {
    if (!Database) return;
    // A title being typed (Alt+F4 reaches here with its editor open) is a
    // change like any other: asked about and saved with the rest.
    TakeTitleBeingEdited();
    CommitNote();
    // A list made or renamed in the side tree is a change too.
    StoreSideTree();
    TAnswer answer = TAnswer::Yes;
    if (Database->Modified) {
        const int r = gcl::ShowMessageBox(msg::SaveBeforeExitQuestion, msg::AppTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
        answer = r == IDYES ? TAnswer::Yes : r == IDNO ? TAnswer::No : TAnswer::Cancel;
    }
    const TCloseDecision d = CloseDecision(Database->Modified, SaveOnExit, answer);
    if (!d.Close) {
        Action = gcl::caNone;
        return;
    }
    SaveOnExit = d.SaveOnExit;
    // The save comes before the window goes: when it fails, the window
    // stays with the changes.
    if (SaveOnExit && !SaveBeforeExit()) Action = gcl::caNone;
}

void TMainForm::FormDestroy(gcl::TObject*) {
    if (FHotKeyId) {
        if (HandleAllocated()) UnregisterHotKey(GetHandle(), FHotKeyId);
        GlobalDeleteAtom(FHotKeyId);
        FHotKeyId = 0;
    }
    if (!Database) return;
    SaveLayoutSettings(SettingsFileName());
    // An end that did not pass through an exit command or the close
    // question (the session ending) still saves, but never over a file
    // it may not replace.
    if (SaveOnExit) SaveOpenDatabase(TSaveMode::Unattended);
}

void TMainForm::ViewTodayTasksMExecute(gcl::TObject*) {
    if (tray->GetActive() && !tray->IsApplicationVisible())
        tray->ShowApplication();
    else
        gcl::Application->Restore();
    FDate1A->Execute();
}

void TMainForm::AboutMExecute(gcl::TObject*) {
    TAboutF* about = TAboutF::Create(this);
    about->ShowModal();
    about->Free();
}

void TMainForm::HelpMExecute(gcl::TObject*) { gcl::Shell->Open(msg::HelpPageUrl); }
void TMainForm::ContactMExecute(gcl::TObject*) { gcl::Shell->Open(msg::ContactPageUrl); }
void TMainForm::VisitHomeMExecute(gcl::TObject*) { gcl::Shell->Open(msg::HomePageUrl); }

void TMainForm::ApplicationEvents1Exception(gcl::TObject*, gcl::Exception&) {}

void TMainForm::ApplicationEvents1Minimize(gcl::TObject*) {
    // The hot key, a click on the tray icon or Minimize/Restore took the
    // window away: a title being typed is taken, as a click elsewhere
    // takes it, instead of going with the edit that losing the activation
    // ends.
    TakeTitleBeingEdited();
    // A start minimised after the icon went up (a message at start ran
    // its timer) goes to the tray too.
    HideToTrayWhenMinimized();
}

void TMainForm::HideToTrayWhenMinimized() {
    // With the icon on, minimised means in the tray.
    const HWND application = gcl::Application->GetHandle();
    if (tray->GetActive() && application && IsIconic(application) && IsWindowVisible(application))
        tray->HideApplication();
}

// ---- Auto-save ----------------------------------------------------------------------

void TMainForm::Timer1Timer(gcl::TObject*) {
    if (!Database) return;
    // Past midnight "Today" and "Tomorrow" name other days: the list shows
    // its due dates for the new day, and a due-date filter that counts
    // from today ("Today", "This Week", ...) shows the new day's tasks.
    const double now = gcl::Now();
    if (List && gcl::DateOf(now) != gcl::DateOf(FCaptionNow)) {
        FCaptionNow = now;
        List->Invalidate();
    }
    FollowDayInDueFilter();
    const TAutoSaveClock::TTick tick = FAutoSaveClock.Tick(gcl::Now(), Options, Database->FileName);
    // No countdown to a save that will leave the file: the caption says
    // why instead.
    if (tick.Countdown && !FSaveGuard.Blocks(Database->FileName) && !FChangedElsewhere)
        SetCaption(CountdownCaption(Database->FileName, tick.Seconds));
    // The timer goes on under the message of a save that failed (its box
    // runs a modal loop): the saves that come due meanwhile wait for it
    // to be answered, instead of stacking boxes.
    if (tick.SaveNow && !FAutoSaving) {
        gcl::TFlagScope saving(FAutoSaving);
        if (!SaveOpenDatabase(TSaveMode::Auto) && CaptionHasCountdown(GetCaption()))
            SetCaption(FileCaption(Database->FileName));
    }
    // The options, the open file or the guard may have changed since the
    // last tick.
    ShowAutoSaveHold();
}

// ---- Hot key and tray -----------------------------------------------------------------

void TMainForm::CarryOut(THotKeyAction Action) {
    if (Action == THotKeyAction::Minimize || Action == THotKeyAction::HideToTray) CloseQuickDateCalendar();
    switch (Action) {
    case THotKeyAction::Minimize: gcl::Application->Minimize(); break;
    case THotKeyAction::RestoreAndFocus:
        gcl::Application->Restore();
        gcl::Application->BringToFront();
        FocusAfterComingBack();
        break;
    case THotKeyAction::HideToTray: tray->HideApplication(); break;
    case THotKeyAction::ShowFromTray:
        tray->ShowApplication();
        FocusAfterComingBack();
        break;
    }
}

// The tray icon goes up once the window is shown and painted: a timer's
// message comes only when no window is left to paint, and the icon costs
// round trips to the taskbar that the first look need not wait for. The
// taskbar's process draws the icon before it answers, so the window does
// not wait for that answer either.
void TMainForm::TrayTimerTimer(gcl::TObject*) {
    StartupMark("window shown and painted");
    TrayTimer->SetEnabled(false);
    if (Options.MinimizeToTray) {
        tray->ActivateWithoutWaiting();
        HideToTrayWhenMinimized();
    } else
        tray->SetActive(false);
    StartupMark("tray icon");
}

void TMainForm::WMHotKey(gcl::TMessage& Message) {
    if (FHotKeyId == 0 || Message.WParam != FHotKeyId) return;
    // A minimised application counts as inactive, whatever the system
    // last said about its activation.
    const HWND application = gcl::Application->GetHandle();
    const bool active = gcl::Application->GetActive() && !(application && IsIconic(application));
    CarryOut(HotKeyDecision(tray->GetActive(), active, tray->IsApplicationVisible()));
}

void TMainForm::TxItem76Click(gcl::TObject*) { CarryOut(MinimizeItemDecision(tray->GetActive())); }

// ---- Layout -------------------------------------------------------------------------------

void TMainForm::ClickThemeItem(int Index) {
    if (Index < 0 || Index >= themes->GetCount()) return;
    themes->GetItem(Index)->Click();
    if (themes->GetItem(Index)->GetChecked()) FThemeIndex = Index;
}

void TMainForm::themesClick(gcl::TObject* Sender) {
    const int index = themes->IndexOf(static_cast<TBarCustomItem*>(Sender));
    if (index >= 0) FThemeIndex = index;
}

void TMainForm::ApplyColumns(const std::vector<TColumnLayout>& Columns) {
    TGvColumns* columns = List->GetHeader()->GetColumns();
    const int count = std::min(columns->GetCount(), static_cast<int>(Columns.size()));
    for (int i = 0; i < count; ++i) {
        TGvColumn* column = columns->GetColumns(i);
        column->SetPosition(Columns[static_cast<size_t>(i)].Position);
        column->SetWidth(Columns[static_cast<size_t>(i)].Width);
        column->SetVisible(Columns[static_cast<size_t>(i)].Visible);
    }
    if (columns->GetCount() > 1) ShowTagsColM->SetChecked(columns->GetColumns(1)->GetVisible());
    if (columns->GetCount() > 2) ShowDueDateColM->SetChecked(columns->GetColumns(2)->GetVisible());
}

bool TMainForm::LoadLayoutSettings(const std::string& IniPath) {
    TLayoutSettings layout;
    bool ok = qelvo::LoadLayoutSettings(IniPath, layout, themes->GetCount());
    // Each step stands on its own: one that fails leaves the others, and
    // the options are read in every case.
    auto step = [&ok](auto&& apply) {
        try {
            apply();
        } catch (const gcl::Exception&) {
            ok = false;
        }
    };
    step([&] {
        // A window left maximised keeps in the file the place it had before:
        // it is the one it comes back to when it is restored.
        const TRect32 r = NormalWindowBounds(layout, WorkAreaFor(layout));
        SetBounds(r.Left, r.Top, r.Width(), r.Height());
        if (layout.Maximized) SetWindowState(gcl::wsMaximized);
    });
    step([&] { ClickThemeItem(layout.Theme); });
    step([&] {
        // Each bar is shown or hidden once, as stored; the list is rebuilt
        // when the count changes.
        ShowGroupByPanM->SetChecked(layout.GroupByPanelVisible);
        ShowGroupByPanMExecute(ShowGroupByPanM);
        ShowFiltersPanM->SetChecked(layout.FiltersPanelVisible);
        ShowFiltersPanMExecute(ShowFiltersPanM);
        if (CountItemsM->GetChecked() != layout.CountItems) {
            CountItemsM->SetChecked(layout.CountItems);
            CountItemsMExecute(CountItemsM);
        }
    });
    step([&] {
        LiveSettings.GroupMode = layout.GroupMode;
        const int index = GroupByToolbarIndex(layout.GroupMode);
        if (index < GroupByPan->GetItems()->GetCount()) GroupByPan->GetItems()->GetItem(index)->Click();
    });
    step([&] {
        OrgPanel->SetDockedWidth(layout.OrgPanelWidth);
        WidenOrgPanelToItsTabs();
        NoteEdit->SetDockedHeight(layout.NotePanelHeight);
        if (layout.NotePanelMin) MinimizeNotePanel();
    });
    LoadOptions(SettingsFileName());
    step([&] { ApplyOptionLooks(); });
    step([&] {
        if (!layout.Maximized && layout.ColumnsRead) ApplyColumns(layout.Columns);
    });
    return ok;
}

void TMainForm::Timer2Timer(gcl::TObject*) {
    Timer2->SetEnabled(false);
    FitPanelsToList();
    if (GetWindowState() != gcl::wsMaximized) return;
    std::vector<TColumnLayout> columns;
    if (!LoadColumnLayout(SettingsFileName(), List->GetHeader()->GetColumns()->GetCount(), true, columns)) return;
    ApplyColumns(columns);
    RefreshTaskList();
}

void TMainForm::SaveLayoutSettings(const std::string& IniPath) {
    TLayoutSettings layout;
    try {
        layout.Maximized = GetWindowState() == gcl::wsMaximized;
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        if (HandleAllocated() && GetWindowPlacement(GetHandle(), &placement) && GetWindowState() != gcl::wsNormal) {
            // Maximised or minimised: the size and place it comes back to,
            // given in the work area's coordinates (a taskbar at the top or
            // the left moves it from the screen's).
            const RECT& r = placement.rcNormalPosition;
            POINT offset{0, 0};
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            if (GetMonitorInfoA(MonitorFromWindow(GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
                offset.x = monitor.rcWork.left - monitor.rcMonitor.left;
                offset.y = monitor.rcWork.top - monitor.rcMonitor.top;
            }
            layout.Left = r.left + offset.x;
            layout.Top = r.top + offset.y;
            layout.Width = r.right - r.left;
            layout.Height = r.bottom - r.top;
        } else {
            layout.Left = GetLeft();
            layout.Top = GetTop();
            layout.Width = GetWidth();
            layout.Height = GetHeight();
        }
        // A panel the window squeezes keeps the size the user gave it.
        layout.OrgPanelWidth = FOrgWantedWidth > 0 ? FOrgWantedWidth : OrgPanel->GetDockedWidth();
        layout.NotePanelMin = NotePanelMinimized();
        // A panel minimised across the window keeps the height it comes back
        // to; in a side's stack it comes back to a share of the side, and its
        // height across the window stays as it was.
        const int restoreHeight = NoteEdit->GetState()->DockedRestoreHeight;
        TBarDock* noteDock = NoteEdit->GetDocked() ? NoteEdit->GetCurrentDock() : nullptr;
        const bool across = noteDock && !noteDock->IsLeftRight();
        layout.NotePanelHeight = FNoteWantedHeight > 0 ? FNoteWantedHeight
                                 : FNoteOwnHeight > 0 ? FNoteOwnHeight
                                 : layout.NotePanelMin && across && restoreHeight > 0
                                     ? restoreHeight - (NoteEdit->GetHeight() - NoteEdit->GetDockedHeight())
                                     : NoteEdit->GetDockedHeight();
        layout.GroupByPanelVisible = ShowGroupByPanM->GetChecked();
        layout.FiltersPanelVisible = ShowFiltersPanM->GetChecked();
        layout.CountItems = CountItemsM->GetChecked();
        layout.GroupMode = LiveSettings.GroupMode;
        layout.Theme = FThemeIndex;
        TGvColumns* columns = List->GetHeader()->GetColumns();
        layout.Columns.clear();
        for (int i = 0; i < columns->GetCount(); ++i) {
            TGvColumn* column = columns->GetColumns(i);
            layout.Columns.push_back({column->GetPosition(), column->GetWidth(), column->GetVisible()});
        }
    } catch (const gcl::Exception&) {
        // What could be read is written.
    }
    qelvo::SaveLayoutSettings(IniPath, layout);
}

void TMainForm::ShowGroupByPanMExecute(gcl::TObject*) { GroupByPan->SetVisible(ShowGroupByPanM->GetChecked()); }

void TMainForm::ShowFiltersPanMExecute(gcl::TObject*) { FiltersPanel->SetVisible(ShowFiltersPanM->GetChecked()); }

void TMainForm::OptionalBarClose(gcl::TObject* Sender) {
    if (Sender == GroupByPan) ShowGroupByPanM->SetChecked(false);
    if (Sender == FiltersPanel) ShowFiltersPanM->SetChecked(false);
}

void TMainForm::ShowTagsColMExecute(gcl::TObject*) {
    List->GetHeader()->GetColumns()->GetColumns(1)->SetVisible(ShowTagsColM->GetChecked());
}

void TMainForm::ShowDueDateColMExecute(gcl::TObject*) {
    List->GetHeader()->GetColumns()->GetColumns(2)->SetVisible(ShowDueDateColM->GetChecked());
}

void TMainForm::ApplyOptionLooks() {
    SetNoteFontSize(Options.NoteFontSize);
    SetListRowHeight(ListRowHeight(Options.ListFontSize, gcl::Screen->GetPixelsPerInch()));
    SetGroupsUnderlineColor(UnderlineColorFromText(Options.GroupsUnderlineColor, gcl::ColorIdents));
}

void TMainForm::MinimizeNotePanel() { NoteEdit->Minimize(false); }

bool TMainForm::NotePanelMinimized() { return NoteEdit->IsMinimized(); }

// ---- Options ------------------------------------------------------------------------------

void TMainForm::OptionsAExecute(gcl::TObject*) {
    TOptionsF* dialog = TOptionsF::Create(this, static_cast<IOptionsTarget*>(this));
    dialog->ShowModal();
    dialog->Free();
    // The default database or auto-save changed: the caption says at once
    // whether auto-save leaves the open database.
    ShowAutoSaveHold();
}

void TMainForm::SetGroupsUnderlineColor(gcl::TColor Color) { List->GetPaintInfoGroup()->SetBandColor(Color); }

std::string TMainForm::GetOpenFileName() { return Database ? Database->FileName : std::string(); }

void TMainForm::SetDefaultDatabaseChecked(bool Checked) { SetAsDefaultM->SetChecked(Checked); }

void TMainForm::SetListRowHeight(int Height) {
    // The group captions are measured with the group font, which follows
    // the list font size as the rows do; the group headers grow with it, so
    // that a large caption stays inside its header instead of running over
    // the rows above.
    gcl::TFont* groupFont = List->GetGroupFont();
    groupFont->SetSize(Options.ListFontSize);
    gcl::TSize caption{0, 0};
    TextExtentW(L"Hg", groupFont, caption);
    TGvPaintInfoGroup* groupInfo = List->GetPaintInfoGroup();
    const int band = groupInfo->GetBandEnabled() ? groupInfo->GetBandThickness() + 2 * groupInfo->GetBandMargin() : 0;
    groupInfo->GetMarginTop()->SetSize(GroupHeaderHeight(caption.cy, band));
    List->GetCellSizes()->GetReport()->SetHeight(Height);
}

void TMainForm::SetTrayIconActive(bool Active) { tray->SetActive(Active); }

std::string TMainForm::GetMainCaption() { return GetCaption(); }

void TMainForm::SetMainCaption(const std::string& Caption) { SetCaption(Caption); }

// ---- Messages ----------------------------------------------------------------------------

bool TMainForm::IsShortCut(gcl::TMessage& Message) {
    const gcl::TWMKey key(Message);
    if (gcl::IsTextEditingKey(gcl::ShortCutFromMessage(key)) && gcl::IsTextBox(::GetFocus())) return false;
    return inherited::IsShortCut(Message);
}

void TMainForm::GetTabOrderList(std::vector<gcl::TWinControl*>& List) {
    inherited::GetTabOrderList(List);
    // Last, so that the list, first in the order, has the keyboard when
    // the window first shows: the round reaches the box after the note.
    if (TopEdit && !gcl::Contains(List, static_cast<gcl::TWinControl*>(TopEdit))) List.push_back(TopEdit);
}

void TMainForm::Dispatch(gcl::TMessage& Message) {
    // Tab moves the keyboard through the note editor too, whose window is
    // made before the move can pass it by.
    if (Message.Msg == gcl::CM_DIALOGKEY && LOWORD(Message.WParam) == VK_TAB) MakeNoteEditor();
    if (Message.Msg == WM_HOTKEY) {
        WMHotKey(Message);
        return;
    }
    if (Message.Msg == WM_COPYDATA) {
        WMCopyData(Message);
        return;
    }
    if (Message.Msg == ShowRunningCopyMessage()) {
        WMShowRunningCopy();
        return;
    }
    if (Message.Msg == UnsavableTypedMessage) {
        WarnUnsavableTyped(Message.WParam);
        return;
    }
    if (Message.Msg == CommandAfterEditMessage) {
        RunCommandAfterEdit(static_cast<gcl::TShortCut>(Message.WParam));
        return;
    }
    if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam != ' ') {
        // The menu bar taken with the keys (a tap of Alt, F10, Alt and a
        // menu's letter) takes a title being typed, as a click on the bar
        // does: a command chosen there may fill the task list anew, which
        // would drop the editor and what was typed in it. (The window's
        // own menu, Alt+Space, keeps it, as a drag by the caption does.)
        // A name typed over a node of the side tree, or into the box of a
        // new list's or tag's name, is taken the same way; a new name
        // refused keeps its box, and no menu opens over the word.
        TakeTitleBeingEdited();
        TakeTreeLabelEdit();
        if (!TakeNewNameEdit()) return;
    }
    if (Message.Msg == WM_ACTIVATEAPP && !Message.WParam && IsWindowEnabled(GetHandle())) {
        // Another program taken to the front (a click on its window,
        // Alt+Tab, the taskbar) takes a title being typed, as a click
        // elsewhere in the window does, before the edit that losing the
        // activation ends drops it. Under a message box or dialog of the
        // program's own the title stays in its editor for the user's return.
        TakeTitleBeingEdited();
    }
    if (Message.Msg == WM_QUERYENDSESSION) {
        inherited::Dispatch(Message);
        if (Message.Result) Message.Result = QueryEndSession() ? 1 : 0;
        return;
    }
    if (Message.Msg == WM_ENDSESSION) {
        WMEndSession(Message.WParam != 0);
        inherited::Dispatch(Message);
        return;
    }
    if (Message.Msg == SessionSaveFailedMessage) {
        WMSessionSaveFailed();
        return;
    }
    if (Message.Msg == TreeJoinedMessage) {
        ShowJoinedTree();
        return;
    }
    if (Message.Msg == WM_ENABLE && Message.WParam && FSessionReportWaiting) {
        FSessionReportWaiting = false;
        PostMessageA(GetHandle(), SessionSaveFailedMessage, 0, 0);
    }
    if (Message.Msg == WM_ACTIVATE && LOWORD(Message.WParam) != WA_INACTIVE && HandleAllocated() &&
        !IsWindowEnabled(GetHandle()))
        PostMessageA(GetHandle(), ModalWindowForwardMessage, 0, 0);
    if (Message.Msg == ModalWindowForwardMessage) {
        if (GetActiveWindow() == GetHandle()) ActivateModalWindow();
        return;
    }
    if (Message.Msg == QuickEntryFitMessage) {
        FQuickEntryFitPosted = false;
        if (TBarView* view = TopPanel ? TopPanel->GetView() : nullptr) {
            view->InvalidatePositions();
            view->ValidatePositions();
        }
        return;
    }
    if (Message.Msg == FitPanelsMessage) {
        FFitPanelsPosted = false;
        FitPanelsToList();
        return;
    }
    inherited::Dispatch(Message);
}

// ---- Unit -------------------------------------------------------------------------------

namespace {

// The screen cursors of the task list's hot zones and of dragging, loaded
// when first shown.
void InitMainUnit() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    gcl::Screen->SetCursorResource(crHandCursor, instance, "CURSOR_HAND");
    gcl::Screen->SetCursorResource(crGrabCursor, instance, "CURSOR_GRAB");
}

} // namespace

gcl::TUnit MainUnit{"Main", &InitMainUnit};

} // namespace qelvo
