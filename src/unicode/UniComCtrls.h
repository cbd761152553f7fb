// The Unicode tree view: the class library's tree view with wide node
// texts.
//
// Each TUniTreeNode keeps a wide text beside the 8-bit one of the class
// library's node (a synced wide string: when 8-bit code changes the 8-bit
// text, the wide one follows it). On the NT family the window is a Unicode
// "SysTreeView32" that sends its notifications in their wide forms:
// TVN_GETDISPINFOW hands the window the wide node texts, label editing
// ends with the wide text in the wide OnEdited (or the 8-bit one,
// converted), and a sort with the class library's default comparison is
// done with lstrcmpW of the wide texts instead. On 9x everything takes the
// class library's 8-bit road.
//
// The node stream "Utf8Data"
// --------------------------
// Beside the class library's "Data" (8-bit texts), the nodes stream
// themselves as the binary property "Utf8Data": an Int32 count of root
// nodes, then each node followed at once by its children (depth first) as
// a record of Int32 Size (25 + L), the Int32 ImageIndex, SelectedIndex,
// StateIndex, OverlayIndex, Data and child Count, a length byte L and L
// bytes of text: EF BB BF and the UTF-8 form of the node's text, cut at a
// character boundary so that the L bytes are at most 255. A record whose
// text lacks the mark is read as 8-bit text. A short or damaged stream
// raises EReadError; the nodes read until then stay.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "gcl/ComCtrls.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"
#include "unicode/UniClasses.h"

namespace qelvo {

class TUniTreeNode;
class TUniTreeNodes;
class TUniCustomTreeView;

namespace msg {
inline constexpr const char* NodeClassError =
    "Internal Error: OnCreateNodeClass.ItemClass must inherit from TUniTreeNode.";
} // namespace msg

// The node classes are made by class reference with the collection as
// their constructor argument (see TUniCustomTreeView::OnCreateNodeClass).
using TUniTreeNodeMetaClass = gcl::TClassOf<TUniTreeNode, gcl::TMetaClass, gcl::TTreeNodes*>;

// The end of a label edit with the wide text, which the handler may change.
using TUniTVEditedEvent = gcl::TEvent<void(gcl::TObject* Sender, TUniTreeNode* Node, std::wstring& S)>;
// Asked for the class of each new node; the class must descend from
// TUniTreeNode.
using TUniTVCreateNodeClassEvent = gcl::TEvent<void(gcl::TObject* Sender, gcl::TClass& NodeClass)>;

// ---- TUniTreeNode -----------------------------------------------------------------

class TUniTreeNode : public gcl::TTreeNode {
    GCL_CLASS_META(TUniTreeNode, gcl::TTreeNode, TUniTreeNodeMetaClass)
public:
    explicit TUniTreeNode(gcl::TTreeNodes* owner) : gcl::TTreeNode(owner) {}

    // The wide text; it follows the 8-bit text when 8-bit code changed that.
    std::wstring GetText() const;
    // Keeps Value and gives the class library its 8-bit form.
    void SetText(const std::wstring& value);
    // The class library's 8-bit setter (the wide text follows it).
    using gcl::TTreeNode::SetText;
    // The wide text as kept, without looking at the 8-bit one.
    const std::wstring& GetWideText() const noexcept { return FWideText; }

    // The class library's copy, then (unless this node is being deleted)
    // the wide text of a TUniTreeNode source.
    void Assign(gcl::TPersistent* source) override;

    // The class library's navigation, typed.
    TUniTreeNode* GetItem(int index) const;
    TUniTreeNode* GetNext() const noexcept;
    TUniTreeNode* GetNextSibling() const noexcept;
    TUniTreeNode* GetPrevSibling() const noexcept;
    TUniTreeNodes* GetNodes() const noexcept;
    TUniCustomTreeView* GetTreeView() const noexcept;

private:
    friend class TUniCustomTreeView;
    mutable std::wstring FWideText;
};

// ---- TUniTreeNodes ----------------------------------------------------------------

class TUniTreeNodes : public gcl::TTreeNodes {
    GCL_CLASS(TUniTreeNodes, gcl::TTreeNodes)
public:
    explicit TUniTreeNodes(gcl::TCustomTreeView* owner) : gcl::TTreeNodes(owner) {}

    // After the last sibling of Sibling (null: at the end of the roots),
    // without data, then the wide text is given.
    TUniTreeNode* Add(TUniTreeNode* sibling, const std::wstring& s);
    // The last child of Parent (null: a root), then the wide text.
    TUniTreeNode* AddChild(TUniTreeNode* parent, const std::wstring& s);

    // The node by absolute index (EListError outside).
    TUniTreeNode* GetItem(int absoluteIndex) const;
    TUniTreeNode* GetNodeFromIndex(int absoluteIndex) const { return GetItem(absoluteIndex); }
    TUniTreeNode* GetFirstNode() const noexcept;
    // The node of a window item, or null.
    TUniTreeNode* GetNode(HTREEITEM itemId) const;

    // Assign is the class library's: it copies node by node through each
    // node's Assign, so the wide texts arrive whole (never cut to the size
    // of a stream record).

    // Clears List, then adds the wide text of every node in absolute order.
    void GetNodesText(TWideStrings* list) const;

    // The "Utf8Data" stream (see the top of this file).
    void ReadUtf8Data(gcl::TStream& stream);
    void WriteUtf8Data(gcl::TStream& stream);

    // The wide text of any node: its own for a TUniTreeNode, else the
    // 8-bit text converted.
    static std::wstring WideTextOf(const gcl::TTreeNode* node);

protected:
    // The class library's "Data", then "Utf8Data": written when there are
    // nodes; against an ancestor, when the counts differ or a node at the
    // same absolute index differs in wide text or data.
    void DefineProperties(gcl::TFiler& filer) override;

private:
    void ReadUtf8Node(gcl::TStream& stream, TUniTreeNode* node, int depth);
    void WriteUtf8Node(gcl::TStream& stream, gcl::TTreeNode* node);
    bool Utf8DataDiffers(gcl::TPersistent* ancestor) const;
};

// The text of a "Utf8Data" record for Text: the mark EF BB BF and the
// UTF-8 form of the longest start of Text (at most 255 UTF-16 units,
// never half a surrogate pair) that fits in 255 bytes with the mark.
std::string Utf8NodeRecordText(const std::wstring& text);

// ---- The tree views ---------------------------------------------------------------

// Reaches the parts of the class library's tree view the Unicode one
// types: the node that will be selected after a deletion.
class _UniInternalCustomTreeView : public gcl::TCustomTreeView {
    GCL_CLASS(_UniInternalCustomTreeView, gcl::TCustomTreeView)
public:
    TUniTreeNode* FindNextToSelect() const noexcept;

protected:
    explicit _UniInternalCustomTreeView(gcl::TComponent* owner) : gcl::TCustomTreeView(owner) {}
};

class TUniCustomTreeView : public _UniInternalCustomTreeView {
    GCL_CLASS(TUniCustomTreeView, _UniInternalCustomTreeView)
public:
    TUniTreeNodes* GetItems() const noexcept;
    // Copies Value's nodes (Assign).
    void SetItems(TUniTreeNodes* value);
    TUniTreeNode* GetSelected();
    TUniTreeNode* GetSelections(int index);
    // The node at a client point, or null.
    TUniTreeNode* GetNodeAt(int x, int y);

    // The wide hint (kept by the control's companion on NT).
    std::wstring GetHint();
    void SetHint(const std::wstring& value);
    bool IsHintStored();

    void WndProc(gcl::TMessage& message) override;
    void Dispatch(gcl::TMessage& message) override;

    // The wide end of a label edit; when unset the class library's 8-bit
    // OnEdited is called with the text converted both ways.
    TUniTVEditedEvent OnEdited;
    TUniTVCreateNodeClassEvent OnCreateNodeClass;

protected:
    explicit TUniCustomTreeView(gcl::TComponent* owner);
    ~TUniCustomTreeView() override;

    void CreateWindowHandle(const gcl::TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DefineProperties(gcl::TFiler& filer) override;
    gcl::TTreeNode* CreateNode() override;
    gcl::TTreeNodes* CreateNodes() override;
    // Without a window the class library's default order is the wide one
    // too.
    void SortSiblings(std::vector<gcl::TTreeNode*>& siblings, PFNTVCOMPARE sortProc, LPARAM data) override;
    void CNNotify(gcl::TMessage& message) override;
    // A wide action gives its wide caption and hint.
    void ActionChange(gcl::TObject* sender, bool checkDefaults) override;
    gcl::TBasicActionLinkClass GetActionLinkClass() const override;

private:
    static LRESULT CALLBACK EditorWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT EditorMessage(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);
    void HookEditor(HWND editor);
    void UnhookEditor() noexcept;
    void EndLabelEdit(NMTVDISPINFOW& info);
    void GetDispInfo(NMTVDISPINFOW& info);
    bool NeedTextW(gcl::TMessage& message);
    void SortChildrenW(gcl::TMessage& message);
    void RestoreSavedTexts();

    // The wide texts of the nodes while there is no window (absolute
    // order), and the sort type held meanwhile.
    std::unique_ptr<TUniStringList> FSavedNodeText;
    gcl::TSortType FSavedSortType = gcl::stNone;
    // The in-place editor while it runs through EditorWndProc.
    HWND FEditHandle = nullptr;
    WNDPROC FPrevEditWndProc = nullptr;
    bool FCapturingDefaultCompare = false;
    bool FEditingLabel = false;  // between the start and the end of a wide label edit
};

class TUniTreeView : public TUniCustomTreeView {
    GCL_CLASS(TUniTreeView, TUniCustomTreeView)
protected:
    explicit TUniTreeView(gcl::TComponent* owner) : TUniCustomTreeView(owner) {}
};

// Registers TUniTreeView for form streams while it is initialised.
extern gcl::TUnit UniComCtrlsUnit;

} // namespace qelvo
