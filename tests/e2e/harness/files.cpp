#include "harness/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "harness/text.h"

namespace e2e {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
  char buf[4096];
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0 || n >= sizeof buf) return fallback;
  return std::string(buf, n);
}

std::string TrimSlash(std::string s) {
  while (s.size() > 3 && (s.back() == '\\' || s.back() == '/')) s.pop_back();
  return s;
}

}  // namespace

const std::string& BinDir() {
  static std::string dir = TrimSlash(EnvOr("FW_BIN_DIR", "."));
  return dir;
}

const std::string& WorkRoot() {
  static std::string dir = [] {
    std::string d = TrimSlash(EnvOr("FW_WORK_DIR", "C:\\fwtest"));
    ::CreateDirectoryW(Wide(d).c_str(), nullptr);
    return d;
  }();
  return dir;
}

std::string FreshTestDir(const std::string& suffix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      c = '_';
  }
  std::string dir = WorkRoot() + "\\" + name + suffix;
  RemoveTree(dir);
  ::CreateDirectoryW(Wide(dir).c_str(), nullptr);
  return dir;
}

std::string UnixPath(const std::string& winPath) {
  std::string p = winPath;
  if (p.size() >= 2 && (p[0] == 'Z' || p[0] == 'z') && p[1] == ':') p.erase(0, 2);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

std::string WinPath(const std::string& unixPath) {
  std::string p("Z:");
  p += unixPath;
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

bool FileExists(const std::string& path) {
  DWORD a = ::GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path) {
  DWORD a = ::GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE f = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  ::CloseHandle(f);
  return out;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE f =
      ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  ::CloseHandle(f);
  return ok && put == bytes.size();
}

std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> out;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW(Wide(dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") out.push_back(Utf8(name));
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  std::sort(out.begin(), out.end());
  return out;
}

void RemoveTree(const std::string& path) {
  std::wstring wide = Wide(path);
  DWORD a = ::GetFileAttributesW(wide.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL | (a & FILE_ATTRIBUTE_DIRECTORY));
  if (a & FILE_ATTRIBUTE_DIRECTORY) {
    for (const auto& name : ListDir(path)) RemoveTree(path + "\\" + name);
    ::RemoveDirectoryW(wide.c_str());
  } else {
    ::DeleteFileW(wide.c_str());
  }
}

}  // namespace e2e
