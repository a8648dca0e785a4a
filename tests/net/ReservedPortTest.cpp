#include "platform/net/ReservedPort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using net::ReservedPort;

namespace {

bool canBind(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

TEST(ReservedPortTest, ThePortStaysTakenWhileHeldAndIsFreeAfter)
{
    int port = 0;
    {
        ReservedPort reserved;
        ASSERT_TRUE(reserved.port());
        port = *reserved.port();
        EXPECT_GT(port, 0);
        EXPECT_FALSE(canBind(port));
    }
    EXPECT_TRUE(canBind(port));
}

// Descriptor 0 is a socket like any other (standard input closed, as
// under some service managers); no descriptor at all is no port, not 0.
TEST(ReservedPortTest, DescriptorZeroServesAndNoDescriptorMeansNoPort)
{
    int savedInput = ::dup(0);
    ASSERT_GE(savedInput, 0);
    ::close(0);
    std::optional<int> onZero = ReservedPort().port();
    ASSERT_EQ(::dup2(savedInput, 0), 0);
    ::close(savedInput);
    ASSERT_TRUE(onZero);
    EXPECT_GT(*onZero, 0);

    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit none = limit;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    std::optional<int> without = ReservedPort().port();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_FALSE(without);
}

} // namespace
