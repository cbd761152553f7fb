// The header's mouse handling on a real window, driven by sent messages:
// the click cycle with its events, resizing by the column edge, the
// capture after every click, drop-down buttons, check boxes, the context
// menu, and reordering columns by a header drop.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Menus.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "listview/LvDataObject.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A popup menu that records where it was asked to pop up instead of
// running the system's menu loop.
class TRecordingMenu : public gcl::TPopupMenu {
    GCL_CLASS(TRecordingMenu, gcl::TPopupMenu)
public:
    void Popup(int x, int y) override { Shown.push_back(TPoint{x, y}); }
    std::vector<TPoint> Shown;

protected:
    explicit TRecordingMenu(gcl::TComponent* owner) : gcl::TPopupMenu(owner) {}
};
GCL_IMPLEMENT_CLASS(TRecordingMenu)

class GvHeaderInputTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(300, 200);
        LV->SetView(elsReport);
        TGvHeader* header = LV->GetHeader();
        header->SetVisible(true);
        header->SetAutoSizeHeight(false);
        header->SetHeight(21);
        const int widths[] = {100, 80, 60};
        for (int w : widths) header->GetColumns()->Add(nullptr)->SetWidth(w);
        LV->GetGroups()->Rebuild(true);
        LV->OnColumnClick = TColumnClickEvent(this, &GvHeaderInputTest::ColumnClicked);
        LV->OnHeaderMouseDown = THeaderMouseEvent(this, &GvHeaderInputTest::HeaderDown);
        LV->OnHeaderMouseUp = THeaderMouseEvent(this, &GvHeaderInputTest::HeaderUp);
        LV->OnColumnSizeChanging = TColumnSizeChangingEvent(this, &GvHeaderInputTest::SizeChanging);
        LV->OnColumnSizeChanged = TColumnSizeChangedEvent(this, &GvHeaderInputTest::SizeChanged);
        LV->OnColumnDropDownButtonClick =
            TColumnDropDownButtonClickEvent(this, &GvHeaderInputTest::DropDownClicked);
    }

    TGvColumn* Column(int i) const { return LV->GetHeader()->GetColumns()->GetColumns(i); }
    HWND Wnd() const { return LV->GetHandle(); }
    void Send(UINT msg, int x, int y, WPARAM keys = 0) {
        SendMessageA(Wnd(), msg, keys, MAKELPARAM(x, y));
    }
    void Click(int x, int y) {
        Send(WM_MOUSEMOVE, x, y);
        Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Send(WM_LBUTTONUP, x, y);
    }
    // Once the mouse has left the bar, the header lets go of it and of
    // every press (a hot-tracked column keeps the capture only while the
    // mouse is over the bar).
    void ExpectReleased() {
        Send(WM_MOUSEMOVE, 150, 150);
        EXPECT_NE(GetCapture(), Wnd());
        EXPECT_EQ(LV->GetHeader()->GetPressedColumn(), nullptr);
        EXPECT_FALSE(LV->GetHeader()->HoldsMouse());
        EXPECT_TRUE(LV->GetHeader()->GetStates().Empty());
    }

public:
    void ColumnClicked(TCustomGvListview*, TCommonMouseButton Button, TGvColumn* const& C) {
        Events.push_back("click " + std::to_string(C->GetIndex()) + (Button == cmbLeft ? " left" : " other"));
    }
    void HeaderDown(TCustomGvListview*, TCommonMouseButton, gcl::TShiftState, int, int, TGvColumn* C) {
        Events.push_back("down " + std::to_string(C ? C->GetIndex() : -1));
    }
    void HeaderUp(TCustomGvListview*, TCommonMouseButton, gcl::TShiftState, int, int, TGvColumn* C) {
        Events.push_back("up " + std::to_string(C ? C->GetIndex() : -1));
    }
    void SizeChanging(TCustomGvListview*, TGvColumn* C, int Width, int NewWidth, bool& Allow) {
        Events.push_back("changing " + std::to_string(C->GetIndex()) + " " + std::to_string(Width) + "->" +
                         std::to_string(NewWidth));
        Allow = AllowSize;
    }
    void SizeChanged(TCustomGvListview*, TGvColumn* C) { Events.push_back("changed " + std::to_string(C->GetIndex())); }
    void DropDownClicked(TCustomGvListview*, TGvColumn* C, TCommonMouseButton, gcl::TShiftState, TPoint, bool&) {
        Events.push_back("dropdown " + std::to_string(C->GetIndex()));
    }

    std::vector<std::string> Events;
    bool AllowSize = true;
};

TEST_F(GvHeaderInputTest, ClickCyclesTheSortDirectionAndReleasesTheCapture) {
    Click(50, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 0", "click 0 left", "up 0"}));
    EXPECT_EQ(Column(0)->GetSortDirection(), esdAscending);
    EXPECT_EQ(LV->GetSelection()->PeekFocusedColumn(), Column(0));
    ExpectReleased();
    EXPECT_FALSE(Column(0)->GetClicking());

    Click(50, 10);
    EXPECT_EQ(Column(0)->GetSortDirection(), esdDescending);
    ExpectReleased();
    Click(50, 10);
    EXPECT_EQ(Column(0)->GetSortDirection(), esdAscending);

    // Another column takes the sort; the first one loses its glyph.
    Events.clear();
    Click(130, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 1", "click 1 left", "up 1"}));
    EXPECT_EQ(Column(0)->GetSortDirection(), esdNone);
    EXPECT_EQ(Column(1)->GetSortDirection(), esdAscending);
    ExpectReleased();

    // After a header click, a move over the items is no longer the
    // header's.
    EXPECT_FALSE(LV->GetHeader()->OwnsMouse(TPoint{50, 100}));
}

TEST_F(GvHeaderInputTest, PressReleasedOutsideTheColumnOrOnAnUnclickableOneDoesNotClick) {
    // Without column drags a press that leaves the column loses its
    // pressed look and is no click; the header still hears the release.
    LV->GetHeader()->SetDraggable(false);
    Send(WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    EXPECT_TRUE(Column(0)->GetClicking());
    EXPECT_EQ(GetCapture(), Wnd());
    Send(WM_MOUSEMOVE, 50, 120, MK_LBUTTON);
    EXPECT_FALSE(Column(0)->GetClicking());
    Send(WM_MOUSEMOVE, 60, 12, MK_LBUTTON);
    EXPECT_TRUE(Column(0)->GetClicking());
    Send(WM_MOUSEMOVE, 50, 120, MK_LBUTTON);
    Send(WM_LBUTTONUP, 50, 120);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 0", "up 0"}));
    ExpectReleased();

    Events.clear();
    Column(2)->SetClickable(false);
    Click(200, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"up -1"}));
    EXPECT_EQ(Column(2)->GetSortDirection(), esdNone);
    ExpectReleased();
}

TEST_F(GvHeaderInputTest, ACaptureTakenAwayEndsAPressOrAResizeWithNoClick) {
    // A press: another window (or none) takes the mouse, as when the
    // window is hidden; the release the header then hears is no click.
    LV->GetHeader()->SetDraggable(false);
    Send(WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    ASSERT_TRUE(Column(0)->GetClicking());
    ReleaseCapture();
    EXPECT_FALSE(Column(0)->GetClicking());
    EXPECT_FALSE(LV->GetHeader()->HoldsMouse());
    Send(WM_LBUTTONUP, 50, 10);
    EXPECT_EQ(Column(0)->GetSortDirection(), esdNone);
    // (The release belongs to no pressed column.)
    EXPECT_EQ(Events, (std::vector<std::string>{"down 0", "up -1"}));
    // The next click is whole.
    Events.clear();
    Click(50, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 0", "click 0 left", "up 0"}));
    ExpectReleased();

    // A resize ends where the column was left, with its end event.
    Events.clear();
    Send(WM_MOUSEMOVE, 99, 10);
    Send(WM_LBUTTONDOWN, 99, 10, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 120, 10, MK_LBUTTON);
    ReleaseCapture();
    EXPECT_EQ(Column(0)->GetWidth(), 120);
    ASSERT_FALSE(Events.empty());
    EXPECT_EQ(Events.back(), "changed 0");
    Send(WM_MOUSEMOVE, 140, 10, MK_LBUTTON);
    EXPECT_EQ(Column(0)->GetWidth(), 120);
    ExpectReleased();
}

TEST_F(GvHeaderInputTest, DraggingTheEdgeResizesLiveWithTheSizeEvents) {
    // Resting on the edge arms the resize (4 px either side, right-inclusive).
    TGvColumn* column = nullptr;
    EXPECT_TRUE(LV->GetHeader()->HitResizeZone(TPoint{104, 10}, column));
    EXPECT_EQ(column, Column(0));
    EXPECT_FALSE(LV->GetHeader()->HitResizeZone(TPoint{96, 10}, column));
    EXPECT_TRUE(LV->GetHeader()->HitResizeZone(TPoint{97, 10}, column));

    Send(WM_MOUSEMOVE, 101, 10);
    EXPECT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    EXPECT_EQ(LV->GetCursor(), crGvHeaderSplit);
    EXPECT_EQ(Events, (std::vector<std::string>{"changing 0 100->100"}));
    Events.clear();

    Send(WM_LBUTTONDOWN, 101, 10, MK_LBUTTON);
    EXPECT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizing));
    Send(WM_MOUSEMOVE, 131, 10, MK_LBUTTON);
    // The width follows at once and the next column moves along.
    EXPECT_EQ(Column(0)->GetWidth(), 131);
    EXPECT_EQ(Column(1)->GetDisplayRect().Left, 131);
    Send(WM_MOUSEMOVE, 90, 10, MK_LBUTTON);
    EXPECT_EQ(Column(0)->GetWidth(), 90);
    Send(WM_LBUTTONUP, 90, 10);
    // The release is a move too: the mouse rests on the new edge.
    EXPECT_EQ(Events,
              (std::vector<std::string>{"changing 0 100->131", "changing 0 131->90", "changed 0", "changing 0 90->90"}));
    EXPECT_EQ(Column(0)->GetSortDirection(), esdNone);
    ExpectReleased();
    EXPECT_EQ(LV->GetCursor(), gcl::crDefault);

    // A handler may refuse: nothing is armed and nothing changes.
    Events.clear();
    AllowSize = false;
    LV->GetHeader()->SetDraggable(false);
    Send(WM_MOUSEMOVE, 91, 10);
    EXPECT_FALSE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    Send(WM_LBUTTONDOWN, 91, 10, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 120, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 120, 10);
    EXPECT_EQ(Column(0)->GetWidth(), 90);
    ExpectReleased();
}

// The pointer may jump from one edge to another without a move in
// between (a fast hand, or moves coalesced): each edge resizes its own
// column, also when the press lands on an edge the moves never armed.
TEST_F(GvHeaderInputTest, EachEdgeResizesItsOwnColumnAfterAJump) {
    Send(WM_MOUSEMOVE, 101, 10);
    ASSERT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    // Straight from the first column's edge to the third's (at 240).
    Send(WM_MOUSEMOVE, 241, 10);
    EXPECT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    Send(WM_LBUTTONDOWN, 241, 10, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 270, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 270, 10);
    EXPECT_EQ(Column(0)->GetWidth(), 100);
    EXPECT_EQ(Column(1)->GetWidth(), 80);
    EXPECT_EQ(Column(2)->GetWidth(), 90);
    ExpectReleased();

    // Armed on the first edge, pressed on the second with no move between.
    Send(WM_MOUSEMOVE, 101, 10);
    ASSERT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    Send(WM_LBUTTONDOWN, 181, 10, MK_LBUTTON);
    Send(WM_MOUSEMOVE, 200, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 200, 10);
    EXPECT_EQ(Column(0)->GetWidth(), 100);
    EXPECT_EQ(Column(1)->GetWidth(), 100);
    ExpectReleased();

    // Armed, then pressed in the middle of a column: a click, no resize.
    Send(WM_MOUSEMOVE, 101, 10);
    Events.clear();
    Send(WM_LBUTTONDOWN, 50, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 50, 10);
    EXPECT_EQ(Column(0)->GetWidth(), 100);
    EXPECT_NE(std::find(Events.begin(), Events.end(), "click 0 left"), Events.end());
    ExpectReleased();
}

TEST_F(GvHeaderInputTest, DropDownButtonFiresOnlyWhenReleasedOnIt) {
    TRecordingMenu* menu = TRecordingMenu::Create(nullptr);
    TGvColumnDropDownButton* button = Column(0)->GetDropDownButton();
    button->SetVisible(true);
    button->SetAlwaysShow(true);
    button->SetMenu(menu);
    TGvRectArrayObject r;
    LV->ColumnView()->CalcRects(Column(0), nullptr, r);
    ASSERT_FALSE(gcl::IsRectEmpty(r.DropDownRect));
    const TPoint on{(r.DropDownRect.Left + r.DropDownRect.Right) / 2, (r.DropDownRect.Top + r.DropDownRect.Bottom) / 2};

    // Released outside: nothing fires, no menu, no click.
    Send(WM_LBUTTONDOWN, on.X, on.Y, MK_LBUTTON);
    EXPECT_EQ(button->State & 0x06, 0x06);
    Send(WM_MOUSEMOVE, 30, 100, MK_LBUTTON);
    EXPECT_EQ(button->State & 0x02, 0);
    Send(WM_LBUTTONUP, 30, 100);
    EXPECT_EQ(Events, (std::vector<std::string>{"up -1"}));
    EXPECT_TRUE(menu->Shown.empty());
    EXPECT_EQ(button->State & 0x06, 0);
    ExpectReleased();

    // Released on it: the event, then the menu at the button's bottom-left.
    Events.clear();
    Send(WM_LBUTTONDOWN, on.X, on.Y, MK_LBUTTON);
    Send(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(Events, (std::vector<std::string>{"dropdown 0", "up -1"}));
    ASSERT_EQ(menu->Shown.size(), 1u);
    EXPECT_EQ(menu->Shown[0], LV->ClientToScreen(TPoint{r.DropDownRect.Left, r.DropDownRect.Bottom}));
    EXPECT_EQ(Column(0)->GetSortDirection(), esdNone);
    ExpectReleased();
    menu->Free();
    EXPECT_EQ(button->GetMenu(), nullptr);
}

TEST_F(GvHeaderInputTest, ColumnCheckBoxTogglesWhenPressedAndReleasedOnIt) {
    LV->GetPaintInfoColumn()->SetCheckType(ectBox);
    TGvRectArrayObject r;
    LV->ColumnView()->CalcRects(Column(1), nullptr, r);
    const TPoint on{r.CheckRect.Left + 2, (r.CheckRect.Top + r.CheckRect.Bottom) / 2};
    Send(WM_LBUTTONDOWN, on.X, on.Y, MK_LBUTTON);
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), Column(1));
    Send(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_TRUE(Column(1)->GetChecked());
    EXPECT_EQ(LV->GetCheckManager()->GetPendingObject(), nullptr);
    EXPECT_EQ(Column(1)->GetSortDirection(), esdNone);
    ExpectReleased();
    // Released elsewhere: no toggle.
    Send(WM_LBUTTONDOWN, on.X, on.Y, MK_LBUTTON);
    Send(WM_LBUTTONUP, on.X + 60, on.Y);
    EXPECT_TRUE(Column(1)->GetChecked());
    ExpectReleased();
}

TEST_F(GvHeaderInputTest, ContextMenuOverTheHeaderShowsTheHeaderMenu) {
    TRecordingMenu* menu = TRecordingMenu::Create(nullptr);
    LV->SetPopupMenuHeader(menu);
    const TPoint screen = LV->ClientToScreen(TPoint{120, 8});
    const LRESULT handled = SendMessageA(Wnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd()),
                                         MAKELPARAM(screen.X, screen.Y));
    EXPECT_NE(handled, 0);
    ASSERT_EQ(menu->Shown.size(), 1u);
    EXPECT_EQ(menu->Shown[0], screen);
    // Below the header it is not the header's menu.
    const TPoint below = LV->ClientToScreen(TPoint{120, 100});
    SendMessageA(Wnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd()), MAKELPARAM(below.X, below.Y));
    EXPECT_EQ(menu->Shown.size(), 1u);
    menu->Free();
}

TEST_F(GvHeaderInputTest, DoubleClickOnTheEdgeSizesTheColumnToItsContents) {
    TGvGroup* group = LV->GetGroups()->Add(nullptr);
    group->GetItems()->Add(nullptr)->SetCaption(L"A rather long caption for the first column of the list");
    LV->GetGroups()->Rebuild(true);
    Send(WM_MOUSEMOVE, 100, 10);
    ASSERT_TRUE(LV->GetHeader()->GetStates().Contains(ehsResizeArmed));
    Send(WM_LBUTTONDBLCLK, 100, 10, MK_LBUTTON);
    EXPECT_GT(Column(0)->GetWidth(), 150);
    Send(WM_LBUTTONUP, 100, 10);
    ExpectReleased();
}

// Away from an edge the second press of a double click presses the column
// again: its release sorts the other way, and the double click is told too.
TEST_F(GvHeaderInputTest, DoubleClickOnAColumnClicksItTwice) {
    int doubles = 0;
    struct Log {
        int* Doubles;
        void Dbl(TCustomGvListview*, TCommonMouseButton, TPoint, TGvColumn* const&) { ++*Doubles; }
    } log{&doubles};
    LV->OnColumnDblClick = TColumnDblClickEvent(&log, &Log::Dbl);
    Click(50, 10);
    Send(WM_LBUTTONDBLCLK, 50, 10, MK_LBUTTON);
    Send(WM_LBUTTONUP, 50, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 0", "click 0 left", "up 0", "down 0", "click 0 left", "up 0"}));
    EXPECT_EQ(Column(0)->GetSortDirection(), esdDescending);
    EXPECT_EQ(doubles, 1);
    ExpectReleased();
}

class TFreeingHandlers {
public:
    void FreeClicked(TCustomGvListview*, TCommonMouseButton, TGvColumn* const& Column) { gcl::Free(Column); }
    void FreeDropDown(TCustomGvListview*, TGvColumn* Column, TCommonMouseButton, gcl::TShiftState, TPoint, bool&) {
        gcl::Free(Column);
    }
    void FreeListview(TCustomGvListview* Sender, TCommonMouseButton, TGvColumn* const&) { gcl::Free(Sender); }
};

TEST_F(GvHeaderInputTest, HandlersMayFreeTheColumnOrTheControl) {
    TFreeingHandlers handlers;
    LV->OnColumnClick = TColumnClickEvent(&handlers, &TFreeingHandlers::FreeClicked);
    Click(50, 10);
    EXPECT_EQ(LV->GetHeader()->GetColumns()->GetCount(), 2);
    ExpectReleased();

    TRecordingMenu* menu = TRecordingMenu::Create(nullptr);
    TGvColumnDropDownButton* button = Column(0)->GetDropDownButton();
    button->SetVisible(true);
    button->SetAlwaysShow(true);
    button->SetMenu(menu);
    LV->OnColumnDropDownButtonClick = TColumnDropDownButtonClickEvent(&handlers, &TFreeingHandlers::FreeDropDown);
    TGvRectArrayObject r;
    LV->ColumnView()->CalcRects(Column(0), nullptr, r);
    const TPoint on{r.DropDownRect.Left + 3, r.DropDownRect.Top + 3};
    Send(WM_LBUTTONDOWN, on.X, on.Y, MK_LBUTTON);
    Send(WM_LBUTTONUP, on.X, on.Y);
    EXPECT_EQ(LV->GetHeader()->GetColumns()->GetCount(), 1);
    EXPECT_TRUE(menu->Shown.empty());
    ExpectReleased();
    menu->Free();

    // The whole control freed from its own click.
    LV->OnColumnClick = TColumnClickEvent(&handlers, &TFreeingHandlers::FreeListview);
    HWND wnd = Wnd();
    Click(20, 10);
    EXPECT_FALSE(IsWindow(wnd));
    LV = nullptr;
}

// ---- Header drop ---------------------------------------------------------------------------------

class GvHeaderDropTest : public GvHeaderInputTest {
protected:
    // A hand-made data object carrying Record as the header format.
    gcl::ComPtr<::IDataObject> DataWith(const void* Record, int Size) {
        gcl::ComPtr<::IDataObject> data(TGvDataObjectManager::Create(nullptr));
        EXPECT_TRUE(SaveToDataObject(data.Get(), CF_GVHEADER, Record, Size));
        return data;
    }
    TGvHeaderDragRecord RecordOf(TGvColumn* C) {
        return TGvHeaderDragRecord{GetCurrentProcessId(), GetCurrentThreadId(), reinterpret_cast<uintptr_t>(LV),
                                   reinterpret_cast<uintptr_t>(C)};
    }
    // Enter, move to the client point and drop; answers the effects.
    std::vector<DWORD> DropAt(::IDataObject* Data, TPoint Client) {
        ::IDropTarget* target = LV->GetDropTargetManager();
        const TPoint screen = LV->ClientToScreen(Client);
        const POINTL pt{screen.X, screen.Y};
        std::vector<DWORD> effects;
        DWORD effect = DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragEnter(Data, MK_LBUTTON, pt, &effect), S_OK);
        effects.push_back(effect);
        effect = DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragOver(MK_LBUTTON, pt, &effect), S_OK);
        effects.push_back(effect);
        effect = DROPEFFECT_MOVE;
        EXPECT_EQ(target->Drop(Data, 0, pt, &effect), S_OK);
        effects.push_back(effect);
        return effects;
    }
    std::vector<int> Positions() const {
        std::vector<int> result;
        for (int i = 0; i < 3; ++i) result.push_back(Column(i)->GetPosition());
        return result;
    }
};

TEST_F(GvHeaderDropTest, OwnRecordReordersAndForeignOrStaleRecordsAreRefused) {
    ASSERT_TRUE(LV->GetDropTargetManager()->GetRegistered());
    // Column 2 dropped on column 0.
    TGvHeaderDragRecord record = RecordOf(Column(2));
    auto data = DataWith(&record, sizeof record);
    EXPECT_EQ(DropAt(data.Get(), TPoint{20, 10}), (std::vector<DWORD>{DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_MOVE}));
    EXPECT_EQ(Positions(), (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(Column(0)->GetMarked());
    EXPECT_EQ(LV->GetHeader()->GetDragManager()->GetTargetColumn(), nullptr);

    // Below the header nothing moves.
    record = RecordOf(Column(0));
    data = DataWith(&record, sizeof record);
    EXPECT_EQ(DropAt(data.Get(), TPoint{20, 100})[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Positions(), (std::vector<int>{1, 2, 0}));

    // Another process, another thread, another list view, a record of
    // another size: refused, nothing moves.
    const std::vector<int> before = Positions();
    TGvHeaderDragRecord foreign = RecordOf(Column(0));
    foreign.ProcessId ^= 0x5A5A;
    TGvHeaderDragRecord otherThread = RecordOf(Column(0));
    otherThread.ThreadId ^= 0x5A5A;
    TGvHeaderDragRecord otherList = RecordOf(Column(0));
    otherList.Listview ^= 0x10;
    for (const TGvHeaderDragRecord& r : {foreign, otherThread, otherList}) {
        data = DataWith(&r, sizeof r);
        EXPECT_EQ(DropAt(data.Get(), TPoint{150, 10}),
                  (std::vector<DWORD>{DROPEFFECT_NONE, DROPEFFECT_NONE, DROPEFFECT_NONE}));
    }
    const uint32_t shortRecord[3] = {GetCurrentThreadId(), static_cast<uint32_t>(reinterpret_cast<uintptr_t>(LV)),
                                     static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Column(0)))};
    data = DataWith(shortRecord, sizeof shortRecord);
    EXPECT_EQ(DropAt(data.Get(), TPoint{150, 10})[2], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Positions(), before);

    // A stale record: its column was freed; the pointer is never followed.
    TGvColumn* doomed = LV->GetHeader()->GetColumns()->Add(nullptr);
    record = RecordOf(doomed);
    gcl::Free(doomed);
    data = DataWith(&record, sizeof record);
    EXPECT_EQ(DropAt(data.Get(), TPoint{150, 10})[0], static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Positions(), before);
}

TEST_F(GvHeaderDropTest, ColumnFreedDuringTheDragIsNotMoved) {
    TGvColumn* extra = LV->GetHeader()->GetColumns()->Add(nullptr);
    TGvHeaderDragRecord record = RecordOf(extra);
    auto data = DataWith(&record, sizeof record);
    ::IDropTarget* target = LV->GetDropTargetManager();
    const TPoint screen = LV->ClientToScreen(TPoint{20, 10});
    const POINTL pt{screen.X, screen.Y};
    DWORD effect = DROPEFFECT_MOVE;
    target->DragEnter(data.Get(), MK_LBUTTON, pt, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    gcl::Free(extra);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(data.Get(), 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Positions(), (std::vector<int>{0, 1, 2}));
}

}  // namespace
