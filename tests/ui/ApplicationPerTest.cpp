// Each test of the toolkit's views runs with an application object of its
// own, on the test's run loop, as the views find one in every run of the
// program; a test may make another over it.

#include "support/TestEnvironment.h"

#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ApplicationPerTest : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        m_application = std::make_unique<ui::Application>(testLoop());
    }
    void OnTestEnd(const testing::TestInfo&) override { m_application.reset(); }

private:
    std::unique_ptr<ui::Application> m_application;
};

// Owned by gtest's listener list once appended.
[[maybe_unused]] ApplicationPerTest* const listener = [] {
    auto* made = new ApplicationPerTest;
    testing::UnitTest::GetInstance()->listeners().Append(made);
    return made;
}();

} // namespace
