#pragma once

#include "platform/net/StreamTypes.h"

#include <string>

// What is known of one upload: where it goes, whether its login went in
// clear, and once it failed, why.
struct UploadReport {
    // Why it failed, in the server's words when it said why.
    std::string failure;
    net::FtpFailure failureKind = net::FtpFailure::None;
    // After a certificate failure: the fingerprint of the server's key.
    std::string presentedKey;
    // "host:port", and the folder under the login directory.
    std::string server;
    std::string folder;
    // Its login went in clear: the server offered no encryption.
    bool inClear = false;
};
