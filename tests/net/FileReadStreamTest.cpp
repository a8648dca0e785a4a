#include "platform/net/FileReadStream.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using net::FileReadStream;

namespace {

TEST(FileReadStream, ReadsTheWholeFileInChunksThenZero)
{
    TemporaryHome home;
    std::string path = home.path() + "/note.aif";
    std::string contents;
    for (int i = 0; i < 100000; ++i)
        contents += char(i * 31 % 251);
    std::ofstream(path, std::ios::binary) << contents;

    auto stream = FileReadStream::createWithFile(path);
    ASSERT_TRUE(stream->open());
    std::string read;
    std::vector<std::uint8_t> chunk(32768);
    long count;
    while ((count = stream->read(chunk.data(), long(chunk.size()))) > 0)
        read.append(chunk.begin(), chunk.begin() + count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(read, contents);
    EXPECT_EQ(stream->read(chunk.data(), long(chunk.size())), 0);

    stream->close();
    EXPECT_LT(stream->read(chunk.data(), long(chunk.size())), 0);
}

TEST(FileReadStream, MissingFileFailsToOpenAndUnopenedStreamCannotRead)
{
    LogCapture log;
    std::uint8_t byte;
    auto missing = FileReadStream::createWithFile("/nonexistent/voicenotes/note.aif");
    EXPECT_LT(missing->read(&byte, 1), 0);
    EXPECT_FALSE(missing->open());
    EXPECT_LT(missing->read(&byte, 1), 0);
    EXPECT_EQ(log.count("/nonexistent/voicenotes/note.aif"), 1);
}

} // namespace
