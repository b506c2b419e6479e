// The processes a test starts: the program, helper programs, Unix commands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Every process the harness starts is tracked and ended at the end of its
// test, or when the watchdog ends a hung test. StartProcess takes UTF-8.
HANDLE StartProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD* pid = nullptr);
void EndAllProcesses();
// Runs a program to its end (bounded), collecting what it prints; returns
// its exit code, or -1 when it had to be ended.
int RunAndCollect(const std::string& exe, const std::string& args, DWORD timeoutMs, std::string& output);

// Starts a Unix program through /bin/sh -c (Wine runs Unix programs; their
// environment is the driver's Windows one). Its exit code does not come
// through: true when the command ended within the time.
bool RunUnix(const std::string& command, DWORD timeoutMs);

// Starts a program through /bin/sh with Unix environment settings
// ("NAME=value ...") and finds its Windows process (tracked like the
// others) by its image path; null when it did not come.
HANDLE StartWithUnixEnvironment(const std::string& exe, const std::string& environment, const std::string& cwd,
                                DWORD* pid);

// The processes now running whose file name (without its directory) is
// `name`, compared without regard to case.
std::vector<DWORD> ProcessesNamed(const char* name);

}  // namespace e2e
