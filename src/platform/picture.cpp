#include "platform/picture.h"

#include <ocidl.h>

#include <cstring>
#include <vector>

#include "platform/dib.h"
#include "platform/ole.h"
#include "platform/screen.h"

namespace fw {
namespace {

// OLE hands handles out as 32-bit values; GDI and USER handles are defined
// to fit and are sign-extended on 64-bit Windows.
HANDLE FromOleHandle(OLE_HANDLE h) noexcept {
  return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(static_cast<LONG>(h)));
}

SIZE BitmapSize(HBITMAP bmp) noexcept {
  BITMAP bm{};
  if (bmp && ::GetObjectA(bmp, sizeof bm, &bm) == sizeof bm) return SIZE{bm.bmWidth, bm.bmHeight};
  return SIZE{0, 0};
}

SIZE IconSize(HICON icon) noexcept {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return SIZE{0, 0};
  UniqueBitmap colour(info.hbmColor);
  UniqueBitmap mask(info.hbmMask);
  if (colour) return BitmapSize(colour.get());
  SIZE s = BitmapSize(mask.get());
  s.cy /= 2;  // a monochrome icon's mask holds the AND and XOR halves
  return s;
}

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PICTDESC) == 20, "the picture description is 20 bytes on 32-bit Windows");
#endif

PICTDESC Describe(UINT type) noexcept {
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = type;
  return desc;
}

// The one way a picture object is made from handles: the object is asked
// for as IDispatch, owning the handles (TRUE), and used through its picture
// interface. Once it exists it owns them; if it cannot be made, the owners
// still hold them and delete them.
template <typename... Owners>
Picture Adopt(PICTDESC& desc, Owners&... owners) noexcept {
  ComPtr<IDispatch> object;
  if (FAILED(ole::CreatePictureIndirect(&desc, IID_IDispatch, TRUE, object.put_void())) || !object) return Picture();
  (owners.release(), ...);
  return Picture::FromDisp(object.As<IPictureDisp>(IID_IPictureDisp));
}

// Draws a bitmap stretched into a rectangle on any device: the bitmap
// belongs to the screen, and a printer cannot take a screen bitmap, so its
// colours (through its palette) are read out device-independently and
// those are stretched onto the target.
bool StretchBitmap(HDC dc, const RECT& to, HBITMAP bmp, HPALETTE palette) noexcept {
  SIZE s = BitmapSize(bmp);
  if (s.cx <= 0 || s.cy <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader = DibInfoHeader(s.cx, s.cy, 24);  // bottom-up
  const std::size_t stride = (static_cast<std::size_t>(s.cx) * 3 + 3) & ~static_cast<std::size_t>(3);
  std::vector<unsigned char> bits;
  try {
    bits.resize(stride * static_cast<std::size_t>(s.cy));
  } catch (...) {
    return false;
  }
  {
    WindowDC screen(nullptr, WindowDC::Area::Client);
    if (!screen) return false;
    PaletteGuard screenPal(screen.get(), palette);
    if (::GetDIBits(screen.get(), bmp, 0, static_cast<UINT>(s.cy), bits.data(), &info, DIB_RGB_COLORS) != s.cy) {
      return false;
    }
  }
  int oldMode = ::SetStretchBltMode(dc, HALFTONE);
  ::SetBrushOrgEx(dc, 0, 0, nullptr);
  int lines = ::StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, 0, 0, s.cx, s.cy,
                              bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  ::SetStretchBltMode(dc, oldMode);
  return lines > 0 && lines != static_cast<int>(GDI_ERROR);
}

// Plays a Windows metafile into a rectangle.
bool PlayMetafileInto(HDC dc, const RECT& to, HMETAFILE wmf) noexcept {
  int saved = ::SaveDC(dc);
  ::SetMapMode(dc, MM_ANISOTROPIC);
  ::SetViewportOrgEx(dc, to.left, to.top, nullptr);
  ::SetViewportExtEx(dc, to.right - to.left, to.bottom - to.top, nullptr);
  BOOL ok = ::PlayMetaFile(dc, wmf);
  ::RestoreDC(dc, saved);
  return ok != FALSE;
}

}  // namespace

Picture Picture::FromDisp(ComPtr<IPictureDisp> disp) noexcept {
  return Picture(std::move(disp));
}

Picture Picture::Empty() noexcept {
  PICTDESC desc = Describe(PICTYPE_NONE);
  return Adopt(desc);
}

Picture Picture::FromBitmap(UniqueBitmap bitmap, UniquePalette palette) noexcept {
  if (!bitmap) return Picture();
  PICTDESC desc = Describe(PICTYPE_BITMAP);
  desc.bmp.hbitmap = bitmap.get();
  desc.bmp.hpal = palette.get();
  return Adopt(desc, bitmap, palette);
}

Picture Picture::FromEnhMetafile(UniqueEnhMetafile emf) noexcept {
  if (!emf) return Picture();
  PICTDESC desc = Describe(PICTYPE_ENHMETAFILE);
  desc.emf.hemf = emf.get();
  return Adopt(desc, emf);
}

Picture Picture::FromMetafile(UniqueMetafile wmf, long widthHimetric, long heightHimetric) noexcept {
  if (!wmf) return Picture();
  PICTDESC desc = Describe(PICTYPE_METAFILE);
  desc.wmf.hmeta = wmf.get();
  desc.wmf.xExt = widthHimetric;
  desc.wmf.yExt = heightHimetric;
  return Adopt(desc, wmf);
}

Picture Picture::FromIcon(UniqueIcon icon) noexcept {
  if (!icon) return Picture();
  PICTDESC desc = Describe(PICTYPE_ICON);
  desc.icon.hicon = icon.get();
  return Adopt(desc, icon);
}

// A picture (JPEG, BMP, ...) stored in the program's resources.
Picture Picture::FromResource(int id) noexcept {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!res) return Picture();
  DWORD size = ::SizeofResource(module, res);
  HGLOBAL loaded = ::LoadResource(module, res);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || size == 0) return Picture();
  UniqueGlobal copy(::GlobalAlloc(GMEM_MOVEABLE, size));
  {
    GlobalLock<void> lock(copy.get());
    if (!lock.get()) return Picture();
    std::memcpy(lock.get(), data, size);
  }
  ComPtr<IStream> stream;
  if (FAILED(ole::CreateStreamOnGlobal(copy.get(), TRUE, stream.put()))) return Picture();
  copy.release();  // the stream frees it
  ComPtr<IPictureDisp> disp;
  if (FAILED(ole::LoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPictureDisp, disp.put_void()))) {
    return Picture();
  }
  return Picture::FromDisp(std::move(disp));
}

ComPtr<IPicture> Picture::Ole() const noexcept {
  return disp_.As<IPicture>(IID_IPicture);
}

PictureType Picture::Type() const noexcept {
  if (!disp_) return PictureType::Uninitialized;
  ComPtr<IPicture> pic = Ole();
  SHORT type = PICTYPE_NONE;
  if (!pic || FAILED(pic->get_Type(&type))) return PictureType::None;
  switch (type) {
    case PICTYPE_BITMAP: return PictureType::Bitmap;
    case PICTYPE_METAFILE: return PictureType::Metafile;
    case PICTYPE_ICON: return PictureType::Icon;
    case PICTYPE_ENHMETAFILE: return PictureType::EnhMetafile;
    default: return PictureType::None;
  }
}

bool Picture::HasImage() const noexcept {
  PictureType t = Type();
  return t != PictureType::Uninitialized && t != PictureType::None && Handle() != nullptr;
}

HANDLE Picture::Handle() const noexcept {
  ComPtr<IPicture> pic = Ole();
  OLE_HANDLE h = 0;
  if (!pic || FAILED(pic->get_Handle(&h))) return nullptr;
  return FromOleHandle(h);
}

HPALETTE Picture::Palette() const noexcept {
  ComPtr<IPicture> pic = Ole();
  OLE_HANDLE h = 0;
  if (!pic || FAILED(pic->get_hPal(&h))) return nullptr;
  return static_cast<HPALETTE>(FromOleHandle(h));
}

bool Picture::SizeHimetric(long& width, long& height) const noexcept {
  width = height = 0;
  if (Type() == PictureType::EnhMetafile) {
    // The metafile's own frame, which every OLE implementation agrees on.
    ENHMETAHEADER header{};
    if (!::GetEnhMetaFileHeader(static_cast<HENHMETAFILE>(Handle()), sizeof header, &header)) return false;
    width = header.rclFrame.right - header.rclFrame.left;
    height = header.rclFrame.bottom - header.rclFrame.top;
    return width > 0 && height > 0;
  }
  ComPtr<IPicture> pic = Ole();
  if (!pic) return false;
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (FAILED(pic->get_Width(&w)) || FAILED(pic->get_Height(&h))) return false;
  width = w;
  height = h;
  return true;
}

SIZE Picture::SizePixels() const noexcept {
  switch (Type()) {
    case PictureType::Bitmap: return BitmapSize(static_cast<HBITMAP>(Handle()));
    case PictureType::Icon: return IconSize(static_cast<HICON>(Handle()));
    case PictureType::Metafile:
    case PictureType::EnhMetafile: {
      long w = 0, h = 0;
      if (!SizeHimetric(w, h)) return SIZE{0, 0};
      return SIZE{::MulDiv(w, ScreenDpiX(), 2540), ::MulDiv(h, ScreenDpiY(), 2540)};
    }
    default: return SIZE{0, 0};
  }
}

void Picture::Draw(HDC dc, int x, int y) const noexcept {
  SIZE s = SizePixels();
  if (s.cx <= 0 || s.cy <= 0) return;
  if (Type() == PictureType::Bitmap) {
    // A bitmap is copied as it is, pixel for pixel.
    HBITMAP bmp = static_cast<HBITMAP>(Handle());
    UniqueMemDC mem(::CreateCompatibleDC(dc));
    if (!mem) return;
    HPALETTE pal = Palette();
    PaletteGuard destPal(dc, pal);
    PaletteGuard memPal(mem.get(), pal);
    SelectGuard sel(mem.get(), bmp);
    ::BitBlt(dc, x, y, s.cx, s.cy, mem.get(), 0, 0, SRCCOPY);
    return;
  }
  DrawStretched(dc, x, y, s.cx, s.cy);
}

bool Picture::DrawStretched(HDC dc, int x, int y, int cx, int cy) const noexcept {
  RECT to{x, y, x + cx, y + cy};
  switch (Type()) {
    case PictureType::Bitmap: return StretchBitmap(dc, to, static_cast<HBITMAP>(Handle()), Palette());
    case PictureType::EnhMetafile: return ::PlayEnhMetaFile(dc, static_cast<HENHMETAFILE>(Handle()), &to) != FALSE;
    case PictureType::Metafile: return PlayMetafileInto(dc, to, static_cast<HMETAFILE>(Handle()));
    case PictureType::Icon:
      return ::DrawIconEx(dc, x, y, static_cast<HICON>(Handle()), cx, cy, 0, nullptr, DI_NORMAL) != FALSE;
    default: return false;
  }
}

}  // namespace fw
