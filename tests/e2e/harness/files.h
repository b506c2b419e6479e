// Where the tests work, and the files they read and write. Paths are
// UTF-8, as the program's are.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Where things are: the build's bin directory (Framewick.exe and its
// files) and a scratch directory for the tests' program directories.
const std::string& BinDir();
const std::string& WorkRoot();

// A fresh, empty directory for the running test (removed first if present).
std::string FreshTestDir(const std::string& suffix = "");

// Drive Z: is the Unix root.
std::string UnixPath(const std::string& winPath);
std::string WinPath(const std::string& unixPath);

bool FileExists(const std::string& path);
bool DirExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::vector<std::string> ListDir(const std::string& dir);
void RemoveTree(const std::string& path);

}  // namespace e2e
