// Extended dockable panels: the caption buttons and their images, the
// multi-dock's position rules, minimising, maximising and restoring panels
// that share a dock (with the refusals), floating panels, caption painting
// and position data; and the main window's two panels as a test form.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/XtDkPanels.h"
#include "controls/XtTabs.h"
#include "gcl/ImgList.h"
#include "support/PixelCanvas.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "toolbar/MenuScript.h"
#include "controls/XtTestSupport.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class XtDkPanels : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&XtDkPanelsUnit});
    }
    void SetUp() override {
        XtFormTest::SetUp();
        Form->SetBounds(30, 30, 520, 460);
    }
    void TearDown() override {
        PumpMessages(20);
        XtFormTest::TearDown();
    }
    TXtMultiDock* MakeMultiDock(TXtDockPosition position) {
        auto* dock = TXtMultiDock::Create(Form);
        dock->SetPosition(position);
        dock->SetParent(Form);
        return dock;
    }
    TXtDockablePanel* MakePanel(TBarDock* dock, const wchar_t* caption, int split = 0) {
        auto* panel = TXtDockablePanel::Create(Form);
        panel->SetCaption(caption);
        panel->SetSplitHeight(split);
        panel->SetParent(dock);
        return panel;
    }
    // Three panels sharing a left multi-dock 400 pixels long.
    std::vector<TXtDockablePanel*> MakeBench() {
        Form->SetClientHeight(400);
        auto* dock = MakeMultiDock(dpxLeft);
        std::vector<TXtDockablePanel*> panels;
        for (const wchar_t* caption : {L"Lists", L"Tags", L"Note"})
            panels.push_back(MakePanel(dock, caption, 100));
        Form->Show();
        PumpMessages(30);
        return panels;
    }
};

// ---- Buttons --------------------------------------------------------------------------

TEST_F(XtDkPanels, PanelButtonsFollowTheirOptionsInTheirOrder) {
    auto* dock = MakeMultiDock(dpxLeft);
    auto* panel = MakePanel(dock, L"Lists");
    TXtDockablePanelButtonOptions* options = panel->GetOptions();
    EXPECT_TRUE(options->GetClose());
    EXPECT_FALSE(options->GetMinimize());
    EXPECT_FALSE(options->GetMaximize());
    EXPECT_TRUE(options->GetButtonBorders());
    EXPECT_EQ(options->GetTitleBarSize(), 15);
    EXPECT_EQ(panel->GetDefaultDockedHeight(), 150);

    // Caption label first, then minimise, maximise and close.
    TBarCustomItem* items = panel->GetItems();
    ASSERT_EQ(items->GetCount(), 4);
    EXPECT_EQ(items->GetItem(0), options->GetCaptionLabel());
    EXPECT_EQ(items->GetItem(1), options->GetMinimizeButton());
    EXPECT_EQ(items->GetItem(2), options->GetMaximizeButton());
    EXPECT_EQ(items->GetItem(3), options->GetCloseButton());
    EXPECT_TRUE(options->GetCloseButton()->GetVisible());
    EXPECT_FALSE(options->GetMinimizeButton()->GetVisible());
    EXPECT_EQ(options->GetCloseButton()->GetCustomWidth(), 15);
    EXPECT_EQ(options->GetCloseButton()->GetCustomHeight(), 15);
    EXPECT_EQ(options->GetCaptionLabel()->GetCaption(), L"Lists");
    EXPECT_EQ(options->GetCaptionLabel()->GetFontSettings()->GetBold(), tsTrue);

    options->SetMinimize(true);
    EXPECT_TRUE(options->GetMinimizeButton()->GetVisible());
    options->SetClose(false);
    EXPECT_FALSE(options->GetCloseButton()->GetVisible());
    EXPECT_TRUE(options->GetCaptionLabel()->GetVisible());
    options->SetMinimize(false);
    options->SetCaption(false);
    EXPECT_FALSE(options->GetCaptionLabel()->GetVisible());
    EXPECT_EQ(options->GetCaptionLabel()->GetCaption(), L"");
    options->SetCaption(true);
    EXPECT_EQ(options->GetCaptionLabel()->GetCaption(), L"Lists");

    // A new caption reaches the label.
    panel->SetCaption(L"Tags \u2713");
    EXPECT_EQ(options->GetCaptionLabel()->GetCaption(), L"Tags \u2713");
    options->SetTitleBarSize(30);
    EXPECT_EQ(options->GetCloseButton()->GetCustomHeight(), 30);
}

TEST_F(XtDkPanels, ButtonImagesComeFromTheOwnListOrTheSharedGlyphs) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* panel = MakePanel(dock, L"Note");
    TXtDockablePanelButtonOptions* options = panel->GetOptions();
    options->SetMinimize(true);
    TXtItem* minimize = options->GetMinimizeButton();
    EXPECT_EQ(minimize->GetImages(), XtGlyphs);
    EXPECT_EQ(minimize->GetImageIndex(), XtGlyphMinimize);
    EXPECT_EQ(options->GetCloseButton()->GetImageIndex(), XtGlyphClose);

    // The note panel's own list: minimise 6, restore 5.
    auto* images = gcl::TImageList::Create(Form);
    panel->SetImages(images);
    EXPECT_EQ(panel->GetImages(), images);
    options->SetMinimizeImageIndex(6);
    options->SetRestoreImageIndex(5);
    EXPECT_EQ(minimize->GetImages(), nullptr);
    EXPECT_EQ(minimize->GetImageIndex(), 6);
    Form->Show();
    ASSERT_TRUE(panel->Minimize(false));
    EXPECT_EQ(minimize->GetImageIndex(), 5);
    ASSERT_TRUE(panel->Restore(false));
    EXPECT_EQ(minimize->GetImageIndex(), 6);

    options->SetCloseImageIndex(-7);
    EXPECT_EQ(options->GetCloseImageIndex(), -1);
    EXPECT_EQ(options->GetCloseButton()->GetImages(), XtGlyphs);

    // The buttons' faces: the theme's frame only with borders and not under "Default".
    bool paintDefault = true;
    TTxItemInfo info{};
    options->ButtonsDrawItem(minimize, nullptr, TRect{}, info, pstPrePaint, paintDefault);
    EXPECT_FALSE(paintDefault);
    SelectTheme("Tristan");
    paintDefault = true;
    options->ButtonsDrawItem(minimize, nullptr, TRect{}, info, pstPrePaint, paintDefault);
    EXPECT_TRUE(paintDefault);
    options->SetButtonBorders(false);
    options->ButtonsDrawItem(minimize, nullptr, TRect{}, info, pstPrePaint, paintDefault);
    EXPECT_FALSE(paintDefault);
}

TEST_F(XtDkPanels, ClickingTheButtonsTogglesTheState) {
    auto panels = MakeBench();
    TXtDockablePanel* lists = panels[0];
    TXtDockablePanelButtonOptions* options = lists->GetOptions();
    options->SetMinimize(true);
    options->SetMaximize(true);
    options->GetMaximizeButton()->Click();
    EXPECT_TRUE(lists->IsMaximized());
    EXPECT_EQ(options->GetMaximizeButton()->GetImageIndex(), XtGlyphRestore);
    options->GetMaximizeButton()->Click();
    EXPECT_FALSE(lists->IsMaximized());
    EXPECT_EQ(options->GetMaximizeButton()->GetImageIndex(), XtGlyphMaximize);
    options->GetMinimizeButton()->Click();
    EXPECT_TRUE(lists->IsMinimized());
    options->GetMinimizeButton()->Click();
    EXPECT_FALSE(lists->IsMinimized());

    bool closed = false;
    struct TCloseLog : gcl::TObject {
        bool* Closed = nullptr;
        void Close(gcl::TObject*) { *Closed = true; }
    } log;
    log.Closed = &closed;
    lists->OnClose = gcl::TNotifyEvent(&log, &TCloseLog::Close);
    options->GetCloseButton()->Click();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(lists->GetVisible());
}

// ---- The multi-dock ----------------------------------------------------------------------

TEST_F(XtDkPanels, MultiDockPositionRules) {
    auto* dock = TXtMultiDock::Create(Form);
    EXPECT_EQ(dock->GetPosition(), dpxTop);
    dock->SetParent(Form);
    dock->SetPosition(dpxBottom);
    EXPECT_EQ(dock->TBarDock::GetPosition(), dpBottom);
    auto* panel = MakePanel(dock, L"Note");
    try {
        dock->SetPosition(dpxLeft);
        FAIL() << "a dock holding a panel changed its position";
    } catch (const gcl::EInvalidOperation& e) {
        EXPECT_EQ(e.GetMessage(), "Cannot change Position of a TBarDock if it already contains controls");
    }
    EXPECT_EQ(dock->GetPosition(), dpxBottom);
    dock->SetPosition(dpxBottom);   // unchanged: no error

    // An empty dock made client-filling stretches each later panel to its width.
    auto* client = TXtMultiDock::Create(Form);
    client->SetParent(Form);
    client->SetPosition(dpxClient);
    EXPECT_EQ(client->GetAlign(), gcl::alClient);
    EXPECT_EQ(client->TBarDock::GetPosition(), dpRight);
    auto* wide = MakePanel(client, L"Wide");
    Form->Show();
    PumpMessages(20);
    EXPECT_EQ(wide->GetWidth(), client->GetWidth());
    EXPECT_GT(client->GetWidth(), 300);
    (void)panel;

    auto* small = MakePanel(dock, L"Small");
    small->SetDefaultDockedHeight(3);
    EXPECT_EQ(small->GetDefaultDockedHeight(), 8);
    small->SetDefaultDockedWidth(-1);
    EXPECT_EQ(small->GetDefaultDockedWidth(), 8);
}

TEST_F(XtDkPanels, DocksNestOnlyThroughAnotherControl) {
    auto* dock = MakeMultiDock(dpxLeft);
    auto* panel = MakePanel(dock, L"Lists");
    // The caption dock is the panel's own child, the only dock a dockable
    // panel takes straight in; any other goes through another control.
    EXPECT_EQ(panel->GetCaptionDock()->GetParent(), panel);
    EXPECT_EQ(panel->GetCaptionToolbar()->GetCurrentDock(), panel->GetCaptionDock());
    auto* inner = TTxDock::Create(Form);
    try {
        inner->SetParent(panel);
        FAIL() << "a dock went straight into a dockable panel";
    } catch (const gcl::EInvalidOperation& e) {
        EXPECT_EQ(e.GetMessage(), "A TBarDock control cannot be placed inside a tool window or another TBarDock");
    }
    EXPECT_THROW(inner->SetParent(dock), gcl::EInvalidOperation);
    EXPECT_EQ(inner->GetParent(), nullptr);

    // The caption dock takes only the panel's own caption toolbar.
    bool accept = true;
    panel->GetCaptionDock()->OnRequestDock(panel->GetCaptionDock(), panel, accept);
    EXPECT_FALSE(accept);
    panel->GetCaptionDock()->OnRequestDock(panel->GetCaptionDock(), panel->GetCaptionToolbar(), accept);
    EXPECT_TRUE(accept);
}

TEST_F(XtDkPanels, DockedResizingAsksTheMultiDock) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* panel = MakePanel(dock, L"Note");
    Form->Show();
    struct TResizeLog : gcl::TObject {
        std::vector<std::pair<bool, int>> Calls;
        bool Allow = false;
        void Resizing(gcl::TObject* sender, bool vertical, int& size, TTxResizingStage stage, bool& allow) {
            EXPECT_EQ(stage, rsResizing);
            EXPECT_TRUE(allow);
            (void)sender;
            Calls.emplace_back(vertical, size);
            allow = Allow;
        }
    } log;
    dock->OnDockedResizing = TTxDockedResizing(&log, &TResizeLog::Resizing);
    int size = 120;
    EXPECT_FALSE(panel->DockedResizing(true, size));
    log.Allow = true;
    EXPECT_TRUE(panel->DockedResizing(true, size));
    ASSERT_EQ(log.Calls.size(), 2u);
    EXPECT_TRUE(log.Calls[0].first);
    EXPECT_EQ(log.Calls[0].second, 120);
}

// ---- Minimise, maximise, restore ----------------------------------------------------------

TEST_F(XtDkPanels, VerticalBenchMinimisesMaximisesAndRefuses) {
    auto panels = MakeBench();
    TXtDockablePanel* lists = panels[0];
    TXtDockablePanel* tags = panels[1];
    TXtDockablePanel* note = panels[2];
    const int available = 400;
    ASSERT_EQ(lists->GetHeight() + tags->GetHeight() + note->GetHeight(), available);
    const int caption = lists->GetMinimizedSize().Y;
    EXPECT_EQ(caption, lists->GetCaptionToolbar()->GetHeight() + 2);
    EXPECT_GT(caption, 10);

    // Minimising one: its height is the caption bar, the next panel takes the rest.
    const int listsHeight = lists->GetHeight();
    const int tagsHeight = tags->GetHeight();
    ASSERT_TRUE(lists->Minimize(false));
    EXPECT_TRUE(lists->IsMinimized());
    EXPECT_EQ(lists->GetHeight(), caption);
    EXPECT_EQ(tags->GetHeight(), tagsHeight + listsHeight - caption);
    EXPECT_EQ(lists->GetState()->DockedRestoreHeight, listsHeight);
    EXPECT_FALSE(lists->Minimize(false));   // already minimised

    // The last panel that is not minimised refuses.
    ASSERT_TRUE(tags->Minimize(false));
    EXPECT_FALSE(note->Minimize(false));
    EXPECT_FALSE(note->IsMinimized());
    EXPECT_EQ(note->GetHeight(), available - 2 * caption);

    // A minimised panel keeps its height through a re-arrangement.
    Form->SetClientHeight(420);
    PumpMessages(20);
    EXPECT_EQ(lists->GetHeight(), caption);
    EXPECT_EQ(note->GetHeight(), 420 - 2 * caption);
    Form->SetClientHeight(400);
    PumpMessages(20);

    // Restoring gives the remembered height back.
    ASSERT_TRUE(lists->Restore(false));
    EXPECT_FALSE(lists->IsMinimized());
    EXPECT_EQ(lists->GetHeight(), listsHeight);
    EXPECT_EQ(lists->GetHeight() + tags->GetHeight() + note->GetHeight(), available);
    EXPECT_FALSE(lists->Restore(false));   // nothing to restore
    ASSERT_TRUE(tags->Restore(false));

    // Maximising minimises every sibling; restoring gives them their heights.
    const int before[] = {lists->GetHeight(), tags->GetHeight(), note->GetHeight()};
    ASSERT_TRUE(note->Maximize());
    EXPECT_TRUE(note->IsMaximized());
    EXPECT_TRUE(lists->IsMinimized());
    EXPECT_TRUE(tags->IsMinimized());
    EXPECT_EQ(lists->GetHeight(), caption);
    EXPECT_EQ(tags->GetHeight(), caption);
    EXPECT_EQ(note->GetHeight(), available - 2 * caption);
    EXPECT_FALSE(note->Maximize());   // already maximised
    ASSERT_TRUE(note->Restore(false));
    EXPECT_FALSE(note->IsMaximized());
    EXPECT_FALSE(lists->IsMinimized());
    EXPECT_EQ(lists->GetHeight(), before[0]);
    EXPECT_EQ(tags->GetHeight(), before[1]);
    EXPECT_EQ(note->GetHeight(), available - before[0] - before[1]);

    // Restoring a sibling of a maximised panel takes the maximised state away.
    ASSERT_TRUE(note->Maximize());
    ASSERT_TRUE(lists->Restore(false));
    EXPECT_FALSE(note->IsMaximized());
    EXPECT_TRUE(tags->IsMinimized());
    EXPECT_TRUE(lists->RestoreAll(false));
    EXPECT_FALSE(tags->IsMinimized());
}

TEST_F(XtDkPanels, LonelyPanelsRefuseToMaximise) {
    Form->SetClientHeight(300);
    auto* left = MakeMultiDock(dpxLeft);
    auto* alone = MakePanel(left, L"Alone", 100);
    Form->Show();
    PumpMessages(20);
    EXPECT_FALSE(alone->Maximize());
    EXPECT_FALSE(alone->IsMaximized());
    EXPECT_FALSE(alone->Minimize(false));   // the only panel of a vertical dock
    EXPECT_EQ(alone->GetSiblingCount(), 0);
    EXPECT_FALSE(alone->MinimizeOrRestoreSiblings(false) && false);

    // In a top or bottom dock a panel minimises only when it is alone.
    auto* bottom = MakeMultiDock(dpxBottom);
    auto* a = MakePanel(bottom, L"A");
    auto* b = MakePanel(bottom, L"B");
    PumpMessages(20);
    EXPECT_FALSE(a->Minimize(false));
    b->SetParent(left);
    EXPECT_TRUE(a->Minimize(false));
    EXPECT_FALSE(a->Maximize());
}

TEST_F(XtDkPanels, ProportionalRestoreSharesWhatIsLeftOfTheNewHeight) {
    auto panels = MakeBench();
    TXtDockablePanel* lists = panels[0];
    const int caption = lists->GetMinimizedSize().Y;
    ASSERT_TRUE(lists->Minimize(false));
    lists->GetState()->DockedRestoreHeight = 200;
    ASSERT_TRUE(lists->Restore(true));
    EXPECT_EQ(lists->GetHeight(), 200);
    EXPECT_EQ(panels[1]->GetHeight(), 100);
    EXPECT_EQ(panels[2]->GetHeight(), 100);
    (void)caption;
}

TEST_F(XtDkPanels, MaximisingInAShortDockNeverGivesANegativeHeight) {
    auto panels = MakeBench();
    TXtDockablePanel* note = panels[2];
    const int caption = note->GetMinimizedSize().Y;
    // Siblings remember heights that do not fit once restored.
    ASSERT_TRUE(note->Maximize());
    panels[0]->GetState()->DockedRestoreHeight = 300;
    panels[1]->GetState()->DockedRestoreHeight = 300;
    ASSERT_TRUE(note->Restore(false));
    EXPECT_GE(note->GetSplitHeight(), caption);
    EXPECT_GE(note->GetState()->DockedRestoreHeight, caption);
    EXPECT_GE(note->GetHeight(), caption);
}

TEST_F(XtDkPanels, NotePanelMinimisesToItsCaptionAndRestoresItsHeight) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* note = MakePanel(dock, L"Note");
    note->GetOptions()->SetClose(false);
    note->GetOptions()->SetMinimize(true);
    note->SetDockedHeight(120);
    Form->Show();
    PumpMessages(20);
    const int height = note->GetHeight();
    EXPECT_EQ(height, 120 + 4);
    ASSERT_TRUE(note->Minimize(false));
    EXPECT_TRUE(note->IsMinimized());
    EXPECT_EQ(note->GetHeight(), note->GetMinimizedSize().Y);
    EXPECT_EQ(dock->GetHeight(), note->GetHeight());

    // The border does not resize a minimised panel.
    int size = 200;
    note->DockedResizing(true, size);
    EXPECT_EQ(size, note->GetMinimizedSize().Y);

    ASSERT_TRUE(note->Restore(false));
    EXPECT_FALSE(note->IsMinimized());
    EXPECT_EQ(note->GetHeight(), height);
    EXPECT_EQ(note->GetDockedHeight(), 120);
}

// A new caption shows on the panel's caption bar as a whole repaint shows
// it, and nothing of the panel itself (its frame, its client area, which
// the note's editor fills) is painted again for it: the caption bar holds
// the caption.
TEST_F(XtDkPanels, NewCaptionRepaintsTheCaptionBarAndNotThePanel) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* note = MakePanel(dock, L"Note");
    note->SetDockedHeight(120);
    Form->Show();
    PumpMessages(20);
    RedrawWindow(Form->GetHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(20);
    auto captionPixels = [&] {
        PixelCanvas shot(note->GetWidth(), 24);
        HDC dc = GetWindowDC(note->GetHandle());
        BitBlt(shot.DC(), 0, 0, note->GetWidth(), 24, dc, 0, 0, SRCCOPY);
        ReleaseDC(note->GetHandle(), dc);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < note->GetWidth(); ++x) pixels.push_back(shot.At(x, y));
        return pixels;
    };
    const std::vector<COLORREF> before = captionPixels();
    note->SetCaption(L"Note: Book the ferry");
    // Neither its client area nor its frame waits for a paint (the caption
    // bar, a child, does).
    EXPECT_FALSE(GetUpdateRect(note->GetHandle(), nullptr, FALSE)) << "the panel is to be painted again";
    PumpMessages(20);
    const std::vector<COLORREF> shown = captionPixels();
    EXPECT_NE(shown, before);
    RedrawWindow(Form->GetHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(20);
    EXPECT_EQ(captionPixels(), shown);
}

TEST_F(XtDkPanels, NotePanelMinimisedBeforeTheFormShows) {
    // The main window applies its layout while it is being made.
    auto* dock = MakeMultiDock(dpxBottom);
    auto* note = MakePanel(dock, L"Note");
    note->SetDockedHeight(90);
    ASSERT_TRUE(note->Minimize(false));
    Form->Show();
    PumpMessages(30);
    EXPECT_TRUE(note->IsMinimized());
    const int caption = note->GetMinimizedSize().Y;
    EXPECT_GT(caption, 10);
    EXPECT_EQ(note->GetHeight(), caption);
    EXPECT_EQ(dock->GetHeight(), caption);
    ASSERT_TRUE(note->Restore(false));
    EXPECT_EQ(note->GetHeight(), 90 + 4);
}

TEST_F(XtDkPanels, FloatingPanelMinimisesWithAFixedHeight) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* panel = MakePanel(dock, L"Note");
    Form->Show();
    panel->SetFloating(true);
    PumpMessages(20);
    ASSERT_TRUE(panel->GetFloating());
    panel->SetFloatingHeight(140);
    ASSERT_TRUE(panel->Minimize(false));
    EXPECT_TRUE(panel->IsMinimized());
    TBarFloatingWindowParent* window = panel->GetFloatParent();
    ASSERT_NE(window, nullptr);
    const int minimized = panel->GetMinimizedSize().Y;
    EXPECT_EQ(window->GetConstraints()->GetMinHeight(), minimized);
    EXPECT_EQ(window->GetConstraints()->GetMaxHeight(), minimized);
    window->SetBounds(window->GetLeft(), window->GetTop(), window->GetWidth(), 300);
    EXPECT_EQ(window->GetHeight(), minimized);

    ASSERT_TRUE(panel->Restore(false));
    EXPECT_FALSE(panel->IsMinimized());
    EXPECT_EQ(panel->GetFloatingHeight(), 140);
    EXPECT_EQ(window->GetConstraints()->GetMinHeight(), 0);
    EXPECT_EQ(window->GetConstraints()->GetMaxHeight(), 0);

    // Floating again after docking clears a floating minimised state and its limits.
    ASSERT_TRUE(panel->Minimize(false));
    panel->SetParent(dock);
    EXPECT_TRUE(panel->GetDocked());
    EXPECT_FALSE(panel->IsMinimized());
    panel->SetFloating(true);
    EXPECT_FALSE(panel->GetState()->FloatingMinimized);
    EXPECT_FALSE(panel->IsMinimized());
    EXPECT_EQ(panel->GetFloatParent()->GetConstraints()->GetMaxHeight(), 0);
}

// ---- Caption drags ---------------------------------------------------------------------------

// Presses the left button on the caption toolbar at its client point (the
// drag loop then reads the queued moves and the pointer).
void PressCaption(TXtDockablePanel* panel, int x, int y) {
    SendMessageA(panel->GetCaptionToolbar()->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

POINT ScreenPointOf(gcl::TWinControl* control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control->GetHandle(), &p);
    return p;
}

TEST_F(XtDkPanels, CaptionDragToAnotherDockMaximisesTheSiblingLeftBehind) {
    auto panels = MakeBench();
    auto* right = MakeMultiDock(dpxRight);
    TXtDockablePanel* lists = panels[0];
    TXtDockablePanel* tags = panels[1];
    TXtDockablePanel* note = panels[2];
    ASSERT_TRUE(lists->Minimize(false));
    ASSERT_TRUE(tags->Minimize(false));
    PumpMessages(20);

    // The press lands on the caption label (clicks go through it): the panel drags.
    const POINT target = ScreenPointOf(Form, Form->GetClientWidth() - 3, 200);
    SetCursorPos(target.x, target.y);
    PostMessageA(note->GetHandle(), WM_MOUSEMOVE, 0, 0);
    PostMessageA(note->GetHandle(), WM_LBUTTONUP, 0, 0);
    TLoopWatchdog watchdog;
    PressCaption(note, 20, 5);
    EXPECT_FALSE(watchdog.Fired());
    ASSERT_EQ(note->GetCurrentDock(), right);
    EXPECT_TRUE(note->GetDocked());
    EXPECT_FALSE(note->IsMinimized());

    // The two it left, both minimised: the first one now fills the dock.
    EXPECT_TRUE(lists->IsMaximized());
    EXPECT_FALSE(lists->IsMinimized());
    EXPECT_TRUE(tags->IsMinimized());
    EXPECT_EQ(lists->GetHeight() + tags->GetHeight(), 400);
    EXPECT_EQ(tags->GetHeight(), tags->GetMinimizedSize().Y);
    // The drag is over: nothing of it is remembered.
    EXPECT_EQ(note->GetSavedState()->DockedTo.Get(), nullptr);
    EXPECT_EQ(note->GetSavedState()->RestoreSibling.Get(), nullptr);
}

TEST_F(XtDkPanels, CaptionDragBackToItsDockKeepsItsState) {
    auto panels = MakeBench();
    TXtDockablePanel* lists = panels[0];
    TXtDockablePanel* note = panels[2];
    ASSERT_TRUE(lists->Minimize(false));
    TXtDockingState before;
    before.Assign(lists->GetState());

    // Let go at once, where it was: the panel comes back to its own dock.
    const POINT here = ScreenPointOf(lists->GetCaptionToolbar(), 20, 5);
    SetCursorPos(here.x, here.y);
    PostMessageA(lists->GetHandle(), WM_LBUTTONUP, 0, 0);
    TLoopWatchdog watchdog;
    PressCaption(lists, 20, 5);
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(lists->GetCurrentDock(), note->GetCurrentDock());
    EXPECT_TRUE(lists->IsMinimized());
    EXPECT_EQ(lists->GetState()->DockedRestoreHeight, before.DockedRestoreHeight);
}

// ---- Painting and position data ------------------------------------------------------------

TEST_F(XtDkPanels, FrameWithoutADeviceContextPaintsNothing) {
    auto* dock = MakeMultiDock(dpxBottom);
    auto* panel = MakePanel(dock, L"Note");
    Form->Show();
    PumpMessages(20);
    EXPECT_NO_THROW(panel->DrawNCArea(nullptr));
    TTxPanelCaptionInfo info;
    panel->GetPanelCaptionInfo(info);
    EXPECT_EQ(info.DragHandleStyle, 0);
    EXPECT_EQ(info.CloseButtonState, 0);

    // The caption bitmap is painted at the caption's size, the event sees both stages.
    struct TStageLog : gcl::TObject {
        std::vector<TXtPaintStage> Stages;
        void Draw(gcl::TObject*, TCanvas*, const TRect&, TXtPaintStage stage, bool&) { Stages.push_back(stage); }
    } log;
    panel->OnDrawCaptionPanel = TXtDrawEvent(&log, &TStageLog::Draw);
    panel->InvalidateBackground(true);
    EXPECT_EQ(panel->GetCaptionBitmap()->GetWidth(), 1);
    RedrawWindow(panel->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(panel->GetCaptionBitmap()->GetWidth(), panel->GetMinimizedSize().X);
    EXPECT_EQ(panel->GetCaptionBitmap()->GetHeight(), panel->GetMinimizedSize().Y);
    ASSERT_GE(log.Stages.size(), 2u);
    EXPECT_EQ(log.Stages[0], pstPrePaint);
    EXPECT_EQ(log.Stages[1], pstPostPaint);
}

TEST_F(XtDkPanels, PositionDataRoundTripsThroughTheCallbacks) {
    auto* dock = MakeMultiDock(dpxLeft);
    auto* panel = MakePanel(dock, L"Lists", 90);
    panel->SetName("ListsPanel");
    panel->SetDockedWidth(140);
    struct TStore {
        std::vector<std::pair<std::string, int>> Values;
        static void Write(const std::string& bar, const std::string& name, int32_t v, void* extra) {
            EXPECT_EQ(bar, "ListsPanel");
            static_cast<TStore*>(extra)->Values.emplace_back(name, v);
        }
        static int32_t Read(const std::string&, const std::string& name, int32_t def, void* extra) {
            for (auto& [n, v] : static_cast<TStore*>(extra)->Values)
                if (n == name) return v;
            return def;
        }
    } store;
    TBarWritePositionData write;
    write.WriteIntProc = &TStore::Write;
    write.ExtraData = &store;
    panel->WritePositionData(write);
    ASSERT_EQ(store.Values.size(), 6u);
    EXPECT_EQ(store.Values[0], (std::pair<std::string, int>{"DPDockedWidth", 140}));
    EXPECT_EQ(store.Values[5], (std::pair<std::string, int>{"DPSplitHeight", 90}));

    panel->SetDockedWidth(60);
    panel->SetSplitHeight(10);
    TBarReadPositionData read;
    read.ReadIntProc = &TStore::Read;
    read.ExtraData = &store;
    panel->ReadPositionData(read);
    EXPECT_EQ(panel->GetDockedWidth(), 140);
    EXPECT_EQ(panel->GetSplitHeight(), 90);
}

TEST_F(XtDkPanels, PanelStreamsItsWideCaptionSizesAndOptions) {
    auto* dock = MakeMultiDock(dpxLeft);
    auto* panel = MakePanel(dock, L"\u03A9 Notes", 90);
    panel->SetDefaultDockedHeight(200);
    panel->SetFixedDockedSize(true);
    panel->SetShowCaptionWhenDocked(false);
    panel->GetOptions()->SetMinimize(true);
    panel->GetOptions()->SetMinimizeImageIndex(6);
    panel->GetOptions()->SetTitleBarSize(30);
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, panel);
    stream.SetPosition(0);
    auto* copy = MakePanel(dock, L"");
    gcl::ReadComponentFromStream(stream, copy);
    EXPECT_EQ(copy->GetCaption(), L"\u03A9 Notes");
    EXPECT_EQ(copy->GetDefaultDockedHeight(), 200);
    EXPECT_TRUE(copy->GetFixedDockedSize());
    EXPECT_FALSE(copy->GetShowCaptionWhenDocked());
    EXPECT_FALSE(copy->GetCaptionDock()->GetVisible());
    EXPECT_TRUE(copy->GetOptions()->GetMinimize());
    EXPECT_TRUE(copy->GetOptions()->GetMinimizeButton()->GetVisible());
    EXPECT_EQ(copy->GetOptions()->GetMinimizeImageIndex(), 6);
    EXPECT_EQ(copy->GetOptions()->GetTitleBarSize(), 30);
    EXPECT_EQ(copy->GetOptions()->GetCaptionText(), L"\u03A9 Notes");
    // The copy's caption bar still holds just its own four items.
    EXPECT_EQ(copy->GetItems()->GetCount(), 4);
}

TEST_F(XtDkPanels, ClientDockAcceptsOnlyInsideAndAsksItsOwner) {
    auto* client = MakeMultiDock(dpxClient);
    auto* left = MakeMultiDock(dpxLeft);
    auto* panel = MakePanel(left, L"Lists");
    Form->Show();
    PumpMessages(20);
    struct TAsk : gcl::TObject {
        int Calls = 0;
        bool Seen = false;
        void Request(gcl::TObject*, TBarCustomDockableWindow*, bool& accept) {
            ++Calls;
            Seen = accept;
        }
    } ask;
    client->OnRequestDock = TBarRequestDockEvent(&ask, &TAsk::Request);
    RECT r{};
    GetWindowRect(client->GetHandle(), &r);
    bool accept = true;
    SetCursorPos(r.left, (r.top + r.bottom) / 2);   // on the edge: outside the shrunk rectangle
    client->TBarDock::OnRequestDock(client, panel, accept);
    EXPECT_FALSE(accept);
    EXPECT_EQ(ask.Calls, 1);
    EXPECT_FALSE(ask.Seen);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    accept = true;
    client->TBarDock::OnRequestDock(client, panel, accept);
    EXPECT_TRUE(accept);
    EXPECT_TRUE(ask.Seen);

    // A panel docked by a drag next to others starts 10 pixels long; alone
    // across a left dock it takes DefaultDockedWidth.
    panel->SetDefaultDockedWidth(170);
    gcl::TPoint size;
    panel->GetBaseSize(size);
    EXPECT_EQ(size.X, panel->GetDockedWidth());   // not docking now: the docked width
}

// ---- The main window's panels ----------------------------------------------------------------

TEST_F(XtDkPanels, MainWindowLayoutShowsNoteAndSidePanels) {
    Form->SetBounds(30, 30, 640, 480);
    auto* bottom = MakeMultiDock(dpxBottom);
    auto* sideDock = Make<TXtDock>(Form, 0, 0, 0, 0);
    sideDock->SetPosition(dpLeft);

    // The note panel: only a minimise button, images 6 and 5 of its own list.
    auto* images = gcl::TImageList::Create(Form);
    images->SetWidth(16);
    images->SetHeight(16);
    {
        // Seven glyphs; 5 is a restore box, 6 a minimise bar.
        gcl::TBitmap glyphs;
        glyphs.SetSize(16 * 7, 16);
        TCanvas* c = glyphs.GetCanvas();
        c->GetBrush()->SetColor(0xFF00FF);
        c->FillRect(TRect{0, 0, 16 * 7, 16});
        c->GetBrush()->SetColor(0x000000);
        c->FrameRect(TRect{5 * 16 + 3, 3, 5 * 16 + 13, 13});
        c->FrameRect(TRect{5 * 16 + 4, 4, 5 * 16 + 12, 12});
        c->FillRect(TRect{6 * 16 + 3, 10, 6 * 16 + 13, 13});
        images->AddMasked(&glyphs, 0xFF00FF);
    }
    ASSERT_EQ(images->GetCount(), 7);
    auto* note = MakePanel(bottom, L"Note: buy milk");
    note->SetImages(images);
    note->GetOptions()->SetClose(false);
    note->GetOptions()->SetMinimize(true);
    note->GetOptions()->SetMinimizeImageIndex(6);
    note->GetOptions()->SetRestoreImageIndex(5);
    note->SetDockedHeight(110);

    // The side panel: two items in its caption toolbar, no caption text, a 30-pixel caption bar.
    auto* side = MakePanel(sideDock, L"");
    side->GetOptions()->SetClose(false);
    side->GetOptions()->SetCaption(false);
    side->GetOptions()->SetTitleBarSize(30);
    side->SetDockedWidth(180);
    for (const wchar_t* caption : {L"Lists", L"Tags"}) {
        TXtTabItem* tab = TXtTabItem::Create(Form);
        tab->SetCaption(caption);
        tab->GetFontSettings()->SetSize(130);
        side->GetItems()->Insert(side->GetItems()->GetCount() - 3, tab);
    }
    side->GetOptions()->ReorderButtons();
    Form->Show();
    PumpMessages(50);

    EXPECT_EQ(note->GetCaptionToolbar()->GetItems()->GetCount(), 4);
    EXPECT_EQ(side->GetItems()->GetCount(), 6);
    EXPECT_EQ(side->GetOptions()->GetCaptionText(), L"");
    const int height = note->GetHeight();
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_dock_panels_main.bmp"), 20);
    ASSERT_TRUE(note->Minimize(false));
    EXPECT_EQ(note->GetOptions()->GetMinimizeButton()->GetImageIndex(), 5);
    PumpMessages(30);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_dock_panels_main_minimized.bmp"), 20);
    ASSERT_TRUE(note->Restore(false));
    EXPECT_EQ(note->GetHeight(), height);
}

} // namespace
