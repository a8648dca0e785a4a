#pragma once

#include "platform/core/Error.h"
#include "platform/core/FileIdentity.h"
#include "platform/core/PropertyList.h"

#include <memory>
#include <optional>
#include <string>

// The note list last read or written, with the identity and bytes of the
// file it came from, so that the list's many reads of an unchanged store
// parse it once. Changes are made to this list in place and then written;
// while a snapshot of it is held elsewhere, a change is made to a copy.
struct StoreCache {
    std::string path;
    std::optional<core::FileIdentity> identity;
    std::string bytes;
    // Always an array: the notes.
    std::shared_ptr<core::PropertyList> list;

    // The file as it is now, parsed; else why it holds no list: NotFound,
    // Unreadable, or Unsupported for one that is no list of notes. Touches
    // nothing else, so any thread may read.
    static core::Expected<StoreCache> read(const std::string& path);
};
