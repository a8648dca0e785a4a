#pragma once

#include <string>

class PlistController;

// Makes the recordings that no note names (left by a window or command that
// was killed, or a power cut, before it stored its note) notes of their own
// at the next start, so that nothing recorded is ever invisible. A file that
// cannot be read as audio is left alone and named in the log.
class RecordingRecovery {
public:
    static void recoverOrphans(PlistController& store);

private:
    static void recover(PlistController& store, const std::string& name);
};
