// Common controls: the tree view, the date picker and the status bar.
//
// The tree view
// -------------
// The nodes live in the component (TTreeNodes, a tree of TTreeNode); the
// window ("SysTreeView32", superclassed) shows them. Every node is put into
// the window with callback text and images (LPSTR_TEXTCALLBACK,
// I_IMAGECALLBACK) and lParam = the node, so TVN_GETDISPINFO asks the node
// for its Text and GetImageIndex/GetSelectedIndex for its images. When the
// window goes, the expanded states, the selection and the top item are
// kept; the next window gets all nodes again, so RecreateWnd loses
// nothing, and the nodes work without any window.
//
// Notifications arrive as CN_NOTIFY and are handled by the virtual
// CNNotify with their ANSI codes (TVN_GETDISPINFOA, TVN_SELCHANGINGA,
// TVN_ITEMEXPANDINGA, TVN_BEGINLABELEDITA, TVN_DELETEITEMA, ...); code that
// receives other codes can map them and call it.
//
// Sorting sends TVM_SORTCHILDRENCB through Perform with DefaultTreeViewSort
// (or a caller's function), then takes the window's new order over into
// the nodes. Multiple selection is done by the tree view itself:
// Selections[] with the control-click and shift-click rules, shown with
// the items' TVIS_SELECTED state.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/ImgList.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Collections.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Sets.h"

namespace gcl {

class TTreeNode;
class TTreeNodes;
class TCustomTreeView;
class TStream;
class TFiler;

GCL_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)
GCL_ENUM(TSortType, stNone, stData, stText, stBoth)
GCL_ENUM(TMultiSelectStyleItem, msControlSelect, msShiftSelect, msVisibleOnly, msSiblingOnly)
using TMultiSelectStyle = TSet<TMultiSelectStyleItem>;

using TTVChangingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = TEvent<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVExpandingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = TEvent<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = TEvent<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = TEvent<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, intptr_t Data, int& Compare)>;

// The tree view's default node comparison for TVM_SORTCHILDRENCB: lParam1
// and lParam2 are nodes, data is handed to OnCompare. Without OnCompare
// the texts are compared with lstrcmpA. Its address never changes, so code
// that watches TVM_SORTCHILDRENCB can recognise it.
int CALLBACK DefaultTreeViewSort(LPARAM node1, LPARAM node2, LPARAM data);

// ---- TTreeNode -------------------------------------------------------------

class TTreeNode : public TPersistent {
    GCL_CLASS(TTreeNode, TPersistent)
public:
    // Nodes are made by their TTreeNodes (through the tree view's virtual
    // CreateNode) and die with Delete or with their collection.
    explicit TTreeNode(TTreeNodes* owner);
    ~TTreeNode() override;

    // The collection the node belongs to.
    TTreeNodes* GetNodes() const noexcept { return FOwner; }
    TPersistent* GetOwner() const override;
    TCustomTreeView* GetTreeView() const noexcept;
    // The window of the tree view, or null.
    HWND GetHandle() const noexcept;
    // The node's item in the window, or null while there is none.
    HTREEITEM GetItemId() const noexcept { return FItemId; }

    const std::string& GetText() const noexcept { return FText; }
    virtual void SetText(const std::string& value);
    void* GetData() const noexcept { return FData; }
    void SetData(void* value);
    int GetImageIndex() const noexcept { return FImageIndex; }
    void SetImageIndex(int value);
    int GetSelectedIndex() const noexcept { return FSelectedIndex; }
    void SetSelectedIndex(int value);
    // The state image (-1: none) and the overlay image (-1: none).
    int GetStateIndex() const noexcept { return FStateIndex; }
    void SetStateIndex(int value);
    int GetOverlayIndex() const noexcept { return FOverlayIndex; }
    void SetOverlayIndex(int value);

    TTreeNode* GetParent() const noexcept { return FParent; }
    int GetCount() const noexcept { return static_cast<int>(FChildren.size()); }
    TTreeNode* GetItem(int index) const;
    // The position among the siblings.
    int GetIndex() const noexcept;
    // The position in the whole tree, parents before their children.
    int GetAbsoluteIndex() const noexcept;
    int GetLevel() const noexcept;
    // Children, or a button shown anyway (HasChildren set).
    bool GetHasChildren() const noexcept { return !FChildren.empty() || FHasChildren; }
    void SetHasChildren(bool value);
    bool HasAsParent(const TTreeNode* node) const noexcept;
    int IndexOf(const TTreeNode* child) const noexcept;

    TTreeNode* GetFirstChild() const noexcept;
    TTreeNode* GetLastChild() const noexcept;
    TTreeNode* GetNextSibling() const noexcept;
    TTreeNode* GetPrevSibling() const noexcept;
    // The next and previous node in tree order (parents before children).
    TTreeNode* GetNext() const noexcept;
    TTreeNode* GetPrev() const noexcept;
    TTreeNode* GetNextChild(const TTreeNode* child) const noexcept;
    TTreeNode* GetPrevChild(const TTreeNode* child) const noexcept;
    // The same, skipping the children of collapsed nodes.
    TTreeNode* GetNextVisible() const noexcept;
    TTreeNode* GetPrevVisible() const noexcept;
    // Every parent expanded.
    bool IsVisible() const noexcept;

    bool GetExpanded() const noexcept;
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool GetSelected() const noexcept;
    void SetSelected(bool value);
    bool GetFocused() const noexcept;
    bool GetCut() const noexcept { return FCut; }
    void SetCut(bool value);
    bool GetDropTarget() const noexcept;
    void SetDropTarget(bool value);
    // True while the node is being deleted.
    bool GetDeleting() const noexcept { return FDeleting; }

    // Moves the node (with its children) relative to destination.
    virtual void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
    // Deletes the node with its children.
    void Delete();
    void DeleteChildren();
    // Copies text, data and images (not the children).
    void Assign(TPersistent* source) override;
    // Starts label editing; false when the window refused.
    bool EditText();
    void EndEdit(bool cancel);
    void MakeVisible();
    // The item's rectangle (or its text's) in client coordinates.
    TRect DisplayRect(bool textOnly) const;
    // Sorts the children (see TCustomTreeView::CustomSort).
    bool AlphaSort(bool recurse = false);
    bool CustomSort(PFNTVCOMPARE sortProc, LPARAM data, bool recurse = false);

protected:
    // Tells the window the node changed (texts and images are asked
    // again).
    void UpdateItem(UINT mask);
    void SetTextRaw(const std::string& value) { FText = value; }

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;

    // The node's place in its siblings' list: Place takes the place
    // remembered (PlaceHint) when it still holds, else numbers the whole
    // list once more, so walking siblings one after another stays linear
    // in their number. The list's size when the node is not in it.
    size_t Place() const noexcept;
    const std::vector<TTreeNode*>& Siblings() const noexcept;

    TTreeNodes* FOwner;
    TTreeNode* FParent = nullptr;
    mutable size_t FPlaceHint = 0;
    std::vector<TTreeNode*> FChildren;
    std::string FText;
    void* FData = nullptr;
    HTREEITEM FItemId = nullptr;
    int FImageIndex = 0;
    int FSelectedIndex = 0;
    int FStateIndex = -1;
    int FOverlayIndex = -1;
    bool FExpanded = false;
    bool FHasChildren = false;
    bool FDeleting = false;
    bool FCut = false;
};

// ---- TTreeNodes ------------------------------------------------------------

// The nodes of a tree view. The indexed Item is by absolute index (tree
// order). The "Data" binary property streams the nodes: an Int32 count of
// root nodes, then each node depth first as Int32 Size (24 + 1 + L), the
// Int32 ImageIndex, SelectedIndex, StateIndex, OverlayIndex, Data and
// child Count, a length byte L and L bytes of text.
class TTreeNodes : public TPersistent {
    GCL_CLASS(TTreeNodes, TPersistent)
public:
    explicit TTreeNodes(TCustomTreeView* owner);
    ~TTreeNodes() override;

    TCustomTreeView* GetOwnerView() const noexcept { return FOwner; }
    TPersistent* GetOwner() const override;
    // All nodes.
    int GetCount() const noexcept;
    TTreeNode* GetItem(int absoluteIndex) const;
    TTreeNode* GetNodeFromIndex(int absoluteIndex) const { return GetItem(absoluteIndex); }
    TTreeNode* GetFirstNode() const noexcept { return FRoots.empty() ? nullptr : FRoots.front(); }
    // The node of a window item, or null.
    TTreeNode* GetNode(HTREEITEM itemId) const;
    HWND GetHandle() const noexcept;

    // After the last sibling of sibling (null: at the end of the roots).
    TTreeNode* Add(TTreeNode* sibling, const std::string& s);
    TTreeNode* AddObject(TTreeNode* sibling, const std::string& s, void* data);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& s);
    TTreeNode* AddObjectFirst(TTreeNode* sibling, const std::string& s, void* data);
    // The last (first) child of parent (null: a root).
    TTreeNode* AddChild(TTreeNode* parent, const std::string& s);
    TTreeNode* AddChildObject(TTreeNode* parent, const std::string& s, void* data);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& s);
    TTreeNode* AddChildObjectFirst(TTreeNode* parent, const std::string& s, void* data);
    // Before sibling (null: at the end of the roots).
    TTreeNode* Insert(TTreeNode* sibling, const std::string& s);
    TTreeNode* InsertObject(TTreeNode* sibling, const std::string& s, void* data);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const noexcept { return FUpdateCount; }
    // Set while nodes are read from a stream: no sorting, no events but
    // the additions.
    bool GetReading() const noexcept { return FReading; }
    void SetReading(bool value) noexcept { FReading = value; }

    // Copies the nodes of another TTreeNodes (texts, data, images, shape).
    void Assign(TPersistent* source) override;
    // Same count, and every node equal in text and data (tree order).
    bool Equals(const TTreeNodes& other) const;

    // The "Data" stream (see above).
    void ReadData(TStream& stream);
    void WriteData(TStream& stream);

protected:
    void DefineProperties(TFiler& filer) override;

private:
    friend class TTreeNode;
    friend class TCustomTreeView;

    // A new node under parent at position index (-1: last).
    TTreeNode* AddNode(TTreeNode* parent, int index, const std::string& s, void* data);
    std::vector<TTreeNode*>& Siblings(TTreeNode* parent) noexcept { return parent ? parent->FChildren : FRoots; }
    void ReadNode(TStream& stream, TTreeNode* node, int depth);
    void WriteNode(TStream& stream, TTreeNode* node);
    void FreeNode(TTreeNode* node) noexcept;
    void ReleaseGraveyard() noexcept;

    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    std::vector<TTreeNode*> FGraveyard;  // nodes whose items the window deleted by itself
    int FUpdateCount = 0;
    bool FReading = false;
};

// ---- TCustomTreeView ---------------------------------------------------------

class TCustomTreeView : public TWinControl {
    GCL_CLASS(TCustomTreeView, TWinControl)
public:
    TTreeNodes* GetItems() const noexcept { return FItems.get(); }
    void SetItems(TTreeNodes* value);
    // The node with the focus (the caret).
    TTreeNode* GetSelected();
    void SetSelected(TTreeNode* value);
    TTreeNode* GetTopItem();
    void SetTopItem(TTreeNode* value);
    TTreeNode* GetDropTarget();
    void SetDropTarget(TTreeNode* value);

    // Multiple selection.
    bool GetMultiSelect() const noexcept { return FMultiSelect; }
    void SetMultiSelect(bool value);
    TMultiSelectStyle GetMultiSelectStyle() const noexcept { return FMultiSelectStyle; }
    void SetMultiSelectStyle(TMultiSelectStyle value) noexcept { FMultiSelectStyle = value; }
    int GetSelectionCount();
    TTreeNode* GetSelections(int index);
    // Selects node as a click with these keys would: ssCtrl toggles it in
    // the selection, ssShift selects the range from the last anchor; no
    // key selects it alone. The node becomes the caret.
    void Select(TTreeNode* node, TShiftState shift = {});
    // Adds node to the selection without moving the caret.
    void Subselect(TTreeNode* node, bool validate = false);
    void Deselect(TTreeNode* node);
    void ClearSelection(bool keepPrimary = false);

    bool GetAutoExpand() const noexcept { return FAutoExpand; }
    void SetAutoExpand(bool value);
    bool GetHideSelection() const noexcept { return FHideSelection; }
    void SetHideSelection(bool value);
    bool GetHotTrack() const noexcept { return FHotTrack; }
    void SetHotTrack(bool value);
    bool GetRowSelect() const noexcept { return FRowSelect; }
    void SetRowSelect(bool value);
    bool GetShowButtons() const noexcept { return FShowButtons; }
    void SetShowButtons(bool value);
    bool GetShowLines() const noexcept { return FShowLines; }
    void SetShowLines(bool value);
    bool GetShowRoot() const noexcept { return FShowRoot; }
    void SetShowRoot(bool value);
    bool GetReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool value);
    bool GetToolTips() const noexcept { return FToolTips; }
    // The window's tooltip (the full text of a cut node) is made when the
    // mouse first moves over the tree, not with the window: no window is
    // made at start for a tooltip nobody has seen yet.
    void SetToolTips(bool value);
    int GetIndent();
    void SetIndent(int value);
    TSortType GetSortType() const noexcept { return FSortType; }
    // A type other than stNone sorts now.
    void SetSortType(TSortType value);
    TCustomImageList* GetImages() const noexcept { return FImages.Get(); }
    void SetImages(TCustomImageList* value);
    TCustomImageList* GetStateImages() const noexcept { return FStateImages.Get(); }
    void SetStateImages(TCustomImageList* value);
    using TWinControl::GetBorderStyle;
    using TWinControl::SetBorderStyle;

    // The node at a client point, or null (also below the last node).
    TTreeNode* GetNodeAt(int x, int y);
    // Sorts the roots (and, with recurse, all children) by text or
    // OnCompare.
    bool AlphaSort(bool recurse = true);
    // Sorts with sortProc (null: DefaultTreeViewSort), data handed to it.
    bool CustomSort(PFNTVCOMPARE sortProc, LPARAM data, bool recurse = true);
    void FullExpand();
    void FullCollapse();
    // Label editing.
    bool IsEditing();
    HWND GetEditHandle();
    // The node that will be selected once the node being deleted is gone
    // (null when no deletion runs or the deleted node was not selected).
    TTreeNode* GetNextNodeToSelect() const noexcept { return FNextNodeToSelect; }

    // Under dmAutomatic a press goes to the window, which reports a drag
    // (TVN_BEGINDRAG) once the mouse moves with the button down.
    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void SetDragMode(TDragMode value) override;

    TTVChangedEvent OnAddition;
    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVChangedEvent OnCancelEdit;
    TTVExpandedEvent OnCollapsed;
    TTVCollapsingEvent OnCollapsing;
    TTVCompareEvent OnCompare;
    TTVExpandedEvent OnDeletion;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnExpanded;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TCustomTreeView(TComponent* owner);
    ~TCustomTreeView() override;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* component, TOperation operation) override;

    // The node and nodes classes: descendants return their own.
    virtual TTreeNode* CreateNode();
    virtual TTreeNodes* CreateNodes();
    // Orders siblings while there is no window (a window sorts itself,
    // through TVM_SORTCHILDRENCB): a stable sort by sortProc.
    virtual void SortSiblings(std::vector<TTreeNode*>& siblings, PFNTVCOMPARE sortProc, LPARAM data);
    // The reflected WM_NOTIFY, handled by its ANSI codes.
    virtual void CNNotify(TMessage& message);

    virtual bool CanEdit(TTreeNode* node);
    virtual bool CanChange(TTreeNode* node);
    virtual bool CanExpand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Change(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    // A node was added (OnAddition) or is about to go (OnDeletion).
    virtual void Added(TTreeNode* node);
    virtual void Delete(TTreeNode* node);
    // The end of label editing: item.pszText null means cancelled.
    virtual void Edit(const TVITEMA& item);
    virtual void GetImageIndex(TTreeNode* node);
    virtual void GetSelectedIndex(TTreeNode* node);
    // The node of a notification's item: its lParam, else by its handle.
    TTreeNode* NodeFromItem(const TVITEMA& item) const;

private:
    friend class TTreeNode;
    friend class TTreeNodes;

    void InsertItem(TTreeNode* node);
    void InsertItems(TTreeNode* node);
    void RemoveItem(TTreeNode* node);
    void ForgetItems(TTreeNode* node) noexcept;
    void SaveItemStates(TTreeNode* node);
    void SortChildren(TTreeNode* parent, PFNTVCOMPARE sortProc, LPARAM data, bool recurse);
    void TakeWindowOrder(TTreeNode* parent);
    void NodeDeleted(TTreeNode* node) noexcept;
    void NodeTextChanged(TTreeNode* node);
    void NodeDataChanged(TTreeNode* node);
    void NodeAdded(TTreeNode* node);
    void ApplySelectionStates();
    void SelectByUser(TTreeNode* node, TShiftState shift);
    // Whether the second press of a double click at a client point lands
    // where a press would choose a node that is not chosen.
    bool DoubleClickIsPress(TPoint pos);
    void SetStyleBit(DWORD bit, bool on);
    // Stores a flag property and mirrors it in the window style: the bit is
    // on while the flag equals bitWhenSet. False when nothing changed.
    bool SetStyleFlag(bool& field, bool value, DWORD bit, bool bitWhenSet = true);
    void ImagesChanged(TObject* sender);
    void UpdateImages();

    std::unique_ptr<TTreeNodes> FItems;
    std::unique_ptr<TChangeLink> FImageChangeLink;
    TComponentRef<TCustomImageList> FImages;
    TComponentRef<TCustomImageList> FStateImages;
    std::vector<TTreeNode*> FSelections;
    std::unordered_set<TTreeNode*> FShownSelected;  // the nodes the last selection pass marked
    TTreeNode* FSelectedNode = nullptr;   // the caret while there is no window
    TTreeNode* FTopNode = nullptr;        // the top item while there is no window
    TTreeNode* FShiftAnchor = nullptr;
    TTreeNode* FNextNodeToSelect = nullptr;
    TTreeNode* FDropTargetNode = nullptr;
    TMultiSelectStyle FMultiSelectStyle{msControlSelect};
    TSortType FSortType = stNone;
    int FIndent = 19;
    bool FMultiSelect = false;
    bool FAutoExpand = false;
    bool FHideSelection = true;
    bool FHotTrack = false;
    bool FRowSelect = false;
    bool FShowButtons = true;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FReadOnly = false;
    bool FToolTips = true;
    bool FToolTipsMade = false;       // the window's tooltip is made (on the first mouse move)
    bool FDestroyingWindow = false;   // items going with the window
    bool FInternalDelete = false;     // items the tree view deletes itself
    bool FRestoring = false;          // state put back into a new window
    bool FSelecting = false;          // a selection made by the tree view
    bool FManualExpand = false;       // an expansion the tree view reports itself
    bool FEditingLabel = false;       // between the start and the end of label editing
    bool FLabelEditAsked = false;     // a label edit asked for in code (TTreeNode::EditText)
};

class TTreeView : public TCustomTreeView {
    GCL_CLASS(TTreeView, TCustomTreeView)
protected:
    explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// ---- TDateTimePicker -------------------------------------------------------------

GCL_ENUM(TDateTimeKind, dtkDate, dtkTime)
GCL_ENUM(TDTDateFormat, dfShort, dfLong)

// A date or time field with a drop-down calendar ("SysDateTimePick32").
// The value lives in the component; Date is the whole days, Time the
// fraction. Pressing F4 (Perform(WM_KEYDOWN, VK_F4) too) drops the
// calendar down.
//
// The dropped calendar takes its keys from the picker, whatever the
// system's calendar does with them: Left and Right move the date a day,
// Up and Down a week, Page Up and Page Down a month; Enter closes the
// calendar and reaches the picker as its own Enter (OnKeyDown), Escape
// closes it and puts back the date it opened with, Tab, F4 and Alt+Up or
// Down close it. The calendar closes when the picker stops showing (its
// window or a parent is hidden), so no calendar outlives its field.
class TDateTimePicker : public TWinControl {
    GCL_CLASS(TDateTimePicker, TWinControl)
public:
    double GetDate();
    void SetDate(double value);
    double GetTime();
    void SetTime(double value);
    double GetDateTime();
    void SetDateTime(double value);
    TDateTimeKind GetKind() const noexcept { return FKind; }
    void SetKind(TDateTimeKind value);
    TDTDateFormat GetDateFormat() const noexcept { return FDateFormat; }
    void SetDateFormat(TDTDateFormat value);
    // A custom display format (DTM_SETFORMAT); empty: the standard one.
    const std::string& GetFormat() const noexcept { return FFormat; }
    void SetFormat(const std::string& value);
    // 0: no limit.
    double GetMinDate() const noexcept { return FMinDate; }
    void SetMinDate(double value);
    double GetMaxDate() const noexcept { return FMaxDate; }
    void SetMaxDate(double value);
    bool GetShowCheckbox() const noexcept { return FShowCheckbox; }
    void SetShowCheckbox(bool value);
    bool GetChecked();
    void SetChecked(bool value);
    bool GetDroppedDown() const noexcept { return FDroppedDown; }
    // Drops the calendar down (or closes it).
    void SetDroppedDown(bool value);
    // The calendar window while dropped down, else null.
    HWND GetCalendarHandle();

    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    explicit TDateTimePicker(TComponent* owner);

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();

private:
    friend LRESULT CALLBACK PickerCalendarWndProc(HWND, UINT, WPARAM, LPARAM);

    void ReadValue();
    void WriteValue();
    void WriteRange();
    void ClickDropButton();
    void HookCalendar();
    void UnhookCalendar() noexcept;
    // A key typed in the dropped calendar; true when the picker took it.
    bool CalendarKey(WPARAM key, bool alt);
    void MoveCalendarDate(double date);
    void CloseCalendar(bool focusPicker);

    HWND FCalendar = nullptr;
    WNDPROC FCalendarDefProc = nullptr;
    double FDropDate = 0;
    // The picker's format as its dropped calendar writes today's date,
    // empty while the calendar keeps the system's form.
    std::wstring FCalendarTodayFormat;

    double FDateTime = 0;
    double FMinDate = 0;
    double FMaxDate = 0;
    std::string FFormat;
    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    bool FShowCheckbox = false;
    bool FChecked = true;
    bool FDroppedDown = false;
};

// ---- TStatusBar --------------------------------------------------------------------

GCL_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
    GCL_CLASS(TStatusPanel, TCollectionItem)
public:
    const std::string& GetText() const noexcept { return FText; }
    void SetText(const std::string& value);
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int value);
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);
    TStatusPanelBevel GetBevel() const noexcept { return FBevel; }
    void SetBevel(TStatusPanelBevel value);
    void Assign(TPersistent* source) override;

protected:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

private:
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
    GCL_CLASS(TStatusPanels, TCollection)
public:
    explicit TStatusPanels(TStatusBar* statusBar);
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* GetItem(int index) const { return static_cast<TStatusPanel*>(GetItems(index)); }
    TPersistent* GetOwner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* FStatusBar;
};

// A status bar ("msctls_statusbar32") with panels, or one simple text.
class TStatusBar : public TWinControl {
    GCL_CLASS(TStatusBar, TWinControl)
public:
    TStatusPanels* GetPanels() const noexcept { return FPanels.get(); }
    void SetPanels(TStatusPanels* value);
    bool GetSimplePanel() const noexcept { return FSimplePanel; }
    void SetSimplePanel(bool value);
    const std::string& GetSimpleText() const noexcept { return FSimpleText; }
    void SetSimpleText(const std::string& value);
    bool GetSizeGrip() const noexcept { return FSizeGrip; }
    void SetSizeGrip(bool value);
    // Shows the panels again (the collection calls it on changes).
    void UpdatePanels();

protected:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    std::string FSimpleText;
    bool FSimplePanel = false;
    bool FSizeGrip = true;
};

extern TUnit ComCtrlsUnit;

} // namespace gcl
