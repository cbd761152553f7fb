// The main window (form unit "main"): TMainForm with its docks, menu bar,
// toolbars, actions, timers and tray icon, start-up, the file commands,
// auto-save, the hot key and the layout (Main.cpp); the task list
// (MainTaskList.cpp) and the bars and panels around it (MainPanels.cpp).
#pragma once

#include <string>

#include "components/KitRichEdit.h"
#include "components/KitTrayIcon.h"
#include "controls/XtBars.h"
#include "controls/XtControls.h"
#include "controls/XtDkPanels.h"
#include "controls/XtItem.h"
#include "gcl/ActnList.h"
#include "gcl/AppEvnts.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/ImgList.h"
#include "gcl/Menus.h"
#include "gcl/Timers.h"
#include "listview/GvListview.h"
#include "theming/TxBars.h"
#include "theming/TxDockPanels.h"
#include "unicode/UniActnList.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/MainShell.h"
#include "app/logic/TaskPresentation.h"
#include "app/OptionsForm.h"
#include "app/MainStickies.h"

namespace qelvo {

// The actions of the main window. Every command is an action with a
// caption and a shortcut; menus, toolbars and popup menus show them.
using TMainAction = TUniAction;

class TMainForm : public gcl::TForm, public IOptionsTarget {
    GCL_CLASS(TMainForm, gcl::TForm)
public:
    // ======================================================================
    // The frame (Main.cpp)
    // ======================================================================

    // ---- Components
    gcl::TActionList* ActionList1 = nullptr;
    gcl::TImageList* IconList = nullptr;      // task priorities (16 x 16): 0 low, 1 normal, 2 high, 3 none
    gcl::TImageList* Others16 = nullptr;      // menus, toolbars and group images (16 x 16)
    gcl::TImageList* CatIcons_24 = nullptr;   // list and tag icons of the side tree (24 x 24)
    gcl::TTimer* Timer1 = nullptr;            // the one-second auto-save clock
    gcl::TTimer* Timer2 = nullptr;            // one-shot column layout of a maximised start
    TKitTrayIcon* tray = nullptr;
    TXtPopupMenu* TrayMenu = nullptr;
    gcl::TOpenDialog* OpenDialog1 = nullptr;
    gcl::TSaveDialog* SaveDialog1 = nullptr;
    gcl::TApplicationEvents* ApplicationEvents1 = nullptr;

    // ---- Docks and bars
    TXtDock* TopDock = nullptr;               // menu bar, quick-entry bar, group-by and filter bars
    TXtMultiDock* LeftDock = nullptr;         // the lists-and-tags panel
    TXtMultiDock* NoteDock = nullptr;         // the note panel, below the task list
    TXtToolbar* MenuBar = nullptr;
    TXtSubmenuItem* FileMenu = nullptr;
    TXtSubmenuItem* ViewMenu = nullptr;
    TXtSubmenuItem* ToolsMenu = nullptr;
    TXtSubmenuItem* HelpMenu = nullptr;
    TXtSubmenuItem* ThemeMenu = nullptr;
    TXtThemeGroupItem* themes = nullptr;      // one radio item per registered theme
    TXtItem* TxItem76 = nullptr;              // "Minimize/Restore          Shift+Ctrl+O"
    // The group-by toolbar: "Group by :", "Nothing", separator, "List",
    // "Date", "Priority", "Tags".
    TXtToolbar* GroupByPan = nullptr;
    TXtItem* NoGroupBtn = nullptr;

    // ---- Actions of the shell and the layout
    TMainAction* OpenM = nullptr;
    TMainAction* SaveAsM = nullptr;
    TMainAction* SaveM = nullptr;
    TMainAction* SetAsDefaultM = nullptr;
    TMainAction* CreateNewDbM = nullptr;
    TMainAction* ExitWSM = nullptr;
    TMainAction* ExitM = nullptr;
    TMainAction* ViewTodayTasksM = nullptr;
    TMainAction* AboutM = nullptr;
    TMainAction* HelpM = nullptr;
    TMainAction* ContactM = nullptr;
    TMainAction* VisitHomeM = nullptr;
    TMainAction* ShowFiltersPanM = nullptr;
    TMainAction* ShowGroupByPanM = nullptr;
    TMainAction* ShowTagsColM = nullptr;
    TMainAction* ShowDueDateColM = nullptr;

    // ---- Actions whose handlers live with the options dialog, the print
    // window and the sticky notes (bound by their units)
    TMainAction* OptionsA = nullptr;
    TMainAction* PrintM = nullptr;
    TMainAction* ExportToTextM = nullptr;
    TMainAction* ExportToHTMLM = nullptr;
    TMainAction* ExportToPdM = nullptr;
    TMainAction* MakeStickyNoteA = nullptr;
    TMainAction* ShowAllSA = nullptr;
    TMainAction* CloseAllSA = nullptr;
    // Printing, exports and sticky notes (MainPrint.cpp, MainStickies.cpp).
    void PrintMExecute(gcl::TObject* Sender);
    void ExportToTextMExecute(gcl::TObject* Sender);
    void ExportToHTMLMExecute(gcl::TObject* Sender);
    void ExportToPdMExecute(gcl::TObject* Sender);
    void MakeStickyNoteAExecute(gcl::TObject* Sender);
    void ShowAllSAExecute(gcl::TObject* Sender);
    void CloseAllSAExecute(gcl::TObject* Sender);
    // WM_COPYDATA from a sticky note.
    void WMCopyData(gcl::TMessage& Message);
    // The open sticky notes; their library is loaded on first use.
    TStickyNotes StickyNotes;

    // ---- Start-up and the file commands
    void FormCreate(gcl::TObject* Sender);
    // Loads FileName into Data with the two messages; the window is
    // refreshed only on success, and a failed load leaves Data as it was.
    bool LoadDatabase(TuData& Data, const std::string& FileName);
    void FormClose(gcl::TObject* Sender, gcl::TCloseAction& Action);
    void FormDestroy(gcl::TObject* Sender);
    void OpenMExecute(gcl::TObject* Sender);
    void SaveAsMExecute(gcl::TObject* Sender);
    void SaveMExecute(gcl::TObject* Sender);
    void SetAsDefaultMExecute(gcl::TObject* Sender);
    void CreateNewDbMExecute(gcl::TObject* Sender);
    void ExitWSMExecute(gcl::TObject* Sender);
    void ExitMExecute(gcl::TObject* Sender);
    void ViewTodayTasksMExecute(gcl::TObject* Sender);
    void AboutMExecute(gcl::TObject* Sender);
    void HelpMExecute(gcl::TObject* Sender);
    void ContactMExecute(gcl::TObject* Sender);
    void VisitHomeMExecute(gcl::TObject* Sender);
    void Timer1Timer(gcl::TObject* Sender);
    void TxItem76Click(gcl::TObject* Sender);
    // Errors raised in handlers end there, without a message.
    void ApplicationEvents1Exception(gcl::TObject* Sender, gcl::Exception& E);
    // The registered hot key's atom (0 when none).
    unsigned short GetHotKeyId() const noexcept { return FHotKeyId; }
    // The index of the selected item of the theme menu.
    int GetThemeIndex() const noexcept { return FThemeIndex; }

    // ---- Layout
    bool LoadLayoutSettings(const std::string& IniPath);
    void SaveLayoutSettings(const std::string& IniPath);
    void Timer2Timer(gcl::TObject* Sender);
    void themesClick(gcl::TObject* Sender);
    void ShowGroupByPanMExecute(gcl::TObject* Sender);
    void ShowFiltersPanMExecute(gcl::TObject* Sender);
    void ShowTagsColMExecute(gcl::TObject* Sender);
    void ShowDueDateColMExecute(gcl::TObject* Sender);
    // The looks that follow the options: the note editor's font size, the
    // task list's row height and group underline.
    void ApplyOptionLooks();
    // The note panel minimised to its caption bar, and back.
    void MinimizeNotePanel();
    bool NotePanelMinimized();

    // ---- The options dialog's view of the window
    void OptionsAExecute(gcl::TObject* Sender);
    void SetGroupsUnderlineColor(gcl::TColor Color) override;
    std::string GetOpenFileName() override;
    void SetDefaultDatabaseChecked(bool Checked) override;
    void SetListRowHeight(int Height) override;
    void SetTrayIconActive(bool Active) override;
    std::string GetMainCaption() override;
    void SetMainCaption(const std::string& Caption) override;

    // ======================================================================
    // The task list (MainTaskList.cpp)
    // ======================================================================
    TGvListview* List = nullptr;
    TMainAction* DelTaskA = nullptr;
    TMainAction* EditTitleA = nullptr;
    TMainAction* EditTagsA = nullptr;
    TMainAction* EditDueDateA = nullptr;
    TMainAction* EditFolderA = nullptr;
    TMainAction* NoGroupA = nullptr;
    TMainAction* FoldersGroupA = nullptr;
    TMainAction* DateGroupA = nullptr;
    TMainAction* PriorityGroupA = nullptr;
    TMainAction* TagsGroupA = nullptr;
    TMainAction* CountItemsM = nullptr;
    // Makes the task list and its popup menus, binds the handlers of its
    // actions.
    void CreateTaskList();
    // Rebuilds the list from the database and the filter state.
    void RefreshTaskList() override;

    // ======================================================================
    // The quick-entry bar (MainPanels.cpp)
    // ======================================================================
    TMainAction* SetDueDateA = nullptr;
    TMainAction* SetTagsA = nullptr;
    TMainAction* QDateOkA = nullptr;
    TMainAction* QTagsOkA = nullptr;
    TMainAction* ClearTopEditA = nullptr;
    TMainAction* AddItemA = nullptr;
    TMainAction* QDateSelOkA = nullptr;
    TMainAction* QTagsSelOkA = nullptr;
    TMainAction* FindM = nullptr;
    TMainAction* NewTaskM = nullptr;
    // Makes the quick-entry toolbar (in TopDock), its menus and the quick
    // date and tags panels, binds the handlers of its actions.
    void CreateQuickEntryBar();
    // Restores the application's window and puts the caret in the
    // quick-entry edit (the hot key's and the tray's way back).
    void FocusTopEdit();

    // ======================================================================
    // The filter bar (MainPanels.cpp)
    // ======================================================================
    TXtToolbar* FiltersPanel = nullptr;
    TMainAction* HideDoneA = nullptr;
    TMainAction* FDate0A = nullptr;
    TMainAction* FDate1A = nullptr;
    TMainAction* FDate2A = nullptr;
    TMainAction* FDate3A = nullptr;
    TMainAction* FDate4A = nullptr;
    TMainAction* FDate5A = nullptr;
    TMainAction* FDate6A = nullptr;
    TMainAction* FDate7A = nullptr;
    TMainAction* FDate8A = nullptr;
    TMainAction* FDate9A = nullptr;
    TMainAction* FDate11A = nullptr;
    TMainAction* FDate12A = nullptr;
    TMainAction* FDate13A = nullptr;
    TMainAction* FDate14A = nullptr;
    TMainAction* FDateAll = nullptr;
    TMainAction* FOverdueA = nullptr;
    TMainAction* FFolderA = nullptr;
    TMainAction* FPriorityA = nullptr;
    // Makes the filter toolbar (in TopDock), binds the handlers of its
    // actions.
    void CreateFilterBar();

    // ======================================================================
    // The lists and tags panel (MainPanels.cpp)
    // ======================================================================
    TXtDockablePanel* OrgPanel = nullptr;
    TMainAction* NewListTagM = nullptr;
    TMainAction* FolderIconOkA = nullptr;
    TMainAction* EditFolderIconA = nullptr;
    TMainAction* DelA = nullptr;
    TMainAction* EditA = nullptr;
    TMainAction* MoveUpA = nullptr;
    TMainAction* MoveDownA = nullptr;
    TMainAction* ChangeIconA = nullptr;
    // Makes the side panel (in LeftDock) with its tree, tabs and editors,
    // binds the handlers of its actions.
    void CreateListsPanel();
    // After a database was loaded or cleared: the tree of the selected tab
    // built anew from Database (an empty table gives just "All").
    void RebuildSideTree();
    // Before a save: the tree of the selected tab written back into
    // Database.
    void StoreSideTree();

    // ======================================================================
    // The note panel (MainPanels.cpp)
    // ======================================================================
    TXtDockablePanel* NoteEdit = nullptr;
    TMainAction* EditNoteA = nullptr;
    TMainAction* MinRestoreNoteA = nullptr;
    // Makes the note panel (in NoteDock) with its editor, binds the
    // handlers of its actions.
    void CreateNotePanel();
    // Writes a note being edited back to the task it belongs to (before a
    // save, a refresh, closing or exiting).
    void CommitNote();
    // The note editor's font size.
    void SetNoteFontSize(int Size) override;

    // ======================================================================

    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TMainForm(gcl::TComponent* AOwner);
    // The exit commands' last step: pending messages handled, then the
    // application ends (its message loop returns and the window goes).
    virtual void TerminateApplication();

private:
    // ---- Frame construction (Main.cpp)
    void CreateImages();
    void CreateActions();
    void CreateDocks();
    void CreateMenuBar();
    void CreateGroupByBar();
    void CreateTray();
    // One action of ActionList1.
    TMainAction* NewAction(const char* Name, const char* Caption, gcl::TShortCut ShortCut = 0,
                           gcl::TNotifyEvent OnExecute = nullptr);

    void WMHotKey(gcl::TMessage& Message);
    void CarryOut(THotKeyAction Action);
    // Saves the open database to its file with the note and the side tree
    // written back first; a failure is reported and the caption stays.
    // Unattended (auto-save, the exit save) it never writes over a file
    // that could not be read at start-up; otherwise it asks first. True
    // when the file was written.
    bool SaveOpenDatabase(bool Unattended);
    // The Save As dialog and the copy; true when the copy was written.
    bool SaveCopyAs();
    // Asks before writing over a file that could not be read at start-up;
    // true when the save may go on.
    bool ConfirmSaveOverFailedLoad();
    // Clicks the theme menu's item Index (an index the menu lacks is
    // ignored) and remembers the selected one.
    void ClickThemeItem(int Index);
    void ApplyColumns(const std::vector<TColumnLayout>& Columns);

    unsigned short FHotKeyId = 0;
    int FThemeIndex = DefaultThemeIndex;
    TAutoSaveClock FAutoSaveClock;
    TSaveGuard FSaveGuard;
};

// Loads the screen cursors of the hand and the grab (slots crHandCursor
// and crGrabCursor) from the program's resources.
extern gcl::TUnit MainUnit;
inline constexpr gcl::TCursor crHandCursor = 10;
inline constexpr gcl::TCursor crGrabCursor = 11;

} // namespace qelvo
