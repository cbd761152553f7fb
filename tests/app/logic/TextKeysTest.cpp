// The open table of texts behind the tag and list group keys: every text
// keeps its own key however close another text is (one byte apart at any
// place, a prefix, the same bytes in another order), through the table's
// growth, and a text never added is not found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/logic/TaskPresentation.h"

namespace qelvo {
namespace {

TEST(TextKeys, EachTextKeepsItsKeyAndNoOtherTextIsFound) {
    TTextKeys keys;
    EXPECT_EQ(-1, keys.Find("home"));
    std::vector<std::string> texts{"", "a", "ab", "abc", "abcd", "abcde", "abcdefgh", "abcdefgi", "bacdefgh",
                                   "home,work", "work,home", "home,wark"};
    // Texts one byte apart at each place, of lengths around the four-byte
    // steps, and enough of them for the table to grow several times.
    for (int n = 0; n < 2000; ++n) {
        std::string t = "tag" + std::to_string(n % 97) + ",x" + std::to_string(n);
        texts.push_back(t);
        t[static_cast<size_t>(n) % t.size()] ^= 0x20;
        texts.push_back(t);
    }
    std::vector<int> added(texts.size(), -1);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (keys.Find(texts[i]) >= 0) continue;  // a text met twice keeps its first key
        keys.Add(texts[i], static_cast<int>(i));
        added[i] = static_cast<int>(i);
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        const int key = keys.Find(texts[i]);
        ASSERT_GE(key, 0) << texts[i];
        EXPECT_EQ(texts[static_cast<size_t>(key)], texts[i]);
        if (added[i] >= 0) {
            EXPECT_EQ(added[i], key) << texts[i];
        }
    }
    for (const char* absent : {"abcdefg", "abcdefghi", "home,work,", "Home,work", "tag1,x99999", "x"})
        EXPECT_EQ(-1, keys.Find(absent)) << absent;
    // The same bytes read through another view (a text inside a longer one).
    const std::string longer = "[home,work]";
    EXPECT_EQ(keys.Find("home,work"), keys.Find(std::string_view(longer).substr(1, 9)));
}

} // namespace
} // namespace qelvo
