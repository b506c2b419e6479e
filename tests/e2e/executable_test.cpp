// The built program file itself: the flags in its headers and the manifest
// that decide how Windows runs it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

// The program's manifest (resource 1 of type RT_MANIFEST), read from the
// file without running it.
std::string ProgramManifest() {
  std::string path = BinDir() + "\\Framewick.exe";
  HMODULE image = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!image) return {};
  std::string text;
  if (HRSRC found = ::FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {  // RT_MANIFEST
    HGLOBAL loaded = ::LoadResource(image, found);
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (bytes) text.assign(bytes, ::SizeofResource(image, found));
  }
  ::FreeLibrary(image);
  return text;
}

// An element of the manifest: where its start tag begins, the tag, and the
// text up to its end tag.
struct Element {
  std::size_t at = std::string::npos;
  std::string tag;
  std::string text;
  bool found() const { return at != std::string::npos; }
};

// The first element `name` (exactly that name, no prefix) from `from` on.
Element FindElement(const std::string& xml, const std::string& name, std::size_t from = 0) {
  Element e;
  for (std::size_t at = xml.find("<" + name, from); at != std::string::npos; at = xml.find("<" + name, at + 1)) {
    char next = at + 1 + name.size() < xml.size() ? xml[at + 1 + name.size()] : '\0';
    if (next != ' ' && next != '>' && next != '\t' && next != '\r' && next != '\n') continue;
    std::size_t tagEnd = xml.find('>', at);
    std::size_t close = xml.find("</" + name + ">", at);
    if (tagEnd == std::string::npos || close == std::string::npos || close < tagEnd) return e;
    e.at = at;
    e.tag = xml.substr(at, tagEnd - at);
    e.text = xml.substr(tagEnd + 1, close - tagEnd - 1);
    return e;
  }
  return e;
}

std::string AttributeOf(const std::string& tag, const std::string& name) {
  std::size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return {};
  at += name.size() + 3;
  std::size_t end = tag.find('"', at);
  return end == std::string::npos ? std::string() : tag.substr(at, end - at);
}

// The program is aware of each monitor's scaling: Windows 10 1607 and later
// read dpiAwareness (the 2016 namespace) and take the first value they know
// (Per Monitor v2 from 1703); older systems read dpiAware (2005), "true/pm".
// Without it Windows hands the program scaled-down sizes and coordinates on
// a scaled display, and the captures miss part of the screen.
TEST(Executable, ManifestDeclaresAwarenessOfEachMonitorsScaling) {
  std::string manifest = ProgramManifest();
  ASSERT_FALSE(manifest.empty()) << "no manifest resource";
  // windowsSettings inside the application element of the asm.v3 namespace.
  Element settings = FindElement(manifest, "windowsSettings");
  ASSERT_TRUE(settings.found()) << manifest;
  std::size_t applicationAt = manifest.rfind("<application", settings.at);
  ASSERT_NE(applicationAt, std::string::npos);
  Element application = FindElement(manifest, "application", applicationAt);
  EXPECT_EQ(AttributeOf(application.tag, "xmlns"), "urn:schemas-microsoft-com:asm.v3");

  Element awareness = FindElement(settings.text, "dpiAwareness");
  ASSERT_TRUE(awareness.found()) << settings.text;
  EXPECT_EQ(AttributeOf(awareness.tag, "xmlns"), "http://schemas.microsoft.com/SMI/2016/WindowsSettings");
  EXPECT_EQ(awareness.text, "PerMonitorV2, PerMonitor");
  Element aware = FindElement(settings.text, "dpiAware");
  ASSERT_TRUE(aware.found()) << settings.text;
  EXPECT_EQ(AttributeOf(aware.tag, "xmlns"), "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
  EXPECT_EQ(aware.text, "true/pm");
}

}  // namespace
}  // namespace e2e
