// What the window needs for its first paint is all that start-up loads:
// OLE's pictures (oleaut32) come with the first picture object, and the
// sample photograph shows without them, pixel for pixel the program's own.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "flows.h"
#include "harness.h"
#include "resource_ids.h"

namespace e2e {
namespace {

// The lower-case names of the libraries the process has loaded.
std::vector<std::string> LoadedLibraries(HANDLE process) {
  std::vector<HMODULE> mods(512);
  DWORD need = 0;
  std::vector<std::string> names;
  if (!::EnumProcessModulesEx(process, mods.data(), static_cast<DWORD>(mods.size() * sizeof(HMODULE)), &need,
                              LIST_MODULES_ALL)) {
    return names;
  }
  mods.resize(std::min<std::size_t>(mods.size(), need / sizeof(HMODULE)));
  for (HMODULE m : mods) {
    char name[MAX_PATH] = {};
    if (!::GetModuleBaseNameA(process, m, name, sizeof name)) continue;
    std::string n(name);
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    names.push_back(n);
  }
  return names;
}

bool Has(const std::vector<std::string>& names, const char* name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The sample photograph as the program's executable holds it.
Image ResourcePhoto(const std::string& exe) {
  HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return Image{};
  HBITMAP bmp = static_cast<HBITMAP>(
      ::LoadImageA(module, MAKEINTRESOURCEA(IDR_SAMPLE_PHOTO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  Image img = bmp ? ImageFromBitmap(bmp) : Image{};
  if (bmp) ::DeleteObject(bmp);
  ::FreeLibrary(module);
  return img;
}

TEST(LazyStart, ThePhotographShowsWithoutOleWhichTheFirstCaptureBrings) {
  App app;
  ASSERT_TRUE(app.started());
  Image expected = ResourcePhoto(app.dir() + "\\Framewick.exe");
  ASSERT_EQ(expected.width, 350);
  ASSERT_EQ(expected.height, 290);
  HWND image = app.image1();
  ASSERT_NE(image, nullptr);
  Image shown;
  EXPECT_TRUE(WaitUntil(
      [&] {
        shown = GrabScreen(ScreenRect(image));
        return CountDifferences(shown, expected) == 0;
      },
      3000))
      << CountDifferences(shown, expected) << " pixels of the photograph differ";
  ASSERT_TRUE(app.Sync());
  std::vector<std::string> idle = LoadedLibraries(app.process());
  ASSERT_TRUE(Has(idle, "user32.dll")) << "the program's libraries cannot be listed";
  // The picture objects' library (ole32 itself may come with the system's
  // own window services: Wine's display driver loads it in every program).
  EXPECT_FALSE(Has(idle, "oleaut32.dll")) << "OLE pictures were loaded before anything needed them";

  // The first capture makes a picture object: OLE comes then, and works.
  PatternWindow pattern(0, 0, 160, 120, 7);
  ASSERT_TRUE(CaptureScreenWithPattern(app, pattern));
  std::vector<std::string> after = LoadedLibraries(app.process());
  EXPECT_TRUE(Has(after, "oleaut32.dll"));
  // Command13 gives Image1 that picture object in place of the photograph.
  app.Click("Command13");
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT r = ScreenRect(image);
        return r.right - r.left == ::GetSystemMetrics(SM_CXSCREEN);
      },
      3000));
}

}  // namespace
}  // namespace e2e
