#include "platform/core/SearchText.h"

#include <gtest/gtest.h>

using core::SearchText;
using core::TextRange;

namespace {

bool finds(const std::string& typed, const std::string& text)
{
    return SearchText(typed).matchesFolded(SearchText::folded(text));
}

TEST(SearchTextTest, EveryWordIsFoundWhateverItsCaseAndAccents)
{
    EXPECT_TRUE(finds("cafe", "Café in Paris"));
    EXPECT_TRUE(finds("CAFÉ", "un café"));
    EXPECT_TRUE(finds("  renee\tcafe ", "Call Renée about the CAFE"));
    EXPECT_TRUE(finds("ﬁle", "FILE"));
    EXPECT_FALSE(finds("cafe tea", "Café in Paris"));
    EXPECT_TRUE(SearchText("  ").empty());
}

// The marks fall on the text's own bytes, an accented letter whole, even
// where the text is no valid UTF-8 (another program may have written it).
TEST(SearchTextTest, MarksCoverTheWordsInTheTextsOwnBytes)
{
    EXPECT_EQ(SearchText("paris CAFE").rangesIn("Café in Paris"), (std::vector<TextRange>{{0, 5}, {9, 5}}));
    EXPECT_EQ(SearchText("e").rangesIn("été"), (std::vector<TextRange>{{0, 2}, {3, 2}}));
    EXPECT_EQ(SearchText("ab").rangesIn("x\xff"
                                        "ab\xc3"),
              (std::vector<TextRange>{{2, 2}}));
    EXPECT_TRUE(SearchText("zz").rangesIn("Café").empty());
}

} // namespace
