// What the list view repaints of its header: a new layout, a change of the
// rows or of the focus, and a vertical scroll leave the header out while it
// shows as the window last painted it; every change of what the header
// shows (its columns, their sizes, captions, sort marks and states, its
// font, a scroll bar coming or going, a horizontal scroll) repaints it,
// also when the change was made inside an update bracket.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"

using namespace qelvo;

namespace {

class GvHeaderRepaintTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(300, 200);
        ShowWindow(static_cast<HWND>(Parent->Handle()), SW_SHOWNOACTIVATE);
        LV->SetView(elsReport);
        LV->GetHeader()->SetVisible(true);
        for (const wchar_t* caption : {L"Title", L"Tags", L"Due"}) {
            TGvColumn* column = LV->GetHeader()->GetColumns()->Add(nullptr);
            column->SetCaption(caption);
            column->SetWidth(80);
        }
        Refill(5);
        Paint();
    }

public:
    HWND Wnd() const { return LV->GetHandle(); }
    // Paints what waits to be painted, as the message loop does.
    void Paint() { UpdateWindow(Wnd()); }
    // The list emptied and filled with Count items in one update bracket,
    // as a refresh of the program's task list does; Change runs inside it.
    void Refill(int Count, const std::function<void()>& Change = nullptr) {
        TListviewUpdate update(LV);
        LV->GetGroups()->Clear();
        for (int i = 0; i < Count; ++i) LV->GetItems()->Add(nullptr)->SetCaption(L"Item " + std::to_wstring(i));
        if (Change) Change();
    }
    // Whether any of the client rectangle R waits to be painted.
    bool Pending(const RECT& R) const {
        HRGN update = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(Wnd(), update, FALSE);
        HRGN part = CreateRectRgnIndirect(&R);
        const int kind = CombineRgn(part, part, update, RGN_AND);
        DeleteObject(part);
        DeleteObject(update);
        return kind == SIMPLEREGION || kind == COMPLEXREGION;
    }
    RECT Client() const {
        RECT r{};
        GetClientRect(Wnd(), &r);
        return r;
    }
    bool HeaderPending() const {
        return Pending(RECT{0, 0, Client().right, LV->GetHeader()->RuntimeHeight()});
    }
    bool RowsPending() const {
        const RECT c = Client();
        return Pending(RECT{0, LV->GetHeader()->RuntimeHeight(), c.right, c.bottom});
    }
    TGvColumn* Column(int Index) const { return LV->GetHeader()->GetColumns()->GetColumns(Index); }
    void PaintColumnText(TCustomGvListview*, TGvColumn*, gcl::TCanvas*) {}
};

TEST_F(GvHeaderRepaintTest, ChangesOfTheRowsLeaveAnUnchangedHeaderOut) {
    ASSERT_GT(LV->GetHeader()->RuntimeHeight(), 0);
    ASSERT_FALSE(HeaderPending());
    // A refresh that shows other rows under the same header.
    Refill(7);
    EXPECT_TRUE(RowsPending());
    EXPECT_FALSE(HeaderPending());
    Paint();
    EXPECT_FALSE(RowsPending());
    // The focus coming and going changes how the rows look.
    LV->SetFocus();
    EXPECT_TRUE(RowsPending());
    EXPECT_FALSE(HeaderPending());
    Paint();
    // Rows scrolled up under the header.
    Refill(40);
    Paint();
    ASSERT_TRUE(GetWindowLongA(Wnd(), GWL_STYLE) & WS_VSCROLL);
    LV->GetScrollbars()->Scroll(0, 30);
    ASSERT_EQ(LV->GetScrollbars()->GetOffsetY(), 30);
    EXPECT_TRUE(RowsPending());
    EXPECT_FALSE(HeaderPending());
}

TEST_F(GvHeaderRepaintTest, EachChangeOfWhatTheHeaderShowsRepaintsIt) {
    struct TChange {
        const char* Name;
        std::function<void()> Make;
    };
    const std::vector<TChange> changes{
        {"a sort mark", [&] { Column(0)->SetSortDirection(esdAscending); }},
        {"the sort direction", [&] { Column(0)->SetSortDirection(esdDescending); }},
        {"the sorted column", [&] {
             Column(0)->SetSortDirection(esdNone);
             Column(1)->SetSortDirection(esdAscending);
         }},
        {"a caption", [&] { Column(1)->SetCaption(L"Labels"); }},
        {"a column's width", [&] { Column(0)->SetWidth(120); }},
        {"a column hidden", [&] { Column(2)->SetVisible(false); }},
        {"a column shown", [&] { Column(2)->SetVisible(true); }},
        {"the columns' order", [&] { Column(2)->SetPosition(0); }},
        {"a hot column", [&] { Column(1)->SetHotTracking(true); }},
        {"no hot column", [&] { Column(1)->SetHotTracking(false); }},
        {"a pressed column", [&] { Column(1)->SetClicking(true); }},
        {"no pressed column", [&] { Column(1)->SetClicking(false); }},
        {"the header's font", [&] { LV->GetHeader()->GetFont()->SetStyle({gcl::fsBold}); }},
        {"the header's colour", [&] { LV->GetHeader()->SetColor(gcl::clInfoBk); }},
        {"the buttons' style", [&] { LV->GetPaintInfoColumn()->SetStyle(ehbsFlat); }},
    };
    for (const TChange& change : changes) {
        Refill(6, change.Make);
        EXPECT_TRUE(HeaderPending()) << change.Name;
        Paint();
        // Painted as it is now: the next refresh leaves it out again.
        Refill(5);
        EXPECT_FALSE(HeaderPending()) << "after " << change.Name;
        Paint();
    }
    // The same changes made outside an update bracket repaint it at once.
    Column(0)->SetSortDirection(esdAscending);
    EXPECT_TRUE(HeaderPending());
    Paint();
    Column(0)->SetWidth(90);
    EXPECT_TRUE(HeaderPending());
    Paint();
}

TEST_F(GvHeaderRepaintTest, ScrollBarsAndHorizontalScrollingRepaintTheHeader) {
    // A vertical bar comes and narrows the header; it goes and widens it.
    Refill(40);
    ASSERT_TRUE(GetWindowLongA(Wnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(HeaderPending()) << "a bar came";
    Paint();
    Refill(41);
    EXPECT_FALSE(HeaderPending());
    Paint();
    Refill(3);
    ASSERT_FALSE(GetWindowLongA(Wnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(HeaderPending()) << "a bar went";
    Paint();
    // Columns wider than the window scroll sideways with the rows.
    Refill(3, [&] { Column(0)->SetWidth(400); });
    Paint();
    ASSERT_TRUE(GetWindowLongA(Wnd(), GWL_STYLE) & WS_HSCROLL);
    LV->GetScrollbars()->Scroll(50, 0);
    ASSERT_EQ(LV->GetScrollbars()->GetOffsetX(), 50);
    EXPECT_TRUE(HeaderPending()) << "scrolled sideways";
    Paint();
    // Painted where it scrolled to: the rows alone change next.
    LV->InvalidateView();
    EXPECT_TRUE(RowsPending());
    EXPECT_FALSE(HeaderPending());
    // A refill scrolls back to the left edge, and the header with it.
    Paint();
    Refill(4);
    ASSERT_EQ(LV->GetScrollbars()->GetOffsetX(), 0);
    EXPECT_TRUE(HeaderPending()) << "scrolled back";
}

TEST_F(GvHeaderRepaintTest, AHeaderNotSurelyShownAsItIsIsRepainted) {
    // A handler may draw anything into the header: it is always repainted.
    LV->OnColumnPaintText = TColumnPaintTextEvent(this, &GvHeaderRepaintTest::PaintColumnText);
    Paint();
    Refill(5);
    EXPECT_TRUE(HeaderPending()) << "with a handler drawing column texts";
    Paint();
    LV->OnColumnPaintText = nullptr;
    Paint();
    Refill(5);
    Paint();

    // A paint while the list is updating paints nothing.
    {
        TListviewUpdate update(LV);
        InvalidateRect(Wnd(), nullptr, FALSE);
        Paint();
        ASSERT_FALSE(HeaderPending());
    }
    EXPECT_TRUE(HeaderPending()) << "after a paint inside an update bracket";
    Paint();

    // A header changed without a repaint of its own (its font), then only
    // a part of it painted: the rest still shows it as it was.
    LV->GetHeader()->GetFont()->SetStyle({gcl::fsItalic});
    RECT part{0, 0, 20, 5};
    InvalidateRect(Wnd(), &part, FALSE);
    Paint();
    Refill(5);
    EXPECT_TRUE(HeaderPending()) << "after a paint of part of a changed header";
    Paint();
    Refill(6);
    EXPECT_FALSE(HeaderPending());
}

} // namespace
