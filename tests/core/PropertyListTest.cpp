#include "platform/core/PropertyListSerialization.h"
#include "platform/core/XmlPropertyListReader.h"

#include <gtest/gtest.h>

#include <vector>

using core::Date;
using core::PropertyList;
using core::PropertyListSerialization;

namespace {

// The value read, none when the data was refused.
std::optional<PropertyList> read(const std::string& data)
{
    auto value = PropertyListSerialization::propertyListFromData(data);
    return value ? std::optional(std::move(*value)) : std::nullopt;
}

std::optional<PropertyList> roundTrip(const PropertyList& value)
{
    auto xml = PropertyListSerialization::dataFromPropertyList(value);
    return xml ? read(*xml) : std::nullopt;
}

std::string nested(int depth)
{
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i)
        xml += "<array>";
    for (int i = 0; i < depth; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

TEST(PropertyList, EveryValueTypeSurvivesTheXmlForm)
{
    PropertyList::Dictionary record{
        {"string", "Ünïcode & <markup> \"quoted\""},
        {"negative", std::int64_t(-42)},
        {"large", std::int64_t(1) << 40},
        {"real", 0.25},
        {"yes", true},
        {"no", false},
        {"date", Date(1'236'244'307.0)},
        {"before2001", Date(946'684'799.0)},
        {"data", PropertyList::Data{std::string("\0\x01\xff", 3)}},
        {"empty", PropertyList::Array{}},
        {"pair", PropertyList::Array{3, 7}},
    };
    auto back = roundTrip(PropertyList(PropertyList::Array{record, PropertyList::Dictionary{}}));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, PropertyList(PropertyList::Array{record, PropertyList::Dictionary{}}));
}

// The note store's types are written without libplist; other readers
// and older files expect exactly libplist's bytes, so they are held to them.
TEST(PropertyList, TheStoresTypesAreWrittenAsLibplistWritesThem)
{
    PropertyList::Dictionary record{
        {"B0", false},
        {"B1", true},
        {"D", Date::fromReferenceDate(123456789.5)},
        {"D0", Date::fromReferenceDate(-5)},
        {"EA", PropertyList::Array{}},
        {"ED", PropertyList::Dictionary{}},
        {"ES", ""},
        {"Lengh", PropertyList::Array{0, 5}},
        {"Neg", std::int64_t(-5)},
        {"Num", 42},
        {"T<i>t&le", "a<b>&c\"d'e\tf\n\u00dc"},
    };
    PropertyList list(PropertyList::Array{record, PropertyList::Dictionary{}});
    const std::string libplist =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n"
        "<array>\n"
        "\t<dict>\n"
        "\t\t<key>B0</key>\n"
        "\t\t<false/>\n"
        "\t\t<key>B1</key>\n"
        "\t\t<true/>\n"
        "\t\t<key>D</key>\n"
        "\t\t<date>2004-11-29T21:33:09Z</date>\n"
        "\t\t<key>D0</key>\n"
        "\t\t<date>2000-12-31T23:59:55Z</date>\n"
        "\t\t<key>EA</key>\n"
        "\t\t<array/>\n"
        "\t\t<key>ED</key>\n"
        "\t\t<dict/>\n"
        "\t\t<key>ES</key>\n"
        "\t\t<string></string>\n"
        "\t\t<key>Lengh</key>\n"
        "\t\t<array>\n"
        "\t\t\t<integer>0</integer>\n"
        "\t\t\t<integer>5</integer>\n"
        "\t\t</array>\n"
        "\t\t<key>Neg</key>\n"
        "\t\t<integer>-5</integer>\n"
        "\t\t<key>Num</key>\n"
        "\t\t<integer>42</integer>\n"
        "\t\t<key>T&lt;i&gt;t&amp;le</key>\n"
        "\t\t<string>a&lt;b&gt;&amp;c\"d'e\tf\n"
        "\u00dc</string>\n"
        "\t</dict>\n"
        "\t<dict/>\n"
        "</array>\n"
        "</plist>\n";
    EXPECT_EQ(PropertyListSerialization::dataFromPropertyList(list), libplist);
    // Whole seconds come back as they went.
    record["D"] = Date::fromReferenceDate(123456789);
    PropertyList whole(PropertyList::Array{record});
    EXPECT_EQ(roundTrip(whole), whole);
}

TEST(PropertyList, DatesOutsideTheFormatsRangeAreNotWritten)
{
    EXPECT_FALSE(PropertyListSerialization::dataFromPropertyList(Date(1e12)));
    EXPECT_TRUE(PropertyListSerialization::dataFromPropertyList(Date(2e9)));
}

TEST(PropertyList, BadDocumentsAreRefusedWithAReason)
{
    for (const std::string& text :
         {std::string(""), std::string("hello"), std::string("<plist version=\"1.0\"><array>"), nested(33),
          nested(200000), "<plist version=\"1.0\"><string>a" + std::string(1, '\0') + "b</string></plist>"}) {
        auto read = PropertyListSerialization::propertyListFromData(text);
        ASSERT_FALSE(read) << text.substr(0, 60);
        EXPECT_EQ(read.error().kind, core::Error::Kind::Unreadable);
        EXPECT_FALSE(read.error().words.empty());
    }
    EXPECT_TRUE(PropertyListSerialization::propertyListFromData(nested(32)));
}

// Documents in the writers' plain form are read without libplist; a
// comment before the doctype sends the same document through libplist, so
// each must read the same both ways (or be refused both ways).
TEST(PropertyList, ThePlainFormReadsAsLibplistReadsIt)
{
    const std::string prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string rest = "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\">\n";
    const std::string note =
        "<array>\n\t<dict>\n\t\t<key>Title</key>\n\t\t<string>Note 1</string>\n\t\t<key>Lengh</key>\n"
        "\t\t<array>\n\t\t\t<integer>0</integer>\n\t\t\t<integer>12</integer>\n\t\t</array>\n\t</dict>\n</array>";
    // Longer documents are written over several lines, not missing a comma.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    const std::vector<std::string> bodies{
        note,
        "<dict><key>b</key><string>2</string><key>a</key><string>1</string></dict>",
        "<dict><key>a</key><string>1</string><key>a</key><string>2</string></dict>",
        "<dict><key>a&amp;b</key><string>&lt;x&gt; &quot;y&quot; &apos;z&apos; &amp;</string></dict>",
        "<string>&#65;&#x42;</string>",
        "<string>  spaced\n\ttext  </string>",
        "<string>\xc3\xbc\xe2\x82\xac\xf0\x9f\x8e\xa4</string>",
        "<string>bad \xc3 byte</string>",
        "<string>overlong \xc0\xaf</string>",
        "<string>surrogate \xed\xa0\x80</string>",
        "<string>nonchar \xef\xbf\xbe</string>",
        "<string>control \x01</string>",
        "<string>cr \r\n</string>",
        "<string>a]]>b</string>",
        "<string>a]]b</string>",
        "<string>a & b</string>",
        "<string></string>",
        "<string/>",
        "<array><integer>0</integer><integer>-1</integer><integer>999999999999999999</integer>"
        "<integer>-999999999999999999</integer><integer>9223372036854775807</integer>"
        "<integer>007</integer><integer>-0</integer><integer>+5</integer><integer> 5</integer></array>",
        "<array><date>2001-01-01T00:00:00Z</date><date>1970-01-01T00:00:00Z</date>"
        "<date>2024-02-29T23:59:59Z</date><date>2037-12-31T23:59:59Z</date><date>1999-12-31T12:00:00Z</date></array>",
        "<date>2023-02-29T00:00:00Z</date>",
        "<date>2024-13-01T00:00:00Z</date>",
        "<array><true/><false/><array/><dict/><real>0.5</real><data>AAEC</data></array>",
        "<array><dict><key>x</key></dict></array>",
        "<array><string>unclosed</array>",
        "<array></array>trailing",
    };
    // NOLINTEND(bugprone-suspicious-missing-comma)
    for (const auto& body : bodies) {
        std::string document = rest + body + "\n</plist>\n";
        auto plain = read(prolog + document);
        std::string commented = prolog;
        commented.append("<!-- -->\n").append(document);
        auto throughLibplist = read(commented);
        EXPECT_EQ(plain, throughLibplist) << body;
    }
    // The store's own form does take the quicker way.
    EXPECT_TRUE(core::XmlPropertyListReader::read(prolog + rest + bodies[0] + "\n</plist>\n",
                                                  PropertyListSerialization::kMaxDepth));
}

TEST(PropertyList, DictionaryAccessChecksTheType)
{
    PropertyList record(PropertyList::Dictionary{{"NoteID", 5}});
    ASSERT_NE(record.objectForKey("NoteID"), nullptr);
    EXPECT_EQ(record.objectForKey("NoteID")->string(), nullptr);
    EXPECT_EQ(record.objectForKey("Title"), nullptr);
    EXPECT_EQ(PropertyList("text").objectForKey("NoteID"), nullptr);
}

} // namespace
