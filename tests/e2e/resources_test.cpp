// The program's GDI and USER objects and memory stay flat over many
// captures (run in one process through the program's own handlers).
#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace e2e {
namespace {

TEST(Resources, AThousandCapturesLeakNoGdiOrUserObjects) {
  SetTestTimeLimit(660);
  std::string out;
  int rc = RunAndCollect(BinDir() + "\\capture_soak.exe", "1000", 600000, out);
  // The figures go into the test's log.
  std::printf("%s", out.c_str());
  EXPECT_EQ(rc, 0) << "GDI or USER objects or memory grew (or the run did not finish)";
  EXPECT_NE(out.find("result"), std::string::npos);
  EXPECT_NE(out.find(": flat"), std::string::npos);
  EXPECT_EQ(out.find("gdi=    0"), std::string::npos) << "the GDI count does not work here";
}

}  // namespace
}  // namespace e2e
