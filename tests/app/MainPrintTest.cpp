// The print and export commands over a task list shaped like the main
// window's: what they read from the list, the files they write, what the
// shell is asked to open, and the selection they leave.
#include <gtest/gtest.h>

#include "AppWindowTest.h"
#include "app/MainPrint.h"
#include "app/PrintForm.h"
#include "app/logic/AppMessages.h"
#include "app/logic/LayoutSettings.h"
#include "app/logic/TextExport.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Scopes.h"
#include "support/ApplicationTest.h"

namespace qelvo {
namespace {

using test::AddTask;
using test::ReadFile;

class PrintCommands : public test::TAppWindowTest {
protected:
    void SetUp() override {
        TAppWindowTest::SetUp();
        test::InstallPrintTemplate();
        Form = gcl::TForm::Create(nullptr, 0);
        Form->SetBounds(20, 20, 640, 400);
        List = TGvListview::Create(Form);
        List->SetParent(Form);
        List->SetAlign(gcl::alClient);
        List->SetView(elsReport);
        List->GetSelection()->SetMultiSelect(true);
        List->GetSelection()->SetFullRowSelect(true);
        List->GetHeader()->SetVisible(true);
        const wchar_t* captions[] = {L"Title", L"Tags", L"Due"};
        const int widths[] = {320, 150, 100};
        for (int i = 0; i < 3; ++i) {
            TGvColumn* column = List->GetHeader()->GetColumns()->Add(nullptr);
            column->SetCaption(captions[i]);
            column->SetWidth(widths[i]);
        }
        TGvGroup* home = AddGroup(L"Home");
        AddItem(home, AddTask(Data, "Water the plants", "Home", "", 0, 0, false), L"1. Water the plants", L"", L"");
        Pay = AddItem(home, AddTask(Data, "Pay", "Home", "bills", 0, 2, true), L"2. Pay", L"bills", L"Today");
        TGvGroup* work = AddGroup(L"Work");
        TuTask* report = AddTask(Data, "Send the report", "Work", "work,mail", 0, 1, false);
        report->Notes = "Figures first\r\nthen the text";
        AddItem(work, report, L"3. Send the report", L"work, mail", L"Tomorrow");
        Data.Modified = false;
        Form->Show();  // the header's width is the shown list's
        ASSERT_GT(List->GetClientWidth(), 500);
    }
    void TearDown() override {
        Form->Free();
        TAppWindowTest::TearDown();
    }
    TGvGroup* AddGroup(const std::wstring& caption) {
        TGvGroup* group = List->GetGroups()->Add(nullptr);
        group->SetCaption(caption);
        return group;
    }
    TGvItem* AddItem(TGvGroup* group, TuTask* task, const std::wstring& title, const std::wstring& tags,
                     const std::wstring& due) {
        TGvItem* item = group->GetItems()->Add(task);
        item->SetCaptions(0, title);
        item->SetCaptions(1, tags);
        item->SetCaptions(2, due);
        item->SetChecked(task->Done);
        return item;
    }
    int SelectedCount() { return List->GetSelection()->GetCount(); }

    TuData Data;
    gcl::TForm* Form = nullptr;
    TGvListview* List = nullptr;
    TGvItem* Pay = nullptr;
};

TEST_F(PrintCommands, ReadTheListAsItShowsIt) {
    Pay->SetSelected(true);
    const TReportList report = TaskListReport(List, true);
    EXPECT_TRUE(report.Grouped);
    ASSERT_EQ(3u, report.Items.size());
    const TReportItem& pay = report.Items[1];
    // The exports read the column texts, the numbering included.
    EXPECT_EQ((std::array<std::string, 4>{"2. Pay", "bills", "Today", ""}), pay.Captions);
    EXPECT_TRUE(pay.Checked);
    EXPECT_TRUE(pay.Selected);
    EXPECT_EQ(2, pay.Priority);
    EXPECT_EQ("Home", pay.GroupCaption);
    EXPECT_EQ("Work", report.Items[2].GroupCaption);
    EXPECT_NE(pay.GroupIndex, report.Items[2].GroupIndex);
    EXPECT_EQ("Figures first\r\nthen the text", report.Items[2].Notes);
    EXPECT_FALSE(report.Items[0].Selected);

    const TCols cols = TaskListColumns(List);
    EXPECT_EQ(BuildColumnRecord({{320, true, "Title"}, {150, true, "Tags"}, {100, true, "Due"}}, List->GetClientWidth())
                  .Widths,
              cols.Widths);
    EXPECT_EQ((std::array<std::string, 4>{"Title", "Tags", "Due", ""}), cols.Names);
    List->GetHeader()->GetColumns()->GetColumns(1)->SetVisible(false);
    EXPECT_EQ(0, TaskListColumns(List).Widths[1]);
}

TEST_F(PrintCommands, TextExportWritesEveryTaskAndOpensNotepad) {
    Pay->SetSelected(true);  // one selected: all are exported
    Dialogs.ExpectSave(App.File("tasks.txt"));
    ExportTaskListToText(List, true);
    EXPECT_EQ("Home\r\n"
              "     -1. Water the plants        \r\n"
              "   [X]+2. Pay        Today\r\n"
              "                   [ bills ]\r\n"
              "Work\r\n"
              "       3. Send the report        Tomorrow\r\n"
              "                   [ work, mail ]\r\n"
              "           Figures first\r\n"
              "           then the text\r\n",
              ReadFile(App.File("tasks.txt")));
    EXPECT_EQ(0, SelectedCount());
    ASSERT_EQ(1u, Dialogs.Shown().size());
    EXPECT_EQ("Text Files (*.txt)|*.txt", Dialogs.Shown()[0].Filter);
    EXPECT_EQ("txt", Dialogs.Shown()[0].DefaultExt);
    ASSERT_EQ(1u, Shell.Requests.size());
    EXPECT_EQ("notepad", Shell.Requests[0].Target);
    EXPECT_EQ("\"" + App.File("tasks.txt") + "\"", Shell.Requests[0].Params);
}

TEST_F(PrintCommands, TextExportOfTheSelectionWithoutGroups) {
    List->GetItems()->GetItems(0)->SetSelected(true);
    List->GetItems()->GetItems(2)->SetSelected(true);
    Dialogs.ExpectSave(App.File("two.txt"));
    ExportTaskListToText(List, false);
    EXPECT_EQ("     -1. Water the plants        \r\n"
              "       3. Send the report        Tomorrow\r\n"
              "                   [ work, mail ]\r\n"
              "           Figures first\r\n"
              "           then the text\r\n",
              ReadFile(App.File("two.txt")));
    EXPECT_EQ(0, SelectedCount());
}

TEST_F(PrintCommands, HtmlExportWritesTheReportAndOpensExactlyThatFile) {
    Dialogs.ExpectSave(App.File("list")).ExpectSave(App.File("Week.HTML"));
    ExportTaskListToHtml(List, true);
    THtmlReportOptions o;
    o.Width = 800;
    o.Heading = "To do list";
    o.Cols = TaskListColumns(List);
    o.AppDir = AppDir();
    TReportList all = TaskListReport(List, true);
    std::string expected;
    BuildHtmlReport(expected, o, PrintTemplateFileName(), all);
    EXPECT_EQ(expected, ReadFile(App.File("list.html")));
    EXPECT_NE(std::string::npos, expected.find("2. Pay"));
    EXPECT_NE(std::string::npos, expected.find("Figures first<br/>then the text<br/>"));
    EXPECT_EQ(0, SelectedCount());
    ExportTaskListToHtml(List, true);
    EXPECT_EQ(expected, ReadFile(App.File("Week.HTML")));
    EXPECT_FALSE(gcl::FileExists(App.File("Week.HTML.html")));
    ASSERT_EQ(2u, Shell.Requests.size());
    EXPECT_EQ(App.File("list.html"), Shell.Requests[0].Target);
    EXPECT_EQ("", Shell.Requests[0].Params);
    EXPECT_EQ(App.File("Week.HTML"), Shell.Requests[1].Target);
    EXPECT_EQ("HTML files (*.html)|*.html", Dialogs.Shown()[0].Filter);
    EXPECT_EQ("html", Dialogs.Shown()[0].DefaultExt);
}

TEST_F(PrintCommands, FailedWritesAreReportedAndNothingIsOpened) {
    const std::string bad = App.File("no\\such\\folder\\x");
    Dialogs.ExpectSave(bad).ExpectMessage(msg::ExportWriteFailedHead, IDOK);
    ExportTaskListToHtml(List, true);
    Dialogs.ExpectSave(bad).ExpectMessage(msg::ExportWriteFailedHead, IDOK);
    ExportTaskListToText(List, true);
    EXPECT_TRUE(Shell.Requests.empty());
    // Cancelled dialogs write and open nothing; an empty list asks nothing.
    Dialogs.ExpectCancel(gcl::dkSave).ExpectCancel(gcl::dkSave);
    ExportTaskListToHtml(List, true);
    ExportTaskListToText(List, true);
    List->GetGroups()->Clear();
    ExportTaskListToHtml(List, true);
    ExportTaskListToText(List, true);
    PrintTaskList(List, true);
    EXPECT_TRUE(Shell.Requests.empty());
}

// The open database's own file, under any name that reaches it, is no
// place for an export: each export says so and leaves the file alone.
TEST_F(PrintCommands, NoExportReplacesTheOpenDatabase) {
    for (const char* name : {"todo.txt", "todo.html", "tasks.kpx"})
        ASSERT_TRUE(gcl::WriteFileAtomic(App.File(name), "database", 8));
    Data.FileName = App.File("tasks.kpx");
    Dialogs.ExpectSave(App.File("TODO")).ExpectMessage(msg::ExportOverDatabaseHead, IDOK);
    ExportTaskListToText(List, true, App.File("todo.txt"));
    Dialogs.ExpectSave(App.File("sub\\..\\todo")).ExpectMessage(msg::ExportOverDatabaseHead, IDOK);
    ExportTaskListToHtml(List, true, App.File("todo.html"));
    Dialogs.ExpectSave(App.File("TASKS.kpx")).ExpectMessage(msg::ExportOverDatabaseHead, IDOK);
    ExportDatabaseToPendrillax(Data);
    for (const char* name : {"todo.txt", "todo.html", "tasks.kpx"}) EXPECT_EQ("database", ReadFile(App.File(name)));
    EXPECT_TRUE(Shell.Requests.empty());
    EXPECT_EQ(0, SelectedCount());
    // Another name beside it is written as always.
    Dialogs.ExpectSave(App.File("todo2"));
    ExportTaskListToText(List, true, App.File("todo.txt"));
    EXPECT_NE("", ReadFile(App.File("todo2.txt")));
}

TEST_F(PrintCommands, MissingTemplateIsReported) {
    gcl::DeleteFile(PrintTemplateFileName());
    Dialogs.ExpectSave(App.File("list")).ExpectMessage(msg::TemplateMissingHead, IDOK);
    ExportTaskListToHtml(List, true);
    Dialogs.ExpectMessage(msg::TemplateMissingHead, IDOK);
    PrintTaskList(List, true);
    EXPECT_FALSE(gcl::FileExists(App.File("list.html")));
    EXPECT_TRUE(Shell.Requests.empty());
}

TEST_F(PrintCommands, PrintOpensTheWindowAndUnselectsAfterwards) {
    gcl::TRestore<unsigned> fastWait(PrintBrowserWaitMs, 1500u);
    Pay->SetSelected(true);
    test::TPrintWindowCloser closer(List);
    PrintTaskList(List, true);
    EXPECT_EQ(3, closer.SelectedWhileOpen());  // the report holds every task
    EXPECT_EQ(0, SelectedCount());             // and closing unselects them
    EXPECT_EQ(nullptr, FindWindowA(nullptr, msg::PrintWindowCaption));
}

TEST_F(PrintCommands, PendrillaxExportWritesTheDatabaseAndLeavesItUnsaved) {
    Data.Modified = true;
    Dialogs.ExpectSave(App.File("tasks.jmw")).ExpectCancel(gcl::dkSave);
    ExportDatabaseToPendrillax(Data);
    EXPECT_TRUE(gcl::FileExists(App.File("tasks.jmw")));
    EXPECT_TRUE(Data.Modified);
    ExportDatabaseToPendrillax(Data);
    EXPECT_EQ("Pendrillax tasks database (*.jmw)|*.jmw", Dialogs.Shown()[0].Filter);
    EXPECT_EQ("jmw", Dialogs.Shown()[0].DefaultExt);
}

// Every export dialog asks before it replaces the file chosen; a name the
// export adds its extension to names another file, asked about too, and
// left as it was on No.
TEST_F(PrintCommands, AnExportReplacesAFileThatIsThereOnlyWhenAsked) {
    const std::string log = App.File("log.md.txt");
    ASSERT_TRUE(gcl::WriteFileAtomic(log, "mine", 4));
    Dialogs.ExpectSave(App.File("log.md")).ExpectMessage("log.md.txt already exists", IDNO);
    ExportTaskListToText(List, true);
    EXPECT_EQ("mine", ReadFile(log));
    EXPECT_TRUE(Shell.Requests.empty());
    Dialogs.ExpectSave(App.File("log.md")).ExpectMessage("log.md.txt already exists", IDYES);
    ExportTaskListToText(List, true);
    EXPECT_NE(std::string::npos, ReadFile(log).find("Water the plants"));
    EXPECT_EQ(1u, Shell.Requests.size());
    // A name the export keeps as it is was asked about by the dialog alone.
    Dialogs.ExpectSave(log).ExpectSave(App.File("page.html")).ExpectCancel(gcl::dkSave);
    ExportTaskListToText(List, true);
    ExportTaskListToHtml(List, true);
    ExportDatabaseToPendrillax(Data);
    for (const gcl::TDialogRequest& shown : Dialogs.Shown()) {
        if (shown.Kind == gcl::dkSave) {
            EXPECT_TRUE(shown.Options.Contains(gcl::ofOverwritePrompt)) << shown.Filter;
        }
    }
}

} // namespace
} // namespace qelvo
