// Temporary folders that outlive only the tests that failed.
#include "support/TestFolder.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace testsupport {

namespace {

// "Suite.Test" with what a file name should not hold replaced, cut short: the folder
// may hold a sound server's socket, whose whole path must fit in 108 bytes.
std::string testName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "outside-a-test";
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            c = '_';
    return name.substr(0, 40);
}

// $TMPDIR where set and not empty, else /tmp.
std::string temporaryBase()
{
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

} // namespace

TestFolder::TestFolder()
{
    std::string pattern = temporaryBase() + "/vorimel-" + testName() + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a folder " << pattern << ": " << std::strerror(errno);
        return;
    }
    root = pattern;
    trace = std::make_unique<::testing::ScopedTrace>(
        __FILE__, __LINE__, "the test's files are in " + root + " (kept when it fails)");
}

TestFolder::~TestFolder()
{
    trace.reset();
    if (root.empty())
        return;
    if (::testing::Test::HasFailure()) {
        std::fprintf(stderr, "%s: kept, the test failed\n", root.c_str());
        return;
    }
    std::error_code error;
    std::filesystem::remove_all(root, error);
    if (error)
        std::fprintf(stderr, "%s: not removed: %s\n", root.c_str(), error.message().c_str());
}

std::string TestFolder::write(const std::string& name, const std::vector<unsigned char>& bytes) const
{
    const std::string path = *this / name;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush())
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

} // namespace testsupport
