#include "platform/audio/SoundServerProperties.h"

#include "platform/core/Bundle.h"
#include "platform/core/Log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace audio {

namespace {

using core::Bundle;

// libpulse adds PULSE_PROP_<key> to a new connection's properties, and
// PULSE_PROP_OVERRIDE_<key> over what the plugin set itself (it names
// every program "ALSA plug-in [...]"). The server copies the connection's
// properties to each stream.
constexpr const char* kPulseName = "PULSE_PROP_OVERRIDE_application.name";
constexpr const char* kPulseIcon = "PULSE_PROP_application.icon_name";
constexpr const char* kPulseRole = "PULSE_PROP_media.role";
// PipeWire's ALSA plugin reads its stream's properties from one variable.
constexpr const char* kPipeWire = "PIPEWIRE_ALSA";

struct RoleNames {
    const char* pulse;
    const char* pipeWire;
};

// "production" rather than "phone" for a recording: a phone stream gets
// echo cancellation, which changes what is kept, and pauses the music.
RoleNames roleNames(StreamRole role)
{
    switch (role) {
    case StreamRole::Recording:
        return {"production", "Production"};
    case StreamRole::Note:
        return {"music", "Music"};
    case StreamRole::Alert:
        return {"event", "Notification"};
    }
    return {"music", "Music"};
}

std::string pipeWireProperties(StreamRole role)
{
    return std::string("{ application.name = \"") + Bundle::kDisplayName + "\" application.icon-name = \""
        + Bundle::kIconName + "\" media.role = \"" + roleNames(role).pipeWire + "\" }";
}

// Main thread only (see the class).
bool s_published = false;
bool s_pulseRoleIsOurs = false;
bool s_pipeWireIsOurs = false;
int s_openStreams = 0;

bool isUnset(const char* name) { return std::getenv(name) == nullptr; }

} // namespace

bool SoundServerProperties::set(const char* name, const char* value)
{
    if (::setenv(name, value, 1) == 0)
        return true;
    core::Log::system(std::string("The sound server's mixer may not name this program: cannot set ") + name + ": "
                      + std::strerror(errno));
    return false;
}

void SoundServerProperties::publish()
{
    if (s_published)
        return;
    s_published = true;
    if (isUnset(kPulseName))
        set(kPulseName, Bundle::kDisplayName);
    if (isUnset(kPulseIcon))
        set(kPulseIcon, Bundle::kIconName);
    s_pulseRoleIsOurs = isUnset(kPulseRole) && set(kPulseRole, roleNames(StreamRole::Note).pulse);
    s_pipeWireIsOurs = isUnset(kPipeWire) && set(kPipeWire, pipeWireProperties(StreamRole::Note).c_str());
}

SoundServerProperties::SoundServerProperties(StreamRole role)
{
    if (s_openStreams == 0)
        setRole(role);
    ++s_openStreams;
}

SoundServerProperties::~SoundServerProperties() { --s_openStreams; }

void SoundServerProperties::setRole(StreamRole role)
{
    if (s_pulseRoleIsOurs)
        set(kPulseRole, roleNames(role).pulse);
    if (s_pipeWireIsOurs)
        set(kPipeWire, pipeWireProperties(role).c_str());
}

} // namespace audio
