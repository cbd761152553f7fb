#include "gcl/ComCtrls.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "gcl/DragDrop.h"
#include "gcl/Forms.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Scopes.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/TypInfo.h"

namespace gcl {

namespace msg {
inline constexpr const char* InsertItemError = "Unable to insert an item";
inline constexpr const char* MultiSelectRequired = "Multiselect mode must be on for this feature";
inline constexpr const char* DateTimeMax = "Date exceeds maximum of %s";
inline constexpr const char* DateTimeMin = "Date is less than minimum of %s";
} // namespace msg

namespace {

// Deeper node streams are refused: a hostile stream could otherwise
// exhaust the stack.
constexpr int kMaxNodeDepth = 4096;
// The largest node record: six Int32 fields, the length byte, 255 bytes.
constexpr int32_t kMaxNodeRecord = 24 + 1 + 255;

void CheckListIndex(int index, int count) {
    if (index < 0 || index >= count) throw EListError(Format(msg::ListIndexError, {index}));
}

int32_t ReadInt32(TStream& stream) {
    int32_t value = 0;
    stream.ReadBuffer(&value, sizeof value);
    return value;
}

void WriteInt32(TStream& stream, int32_t value) { stream.WriteBuffer(&value, sizeof value); }

// Visits node and its descendants, parents first.
template <class F>
void ForSubtree(TTreeNode* node, F visit) {
    visit(node);
    for (int i = 0; i < node->GetCount(); ++i) ForSubtree(node->GetItem(i), visit);
}

// Visits descendants before node.
template <class F>
void ForSubtreePostOrder(TTreeNode* node, F visit) {
    for (int i = 0; i < node->GetCount(); ++i) ForSubtreePostOrder(node->GetItem(i), visit);
    visit(node);
}

} // namespace

int CALLBACK DefaultTreeViewSort(LPARAM node1, LPARAM node2, LPARAM data) {
    auto* n1 = reinterpret_cast<TTreeNode*>(node1);
    auto* n2 = reinterpret_cast<TTreeNode*>(node2);
    if (!n1 || !n2) return 0;
    TCustomTreeView* tree = n1->GetTreeView();
    int result = 0;
    GCL_GUARD(tree, {
        if (tree && tree->OnCompare)
            tree->OnCompare(tree, n1, n2, static_cast<intptr_t>(data), result);
        else
            result = lstrcmpA(n1->GetText().c_str(), n2->GetText().c_str());
    });
    return result;
}

// ---- TTreeNode ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTreeNode)

TTreeNode::TTreeNode(TTreeNodes* owner) : FOwner(owner) {}

TTreeNode::~TTreeNode() = default;

TPersistent* TTreeNode::GetOwner() const { return FOwner; }

TCustomTreeView* TTreeNode::GetTreeView() const noexcept { return FOwner ? FOwner->GetOwnerView() : nullptr; }

HWND TTreeNode::GetHandle() const noexcept {
    TCustomTreeView* tree = GetTreeView();
    return tree && tree->HandleAllocated() ? tree->GetWindowHandle() : nullptr;
}

void TTreeNode::UpdateItem(UINT mask) {
    TCustomTreeView* tree = GetTreeView();
    if (!FItemId || !tree || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = FItemId;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    tree->Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
}

void TTreeNode::SetText(const std::string& value) {
    if (value == FText) return;
    FText = value;
    UpdateItem(TVIF_TEXT);
    if (TCustomTreeView* tree = GetTreeView()) tree->NodeTextChanged(this);
}

void TTreeNode::SetData(void* value) {
    if (value == FData) return;
    FData = value;
    if (TCustomTreeView* tree = GetTreeView()) tree->NodeDataChanged(this);
}

// The window asks for a node's images each time it draws it; during an
// update of the nodes it draws nothing, and the update's end repaints it
// whole, so it is told of no new image then (each word to the window
// about one item costs it a search among all items on some systems).
void TTreeNode::SetImageIndex(int value) {
    if (value == FImageIndex) return;
    FImageIndex = value;
    if (FOwner && FOwner->GetUpdateCount() > 0) return;
    UpdateItem(TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
    if (value == FSelectedIndex) return;
    FSelectedIndex = value;
    if (FOwner && FOwner->GetUpdateCount() > 0) return;
    UpdateItem(TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int value) {
    value = std::max(value, -1);
    if (value == FStateIndex) return;
    FStateIndex = value;
    TCustomTreeView* tree = GetTreeView();
    if (!FItemId || !tree || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = FItemId;
    item.stateMask = TVIS_STATEIMAGEMASK;
    item.state = value > 0 ? INDEXTOSTATEIMAGEMASK(value) : 0;
    tree->Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
}

void TTreeNode::SetOverlayIndex(int value) {
    value = std::max(value, -1);
    if (value == FOverlayIndex) return;
    FOverlayIndex = value;
    TCustomTreeView* tree = GetTreeView();
    if (!FItemId || !tree || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = FItemId;
    item.stateMask = TVIS_OVERLAYMASK;
    item.state = INDEXTOOVERLAYMASK(value + 1);
    tree->Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
}

void TTreeNode::SetCut(bool value) {
    if (value == FCut) return;
    FCut = value;
    TCustomTreeView* tree = GetTreeView();
    if (!FItemId || !tree || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = FItemId;
    item.stateMask = TVIS_CUT;
    item.state = value ? TVIS_CUT : 0;
    tree->Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
}

void TTreeNode::SetHasChildren(bool value) {
    if (value == FHasChildren) return;
    FHasChildren = value;
    TCustomTreeView* tree = GetTreeView();
    if (!FItemId || !tree || !tree->HandleAllocated()) return;
    TVITEMA item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = FItemId;
    item.cChildren = GetHasChildren() ? 1 : 0;
    tree->Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
}

TTreeNode* TTreeNode::GetItem(int index) const {
    CheckListIndex(index, GetCount());
    return FChildren[static_cast<size_t>(index)];
}

int TTreeNode::IndexOf(const TTreeNode* child) const noexcept {
    auto it = std::find(FChildren.begin(), FChildren.end(), child);
    return it == FChildren.end() ? -1 : static_cast<int>(it - FChildren.begin());
}

const std::vector<TTreeNode*>& TTreeNode::Siblings() const noexcept {
    return FParent ? FParent->FChildren : FOwner->FRoots;
}

size_t TTreeNode::Place() const noexcept {
    const std::vector<TTreeNode*>& list = Siblings();
    if (FPlaceHint < list.size() && list[FPlaceHint] == this) return FPlaceHint;
    // The list changed since (a node added, deleted, moved or sorted).
    for (size_t i = 0; i < list.size(); ++i) list[i]->FPlaceHint = i;
    return FPlaceHint < list.size() && list[FPlaceHint] == this ? FPlaceHint : list.size();
}

int TTreeNode::GetIndex() const noexcept {
    const size_t place = Place();
    return place < Siblings().size() ? static_cast<int>(place) : -1;
}

int TTreeNode::GetAbsoluteIndex() const noexcept {
    int index = 0;
    for (const TTreeNode* node = GetPrev(); node; node = node->GetPrev()) ++index;
    return index;
}

int TTreeNode::GetLevel() const noexcept {
    int level = 0;
    for (const TTreeNode* node = FParent; node; node = node->FParent) ++level;
    return level;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const noexcept {
    if (!node) return false;
    for (const TTreeNode* p = FParent; p; p = p->FParent)
        if (p == node) return true;
    return false;
}

TTreeNode* TTreeNode::GetFirstChild() const noexcept { return FChildren.empty() ? nullptr : FChildren.front(); }

TTreeNode* TTreeNode::GetLastChild() const noexcept { return FChildren.empty() ? nullptr : FChildren.back(); }

TTreeNode* TTreeNode::GetNextSibling() const noexcept {
    const std::vector<TTreeNode*>& list = Siblings();
    const size_t place = Place();
    return place + 1 < list.size() ? list[place + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const noexcept {
    const std::vector<TTreeNode*>& list = Siblings();
    const size_t place = Place();
    return place < list.size() && place > 0 ? list[place - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const noexcept {
    if (!FChildren.empty()) return FChildren.front();
    for (const TTreeNode* node = this; node; node = node->FParent)
        if (TTreeNode* next = node->GetNextSibling()) return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const noexcept {
    TTreeNode* node = GetPrevSibling();
    if (!node) return FParent;
    while (!node->FChildren.empty()) node = node->FChildren.back();
    return node;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* child) const noexcept {
    return child && child->FParent == this ? child->GetNextSibling() : nullptr;
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* child) const noexcept {
    return child && child->FParent == this ? child->GetPrevSibling() : nullptr;
}

TTreeNode* TTreeNode::GetNextVisible() const noexcept {
    if (!FChildren.empty() && GetExpanded()) return FChildren.front();
    for (const TTreeNode* node = this; node; node = node->FParent)
        if (TTreeNode* next = node->GetNextSibling()) return next;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const noexcept {
    TTreeNode* node = GetPrevSibling();
    if (!node) return FParent;
    while (!node->FChildren.empty() && node->GetExpanded()) node = node->FChildren.back();
    return node;
}

bool TTreeNode::IsVisible() const noexcept {
    for (const TTreeNode* p = FParent; p; p = p->FParent)
        if (!p->GetExpanded()) return false;
    return true;
}

bool TTreeNode::GetExpanded() const noexcept {
    TCustomTreeView* tree = GetTreeView();
    if (FItemId && tree && tree->HandleAllocated()) {
        auto state = static_cast<UINT>(
            SendMessageA(tree->GetWindowHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED));
        return (state & TVIS_EXPANDED) != 0;
    }
    return FExpanded;
}

void TTreeNode::SetExpanded(bool value) {
    if (value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
    TCustomTreeView* tree = GetTreeView();
    if (!GetExpanded() && !FChildren.empty() && tree && tree->CanExpand(this)) {
        FExpanded = true;
        if (FItemId && tree->HandleAllocated()) {
            TFlagScope manual(tree->FManualExpand);
            tree->Perform(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<intptr_t>(FItemId));
        }
        tree->Expand(this);
    }
    if (recurse) {
        std::vector<TTreeNode*> children = FChildren;
        for (TTreeNode* child : children) child->Expand(true);
    }
}

void TTreeNode::Collapse(bool recurse) {
    TCustomTreeView* tree = GetTreeView();
    if (GetExpanded() && tree && tree->CanCollapse(this)) {
        FExpanded = false;
        if (FItemId && tree->HandleAllocated()) {
            TFlagScope manual(tree->FManualExpand);
            tree->Perform(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<intptr_t>(FItemId));
        }
        tree->Collapse(this);
    }
    if (recurse) {
        std::vector<TTreeNode*> children = FChildren;
        for (TTreeNode* child : children) child->Collapse(true);
    }
}

bool TTreeNode::GetSelected() const noexcept {
    TCustomTreeView* tree = GetTreeView();
    if (!tree) return false;
    if (tree->FMultiSelect)
        return std::find(tree->FSelections.begin(), tree->FSelections.end(), this) != tree->FSelections.end();
    return GetFocused();
}

void TTreeNode::SetSelected(bool value) {
    TCustomTreeView* tree = GetTreeView();
    if (!tree || value == GetSelected()) return;
    if (tree->FMultiSelect) {
        if (value)
            tree->Subselect(this);
        else
            tree->Deselect(this);
        return;
    }
    if (value)
        tree->SetSelected(this);
    else if (tree->GetSelected() == this)
        tree->SetSelected(nullptr);
}

bool TTreeNode::GetFocused() const noexcept {
    TCustomTreeView* tree = GetTreeView();
    if (!tree) return false;
    if (FItemId && tree->HandleAllocated())
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree->GetWindowHandle(), TVM_GETNEXTITEM, TVGN_CARET, 0)) ==
               FItemId;
    return tree->FSelectedNode == this;
}

bool TTreeNode::GetDropTarget() const noexcept {
    TCustomTreeView* tree = GetTreeView();
    return tree && tree->FDropTargetNode == this;
}

void TTreeNode::SetDropTarget(bool value) {
    TCustomTreeView* tree = GetTreeView();
    if (!tree) return;
    if (value)
        tree->SetDropTarget(this);
    else if (tree->FDropTargetNode == this)
        tree->SetDropTarget(nullptr);
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
    if (destination == this || (destination && destination->HasAsParent(this))) return;
    if (destination && destination->FOwner != FOwner) return;
    TCustomTreeView* tree = GetTreeView();
    // Where the node goes.
    TTreeNode* newParent = nullptr;
    if (destination) newParent = (mode == naAddChild || mode == naAddChildFirst) ? destination : destination->FParent;
    // What it keeps.
    bool hasWindow = tree && tree->HandleAllocated() && FItemId;
    TTreeNode* caret = tree ? tree->GetSelected() : nullptr;
    bool caretInside = caret && (caret == this || caret->HasAsParent(this));
    // The window's own selection changes while the items move are not
    // reported.
    std::unique_ptr<TFlagScope> quiet;
    if (tree) quiet = std::make_unique<TFlagScope>(tree->FRestoring);
    if (hasWindow) {
        tree->SaveItemStates(this);
        tree->RemoveItem(this);
    }
    std::vector<TTreeNode*>& oldList = FOwner->Siblings(FParent);
    oldList.erase(std::remove(oldList.begin(), oldList.end(), this), oldList.end());
    std::vector<TTreeNode*>& newList = FOwner->Siblings(newParent);
    int index = static_cast<int>(newList.size());
    switch (mode) {
    case naAddFirst:
    case naAddChildFirst:
        index = 0;
        break;
    case naInsert:
        if (destination) index = destination->GetIndex();
        break;
    default:
        break;
    }
    index = std::clamp(index, 0, static_cast<int>(newList.size()));
    newList.insert(newList.begin() + index, this);
    FPlaceHint = static_cast<size_t>(index);
    FParent = newParent;
    if (tree && tree->HandleAllocated()) {
        tree->InsertItems(this);
        if (caretInside && caret->FItemId) {
            tree->Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<intptr_t>(caret->FItemId));
        }
        tree->ApplySelectionStates();
    }
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!FChildren.empty()) FOwner->Delete(FChildren.back());
}

void TTreeNode::Assign(TPersistent* source) {
    if (auto* node = dynamic_cast<TTreeNode*>(source)) {
        SetText(node->FText);
        SetData(node->FData);
        SetImageIndex(node->FImageIndex);
        SetSelectedIndex(node->FSelectedIndex);
        SetStateIndex(node->FStateIndex);
        SetOverlayIndex(node->FOverlayIndex);
        SetHasChildren(node->FHasChildren);
        SetCut(node->FCut);
        return;
    }
    inherited::Assign(source);
}

bool TTreeNode::EditText() {
    TCustomTreeView* tree = GetTreeView();
    if (!tree) return false;
    tree->HandleNeeded();
    if (!FItemId) return false;
    TFlagScope asked(tree->FLabelEditAsked);
    return tree->Perform(TVM_EDITLABELA, 0, reinterpret_cast<intptr_t>(FItemId)) != 0;
}

void TTreeNode::EndEdit(bool cancel) {
    TCustomTreeView* tree = GetTreeView();
    if (tree && tree->HandleAllocated()) tree->Perform(TVM_ENDEDITLABELNOW, cancel ? 1 : 0);
}

void TTreeNode::MakeVisible() {
    TCustomTreeView* tree = GetTreeView();
    if (FItemId && tree && tree->HandleAllocated()) {
        tree->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<intptr_t>(FItemId));
        return;
    }
    for (TTreeNode* p = FParent; p; p = p->FParent) p->FExpanded = true;
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    TCustomTreeView* tree = GetTreeView();
    RECT r{};
    if (FItemId && tree && tree->HandleAllocated()) {
        HTREEITEM item = FItemId;
        std::memcpy(&r, &item, sizeof item);
        if (!SendMessageA(tree->GetWindowHandle(), TVM_GETITEMRECT, textOnly ? 1 : 0, reinterpret_cast<LPARAM>(&r)))
            r = RECT{};
    }
    return FromRECT(r);
}

bool TTreeNode::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

bool TTreeNode::CustomSort(PFNTVCOMPARE sortProc, LPARAM data, bool recurse) {
    TCustomTreeView* tree = GetTreeView();
    if (!tree) return false;
    tree->SortChildren(this, sortProc, data, recurse);
    return true;
}

// ---- TTreeNodes ---------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TTreeNodes)

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : FOwner(owner) {}

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* node : FRoots) FreeNode(node);
    FRoots.clear();
    ReleaseGraveyard();
}

TPersistent* TTreeNodes::GetOwner() const { return FOwner; }

HWND TTreeNodes::GetHandle() const noexcept {
    return FOwner && FOwner->HandleAllocated() ? FOwner->GetWindowHandle() : nullptr;
}

void TTreeNodes::FreeNode(TTreeNode* node) noexcept {
    for (TTreeNode* child : node->FChildren) FreeNode(child);
    node->FChildren.clear();
    delete node;
}

void TTreeNodes::ReleaseGraveyard() noexcept {
    std::vector<TTreeNode*> graveyard;
    graveyard.swap(FGraveyard);
    for (TTreeNode* node : graveyard) FreeNode(node);
}

int TTreeNodes::GetCount() const noexcept {
    int count = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++count;
    return count;
}

TTreeNode* TTreeNodes::GetItem(int absoluteIndex) const {
    if (absoluteIndex >= 0) {
        int index = 0;
        for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext(), ++index)
            if (index == absoluteIndex) return node;
    }
    throw EListError(Format(msg::ListIndexError, {absoluteIndex}));
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM itemId) const {
    if (!itemId || !FOwner || !FOwner->HandleAllocated()) return nullptr;
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = itemId;
    if (!FOwner->Perform(TVM_GETITEMA, 0, reinterpret_cast<intptr_t>(&item))) return nullptr;
    return reinterpret_cast<TTreeNode*>(item.lParam);
}

TTreeNode* TTreeNodes::AddNode(TTreeNode* parent, int index, const std::string& s, void* data) {
    ReleaseGraveyard();
    TTreeNode* node = FOwner->CreateNode();
    node->FOwner = this;
    node->FText = s;
    node->FData = data;
    node->FParent = parent;
    std::vector<TTreeNode*>& list = Siblings(parent);
    if (index < 0 || index > static_cast<int>(list.size())) index = static_cast<int>(list.size());
    list.insert(list.begin() + index, node);
    node->FPlaceHint = static_cast<size_t>(index);
    try {
        FOwner->InsertItem(node);
    } catch (...) {
        list.erase(std::remove(list.begin(), list.end(), node), list.end());
        delete node;
        throw;
    }
    FOwner->NodeAdded(node);
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& s) { return AddObject(sibling, s, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& s, void* data) {
    return AddNode(sibling ? sibling->FParent : nullptr, -1, s, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& s) { return AddObjectFirst(sibling, s, nullptr); }

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* sibling, const std::string& s, void* data) {
    return AddNode(sibling ? sibling->FParent : nullptr, 0, s, data);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& s) { return AddChildObject(parent, s, nullptr); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& s, void* data) {
    return AddNode(parent, -1, s, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& s) {
    return AddChildObjectFirst(parent, s, nullptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* parent, const std::string& s, void* data) {
    return AddNode(parent, 0, s, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& s) { return InsertObject(sibling, s, nullptr); }

TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& s, void* data) {
    if (!sibling) return AddNode(nullptr, -1, s, data);
    return AddNode(sibling->FParent, sibling->GetIndex(), s, data);
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node || node->FDeleting || node->FOwner != this) return;
    ReleaseGraveyard();
    TCustomTreeView* tree = FOwner;
    TTreeNode* caret = tree->GetSelected();
    bool caretInside = caret && (caret == node || caret->HasAsParent(node));
    TTreeNode* previousNext = tree->FNextNodeToSelect;
    TTreeNode* next = nullptr;
    if (caretInside) {
        next = node->GetNextSibling();
        if (!next) next = node->GetPrevSibling();
        if (!next) next = node->FParent;
    }
    tree->FNextNodeToSelect = next;
    ForSubtree(node, [](TTreeNode* n) { n->FDeleting = true; });
    try {
        ForSubtreePostOrder(node, [&](TTreeNode* n) { tree->Delete(n); });
    } catch (...) {
        // The nodes go anyway; the error is reported after.
        tree->RemoveItem(node);
        std::vector<TTreeNode*>& list = Siblings(node->FParent);
        list.erase(std::remove(list.begin(), list.end(), node), list.end());
        ForSubtree(node, [&](TTreeNode* n) { tree->NodeDeleted(n); });
        FreeNode(node);
        tree->FNextNodeToSelect = previousNext;
        throw;
    }
    tree->RemoveItem(node);
    std::vector<TTreeNode*>& list = Siblings(node->FParent);
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
    ForSubtree(node, [&](TTreeNode* n) { tree->NodeDeleted(n); });
    FreeNode(node);
    if (caretInside && next) {
        if (tree->HandleAllocated()) {
            if (!tree->Perform(TVM_GETNEXTITEM, TVGN_CARET, 0)) tree->SetSelected(next);
        } else {
            tree->FSelectedNode = next;
        }
    }
    tree->FNextNodeToSelect = previousNext;
    tree->ApplySelectionStates();
}

void TTreeNodes::Clear() {
    ReleaseGraveyard();
    if (FRoots.empty()) return;
    TCustomTreeView* tree = FOwner;
    TUpdateGuard<TTreeNodes> update(*this);
    std::vector<TTreeNode*> roots = FRoots;
    for (TTreeNode* root : roots) ForSubtree(root, [](TTreeNode* n) { n->FDeleting = true; });
    std::exception_ptr error;
    for (TTreeNode* root : roots) {
        try {
            ForSubtreePostOrder(root, [&](TTreeNode* n) { tree->Delete(n); });
        } catch (...) {
            if (!error) error = std::current_exception();
        }
    }
    if (tree->HandleAllocated()) {
        TFlagScope internal(tree->FInternalDelete);
        tree->Perform(TVM_DELETEITEM, 0, reinterpret_cast<intptr_t>(TVI_ROOT));
    }
    FRoots.clear();
    for (TTreeNode* root : roots) {
        ForSubtree(root, [&](TTreeNode* n) { tree->NodeDeleted(n); });
        FreeNode(root);
    }
    if (error) std::rethrow_exception(error);
}

void TTreeNodes::BeginUpdate() {
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) FOwner->Perform(WM_SETREDRAW, 0);
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0 && FOwner->HandleAllocated()) {
        FOwner->Perform(WM_SETREDRAW, 1);
        FOwner->Invalidate();
    }
}

void TTreeNodes::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TTreeNodes*>(source);
    if (!other) {
        inherited::Assign(source);
        return;
    }
    if (other == this) return;
    TUpdateGuard<TTreeNodes> update(*this);
    Clear();
    struct TCopier {
        TTreeNodes* Target;
        void Copy(TTreeNode* from, TTreeNode* parent) {
            TTreeNode* node = Target->AddNode(parent, -1, from->GetText(), from->GetData());
            node->Assign(from);
            for (int i = 0; i < from->GetCount(); ++i) Copy(from->GetItem(i), node);
        }
    } copier{this};
    for (TTreeNode* root : other->FRoots) copier.Copy(root, nullptr);
}

bool TTreeNodes::Equals(const TTreeNodes& other) const {
    TTreeNode* a = GetFirstNode();
    TTreeNode* b = other.GetFirstNode();
    while (a && b) {
        if (a->GetText() != b->GetText() || a->GetData() != b->GetData()) return false;
        a = a->GetNext();
        b = b->GetNext();
    }
    return !a && !b;
}

void TTreeNodes::DefineProperties(TFiler& filer) {
    inherited::DefineProperties(filer);
    bool hasData;
    if (auto* ancestor = dynamic_cast<TTreeNodes*>(filer.GetAncestor()))
        hasData = !Equals(*ancestor);
    else
        hasData = !FRoots.empty();
    filer.DefineBinaryProperty("Data", TStreamProc(this, &TTreeNodes::ReadData),
                               TStreamProc(this, &TTreeNodes::WriteData), hasData);
}

void TTreeNodes::WriteNode(TStream& stream, TTreeNode* node) {
    const std::string& text = node->GetText();
    const int length = static_cast<int>(std::min<size_t>(text.size(), 255));
    WriteInt32(stream, 24 + 1 + length);
    WriteInt32(stream, node->GetImageIndex());
    WriteInt32(stream, node->GetSelectedIndex());
    WriteInt32(stream, node->GetStateIndex());
    WriteInt32(stream, node->GetOverlayIndex());
    WriteInt32(stream, static_cast<int32_t>(reinterpret_cast<intptr_t>(node->GetData())));
    WriteInt32(stream, node->GetCount());
    const uint8_t lengthByte = static_cast<uint8_t>(length);
    stream.WriteBuffer(&lengthByte, 1);
    if (length > 0) stream.WriteBuffer(text.data(), length);
    for (TTreeNode* child : node->FChildren) WriteNode(stream, child);
}

void TTreeNodes::WriteData(TStream& stream) {
    WriteInt32(stream, static_cast<int32_t>(FRoots.size()));
    for (TTreeNode* root : FRoots) WriteNode(stream, root);
}

void TTreeNodes::ReadNode(TStream& stream, TTreeNode* node, int depth) {
    if (depth > kMaxNodeDepth) throw EReadError(msg::ReadError);
    const int32_t size = ReadInt32(stream);
    if (size < 25 || size > kMaxNodeRecord) throw EReadError(msg::ReadError);
    uint8_t record[kMaxNodeRecord];
    stream.ReadBuffer(record, size);
    int32_t fields[6];
    std::memcpy(fields, record, sizeof fields);
    const int length = record[24];
    if (25 + length > size) throw EReadError(msg::ReadError);
    const int32_t count = fields[5];
    if (count < 0) throw EReadError(msg::ReadError);
    node->SetText(std::string(reinterpret_cast<const char*>(record + 25), static_cast<size_t>(length)));
    node->SetImageIndex(fields[0]);
    node->SetSelectedIndex(fields[1]);
    node->SetStateIndex(fields[2]);
    node->SetOverlayIndex(fields[3]);
    node->FData = reinterpret_cast<void*>(static_cast<intptr_t>(fields[4]));
    for (int32_t i = 0; i < count; ++i) {
        // Each child needs at least its Size field and a minimal record.
        stream.CheckAvailable(4 + 25);
        ReadNode(stream, AddNode(node, -1, std::string(), nullptr), depth + 1);
    }
}

void TTreeNodes::ReadData(TStream& stream) {
    TFlagScope reading(FReading);
    TUpdateGuard<TTreeNodes> update(*this);
    Clear();
    const int32_t count = ReadInt32(stream);
    if (count < 0) throw EReadError(msg::ReadError);
    for (int32_t i = 0; i < count; ++i) {
        stream.CheckAvailable(4 + 25);
        ReadNode(stream, AddNode(nullptr, -1, std::string(), nullptr), 0);
    }
}

// ---- TCustomTreeView -------------------------------------------------------------------

namespace {

// The tree window sets its scroll bars at the end of every paint and asks
// for a redraw even when nothing changed; under Wine each such redraw draws
// the themed bar again (milliseconds), so repainting one row of a tree (a
// focus change, a new selection, hot tracking) cost as much as a bar. The
// common controls' calls of SetScrollInfo are routed through
// KeptSetScrollInfo, which for a tree view's window passes a redraw on only
// for a bar whose range, page or position is not already what is asked: the
// same bar drawn again would show the same pixels. The one other change of
// a bar's look, the window enabled or disabled, redraws the tree's frame
// (WM_ENABLE in TCustomTreeView::Dispatch); other windows' calls pass as
// they are.
using TSetScrollInfo = int(WINAPI*)(HWND, int, LPCSCROLLINFO, BOOL);
TSetScrollInfo SystemSetScrollInfo = &::SetScrollInfo;

bool HoldsScrollInfo(HWND wnd, int bar, const SCROLLINFO& wanted) {
    SCROLLINFO now{};
    now.cbSize = sizeof now;
    now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (!GetScrollInfo(wnd, bar, &now)) return false;
    if ((wanted.fMask & SIF_RANGE) && (now.nMin != wanted.nMin || now.nMax != wanted.nMax)) return false;
    if ((wanted.fMask & SIF_PAGE) && now.nPage != wanted.nPage) return false;
    return !(wanted.fMask & SIF_POS) || now.nPos == wanted.nPos;
}

int WINAPI KeptSetScrollInfo(HWND wnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
    if (redraw && info && (bar == SB_VERT || bar == SB_HORZ) && !(info->fMask & SIF_DISABLENOSCROLL) &&
        dynamic_cast<TCustomTreeView*>(FindControl(wnd)) && HoldsScrollInfo(wnd, bar, *info))
        return GetScrollPos(wnd, bar);
    return SystemSetScrollInfo(wnd, bar, info, redraw);
}

// The module that holds the window class Name (a common control's), or null.
HMODULE ModuleOfClass(const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    HMODULE module = nullptr;
    if (!GetClassInfoExW(nullptr, name, &wc) ||
        !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(wc.lpfnWndProc), &module))
        return nullptr;
    return module;
}

// Points Module's import slots of the function Name at Replacement: the
// slots its name table names so, whichever library it is imported from
// (the common controls may take it from another library than this program
// does), and the slots that hold System, this program's own import of it.
template <class F>
bool RouteImport(HMODULE module, const char* name, F system, F replacement) {
    if (!module) return false;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return false;
    const auto names = [&](const IMAGE_THUNK_DATA* entry) {
        if (IMAGE_SNAP_BY_ORDINAL(entry->u1.Ordinal)) return false;
        const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + entry->u1.AddressOfData);
        return std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0;
    };
    bool routed = false;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        const auto* entry =
            d->OriginalFirstThunk ? reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk) : nullptr;
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function;
             ++slot, entry = entry ? entry + 1 : nullptr) {
            if (slot->u1.Function != reinterpret_cast<uintptr_t>(system) && !(entry && names(entry))) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection))
                continue;
            slot->u1.Function = reinterpret_cast<uintptr_t>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            routed = true;
        }
    }
    return routed;
}

// Routes the common controls' calls of SetScrollInfo through
// KeptSetScrollInfo; once per process, on the first tree window.
void KeepTreeScrollBars() {
    [[maybe_unused]] static const bool routed =
        RouteImport(ModuleOfClass(WC_TREEVIEWW), "SetScrollInfo", SystemSetScrollInfo, &KeptSetScrollInfo);
}

} // namespace

GCL_IMPLEMENT_CLASS(TCustomTreeView)

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner),
      FItems(std::make_unique<TTreeNodes>(this)),
      FImageChangeLink(std::make_unique<TChangeLink>()) {
    FImageChangeLink->OnChange = TNotifyEvent(this, &TCustomTreeView::ImagesChanged);
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetParentColor(false);
    SetBorderStyle(bsSingle);
}

TCustomTreeView::~TCustomTreeView() = default;

void TCustomTreeView::AfterConstruction() {
    // Descendants choose their own node collection here (CreateNodes is
    // virtual, so the constructor cannot ask).
    if (TTreeNodes* nodes = CreateNodes(); nodes && nodes != FItems.get()) FItems.reset(nodes);
    inherited::AfterConstruction();
}

void TCustomTreeView::BeforeDestruction() noexcept {
    // The window goes without any node events; the nodes go with FItems.
    inherited::BeforeDestruction();
}

TTreeNode* TCustomTreeView::CreateNode() { return new TTreeNode(FItems.get()); }

TTreeNodes* TCustomTreeView::CreateNodes() { return new TTreeNodes(this); }

void TCustomTreeView::SetItems(TTreeNodes* value) { FItems->Assign(value); }

void TCustomTreeView::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, WC_TREEVIEWA);
    if (FShowLines) params.Style |= TVS_HASLINES;
    if (FShowRoot) params.Style |= TVS_LINESATROOT;
    if (FShowButtons) params.Style |= TVS_HASBUTTONS;
    if (!FReadOnly) params.Style |= TVS_EDITLABELS;
    if (!FHideSelection) params.Style |= TVS_SHOWSELALWAYS;
    if (FHotTrack) params.Style |= TVS_TRACKSELECT;
    // The tooltip comes with the first mouse move (MakeToolTips).
    params.Style |= TVS_NOTOOLTIPS;
    if (FRowSelect) params.Style |= TVS_FULLROWSELECT;
    if (FAutoExpand) params.Style |= TVS_SINGLEEXPAND;
    if (GetDragMode() == dmManual) params.Style |= TVS_DISABLEDRAGDROP;
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::CreateWnd() {
    FToolTipsMade = false;
    inherited::CreateWnd();
    KeepTreeScrollBars();
    TFlagScope restoring(FRestoring);
    Perform(TVM_SETINDENT, static_cast<uintptr_t>(FIndent));
    UpdateImages();
    if (GetColor() != clWindow) Perform(TVM_SETBKCOLOR, 0, static_cast<intptr_t>(ColorToRGB(GetColor())));
    if (GetFont()->GetColor() != clWindowText)
        Perform(TVM_SETTEXTCOLOR, 0, static_cast<intptr_t>(ColorToRGB(GetFont()->GetColor())));
    {
        TUpdateGuard<TTreeNodes> update(*FItems);
        for (TTreeNode* root : FItems->FRoots) InsertItems(root);
    }
    if (FSelectedNode && FSelectedNode->FItemId)
        Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<intptr_t>(FSelectedNode->FItemId));
    if (FTopNode && FTopNode->FItemId)
        Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<intptr_t>(FTopNode->FItemId));
    if (FDropTargetNode && FDropTargetNode->FItemId)
        Perform(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<intptr_t>(FDropTargetNode->FItemId));
    FSelectedNode = nullptr;
    FTopNode = nullptr;
    ApplySelectionStates();
}

void TCustomTreeView::DestroyWnd() {
    if (HandleAllocated()) {
        for (TTreeNode* root : FItems->FRoots) SaveItemStates(root);
        FSelectedNode = GetSelected();
        FTopNode = GetTopItem();
    }
    {
        TFlagScope destroying(FDestroyingWindow);
        inherited::DestroyWnd();
    }
    for (TTreeNode* root : FItems->FRoots) ForgetItems(root);
}

// Only a node with children is asked whether it is open (the state the
// next window takes over): asking the window about every node costs it a
// search among all items per node on some systems.
void TCustomTreeView::SaveItemStates(TTreeNode* node) {
    if (node->FItemId && !node->FChildren.empty() && HandleAllocated()) {
        auto state = static_cast<UINT>(
            Perform(TVM_GETITEMSTATE, reinterpret_cast<uintptr_t>(node->FItemId), TVIS_EXPANDED | TVIS_CUT));
        node->FExpanded = (state & TVIS_EXPANDED) != 0;
    }
    for (TTreeNode* child : node->FChildren) SaveItemStates(child);
}

void TCustomTreeView::ForgetItems(TTreeNode* node) noexcept {
    node->FItemId = nullptr;
    for (TTreeNode* child : node->FChildren) ForgetItems(child);
}

void TCustomTreeView::InsertItem(TTreeNode* node) {
    if (!HandleAllocated() || node->FItemId) return;
    if (node->FParent && !node->FParent->FItemId) return;
    TVINSERTSTRUCTA insert{};
    insert.hParent = node->FParent ? node->FParent->FItemId : TVI_ROOT;
    // A node that ends its level goes last without naming the item before
    // it, which the window would have to search for among all its items.
    TTreeNode* previous = node->GetPrevSibling();
    if (!node->GetNextSibling() && previous && previous->FItemId)
        insert.hInsertAfter = TVI_LAST;
    else
        insert.hInsertAfter = previous && previous->FItemId ? previous->FItemId : TVI_FIRST;
    TVITEMA& item = insert.item;
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(node);
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK | TVIS_CUT;
    item.state = (node->FStateIndex > 0 ? INDEXTOSTATEIMAGEMASK(node->FStateIndex) : 0) |
                 INDEXTOOVERLAYMASK(node->FOverlayIndex + 1) | (node->FCut ? TVIS_CUT : 0);
    if (node->FHasChildren) {
        item.mask |= TVIF_CHILDREN;
        item.cChildren = 1;
    }
    auto handle = reinterpret_cast<HTREEITEM>(Perform(TVM_INSERTITEMA, 0, reinterpret_cast<intptr_t>(&insert)));
    if (!handle) throw EOutOfResources(msg::InsertItemError);
    node->FItemId = handle;
}

void TCustomTreeView::InsertItems(TTreeNode* node) {
    InsertItem(node);
    for (TTreeNode* child : node->FChildren) InsertItems(child);
    if (node->FExpanded && !node->FChildren.empty() && node->FItemId) {
        TFlagScope quiet(FManualExpand);
        Perform(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<intptr_t>(node->FItemId));
    }
}

void TCustomTreeView::RemoveItem(TTreeNode* node) {
    if (node->FItemId && HandleAllocated()) {
        TFlagScope internal(FInternalDelete);
        Perform(TVM_DELETEITEM, 0, reinterpret_cast<intptr_t>(node->FItemId));
    }
    ForgetItems(node);
}

void TCustomTreeView::NodeDeleted(TTreeNode* node) noexcept {
    FSelections.erase(std::remove(FSelections.begin(), FSelections.end(), node), FSelections.end());
    FShownSelected.erase(node);
    if (FShiftAnchor == node) FShiftAnchor = nullptr;
    if (FSelectedNode == node) FSelectedNode = nullptr;
    if (FTopNode == node) FTopNode = nullptr;
    if (FDropTargetNode == node) FDropTargetNode = nullptr;
    if (FNextNodeToSelect == node) FNextNodeToSelect = nullptr;
}

void TCustomTreeView::NodeAdded(TTreeNode* node) {
    Added(node);
    if (FSortType != stNone && !FItems->FReading) SortChildren(node->FParent, nullptr, 0, false);
}

void TCustomTreeView::NodeTextChanged(TTreeNode* node) {
    if ((FSortType == stText || FSortType == stBoth) && !FItems->FReading && !node->FDeleting)
        SortChildren(node->FParent, nullptr, 0, false);
}

void TCustomTreeView::NodeDataChanged(TTreeNode* node) {
    if ((FSortType == stData || FSortType == stBoth) && OnCompare && !FItems->FReading && !node->FDeleting)
        SortChildren(node->FParent, nullptr, 0, false);
}

// ---- Sorting

void TCustomTreeView::SortChildren(TTreeNode* parent, PFNTVCOMPARE sortProc, LPARAM data, bool recurse) {
    if (!sortProc) sortProc = &DefaultTreeViewSort;
    std::vector<TTreeNode*>& list = FItems->Siblings(parent);
    if (HandleAllocated() && (!parent || parent->FItemId)) {
        TVSORTCB sort{};
        sort.hParent = parent ? parent->FItemId : TVI_ROOT;
        sort.lpfnCompare = sortProc;
        sort.lParam = data;
        Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<intptr_t>(&sort));
        TakeWindowOrder(parent);
    } else if (list.size() > 1) {
        SortSiblings(list, sortProc, data);
    }
    if (recurse) {
        std::vector<TTreeNode*> children = list;
        for (TTreeNode* child : children) SortChildren(child, sortProc, data, true);
    }
}

void TCustomTreeView::SortSiblings(std::vector<TTreeNode*>& siblings, PFNTVCOMPARE sortProc, LPARAM data) {
    std::stable_sort(siblings.begin(), siblings.end(), [&](TTreeNode* a, TTreeNode* b) {
        return sortProc(reinterpret_cast<LPARAM>(a), reinterpret_cast<LPARAM>(b), data) < 0;
    });
}

// The order the window now shows becomes the order of the nodes.
void TCustomTreeView::TakeWindowOrder(TTreeNode* parent) {
    std::vector<TTreeNode*>& list = FItems->Siblings(parent);
    std::vector<TTreeNode*> order;
    auto item = reinterpret_cast<HTREEITEM>(
        parent ? Perform(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<intptr_t>(parent->FItemId))
               : Perform(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        TTreeNode* node = FItems->GetNode(item);
        if (!node) return;
        order.push_back(node);
        item = reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<intptr_t>(item)));
    }
    if (order.size() == list.size() && std::is_permutation(order.begin(), order.end(), list.begin())) list = order;
}

bool TCustomTreeView::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

bool TCustomTreeView::CustomSort(PFNTVCOMPARE sortProc, LPARAM data, bool recurse) {
    SortChildren(nullptr, sortProc, data, recurse);
    return true;
}

void TCustomTreeView::SetSortType(TSortType value) {
    if (value == FSortType) return;
    FSortType = value;
    if (value != stNone) AlphaSort(true);
}

// ---- Selection

TTreeNode* TCustomTreeView::GetSelected() {
    if (HandleAllocated()) {
        auto item = reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET, 0));
        return FItems->GetNode(item);
    }
    return FSelectedNode;
}

void TCustomTreeView::SetSelected(TTreeNode* value) {
    if (FMultiSelect) {
        FSelections.clear();
        if (value) FSelections.push_back(value);
        FShiftAnchor = value;
    }
    if (HandleAllocated()) {
        TFlagScope selecting(FSelecting);
        Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<intptr_t>(value ? value->FItemId : nullptr));
        ApplySelectionStates();
    } else {
        FSelectedNode = value;
    }
}

int TCustomTreeView::GetSelectionCount() {
    if (FMultiSelect) return static_cast<int>(FSelections.size());
    return GetSelected() ? 1 : 0;
}

TTreeNode* TCustomTreeView::GetSelections(int index) {
    if (FMultiSelect) {
        CheckListIndex(index, static_cast<int>(FSelections.size()));
        return FSelections[static_cast<size_t>(index)];
    }
    TTreeNode* selected = GetSelected();
    CheckListIndex(index, selected ? 1 : 0);
    return selected;
}

void TCustomTreeView::SetMultiSelect(bool value) {
    if (value == FMultiSelect) return;
    TTreeNode* caret = GetSelected();
    if (value) {
        FMultiSelect = true;
        FSelections.clear();
        if (caret) FSelections.push_back(caret);
        FShiftAnchor = caret;
        ApplySelectionStates();
        return;
    }
    // Only the caret stays highlighted.
    FSelections.clear();
    if (caret) FSelections.push_back(caret);
    ApplySelectionStates();
    FSelections.clear();
    FShiftAnchor = nullptr;
    FMultiSelect = false;
}

void TCustomTreeView::SelectByUser(TTreeNode* node, TShiftState shift) {
    if (!node) return;
    bool control = shift.Contains(ssCtrl) && FMultiSelectStyle.Contains(msControlSelect);
    bool range = shift.Contains(ssShift) && FMultiSelectStyle.Contains(msShiftSelect) && FShiftAnchor;
    if (range) {
        TTreeNode* anchor = FShiftAnchor;
        bool visibleOnly = FMultiSelectStyle.Contains(msVisibleOnly);
        bool siblingOnly = FMultiSelectStyle.Contains(msSiblingOnly);
        int from = anchor->GetAbsoluteIndex();
        int to = node->GetAbsoluteIndex();
        TTreeNode* first = from <= to ? anchor : node;
        TTreeNode* last = from <= to ? node : anchor;
        std::vector<TTreeNode*> selection = control ? FSelections : std::vector<TTreeNode*>{};
        for (TTreeNode* n = first; n; n = visibleOnly ? n->GetNextVisible() : n->GetNext()) {
            bool take = (!siblingOnly || n->FParent == anchor->FParent) && (!visibleOnly || n->IsVisible());
            if (take && std::find(selection.begin(), selection.end(), n) == selection.end()) selection.push_back(n);
            if (n == last) break;
        }
        FSelections = std::move(selection);
    } else if (control) {
        auto it = std::find(FSelections.begin(), FSelections.end(), node);
        if (it == FSelections.end())
            FSelections.push_back(node);
        else
            FSelections.erase(it);
        FShiftAnchor = node;
    } else {
        FSelections.assign(1, node);
        FShiftAnchor = node;
    }
}

void TCustomTreeView::Select(TTreeNode* node, TShiftState shift) {
    if (!node) {
        ClearSelection();
        return;
    }
    if (!FMultiSelect) {
        SetSelected(node);
        return;
    }
    SelectByUser(node, shift);
    if (HandleAllocated()) {
        TFlagScope selecting(FSelecting);
        Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<intptr_t>(node->FItemId));
    } else {
        FSelectedNode = node;
    }
    ApplySelectionStates();
}

void TCustomTreeView::Subselect(TTreeNode* node, bool validate) {
    if (!FMultiSelect) {
        if (validate) throw EInvalidOperation(msg::MultiSelectRequired);
        return;
    }
    if (!node || std::find(FSelections.begin(), FSelections.end(), node) != FSelections.end()) return;
    FSelections.push_back(node);
    if (!GetSelected()) {
        if (HandleAllocated()) {
            TFlagScope selecting(FSelecting);
            Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<intptr_t>(node->FItemId));
        } else {
            FSelectedNode = node;
        }
    }
    ApplySelectionStates();
}

void TCustomTreeView::Deselect(TTreeNode* node) {
    if (!node) return;
    if (!FMultiSelect) {
        if (GetSelected() == node) SetSelected(nullptr);
        return;
    }
    FSelections.erase(std::remove(FSelections.begin(), FSelections.end(), node), FSelections.end());
    ApplySelectionStates();
}

void TCustomTreeView::ClearSelection(bool keepPrimary) {
    TTreeNode* caret = GetSelected();
    if (FMultiSelect) {
        FSelections.clear();
        if (keepPrimary && caret) FSelections.push_back(caret);
        ApplySelectionStates();
    }
    if (!keepPrimary && caret) SetSelected(nullptr);
}

// The selected nodes show as selected, the others not (the window itself
// knows only the caret). Only the nodes whose mark can be wrong are looked
// at: those marked at the last pass, those to be marked and the caret
// (the window marks the caret itself, and unmarks the one it leaves). A
// pass over every node asked the window about each, which costs it a
// search among all items on some systems: seconds over a long tree.
void TCustomTreeView::ApplySelectionStates() {
    if (!FMultiSelect || !HandleAllocated()) return;
    std::unordered_set<TTreeNode*> selected(FSelections.begin(), FSelections.end());
    std::vector<TTreeNode*> candidates(FShownSelected.begin(), FShownSelected.end());
    candidates.insert(candidates.end(), FSelections.begin(), FSelections.end());
    if (TTreeNode* caret = GetSelected()) candidates.push_back(caret);
    FShownSelected.clear();
    std::unordered_set<TTreeNode*> seen;
    for (TTreeNode* node : candidates) {
        if (!node->FItemId || !seen.insert(node).second) continue;
        bool want = selected.count(node) != 0;
        if (want) FShownSelected.insert(node);
        auto state = static_cast<UINT>(
            Perform(TVM_GETITEMSTATE, reinterpret_cast<uintptr_t>(node->FItemId), TVIS_SELECTED));
        if (((state & TVIS_SELECTED) != 0) == want) continue;
        TVITEMA item{};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = node->FItemId;
        item.stateMask = TVIS_SELECTED;
        item.state = want ? TVIS_SELECTED : 0;
        Perform(TVM_SETITEMA, 0, reinterpret_cast<intptr_t>(&item));
    }
}

TTreeNode* TCustomTreeView::GetTopItem() {
    if (HandleAllocated())
        return FItems->GetNode(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
    return FTopNode;
}

void TCustomTreeView::SetTopItem(TTreeNode* value) {
    if (HandleAllocated()) {
        if (value && value->FItemId) Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<intptr_t>(value->FItemId));
    } else {
        FTopNode = value;
    }
}

TTreeNode* TCustomTreeView::GetDropTarget() { return FDropTargetNode; }

void TCustomTreeView::SetDropTarget(TTreeNode* value) {
    FDropTargetNode = value;
    if (HandleAllocated())
        Perform(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<intptr_t>(value ? value->FItemId : nullptr));
}

// ---- Properties

void TCustomTreeView::SetStyleBit(DWORD bit, bool on) {
    if (!HandleAllocated()) return;
    DWORD style = static_cast<DWORD>(GetWindowLongA(GetHandle(), GWL_STYLE));
    DWORD updated = on ? (style | bit) : (style & ~bit);
    if (updated != style) SetWindowLongA(GetHandle(), GWL_STYLE, static_cast<LONG>(updated));
}

bool TCustomTreeView::SetStyleFlag(bool& field, bool value, DWORD bit, bool bitWhenSet) {
    if (value == field) return false;
    field = value;
    SetStyleBit(bit, value == bitWhenSet);
    return true;
}

void TCustomTreeView::SetAutoExpand(bool value) { SetStyleFlag(FAutoExpand, value, TVS_SINGLEEXPAND); }

void TCustomTreeView::SetHideSelection(bool value) {
    if (SetStyleFlag(FHideSelection, value, TVS_SHOWSELALWAYS, false)) Invalidate();
}

void TCustomTreeView::SetHotTrack(bool value) { SetStyleFlag(FHotTrack, value, TVS_TRACKSELECT); }

void TCustomTreeView::SetRowSelect(bool value) { SetStyleFlag(FRowSelect, value, TVS_FULLROWSELECT); }

void TCustomTreeView::SetShowButtons(bool value) { SetStyleFlag(FShowButtons, value, TVS_HASBUTTONS); }

void TCustomTreeView::SetShowLines(bool value) { SetStyleFlag(FShowLines, value, TVS_HASLINES); }

void TCustomTreeView::SetShowRoot(bool value) { SetStyleFlag(FShowRoot, value, TVS_LINESATROOT); }

void TCustomTreeView::SetReadOnly(bool value) { SetStyleFlag(FReadOnly, value, TVS_EDITLABELS, false); }

void TCustomTreeView::SetToolTips(bool value) { StoreAndRecreateWnd(FToolTips, value); }

void TCustomTreeView::SetDragMode(TDragMode value) {
    if (value == GetDragMode()) return;
    inherited::SetDragMode(value);
    SetStyleBit(TVS_DISABLEDRAGDROP, value == dmManual);
}

int TCustomTreeView::GetIndent() {
    if (HandleAllocated()) return static_cast<int>(Perform(TVM_GETINDENT));
    return FIndent;
}

void TCustomTreeView::SetIndent(int value) {
    value = std::max(value, 0);
    if (value == GetIndent()) return;
    FIndent = value;
    if (HandleAllocated()) Perform(TVM_SETINDENT, static_cast<uintptr_t>(value));
}

void TCustomTreeView::SetImages(TCustomImageList* value) {
    if (value == FImages.Get()) return;
    if (FImages) FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages = value;
    if (value) {
        value->RegisterChanges(FImageChangeLink.get());
        value->FreeNotification(this);
    }
    UpdateImages();
}

void TCustomTreeView::SetStateImages(TCustomImageList* value) {
    if (value == FStateImages.Get()) return;
    if (FStateImages) FStateImages->UnRegisterChanges(FImageChangeLink.get());
    FStateImages = value;
    if (value) {
        value->RegisterChanges(FImageChangeLink.get());
        value->FreeNotification(this);
    }
    UpdateImages();
}

void TCustomTreeView::ImagesChanged(TObject*) { UpdateImages(); }

void TCustomTreeView::UpdateImages() {
    if (!HandleAllocated()) return;
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<intptr_t>(FImages ? FImages->GetHandle() : nullptr));
    Perform(TVM_SETIMAGELIST, TVSIL_STATE,
            reinterpret_cast<intptr_t>(FStateImages ? FStateImages->GetHandle() : nullptr));
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FImages.Get() || component == FStateImages.Get()) {
        if (component == FImages.Get()) FImages = nullptr;
        if (component == FStateImages.Get()) FStateImages = nullptr;
        if (!GetComponentState().Contains(csDestroying)) UpdateImages();
    }
}

// ---- Queries and operations

bool TCustomTreeView::DoubleClickIsPress(TPoint pos) {
    if (!HandleAllocated()) return false;
    TVHITTESTINFO info{};
    info.pt = POINT{pos.X, pos.Y};
    auto item = reinterpret_cast<HTREEITEM>(Perform(TVM_HITTEST, 0, reinterpret_cast<intptr_t>(&info)));
    // Where a press chooses the node: its picture or label, or its whole
    // row when rows are chosen.
    const UINT choosing = TVHT_ONITEM | (FRowSelect ? TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT : 0);
    if (!item || !(info.flags & choosing)) return false;
    TTreeNode* node = FItems->GetNode(item);
    return node && node != GetSelected() && !(FMultiSelect && node->GetSelected());
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
    if (!HandleAllocated()) return nullptr;
    TVHITTESTINFO info{};
    info.pt = POINT{x, y};
    auto item = reinterpret_cast<HTREEITEM>(Perform(TVM_HITTEST, 0, reinterpret_cast<intptr_t>(&info)));
    if (!item || !(info.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)))
        return nullptr;
    return FItems->GetNode(item);
}

void TCustomTreeView::FullExpand() {
    std::vector<TTreeNode*> roots = FItems->FRoots;
    for (TTreeNode* root : roots) root->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    std::vector<TTreeNode*> roots = FItems->FRoots;
    for (TTreeNode* root : roots) root->Collapse(true);
}

bool TCustomTreeView::IsEditing() { return GetEditHandle() != nullptr; }

HWND TCustomTreeView::GetEditHandle() {
    if (!HandleAllocated()) return nullptr;
    return reinterpret_cast<HWND>(Perform(TVM_GETEDITCONTROL));
}

// ---- Steps

bool TCustomTreeView::CanEdit(TTreeNode* node) {
    // The window starts an edit of its own a moment after a click on the
    // chosen item, when the keyboard may have gone elsewhere since: the keys
    // typed there would go into the editor and rename the item. Such an edit
    // starts only while the keyboard is still here; one asked for in code
    // always may.
    if (!FLabelEditAsked && HandleAllocated() && ::GetFocus() != GetHandle()) return false;
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    return allow;
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    return allow;
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

void TCustomTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}

void TCustomTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

void TCustomTreeView::Added(TTreeNode* node) {
    if (OnAddition) OnAddition(this, node);
}

void TCustomTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

void TCustomTreeView::Edit(const TVITEMA& item) {
    TTreeNode* node = NodeFromItem(item);
    if (item.pszText) {
        std::string text = item.pszText;
        if (OnEdited) OnEdited(this, node, text);
        if (node) node->SetText(text);
    } else if (OnCancelEdit) {
        OnCancelEdit(this, node);
    }
}

void TCustomTreeView::GetImageIndex(TTreeNode* node) {
    if (OnGetImageIndex) OnGetImageIndex(this, node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* node) {
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
}

TTreeNode* TCustomTreeView::NodeFromItem(const TVITEMA& item) const {
    if (item.lParam) return reinterpret_cast<TTreeNode*>(item.lParam);
    return FItems->GetNode(item.hItem);
}

namespace {

bool HasWindowlessChildren(const TWinControl& control) {
    for (int i = 0; i < control.GetControlCount(); ++i)
        if (!dynamic_cast<const TWinControl*>(control.GetControls(i))) return true;
    return false;
}

} // namespace

// ---- Notifications

// The notifications that carry no text are taken in both their ANSI and
// their wide codes (a window switched to Unicode notifications sends the
// wide ones); the text-bearing ones in their ANSI codes only.
void TCustomTreeView::CNNotify(TMessage& message) {
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (!header) return;
    auto* tree = reinterpret_cast<NMTREEVIEWA*>(message.LParam);
    auto* info = reinterpret_cast<NMTVDISPINFOA*>(message.LParam);
    switch (header->code) {
    case TVN_GETDISPINFOA: {
        TTreeNode* node = NodeFromItem(info->item);
        if (!node) break;
        TVITEMA& item = info->item;
        if ((item.mask & TVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            size_t count = std::min(node->FText.size(), static_cast<size_t>(item.cchTextMax - 1));
            std::memcpy(item.pszText, node->FText.data(), count);
            item.pszText[count] = '\0';
        }
        if (item.mask & TVIF_IMAGE) {
            GetImageIndex(node);
            item.iImage = node->FImageIndex;
        }
        if (item.mask & TVIF_SELECTEDIMAGE) {
            GetSelectedIndex(node);
            item.iSelectedImage = node->FSelectedIndex;
        }
        break;
    }
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: {
        TTreeNode* node = NodeFromItem(tree->itemNew);
        if (FRestoring || (node && node->FDeleting)) break;
        message.Result = CanChange(node) ? 0 : 1;
        break;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        TTreeNode* node = NodeFromItem(tree->itemNew);
        if (FRestoring) break;
        if (FMultiSelect && !FSelecting && !FInternalDelete &&
            (tree->action == TVC_BYMOUSE || tree->action == TVC_BYKEYBOARD)) {
            SelectByUser(node, GetShiftState());
            ApplySelectionStates();
        }
        if (!node || !node->FDeleting) Change(node);
        break;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        TTreeNode* node = NodeFromItem(tree->itemNew);
        if (FRestoring || FManualExpand || !node) break;
        bool expanding = (tree->action & TVE_EXPAND) != 0;
        bool allow = expanding ? CanExpand(node) : CanCollapse(node);
        message.Result = allow ? 0 : 1;
        break;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
        TTreeNode* node = NodeFromItem(tree->itemNew);
        if (!node) break;
        bool expanded = (tree->action & TVE_EXPAND) != 0;
        node->FExpanded = expanded;
        if (FRestoring || FManualExpand) break;
        if (expanded)
            Expand(node);
        else
            Collapse(node);
        break;
    }
    case TVN_BEGINLABELEDITA: {
        TTreeNode* node = NodeFromItem(info->item);
        message.Result = (Dragging() || !CanEdit(node)) ? 1 : 0;
        FEditingLabel = message.Result == 0;
        break;
    }
    case TVN_ENDLABELEDITA:
        // One edit ends once: the window may report the end again when its
        // editor loses the focus while going away.
        if (!FEditingLabel) break;
        FEditingLabel = false;
        Edit(info->item);
        message.Result = 0;
        break;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: {
        auto* node = reinterpret_cast<TTreeNode*>(tree->itemOld.lParam);
        if (FDestroyingWindow || FInternalDelete || !node || node->FDeleting) break;
        // Someone else deleted the item: the node (with its children)
        // leaves the tree; it is freed once the window has finished.
        node->FItemId = nullptr;
        std::vector<TTreeNode*>& list = FItems->Siblings(node->FParent);
        auto it = std::find(list.begin(), list.end(), node);
        if (it == list.end()) break;
        list.erase(it);
        ForSubtree(node, [](TTreeNode* n) { n->FDeleting = true; });
        ForSubtree(node, [&](TTreeNode* n) { NodeDeleted(n); });
        FItems->FGraveyard.push_back(node);
        ForSubtreePostOrder(node, [&](TTreeNode* n) { Delete(n); });
        break;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: {
        TTreeNode* node = NodeFromItem(tree->itemNew);
        if (GetDragMode() == dmAutomatic && node) BeginDrag(false);
        break;
    }
    case NM_RCLICK: {
        // The context menu of a right click comes to the tree itself, at
        // the point of the click: some versions of the window send it to
        // the parent window instead, which knows nothing of the tree's
        // menu.
        const DWORD pos = GetMessagePos();
        Perform(WM_CONTEXTMENU, reinterpret_cast<uintptr_t>(GetHandle()),
                MAKELPARAM(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))));
        message.Result = 1;
        break;
    }
    default:
        break;
    }
}

void TCustomTreeView::WndProc(TMessage& message) {
    if (!DispatchOwnDragPress(message)) inherited::WndProc(message);
}

void TCustomTreeView::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        // The control makes its tooltip when the style asks for one again.
        if (FToolTips && !FToolTipsMade && HandleAllocated()) {
            FToolTipsMade = true;
            const HWND wnd = GetHandle();
            SetWindowLongA(wnd, GWL_STYLE, GetWindowLongA(wnd, GWL_STYLE) & ~static_cast<LONG>(TVS_NOTOOLTIPS));
        }
        break;
    case WM_ENABLE:
        inherited::Dispatch(message);
        // The scroll bars show the new state (see KeptSetScrollInfo).
        if (HandleAllocated()) RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return;
    case CN_NOTIFY:
        CNNotify(message);
        return;
    case CM_WANTSPECIALKEY:
        // Enter and Escape end label editing.
        if ((message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) && IsEditing()) {
            message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDBLCLK:
        // The second press of a double click on a node that is not chosen
        // (the tree scrolled or changed under the pointer since the first
        // press) is a press of its own: it chooses the node the user
        // points at, and the node chosen before gets no double click.
        if (!DoubleClickIsPress(LParamToPoint(message.LParam))) break;
        message.Msg = WM_LBUTTONDOWN;
        [[fallthrough]];
    case WM_LBUTTONDOWN: {
        TPoint pos = LParamToPoint(message.LParam);
        TTreeNode* clicked = GetNodeAt(pos.X, pos.Y);
        TTreeNode* caret = GetSelected();
        bool control = (message.WParam & MK_CONTROL) != 0;
        TComponentRef<TControl> alive(this);
        inherited::Dispatch(message);
        if (!alive) return;
        // A control-click on the caret toggles it: the window sends no
        // selection change for it, so the control tells of the change itself.
        if (FMultiSelect && control && clicked && clicked == caret && GetSelected() == caret &&
            FMultiSelectStyle.Contains(msControlSelect)) {
            SelectByUser(clicked, TShiftState{ssCtrl});
            ApplySelectionStates();
            Change(clicked);
            if (!alive) return;
        }
        // The window's own mouse tracking may take the button-up message:
        // then the control gets one of its own.
        MSG pending{};
        if (GetControlState().Contains(csLButtonDown) && GetAsyncKeyState(VK_LBUTTON) >= 0 && !Dragging() &&
            !PeekMessageA(&pending, GetHandle(), WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) {
            POINT p{};
            GetCursorPos(&p);
            ::ScreenToClient(GetHandle(), &p);
            if (!PtInRect(GetClientRect(), Point(p.x, p.y))) p = POINT{pos.X, pos.Y};
            Perform(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        }
        return;
    }
    case WM_CONTEXTMENU:
        // A menu asked for from the keyboard (-1, -1) belongs to the
        // focused node and opens at it, as if the node had been clicked on
        // the last line of its text: its handlers see the node's point, and
        // the menu comes just below the node, not at the client origin.
        if (message.Result == 0 && static_cast<short>(LOWORD(message.LParam)) == -1 &&
            static_cast<short>(HIWORD(message.LParam)) == -1 && HandleAllocated()) {
            if (TTreeNode* caret = GetSelected()) {
                caret->MakeVisible();
                const TRect text = caret->DisplayRect(true);
                if (!IsRectEmpty(text)) {
                    POINT at{text.Left, text.Bottom - 1};
                    ::ClientToScreen(GetHandle(), &at);
                    message.LParam = MAKELPARAM(static_cast<short>(at.x), static_cast<short>(at.y));
                }
            }
        }
        break;
    case WM_SYSKEYDOWN:
        // The tree uses no Alt keys, but Wine's tree window keeps them from
        // the default handling, which closes the window on Alt+F4 and
        // opens the menu on a tap of Alt or F10: they go there directly.
        if (!DoKeyDown(message) && HandleAllocated())
            message.Result = DefWindowProcA(GetHandle(), message.Msg, message.WParam, message.LParam);
        return;
    case WM_PAINT:
        // Given a DC, the tree window paints every visible item; beginning
        // the paint itself, only the items in the update region (a
        // selection change repaints two rows, not the whole tree).
        if (message.WParam == 0 && HandleAllocated() && !GetDoubleBuffered() && !HasWindowlessChildren(*this)) {
            DefaultHandler(message);
            return;
        }
        break;
    case CM_COLORCHANGED:
        inherited::Dispatch(message);
        if (HandleAllocated()) Perform(TVM_SETBKCOLOR, 0, static_cast<intptr_t>(ColorToRGB(GetColor())));
        return;
    case CM_FONTCHANGED:
        inherited::Dispatch(message);
        if (HandleAllocated())
            Perform(TVM_SETTEXTCOLOR, 0, static_cast<intptr_t>(ColorToRGB(GetFont()->GetColor())));
        return;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TTreeView,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(AutoExpand).Default(false),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(BorderStyle).Default(bsSingle),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(Ctl3D).Default(true),
    GCL_PROP(DragCursor).Default(crDrag),
    GCL_PROP(DragKind).Default(dkDrag),
    GCL_PROP(DragMode).Default(dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Font),
    GCL_PROP(HideSelection).Default(true),
    GCL_PROP(HotTrack).Default(false),
    GCL_PROP(Images),
    GCL_PROP(Indent).Default(19),
    GCL_PROP(Items),
    GCL_PROP(MultiSelect).Default(false),
    GCL_PROP(MultiSelectStyle).Default(TMultiSelectStyle{msControlSelect}),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentCtl3D).Default(true),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ReadOnly).Default(false),
    GCL_PROP(RowSelect).Default(false),
    GCL_PROP(ShowButtons).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(ShowLines).Default(true),
    GCL_PROP(ShowRoot).Default(true),
    GCL_PROP(SortType).Default(stNone),
    GCL_PROP(StateImages),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(ToolTips).Default(true),
    GCL_PROP(Visible).Default(true))

// ---- TDateTimePicker ----------------------------------------------------------------------

namespace {

SYSTEMTIME ToSystemTime(double value) {
    SYSTEMTIME st{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(msec);
    return st;
}

double FromSystemTime(const SYSTEMTIME& st) {
    double date = 0;
    double time = 0;
    if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) return 0;
    TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time);
    return date + time;
}

} // namespace

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 186, 21);
    SetTabStop(true);
    SetParentColor(false);
    FDateTime = Now();
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, DATETIMEPICK_CLASSA);
    if (FKind == dtkTime)
        params.Style |= DTS_TIMEFORMAT;
    else
        params.Style |= FDateFormat == dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
    if (FShowCheckbox) params.Style |= DTS_SHOWNONE;
}

void TDateTimePicker::CreateWnd() {
    inherited::CreateWnd();
    FDroppedDown = false;
    WriteRange();
    if (!FFormat.empty()) Perform(DTM_SETFORMATA, 0, reinterpret_cast<intptr_t>(FFormat.c_str()));
    WriteValue();
}

void TDateTimePicker::DestroyWnd() {
    ReadValue();
    UnhookCalendar();
    FDroppedDown = false;
    inherited::DestroyWnd();
}

void TDateTimePicker::ReadValue() {
    if (!HandleAllocated()) return;
    SYSTEMTIME st{};
    auto result = Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<intptr_t>(&st));
    if (result == GDT_VALID) {
        FDateTime = FromSystemTime(st);
        FChecked = true;
    } else if (result == GDT_NONE) {
        FChecked = false;
    }
}

void TDateTimePicker::WriteValue() {
    if (!HandleAllocated()) return;
    SYSTEMTIME st = ToSystemTime(FDateTime);
    Perform(DTM_SETSYSTEMTIME, FShowCheckbox && !FChecked ? GDT_NONE : GDT_VALID, reinterpret_cast<intptr_t>(&st));
}

void TDateTimePicker::WriteRange() {
    if (!HandleAllocated()) return;
    SYSTEMTIME range[2]{};
    DWORD flags = 0;
    if (FMinDate != 0) {
        range[0] = ToSystemTime(FMinDate);
        flags |= GDTR_MIN;
    }
    if (FMaxDate != 0) {
        range[1] = ToSystemTime(FMaxDate);
        flags |= GDTR_MAX;
    }
    Perform(DTM_SETRANGE, flags, reinterpret_cast<intptr_t>(range));
}

double TDateTimePicker::GetDateTime() {
    ReadValue();
    return FDateTime;
}

void TDateTimePicker::SetDateTime(double value) {
    if (FMaxDate != 0 && DateOf(value) > FMaxDate) throw EInvalidOperation(Format(msg::DateTimeMax, {DateToStr(FMaxDate)}));
    if (FMinDate != 0 && DateOf(value) < FMinDate) throw EInvalidOperation(Format(msg::DateTimeMin, {DateToStr(FMinDate)}));
    ReadValue();
    if (value == FDateTime) return;
    FDateTime = value;
    WriteValue();
}

double TDateTimePicker::GetDate() { return DateOf(GetDateTime()); }

void TDateTimePicker::SetDate(double value) {
    ReadValue();
    SetDateTime(DateOf(value) + TimeOf(FDateTime));
}

double TDateTimePicker::GetTime() { return TimeOf(GetDateTime()); }

void TDateTimePicker::SetTime(double value) {
    ReadValue();
    SetDateTime(DateOf(FDateTime) + TimeOf(value));
}

void TDateTimePicker::SetKind(TDateTimeKind value) { StoreAndRecreateWnd(FKind, value); }

void TDateTimePicker::SetDateFormat(TDTDateFormat value) { StoreAndRecreateWnd(FDateFormat, value); }

void TDateTimePicker::SetFormat(const std::string& value) {
    if (value == FFormat) return;
    FFormat = value;
    if (HandleAllocated()) Perform(DTM_SETFORMATA, 0, reinterpret_cast<intptr_t>(value.empty() ? nullptr : value.c_str()));
}

void TDateTimePicker::SetMinDate(double value) {
    if (value == FMinDate) return;
    FMinDate = value;
    WriteRange();
}

void TDateTimePicker::SetMaxDate(double value) {
    if (value == FMaxDate) return;
    FMaxDate = value;
    WriteRange();
}

void TDateTimePicker::SetShowCheckbox(bool value) { StoreAndRecreateWnd(FShowCheckbox, value); }

bool TDateTimePicker::GetChecked() {
    ReadValue();
    return FChecked;
}

void TDateTimePicker::SetChecked(bool value) {
    ReadValue();
    if (value == FChecked) return;
    FChecked = value;
    WriteValue();
}

HWND TDateTimePicker::GetCalendarHandle() {
    if (!FDroppedDown || !HandleAllocated()) return nullptr;
    return reinterpret_cast<HWND>(Perform(DTM_GETMONTHCAL));
}

// Presses the drop-down button: for a window that ignores F4.
void TDateTimePicker::ClickDropButton() {
    RECT client{};
    ::GetClientRect(GetHandle(), &client);
    int x = client.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 1;
    int y = (client.top + client.bottom) / 2;
    TMessage down = MakeMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    DefaultHandler(down);
    if (!HandleAllocated()) return;
    TMessage up = MakeMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    DefaultHandler(up);
}

void TDateTimePicker::SetDroppedDown(bool value) {
    if (value == FDroppedDown || FKind != dtkDate) return;
    HandleNeeded();
    if (value) {
        Perform(WM_KEYDOWN, VK_F4, 0);
        return;
    }
    HWND calendar = reinterpret_cast<HWND>(Perform(DTM_GETMONTHCAL));
    Perform(DTM_CLOSEMONTHCAL);
    // A window without that message closes its calendar at a click on the
    // button, which would open a closed one again.
    if (FDroppedDown && calendar && IsWindowVisible(calendar)) ClickDropButton();
    if (calendar && IsWindow(calendar) && IsWindowVisible(calendar)) ShowWindow(calendar, SW_HIDE);
    if (FDroppedDown) {
        // Closed without a word from the window.
        FDroppedDown = false;
        UnhookCalendar();
        CloseUp();
    }
}

// ---- The dropped calendar's keys and today line

namespace {

constexpr const char* PickerCalendarProp = "GclPickerOfCalendar";

// The calendar writes its "Today:" line in the system's short date form,
// whatever form the picker above it writes its date in; a picker given a
// date format of its own has its calendar write today in that form too.
// The common controls' calls of GetDateFormatW are routed through
// PickerGetDateFormatW, which answers a request for the short date form
// in the format of the picker whose calendar is at work (the message it
// handles), and passes every other call on as it is.
using TGetDateFormatW = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);
TGetDateFormatW SystemGetDateFormatW = &::GetDateFormatW;
const std::wstring* CalendarTodayFormat = nullptr;

int WINAPI PickerGetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCWSTR format, LPWSTR out,
                                int size) {
    if (CalendarTodayFormat && !format && (flags & DATE_SHORTDATE))
        return SystemGetDateFormatW(locale, 0, date, CalendarTodayFormat->c_str(), out, size);
    return SystemGetDateFormatW(locale, flags, date, format, out, size);
}

void RouteCalendarDates() {
    [[maybe_unused]] static const bool routed =
        RouteImport(ModuleOfClass(MONTHCAL_CLASSW), "GetDateFormatW", SystemGetDateFormatW, &PickerGetDateFormatW);
}

// A picker's format as the calendar's date form: only a format of the
// date alone (no hour, minute, second or AM/PM outside quoted text), else
// empty, and the calendar keeps the system's form.
std::wstring TodayFormatOf(const std::string& format) {
    bool quoted = false;
    for (char c : format) {
        if (c == '\'') quoted = !quoted;
        else if (!quoted && std::strchr("hHmst", c)) return std::wstring();
    }
    return AnsiToWide(format);
}

} // namespace

LRESULT CALLBACK PickerCalendarWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* picker = static_cast<TDateTimePicker*>(GetPropA(hwnd, PickerCalendarProp));
    if (!picker || picker->FCalendar != hwnd || !picker->FCalendarDefProc)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC defProc = picker->FCalendarDefProc;
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        bool handled = false;
        GCL_GUARD(picker, handled = picker->CalendarKey(wParam, msg == WM_SYSKEYDOWN););
        if (handled) return 0;
        break;
    }
    case WM_NCDESTROY:
        picker->UnhookCalendar();
        return CallWindowProcA(defProc, hwnd, msg, wParam, lParam);
    default:
        break;
    }
    const TRestore<const std::wstring*> today(
        CalendarTodayFormat, picker->FCalendarTodayFormat.empty() ? CalendarTodayFormat : &picker->FCalendarTodayFormat);
    return CallWindowProcA(defProc, hwnd, msg, wParam, lParam);
}

void TDateTimePicker::HookCalendar() {
    UnhookCalendar();
    HWND calendar = reinterpret_cast<HWND>(Perform(DTM_GETMONTHCAL));
    if (!calendar) return;
    FCalendar = calendar;
    SetPropA(calendar, PickerCalendarProp, this);
    FCalendarDefProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(calendar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PickerCalendarWndProc)));
    FDropDate = FDateTime;
    FCalendarTodayFormat = FKind == dtkDate ? TodayFormatOf(FFormat) : std::wstring();
    if (!FCalendarTodayFormat.empty()) {
        RouteCalendarDates();
        InvalidateRect(calendar, nullptr, TRUE);
    }
}

void TDateTimePicker::UnhookCalendar() noexcept {
    if (FCalendar && IsWindow(FCalendar)) {
        if (FCalendarDefProc &&
            reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FCalendar, GWLP_WNDPROC)) == &PickerCalendarWndProc)
            SetWindowLongPtrA(FCalendar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FCalendarDefProc));
        RemovePropA(FCalendar, PickerCalendarProp);
    }
    FCalendar = nullptr;
    FCalendarDefProc = nullptr;
}

void TDateTimePicker::MoveCalendarDate(double date) {
    if (FMinDate != 0 && DateOf(date) < FMinDate) date = FMinDate + TimeOf(date);
    if (FMaxDate != 0 && DateOf(date) > FMaxDate) date = FMaxDate + TimeOf(date);
    ReadValue();
    if (date == FDateTime) return;
    FDateTime = date;
    FChecked = true;
    WriteValue();
    if (FCalendar) {
        SYSTEMTIME st = ToSystemTime(date);
        SendMessageA(FCalendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
    }
    Change();
}

void TDateTimePicker::CloseCalendar(bool focusPicker) {
    const bool hadFocus = FCalendar && ::GetFocus() == FCalendar;
    TComponentRef<TControl> alive(this);
    SetDroppedDown(false);
    if (alive && (focusPicker || hadFocus) && CanFocus()) SetFocus();
}

bool TDateTimePicker::CalendarKey(WPARAM key, bool alt) {
    ReadValue();
    const double date = FDateTime;
    if (alt) {
        if (key != VK_UP && key != VK_DOWN) return false;
        CloseCalendar(true);
        return true;
    }
    switch (key) {
    case VK_LEFT: MoveCalendarDate(IncDay(date, -1)); return true;
    case VK_RIGHT: MoveCalendarDate(IncDay(date, 1)); return true;
    case VK_UP: MoveCalendarDate(IncDay(date, -7)); return true;
    case VK_DOWN: MoveCalendarDate(IncDay(date, 7)); return true;
    case VK_PRIOR: MoveCalendarDate(IncMonth(date, -1)); return true;
    case VK_NEXT: MoveCalendarDate(IncMonth(date, 1)); return true;
    case VK_ESCAPE:
        MoveCalendarDate(FDropDate);
        CloseCalendar(true);
        return true;
    case VK_TAB:
    case VK_F4:
        CloseCalendar(true);
        return true;
    case VK_RETURN: {
        TComponentRef<TControl> alive(this);
        CloseCalendar(true);
        if (alive && HandleAllocated()) Perform(WM_KEYDOWN, VK_RETURN, 0);
        return true;
    }
    default:
        return false;
    }
}

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TDateTimePicker::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
}

void TDateTimePicker::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CN_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(message.LParam);
        if (!header) break;
        switch (header->code) {
        case DTN_DATETIMECHANGE: {
            auto* change = reinterpret_cast<NMDATETIMECHANGE*>(message.LParam);
            if (change->dwFlags == GDT_VALID) {
                FDateTime = FromSystemTime(change->st);
                FChecked = true;
            } else {
                FChecked = false;
            }
            Change();
            return;
        }
        case DTN_DROPDOWN:
            FDroppedDown = true;
            HookCalendar();
            DropDown();
            return;
        case DTN_CLOSEUP:
            if (!FDroppedDown) return;
            FDroppedDown = false;
            UnhookCalendar();
            CloseUp();
            return;
        default:
            break;
        }
        break;
    }
    case CM_SHOWINGCHANGED:
        if (!GetShowing() && FDroppedDown) SetDroppedDown(false);
        break;
    case WM_KEYDOWN:
        if (message.WParam == VK_F4 && FKind == dtkDate) {
            if (DoKeyDown(message)) return;
            TComponentRef<TControl> alive(this);
            bool wasDropped = FDroppedDown;
            DefaultHandler(message);
            // A window that ignores F4 gets its button pressed instead.
            if (alive && !wasDropped && !FDroppedDown && HandleAllocated()) ClickDropButton();
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

GCL_PUBLISHED(TDateTimePicker,
    GCL_PROP(Align).Default(alNone),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(Checked).Default(true),
    GCL_PROP(Color).Default(clWindow).Idents(ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(Date),
    GCL_PROP(DateFormat).Default(dfShort),
    GCL_PROP(DragCursor).Default(crDrag),
    GCL_PROP(DragKind).Default(dkDrag),
    GCL_PROP(DragMode).Default(dmManual),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Font),
    GCL_PROP(Format),
    GCL_PROP(Kind).Default(dtkDate),
    GCL_PROP(MaxDate),
    GCL_PROP(MinDate),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowCheckbox).Default(false),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(TabOrder),
    GCL_PROP(TabStop).Default(true),
    GCL_PROP(Time),
    GCL_PROP(Visible).Default(true))

// ---- Status bar ---------------------------------------------------------------------------

GCL_PUBLISHED(TStatusPanel,
    GCL_PROP(Alignment).Default(taLeftJustify),
    GCL_PROP(Bevel).Default(pbLowered),
    GCL_PROP(Text),
    GCL_PROP(Width).Default(50))

void TStatusPanel::SetText(const std::string& value) { StoreAndChange(FText, value, false); }

void TStatusPanel::SetWidth(int value) {
    value = std::max(value, 0);
    if (value == FWidth) return;
    FWidth = value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) { StoreAndChange(FAlignment, value, false); }

void TStatusPanel::SetBevel(TStatusPanelBevel value) { StoreAndChange(FBevel, value, false); }

void TStatusPanel::Assign(TPersistent* source) {
    if (auto* panel = dynamic_cast<TStatusPanel*>(source)) {
        FText = panel->FText;
        FWidth = panel->FWidth;
        FAlignment = panel->FAlignment;
        FBevel = panel->FBevel;
        Changed(true);
        return;
    }
    inherited::Assign(source);
}

GCL_IMPLEMENT_CLASS(TStatusPanels)

TStatusPanels::TStatusPanels(TStatusBar* statusBar) : TCollection(TStatusPanel::StaticClass()), FStatusBar(statusBar) {}

TPersistent* TStatusPanels::GetOwner() const { return FStatusBar; }

void TStatusPanels::Update(TCollectionItem*) {
    if (FStatusBar) FStatusBar->UpdatePanels();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), FPanels(std::make_unique<TStatusPanels>(this)) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
    SetBounds(0, 0, 0, 19);
    SetColor(clBtnFace);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetPanels(TStatusPanels* value) { FPanels->Assign(value); }

void TStatusBar::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    CreateSubClass(params, STATUSCLASSNAMEA);
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (FSizeGrip) params.Style |= SBARS_SIZEGRIP;
    params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TStatusBar::CreateWnd() {
    inherited::CreateWnd();
    UpdatePanels();
}

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated()) return;
    if (FSimplePanel) {
        Perform(SB_SIMPLE, 1);
        Perform(SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<intptr_t>(FSimpleText.c_str()));
        return;
    }
    Perform(SB_SIMPLE, 0);
    int count = FPanels->GetCount();
    std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
    int right = 0;
    for (int i = 0; i < count; ++i) {
        right += FPanels->GetItem(i)->GetWidth();
        edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : right;
    }
    Perform(SB_SETPARTS, edges.size(), reinterpret_cast<intptr_t>(edges.data()));
    if (count == 0) {
        Perform(SB_SETTEXTA, 0, reinterpret_cast<intptr_t>(""));
        return;
    }
    for (int i = 0; i < count; ++i) {
        TStatusPanel* panel = FPanels->GetItem(i);
        std::string text = panel->GetText();
        if (panel->GetAlignment() == taCenter) text = "\t" + text;
        if (panel->GetAlignment() == taRightJustify) text = "\t\t" + text;
        uintptr_t flags = static_cast<uintptr_t>(i);
        if (panel->GetBevel() == pbNone) flags |= SBT_NOBORDERS;
        if (panel->GetBevel() == pbRaised) flags |= SBT_POPOUT;
        Perform(SB_SETTEXTA, flags, reinterpret_cast<intptr_t>(text.c_str()));
    }
}

void TStatusBar::SetSimplePanel(bool value) {
    if (value == FSimplePanel) return;
    FSimplePanel = value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& value) {
    if (value == FSimpleText) return;
    FSimpleText = value;
    if (FSimplePanel) UpdatePanels();
}

void TStatusBar::SetSizeGrip(bool value) { StoreAndRecreateWnd(FSizeGrip, value); }

GCL_PUBLISHED(TStatusBar,
    GCL_PROP(Align).Default(alBottom),
    GCL_PROP(Anchors).Default(TAnchors{akLeft, akTop}),
    GCL_PROP(BiDiMode).Default(bdLeftToRight),
    GCL_PROP(Color).Default(clBtnFace).Idents(ColorIdents),
    GCL_PROP(Constraints),
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Font),
    GCL_PROP(Panels),
    GCL_PROP(ParentBiDiMode).Default(true),
    GCL_PROP(ParentColor).Default(false),
    GCL_PROP(ParentFont).Default(true),
    GCL_PROP(ParentShowHint).Default(true),
    GCL_PROP(ShowHint).Default(false),
    GCL_PROP(SimplePanel).Default(false),
    GCL_PROP(SimpleText),
    GCL_PROP(SizeGrip).Default(true),
    GCL_PROP(Visible).Default(true))

// ---- Unit -----------------------------------------------------------------------------------

namespace {

void InitializeComCtrls() {
    RegisterClasses({TTreeView::StaticClass(), TDateTimePicker::StaticClass(), TStatusBar::StaticClass()});
}

void FinalizeComCtrls() {
    for (TClass cls : {TTreeView::StaticClass(), TDateTimePicker::StaticClass(), TStatusBar::StaticClass()})
        UnRegisterClass(cls);
}

} // namespace

TUnit ComCtrlsUnit{"ComCtrls", &InitializeComCtrls, &FinalizeComCtrls};

} // namespace gcl
