#pragma once

#include "platform/core/PropertyList.h"

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
