#pragma once

namespace core {

// For an object of which one is in use at a time: each one made stands in
// for the one before it until it goes. Made and dropped in stack order
// (main's own, a test's own, one nested in a test).
template <typename T>
class StackedInstance {
public:
    StackedInstance(const StackedInstance&) = delete;
    StackedInstance& operator=(const StackedInstance&) = delete;

    // The newest alive; none when there is none.
    static T* newest() { return s_newest; }

protected:
    StackedInstance()
        : m_previous(s_newest)
    {
        s_newest = static_cast<T*>(this);
    }
    ~StackedInstance() { s_newest = m_previous; }

private:
    T* m_previous;
    static inline T* s_newest = nullptr;
};

} // namespace core
