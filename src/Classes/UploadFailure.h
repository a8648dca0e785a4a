#pragma once

#include "platform/core/Error.h"

#include <string>

struct UploadReport;

// What the person is told when an upload failed: one message for each way
// it can fail, naming the server (and the folder, the server's own words
// or the certificate's key where they matter). The same text in the
// window's alert and on the command line.
class UploadFailure {
public:
    // The cause as the upload's edge found it, its words the server's.
    static std::string message(const core::Error& cause, const UploadReport& state);
    // The failure is the server's certificate, which the person may trust.
    static bool asksForTrust(const UploadReport& state);
};
