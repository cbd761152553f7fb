// The themed standard controls: the state-flag records, the status bar's
// layout, grip and hosted controls, the spin edit's value rules, button
// groups, the expandable panel's heights, what each control asks the
// theme for, and a dialog in the shape of the options window.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <thread>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Strings.h"
#include "theming/Tx.h"
#include "theming/TxDkPanels.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxStatusBars.h"
#include "theming/TxTestSupport.h"
#include "theming/TxcButton.h"
#include "theming/TxcExpandablePanel.h"
#include "theming/TxcPanel.h"
#include "theming/TxcSpinEdit.h"
#include "theming/TxcTreeView.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxcControls : public TThemedFormTest {
protected:
    static void SetUpTestSuite() {
        StartThemingLayer();
        gcl::CommonControlsUnit.Initialize();
    }
    template <class T>
    T* Make(int left, int top, int width, int height) {
        T* control = T::Create(Form);
        control->SetParent(Form);
        control->SetBounds(left, top, width, height);
        return control;
    }
};

// Collects the panel events and button changes.
struct TEventLog : gcl::TObject {
    int Expands = 0, Collapses = 0, BtnClicks = 0, CaptionClicks = 0, Changes = 0;
    void Expand(gcl::TObject*) { ++Expands; }
    void Collapse(gcl::TObject*) { ++Collapses; }
    void Btn(gcl::TObject*) { ++BtnClicks; }
    void Caption(gcl::TObject*) { ++CaptionClicks; }
    void Change(gcl::TObject*) { ++Changes; }
};

// The last call of the operation over a rectangle of the given size (the
// control's own painting, not its neighbours').
const TTxThemeCall* LastOver(TTxRecordingTheme* theme, const char* operation, int width, int height) {
    for (auto it = theme->Calls.rbegin(); it != theme->Calls.rend(); ++it)
        if (it->Operation == operation && it->Rect.Width() == width && it->Rect.Height() == height) return &*it;
    return nullptr;
}

void Click(gcl::TWinControl* control, int x, int y) {
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

} // namespace

TEST_F(TxcControls, StateFlagsRecords) {
    TTxItemInfo info{};
    info.Enabled = false;
    info.Pushed = true;
    info.HoverKind = 2;
    info.Selected = true;
    EXPECT_EQ(ItemInfoToStateFlags(info), 0x0F);
    info.Enabled = true;
    info.HoverKind = 1;  // hot by keyboard only is not hot
    EXPECT_EQ(ItemInfoToStateFlags(info), 0x0C);

    const TTxItemInfo toolbar = StateFlagsToItemInfo(ISF_HOT);
    EXPECT_EQ(toolbar.ViewType, VT_TOOLBARGROUP);
    EXPECT_EQ(toolbar.ItemOptions, IO_TOOLBARSTYLE);
    EXPECT_TRUE(toolbar.Enabled);
    EXPECT_EQ(toolbar.HoverKind, 2);
    const TTxItemInfo status = StateFlagsToItemInfo(ISF_STATUSBAR | ISF_DISABLED | ISF_SELECTED);
    EXPECT_EQ(status.ViewType, VT_STATUSBAR);
    EXPECT_EQ(status.ItemOptions, 0u);
    EXPECT_FALSE(status.Enabled);
    EXPECT_TRUE(status.Selected);
    EXPECT_EQ(StateFlagsToItemInfo(ISF_DOCKPANEL).ViewType, VT_DOCKPANELGROUP);
    EXPECT_EQ(StateFlagsToItemInfo(ISF_NOVIEW).ViewType, 0u);

    TTxRecordingTheme* theme = UseRecordingTheme();
    EXPECT_EQ(GetThemedItemTextColor(ISF_STATUSBAR | ISF_DISABLED), 0x020202);
    EXPECT_FALSE(theme->Last("ItemTextColor")->Item.Enabled);
    TPaintTarget target(20, 20);
    PaintThemedCaption(target.Canvas(), TRect{0, 0, 20, 20}, "x", DT_CENTER, ISF_PUSHED);
    EXPECT_TRUE(theme->Last("PaintCaption")->Item.Pushed);
    EXPECT_EQ(theme->Last("PaintCaption")->Arg1, DT_CENTER);
    EXPECT_EQ(theme->Last("PaintCaption")->Arg2, 0);  // not rotated
}

// ---- Status bar

namespace {
TTxStatusPanel* AddPanel(TTxStatusBar* bar, int size, int view, int stretch = 0, int maxSize = 0) {
    TTxStatusPanel* p = bar->GetPanels()->Add();
    p->SetSize(size);
    p->SetViewPriority(static_cast<uint8_t>(view));
    p->SetStretchPriority(static_cast<uint8_t>(stretch));
    p->SetMaxSize(maxSize);
    return p;
}
} // namespace

TEST_F(TxcControls, StatusBarHidesLowPriorityPanelsAndStretches) {
    auto* bar = TTxStatusBar::Create(Form);
    bar->SetParent(Form);
    Form->HandleNeeded();
    bar->SetAlign(gcl::alNone);
    bar->SetBounds(0, 0, 120, 22);
    TTxStatusPanel* a = AddPanel(bar, 50, 100);
    TTxStatusPanel* b = AddPanel(bar, 50, 50);
    TTxStatusPanel* c = AddPanel(bar, 50, 10);
    bar->UpdatePanels();
    EXPECT_TRUE(a->GetVisible());
    EXPECT_TRUE(b->GetVisible());
    EXPECT_FALSE(c->GetVisible());
    EXPECT_EQ(a->GetBoundsRect(), (TRect{0, 2, 50, 22}));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{50, 2, 100, 22}));
    EXPECT_EQ(c->GetBoundsRect(), TRect{});
    EXPECT_FALSE(b->GetIsLast());  // the spare 20 goes to no one

    // Stretching: no bound takes all; a bound above the size grows to it
    // and the rest goes on; a bound at or below the size stops growth.
    bar->GetPanels()->Clear();
    bar->SetBounds(0, 0, 200, 22);
    TTxStatusPanel* bounded = AddPanel(bar, 50, 100, 2, 70);
    TTxStatusPanel* free = AddPanel(bar, 50, 100, 1, 0);
    bar->UpdatePanels();
    EXPECT_EQ(bounded->GetEffectiveSize(), 70);
    EXPECT_EQ(free->GetEffectiveSize(), 130);
    EXPECT_TRUE(free->GetIsLast());
    bounded->SetMaxSize(40);
    bar->UpdatePanels();
    EXPECT_EQ(bounded->GetEffectiveSize(), 50);
    EXPECT_EQ(free->GetEffectiveSize(), 150);
    free->SetStretchPriority(0);
    bar->UpdatePanels();
    EXPECT_EQ(bounded->GetEffectiveSize(), 50);
    EXPECT_EQ(free->GetEffectiveSize(), 50);

    // View priority 0 never shows, and its control gets an empty rectangle.
    auto* edit = TTxcEdit::Create(Form);
    TTxStatusPanel* hidden = AddPanel(bar, 30, 0);
    hidden->SetControl(edit);
    EXPECT_EQ(bar->GetPanels()->GetCount(), 3);  // hosting made no second panel
    EXPECT_EQ(edit->GetParent(), bar);
    EXPECT_FALSE(hidden->GetVisible());
    EXPECT_EQ(edit->GetWidth(), 0);
    EXPECT_THROW(hidden->SetControl(Form), gcl::EInvalidOperation);
}

TEST_F(TxcControls, StatusBarHostsInsertedControlsAndCopiesPanels) {
    auto* bar = TTxStatusBar::Create(Form);
    bar->SetParent(Form);
    auto* edit = TTxcEdit::Create(Form);
    edit->SetName("HostedEdit");
    edit->SetParent(bar);
    ASSERT_EQ(bar->GetPanels()->GetCount(), 1);
    EXPECT_EQ(bar->GetPanels()->GetItems(0)->GetControl(), edit);
    EXPECT_EQ(bar->GetPanels()->GetItems(0)->GetDisplayName(), "[ HostedEdit ]");
    // Moving the control to a second panel takes it from the first.
    TTxStatusPanel* second = bar->GetPanels()->Add();
    second->SetControl(edit);
    EXPECT_EQ(bar->GetPanels()->GetItems(0)->GetControl(), nullptr);
    EXPECT_EQ(bar->GetPanels()->GetCount(), 2);

    second->SetCaption("Ready");
    second->SetSize(80);
    second->SetMaxSize(120);
    second->SetAlignment(gcl::taCenter);
    TTxStatusPanel* copy = bar->GetPanels()->Add();
    copy->Assign(second);
    EXPECT_EQ(copy->GetCaption(), "Ready");
    EXPECT_EQ(copy->GetSize(), 80);
    EXPECT_EQ(copy->GetMaxSize(), 120);
    EXPECT_EQ(copy->GetAlignment(), gcl::taCenter);
    EXPECT_EQ(copy->GetControl(), edit);  // found by name
    EXPECT_EQ(second->GetControl(), nullptr);

    // Taking the control out of the bar frees its panel.
    edit->SetParent(Form);
    EXPECT_EQ(bar->GetPanels()->GetCount(), 2);
}

namespace {
struct TSysCommandSpy : gcl::TObject {
    gcl::TWndMethod Old;
    uintptr_t Command = 0;
    void WndProc(gcl::TMessage& m) {
        if (m.Msg == WM_SYSCOMMAND) {
            Command = m.WParam;
            return;
        }
        Old(m);
    }
};

// Mouse steps as input through the window system, all queued at once: each
// a screen point and what the button does there.
struct TMouseStep {
    TPoint At;
    DWORD Flags;
};
void SendMouse(std::initializer_list<TMouseStep> steps) {
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    for (const TMouseStep& step : steps) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        // The smallest normalised value that maps to the pixel.
        in.mi.dx = static_cast<LONG>((static_cast<int64_t>(step.At.X) * 65536 + cx - 1) / cx);
        in.mi.dy = static_cast<LONG>((static_cast<int64_t>(step.At.Y) * 65536 + cy - 1) / cy);
        in.mi.dwFlags = step.Flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
} // namespace

TEST_F(TxcControls, StatusBarGripSizesTheForm) {
    auto* bar = TTxStatusBar::Create(Form);
    bar->SetParent(Form);
    Form->Show();
    PumpMessages(50);
    const TRect grip = bar->GetGripRect();
    ASSERT_GT(grip.Width(), 0);
    EXPECT_EQ(grip.Right, bar->GetClientWidth());
    EXPECT_EQ(grip.Top, 3);
    const TPoint inGrip = bar->ClientToScreen(TPoint{grip.Right - 3, grip.Bottom - 3});
    EXPECT_EQ(SendMessageA(bar->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(inGrip.X, inGrip.Y)), HTBOTTOMRIGHT);

    // Pressing there hands the sizing to the form.
    TSysCommandSpy spy;
    spy.Old = Form->GetWindowProc();
    Form->SetWindowProc(gcl::TWndMethod(&spy, &TSysCommandSpy::WndProc));
    SendMessageA(bar->GetHandle(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(inGrip.X, inGrip.Y));
    Form->SetWindowProc(spy.Old);
    EXPECT_EQ(spy.Command, static_cast<uintptr_t>(SC_SIZE | WMSZ_BOTTOMRIGHT));

    // For real: a press in the grip, taken as input, runs the form's own
    // sizing loop (which starts from where the press was taken). This
    // thread is in that loop until the release, so the drag comes from
    // another one, as a user's hand would: once the loop holds the mouse,
    // moves and the release, which then go to the form wherever they are.
    const TRect before = Form->GetBoundsRect();
    const DWORD thread = GetCurrentThreadId();
    const HWND form = Form->GetHandle();
    auto inSizing = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
    };
    std::atomic<bool> released{false};
    // (The hand's thread has no windows: waiting there takes none of the
    // form's messages.)
    std::thread hand([&] {
        const bool sizing = PumpMessages(5000, inSizing);
        SendMouse({{TPoint{inGrip.X + 20, inGrip.Y + 15}, MOUSEEVENTF_MOVE},
                   {TPoint{inGrip.X + 40, inGrip.Y + 30}, MOUSEEVENTF_MOVE},
                   {TPoint{inGrip.X + 40, inGrip.Y + 30}, MOUSEEVENTF_LEFTUP}});
        // A loop that never saw the release must not hold the test.
        if (sizing && !PumpMessages(5000, [&] { return !inSizing(); })) PostMessageA(form, WM_LBUTTONUP, 0, 0);
        released = true;
    });
    SendMouse({{inGrip, MOUSEEVENTF_MOVE}, {inGrip, MOUSEEVENTF_LEFTDOWN}});
    EXPECT_TRUE(PumpMessages(15000, [&] { return released && !inSizing(); }));
    hand.join();
    // The form's corner followed the mouse; the bar went with the form.
    EXPECT_EQ(Form->GetBoundsRect(), (TRect{before.Left, before.Top, before.Right + 40, before.Bottom + 30}));
    EXPECT_EQ(bar->GetHeight(), 22);
    EXPECT_EQ(bar->GetWidth(), Form->GetClientWidth());

    // A bar that is not in the corner, or no grip wanted: the ordinary answer.
    bar->SetSizeGrip(false);
    EXPECT_NE(SendMessageA(bar->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(inGrip.X, inGrip.Y)), HTBOTTOMRIGHT);
    bar->SetSizeGrip(true);
    bar->SetAlign(gcl::alTop);
    EXPECT_EQ(bar->GetGripRect(), TRect{});
    Form->SetWindowState(gcl::wsMaximized);
    bar->SetAlign(gcl::alBottom);
    PumpMessages(50);
    EXPECT_EQ(bar->GetGripRect(), TRect{});
}

// ---- Spin edit

TEST_F(TxcControls, SpinEditValueRules) {
    auto* spin = Make<TTxcSpinEdit>(10, 10, 80, 22);
    EXPECT_EQ(spin->GetText(), "0");
    spin->SetMinValue(1);
    spin->SetMaxValue(10);
    spin->SetText("abc");
    EXPECT_EQ(spin->GetValue(), 1);
    spin->SetValue(99);
    EXPECT_EQ(spin->GetText(), "10");
    spin->SetValue(-5);
    EXPECT_EQ(spin->GetText(), "1");
    spin->SetIncrement(3);
    spin->SetValue(5);
    spin->UpClick(nullptr);
    EXPECT_EQ(spin->GetValue(), 8);
    spin->UpClick(nullptr);
    EXPECT_EQ(spin->GetValue(), 10);
    spin->DownClick(nullptr);
    EXPECT_EQ(spin->GetValue(), 7);

    // Keys: Up and Down step.
    uint16_t up = VK_UP;
    spin->Perform(WM_KEYDOWN, up, 0);
    EXPECT_EQ(spin->GetValue(), 10);
    spin->Perform(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(spin->GetValue(), 7);
    // Enter and Esc are the dialog's, as in a one-line edit.
    Form->Show();
    EXPECT_EQ(spin->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, 0);
    // Tab: each box is one stop, where the keys above work; its arrows
    // are none.
    auto* next = Make<TTxcSpinEdit>(10, 40, 80, 22);
    EXPECT_EQ(Form->FindNextControl(spin, true, true, false), next);
    EXPECT_EQ(Form->FindNextControl(next, true, true, false), spin);

    // Empty text: the default value first, then the step.
    spin->SetDefaultValue(4);
    spin->SetText("");
    spin->UpClick(nullptr);
    EXPECT_EQ(spin->GetValue(), 7);

    // Equal limits: no clamping, for Value and for DefaultValue alike.
    spin->SetMinValue(0);
    spin->SetMaxValue(0);
    spin->SetValue(12345);
    EXPECT_EQ(spin->GetText(), "12345");
    spin->SetDefaultValue(42);
    EXPECT_EQ(spin->GetDefaultValue(), 42);
    EXPECT_EQ(spin->GetValue(), 42);

    // Typed characters.
    EXPECT_TRUE(spin->IsValidChar('5'));
    EXPECT_TRUE(spin->IsValidChar('-'));
    EXPECT_TRUE(spin->IsValidChar('\b'));
    EXPECT_FALSE(spin->IsValidChar('a'));
    EXPECT_FALSE(spin->IsValidChar('\r'));
    spin->SetEditorEnabled(false);
    EXPECT_FALSE(spin->IsValidChar('5'));
    EXPECT_FALSE(spin->IsValidChar('\b'));
    EXPECT_TRUE(spin->IsValidChar('\x03'));  // Ctrl+C still works
}

TEST_F(TxcControls, SpinEditDefaultValueKeepsAStoredValueWhileLoading) {
    TTxcSpinEdit* spin;
    {
        // As read from a form: Value comes before DefaultValue.
        gcl::TFormLoadScope loading(Form);
        spin = Make<TTxcSpinEdit>(10, 10, 80, 22);
        spin->SetValue(17);
        spin->SetDefaultValue(5);
        loading.Finish();
    }
    EXPECT_EQ(spin->GetValue(), 17);
    EXPECT_EQ(spin->GetDefaultValue(), 5);
}

TEST_F(TxcControls, SpinButtonClicksOnceAndRepeatsWhileHeld) {
    auto* spin = Make<TTxcSpinEdit>(10, 10, 80, 22);
    Form->Show();
    TTxcSpinButton* button = spin->GetButton();
    EXPECT_EQ(button->GetRepeatTimer()->GetInterval(), 120u);
    spin->SetValue(5);
    const int lower = button->GetHeight() - 2;
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, lower));
    EXPECT_EQ(button->GetPressedHalf(), TTxcSpinButton::HalfLower);
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, lower));
    EXPECT_EQ(spin->GetValue(), 4);  // a short click: one step
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 1));
    PumpMessages(400);  // held: a step every 120 ms
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 1));
    EXPECT_GE(spin->GetValue(), 6);
    EXPECT_EQ(button->GetPressedHalf(), TTxcSpinButton::HalfNone);
}

// ---- Buttons

TEST_F(TxcControls, ButtonGroupsKeepOneChecked) {
    auto* a = Make<TTxcButton>(10, 10, 80, 25);
    auto* b = Make<TTxcButton>(100, 10, 80, 25);
    auto* loose = Make<TTxcButton>(190, 10, 80, 25);
    Form->Show();
    TEventLog log;
    a->OnChange = gcl::TNotifyEvent(&log, &TEventLog::Change);
    // Not checkable: stays up, yet reports the click.
    Click(a, 5, 5);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_EQ(log.Changes, 1);
    for (auto* button : {a, b, loose}) button->SetCheckable(true);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    Click(a, 5, 5);
    EXPECT_TRUE(a->GetChecked());
    Click(b, 5, 5);
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(a->GetChecked());
    Click(loose, 5, 5);
    EXPECT_TRUE(loose->GetChecked());
    EXPECT_TRUE(b->GetChecked());  // group 0 touches no one
    Click(b, 5, 5);
    EXPECT_TRUE(b->GetChecked());  // no all-up
    b->SetAllowAllUp(true);
    Click(b, 5, 5);
    EXPECT_FALSE(b->GetChecked());
    // A release outside the button does not check it.
    a->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    a->Perform(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_FALSE(a->GetChecked());
}

TEST_F(TxcControls, ButtonAutoSize) {
    auto* button = Make<TTxcButton>(10, 10, 80, 25);
    button->SetCaption("");
    button->SetAutoSize(true);
    EXPECT_EQ(button->GetWidth(), 12);
    EXPECT_EQ(button->GetHeight(), 12 + MeasureTextInFont(button->GetFont(), "W").cy);
    button->SetCaption("Cancel");
    EXPECT_EQ(button->GetWidth(), 12 + MeasureTextInFont(button->GetFont(), "Cancel").cx);
}

// ---- Expandable panel

TEST_F(TxcControls, ExpandablePanelHeightsAndEvents) {
    auto* panel = Make<TTxcExpandablePanel>(10, 10, 200, 120);
    TEventLog log;
    panel->OnExpand = gcl::TNotifyEvent(&log, &TEventLog::Expand);
    panel->OnCollapse = gcl::TNotifyEvent(&log, &TEventLog::Collapse);
    panel->OnBtnClick = gcl::TNotifyEvent(&log, &TEventLog::Btn);
    panel->OnCaptionClick = gcl::TNotifyEvent(&log, &TEventLog::Caption);
    EXPECT_EQ(panel->GetOriginalHeight(), 120);  // resizing an expanded panel

    const TRect arrow = panel->GetArrowRect();
    Click(panel, arrow.Left + 5, arrow.Top + 5);
    EXPECT_FALSE(panel->GetExpanded());
    EXPECT_EQ(panel->GetHeight(), 27);  // empty caption: 18 + 9
    EXPECT_EQ(log.Collapses, 1);
    EXPECT_EQ(log.Expands, 0);
    EXPECT_EQ(log.BtnClicks, 1);
    panel->SetWidth(250);  // resizing a collapsed panel keeps the height it had
    EXPECT_EQ(panel->GetOriginalHeight(), 120);
    Click(panel, arrow.Left + 5, arrow.Top + 5);
    EXPECT_TRUE(panel->GetExpanded());
    EXPECT_EQ(panel->GetHeight(), 120);
    EXPECT_EQ(log.Expands, 1);
    EXPECT_EQ(log.Collapses, 1);

    // The header outside the arrow: a caption click, no toggle.
    Click(panel, 100, 8);
    EXPECT_EQ(log.CaptionClicks, 1);
    EXPECT_TRUE(panel->GetExpanded());
    // No arrow: the arrow area toggles nothing.
    panel->SetShowArrow(false);
    Click(panel, arrow.Left + 5, arrow.Top + 5);
    EXPECT_TRUE(panel->GetExpanded());
    EXPECT_EQ(log.BtnClicks, 2);

    panel->SetExpanded(false);
    EXPECT_EQ(log.Collapses, 2);
    panel->SetExpanded(false);
    EXPECT_EQ(log.Collapses, 2);
    panel->SetArrowAlign(aaRight);
    EXPECT_EQ(panel->GetArrowRect().Right, panel->GetWidth() - 7);
}

// ---- What the controls ask the theme for

TEST_F(TxcControls, ControlsAskTheThemeForTheirState) {
    auto* button = Make<TTxcButton>(10, 10, 85, 25);
    auto* edit = Make<TTxcEdit>(10, 50, 120, 22);
    auto* panel = Make<TTxcPanel>(150, 10, 100, 60);
    auto* tree = Make<TTxcTreeView>(150, 80, 120, 80);
    auto* expandable = Make<TTxcExpandablePanel>(10, 170, 130, 100);
    button->SetShowFocus(false);  // it takes the focus when the form shows
    Form->Show();
    PumpMessages(50);
    TTxRecordingTheme* theme = UseRecordingTheme();

    auto paint = [&](gcl::TWinControl* c) {
        theme->Calls.clear();
        RedrawWindow(c->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ERASE);
    };

    // Button: normal, hot, pressed, disabled.
    paint(button);
    ASSERT_NE(LastOver(theme, "PaintButton", 85, 25), nullptr);
    EXPECT_EQ(LastOver(theme, "PaintButton", 85, 25)->Item.HoverKind, 0);
    EXPECT_EQ(LastOver(theme, "PaintButton", 85, 25)->Item.ViewType, VT_TOOLBAR);
    button->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(button));
    paint(button);
    EXPECT_EQ(LastOver(theme, "PaintButton", 85, 25)->Item.HoverKind, 2);
    EXPECT_FALSE(LastOver(theme, "PaintButton", 85, 25)->Item.Pushed);
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    paint(button);
    EXPECT_TRUE(LastOver(theme, "PaintButton", 85, 25)->Item.Pushed);
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(button));
    button->SetEnabled(false);
    paint(button);
    EXPECT_FALSE(LastOver(theme, "PaintButton", 85, 25)->Item.Enabled);
    EXPECT_EQ(LastOver(theme, "PaintButton", 85, 25)->Item.HoverKind, 0);
    EXPECT_GE(theme->Count("PaintControlFrame"), 2);

    // Edit border: normal, hot, focused stays hot when the mouse leaves.
    paint(edit);
    ASSERT_NE(LastOver(theme, "PaintControlFrame", edit->GetWidth(), edit->GetHeight()), nullptr);
    EXPECT_EQ(LastOver(theme, "PaintControlFrame", edit->GetWidth(), edit->GetHeight())->Item.HoverKind, 0);
    edit->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(edit));
    paint(edit);
    EXPECT_EQ(LastOver(theme, "PaintControlFrame", edit->GetWidth(), edit->GetHeight())->Item.HoverKind, 2);
    edit->SetFocus();
    edit->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(edit));
    paint(edit);
    EXPECT_EQ(LastOver(theme, "PaintControlFrame", edit->GetWidth(), edit->GetHeight())->Item.HoverKind, 2);
    edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    button->SetEnabled(true);
    button->SetFocus();
    edit->SetEnabled(false);
    paint(edit);
    EXPECT_FALSE(LastOver(theme, "PaintControlFrame", edit->GetWidth(), edit->GetHeight())->Item.Enabled);

    // Tree view border: the same looks.
    tree->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(tree));
    paint(tree);
    ASSERT_NE(LastOver(theme, "PaintButton", 120, 80), nullptr);
    EXPECT_EQ(LastOver(theme, "PaintButton", 120, 80)->Item.HoverKind, 2);
    tree->SetThemed(false);
    paint(tree);
    EXPECT_EQ(LastOver(theme, "PaintButton", 120, 80), nullptr);

    // Panel: the ring in the normal state; the expandable panel's arrow.
    paint(panel);
    ASSERT_NE(LastOver(theme, "PaintControlFrame", 100, 60), nullptr);
    EXPECT_EQ(LastOver(theme, "PaintButton", 100, 60)->Item.HoverKind, 0);
    paint(expandable);
    EXPECT_EQ(theme->Count("PaintDropDownArrow"), 1);
    EXPECT_EQ(theme->Last("PaintDropDownArrow")->Rect, expandable->GetArrowRect());
}

TEST_F(TxcControls, ThemeSwitchReachesEveryControl) {
    auto* button = Make<TTxcButton>(10, 10, 85, 25);
    auto* edit = Make<TTxcEdit>(10, 50, 120, 22);
    auto* spin = Make<TTxcSpinEdit>(10, 80, 80, 22);
    auto* panel = Make<TTxcPanel>(150, 10, 100, 60);
    auto* tree = Make<TTxcTreeView>(150, 80, 120, 80);
    auto* expandable = Make<TTxcExpandablePanel>(10, 170, 130, 100);
    auto* bar = TTxStatusBar::Create(Form);
    bar->SetParent(Form);
    AddPanel(bar, 60, 100);
    Form->Show();
    PumpMessages(50);
    const int listeners = TxNexus->ListenerCount();
    TTxRecordingTheme* theme = UseRecordingTheme();
    PumpMessages(100);
    // Every control repainted with the new theme.
    EXPECT_GE(theme->Count("PaintButton"), 4);
    EXPECT_GE(theme->Count("PaintStatusBarPart"), 2);
    EXPECT_GE(theme->Count("PaintEditFrame"), 1);
    EXPECT_GE(theme->Count("PaintDropDownArrow"), 1);
    SelectTheme("Default");
    PumpMessages(50);
    EXPECT_EQ(TxNexus->ListenerCount(), listeners);
    for (gcl::TControl* c : std::initializer_list<gcl::TControl*>{button, edit, spin, panel, tree, expandable, bar})
        c->Free();
    EXPECT_EQ(TxNexus->ListenerCount(), listeners - 8);  // the spin edit's button listens too
}

TEST_F(TxcControls, PanelObjectsShareOneHotTimer) {
    EXPECT_EQ(TTxPanelObject::HotTimer(), nullptr);
    auto* a = Make<TTxcExpandablePanel>(10, 10, 100, 100);
    auto* b = Make<TTxcExpandablePanel>(150, 10, 100, 100);
    gcl::TTimer* timer = TTxPanelObject::HotTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 125u);
    EXPECT_FALSE(timer->GetEnabled());
    Form->Show();
    PumpMessages(50);
    const TPoint pa = a->ClientToScreen(TPoint{50, 50});
    SetCursorPos(pa.X, pa.Y);
    a->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(TTxPanelObject::HotObject(), a);
    EXPECT_TRUE(a->GetMouseInControl());
    EXPECT_TRUE(timer->GetEnabled());
    const TPoint pb = b->ClientToScreen(TPoint{50, 50});
    SetCursorPos(pb.X, pb.Y);
    b->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_FALSE(a->GetMouseInControl());
    EXPECT_TRUE(b->GetMouseInControl());
    EXPECT_EQ(TTxPanelObject::HotObject(), b);
    // The timer notices the mouse went elsewhere.
    SetCursorPos(0, 0);
    PumpMessages(400, [&] { return !b->GetMouseInControl(); });
    EXPECT_FALSE(b->GetMouseInControl());
    EXPECT_EQ(TTxPanelObject::HotObject(), nullptr);
    a->Free();
    EXPECT_EQ(TTxPanelObject::HotTimer(), timer);
    b->Free();
    EXPECT_EQ(TTxPanelObject::HotTimer(), nullptr);
}

// ---- The options-window shape

TEST_F(TxcControls, OptionsDialogScreenshot) {
    Form->SetBounds(40, 40, 440, 380);
    Form->SetCaption("Options");
    auto* general = Make<TTxcExpandablePanel>(8, 8, 200, 150);
    general->SetCaption("General");
    auto* path = TTxcEdit::Create(Form);
    path->SetParent(general);
    path->SetBounds(10, 40, 178, 22);
    path->SetText("C:\\Data\\ActualData.kpx");
    auto* interval = TTxcSpinEdit::Create(Form);
    interval->SetParent(general);
    interval->SetBounds(10, 72, 70, 22);
    interval->SetMinValue(1);
    interval->SetMaxValue(60);
    interval->SetValue(5);
    auto* fontSize = TTxcSpinEdit::Create(Form);
    fontSize->SetParent(general);
    fontSize->SetBounds(10, 104, 70, 22);
    fontSize->SetValue(9);
    auto* lists = Make<TTxcExpandablePanel>(216, 8, 200, 150);
    lists->SetCaption("Lists");
    auto* tree = TTxcTreeView::Create(Form);
    tree->SetParent(lists);
    tree->SetBounds(10, 36, 178, 104);
    gcl::TTreeNode* root = tree->GetItems()->Add(nullptr, "Todo Lists");
    tree->GetItems()->AddChild(root, "Home");
    tree->GetItems()->AddChild(root, "Work");
    root->Expand(false);
    auto* collapsed = Make<TTxcExpandablePanel>(8, 166, 408, 150);
    collapsed->SetCaption("Printing");
    collapsed->SetExpanded(false);
    auto* buttons = Make<TTxcPanel>(8, 200, 408, 40);
    buttons->SetCaption("");
    auto* ok = TTxcButton::Create(Form);
    ok->SetParent(buttons);
    ok->SetBounds(228, 8, 85, 25);
    ok->SetCaption("OK");
    auto* cancel = TTxcButton::Create(Form);
    cancel->SetParent(buttons);
    cancel->SetBounds(318, 8, 85, 25);
    cancel->SetCaption("Cancel");
    auto* bar = TTxStatusBar::Create(Form);
    bar->SetParent(Form);
    AddPanel(bar, 120, 100)->SetCaption("Database: ActualData");
    AddPanel(bar, 80, 50, 1)->SetCaption("Saved 12:00");
    AddPanel(bar, 60, 100)->SetCaption("3 lists");
    Form->Show();
    PumpMessages(300);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "TxcOptionsDialog.bmp"), 20);
}

// ---- Text object and the expandable panel's header

TEST_F(TxcControls, TextObjectMeasuresOneLineAndKeepsItsFlags) {
    auto* text = TTxTextObject::Create(Form);
    text->SetParent(Form);
    text->HandleNeeded();  // auto-size measures once the window exists
    int changes = 0;
    struct TCounter : gcl::TObject {
        int* Count;
        void Changed(gcl::TObject*) { ++*Count; }
    } counter;
    counter.Count = &changes;
    TTxControlMargins margins;
    margins.OnChange = gcl::TNotifyEvent(&counter, &TCounter::Changed);
    auto* source = text->GetMargins();
    source->SetTop(3);
    source->SetBottom(4);
    margins.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(margins.GetBottom(), 4);

    // An empty caption still measures one line, plus the margins.
    text->SetCaption("");
    text->AdjustHeight();
    EXPECT_EQ(text->GetHeight(), MeasureTextInFont(text->GetFont(), "W").cy + 7);
    text->SetCaption("&");
    text->AdjustHeight();
    EXPECT_EQ(text->GetHeight(), MeasureTextInFont(text->GetFont(), "W").cy + 7);

    EXPECT_EQ(text->GetDrawTextFlags(), static_cast<uint32_t>(DT_LEFT | DT_SINGLELINE | DT_EXPANDTABS));
    text->SetShowAccelChar(false);
    text->SetWrapping(twEndEllipsis);
    text->SetAlignment(gcl::taCenter);
    EXPECT_EQ(text->GetDrawTextFlags(), 0x8020u | 0x40u | 0x800u | 0x1u);
    text->SetWrapping(twWrap);
    text->SetCaption("one two three four five six seven eight nine ten");
    text->SetWidth(60);
    text->AdjustHeight();
    EXPECT_GT(text->GetHeight(), 2 * MeasureTextInFont(text->GetFont(), "W").cy);
}

TEST_F(TxcControls, ExpandablePanelHeaderFollowsTheCaption) {
    auto* panel = Make<TTxcExpandablePanel>(10, 10, 200, 120);
    panel->SetCaption("First line\r\nSecond line");
    Form->Show();
    PumpMessages(100);
    gcl::TFont bold;
    bold.Assign(panel->GetFont());
    bold.SetStyle(gcl::TFontStyles{gcl::fsBold});
    const int t = MeasureTextInFont(&bold, "First line").cy;
    EXPECT_EQ(panel->GetHeaderHeight(), 2 * t + 4);
    EXPECT_EQ(panel->GetCaptionOffset(), 2);
    // Children sit below the header.
    auto* edit = TTxcEdit::Create(Form);
    edit->SetParent(panel);
    edit->SetAlign(gcl::alTop);
    EXPECT_EQ(edit->GetTop(), 2 * t + 4 + 6);
    panel->SetExpanded(false);
    EXPECT_EQ(panel->GetHeight(), 2 * t + 4 + 9);
    // A collapsed panel's controls are out of the keyboard's reach; those
    // shown before come back when it expands, a hidden one stays hidden.
    auto* hidden = TTxcEdit::Create(Form);
    hidden->SetParent(panel);
    hidden->SetVisible(false);
    EXPECT_FALSE(edit->GetVisible());
    EXPECT_FALSE(edit->CanFocus());
    panel->Toggle();
    EXPECT_TRUE(edit->GetVisible());
    EXPECT_FALSE(hidden->GetVisible());
    panel->Toggle();
    EXPECT_FALSE(edit->GetVisible());
    hidden->Free();
    panel->SetExpanded(true);
    EXPECT_TRUE(edit->GetVisible());
}
