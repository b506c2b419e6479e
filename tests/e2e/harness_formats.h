// Picture files of every format the program writes, read back without the
// program's code: the format a file's bytes hold, whether the file is
// whole, and its pixels decoded by ImageMagick on the Linux side.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// The format a name asks for, as the program's documentation gives it:
// "PNG" (.png), "JPEG" (.jpg .jpeg .jpe .jfif), "GIF" (.gif), "TIFF" (.tif
// .tiff), in any case; "BMP" for every other name.
std::string FormatNamed(const std::string& name);

// The format the bytes begin with, by its signature ("BMP", "PNG", "JPEG",
// "GIF", "TIFF"), or "".
std::string FormatOfBytes(const std::string& bytes);

// Why the bytes are not one whole file of that format ("" when they are):
// a PNG's chunks follow each other with good checksums up to IEND at the
// very end; a JPEG runs from its start marker to the end marker; a GIF
// ends with its trailer; a TIFF's first directory lies within the file; a
// BMP as BmpProblem.
std::string WholeFileProblem(const std::string& format, const std::string& bytes);

// A file is done once it holds the format its name asks for (a file takes
// its name only when whole).
bool SavedAs(const std::string& path);

// A picture file decoded by ImageMagick (identify, convert).
struct Decoded {
  std::string format;  // ImageMagick's name: "PNG", "JPEG", "GIF", "TIFF", "BMP", ... ("" when not decoded)
  Image image;
};
Decoded DecodeFile(const std::string& path);

// What ImageMagick's identify makes of each file of `dir` named: its
// format and size as "PNG 320x240" (missing when it could not read it).
// One run for all of them.
std::map<std::string, std::string> IdentifyAll(const std::string& dir, const std::vector<std::string>& names);

// The largest difference of one colour channel between the images within
// `part`'s size at the top left of `whole`; -1 when `whole` is smaller.
int LargestChannelDifference(const Image& whole, const Image& part);

// Inside the 16 x 16 blocks of a PatternStyle::Blocks pattern, away from
// their edges (2 pixels), where a JPEG encoder's smoothing of colour
// across neighbouring blocks does not reach: the largest difference of a
// colour channel between `whole`'s top left and `part`; -1 when `whole` is
// smaller.
int LargestDifferenceInsideBlocks(const Image& whole, const Image& part);

// A JPEG's width and height from its frame header; false when there is none.
bool JpegSize(const std::string& bytes, int& width, int& height);

// The Options dialog's extension box set to `extension` (Options opened
// and left open; the captures read the box as it is).
bool SetAutoSaveExtension(App& app, const std::string& extension);

}  // namespace e2e
