#pragma once

#include <string>

// A throw-away home for one benchmark run: notes and settings in a fresh
// folder, the virtual clock under the main loop, the log kept quiet.
// Everything goes again when it does.
class BenchHome {
public:
    explicit BenchHome(int sampleRate);
    ~BenchHome();
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    bool isValid() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};
