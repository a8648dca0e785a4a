#pragma once

#include "platform/core/RunLoopEngine.h"

#include <functional>
#include <string>

namespace core {

class RunLoop;

// Hears, on a run loop (which outlives it), of files made, replaced, written or removed
// in one directory (inotify), whoever changed them.
class DirectoryWatcher {
public:
    // The name of the file that changed, relative to the directory.
    std::function<void(const std::string& name)> on_change;

    // Without a watch (no inotify, no such directory) nothing is heard; the
    // log says why.
    DirectoryWatcher(RunLoop& loop, const std::string& directory);
    ~DirectoryWatcher();
    DirectoryWatcher(const DirectoryWatcher&) = delete;
    DirectoryWatcher& operator=(const DirectoryWatcher&) = delete;

    bool isWatching() const { return m_watch != 0; }

private:
    void readEvents();

    RunLoop& m_loop;
    int m_fd = -1;
    RunLoopEngine::Id m_watch = 0;
};

} // namespace core
