#pragma once

#include "platform/core/Error.h"

#include <string>

// What is known of one upload: where it goes, whether its login went in
// clear, and once it failed, why.
struct UploadReport {
    // Once it failed: how, in the words the person reads.
    std::optional<core::Error> error;
    // After a certificate or host key failure: the fingerprint of the
    // server's key, and an SSH host key's type ("ED25519").
    std::string presentedKey;
    std::string keyType;
    // Once sent to an SFTP or WebDAV server: the name it is stored under
    // there, with "-2" when the note's own was taken.
    std::string storedName;
    // "host:port", and the folder under the login directory.
    std::string server;
    std::string folder;
    // Its login went in clear: the server offered no encryption.
    bool inClear = false;
};
