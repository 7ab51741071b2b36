// The data folder: ./data/ in the working folder first, the installed one otherwise.
#include "platform/DataFolder.h"

#include <filesystem>
#include <iterator>
#include <system_error>

namespace platform {

namespace {

namespace fs = std::filesystem;

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

// The path from the programs' folder to the installed data, from the build's layout.
#ifdef VORIMEL_DATA_FROM_PROGRAM
constexpr const char* dataFromProgram = VORIMEL_DATA_FROM_PROGRAM;
#else
constexpr const char* dataFromProgram = "";
#endif

} // namespace

std::string installedDataFolder(const std::string& programFile, const std::string& fromProgram)
{
    if (programFile.empty() || fromProgram.empty())
        return std::string();
    return (fs::path(programFile).parent_path() / fromProgram).lexically_normal().string();
}

std::string dataFilePath(const std::string& name, const std::string& installedFolder)
{
    const fs::path normal = fs::path(name).lexically_normal();
    const auto first = normal.begin();
    // a file below data/: its first part is data, and there is more after it
    if (first == normal.end() || *first != "data" || std::next(first) == normal.end()
        || !normal.has_filename())
        return name;
    if (isFolder("data") || installedFolder.empty() || !isFolder(installedFolder))
        return name;
    return (fs::path(installedFolder) / normal.lexically_relative("data")).string();
}

std::string dataFilePath(const char* name)
{
    // the program's own file, symbolic links resolved, read once
    static const std::string installed = [] {
        std::error_code error;
        const fs::path self = fs::read_symlink("/proc/self/exe", error);
        return error ? std::string() : installedDataFolder(self.string(), dataFromProgram);
    }();
    return dataFilePath(std::string(name), installed);
}

} // namespace platform
