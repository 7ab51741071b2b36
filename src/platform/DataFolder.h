// Where the demo's files under ./data/ are read from: the working folder's data/ where
// there is one (a build folder), otherwise the copy installed with the program.
#pragma once

#include <string>

namespace platform {

// The data folder of a program whose file is programFile: its folder joined with
// fromProgram (the installed layout's path from the programs to the data, e.g.
// "../share/games/vorimel/data"), made lexically normal. Empty when either is empty.
std::string installedDataFolder(const std::string& programFile, const std::string& fromProgram);

// The file to open for name, a path under ./data/ as the demo names it
// ("./data/cosa03.tga"): name itself when the working folder has a data folder, when
// installedFolder is no folder, or when name lies elsewhere; otherwise the same file
// under installedFolder. Progress lines keep showing name; what is opened, and named
// when it cannot be read, is this.
std::string dataFilePath(const std::string& name, const std::string& installedFolder);

// The same for this program: its installed folder found from its own file and the
// layout it was built for. A build without an installed layout (the browser's) always
// reads ./data/.
std::string dataFilePath(const char* name);

} // namespace platform
