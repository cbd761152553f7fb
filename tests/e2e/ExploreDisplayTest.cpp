// The program on the display a user has: more dots per inch (the "Larger"
// text settings give 120 and 144), larger system fonts, and a layout
// stored for another screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The pitch of the task list's first group (Holidays, one task): from the
// band under its caption to the band closing it, which is its one row and
// a band. 0 when the bands are not there.
int FirstGroupPitch(TProgram& p, int dpi) {
    TRegistryValues values;
    if (dpi != 96) SetScreenDpi(values, dpi);
    HWND main = StartOnPrepared(p);
    if (!main) return 0;
    std::vector<int> bands;
    WaitUntil([&] {
        bands = GroupBandRows(main);
        return bands.size() >= 2;
    });
    Shot(p, main, "explore-display-rows-" + std::to_string(dpi));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    return bands.size() >= 2 ? bands[1] - bands[0] : 0;
}

// The height of a line of the list's text (Arial, 11 points, the size the
// options start with) on a screen of Dpi dots per inch.
int ListTextHeight(int dpi) {
    HFONT font = CreateFontW(-MulDiv(11, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return tm.tmHeight;
}

} // namespace

// At 144 dots per inch the list's text, sized in points, came out half
// as tall again, but the rows kept their height in pixels: every task's
// text was cut at the bottom, descenders gone and the line under a done
// task's title hidden. The rows grow with the text.
TEST(ExploreDisplayScenario, TheTaskListsRowsGrowWithTheTextAtMoreDotsPerInch) {
    TProgram p("explore-display-rows");
    const int normal = FirstGroupPitch(p, 96);
    ASSERT_GT(normal, 0);
    for (const int dpi : {120, 144}) {
        const int larger = FirstGroupPitch(p, dpi);
        const int textGrowth = ListTextHeight(dpi) - ListTextHeight(96);
        ASSERT_GT(textGrowth, 0);
        EXPECT_GE(larger - normal, textGrowth) << dpi << " dots per inch: a group " << larger << " pixels high where 96 have "
                                               << normal << ", and the text grew by " << textGrowth;
    }
}

} // namespace qelvo::e2e
