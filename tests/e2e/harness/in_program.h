// Running a few lines inside the program under test: a probe library of
// the driver's (tests/e2e/probe) is loaded into the program's process and
// one of its functions runs there as a thread. For what only the program's
// own process can see or do: its GDI objects (fonts included; GDI handles
// are the process's own), a message whose parameter points into its memory.
#pragma once

#include <windows.h>

#include <cstddef>

namespace e2e {

// Runs `function` of the probe library `library` (a file beside the driver,
// loaded into the process on first use) in the process, with `argument`,
// and returns the thread's exit code; -1 when it could not be run.
long RunInProgram(HANDLE process, const char* library, const char* function, LPVOID argument = nullptr);

// A block of memory in another process holding a copy of some bytes, for a
// probe's argument; freed with the object.
class ProgramMemory {
 public:
  ProgramMemory(HANDLE process, const void* bytes, std::size_t size);
  ~ProgramMemory();
  ProgramMemory(const ProgramMemory&) = delete;
  ProgramMemory& operator=(const ProgramMemory&) = delete;
  LPVOID get() const { return address_; }
  // Copies the block's bytes as they are now into `out`; false when that
  // cannot be done.
  bool Read(void* out, std::size_t size) const;

 private:
  HANDLE process_;
  LPVOID address_ = nullptr;
};

}  // namespace e2e
