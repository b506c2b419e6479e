// Saving a picture under the next free automatic name in a directory:
// snap<N><extension>, N the first number at or after the counter that no
// name in the directory holds. The name appears only once its file is
// whole, and no existing file is ever replaced.
#pragma once

#include <cstdint>
#include <string>

#include "platform/picture.h"

namespace fw {

struct NumberedSave {
  bool ok = false;
  std::int64_t number = 0;  // the number the file was saved under
  std::string path;         // the file written, or on failure the name it was meant to have
  std::string reason;       // why it failed, in words for the user
};

// The finished file takes the counter's name when it is free; otherwise one
// directory search finds the next free number. The file takes its name
// without replacing anything, and when another program has taken that name
// meanwhile, the next free one.
NumberedSave SaveUnderNextNumber(const Picture& picture, const std::string& directory, const std::string& extension,
                                 std::int64_t counter);

}  // namespace fw
