// The exports of the File menu over a database a user has worked in: a
// file name typed into the save dialog, the text export of the chosen
// tasks shown in Notepad, the HTML export of the whole list.
#include <gtest/gtest.h>

#include <string>

#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

constexpr int ExportToTextSteps = 9, ExportToHtmlSteps = 10;

// Waits for Notepad showing a file, checks its caption and closes it with
// Alt+F4; false when it did not come or did not end.
bool CloseNotepadShowing(TProgram& p, const std::string& fileName) {
    HWND notepad = nullptr;
    if (!WaitUntil([&] { return (notepad = FindWindowA("Notepad", nullptr)) != nullptr && IsWindowVisible(notepad); })) {
        ADD_FAILURE() << "Notepad did not show " << fileName;
        return false;
    }
    EXPECT_EQ(TextOf(notepad), fileName + " - Notepad");
    DWORD pid = 0;
    GetWindowThreadProcessId(notepad, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    EXPECT_TRUE(BecomesForeground(notepad));
    Key(p, VK_F4, Alt);
    const bool ended = process && WaitForSingleObject(process, WaitBound) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    EXPECT_TRUE(ended) << "Notepad is still running";
    return ended;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

} // namespace

TEST(ExportsScenario, TextOfTheChosenTasksAndHtmlOfTheWholeListThroughTheSaveDialog) {
    TProgram p("exports");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);

    // Two tasks chosen with Ctrl+click: the text export holds them alone,
    // under their lists' captions, and Notepad shows it.
    Click(p, PreparedTaskPoint(main, 0));
    ClickWith(p, PreparedTaskPoint(main, 4), VK_CONTROL);
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("chosen"), true));
    ASSERT_TRUE(CloseNotepadShowing(p, "chosen.txt"));
    EXPECT_EQ(ReadFile(p.PathOf("chosen.txt")),
              "Holidays\r\n"
              "     +1. Book the ferry        14/07/2031\r\n"
              "           Night crossing\r\n"
              "           Cabin for two\r\n"
              "Work\r\n"
              "       5. Write the quarterly report        28/11/2031\r\n"
              "           Figures from Ann\r\n");

    // One task chosen: the HTML export holds the whole list, in order,
    // each text made safe for HTML; the done task alone struck through.
    // (Notepad was another program: the user clicks back into ours.)
    Click(p, PreparedTaskPoint(main, 3));
    ASSERT_TRUE(BecomesForeground(main));
    ChooseFromMenu(p, main, FileMenuX, ExportToHtmlSteps);
    ASSERT_TRUE(TypeFileName(p, "week", true));
    const std::string html = ReadFile(p.PathOf("week.html"));
    EXPECT_NE(html.find("<title>To do list</title>"), std::string::npos);
    size_t last = 0;
    for (const std::string& part :
         {std::string(">Holidays<"), std::string(">1. Book the ferry<"), std::string(">14/07/2031<"),
          std::string(">Night crossing<br/>Cabin for two<br/><"), std::string(">Home<"),
          std::string(">2. Call the plumber<"), std::string(">phone<"), std::string(">3. Pay rent &amp; &lt;fees&gt;<"),
          std::string(">bills<"), std::string(">05/03/2030<"), std::string(">Standing order<br/><"),
          std::string(">4. Buy milk<"), std::string(">food, shop<"), std::string(">Work<"),
          std::string(">5. Write the quarterly report<"), std::string(">28/11/2031<"),
          std::string(">Figures from Ann<br/><"), std::string(">6. Renew the parking permit<"),
          std::string("</html>")}) {
        const size_t at = html.find(part, last);
        EXPECT_NE(at, std::string::npos) << part << " is missing or out of order";
        if (at != std::string::npos) last = at;
    }
    EXPECT_EQ(Count(html, "line-through"), 1u);
    EXPECT_EQ(Count(html, "phigh.gif"), 2u);
    EXPECT_EQ(Count(html, "plow.gif"), 2u);

    // Nothing chosen any more: the text export holds every task.
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(TypeFileName(p, "all", true));
    ASSERT_TRUE(CloseNotepadShowing(p, "all.txt"));
    EXPECT_EQ(ReadFile(p.PathOf("all.txt")),
              "Holidays\r\n"
              "     +1. Book the ferry        14/07/2031\r\n"
              "           Night crossing\r\n"
              "           Cabin for two\r\n"
              "Home\r\n"
              "       2. Call the plumber        \r\n"
              "                   [ phone ]\r\n"
              "   [X]+3. Pay rent & <fees>        05/03/2030\r\n"
              "                   [ bills ]\r\n"
              "           Standing order\r\n"
              "     -4. Buy milk        \r\n"
              "                   [ food, shop ]\r\n"
              "Work\r\n"
              "       5. Write the quarterly report        28/11/2031\r\n"
              "           Figures from Ann\r\n"
              "     -6. Renew the parking permit        \r\n");

    // Back in the main window, the keys reach it: Ctrl+Q ends the program
    // and the database keeps every task.
    Click(p, CaptionPointOf(main));
    ASSERT_TRUE(BecomesForeground(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()).size(), PreparedTasks().size());
}

} // namespace qelvo::e2e
