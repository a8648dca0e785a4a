#pragma once

#include <functional>

namespace core {

// Being told of something for as long as this lives: the end is run once,
// when it is destroyed, replaced or ended.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> end);
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription();

    void end();

private:
    std::function<void()> m_end;
};

} // namespace core
