#pragma once

#include "Classes/NoteRecord.h"

#include "platform/core/Date.h"

#include <cstdint>
#include <optional>
#include <string>

// One note as the application reads it: the typed fields of its record in
// data.plist. Records are changed key by key in the store, never written
// back from a Note, so keys this type does not know survive every change.
struct Note {
    // What differs between two readings of a note, as bits.
    enum Field : unsigned {
        Name = 1U << 0,
        Icon = 1U << 1,
        Length = 1U << 2,
        Alert = 1U << 3,
        Text = 1U << 4,
        Marked = 1U << 5,
        Recorded = 1U << 6,
    };

    std::string path;
    std::string name;
    std::string icon;
    // The number on the icon.
    std::optional<std::int64_t> number;
    std::string text;
    // As the list shows it: minutes:seconds.
    std::string length;
    std::optional<core::Date> alert;
    std::optional<core::Date> date;
    std::optional<std::int64_t> packets;
    std::optional<std::int64_t> rate;
    // The overdue-alert marker.
    bool marked = false;

    static Note fromRecord(const NoteRecord& record);
    // The fields in which the other reading differs from this one.
    unsigned fieldsDifferentFrom(const Note& other) const;
};
