// Where the program lives. Paths are UTF-8.
#pragma once

#include <string>

namespace fw {

// The program's directory, without a trailing separator except at a drive's
// root ("C:\").
std::string ProgramDir();

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

}  // namespace fw
