#include "BenchFigure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

BenchFigure::BenchFigure(std::string name, std::string unit, std::string goal, GoalTest met)
    : m_name(std::move(name))
    , m_unit(std::move(unit))
    , m_goal(std::move(goal))
    , m_met(std::move(met))
{
}

void BenchFigure::add(double ours, std::optional<double> peer, std::optional<double> floor)
{
    m_ours.push_back(ours);
    if (peer)
        m_peer.push_back(*peer);
    if (floor)
        m_floor.push_back(*floor);
}

double BenchFigure::median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double BenchFigure::millisecondsOf(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double BenchFigure::medianRatio() const
{
    // Pair by pair: a busy moment slows both sides of one run alike.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < m_peer.size() && i < m_ours.size(); ++i) {
        if (m_peer[i] != 0)
            ratios.push_back(m_ours[i] / m_peer[i]);
    }
    return ratios.empty() ? 0 : median(ratios);
}

std::string BenchFigure::formatted(double value) const
{
    double size = value < 0 ? -value : value;
    const char* format = size >= 100 || size == 0 ? "%.0f" : size >= 10 ? "%.1f" : size >= 1 ? "%.2f" : "%.3f";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return m_unit.empty() ? text : std::string(text) + " " + m_unit;
}

void BenchFigure::print() const
{
    std::string peer = "—";
    std::string ratio = "—";
    if (!m_peer.empty()) {
        peer = (m_peerName.empty() ? "" : m_peerName + " ") + formatted(median(m_peer));
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", medianRatio());
        ratio = text;
    }
    if (!m_floor.empty())
        peer += " (floor " + formatted(median(m_floor)) + ")";
    std::string goal = m_goal.empty() ? "—" : m_goal;
    if (m_met)
        goal += m_met(medianOurs(), medianRatio()) ? " ✓" : " ✗";
    std::printf("| %s | %s | %s | %s | %s |\n", m_name.c_str(), formatted(medianOurs()).c_str(), peer.c_str(),
                ratio.c_str(), goal.c_str());
    std::fflush(stdout);
}

void BenchFigure::printUnmeasured(const std::string& name, const std::string& reason)
{
    std::printf("| %s | not measured: %s | — | — | — |\n", name.c_str(), reason.c_str());
    std::fflush(stdout);
}
