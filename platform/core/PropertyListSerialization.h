#pragma once

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

    // No value for data that is empty, malformed or nested too deep; the
    // reason goes to errorDescription when given.
    static std::optional<PropertyList> propertyListFromData(const std::string& data,
                                                            std::string* errorDescription = nullptr);
    // No value when a date does not fit the format's 32-bit seconds.
    static std::optional<std::string> dataFromPropertyList(const PropertyList& value);
};

} // namespace core
