#pragma once

#include "platform/core/PropertyList.h"

#include <optional>
#include <string>
#include <string_view>

namespace core {

// Reads the XML property-list form as its writers lay it out (ours,
// libplist's, Python's plistlib) straight into a PropertyList, without
// building libplist's tree first: opening the store parses its whole list.
// It takes only the plain form of the types the store holds (strings,
// integers, booleans, dates, arrays, dictionaries). For anything else
// (comments, character references, CDATA, reals, data, another header,
// text XML forbids, a repeated key) it returns none and the caller hands
// the document to libplist, which decides; so no document reads otherwise.
class XmlPropertyListReader {
public:
    static std::optional<PropertyList> read(std::string_view xml, int maxDepth);

private:
    XmlPropertyListReader(std::string_view xml, int maxDepth)
        : m_xml(xml)
        , m_maxDepth(maxDepth)
    {
    }

    bool document(PropertyList& root);
    bool value(PropertyList& out, int depth);
    bool array(PropertyList& out, int depth);
    bool dictionary(PropertyList& out, int depth);
    // The text up to the closing tag, its entities replaced.
    bool text(std::string& out, std::string_view closing);
    bool string(PropertyList& out);
    bool boolean(PropertyList& out);
    bool integer(PropertyList& out);
    bool date(PropertyList& out);
    bool literal(std::string_view expected);
    void skipSpace();

    std::string_view m_xml;
    std::size_t m_at = 0;
    int m_maxDepth;
};

} // namespace core
