// Where the libraries loaded on first use come from.
#include <gtest/gtest.h>

#include "platform/library_rules.h"

namespace fw::library {
namespace {

TEST(SystemLibraries, SystemsWithSearchFlagsGetTheBareNameAndTheSystem32Flag) {
  LoadRequest r = RequestFor("winmm.dll", true, "");
  EXPECT_EQ(r.file, "winmm.dll");
  EXPECT_EQ(r.flags, kSearchSystem32);
}

// Without the flags a bare name would be looked for beside the program and
// in the current directory first: the full system path is given instead,
// with no flags a loader of that age would refuse.
TEST(SystemLibraries, OlderSystemsGetTheFullPathInTheSystemDirectory) {
  EXPECT_EQ(RequestFor("winspool.drv", false, "C:\\Windows\\system32").file, "C:\\Windows\\system32\\winspool.drv");
  EXPECT_EQ(RequestFor("winspool.drv", false, "C:\\Windows\\system32").flags, 0u);
  EXPECT_EQ(RequestFor("winmm.dll", false, "D:\\WINNT\\System32\\").file, "D:\\WINNT\\System32\\winmm.dll");
  // Without a usable system directory nothing is loaded rather than a bare
  // name searched for everywhere.
  EXPECT_TRUE(RequestFor("winmm.dll", false, "").file.empty());
  EXPECT_TRUE(RequestFor("winmm.dll", false, "system32").file.empty());
}

TEST(SystemLibraries, NamesWithAPathAreNeverLoaded) {
  for (bool flags : {true, false}) {
    for (const char* name : {"", ".", "..", "..\\winmm.dll", "sub/winmm.dll", "C:winmm.dll", "\\\\server\\x.dll"}) {
      EXPECT_TRUE(RequestFor(name, flags, "C:\\Windows\\system32").file.empty()) << name;
    }
  }
}

}  // namespace
}  // namespace fw::library
