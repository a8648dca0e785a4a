#include "platform/core/Date.h"

#include "platform/core/RunLoop.h"

namespace core {

Date Date::now() { return Date(RunLoop::main().wallClockTime()); }

} // namespace core
