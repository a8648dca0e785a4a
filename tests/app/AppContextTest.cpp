#include "Classes/AppContext.h"
#include "Classes/ExportingController.h"

#include <gtest/gtest.h>

namespace {

// What one run of the application leaves behind must not reach the next.
TEST(AppContextTest, AnUploadsFailureEndsWithItsContext)
{
    AppContext& outer = AppContext::current();
    {
        AppContext inner;
        EXPECT_EQ(&AppContext::current(), &inner);
        inner.upload().problem = 1;
        EXPECT_TRUE(ExportingController().checkError());
        inner.upload().problem = 1;
    }
    EXPECT_EQ(&AppContext::current(), &outer);
    EXPECT_FALSE(ExportingController().checkError());
}

} // namespace
