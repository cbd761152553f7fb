// The list view's input on a real window: hit tests of groups and items,
// range, rectangle and band selection, and the mouse and key messages:
// clicks with modifiers, check boxes, group buttons, navigation, the wheel.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A report view with two groups of five items each and two columns.
class GvInputTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(320, 240);
        LV->BeginUpdate();
        LV->SetView(elsReport);
        LV->GetHeader()->SetVisible(true);
        LV->GetHeader()->SetAutoSizeHeight(false);
        TGvColumns* columns = LV->GetHeader()->GetColumns();
        columns->Add(nullptr)->SetWidth(150);
        columns->Add(nullptr)->SetWidth(100);
        for (int g = 0; g < 2; ++g) {
            TGvGroup* group = LV->GetGroups()->Add(nullptr);
            group->SetCaption(g == 0 ? L"First" : L"Second");
            for (int i = 0; i < 5; ++i) {
                TGvItem* item = group->GetItems()->Add(nullptr);
                item->SetCaption(L"Item " + std::to_wstring(g * 5 + i));
                item->SetCaptions(1, L"x");
            }
        }
        LV->EndUpdate();
    }

    TGvItem* Item(int Index) const { return LV->GetItems()->GetItems(Index); }
    TGvGroup* Group(int Index) const { return LV->GetGroups()->GetGroups(Index); }
    // The centre of an item's caption text (view coordinates).
    TPoint TextCentre(TGvItem* item) {
        TGvRectArrayObject R;
        item->RectArray(nullptr, R);
        return TPoint{(R.TextRect.Left + R.TextRect.Right) / 2, (R.TextRect.Top + R.TextRect.Bottom) / 2};
    }
    std::vector<int> Selected() const {
        std::vector<int> result;
        for (int i = 0; i < LV->GetItems()->GetCount(); ++i)
            if (Item(i)->GetSelected()) result.push_back(i);
        return result;
    }
};

TEST_F(GvInputTest, GroupHitTestFindsTheMarginAndItsPart) {
    LV->SetShowGroupMargins(true);
    TGvGroup* group = Group(0);
    const TRect top = group->MarginRectTop();
    ASSERT_FALSE(gcl::IsRectEmpty(top));
    TGvGroupHitTestInfoSet hit;
    // The expand button sits at the left of the caption band.
    TGvRectArrayObject R;
    LV->GroupView()->GroupRectArray(group, gmeTop, top, R);
    ASSERT_FALSE(gcl::IsRectEmpty(R.ExpandButtonRect));
    EXPECT_TRUE(group->HitTestAt(TPoint{R.ExpandButtonRect.Left + 1, R.ExpandButtonRect.Top + 1}, hit));
    EXPECT_TRUE(hit.Contains(egtOnHeader));
    EXPECT_TRUE(hit.Contains(egtOnExpandButton));
    EXPECT_FALSE(hit.Contains(egtOnText));
    // The caption's text.
    EXPECT_TRUE(group->HitTestAt(TPoint{R.TextRect.Left + 2, (R.TextRect.Top + R.TextRect.Bottom) / 2}, hit));
    EXPECT_TRUE(hit.Contains(egtOnHeader));
    EXPECT_TRUE(hit.Contains(egtOnText));
    EXPECT_FALSE(hit.Contains(egtOnExpandButton));
    // An item row is no margin.
    const TRect row = Item(0)->GetDisplayRect();
    EXPECT_FALSE(group->HitTestAt(TPoint{row.Left + 5, row.Top + 2}, hit));
    EXPECT_TRUE(hit.Empty());
    // Without margins nothing of a margin is ever hit.
    LV->SetShowGroupMargins(false);
    EXPECT_FALSE(group->HitTestAt(TPoint{R.TextRect.Left + 2, (R.TextRect.Top + R.TextRect.Bottom) / 2}, hit));
}

TEST_F(GvInputTest, ItemHitTestAndSelectableArea) {
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetGroups()->Rebuild(true);
    TGvItem* item = Item(2);
    TGvRectArrayObject R;
    item->RectArray(nullptr, R);
    ASSERT_GT(R.TextRect.Width(), 10);  // measured with the control's canvas
    TGvItemHitTestInfoSet hit;
    const TPoint check{(R.CheckRect.Left + R.CheckRect.Right) / 2, (R.CheckRect.Top + R.CheckRect.Bottom) / 2};
    EXPECT_TRUE(item->HitTestAt(check, hit));
    EXPECT_TRUE(hit.Contains(ehtOnCheck));
    EXPECT_FALSE(hit.Contains(ehtOnText));
    EXPECT_TRUE(item->HitTestAt(TextCentre(item), hit));
    EXPECT_TRUE(hit.Contains(ehtOnText));
    EXPECT_TRUE(hit.Contains(ehtOnLabel));
    EXPECT_TRUE(hit.Contains(ehtOnClickSelectBounds));
    EXPECT_FALSE(hit.Contains(ehtOnCheck));
    // The second column has no check box: its cell answers for itself.
    const TRect cell = LV->GetHeader()->GetColumns()->GetColumns(1)->GetDisplayRect();
    const TPoint inSecond{cell.Left + 8, (item->GetDisplayRect().Top + item->GetDisplayRect().Bottom) / 2};
    EXPECT_TRUE(item->HitTestAt(inSecond, hit));
    EXPECT_FALSE(hit.Contains(ehtOnCheck));

    // Without full-row selection only the icon and caption select; with it,
    // the whole row.
    EXPECT_TRUE(item->SelectionHitPt(TextCentre(item)));
    const TPoint farRight{item->GetDisplayRect().Right - 3, item->GetDisplayRect().Top + 2};
    EXPECT_FALSE(item->SelectionHitPt(farRight));
    LV->GetSelection()->SetFullRowSelect(true);
    EXPECT_TRUE(item->SelectionHitPt(farRight));
    // A disabled item is never hit.
    item->SetEnabled(false);
    EXPECT_FALSE(item->SelectionHitPt(farRight));
}

TEST_F(GvInputTest, RangeSelectionRunsAcrossGroupsInEitherOrder) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    selection->SelectRange(Item(3), Item(6), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5, 6}));
    selection->SelectRange(Item(7), Item(2), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    // Without clearing first the old selection stays.
    selection->ClearAll();
    Item(0)->SetSelected(true);
    selection->SelectRange(Item(8), Item(9), false, false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 8, 9}));
    // Hidden items are passed over.
    Item(4)->SetVisible(false);
    selection->SelectRange(Item(3), Item(5), false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 5}));
    // Single selection: nothing.
    selection->SetMultiSelect(false);
    selection->SelectRange(Item(0), Item(2), false, true);
    EXPECT_TRUE(Selected().empty());
}

TEST_F(GvInputTest, BandSelectionFollowsTheBand) {
    TGvSelectionManager* selection = LV->GetSelection();
    selection->SetMultiSelect(true);
    selection->SetFullRowSelect(true);
    int changes = 0;
    struct Counter {
        int* Count;
        void Changed(TCustomGvListview*) { ++*Count; }
    } counter{&changes};
    LV->OnItemSelectionsChanged = TGvItemSelectionsChangedEvent(&counter, &Counter::Changed);
    const TRect r1 = Item(1)->GetDisplayRect();
    const TRect r3 = Item(3)->GetDisplayRect();
    // A band from row 1 to row 3.
    TRect band{r1.Left + 5, r1.Top + 2, r1.Left + 40, r3.Top + 2};
    selection->DragSelect(TCommonKeyStates{}, band, TRect{});
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(changes, 1);
    // Shrunk back to row 2: rows the band left are deselected.
    TRect smaller{band.Left, band.Top, band.Right, Item(2)->GetDisplayRect().Top + 2};
    selection->DragSelect(TCommonKeyStates{}, smaller, band);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    // With Ctrl each row the band passes over flips.
    selection->ClearAll();
    Item(2)->SetSelected(true);
    selection->DragSelect(TCommonKeyStates{cksControl}, band, TRect{});
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3}));
    // A band of one point still selects the row under it.
    selection->ClearAll();
    const TRect r4 = Item(4)->GetDisplayRect();
    selection->SelectRect(TRect{r4.Left + 5, r4.Top + 1, r4.Left + 6, r4.Top + 2}, false);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
}

// ---- Mouse and keys through the window's messages ------------------------------------------

class GvInputMessageTest : public GvInputTest {
protected:
    void SetUp() override {
        GvInputTest::SetUp();
        LV->GetSelection()->SetMultiSelect(true);
        GetKeyboardState(FSavedKeys);
    }
    void TearDown() override {
        SetKeyboardState(FSavedKeys);
        GvInputTest::TearDown();
    }
    // The window point over an item's caption.
    LPARAM At(TGvItem* item) {
        const TPoint p = LV->GetScrollbars()->MapViewToWindow(TextCentre(item));
        return MAKELPARAM(p.X, p.Y);
    }
    void Click(TGvItem* item, WPARAM Keys = 0) {
        SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | Keys, At(item));
        SendMessageA(LV->GetHandle(), WM_LBUTTONUP, Keys, At(item));
    }
    // Presses (or lets go of) a modifier for GetKeyState.
    void Hold(int VirtualKey, bool Down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VirtualKey] = Down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Press(WPARAM Key) { SendMessageA(LV->GetHandle(), WM_KEYDOWN, Key, 1); }
    // A click on a group's expand button (the second of a double click
    // with Down WM_LBUTTONDBLCLK).
    void ClickExpandButton(TGvGroup* group, UINT Down = WM_LBUTTONDOWN) {
        TGvRectArrayObject R;
        LV->GroupView()->GroupRectArray(group, gmeTop, group->MarginRectTop(), R);
        const TPoint button = LV->GetScrollbars()->MapViewToWindow(
            TPoint{(R.ExpandButtonRect.Left + R.ExpandButtonRect.Right) / 2,
                   (R.ExpandButtonRect.Top + R.ExpandButtonRect.Bottom) / 2});
        SendMessageA(LV->GetHandle(), Down, MK_LBUTTON, MAKELPARAM(button.X, button.Y));
        SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(button.X, button.Y));
    }
    TGvItem* Focused() const { return LV->GetSelection()->GetFocusedItem(); }

    BYTE FSavedKeys[256] = {};
};

TEST_F(GvInputMessageTest, ClickCtrlClickAndShiftClickSelect) {
    Click(Item(1));
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(Focused(), Item(1));
    EXPECT_EQ(LV->GetSelection()->GetAnchorItem(), Item(1));
    // Shift+click: the range from the anchor, across the groups.
    Click(Item(6), MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Focused(), Item(6));
    EXPECT_EQ(LV->GetSelection()->GetAnchorItem(), Item(1));
    // Ctrl+click on a selected item deselects it on release, not on press.
    SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, At(Item(3)));
    EXPECT_TRUE(Item(3)->GetSelected());
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, MK_CONTROL, At(Item(3)));
    EXPECT_FALSE(Item(3)->GetSelected());
    EXPECT_EQ(Focused(), Item(3));
    // Ctrl+click adds an unselected one.
    Click(Item(8), MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 4, 5, 6, 8}));
    // A plain click starts over.
    Click(Item(0));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    // A click on the empty area below the rows clears the selection.
    const TRect last = Item(9)->GetDisplayRect();
    const TPoint below = LV->GetScrollbars()->MapViewToWindow(TPoint{last.Left + 5, last.Bottom + 30});
    if (below.Y < LV->GetClientHeight()) {
        SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(below.X, below.Y));
        SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(below.X, below.Y));
        EXPECT_TRUE(Selected().empty());
    }
    // The capture is never left behind.
    EXPECT_NE(GetCapture(), LV->GetHandle());
    EXPECT_EQ(LV->GetControlStates() & 0x0FFF, 0);
}

TEST_F(GvInputMessageTest, ClickEventsComeInOrder) {
    std::vector<std::string> events;
    struct Log {
        std::vector<std::string>* Events;
        void Down(TCustomGvListview*, TGvItem*, TCommonMouseButton, bool&) { Events->push_back("down"); }
        void Up(TCustomGvListview*, TGvItem*, TCommonMouseButton, bool&) { Events->push_back("up"); }
        void Click(TCustomGvListview*, TGvItem*, TCommonKeyStates, TGvItemHitTestInfoSet Hit) {
            Events->push_back(Hit.Contains(ehtOnText) ? "click text" : "click");
        }
        void Dbl(TCustomGvListview*, TCommonMouseButton, TPoint, TGvHitInfoItem Info) {
            Events->push_back(Info.Column ? "dblclick column" : "dblclick");
        }
        void Thread(TCustomGvListview*, TWMThreadRequest& Msg) {
            Events->push_back("thread " + std::to_string(Msg.WParam));
        }
    } log{&events};
    LV->OnItemMouseDown = TItemMouseDownEvent(&log, &Log::Down);
    LV->OnItemMouseUp = TItemMouseUpEvent(&log, &Log::Up);
    LV->OnItemClick = TItemClickEvent(&log, &Log::Click);
    LV->OnItemDblClick = TItemDblClickEvent(&log, &Log::Dbl);
    LV->OnThreadCallBack = TThreadCallbackEvent(&log, &Log::Thread);
    Click(Item(2));
    SendMessageA(LV->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(Item(2)));
    // A worker's result arrives as a posted message.
    PostMessageA(LV->GetHandle(), GvMsgThreadCallBack, 42, 0);
    qelvo::test::PumpMessages(500, [&] { return events.size() >= 5; });
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up", "click text", "dblclick column", "thread 42"}));
}

// The second press of a double click is a press of its own where the first
// press did not lead to a double click: on an item the first did not choose
// (the view changed between the two) it chooses that item; check boxes and
// fold buttons act on every press, on the chosen item too. On the chosen
// item's text it is a double click.
TEST_F(GvInputMessageTest, ADoubleClickIsAPressWhereTheFirstPressLedToNone) {
    int doubles = 0;
    struct Log {
        int* Doubles;
        void Dbl(TCustomGvListview*, TCommonMouseButton, TPoint, TGvHitInfoItem) { ++*Doubles; }
    } log{&doubles};
    LV->OnItemDblClick = TItemDblClickEvent(&log, &Log::Dbl);
    Click(Item(2));
    SendMessageA(LV->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(Item(4)));
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, At(Item(4)));
    EXPECT_TRUE(Item(4)->GetSelected());
    EXPECT_FALSE(Item(2)->GetSelected());
    EXPECT_EQ(doubles, 0);
    SendMessageA(LV->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(Item(4)));
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, At(Item(4)));
    ASSERT_EQ(doubles, 1);
    doubles = 0;

    LV->SetShowGroupMargins(true);
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetGroups()->Rebuild(true);
    TGvItem* item = Item(2);
    Click(item);
    TGvRectArrayObject R;
    item->RectArray(nullptr, R);
    const TPoint box = LV->GetScrollbars()->MapViewToWindow(
        TPoint{(R.CheckRect.Left + R.CheckRect.Right) / 2, (R.CheckRect.Top + R.CheckRect.Bottom) / 2});
    SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.X, box.Y));
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(box.X, box.Y));
    ASSERT_TRUE(item->GetChecked());
    SendMessageA(LV->GetHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(box.X, box.Y));
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(box.X, box.Y));
    EXPECT_FALSE(item->GetChecked());
    EXPECT_EQ(doubles, 0);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));

    TGvGroup* first = Group(0);
    ClickExpandButton(first);
    ASSERT_FALSE(first->GetExpanded());
    ClickExpandButton(first, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(first->GetExpanded());
    EXPECT_EQ(doubles, 0);
}

TEST_F(GvInputMessageTest, CheckBoxesToggleOnAReleaseOverTheBox) {
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetGroups()->Rebuild(true);
    TGvItem* item = Item(4);
    TGvRectArrayObject R;
    item->RectArray(nullptr, R);
    const TPoint box = LV->GetScrollbars()->MapViewToWindow(
        TPoint{(R.CheckRect.Left + R.CheckRect.Right) / 2, (R.CheckRect.Top + R.CheckRect.Bottom) / 2});
    SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.X, box.Y));
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), item);
    EXPECT_TRUE(item->GetCheckPending());
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(box.X, box.Y));
    EXPECT_TRUE(item->GetChecked());
    EXPECT_FALSE(item->GetCheckPending());
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
    // Pressing the box does not select the item.
    EXPECT_TRUE(Selected().empty());
    // Released elsewhere: nothing changes.
    SendMessageA(LV->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.X, box.Y));
    SendMessageA(LV->GetHandle(), WM_LBUTTONUP, 0, At(Item(7)));
    EXPECT_TRUE(item->GetChecked());
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
    // Space toggles the focused item's box.
    Click(Item(5));
    Press(VK_SPACE);
    EXPECT_TRUE(Item(5)->GetChecked());
    Press(VK_SPACE);
    EXPECT_FALSE(Item(5)->GetChecked());
    // Without a box Space does nothing.
    LV->GetPaintInfoItem()->SetCheckType(ectNone);
    Press(VK_SPACE);
    EXPECT_FALSE(Item(5)->GetChecked());
}

TEST_F(GvInputMessageTest, ArrowsHomeEndAndPagesMoveAcrossGroups) {
    // No focused item: the first key focuses the first visible one.
    Press(VK_DOWN);
    EXPECT_EQ(Focused(), Item(0));
    EXPECT_TRUE(Selected().empty());
    for (int i = 0; i < 5; ++i) Press(VK_DOWN);
    EXPECT_EQ(Focused(), Item(5));  // into the second group
    EXPECT_EQ(Selected(), (std::vector<int>{5}));
    Press(VK_UP);
    EXPECT_EQ(Focused(), Item(4));
    Press(VK_END);
    EXPECT_EQ(Focused(), Item(9));
    EXPECT_EQ(Selected(), (std::vector<int>{9}));
    Press(VK_HOME);
    EXPECT_EQ(Focused(), Item(0));
    // Shift extends from the anchor.
    Hold(VK_SHIFT, true);
    Press(VK_DOWN);
    Press(VK_DOWN);
    Hold(VK_SHIFT, false);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Focused(), Item(2));
    // Ctrl moves the focus alone.
    Hold(VK_CONTROL, true);
    Press(VK_DOWN);
    Hold(VK_CONTROL, false);
    EXPECT_EQ(Focused(), Item(3));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    // Ctrl+A selects every item.
    Hold(VK_CONTROL, true);
    Press('A');
    Hold(VK_CONTROL, false);
    EXPECT_EQ(Selected().size(), 10u);
    // Page Down lands further down, and the item is scrolled into view.
    Press(VK_HOME);
    Press(VK_NEXT);
    ASSERT_NE(Focused(), nullptr);
    EXPECT_GT(Focused()->GetIndex() + (Focused()->OwnerGroup()->GetIndex() * 5), 1);
    const TRect shown = LV->GetScrollbars()->MapViewRectToWindowRect(Focused()->GetDisplayRect());
    EXPECT_LE(shown.Bottom, LV->GetClientHeight());
    EXPECT_GE(shown.Top, LV->GetHeader()->RuntimeHeight());
    // A key action handler may keep the control from acting.
    struct Stop {
        void Key(TCustomGvListview*, uint16_t& Code, gcl::TShiftState&, bool& DoDefault) {
            if (Code == VK_DOWN) DoDefault = false;
        }
    } stop;
    LV->OnKeyAction = TGvKeyActionEvent(&stop, &Stop::Key);
    TGvItem* before = Focused();
    Press(VK_DOWN);
    EXPECT_EQ(Focused(), before);
}

TEST_F(GvInputMessageTest, DownSelectsTheOnlyItem) {
    LV->GetGroups()->Clear();
    TGvItem* only = LV->GetGroups()->Add(nullptr)->GetItems()->Add(nullptr);
    only->SetCaption(L"Only");
    LV->GetGroups()->Rebuild(true);
    LV->GetSelection()->SetFocusedItem(only);
    ASSERT_FALSE(only->GetSelected());
    Press(VK_DOWN);
    EXPECT_TRUE(only->GetSelected());
    EXPECT_EQ(Focused(), only);
}

TEST_F(GvInputMessageTest, TheExpandButtonCollapsesAndTheFocusMovesOn) {
    LV->SetShowGroupMargins(true);
    TGvGroup* first = Group(0);
    Click(Item(2));
    ClickExpandButton(first);
    EXPECT_FALSE(first->GetExpanded());
    EXPECT_EQ(Focused(), Item(5));
    // The release of the toggling press clicks nothing.
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
}

// A second click on the chosen item asks for its edit after a pause; any
// press before then gives that up (a fold, another item chosen), so the
// edit never lands on an item the click was not on.
TEST_F(GvInputMessageTest, APressAfterTheClickThatAskedForAnEditGivesItUp) {
    LV->SetShowGroupMargins(true);
    TGvEditManager* edits = LV->GetEditManager();
    edits->SetEnabled(true);
    SetFocus(LV->GetHandle());
    Click(Item(2));
    ASSERT_FALSE(edits->AutoEditTimerRunning());
    Click(Item(2));
    ASSERT_TRUE(edits->AutoEditTimerRunning());
    Click(Item(3));
    EXPECT_FALSE(edits->AutoEditTimerRunning()) << "another item chosen";
    Click(Item(3));
    ASSERT_TRUE(edits->AutoEditTimerRunning());
    ClickExpandButton(Group(0));
    EXPECT_FALSE(edits->AutoEditTimerRunning()) << "the item's group folded";
    edits->SetEnabled(false);
}

TEST_F(GvInputMessageTest, TheWheelScrollsByRows) {
    for (int i = 0; i < 30; ++i) Group(1)->GetItems()->Add(nullptr);
    LV->GetGroups()->Rebuild(true);
    TGvScrollbarManager* bars = LV->GetScrollbars();
    ASSERT_GT(bars->MaxOffsetY(), 100);
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    POINT screen{10, 40};
    ClientToScreen(LV->GetHandle(), &screen);
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), static_cast<int>(lines) * LV->GetGroups()->CellHeight());
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), 0);
    // Two notches in one message scroll twice as far; half a notch scrolls
    // the whole lines it makes and keeps the rest for the next, and a turn
    // back forgets the rest.
    const int row = LV->GetGroups()->CellHeight(), notch = static_cast<int>(lines) * row;
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), 2 * notch);
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), 2 * notch + static_cast<int>(lines) / 2 * row);
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), 3 * notch);
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)),
                 MAKELPARAM(screen.x, screen.y));
    const int before = bars->GetOffsetY();
    SendMessageA(LV->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(bars->GetOffsetY(), before - notch);
    // The scroll bar answers its own messages.
    SendMessageA(LV->GetHandle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(bars->GetOffsetY(), 0);
    EXPECT_TRUE(LV->GetControlStates() & gcsScrolling);
    SendMessageA(LV->GetHandle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_FALSE(LV->GetControlStates() & gcsScrolling);
    SendMessageA(LV->GetHandle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(bars->GetOffsetY(), 0);
}

TEST_F(GvInputMessageTest, TheRubberBandSelectsAndScrollsAtTheEdge) {
    for (int i = 0; i < 30; ++i) Group(1)->GetItems()->Add(nullptr)->SetCaption(L"More");
    LV->GetGroups()->Rebuild(true);
    LV->GetDragRectManager()->SetEnabled(true);
    TGvScrollbarManager* bars = LV->GetScrollbars();
    ASSERT_GT(bars->MaxOffsetY(), 100);
    const HWND wnd = LV->GetHandle();
    auto screenOf = [&](TPoint p) {
        POINT s{p.X, p.Y};
        ClientToScreen(wnd, &s);
        return s;
    };
    // Beside the caption of row 1 nothing selects: the press arms a band.
    const TRect row1 = Item(1)->GetDisplayRect();
    const TPoint press = bars->MapViewToWindow(TPoint{140, (row1.Top + row1.Bottom) / 2});
    const TRect row3 = Item(3)->GetDisplayRect();
    const TPoint over3 = bars->MapViewToWindow(TPoint{10, (row3.Top + row3.Bottom) / 2});
    POINT at = screenOf(press);
    SetCursorPos(at.x, at.y);
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.X, press.Y));
    EXPECT_TRUE(LV->GetControlStates() & gcsRectSelectPending);
    EXPECT_EQ(GetCapture(), wnd);
    // A move within the drag distance starts nothing (the detection loop
    // sees the release, which stays queued).
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.X + 2, press.Y + 1));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(press.X + 2, press.Y + 1));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.X + 1, press.Y));
    EXPECT_FALSE(LV->GetControlStates() & gcsRectSelecting);
    qelvo::test::PumpMessages(100);
    EXPECT_EQ(LV->GetControlStates() & (gcsRectSelectPending | gcsLeftButtonDown), 0);
    EXPECT_TRUE(Selected().empty());
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.X, press.Y));
    // Leaving the drag rectangle starts the band; it follows the mouse.
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over3.X, over3.Y));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.X + 1, press.Y));
    EXPECT_TRUE(LV->GetControlStates() & gcsRectSelecting);
    at = screenOf(over3);
    SetCursorPos(at.x, at.y);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over3.X, over3.Y));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    // Held at the bottom edge the view scrolls after the delay and the band
    // grows with it.
    const TPoint edge{over3.X, LV->GetClientHeight() - 3};
    at = screenOf(edge);
    SetCursorPos(at.x, at.y);
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge.X, edge.Y));
    EXPECT_EQ(bars->GetOffsetY(), 0);
    qelvo::test::PumpMessages(3000, [&] { return bars->GetOffsetY() > 60; });
    EXPECT_GT(bars->GetOffsetY(), 60);
    const size_t selected = Selected().size();
    EXPECT_GT(selected, 6u);
    SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(edge.X, edge.Y));
    EXPECT_EQ(LV->GetControlStates() & (gcsRectSelecting | gcsRectSelectPending | gcsLeftButtonDown), 0);
    EXPECT_NE(GetCapture(), wnd);
    EXPECT_EQ(Selected().size(), selected);
    const int offset = bars->GetOffsetY();
    qelvo::test::PumpMessages(200);
    EXPECT_EQ(bars->GetOffsetY(), offset);  // the scrolling stopped with the band
}

TEST_F(GvInputMessageTest, AGestureIsReportedInsteadOfTheMenu) {
    LV->GetGesture()->SetEnabled(true);
    std::vector<std::wstring> gestures;
    struct Log {
        std::vector<std::wstring>* Gestures;
        void Gesture(TCustomGvListview*, const std::wstring& Path, bool& Handled) {
            Gestures->push_back(Path);
            Handled = true;
        }
    } log{&gestures};
    LV->OnMouseGesture = TGvGestureEvent(&log, &Log::Gesture);
    const HWND wnd = LV->GetHandle();
    SendMessageA(wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 60));
    // Right twice (one letter), a small wobble (none), then down.
    SendMessageA(wnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(30, 60));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(40, 62));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(41, 63));
    SendMessageA(wnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(41, 80));
    EXPECT_EQ(LV->GetGesturePath(), L"RD");
    SendMessageA(wnd, WM_RBUTTONUP, 0, MAKELPARAM(41, 80));
    EXPECT_EQ(gestures, (std::vector<std::wstring>{L"RD"}));
    EXPECT_NE(GetCapture(), wnd);
}

TEST_F(GvInputMessageTest, HintsAskTheHandlerOrShowCutOffCaptions) {
    struct Popup {
        TGvCollectionItem* Target = nullptr;
        void On(TCustomGvListview*, TGvCollectionItem* TargetObj, TGvHintType, TPoint, std::wstring& AText, int&, int&,
                bool& Allow) {
            Target = TargetObj;
            AText = L"About this task";
            Allow = true;
        }
    } popup;
    auto show = [&](TGvItem* item, gcl::THintInfo& info) {
        info = gcl::THintInfo{};
        info.HintControl = LV;
        info.CursorPos = LV->GetScrollbars()->MapViewToWindow(TextCentre(item));
        return LV->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    };
    gcl::THintInfo info;
    // Without a handler that allows it there is no hint.
    EXPECT_NE(show(Item(2), info), 0);
    LV->OnHintPopup = THintPopupEvent(&popup, &Popup::On);
    EXPECT_EQ(show(Item(2), info), 0);
    EXPECT_EQ(popup.Target, Item(2));
    EXPECT_EQ(info.HintWindowClass, TGvHintWindow::StaticClass());
    EXPECT_EQ(info.HintStr, "About this task");
    EXPECT_EQ(info.CursorRect, LV->GetScrollbars()->MapViewRectToWindowRect(Item(2)->GetDisplayRect()));
    // Tool tips show a caption that does not fit, and only that.
    LV->OnHintPopup = THintPopupEvent();
    LV->SetHintType(ehtToolTip);
    EXPECT_NE(show(Item(2), info), 0);
    LV->GetHeader()->GetColumns()->GetColumns(0)->SetWidth(28);
    LV->GetGroups()->Rebuild(true);
    EXPECT_EQ(show(Item(2), info), 0);
    EXPECT_EQ(info.HintStr, "Item 2");
    // Never for the focused item.
    LV->GetSelection()->SetFocusedItem(Item(2));
    EXPECT_NE(show(Item(2), info), 0);
}

// Shift+F10 or the menu key send WM_CONTEXTMENU at (-1, -1): the menu
// belongs to the first selected item, at its top-left corner below the
// header; with nothing selected no item or group hears of it and the
// general event gets the client origin.
TEST_F(GvInputMessageTest, TheKeyboardContextMenuTargetsTheFirstSelectedItem) {
    struct Log {
        std::vector<TGvItem*> Items;
        std::vector<TPoint> Points;
        int Groups = 0;
        std::vector<TPoint> General;
        bool ItemHandles = true;
        void Item(TCustomGvListview*, TGvHitInfoItem Info, TPoint WindowPoint, gcl::TPopupMenu*&, bool& Handled) {
            Items.push_back(Info.Item);
            Points.push_back(WindowPoint);
            Handled = ItemHandles;
        }
        void Group(TCustomGvListview*, TGvHitInfoGroup, TPoint, gcl::TPopupMenu*&, bool&) { ++Groups; }
        void Popup(gcl::TObject*, TPoint MousePos, bool& Handled) {
            General.push_back(MousePos);
            Handled = true;
        }
    } log;
    LV->OnItemContextMenu = TItemContextMenuEvent(&log, &Log::Item);
    LV->OnGroupContextMenu = TGroupContextMenuEvent(&log, &Log::Group);
    LV->OnContextPopup = gcl::TContextPopupEvent(&log, &Log::Popup);
    const HWND wnd = LV->GetHandle();
    // Nothing selected.
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
    EXPECT_TRUE(log.Items.empty());
    EXPECT_EQ(log.Groups, 0);
    EXPECT_EQ(log.General, (std::vector<TPoint>{TPoint{0, 0}}));
    // Two selected: the first in display order is the target.
    Item(7)->SetSelected(true);
    Item(3)->SetSelected(true);
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
    ASSERT_EQ(log.Items, (std::vector<TGvItem*>{Item(3)}));
    const TRect r = Item(3)->GetDisplayRect();
    const int header = LV->GetHeader()->RuntimeHeight();
    EXPECT_EQ(log.Points[0], (TPoint{r.Left - LV->GetScrollbars()->GetOffsetX(),
                                     r.Top - LV->GetScrollbars()->GetOffsetY() + header}));
    EXPECT_EQ(log.Groups, 0);
    // The item's handler had the menu: the general event stays silent.
    EXPECT_EQ(log.General.size(), 1u);
    // Unhandled, the general event (and after it PopupMenu) opens at the
    // item's corner too, and an item the list was scrolled away from is
    // brought into view first, so the menu opens on it inside the window.
    log.ItemHandles = false;
    LV->SetHeight(header + 3 * r.Height());
    LV->GetScrollbars()->SetOffsetY(Item(9)->GetDisplayRect().Bottom);
    ASSERT_GT(LV->GetScrollbars()->GetOffsetY(), r.Bottom) << "the list cannot be scrolled away from the item";
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
    ASSERT_EQ(log.Items.size(), 2u);
    ASSERT_EQ(log.General.size(), 2u);
    EXPECT_EQ(log.General[1], log.Points[1]);
    EXPECT_EQ(log.Points[1].Y, header) << "the item is not at the top of the rows";
    // Its group collapsed, the item does not show: the group's corner
    // stands for it (its old place is another row's now).
    Group(0)->SetExpanded(false);
    LV->GetScrollbars()->SetOffsetY(Item(9)->GetDisplayRect().Bottom);
    SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
    ASSERT_EQ(log.Items, (std::vector<TGvItem*>{Item(3), Item(3), Item(3)}));
    EXPECT_EQ(log.Points[2], LV->GetScrollbars()->MapViewToWindow(TPoint{Group(0)->GetDisplayRect().Left, Group(0)->GetDisplayRect().Top}));
    EXPECT_EQ(log.Points[2].Y, header) << "the group is not brought into view";
}

// Clicks select through the hit areas of each view: the caption and the
// icon in icon view, the whole row in report view with full-row selection,
// and nothing in the empty part of a cell.
TEST_F(GvInputMessageTest, ClicksHitThroughTheViewOfTheStyle) {
    const HWND wnd = LV->GetHandle();
    auto clickAt = [&](TPoint view) {
        const TPoint p = LV->GetScrollbars()->MapViewToWindow(view);
        SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.X, p.Y));
        SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(p.X, p.Y));
    };
    // Report view: past the caption's end only full-row selection selects.
    const TRect row = Item(2)->GetDisplayRect();
    const TPoint pastText{row.Right - 3, (row.Top + row.Bottom) / 2};
    clickAt(pastText);
    EXPECT_TRUE(Selected().empty());
    LV->GetSelection()->SetFullRowSelect(true);
    clickAt(pastText);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_TRUE(Item(2)->SelectionHitPt(pastText));

    // Icon view: the caption below the icon hits, the cell's empty corner
    // does not.
    LV->GetSelection()->ClearAll();
    LV->SetView(elsIcon);
    TGvRectArrayObject R;
    Item(4)->RectArray(nullptr, R);
    ASSERT_FALSE(gcl::IsRectEmpty(R.TextRect));
    const TPoint caption{(R.TextRect.Left + R.TextRect.Right) / 2, (R.TextRect.Top + R.TextRect.Bottom) / 2};
    EXPECT_TRUE(Item(4)->SelectionHitPt(caption));
    const TRect cell = Item(4)->GetDisplayRect();
    const TPoint corner{cell.Right - 2, cell.Bottom - 2};
    ASSERT_FALSE(gcl::PtInRect(R.TextRect, corner));
    EXPECT_FALSE(Item(4)->SelectionHitPt(corner));
    clickAt(corner);
    EXPECT_TRUE(Selected().empty());
    clickAt(caption);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    // A disabled item is never hit.
    Item(4)->SetEnabled(false);
    EXPECT_FALSE(Item(4)->SelectionHitPt(caption));
}

// The selection manager shows the rubber band's settings, which live in
// the control's band manager, and the band is drawn in its own colours.
TEST_F(GvInputMessageTest, TheSelectionManagerCarriesTheBandSettings) {
    TGvSelectionManager* selection = LV->GetSelection();
    TGvDragRectManager* band = LV->GetDragRectManager();
    EXPECT_FALSE(selection->GetEnableDragSelect());
    EXPECT_EQ(selection->GetMouseButtonSelRect(), (TCommonMouseButtons{cmbLeft, cmbRight}));
    EXPECT_TRUE(selection->GetAutoScroll());
    EXPECT_EQ(selection->GetAutoScrollAccelerator(), 2);
    EXPECT_EQ(selection->GetAutoScrollDelay(), 500);
    EXPECT_EQ(selection->GetAutoScrollMargin(), 15);
    EXPECT_EQ(selection->GetAutoScrollTime(), 50);
    EXPECT_EQ(selection->GetBlendAlphaSelRect(), 70);
    selection->SetEnableDragSelect(true);
    selection->SetMouseButtonSelRect(TCommonMouseButtons{cmbRight});
    selection->SetAutoScroll(false);
    selection->SetAutoScrollDelay(120);
    selection->SetAutoScrollMargin(9);
    selection->SetAutoScrollTime(30);
    selection->SetAutoScrollAccelerator(5);
    EXPECT_TRUE(band->GetEnabled());
    EXPECT_EQ(band->GetMouseButton(), TCommonMouseButtons{cmbRight});
    EXPECT_FALSE(band->GetAutoScroll());
    EXPECT_EQ(band->GetAutoScrollDelay(), 120);
    EXPECT_EQ(band->GetAutoScrollMargin(), 9);
    EXPECT_EQ(band->GetAutoScrollTime(), 30);
    EXPECT_EQ(band->GetAutoScrollAccelerator(), 5);
    band->SetEnabled(false);
    EXPECT_FALSE(selection->GetEnableDragSelect());
    // Only the buttons named start a band: the left one no longer does.
    selection->SetEnableDragSelect(true);
    EXPECT_FALSE(band->DragStartTest(cmbLeft, TPoint{10, 150}));
    EXPECT_TRUE(band->DragStartTest(cmbRight, TPoint{10, 150}));
    band->CancelPending();

    // The band's frame and its blended fill, painted on a bitmap.
    selection->SetBorderColorSelRect(gcl::clRed);
    selection->SetBlendColorSelRect(gcl::clBlue);
    selection->SetBlendAlphaSelRect(128);
    ASSERT_TRUE(band->DragStartTest(cmbRight, TPoint{20, 60}));
    band->DragStart(nullptr, TCommonKeyStates{cksRButton}, TPoint{20, 60});
    TCommonDropEffect effect = cdeNone;
    band->Drag(TCommonKeyStates{cksRButton}, TPoint{120, 140}, TCommonDropEffects(), effect);
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(LV->GetClientWidth(), LV->GetClientHeight());
    gcl::TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetBrush()->SetColor(gcl::clWhite);
    canvas->FillRect(TRect{0, 0, bitmap.GetWidth(), bitmap.GetHeight()});
    band->PaintSelectionRect(canvas);
    EXPECT_EQ(canvas->GetPixels(20, 100), gcl::clRed);
    EXPECT_EQ(canvas->GetPixels(70, 100), gcl::clWhite);
    selection->SetAlphaBlendSelRect(true);
    band->PaintSelectionRect(canvas);
    const gcl::TColor tinted = canvas->GetPixels(70, 100);
    EXPECT_NE(tinted, gcl::clWhite);
    EXPECT_GT(tinted >> 16 & 0xFF, tinted & 0xFF);  // bluer than red
    EXPECT_EQ(canvas->GetPixels(200, 100), gcl::clWhite);  // outside the band
    band->DragEnd();
}

} // namespace


// A group folded by code takes the focus off its items, as a fold by its
// button does: the focus moves on to the next item laid out, or to none
// when no item after it is laid out; Home and End land on items that are
// laid out. With every group folded no item is focused, and no key acts
// on one the user cannot see.
TEST_F(GvInputMessageTest, AFoldedGroupKeepsNoFocusedItem) {
    for (WPARAM key : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_LEFT, VK_RIGHT, VK_HOME, VK_END}) {
        Group(0)->SetExpanded(true);
        Click(Item(2));
        Group(0)->SetExpanded(false);
        EXPECT_EQ(Focused(), Item(5)) << "the focus stayed in the folded group; key " << key;
        Press(key);
        ASSERT_NE(Focused(), nullptr) << "key " << key;
        EXPECT_EQ(Focused()->OwnerGroup(), Group(1)) << "key " << key;
    }
    // With the last group collapsed, End stops in the first one; Home
    // passes over a collapsed first group.
    Group(0)->SetExpanded(true);
    Click(Item(1));
    Group(1)->SetExpanded(false);
    Press(VK_END);
    EXPECT_EQ(Focused(), Item(4));
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    Group(1)->SetExpanded(true);
    Click(Item(7));
    Group(0)->SetExpanded(false);
    Press(VK_HOME);
    EXPECT_EQ(Focused(), Item(5));
    // Every group folded, in one update as a caller folds them all: the
    // focus leaves the last group too. The keys find nothing to move to,
    // Space checks no item and F2 edits none.
    LV->GetPaintInfoItem()->SetCheckType(ectBox);
    LV->GetEditManager()->SetEnabled(true);
    struct TEdits {
        std::vector<TGvItem*> Asked;
        void Begin(TCustomGvListview*, TGvItem* Item, int&, bool& Allow) {
            Asked.push_back(Item);
            Allow = false;
        }
    } edits;
    LV->OnItemEditBegin = TItemEditBegin(&edits, &TEdits::Begin);
    LV->BeginUpdate();
    Group(1)->SetExpanded(false);
    LV->EndUpdate();
    EXPECT_EQ(Focused(), nullptr);
    for (WPARAM key : {VK_DOWN, VK_END, VK_HOME, VK_NEXT, VK_SPACE, VK_F2}) {
        Press(key);
        EXPECT_EQ(Focused(), nullptr) << "key " << key;
    }
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(Item(i)->GetChecked()) << "item " << i;
    EXPECT_TRUE(edits.Asked.empty());
    // A group opened again: Down focuses its first item.
    Group(1)->SetExpanded(true);
    Press(VK_DOWN);
    EXPECT_EQ(Focused(), Item(5));
    LV->OnItemEditBegin = TItemEditBegin();
}

// A hint still up when its item is freed: the hint's records let go of it,
// so its handlers never see the freed address.
TEST_F(GvInputMessageTest, FreeingAnItemClearsItFromTheHint) {
    struct Handlers {
        std::vector<TGvCollectionItem*> Drawn;
        void Popup(TCustomGvListview*, TGvCollectionItem*, TGvHintType, TPoint, std::wstring& AText, int&, int&,
                   bool& Allow) {
            AText = L"About this task";
            Allow = true;
        }
        void Info(TCustomGvListview*, TGvCollectionItem*, TGvHintInfo* Info) {
            Info->HintType = ehtCustomDraw;
            Info->Bounds = TRect{0, 0, 60, 20};
        }
        void Draw(TCustomGvListview*, TGvCollectionItem* Target, const TGvHintInfo*) { Drawn.push_back(Target); }
    } handlers;
    LV->OnHintPopup = THintPopupEvent(&handlers, &Handlers::Popup);
    LV->OnHintCustomInfo = THintCustomizeInfoEvent(&handlers, &Handlers::Info);
    LV->OnHintCustomDraw = THintCustomDrawEvent(&handlers, &Handlers::Draw);
    TGvItem* item = Item(3);
    gcl::THintInfo info{};
    info.HintControl = LV;
    info.CursorPos = LV->GetScrollbars()->MapViewToWindow(TextCentre(item));
    ASSERT_EQ(LV->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info)), 0);
    ASSERT_EQ(LV->GetHintData()->TargetObj, item);
    auto* window = static_cast<TGvHintWindow*>(TGvHintWindow::StaticClass()->Create(nullptr));
    const TRect r = window->CalcHintRect(400, "", LV->GetHintData());
    ASSERT_EQ(LV->GetHintInfo()->TargetObj, item);
    TRect shown = r;
    gcl::OffsetRect(shown, 50, 50);
    window->ActivateHintData(shown, "About this task", LV->GetHintData());
    gcl::Free(item);
    EXPECT_EQ(LV->GetHintData()->TargetObj, nullptr);
    EXPECT_EQ(LV->GetHintInfo()->TargetObj, nullptr);
    handlers.Drawn.clear();
    window->Repaint();
    EXPECT_EQ(handlers.Drawn, (std::vector<TGvCollectionItem*>{nullptr}));
    // Freeing another item leaves a hint's target alone.
    LV->GetGroups()->Rebuild(true);
    ASSERT_EQ(LV->Perform(gcl::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info)), 0);
    TGvCollectionItem* target = LV->GetHintData()->TargetObj;
    ASSERT_NE(target, nullptr);
    gcl::Free(Item(8));
    EXPECT_EQ(LV->GetHintData()->TargetObj, target);
    window->Free();
}
