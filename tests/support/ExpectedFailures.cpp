#include "support/ExpectedFailures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

ExpectedFailures::ExpectedFailures(const std::string& listPath)
    : m_listPath(listPath)
{
    std::ifstream list(listPath);
    m_readable = bool(list);
    std::string line;
    while (std::getline(list, line)) {
        auto end = line.find_first_of("# \t\r");
        line = line.substr(0, end);
        if (!line.empty())
            m_names.insert(line);
    }
}

int ExpectedFailures::judge(const testing::UnitTest& run) const
{
    if (!m_readable) {
        std::fprintf(stderr, "cannot read the expected failures in %s\n", m_listPath.c_str());
        return 1;
    }
    int wrong = 0;
    for (int i = 0; i < run.total_test_suite_count(); ++i) {
        const testing::TestSuite& suite = *run.GetTestSuite(i);
        for (int j = 0; j < suite.total_test_count(); ++j) {
            const testing::TestInfo& test = *suite.GetTestInfo(j);
            if (!test.should_run())
                continue;
            std::string name = std::string(suite.name()) + "." + test.name();
            bool expected = m_names.count(name) != 0;
            bool failed = test.result()->Failed();
            if (failed && expected)
                std::fprintf(stderr, "%s failed, as %s expects\n", name.c_str(), m_listPath.c_str());
            else if (!failed && expected)
                std::fprintf(stderr, "%s passed: take it out of %s\n", name.c_str(), m_listPath.c_str());
            else if (failed)
                std::fprintf(stderr, "%s failed\n", name.c_str());
            wrong += failed != expected;
        }
    }
    return wrong == 0 ? 0 : 1;
}
