#pragma once

#include "platform/core/Date.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace core {

// One property-list value: string, integer, real, boolean, date, data,
// array or dictionary. Dictionaries keep their keys sorted, as the XML
// form lists them.
class PropertyList {
public:
    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList>;
    struct Data {
        std::string bytes;
        bool operator==(const Data&) const = default;
    };

    PropertyList()
        : m_value(Dictionary{})
    {
    }
    PropertyList(std::string value)
        : m_value(std::move(value))
    {
    }
    PropertyList(const char* value)
        : m_value(std::string(value))
    {
    }
    PropertyList(std::int64_t value)
        : m_value(value)
    {
    }
    PropertyList(int value)
        : m_value(std::int64_t(value))
    {
    }
    PropertyList(double value)
        : m_value(value)
    {
    }
    PropertyList(bool value)
        : m_value(value)
    {
    }
    PropertyList(Date value)
        : m_value(value)
    {
    }
    PropertyList(Data value)
        : m_value(std::move(value))
    {
    }
    PropertyList(Array value)
        : m_value(std::move(value))
    {
    }
    PropertyList(Dictionary value)
        : m_value(std::move(value))
    {
    }

    // Typed access: a pointer to the value, or null when it is of another type.
    const std::string* string() const { return std::get_if<std::string>(&m_value); }
    const std::int64_t* integer() const { return std::get_if<std::int64_t>(&m_value); }
    const double* real() const { return std::get_if<double>(&m_value); }
    const bool* boolean() const { return std::get_if<bool>(&m_value); }
    const Date* date() const { return std::get_if<Date>(&m_value); }
    const Data* data() const { return std::get_if<Data>(&m_value); }
    const Array* array() const { return std::get_if<Array>(&m_value); }
    Array* array() { return std::get_if<Array>(&m_value); }
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&m_value); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&m_value); }

    // A dictionary's entry, or null when this is no dictionary or lacks the key.
    const PropertyList* objectForKey(const std::string& key) const;

    bool operator==(const PropertyList&) const = default;

private:
    std::variant<std::string, std::int64_t, double, bool, Date, Data, Array, Dictionary> m_value;
};

} // namespace core
