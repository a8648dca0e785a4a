#include "platform/core/StringTable.h"

#include <cctype>

namespace core {

namespace {

class Scanner {
public:
    explicit Scanner(const std::string& text)
        : m_text(text)
    {
    }

    // Skips blanks and comments; false on an unterminated comment.
    bool skipSpace()
    {
        while (m_at < m_text.size()) {
            if (std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
                ++m_at;
            } else if (m_text.compare(m_at, 2, "//") == 0) {
                m_at = m_text.find('\n', m_at);
                if (m_at == std::string::npos)
                    m_at = m_text.size();
            } else if (m_text.compare(m_at, 2, "/*") == 0) {
                std::size_t end = m_text.find("*/", m_at + 2);
                if (end == std::string::npos)
                    return false;
                m_at = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool atEnd() const { return m_at >= m_text.size(); }

    bool expect(char c)
    {
        if (!skipSpace() || atEnd() || m_text[m_at] != c)
            return false;
        ++m_at;
        return true;
    }

    std::optional<std::string> quoted()
    {
        if (!expect('"'))
            return std::nullopt;
        std::string value;
        while (m_at < m_text.size()) {
            char c = m_text[m_at++];
            if (c == '"')
                return value;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (m_at >= m_text.size())
                break;
            char escaped = m_text[m_at++];
            value += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        }
        return std::nullopt;
    }

    std::size_t line() const
    {
        std::size_t count = 1;
        for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i)
            count += m_text[i] == '\n';
        return count;
    }

private:
    const std::string& m_text;
    std::size_t m_at = 0;
};

} // namespace

Expected<StringTable> StringTable::parse(const std::string& text)
{
    StringTable table;
    Scanner scanner(text);
    while (scanner.skipSpace() && !scanner.atEnd()) {
        auto key = scanner.quoted();
        bool ok = key && scanner.expect('=');
        auto value = ok ? scanner.quoted() : std::nullopt;
        if (!value || !scanner.expect(';'))
            return Error{Error::Kind::Unreadable, "malformed entry at line " + std::to_string(scanner.line())};
        table.m_entries.insert_or_assign(std::move(*key), std::move(*value));
    }
    if (!scanner.atEnd())
        return Error{Error::Kind::Unreadable, "unterminated comment"};
    return table;
}

std::string StringTable::lookup(const std::string& key) const
{
    auto it = m_entries.find(key);
    return it == m_entries.end() ? key : it->second;
}

} // namespace core
