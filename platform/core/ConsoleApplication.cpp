#include "platform/core/ConsoleApplication.h"

#include <QCoreApplication>

namespace core {

ConsoleApplication::ConsoleApplication(int& argc, char** argv)
    : m_application(std::make_unique<QCoreApplication>(argc, argv))
{
}

ConsoleApplication::~ConsoleApplication() = default;

} // namespace core
