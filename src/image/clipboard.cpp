#include "image/clipboard.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "image/picture_format.h"
#include "platform/handles.h"

namespace fw {
namespace {

// A screen-compatible copy of the picture at its natural size, drawn as
// the picture area draws it (metafiles rendered on white).
UniqueBitmap RenderToBitmap(const Picture& picture) {
  SIZE s = picture.SizePixels();
  if (s.cx <= 0 || s.cy <= 0) return UniqueBitmap();
  WindowDC screen(nullptr, WindowDC::Area::Client);
  if (!screen) return UniqueBitmap();
  UniqueBitmap bmp(::CreateCompatibleBitmap(screen.get(), s.cx, s.cy));
  UniqueMemDC mem(::CreateCompatibleDC(screen.get()));
  if (!bmp || !mem) return UniqueBitmap();
  {
    SelectGuard sel(mem.get(), bmp.get());
    RECT r{0, 0, s.cx, s.cy};
    ::FillRect(mem.get(), &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    picture.Draw(mem.get(), 0, 0);
  }
  return bmp;
}

UniquePalette CopyPalette(HPALETTE pal) {
  if (!pal) return UniquePalette();
  UINT n = ::GetPaletteEntries(pal, 0, 0, nullptr);
  if (n == 0 || n > 256) return UniquePalette();
  struct {
    WORD version, count;
    PALETTEENTRY entries[256];
  } lp{};
  lp.version = 0x300;
  lp.count = static_cast<WORD>(n);
  ::GetPaletteEntries(pal, 0, n, lp.entries);
  return UniquePalette(::CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp)));
}

// A copy of a bitmap owned by the clipboard, at its own depth.
UniqueBitmap CopyBitmap(HBITMAP source, HPALETTE palette) {
  BITMAP bm{};
  if (!source || ::GetObjectA(source, sizeof bm, &bm) < static_cast<int>(sizeof bm) || bm.bmWidth <= 0 ||
      bm.bmHeight <= 0) {
    return UniqueBitmap();
  }
  WindowDC screen(nullptr, WindowDC::Area::Client);
  int screenDepth = ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
  int depth = bm.bmBitsPixel * bm.bmPlanes;
  UniqueBitmap copy(depth == screenDepth
                        ? ::CreateCompatibleBitmap(screen.get(), bm.bmWidth, bm.bmHeight)
                        : ::CreateBitmap(bm.bmWidth, bm.bmHeight, bm.bmPlanes, bm.bmBitsPixel, nullptr));
  UniqueMemDC from(::CreateCompatibleDC(screen.get()));
  UniqueMemDC to(::CreateCompatibleDC(screen.get()));
  if (!copy || !from || !to) return UniqueBitmap();
  PaletteGuard fromPal(from.get(), palette);
  PaletteGuard toPal(to.get(), palette);
  SelectGuard a(from.get(), source);
  SelectGuard b(to.get(), copy.get());
  if (!::BitBlt(to.get(), 0, 0, bm.bmWidth, bm.bmHeight, from.get(), 0, 0, SRCCOPY)) return UniqueBitmap();
  return copy;
}

// A bitmap made from a packed DIB, keeping its depth and colours.
Picture PictureFromDib(HANDLE data) {
  GlobalLock<std::uint8_t> lock(static_cast<HGLOBAL>(data));
  if (!lock.get()) return Picture();
  auto layout = format::ParsePackedDib(lock.get(), lock.size());
  if (!layout) return Picture();
  // CreateDIBSection takes the header, masks and colour table as they are.
  std::vector<std::uint8_t> info(lock.get(), lock.get() + layout->infoSize);
  void* bits = nullptr;
  WindowDC screen(nullptr, WindowDC::Area::Client);
  UniqueBitmap bmp(
      ::CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp || !bits) return Picture();
  std::memcpy(bits, lock.get() + layout->infoSize, layout->pixelBytes);
  ::GdiFlush();
  return Picture::FromBitmap(std::move(bmp), UniquePalette());
}

Picture PictureFromMetafilePict(HANDLE data) {
  GlobalLock<METAFILEPICT> lock(static_cast<HGLOBAL>(data));
  if (!lock.get() || lock.size() < sizeof(METAFILEPICT) || !lock.get()->hMF) return Picture();
  const METAFILEPICT& mfp = *lock.get();
  UniqueMetafile copy(::CopyMetaFileA(mfp.hMF, nullptr));
  // Anisotropic and isotropic metafiles give their size in HIMETRIC; others
  // (or none given) are shown an inch square.
  long w = mfp.xExt, h = mfp.yExt;
  if ((mfp.mm != MM_ANISOTROPIC && mfp.mm != MM_ISOTROPIC) || w <= 0 || h <= 0) w = h = 2540;
  return Picture::FromMetafile(std::move(copy), w, h);
}

}  // namespace

bool PutPictureOnClipboard(HWND owner, const Picture& picture) {
  if (!picture.HasImage()) return false;
  // Emptying the clipboard makes the opener its owner; without a window of
  // ours as the owner, the data could not be handed over afterwards.
  if (!owner || ::GetWindowThreadProcessId(owner, nullptr) != ::GetCurrentThreadId()) return false;
  // Prepare everything before the clipboard is emptied, so a failure
  // leaves the user's clipboard as it was.
  UniqueBitmap bitmap = picture.Type() == PictureType::Bitmap
                            ? CopyBitmap(static_cast<HBITMAP>(picture.Handle()), picture.Palette())
                            : RenderToBitmap(picture);
  if (!bitmap) return false;
  UniquePalette palette = picture.Type() == PictureType::Bitmap ? CopyPalette(picture.Palette()) : UniquePalette();

  ClipboardSession clip(owner);
  if (!clip || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_BITMAP, bitmap.get())) return false;
  bitmap.release();  // the clipboard owns it now
  if (palette && ::SetClipboardData(CF_PALETTE, palette.get())) palette.release();
  return true;
}

std::optional<Picture> PictureFromClipboard(HWND owner) {
  ClipboardSession clip(owner);
  if (!clip) return std::nullopt;
  // The first picture format in the clipboard's own order is the one it was
  // given; the others are converted from it.
  for (UINT f = ::EnumClipboardFormats(0); f != 0; f = ::EnumClipboardFormats(f)) {
    switch (f) {
      case CF_BITMAP: {
        HBITMAP bmp = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
        HPALETTE pal =
            ::IsClipboardFormatAvailable(CF_PALETTE) ? static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE)) : nullptr;
        Picture p = Picture::FromBitmap(CopyBitmap(bmp, pal), CopyPalette(pal));
        if (p.IsObject()) return p;
        break;
      }
      case CF_DIB:
      case CF_DIBV5: {
        Picture p = PictureFromDib(::GetClipboardData(f));
        if (p.IsObject()) return p;
        break;  // a DIB we do not take: the bitmap form may follow
      }
      case CF_ENHMETAFILE: {
        HENHMETAFILE emf = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
        Picture p = Picture::FromEnhMetafile(UniqueEnhMetafile(emf ? ::CopyEnhMetaFileA(emf, nullptr) : nullptr));
        if (p.IsObject()) return p;
        break;
      }
      case CF_METAFILEPICT: {
        Picture p = PictureFromMetafilePict(::GetClipboardData(CF_METAFILEPICT));
        if (p.IsObject()) return p;
        break;
      }
      default: break;
    }
  }
  return Picture();
}

}  // namespace fw
