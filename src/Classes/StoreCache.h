#pragma once

#include "platform/core/FileIdentity.h"
#include "platform/core/PropertyList.h"

#include <optional>
#include <string>

// The note list last read or written, with the identity and bytes of the
// file it came from, so that the list's many reads of an unchanged store
// parse it once. Changes are made to this list in place and then written.
struct StoreCache {
    std::string path;
    std::optional<core::FileIdentity> identity;
    std::string bytes;
    // Always an array: the notes.
    core::PropertyList list;
};
