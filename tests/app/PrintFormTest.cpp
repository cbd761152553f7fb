// The print window: the report it shows and regenerates, the bounded wait
// for the browser (Wine's prefix has no HTML engine), print and preview
// switched off without one, the HTML export, and closing.
#include <gtest/gtest.h>

#include "AppWindowTest.h"
#include "app/PrintForm.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Scopes.h"
#include "support/ApplicationTest.h"
#include "support/Screenshot.h"

namespace qelvo {
namespace {

using test::ReadFile;

class PrintWindow : public test::TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        test::InstallPrintTemplate();
        List = test::SampleReportList();
    }
    void TearDown() override {
        if (Window) Window->Free();
        test::PumpApplication(50);
        TAppWindowTest::TearDown();
    }
    TPrintF* Open(bool disablePrint = false, bool selectionOnly = false) {
        Window = TPrintF::Create(nullptr, List, test::SampleCols(), disablePrint, std::string("To Do List"),
                                 selectionOnly);
        return Window;
    }
    // The report the builder gives for these options, on a copy of the list.
    std::string Expected(std::int32_t width, bool notes, bool priorities, const std::string& heading,
                         bool selectionOnly = false) {
        THtmlReportOptions o;
        o.Width = width;
        o.Notes = notes;
        o.Priorities = priorities;
        o.SelectionOnly = selectionOnly;
        o.Heading = heading;
        o.Cols = test::SampleCols();
        o.AppDir = AppDir();
        TReportList copy = Sample;
        std::string html;
        BuildHtmlReport(html, o, PrintTemplateFileName(), copy);
        return html;
    }

    TReportList List;
    const TReportList Sample = test::SampleReportList();
    TPrintF* Window = nullptr;
    gcl::TRestore<unsigned> FastWait{PrintBrowserWaitMs, 1500u};
};

TEST_F(PrintWindow, ShowsTheReportAndSaysWhenNoEngineAnswers) {
    // The wait for the engine has a bound: with none answering, Open
    // returns and the window says so.
    TPrintF* w = Open();
    EXPECT_EQ("Print preview....", w->GetCaption());
    EXPECT_EQ(Expected(670, true, true, "To Do List"), w->GetReport());
    // No two tasks were selected: the report holds (and selects) them all.
    for (const TReportItem& item : List.Items) EXPECT_TRUE(item.Selected);
    EXPECT_EQ(L"To Do List", w->PrintHeadingE->GetText());
    EXPECT_EQ(670, w->PWidthE->GetIntValue());
    EXPECT_TRUE(w->UsePrImg->GetChecked());
    EXPECT_TRUE(w->UseNotes->GetChecked());
    EXPECT_EQ("Distinguish tasks priorities", w->UsePrImg->GetCaption());
    EXPECT_EQ("Print notes", w->UseNotes->GetCaption());
    EXPECT_EQ("Print Now", w->PrintA->GetCaption());
    EXPECT_EQ("Print Preview", w->PrintPrevA->GetCaption());
    EXPECT_EQ("Export As HTML", w->ExportAsHtml->GetCaption());
    EXPECT_TRUE(w->ExportAsHtml->GetEnabled());
    if (w->GetBrowserReady()) {
        EXPECT_TRUE(w->PrintA->GetEnabled());
        EXPECT_TRUE(w->PrintPrevA->GetEnabled());
        EXPECT_EQ("", w->StatusBar->GetSimpleText());
    } else {
        // Wine's test prefix: the window says why and offers no printing.
        EXPECT_EQ(msg::PrintEngineMissing, w->StatusBar->GetSimpleText());
        ASSERT_NE(nullptr, w->NoEngineP);
        EXPECT_EQ(msg::PrintEngineMissing, w->NoEngineP->GetCaption());
        EXPECT_FALSE(w->wb->GetVisible());
        EXPECT_FALSE(w->PrintA->GetEnabled());
        EXPECT_FALSE(w->PrintPrevA->GetEnabled());
        w->PrintA->Execute();  // does nothing, raises nothing
        w->PrintPrevA->Execute();
    }
    w->Show();
    test::PumpApplication(300);
    EXPECT_GT(test::SaveWindowScreenshot(w->GetHandle(), "PrintWindow.bmp"), 20);
}

// What a thread timer saw while the print window waited for its browser.
struct TWaitSeen {
    HWND Window = nullptr;
    TPrintF* Form = nullptr;
    bool Visible = false;
    gcl::TCursor Cursor = gcl::crDefault;
    std::string Status;
};
TWaitSeen WaitSeen;

void CALLBACK LookAtTheWait(HWND, UINT, UINT_PTR, DWORD) {
    if (!WaitSeen.Form || !WaitSeen.Form->GetBrowserPending()) return;
    WaitSeen.Visible = IsWindowVisible(WaitSeen.Window) != FALSE;
    WaitSeen.Cursor = gcl::Screen->GetCursor();
    WaitSeen.Status = WaitSeen.Form->StatusBar->GetSimpleText();
}

TEST_F(PrintWindow, WithoutAnyEngineItAnswersAtOnceAndWaitsForOneOnlyOnScreenUnderTheBusyCursor) {
    {
        gcl::TRestore<bool (*)()> none{PrintEngineProbe, [] { return false; }};
        TPrintF* w = Open();
        // Nothing was asked of a browser: no browser window, no wait.
        EXPECT_FALSE(w->wb->HandleAllocated());
        EXPECT_FALSE(w->GetBrowserPending());
        EXPECT_FALSE(w->GetBrowserReady());
        EXPECT_EQ(msg::PrintEngineMissing, w->StatusBar->GetSimpleText());
        ASSERT_NE(nullptr, w->NoEngineP);
        EXPECT_FALSE(w->PrintA->GetEnabled());
        w->UseNotes->Click();  // regenerating asks no browser either
        EXPECT_FALSE(w->wb->HandleAllocated());
        EXPECT_EQ(Expected(670, false, true, "To Do List"), w->GetReport());
        w->Free();
        Window = nullptr;
    }
    // An engine that is there: the wait comes once the window shows, and
    // the window says what it waits for meanwhile.
    gcl::TRestore<bool (*)()> present{PrintEngineProbe, [] { return true; }};
    TPrintF* w = Open();
    EXPECT_TRUE(w->GetBrowserPending());
    EXPECT_EQ(msg::PrintEngineWaiting, w->StatusBar->GetSimpleText());
    EXPECT_FALSE(w->PrintA->GetEnabled());
    EXPECT_FALSE(w->PrintPrevA->GetEnabled());
    w->UseNotes->Click();  // the load to come takes the latest report
    EXPECT_TRUE(w->GetBrowserPending());
    WaitSeen = TWaitSeen{};
    WaitSeen.Window = w->GetHandle();
    WaitSeen.Form = w;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &LookAtTheWait);
    w->Show();
    EXPECT_TRUE(test::PumpApplication(PrintBrowserWaitMs + 8000, [&] { return !w->GetBrowserPending(); }));
    KillTimer(nullptr, timer);
    WaitSeen.Form = nullptr;
    EXPECT_TRUE(WaitSeen.Visible);
    EXPECT_EQ(gcl::crHourGlass, WaitSeen.Cursor);
    EXPECT_EQ(msg::PrintEngineWaiting, WaitSeen.Status);
    EXPECT_EQ(gcl::crDefault, gcl::Screen->GetCursor());
    EXPECT_EQ(Expected(670, false, true, "To Do List"), w->GetReport());
    if (w->GetBrowserReady()) {
        EXPECT_EQ("", w->StatusBar->GetSimpleText());
        EXPECT_TRUE(w->PrintA->GetEnabled());
    } else {
        // Wine's prefix: the engine did not answer within the bound.
        EXPECT_EQ(msg::PrintEngineMissing, w->StatusBar->GetSimpleText());
        EXPECT_NE(nullptr, w->NoEngineP);
        EXPECT_FALSE(w->PrintA->GetEnabled());
    }
}

TEST_F(PrintWindow, EveryOptionRegeneratesTheReport) {
    TPrintF* w = Open();
    const std::string heading = "To Do List";
    // A click on a check item toggles it and regenerates.
    w->UseNotes->Click();
    EXPECT_FALSE(w->UseNotes->GetChecked());
    EXPECT_EQ(Expected(670, false, true, heading), w->GetReport());
    EXPECT_EQ(std::string::npos, w->GetReport().find("the ferns"));
    w->UsePrImg->Click();
    EXPECT_EQ(Expected(670, false, false, heading), w->GetReport());
    EXPECT_EQ(std::string::npos, w->GetReport().find("phigh.gif"));
    w->UseNotes->Click();
    EXPECT_NE(std::string::npos, w->GetReport().find("the ferns&nbsp;&nbsp;first"));
    // The width box: a table of 100 pixels with its columns in proportion.
    w->PWidthE->SetValue(100);
    EXPECT_EQ(Expected(100, true, false, heading), w->GetReport());
    EXPECT_NE(std::string::npos, w->GetReport().find("width=\"100\""));
    w->PWidthE->SetValue(5000);  // held to 2000
    EXPECT_EQ(2000, w->PWidthE->GetIntValue());
    EXPECT_EQ(Expected(2000, true, false, heading), w->GetReport());
    // Accepting the heading box.
    std::wstring text = L"Errands <today>";
    bool accept = true;
    w->PrintHeadingEAcceptText(w->PrintHeadingE, text, accept);
    EXPECT_EQ(Expected(2000, true, false, "Errands <today>"), w->GetReport());
    EXPECT_NE(std::string::npos, w->GetReport().find("<title>Errands &lt;today&gt;</title>"));
}

TEST_F(PrintWindow, PrintCanBeSwitchedOffAndSelectionKept) {
    List.Items[0].Selected = true;
    List.Items[2].Selected = true;
    TPrintF* w = Open(true, false);
    EXPECT_FALSE(w->PrintA->GetEnabled());
    EXPECT_FALSE(w->PrintPrevA->GetEnabled());
    EXPECT_FALSE(List.Items[1].Selected);  // two selected: only they are printed
    EXPECT_EQ(std::string::npos, w->GetReport().find("Pay "));
    EXPECT_NE(std::string::npos, w->GetReport().find("Send the report"));
}

TEST_F(PrintWindow, ExportWritesTheShownReport) {
    TPrintF* w = Open();
    w->UseNotes->Click();
    Dialogs.ExpectSave(App.File("report")).ExpectSave(App.File("Week.HTML")).ExpectCancel(gcl::dkSave);
    w->ExportAsHtml->Execute();
    EXPECT_EQ(w->GetReport(), ReadFile(App.File("report.html")));
    w->ExportAsHtml->Execute();
    EXPECT_EQ(w->GetReport(), ReadFile(App.File("Week.HTML")));  // no second extension
    EXPECT_FALSE(gcl::FileExists(App.File("Week.HTML.html")));
    w->ExportAsHtml->Execute();  // cancelled: nothing written
    ASSERT_EQ(3u, Dialogs.Shown().size());
    EXPECT_EQ("Webpage (*.html)|*.html", Dialogs.Shown()[0].Filter);
    // A file that cannot be written is reported, not passed over.
    Dialogs.ExpectSave(App.File("missing\\folder\\x.html")).ExpectMessage(msg::ExportWriteFailedHead, IDOK);
    w->ExportAsHtml->Execute();
    EXPECT_FALSE(gcl::FileExists(App.File("missing\\folder\\x.html")));
    EXPECT_TRUE(Shell.Requests.empty());  // the window opens nothing
}

TEST_F(PrintWindow, AMissingTemplateLeavesAnEmptyReportAndSaysSo) {
    gcl::DeleteFile(PrintTemplateFileName());
    TPrintF* w = Open();
    EXPECT_EQ("", w->GetReport());
    EXPECT_EQ(msg::TemplateMissingHead + PrintTemplateFileName(), w->StatusBar->GetSimpleText());
    EXPECT_FALSE(w->PrintA->GetEnabled());
    w->UseNotes->Click();  // regenerating says the same, raises nothing
    EXPECT_EQ(msg::TemplateMissingHead + PrintTemplateFileName(), w->StatusBar->GetSimpleText());
}

TEST_F(PrintWindow, ModalWindowClosesCleanly) {
    TPrintF* w = Open();
    PostMessageA(w->GetHandle(), WM_CLOSE, 0, 0);
    {
        test::TModalWatchdog watchdog(w);
        EXPECT_EQ(gcl::mrCancel, w->ShowModal());
    }
    EXPECT_FALSE(w->GetVisible());
}

} // namespace
} // namespace qelvo
