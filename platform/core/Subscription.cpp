#include "platform/core/Subscription.h"

#include <utility>

namespace core {

Subscription::Subscription(std::function<void()> end)
    : m_end(std::move(end))
{
}

Subscription::Subscription(Subscription&& other) noexcept
    : m_end(std::exchange(other.m_end, nullptr))
{
}

Subscription& Subscription::operator=(Subscription&& other) noexcept
{
    if (this != &other) {
        end();
        m_end = std::exchange(other.m_end, nullptr);
    }
    return *this;
}

Subscription::~Subscription() { end(); }

void Subscription::end()
{
    if (auto ending = std::exchange(m_end, nullptr))
        ending();
}

} // namespace core
