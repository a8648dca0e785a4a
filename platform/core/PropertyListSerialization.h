#pragma once

#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"

#include <optional>
#include <string>

namespace core {

// The XML property-list format, read through libplist and written as
// libplist writes it.
class PropertyListSerialization {
public:
    // Deeper documents are refused before parsing; the note store is
    // three levels deep.
    static constexpr int kMaxDepth = 32;

    // Unreadable, and why, for data that is empty, malformed or nested too deep.
    static Expected<PropertyList> propertyListFromData(const std::string& data);
    // No value when a date does not fit the format's 32-bit seconds.
    static std::optional<std::string> dataFromPropertyList(const PropertyList& value);
};

} // namespace core
