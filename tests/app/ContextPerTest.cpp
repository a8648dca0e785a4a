// Each test of the application runs in a context of its own, as each run
// of the program does: no note list, upload or setting of one test is
// seen by the next.

#include "Classes/AppContext.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ContextPerTest : public testing::EmptyTestEventListener {
public:
    // Before the test's fixture is made, and after it is gone.
    void OnTestStart(const testing::TestInfo&) override { m_context = std::make_unique<AppContext>(); }
    void OnTestEnd(const testing::TestInfo&) override { m_context.reset(); }

private:
    std::unique_ptr<AppContext> m_context;
};

const bool contextPerTestListening = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ContextPerTest);
    return true;
}();

} // namespace
