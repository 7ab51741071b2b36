// The test folder's life: gone after a test that passed, kept and named after one that
// failed. The tests that pass or fail on purpose run in a child process of this program.
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

// Each prints its folder's path, as "folder=PATH".
TEST(TestFolderChild, DISABLED_Passes)
{
    const testsupport::TestFolder folder;
    folder.write("written", { 1, 2, 3 });
    std::printf("folder=%s\n", folder.path().c_str());
}

TEST(TestFolderChild, DISABLED_Fails)
{
    const testsupport::TestFolder folder;
    folder.write("written", { 1, 2, 3 });
    std::printf("folder=%s\n", folder.path().c_str());
    ADD_FAILURE() << "failed on purpose";
}

struct ChildRun {
    int status = -1;
    std::string output; // stdout and stderr
    std::string folder; // the folder it printed
};

// Runs one of the tests above in this program, with TMPDIR set to the given folder.
ChildRun runChild(const std::string& test, const std::string& temporary)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string command = "TMPDIR='" + temporary + "' '" + self
        + "' --gtest_also_run_disabled_tests --gtest_filter=TestFolderChild." + test + " 2>&1";
    ChildRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, n);
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::smatch match;
    if (std::regex_search(run.output, match, std::regex("folder=(\\S+)")))
        run.folder = match[1];
    return run;
}

TEST(TestFolder, IsRemovedAfterAPassingTestAndKeptAndNamedAfterAFailingOne)
{
    const testsupport::TestFolder temporary; // TMPDIR of the child runs
    const std::string prefix = temporary.path() + "/vorimel-TestFolderChild.DISABLED_";

    const ChildRun passed = runChild("DISABLED_Passes", temporary.path());
    ASSERT_EQ(passed.status, 0) << passed.output;
    EXPECT_EQ(passed.folder.rfind(prefix + "Passes-", 0), 0u) << passed.output;
    EXPECT_FALSE(fs::exists(passed.folder)) << passed.output;

    const ChildRun failed = runChild("DISABLED_Fails", temporary.path());
    ASSERT_NE(failed.status, 0) << failed.output;
    EXPECT_EQ(failed.folder.rfind(prefix + "Fails-", 0), 0u) << failed.output;
    EXPECT_TRUE(fs::is_regular_file(failed.folder + "/written")) << failed.output;
    // in the failure's own message, and once more when the test ends
    EXPECT_NE(failed.output.find("the test's files are in " + failed.folder), std::string::npos)
        << failed.output;
    EXPECT_NE(failed.output.find(failed.folder + ": kept, the test failed"), std::string::npos)
        << failed.output;
    EXPECT_EQ(std::distance(fs::directory_iterator(temporary.path()), fs::directory_iterator()), 1)
        << "only the failed test's folder is left";
}

} // namespace
