// The task list's header under the mouse: sorting by clicks on the
// columns, resizing columns by their edges and moving them by dragging,
// checked in what the next start reads (settings.inicol) and on screen.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

namespace {

// The header of the task list: the list view's client origin on the
// screen and the middle height of its header bar.
struct THeader {
    HWND List = nullptr;
    POINT Origin{};
    int Y = 0;
    // The screen point on the header at client x.
    POINT At(int x) const { return {Origin.x + x, Y}; }
};

THeader HeaderOf(HWND main) {
    THeader h;
    const auto lists = ChildrenOfClass(main, "TGvListview");
    if (lists.empty()) return h;
    h.List = lists.front();
    ClientToScreen(h.List, &h.Origin);
    h.Y = h.Origin.y + 10;
    return h;
}

std::string Inicol(const TProgram& p, const char* key) {
    return IniValue(p.SettingsPath() + "col", "columns", key);
}

void WriteWidths(const TProgram& p, int title, int tags, int due) {
    WriteFile(p.SettingsPath() + "col", "[columns]\r\nC0p=0\r\nC0w=" + std::to_string(title) +
                                           "\r\nC0v=1\r\nC1p=1\r\nC1w=" + std::to_string(tags) +
                                           "\r\nC1v=1\r\nC2p=2\r\nC2w=" + std::to_string(due) + "\r\nC2v=1\r\n");
}

} // namespace

// Each column edge resizes its own column, whatever was dragged before:
// here the widths come from an earlier session, Title is narrowed by its
// own edge, then the pointer goes straight to Due's edge and drags it.
TEST(HeaderScenario, EachColumnEdgeResizesItsOwnColumn) {
    TProgram p("header-resize");
    WriteSampleDatabase(p);
    WriteWidths(p, 260, 150, 100);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    THeader h = HeaderOf(main);
    ASSERT_NE(h.List, nullptr);
    Drag(p, h.At(260), h.At(200));
    Drag(p, h.At(450), h.At(500));
    Shot(p, main, "header-resize");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Inicol(p, "C0w"), "200");
    EXPECT_EQ(Inicol(p, "C1w"), "150");
    EXPECT_EQ(Inicol(p, "C2w"), "150");
}

} // namespace qelvo::e2e
