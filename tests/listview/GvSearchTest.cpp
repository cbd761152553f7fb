// Finding items by typing (keys sent to a real window, the reset timer
// run out), hot tracking's cursor and capture, and the hint window's
// rectangle.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvWindowFixture.h"
#include "support/WindowTest.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

class GvSearchTest : public qelvo::test::GvWindowFixture {
protected:
    void SetUp() override {
        MakeListview(300, 300);
        LV->SetView(elsReport);
        TGvGroup* g0 = LV->GetGroups()->Add(nullptr);
        TGvGroup* g1 = LV->GetGroups()->Add(nullptr);
        for (const wchar_t* c : {L"Apple", L"bread", L"Abacus"}) g0->GetItems()->Add(nullptr)->SetCaption(c);
        for (const wchar_t* c : {L"ABYSS", L"banana", L"beans"}) g1->GetItems()->Add(nullptr)->SetCaption(c);
        LV->GetGroups()->Rebuild(true);
        LV->GetIncrementalSearch()->SetEnabled(true);
    }
    void Type(const char* Text) {
        for (const char* p = Text; *p; ++p) {
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
            SendMessageA(LV->GetHandle(), WM_KEYDOWN, static_cast<WPARAM>(upper), 1);
            SendMessageA(LV->GetHandle(), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*p)), 1);
        }
    }
    std::wstring Focused() const {
        TGvItem* item = LV->GetSelection()->GetFocusedItem();
        return item ? item->GetCaption() : L"-";
    }
};

TEST_F(GvSearchTest, TypingFindsTheFirstItemStartingWithTheTextAndForgetsItAfterTheResetTime) {
    TGvIncrementalSearchManager* search = LV->GetIncrementalSearch();
    Type("ab");
    EXPECT_EQ(Focused(), L"Abacus");
    EXPECT_TRUE(LV->GetGroups()->GetGroups(0)->GetItem(2)->GetSelected());
    EXPECT_EQ(LV->GetSelection()->GetCount(), 1);
    EXPECT_EQ(search->GetSearchBuffer(), L"ab");
    Type("y");
    EXPECT_EQ(Focused(), L"ABYSS");

    // Past the reset time the text is forgotten: "b" starts anew.
    ASSERT_TRUE(qelvo::test::PumpMessages(3000, [&] { return !search->Searching(); }));
    EXPECT_TRUE(search->GetSearchBuffer().empty());
    EXPECT_FALSE(search->TimerRunning());
    Type("b");
    EXPECT_EQ(Focused(), L"bread");
    EXPECT_EQ(LV->GetSelection()->GetCount(), 1);

    // A control character resets the search without moving the focus.
    SendMessageA(LV->GetHandle(), WM_CHAR, 8, 1);
    EXPECT_EQ(search->GetSearchItem(), nullptr);
    EXPECT_EQ(Focused(), L"bread");
}

TEST_F(GvSearchTest, RepeatedLetterStepsWithLastHitAndBackwardWraps) {
    TGvIncrementalSearchManager* search = LV->GetIncrementalSearch();
    search->SetStartType(eissLastHit);
    Type("b");
    EXPECT_EQ(Focused(), L"bread");
    Type("b");
    EXPECT_EQ(Focused(), L"banana");
    EXPECT_EQ(search->GetSearchBuffer(), L"b");
    Type("b");
    EXPECT_EQ(Focused(), L"beans");
    search->EndSearch();

    // Backward from the end, wrapping past the start.
    search->SetStartType(eissStartOver);
    search->SetDirection(eisdBackward);
    Type("ap");
    EXPECT_EQ(Focused(), L"Apple");
    search->EndSearch();
    Type("x");
    EXPECT_EQ(Focused(), L"Apple");
    EXPECT_EQ(search->GetSearchItem(), nullptr);
}

TEST_F(GvSearchTest, FreeingTheHitOrTheControlWhileSearchingIsSafe) {
    TGvIncrementalSearchManager* search = LV->GetIncrementalSearch();
    search->SetStartType(eissLastHit);
    Type("ba");
    ASSERT_EQ(Focused(), L"banana");
    gcl::Free(LV->GetGroups()->GetGroups(1)->GetItem(1));
    EXPECT_EQ(search->GetSearchItem(), nullptr);
    EXPECT_TRUE(search->TimerRunning());
    // Freed with a running timer: the timer goes with it, nothing raises.
    gcl::Free(LV);
    LV = nullptr;
    EXPECT_TRUE(qelvo::test::PumpMessages(2300));
}

// ---- Hot tracking ----------------------------------------------------------------------------

TEST_F(GvSearchTest, HotTrackingTakesCursorAndCaptureOnlyWhenEnabled) {
    TGvHotTrackManager* hot = LV->GetHotTrack();
    TGvItem* item = LV->GetGroups()->GetGroups(0)->GetItem(0);
    // Disabled: the item hears of it, cursor and capture stay.
    hot->SetPendingObject(item, TPoint{5, 5});
    EXPECT_EQ(hot->GetHotObject(), item);
    EXPECT_TRUE(item->GetHotTracking());
    EXPECT_NE(GetCapture(), LV->GetHandle());
    EXPECT_EQ(LV->GetCursor(), gcl::crDefault);
    hot->SetPendingObject(nullptr, TPoint{});
    EXPECT_FALSE(item->GetHotTracking());

    hot->SetEnabled(true);
    hot->SetPendingObject(item, TPoint{5, 5});
    EXPECT_EQ(GetCapture(), LV->GetHandle());
    EXPECT_EQ(LV->GetCursor(), hot->GetCursor());
    hot->SetPendingObject(nullptr, TPoint{});
    EXPECT_NE(GetCapture(), LV->GetHandle());
    EXPECT_EQ(LV->GetCursor(), gcl::crDefault);
    EXPECT_EQ(hot->GetHotObject(), nullptr);

    // The hot object may go away under the mouse.
    hot->SetPendingObject(item, TPoint{5, 5});
    gcl::Free(item);
    EXPECT_EQ(hot->GetHotObject(), nullptr);
    ReleaseCapture();
}

// ---- Hints --------------------------------------------------------------------------------------

class THintHandlers {
public:
    void Info(TCustomGvListview*, TGvCollectionItem* Target, TGvHintInfo* Info) {
        Targets.push_back(Target);
        if (Custom) {
            Info->HintType = ehtCustomDraw;
            Info->Bounds = TRect{0, 0, 77, 33};
        }
    }
    bool Custom = false;
    std::vector<TGvCollectionItem*> Targets;
};

TEST_F(GvSearchTest, HintRectangleIsTheTextPlusSixByTwo) {
    gcl::THintWindow* window = static_cast<gcl::THintWindow*>(TGvHintWindow::StaticClass()->Create(nullptr));
    TGvItem* item = LV->GetGroups()->GetGroups(0)->GetItem(1);
    TGvHintData* data = LV->GetHintData();
    data->TargetObj = item;
    data->HintType = ehtText;
    data->Text = L"A hint for bread";
    THintHandlers handlers;
    LV->OnHintCustomInfo = THintCustomizeInfoEvent(&handlers, &THintHandlers::Info);

    const TRect r = window->CalcHintRect(400, "", data);
    gcl::TCanvas& canvas = gcl::MeasureCanvas();
    canvas.SetFont(window->GetFont());
    gcl::TSize text;
    TextExtentW(data->Text, canvas.GetHandle(), text);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 0);
    EXPECT_EQ(r.Width(), text.cx + 6);
    EXPECT_EQ(r.Height(), text.cy + 2);
    ASSERT_EQ(handlers.Targets.size(), 1u);
    EXPECT_EQ(handlers.Targets[0], item);

    // A custom-drawn hint keeps the size its handler gives.
    handlers.Custom = true;
    EXPECT_EQ(window->CalcHintRect(400, "", data), (TRect{0, 0, 77, 33}));
    window->Free();
}

}  // namespace
