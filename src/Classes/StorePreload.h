#pragma once

#include "Classes/StoreCache.h"

#include <optional>
#include <string>
#include <thread>

// Reads and parses the note store on a thread of its own while the
// window's toolkit starts, for the first read of the store to take. What it
// found is only a candidate: the store checks it against the file, as it
// does any list it keeps, so a change made in the meantime is not missed.
class StorePreload {
public:
    explicit StorePreload(std::string path);
    ~StorePreload();
    StorePreload(const StorePreload&) = delete;
    StorePreload& operator=(const StorePreload&) = delete;

    // Waits for the read: the list, when the file held one.
    std::optional<StoreCache> take();

private:
    std::optional<StoreCache> m_found;
    std::thread m_reader;
};
