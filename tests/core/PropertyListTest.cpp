#include "platform/core/PropertyListSerialization.h"

#include <gtest/gtest.h>

using core::Date;
using core::PropertyList;
using core::PropertyListSerialization;

namespace {

std::optional<PropertyList> roundTrip(const PropertyList& value)
{
    auto xml = PropertyListSerialization::dataFromPropertyList(value);
    if (!xml)
        return std::nullopt;
    return PropertyListSerialization::propertyListFromData(*xml);
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
        std::string error;
        EXPECT_FALSE(PropertyListSerialization::propertyListFromData(text, &error)) << text.substr(0, 60);
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(PropertyListSerialization::propertyListFromData(nested(32)));
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
