#include "harness_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "registry_override.h"

namespace e2e {
namespace {

std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

// The "%XX" escapes of a "mailto:" address as the bytes they stand for.
std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

void PostHotkey(App& app, int id) {
  ::PostMessageA(app.main(), WM_HOTKEY, static_cast<WPARAM>(id),
                 MAKELPARAM(MOD_CONTROL, static_cast<WORD>(VK_F10 + id)));
}

std::string BmpProblem(const std::string& bytes) {
  const std::size_t size = bytes.size();
  if (size == 0) return "an empty file";
  if (size < 54 || bytes.compare(0, 2, "BM") != 0) return "no bitmap header in " + std::to_string(size) + " bytes";
  if (Le32(bytes, 2) != size) {
    return "the header gives " + std::to_string(Le32(bytes, 2)) + " bytes, the file has " + std::to_string(size);
  }
  std::uint32_t offBits = Le32(bytes, 10), headerSize = Le32(bytes, 14);
  auto width = static_cast<std::int32_t>(Le32(bytes, 18));
  auto height = static_cast<std::int32_t>(Le32(bytes, 22));
  std::uint16_t bpp = Le16(bytes, 28);
  if (headerSize < 40 || 14u + headerSize > offBits) return "a header of " + std::to_string(headerSize) + " bytes";
  if (width <= 0 || height == 0) return "a bitmap of " + std::to_string(width) + "x" + std::to_string(height);
  std::uint64_t row = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
  std::uint64_t pixels = row * static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(height)));
  if (offBits + pixels != size) {
    return "the pixels end at " + std::to_string(offBits + pixels) + " in a file of " + std::to_string(size);
  }
  return "";
}

std::vector<std::string> SnapFiles(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& name : ListDir(dir))
    if (name.rfind("snap", 0) == 0) out.push_back(name);
  return out;
}

bool IsProgramTempName(const std::string& name) {
  if (name.size() != 3 + 16 + 4 || name.rfind("~fw", 0) != 0 || name.compare(19, 4, ".tmp") != 0) return false;
  return std::all_of(name.begin() + 3, name.begin() + 19,
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::vector<std::string> ProgramTempFiles(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& name : ListDir(dir)) {
    DWORD attr = ::GetFileAttributesA((dir + "\\" + name).c_str());
    if (IsProgramTempName(name) && attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
      out.push_back(name);
    }
  }
  return out;
}

HeldFile::HeldFile(const std::string& path, const std::string& bytes) {
  handle_ = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return;
  DWORD put = 0;
  ::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
}

HeldFile::~HeldFile() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
}

ClipboardHolder::ClipboardHolder() {
  static int count = 0;
  eventName_ = "FwClipboardRelease-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++count);
  event_ = ::CreateEventA(nullptr, TRUE, FALSE, eventName_.c_str());
  DWORD pid = 0;
  process_ = StartProcess(BinDir() + "\\clipboard_holder.exe", eventName_, "", &pid);
  if (!event_ || !process_) return;
  // Its window's title says when it has the clipboard open.
  holding_ = WaitUntil(
      [&] {
        HWND open = ::GetOpenClipboardWindow();
        DWORD owner = 0;
        if (open) ::GetWindowThreadProcessId(open, &owner);
        return owner == pid && Text(open) == "clipboard holder: open";
      },
      10000);
}

ClipboardHolder::~ClipboardHolder() {
  Release();
  if (event_) ::CloseHandle(event_);
}

bool ClipboardHolder::Release() {
  if (event_) ::SetEvent(event_);
  // The process handle belongs to the harness, which ends it with the test.
  bool ended = process_ && ::WaitForSingleObject(process_, 10000) == WAIT_OBJECT_0;
  holding_ = false;
  return ended;
}

std::string MailedPath(App& app) {
  std::string log = app.dir() + "\\mail.log";
  std::string exe = app.dir() + "\\mail_standin.exe";
  if (!::CopyFileA((BinDir() + "\\mail_standin.exe").c_str(), exe.c_str(), FALSE)) return "";
  ::DeleteFileA(log.c_str());
  RegistryOverride handler(HKEY_LOCAL_MACHINE, "Software\\Classes\\mailto\\shell\\open\\command", "");
  // The log by its name alone, beside the stand-in (see mail_standin.cpp).
  if (!handler.SetString("\"" + exe + "\" mail.log subject \"%1\"")) return "";
  app.Click("Mail");
  const std::string start = "url mailto:?subject=", end = "&body=";
  std::string path;
  // The hand-off ends with the keys that clear the message's body.
  WaitUntil(
      [&] {
        for (const auto& line : Lines(ReadFileBytes(log))) {
          if (line.rfind(start, 0) == 0 && line.size() >= start.size() + end.size() &&
              line.compare(line.size() - end.size(), end.size(), end) == 0) {
            path = PercentDecoded(line.substr(start.size(), line.size() - start.size() - end.size()));
          }
          if (line == "key Delete") return true;
        }
        return false;
      },
      20000, 50);
  for (HWND h = ::FindWindowA("FwMailStandIn", nullptr); h; h = ::FindWindowA("FwMailStandIn", nullptr)) {
    ::PostMessageA(h, WM_CLOSE, 0, 0);
    if (!WaitUntil([&] { return !::IsWindow(h); }, 5000)) break;
  }
  return path;
}

}  // namespace e2e
