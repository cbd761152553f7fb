// Hints: CM_HINTSHOW with a hint window class chosen per show, the hint
// window's geometry (a 100x20 bitmap hint shows whole) and cancelling.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <functional>
#include <string>
#include <vector>

#include "gcl/ActnList.h"
#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "support/ApplicationTest.h"

using namespace gcl;
using qelvo::test::PumpApplication;

namespace {


class THntOtherHint : public THintWindow {
    GCL_CLASS(THntOtherHint, THintWindow)
protected:
    explicit THntOtherHint(TComponent* owner) : THintWindow(owner) {}
};
GCL_IMPLEMENT_CLASS(THntOtherHint)

// A hint window that shows a prepared bitmap: it makes the rectangle
// (bitmap - 2) and paints the bitmap at (0, 0); setting its text does not
// resize it.
class THntBitmapHint : public THintWindow {
    GCL_CLASS(THntBitmapHint, THintWindow)
public:
    TBitmap* HintBitmap = nullptr;

    void ActivateHintData(const TRect& rect, const std::string& hint, void* data) override {
        HintBitmap = static_cast<TBitmap*>(data);
        TRect r = rect;
        if (HintBitmap) {
            r.Right = r.Left + HintBitmap->GetWidth() - 2;
            r.Bottom = r.Top + HintBitmap->GetHeight() - 2;
        }
        inherited::ActivateHintData(r, hint, data);
    }
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_TEXTCHANGED) {
            message.Result = 1;
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit THntBitmapHint(TComponent* owner) : THintWindow(owner) {}
    void Paint() override {
        if (HintBitmap) GetCanvas()->Draw(0, 0, HintBitmap);
    }
};
GCL_IMPLEMENT_CLASS(THntBitmapHint)

// A control that answers CM_HINTSHOW and CM_HINTSHOWPAUSE.
class THntControl : public TCustomControl {
    GCL_CLASS(THntControl, TCustomControl)
public:
    THintWindowClass HintClass = nullptr;
    void* HintData = nullptr;
    bool Suppress = false;
    int Pause = 0;  // show at once
    std::vector<THintInfo> Shows;

    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_HINTSHOWPAUSE) {
            *TCMHintShowPause(message).GetPause() = Pause;
            return;
        }
        if (message.Msg == CM_HINTSHOW) {
            THintInfo* info = TCMHintShow(message).GetHintInfo();
            Shows.push_back(*info);
            if (HintClass) info->HintWindowClass = HintClass;
            if (HintData) info->HintData = HintData;
            message.Result = Suppress ? 1 : 0;
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit THntControl(TComponent* owner) : TCustomControl(owner) { SetShowHint(true); }
};
GCL_IMPLEMENT_CLASS(THntControl)

// A control that leaves CM_HINTSHOW to the library.
class THntPlainControl : public TCustomControl {
    GCL_CLASS(THntPlainControl, TCustomControl)
public:
    void Dispatch(TMessage& message) override {
        if (message.Msg == CM_HINTSHOWPAUSE) {
            *TCMHintShowPause(message).GetPause() = 0;  // show at once
            return;
        }
        inherited::Dispatch(message);
    }

protected:
    explicit THntPlainControl(TComponent* owner) : TCustomControl(owner) { SetShowHint(true); }
};
GCL_IMPLEMENT_CLASS(THntPlainControl)

// Vetoes or rewrites an action's hint.
struct THntActionHints {
    bool Veto = false;
    std::string Replace;
    int Calls = 0;
    void Hint(std::string& hint, bool& canShow) {
        ++Calls;
        if (!Replace.empty()) hint = Replace;
        if (Veto) canShow = false;
    }
};

class THntForm : public TForm {
    GCL_CLASS(THntForm, TForm)
protected:
    explicit THntForm(TComponent* owner) : TForm(owner) {
        SetBorderStyle(bsNone);
        SetBounds(50, 50, 300, 100);
    }
};
GCL_IMPLEMENT_CLASS(THntForm)

// A 100x20 bitmap with a different colour in each corner.
class TCornerBitmap {
public:
    TCornerBitmap() {
        FBitmap.SetPixelFormat(pf24bit);
        FBitmap.SetSize(100, 20);
        TCanvas* canvas = FBitmap.GetCanvas();
        canvas->GetBrush()->SetColor(clBlue);
        canvas->FillRect(Rect(0, 0, 100, 20));
        canvas->SetPixels(0, 0, clRed);
        canvas->SetPixels(99, 0, clLime);
        canvas->SetPixels(0, 19, clYellow);
        canvas->SetPixels(99, 19, clFuchsia);
    }
    TBitmap* Get() { return &FBitmap; }

private:
    TBitmap FBitmap;
};

// Paints a control through WM_PAINT with a DC into a 32-bit DIB and
// returns the pixels (0x00RRGGBB, top row first).
std::vector<uint32_t> Snapshot(TControl* control, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    PatBlt(dc, 0, 0, width, height, BLACKNESS);
    control->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
    GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                                 static_cast<const uint32_t*>(bits) + width * height);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return pixels;
}

uint32_t Rgb(TColor color) {
    COLORREF c = ColorToRGB(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

class Hints : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FormsUnit.Initialize(); }
    static void TearDownTestSuite() { FormsUnit.Finalize(); }

    void SetUp() override {
        Form = THntForm::Create(nullptr);
        Form->Show();
    }
    void TearDown() override {
        Application->CancelHint();
        FreeAndNil(Form);
        PumpApplication(20);
    }

    THntControl* Add(const std::string& name, int left, const std::string& hint) {
        THntControl* control = THntControl::Create(Form);
        control->SetName(name);
        control->SetBounds(left, 10, 60, 40);
        control->SetHint(hint);
        control->SetParent(Form);
        return control;
    }

    // What a mouse move over control at (x, y) does for hints.
    static void MoveOver(TControl* control, int x, int y) {
        TMessage move = MakeMessage(WM_MOUSEMOVE, 0, PointToLParam(Point(x, y)));
        Application->HintMouseMessage(control, move);
    }

    static bool HintVisible() {
        THintWindow* hint = Application->GetHintWindow();
        return hint && hint->HandleAllocated() && IsWindowVisible(hint->GetHandle());
    }

    THntForm* Form = nullptr;
};

} // namespace

TEST_F(Hints, EachShowMayUseItsOwnHintWindowClass) {
    THntControl* a = Add("A", 10, "Alpha|the long alpha hint");
    THntControl* b = Add("B", 80, "Beta");
    THntControl* c = Add("C", 150, "Gamma");
    a->HintClass = THntOtherHint::StaticClass();
    c->Suppress = true;

    MoveOver(a, 5, 6);
    ASSERT_TRUE(HintVisible());
    THintWindow* first = Application->GetHintWindow();
    EXPECT_EQ(first->ClassType(), THntOtherHint::StaticClass());
    EXPECT_EQ(first->GetCaption(), "Alpha");
    ASSERT_EQ(a->Shows.size(), 1u);
    const THintInfo& info = a->Shows[0];
    EXPECT_EQ(info.HintControl, a);
    EXPECT_EQ(info.HintWindowClass, THintWindow::StaticClass());  // the default, before the control's choice
    EXPECT_EQ(info.HintStr, "Alpha");
    EXPECT_EQ(info.CursorPos, Point(5, 6));
    EXPECT_EQ(info.CursorRect, Rect(0, 0, 60, 40));
    EXPECT_EQ(info.HintColor, clInfoBk);
    EXPECT_EQ(info.HideTimeout, Application->GetHintHidePause());

    // The next show without a choice goes back to the default class, and
    // the window object is made again.
    MoveOver(b, 5, 5);
    ASSERT_TRUE(HintVisible());
    EXPECT_EQ(Application->GetHintWindow()->ClassType(), THintWindow::StaticClass());
    EXPECT_EQ(Application->GetHintWindow()->GetCaption(), "Beta");
    MoveOver(a, 5, 5);
    EXPECT_EQ(Application->GetHintWindow()->ClassType(), THntOtherHint::StaticClass());

    // The replaceable default.
    HintWindowClass = THntOtherHint::StaticClass();
    MoveOver(b, 6, 6);
    EXPECT_EQ(Application->GetHintWindow()->ClassType(), THntOtherHint::StaticClass());
    HintWindowClass = THintWindow::StaticClass();

    // A non-zero answer to CM_HINTSHOW means no hint.
    MoveOver(c, 5, 5);
    EXPECT_EQ(c->Shows.size(), 1u);
    EXPECT_FALSE(HintVisible());

    // A click ends the hint; so do keys in the message loop.
    MoveOver(b, 7, 7);
    ASSERT_TRUE(HintVisible());
    TMessage click = MakeMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(Point(7, 7)));
    Application->HintMouseMessage(b, click);
    EXPECT_FALSE(HintVisible());
    MoveOver(a, 8, 8);
    ASSERT_TRUE(HintVisible());
    PostMessageA(a->GetHandle(), WM_KEYDOWN, VK_SHIFT, 0);
    PumpApplication(500, [] { return !HintVisible(); });
    EXPECT_FALSE(HintVisible());
}

TEST_F(Hints, HintWindowGeometryAndFrame) {
    THintWindow* hint = THintWindow::Create(nullptr);
    // No frame of the window's own: exactly two pixels more than asked.
    TRect r = hint->CalcHintRect(300, "Some hint text", nullptr);
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Top, 0);
    EXPECT_GT(r.Width(), 6);
    OffsetRect(r, 40, 30);
    hint->ActivateHintData(r, "Some hint text", nullptr);
    RECT window;
    GetWindowRect(hint->GetHandle(), &window);
    EXPECT_EQ(FromRECT(window), Bounds(40, 30, r.Width() + 2, r.Height() + 2));
    RECT client;
    GetClientRect(hint->GetHandle(), &client);
    EXPECT_EQ(client.right, r.Width() + 2);
    EXPECT_EQ(client.bottom, r.Height() + 2);
    EXPECT_EQ(hint->GetCaption(), "Some hint text");

    // Its own one-pixel frame, then the hint colour.
    int w = r.Width() + 2;
    int h = r.Height() + 2;
    std::vector<uint32_t> pixels = Snapshot(hint, w, h);
    EXPECT_EQ(pixels[0], Rgb(clWindowFrame));
    EXPECT_EQ(pixels[static_cast<size_t>(h * w - 1)], Rgb(clWindowFrame));
    EXPECT_EQ(pixels[static_cast<size_t>(w + w - 2)], Rgb(clInfoBk));  // (w - 2, 1)

    // A new text outside ActivateHint resizes the window to fit.
    hint->SetCaption("A much longer hint text than before");
    GetWindowRect(hint->GetHandle(), &window);
    EXPECT_GT(window.right - window.left, w);
    hint->Free();
}

TEST_F(Hints, ABitmapHintOf100x20ShowsWhole) {
    TCornerBitmap bitmap;
    THntBitmapHint* hint = THntBitmapHint::Create(nullptr);
    hint->ActivateHintData(Bounds(60, 70, 5, 5), "bitmap hint", bitmap.Get());
    RECT window;
    GetWindowRect(hint->GetHandle(), &window);
    EXPECT_EQ(FromRECT(window), Bounds(60, 70, 100, 20));
    RECT client;
    GetClientRect(hint->GetHandle(), &client);
    EXPECT_EQ(FromRECT(client), Rect(0, 0, 100, 20));

    // Every pixel of the bitmap is on the window's client area.
    std::vector<uint32_t> pixels = Snapshot(hint, 100, 20);
    TCanvas* source = bitmap.Get()->GetCanvas();
    int wrong = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixels[static_cast<size_t>(y * 100 + x)] != Rgb(source->GetPixels(x, y))) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(pixels[0], 0xFF0000u);         // red, top left
    EXPECT_EQ(pixels[99], 0x00FF00u);        // lime, top right
    EXPECT_EQ(pixels[19 * 100], 0xFFFF00u);  // yellow, bottom left
    EXPECT_EQ(pixels[19 * 100 + 99], 0xFF00FFu);
    hint->Free();

    // The same through the application: the control names the class and
    // hands over the bitmap as hint data.
    THntControl* control = Add("Picture", 10, "picture");
    control->HintClass = THntBitmapHint::StaticClass();
    control->HintData = bitmap.Get();
    MoveOver(control, 3, 3);
    ASSERT_TRUE(HintVisible());
    THintWindow* shown = Application->GetHintWindow();
    EXPECT_EQ(shown->ClassType(), THntBitmapHint::StaticClass());
    GetClientRect(shown->GetHandle(), &client);
    EXPECT_EQ(FromRECT(client), Rect(0, 0, 100, 20));
    GetWindowRect(shown->GetHandle(), &window);
    EXPECT_EQ(window.right - window.left, 100);
    EXPECT_EQ(window.bottom - window.top, 20);
}

TEST_F(Hints, AnActionsHintShowsItsShortCut) {
    THntPlainControl* control = THntPlainControl::Create(Form);
    control->SetBounds(10, 10, 60, 40);
    control->SetParent(Form);
    TAction* action = TAction::Create(Form);
    action->SetHint("Open|Opens a task file");
    action->SetShortCut(scCtrl | 'O');
    control->SetAction(action);
    ASSERT_EQ(control->GetHint(), "Open|Opens a task file");
    const TPoint over = control->ClientToScreen(Point(5, 5));
    auto shown = [&] {
        Application->CancelHint();
        Application->ActivateHint(over);
        return HintVisible() ? Application->GetHintWindow()->GetCaption() : std::string("(none)");
    };

    EXPECT_EQ(shown(), "Open (Ctrl+O)");
    // Only while the application shows shortcuts in hints, and only for
    // an action with a shortcut.
    Application->SetHintShortCuts(false);
    EXPECT_EQ(shown(), "Open");
    Application->SetHintShortCuts(true);
    action->SetShortCut(0);
    EXPECT_EQ(shown(), "Open");
    action->SetShortCut(scShift | scCtrl | VK_F5);
    EXPECT_EQ(shown(), "Open (Shift+Ctrl+F5)");

    // The action's OnHint sees the hint first and may change or veto it.
    THntActionHints hints;
    action->OnHint = THintEvent(&hints, &THntActionHints::Hint);
    hints.Replace = "Open a file";
    EXPECT_EQ(shown(), "Open a file (Shift+Ctrl+F5)");
    hints.Veto = true;
    EXPECT_EQ(shown(), "(none)");
    EXPECT_EQ(hints.Calls, 2);
    action->OnHint = THintEvent();

    // A control without an action is left alone.
    control->SetAction(nullptr);
    control->SetHint("Plain");
    EXPECT_EQ(shown(), "Plain");
}

namespace {

// Runs the message loop until it has made one idle pass (the idle handler
// asks for no wait), reporting what the pass found under the cursor.
struct TIdleProbe {
    int Passes = 0;
    POINT First{}, Second{};
    HWND FirstWindow = nullptr, SecondWindow = nullptr;
    void Idle(TObject*, bool& done) {
        ++Passes;
        Application->CursorAndWindow(First, FirstWindow);
        Application->CursorAndWindow(Second, SecondWindow);
        done = false;
    }
    void RunPass() {
        const int before = Passes;
        Application->OnIdle = TIdleEvent(this, &TIdleProbe::Idle);
        for (int i = 0; i < 1000 && Passes == before; ++i) Application->HandleMessage();
        Application->OnIdle = nullptr;
    }
};

} // namespace

// The idle check hides a hint once the cursor is over no window of ours;
// each pass finds the cursor anew and its parts share one answer.
TEST_F(Hints, IdlePassesFollowTheCursorOffOurWindows) {
    THntControl* a = Add("A", 10, "Alpha");
    PumpApplication(50);
    MoveOver(a, 5, 6);
    ASSERT_TRUE(HintVisible());
    TIdleProbe probe;

    const TPoint over = a->ClientToScreen(Point(20, 20));
    SetCursorPos(over.X, over.Y);
    probe.RunPass();
    ASSERT_GE(probe.Passes, 1);
    EXPECT_EQ(probe.First.x, over.X);
    EXPECT_EQ(probe.First.y, over.Y);
    EXPECT_EQ(FindGclWindow(probe.FirstWindow), a);
    EXPECT_EQ(probe.Second.x, probe.First.x);
    EXPECT_EQ(probe.SecondWindow, probe.FirstWindow);
    EXPECT_TRUE(HintVisible());

    // Off the form: the next pass sees it and the hint goes.
    TRect bounds = Form->GetBoundsRect();
    const POINT away{bounds.Right + 40, bounds.Bottom + 40};
    SetCursorPos(away.x, away.y);
    probe.RunPass();
    EXPECT_EQ(probe.First.x, away.x);
    EXPECT_EQ(probe.First.y, away.y);
    EXPECT_EQ(FindGclWindow(probe.FirstWindow), nullptr);
    EXPECT_FALSE(HintVisible());

    // Outside an idle pass every ask is fresh.
    SetCursorPos(over.X, over.Y);
    POINT now{};
    HWND window = nullptr;
    ASSERT_TRUE(Application->CursorAndWindow(now, window));
    EXPECT_EQ(now.x, over.X);
    EXPECT_EQ(FindGclWindow(window), a);
}

// The hint timers: a show timer cancelled by a click stays quiet, a show
// timer left running shows the hint, and the hide timer of a shown hint
// hides it, also when an earlier one was stopped by a cancel in between.
TEST_F(Hints, CancelledHintTimersStayQuietAndRunningOnesFire) {
    THntControl* a = Add("A", 10, "Alpha");
    a->Pause = 20;
    // The cursor away from the form: only the moves the test makes count.
    SetCursorPos(1200, 1000);
    PumpApplication(50);
    MoveOver(a, 5, 6);
    EXPECT_FALSE(HintVisible());
    Application->CancelHint();
    PumpApplication(200);
    EXPECT_FALSE(HintVisible()) << "a cancelled show timer fired";

    MoveOver(a, 5, 6);
    EXPECT_TRUE(PumpApplication(5000, HintVisible));
    Application->CancelHint();
    EXPECT_FALSE(HintVisible());

    Application->SetHintHidePause(40);
    MoveOver(a, 5, 6);
    ASSERT_TRUE(PumpApplication(5000, HintVisible));
    EXPECT_TRUE(PumpApplication(5000, [] { return !HintVisible(); })) << "the hide timer never hid the hint";
    Application->SetHintHidePause(2500);
}
