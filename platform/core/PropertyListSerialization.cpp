#include "platform/core/PropertyListSerialization.h"

#include "platform/core/XmlPropertyListReader.h"
#include "platform/core/XmlPropertyListWriter.h"

#include <plist/plist.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace core {

namespace {

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// Counts container nesting in the raw text, so that a hostile document
// never reaches the recursive parser. Comments or CDATA that mention
// containers can only make this count higher, which errs on refusing.
int containerDepth(const std::string& xml)
{
    int depth = 0;
    int deepest = 0;
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        auto startsWith = [&](const char* tag) { return xml.compare(at, std::strlen(tag), tag) == 0; };
        bool empty = false;
        if (startsWith("<array") || startsWith("<dict")) {
            std::size_t close = xml.find('>', at);
            empty = close != std::string::npos && close > at && xml[close - 1] == '/';
            if (!empty)
                deepest = std::max(deepest, ++depth);
        } else if (startsWith("</array") || startsWith("</dict")) {
            --depth;
        }
    }
    return deepest;
}

std::optional<PropertyList> fromNode(plist_t node, int depth);

std::optional<PropertyList> fromArray(plist_t node, int depth)
{
    PropertyList::Array items;
    uint32_t count = plist_array_get_size(node);
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto item = fromNode(plist_array_get_item(node, i), depth + 1);
        if (!item)
            return std::nullopt;
        items.push_back(std::move(*item));
    }
    return PropertyList(std::move(items));
}

std::optional<PropertyList> fromDictionary(plist_t node, int depth)
{
    PropertyList::Dictionary entries;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    if (!iter)
        return std::nullopt;
    std::optional<PropertyList> result;
    while (true) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (!key || !value) {
            std::free(key);
            result = PropertyList(std::move(entries));
            break;
        }
        auto converted = fromNode(value, depth + 1);
        std::string name(key);
        std::free(key);
        if (!converted)
            break;
        entries.insert_or_assign(std::move(name), std::move(*converted));
    }
    std::free(iter);
    return result;
}

std::optional<PropertyList> fromNode(plist_t node, int depth)
{
    if (!node || depth > PropertyListSerialization::kMaxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        // A NUL inside a string is no XML character; libplist's copying
        // getter aborts on it, and it could not be written back.
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (!text || std::strlen(text) != length)
            return std::nullopt;
        return PropertyList(std::string(text, length));
    }
    case PLIST_UINT: {
        uint64_t number = 0;
        plist_get_uint_val(node, &number);
        // The reader keeps negative integers as their two's complement.
        return PropertyList(std::int64_t(number));
    }
    case PLIST_REAL: {
        double number = 0;
        plist_get_real_val(node, &number);
        return PropertyList(number);
    }
    case PLIST_BOOLEAN: {
        uint8_t flag = 0;
        plist_get_bool_val(node, &flag);
        return PropertyList(flag != 0);
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return PropertyList(Date::fromReferenceDate(seconds + microseconds / 1e6));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        PropertyList value{PropertyList::Data{std::string(bytes ? bytes : "", bytes ? length : 0)}};
        std::free(bytes);
        return value;
    }
    case PLIST_ARRAY:
        return fromArray(node, depth);
    case PLIST_DICT:
        return fromDictionary(node, depth);
    default:
        return std::nullopt;
    }
}

plist_t toNode(const PropertyList& value);

plist_t dateNode(Date date)
{
    double since2001 = date.timeIntervalSinceReferenceDate();
    double seconds = std::floor(since2001);
    if (!(seconds >= std::numeric_limits<int32_t>::min() && seconds <= std::numeric_limits<int32_t>::max()))
        return nullptr;
    auto microseconds = int32_t(std::lround((since2001 - seconds) * 1e6));
    return plist_new_date(int32_t(seconds), std::min(microseconds, 999999));
}

plist_t containerNode(const PropertyList& value)
{
    if (const auto* items = value.array()) {
        PlistPtr node(plist_new_array());
        for (const auto& item : *items) {
            plist_t child = toNode(item);
            if (!child)
                return nullptr;
            plist_array_append_item(node.get(), child);
        }
        return node.release();
    }
    PlistPtr node(plist_new_dict());
    for (const auto& [key, item] : *value.dictionary()) {
        plist_t child = toNode(item);
        if (!child)
            return nullptr;
        plist_dict_set_item(node.get(), key.c_str(), child);
    }
    return node.release();
}

plist_t toNode(const PropertyList& value)
{
    if (const auto* text = value.string())
        return plist_new_string(XmlPropertyListWriter::xmlCharacters(*text).c_str());
    if (const auto* number = value.integer())
        return plist_new_uint(uint64_t(*number));
    if (const auto* number = value.real())
        return plist_new_real(*number);
    if (const auto* flag = value.boolean())
        return plist_new_bool(*flag);
    if (const auto* date = value.date())
        return dateNode(*date);
    if (const auto* bytes = value.data())
        return plist_new_data(bytes->bytes.data(), bytes->bytes.size());
    return containerNode(value);
}

Error parseError(const char* reason)
{
    return Error{Error::Kind::Unreadable, std::string("Property list parse error: ") + reason};
}

} // namespace

Expected<PropertyList> PropertyListSerialization::propertyListFromData(const std::string& data)
{
    if (data.empty())
        return parseError("the data is empty");
    if (data.size() > std::numeric_limits<uint32_t>::max())
        return parseError("the data is too large");
    // The plain form the store's writers give, several times faster.
    if (auto value = XmlPropertyListReader::read(data, kMaxDepth))
        return std::move(*value);
    if (containerDepth(data) > kMaxDepth)
        return parseError("containers are nested too deeply");
    plist_t root = nullptr;
    plist_from_xml(data.data(), uint32_t(data.size()), &root);
    PlistPtr owner(root);
    if (!root)
        return parseError("the data is not an XML property list");
    auto value = fromNode(root, 1);
    if (!value)
        return parseError("the data holds an unsupported value");
    return std::move(*value);
}

std::optional<std::string> PropertyListSerialization::dataFromPropertyList(const PropertyList& value)
{
    // The same bytes libplist writes, several times faster.
    if (auto xml = XmlPropertyListWriter::write(value))
        return xml;
    PlistPtr root(toNode(value));
    if (!root)
        return std::nullopt;
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml)
        return std::nullopt;
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}

} // namespace core
