// The main window (form unit "main"): TMainForm with its docks, menu bar,
// toolbars, actions, timers and tray icon, start-up, the file commands,
// auto-save, the hot key and the layout (Main.cpp); the task list
// (MainTaskList.cpp) and the bars and panels around it (MainPanels.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/KitRichEdit.h"
#include "components/KitTrayIcon.h"
#include "controls/XtBars.h"
#include "controls/XtControls.h"
#include "controls/XtDkPanels.h"
#include "controls/XtEditors.h"
#include "controls/XtItem.h"
#include "controls/XtTabs.h"
#include "gcl/ActnList.h"
#include "gcl/AppEvnts.h"
#include "gcl/ComCtrls.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/ImgList.h"
#include "gcl/Menus.h"
#include "gcl/Timers.h"
#include "listview/GvListview.h"
#include "theming/TxBars.h"
#include "theming/TxDockPanels.h"
#include "theming/TxcImageListCombo.h"
#include "unicode/UniActnList.h"
#include "unicode/UniComCtrls.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/FilterBar.h"
#include "app/logic/ListsTree.h"
#include "app/logic/MainShell.h"
#include "app/logic/Notes.h"
#include "app/MainItems.h"
#include "app/logic/QuickEntry.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "app/OptionsForm.h"
#include "app/MainStickies.h"

namespace qelvo {

// The actions of the main window. Every command is an action with a
// caption and a shortcut; menus, toolbars and popup menus show them.
using TMainAction = TUniAction;
// The edits and the tag check list of the bars and panels: extended
// controls holding wide text.
using TQuickEdit = TXtEdit;
using TQuickCheckList = TXtCheckListBox;

// The note panel's caption-bar images in Others16.
inline constexpr int NoteMinimizeImage = 6;
inline constexpr int NoteRestoreImage = 5;

// A first start: when the database the program is to open (by the
// settings beside it) is not there, says so at once, before the main
// window is built, since the message is all the user waits for. The main
// window's start then does not say it again for that file. False when the
// database is there.
bool AnnounceMissingDatabase();

// Posted to the main window when a character the database cannot hold
// was kept out of an 8-bit window (TMainForm::InstallTypingGuard); WParam
// says what was kept out.
inline constexpr UINT UnsavableTypedMessage = WM_APP + 37;
// Posted to the main window when the task list became smaller than the
// room it keeps (TMainForm::FitPanelsToList).
inline constexpr UINT FitPanelsMessage = WM_APP + 38;
// Posted to the main window when a command's key (WParam: its shortcut)
// was pressed in the title editor: the title was taken, and the command
// runs once the edit has ended (TMainForm::RunCommandAfterEdit).
inline constexpr UINT CommandAfterEditMessage = WM_APP + 39;
// Posted to the main window when the end of the Windows session was held
// back because the changes could not be saved: the user is told once the
// session's messages are done (TMainForm::QueryEndSession).
inline constexpr UINT SessionSaveFailedMessage = WM_APP + 40;
// Posted to the main window when it was made active while a question or
// dialog of its own holds it disabled (the notification-area icon brought
// it back): that window takes the keyboard (TMainForm::ActivateModalWindow).
inline constexpr UINT ModalWindowForwardMessage = WM_APP + 41;
// Posted to the main window when a list or tag was renamed to the name
// of another and joined it (TMainForm::ShowJoinedTree).
inline constexpr UINT TreeJoinedMessage = WM_APP + 42;
// Posted to the main window when the quick-entry bar's buttons, laid out,
// took more room than the edit was given: the bar is laid out again with
// the edit narrowed (TMainForm::TopPanelResize).
inline constexpr UINT QuickEntryFitMessage = WM_APP + 43;
enum : WPARAM { UnsavableCharTyped = 0, UnsavableTextPasted = 1, UnsavableNameGiven = 2, TagNameWithSeparators = 3,
                ListNameWithSeparator = 4, UnsavableTextDropped = 5, TagNameAsMarker = 6 };

class TMainForm;

// A control of the main window made when it is first reached rather than
// with the window: one the first paint does not show (a panel opened by a
// command). Reading it as the control makes it (through the window's
// member that builds it, which assigns it); Made() tells without making.
template <class T>
class TMadeOnUse {
public:
    TMadeOnUse(TMainForm* Owner, void (TMainForm::*Make)()) noexcept : FOwner(Owner), FMake(Make) {}
    TMadeOnUse(const TMadeOnUse&) = delete;
    TMadeOnUse& operator=(const TMadeOnUse&) = delete;
    T* Get() const {
        if (!FControl) (FOwner->*FMake)();
        return FControl;
    }
    T* operator->() const { return Get(); }
    operator T*() const { return Get(); }
    TMadeOnUse& operator=(T* Control) noexcept {
        FControl = Control;
        return *this;
    }
    bool Made() const noexcept { return FControl != nullptr; }

private:
    TMainForm* FOwner;
    void (TMainForm::*FMake)();
    T* FControl = nullptr;
};

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
    gcl::TTimer* TrayTimer = nullptr;         // one-shot: the tray icon once the window is painted
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
    TXtSubmenuItem* StickyNotesMenu = nullptr;
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
    void TrayTimerTimer(gcl::TObject* Sender);
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
    // A floating group-by or filter bar closed by its close button: its
    // View command shows it unchecked.
    void OptionalBarClose(gcl::TObject* Sender);
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
    TXtPopupMenu* ListRightMenu = nullptr;    // the list's context menu
    TMenuCaptions ListRightCaptions;          // its items' own captions
    TXtPopupMenu* PriorityMenu = nullptr;     // "High", "Normal", "Low"
    TXtPopupMenu* FolderSelMenu = nullptr;    // "Move To List": one item per list, made when it opens
    TXtSubmenuItem* PriorityMenu2 = nullptr;  // the context menu's submenus showing those two
    TXtSubmenuItem* FolderSelMenu2 = nullptr;
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
    // The sort column: 0 until a header is clicked, then its index + 1.
    int SortColumn = 0;
    bool SortAscending = false;

    // Makes the task list and its popup menus, binds the handlers of its
    // actions.
    void CreateTaskList();
    // Rebuilds the list from the database and the filter state (a note
    // being edited is written back first).
    void RefreshTaskList() override;
    // Before the tasks of the database are freed or replaced (a load, a
    // cleared database, a deleted list): the note being edited is written
    // back and forgotten and the list lets go of every task.
    void ReleaseTaskReferences();
    // One item for a task at the end of the list (none for an untitled one).
    void AddTaskItem(TuTask* Task);
    // A task from quick-entry text, added to Data and shown (in its group,
    // through a refresh, when the list is grouped).
    TuTask* AddTask(const std::string& Text, const TFolderRef& Folder, TuData& Data);
    // Scrolls the list to the item showing Task, when one does.
    void BringTaskIntoView(const TuTask* Task);
    void SortGroups(int Mode);
    void SortItems(int Column, bool Ascending);
    void NumberItems();
    // What the bars and panels say the list should show, and how.
    TFilterBarState FilterBarState() const;
    TTaskListState TaskListState() const;
    // The tasks of the selected items, the first selected first.
    std::vector<TuTask*> SelectedTasks() const;
    // The task shown next after the last selected one, else the last shown
    // before the first selected one; null when every task shown is selected.
    TuTask* TaskAfterSelection() const;
    // Where the user is in the list: how far it is scrolled and the task
    // after the chosen ones. A command that refreshes the list returns
    // there (ChooseNext: that task chosen, when it is still shown).
    struct TListPlace {
        int OffsetY = 0;
        TuTask* Next = nullptr;
    };
    TListPlace ListPlace() const;
    void ReturnToPlace(const TListPlace& Place, bool ChooseNext = true);
    // Chooses the list's first task, or Item, as a click would: focused,
    // selected and the start of a range that Shift+arrows or Shift+click
    // grows from.
    void ChooseFirstTask();
    void ChooseTask(TGvItem* Item);
    TuTask* FirstSelectedTask() const;
    // Fills the list again after a change of the grouping's field of
    // Tasks (the chosen ones), which moves them to other groups: they are
    // chosen again there, the first focused and in view, so the next key
    // goes on from where the user was. The list keeps its place; when
    // none of them is shown any more, the task after them is chosen.
    void RefreshChoosing(const std::vector<TuTask*>& Tasks);
    // A command on the chosen tasks: Change changes them all, inside one
    // update of the list (their rows repaint once). The result is the
    // tasks changed (none when none is chosen), for a refresh that takes
    // them to their new groups when the list is grouped by the field
    // changed (RefreshChoosing).
    std::vector<TuTask*> ChangeChosenTasks(const std::function<void(const std::vector<TuTask*>&)>& Change);
    // Space on several chosen tasks: all ticked, or all unticked when all were.
    void TickChosenTasks();

    // List-view events.
    void ListItemInitialize(TCustomGvListview* Sender, TGvItem* Item);
    void ListItemGetCaption(TCustomGvListview* Sender, TGvItem* Item, int Column, std::wstring& Caption);
    void ListItemGetImageIndex(TCustomGvListview* Sender, TGvItem* Item, int Column, TGvImageKind ImageKind,
                               int& ImageIndex);
    void ListItemCheckChange(TCustomGvListview* Sender, TGvItem* Item);
    void ListItemPaintText(TCustomGvListview* Sender, TGvItem* Item, int Position, gcl::TCanvas* ACanvas);
    void ListAutoGroupGetKey(TCustomGvListview* Sender, TGvItem* Item, int ColumnIndex, TGvGroups* Groups,
                             uint32_t& Key);
    void ListAutoSortGroupCreate(TCustomGvListview* Sender, TGvItem* Item, int ColumnIndex, TGvGroups* Groups,
                                 TGvGroup*& Group, bool& DoDefaultAction);
    void ListGroupGetCaption(TCustomGvListview* Sender, TGvGroup* Group, std::wstring& Caption);
    void ListGroupGetImageIndex(TCustomGvListview* Sender, TGvGroup* Group, TGvImageKind ImageKind, int& ImageIndex);
    void ListGroupPaintText(TCustomGvListview* Sender, TGvGroup* Group, gcl::TCanvas* ACanvas);
    void ListGroupClick(TCustomGvListview* Sender, TGvGroup* Group, TCommonKeyStates KeyStates,
                        TGvGroupHitTestInfoSet HitTest);
    void ListGroupCollapse(TCustomGvListview* Sender, TGvGroup* Group);
    void ListColumnClick(TCustomGvListview* Sender, TCommonMouseButton Button, TGvColumn* const& Column);
    void ListKeyAction(TCustomGvListview* Sender, uint16_t& CharCode, gcl::TShiftState& Shift, bool& DoDefault);
    void ListItemDblClick(TCustomGvListview* Sender, TCommonMouseButton Button, gcl::TPoint MousePos,
                          TGvHitInfoItem HitInfo);
    void ListItemEditBegin(TCustomGvListview* Sender, TGvItem* Item, int& Column, bool& Allow);
    void ListItemGetEditCaption(TCustomGvListview* Sender, TGvItem* Item, TGvColumn* Column, std::wstring& Caption);
    void ListItemEdited(TCustomGvListview* Sender, TGvItem* Item, gcl::TVariant& NewValue, bool& Accept);
    void ListItemEditEnd(TCustomGvListview* Sender, TGvItem* Item);
    void ListItemSelectionsChanged(TCustomGvListview* Sender);
    void ListMouseMove(gcl::TObject* Sender, gcl::TShiftState Shift, int X, int Y);
    // Other tasks scrolled under a pointer that rests (the wheel, the
    // keys): the pointer takes the shape of the zone now under it.
    void ListScroll(TCustomGvListview* Sender, int DeltaX, int DeltaY);
    void ListMouseUp(gcl::TObject* Sender, gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y);
    // After ListMouseUp: a click on a mark (priority, date, tags) of a
    // chosen task leaves the choice as it is, for the mark's menu or panel
    // acts on every chosen task.
    void ListItemMouseUp(TCustomGvListview* Sender, TGvItem* Item, TCommonMouseButton Button, bool& DoDefault);
    bool FMarkClicked = false;
    void ListDragOver(gcl::TObject* Sender, gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept);
    void ListDragDrop(gcl::TObject* Sender, gcl::TObject* Source, int X, int Y);
    void ListEnter(gcl::TObject* Sender);
    void ListExit(gcl::TObject* Sender);
    void ListRightMenuPopup(TBarCustomItem* Sender, bool FromLink);
    // Actions and menus.
    void DateGroupAExecute(gcl::TObject* Sender);
    void CountItemsMExecute(gcl::TObject* Sender);
    void DelTaskAExecute(gcl::TObject* Sender);
    void EditTitleAExecute(gcl::TObject* Sender);
    void EditTagsAExecute(gcl::TObject* Sender);
    void EditDueDateAExecute(gcl::TObject* Sender);
    void EditFolderAExecute(gcl::TObject* Sender);
    void QDateSelOkAExecute(gcl::TObject* Sender);
    void QTagsSelOkAExecute(gcl::TObject* Sender);
    void TxItem33Click(gcl::TObject* Sender);
    void FolderSelMenuPopup(TBarCustomItem* Sender, bool FromLink);
    void FolderSelMenuItemClick(gcl::TObject* Sender);
    // The hot zone under a point of the list (client coordinates): only in
    // a task's row, where the marks are drawn (a group's caption or the
    // room below the last task has none).
    THotZone ListHotZoneAt(int X, int Y) const;

    // ======================================================================
    // The quick-entry bar (MainPanels.cpp)
    // ======================================================================
    TXtToolbar* TopPanel = nullptr;
    TXtItem* tBtn1 = nullptr;                 // switches the mode ("Find" / "Add ")
    TXtSubmenuItem* tBtn2 = nullptr;          // the mode and its menu ("Add:" / "Find:")
    TQuickEdit* TopEdit = nullptr;
    TXtPopupMenu* TopAddMenu = nullptr;
    TXtPopupMenu* TopFindMenu = nullptr;
    TXtPopupMenu* AddItemFolderMenu = nullptr;  // the lists to add a task to, made when it opens
    // The quick date panel and its controls, made when the panel first
    // opens (MakeQuickDatePanel).
    TMadeOnUse<TXtPanel> QuickDatePanel{this, &TMainForm::MakeQuickDatePanel};
    TMadeOnUse<TXtCheckBox> QCheckDate{this, &TMainForm::MakeQuickDatePanel};
    TMadeOnUse<gcl::TDateTimePicker> QuickDate{this, &TMainForm::MakeQuickDatePanel};
    TMadeOnUse<TXtButton> QuickDatePanelOk{this, &TMainForm::MakeQuickDatePanel};
    TXtPanel* QuickTagsPanel = nullptr;
    TQuickEdit* QuickEditTags = nullptr;
    TQuickCheckList* QuickTagsList = nullptr;
    TXtButton* QuickTagsPanelOk = nullptr;
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
    // tags panel, binds the handlers of its actions.
    void CreateQuickEntryBar();
    // Makes the quick date panel (hidden), in the window's tab order where
    // it would stand had it been made with the bar.
    void MakeQuickDatePanel();
    // Restores the application's window and puts the caret in the
    // quick-entry edit (the hot key's and the tray's way back).
    void FocusTopEdit();
    std::string TopEditText() const;
    void SetTopEditText(const std::string& Text);
    std::string QuickEditTagsText() const;
    void SetQuickEditTagsText(const std::string& Text);
    // The bar is in Find mode (tBtn2 shows the Find image).
    bool InFindMode() const;
    // Shows a floating panel at a point of the form's client area, kept
    // inside it.
    void ShowPanel(gcl::TControl* Panel, gcl::TPoint Point);
    // Opens the date (tags) panel at a point with its button bound to
    // OkAction (the quick-entry or the selection action).
    void OpenDatePanel(gcl::TPoint At, TMainAction* OkAction, double Date, bool DropDown);
    void OpenTagsPanel(gcl::TPoint At, TMainAction* OkAction, const std::string& Tags, bool EditFirst);
    void OpenTagsPanel(gcl::TPoint At, TMainAction* OkAction, const std::wstring& Tags, bool EditFirst);
    void tBtn1Click(gcl::TObject* Sender);
    void TopEditEnter(gcl::TObject* Sender);
    void TopEditKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void TopEditKeyPress(gcl::TObject* Sender, char& Key);
    void TopEditChange(gcl::TObject* Sender);
    void TopPanelResize(gcl::TObject* Sender);
    void AddItemAExecute(gcl::TObject* Sender);
    void AddItemFolderMenuPopup(TBarCustomItem* Sender, bool FromLink);
    void AddItemFolderMenuClick(gcl::TObject* Sender);
    void ClearTopEditAExecute(gcl::TObject* Sender);
    void NewTaskMExecute(gcl::TObject* Sender);
    void FindMExecute(gcl::TObject* Sender);
    void TxItem24Click(gcl::TObject* Sender);
    void SetDueDateAExecute(gcl::TObject* Sender);
    void QDateOkAExecute(gcl::TObject* Sender);
    void QuickDateExit(gcl::TObject* Sender);
    void QuickDateKeyPress(gcl::TObject* Sender, char& Key);
    void QuickDateKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void QCheckDateClick(gcl::TObject* Sender);
    void SetTagsAExecute(gcl::TObject* Sender);
    void QTagsOkAExecute(gcl::TObject* Sender);
    void QuickEditTagsChange(gcl::TObject* Sender);
    void QuickEditTagsKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void QuickEditTagsKeyPress(gcl::TObject* Sender, char& Key);
    void QuickEditTagsExit(gcl::TObject* Sender);
    void QuickTagsListClickCheck(gcl::TObject* Sender);
    void QuickTagsListKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void QuickTagsListKeyPress(gcl::TObject* Sender, char& Key);
    void QuickTagsListExit(gcl::TObject* Sender);

    // ======================================================================
    // The filter bar (MainPanels.cpp)
    // ======================================================================
    TXtToolbar* FiltersPanel = nullptr;
    TXtSubmenuItem* FFolders = nullptr;       // the list menu; its caption is the list and tag filter
    TXtItem* FDone = nullptr;
    TXtSubmenuItem* FPriority = nullptr;      // Tag: -1 all, 0 low, 1 normal, 2 high
    TXtSubmenuItem* FDueDate = nullptr;       // caption: the due-date choice
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
    // Fills the six conditions of a new filter from the bars and panels.
    void BuildFilter(TFilterSystem& Filter);
    // The sixteen due-date actions share this handler; each action's Tag
    // is its TDueChoice.
    void FDateAExecute(gcl::TObject* Sender);
    void TxItem4Click(gcl::TObject* Sender);
    void FPriorityAExecute(gcl::TObject* Sender);
    void HideDoneAExecute(gcl::TObject* Sender);
    void FFolders2Popup(TBarCustomItem* Sender, bool FromLink);
    void FFoldersItemClick(gcl::TObject* Sender);
    void FFolderAExecute(gcl::TObject* Sender);

    // ======================================================================
    // The lists and tags panel (MainPanels.cpp)
    // ======================================================================
    TXtDockablePanel* OrgPanel = nullptr;
    TXtTabItem* FoldersTab = nullptr;         // "Todo Lists"
    TXtTabItem* TagsTab = nullptr;            // "Tags"
    TUniTreeView* FoldersList = nullptr;
    TXtPanel* XtPanel1 = nullptr;
    TXtLabel* NewFTLbl = nullptr;             // "< New List >" / "< New tag >"
    TQuickEdit* FolderTextE = nullptr;
    TTxcImageListCombo* FolderImgE = nullptr;
    TXtPanel* FolderIconPanel = nullptr;
    TTxcImageListCombo* FolderEditIcon = nullptr;
    TXtPopupMenu* OrgRightMenu = nullptr;
    TMenuCaptions OrgRightCaptions;
    TXtItem* ChangeFIcon = nullptr;
    // True while a node's label is edited in place.
    bool TreeEditing = false;
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
    // Database. A name being typed over a node is taken first, unless the
    // save is one the user did not ask for (TakeLabelEdit false): then the
    // node keeps its old name in the file and the user types on.
    void StoreSideTree(bool TakeLabelEdit = true);
    // A name being typed over a list or tag in the tree is taken as typed
    // (as a click elsewhere takes it) before the tree is written back or
    // filled anew: the editor would otherwise stay over whatever node
    // comes to lie under it and rename that one.
    void TakeTreeLabelEdit();
    // A list or tag renamed to the name of another joined it while its
    // label editor was still open: the tree, built anew from Database,
    // shows the one that is left (and the task list its tasks).
    void ShowJoinedTree();
    // The "< New List >" / "< New tag >" editor open when the tab changes:
    // a name typed is added in the tab it was typed for, an empty editor
    // closes. False when the name was refused and its editor stays open.
    bool TakeNewNameEdit();
    // The lists tab is the selected one.
    bool ListsTabShown() const;
    void BuildListsTree(const gcl::TStrings& Folders);
    void BuildTagsTree(const gcl::TStrings& Tags);
    void StoreListsFromTree(gcl::TStrings& Folders);
    void StoreTagsFromTree(gcl::TStrings& Tags);
    void RestoreTreeSelection(bool ListsMode);
    // Adds a task's new tags to the database (the tags tree follows); True
    // when any was added.
    bool RegisterTaskTags(const std::string& Tags);
    void FoldersTabClick(gcl::TObject* Sender);
    void TagsTabClick(gcl::TObject* Sender);
    void FoldersList2Change(gcl::TObject* Sender, gcl::TTreeNode* Node);
    void FoldersList2KeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void FoldersList2KeyPress(gcl::TObject* Sender, char& Key);
    void FoldersList2DblClick(gcl::TObject* Sender);
    void FoldersList2MouseUp(gcl::TObject* Sender, gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y);
    void FoldersList2ContextPopup(gcl::TObject* Sender, gcl::TPoint MousePos, bool& Handled);
    void FoldersList2Click(gcl::TObject* Sender);
    void FoldersList2Enter(gcl::TObject* Sender);
    void FoldersList2Exit(gcl::TObject* Sender);
    void FoldersListCancelEdit(gcl::TObject* Sender, gcl::TTreeNode* Node);
    void FoldersListEditing(gcl::TObject* Sender, gcl::TTreeNode* Node, bool& AllowEdit);
    void FoldersListEdited(gcl::TObject* Sender, TUniTreeNode* Node, std::wstring& S);
    void FoldersList2DragOver(gcl::TObject* Sender, gcl::TObject* Source, int X, int Y, gcl::TDragState State,
                              bool& Accept);
    void FoldersList2DragDrop(gcl::TObject* Sender, gcl::TObject* Source, int X, int Y);
    void NewFTLblClick(gcl::TObject* Sender);
    void NewListTagMExecute(gcl::TObject* Sender);
    void FolderTextEKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void FolderTextEKeyPress(gcl::TObject* Sender, char& Key);
    void FolderImgEKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void FolderImgEExit(gcl::TObject* Sender);
    void EditAExecute(gcl::TObject* Sender);
    void DelAExecute(gcl::TObject* Sender);
    void MoveUpAExecute(gcl::TObject* Sender);
    void MoveDownAExecute(gcl::TObject* Sender);
    void EditFolderIconAExecute(gcl::TObject* Sender);
    void FolderIconOkAExecute(gcl::TObject* Sender);
    void FolderEditIconKeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void FolderEditIconExit(gcl::TObject* Sender);
    void OrgRightMenuPopup(TBarCustomItem* Sender, bool FromLink);

    // ======================================================================
    // The note panel (MainPanels.cpp)
    // ======================================================================
    TXtDockablePanel* NoteEdit = nullptr;
    // The note editor. Its window is made when it is first needed: a task
    // chosen, or the note's place clicked or reached by Tab. Until then a
    // windowless stand-in in its place paints what the empty editor
    // shows, and NoteEditorMade() is false.
    TKitRichEdit* RichEdit1 = nullptr;
    gcl::TControl* NoteStandIn = nullptr;
    bool NoteEditorMade() const noexcept;
    void MakeNoteEditor();
    TMainAction* EditNoteA = nullptr;
    TMainAction* MinRestoreNoteA = nullptr;
    // Makes the note panel (in NoteDock) with its editor, binds the
    // handlers of its actions.
    void CreateNotePanel();
    // Writes a note being edited back to the task it belongs to (before a
    // save, a refresh, closing or exiting). TypingGoesOn: the auto-save's
    // moment, after which Esc still drops the whole edit.
    void CommitNote(bool TypingGoesOn = false);
    // The note panel shows Task's note (none: cleared, caption "Note").
    void ShowNote(TuTask* Task);
    // The note editor's font size.
    void SetNoteFontSize(int Size) override;
    void RichEdit1Exit(gcl::TObject* Sender);
    void RichEdit1KeyDown(gcl::TObject* Sender, uint16_t& Key, gcl::TShiftState Shift);
    void RichEdit1URLClick(gcl::TObject* Sender, const std::string& URLText, gcl::TMouseButton Button);
    // What a drop onto the note may bring: plain text the database can hold.
    void RichEdit1QueryAcceptData(gcl::TObject* Sender, IDataObject* DataObject, CLIPFORMAT& Format, DWORD Reco,
                                  bool Really, HGLOBAL MetaPict, bool& Accept);
    void EditNoteAExecute(gcl::TObject* Sender);
    void MinRestoreNoteAExecute(gcl::TObject* Sender);
    void NoteEditResize(gcl::TObject* Sender);
    void KeyboardOutOfFoldedNote();
    // The side and note panels, resized by their edge, leave the task list
    // some room.
    void PanelDockedResizing(gcl::TObject* Sender, bool Vertical, int& NewSize, TTxResizingStage Stage,
                             bool& AllowResize);
    // The window made smaller (restored from maximised, or started with
    // panels stored larger than it): the panels give the list its room back.
    void ListResize(gcl::TObject* Sender);
    void FitPanelsToList();
    // The height the list keeps when panels give way (the side tree's
    // rows beside it included).
    int ListRoomHeight() const;
    bool FQuickEntryFitPosted = false;
    int FQuickEntryRoom = 0;
    // The side panel, docked at a side, starts at least as wide as its tabs
    // (a larger system font widens them).
    void WidenOrgPanelToItsTabs();
    bool FFitPanelsPosted = false;
    // The sizes the user gave the side and note panels while the window
    // squeezes them (0: not squeezed): they come back as the window grows,
    // and the layout keeps them.
    int FOrgWantedWidth = 0;
    int FNoteWantedHeight = 0;
    // The window's client width the side panel's width was given in (by the
    // user's drag, a fit, or a window made wider since; 0: none yet): a
    // window narrower than that leaves the list at least half of it.
    int FOrgFitClientWidth = 0;
    int ListRoomWidth();
    bool WindowNarrowedForOrgPanel();
    // A panel docked beside the note shares its dock's height: the note's
    // own height is kept while they share (0: they do not) and given back
    // when the other leaves; the next start has the note alone again.
    void OrgPanelDockChanging(gcl::TObject* Sender, bool Floating, TBarDock* DockingTo);
    void OrgPanelDockChanged(gcl::TObject* Sender);
    int FNoteOwnHeight = 0;

    // ======================================================================

    void Dispatch(gcl::TMessage& Message) override;
    // Tab's round over the places a user types in, in reading order from
    // the task list: the list, the side panel, the note while its panel
    // shows, then the quick-entry box (which its bar, as every bar, keeps
    // out of the order of the controls inside it).
    void GetTabOrderList(std::vector<gcl::TWinControl*>& List) override;
    // A text box with the keyboard keeps the keys every text box takes for
    // itself (gcl::IsTextEditingKey): Ctrl+A there selects its text, and
    // elsewhere shows all dates.
    bool IsShortCut(gcl::TMessage& Message) override;

protected:
    explicit TMainForm(gcl::TComponent* AOwner);
    // The hot key belongs to the window: registered whenever the window is
    // made and given back when it goes.
    void CreateWnd() override;
    void DestroyWnd() override;
    void CreateParams(gcl::TCreateParams& Params) override;
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
    // How a save of the open database meets a file it may not simply
    // replace (one that could not be read at start-up, or that another
    // writer changed since this run read or wrote it) and a failed write.
    enum class TSaveMode {
        Command,     // Ctrl+S: asks (replace, Save as, cancel); reports a failure
        Exit,        // an exit's save: asks the same; a failure offers Save as, else the window stays
        Unattended,  // the window's end: never replaces such a file; reports a failure
        Auto,        // auto-save: as Unattended, and leaves a name being typed in the side tree alone
        Quiet,       // the exit of a database without changes: never replaces such a file; silent
    };
    // Saves the open database to its file with the note and the side tree
    // written back first; the caption shows the save. True when the
    // user's tasks were written: to the file, or (when the user chose so)
    // to a copy through Save As.
    bool SaveOpenDatabase(TSaveMode Mode);
    // The save every exit makes while the window can still stay. True when
    // the exit may go on: the changes were written, or there were none.
    bool SaveBeforeExit();
    // Every edit in progress ends and is taken, before the database changes
    // under it (opened, cleared): a title, a new list's or tag's name, a
    // list or tag being renamed, the note. False when a name was refused
    // (its box stays open, with the message).
    bool TakeEditsInProgress();
    // The caption ends with the reason auto-save, while it is on, leaves
    // the open database (TAutoSaveHold), or with none.
    void ShowAutoSaveHold();
    // Before another database replaces the open one: edits in progress
    // are taken (TakeEditsInProgress), then unsaved changes are
    // saved (Yes), dropped (No) or kept with the open file (Cancel, or a
    // save that failed). True when the other database may come.
    bool SaveChangesBeforeOpen();
    // The window back from the notification area (or from the task bar)
    // and in front, for a question about the user's changes.
    void BringWindowBack();
    // The keyboard back where the user left it: a question or dialog that
    // was open when the window went takes it again, else the quick-entry box.
    void FocusAfterComingBack();
    // The application was minimised (to the taskbar or the tray).
    void ApplicationEvents1Minimize(gcl::TObject* Sender);
    // The application minimised to the taskbar goes to the tray when the
    // icon is on (a start asked to be minimised).
    void HideToTrayWhenMinimized();
    // A question or dialog that holds this window disabled comes forward
    // with the keyboard; false when none is open.
    bool ActivateModalWindow();
    // Where a copy may go: any file (the Save As command); a free name
    // beside the open file is offered, as the open file is to be kept as
    // it is; or, for the copy kept before clearing, anywhere but the open
    // file, which the clearing empties.
    enum class TCopyTarget { AnyFile, Elsewhere, NotTheOpenFile };
    // The Save As dialog and the copy; true when the copy was written.
    bool SaveCopyAs(TCopyTarget Target = TCopyTarget::AnyFile);
    // A later start in the same program folder asked for this window.
    void WMShowRunningCopy();
    // The Windows session is about to end (WM_QUERYENDSESSION): once it
    // agrees, the system may end the process without a further message to
    // the program, so the changes are written now, with no question. True
    // when the session may end: nothing unsaved is left. A save that
    // failed (or may not replace the file) holds the session back and
    // posts SessionSaveFailedMessage.
    bool QueryEndSession();
    // A title being typed in the task list's editor is taken, as a click
    // elsewhere takes it.
    void TakeTitleBeingEdited();
    // WM_ENDSESSION: when the session ends, the layout is written and
    // what changed since the question is saved.
    void WMEndSession(bool Ending);
    // The session was held back for changes that could not be saved: the
    // window comes back and the save is tried as Ctrl+S tries it. While a
    // box or dialog of the program is open (the window disabled) this
    // waits until it is closed, and while the report is up a session held
    // back again adds no second one.
    void WMSessionSaveFailed();
    // Clicks the theme menu's item Index (an index the menu lacks is
    // ignored) and remembers the selected one.
    void ClickThemeItem(int Index);
    void ApplyColumns(const std::vector<TColumnLayout>& Columns);

    // ---- The task list (MainTaskList.cpp)
    void FillTaskList();
    // Whether the list's groups and items are those a fill from Layout
    // would make, in the same order and states (a refresh that changes
    // nothing shown: entering or leaving find mode with no text).
    bool ListShowsLayout(const TTaskListLayout& Layout, const TTaskListState& State) const;
    // Turns the list into what a fill from Layout makes where the two
    // differ only in tasks shown (a filter that hides some of the tasks
    // shown, or shows more): each group of the list is the layout's, and
    // each one's tasks a part of the layout group's, in their order, or the
    // layout group's a part of its. The items of the tasks no longer shown
    // are freed and those of the tasks shown anew made, the others stay
    // (numbered anew). False when the list is not so; it may then be
    // changed in part, and is to be filled anew.
    bool ListTakesLayout(const TTaskListLayout& Layout, const TTaskListState& State);
    // Of a list whose items stay through a refresh: what a fill changes
    // besides its items (no task chosen, no reference of the control and
    // its managers to an entry, nothing under the mouse).
    void ForgetListChoices();
    // The list's state at the last fill, with its filter in
    // LiveSettings.Filter: a refresh with the same state may show what the
    // list shows, or a part of it (its layout is then made before the list
    // is cleared).
    TTaskListState FFilledState;
    bool FFilled = false;
    void FillTaskItem(TGvItem* Item, const TuTask& Task);
    // A command on the selection: the list has the focus and a selection.
    bool ListCommandAllowed() const;
    // Where the date or tags panel opens for the selection: the left edge
    // of the column, the bottom of the first selected item (form client).
    gcl::TPoint SelectionPanelPoint(int ColumnIndex);
    void OpenDueDatePanelForSelection(gcl::TPoint At, bool FromMouse);
    void OpenTagsPanelForSelection(gcl::TPoint At);
    TGroupKeys FGroupKeys;
    // The tasks' order for the sort column, kept across refreshes.
    TTaskOrderCache FTaskOrders;
    // The tasks the last searches passed, for the next character typed
    // (its memory stays for the next search).
    TSearchNarrowing FSearchNarrowing;
    // The places the last filter passed, for a refresh that changes only
    // the grouping, the order or the numbering.
    TFilterAnswer FFilterAnswer;
    // The list view's item memory is held while the window lives: a list
    // refilled with more items than it showed last (All chosen after a
    // list) takes the memory its items had before rather than new pages
    // from the system, so the items' memory stays at the most the list
    // has shown (all tasks, as at the start). The small-block pools are
    // held too: the thousands of groups by tags (with their item lists
    // and grids) and the layout's vectors of tasks, freed and made again
    // at each change, reuse their memory.
    struct TItemMemoryHold {
        TItemMemoryHold() noexcept {
            TGvItem::HoldSlots();
            gcl::SmallSlots().Hold();
        }
        ~TItemMemoryHold() {
            gcl::SmallSlots().Release();
            TGvItem::ReleaseSlots();
        }
        TItemMemoryHold(const TItemMemoryHold&) = delete;
        TItemMemoryHold& operator=(const TItemMemoryHold&) = delete;
    } FItemMemory;
    // The items ask for their texts when painted; the due texts ("Today",
    // the date format) are those of the time of the last fill.
    double FCaptionNow = 0;
    std::string FCaptionFormat;
    // The due-date filter chosen last and the day its dates were taken
    // for: past midnight a choice that counts from today is taken anew.
    TDueChoice FDueChoice = TDueChoice::AllDates;
    double FDueFilterDay = 0;
    // Takes the due-date filter for the new day once the list may be
    // refilled (no title being typed, no modal window over the list).
    void FollowDayInDueFilter();
    // Tasks taken out of the database that the list still showed; freed
    // by the next refresh.
    std::vector<std::unique_ptr<TuTask>> FDeletedTasks;
    // Set while the list is rebuilt: selection events say nothing then.
    bool FRefreshing = false;
    // The quick-entry mode is switching: the edit's text changes without a refresh of its own.
    bool FSwitchingQuickMode = false;

    // ---- The bars and panels (MainPanels.cpp)
    void ClearAndFocusTopEdit();
    // The panel's button runs Action (and its click handler is Action's).
    void BindPanelButton(TXtButton* Button, TMainAction* Action);
    gcl::TPoint QuickEntryPanelPoint();
    bool DatePanelInQuickEntryMode() const;
    bool TagsPanelInQuickEntryMode() const;
    // The date or tags panel is open on the chosen task.
    bool QuickPanelOnSelection() const;
    // Closes such a panel as Esc does, the keyboard going to the list.
    void CloseQuickPanelsOnSelection();
    // The date panel's calendar, dropped down, is a window of its own that
    // has the keyboard: the window going away (the hot key) would leave it
    // on the screen, and the keyboard with it. It closes, the keyboard
    // back in the date picker.
    void CloseQuickDateCalendar();
    void QuickPanelEscape(bool Tags);
    void HideQuickPanelLeft(bool Tags);
    void QuickTagsKey(uint16_t& Key);
    TCheckListModel QuickTagsModel() const;
    void FillQuickTagsList();
    void ApplyPriorityFilter(int Tag);
    void UpdateFilterCaption();
    // The list menu's mark (FFolders' Tag): the chosen list's place in the
    // lists table, which a rebuild or a move of the list changes.
    void MarkChosenListInMenu();
    // The node the side tree's commands act on: its keyboard place when
    // that is chosen (a tag let go with Ctrl+click keeps the place only).
    TUniTreeNode* ChosenTreeNode();
    TListsTreeModel TreeModel();
    void ShowTreeModel(const TListsTreeModel& Model);
    void SelectTreeNodeOnly(int Index);
    void TagsAdded();
    // Characters typed or pasted into an 8-bit window (the note, the title
    // editor) that the database could not hold are kept out with a word: a
    // thread message hook drops the key and posts UnsavableTypedMessage.
    void InstallTypingGuard();
    void RemoveTypingGuard() noexcept;
    void WarnUnsavableTyped(WPARAM What);
    // A paste sent to the note or the title editor (their context menus'
    // Paste) goes by the same rule.
    void ListItemCreateEditor(TCustomGvListview* Sender, TGvItem* Item, gcl::ComPtr<IGvCellEditor>& Editor);
    void RichEdit1WindowProc(gcl::TMessage& Message);
    gcl::TWndMethod FRichEdit1WindowProc;
    void QuickDateWindowProc(gcl::TMessage& Message);
    gcl::TWndMethod FQuickDateWindowProc;
    // The enabled action of ActionList1 that ShortCut runs; nullptr when none.
    gcl::TCustomAction* ActionOfShortCut(gcl::TShortCut ShortCut);
    void RunCommandAfterEdit(gcl::TShortCut ShortCut);

    void HideTreeEditors();
    void MoveNode(bool Up);
    void AddTreeNodeFromEditor(bool KeepOpen);
    void HideFolderIconPanel();
    std::string NoteText() const;
    // Set while the tree is filled or changed in code: its selection
    // handler does nothing then.
    bool FTreeUpdating = false;
    // Set when a rename joined two lists or tags, until ShowJoinedTree ran.
    bool FTreeJoinPending = false;
    TNoteEditor FNoteEditor;

    unsigned short FHotKeyId = 0;
    int FThemeIndex = DefaultThemeIndex;
    TAutoSaveClock FAutoSaveClock;
    TSaveGuard FSaveGuard;
    bool FAutoSaving = false;  // an auto-save is under way (its message may be up)
    // SessionSaveFailedMessage waits, or its report waits for the window
    // to be enabled, or is up.
    bool FSessionSaveFailedPosted = false;
    bool FSessionReportWaiting = false;  // the report waits for WM_ENABLE
    // The open file as this run last read or wrote it.
    TFileStamp FDiskStamp;
    // An auto-save left the file, which another program had changed, until
    // a save or load decides.
    bool FChangedElsewhere = false;
};

// Loads the screen cursors of the hand and the grab (slots crHandCursor
// and crGrabCursor) from the program's resources.
extern gcl::TUnit MainUnit;
inline constexpr gcl::TCursor crHandCursor = 10;
inline constexpr gcl::TCursor crGrabCursor = 11;

} // namespace qelvo
