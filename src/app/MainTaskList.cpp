// The task list of the main window: the list view and its menus, the
// rebuild from the database and the filter, item texts and paint rules,
// grouping and order, the keys, in-place title edits, deleting, the
// priority menu, the hot zones, "Move To List", the quick panels on the
// selected task and dragging tasks between groups.
#include "app/Main.h"

#include "app/MainItems.h"

#include <algorithm>
#include <unordered_map>

#include "app/logic/AppMessages.h"
#include "app/logic/Options.h"
#include "app/logic/TaskCommands.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

namespace {

TuTask* TaskOf(const TGvItem* item) { return item ? static_cast<TuTask*>(item->GetData()) : nullptr; }

int AbsMode(int mode) { return mode < 0 ? -mode : mode; }

// An item's number (its global index + 1) is kept in its Tag; 0 while the
// list is not numbered.
void SetItemNumber(TGvItem* item, int number) {
    if (item->GetTag() == number) return;
    item->SetTag(number);
    item->Invalidate(false);
}

// Puts a group's items in the order of a sort column (Order: their positions
// sorted ascending, when known; else the tasks' own sort).
void SortGroupItems(TGvItems* Items, const std::vector<TuTask*>& Tasks, std::vector<std::uint32_t>* Order,
                    int Column, bool Ascending) {
    std::vector<TGvCollectionItem*> byTask(Tasks.size());
    for (size_t k = 0; k < Tasks.size(); ++k) byTask[k] = Items->GetItems(static_cast<int>(k));
    std::vector<std::uint32_t> own;
    std::vector<std::uint32_t>& order = Order ? *Order : own;
    if (!Order && (std::find(Tasks.begin(), Tasks.end(), nullptr) != Tasks.end() ||
                   !qelvo::SortedPositions(Column, Tasks, order))) {
        // No prepared order: the tasks' own sort, each sorted task
        // naming its item (tasks are distinct per item).
        std::vector<TuTask*> sortedTasks = Tasks;
        qelvo::SortItems(Column, Ascending, sortedTasks);
        if (sortedTasks == Tasks) return;
        std::unordered_map<const TuTask*, TGvCollectionItem*> itemOf;
        itemOf.reserve(Tasks.size());
        for (size_t k = 0; k < Tasks.size(); ++k) itemOf.emplace(Tasks[k], byTask[k]);
        if (itemOf.size() != Tasks.size()) return;  // an item without a task of its own keeps the order
        std::vector<TGvCollectionItem*> sorted;
        sorted.reserve(byTask.size());
        for (TuTask* t : sortedTasks) sorted.push_back(itemOf.at(t));
        Items->List().assign(sorted.begin(), sorted.end());
        Items->ReIndexItems(true);
        return;
    }
    // The sorted positions name the items themselves.
    if (!Ascending) std::reverse(order.begin(), order.end());
    bool same = true;
    for (size_t k = 0; k < order.size() && same; ++k) same = order[k] == k;
    if (same) return;
    std::vector<TGvCollectionItem*> sorted;
    sorted.reserve(byTask.size());
    for (std::uint32_t k : order) sorted.push_back(byTask[k]);
    Items->List().assign(sorted.begin(), sorted.end());
    Items->ReIndexItems(true);
}

// Numbers a group's items from Index on (Index + 1 the first); returns the
// index after them.
int NumberGroupItems(TGvItems* Items, int Index) {
    const int count = Items->GetCount();
    for (int i = 0; i < count; ++i, ++Index) {
        // Sorted, the items lie in no order of memory: each is fetched
        // some places ahead.
        if (i + 8 < count) __builtin_prefetch(Items->GetItems(i + 8));
        TGvItem* item = Items->GetItems(i);
        if (TaskOf(item)) SetItemNumber(item, Index + 1);
    }
    return Index;
}

} // namespace

// ---- Construction -------------------------------------------------------------------

void TMainForm::CreateTaskList() {
    using E = gcl::TNotifyEvent;
    List = TGvListview::Create(this);
    List->SetName("List");
    List->SetParent(this);
    List->OnResize = gcl::TNotifyEvent(this, &TMainForm::ListResize);
    List->SetAlign(gcl::alClient);
    List->SetView(elsReport);
    List->SetCacheDoubleBufferBits(true);
    List->GetHeader()->SetVisible(true);
    TGvColumns* columns = List->GetHeader()->GetColumns();
    const wchar_t* captions[] = {L"Title", L"Tags", L"Due"};
    const int widths[] = {320, 150, 100};
    for (int i = 0; i < 3; ++i) {
        TGvColumn* column = columns->Add(nullptr);
        column->SetCaption(captions[i]);
        column->SetWidth(widths[i]);
    }
    List->SetImagesSmall(IconList);
    List->SetImagesGroup(Others16);
    List->GetCellSizes()->GetReport()->SetHeight(ListRowHeight(Options.ListFontSize, gcl::Screen->GetPixelsPerInch()));
    TGvSelectionManager* selection = List->GetSelection();
    selection->SetMultiSelect(true);
    selection->SetFullRowSelect(true);
    selection->SetRectSelect(true);
    selection->SetGroupSelections(true);
    // The chosen tasks look the same whether the list has the keyboard or
    // not: the question before a delete, or the note being typed, shows
    // which tasks they are about. Blended in rounded blocks (the text dark
    // on the light blend), no focus frame.
    selection->SetFullItemPaint(true);
    selection->SetAlphaBlend(true);
    selection->SetBlurAlphaBkGnd(true);
    selection->SetRoundRect(true);
    selection->SetPopupMode(true);
    selection->SetBlendIcon(false);
    selection->SetUseFocusRect(false);
    selection->SetTextColor(gcl::clWindowText);
    // A right-click selects the task under the pointer (keeping a selection
    // it belongs to), so the popup menu acts on that task.
    selection->SetMouseButton(TCommonMouseButtons{cmbLeft, cmbRight});
    TGvOLEDragManager* drag = List->GetDragManager();
    drag->SetDragType(edtGCL);
    drag->SetDragMode(gcl::dmAutomatic);
    drag->SetEnabled(true);
    TGvEditManager* edit = List->GetEditManager();
    edit->SetEnabled(true);
    edit->SetAutoEditDelayTime(3000);
    edit->SetTabMoveFocus(true);
    edit->GetFont()->SetName("Arial");
    edit->GetFont()->SetHeight(-15);
    TGvPaintInfoItem* itemInfo = List->GetPaintInfoItem();
    itemInfo->SetCheckType(ectBox);
    itemInfo->SetCheckSize(11);
    itemInfo->SetGridLines(true);
    TGvPaintInfoGroup* groupInfo = List->GetPaintInfoGroup();
    groupInfo->SetBandThickness(2);
    groupInfo->SetBandFullWidth(true);
    groupInfo->SetBandBlended(false);
    groupInfo->SetBandColor(static_cast<gcl::TColor>(DefaultUnderlineColor));
    groupInfo->SetExpandable(true);
    groupInfo->GetMarginBottom()->SetVisible(true);
    groupInfo->GetMarginBottom()->SetSize(15);
    // Group captions are measured with the font they are painted in.
    gcl::TFont* groupFont = List->GetGroupFont();
    groupFont->SetName(ListFontName);
    groupFont->SetSize(Options.ListFontSize);
    groupFont->SetStyle(gcl::TFontStyles{gcl::fsBold});
    groupFont->SetColor(static_cast<gcl::TColor>(GroupCaptionColor));

    // The items hold only their task: texts and images are asked for when
    // an item is painted, measured or read.
    List->SetItemClass(TGvItemVirtual::StaticClass());
    // So do the groups: a group holds the grouping (Tag), its key and the
    // task that opened it (Data), from which its caption and image are
    // made when it is painted or read.
    List->GetGroups()->SetItemClass(TGvGroupVirtual::StaticClass());
    List->OnGroupGetCaption = TGroupGetCaptionEvent(this, &TMainForm::ListGroupGetCaption);
    List->OnGroupGetImageIndex = TGroupGetImageIndexEvent(this, &TMainForm::ListGroupGetImageIndex);
    List->OnItemGetCaption = TItemGetCaptionEvent(this, &TMainForm::ListItemGetCaption);
    List->OnItemGetImageIndex = TItemGetImageIndexEvent(this, &TMainForm::ListItemGetImageIndex);
    List->OnItemInitialize = TGvItemEvent(this, &TMainForm::ListItemInitialize);
    List->OnItemPaintText = TItemPaintTextEvent(this, &TMainForm::ListItemPaintText);
    List->OnAutoGroupGetKey = TAutoGroupGetKeyEvent(this, &TMainForm::ListAutoGroupGetKey);
    List->OnAutoSortGroupCreate = TAutoSortGroupCreateEvent(this, &TMainForm::ListAutoSortGroupCreate);
    List->OnGroupPaintText = TGroupPaintTextEvent(this, &TMainForm::ListGroupPaintText);
    List->OnGroupClick = TGroupClickEvent(this, &TMainForm::ListGroupClick);
    List->OnGroupCollapse = TGroupCollapseEvent(this, &TMainForm::ListGroupCollapse);
    List->OnColumnClick = TColumnClickEvent(this, &TMainForm::ListColumnClick);
    List->OnItemCheckChange = TGvItemEvent(this, &TMainForm::ListItemCheckChange);
    List->OnKeyAction = TGvKeyActionEvent(this, &TMainForm::ListKeyAction);
    List->OnItemDblClick = TItemDblClickEvent(this, &TMainForm::ListItemDblClick);
    List->OnItemEditBegin = TItemEditBegin(this, &TMainForm::ListItemEditBegin);
    List->OnItemCreateEditor = TItemCreateEditorEvent(this, &TMainForm::ListItemCreateEditor);
    List->OnItemGetEditCaption = TGvItemGetCaptionEvent(this, &TMainForm::ListItemGetEditCaption);
    List->OnItemEdited = TItemEditedEvent(this, &TMainForm::ListItemEdited);
    List->OnItemEditEnd = TGvItemEvent(this, &TMainForm::ListItemEditEnd);
    // Once per change of the selection, however many items it took or gave up.
    List->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(this, &TMainForm::ListItemSelectionsChanged);
    List->OnMouseMove = gcl::TMouseMoveEvent(this, &TMainForm::ListMouseMove);
    List->SetOnScroll(TGvScrollEvent(this, &TMainForm::ListScroll));
    List->OnMouseUp = gcl::TMouseEvent(this, &TMainForm::ListMouseUp);
    List->OnItemMouseUp = TItemMouseUpEvent(this, &TMainForm::ListItemMouseUp);
    List->OnDragOver = gcl::TDragOverEvent(this, &TMainForm::ListDragOver);
    List->OnDragDrop = gcl::TDragDropEvent(this, &TMainForm::ListDragDrop);
    List->OnEnter = E(this, &TMainForm::ListEnter);
    List->OnExit = E(this, &TMainForm::ListExit);

    DelTaskA->SetOnExecute(E(this, &TMainForm::DelTaskAExecute));
    EditTitleA->SetOnExecute(E(this, &TMainForm::EditTitleAExecute));
    EditTagsA->SetOnExecute(E(this, &TMainForm::EditTagsAExecute));
    EditDueDateA->SetOnExecute(E(this, &TMainForm::EditDueDateAExecute));
    EditFolderA->SetOnExecute(E(this, &TMainForm::EditFolderAExecute));
    QDateSelOkA->SetOnExecute(E(this, &TMainForm::QDateSelOkAExecute));
    QTagsSelOkA->SetOnExecute(E(this, &TMainForm::QTagsSelOkAExecute));
    for (TMainAction* a : {NoGroupA, FoldersGroupA, DateGroupA, PriorityGroupA, TagsGroupA})
        a->SetOnExecute(E(this, &TMainForm::DateGroupAExecute));
    CountItemsM->SetOnExecute(E(this, &TMainForm::CountItemsMExecute));

    // The priority menu: High, Normal, Low with their images.
    PriorityMenu = TXtPopupMenu::Create(this);
    PriorityMenu->SetName("PriorityMenu");
    PriorityMenu->SetImages(IconList);
    const char* priorityCaptions[] = {"High", "Normal", "Low"};
    for (int i = 0; i < 3; ++i)
        AddClickItem(this, PriorityMenu->GetItems(), priorityCaptions[i], 2 - i, E(this, &TMainForm::TxItem33Click))
            ->SetImageIndex(2 - i);
    // "Move To List": one item per list, made when it opens.
    FolderSelMenu = TXtPopupMenu::Create(this);
    FolderSelMenu->SetName("FolderSelMenu");
    FolderSelMenu->GetItems()->SetOnPopup(TBarPopupEvent(this, &TMainForm::FolderSelMenuPopup));

    ListRightMenu = TXtPopupMenu::Create(this);
    ListRightMenu->SetName("ListRightMenu");
    ListRightMenu->SetImages(Others16);
    TBarCustomItem* root = ListRightMenu->GetItems();
    root->SetOnPopup(TBarPopupEvent(this, &TMainForm::ListRightMenuPopup));
    auto addAction = [this, root](gcl::TBasicAction* action, const wchar_t* caption) {
        if (caption)
            ListRightCaptions.Add(this, root, action, caption);
        else
            AddActionItem(this, root, action);
    };
    auto addSeparator = [this, root] { AddSeparator(this, root); };
    addAction(MakeStickyNoteA, nullptr);
    addSeparator();
    addAction(DelTaskA, L"Delete                                       Del");
    addSeparator();
    PriorityMenu2 = TXtSubmenuItem::Create(this);
    PriorityMenu2->SetName("PriorityMenu2");
    PriorityMenu2->SetCaption(gcl::AnsiToWide("Priority                      Ctrl+Up/Down"));
    PriorityMenu2->SetSubMenuImages(IconList);
    root->Add(PriorityMenu2);
    addAction(EditTitleA, L"Edit Title                                   Enter");
    addAction(EditTagsA, L"Edit Tags                                Shift+T");
    addAction(EditDueDateA, L"Edit Due Date                         Shift+D");
    addAction(EditNoteA, L"Edit Note                                Shift+N");
    addSeparator();
    FolderSelMenu2 = TXtSubmenuItem::Create(this);
    FolderSelMenu2->SetName("FolderSelMenu2");
    FolderSelMenu2->SetCaption(gcl::AnsiToWide("Move To List                          Shift+L"));
    root->Add(FolderSelMenu2);
    List->SetPopupMenu(ListRightMenu);
}

// ---- The rebuild ------------------------------------------------------------------------

TFilterBarState TMainForm::FilterBarState() const {
    TFilterBarState state;
    state.FindMode = InFindMode();
    state.SearchText = TopEditText();
    state.SearchTextForeign = state.FindMode && TopEdit && !FitsCodePage(TopEdit->GetText());
    state.CurrentFolder = LiveSettings.CurrentFolder.Name;
    state.TagFilter = LiveSettings.TagFilter;
    state.DueCaption = FDueDate ? gcl::WideToAnsi(FDueDate->GetCaption()) : std::string(AllDatesCaption);
    state.DateFilter = LiveSettings.DateFilter;
    state.PriorityTag = FPriority ? static_cast<int>(FPriority->GetTag()) : -1;
    state.HideDone = HideDoneA && HideDoneA->GetChecked();
    return state;
}

TTaskListState TMainForm::TaskListState() const {
    TTaskListState state;
    state.GroupMode = LiveSettings.GroupMode;
    state.Grouped = NoGroupA && !NoGroupA->GetChecked();
    state.SortColumn = SortColumn;
    state.SortAscending = SortAscending;
    state.CountItems = CountItemsM && CountItemsM->GetChecked();
    return state;
}

void TMainForm::FillTaskItem(TGvItem* Item, const TuTask& Task) {
    // The texts and images come from the task when the item is painted
    // (ListItemGetCaption, ListItemGetImageIndex).
    Item->SetChecked(Task.Done);
}

void TMainForm::ListItemGetCaption(TCustomGvListview*, TGvItem* Item, int Column, std::wstring& Caption) {
    if (const TuTask* task = TaskOf(Item))
        Caption = gcl::AnsiToWide(
            TaskCellCaption(*task, Column, static_cast<int>(Item->GetTag()), FCaptionNow, FCaptionFormat));
}

void TMainForm::ListItemGetImageIndex(TCustomGvListview*, TGvItem* Item, int Column, TGvImageKind ImageKind,
                                      int& ImageIndex) {
    const TuTask* task = TaskOf(Item);
    if (task && ImageKind == eikNormal) ImageIndex = TaskCellImage(*task, Column);
}

void TMainForm::ReleaseTaskReferences() {
    CommitNote();
    FNoteEditor.ForgetAll();
    FSearchNarrowing.Forget();
    FFilterAnswer.Forget();
    if (!List) return;
    gcl::TFlagScope refreshing(FRefreshing);
    TListviewUpdate update(List);
    List->GetGroups()->Clear();
}

void TMainForm::RefreshTaskList() {
    if (!List || !Database) return;
    CommitNote();
    // The refresh takes the chosen task from the selection: a date or tags
    // panel open on it (a filter or grouping chosen by its shortcut while
    // it is open) would stay over the list with an OK that finds no task.
    CloseQuickPanelsOnSelection();
    {
        gcl::TFlagScope refreshing(FRefreshing);
        FillTaskList();
    }
    // The tasks deleted before this refresh are no longer shown: free them.
    FDeletedTasks.clear();
    ShowNote(FirstSelectedTask());
}

namespace {

// Whether an entry of the list holds no state but those a fill gives
// (shown, enabled, its check, its numbering) and those a refresh takes
// away as a fill's free does (chosen, focused, under the mouse).
bool AsFilled(const TGvCollectionItem* Entry) {
    return Entry->GetVisible() && Entry->GetEnabled() && !Entry->GetCut() && !Entry->GetGhosted() &&
           !Entry->GetBold() && !Entry->GetMarked() && !Entry->GetDropTarget() && !Entry->GetCheckPending() &&
           !Entry->GetClicking();
}

bool SameConditions(const TFilterSystem& A, const TFilterSystem& B) {
    for (int k = TFieldsFilter::Low; k <= TFieldsFilter::High; ++k) {
        const TFieldFilter& a = A.Conditions[k];
        const TFieldFilter& b = B.Conditions[k];
        if (a.Enabled != b.Enabled || (a.Enabled && (a.Op != b.Op || a.Value1 != b.Value1 || a.Value2 != b.Value2)))
            return false;
    }
    return true;
}

bool SameListState(const TTaskListState& A, const TTaskListState& B) {
    return A.GroupMode == B.GroupMode && A.Grouped == B.Grouped && A.SortColumn == B.SortColumn &&
           A.SortAscending == B.SortAscending && A.CountItems == B.CountItems;
}

} // namespace

bool TMainForm::ListShowsLayout(const TTaskListLayout& Layout, const TTaskListState& State) const {
    // (Grouped only: the ungrouped list's one group is the list's own.)
    if (!Layout.Grouped) return false;
    if (const TGvEditManager* edit = List->GetEditManager(); edit && edit->Editing()) return false;
    const TGvGroups* groups = List->GetGroups();
    if (groups->GetCount() != static_cast<int>(Layout.Groups.size())) return false;
    int number = 0;
    for (size_t g = 0; g < Layout.Groups.size(); ++g) {
        const TTaskGroup& shown = Layout.Groups[g];
        const TGvGroup* group = groups->GetGroups(static_cast<int>(g));
        if (group->GetData() != shown.First || group->GetKey() != static_cast<uint32_t>(shown.Key) ||
            group->GetTag() != State.GroupMode || !group->GetExpanded() || !AsFilled(group) ||
            group->GetChecked())
            return false;
        const TGvItems* items = group->GetItems();
        const size_t count = shown.Tasks.size();
        if (!items || items->GetCount() != static_cast<int>(count)) return false;
        // The items and tasks lie apart: fetched some places ahead (the
        // tasks only when the layout gives no done marks).
        const std::uint8_t* marks = Layout.Done.empty() ? nullptr : Layout.Done.data() + shown.DoneAt;
        for (size_t i = 0; i < count; ++i) {
            if (i + 8 < count) __builtin_prefetch(items->GetItems(static_cast<int>(i + 8)));
            if (!marks && i + 16 < count) __builtin_prefetch(&shown.Tasks[i + 16]->Done);
            const TGvItem* item = items->GetItems(static_cast<int>(i));
            const TuTask* task = shown.Tasks[i];
            const bool done = marks ? marks[i] != 0 : task->Done;
            if (item->GetData() != task || item->GetChecked() != done || !AsFilled(item) ||
                item->GetTag() != (State.CountItems ? ++number : 0))
                return false;
        }
    }
    return true;
}

void TMainForm::ForgetListChoices() {
    TGvHotTrackManager* hot = List->GetHotTrack();
    TGvCollectionItem* hotItem = hot ? hot->GetHotObject() : nullptr;
    TGvCollectionItem* hotCheck = hot ? hot->GetHotCheckItem() : nullptr;
    List->GetSelection()->ClearAll();
    List->ForgetGroupsOf(List->GetGroups());
    // (What the managers forgot was a group's or an item: it is no
    // longer under the mouse, as an item made anew is not.)
    if (hotItem && hot->GetHotObject() != hotItem) hotItem->SetHotTracking(false);
    if (hotCheck && hot->GetHotCheckItem() != hotCheck) hotCheck->SetCheckHot(false);
}

bool TMainForm::ListTakesLayout(const TTaskListLayout& Layout, const TTaskListState& State) {
    // (Grouped only, as ListShowsLayout.)
    if (!Layout.Grouped) return false;
    if (const TGvEditManager* edit = List->GetEditManager(); edit && edit->Editing()) return false;
    TGvGroups* groups = List->GetGroups();
    if (groups->GetCount() != static_cast<int>(Layout.Groups.size())) return false;
    size_t listed = 0, anew = 0;
    for (size_t g = 0; g < Layout.Groups.size(); ++g) {
        const TGvGroup* group = groups->GetGroups(static_cast<int>(g));
        if (group->GetKey() != static_cast<uint32_t>(Layout.Groups[g].Key) || group->GetTag() != State.GroupMode ||
            !group->GetExpanded() || !AsFilled(group) || group->GetChecked() || !group->GetItems())
            return false;
        const size_t items = static_cast<size_t>(group->GetItems()->GetCount());
        listed += items;
        anew += Layout.Groups[g].Tasks.size() > items ? Layout.Groups[g].Tasks.size() - items : 0;
    }
    // Items made among others take their memory where others were freed,
    // scattered, and cost more than a fill's, whose items take theirs in
    // order: the list is filled anew for more than a few of them.
    if (anew * 4 > listed) return false;
    // The list changes from here on: what fails below leaves it to a fill.
    ForgetListChoices();
    // The items freed lose their checks to the refresh, not to the user.
    const gcl::TRestore<TGvItemEvent> noCheckEvents(List->OnItemCheckChange, TGvItemEvent());
    std::vector<std::uint8_t> keep;
    TGvEntryList merged;
    std::vector<std::uint32_t> fresh;  // the places of the tasks shown anew
    int before = 0;                    // the items of the groups above
    for (size_t g = 0; g < Layout.Groups.size(); ++g) {
        const TTaskGroup& shown = Layout.Groups[g];
        TGvGroup* group = groups->GetGroups(static_cast<int>(g));
        TGvItems* items = group->GetItems();
        const size_t had = static_cast<size_t>(items->GetCount());
        const size_t count = shown.Tasks.size();
        const std::uint8_t* marks = Layout.Done.empty() ? nullptr : Layout.Done.data() + shown.DoneAt;
        // An item that stays for the task at place K: as a fill makes it
        // (its check the task's), and numbered for that place.
        auto stays = [&](TGvItem* item, size_t k) {
            const bool done = marks ? marks[k] != 0 : shown.Tasks[k]->Done;
            if (item->GetChecked() != done || !AsFilled(item)) return false;
            item->SetTag(State.CountItems ? before + static_cast<int>(k) + 1 : 0);
            return true;
        };
        if (count <= had) {
            // The layout's tasks are the items' in their order, some left out.
            keep.assign(had, 0);
            size_t k = 0;
            for (size_t i = 0; i < had; ++i) {
                if (i + 8 < had) __builtin_prefetch(items->GetItems(static_cast<int>(i + 8)));
                TGvItem* item = items->GetItems(static_cast<int>(i));
                if (k < count && item->GetData() == shown.Tasks[k]) {
                    if (!stays(item, k)) return false;
                    keep[i] = 1;
                    ++k;
                }
            }
            if (k != count) return false;
            if (count < had) items->Retain(keep);
        } else {
            // The items' tasks are the layout's in their order, some left out.
            merged.clear();
            fresh.clear();
            size_t i = 0;
            for (size_t k = 0; k < count; ++k) {
                if (i + 8 < had) __builtin_prefetch(items->GetItems(static_cast<int>(i + 8)));
                TGvItem* item = i < had ? items->GetItems(static_cast<int>(i)) : nullptr;
                if (item && item->GetData() == shown.Tasks[k]) {
                    if (!stays(item, k)) return false;
                    merged.push_back(item);
                    ++i;
                } else {
                    merged.push_back(nullptr);
                    fresh.push_back(static_cast<std::uint32_t>(k));
                }
            }
            if (i != had) return false;
            // The new items, made at the end as a fill makes them, take
            // their places among the others.
            struct TFresh {
                const TTaskGroup* Shown;
                const std::uint8_t* Done;
                const std::vector<std::uint32_t>* At;
                int FirstNumber;  // 0: not numbered
            } source{&shown, marks, &fresh, State.CountItems ? before + 1 : 0};
            items->AddStarted(
                static_cast<int>(fresh.size()),
                [](const void* Source, int Index, TGvItems::TItemStart& Start) {
                    const TFresh* f = static_cast<const TFresh*>(Source);
                    const size_t k = (*f->At)[static_cast<size_t>(Index)];
                    TuTask* task = f->Shown->Tasks[k];
                    Start.Data = task;
                    Start.Checked = f->Done ? f->Done[k] != 0 : task->Done;
                    if (f->FirstNumber > 0) Start.Tag = f->FirstNumber + static_cast<int>(k);
                },
                &source);
            if (items->GetCount() != static_cast<int>(count)) return false;
            size_t made = had;
            for (TGvCollectionItem*& entry : merged)
                if (!entry) entry = items->GetItems(static_cast<int>(made++));
            items->List().assign(merged.begin(), merged.end());
        }
        // The task that opens the group may be another one now.
        if (group->GetData() != shown.First) group->SetData(const_cast<TuTask*>(shown.First));
        before += static_cast<int>(count);
    }
    return true;
}

void TMainForm::FillTaskList() {
    TListviewUpdate update(List);
    FCaptionNow = gcl::Now();
    FCaptionFormat = Options.DateTimeFormat;
    TTaskListState state = TaskListState();
    state.GroupCaptions = false;
    const TFilterBarState bar = FilterBarState();
    // The same grouping, order and numbering as the last fill: the list
    // may show the layout already (the same filter too), or the layout's
    // tasks may be a part of the list's or the list's a part of them (a
    // filter that hides some tasks or shows more); the layout is made
    // first then. Otherwise the list is cleared first, as its items will
    // go anyway.
    TFilterSystem next;
    qelvo::BuildFilter(next, bar);
    const bool mayTake = FFilled && SameListState(state, FFilledState);
    const bool mayKeep = mayTake && LiveSettings.Filter && SameConditions(next, *LiveSettings.Filter);
    FFilled = false;
    TTaskListLayout layout;
    if (mayTake)
        layout = RefreshTaskListLayout(*Database, bar, state, FGroupKeys, &FTaskOrders, &FSearchNarrowing,
                                       &FFilterAnswer);
    const bool shows = mayKeep && ListShowsLayout(layout, state);
    if (shows || (mayTake && ListTakesLayout(layout, state))) {
        // The items a fill would make are there: they stay, and only what
        // a fill changes besides them changes: no task chosen, every
        // reference the control and its managers hold to an item dropped
        // as the items' free drops them (focus, anchor, the item under the
        // mouse, search, hint), the list at its top.
        if (shows) ForgetListChoices();
        if (List->HandleAllocated() && List->GetScrollbars()) {
            List->GetScrollbars()->SetOffsetX(0);
            List->GetScrollbars()->SetOffsetY(0);
        }
        List->InvalidateView();
        DelTaskA->SetEnabled(false);
        FFilledState = state;
        FFilled = true;
        return;
    }
    {
        // The items the clear frees lose their checks to the rebuild, not
        // to the user: the handler that follows the user's ticks is left
        // out rather than asked for each done task shown.
        const gcl::TRestore<TGvItemEvent> noCheckEvents(List->OnItemCheckChange, TGvItemEvent());
        List->GetGroups()->Clear();
    }
    if (!mayTake)
        layout = RefreshTaskListLayout(*Database, bar, state, FGroupKeys, &FTaskOrders, &FSearchNarrowing,
                                       &FFilterAnswer);
    // Each item takes its check from the layout's done marks, when it
    // gives them; else it reads its task. The tasks lie scattered over the
    // heap, and grouped (by tags: thousands of groups of a few tasks) or
    // sorted they are met in no order of memory: the one a few places
    // ahead in the whole list, across groups, is fetched ahead, and the
    // block of a group's tasks a few groups before they are reached.
    const bool marks = !layout.Done.empty();
    size_t aheadGroup = 0;
    size_t aheadAt = 0;
    auto fetchAhead = [&] {
        if (marks) return;
        while (aheadGroup < layout.Groups.size() && aheadAt >= layout.Groups[aheadGroup].Tasks.size()) {
            ++aheadGroup;
            aheadAt = 0;
            if (aheadGroup + 4 < layout.Groups.size()) __builtin_prefetch(layout.Groups[aheadGroup + 4].Tasks.data());
        }
        if (aheadGroup < layout.Groups.size()) __builtin_prefetch(&layout.Groups[aheadGroup].Tasks[aheadAt++]->Done);
    };
    for (int k = 0; k < 16; ++k) fetchAhead();
    // Items are numbered by their place in the whole list (1 up) while
    // they are made, so no second walk over them is needed.
    int number = 0;
    for (const TTaskGroup& g : layout.Groups) {
        TGvGroup* group = nullptr;
        if (layout.Grouped) {
            // The caption and image come from the opening task when asked.
            group = List->GetGroups()->Add(const_cast<TuTask*>(g.First));
            group->SetKey(static_cast<uint32_t>(g.Key));
            group->SetTag(state.GroupMode);
        }
        const size_t count = g.Tasks.size();
        if (count == 0) continue;
        TGvItems* items = group ? group->GetItems() : nullptr;
        if (!items) {
            // The ungrouped list's one group (made with its first item).
            TGvItem* first = List->GetItems()->Add(g.Tasks[0]);
            fetchAhead();
            FillTaskItem(first, *g.Tasks[0]);
            if (state.CountItems) SetItemNumber(first, ++number);
            items = first->OwnerItems();
        }
        struct TRun {
            const TTaskVector* Tasks;
            const std::uint8_t* Done;  // the tasks' done marks, or null
            size_t From;
            int FirstNumber;  // 0: not numbered
            decltype(fetchAhead)* Ahead;
        } run{&g.Tasks, marks ? layout.Done.data() + g.DoneAt : nullptr, group ? size_t(0) : size_t(1),
              state.CountItems ? number + 1 : 0, &fetchAhead};
        const int made = static_cast<int>(count - run.From);
        // Each item starts with what FillTaskItem and SetItemNumber give it
        // (its task's check state, its number): set as it is made rather
        // than changed after, which asks for no check event or repaint.
        items->AddStarted(
            made,
            [](const void* Source, int Index, TGvItems::TItemStart& Start) {
                const TRun* r = static_cast<const TRun*>(Source);
                const size_t at = r->From + static_cast<size_t>(Index);
                TuTask* task = (*r->Tasks)[at];
                Start.Data = task;
                if (r->Done) {
                    Start.Checked = r->Done[at] != 0;
                } else {
                    (*r->Ahead)();
                    Start.Checked = task->Done;
                }
                if (r->FirstNumber > 0) Start.Tag = r->FirstNumber + Index;
            },
            &run);
        if (state.CountItems) number += made;
    }
    DelTaskA->SetEnabled(List->GetSelection()->First() && List->GetItems()->GetCount() > 0);
    FFilledState = state;
    FFilled = true;
}

void TMainForm::AddTaskItem(TuTask* Task) {
    if (!List || !ShowsAsItem(Task)) return;
    gcl::TFlagScope filling(FRefreshing);
    TListviewUpdate update(List);
    FCaptionNow = gcl::Now();
    FCaptionFormat = Options.DateTimeFormat;
    TGvItem* item = List->GetItems()->Add(Task);
    FillTaskItem(item, *Task);
    if (CountItemsM->GetChecked()) SetItemNumber(item, List->GetItems()->GetCount());
}

TuTask* TMainForm::AddTask(const std::string& Text, const TFolderRef& Folder, TuData& Data) {
    std::unique_ptr<TuTask> task(TuTask::CreateFromString(Text, false, false));
    task->Due = KeptDue(task->Due);
    task->FolderIcon = Folder.Icon;
    task->Folder = Folder.Name;
    TuTask* added = task.get();
    const std::uint64_t before = Data.ChangeMark();
    Data.Tasks->AddObject(added->Title, task.release());
    RegisterTaskTags(added->Tags);
    Data.Modified = true;
    if (&Data == Database) FTaskOrders.Follow(before);
    // A grouped list shows the task in its group, which takes a refresh;
    // an ungrouped one shows it last.
    if (List && &Data == Database && NoGroupA && !NoGroupA->GetChecked())
        RefreshTaskList();
    else
        AddTaskItem(added);
    // It goes last in the list or its group, mostly below the rows shown (a
    // refresh shows the top): out of sight, Enter would seem to do nothing.
    BringTaskIntoView(added);
    return added;
}

void TMainForm::BringTaskIntoView(const TuTask* Task) {
    if (!List || !Task) return;
    // From the end: a new task is its group's last but in a sorted list.
    TGvGroups* groups = List->GetGroups();
    for (int g = groups->GetCount(); g-- > 0;) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = group->ItemCount(); i-- > 0;) {
            TGvItem* item = group->GetItem(i);
            if (TaskOf(item) != Task) continue;
            item->MakeVisible(emvAuto);
            return;
        }
    }
}

void TMainForm::SortGroups(int Mode) {
    if (!List) return;
    TGvGroups* groups = List->GetGroups();
    std::vector<TTaskGroup> order;
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        TTaskGroup entry;
        entry.Key = static_cast<int>(group->GetKey());
        if (TuTask* first = group->ItemCount() > 0 ? TaskOf(group->GetItem(0)) : nullptr) entry.Tasks.push_back(first);
        entry.ImageIndex = g;  // where the group stands now
        order.push_back(std::move(entry));
    }
    qelvo::SortGroups(Mode, order);
    TListviewUpdate update(List);
    std::vector<TGvCollectionItem*> sorted;
    for (const TTaskGroup& entry : order) sorted.push_back(groups->GetGroups(entry.ImageIndex));
    groups->List().assign(sorted.begin(), sorted.end());
    groups->ReIndexItems(true);
}

void TMainForm::SortItems(int Column, bool Ascending) {
    if (!List) return;
    TListviewUpdate update(List);
    TGvGroups* groups = List->GetGroups();
    // Each group keeps its items; without grouping the one group holds them all.
    const int groupCount = groups->GetCount();
    std::vector<std::vector<TuTask*>> tasksOf(static_cast<size_t>(groupCount));
    size_t shown = 0;
    bool whole = true;  // every item shows a task
    for (int g = 0; g < groupCount; ++g) {
        TGvItems* items = groups->GetGroups(g)->GetItems();
        std::vector<TuTask*>& tasks = tasksOf[static_cast<size_t>(g)];
        const int count = items->GetCount();
        tasks.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            // (The items lie scattered: each is fetched some places ahead.)
            if (i + 8 < count) __builtin_prefetch(items->GetItems(i + 8));
            whole = (tasks[static_cast<size_t>(i)] = TaskOf(items->GetItems(i))) && whole;
        }
        shown += tasks.size();
    }
    // Many tasks shown, sorted by title: the kept order of every task of
    // the database (the titles' keys prepared once and kept from sort to
    // sort, each unchanged title known by its memo) orders them all in
    // one walk, as each group's own sort would. (Tags and dates keep no
    // memo: their kept order reads every task's key again, and ties are
    // many, so each group's own sort is as quick.)
    std::vector<std::vector<std::uint32_t>> orders;
    bool kept = false;
    if (Column == 1 && whole && Database && shown >= 64) {
        const int count = Database->Tasks->GetCount();
        std::vector<TuTask*> all(static_cast<size_t>(count));
        bool complete = true;
        for (int i = 0; i < count; ++i)
            complete = (all[static_cast<size_t>(i)] = Database->Tasks->TaskAt(i)) && complete;
        if (complete && shown * 8 >= all.size()) kept = FTaskOrders.SortLists(Column, all, tasksOf, orders);
    }
    // Each group is put in order, then numbered while its items are at
    // hand (the numbers run on across the groups).
    const bool numbered = CountItemsM->GetChecked();
    int number = 0;
    for (int g = 0; g < groupCount; ++g) {
        TGvItems* items = groups->GetGroups(g)->GetItems();
        const std::vector<TuTask*>& tasks = tasksOf[static_cast<size_t>(g)];
        std::vector<std::uint32_t>* order = kept ? &orders[static_cast<size_t>(g)] : nullptr;
        SortGroupItems(items, tasks, order, Column, Ascending);
        if (numbered) number = NumberGroupItems(items, number);
    }
}

void TMainForm::NumberItems() {
    if (!List) return;
    // Group by group: a look-up by global index walks the groups, which
    // made numbering grow with items times groups.
    TGvGroups* groups = List->GetGroups();
    int index = 0;
    for (int g = 0; g < groups->GetCount(); ++g) index = NumberGroupItems(groups->GetGroups(g)->GetItems(), index);
}

// ---- List-view events ---------------------------------------------------------------------

void TMainForm::ListItemInitialize(TCustomGvListview*, TGvItem* Item) {
    if (const TuTask* task = TaskOf(Item)) Item->SetChecked(task->Done);
}

void TMainForm::ListItemCheckChange(TCustomGvListview*, TGvItem* Item) {
    // Only the user's ticks count: items made, filled or freed by a
    // rebuild change their check state too.
    if (FRefreshing || Item->IsDestroying()) return;
    TuTask* task = TaskOf(Item);
    if (!task || !Database) return;
    const std::uint64_t before = Database->ChangeMark();
    if (ApplyItemCheck(*task, Item->GetChecked(), *Database)) FTaskOrders.Follow(before);
}

void TMainForm::ListItemPaintText(TCustomGvListview*, TGvItem* Item, int, gcl::TCanvas* ACanvas) {
    const TItemPaintStyle style = ItemPaintStyle(TaskOf(Item), Item->GetChecked(), gcl::Now(),
                                                 Options.DistinguishPriorities, Options.ListFontSize,
                                                 Item->GetSelected());
    gcl::TFont* font = ACanvas->GetFont();
    gcl::TFontStyles styles;
    if (style.StrikeOut) styles.Include(gcl::fsStrikeOut);
    if (style.Italic) styles.Include(gcl::fsItalic);
    font->SetStyle(styles);
    if (style.UseColor) font->SetColor(static_cast<gcl::TColor>(style.Color));
    font->SetName(ListFontName);
    font->SetSize(style.FontSize);
}

void TMainForm::ListAutoGroupGetKey(TCustomGvListview*, TGvItem* Item, int, TGvGroups*, uint32_t& Key) {
    const TuTask* task = TaskOf(Item);
    if (!task || !Database || AbsMode(LiveSettings.GroupMode) == gmNone) return;
    Key = static_cast<uint32_t>(AutoGroupGetKey(LiveSettings.GroupMode, *task, *Database, FGroupKeys));
}

void TMainForm::ListAutoSortGroupCreate(TCustomGvListview*, TGvItem* Item, int, TGvGroups* Groups,
                                        TGvGroup*& Group, bool& DoDefaultAction) {
    // The group opened by Item's task; the list view gives it the key.
    Group = Groups->Add(TaskOf(Item));
    Group->SetTag(LiveSettings.GroupMode);
    DoDefaultAction = false;
}

void TMainForm::ListGroupGetCaption(TCustomGvListview*, TGvGroup* Group, std::wstring& Caption) {
    const auto* first = static_cast<const TuTask*>(Group->GetData());
    const int mode = static_cast<int>(Group->GetTag());
    if (!first || AbsMode(mode) == gmNone) return;
    Caption = gcl::AnsiToWide(GroupCaption(mode, static_cast<int>(Group->GetKey()), *first, FGroupKeys));
}

void TMainForm::ListGroupGetImageIndex(TCustomGvListview*, TGvGroup* Group, TGvImageKind ImageKind,
                                       int& ImageIndex) {
    const auto* first = static_cast<const TuTask*>(Group->GetData());
    const int mode = static_cast<int>(Group->GetTag());
    if (first && ImageKind == eikNormal && AbsMode(mode) != gmNone) ImageIndex = GroupImageIndex(mode, *first);
}

void TMainForm::ListGroupPaintText(TCustomGvListview*, TGvGroup*, gcl::TCanvas* ACanvas) {
    gcl::TFont* font = ACanvas->GetFont();
    font->SetSize(Options.ListFontSize);
    font->SetName(ListFontName);
    font->SetStyle(gcl::TFontStyles{gcl::fsBold});
    font->SetColor(static_cast<gcl::TColor>(GroupCaptionColor));
}

void TMainForm::ListGroupClick(TCustomGvListview*, TGvGroup* Group, TCommonKeyStates KeyStates,
                               TGvGroupHitTestInfoSet) {
    if (!Group) return;
    TListviewUpdate update(List);
    if (KeyStates.Contains(cksControl)) {
        // The groups above the one clicked may fold: the caption clicked
        // stays where it is on the screen, under the pointer.
        TGvScrollbarManager* scrollbars = List->GetScrollbars();
        const int shownAt = Group->GetDisplayRect().Top - scrollbars->GetOffsetY();
        TGvGroups* groups = List->GetGroups();
        for (int g = 0; g < groups->GetCount(); ++g) groups->GetGroups(g)->SetExpanded(groups->GetGroups(g) == Group);
        groups->Rebuild(true);
        scrollbars->SetOffsetY(std::clamp(Group->GetDisplayRect().Top - shownAt, 0, scrollbars->MaxOffsetY()));
    } else {
        Group->SetExpanded(!Group->GetExpanded());
    }
}

void TMainForm::ListGroupCollapse(TCustomGvListview*, TGvGroup* Group) {
    // The tasks of a folded group are out of sight, so out of reach of the
    // commands and keys: none stays chosen (Del, Ctrl+Up ... would act on
    // it unseen), and the keyboard's place goes to the next task shown
    // (Space would mark a hidden task done, F2 edit its title).
    if (!Group || !List) return;
    TGvSelectionManager* selection = List->GetSelection();
    TListviewUpdate update(List);
    const TGvSelectionChange change(selection);
    for (int i = 0; i < Group->ItemCount(); ++i)
        if (TGvItem* item = Group->GetItem(i); item->GetSelected()) item->SetSelected(false);
    if (TGvItem* anchor = selection->GetAnchorItem(); anchor && anchor->OwnerGroup() == Group)
        selection->SetAnchorItem(nullptr);
    selection->FocusPastGroup(Group);
}

void TMainForm::ListColumnClick(TCustomGvListview*, TCommonMouseButton, TGvColumn* const& Column) {
    if (!Column) return;
    int tag = static_cast<int>(Column->GetTag());
    HeaderClick(tag, Column->GetIndex(), SortColumn, SortAscending);
    Column->SetTag(tag);
    // Each column keeps its own direction, so the header's own turn of the
    // mark (which starts a column anew when another was sorted since) can
    // point the other way: the mark shows the direction the tasks take.
    Column->SetSortDirection(SortAscending ? esdAscending : esdDescending);
    SortItems(SortColumn, SortAscending);
    // The sort may put another chosen task first: the note panel names the
    // task the commands on the first chosen one act on (an edit of the note
    // shown goes to its own task first).
    if (FirstSelectedTask() != FNoteEditor.GetTask()) ShowNote(FirstSelectedTask());
}

void TMainForm::DateGroupAExecute(gcl::TObject* Sender) {
    auto* action = dynamic_cast<TMainAction*>(Sender);
    if (!action || !List) return;
    const TGroupingChange change =
        GroupingAction(static_cast<int>(action->GetTag()), action->GetChecked(), NoGroupA->GetChecked());
    LiveSettings.GroupMode = change.GroupMode;
    if (change.CheckNoGroup) NoGroupA->SetChecked(true);
    // One update around the switch and the refresh: the list is laid out
    // and painted once, with the new groups (never empty in between).
    TListviewUpdate update(List);
    {
        // The refresh below rebuilds the groups: the switch need not group
        // the items it is about to free, nor ask the handler of the
        // user's ticks about the checks they lose.
        gcl::TFlagScope refreshing(FRefreshing);
        const gcl::TRestore<TGvItemEvent> noCheckEvents(List->OnItemCheckChange, TGvItemEvent());
        List->GetGroups()->Clear();
    }
    List->GetSort()->SetAutoRegroup(change.AutoRegroup);
    // Reading the mode back: "Nothing" checked keeps it negative.
    LiveSettings.GroupMode = (action->GetChecked() && !NoGroupA->GetChecked()) ? AbsMode(change.GroupMode)
                                                                                : -AbsMode(change.GroupMode);
    RefreshTaskList();
}

void TMainForm::CountItemsMExecute(gcl::TObject*) { RefreshTaskList(); }

// ---- Selection helpers ------------------------------------------------------------------------

TuTask* TMainForm::FirstSelectedTask() const {
    return List ? TaskOf(List->GetSelection()->First()) : nullptr;
}

std::vector<TuTask*> TMainForm::SelectedTasks() const {
    std::vector<TuTask*> tasks;
    if (!List) return tasks;
    TGvSelectionManager* selection = List->GetSelection();
    for (TGvItem* item = selection->First(); item; item = selection->Next(item))
        if (TuTask* task = TaskOf(item)) tasks.push_back(task);
    return tasks;
}

// ---- Keys and editing ----------------------------------------------------------------------------

void TMainForm::ListKeyAction(TCustomGvListview*, uint16_t& CharCode, gcl::TShiftState& Shift, bool& DoDefault) {
    TGvItem* first = List->GetSelection()->First();
    const bool focused = List->GetSelection()->GetFocusedItem() != nullptr || List->GetItems()->GetCount() == 0;
    const TListKeyDecision decision =
        ListKeyDecision(CharCode, Shift.Contains(gcl::ssShift), Shift.Contains(gcl::ssCtrl), first != nullptr,
                        OrgPanel && OrgPanel->GetVisible(), focused, List->GetSelection()->GetCount() > 1);
    DoDefault = decision.DoDefault;
    switch (decision.Command) {
    case TListCommand::ChooseFirst: ChooseFirstTask(); break;
    case TListCommand::ChooseFocused:
        if (TGvItem* item = List->GetSelection()->GetFocusedItem()) {
            const TGvSelectionChange change(List->GetSelection());
            ChooseTask(item);
            item->MakeVisible(emvAuto);
        }
        break;
    case TListCommand::FocusTree:
        if (FoldersList && FoldersList->CanFocus()) FoldersList->SetFocus();
        break;
    case TListCommand::DeleteTasks: DelTaskA->Execute(); break;
    case TListCommand::EditTitle: EditTitleA->Execute(); break;
    case TListCommand::PriorityUp:
    case TListCommand::PriorityDown: {
        if (!TaskOf(first) || !Database) break;
        // The first chosen task's next priority, for every chosen task:
        // tasks of mixed priorities come to one, and the next key moves
        // them on together. Grouped by priority, they go to its group.
        const int current = first->GetImageIndexes(0);
        const int priority = decision.Command == TListCommand::PriorityUp ? PriorityUp(current) : PriorityDown(current);
        const std::vector<TuTask*> tasks = ChangeChosenTasks(
            [&](const std::vector<TuTask*>& chosen) { SetTasksPriority(chosen, priority, *Database); });
        if (PriorityGroupA->GetChecked()) RefreshChoosing(tasks);
        break;
    }
    case TListCommand::TickChosen: TickChosenTasks(); break;
    case TListCommand::EditTags: EditTagsA->Execute(); break;
    case TListCommand::EditDueDate: EditDueDateA->Execute(); break;
    case TListCommand::EditFolder: EditFolderA->Execute(); break;
    case TListCommand::EditNote: EditNoteA->Execute(); break;
    case TListCommand::None: break;
    }
}

void TMainForm::ListItemDblClick(TCustomGvListview*, TCommonMouseButton Button, gcl::TPoint MousePos,
                                 TGvHitInfoItem) {
    // A second right click soon after the first (the task's menu asked for
    // again) comes as a double click: it asks for the menu, not the editor.
    if (Button != cmbLeft) return;
    // On a cell's mark the double click is that mark's: its button-up has
    // opened the mark's panel, and a title editor opened over it would be
    // a second editor of the same task.
    if (ListHotZoneAt(MousePos.X, MousePos.Y) != THotZone::None) return;
    EditTitleAExecute(this);
}

void TMainForm::EditTitleAExecute(gcl::TObject*) {
    if (!List) return;
    if (TGvItem* item = List->GetSelection()->First()) item->Edit(List->GetHeader()->FirstColumn());
}

void TMainForm::ListItemEditBegin(TCustomGvListview*, TGvItem*, int&, bool&) {
    // Editing is allowed for every item. The editor takes the title from
    // the task (ListItemGetEditCaption), so the numbering never reaches it
    // and nothing is cut from a caption here: this handler is also asked
    // while the list looks for editable items.
}

void TMainForm::ListItemGetEditCaption(TCustomGvListview*, TGvItem* Item, TGvColumn* Column, std::wstring& Caption) {
    const TuTask* task = TaskOf(Item);
    if (task && (!Column || Column->GetIndex() == 0)) Caption = gcl::AnsiToWide(task->Title);
}

void TMainForm::ListItemEdited(TCustomGvListview*, TGvItem* Item, gcl::TVariant& NewValue, bool& Accept) {
    TuTask* task = TaskOf(Item);
    if (!task || !Database) return;
    Accept = true;
    // A blank title is refused: the task keeps its title (it could never be
    // shown, edited or deleted otherwise).
    ApplyTitleEdit(*task, gcl::WideToAnsi(NewValue.ToWide()), *Database);
    // The note panel names the task by its title.
    if (task == FirstSelectedTask() && NoteEdit) NoteEdit->SetCaption(CaptionOfName(NoteCaption(task)));
    // The cell shows what it paints: the title, numbered by the item's Tag.
    NewValue = gcl::AnsiToWide(
        TaskCellCaption(*task, 0, static_cast<int>(Item->GetTag()), FCaptionNow, FCaptionFormat));
}

void TMainForm::ListItemEditEnd(TCustomGvListview*, TGvItem*) {
    // The title was stored when the edit was accepted; the list is not
    // rebuilt.
}

// ---- Deleting --------------------------------------------------------------------------------

void TMainForm::DelTaskAExecute(gcl::TObject*) {
    if (!List || !Database || !List->Focused() || !List->GetSelection()->First()) return;
    if (Options.ConfirmDelete &&
        gcl::MessageDlg(msg::DeleteTasksQuestion, gcl::mtConfirmation, gcl::TMsgDlgButtons{gcl::mbYes, gcl::mbNo}) !=
            gcl::mrYes)
        return;
    const std::vector<TuTask*> selected = SelectedTasks();
    // The list stays where it was, with the task after the deleted ones
    // (or, after the last, the one before them) selected for the next key.
    const TListPlace place = ListPlace();
    CommitNote();
    for (const TuTask* task : selected) FNoteEditor.Forget(task);
    {
        TListviewUpdate update(List);
        // Taken out of the database now, freed after the list was rebuilt
        // without them.
        const std::uint64_t before = Database->ChangeMark();
        for (auto& task : DeleteTasks(*Database, selected)) FDeletedTasks.push_back(std::move(task));
        FTaskOrders.Follow(before);
    }
    RefreshTaskList();
    ReturnToPlace(place);
}

TMainForm::TListPlace TMainForm::ListPlace() const {
    return TListPlace{List->GetScrollbars()->GetOffsetY(), TaskAfterSelection()};
}

void TMainForm::ReturnToPlace(const TListPlace& Place, bool ChooseNext) {
    TGvScrollbarManager* scrollbars = List->GetScrollbars();
    scrollbars->SetOffsetY(std::min(Place.OffsetY, scrollbars->MaxOffsetY()));
    if (!ChooseNext || !Place.Next) return;
    TGvGroups* groups = List->GetGroups();
    for (TGvItem* item = groups->FirstVisibleItem(); item; item = groups->NextVisibleItem(item)) {
        if (TaskOf(item) != Place.Next) continue;
        ChooseTask(item);
        item->MakeVisible(emvAuto);
        return;
    }
}

void TMainForm::ChooseFirstTask() {
    // The first task the list shows: a folded group's tasks are out of
    // sight, and a command or key would act on one unseen.
    TGvSelectionManager* selection = List->GetSelection();
    TGvGroups* groups = List->GetGroups();
    for (int g = 0; g < groups->GetCount(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        if (!group->GetExpanded() || !group->GetVisible()) continue;
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            if (!item->GetVisible()) continue;
            const TGvSelectionChange change(selection);
            selection->ClearAll();
            ChooseTask(item);
            return;
        }
    }
    selection->ClearAll();
}

void TMainForm::ChooseTask(TGvItem* Item) {
    TGvSelectionManager* selection = List->GetSelection();
    selection->SetFocusedItem(Item);
    Item->SetSelected(true);
    selection->SetAnchorItem(Item);
}

void TMainForm::RefreshChoosing(const std::vector<TuTask*>& Tasks) {
    if (!List) return;
    // The list stays where it was: the tasks come into view only when
    // their new place is out of it. Those the filter no longer shows (a
    // task moved out of the list shown) leave the next task chosen, as a
    // delete does.
    const TListPlace place = ListPlace();
    RefreshTaskList();
    if (Tasks.empty()) return;
    // Each task's place among Tasks: the first of them leads.
    std::unordered_map<const TuTask*, size_t> wanted;
    for (size_t i = 0; i < Tasks.size(); ++i) wanted.emplace(Tasks[i], i);
    std::vector<TGvItem*> items;
    TGvItem* lead = nullptr;
    size_t leadAt = Tasks.size();
    TGvGroups* groups = List->GetGroups();
    for (int g = 0; g < groups->GetCount() && items.size() < wanted.size(); ++g) {
        TGvGroup* group = groups->GetGroups(g);
        for (int i = 0; i < group->ItemCount(); ++i) {
            TGvItem* item = group->GetItem(i);
            const auto found = wanted.find(TaskOf(item));
            if (found == wanted.end()) continue;
            items.push_back(item);
            if (found->second < leadAt) {
                lead = item;
                leadAt = found->second;
            }
        }
    }
    ReturnToPlace(place, !lead);
    if (!lead) return;
    {
        TListviewUpdate update(List);
        // One change of the selection, however many tasks moved.
        TGvSelectionManager* selection = List->GetSelection();
        const TGvSelectionChange change(selection);
        ChooseTask(lead);
        for (TGvItem* item : items) item->SetSelected(true);
    }
    lead->MakeVisible(emvAuto);
}

std::vector<TuTask*> TMainForm::ChangeChosenTasks(const std::function<void(const std::vector<TuTask*>&)>& Change) {
    std::vector<TuTask*> tasks = SelectedTasks();
    if (tasks.empty() || !Database) return {};
    // The items show their tasks as painted: the rows repaint once, at
    // the update's end.
    TListviewUpdate update(List);
    Change(tasks);
    return tasks;
}

void TMainForm::TickChosenTasks() {
    const std::uint64_t before = Database ? Database->ChangeMark() : 0;
    const std::vector<TuTask*> tasks = ChangeChosenTasks([&](const std::vector<TuTask*>& chosen) {
        const bool done = TickTasks(chosen, *Database);
        // The boxes show the tasks' new state; the ticks are not the
        // user's one by one.
        const gcl::TRestore<TGvItemEvent> noCheckEvents(List->OnItemCheckChange, TGvItemEvent());
        TGvSelectionManager* selection = List->GetSelection();
        for (TGvItem* item = selection->First(); item; item = selection->Next(item)) item->SetChecked(done);
    });
    // No task's place in a sort changed.
    if (!tasks.empty()) FTaskOrders.Follow(before);
}

TuTask* TMainForm::TaskAfterSelection() const {
    TGvGroups* groups = List->GetGroups();
    TuTask* before = nullptr;
    TuTask* after = nullptr;
    bool passedSelection = false;
    for (TGvItem* item = groups->FirstVisibleItem(); item; item = groups->NextVisibleItem(item)) {
        if (item->GetSelected()) {
            passedSelection = true;
            after = nullptr;
        } else if (!passedSelection) {
            before = TaskOf(item);
        } else if (!after) {
            after = TaskOf(item);
        }
    }
    return after ? after : before;
}

// ---- The priority menu and the hot zones ---------------------------------------------------------

void TMainForm::TxItem33Click(gcl::TObject* Sender) {
    auto* menuItem = dynamic_cast<TBarCustomItem*>(Sender);
    if (!menuItem || !List) return;
    const int priority = static_cast<int>(menuItem->GetTag());
    const std::vector<TuTask*> tasks =
        ChangeChosenTasks([&](const std::vector<TuTask*>& chosen) { SetTasksPriority(chosen, priority, *Database); });
    if (!tasks.empty() && PriorityGroupA->GetChecked()) RefreshChoosing(tasks);
}

THotZone TMainForm::ListHotZoneAt(int X, int Y) const {
    if (!List || List->GetView() != elsReport) return THotZone::None;
    const int headerHeight = List->HeaderShown() ? List->GetHeader()->GetHeight() : 0;
    const int viewHeight = List->GetClientHeight() - headerHeight;
    const gcl::TPoint view = List->GetScrollbars()->MapWindowToView(gcl::TPoint{X, Y});
    // A click on a group's caption folds the group (and leaves no task
    // chosen): a mark's menu or panel opened there too would act on a
    // task elsewhere, or on none.
    if (Y < headerHeight || !List->GetGroups()->ItemByPoint(view)) return THotZone::None;
    // The zones are those of the column under the point (the last reaches
    // to the row's end, as its cells do), measured from its left edge: a
    // column narrower than its zone keeps it inside, so that a click on the
    // next column's text is that column's (of columns at one edge, the
    // later, so a column dragged shut has none).
    TGvColumn* under = nullptr;
    for (TGvColumn* column : List->GetHeader()->Positions())
        if (column->GetVisible() && view.X >= column->GetDisplayRect().Left) under = column;
    if (!under) return THotZone::None;
    return HotZoneAt(under->GetIndex(), view.X - under->GetDisplayRect().Left, Y, headerHeight, viewHeight);
}

void TMainForm::ListMouseMove(gcl::TObject*, gcl::TShiftState, int X, int Y) {
    List->SetCursor(ListHotZoneAt(X, Y) == THotZone::None ? gcl::crDefault : gcl::crHandPoint);
}

void TMainForm::ListScroll(TCustomGvListview*, int, int) {
    POINT screen{};
    if (!List->HandleAllocated() || !GetCursorPos(&screen) || WindowFromPoint(screen) != List->GetHandle()) return;
    const gcl::TPoint at = List->ScreenToClient(gcl::TPoint{screen.x, screen.y});
    ListMouseMove(List, gcl::TShiftState(), at.X, at.Y);
}

void TMainForm::ListMouseUp(gcl::TObject*, gcl::TMouseButton Button, gcl::TShiftState, int X, int Y) {
    FMarkClicked = false;
    if (Button != gcl::mbLeft || !List->GetSelection()->First()) return;
    const THotZone zone = ListHotZoneAt(X, Y);
    if (zone == THotZone::None) return;
    FMarkClicked = true;
    const gcl::TPoint screen = List->ClientToScreen(gcl::TPoint{X, Y});
    switch (zone) {
    case THotZone::Priority: PriorityMenu->Popup(screen.X, screen.Y); break;
    case THotZone::DueDate: OpenDueDatePanelForSelection(ScreenToClient(screen), true); break;
    case THotZone::Tags: OpenTagsPanelForSelection(ScreenToClient(screen)); break;
    case THotZone::None: break;
    }
}

void TMainForm::ListItemMouseUp(TCustomGvListview*, TGvItem*, TCommonMouseButton, bool& DoDefault) {
    if (FMarkClicked) DoDefault = false;
    FMarkClicked = false;
}

// ---- The quick panels on the selected task ----------------------------------------------------------

gcl::TPoint TMainForm::SelectionPanelPoint(int ColumnIndex) {
    TGvItem* item = List->GetSelection()->First();
    TGvColumn* column = List->GetHeader()->GetColumns()->GetColumns(ColumnIndex);
    const gcl::TRect itemRect = item->GetDisplayRect();
    const gcl::TPoint window = List->GetScrollbars()->MapViewToWindow(
        gcl::TPoint{column ? column->GetDisplayRect().Left : 0, itemRect.Bottom});
    return ScreenToClient(List->ClientToScreen(window));
}

void TMainForm::OpenDueDatePanelForSelection(gcl::TPoint At, bool FromMouse) {
    const TuTask* task = FirstSelectedTask();
    if (!task) return;
    // The mouse takes any positive due value as a date, the command only a
    // year after 1901; both start from now without one.
    const double now = gcl::Now();
    const double date = FromMouse ? (task->Due > 0 ? task->Due : now) : DuePanelStartDate(*task, now);
    OpenDatePanel(At, QDateSelOkA, date, false);
}

void TMainForm::OpenTagsPanelForSelection(gcl::TPoint At) {
    const TuTask* task = FirstSelectedTask();
    if (!task) return;
    OpenTagsPanel(At, QTagsSelOkA, task->Tags, false);
}

bool TMainForm::ListCommandAllowed() const {
    return List && List->Focused() && List->GetSelection()->First() != nullptr;
}

void TMainForm::EditDueDateAExecute(gcl::TObject*) {
    if (ListCommandAllowed()) OpenDueDatePanelForSelection(SelectionPanelPoint(2), false);
}

void TMainForm::EditTagsAExecute(gcl::TObject*) {
    if (ListCommandAllowed()) OpenTagsPanelForSelection(SelectionPanelPoint(1));
}

void TMainForm::QDateSelOkAExecute(gcl::TObject*) {
    const std::vector<TuTask*> tasks = ChangeChosenTasks([&](const std::vector<TuTask*>& chosen) {
        ApplyDueEdit(chosen, QCheckDate->GetChecked(), QuickDate->GetDate(), *Database);
    });
    if (tasks.empty()) return;
    QuickDatePanel->Hide();
    if (List->CanFocus()) List->SetFocus();
    if (DateGroupA->GetChecked()) RefreshChoosing(tasks);
}

void TMainForm::QTagsSelOkAExecute(gcl::TObject*) {
    if (!FirstSelectedTask() || !Database) return;
    // The edit keeps every character typed; the task's tags would not.
    if (!FitsCodePage(QuickEditTags->GetText())) {
        gcl::ShowMessageBox(msg::UnsavableName, msg::AppTitle, MB_OK | MB_ICONWARNING);
        if (QuickEditTags->CanFocus()) QuickEditTags->SetFocus();
        return;
    }
    bool added = false;
    const std::vector<TuTask*> tasks = ChangeChosenTasks([&](const std::vector<TuTask*>& chosen) {
        ApplyTagsEdit(chosen, QuickEditTagsText(), *Database, &added);
    });
    if (added) TagsAdded();
    QuickTagsPanel->Hide();
    if (List->CanFocus()) List->SetFocus();
    SetQuickEditTagsText(std::string());
    if (TagsGroupA->GetChecked()) RefreshChoosing(tasks);
}

// ---- Moving tasks to another list ---------------------------------------------------------------------

void TMainForm::EditFolderAExecute(gcl::TObject*) {
    if (!ListCommandAllowed()) return;
    const gcl::TPoint at = List->ClientToScreen(
        gcl::TPoint{0, List->GetScrollbars()->MapViewToWindow(
                           gcl::TPoint{0, List->GetSelection()->First()->GetDisplayRect().Bottom}).Y});
    FolderSelMenu->Popup(at.X, at.Y);
}

void TMainForm::FolderSelMenuPopup(TBarCustomItem*, bool) {
    TBarCustomItem* root = FolderSelMenu->GetItems();
    root->Clear();
    if (!Database) return;
    const std::vector<std::string> names = ListMenuCaptions(*Database->Folders);
    int bold = -1;
    if (List->GetSelection()->GetCount() == 1)
        if (const TuTask* task = FirstSelectedTask()) bold = MoveToListMark(*Database->Folders, task->Folder);
    for (size_t i = 0; i < names.size(); ++i) {
        TXtItem* item = TXtItem::Create(root);
        item->SetCaption(CaptionOfName(names[i]));
        item->SetGroupIndex(1);
        item->SetTag(static_cast<intptr_t>(i));
        item->SetOnClick(gcl::TNotifyEvent(this, &TMainForm::FolderSelMenuItemClick));
        if (static_cast<int>(i) == bold) item->GetFontSettings()->SetBold(tsTrue);
        root->Add(item);
    }
}

void TMainForm::FolderSelMenuItemClick(gcl::TObject* Sender) {
    auto* menuItem = dynamic_cast<TBarCustomItem*>(Sender);
    if (!menuItem || !Database) return;
    const std::vector<TuTask*> tasks = ChangeChosenTasks([&](const std::vector<TuTask*>& chosen) {
        MoveTasksToList(chosen, NameOfCaption(menuItem->GetCaption()), *Database);
    });
    if (!tasks.empty() && FoldersGroupA->GetChecked()) RefreshChoosing(tasks);
}

void TMainForm::ListRightMenuPopup(TBarCustomItem*, bool) {
    ListRightCaptions.Restore();
    PriorityMenu2->SetLinkSubitems(PriorityMenu->GetItems());
    FolderSelMenu2->SetLinkSubitems(FolderSelMenu->GetItems());
}

// ---- Focus --------------------------------------------------------------------------------------------

void TMainForm::ListEnter(gcl::TObject*) {
    HideTreeEditors();
    DelTaskA->SetEnabled(List->GetSelection()->First() && List->GetItems()->GetCount() > 0);
    EditFolderA->SetShortCut(gcl::ShortCut('L', gcl::TShiftState{gcl::ssShift}));
}

void TMainForm::ListExit(gcl::TObject*) { EditFolderA->SetShortCut(0); }

// ---- Dragging between groups ------------------------------------------------------------------------------

void TMainForm::ListDragOver(gcl::TObject*, gcl::TObject* Source, int, int, gcl::TDragState, bool& Accept) {
    Accept = Source == List && ListAcceptsDrag(LiveSettings.GroupMode);
}

void TMainForm::ListDragDrop(gcl::TObject*, gcl::TObject*, int, int) {
    const TuTask* target = TaskOf(List->GetDragManager()->GetDropTarget());
    const std::vector<TuTask*> tasks = SelectedTasks();
    if (!target || tasks.empty() || LiveSettings.GroupMode == 0 || !Database) return;
    {
        TListviewUpdate update(List);
        ApplyDrop(LiveSettings.GroupMode, *target, tasks, *Database);
    }
    RefreshChoosing(tasks);
}

} // namespace qelvo
