// Drag and drop of the list view: the OLE drop target for the list view's
// own drags and for foreign data, the drop source's answers, an OLE item
// drag with the insert mark (the system's loop replaced by a control that
// calls its drop target directly), the class library's drag between groups
// on a shown window, and the rubber band's auto-scroll regions.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <memory>
#include <string>
#include <vector>

#include "gcl/DragDrop.h"
#include "gcl/Forms.h"
#include "listview/GvListview.h"
#include "listview/GvListviewFixture.h"
#include "listview/LvDataObject.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"

using namespace qelvo;
using gcl::TPoint;
using gcl::TRect;

namespace {

// A list view whose OLE drag loop is replaced: it enters its own drop
// target at DropPoint, moves there and drops, as the system's loop would
// for a release at that point.
class TDropHereListview : public TGvListview {
    GCL_CLASS(TDropHereListview, TGvListview)
public:
    HRESULT ExecuteDragDrop(::IDataObject* DataObject, ::IDropSource* DropSource, TCommonDropEffects OKEffects,
                            DWORD& Effect) override {
        ::IDropTarget* target = GetDropTargetManager();
        const TPoint screen = ClientToScreen(DropPoint);
        const POINTL pt{screen.X, screen.Y};
        const DWORD offered = DropEffectsToDropEffect(OKEffects);
        DWORD effect = offered;
        target->DragEnter(DataObject, MK_LBUTTON, pt, &effect);
        Answers.push_back(effect);
        effect = offered;
        target->DragOver(MK_LBUTTON, pt, &effect);
        Answers.push_back(effect);
        // Mid-drag the feedback shows.
        MarkShown = GetDragManager()->GetInsertMark()->GetVisible();
        if (OnMidDrag) OnMidDrag(this);
        const HRESULT result = DropSource->QueryContinueDrag(FALSE, 0);
        effect = offered;
        target->Drop(DataObject, 0, pt, &effect);
        Answers.push_back(effect);
        Effect = effect;
        return result;
    }
    TPoint DropPoint;
    gcl::TNotifyEvent OnMidDrag;
    std::vector<DWORD> Answers;
    bool MarkShown = false;

protected:
    explicit TDropHereListview(gcl::TComponent* AOwner) : TGvListview(AOwner) {}
};
GCL_IMPLEMENT_CLASS(TDropHereListview)

class GvDragDropTest : public qelvo::test::GvUnitsFixture {
protected:
    void SetUp() override {
        Parent = std::make_unique<qelvo::test::HiddenTestWindow>();
        LV = TDropHereListview::Create(nullptr);
        LV->SetBounds(0, 0, 300, 240);
        LV->SetBevelKind(gcl::bkNone);
        LV->SetParentWindow(static_cast<HWND>(Parent->Handle()));
        LV->HandleNeeded();
        LV->SetView(elsReport);
        LV->GetHeader()->SetVisible(true);
        LV->GetHeader()->SetAutoSizeHeight(false);
        LV->GetHeader()->GetColumns()->Add(nullptr)->SetWidth(280);
        LV->GetCellSizes()->GetReport()->SetHeight(20);
        LV->GetSelection()->SetMultiSelect(true);
        LV->GetSelection()->SetFullRowSelect(true);
        const wchar_t* names[2][4] = {{L"a0", L"a1", L"a2", L"a3"}, {L"b0", L"b1", L"b2", nullptr}};
        for (auto& group : names) {
            TGvGroup* g = LV->GetGroups()->Add(nullptr);
            for (const wchar_t* name : group)
                if (name) g->GetItems()->Add(nullptr)->SetCaption(name);
        }
        LV->GetGroups()->Rebuild(true);
        LV->OnOLEDragStart = TOLEDropSourceDragStartEvent(this, &GvDragDropTest::DragStarted);
        LV->OnOLEDragEnd = TOLEDropSourceDragEndEvent(this, &GvDragDropTest::DragEnded);
    }
    void TearDown() override {
        gcl::Free(LV);
        Parent.reset();
    }

    TGvGroup* Group(int g) const { return LV->GetGroups()->GetGroups(g); }
    TGvItem* Item(int g, int i) const { return Group(g)->GetItem(i); }
    std::wstring Captions(int g) const {
        std::wstring result;
        for (int i = 0; i < Group(g)->ItemCount(); ++i) result += Item(g, i)->GetCaption() + L" ";
        return result;
    }
    // The window point of an item's row, Dy pixels below its top.
    TPoint RowPoint(TGvItem* I, int Dy) const {
        return LV->GetScrollbars()->MapViewToWindow(TPoint{20, I->GetDisplayRect().Top + Dy});
    }
    // Feedback and drag state are gone.
    void ExpectCleanStates() {
        TGvOLEDragManager* drag = LV->GetDragManager();
        EXPECT_FALSE(drag->Dragging());
        EXPECT_FALSE(drag->GetDragInProgress());
        EXPECT_EQ(drag->GetDropTarget(), nullptr);
        EXPECT_EQ(drag->GetDragItem(), nullptr);
        EXPECT_FALSE(drag->GetInsertMark()->GetVisible());
        EXPECT_EQ(drag->GetTimer(), nullptr);
        for (int g = 0; g < 2; ++g)
            for (int i = 0; i < Group(g)->ItemCount(); ++i) EXPECT_FALSE(Item(g, i)->GetDropTarget());
    }

public:
    void DragStarted(TCustomGvListview*, ::IDataObject* Data, TCommonDropEffects& Effects, bool& Allow) {
        Events.push_back(Data ? "start" : "start without data");
        Effects = TCommonDropEffects{cdeMove};
        Allow = AllowDrag;
    }
    void DragEnded(TCustomGvListview*, ::IDataObject*, TCommonOLEDragResult Result, TCommonDropEffects Effect,
                   TCommonKeyStates) {
        Events.push_back(std::string("end ") + (Result == cdrDrop ? "drop" : Result == cdrCancel ? "cancel" : "error") +
                         (Effect.Contains(cdeMove) ? " move" : ""));
    }
    // Paints the control into a white 32-bit bitmap and keeps the colour of
    // the insert mark's middle and of a pixel beside it; then saves what the
    // window shows.
    void LookAtTheMark(gcl::TObject*) {
        TGvInsertMark* mark = LV->GetDragManager()->GetInsertMark();
        const TRect m = LV->GetScrollbars()->MapViewRectToWindowRect(mark->GetDisplayRect());
        gcl::TBitmap bitmap;
        bitmap.SetPixelFormat(gcl::pf32bit);
        bitmap.SetWidth(LV->GetClientWidth());
        bitmap.SetHeight(LV->GetClientHeight());
        LV->PaintRect(bitmap.GetCanvas(), TRect{0, 0, bitmap.GetWidth(), bitmap.GetHeight()});
        HDC dc = bitmap.GetCanvas()->GetHandle();
        MarkPixel = GetPixel(dc, (m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2);
        StemRows = 0;
        for (int y = m.Top; y < m.Bottom; ++y)
            if (GetPixel(dc, (m.Left + m.Right) / 2, y) == RGB(0, 0, 0)) ++StemRows;
        SetWindowPos(static_cast<HWND>(Parent->Handle()), HWND_TOPMOST, 120, 120, 400, 300,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        LV->Repaint();
        qelvo::test::PumpMessages(100);
        Screenshot = qelvo::test::SaveWindowScreenshot(LV->GetHandle(), "listview_insert_mark.bmp");
    }
    COLORREF MarkPixel = 0xFFFFFFFF;
    int StemRows = 0;
    int Screenshot = -1;

    void AcceptCopy(TCustomGvListview*, TCommonKeyStates, TPoint, TCommonDropEffects, TCommonDropEffect& Effect) {
        Effect = cdeCopy;
    }

    std::unique_ptr<qelvo::test::HiddenTestWindow> Parent;
    TDropHereListview* LV = nullptr;
    std::vector<std::string> Events;
    bool AllowDrag = true;
};

TEST_F(GvDragDropTest, OwnDragWithTheInsertMarkMovesTheSelectionInOrder) {
    TGvOLEDragManager* drag = LV->GetDragManager();
    drag->SetEnabled(true);
    drag->GetInsertMark()->SetEnabled(true);
    ASSERT_TRUE(LV->GetDropTargetManager()->GetRegistered());
    Item(0, 3)->SetSelected(true);
    Item(0, 1)->SetSelected(true);
    LV->GetSelection()->SetFocusedItem(Item(0, 1));
    TGvItem* b1 = Item(1, 1);
    // Just below b1's top edge: before b1.
    LV->DropPoint = RowPoint(b1, 1);
    LV->OnMidDrag = gcl::TNotifyEvent(this, &GvDragDropTest::LookAtTheMark);
    ASSERT_TRUE(drag->DragStartTest(cmbLeft, RowPoint(Item(0, 1), 10)));
    EXPECT_EQ(drag->GetDragItem(), Item(0, 1));
    ASSERT_TRUE(drag->ExecuteDrag(RowPoint(Item(0, 1), 10), TCommonKeyStates{cksLButton}));

    EXPECT_TRUE(LV->MarkShown);
    // The mark is painted: a black stem two pixels thick across the row
    // boundary (width 2, rectangle three widths thick).
    EXPECT_EQ(MarkPixel, RGB(0, 0, 0));
    EXPECT_EQ(StemRows, 2);
    EXPECT_GT(Screenshot, 5);
    EXPECT_EQ(LV->Answers, (std::vector<DWORD>{DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_MOVE}));
    EXPECT_EQ(Events, (std::vector<std::string>{"start", "end drop move"}));
    // Selection order (display order), each after the one before.
    EXPECT_EQ(Captions(0), L"a0 a2 ");
    EXPECT_EQ(Captions(1), L"b0 a1 a3 b1 b2 ");
    EXPECT_TRUE(Item(1, 1)->GetSelected());
    EXPECT_TRUE(Item(1, 2)->GetSelected());
    EXPECT_EQ(LV->GetSelection()->GetCount(), 2);
    ExpectCleanStates();

    // Near the bottom edge of the last item: after it.
    LV->OnMidDrag = gcl::TNotifyEvent();
    LV->Answers.clear();
    LV->DropPoint = RowPoint(Item(1, 4), 19);
    ASSERT_TRUE(drag->ExecuteDrag(RowPoint(Item(1, 1), 10), TCommonKeyStates{cksLButton}));
    EXPECT_EQ(Captions(1), L"b0 b1 b2 a1 a3 ");
    ExpectCleanStates();
}

TEST_F(GvDragDropTest, WithoutTheMarkTheDropTargetIsHighlightedAndNothingMoves) {
    TGvOLEDragManager* drag = LV->GetDragManager();
    drag->SetEnabled(true);
    Item(0, 0)->SetSelected(true);
    LV->DropPoint = RowPoint(Item(1, 0), 10);
    LV->OnOLEDragOver = TOLEDropTargetDragOverEvent(this, &GvDragDropTest::AcceptCopy);
    ASSERT_TRUE(drag->ExecuteDrag(RowPoint(Item(0, 0), 10), TCommonKeyStates{}));
    EXPECT_FALSE(LV->MarkShown);
    EXPECT_EQ(Captions(0), L"a0 a1 a2 a3 ");
    EXPECT_EQ(Captions(1), L"b0 b1 b2 ");
    ExpectCleanStates();

    // A refused start runs no loop.
    Events.clear();
    AllowDrag = false;
    LV->Answers.clear();
    EXPECT_FALSE(drag->ExecuteDrag(RowPoint(Item(0, 0), 10), TCommonKeyStates{}));
    EXPECT_TRUE(LV->Answers.empty());
    EXPECT_EQ(Events, (std::vector<std::string>{"start"}));
}

TEST_F(GvDragDropTest, ForeignDataIsRefusedUnlessTheOwnerAcceptsIt) {
    TGvOLEDragManager* drag = LV->GetDragManager();
    ::IDropTarget* target = LV->GetDropTargetManager();
    gcl::ComPtr<::IDataObject> foreign(TGvDataObjectManager::Create(nullptr));
    const char text[] = "not ours";
    ASSERT_TRUE(SaveToDataObject(foreign.Get(), CF_TEXT, text, sizeof text));
    const TPoint screen = LV->ClientToScreen(RowPoint(Item(1, 1), 1));
    const POINTL pt{screen.X, screen.Y};

    // Disabled (and no column drags): not registered, and every answer
    // is "none".
    LV->GetHeader()->SetDraggable(false);
    EXPECT_FALSE(LV->GetDropTargetManager()->GetRegistered());
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(foreign.Get(), MK_LBUTTON, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragLeave();

    drag->SetEnabled(true);
    EXPECT_TRUE(LV->GetDropTargetManager()->GetRegistered());
    drag->GetInsertMark()->SetEnabled(true);
    Item(0, 0)->SetSelected(true);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(foreign.Get(), MK_LBUTTON, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    // Foreign data shows no insert mark and never moves the selection.
    EXPECT_FALSE(drag->GetInsertMark()->GetVisible());

    // The owner may take it.
    LV->OnOLEDragOver = TOLEDropTargetDragOverEvent(this, &GvDragDropTest::AcceptCopy);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(foreign.Get(), 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Captions(0), L"a0 a1 a2 a3 ");
    EXPECT_EQ(Captions(1), L"b0 b1 b2 ");
    EXPECT_TRUE(Item(0, 0)->GetSelected());
    ExpectCleanStates();

    // Switching to the class library's drag revokes the registration,
    // unless the header still takes column drops.
    drag->SetDragType(edtGCL);
    EXPECT_FALSE(LV->GetDropTargetManager()->GetRegistered());
    LV->GetHeader()->SetDraggable(true);
    EXPECT_TRUE(LV->GetDropTargetManager()->GetRegistered());
    // A new window is registered again.
    LV->RecreateWnd();
    LV->HandleNeeded();
    EXPECT_TRUE(LV->GetDropTargetManager()->GetRegistered());
}

class TSourceAnswers {
public:
    void Query(TCustomGvListview*, bool, TCommonKeyStates, TGvQueryDragResult& Result) {
        if (Override) Result = static_cast<TGvQueryDragResult>(7);
    }
    void Feedback(TCustomGvListview*, TCommonDropEffects Effect, bool& UseDefault) {
        Effects.push_back(Effect);
        UseDefault = false;
    }
    bool Override = false;
    std::vector<TCommonDropEffects> Effects;
};

TEST_F(GvDragDropTest, ANewWindowTakesDropsOnceItHasHadItsFirstPaint) {
    TGvDropTargetManager* target = LV->GetDropTargetManager();
    LV->GetDragManager()->SetEnabled(true);
    ASSERT_TRUE(target->GetRegistered());
    // A new window: the registration waits for the thread to run out of
    // messages (its paint first), then comes once.
    LV->RecreateWnd();
    LV->HandleNeeded();
    EXPECT_TRUE(target->GetSyncDue());
    qelvo::test::PumpMessages(200, [&] { return !target->GetSyncDue(); });
    EXPECT_FALSE(target->GetSyncDue());
    EXPECT_TRUE(target->GetRegistered());
    // Asked before the timer came, it is made at once; the timer then
    // finds nothing to do.
    LV->RecreateWnd();
    LV->HandleNeeded();
    EXPECT_TRUE(target->GetRegistered());
    EXPECT_FALSE(target->GetSyncDue());
    qelvo::test::PumpMessages(50);
    EXPECT_TRUE(target->GetRegistered());
    // A window gone before its timer came leaves nothing due, and a
    // manager that no longer wants drops is not registered by the timer.
    LV->RecreateWnd();
    LV->HandleNeeded();
    LV->GetDragManager()->SetEnabled(false);
    LV->GetHeader()->SetDraggable(false);
    EXPECT_FALSE(target->GetSyncDue());
    qelvo::test::PumpMessages(50);
    EXPECT_FALSE(target->GetRegistered());
}

TEST_F(GvDragDropTest, DropSourceAnswersQueryContinueDragAndGiveFeedback) {
    gcl::ComPtr<::IDropSource> source(TGvDropSourceManager::Create(LV));
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    // Escape with the button already released is a drop, not a cancel.
    EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_RBUTTON | MK_CONTROL), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE), DRAGDROP_S_USEDEFAULTCURSORS);

    TSourceAnswers answers;
    LV->OnOLEQueryContineDrag = TOLEDropSourceQueryContineDragEvent(&answers, &TSourceAnswers::Query);
    LV->OnOLEGiveFeedback = TOLEDropSourceGiveFeedbackEvent(&answers, &TSourceAnswers::Feedback);
    answers.Override = true;
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), E_UNEXPECTED);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), S_OK);
    ASSERT_EQ(answers.Effects.size(), 1u);
    EXPECT_EQ(answers.Effects[0], TCommonDropEffects{cdeCopy});
}

// ---- The class library's drag ---------------------------------------------------------------

// Ends a drag loop that is still running after its bound.
void CALLBACK EndDragLoop(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    gcl::CancelDrag();
}

class GvGclDragTest : public GvDragDropTest {
protected:
    void SetUp() override {
        GvDragDropTest::SetUp();
        // The drag finds its target on the screen: show the window.
        SetWindowPos(static_cast<HWND>(Parent->Handle()), HWND_TOPMOST, 120, 120, 400, 300,
                     SWP_SHOWWINDOW | SWP_NOACTIVATE);
        qelvo::test::PumpMessages(50);
        LV->OnDragOver = gcl::TDragOverEvent(this, &GvGclDragTest::DragOver);
        LV->OnDragDrop = gcl::TDragDropEvent(this, &GvGclDragTest::DragDrop);
    }

public:
    std::wstring ItemAt(int X, int Y) {
        TGvItem* item = LV->GetGroups()->ItemByPoint(LV->GetScrollbars()->MapWindowToView(TPoint{X, Y}));
        return item ? item->GetCaption() : L"-";
    }
    void DragOver(gcl::TObject* Sender, gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept) {
        Log.push_back(L"over " + std::to_wstring(static_cast<int>(State)) + L" " + ItemAt(X, Y) +
                      (Source == LV && Sender == LV ? L"" : L" ?"));
        DropTargetSeen = DropTargetSeen || LV->GetDragManager()->GetDropTarget() != nullptr;
        // Only another group takes the item.
        TGvItem* item = LV->GetGroups()->ItemByPoint(LV->GetScrollbars()->MapWindowToView(TPoint{X, Y}));
        Accept = item && item->OwnerGroup() == Group(1);
    }
    void DragDrop(gcl::TObject*, gcl::TObject* Source, int X, int Y) {
        Log.push_back(L"drop " + ItemAt(X, Y) + (Source == LV ? L"" : L" ?"));
        TGvItem* dragged = LV->GetDragManager()->GetDragItem();
        if (dragged) Group(1)->GetItems()->MoveItem(dragged, 0);
    }

    std::vector<std::wstring> Log;
    bool DropTargetSeen = false;
};

TEST_F(GvGclDragTest, DragBetweenGroupsFiresDragOverAndDragDropAndLeavesCleanStates) {
    TGvOLEDragManager* drag = LV->GetDragManager();
    drag->SetEnabled(true);
    drag->SetDragType(edtGCL);
    drag->SetDragMode(gcl::dmAutomatic);
    Item(0, 1)->SetSelected(true);
    LV->GetSelection()->SetFocusedItem(Item(0, 1));
    const TPoint from = RowPoint(Item(0, 1), 10);
    const TPoint to = RowPoint(Item(1, 1), 10);
    const TPoint fromScreen = LV->ClientToScreen(from);
    SetCursorPos(fromScreen.X, fromScreen.Y);
    HWND wnd = LV->GetHandle();
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.X, from.Y + 30));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.X, to.Y));
    PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(to.X, to.Y));
    // The loop ends with the release; a watchdog ends it otherwise.
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 3000, &EndDragLoop);
    ASSERT_TRUE(drag->ExecuteDrag(from, TCommonKeyStates{cksLButton}));
    KillTimer(nullptr, watchdog);

    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.front(), L"over 0 a1");
    EXPECT_EQ(Log.back(), L"drop b1");
    EXPECT_TRUE(DropTargetSeen);
    EXPECT_EQ(Captions(1), L"a1 b0 b1 b2 ");
    EXPECT_FALSE(LV->Dragging());
    ExpectCleanStates();
    EXPECT_EQ(GetCapture(), nullptr);
}

// ---- Auto-scroll -------------------------------------------------------------------------------

TEST_F(GvDragDropTest, RubberBandScrollsOnlyWhereTheViewCanMove) {
    for (int i = 0; i < 30; ++i) Group(1)->GetItems()->Add(nullptr);
    LV->GetGroups()->Rebuild(true);
    TGvDragRectManager* band = LV->GetDragRectManager();
    TGvScrollbarManager* bars = LV->GetScrollbars();
    const int height = LV->GetClientHeight();
    const int header = LV->GetHeader()->RuntimeHeight();
    ASSERT_GT(bars->MaxOffsetY(), 0);
    // At the top already: no up region; the down region works.
    EXPECT_FALSE(band->PtInAutoScrollUpRegion(TPoint{50, header + 2}));
    EXPECT_TRUE(band->PtInAutoScrollDownRegion(TPoint{50, height - 2}));
    EXPECT_FALSE(band->PtInAutoScrollDownRegion(TPoint{50, height - 20}));
    // The step grows towards the edge: margin x accelerator at the very
    // edge, 1 x accelerator at the inner edge of the margin.
    EXPECT_EQ(band->ScrollDeltaDown(TPoint{50, height}) * band->GetAutoScrollAccelerator(), 30);
    EXPECT_EQ(band->ScrollDeltaUp(TPoint{50, header + 14}) * band->GetAutoScrollAccelerator(), 2);
    bars->SetOffsetY(40);
    EXPECT_TRUE(band->PtInAutoScrollUpRegion(TPoint{50, header + 2}));

    // A single point selects the item under it.
    band->SetEnabled(true);
    const TPoint at = RowPoint(Item(0, 2), 5);
    ASSERT_TRUE(band->DragStartTest(cmbLeft, at));
    band->DragStart(nullptr, TCommonKeyStates{cksLButton}, at);
    TCommonDropEffect effect = cdeNone;
    band->Drag(TCommonKeyStates{cksLButton}, at, TCommonDropEffects(), effect);
    EXPECT_EQ(band->SelectionRect().Width(), 1);
    EXPECT_TRUE(Item(0, 2)->GetSelected());
    band->DragEnd();
    EXPECT_TRUE(gcl::IsRectEmpty(band->SelectionRect()));
    EXPECT_EQ(band->GetTimer(), nullptr);
}

}  // namespace

namespace {

// ---- Column drag from the mouse ---------------------------------------------------------------

TEST_F(GvDragDropTest, DraggingAHeaderButtonOntoAnotherReordersTheColumns) {
    TGvColumns* columns = LV->GetHeader()->GetColumns();
    columns->GetColumns(0)->SetWidth(100);
    columns->Add(nullptr)->SetWidth(80);
    columns->Add(nullptr)->SetWidth(60);
    LV->GetGroups()->Rebuild(true);
    HWND wnd = LV->GetHandle();
    // Press on the third column, then leave the system's drag rectangle:
    // the move the drag detection reads is already queued.
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 8));
    EXPECT_TRUE(LV->GetHeader()->GetStates().Contains(ehsDragPending));
    PostMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 30));
    LV->DropPoint = TPoint{20, 8};
    SendMessageA(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(205, 8));
    EXPECT_EQ(LV->Answers, (std::vector<DWORD>{DROPEFFECT_MOVE, DROPEFFECT_MOVE, DROPEFFECT_MOVE}));
    EXPECT_EQ(columns->GetColumns(2)->GetPosition(), 0);
    EXPECT_EQ(columns->GetColumns(0)->GetPosition(), 1);
    // The drag took the release: nothing of the press is left.
    EXPECT_EQ(LV->GetHeader()->GetPressedColumn(), nullptr);
    EXPECT_FALSE(columns->GetColumns(2)->GetClicking());
    EXPECT_EQ(LV->GetHeader()->GetDragManager()->GetColumn(), nullptr);
    EXPECT_EQ(LV->GetHeader()->GetDragManager()->GetTargetColumn(), nullptr);
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 150));
    EXPECT_TRUE(LV->GetHeader()->GetStates().Empty());
    EXPECT_NE(GetCapture(), wnd);
    EXPECT_EQ(columns->GetColumns(2)->GetSortDirection(), esdNone);
}

}  // namespace

namespace {

TEST_F(GvDragDropTest, AutoScrollWaitsForTheDelayThenSteps) {
    for (int i = 0; i < 30; ++i) Group(1)->GetItems()->Add(nullptr);
    LV->GetGroups()->Rebuild(true);
    TGvDragRectManager* band = LV->GetDragRectManager();
    TGvScrollbarManager* bars = LV->GetScrollbars();
    band->SetEnabled(true);
    // The cursor rests in the bottom margin.
    const TPoint at{50, LV->GetClientHeight() - 3};
    const TPoint screen = LV->ClientToScreen(at);
    SetCursorPos(screen.X, screen.Y);
    ASSERT_TRUE(band->DragStartTest(cmbLeft, TPoint{50, 40}));
    band->DragStart(nullptr, TCommonKeyStates{cksLButton}, TPoint{50, 40});
    TCommonDropEffect effect = cdeNone;
    band->Drag(TCommonKeyStates{cksLButton}, at, TCommonDropEffects(), effect);
    // The timer runs for the delay; nothing moves before it ticks.
    gcl::TTimer* timer = band->GetTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->GetEnabled());
    EXPECT_EQ(timer->GetInterval(), static_cast<uint32_t>(band->GetAutoScrollDelay()));
    EXPECT_EQ(bars->GetOffsetY(), 0);
    EXPECT_FALSE(band->AutoScrolling());
    // Its tick at the end of the delay (run here at once) starts the
    // scrolling and moves nothing yet; the ticks after it, at the shorter
    // interval, scroll in steps of (margin - distance) x accelerator.
    timer->OnTimer(timer);
    EXPECT_TRUE(band->AutoScrolling());
    EXPECT_EQ(timer->GetInterval(), 50u);
    EXPECT_EQ(bars->GetOffsetY(), 0);
    ASSERT_TRUE(qelvo::test::PumpMessages(3000, [&] { return bars->GetOffsetY() > 0; }));
    EXPECT_TRUE(band->AutoScrolling());
    EXPECT_EQ(bars->GetOffsetY() % 24, 0);
    // The band stays attached to the content: its moving point went down
    // with the view.
    EXPECT_GE(band->GetDragPoint().Y, at.Y - LV->GetHeader()->RuntimeHeight() + bars->GetOffsetY() - 24);
    // Leaving the margin stops it.
    band->Drag(TCommonKeyStates{cksLButton}, TPoint{50, 60}, TCommonDropEffects(), effect);
    EXPECT_FALSE(band->AutoScrolling());
    EXPECT_FALSE(band->GetTimer()->GetEnabled());
    band->DragEnd();
    EXPECT_EQ(band->GetTimer(), nullptr);
}

}  // namespace
