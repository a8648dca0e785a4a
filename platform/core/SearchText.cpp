#include "platform/core/SearchText.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace core {

namespace {

QString foldedString(const QString& text)
{
    QString decomposed = text.normalized(QString::NormalizationForm_KD);
    decomposed.removeIf([](QChar c) { return c.isMark(); });
    return decomposed.toCaseFolded();
}

// The bytes of the UTF-8 sequence that starts there; 1 for a byte that
// starts none, which then reads as one replacement character.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1
        : (lead >> 5) == 0x6         ? 2
        : (lead >> 4) == 0xe         ? 3
        : (lead >> 3) == 0x1e        ? 4
                                     : 0;
    if (length == 0 || at + length > text.size())
        return 1;
    for (std::size_t next = at + 1; next < at + length; ++next) {
        if ((static_cast<unsigned char>(text[next]) >> 6) != 0x2)
            return 1;
    }
    return length;
}

// The folded text, with the byte range of the original that each of its
// UTF-16 units came from.
struct FoldedWithOrigins {
    QString text;
    std::vector<TextRange> origins;
};

FoldedWithOrigins foldedWithOrigins(std::string_view text)
{
    FoldedWithOrigins result;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t bytes = sequenceLength(text, at);
        QString folded = foldedString(QString::fromUtf8(text.data() + at, qsizetype(bytes)));
        result.text += folded;
        result.origins.insert(result.origins.end(), std::size_t(folded.size()), TextRange{at, bytes});
        at += bytes;
    }
    return result;
}

} // namespace

SearchText::SearchText(std::string_view typed)
{
    QString words = foldedString(QString::fromUtf8(typed.data(), qsizetype(typed.size()))).simplified();
    for (const QString& word : words.split(QChar(' '), Qt::SkipEmptyParts))
        m_words.push_back(word.toStdString());
}

std::string SearchText::folded(std::string_view text)
{
    return foldedString(QString::fromUtf8(text.data(), qsizetype(text.size()))).toStdString();
}

bool SearchText::matchesFolded(std::string_view foldedText) const
{
    return std::ranges::all_of(m_words,
                               [&](const std::string& word) { return foldedText.find(word) != std::string::npos; });
}

std::vector<TextRange> SearchText::rangesIn(std::string_view text) const
{
    FoldedWithOrigins folded = foldedWithOrigins(text);
    std::vector<bool> hit(text.size(), false);
    for (const auto& word : m_words) {
        QString needle = QString::fromStdString(word);
        for (qsizetype at = folded.text.indexOf(needle); at >= 0; at = folded.text.indexOf(needle, at + 1)) {
            TextRange first = folded.origins[std::size_t(at)];
            TextRange last = folded.origins[std::size_t(at + needle.size() - 1)];
            std::fill(hit.begin() + long(first.start), hit.begin() + long(last.start + last.length), true);
        }
    }
    std::vector<TextRange> ranges;
    for (std::size_t at = 0; at < hit.size(); ++at) {
        if (!hit[at])
            continue;
        if (!ranges.empty() && ranges.back().start + ranges.back().length == at)
            ++ranges.back().length;
        else
            ranges.push_back({at, 1});
    }
    return ranges;
}

} // namespace core
