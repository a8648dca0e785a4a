#include "platform/audio/AudioFile.h"

#include "platform/core/FileManager.h"
#include "platform/core/Log.h"

#include "platform/audio/Libsndfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace audio {

namespace {

void logFailure(const std::string& what, SNDFILE* handle)
{
    core::Log::system(what + ": " + libsndfile().sf_strerror(handle));
}

} // namespace

AudioFile::AudioFile(int fd, sf_private_tag* handle, const SF_INFO& info, bool writable)
    : m_fd(fd)
    , m_handle(handle)
    , m_sampleRate(info.samplerate)
    , m_packetCount(writable ? 0 : info.frames)
    , m_writable(writable)
{
}

AudioFile::~AudioFile()
{
    if (libsndfile().sf_close(m_handle) != 0 || ::close(m_fd) != 0)
        core::Log::system("Closing an audio file failed");
}

OSStatus AudioFile::open(const std::string& path, bool forWriting, bool erase, SF_INFO& info, AudioFile*& outFile)
{
    std::string failure = (forWriting ? "Cannot create the audio file " : "Cannot open the audio file ") + path;
    if (!Libsndfile::available())
        return kAudioFileUnspecifiedError;
    int flags = !forWriting ? O_RDONLY : O_RDWR | O_CREAT | (erase ? O_TRUNC : O_EXCL);
    int fd = core::FileManager::openRegularFile(path, flags);
    if (fd < 0) {
        int error = errno;
        if (forWriting && !erase && error == EEXIST)
            return kAudioFileExistsError;
        core::Log::system(failure + ": " + core::FileManager::openFailure(error));
        return kAudioFilePermissionsError;
    }
    if (forWriting && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        core::Log::system("Cannot lock the audio file " + path + " while recording: " + std::strerror(errno));
    SNDFILE* handle = libsndfile().sf_open_fd(fd, forWriting ? SFM_WRITE : SFM_READ, &info, SF_FALSE);
    if (!handle) {
        logFailure(failure, nullptr);
        // A file made here and left without even its header (a full disk)
        // is no recording: it would be found as one at every start.
        if (forWriting && !erase && ::unlink(path.c_str()) != 0)
            core::Log::system("Cannot remove the unfinished audio file " + path + ": " + std::strerror(errno));
        ::close(fd);
        return kAudioFilePermissionsError;
    }
    outFile = new AudioFile(fd, handle, info, forWriting);
    return noErr;
}

OSStatus AudioFile::createWithPath(const std::string& path, std::uint32_t fileType,
                                   const AudioStreamBasicDescription& format, std::uint32_t flags, AudioFile*& outFile)
{
    if (fileType != kAudioFileAIFFType || !isSixteenBitMono(format)
        || !(format.mFormatFlags & kLinearPCMFormatFlagIsBigEndian))
        return kAudioFormatUnsupportedDataFormatError;
    SF_INFO info = {};
    info.samplerate = int(format.mSampleRate);
    info.channels = 1;
    // The default byte order of AIFF is big-endian; asking for it
    // explicitly would make an AIFC file that other readers refuse.
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    OSStatus status = open(path, true, (flags & kAudioFileFlags_EraseFile) != 0, info, outFile);
    if (status == noErr)
        libsndfile().sf_command(outFile->m_handle, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    return status;
}

OSStatus AudioFile::openPath(const std::string& path, std::uint32_t fileTypeHint, AudioFile*& outFile)
{
    if (fileTypeHint != kAudioFileAIFFType)
        return kAudioFormatUnsupportedDataFormatError;
    SF_INFO info = {};
    return open(path, false, false, info, outFile);
}

OSStatus AudioFile::close(AudioFile* file)
{
    if (!file)
        return kAudioFileUnspecifiedError;
    delete file;
    return noErr;
}

OSStatus AudioFile::writePackets(std::uint32_t numBytes, std::int64_t startingPacket, std::uint32_t& ioNumPackets,
                                 const void* data)
{
    std::uint32_t wanted = ioNumPackets;
    ioNumPackets = 0;
    if (!m_writable || numBytes < wanted * 2)
        return kAudioFileUnspecifiedError;
    if (libsndfile().sf_seek(m_handle, startingPacket, SEEK_SET | SFM_WRITE) != startingPacket) {
        logFailure("Cannot write audio at packet " + std::to_string(startingPacket), m_handle);
        return kAudioFileUnspecifiedError;
    }
    sf_count_t written = libsndfile().sf_write_raw(m_handle, data, sf_count_t(wanted) * 2);
    ioNumPackets = std::uint32_t(std::max<sf_count_t>(written, 0) / 2);
    if (ioNumPackets != wanted) {
        logFailure("Writing audio failed after " + std::to_string(ioNumPackets) + " of " + std::to_string(wanted)
                       + " packets",
                   m_handle);
        return kAudioFileUnspecifiedError;
    }
    return noErr;
}

OSStatus AudioFile::readPackets(std::uint32_t& outNumBytes, std::int64_t startingPacket, std::uint32_t& ioNumPackets,
                                void* data)
{
    std::uint32_t wanted = ioNumPackets;
    ioNumPackets = 0;
    outNumBytes = 0;
    if (startingPacket < 0)
        return kAudioFileUnspecifiedError;
    // At or past the end there is nothing to read; that is not a failure.
    if (libsndfile().sf_seek(m_handle, startingPacket, SEEK_SET | SFM_READ) != startingPacket)
        return kAudioFileEndOfFileError;
    sf_count_t read = libsndfile().sf_read_raw(m_handle, data, sf_count_t(wanted) * 2);
    if (read < 0)
        return kAudioFileUnspecifiedError;
    ioNumPackets = std::uint32_t(read / 2);
    outNumBytes = ioNumPackets * 2;
    return ioNumPackets ? noErr : kAudioFileEndOfFileError;
}

} // namespace audio
