#include "platform/core/XmlPropertyListReader.h"

#include <cstdint>
#include <limits>

namespace core {

namespace {

constexpr std::string_view kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr std::string_view kDoctype = "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">";
constexpr std::string_view kPlistOpen = "<plist version=\"1.0\">";

// The length of the UTF-8 sequence at the start of text when it is a
// character XML allows; 0 otherwise.
std::size_t utf8CharacterLength(std::string_view text)
{
    auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    unsigned lead = byte(0);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4)
        return 0;
    std::uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    bool allowed = code >= kSmallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)
        && code != 0xFFFE && code != 0xFFFF;
    return allowed ? length : 0;
}

bool isPlainCharacter(unsigned char byte)
{
    return (byte >= 0x20 && byte < 0x80 && byte != '&') || byte == '\t' || byte == '\n';
}

// The character an entity stands for, and its length; none for a
// character reference or a name XML does not predefine.
bool entity(std::string_view text, char& character, std::size_t& length)
{
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
    };
    for (const auto& [name, replacement] : kEntities) {
        if (text.substr(0, name.size()) == name) {
            character = replacement;
            length = name.size();
            return true;
        }
    }
    return false;
}

// Days from 1970-01-01 to the date in the proleptic Gregorian calendar.
std::int64_t daysSinceEpoch(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    auto yearOfEra = unsigned(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + std::int64_t(dayOfEra) - 719468;
}

unsigned daysInMonth(std::int64_t year, unsigned month)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

} // namespace

std::optional<PropertyList> XmlPropertyListReader::read(std::string_view xml, int maxDepth)
{
    XmlPropertyListReader reader(xml, maxDepth);
    PropertyList root;
    if (!reader.document(root))
        return std::nullopt;
    return root;
}

bool XmlPropertyListReader::document(PropertyList& root)
{
    if (!literal(kProlog))
        return false;
    skipSpace();
    if (!literal(kDoctype))
        return false;
    skipSpace();
    if (!literal(kPlistOpen))
        return false;
    skipSpace();
    if (!value(root, 1))
        return false;
    skipSpace();
    if (!literal("</plist>"))
        return false;
    skipSpace();
    return m_at == m_xml.size();
}

bool XmlPropertyListReader::value(PropertyList& out, int depth)
{
    if (depth > m_maxDepth || m_at + 1 >= m_xml.size() || m_xml[m_at] != '<')
        return false;
    // The tag's first letter says which it can be.
    switch (m_xml[m_at + 1]) {
    case 's':
        return string(out);
    case 'i':
        return literal("<integer>") && integer(out);
    case 'd':
        if (literal("<date>"))
            return date(out);
        return dictionary(out, depth);
    case 't':
    case 'f':
        return boolean(out);
    case 'a':
        return array(out, depth);
    default:
        return false;
    }
}

bool XmlPropertyListReader::string(PropertyList& out)
{
    if (literal("<string>")) {
        std::string content;
        if (!text(content, "</string>"))
            return false;
        out = PropertyList(std::move(content));
        return true;
    }
    if (literal("<string/>")) {
        out = PropertyList(std::string());
        return true;
    }
    return false;
}

bool XmlPropertyListReader::boolean(PropertyList& out)
{
    if (!literal("<true/>") && !literal("<false/>"))
        return false;
    out = PropertyList(m_xml[m_at - 4] == 'u');
    return true;
}

bool XmlPropertyListReader::array(PropertyList& out, int depth)
{
    if (literal("<array/>")) {
        out = PropertyList(PropertyList::Array{});
        return true;
    }
    if (!literal("<array>"))
        return false;
    PropertyList::Array items;
    while (true) {
        skipSpace();
        if (literal("</array>"))
            break;
        items.emplace_back();
        if (!value(items.back(), depth + 1))
            return false;
    }
    out = PropertyList(std::move(items));
    return true;
}

bool XmlPropertyListReader::dictionary(PropertyList& out, int depth)
{
    if (literal("<dict/>")) {
        out = PropertyList(PropertyList::Dictionary{});
        return true;
    }
    if (!literal("<dict>"))
        return false;
    PropertyList::Dictionary entries;
    while (true) {
        skipSpace();
        if (literal("</dict>"))
            break;
        std::string key;
        if (!literal("<key>") || !text(key, "</key>"))
            return false;
        skipSpace();
        // Writers list the keys sorted, so the end is where each belongs.
        std::size_t before = entries.size();
        auto entry = entries.try_emplace(entries.end(), std::move(key));
        if (entries.size() == before)
            return false;
        if (!value(entry->second, depth + 1))
            return false;
    }
    out = PropertyList(std::move(entries));
    return true;
}

bool XmlPropertyListReader::text(std::string& out, std::string_view closing)
{
    std::size_t end = m_xml.find('<', m_at);
    if (end == std::string_view::npos)
        return false;
    std::string_view raw = m_xml.substr(m_at, end - m_at);
    // "]]>" cannot stand in text; a carriage return would be normalised.
    if (raw.find("]]>") != std::string_view::npos)
        return false;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        // Plain ASCII, most of any note, goes over as a whole run.
        std::size_t plain = i;
        while (plain < raw.size() && isPlainCharacter(static_cast<unsigned char>(raw[plain])))
            ++plain;
        out.append(raw.substr(i, plain - i));
        i = plain;
        if (i == raw.size())
            break;
        auto byte = static_cast<unsigned char>(raw[i]);
        if (byte == '&') {
            char character = 0;
            std::size_t length = 0;
            if (!entity(raw.substr(i), character, length))
                return false;
            out.push_back(character);
            i += length;
        } else {
            std::size_t length = utf8CharacterLength(raw.substr(i));
            if (length == 0)
                return false;
            out.append(raw.substr(i, length));
            i += length;
        }
    }
    m_at = end;
    return literal(closing);
}

bool XmlPropertyListReader::integer(PropertyList& out)
{
    // Plain decimal only, short enough never to overflow.
    std::size_t end = m_xml.find('<', m_at);
    if (end == std::string_view::npos)
        return false;
    std::string_view digits = m_xml.substr(m_at, end - m_at);
    bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 18 || (digits.size() > 1 && digits.front() == '0')
        || (negative && digits == "0"))
        return false;
    std::int64_t number = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9')
            return false;
        number = number * 10 + (digit - '0');
    }
    m_at = end;
    out = PropertyList(negative ? -number : number);
    return literal("</integer>");
}

bool XmlPropertyListReader::date(PropertyList& out)
{
    // YYYY-MM-DDTHH:MM:SSZ, whole seconds, as every writer of the store writes it.
    constexpr std::string_view kPattern = "0000-00-00T00:00:00Z</date>";
    std::string_view text = m_xml.substr(m_at, kPattern.size());
    if (text.size() != kPattern.size())
        return false;
    for (std::size_t i = 0; i < kPattern.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == '0' ? !digit : text[i] != kPattern[i])
            return false;
    }
    auto field = [&](std::size_t at, std::size_t length) {
        unsigned number = 0;
        for (std::size_t i = at; i < at + length; ++i)
            number = number * 10 + unsigned(text[i] - '0');
        return number;
    };
    std::int64_t year = field(0, 4);
    unsigned month = field(5, 2);
    unsigned day = field(8, 2);
    unsigned hour = field(11, 2);
    unsigned minute = field(14, 2);
    unsigned second = field(17, 2);
    // Within the years the format's 32-bit seconds reach, and no leap second.
    if (year < 1970 || year > 2037 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23
        || minute > 59 || second > 59)
        return false;
    std::int64_t sinceEpoch = daysSinceEpoch(year, month, day) * 86400 + std::int64_t(hour) * 3600
        + std::int64_t(minute) * 60 + second;
    out = PropertyList(Date::fromReferenceDate(double(sinceEpoch - std::int64_t(Date::kReferenceDateOffset))));
    m_at += kPattern.size();
    return true;
}

bool XmlPropertyListReader::literal(std::string_view expected)
{
    if (m_xml.substr(m_at, expected.size()) != expected)
        return false;
    m_at += expected.size();
    return true;
}

void XmlPropertyListReader::skipSpace()
{
    while (m_at < m_xml.size()
           && (m_xml[m_at] == ' ' || m_xml[m_at] == '\t' || m_xml[m_at] == '\n' || m_xml[m_at] == '\r'))
        ++m_at;
}

} // namespace core
