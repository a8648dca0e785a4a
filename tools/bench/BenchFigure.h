#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// One figure of the benchmarks' table. Each run measures ours and, in the
// same run, its peer (the machine is shared and noisy, so ratios are taken
// pair by pair and then their median). print() writes one Markdown row:
// figure | ours | peer | ratio | goal; tools/bench/run puts the rows of
// every benchmark under one header.
class BenchFigure {
public:
    // Whether the goal is met, from the median of ours and the median ratio.
    using GoalTest = std::function<bool(double ours, double ratio)>;

    BenchFigure(std::string name, std::string unit, std::string goal = {}, GoalTest met = {});

    // One run: ours, the peer's figure (none when there is no peer), and a
    // floor shown beside the peer (what no implementation can beat).
    void add(double ours, std::optional<double> peer = std::nullopt, std::optional<double> floor = std::nullopt);
    // The peer's name in its column, for example "plistlib".
    void setPeerName(std::string name) { m_peerName = std::move(name); }

    double medianOurs() const { return median(m_ours); }
    double medianRatio() const;
    void print() const;

    // A row for a figure that could not be measured, saying why.
    static void printUnmeasured(const std::string& name, const std::string& reason);
    static double median(std::vector<double> values);
    // Milliseconds spent by one call of the work.
    static double millisecondsOf(const std::function<void()>& work);

private:
    std::string formatted(double value) const;

    std::string m_name;
    std::string m_unit;
    std::string m_goal;
    GoalTest m_met;
    std::string m_peerName;
    std::vector<double> m_ours;
    std::vector<double> m_peer;
    std::vector<double> m_floor;
};
