#include "Classes/RecordingRecovery.h"

#include "Classes/PlistController.h"

#include "platform/audio/AudioFile.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"

#include <sys/stat.h>

using core::Log;

void RecordingRecovery::recoverOrphans(PlistController& store)
{
    for (const auto& orphan : store.orphanAudioFiles())
        recover(store, orphan);
}

void RecordingRecovery::recover(PlistController& store, const std::string& name)
{
    auto path = core::Paths::documentsFilePath(name);
    audio::AudioFile* file = nullptr;
    if (!path || audio::AudioFile::openPath(*path, audio::kAudioFileAIFFType, file) != audio::noErr) {
        Log::system("Kept " + name + ": no note names this recording and it cannot be read as audio");
        return;
    }
    std::int64_t packets = file->packetCount();
    auto rate = std::int64_t(file->sampleRate());
    audio::AudioFile::close(file);
    // The note's date is when its recording last wrote, as a saved
    // note's is when recording stopped.
    struct stat status = {};
    core::Date date = ::stat(path->c_str(), &status) == 0 ? core::Date(double(status.st_mtim.tv_sec))
                                                          : core::Date::systemNow();
    if (!store.saveRecoveredObject("/" + name, std::uint64_t(std::max<std::int64_t>(packets, 0)), rate, date))
        Log::system("Recovered " + name + ", which no note named, as a note of its own");
    else
        Log::system("Kept " + name + ": no note names this recording and it could not be made one");
}
