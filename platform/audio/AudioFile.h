#pragma once

#include "platform/audio/AudioFormat.h"

#include <cstdint>
#include <string>

struct sf_private_tag;
struct SF_INFO;

namespace audio {

// An AIFF file of 16-bit big-endian PCM, mono, written and read in
// packets (one packet is one 2-byte sample). The header is brought up to
// date after every write, so a process that dies leaves a readable file.
class AudioFile {
public:
    // Creates the file, replacing an existing one when flags has
    // kAudioFileFlags_EraseFile, otherwise only when there is none
    // (kAudioFileExistsError); outFile is set on success only. A file
    // open for writing holds an exclusive lock (flock) while it is open,
    // so that others can tell it is being recorded.
    static OSStatus createWithPath(const std::string& path, std::uint32_t fileType,
                                   const AudioStreamBasicDescription& format, std::uint32_t flags, AudioFile*& outFile);
    static OSStatus openPath(const std::string& path, std::uint32_t fileTypeHint, AudioFile*& outFile);
    // Closes and deletes the file object.
    static OSStatus close(AudioFile* file);

    // Writes ioNumPackets packets of big-endian samples from data at
    // startingPacket; on return ioNumPackets holds the packets written.
    OSStatus writePackets(std::uint32_t numBytes, std::int64_t startingPacket, std::uint32_t& ioNumPackets,
                          const void* data);
    // Reads up to ioNumPackets packets from startingPacket into data, as
    // big-endian samples; on return both counts hold what was read (0 at
    // or past the end).
    OSStatus readPackets(std::uint32_t& outNumBytes, std::int64_t startingPacket, std::uint32_t& ioNumPackets,
                         void* data);

    double sampleRate() const { return m_sampleRate; }
    // The packets (samples) the file held when it was opened for reading.
    std::int64_t packetCount() const { return m_packetCount; }

private:
    AudioFile(int fd, sf_private_tag* handle, const SF_INFO& info, bool writable);
    // The file opened as libsndfile's, without following a symbolic link:
    // a link in the notes' folder must not lead a recording or a playback
    // to a file elsewhere; failures are logged. Creating without erasing
    // is exclusive: an existing file is left alone (kAudioFileExistsError).
    static OSStatus open(const std::string& path, bool forWriting, bool erase, SF_INFO& info, AudioFile*& outFile);
    ~AudioFile();

    int m_fd;
    sf_private_tag* m_handle;
    double m_sampleRate;
    std::int64_t m_packetCount;
    bool m_writable;
};

} // namespace audio
