#include "Classes/Note.h"

#include <cmath>

namespace {

// As data.plist keeps it: a date just made and one read back are the same.
std::optional<core::Date> toTheMicrosecond(std::optional<core::Date> date)
{
    if (!date)
        return date;
    return core::Date(std::round(date->timeIntervalSince1970() * 1e6) / 1e6);
}

} // namespace

Note Note::fromRecord(const NoteRecord& record)
{
    Note note;
    note.path = NoteField::string(record, NoteKey::Path);
    note.name = NoteField::string(record, NoteKey::Title);
    note.icon = NoteField::string(record, NoteKey::Icon);
    note.number = NoteField::integer(record, NoteKey::NoteID);
    note.text = NoteField::string(record, NoteKey::Info);
    note.length = NoteField::lengthText(record);
    note.alert = toTheMicrosecond(NoteField::date(record, NoteKey::Alert));
    note.date = toTheMicrosecond(NoteField::date(record, NoteKey::Date));
    note.packets = NoteField::integer(record, NoteKey::NumPackets);
    note.rate = NoteField::integer(record, NoteKey::SampleRate);
    note.marked = NoteField::isMarked(record);
    return note;
}

unsigned Note::fieldsDifferentFrom(const Note& other) const
{
    unsigned fields = 0;
    auto differ = [&fields](bool different, Field field) {
        if (different)
            fields |= field;
    };
    differ(name != other.name, Name);
    differ(icon != other.icon || number != other.number, Icon);
    differ(length != other.length, Length);
    differ(alert != other.alert, Alert);
    differ(text != other.text, Text);
    differ(marked != other.marked, Marked);
    differ(date != other.date || packets != other.packets || rate != other.rate, Recorded);
    return fields;
}
