// A folder of the current test's own for whatever it writes: under $TMPDIR (or /tmp),
// named after the test, removed with its contents when the test passes and kept, named
// on stderr and in every failure message, when it fails.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class TestFolder {
public:
    // Made at once; create one inside a test (its body or its fixture), never beyond it.
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& path() const { return root; }
    // The path of an entry in the folder; nothing is made.
    std::string operator/(const std::string& name) const { return root + "/" + name; }
    // Writes the bytes to a file in the folder; returns its path.
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const;

private:
    std::string root;
    std::unique_ptr<::testing::ScopedTrace> trace; // names the folder in failure messages
};

} // namespace testsupport
