#pragma once

#include "platform/core/PropertyList.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// One note: a dictionary in data.plist. The length key is spelled "Lengh"
// in every store ever written, so it stays that way.
using NoteRecord = core::PropertyList::Dictionary;

namespace NoteKey {
inline constexpr const char* Title = "Title";
inline constexpr const char* Path = "Path";
inline constexpr const char* Date = "Date";
inline constexpr const char* Icon = "Icon";
inline constexpr const char* Lengh = "Lengh";
inline constexpr const char* NoteID = "NoteID";
inline constexpr const char* NumPackets = "numPackets";
inline constexpr const char* SampleRate = "SampleRate";
inline constexpr const char* Info = "Info";
inline constexpr const char* Alert = "Alert";
inline constexpr const char* CheckPlay = "CheckPlay";
} // namespace NoteKey

// The six icons a note can have: the name stored under "Icon", the key of
// its colour's displayed name, and its small picture.
struct NoteIconChoice {
    const char* name;
    const char* labelKey;
    const char* smallImage;
};
inline constexpr std::array<NoteIconChoice, 6> kNoteIcons{{
    {"YellowIcon", "Yellow Icon", "YellowIcon_small"},
    {"GreenIcon", "Green Icon", "GreenIcon_small"},
    {"BlueIcon", "Blue Icon", "BlueIcon_small"},
    {"RedIcon", "Red Icon", "RedIcon_small"},
    {"OrangeIcon", "Orange Icon", "OrangeIcon_small"},
    {"VioletIcon", "Violet Icon", "VioletIcon_small"},
}};

// The icon of that name; none for a name outside the six.
inline const NoteIconChoice* noteIconNamed(const std::string& name)
{
    for (const auto& icon : kNoteIcons) {
        if (name == icon.name)
            return &icon;
    }
    return nullptr;
}

// Reading a record that may lack a key or hold another type under it.
namespace NoteField {

inline const core::PropertyList* find(const NoteRecord& note, const char* key)
{
    auto found = note.find(key);
    return found == note.end() ? nullptr : &found->second;
}

// Empty when absent or not text.
inline std::string string(const NoteRecord& note, const char* key)
{
    const core::PropertyList* value = find(note, key);
    return value && value->string() ? *value->string() : std::string();
}

// An integer, or a real number within an integer's range taken as one;
// none otherwise.
inline std::optional<std::int64_t> integer(const NoteRecord& note, const char* key)
{
    const core::PropertyList* value = find(note, key);
    if (value && value->integer())
        return *value->integer();
    constexpr double kBeyond = 9223372036854775808.0; // 2^63
    if (value && value->real() && *value->real() > -kBeyond && *value->real() < kBeyond)
        return std::int64_t(*value->real());
    return std::nullopt;
}

inline std::optional<core::Date> date(const NoteRecord& note, const char* key)
{
    const core::PropertyList* value = find(note, key);
    return value && value->date() ? std::optional<core::Date>(*value->date()) : std::nullopt;
}

// The length as minutes:seconds, the seconds always with two digits; the
// "Lengh" pair's missing or odd elements read 0.
inline std::string lengthText(const NoteRecord& note)
{
    const core::PropertyList* length = find(note, NoteKey::Lengh);
    const auto* parts = length ? length->array() : nullptr;
    auto part = [parts](std::size_t i) {
        const std::int64_t* value = parts && parts->size() > i ? (*parts)[i].integer() : nullptr;
        return static_cast<long long>(value ? *value : 0);
    };
    char text[48];
    std::snprintf(text, sizeof text, part(1) <= 9 ? "%lld:0%lld" : "%lld:%lld", part(0), part(1));
    return text;
}

// The overdue-alert marker: the number 1.
inline bool isMarked(const NoteRecord& note)
{
    const core::PropertyList* value = find(note, NoteKey::CheckPlay);
    return value && ((value->integer() && *value->integer() == 1) || (value->real() && *value->real() == 1.0));
}

} // namespace NoteField
