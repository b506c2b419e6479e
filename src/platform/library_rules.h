// Where a system library loaded on first use may come from. Plain C++.
//
// Only the system directory: never a library of the same name that happens
// to lie beside the program or in the current directory, where anyone who
// can write there could plant one. Systems that understand the search flag
// LOAD_LIBRARY_SEARCH_SYSTEM32 are given the bare name with that flag;
// older ones (Vista and 7 without their loader update) the full path in the
// system directory, which their loader takes as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw::library {

inline constexpr std::uint32_t kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

struct LoadRequest {
  std::string file;     // what LoadLibraryExA is given; empty: do not load
  std::uint32_t flags;  // its flags
};

// The request for `name` (a bare file name such as "winmm.dll").
// `searchFlagsKnown` tells whether the system understands the search flags
// (it has SetDefaultDllDirectories); `systemDir` is the system directory.
// A name with a path in it, or no system directory to put it in when one
// is needed, gives no request at all.
LoadRequest RequestFor(std::string_view name, bool searchFlagsKnown, std::string_view systemDir);

}  // namespace fw::library
