// Common controls: tree view nodes with and without a window, callback
// texts, re-creation, painting, hit testing, label editing, sorting through the
// window, multiple selection, the node stream; the date picker and the
// status bar; and a screenshot of a form with every control.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/Buttons.h"
#include "gcl/CheckLst.h"
#include "gcl/ComCtrls.h"
#include "gcl/DragDrop.h"
#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Streams.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


class TCcForm : public TForm {
    GCL_CLASS(TCcForm, TForm)
protected:
    explicit TCcForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(20, 20, 420, 320);
    }
};
GCL_IMPLEMENT_CLASS(TCcForm)

// Records the tree view's events and sees every message it is sent.
class TTreeLog : public TObject {
public:
    std::vector<std::string> Events;
    std::string EditedTo;
    bool AllowEdit = true;
    void Change(TObject*, TTreeNode* node) { Events.push_back("change " + Text(node)); }
    void Deletion(TObject*, TTreeNode* node) { Events.push_back("delete " + Text(node)); }
    void Addition(TObject*, TTreeNode* node) { Events.push_back("add " + Text(node)); }
    void Editing(TObject*, TTreeNode* node, bool& allow) {
        Events.push_back("editing " + Text(node));
        allow = AllowEdit;
    }
    void Edited(TObject*, TTreeNode* node, std::string& s) {
        Events.push_back("edited " + Text(node) + " -> " + s);
        if (!EditedTo.empty()) s = EditedTo;
    }
    void Cancel(TObject*, TTreeNode* node) { Events.push_back("cancel " + Text(node)); }
    void Compare(TObject*, TTreeNode* a, TTreeNode* b, intptr_t, int& result) {
        // By length, longest first.
        result = static_cast<int>(b->GetText().size()) - static_cast<int>(a->GetText().size());
    }
    static std::string Text(TTreeNode* node) { return node ? node->GetText() : "nil"; }
};

// Shows what passes through a tree view's WindowProc.
class TSortWatch : public TObject {
public:
    TWndMethod Old;
    std::vector<PFNTVCOMPARE> Compares;
    void Proc(TMessage& m) {
        if (m.Msg == TVM_SORTCHILDRENCB) Compares.push_back(reinterpret_cast<TVSORTCB*>(m.LParam)->lpfnCompare);
        Old(m);
    }
};

std::string Shape(TTreeNodes* nodes) {
    std::string s;
    for (TTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext()) {
        s += std::string(static_cast<size_t>(n->GetLevel()), '-') + n->GetText() + ' ';
    }
    return s;
}

// The text the window shows for a node (asked through the callback).
std::string WindowText(TTreeNode* node) {
    char buffer[256] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node->GetItemId();
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(node->GetHandle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.pszText ? item.pszText : "";
}

class CommonControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitializeUnits({&FormsUnit, &ComCtrlsUnit, &CommonControlsUnit}); }
    static void TearDownTestSuite() { FinalizeUnits({&FormsUnit, &ComCtrlsUnit, &CommonControlsUnit}); }
    void SetUp() override {
        Form = TCcForm::Create(nullptr);
        Tree = TTreeView::Create(Form);
        Tree->SetName("Tree");
        Tree->SetBounds(10, 10, 200, 200);
        Tree->SetParent(Form);
    }
    void TearDown() override {
        FreeAndNil(Form);
        PumpApplication(20);
    }

    // Root "All" with lists A (children a1, a2) and B.
    void Build() {
        TTreeNodes* nodes = Tree->GetItems();
        TTreeNode* all = nodes->Add(nullptr, "All");
        TTreeNode* a = nodes->AddChild(all, "A");
        nodes->AddChild(a, "a1");
        nodes->AddChild(a, "a2");
        nodes->AddChild(all, "B");
    }

    TCcForm* Form = nullptr;
    TTreeView* Tree = nullptr;
    TTreeLog Log;
};

} // namespace

TEST_F(CommonControls, NodesLiveInTheComponentAndSurviveRecreation) {
    Build();
    TTreeNodes* nodes = Tree->GetItems();
    EXPECT_FALSE(Tree->HandleAllocated());
    EXPECT_EQ(Shape(nodes), "All -A --a1 --a2 -B ");
    EXPECT_EQ(nodes->GetCount(), 5);
    TTreeNode* a2 = nodes->GetItem(3);
    EXPECT_EQ(a2->GetText(), "a2");
    EXPECT_EQ(a2->GetAbsoluteIndex(), 3);
    EXPECT_EQ(a2->GetIndex(), 1);
    EXPECT_EQ(a2->GetPrev()->GetText(), "a1");
    EXPECT_EQ(a2->GetNext()->GetText(), "B");
    EXPECT_EQ(a2->GetParent()->GetNextSibling()->GetText(), "B");
    EXPECT_EQ(nodes->GetItem(4)->GetNextSibling(), nullptr);
    EXPECT_THROW(nodes->GetItem(5), EListError);
    nodes->GetItem(0)->SetExpanded(true);
    nodes->GetItem(1)->SetExpanded(true);
    Tree->SetSelected(a2);

    // The window gets every node, with callback texts.
    HWND first = Tree->GetHandle();
    EXPECT_EQ(SendMessageA(first, TVM_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(WindowText(a2), "a2");
    EXPECT_EQ(Tree->GetSelected(), a2);
    EXPECT_TRUE(nodes->GetItem(1)->GetExpanded());
    EXPECT_EQ(nodes->GetNode(a2->GetItemId()), a2);

    // Texts, images, expansion and the selection survive re-creation.
    a2->SetText("a2 renamed");
    a2->SetImageIndex(3);
    a2->SetStateIndex(2);
    // Collapsing the parent of the selected node selects the parent.
    nodes->GetItem(1)->Collapse(false);
    EXPECT_EQ(Tree->GetSelected(), nodes->GetItem(1));
    nodes->GetItem(1)->Expand(false);
    nodes->GetItem(4)->SetExpanded(false);
    Tree->SetSelected(a2);
    Tree->RecreateWnd();
    HWND second = Tree->GetHandle();
    EXPECT_NE(first, second);
    EXPECT_EQ(SendMessageA(second, TVM_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(WindowText(a2), "a2 renamed");
    EXPECT_EQ(Tree->GetSelected(), a2);
    EXPECT_TRUE(nodes->GetItem(0)->GetExpanded());
    EXPECT_TRUE(nodes->GetItem(1)->GetExpanded());
    EXPECT_EQ(a2->GetImageIndex(), 3);
    EXPECT_EQ(SendMessageA(second, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(a2->GetItemId()),
                           TVIS_STATEIMAGEMASK) >> 12,
              2);

    // Deleting and moving, with and without events.
    Tree->OnDeletion = TTVExpandedEvent(&Log, &TTreeLog::Deletion);
    Tree->OnAddition = TTVChangedEvent(&Log, &TTreeLog::Addition);
    nodes->GetItem(1)->MoveTo(nodes->GetItem(4), naAddChild);  // A (with a1, a2) under B
    EXPECT_EQ(Shape(nodes), "All -B --A ---a1 ---a2 renamed ");
    EXPECT_EQ(SendMessageA(second, TVM_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(Tree->GetSelected(), a2);
    EXPECT_EQ(WindowText(a2), "a2 renamed");
    nodes->GetItem(2)->Delete();
    EXPECT_EQ(Log.Events, (std::vector<std::string>{"delete a1", "delete a2 renamed", "delete A"}));
    EXPECT_EQ(Tree->GetSelected(), nodes->GetItem(1));  // the parent, as the next node to select
    EXPECT_EQ(SendMessageA(second, TVM_GETCOUNT, 0, 0), 2);
    nodes->AddChildFirst(nodes->GetItem(0), "First");
    EXPECT_EQ(Shape(nodes), "All -First -B ");
    nodes->Clear();
    EXPECT_EQ(Log.Events.back(), "delete All");
    EXPECT_EQ(SendMessageA(second, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(nodes->GetCount(), 0);
}

// Walking siblings one after another costs the same for each step, so a
// node keeps its place among them; whatever changed their list (a node
// added, deleted, moved or sorted), the walks both ways, the indexes and
// the absolute indexes still agree with the list.
TEST_F(CommonControls, SiblingsAreFoundAfterEveryChangeOfTheirList) {
    TTreeNodes* nodes = Tree->GetItems();
    for (const char* s : {"d", "b", "e", "a", "c"}) nodes->Add(nullptr, s);
    // Each level's siblings forward (with any wrong index marked "?"),
    // then backward from the last; every node's absolute index checked.
    std::function<std::string(TTreeNode*)> walk = [&](TTreeNode* first) {
        std::string forward, backward;
        TTreeNode* last = nullptr;
        int index = 0;
        for (TTreeNode* n = first; n; n = n->GetNextSibling(), ++index) {
            forward += n->GetText();
            if (n->GetIndex() != index) forward += "?";
            if (n->GetCount() > 0) forward += "(" + walk(n->GetFirstChild()) + ")";
            last = n;
        }
        for (TTreeNode* n = last; n; n = n->GetPrevSibling()) backward = n->GetText() + backward;
        std::string level;
        for (TTreeNode* n = first; n; n = n->GetNextSibling()) level += n->GetText();
        return level == backward ? forward : forward + " backward " + backward;
    };
    auto absolute = [&] {
        int i = 0;
        for (TTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext(), ++i)
            if (n->GetAbsoluteIndex() != i || nodes->GetItem(i) != n) return false;
        return i == nodes->GetCount();
    };
    EXPECT_EQ(walk(nodes->GetFirstNode()), "dbeac");
    nodes->AddFirst(nodes->GetFirstNode(), "f");
    EXPECT_EQ(walk(nodes->GetFirstNode()), "fdbeac");
    nodes->Insert(nodes->GetItem(3), "g");
    EXPECT_EQ(walk(nodes->GetFirstNode()), "fdbgeac");
    nodes->GetItem(1)->Delete();
    EXPECT_EQ(walk(nodes->GetFirstNode()), "fbgeac");
    nodes->GetItem(0)->MoveTo(nodes->GetItem(4), naInsert);
    EXPECT_EQ(walk(nodes->GetFirstNode()), "bgefac");
    EXPECT_TRUE(absolute());
    Tree->AlphaSort(false);
    EXPECT_EQ(walk(nodes->GetFirstNode()), "abcefg");
    // Into and out of a child list.
    nodes->GetItem(1)->MoveTo(nodes->GetItem(0), naAddChild);
    nodes->GetItem(2)->MoveTo(nodes->GetItem(0), naAddChildFirst);
    EXPECT_EQ(walk(nodes->GetFirstNode()), "a(cb)efg");
    EXPECT_EQ(nodes->GetItem(2)->GetText(), "b");
    EXPECT_EQ(nodes->GetItem(2)->GetIndex(), 1);
    EXPECT_EQ(nodes->GetItem(2)->GetNextSibling(), nullptr);
    EXPECT_EQ(nodes->GetItem(2)->GetNext()->GetText(), "e");
    EXPECT_TRUE(absolute());
    nodes->GetItem(1)->MoveTo(nodes->GetItem(5), naAdd);
    EXPECT_EQ(walk(nodes->GetFirstNode()), "a(b)efgc");
    EXPECT_TRUE(absolute());
    Tree->HandleNeeded();
    Tree->AlphaSort(true);
    EXPECT_EQ(walk(nodes->GetFirstNode()), "a(b)cefg");
    EXPECT_TRUE(absolute());
    nodes->GetFirstNode()->DeleteChildren();
    nodes->GetItem(2)->Delete();
    EXPECT_EQ(walk(nodes->GetFirstNode()), "acfg");
    EXPECT_TRUE(absolute());
}

TEST_F(CommonControls, HitTestingLabelEditingAndEvents) {
    Build();
    Tree->FullExpand();
    Tree->OnEditing = TTVEditingEvent(&Log, &TTreeLog::Editing);
    Tree->OnEdited = TTVEditedEvent(&Log, &TTreeLog::Edited);
    Tree->OnCancelEdit = TTVChangedEvent(&Log, &TTreeLog::Cancel);
    Tree->OnChange = TTVChangedEvent(&Log, &TTreeLog::Change);
    Form->Show();
    Tree->HandleNeeded();
    TTreeNodes* nodes = Tree->GetItems();

    // GetNodeAt: a row holds its node, below the last node is nothing.
    TRect first = nodes->GetItem(0)->DisplayRect(true);
    TRect last = nodes->GetItem(4)->DisplayRect(false);
    EXPECT_EQ(Tree->GetNodeAt(first.Left + 2, first.Top + 2), nodes->GetItem(0));
    EXPECT_EQ(Tree->GetNodeAt(15, last.Top + 2), nodes->GetItem(4));
    EXPECT_EQ(Tree->GetNodeAt(first.Left + 2, last.Bottom + 5), nullptr);
    EXPECT_EQ(Tree->GetNodeAt(first.Left + 2, 190), nullptr);

    // Programmatic selection fires OnChange.
    Tree->SetSelected(nodes->GetItem(1));
    EXPECT_EQ(Log.Events.back(), "change A");

    // Label editing ends in OnEdited, which may change the text.
    TTreeNode* b = nodes->GetItem(4);
    ASSERT_TRUE(b->EditText());
    EXPECT_TRUE(Tree->IsEditing());
    EXPECT_EQ(Tree->Perform(CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
    SetWindowTextA(Tree->GetEditHandle(), "Bee");
    Log.EditedTo = "Bee!";
    b->EndEdit(false);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Log.Events.back(), "edited B -> Bee");
    EXPECT_EQ(b->GetText(), "Bee!");
    EXPECT_EQ(WindowText(b), "Bee!");

    // Cancelled editing reaches OnCancelEdit; CanEdit can refuse.
    ASSERT_TRUE(b->EditText());
    b->EndEdit(true);
    EXPECT_EQ(Log.Events.back(), "cancel Bee!");
    Log.AllowEdit = false;
    EXPECT_FALSE(nodes->GetItem(0)->EditText());
    EXPECT_EQ(Log.Events.back(), "editing All");
    Tree->SetReadOnly(true);
    EXPECT_FALSE(GetWindowLongA(Tree->GetHandle(), GWL_STYLE) & TVS_EDITLABELS);

    // A click on a node selects it and reaches OnClick and OnMouseUp.
    struct TClicks : TObject {
        int Clicks = 0;
        int Ups = 0;
        void Click(TObject*) { ++Clicks; }
        void Up(TObject*, TMouseButton, TShiftState, int, int) { ++Ups; }
    } clicks;
    Tree->OnClick = TNotifyEvent(&clicks, &TClicks::Click);
    Tree->OnMouseUp = TMouseEvent(&clicks, &TClicks::Up);
    TRect aRect = nodes->GetItem(1)->DisplayRect(true);
    TRect a1Rect = nodes->GetItem(2)->DisplayRect(true);
    (void)aRect;
    PostMessageA(Tree->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a1Rect.Left + 3, a1Rect.Top + 3));
    PostMessageA(Tree->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(a1Rect.Left + 3, a1Rect.Top + 3));
    EXPECT_TRUE(PumpApplication(2000, [&] { return clicks.Clicks > 0; }));
    EXPECT_EQ(clicks.Ups, 1);
    EXPECT_EQ(Tree->GetSelected(), nodes->GetItem(2));
}

// A right click on a node asks the tree itself for its context menu, at
// the point of the click; the parent hears nothing of it.
TEST_F(CommonControls, RightClickAsksTheTreeForItsContextMenu) {
    Build();
    Tree->FullExpand();
    Form->Show();
    Tree->HandleNeeded();
    struct TPopups : TObject {
        int Count = 0;
        TObject* Sender = nullptr;
        TPoint At{};
        void Popup(TObject* sender, TPoint at, bool& handled) {
            ++Count;
            Sender = sender;
            At = at;
            handled = true;
        }
    } tree, form;
    Tree->OnContextPopup = TContextPopupEvent(&tree, &TPopups::Popup);
    Form->OnContextPopup = TContextPopupEvent(&form, &TPopups::Popup);
    TTreeNode* b = Tree->GetItems()->GetItem(4);
    const TRect r = b->DisplayRect(true);
    POINT at{r.Left + 3, r.Top + 3};
    POINT screen = at;
    ClientToScreen(Tree->GetHandle(), &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(Tree->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageA(Tree->GetHandle(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(PumpApplication(2000, [&] { return tree.Count + form.Count > 0; }));
    EXPECT_EQ(tree.Count, 1);
    EXPECT_EQ(form.Count, 0);
    EXPECT_EQ(tree.Sender, Tree);
    EXPECT_EQ(Tree->GetNodeAt(tree.At.X, tree.At.Y), b);
    // Asked for from the keyboard (-1, -1), the menu belongs to the focused
    // node, at the last line of its text, wherever the pointer is; with no
    // node focused it counts as the client origin.
    TTreeNode* a1 = Tree->GetItems()->GetItem(2);
    Tree->SetSelected(a1);
    Tree->Perform(WM_CONTEXTMENU, reinterpret_cast<uintptr_t>(Tree->GetHandle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(tree.Count, 2);
    EXPECT_EQ(Tree->GetNodeAt(tree.At.X, tree.At.Y), a1);
    EXPECT_EQ(tree.At.Y, a1->DisplayRect(true).Bottom - 1);
    Tree->SetSelected(nullptr);
    Tree->Perform(WM_CONTEXTMENU, reinterpret_cast<uintptr_t>(Tree->GetHandle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(tree.Count, 3);
    EXPECT_EQ(tree.At, Point(0, 0));
    EXPECT_EQ(form.Count, 0);
}

TEST_F(CommonControls, SortingGoesThroughTheWindow) {
    TTreeNodes* nodes = Tree->GetItems();
    for (const char* s : {"pear", "apple", "fig"}) nodes->Add(nullptr, s);
    nodes->AddChild(nodes->GetItem(0), "zeta");
    nodes->AddChild(nodes->GetItem(0), "beta");
    // Without a window the nodes are sorted directly.
    Tree->AlphaSort(false);
    EXPECT_EQ(Shape(nodes), "apple fig pear -zeta -beta ");

    TSortWatch watch;
    Tree->HandleNeeded();
    watch.Old = Tree->GetWindowProc();
    Tree->SetWindowProc(TWndMethod(&watch, &TSortWatch::Proc));
    Tree->AlphaSort(true);
    EXPECT_EQ(Shape(nodes), "apple fig pear -beta -zeta ");
    ASSERT_GE(watch.Compares.size(), 2u);
    for (PFNTVCOMPARE compare : watch.Compares) EXPECT_EQ(compare, &DefaultTreeViewSort);
    // The window agrees.
    auto first = reinterpret_cast<HTREEITEM>(SendMessageA(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_EQ(nodes->GetNode(first)->GetText(), "apple");

    // OnCompare decides when set; SortType text keeps new nodes in order.
    Tree->OnCompare = TTVCompareEvent(&Log, &TTreeLog::Compare);
    Tree->AlphaSort(false);
    EXPECT_EQ(Shape(nodes), "apple pear -beta -zeta fig ");
    Tree->OnCompare = nullptr;
    Tree->SetSortType(stText);
    EXPECT_EQ(Shape(nodes), "apple fig pear -beta -zeta ");
    nodes->Add(nullptr, "banana");
    nodes->GetItem(0)->SetText("quince");
    EXPECT_EQ(Shape(nodes), "banana fig pear -beta -zeta quince ");
    Tree->SetWindowProc(watch.Old);
}

// The second press of a double click on a node not chosen (the tree moved
// under the pointer between the presses) chooses it, as a press does; on
// the chosen node it is a double click.
TEST_F(CommonControls, ADoubleClickOnANodeNotChosenIsAPress) {
    Build();
    Tree->FullExpand();
    Form->Show();
    Tree->HandleNeeded();
    struct TDoubles : TObject {
        int Count = 0;
        void Dbl(TObject*) { ++Count; }
    } doubles;
    Tree->OnDblClick = TNotifyEvent(&doubles, &TDoubles::Dbl);
    TTreeNode* a = Tree->GetItems()->GetItem(1);
    TTreeNode* b = Tree->GetItems()->GetItem(4);
    Tree->SetSelected(a);
    auto secondPress = [&](TTreeNode* node) {
        const TRect r = node->DisplayRect(true);
        POINT at{r.Left + 3, r.Top + 3};
        POINT screen = at;
        ClientToScreen(Tree->GetHandle(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(Tree->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(Tree->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        PumpApplication(300);
    };
    secondPress(b);
    EXPECT_EQ(Tree->GetSelected(), b);
    EXPECT_EQ(doubles.Count, 0);
    secondPress(b);
    EXPECT_EQ(Tree->GetSelected(), b);
    EXPECT_EQ(doubles.Count, 1);
}

TEST_F(CommonControls, TheTreeViewsTooltipComesWithTheFirstMouseMove) {
    Build();
    Tree->HandleNeeded();
    const auto tooltip = [&] { return reinterpret_cast<HWND>(SendMessageA(Tree->GetHandle(), TVM_GETTOOLTIPS, 0, 0)); };
    EXPECT_EQ(tooltip(), nullptr);
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    const HWND made = tooltip();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(GetWindowLongA(Tree->GetHandle(), GWL_STYLE) & TVS_NOTOOLTIPS, 0);
    // A property that changes the style keeps the tooltip.
    Tree->SetAutoExpand(true);
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(tooltip(), made);

    // A new window makes its own again on first use; without tooltips the
    // tree makes none.
    Tree->RecreateWnd();
    Tree->HandleNeeded();
    EXPECT_EQ(tooltip(), nullptr);
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_NE(tooltip(), nullptr);
    Tree->SetToolTips(false);
    Tree->HandleNeeded();
    Tree->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(tooltip(), nullptr);
    EXPECT_NE(GetWindowLongA(Tree->GetHandle(), GWL_STYLE) & TVS_NOTOOLTIPS, 0);
}

// Each flag property turns its style bit on the live window at once, and a
// window made again shows the same style.
TEST_F(CommonControls, TreeViewFlagPropertiesReachTheWindowStyle) {
    Build();
    Tree->HandleNeeded();
    struct TFlag {
        const char* Name;
        bool (TCustomTreeView::*Get)() const noexcept;
        void (TCustomTreeView::*Set)(bool);
        DWORD Bit;
        bool BitWhenSet;
    };
    const TFlag flags[] = {
        {"AutoExpand", &TCustomTreeView::GetAutoExpand, &TCustomTreeView::SetAutoExpand, TVS_SINGLEEXPAND, true},
        {"HideSelection", &TCustomTreeView::GetHideSelection, &TCustomTreeView::SetHideSelection, TVS_SHOWSELALWAYS,
         false},
        {"HotTrack", &TCustomTreeView::GetHotTrack, &TCustomTreeView::SetHotTrack, TVS_TRACKSELECT, true},
        {"RowSelect", &TCustomTreeView::GetRowSelect, &TCustomTreeView::SetRowSelect, TVS_FULLROWSELECT, true},
        {"ShowButtons", &TCustomTreeView::GetShowButtons, &TCustomTreeView::SetShowButtons, TVS_HASBUTTONS, true},
        {"ShowLines", &TCustomTreeView::GetShowLines, &TCustomTreeView::SetShowLines, TVS_HASLINES, true},
        {"ShowRoot", &TCustomTreeView::GetShowRoot, &TCustomTreeView::SetShowRoot, TVS_LINESATROOT, true},
        {"ReadOnly", &TCustomTreeView::GetReadOnly, &TCustomTreeView::SetReadOnly, TVS_EDITLABELS, false},
    };
    const auto bitOn = [&](DWORD bit) {
        return (static_cast<DWORD>(GetWindowLongA(Tree->GetHandle(), GWL_STYLE)) & bit) != 0;
    };
    for (const TFlag& flag : flags) {
        SCOPED_TRACE(flag.Name);
        const bool initial = (Tree->*flag.Get)();
        EXPECT_EQ(bitOn(flag.Bit), initial == flag.BitWhenSet);
        for (const bool value : {!initial, initial}) {
            (Tree->*flag.Set)(value);
            EXPECT_EQ((Tree->*flag.Get)(), value);
            EXPECT_EQ(bitOn(flag.Bit), value == flag.BitWhenSet);
        }
        (Tree->*flag.Set)(!initial);
        Tree->RecreateWnd();
        Tree->HandleNeeded();
        EXPECT_EQ(bitOn(flag.Bit), !initial == flag.BitWhenSet);
        (Tree->*flag.Set)(initial);
    }
}

TEST_F(CommonControls, MultipleSelectionIsTheTreeViews) {
    Build();
    Tree->FullExpand();
    Tree->SetMultiSelect(true);
    Tree->SetMultiSelectStyle(TMultiSelectStyle{msControlSelect, msShiftSelect});
    TTreeNodes* nodes = Tree->GetItems();
    Tree->HandleNeeded();
    auto selected = [&] {
        std::string s;
        for (int i = 0; i < Tree->GetSelectionCount(); ++i) s += Tree->GetSelections(i)->GetText() + ' ';
        return s;
    };
    auto shown = [&](TTreeNode* node) {
        return (SendMessageA(Tree->GetHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->GetItemId()),
                             TVIS_SELECTED) &
                TVIS_SELECTED) != 0;
    };
    Tree->Select(nodes->GetItem(1));
    Tree->Select(nodes->GetItem(4), TShiftState{ssCtrl});
    EXPECT_EQ(selected(), "A B ");
    EXPECT_EQ(Tree->GetSelected(), nodes->GetItem(4));
    EXPECT_TRUE(shown(nodes->GetItem(1)));
    EXPECT_TRUE(shown(nodes->GetItem(4)));
    EXPECT_FALSE(shown(nodes->GetItem(2)));
    EXPECT_TRUE(nodes->GetItem(1)->GetSelected());

    // Shift selects the range from the anchor, control toggles.
    Tree->Select(nodes->GetItem(2), TShiftState{ssShift});
    EXPECT_EQ(selected(), "a1 a2 B ");
    Tree->Select(nodes->GetItem(3), TShiftState{ssCtrl});
    EXPECT_EQ(selected(), "a1 B ");
    EXPECT_FALSE(shown(nodes->GetItem(3)));
    Tree->Subselect(nodes->GetItem(0));
    EXPECT_EQ(selected(), "a1 B All ");

    // Deleted nodes leave the selection; the selection survives
    // re-creation.
    nodes->GetItem(2)->Delete();
    EXPECT_EQ(selected(), "B All ");
    Tree->RecreateWnd();
    Tree->HandleNeeded();
    EXPECT_TRUE(shown(nodes->GetItem(0)));
    EXPECT_TRUE(shown(nodes->GetItem(3)));
    EXPECT_FALSE(shown(nodes->GetItem(1)));
    Tree->ClearSelection(true);
    EXPECT_EQ(Tree->GetSelectionCount(), 1);
    Tree->SetMultiSelect(false);
    EXPECT_EQ(Tree->GetSelectionCount(), 1);
    EXPECT_THROW(Tree->Subselect(nodes->GetItem(0), true), EInvalidOperation);
}

// The marks follow the selection on every node, though each change looks
// only at the nodes it can concern: a range, a plain click elsewhere (the
// window moves its caret), a node added during an update, and multiple
// selection turned off.
TEST_F(CommonControls, SelectionMarksFollowEveryChange) {
    Build();
    Tree->FullExpand();
    Tree->SetMultiSelect(true);
    Tree->SetMultiSelectStyle(TMultiSelectStyle{msControlSelect, msShiftSelect});
    TTreeNodes* nodes = Tree->GetItems();
    Tree->HandleNeeded();
    auto marked = [&] {
        std::string s;
        for (TTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNext())
            if (SendMessageA(Tree->GetHandle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->GetItemId()),
                             TVIS_SELECTED) &
                TVIS_SELECTED)
                s += node->GetText() + ' ';
        return s;
    };
    Tree->Select(nodes->GetItem(0));
    Tree->Select(nodes->GetItem(3), TShiftState{ssShift});
    EXPECT_EQ(marked(), "All A a1 a2 ");
    Tree->Select(nodes->GetItem(4));
    EXPECT_EQ(marked(), "B ");
    nodes->BeginUpdate();
    TTreeNode* added = nodes->Add(nullptr, "C");
    added->SetImageIndex(3);
    nodes->EndUpdate();
    EXPECT_EQ(added->GetImageIndex(), 3);
    Tree->Select(added, TShiftState{ssCtrl});
    EXPECT_EQ(marked(), "B C ");
    Tree->Select(nodes->GetItem(1));
    EXPECT_EQ(marked(), "A ");
    Tree->Select(nodes->GetItem(2), TShiftState{ssCtrl});
    EXPECT_EQ(marked(), "A a1 ");
    Tree->SetMultiSelect(false);
    EXPECT_EQ(marked(), "a1 ");
}

TEST_F(CommonControls, NodeStreamRoundTripsAndRejectsDamage) {
    Build();
    TTreeNodes* nodes = Tree->GetItems();
    nodes->GetItem(1)->SetImageIndex(4);
    nodes->GetItem(1)->SetOverlayIndex(1);
    nodes->GetItem(2)->SetData(reinterpret_cast<void*>(77));
    nodes->GetItem(4)->SetText(std::string(300, 'x'));  // stored cut to 255
    TMemoryStream stream;
    nodes->WriteData(stream);
    // Root count, then All: size 25+3, the six fields, "All".
    ASSERT_GE(stream.GetSize(), 4 + 4 + 24 + 1 + 3);
    const auto* bytes = static_cast<const uint8_t*>(stream.GetMemory());
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], 28);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 8 + 24 + 1, 3), "All");

    auto* copy = TTreeView::Create(Form);
    copy->SetParent(Form);
    copy->HandleNeeded();
    stream.SetPosition(0);
    copy->GetItems()->ReadData(stream);
    EXPECT_EQ(Shape(copy->GetItems()), "All -A --a1 --a2 -" + std::string(255, 'x') + " ");
    EXPECT_EQ(copy->GetItems()->GetItem(1)->GetImageIndex(), 4);
    EXPECT_EQ(copy->GetItems()->GetItem(1)->GetOverlayIndex(), 1);
    EXPECT_EQ(copy->GetItems()->GetItem(1)->GetStateIndex(), -1);
    EXPECT_EQ(copy->GetItems()->GetItem(2)->GetData(), reinterpret_cast<void*>(77));
    EXPECT_EQ(SendMessageA(copy->GetHandle(), TVM_GETCOUNT, 0, 0), 5);

    // A cut stream fails with a read error and keeps what was read; a
    // record with a bad size is refused.
    TMemoryStream cut;
    cut.WriteBuffer(stream.GetMemory(), static_cast<int32_t>(stream.GetSize() - 10));
    cut.SetPosition(0);
    EXPECT_THROW(copy->GetItems()->ReadData(cut), EReadError);
    EXPECT_EQ(Shape(copy->GetItems()).substr(0, 4), "All ");
    TMemoryStream bad;
    int32_t header[2] = {1, 1000};
    bad.WriteBuffer(header, sizeof header);
    bad.SetPosition(0);
    EXPECT_THROW(copy->GetItems()->ReadData(bad), EReadError);

    // Assign copies shape and values.
    copy->GetItems()->Assign(nodes);
    EXPECT_TRUE(copy->GetItems()->Equals(*nodes));

    // In a component stream the nodes are the tree view's "Items.Data".
    TMemoryStream component;
    WriteComponentToStream(component, Tree);
    component.SetPosition(0);
    auto* read = static_cast<TTreeView*>(ReadComponentFromStream(component, nullptr));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(Shape(read->GetItems()), "All -A --a1 --a2 -" + std::string(255, 'x') + " ");
    EXPECT_EQ(read->GetItems()->GetItem(1)->GetImageIndex(), 4);
    read->Free();
}

TEST_F(CommonControls, AutomaticDragFromListBoxOntoTreeNode) {
    Build();
    Tree->FullExpand();
    auto* list = TListBox::Create(Form);
    list->SetBounds(230, 10, 150, 100);
    list->SetParent(Form);
    for (const char* s : {"task one", "task two"}) list->GetItems()->Add(s);
    list->SetDragMode(dmAutomatic);
    struct TDrop : TObject {
        TCustomTreeView* Tree = nullptr;
        std::vector<std::string> Seen;
        void Over(TObject*, TObject* source, int, int, TDragState, bool& accept) {
            accept = dynamic_cast<TListBox*>(source) != nullptr;
        }
        void Drop(TObject*, TObject* source, int x, int y) {
            TTreeNode* node = Tree->GetNodeAt(x, y);
            Seen.push_back(static_cast<TComponent*>(source)->GetName() + " on " + (node ? node->GetText() : "nil"));
        }
    } drop;
    drop.Tree = Tree;
    list->SetName("List");
    Tree->OnDragOver = TDragOverEvent(&drop, &TDrop::Over);
    Tree->OnDragDrop = TDragDropEvent(&drop, &TDrop::Drop);
    Form->Show();
    PumpApplication(50);
    SetCursorPos(2, 2);

    // A press on an item of an automatic-drag list selects it and starts
    // the drag; the drop lands on the node under the pointer.
    TRect b = Tree->GetItems()->GetItem(4)->DisplayRect(true);
    TRect item = list->ItemRect(1);
    PostMessageA(Tree->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.Left + 2, b.Top + 2));
    PostMessageA(Tree->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(b.Left + 2, b.Top + 2));
    SendMessageA(list->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.Left + 5, item.Top + 2));
    EXPECT_EQ(drop.Seen, std::vector<std::string>{"List on B"});
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_FALSE(list->Dragging());
}

TEST_F(CommonControls, DatePickerValueAndDropDown) {
    auto* picker = TDateTimePicker::Create(Form);
    picker->SetBounds(10, 220, 150, 21);
    picker->SetParent(Form);
    struct TEvents : TObject {
        int DropDowns = 0;
        int CloseUps = 0;
        void Drop(TObject*) { ++DropDowns; }
        void Close(TObject*) { ++CloseUps; }
    } events;
    picker->OnDropDown = TNotifyEvent(&events, &TEvents::Drop);
    picker->OnCloseUp = TNotifyEvent(&events, &TEvents::Close);
    const double date = EncodeDate(2024, 2, 29);
    picker->SetDate(date);
    EXPECT_EQ(picker->GetDate(), date);
    picker->HandleNeeded();
    SYSTEMTIME st{};
    ASSERT_EQ(SendMessageA(picker->GetHandle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);

    // A date set in the window is read back and survives re-creation.
    st.wDay = 3;
    st.wMonth = 3;
    SendMessageA(picker->GetHandle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 3, 3));
    picker->SetDateFormat(dfLong);
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 3, 3));
    EXPECT_TRUE(GetWindowLongA(picker->GetHandle(), GWL_STYLE) & DTS_LONGDATEFORMAT);

    // F4 (through Perform) drops the calendar down.
    Form->Show();
    picker->Perform(WM_KEYDOWN, VK_F4, 0);
    EXPECT_TRUE(picker->GetDroppedDown());
    EXPECT_EQ(events.DropDowns, 1);
    EXPECT_NE(picker->GetCalendarHandle(), nullptr);
    picker->SetDroppedDown(false);
    EXPECT_TRUE(PumpApplication(1000, [&] { return !picker->GetDroppedDown(); }));
    EXPECT_EQ(events.CloseUps, 1);
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 3, 3));

    // Limits are checked.
    picker->SetMaxDate(EncodeDate(2024, 12, 31));
    EXPECT_THROW(picker->SetDate(EncodeDate(2025, 1, 1)), EInvalidOperation);
}

TEST_F(CommonControls, DatePickerCalendarTakesItsKeysAndClosesWithThePicker) {
    auto* panel = TPanel::Create(Form);
    panel->SetBounds(0, 200, 300, 60);
    panel->SetParent(Form);
    auto* picker = TDateTimePicker::Create(Form);
    picker->SetBounds(10, 10, 150, 21);
    picker->SetParent(panel);
    auto* other = TEdit::Create(Form);
    other->SetBounds(10, 35, 150, 21);
    other->SetParent(panel);
    struct TEvents : TObject {
        std::vector<uint16_t> Keys;
        int Changes = 0;
        void KeyDown(TObject*, uint16_t& key, TShiftState) {
            if (key != VK_F4) Keys.push_back(key);  // F4 is how the calendar drops down
        }
        void Change(TObject*) { ++Changes; }
    } events;
    picker->OnKeyDown = TKeyEvent(&events, &TEvents::KeyDown);
    picker->OnChange = TNotifyEvent(&events, &TEvents::Change);
    picker->SetDate(EncodeDate(2024, 2, 27));
    Form->Show();
    picker->SetFocus();
    auto dropped = [&] {
        picker->SetDroppedDown(true);
        HWND calendar = picker->GetCalendarHandle();
        EXPECT_NE(calendar, nullptr);
        if (calendar) ::SetFocus(calendar);
        return calendar;
    };

    // Arrows typed in the calendar pass through the application's loop to
    // it (they are no dialog keys of the form) and move the date.
    HWND calendar = dropped();
    ASSERT_NE(calendar, nullptr);
    PostMessageA(calendar, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageA(calendar, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(PumpApplication(1000, [&] { return picker->GetDate() == EncodeDate(2024, 3, 6); }));
    EXPECT_EQ(GetFocus(), calendar) << "an arrow moved the focus";
    EXPECT_EQ(events.Changes, 2);
    SendMessageA(calendar, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 4, 6));
    SYSTEMTIME shown{};
    SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.wMonth, 4);
    EXPECT_EQ(shown.wDay, 6);
    // Escape puts back the date the calendar opened with.
    SendMessageA(calendar, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(picker->GetDroppedDown());
    EXPECT_FALSE(IsWindowVisible(calendar));
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 2, 27));
    EXPECT_TRUE(picker->Focused());
    EXPECT_TRUE(events.Keys.empty());

    // Enter keeps the date, closes the calendar and is the picker's Enter.
    calendar = dropped();
    SendMessageA(calendar, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(calendar, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(picker->GetDroppedDown());
    EXPECT_FALSE(IsWindowVisible(calendar));
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 2, 26));
    EXPECT_EQ(events.Keys, std::vector<uint16_t>{VK_RETURN});

    // Hiding what holds the picker closes its calendar.
    calendar = dropped();
    other->SetFocus();
    panel->Hide();
    EXPECT_FALSE(picker->GetDroppedDown());
    EXPECT_FALSE(IsWindowVisible(calendar));
}

TEST_F(CommonControls, StatusBarPanels) {
    auto* bar = TStatusBar::Create(Form);
    bar->SetParent(Form);
    TStatusPanel* first = bar->GetPanels()->Add();
    first->SetText("Ready");
    first->SetWidth(80);
    TStatusPanel* second = bar->GetPanels()->Add();
    second->SetText("12 tasks");
    second->SetAlignment(taRightJustify);
    HWND h = bar->GetHandle();
    char text[64] = {};
    EXPECT_EQ(SendMessageA(h, SB_GETPARTS, 0, 0), 2);
    SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Ready");
    first->SetText("Busy");
    SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Busy");
    EXPECT_EQ(bar->GetAlign(), alBottom);
    EXPECT_EQ(bar->GetTop() + bar->GetHeight(), Form->GetClientHeight());
    bar->SetSimplePanel(true);
    bar->SetSimpleText("simple");
    EXPECT_TRUE(SendMessageA(h, SB_ISSIMPLE, 0, 0));
    SendMessageA(h, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "simple");
}

// Builds a form with every control, shows it, and saves what it shows to
// every_control.bmp beside the test executable.
TEST_F(CommonControls, ScreenshotOfEveryControl) {
    Form->SetBounds(0, 0, 560, 360);
    Form->SetColor(clBtnFace);
    Tree->SetBounds(380, 10, 170, 150);
    Build();
    Tree->FullExpand();
    Tree->SetSelected(Tree->GetItems()->GetItem(2));
    auto add = [&](TControl* c, int l, int t, int w, int h) {
        c->SetBounds(l, t, w, h);
        c->SetParent(Form);
    };
    auto* label = TLabel::Create(Form);
    label->SetCaption("&Label:");
    add(label, 10, 14, 40, 13);
    auto* edit = TEdit::Create(Form);
    edit->SetText("Edit text");
    add(edit, 60, 10, 120, 21);
    auto* memo = TMemo::Create(Form);
    memo->GetLines()->SetText("Memo line 1\r\nMemo line 2");
    add(memo, 10, 40, 170, 50);
    auto* button = TButton::Create(Form);
    button->SetCaption("Button");
    button->SetDefault(true);
    add(button, 190, 10, 75, 25);
    auto* check = TCheckBox::Create(Form);
    check->SetCaption("Check box");
    check->SetChecked(true);
    add(check, 190, 45, 75, 17);
    auto* radio = TRadioButton::Create(Form);
    radio->SetCaption("Radio");
    radio->SetChecked(true);
    add(radio, 190, 65, 75, 17);
    auto* list = TListBox::Create(Form);
    for (const char* s : {"List one", "List two", "List three"}) list->GetItems()->Add(s);
    list->SetItemIndex(1);
    add(list, 10, 100, 120, 60);
    auto* checks = TCheckListBox::Create(Form);
    for (const char* s : {"Checked", "Grayed", "Plain"}) checks->GetItems()->Add(s);
    checks->SetChecked(0, true);
    checks->SetState(1, cbGrayed);
    add(checks, 140, 100, 120, 60);
    auto* combo = TComboBox::Create(Form);
    combo->GetItems()->Add("Combo item");
    combo->SetItemIndex(0);
    add(combo, 270, 10, 100, 21);
    auto* panel = TPanel::Create(Form);
    panel->SetCaption("Panel");
    panel->SetBevelInner(bvLowered);
    add(panel, 10, 170, 250, 50);
    auto* speed = TSpeedButton::Create(Form);
    speed->SetCaption("Speed");
    add(speed, 270, 40, 60, 25);
    auto* picker = TDateTimePicker::Create(Form);
    picker->SetDate(EncodeDate(2024, 5, 17));
    add(picker, 270, 180, 150, 21);
    auto* bar = TStatusBar::Create(Form);
    bar->GetPanels()->Add()->SetText("Status panel");
    bar->SetParent(Form);
    Form->Show();
    PumpApplication(300);
    RedrawWindow(Form->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpApplication(200);

    // Not blank: the picture holds many colours.
    const int distinct = qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "every_control.bmp");
    EXPECT_GT(distinct, 500);
}

// Painting: the tree paints the rows its update region covers, so a
// selection change repaints two rows rather than every row; the changed
// rows show the change; a tree holding a windowless child still paints the
// child over its rows.
TEST_F(CommonControls, PaintingCoversTheUpdateRegionAndWindowlessChildren) {
    class TAsked : public TObject {
    public:
        std::vector<std::string> Nodes;
        void Image(TObject*, TTreeNode* node) { Nodes.push_back(node->GetText()); }
    } asked;
    TTreeNodes* nodes = Tree->GetItems();
    for (int i = 0; i < 6; ++i) nodes->Add(nullptr, "Row " + std::to_string(i));
    Tree->SetHideSelection(false);
    Tree->OnGetImageIndex = TTVExpandedEvent(&asked, &TAsked::Image);
    Form->Show();
    PumpApplication(100);
    HWND tree = Tree->GetHandle();

    // One row invalidated: only that row is drawn.
    const TRect row4 = nodes->GetItem(4)->DisplayRect(false);
    asked.Nodes.clear();
    RECT r4 = ToRECT(row4);
    InvalidateRect(tree, &r4, FALSE);
    UpdateWindow(tree);
    ASSERT_FALSE(asked.Nodes.empty());
    for (const std::string& node : asked.Nodes) EXPECT_EQ(node, "Row 4");

    // A new selection repaints the rows of the old and new one, showing it.
    Tree->SetSelected(nodes->GetItem(1));
    UpdateWindow(tree);
    Tree->SetSelected(nodes->GetItem(3));
    asked.Nodes.clear();
    UpdateWindow(tree);
    for (const std::string& node : asked.Nodes)
        EXPECT_TRUE(node == "Row 1" || node == "Row 2" || node == "Row 3") << node;
    const TRect label = nodes->GetItem(3)->DisplayRect(true);
    HDC dc = GetDC(tree);
    const COLORREF background = GetPixel(dc, label.Right + 20, label.Top + 2);
    const COLORREF selected = GetPixel(dc, label.Left + 1, label.Top + 1);
    EXPECT_NE(selected, background);
    ReleaseDC(tree, dc);

    // A windowless child is painted over the rows it covers.
    auto* child = TLabel::Create(Form);
    child->SetAutoSize(false);
    child->SetTransparent(false);
    child->SetColor(clRed);
    child->SetBounds(120, row4.Top, 30, row4.Bottom - row4.Top);
    child->SetParent(Tree);
    InvalidateRect(tree, nullptr, TRUE);
    UpdateWindow(tree);
    dc = GetDC(tree);
    EXPECT_EQ(GetPixel(dc, 130, row4.Top + 2), RGB(255, 0, 0));
    ReleaseDC(tree, dc);
}

namespace {

// The pixels of a tree's vertical scroll bar as the screen shows them.
std::vector<uint32_t> VerticalBarPixels(HWND wnd) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    RECT window{};
    if (!GetScrollBarInfo(wnd, OBJID_VSCROLL, &bar) || !GetWindowRect(wnd, &window)) return {};
    const int width = bar.rcScrollBar.right - bar.rcScrollBar.left;
    const int height = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
    if (width <= 0 || height <= 0) return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC dc = GetWindowDC(wnd);
    BitBlt(memory, 0, 0, width, height, dc, bar.rcScrollBar.left - window.left, bar.rcScrollBar.top - window.top,
           SRCCOPY);
    ReleaseDC(wnd, dc);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

// The same bar after the window's frame and rows were painted anew.
std::vector<uint32_t> RepaintedBarPixels(HWND wnd) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return VerticalBarPixels(wnd);
}

} // namespace

// A tree's scroll bar: repainting rows (a focus change, a new selection)
// leaves a bar that did not change alone instead of drawing it again, and
// a bar whose thumb, range or state changed (scrolling, rows added or taken
// away, the tree disabled and enabled) shows the change as a full repaint
// of the tree shows it.
TEST_F(CommonControls, TheScrollBarIsDrawnWhenItChangesOnly) {
    TTreeNodes* nodes = Tree->GetItems();
    for (int i = 0; i < 40; ++i) nodes->Add(nullptr, "Row " + std::to_string(i));
    Tree->SetHideSelection(false);
    Form->Show();
    PumpApplication(100);
    HWND tree = Tree->GetHandle();
    ASSERT_TRUE(GetWindowLongA(tree, GWL_STYLE) & WS_VSCROLL);

    // A mark over the bar stays through a row's repaint: the bar was not
    // drawn again.
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(tree, OBJID_VSCROLL, &bar));
    RECT window{};
    GetWindowRect(tree, &window);
    RECT mark = bar.rcScrollBar;
    OffsetRect(&mark, -window.left, -window.top);
    HDC dc = GetWindowDC(tree);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &mark, red);
    DeleteObject(red);
    ReleaseDC(tree, dc);
    const std::vector<uint32_t> marked = VerticalBarPixels(tree);
    RECT row = ToRECT(nodes->GetItem(2)->DisplayRect(false));
    InvalidateRect(tree, &row, TRUE);
    UpdateWindow(tree);
    Tree->SetSelected(nodes->GetItem(3));
    UpdateWindow(tree);
    EXPECT_EQ(VerticalBarPixels(tree), marked);
    const std::vector<uint32_t> top = RepaintedBarPixels(tree);
    EXPECT_NE(top, marked);

    // Changes of the thumb and the range are drawn.
    const std::function<void()> changes[] = {
        [&] { nodes->GetItem(39)->MakeVisible(); },
        [&] { SendMessageA(tree, WM_VSCROLL, SB_PAGEUP, 0); },
        [&] {
            for (int i = 0; i < 40; ++i) nodes->Add(nullptr, "More " + std::to_string(i));
        },
        [&] {
            while (nodes->GetCount() > 20) nodes->GetItem(nodes->GetCount() - 1)->Delete();
        },
        [&] { Tree->SetSelected(nodes->GetItem(0)); },
        [&] { Tree->SetEnabled(false); },
        [&] { Tree->SetEnabled(true); },
    };
    std::vector<uint32_t> before = top;
    for (size_t i = 0; i < std::size(changes); ++i) {
        changes[i]();
        UpdateWindow(tree);
        PumpApplication(20);
        const std::vector<uint32_t> shown = VerticalBarPixels(tree);
        const std::vector<uint32_t> repainted = RepaintedBarPixels(tree);
        EXPECT_EQ(shown, repainted) << "after change " << i;
        // Scrolling to the last row moves the thumb.
        if (i == 0) {
            EXPECT_NE(repainted, before);
        }
        before = repainted;
    }
}
