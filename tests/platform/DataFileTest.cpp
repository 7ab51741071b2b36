// Data files: only regular files are opened, without waiting on anything, and are read
// whole or in parts.
#include "platform/DataFile.h"

#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <vector>

namespace {

using platform::DataFile;

// Opens the path on another thread; a FIFO opened the blocking way never returns, so a
// writer is connected after the wait to let the test end and report the fault.
std::string openFails(const std::string& path)
{
    auto opening = std::async(std::launch::async, [path] {
        DataFile file;
        return file.open(path.c_str()) ? std::string("opened") : file.error();
    });
    if (opening.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        const int writer = ::open(path.c_str(), O_WRONLY);
        const std::string result = opening.get();
        ::close(writer);
        return "blocked in open, then " + result;
    }
    return opening.get();
}

TEST(DataFile, RefusesWhatIsNotARegularFileWithoutWaitingOnIt)
{
    const testsupport::TestFolder files;
    const std::string folder = files / "folder";
    const std::string fifo = files / "fifo";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(openFails(folder), "a directory, not a regular file");
    EXPECT_EQ(openFails(fifo), "a FIFO, not a regular file");
    EXPECT_EQ(openFails("/dev/null"), "a character device, not a regular file");
    EXPECT_EQ(openFails(files / "missing"), "No such file or directory");
}

TEST(DataFile, ReadsInPartsAndWholeUpToALimit)
{
    std::vector<unsigned char> bytes(100000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 256);
    const testsupport::TestFolder files;
    const std::string path = files.write("bytes", bytes);

    DataFile file;
    ASSERT_TRUE(file.open(path.c_str())) << file.error();
    EXPECT_EQ(file.size(), bytes.size());
    std::vector<char> part(60000);
    size_t got = 0;
    ASSERT_TRUE(file.read(part.data(), part.size(), got));
    EXPECT_EQ(got, part.size());
    ASSERT_TRUE(file.read(part.data(), part.size(), got));
    EXPECT_EQ(got, bytes.size() - part.size()); // short only at the end
    EXPECT_EQ(static_cast<unsigned char>(part[got - 1]), bytes.back());

    ASSERT_TRUE(file.open(path.c_str()));
    std::vector<char> whole;
    ASSERT_TRUE(file.readAll(whole, bytes.size())) << file.error();
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), bytes.begin(), bytes.end(),
        [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }));

    // one byte over the limit: refused
    ASSERT_TRUE(file.open(path.c_str()));
    EXPECT_FALSE(file.readAll(whole, bytes.size() - 1));
    EXPECT_NE(file.error().find("grew beyond"), std::string::npos) << file.error();
}

} // namespace
