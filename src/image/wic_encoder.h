// The system's image encoders (the Windows Imaging Component,
// windowscodecs.dll, loaded from the system directory on first use):
// one picture written as a PNG, JPEG, GIF or TIFF file into a NewFile, a
// band of rows at a time. The encoder writes through a stream of the
// program's own over the NewFile, so its bytes go only to the temporary
// file, which the caller then finishes and names.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/image_file_rules.h"
#include "platform/safe_file.h"

namespace fw::wic {

enum class Pixels {
  Bgr24,     // blue, green, red; rows padded to four bytes
  Indexed8,  // one palette index a byte, with the palette given
};

class FrameEncoder {
 public:
  // Begins a file of the format (not Own) for a picture `width` × `height`
  // in `file`, the encoder given `options` (see EncoderOptionsFor) and, for
  // Indexed8, `palette` (0x00RRGGBB, at most 256 colours).
  FrameEncoder(NewFile& file, imagefile::FileFormat format, int width, int height, Pixels pixels,
               const std::vector<std::uint32_t>& palette, const std::vector<imagefile::EncoderOption>& options);
  ~FrameEncoder();
  FrameEncoder(const FrameEncoder&) = delete;
  FrameEncoder& operator=(const FrameEncoder&) = delete;

  // False once anything has failed.
  bool ok() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }
  // Why it failed, in words for the user (empty while ok).
  const std::string& reason() const { return reason_; }

  // The next `rows` rows from the top down, `stride` bytes apart.
  bool WriteRows(const std::uint8_t* rows, int count, std::uint32_t stride);
  // Ends the picture and the file's encoding: all its bytes are in the
  // NewFile then (not yet flushed).
  bool Commit();

 private:
  bool Start(NewFile& file, imagefile::FileFormat format, int width, int height, Pixels pixels,
             const std::vector<std::uint32_t>& palette, const std::vector<imagefile::EncoderOption>& options);
  bool Fail(HRESULT hr, std::string reason);
  struct State;
  std::unique_ptr<State> state_;
  std::string name_;  // the format's, for messages
  HRESULT result_ = S_OK;
  std::string reason_;
  int height_ = 0;
  int written_ = 0;
};

}  // namespace fw::wic
