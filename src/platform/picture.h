// The picture object: an OLE picture (IPictureDisp) shared by reference, as
// the picture area, Image1, the clipboard, saving and printing use it.
//
// A Picture is either "nothing" (no object at all), an empty picture object
// (type none), or an object holding a bitmap (with an optional palette), a
// metafile, an enhanced metafile or an icon. Objects made here own their
// handles: OLE deletes them when the last reference goes.
#pragma once

#include <windows.h>
#include <olectl.h>

#include "platform/com.h"
#include "platform/handles.h"

namespace fw {

enum class PictureType : short {
  Uninitialized = -1,  // not an OLE type: no object at all
  None = 0,            // an empty picture object
  Bitmap = 1,
  Metafile = 2,
  Icon = 3,
  EnhMetafile = 4,
};

class Picture {
 public:
  Picture() noexcept = default;  // no picture object

  // Wraps an existing picture reference (shared, not copied).
  static Picture FromDisp(ComPtr<IPictureDisp> disp) noexcept;
  // An empty picture object (type none).
  static Picture Empty() noexcept;
  // The factories below take ownership of the handle on success and on
  // failure alike (a failure deletes it and returns no object).
  static Picture FromBitmap(UniqueBitmap bitmap, UniquePalette palette) noexcept;
  static Picture FromEnhMetafile(UniqueEnhMetafile emf) noexcept;
  // A Windows metafile with its extent in HIMETRIC.
  static Picture FromMetafile(UniqueMetafile wmf, long widthHimetric, long heightHimetric) noexcept;
  static Picture FromIcon(UniqueIcon icon) noexcept;
  // A picture file (JPEG, BMP, GIF, ...) stored as an RCDATA resource.
  static Picture FromResource(int id) noexcept;

  // True when there is a picture object (empty or not).
  bool IsObject() const noexcept { return static_cast<bool>(disp_); }
  // True when there is an object that holds an image.
  bool HasImage() const noexcept;
  PictureType Type() const noexcept;

  // The picture's handle (HBITMAP, HMETAFILE, HENHMETAFILE or HICON); the
  // picture keeps owning it.
  HANDLE Handle() const noexcept;
  HPALETTE Palette() const noexcept;
  // The metafile extent as OLE stores it (HIMETRIC); 0 on failure.
  bool SizeHimetric(long& width, long& height) const noexcept;
  // Natural size in screen pixels; 0 × 0 without an image.
  SIZE SizePixels() const noexcept;

  // Draws the picture at its natural size with its top-left corner at x, y.
  void Draw(HDC dc, int x, int y) const noexcept;
  // Draws the whole picture stretched into the rectangle (used by printing):
  // a bitmap as device-independent colours read through its palette, so any
  // device takes it; a metafile played into the rectangle.
  bool DrawStretched(HDC dc, int x, int y, int cx, int cy) const noexcept;

  IPictureDisp* Disp() const noexcept { return disp_.get(); }
  ComPtr<IPicture> Ole() const noexcept;

  bool SameObject(const Picture& o) const noexcept { return disp_.get() == o.disp_.get(); }

 private:
  explicit Picture(ComPtr<IPictureDisp> d) noexcept : disp_(std::move(d)) {}

  ComPtr<IPictureDisp> disp_;
};

}  // namespace fw
