#include "platform/core/Date.h"

#include "platform/core/RunLoop.h"

#include <chrono>

namespace core {

Date Date::now(const RunLoop& loop) { return Date(loop.wallClockTime()); }

Date Date::systemNow()
{
    return Date(std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count());
}

} // namespace core
