#pragma once

#include "Classes/StoreCache.h"

#include "platform/core/StackedInstance.h"
#include "platform/net/NetworkConnections.h"

#include <memory>
#include <optional>

namespace audio {
class AudioDevice;
}

// What the application holds while it runs: the note store's parsed list,
// the network connections and the sound device it was started with.
// main() builds one for the window or a command, each test its own, so
// nothing of one run reaches the next. The newest one alive is current():
// the store's objects, made and dropped all the time, reach their state
// through it. The settings are read afresh in each context.
class AppContext : public core::StackedInstance<AppContext> {
public:
    AppContext();
    // The device is the shared one for as long as this lives.
    explicit AppContext(std::unique_ptr<audio::AudioDevice> device);
    ~AppContext();

    // The newest context alive; a process that builds none gets one of
    // its own on first use.
    static AppContext& current();

    std::optional<StoreCache>& storeCache() { return m_storeCache; }

private:
    bool m_ownsDevice;
    // Ends after the uploads that use it.
    net::NetworkConnections m_network;
    std::optional<StoreCache> m_storeCache;
};
