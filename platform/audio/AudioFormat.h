#pragma once

#include <cstdint>

namespace audio {

// Results of the audio calls: 0 is success, anything else a failure.
using OSStatus = std::int32_t;
inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus kAudioFormatUnsupportedDataFormatError = 0x666D743F; // 'fmt?'
inline constexpr OSStatus kAudioQueueErr_InvalidBuffer = -66687;
inline constexpr OSStatus kAudioQueueErr_InvalidParameter = -66674;
inline constexpr OSStatus kAudioQueueErr_CannotStart = -66681;
inline constexpr OSStatus kAudioQueueErr_InvalidDevice = -66680;
inline constexpr OSStatus kAudioFileUnspecifiedError = 0x7768743F; // 'wht?'
inline constexpr OSStatus kAudioFilePermissionsError = 0x70726D3F; // 'prm?'
// Ours: a file created without kAudioFileFlags_EraseFile exists already.
inline constexpr OSStatus kAudioFileExistsError = 0x65787374; // 'exst'
inline constexpr OSStatus kAudioFileEndOfFileError = -39;

constexpr std::uint32_t fourCharCode(const char (&code)[5])
{
    return std::uint32_t(code[0]) << 24 | std::uint32_t(code[1]) << 16 | std::uint32_t(code[2]) << 8
        | std::uint32_t(code[3]);
}

inline constexpr std::uint32_t kAudioFormatLinearPCM = fourCharCode("lpcm");
inline constexpr std::uint32_t kLinearPCMFormatFlagIsBigEndian = 0x2;
inline constexpr std::uint32_t kLinearPCMFormatFlagIsSignedInteger = 0x4;
inline constexpr std::uint32_t kLinearPCMFormatFlagIsPacked = 0x8;
inline constexpr std::uint32_t kAudioFileAIFFType = fourCharCode("AIFF");
inline constexpr std::uint32_t kAudioFileFlags_EraseFile = 1;

// The stream format: what one packet and one frame hold.
struct AudioStreamBasicDescription {
    double mSampleRate = 0;
    std::uint32_t mFormatID = 0;
    std::uint32_t mFormatFlags = 0;
    std::uint32_t mBytesPerPacket = 0;
    std::uint32_t mFramesPerPacket = 0;
    std::uint32_t mBytesPerFrame = 0;
    std::uint32_t mChannelsPerFrame = 0;
    std::uint32_t mBitsPerChannel = 0;
    std::uint32_t mReserved = 0;
};

// The one sample format the queues and files carry: 16-bit signed linear
// PCM, one channel, one frame per packet.
inline bool isSixteenBitMono(const AudioStreamBasicDescription& format)
{
    return format.mFormatID == kAudioFormatLinearPCM && (format.mFormatFlags & kLinearPCMFormatFlagIsSignedInteger)
        && format.mBytesPerPacket == 2 && format.mFramesPerPacket == 1 && format.mBytesPerFrame == 2
        && format.mChannelsPerFrame == 1 && format.mBitsPerChannel == 16 && format.mSampleRate >= 1000
        && format.mSampleRate <= 192000;
}

struct AudioTimeStamp {
    double mSampleTime = 0;
};

// A buffer of a queue; its memory belongs to the queue.
struct AudioQueueBuffer {
    std::uint32_t mAudioDataBytesCapacity = 0;
    void* mAudioData = nullptr;
    std::uint32_t mAudioDataByteSize = 0;
};

} // namespace audio
