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

namespace {

// How many bytes of well-formed UTF-8 start the text (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF); 0 for none.
std::size_t wellFormedLength(std::string_view text)
{
    auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    auto within = [&](std::size_t i, unsigned low, unsigned high) { return byte(i) >= low && byte(i) <= high; };
    unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xc2 && lead <= 0xdf)
        return within(1, 0x80, 0xbf) ? 2 : 0;
    if (lead >= 0xe0 && lead <= 0xef) {
        unsigned low = lead == 0xe0 ? 0xa0 : 0x80;
        unsigned high = lead == 0xed ? 0x9f : 0xbf;
        return within(1, low, high) && within(2, 0x80, 0xbf) ? 3 : 0;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        unsigned low = lead == 0xf0 ? 0x90 : 0x80;
        unsigned high = lead == 0xf4 ? 0x8f : 0xbf;
        return within(1, low, high) && within(2, 0x80, 0xbf) && within(3, 0x80, 0xbf) ? 4 : 0;
    }
    return 0;
}

constexpr std::string_view kReplacementCharacter = "\xef\xbf\xbd";

} // namespace

std::string XmlPropertyListWriter::xmlCharacters(const std::string& text)
{
    // Up to a NUL, as libplist takes C strings.
    std::string_view rest(text.c_str());
    std::string kept;
    kept.reserve(rest.size());
    while (!rest.empty()) {
        std::size_t length = wellFormedLength(rest);
        auto c = static_cast<unsigned char>(rest.front());
        if (length == 0) {
            // A byte that is no UTF-8 (a file another program wrote):
            // shown as U+FFFD, so that every reader can read the file.
            kept += kReplacementCharacter;
            length = 1;
        } else if (rest.starts_with("\xef\xbf\xbe") || rest.starts_with("\xef\xbf\xbf")) {
            // U+FFFE and U+FFFF are no XML characters.
        } else if (length > 1 || c >= 0x20 || c == '\t' || c == '\n' || c == '\r') {
            kept.append(rest.substr(0, length));
        }
        rest.remove_prefix(length);
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
