#pragma once

#include "Classes/StoreCache.h"

#include "platform/audio/SystemSound.h"
#include "platform/net/NetworkConnections.h"

#include <memory>
#include <optional>

class StorePreload;

namespace audio {
class AudioDevice;
}
namespace core {
class RunLoop;
class UserDefaults;
} // namespace core

// What one run of the application holds: its run loop, the note store's
// parsed list, the settings, the sound device and the network connections.
// main() builds one for the window or a command and hands it to what it
// builds; each test builds its own, so nothing of one run reaches the next.
class AppContext {
public:
    // The loop outlives the context. The system's default device is opened
    // on first use (the virtual one when there is none).
    explicit AppContext(core::RunLoop& loop);
    AppContext(core::RunLoop& loop, std::unique_ptr<audio::AudioDevice> device);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    core::RunLoop& runLoop() const { return m_loop; }
    // With a read under way, waits for it first.
    std::optional<StoreCache>& storeCache();
    // Starts reading the store at the path on a thread of its own.
    void preloadStore(std::string path);
    // Read from the home in use at the first call.
    core::UserDefaults& defaults();
    audio::AudioDevice& audioDevice();
    // From now on the device is that one, which outlives its use here.
    void useAudioDevice(audio::AudioDevice& device);
    audio::SystemSound& sounds() { return m_sounds; }
    net::NetworkConnections& network() { return m_network; }

private:
    core::RunLoop& m_loop;
    std::unique_ptr<audio::AudioDevice> m_ownDevice;
    audio::AudioDevice* m_device;
    // Stopped before the device goes.
    audio::SystemSound m_sounds;
    std::unique_ptr<core::UserDefaults> m_defaults;
    // Ends after the uploads that use it.
    net::NetworkConnections m_network;
    std::optional<StoreCache> m_storeCache;
    std::unique_ptr<StorePreload> m_preload;
};
