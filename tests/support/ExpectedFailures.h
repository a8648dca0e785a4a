#pragma once

#include <set>
#include <string>

namespace testing {
class UnitTest;
}

// Tests known to fail in one setting (a list file, one "Suite.Name" per
// line, # for comments). Such a test still runs: it counts as passed only
// while it fails, and fails the run the day it passes, so that it leaves
// the list instead of hiding a change.
class ExpectedFailures {
public:
    explicit ExpectedFailures(const std::string& listPath);

    // The exit status of the run: 0 when every test that ran did as the
    // list expects, 1 otherwise (said on standard error).
    int judge(const testing::UnitTest& run) const;

private:
    std::string m_listPath;
    std::set<std::string> m_names;
    bool m_readable = false;
};
