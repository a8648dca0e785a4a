#pragma once

namespace net {

// As the phone's stream layer numbers them.
enum class StreamStatus {
    NotOpen = 0,
    Opening = 1,
    Open = 2,
    Reading = 3,
    Writing = 4,
    AtEnd = 5,
    Closed = 6,
    Error = 7
};

enum StreamEvent : unsigned {
    kStreamEventNone = 0,
    kStreamEventOpenCompleted = 1,
    kStreamEventHasBytesAvailable = 2,
    kStreamEventCanAcceptBytes = 4,
    kStreamEventErrorOccurred = 8,
    kStreamEventEndEncountered = 16,
};

// Where an error comes from, and its number there.
enum class StreamErrorDomain : long { None = 0, POSIX = 1, FTP = 6, Curl = 100 };

struct StreamError {
    StreamErrorDomain domain = StreamErrorDomain::None;
    int error = 0;
};

} // namespace net
