#pragma once

#include <compare>

namespace core {

class RunLoop;

// A moment in time, as seconds since 1970-01-01 UTC.
class Date {
public:
    // Seconds from 1970-01-01 to 2001-01-01, the property lists' epoch.
    static constexpr double kReferenceDateOffset = 978307200.0;

    Date() = default;
    explicit Date(double secondsSince1970)
        : m_seconds(secondsSince1970)
    {
    }

    // The run loop's wall clock, so tests can set "now".
    static Date now(const RunLoop& loop);
    // The system's clock, for what is set beside the world's time stamps
    // (files, the log).
    static Date systemNow();
    static Date fromReferenceDate(double secondsSince2001) { return Date(secondsSince2001 + kReferenceDateOffset); }

    double timeIntervalSince1970() const { return m_seconds; }
    double timeIntervalSinceReferenceDate() const { return m_seconds - kReferenceDateOffset; }
    double timeIntervalSince(Date other) const { return m_seconds - other.m_seconds; }

    auto operator<=>(const Date&) const = default;

private:
    double m_seconds = 0.0;
};

} // namespace core
