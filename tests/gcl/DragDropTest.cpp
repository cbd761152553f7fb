// In-process drag and drop: the drag loop, drag objects, the target side.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/ComCtrls.h"
#include "gcl/DragDrop.h"
#include "gcl/Forms.h"
#include "gcl/StdCtrls.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


std::string NameOf(TObject* object) {
    if (!object) return "nil";
    if (auto* component = dynamic_cast<TComponent*>(object)) return component->GetName();
    return object->ClassName();
}

const char* StateName(TDragState state) {
    return state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "move";
}

// A drag object that tells what the loop asked of it.
class TItemDragObject : public TDragObjectEx {
    GCL_CLASS(TItemDragObject, TDragObjectEx)
public:
    static inline int Alive = 0;
    static inline std::vector<std::string>* Log = nullptr;
    TItemDragObject() { ++Alive; }
    ~TItemDragObject() override { --Alive; }
    TCursor GetDragCursor(bool accepted, int, int) override {
        if (Log) Log->push_back(accepted ? "cursor yes" : "cursor no");
        return accepted ? crHandPoint : crNo;
    }
    void Finished(TObject* target, int x, int y, bool accepted) override {
        if (Log)
            Log->push_back("finished " + NameOf(target) + " " + std::to_string(x) + "," + std::to_string(y) +
                           (accepted ? " accepted" : " refused"));
    }
};
GCL_IMPLEMENT_CLASS(TItemDragObject)

class TDragLog : public TObject {
public:
    std::vector<std::string> Lines;
    int AcceptFromX = 0;
    bool UseDragObject = false;
    bool DraggingSeen = false;
    TControl* Source = nullptr;
    int EndAtX = -1;

    void StartDrag(TObject* sender, TDragObject*& object) {
        Lines.push_back("start " + NameOf(sender));
        if (UseDragObject) object = TItemDragObject::Create();
    }
    void DragOver(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept) {
        Lines.push_back("over " + NameOf(sender) + " " + NameOf(source) + " " + std::to_string(x) + "," +
                        std::to_string(y) + " " + StateName(state));
        DraggingSeen = Source && Source->Dragging();
        accept = accept && x >= AcceptFromX;
        if (x == EndAtX) Source->EndDrag(true);
    }
    void DragDrop(TObject* sender, TObject* source, int x, int y) {
        Lines.push_back("drop " + NameOf(sender) + " " + NameOf(source) + " " + std::to_string(x) + "," +
                        std::to_string(y));
    }
    void EndDrag(TObject* sender, TObject* target, int x, int y) {
        Lines.push_back("end " + NameOf(sender) + " " + NameOf(target) + " " + std::to_string(x) + "," +
                        std::to_string(y));
    }
};

// A target that answers CM_DRAG itself.
class TSelfTarget : public TCustomControl {
    GCL_CLASS(TSelfTarget, TCustomControl)
public:
    std::vector<int> Kinds;
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_DRAG) {
            const auto kind = static_cast<TDragMessage>(message.WParam);
            Kinds.push_back(kind);
            message.Result = kind == dmDragEnter || kind == dmDragMove ? 1 : 0;
            if (kind != dmFindTarget) return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit TSelfTarget(TComponent* owner) : TCustomControl(owner) {}
};
GCL_IMPLEMENT_CLASS(TSelfTarget)

class TMark : public TGraphicControl {
    GCL_CLASS(TMark, TGraphicControl)
protected:
    explicit TMark(TComponent* owner) : TGraphicControl(owner) {}
};
GCL_IMPLEMENT_CLASS(TMark)

class TDragForm : public TForm {
    GCL_CLASS(TDragForm, TForm)
public:
    TListBox* List = nullptr;
    TTreeView* Tree = nullptr;
    TSelfTarget* Self = nullptr;
    TMark* Mark = nullptr;

protected:
    explicit TDragForm(TComponent* owner) : TForm(owner, 0) {
        SetCaption("Drag test");
        // Somewhere other test windows are unlikely to be.
        SetBounds(613, 427, 420, 260);
        List = TListBox::Create(this);
        List->SetName("ListBox");
        List->SetBounds(10, 10, 100, 150);
        List->SetParent(this);
        Tree = TTreeView::Create(this);
        Tree->SetName("Tree");
        Tree->SetBounds(150, 10, 120, 150);
        Tree->SetParent(this);
        Self = TSelfTarget::Create(this);
        Self->SetName("Self");
        Self->SetBounds(290, 10, 100, 100);
        Self->SetParent(this);
        Mark = TMark::Create(this);
        Mark->SetName("Mark");
        Mark->SetBounds(290, 150, 60, 40);
        Mark->SetParent(this);
    }
};
GCL_IMPLEMENT_CLASS(TDragForm)

void Post(TWinControl* control, UINT message, int x, int y) {
    PostMessageA(control->GetHandle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

class DragDropTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitializeUnits({&FormsUnit, &StdCtrlsUnit, &ComCtrlsUnit, &CommonControlsUnit}); }
    static void TearDownTestSuite() { FinalizeUnits({&FormsUnit, &StdCtrlsUnit, &ComCtrlsUnit, &CommonControlsUnit}); }
    void SetUp() override {
        Form = TDragForm::Create(nullptr);
        Form->List->OnStartDrag = TStartDragEvent(&Log, &TDragLog::StartDrag);
        Form->List->OnEndDrag = TEndDragEvent(&Log, &TDragLog::EndDrag);
        for (TControl* target : {static_cast<TControl*>(Form->Tree), static_cast<TControl*>(Form->Self),
                                 static_cast<TControl*>(Form->Mark)}) {
            target->OnDragOver = TDragOverEvent(&Log, &TDragLog::DragOver);
            target->OnDragDrop = TDragDropEvent(&Log, &TDragLog::DragDrop);
        }
        Log.Source = Form->List;
        TItemDragObject::Log = &Log.Lines;
        Form->Show();
        // Hit testing sees every window of the Wine desktop: stay on top.
        SetWindowPos(Form->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        PumpApplication(50);
        // Start away from the form, so the first drag step finds no target.
        SetCursorPos(2, 2);
    }
    void TearDown() override {
        TItemDragObject::Log = nullptr;
        Form->Free();
        PumpApplication(10);
    }
    TDragForm* Form = nullptr;
    TDragLog Log;
};

} // namespace

TEST_F(DragDropTest, ListToTreeFiresTargetEventsInClientCoordinates) {
    Post(Form->Tree, WM_MOUSEMOVE, 20, 30);
    Post(Form->Tree, WM_MOUSEMOVE, 25, 35);
    Post(Form->Tree, WM_LBUTTONUP, 25, 35);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Tree ListBox 20,30 enter",
                             "over Tree ListBox 25,35 move",
                             "drop Tree ListBox 25,35",
                             "end ListBox Tree 25,35",
                         }));
    EXPECT_TRUE(Log.DraggingSeen);
    EXPECT_FALSE(Form->List->Dragging());
    EXPECT_EQ(GetDragObject(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);

    // Moving from one target to another leaves the first; a refused drop
    // reaches nobody and the source hears of no target.
    Log.Lines.clear();
    Log.AcceptFromX = 1000;
    Post(Form->Tree, WM_MOUSEMOVE, 40, 50);
    Post(Form->List, WM_MOUSEMOVE, 30, 30);
    Post(Form->Tree, WM_MOUSEMOVE, 41, 51);
    Post(Form->Tree, WM_LBUTTONUP, 41, 51);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Tree ListBox 40,50 enter",
                             "over Tree ListBox 40,50 leave",
                             "over Tree ListBox 41,51 enter",
                             "over Tree ListBox 41,51 leave",
                             "end ListBox nil 41,51",
                         }));

    // EndDrag from a handler drops at the current point.
    Log.Lines.clear();
    Log.AcceptFromX = 0;
    Log.EndAtX = 77;
    Post(Form->Tree, WM_MOUSEMOVE, 77, 20);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Tree ListBox 77,20 enter",
                             "drop Tree ListBox 77,20",
                             "end ListBox Tree 77,20",
                         }));
}

TEST_F(DragDropTest, DragObjectsCursorsAndCancelling) {
    // A drag object of the source's own: it is the Source targets see, it
    // decides the cursor, hears Finished and is freed by the loop.
    Log.UseDragObject = true;
    Log.AcceptFromX = 50;
    Post(Form->Tree, WM_MOUSEMOVE, 20, 30);
    Post(Form->Tree, WM_MOUSEMOVE, 60, 30);
    PostMessageA(Form->List->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "cursor no",
                             "over Tree TItemDragObject 20,30 enter",
                             "cursor no",
                             "over Tree TItemDragObject 60,30 move",
                             "cursor yes",
                             "over Tree TItemDragObject 60,30 leave",
                             "finished Tree 60,30 refused",
                         }));
    EXPECT_EQ(TItemDragObject::Alive, 0);

    // The right button cancels too; WM_QUIT cancels and is posted again.
    Log.UseDragObject = false;
    Log.Lines.clear();
    Post(Form->Tree, WM_MOUSEMOVE, 70, 30);
    Post(Form->Tree, WM_RBUTTONDOWN, 70, 30);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines.back(), "end ListBox nil 70,30");
    Log.Lines.clear();
    Post(Form->Tree, WM_MOUSEMOVE, 71, 30);
    PostQuitMessage(7);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines.back(), "end ListBox nil 71,30");
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);

    // A box coming up meanwhile (WM_CANCELMODE to the window it disables)
    // cancels and gives the mouse back at once; so does the window of the
    // source put away or disabled under the drag.
    Log.Lines.clear();
    Post(Form->Tree, WM_MOUSEMOVE, 72, 30);
    PostMessageA(Form->GetHandle(), WM_CANCELMODE, 0, 0);
    Post(Form->Tree, WM_LBUTTONUP, 74, 30);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines.back(), "end ListBox nil 72,30");
    EXPECT_EQ(GetCapture(), nullptr);
    MSG up;
    EXPECT_TRUE(PeekMessageA(&up, Form->Tree->GetHandle(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    Log.Lines.clear();
    EnableWindow(Form->GetHandle(), FALSE);
    Post(Form->Tree, WM_MOUSEMOVE, 73, 30);
    Post(Form->Tree, WM_LBUTTONUP, 73, 30);
    Form->List->BeginDrag(true, -1);
    EnableWindow(Form->GetHandle(), TRUE);
    ASSERT_FALSE(Log.Lines.empty());
    EXPECT_EQ(Log.Lines.back().rfind("end ListBox nil ", 0), 0u) << Log.Lines.back();
    EXPECT_TRUE(PeekMessageA(&up, Form->Tree->GetHandle(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));

    // Not immediate: a release within the threshold starts nothing.
    Log.Lines.clear();
    PostThreadMessageA(GetCurrentThreadId(), WM_MOUSEMOVE, MK_LBUTTON, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
    Form->List->BeginDrag(false, 5);
    EXPECT_TRUE(Log.Lines.empty());
    // Moving past it starts the drag.
    Post(Form->Tree, WM_MOUSEMOVE, 80, 30);
    Post(Form->Tree, WM_LBUTTONUP, 80, 30);
    Form->List->BeginDrag(false, 5);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Tree ListBox 80,30 enter",
                             "drop Tree ListBox 80,30",
                             "end ListBox Tree 80,30",
                         }));

    // The default cursors.
    TDragControlObject* object = TDragControlObject::Create(Form->List);
    Form->List->SetDragCursor(crHandPoint);
    EXPECT_EQ(object->GetDragCursor(true, 0, 0), crHandPoint);
    EXPECT_EQ(object->GetDragCursor(false, 0, 0), crNoDrop);
    EXPECT_EQ(object->GetDragSource(), Form->List);
    object->Free();
    TDragObject* plain = TDragObject::Create();
    EXPECT_EQ(plain->GetDragCursor(true, 0, 0), crDrag);
    EXPECT_EQ(plain->GetDragSource(), plain);
    plain->Free();
}

TEST_F(DragDropTest, TheCMDragProtocolAndAutomaticDragMode) {
    // A target answering CM_DRAG itself keeps the default handling out.
    Mouse->SetDragImmediate(true);
    Post(Form->Self, WM_MOUSEMOVE, 10, 10);
    Post(Form->Self, WM_LBUTTONUP, 12, 10);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Form->Self->Kinds, (std::vector<int>{dmFindTarget, dmDragEnter, dmFindTarget, dmDragMove, dmDragDrop}));
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"start ListBox", "end ListBox Self 12,10"}));

    // Windowless targets are found too; their coordinates are their own.
    Log.Lines.clear();
    Post(Form, WM_MOUSEMOVE, 295, 160);
    Post(Form, WM_LBUTTONUP, 295, 160);
    Form->List->BeginDrag(true, -1);
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Mark ListBox 5,10 enter",
                             "drop Mark ListBox 5,10",
                             "end ListBox Mark 5,10",
                         }));

    // The default handling of CM_DRAG.
    Log.Lines.clear();
    TDragControlObject* object = TDragControlObject::Create(Form->List);
    TDragRec rec;
    rec.Pos = Form->Mark->ClientToScreen(Point(7, 8));
    rec.Source = object;
    EXPECT_EQ(Form->Mark->Perform(CM_DRAG, dmDragMove, reinterpret_cast<intptr_t>(&rec)), 1);
    EXPECT_EQ(Form->Mark->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<intptr_t>(&rec)), reinterpret_cast<intptr_t>(Form->Mark));
    Form->Mark->OnDragOver = nullptr;
    EXPECT_EQ(Form->Mark->Perform(CM_DRAG, dmDragEnter, reinterpret_cast<intptr_t>(&rec)), 0);
    object->Free();
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{"over Mark ListBox 7,8 move"}));

    // DragMode dmAutomatic: the list box starts the drag on its own when
    // pressed.
    Log.Lines.clear();
    Form->List->GetItems()->Add("Inbox");
    Form->List->SetDragMode(dmAutomatic);
    Post(Form->List, WM_LBUTTONDOWN, 5, 5);
    Post(Form->Tree, WM_MOUSEMOVE, 33, 44);
    Post(Form->Tree, WM_LBUTTONUP, 33, 44);
    PumpApplication(200, [this] { return Log.Lines.size() >= 4; });
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start ListBox",
                             "over Tree ListBox 33,44 enter",
                             "drop Tree ListBox 33,44",
                             "end ListBox Tree 33,44",
                         }));
    EXPECT_EQ(Form->List->GetItemIndex(), 0);
}

// DragMode dmAutomatic on a control that does nothing of its own about it:
// the window core starts the drag on the left button press.
TEST_F(DragDropTest, AutomaticDragModeStartsFromThePressOnAnyControl) {
    Form->Self->OnStartDrag = TStartDragEvent(&Log, &TDragLog::StartDrag);
    Form->Self->OnEndDrag = TEndDragEvent(&Log, &TDragLog::EndDrag);
    Form->Self->SetDragMode(dmAutomatic);
    Mouse->SetDragImmediate(false);
    Mouse->SetDragThreshold(3);
    Post(Form->Self, WM_LBUTTONDOWN, 5, 5);
    Post(Form->Tree, WM_MOUSEMOVE, 40, 50);
    Post(Form->Tree, WM_LBUTTONUP, 40, 50);
    PumpApplication(200, [this] { return Log.Lines.size() >= 4; });
    EXPECT_EQ(Log.Lines, (std::vector<std::string>{
                             "start Self",
                             "over Tree Self 40,50 enter",
                             "drop Tree Self 40,50",
                             "end Self Tree 40,50",
                         }));
    EXPECT_FALSE(Form->Self->Dragging());
    Mouse->SetDragImmediate(true);
}
