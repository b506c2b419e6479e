// The Windows installer: a silent install for the current user, the
// installed program starting, and an uninstall that removes what was
// installed and leaves the user's files.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {
namespace {

std::string EnvVar(const char* name) {
  char buf[1024];
  DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string ProgramsFolder() {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool UninstallKeyExists() {
  HKEY key = nullptr;
  LONG r = ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Framewick", 0,
                           KEY_READ, &key);
  if (r == ERROR_SUCCESS) ::RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

TEST(Installer, InstallsStartsAndUninstallsLeavingTheUsersFiles) {
  std::string setup = EnvVar("FW_INSTALLER");
  if (setup.empty() || !FileExists(setup)) GTEST_SKIP() << "no installer was built for this run";
  SetTestTimeLimit(300);
  std::string dir = FreshTestDir() + "\\Framewick Install";
  std::string out;
  ASSERT_EQ(RunAndCollect(setup, "/S /CurrentUser /D=" + dir, 180000, out), 0) << out;
  for (const char* f : {"Framewick.exe", "camera.wav", "README.txt", "LICENSE.txt", "uninstall.exe"}) {
    EXPECT_TRUE(FileExists(dir + "\\" + f)) << f;
  }
  std::string shortcut = ProgramsFolder() + "\\Framewick\\Framewick.lnk";
  EXPECT_TRUE(FileExists(shortcut)) << shortcut;
  EXPECT_TRUE(UninstallKeyExists());

  // The installed program starts and ends normally.
  DWORD pid = 0;
  HANDLE process = StartProcess(dir + "\\Framewick.exe", "", dir, &pid);
  ASSERT_NE(process, nullptr);
  HWND main = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (main = FindTopLevel(pid, kMainClass, "Framewick")) != nullptr; }, 10000));
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0);

  // The user's own files in the folder.
  ASSERT_TRUE(WriteFileBytes(dir + "\\settings.txt", "1,0,\"C:\\\"\r\n"));
  ASSERT_TRUE(WriteFileBytes(dir + "\\snap0.jpg", "BM..."));

  // Uninstall in place (_?= keeps the uninstaller where it is, so the run
  // can be waited for; it then cannot delete itself).
  out.clear();
  ASSERT_EQ(RunAndCollect(dir + "\\uninstall.exe", "/S /CurrentUser _?=" + dir, 180000, out), 0) << out;
  for (const char* f : {"Framewick.exe", "camera.wav", "help.htm", "README.txt", "LICENSE.txt"}) {
    EXPECT_FALSE(FileExists(dir + "\\" + f)) << f << " is left behind";
  }
  EXPECT_EQ(ReadFileBytes(dir + "\\settings.txt"), "1,0,\"C:\\\"\r\n");
  EXPECT_EQ(ReadFileBytes(dir + "\\snap0.jpg"), "BM...");
  EXPECT_FALSE(FileExists(shortcut));
  EXPECT_FALSE(UninstallKeyExists());
}

}  // namespace
}  // namespace e2e
