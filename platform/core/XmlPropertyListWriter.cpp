#include "platform/core/XmlPropertyListWriter.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <string_view>

namespace core {

namespace {

constexpr const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                "<plist version=\"1.0\">\n";

// Whole seconds, as the format keeps them; none outside its 32-bit range.
std::optional<std::string> dateText(Date date)
{
    double seconds = std::floor(date.timeIntervalSinceReferenceDate());
    if (!(seconds >= std::numeric_limits<std::int32_t>::min() && seconds <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    std::time_t since1970 = std::time_t(seconds) + std::time_t(Date::kReferenceDateOffset);
    std::tm utc{};
    char text[32];
    if (!::gmtime_r(&since1970, &utc) || std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0)
        return std::nullopt;
    return std::string(text);
}

} // namespace

std::optional<std::string> XmlPropertyListWriter::write(const PropertyList& value)
{
    XmlPropertyListWriter writer;
    writer.m_xml = kHeader;
    if (!writer.append(value, 0))
        return std::nullopt;
    writer.m_xml += "</plist>\n";
    return std::move(writer.m_xml);
}

std::string XmlPropertyListWriter::xmlCharacters(const std::string& text)
{
    // Up to a NUL, as libplist takes C strings.
    std::string_view rest(text.c_str());
    std::string kept;
    kept.reserve(rest.size());
    while (!rest.empty()) {
        auto c = static_cast<unsigned char>(rest.front());
        if (rest.starts_with("\xef\xbf\xbe") || rest.starts_with("\xef\xbf\xbf")) {
            rest.remove_prefix(3);
            continue;
        }
        if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r')
            kept += char(c);
        rest.remove_prefix(1);
    }
    return kept;
}

void XmlPropertyListWriter::appendEscaped(const std::string& text)
{
    for (char c : xmlCharacters(text)) {
        switch (c) {
        case '&':
            m_xml += "&amp;";
            break;
        case '<':
            m_xml += "&lt;";
            break;
        case '>':
            m_xml += "&gt;";
            break;
        default:
            m_xml += c;
        }
    }
}

bool XmlPropertyListWriter::append(const PropertyList& value, int depth)
{
    if (value.array() || value.dictionary())
        return appendContainer(value, depth);
    indent(depth);
    if (const auto* text = value.string()) {
        m_xml += "<string>";
        appendEscaped(*text);
        m_xml += "</string>\n";
    } else if (const auto* number = value.integer()) {
        m_xml += "<integer>" + std::to_string(*number) + "</integer>\n";
    } else if (const auto* flag = value.boolean()) {
        m_xml += *flag ? "<true/>\n" : "<false/>\n";
    } else if (const auto* date = value.date()) {
        auto text = dateText(*date);
        if (!text)
            return false;
        m_xml += "<date>" + *text + "</date>\n";
    } else {
        // Reals and data: libplist's own formatting.
        return false;
    }
    return true;
}

bool XmlPropertyListWriter::appendContainer(const PropertyList& value, int depth)
{
    const auto* items = value.array();
    const auto* entries = value.dictionary();
    const char* name = items ? "array" : "dict";
    indent(depth);
    if (items ? items->empty() : entries->empty()) {
        m_xml += std::string("<") + name + "/>\n";
        return true;
    }
    m_xml += std::string("<") + name + ">\n";
    if (items) {
        for (const auto& item : *items) {
            if (!append(item, depth + 1))
                return false;
        }
    } else {
        for (const auto& [key, item] : *entries) {
            indent(depth + 1);
            m_xml += "<key>";
            appendEscaped(key);
            m_xml += "</key>\n";
            if (!append(item, depth + 1))
                return false;
        }
    }
    indent(depth);
    m_xml += std::string("</") + name + ">\n";
    return true;
}

} // namespace core
