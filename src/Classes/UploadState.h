#pragma once

#include "platform/net/StreamTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace net {
class FileReadStream;
class FtpWriteStream;
} // namespace net

// The upload of the whole application: the newest one is the one polled.
struct UploadState {
    // Owned by the upload's stream info; cleared when that goes.
    net::FileReadStream* readStream = nullptr;
    std::shared_ptr<net::FtpWriteStream> writeStream;
    // 1 once this upload failed, until checkError() has told it.
    std::uint8_t problem = 0;
    // Why it failed, in the server's words when it said why.
    std::string failure;
    net::FtpFailure failureKind = net::FtpFailure::None;
    // After a certificate failure: the fingerprint of the server's key.
    std::string presentedKey;
    // Where the newest upload goes: "host:port", and the folder under the
    // login directory.
    std::string server;
    std::string folder;
    // Its login went in clear: the server offered no encryption.
    bool inClear = false;
};
