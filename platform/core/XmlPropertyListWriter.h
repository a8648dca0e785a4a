#pragma once

#include "platform/core/PropertyList.h"

#include <optional>
#include <string>

namespace core {

// Writes the XML property-list format straight into a string, byte for
// byte as libplist does, without building libplist's tree first: the note
// store writes its whole list on every change. It covers the types the
// store holds (strings, integers, booleans, dates, arrays, dictionaries);
// for anything else it returns none and the caller uses libplist.
class XmlPropertyListWriter {
public:
    static std::optional<std::string> write(const PropertyList& value);
    // The text up to its first NUL, without the characters XML 1.0
    // forbids (C0 controls other than tab, line feed and carriage return,
    // U+FFFE and U+FFFF), and with U+FFFD for each byte that is no
    // well-formed UTF-8: readers that keep to XML refuse a file with any.
    static std::string xmlCharacters(const std::string& text);

private:
    bool append(const PropertyList& value, int depth);
    bool appendContainer(const PropertyList& value, int depth);
    void appendEscaped(const std::string& text);
    void indent(int depth) { m_xml.append(std::size_t(depth), '\t'); }

    std::string m_xml;
};

} // namespace core
