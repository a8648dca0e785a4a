#pragma once

#include <memory>

class QCoreApplication;

namespace core {

// The toolkit's event machinery for a run without a window (a command on
// the command line): the main run loop needs it. One per process.
class ConsoleApplication {
public:
    ConsoleApplication(int& argc, char** argv);
    ~ConsoleApplication();
    ConsoleApplication(const ConsoleApplication&) = delete;
    ConsoleApplication& operator=(const ConsoleApplication&) = delete;

private:
    std::unique_ptr<QCoreApplication> m_application;
};

} // namespace core
