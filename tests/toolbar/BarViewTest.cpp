// Views on a hidden host window: the viewer list, unthemed sizes, the
// layout pass (separators, wrapping, line separators, right alignment,
// vertical mirroring, chevron, popup clipping and scrolling), what a change
// repaints, painting through WM_PRINT, selection, keyboard, accelerators,
// timers and the wheel, and a screenshot of a test form.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"
#include "toolbar/BarItem.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TComponent;
using gcl::TRect;
using qelvo::test::PixelCanvas;

namespace {

// A window showing one view, as toolbars and popup windows do.
class TTestBarHost : public gcl::TCustomControl {
    GCL_CLASS(TTestBarHost, gcl::TCustomControl)
public:
    TBarView* View = nullptr;
    std::vector<UINT_PTR> Timers;

    void Dispatch(gcl::TMessage& m) override {
        if (m.Msg == WM_PRINT) {
            HandleWMPrint(GetHandle(), m, nullptr, nullptr);
            return;
        }
        if (m.Msg == WM_TIMER && View && m.WParam >= ViewTimerBaseID && m.WParam < ViewTimerBaseID + 4) {
            Timers.push_back(m.WParam);
            View->TimerFired(static_cast<TBarViewTimerID>(m.WParam - ViewTimerBaseID));
            return;
        }
        inherited::Dispatch(m);
    }

protected:
    explicit TTestBarHost(TComponent* owner) : gcl::TCustomControl(owner) { SetColor(gcl::clBtnFace); }
    void Paint() override {
        if (View) View->DrawViewers(GetCanvas());
    }
};
GCL_IMPLEMENT_CLASS(TTestBarHost)

class TTestChevronViewer : public TBarItemViewer {
    GCL_CLASS(TTestChevronViewer, TBarItemViewer)
public:
    using TBarItemViewer::TBarItemViewer;
    void Paint(gcl::TCanvas* Canvas, TRect R, bool, bool IsPushed, bool) override {
        DrawChevronGlyph(Canvas->GetHandle(), R, GetView()->GetOrientation() == tbvoVertical, IsPushed,
                         GetItem()->GetEnabled());
    }
};
GCL_IMPLEMENT_CLASS(TTestChevronViewer)

class TTestChevronItem : public TBarCustomItem {
    GCL_CLASS(TTestChevronItem, TBarCustomItem)
public:
    TBarItemViewerClass GetItemViewerClass(TBarView*) override { return TTestChevronViewer::StaticClass(); }

protected:
    explicit TTestChevronItem(TComponent* owner) : TBarCustomItem(owner) {
        SetItemStyle(GetItemStyle() | tbisSubmenu | tbisNoAutoOpen);
    }
};
GCL_IMPLEMENT_CLASS(TTestChevronItem)

// A view with an optional chevron item, whose window may count as a popup
// window (and so run timers).
class TTestBarView : public TBarView {
    GCL_CLASS(TTestBarView, TBarView)
public:
    bool PopupWindow = false;
    // Like a full-size toolbar: at least as long as the wrap length.
    bool FullSize = false;
    bool IsPopupWindow() const override { return PopupWindow; }

protected:
    TTestBarView(TComponent* owner, TBarCustomItem* item, gcl::TWinControl* window, bool isToolbar,
                 TBarCustomItem* chevron, bool usePriorityList)
        : TBarView(owner, nullptr, item, window, isToolbar, false, usePriorityList), FChevron(chevron) {}
    TBarCustomItem* GetChevronItem() override { return FChevron; }
    void DoUpdatePositions(gcl::TPoint& Size) override {
        if (FullSize) Size.X = std::max(Size.X, GetWrapOffset());
        TBarView::DoUpdatePositions(Size);
    }

private:
    TBarCustomItem* FChevron;
};
GCL_IMPLEMENT_CLASS(TTestBarView)

// Text sizes in the toolbar font, measured here independently of the views.
struct TTextMeasure {
    TTextMeasure() {
        Screen = GetDC(nullptr);
        Old = SelectObject(Screen, ToolbarFont()->GetHandle());
        GetTextMetricsA(Screen, &Metrics);
    }
    ~TTextMeasure() {
        SelectObject(Screen, Old);
        ReleaseDC(nullptr, Screen);
    }
    int Width(const std::string& s) {
        SIZE size{};
        GetTextExtentPoint32A(Screen, s.c_str(), int(s.size()), &size);
        return size.cx;
    }
    int Height() const { return Metrics.tmHeight; }

    HDC Screen;
    HGDIOBJ Old;
    TEXTMETRICA Metrics;
};

class BarViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gcl::InitializeUnits({&gcl::FormsUnit, &BarItemUnit}); }

    void SetUp() override {
        Form = gcl::TForm::Create(nullptr);
        Form->SetBorderStyle(gcl::bsNone);
        Form->SetBounds(20, 20, 520, 360);
        Form->SetColor(gcl::clBtnFace);
        Root = TBarRootItem::Create(Form);
        Root->SetName("Root");
    }
    void TearDown() override {
        gcl::FreeAndNil(Form);
        qelvo::test::PumpApplication(20);
    }

    TTestBarHost* Host(int left, int top, int width, int height) {
        auto* host = TTestBarHost::Create(Form);
        host->SetBounds(left, top, width, height);
        host->SetParent(Form);
        host->HandleNeeded();
        return host;
    }
    TTestBarView* View(TTestBarHost* host, bool isToolbar, TBarCustomItem* chevron = nullptr,
                       bool usePriorityList = false, TBarCustomItem* item = nullptr) {
        auto* view = TTestBarView::Create(Form, item ? item : Root, host, isToolbar, chevron, usePriorityList);
        host->View = view;
        return view;
    }
    template <class T = TBarCustomItem>
    T* Item(const std::string& caption, TBarCustomItem* parent = nullptr) {
        T* item = T::Create(Form);
        item->SetCaption(caption);
        (parent ? parent : Root)->Add(item);
        return item;
    }
    TBarSeparatorItem* Separator(TBarCustomItem* parent = nullptr) { return Item<TBarSeparatorItem>("", parent); }
    static TRect R(TBarView* view, TBarCustomItem* item) { return view->Find(item)->BoundsRect; }
    static bool Shown(TBarView* view, TBarCustomItem* item) { return view->Find(item)->Show; }

    gcl::TForm* Form = nullptr;
    TBarRootItem* Root = nullptr;
};

TEST_F(BarViewTest, ViewersFollowTheItemTree) {
    auto* host = Host(0, 0, 300, 40);
    auto* a = Item("A");
    auto* group = Item<TBarGroupItem>("Group");
    auto* g1 = Item("G1", group);
    auto* view = View(host, true);
    ASSERT_EQ(view->GetViewerCount(), 3) << "the group shows its sub-items in its place";
    EXPECT_EQ(view->GetViewers(2)->GetItem(), g1);
    EXPECT_EQ(view->GetViewers(2)->GetGroupLevel(), 1);

    auto* b = TBarCustomItem::Create(Form);
    Root->Insert(1, b);
    EXPECT_EQ(view->GetViewers(1)->GetItem(), b);
    auto* g0 = TBarCustomItem::Create(Form);
    group->Insert(0, g0);
    ASSERT_EQ(view->GetViewerCount(), 5);
    EXPECT_EQ(view->GetViewers(3)->GetItem(), g0);
    EXPECT_EQ(view->GetViewers(4)->GetItem(), g1);
    auto* last = Item("Last");
    EXPECT_EQ(view->GetViewers(5)->GetItem(), last);

    group->Free();
    ASSERT_EQ(view->GetViewerCount(), 3) << "a group's viewer goes with its sub-items' viewers";
    EXPECT_EQ(view->IndexOf(nullptr), -1);
    try {
        view->Find(g1);
        FAIL() << "no error";
    } catch (const EBarItemError& e) {
        EXPECT_EQ(e.GetMessage(), "An item viewer associated the specified item could not be found");
    }
    (void)a;

    // Groups nested eleven deep show levels 0 to 10 only.
    TBarCustomItem* parent = Root;
    for (int level = 0; level < 12; ++level) parent = Item<TBarGroupItem>("L" + std::to_string(level), parent);
    int deepest = 0;
    for (int i = 0; i < view->GetViewerCount(); ++i) deepest = std::max(deepest, view->GetViewers(i)->GetGroupLevel());
    EXPECT_EQ(deepest, 10);

    // A link target's items show through the linking group.
    auto* linkGroup = Item<TBarGroupItem>("Link");
    auto* shared = TBarCustomItem::Create(Form);
    auto* s1 = TBarCustomItem::Create(Form);
    shared->Add(s1);
    linkGroup->SetLinkSubitems(shared);
    EXPECT_NO_THROW(view->Find(s1));
    auto* s2 = TBarCustomItem::Create(Form);
    shared->Add(s2);
    EXPECT_EQ(view->IndexOf(view->Find(s2)), view->IndexOf(view->Find(s1)) + 1);
}

TEST_F(BarViewTest, UnthemedSizesFromMeasuredText) {
    TTextMeasure text;
    auto* toolbarHost = Host(0, 0, 400, 40);
    auto* open = Item("&Open");
    auto* sep = Separator();
    auto* more = Item("More");
    auto* toolbar = View(toolbarHost, true);
    toolbar->ValidatePositions();
    const int h = 6 + text.Height();
    EXPECT_EQ(R(toolbar, open), gcl::Bounds(0, 0, 12 + text.Width("Open"), h));
    EXPECT_EQ(R(toolbar, sep), gcl::Bounds(12 + text.Width("Open"), 0, 6, h));
    EXPECT_EQ(R(toolbar, more).Left, 12 + text.Width("Open") + 6);

    // A menu: rows as wide as the widest; shortcut text measured apart.
    auto* menu = TBarRootItem::Create(Form);
    auto* save = Item("Save\tCtrl+S", menu);
    auto* menuSep = Separator(menu);
    auto* quit = Item("Quit", menu);
    auto* popupHost = Host(0, 50, 300, 200);
    auto* popup = View(popupHost, false, nullptr, false, menu);
    popup->ValidatePositions();
    const int rowH = text.Height() + text.Metrics.tmExternalLeading + 4;
    const int saveW = rowH + 6 + text.Width("Save") + text.Width("Ctrl+S") + (rowH - 6) + rowH;
    EXPECT_EQ(R(popup, save), gcl::Bounds(0, 0, saveW, rowH));
    EXPECT_EQ(R(popup, menuSep), gcl::Bounds(0, rowH, saveW, DivAwayFromZero(text.Height() * 2, 3)));
    EXPECT_EQ(R(popup, quit).Width(), saveW) << "menu rows take the widest row's width";
}

TEST_F(BarViewTest, SeparatorsNeverDoubleUpOrStandAtTheEnds) {
    auto* host = Host(0, 0, 400, 40);
    auto* first = Separator();
    auto* a = Item("A");
    auto* s1 = Separator();
    auto* s2 = Separator();
    auto* b = Item("B");
    auto* hiddenItem = Item("Hidden");
    auto* s3 = Separator();
    auto* c = Item("C");
    auto* s4 = Separator();
    auto* s5 = Separator();
    hiddenItem->SetVisible(false);
    auto* view = View(host, true);
    view->ValidatePositions();
    EXPECT_FALSE(Shown(view, first));
    EXPECT_TRUE(Shown(view, a));
    EXPECT_TRUE(Shown(view, s1));
    EXPECT_FALSE(Shown(view, s2));
    EXPECT_TRUE(Shown(view, b));
    EXPECT_FALSE(Shown(view, hiddenItem));
    EXPECT_TRUE(Shown(view, s3));
    EXPECT_TRUE(Shown(view, c));
    EXPECT_FALSE(Shown(view, s4));
    EXPECT_FALSE(Shown(view, s5));
    b->SetVisible(false);
    view->ValidatePositions();
    EXPECT_TRUE(Shown(view, s1));
    EXPECT_FALSE(Shown(view, s3)) << "a separator after a separator";
}

TEST_F(BarViewTest, WrappingAndLineSeparators) {
    TTextMeasure text;
    auto* host = Host(0, 0, 400, 100);
    auto* a = Item("Alpha");
    auto* b = Item("Beta");
    auto* sep = Separator();
    auto* c = Item("Gamma");
    auto* d = Item("Delta");
    auto* sep2 = Separator();
    auto* e = Item("Epsilon");
    auto* view = View(host, true);
    const int h = 6 + text.Height();
    const int wa = 12 + text.Width("Alpha"), wb = 12 + text.Width("Beta"), wc = 12 + text.Width("Gamma"),
              wd = 12 + text.Width("Delta"), we = 12 + text.Width("Epsilon");
    // Room for Alpha, Beta and the separator, not for the group after it.
    view->SetWrapOffset(wa + wb + 6 + wc);
    gcl::TPoint base, total;
    int lines = 0;
    view->ComputeLayout(true, tbvoHorizontal, view->GetWrapOffset(), 0, 0, base, total, lines);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(base, (gcl::TPoint{wa + wb + 6 + wc + wd + 6 + we, h}));
    EXPECT_EQ(R(view, a), gcl::Bounds(0, 0, wa, h));
    EXPECT_EQ(R(view, b), gcl::Bounds(wa, 0, wb, h));
    EXPECT_TRUE(view->Find(sep)->IsLineSep());
    EXPECT_EQ(R(view, sep), gcl::Bounds(0, h, total.X, 6)) << "a line separator runs across the bar";
    EXPECT_EQ(R(view, c), gcl::Bounds(0, h + 6, wc, h));
    EXPECT_EQ(R(view, d), gcl::Bounds(wc, h + 6, wd, h));
    EXPECT_TRUE(view->Find(sep2)->IsLineSep()) << "Epsilon does not fit after Delta";
    EXPECT_EQ(R(view, e), gcl::Bounds(0, 2 * (h + 6), we, h));
    EXPECT_EQ(total.X, view->GetWrapOffset()) << "a wrapped bar is as wide as its wrap length";

    // Without a separator an item too long for the line starts the next
    // one; a separator after such a break ends its line too, unless it may
    // stay inside a line.
    Root->Clear();
    auto* longA = Item("AAAAAAAA");
    auto* longB = Item("BBBBBBBB");
    auto* c1 = Item("c");
    auto* d1 = Item("d");
    auto* sep3 = Separator();
    auto* e1 = Item("e");
    const int wl = 12 + text.Width("AAAAAAAA") + 12 + text.Width("BBBBBBBB");
    view->SetWrapOffset(wl);
    view->ComputeLayout(true, tbvoHorizontal, view->GetWrapOffset(), 0, 0, base, total, lines);
    EXPECT_EQ(R(view, longB).Top, 0);
    EXPECT_EQ(R(view, c1), gcl::Bounds(0, h, 12 + text.Width("c"), h));
    EXPECT_EQ(R(view, d1).Top, h);
    EXPECT_TRUE(view->Find(sep3)->IsLineSep()) << "after an overflow break";
    EXPECT_EQ(R(view, e1).Top, 2 * h + 6);
    sep3->SetItemStyle(sep3->GetItemStyle() | tbisNoLineBreak);
    view->ComputeLayout(true, tbvoHorizontal, view->GetWrapOffset(), 0, 0, base, total, lines);
    EXPECT_FALSE(view->Find(sep3)->IsLineSep()) << "a separator that may stay in a line";
    EXPECT_EQ(R(view, e1).Top, h);
    EXPECT_EQ(lines, 2);
    (void)longA;

    // A trial layout moves nothing.
    const TRect before = R(view, e1);
    view->ComputeLayout(false, tbvoHorizontal, 50, 0, 0, base, total, lines);
    EXPECT_EQ(R(view, e1), before);
}

TEST_F(BarViewTest, RightAlignmentAndVerticalMirroring) {
    TTextMeasure text;
    auto* host = Host(0, 0, 400, 200);
    auto* file = Item("File");
    auto* edit = Item("Edit");
    auto* help = Item("Help");
    help->SetItemStyle(help->GetItemStyle() | tbisRightAlign);
    auto* about = Item("About");
    auto* view = View(host, true);
    view->SetStyle(vsMenuBar);
    gcl::TPoint base, total{300, 0};
    int lines = 0;
    view->ComputeLayout(true, tbvoHorizontal, 300, 0, 0, base, total, lines);
    const int wh = 12 + text.Width("Help"), wab = 12 + text.Width("About");
    EXPECT_EQ(R(view, about).Right, 300) << "right-aligned items end at the line's end";
    EXPECT_EQ(R(view, help).Left, 300 - wab - wh);
    EXPECT_EQ(R(view, file).Left, 0);
    EXPECT_EQ(R(view, edit).Left, 12 + text.Width("File"));

    // A vertical bar wrapping into two columns shows its first column at the right.
    help->SetItemStyle(help->GetItemStyle() & ~tbisRightAlign);
    const int itemH = 12 + text.Width("About");   // rotated: lengths run down the bar
    view->SetOrientation(tbvoVertical);
    total = {0, 0};
    view->ComputeLayout(true, tbvoVertical, 2 * itemH + 5, 0, 0, base, total, lines);
    EXPECT_EQ(lines, 2);
    const int colW = 6 + text.Height();
    EXPECT_EQ(total.X, 2 * colW);
    EXPECT_EQ(R(view, file).Left, colW) << "the first column is at the right";
    EXPECT_EQ(R(view, file).Top, 0);
    EXPECT_EQ(R(view, about).Left, 0);
}

TEST_F(BarViewTest, ChevronHidesByPriority) {
    TTextMeasure text;
    auto* host = Host(0, 0, 400, 40);
    auto* chevron = TTestChevronItem::Create(Form);
    auto* a = Item("One");
    auto* b = Item("Two");
    auto* sep = Separator();
    auto* c = Item("Three");
    auto* d = Item("Four");
    auto* view = View(host, true, chevron, true);
    const int wa = 12 + text.Width("One"), wb = 12 + text.Width("Two");
    view->SetChevronSize(12);
    view->SetChevronOffset(wa + wb + 6 + 12 + 4);
    view->ValidatePositions();
    EXPECT_TRUE(Shown(view, a));
    EXPECT_TRUE(Shown(view, b));
    EXPECT_FALSE(Shown(view, sep)) << "a separator left at the end goes";
    EXPECT_FALSE(Shown(view, c));
    EXPECT_TRUE(view->Find(c)->OffEdge);
    EXPECT_TRUE(view->Find(d)->OffEdge);
    EXPECT_TRUE(Shown(view, chevron));
    EXPECT_TRUE(chevron->GetEnabled());
    EXPECT_EQ(R(view, chevron).Left, view->GetChevronOffset() - 12);
    EXPECT_EQ(R(view, chevron).Width(), 12);

    // An executed item moves to the front of the priority list and is hidden last.
    view->RaisePriority(view->Find(d));
    view->ValidatePositions();
    EXPECT_TRUE(Shown(view, d));
    EXPECT_TRUE(view->Find(b)->OffEdge) << "the lowest priority goes first";
    EXPECT_EQ(view->TopPriorityViewer(), view->Find(d));

    // At least one item always stays.
    view->SetChevronOffset(20);
    view->ValidatePositions();
    int shown = 0;
    for (auto* item : {a, b, c, d}) shown += Shown(view, item);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(Shown(view, d));
    // Longer than the room, it gives its end to the chevron, which stays
    // inside the room.
    EXPECT_EQ(R(view, chevron).Left, 20 - 12);
    EXPECT_EQ(R(view, d).Right, 20 - 12);
    EXPECT_EQ(view->ViewerFromPoint({20 - 6, 5}), view->Find(chevron));

    // Room for everything: no chevron.
    view->SetChevronOffset(1000);
    view->ValidatePositions();
    EXPECT_FALSE(Shown(view, chevron));
    EXPECT_TRUE(Shown(view, sep));
}

TEST_F(BarViewTest, TallPopupsClipAndScroll) {
    TTextMeasure text;
    auto* host = Host(0, 0, 200, 300);
    std::vector<TBarCustomItem*> items;
    for (int i = 0; i < 12; ++i) items.push_back(Item("Item " + std::to_string(i)));
    auto* view = View(host, false);
    const int rowH = text.Height() + text.Metrics.tmExternalLeading + 4;
    view->SetMaxHeight(5 * rowH);
    gcl::TPoint size = view->UpdatePositions();
    EXPECT_EQ(size.Y, 5 * rowH);
    EXPECT_FALSE(view->GetShowUpArrow());
    EXPECT_TRUE(view->GetShowDownArrow());
    // Rows touching the 19-pixel band at the bottom are hidden and clipped.
    const int bandTop = 5 * rowH - ScrollArrowHeight;
    for (int i = 0; i < 12; ++i) {
        TBarItemViewer* v = view->Find(items[size_t(i)]);
        const bool fits = (i + 1) * rowH <= bandTop;
        EXPECT_EQ(v->Show, fits) << i;
        EXPECT_EQ(v->Clipped, !fits) << i;
    }
    // One step brings exactly the next clipped row into view.
    int firstClipped = bandTop / rowH;
    view->Scroll(true);
    EXPECT_TRUE(view->GetShowUpArrow());
    TBarItemViewer* next = view->Find(items[size_t(firstClipped)]);
    EXPECT_TRUE(next->Show);
    EXPECT_EQ(next->BoundsRect.Bottom, bandTop);
    // Selecting a clipped row scrolls it into view; Home goes back to the top.
    view->Select(view->Find(items[11]), false);
    view->ScrollSelectedIntoView();
    EXPECT_TRUE(view->Find(items[11])->Show);
    EXPECT_FALSE(view->GetShowDownArrow());
    uint16_t key = VK_HOME;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(items[0]));
    EXPECT_TRUE(view->Find(items[0])->Show);
    EXPECT_FALSE(view->GetShowUpArrow());
}

TEST_F(BarViewTest, WheelDrainsWhateverTheLinesSetting) {
    auto* host = Host(0, 0, 200, 300);
    for (int i = 0; i < 30; ++i) Item("Row " + std::to_string(i));
    auto* view = View(host, false);
    view->SetMaxHeight(120);
    view->ValidatePositions();
    ASSERT_TRUE(view->GetShowDownArrow());
    UINT saved = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    for (UINT setting : {3u, 200u, UINT(WHEEL_PAGESCROLL)}) {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, setting, nullptr, 0);
        view->Scroll(false);
        const int before = view->GetScrollOffset();
        view->MouseWheel(-120, 0, 0);
        EXPECT_EQ(view->GetWheelAccum(), 0) << "lines " << setting;
        EXPECT_GT(view->GetScrollOffset(), before) << "lines " << setting;
        // Half a notch: three lines give one step and keep 20 of the 60;
        // more lines drain more, never nothing.
        view->MouseWheel(60, 0, 0);
        EXPECT_LT(view->GetWheelAccum(), 60) << "half a notch " << setting;
        if (setting == 3u) {
            EXPECT_EQ(view->GetWheelAccum(), 20);
        } else if (setting == 200u) {
            EXPECT_EQ(view->GetWheelAccum(), 0);
        }
        view->MouseWheel(-view->GetWheelAccum(), 0, 0);
    }
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, saved, nullptr, 0);
}

TEST_F(BarViewTest, SelectionKeyboardAndTheEndOfAMenu) {
    auto* host = Host(0, 0, 200, 200);
    auto* view = View(host, false);
    EXPECT_EQ(view->NextSelectable(nullptr, true), nullptr) << "no viewers";
    bool only = true;
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'a', false, only), nullptr);
    auto* file = Item("&File");
    EXPECT_EQ(view->NextSelectable(view->Find(file), true), view->Find(file)) << "one selectable viewer";
    auto* sep = Separator();
    auto* edit = Item("&Edit");
    auto* hidden = Item("Hidden");
    hidden->SetVisible(false);
    auto* help = Item("Help");
    help->SetHelpContext(77);
    view->BeginModalState();
    uint16_t key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    EXPECT_EQ(view->GetSelected(), view->Find(file));
    key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(edit)) << "separators are not selectable";
    key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(help)) << "invisible items are skipped";
    key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(file)) << "wraps round";
    key = VK_UP;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(help));
    key = VK_END;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(help));
    key = 'Q';
    view->KeyDown(key, {});
    EXPECT_EQ(key, 'Q') << "other keys are left alone";

    key = VK_F1;
    view->KeyDown(key, {});
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaHelpContext);
    EXPECT_EQ(view->DoneAction().HelpContext, 77);
    view->BeginModalState();
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaNone);
    view->Select(view->Find(edit), false);
    key = VK_RETURN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaClickItem);
    EXPECT_EQ(view->DoneAction().ClickItem, edit);
    EXPECT_TRUE(view->DoneAction().Sound) << "a click in a popup plays the command sound";
    EXPECT_TRUE(view->IsEnding());
    view->BeginModalState();
    key = VK_ESCAPE;
    view->KeyDown(key, {});
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaCancel);

    // The menu-loop state: only the underline bit survives, no-animation goes.
    view->SetState(0xFF);
    view->BeginModalState();
    EXPECT_EQ(view->GetState(), vsModal | vsShowAccels);
    view->SetState(vsNoAnimation);
    view->BeginModalState();
    EXPECT_EQ(view->GetState(), vsModal);
    (void)sep;
}

TEST_F(BarViewTest, AcceleratorSearchOrder) {
    auto* host = Host(0, 0, 200, 200);
    auto* fileDisabled = Item("&Find");
    fileDisabled->SetEnabled(false);
    auto* format = Item("Format");
    auto* fileEnabled = Item("F&ile");
    auto* space = Item(" Space");
    auto* exit1 = Item("E&xit");
    auto* exit2 = Item("Ne&xt");
    auto* view = View(host, false);
    bool only = false;
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'i', false, only), view->Find(fileEnabled));
    EXPECT_TRUE(only);
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'F', false, only), view->Find(fileDisabled))
        << "a disabled accelerator before a first letter";
    EXPECT_TRUE(only) << "a hit among disabled items counts as the only one";
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'F', true, only), view->Find(fileDisabled));
    fileDisabled->SetCaption("Find");
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'f', false, only), view->Find(format)) << "by first letter";
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'f', true, only), nullptr) << "primary accelerators only";
    EXPECT_EQ(view->FindAccelViewer(nullptr, ' ', false, only), nullptr) << "a space never matches";
    EXPECT_EQ(view->FindAccelViewer(nullptr, 'x', false, only), view->Find(exit1));
    EXPECT_FALSE(only) << "two items share the accelerator";
    EXPECT_EQ(view->FindAccelViewer(view->Find(exit1), 'x', false, only), view->Find(exit2));
    (void)space;
}

TEST_F(BarViewTest, SelectingTheSelectedViewerOnlyUpdatesTheMouseState) {
    auto* host = Host(0, 0, 200, 40);
    auto* a = Item("A");
    auto* view = View(host, true);
    TBarItemViewer* v = view->Find(a);
    view->Select(v, false);
    EXPECT_EQ(view->GetSelected(), v);
    EXPECT_FALSE(view->GetSelectedViaMouse());
    view->Select(v, true);
    EXPECT_FALSE(view->GetSelectedViaMouse()) << "the same viewer: nothing but the mouse-over flag";
    view->Select(nullptr, false);
    EXPECT_EQ(view->GetSelected(), nullptr);

    // Letting go of a pressed button makes the menu loop read the mouse again.
    gcl::TPoint remembered{10, 10};
    view->MenuLoopMousePos = &remembered;
    view->Select(v, false);
    view->BeginCapture();
    EXPECT_TRUE(view->GetCapture());
    view->CancelCapture();
    EXPECT_FALSE(view->GetCapture());
    EXPECT_EQ(remembered.X, INT32_MIN);
    view->MenuLoopMousePos = nullptr;
}

TEST_F(BarViewTest, TimersRunOnlyOnPopupWindows) {
    auto* host = Host(0, 0, 200, 200);
    auto* item = Item("Sub");
    item->SetItemStyle(item->GetItemStyle() | tbisSubmenu);
    auto* view = View(host, false);
    view->StartTimer(tiClose, 20);
    EXPECT_TRUE(view->GetActiveTimers().Empty()) << "not a popup window";
    view->PopupWindow = true;
    view->StartTimer(tiScrollDown, 20);
    EXPECT_TRUE(view->GetActiveTimers().Contains(tiScrollDown));
    qelvo::test::PumpApplication(1000, [&] { return !host->Timers.empty(); });
    ASSERT_FALSE(host->Timers.empty());
    EXPECT_EQ(host->Timers[0], ViewTimerBaseID + 3);
    EXPECT_FALSE(view->GetActiveTimers().Contains(tiScrollDown)) << "no down arrow: the timer stops itself";
    view->StartTimer(tiOpen, 10000);
    view->StartTimer(tiClose, 10000);
    view->StopAllTimers();
    EXPECT_TRUE(view->GetActiveTimers().Empty());
}

// ---- Painting through WM_PRINT

// Prints host into a memory canvas of its size.
void Print(TTestBarHost* host, PixelCanvas& canvas) {
    SendMessageA(host->GetHandle(), WM_PRINT, reinterpret_cast<WPARAM>(canvas.DC()),
                 PRF_CLIENT | PRF_ERASEBKGND | PRF_NONCLIENT);
}

TEST_F(BarViewTest, MenuCheckMarksAndRadioDots) {
    auto* host = Host(0, 0, 200, 100);
    auto* checked = Item("Checked");
    checked->SetChecked(true);
    auto* radio = Item("Radio");
    radio->SetChecked(true);
    radio->SetRadioItem(true);
    auto* view = View(host, false);
    view->ValidatePositions();
    PixelCanvas canvas(200, 100);
    Print(host, canvas);
    const COLORREF dark = GetSysColor(COLOR_BTNTEXT);

    // The check mark: centred in the image column (as wide as the row is high).
    TRect r = R(view, checked);
    int cx = r.Left + r.Height() / 2, cy = r.Top + r.Height() / 2;
    EXPECT_EQ(canvas.Pattern(cx - 4, cy - 3, 7, 6, dark),
              "......#\n"
              ".....##\n"
              "#...##.\n"
              "##.##..\n"
              ".###...\n"
              "..#....\n");
    EXPECT_EQ(canvas.At(cx - 5, cy - 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the light edge";

    // The radio dot: a dark 5x5 dot in a light ring.
    r = R(view, radio);
    cx = r.Left + r.Height() / 2;
    cy = r.Top + r.Height() / 2;
    std::string dot = canvas.Pattern(cx - 4, cy - 4, 8, 8, dark);
    EXPECT_EQ(dot.substr(0, 9), "........\n") << dot;
    EXPECT_EQ(canvas.Pattern(cx - 2, cy - 2, 3, 3, dark), "###\n###\n###\n") << dot;
    EXPECT_EQ(canvas.At(cx - 4, cy), GetSysColor(COLOR_BTNHIGHLIGHT)) << dot;
    auto darkIn = [&](int left, int top, int size) {
        int n = 0;
        for (int y = top; y < top + size; ++y)
            for (int x = left; x < left + size; ++x) n += canvas.At(x, y) == dark;
        return n;
    };
    EXPECT_GE(darkIn(cx - 3, cy - 3, 5), 17) << dot;
    EXPECT_EQ(darkIn(cx - 5, cy - 5, 11), darkIn(cx - 3, cy - 3, 5)) << "nothing dark round the dot\n" << dot;
}

TEST_F(BarViewTest, ToolbarArrowsAndDither) {
    auto* host = Host(0, 0, 200, 40);
    auto* drop = Item("Drop");
    drop->SetItemStyle(drop->GetItemStyle() | tbisSubmenu);
    drop->SetOptions({tboDropdownArrow});
    auto* checked = Item("On");
    checked->SetChecked(true);
    auto* view = View(host, true);
    view->ValidatePositions();
    PixelCanvas canvas(200, 40);
    Print(host, canvas);
    const COLORREF dark = GetSysColor(COLOR_BTNTEXT);
    TRect r = R(view, drop);
    const int cx = r.Right - 11 + 4, cy = r.Top + r.Height() / 2;
    EXPECT_EQ(canvas.Pattern(cx - 3, cy - 2, 7, 5, dark),
              ".......\n"
              ".#####.\n"
              "..###..\n"
              "...#...\n"
              ".......\n");

    // A checked button that is not selected shows the dither inside its frame.
    r = R(view, checked);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(face, light);
    int x = r.Left + 3, y = r.Top + 3;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 4; ++dx) {
            COLORREF p = canvas.At(x + dx, y + dy);
            EXPECT_TRUE(p == face || p == light) << dx << "," << dy;
            EXPECT_NE(p, canvas.At(x + dx + 1, y + dy)) << "alternating " << dx << "," << dy;
        }

    // Pointing left on a vertical bar.
    view->SetOrientation(tbvoVertical);
    view->ValidatePositions();
    PixelCanvas vertical(200, 40);
    Print(host, vertical);
    r = R(view, drop);
    const int vx = r.Left + r.Width() / 2, vy = r.Bottom - 11 + 4;
    EXPECT_EQ(vertical.Pattern(vx - 4, vy - 3, 5, 7, dark),
              ".....\n"
              "...#.\n"
              "..##.\n"
              ".###.\n"
              "..##.\n"
              "...#.\n"
              ".....\n");
}

TEST_F(BarViewTest, MenuArrowTakesTheBrushOnItsGlyphOnly) {
    PixelCanvas canvas(40, 40);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    TRect r{10, 10, 10 + GetSystemMetrics(SM_CXMENUCHECK), 10 + GetSystemMetrics(SM_CYMENUCHECK)};
    DrawMenuArrowGlyph(canvas.DC(), r, red);
    DeleteObject(red);
    const int area = r.Width() * r.Height();
    const int glyph = canvas.CountOf(RGB(255, 0, 0));
    EXPECT_GT(glyph, 3);
    EXPECT_LT(glyph, area / 3) << "the glyph takes the brush, not its background";
    EXPECT_EQ(glyph + canvas.CountOf(RGB(255, 255, 255)), 40 * 40) << "nothing else is touched";
    // Pointing right: columns get shorter from left to right.
    int prev = 1000, firstX = -1;
    for (int x = r.Left; x < r.Right; ++x) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y) n += canvas.At(x, y) == RGB(255, 0, 0);
        if (n == 0) continue;
        if (firstX < 0) firstX = x;
        EXPECT_LE(n, prev) << x;
        prev = n;
    }
    EXPECT_GE(firstX, 0);
}

TEST_F(BarViewTest, ChevronPatterns) {
    PixelCanvas canvas(40, 20);
    DrawChevronGlyph(canvas.DC(), TRect{0, 0, 12, 20}, false, false, true);
    const COLORREF dark = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(canvas.Pattern(2, 4, 8, 5, dark),
              "##..##..\n"
              ".##..##.\n"
              "..##..##\n"
              ".##..##.\n"
              "##..##..\n");
    EXPECT_EQ(canvas.CountOf(dark), 20);
    PixelCanvas down(20, 20);
    DrawChevronGlyph(down.DC(), TRect{0, 0, 20, 12}, true, true, true);
    EXPECT_EQ(down.Pattern(12, 3, 5, 8, dark),
              "#...#\n"
              "##.##\n"
              ".###.\n"
              "..#..\n"
              "#...#\n"
              "##.##\n"
              ".###.\n"
              "..#..\n")
        << "pushed: moved by one pixel";
    PixelCanvas disabled(40, 20);
    DrawChevronGlyph(disabled.DC(), TRect{0, 0, 12, 20}, false, false, false);
    EXPECT_EQ(disabled.Pattern(2, 4, 8, 5, GetSysColor(COLOR_BTNSHADOW)),
              "##..##..\n"
              ".##..##.\n"
              "..##..##\n"
              ".##..##.\n"
              "##..##..\n");
}

// ---- The test form

TEST_F(BarViewTest, ScreenshotOfAToolbarAndAMenu) {
    TTextMeasure text;
    // A horizontal toolbar: buttons, a separator, a checked item, a
    // right-aligned item and a chevron hiding the last button.
    auto* bar = TBarRootItem::Create(Form);
    auto* chevron = TTestChevronItem::Create(Form);
    Item("&New", bar);
    Item("&Open", bar);
    Separator(bar);
    auto* bold = Item("Bold", bar);
    bold->SetChecked(true);
    auto* drop = Item("Tags", bar);
    drop->SetItemStyle(drop->GetItemStyle() | tbisSubmenu);
    drop->SetOptions({tboDropdownArrow});
    auto* help = Item("Help", bar);
    help->SetItemStyle(help->GetItemStyle() | tbisRightAlign);
    Item("Hidden away", bar);
    auto* toolbarHost = Host(10, 10, 260, 6 + text.Height());
    auto* toolbar = View(toolbarHost, true, chevron, true, bar);
    toolbar->FullSize = true;
    toolbar->SetChevronSize(12);
    toolbar->SetChevronOffset(260);
    toolbar->SetWrapOffset(248);
    toolbar->ValidatePositions();
    toolbar->Select(toolbar->Find(drop), false);

    // A popup-style menu: check mark, radio dot, shortcut, submenu arrow,
    // a separator and a disabled row, the first row selected.
    auto* menu = TBarRootItem::Create(Form);
    auto* wrap = Item("&Word wrap\tCtrl+W", menu);
    wrap->SetChecked(true);
    auto* list = Item("As &list", menu);
    list->SetChecked(true);
    list->SetRadioItem(true);
    list->SetGroupIndex(1);
    Item("As &tree", menu)->SetGroupIndex(1);
    Separator(menu);
    auto* sort = Item("&Sort by", menu);
    sort->SetItemStyle(sort->GetItemStyle() | tbisSubmenu);
    auto* off = Item("&Print...\tCtrl+P", menu);
    off->SetEnabled(false);
    auto* menuHost = Host(60, 60, 220, 160);
    menuHost->SetColor(gcl::clMenu);
    auto* popup = View(menuHost, false, nullptr, false, menu);
    gcl::TPoint size = popup->UpdatePositions();
    menuHost->SetBounds(60, 60, size.X, size.Y);
    popup->Select(popup->Find(wrap), false);

    Form->Show();
    qelvo::test::PumpApplication(200);
    toolbarHost->Invalidate();
    menuHost->Invalidate();
    qelvo::test::PumpApplication(200);
    EXPECT_EQ(R(toolbar, help).Right, 248) << "Help sits at the right end of the line";
    EXPECT_TRUE(Shown(toolbar, chevron));
    EXPECT_GT(qelvo::test::SaveWindowScreenshot(Form->GetHandle(), "toolbar_views.bmp"), 20);
}

} // namespace

namespace {

TEST_F(BarViewTest, ViewerHintsButtonPartsAndImages) {
    auto* host = Host(0, 0, 300, 40);
    auto* open = Item("Open...\tCtrl+O");
    auto* combo = Item("Combo");
    combo->SetItemStyle(combo->GetItemStyle() | tbisSubmenu | tbisCombo);
    auto* sub = Item("&Recent");
    sub->SetItemStyle(sub->GetItemStyle() | tbisSubmenu);
    auto* hinted = Item("Save");
    hinted->SetHint("Saves the list|Writes the whole database");
    auto* view = View(host, true);
    view->ValidatePositions();

    gcl::Application->SetHintShortCuts(true);
    EXPECT_EQ(view->Find(open)->GetHintText(), "Open (Ctrl+O)");
    gcl::Application->SetHintShortCuts(false);
    EXPECT_EQ(view->Find(open)->GetHintText(), "Open");
    gcl::Application->SetHintShortCuts(true);
    EXPECT_EQ(view->Find(hinted)->GetHintText(), "Saves the list");
    EXPECT_EQ(view->Find(sub)->GetHintText(), "") << "a submenu whose caption shows needs no hint";
    open->SetOptions({tboNoAutoHint});
    EXPECT_EQ(view->Find(open)->GetHintText(), "");

    // A combo item 50 pixels wide: the button part ends 11 pixels before its edge.
    TBarItemViewer* c = view->Find(combo);
    c->BoundsRect.Right = c->BoundsRect.Left + 50;
    EXPECT_TRUE(c->IsPtInButtonPart(38, 5));
    EXPECT_FALSE(c->IsPtInButtonPart(39, 5));
    EXPECT_FALSE(view->Find(sub)->IsPtInButtonPart(0, 0));
    EXPECT_TRUE(view->Find(hinted)->IsPtInButtonPart(0, 0));
    EXPECT_EQ(view->Find(sub)->GetAccRole(), 57);
    EXPECT_EQ(view->Find(hinted)->GetAccRole(), 43);

    // Display modes: images show on toolbars unless text only.
    auto* images = gcl::TImageList::Create(Form);
    images->SetSize(16, 16);
    hinted->SetImages(images);
    hinted->SetImageIndex(0);
    TBarItemViewer* v = view->Find(hinted);
    EXPECT_TRUE(v->ImageShown());
    EXPECT_FALSE(v->CaptionShown()) << "toolbar buttons with an image show the image alone";
    hinted->SetDisplayMode(nbdmTextOnlyInMenus);
    EXPECT_TRUE(view->Find(hinted)->ImageShown());
    hinted->SetDisplayMode(nbdmTextOnly);
    EXPECT_FALSE(view->Find(hinted)->ImageShown());
    EXPECT_TRUE(view->Find(hinted)->CaptionShown());
    hinted->SetDisplayMode(nbdmImageAndText);
    view->ValidatePositions();
    TTextMeasure text;
    EXPECT_EQ(R(view, hinted).Width(), 12 + text.Width("Save") + 16 + 1) << "caption beside the image";

    auto* menu = TBarRootItem::Create(Form);
    auto* menuItem = Item("Print", menu);
    menuItem->SetImages(images);
    menuItem->SetImageIndex(0);
    menuItem->SetDisplayMode(nbdmTextOnlyInMenus);
    auto* popupHost = Host(0, 50, 200, 100);
    auto* popup = View(popupHost, false, nullptr, false, menu);
    EXPECT_FALSE(popup->Find(menuItem)->ImageShown()) << "text only in menus";
}

TEST_F(BarViewTest, ChevronButtonThroughWMPrint) {
    TTextMeasure text;
    auto* host = Host(0, 0, 120, 6 + text.Height());
    auto* chevron = TTestChevronItem::Create(Form);
    for (int i = 0; i < 6; ++i) Item("Button " + std::to_string(i));
    auto* view = View(host, true, chevron, true);
    view->SetChevronSize(12);
    view->SetChevronOffset(120);
    view->ValidatePositions();
    ASSERT_TRUE(Shown(view, chevron));
    PixelCanvas canvas(120, 6 + text.Height());
    Print(host, canvas);
    const TRect r = R(view, chevron);
    EXPECT_EQ(canvas.Pattern(r.Left + 2, r.Top + 4, 8, 5, GetSysColor(COLOR_BTNTEXT)),
              "##..##..\n"
              ".##..##.\n"
              "..##..##\n"
              ".##..##.\n"
              "##..##..\n");
}

} // namespace

namespace {

TEST_F(BarViewTest, HostedControlsFollowTheirItems) {
    TTextMeasure text;
    auto* host = Host(0, 0, 200, 40);
    auto* chevron = TTestChevronItem::Create(Form);
    auto* a = Item("A");
    auto* control = TTestBarHost::Create(Form);
    control->SetBounds(0, 0, 60, 18);
    control->SetParent(host);
    auto* item = TBarControlItem::CreateControlItem(Form, control);
    Root->Add(item);
    auto* view = View(host, true, chevron, true);
    view->SetChevronSize(12);
    view->SetChevronOffset(1000);
    view->ValidatePositions();
    const int wa = 12 + text.Width("A");
    const int h = std::max(6 + text.Height(), 18);
    EXPECT_EQ(control->GetBoundsRect(), gcl::Bounds(wa, (h - 18) / 2, 60, 18)) << "centred across the bar";
    std::vector<gcl::TWinControl*> hosted;
    view->GetHostedControls(hosted);
    EXPECT_EQ(hosted, (std::vector<gcl::TWinControl*>{control}));

    // Only the control gives way: the chevron shows, disabled, and the
    // control moves out of sight keeping its size.
    view->SetChevronOffset(wa + 12 + 4);
    view->ValidatePositions();
    EXPECT_TRUE(view->Find(item)->OffEdge);
    EXPECT_TRUE(Shown(view, chevron));
    EXPECT_FALSE(chevron->GetEnabled());
    EXPECT_EQ(control->GetBoundsRect(), gcl::Bounds(host->GetClientWidth(), host->GetClientHeight(), 60, 18));
    EXPECT_EQ(view->Find(item)->GetAccRole(), 10);

    // Freeing the control empties the item; freeing the item frees the control.
    auto* spare = TTestBarHost::Create(Form);
    spare->SetName("Spare");
    item->SetControl(spare);
    spare->Free();
    EXPECT_EQ(item->GetControl(), nullptr);
    control->SetName("Hosted");
    item->SetControl(control);
    item->Free();
    EXPECT_EQ(Form->FindComponent("Hosted"), nullptr);
    (void)a;
}

TEST_F(BarViewTest, ToolbarArrowKeys) {
    auto* host = Host(0, 0, 300, 40);
    auto* a = Item("A");
    auto* b = Item("B");
    auto* c = Item("C");
    auto* view = View(host, true);
    view->BeginModalState();
    view->Select(view->Find(b), false);
    uint16_t key = VK_RIGHT;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(c));
    key = VK_RIGHT;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(a)) << "wraps round";
    key = VK_LEFT;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(c));
    key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(c)) << "down opens the submenu on a horizontal bar";
    EXPECT_EQ(key, 0);
    view->SetOrientation(tbvoVertical);
    key = VK_DOWN;
    view->KeyDown(key, {});
    EXPECT_EQ(view->GetSelected(), view->Find(a)) << "down moves along a vertical bar";
    key = VK_ESCAPE;
    view->KeyDown(key, {});
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaCancel);
    key = VK_RETURN;
    view->BeginModalState();
    view->KeyDown(key, {});
    EXPECT_EQ(view->DoneAction().DoneAction, tbdaClickItem);
    EXPECT_FALSE(view->DoneAction().Sound) << "no command sound for a toolbar button";
}

} // namespace

namespace {

TEST_F(BarViewTest, SelectionFollowsThePointer) {
    auto* host = Host(0, 0, 300, 40);
    auto* a = Item("A");
    auto* b = Item("B");
    auto* view = View(host, true);
    view->ValidatePositions();
    Form->Show();
    qelvo::test::PumpApplication(50);
    auto screenOf = [&](TBarCustomItem* item) {
        POINT p{R(view, item).Left + 2, R(view, item).Top + 2};
        ClientToScreen(host->GetHandle(), &p);
        return gcl::TPoint{p.x, p.y};
    };
    gcl::TPoint overB = screenOf(b);
    if (WindowFromPoint(POINT{overB.X, overB.Y}) != host->GetHandle()) GTEST_SKIP() << "the host is covered";
    view->UpdateSelection(&overB, true);
    EXPECT_EQ(view->GetSelected(), view->Find(b));
    EXPECT_TRUE(view->GetSelectedViaMouse());
    EXPECT_TRUE(view->GetState() & vsMouseInWindow);
    gcl::TPoint overA = screenOf(a);
    view->UpdateSelection(&overA, false);
    EXPECT_EQ(view->GetSelected(), view->Find(a)) << "something selected: the pointer moves the selection";
    gcl::TPoint outside{overA.X, overA.Y + 200};
    view->UpdateSelection(&outside, true);
    EXPECT_EQ(view->GetSelected(), nullptr) << "outside the window, not modal";
    EXPECT_FALSE(view->GetState() & vsMouseInWindow);
    view->UpdateSelection(&overA, false);
    EXPECT_EQ(view->GetSelected(), nullptr) << "no new selection allowed";
}

} // namespace

// A change that asks for a new layout: when nothing moves, only the changed
// item is repainted (not the whole bar); when items move, the layout pass
// paints the whole bar at once; inside an update bracket the whole bar
// waits for the end of the bracket.
TEST_F(BarViewTest, ResizingChangesRepaintOnlyWhatMoved) {
    auto* host = Host(0, 0, 400, 40);
    auto* open = Item("Open");
    auto* save = Item("Save");
    auto* quit = Item("Quit");
    auto* view = View(host, true);
    Form->Show();
    view->ValidatePositions();
    HWND wnd = host->GetHandle();
    UpdateWindow(wnd);
    RECT pending{};
    ASSERT_FALSE(GetUpdateRect(wnd, &pending, FALSE));

    // The same letters measure the same: nothing moves, the item repaints.
    const TRect saveBounds = R(view, save);
    const TRect quitBounds = R(view, quit);
    save->SetCaption("Svae");
    ASSERT_TRUE(GetUpdateRect(wnd, &pending, FALSE));
    EXPECT_EQ(gcl::TRect(pending.left, pending.top, pending.right, pending.bottom), saveBounds);
    EXPECT_EQ(R(view, quit), quitBounds);
    UpdateWindow(wnd);

    // A longer caption moves the next item: laid out and painted at once.
    save->SetCaption("Save everything");
    EXPECT_GT(R(view, quit).Left, quitBounds.Left);
    EXPECT_FALSE(GetUpdateRect(wnd, &pending, FALSE));

    // A group shows its sub-items in its place: a change of its own
    // repaints the whole bar.
    auto* group = Item<TBarGroupItem>("Group");
    Item("G1", group);
    UpdateWindow(wnd);
    group->SetCaption("Other");
    RECT client{};
    GetClientRect(wnd, &client);
    ASSERT_TRUE(GetUpdateRect(wnd, &pending, FALSE));
    EXPECT_EQ(pending.right - pending.left, client.right);
    UpdateWindow(wnd);

    // In an update bracket the bar is laid out and painted whole at the end.
    view->BeginUpdate();
    open->SetCaption("Onep");
    ASSERT_TRUE(GetUpdateRect(wnd, &pending, FALSE));
    EXPECT_EQ(pending.right - pending.left, client.right);
    view->EndUpdate();
    UpdateWindow(wnd);
    EXPECT_FALSE(GetUpdateRect(wnd, &pending, FALSE));
}
