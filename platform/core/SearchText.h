#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// A stretch of a UTF-8 text, in bytes.
struct TextRange {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextRange&) const = default;
};

// What a person types to find something: words that must each appear,
// whatever their case and accents ("cafe" finds "Café", "CAFÉ" and "café").
class SearchText {
public:
    explicit SearchText(std::string_view typed = {});

    bool empty() const { return m_words.empty(); }
    // The text as it is searched: compatibility-decomposed, accents off,
    // case folded. Made once per text, so that a search stays quick.
    static std::string folded(std::string_view text);
    // Every word is somewhere in the folded text.
    bool matchesFolded(std::string_view foldedText) const;
    // Where the words are in the text itself: in order, none overlapping.
    std::vector<TextRange> rangesIn(std::string_view text) const;

private:
    std::vector<std::string> m_words;
};

} // namespace core
