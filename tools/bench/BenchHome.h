#pragma once

#include "platform/core/RunLoop.h"

#include <memory>
#include <string>

class AppContext;

// A throw-away home for one benchmark run: notes and settings in a fresh
// folder, a run loop on a virtual clock, the virtual sound device,
// the log kept quiet. Everything goes again when it does.
class BenchHome {
public:
    explicit BenchHome(int sampleRate);
    ~BenchHome();
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    bool isValid() const { return !m_path.empty(); }
    const std::string& path() const { return m_path; }
    // Valid homes only.
    AppContext& context() const { return *m_context; }

private:
    std::string m_path;
    core::RunLoop m_loop;
    std::unique_ptr<AppContext> m_context;
};
