#include "harness_formats.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "harness_files.h"
#include "options_access.h"

namespace e2e {
namespace {

std::uint32_t Be32(const std::string& s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3]));
}

std::uint32_t Tiff32(const std::string& s, std::size_t at, bool little) {
  if (!little) return Be32(s, at);
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at])) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}

// CRC-32 as the PNG standard (ISO/IEC 15948, annex D) gives it.
std::uint32_t Crc32(const std::string& bytes, std::size_t from, std::size_t count) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < from + count; ++i) {
    crc ^= static_cast<std::uint8_t>(bytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

std::string PngProblem(const std::string& bytes) {
  static const std::string signature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.compare(0, 8, signature) != 0) return "no PNG signature";
  std::size_t at = 8;
  bool first = true;
  while (at + 12 <= bytes.size()) {
    std::uint32_t length = Be32(bytes, at);
    std::string type = bytes.substr(at + 4, 4);
    if (first && type != "IHDR") return "the first chunk is " + type + ", not IHDR";
    first = false;
    if (length > bytes.size() - at - 12) return "chunk " + type + " runs past the end of the file";
    if (Crc32(bytes, at + 4, 4 + length) != Be32(bytes, at + 8 + length)) return "chunk " + type + " has a bad CRC";
    at += 12 + length;
    if (type == "IEND") {
      return at == bytes.size() ? "" : std::to_string(bytes.size() - at) + " bytes after IEND";
    }
  }
  return "no IEND chunk: the file stops after " + std::to_string(bytes.size()) + " bytes";
}

std::string JpegProblem(const std::string& bytes) {
  if (bytes.size() < 4 || static_cast<std::uint8_t>(bytes[0]) != 0xFF || static_cast<std::uint8_t>(bytes[1]) != 0xD8) {
    return "no JPEG start marker";
  }
  std::size_t n = bytes.size();
  if (static_cast<std::uint8_t>(bytes[n - 2]) != 0xFF || static_cast<std::uint8_t>(bytes[n - 1]) != 0xD9) {
    return "no JPEG end marker: the file stops after " + std::to_string(n) + " bytes";
  }
  return "";
}

std::string GifProblem(const std::string& bytes) {
  if (bytes.compare(0, 6, "GIF89a") != 0 && bytes.compare(0, 6, "GIF87a") != 0) return "no GIF signature";
  if (bytes.size() < 14 || bytes.back() != ';') return "no GIF trailer";
  return "";
}

std::string TiffProblem(const std::string& bytes) {
  if (bytes.size() < 8) return "no TIFF header";
  bool little = bytes.compare(0, 4, std::string("II*\0", 4)) == 0;
  if (!little && bytes.compare(0, 4, std::string("MM\0*", 4)) != 0) return "no TIFF header";
  std::uint32_t ifd = Tiff32(bytes, 4, little);
  if (ifd < 8 || ifd + 2 > bytes.size()) return "the first directory lies outside the file";
  return "";
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// A word for the shell, quoted.
std::string Shell(const std::string& s) {
  std::string quoted(1, '\'');
  quoted += s;
  quoted += '\'';
  return quoted;
}

}  // namespace

std::string FormatNamed(const std::string& name) {
  std::size_t slash = name.find_last_of("\\/");
  std::string last = Lower(slash == std::string::npos ? name : name.substr(slash + 1));
  std::size_t dot = last.rfind('.');
  std::string ext = dot == std::string::npos ? "" : last.substr(dot);
  if (ext == ".png") return "PNG";
  if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif") return "JPEG";
  if (ext == ".gif") return "GIF";
  if (ext == ".tif" || ext == ".tiff") return "TIFF";
  return "BMP";
}

std::string FormatOfBytes(const std::string& bytes) {
  if (bytes.compare(0, 2, "BM") == 0) return "BMP";
  if (bytes.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) == 0) return "PNG";
  if (bytes.compare(0, 3, "\xFF\xD8\xFF") == 0) return "JPEG";
  if (bytes.compare(0, 4, "GIF8") == 0) return "GIF";
  if (bytes.compare(0, 4, std::string("II*\0", 4)) == 0 || bytes.compare(0, 4, std::string("MM\0*", 4)) == 0) {
    return "TIFF";
  }
  return "";
}

std::string WholeFileProblem(const std::string& format, const std::string& bytes) {
  if (bytes.empty()) return "an empty file";
  if (format == "PNG") return PngProblem(bytes);
  if (format == "JPEG") return JpegProblem(bytes);
  if (format == "GIF") return GifProblem(bytes);
  if (format == "TIFF") return TiffProblem(bytes);
  return BmpProblem(bytes);
}

bool SavedAs(const std::string& path) {
  HANDLE f = ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char head[8] = {};
  DWORD got = 0;
  bool read = ::ReadFile(f, head, sizeof head, &got, nullptr) != FALSE;
  ::CloseHandle(f);
  return read && FormatOfBytes(std::string(head, got)) == FormatNamed(path);
}

Decoded DecodeFile(const std::string& path) {
  static int counter = 0;
  std::string base =
      WorkRoot() + "\\decoded-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
  std::string info = base + ".txt", raw = base + ".rgb";
  ::DeleteFileA(info.c_str());
  ::DeleteFileA(raw.c_str());
  // [0]: the first picture of the file, the only one the program writes.
  std::string in = Shell(UnixPath(path) + "[0]");
  Decoded out;
  if (!RunUnix("identify -format '%m %w %h' " + in + " > " + Shell(UnixPath(info)) + " 2>/dev/null; convert " + in +
                   " -depth 8 rgb:" + Shell(UnixPath(raw)) + " 2>/dev/null",
               60000)) {
    return out;
  }
  std::istringstream fields(ReadFileBytes(info));
  std::string format;
  int width = 0, height = 0;
  fields >> format >> width >> height;
  std::string rgb = ReadFileBytes(raw);
  ::DeleteFileA(info.c_str());
  ::DeleteFileA(raw.c_str());
  if (format.empty() || width <= 0 || height <= 0 || rgb.size() != static_cast<std::size_t>(width) * height * 3) {
    return out;
  }
  out.format = format;
  out.image.width = width;
  out.image.height = height;
  out.image.px.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < out.image.px.size(); ++i) {
    out.image.px[i] = static_cast<std::uint32_t>(static_cast<std::uint8_t>(rgb[3 * i])) << 16 |
                      static_cast<std::uint32_t>(static_cast<std::uint8_t>(rgb[3 * i + 1])) << 8 |
                      static_cast<std::uint8_t>(rgb[3 * i + 2]);
  }
  return out;
}

std::map<std::string, std::string> IdentifyAll(const std::string& dir, const std::vector<std::string>& names) {
  std::map<std::string, std::string> out;
  if (names.empty()) return out;
  std::string list = WorkRoot() + "\\identified-" + std::to_string(::GetCurrentProcessId()) + ".txt";
  ::DeleteFileA(list.c_str());
  // The file's name, then its format and size, one line each ([0]: its
  // first picture).
  std::string command = "cd ";
  command += Shell(UnixPath(dir));
  command += " && identify -format '%f %m %wx%h\\n'";
  for (const auto& name : names) {
    command += ' ';
    command += Shell(name + "[0]");
  }
  if (!RunUnix(command + " > " + Shell(UnixPath(list)) + " 2>/dev/null", 300000)) return out;
  std::istringstream lines(ReadFileBytes(list));
  ::DeleteFileA(list.c_str());
  std::string name, format, size;
  while (lines >> name >> format >> size) out[name] = format + " " + size;
  return out;
}

int LargestChannelDifference(const Image& whole, const Image& part) {
  if (whole.width < part.width || whole.height < part.height) return -1;
  int worst = 0;
  for (int y = 0; y < part.height; ++y) {
    for (int x = 0; x < part.width; ++x) {
      std::uint32_t a = whole.at(x, y), b = part.at(x, y);
      for (int shift : {0, 8, 16}) {
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
      }
    }
  }
  return worst;
}

int LargestDifferenceInsideBlocks(const Image& whole, const Image& part) {
  if (whole.width < part.width || whole.height < part.height) return -1;
  int worst = 0;
  for (int y = 0; y < part.height; ++y) {
    for (int x = 0; x < part.width; ++x) {
      if (x % 16 < 2 || x % 16 >= 14 || y % 16 < 2 || y % 16 >= 14) continue;
      std::uint32_t a = whole.at(x, y), b = part.at(x, y);
      for (int shift : {0, 8, 16}) {
        worst =
            std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
      }
    }
  }
  return worst;
}

bool JpegSize(const std::string& bytes, int& width, int& height) {
  if (FormatOfBytes(bytes) != "JPEG") return false;
  std::size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (static_cast<std::uint8_t>(bytes[at]) != 0xFF) return false;
    std::uint8_t marker = static_cast<std::uint8_t>(bytes[at + 1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    std::size_t length = static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[at + 2])) << 8 |
                         static_cast<std::uint8_t>(bytes[at + 3]);
    // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC): precision,
    // height, width.
    bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && at + 9 <= bytes.size()) {
      height =
          static_cast<int>(static_cast<std::uint8_t>(bytes[at + 5])) << 8 | static_cast<std::uint8_t>(bytes[at + 6]);
      width =
          static_cast<int>(static_cast<std::uint8_t>(bytes[at + 7])) << 8 | static_cast<std::uint8_t>(bytes[at + 8]);
      return true;
    }
    if (marker == 0xDA || length < 2) return false;  // the scan begins before any frame header
    at += 2 + length;
  }
  return false;
}

bool SetAutoSaveExtension(App& app, const std::string& extension) {
  OptionsControls c(OpenOptions(app));
  if (!c.complete()) return false;
  ::SendMessageTimeoutA(c.combo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(extension.c_str()), SMTO_ABORTIFHUNG, 3000,
                        nullptr);
  return WaitUntil([&] { return c.extension() == extension; }, 3000);
}

}  // namespace e2e
