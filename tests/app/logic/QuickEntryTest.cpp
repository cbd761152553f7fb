// Quick entry: modes, rewrites of the typed text, the double keys, the
// tag check list and where a panel opens.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/QuickEntry.h"

namespace qelvo {
using test::Today;
namespace {

const double Afternoon = Today + gcl::EncodeTime(16, 0, 0, 0);

TEST(QuickEntry, DateRewrites) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    struct Row {
        const char* Text;
        bool Checked;
        double Date;
        const char* Result;
    };
    const Row rows[] = {
        {"+Buy milk", true, Today + 0.2, "+;t;Buy milk"},
        {"Buy milk", true, Today + 1, ";t1;Buy milk"},
        {"-Buy", true, gcl::EncodeDate(2025, 4, 1), "-;01/04/2025;Buy"},
        {";t;Buy", true, Today + 1, ";t1;Buy"},
        {"+;t;Buy", false, Today, "+Buy"},
        // Only the first token goes: no title text between semicolons is lost.
        {"+;t;Call A;B", true, Today + 1, "+;t1;Call A;B"},
        // A later ";B;" is a due token to the task grammar too.
        {"Call A;B;C", false, Today, "Call AC"},
        {";02/03/2025;x;y;", true, Today, ";t;x;y;"},
        {";;Buy", true, Today, ";t;;;Buy"},
        {"", true, Today, ";t;"},
        {"+", false, Today, "+"},
    };
    for (const Row& r : rows) EXPECT_EQ(r.Result, QuickDateRewrite(r.Text, r.Checked, r.Date, Afternoon)) << r.Text;
}

TEST(QuickEntry, PlaceholderIsNoTaskText) {
    EXPECT_EQ("", QuickEntryText(NewTaskPlaceholder));
    EXPECT_EQ("Buy milk", QuickEntryText("Buy milk"));
    EXPECT_EQ(" < new task >", QuickEntryText(" < new task >"));
    // The date and tags commands start from an empty text.
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    EXPECT_EQ(";t;", QuickDateRewrite(QuickEntryText(NewTaskPlaceholder), true, Today, Afternoon));
    EXPECT_EQ("[home]", QuickTagsRewrite(QuickEntryText(NewTaskPlaceholder), "home"));
    EXPECT_EQ("+", QuickPriorityRewrite(QuickEntryText(NewTaskPlaceholder), 1));
}

// What the date, tags and priority commands write alone makes no task:
// the list shows tasks by their titles.
TEST(QuickEntry, TextWithoutATitleMakesNoTask) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    for (const char* none : {";t;", "+;t1;[home,work]", "-", "[ab]  ", " ;01/02/2030; ", ";xyz;"})
        EXPECT_FALSE(QuickEntryHasTitle(none)) << none;
    // Text the grammar leaves in the title is a title.
    for (const char* title : {"Buy", ";;", "[a]", "+ -", ";t;x", " +Buy"})
        EXPECT_TRUE(QuickEntryHasTitle(title)) << title;
}

TEST(QuickEntry, TextTheCodePageCannotHold) {
    EXPECT_TRUE(FitsCodePage(L""));
    EXPECT_TRUE(FitsCodePage(L"Caf\u00e9 \u20ac5 [home]"));
    EXPECT_FALSE(FitsCodePage(L"\u4f60\u597d"));         // Chinese
    EXPECT_FALSE(FitsCodePage(L"Buy \U0001F600 milk"));  // an emoji (a surrogate pair)
    EXPECT_FALSE(FitsCodePage(L"\u03b1\u03b2"));          // Greek, which Windows maps to look-alikes
}

TEST(QuickEntry, PickerFormatFollowsTheDateFormat) {
    EXPECT_EQ("dd/MM/yyyy", PickerDateFormat("dd/MM/yyyy", '/'));
    EXPECT_EQ("dd.MM.yyyy", PickerDateFormat("dd/mm/yyyy", '.'));
    EXPECT_EQ("M/d/yy", PickerDateFormat("M/d/yy", '/'));
    EXPECT_EQ("yyyy-MM-dd", PickerDateFormat("YYYY-MM-DD", '/'));
    EXPECT_EQ("dd 'de' MMMM", PickerDateFormat("dd \"de\" mmmm", '/'));
    EXPECT_EQ("d 'o''clock'", PickerDateFormat("d \"o'clock\"", '/'));
}

TEST(QuickEntry, TagAndPriorityRewrites) {
    struct Row {
        const char* Text;
        const char* Tags;
        const char* Result;
    };
    const Row rows[] = {
        {"Buy milk", "shop, food", "[shop,food]Buy milk"},
        {"+;t;Buy", "a , b", "+[a,b];t;Buy"},
        {"[old,tags]Buy", "new", "[new]Buy"},
        // Only the first tag token goes; bracketed title text stays.
        {"[ab]Call [boss] now", "x,y", "[x,y]Call [boss] now"},
        {"[a]Buy", "xy", "[xy][a]Buy"},  // "[a]" is title text, not a token
        {"Buy", "", "Buy"},
        {"Buy", "  ", "Buy"},
        {"[ab]Buy", ",x", "[ab]Buy"},
    };
    for (const Row& r : rows) EXPECT_EQ(r.Result, QuickTagsRewrite(r.Text, r.Tags)) << r.Text;

    EXPECT_EQ("+Buy", QuickPriorityRewrite("Buy", 1));
    EXPECT_EQ("-Buy", QuickPriorityRewrite("+Buy", 2));
    EXPECT_EQ("Buy", QuickPriorityRewrite("-Buy", 0));
    EXPECT_EQ("+", QuickPriorityRewrite("", 1));
    EXPECT_EQ("+-Buy", QuickPriorityRewrite("--Buy", 1));  // one mark only
}

TEST(QuickEntry, DoubleKeys) {
    std::string text = "Buy;";
    int caret = 4;
    EXPECT_EQ(TDoubleKey::OpenDatePanel, DoubleKeyRule(text, caret, ';', true));
    EXPECT_EQ("Buy", text);
    EXPECT_EQ(3, caret);
    text = "[Buy";
    caret = 1;
    EXPECT_EQ(TDoubleKey::OpenTagsPanel, DoubleKeyRule(text, caret, '[', true));
    EXPECT_EQ("Buy", text);
    EXPECT_EQ(0, caret);
    text = "Buy;";
    caret = 4;
    EXPECT_EQ(TDoubleKey::None, DoubleKeyRule(text, caret, ';', false));  // Find mode
    EXPECT_EQ(TDoubleKey::None, DoubleKeyRule(text, caret, '[', true));
    caret = 3;
    EXPECT_EQ(TDoubleKey::None, DoubleKeyRule(text, caret, ';', true));
    EXPECT_EQ("Buy;", text);
    text.clear();
    caret = 0;
    EXPECT_EQ(TDoubleKey::None, DoubleKeyRule(text, caret, ';', true));
}

TEST(QuickEntry, TagCheckList) {
    TCheckListModel list;
    list.SetItems({"work", "Home", "shop", "ab"});
    FilterQuickTagsList(" Work, home ", list);
    EXPECT_EQ((std::vector<bool>{true, true, false, false}), list.Checked);
    EXPECT_EQ("work,Home", CheckedTagsText(list));
    FilterQuickTagsList(",shop,,xx,a", list);
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), list.Checked);
    FilterQuickTagsList("", list);
    EXPECT_EQ((std::vector<bool>{false, false, false, false}), list.Checked);
    EXPECT_EQ("", CheckedTagsText(list));
    list.Checked = {false, true, false, true};
    EXPECT_EQ("Home,ab", CheckedTagsText(list));
    // Two lines of one name in other letters: the first is the tag's.
    list.SetItems({"Home", "home", "x"});
    FilterQuickTagsList("HOME,x,", list);
    EXPECT_EQ((std::vector<bool>{true, false, true}), list.Checked);
    EXPECT_TRUE(IsQuickTagsKeySwallowed('['));
    EXPECT_FALSE(IsQuickTagsKeySwallowed(','));
    // A pasted text loses the marks; the caret keeps its place among the
    // characters left, and a text without marks is left alone.
    std::wstring pasted = L"x]y;z[w, \u03b1]";
    int caret = 6;  // after "z["
    EXPECT_TRUE(DropSwallowedTagMarks(pasted, caret));
    EXPECT_EQ(pasted, L"xyzw, \u03b1");
    EXPECT_EQ(caret, 3);
    caret = 2;
    EXPECT_FALSE(DropSwallowedTagMarks(pasted, caret));
    EXPECT_EQ(pasted, L"xyzw, \u03b1");
    EXPECT_EQ(caret, 2);
}

TEST(QuickEntry, ModesAndPanels) {
    EXPECT_STREQ("Add:", QuickModeLook(TQuickMode::Add).ModeCaption);
    EXPECT_EQ(40, QuickModeLook(TQuickMode::Add).ModeImage);
    EXPECT_STREQ("Find", QuickModeLook(TQuickMode::Add).SwitchCaption);
    EXPECT_STREQ("Find:", QuickModeLook(TQuickMode::Find).ModeCaption);
    EXPECT_STREQ("Add ", QuickModeLook(TQuickMode::Find).SwitchCaption);
    EXPECT_EQ(TQuickMode::Find, QuickModeFromImage(47));
    EXPECT_EQ(TQuickMode::Add, QuickModeFromImage(40));
    EXPECT_EQ(TQuickMode::Find, SwitchTarget("Find"));
    EXPECT_EQ(TQuickMode::Add, SwitchTarget("Add "));
    EXPECT_TRUE(IsPlaceholderText("< new task >"));
    EXPECT_TRUE(IsPlaceholderText("search..."));
    EXPECT_FALSE(IsPlaceholderText("search"));

    EXPECT_EQ((TPoint32{10, 20}), ShowPanelPosition({10, 20}, 100, 50, 800, 600));
    EXPECT_EQ((TPoint32{690, 530}), ShowPanelPosition({790, 580}, 100, 50, 800, 600));  // flips
    EXPECT_EQ((TPoint32{10, 0}), ShowPanelPosition({10, 30}, 100, 50, 800, 60));          // never above the top
    EXPECT_EQ((TPoint32{50, 20}), ShowPanelPosition({160, 20}, 100, 50, 150, 600));  // flipped, still too wide
    // Points of a floating quick-entry bar outside the client area: below
    // it, left of it, above it.
    EXPECT_EQ((TPoint32{0, 550}), ShowPanelPosition({-120, 900}, 100, 50, 800, 600));
    EXPECT_EQ((TPoint32{0, 0}), ShowPanelPosition({-300, -200}, 100, 50, 800, 600));
    EXPECT_EQ((TPoint32{0, 0}), ShowPanelPosition({-10, 900}, 100, 50, 80, 40));  // larger than the client
}

} // namespace
} // namespace qelvo
