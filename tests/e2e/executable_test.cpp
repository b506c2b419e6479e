// The built program file itself: the flags in its headers that decide how
// Windows runs it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "harness.h"

namespace e2e {
namespace {

// The file header of the program's PE image, read from the file.
IMAGE_FILE_HEADER ProgramFileHeader() {
  std::string bytes = ReadFileBytes(BinDir() + "\\Framewick.exe");
  IMAGE_FILE_HEADER header{};
  IMAGE_DOS_HEADER dos{};
  if (bytes.size() < sizeof dos) return header;
  std::memcpy(&dos, bytes.data(), sizeof dos);
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) return header;
  std::size_t at = static_cast<std::size_t>(dos.e_lfanew);
  DWORD signature = 0;
  if (bytes.size() < at + sizeof signature + sizeof header) return header;
  std::memcpy(&signature, bytes.data() + at, sizeof signature);
  if (signature != IMAGE_NT_SIGNATURE) return header;
  std::memcpy(&header, bytes.data() + at + sizeof signature, sizeof header);
  return header;
}

// A 32-bit program gets the 4 GB of address space 64-bit Windows offers it
// only when it says it can use addresses above 2 GB.
TEST(Executable, IsLargeAddressAware) {
  IMAGE_FILE_HEADER header = ProgramFileHeader();
  ASSERT_NE(header.Machine, 0) << "not a PE image";
  EXPECT_TRUE(header.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE);
  EXPECT_TRUE(header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
}

}  // namespace
}  // namespace e2e
