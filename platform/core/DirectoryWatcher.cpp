#include "platform/core/DirectoryWatcher.h"

#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace core {

DirectoryWatcher::DirectoryWatcher(RunLoop& loop, const std::string& directory)
    : m_loop(loop)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // A file replaced by a rename arrives as moved to; one written in
    // place is closed after writing.
    constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_CLOSE_WRITE;
    if (m_fd < 0 || ::inotify_add_watch(m_fd, directory.c_str(), kEvents) < 0) {
        Log::system("Changes made to " + directory + " by other programs are not seen: " + std::strerror(errno));
        return;
    }
    m_watch = m_loop.watch(m_fd, FdEvent::Read, [this](FdEvent) { readEvents(); });
}

DirectoryWatcher::~DirectoryWatcher()
{
    if (m_watch)
        m_loop.unwatch(m_watch);
    if (m_fd >= 0)
        ::close(m_fd);
}

void DirectoryWatcher::readEvents()
{
    std::vector<std::string> names;
    alignas(inotify_event) char buffer[4096];
    while (true) {
        ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len > 0)
                names.emplace_back(event->name);
        }
    }
    // The handler may end this watcher: it is called from copies.
    auto handler = on_change;
    for (const auto& name : names) {
        if (handler)
            handler(name);
    }
}

} // namespace core
