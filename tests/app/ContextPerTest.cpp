// Each test of the application runs in a context of its own, as each run
// of the program does: no note list, upload or setting of one test is
// seen by the next.

#include "TestContext.h"
#include "support/TestEnvironment.h"

#include "Classes/AppContext.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ContextPerTest : public testing::EmptyTestEventListener {
public:
    // Before the test's fixture is made, and after it is gone.
    void OnTestStart(const testing::TestInfo&) override { m_context = std::make_unique<AppContext>(testLoop()); }
    void OnTestEnd(const testing::TestInfo&) override { m_context.reset(); }

    AppContext& context() const { return *m_context; }

private:
    std::unique_ptr<AppContext> m_context;
};

// Owned by gtest's listener list once appended.
ContextPerTest* const listener = [] {
    auto* made = new ContextPerTest;
    testing::UnitTest::GetInstance()->listeners().Append(made);
    return made;
}();

} // namespace

AppContext& testContext() { return listener->context(); }
