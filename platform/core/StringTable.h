#pragma once

#include "platform/core/Error.h"

#include <map>
#include <optional>
#include <string>

namespace core {

// A table of displayed texts in the "key" = "value"; form, with /* */ and
// // comments and the escapes \" \\ \n \t.
class StringTable {
public:
    // Unreadable, and where, when the text is malformed.
    static Expected<StringTable> parse(const std::string& text);

    // The text for the key; a key missing from the table shows as itself.
    std::string lookup(const std::string& key) const;
    bool contains(const std::string& key) const { return m_entries.count(key) != 0; }
    std::size_t size() const { return m_entries.size(); }

private:
    std::map<std::string, std::string> m_entries;
};

} // namespace core
