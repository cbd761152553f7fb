// The find box's search as a user types it: characters typed one by one
// (each tests only what the text before it showed), with a title edited and
// a task deleted between them, and texts pasted around the one typed, show
// the list that the same text pasted into an empty find box shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Two lists of tasks whose titles hold "c", "ca", "cal" and "call" in
// both cases, and some that hold none.
void WriteSearchDatabase(const std::string& path) {
    MakeFolderOf(path);
    TuData data;
    const char* titles[] = {"Call Tom",        "Recall the book", "Cab to the airport", "Local shop",
                            "CALENDAR for May", "Cancel the gym",  "Scale the wall",     "Tax return",
                            "call back Anna",  "Bob",             "Recall the car",     "Fix the tap"};
    for (const char* list : {"Work", "Home"}) {
        data.Folders->Add(std::string(list) + "\xF7" "0\xF7");
        for (const char* title : titles) {
            TuTask* task = new TuTask();
            task->Title = std::string(title) + (list[0] == 'W' ? "" : " at home");
            task->Folder = list;
            data.Tasks->AddObject(task->Title, task);
        }
    }
    data.SaveToFile(path);
}

} // namespace

TEST(FindSearchScenario, ASearchTypedOneCharacterAtATimeShowsWhatTheWholeTextShows) {
    TProgram p("find-search");
    WriteSearchDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    ASSERT_NE(parts.List, nullptr);
    // The list's rows below its header.
    RECT rows = RectOf(parts.List);
    rows.top += 24;
    rows.right -= 24;
    const POINT edit = CenterOf(parts.TopEdit);
    // The list for Text pasted into an emptied find box (a search over
    // every task), and the find box's text put back as it was.
    auto wholeSearch = [&](const std::wstring& text) {
        const std::wstring typed = WideTextOf(parts.TopEdit);
        Click(p, edit);
        Key(p, VK_END);
        for (size_t k = 0; k < typed.size(); ++k) Key(p, VK_BACK);
        EXPECT_EQ(WideTextOf(parts.TopEdit), L"");
        PutOnClipboard(text);
        Key(p, 'V', Ctrl);
        EXPECT_EQ(WideTextOf(parts.TopEdit), text);
        p.Settle();
        return PixelsOf(rows);
    };

    Key(p, 'F', Ctrl);
    ASSERT_EQ(p.Focus(), parts.TopEdit);
    p.Settle();
    const std::vector<COLORREF> everything = PixelsOf(rows);
    Type(p, std::string("ca"));
    p.Settle();
    EXPECT_NE(PixelsOf(rows), everything) << "the search filtered nothing";

    // The first task shown renamed so that it no longer holds the text,
    // then the next character typed.
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    ASSERT_NE(p.Focus(), parts.List) << "no title editor opened";
    Type(p, std::string("Zebra"));
    Key(p, VK_RETURN);
    EXPECT_EQ(parts.NoteCaption(), "No note - Zebra");
    Click(p, edit);
    Key(p, VK_END);
    Type(p, std::string("l"));
    p.Settle();
    const std::vector<COLORREF> typed = PixelsOf(rows);
    EXPECT_EQ(typed, wholeSearch(L"cal")) << "\"cal\" typed after a rename";

    // A task shown deleted, then the next character.
    Click(p, parts.ListItem(1));
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Click(p, edit);
    Key(p, VK_END);
    Type(p, std::string("l"));
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"call")) << "\"call\" typed after a delete";

    // Pasted in front of the text, and typed after it.
    Click(p, edit);
    Key(p, VK_HOME);
    PutOnClipboard(L"re");
    Key(p, 'V', Ctrl);
    Key(p, VK_END);
    Type(p, std::string(" t"));
    EXPECT_EQ(WideTextOf(parts.TopEdit), L"recall t");
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"recall t")) << "\"re\" pasted in front, \" t\" typed";

    // Backspace widens the search again.
    Key(p, VK_BACK);
    Key(p, VK_BACK);
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), wholeSearch(L"recall")) << "Backspace";

    Key(p, 'N', Ctrl);
    p.Settle();
    EXPECT_NE(PixelsOf(rows), everything) << "a title was renamed and a task deleted";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e
