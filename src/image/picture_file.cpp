#include "image/picture_file.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "image/image_file_rules.h"
#include "image/palette_rules.h"
#include "image/picture_format.h"
#include "image/wic_encoder.h"
#include "platform/dib.h"
#include "platform/handles.h"
#include "platform/safe_file.h"

namespace fw {
namespace {

WriteResult Failed(DWORD error, std::string reason) {
  return WriteResult{false, error, std::move(reason), {}};
}

// What became of the bytes written into `file`.
WriteResult Written(const NewFile& file) {
  if (file.ok()) return WriteResult{true, 0, {}, {}};
  return Failed(file.error(), ErrorText(file.error()));
}

static_assert(format::kBiRgb == BI_RGB && format::kBiBitfields == BI_BITFIELDS);

// A header with room for a full colour table (or three masks).
struct DibHeader {
  BITMAPINFOHEADER h;
  RGBQUAD colours[256];
};

std::uint16_t NormalisedDepth(int bpp) {
  if (bpp <= 1) return 1;
  if (bpp <= 4) return 4;
  if (bpp <= 8) return 8;
  if (bpp <= 16) return 16;
  if (bpp <= 24) return 24;
  return 32;
}

WriteResult Unreadable() {
  return Failed(ERROR_INVALID_DATA, "The picture's pixels could not be read.");
}

WriteResult TooLarge() {
  return Failed(ERROR_INVALID_DATA, "The picture is too large for a bitmap file.");
}

// The colour layout of a 16-bit bitmap (5-6-5 or 5-5-5) as red, green and
// blue masks: a DIB section's own, or what the display gives a device
// bitmap.
void SixteenBitMasks(HDC screen, HBITMAP bmp, const DIBSECTION& ds, bool dibSection, DWORD (&masks)[3]) {
  if (dibSection && ds.dsBmih.biCompression == BI_BITFIELDS) {
    std::copy(ds.dsBitfields, ds.dsBitfields + 3, masks);
  } else if (!dibSection) {
    DibHeader probe{};
    probe.h.biSize = sizeof probe.h;
    if (::GetDIBits(screen, bmp, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&probe), DIB_RGB_COLORS) &&
        probe.h.biBitCount == 16 && probe.h.biCompression == BI_BITFIELDS) {
      std::copy(reinterpret_cast<DWORD*>(probe.colours), reinterpret_cast<DWORD*>(probe.colours) + 3, masks);
    }
  }
}

// What the file will hold: the bitmap's size, the depth it is stored at
// (its own), and for 16 bits per pixel its own colour layout; `bi` is the
// header GetDIBits reads the rows with. False when the bitmap cannot be
// read.
bool DescribeBitmap(HDC screen, HBITMAP bmp, format::DibImage& img, DibHeader& bi) {
  DIBSECTION ds{};
  int got = ::GetObjectA(bmp, sizeof ds, &ds);
  if (got < static_cast<int>(sizeof(BITMAP))) return false;
  bool dibSection = got == static_cast<int>(sizeof(DIBSECTION));
  const BITMAP& bm = ds.dsBm;
  if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;

  img.width = bm.bmWidth;
  img.height = bm.bmHeight;
  img.bitsPerPixel =
      NormalisedDepth(dibSection ? ds.dsBmih.biBitCount : static_cast<int>(bm.bmPlanes) * bm.bmBitsPixel);
  bi.h = DibInfoHeader(img.width, img.height, img.bitsPerPixel);  // bottom-up, as the file stores it
  if (img.bitsPerPixel == 16) {
    DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
    SixteenBitMasks(screen, bmp, ds, dibSection, masks);
    if (masks[0] != 0x7C00 || masks[1] != 0x03E0 || masks[2] != 0x001F) {
      bi.h.biCompression = BI_BITFIELDS;
      std::copy(masks, masks + 3, reinterpret_cast<DWORD*>(bi.colours));
      img.compression = format::kBiBitfields;
      std::copy(masks, masks + 3, img.masks);
    }
  }
  return true;
}

// The colour table GetDIBits filled in with the first rows read.
void TakeColourTable(const DibHeader& bi, format::DibImage& img) {
  if (img.bitsPerPixel > 8) return;
  std::size_t n = std::size_t{1} << img.bitsPerPixel;
  for (std::size_t i = 0; i < n; ++i) {
    const RGBQUAD& q = bi.colours[i];
    img.palette.push_back(format::Rgbq{q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
  }
}

// Writes a bitmap at its own colour depth (with its palette for the colour
// table of palette bitmaps). The pixels go to the file a band of rows at a
// time, so saving needs little memory beyond the bitmap itself.
WriteResult WriteBitmap(const Picture& picture, NewFile& file) {
  HBITMAP bmp = static_cast<HBITMAP>(picture.Handle());
  WindowDC screen(nullptr, WindowDC::Area::Client);
  if (!screen) return Unreadable();
  PaletteGuard pal(screen.get(), picture.Palette());

  format::DibImage img;
  DibHeader bi{};
  if (!DescribeBitmap(screen.get(), bmp, img, bi)) return Unreadable();
  auto row = format::RowBytes(img.width, img.bitsPerPixel);
  if (!row || static_cast<std::uint64_t>(*row) * static_cast<std::uint64_t>(img.height) > 0xFFFFFFFFull - 2048) {
    return TooLarge();
  }
  int band = imagefile::BandRows(*row, img.height);
  std::string buffer(static_cast<std::size_t>(*row) * static_cast<std::size_t>(band), '\0');

  for (int start = 0; start < img.height && file.ok(); start += band) {
    int rows = std::min(band, img.height - start);
    int lines = ::GetDIBits(screen.get(), bmp, static_cast<UINT>(start), static_cast<UINT>(rows), buffer.data(),
                            reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    if (lines != rows) return Unreadable();
    if (start == 0) {
      TakeColourTable(bi, img);
      auto headers = format::BuildBmpHeaders(img);
      if (!headers) return TooLarge();
      file.Write(*headers);
    }
    file.Write(std::string_view(buffer.data(), static_cast<std::size_t>(*row) * static_cast<std::size_t>(rows)));
  }
  return Written(file);
}

WriteResult WriteEnhMetafile(const Picture& picture, NewFile& out) {
  HENHMETAFILE emf = static_cast<HENHMETAFILE>(picture.Handle());
  UINT size = ::GetEnhMetaFileBits(emf, 0, nullptr);
  if (size == 0) return Failed(ERROR_INVALID_DATA, "The metafile could not be read.");
  std::string bytes(size, '\0');
  if (::GetEnhMetaFileBits(emf, size, reinterpret_cast<BYTE*>(bytes.data())) != size) {
    return Failed(ERROR_INVALID_DATA, "The metafile could not be read.");
  }
  out.Write(bytes);
  return Written(out);
}

WriteResult WriteMetafile(const Picture& picture, NewFile& out) {
  HMETAFILE wmf = static_cast<HMETAFILE>(picture.Handle());
  UINT size = ::GetMetaFileBitsEx(wmf, 0, nullptr);
  if (size == 0) return Failed(ERROR_INVALID_DATA, "The metafile could not be read.");
  std::string bits(size, '\0');
  if (::GetMetaFileBitsEx(wmf, size, bits.data()) != size) {
    return Failed(ERROR_INVALID_DATA, "The metafile could not be read.");
  }
  // The placeable header gives the picture's size: HIMETRIC, scaled down
  // when a side does not fit the header's 16-bit fields.
  long w = 0, h = 0;
  picture.SizeHimetric(w, h);
  w = std::max(1L, std::labs(w));
  h = std::max(1L, std::labs(h));
  long scale = std::max(w, h) / 32767 + 1;
  std::string file =
      format::PlaceableMetafileHeader(static_cast<std::int16_t>(w / scale), static_cast<std::int16_t>(h / scale),
                                      static_cast<std::uint16_t>(std::max(1L, 2540 / scale)));
  file += bits;
  out.Write(file);
  return Written(out);
}

WriteResult WriteIcon(const Picture& picture, NewFile& out) {
  ICONINFO info{};
  if (!::GetIconInfo(static_cast<HICON>(picture.Handle()), &info)) {
    return Failed(ERROR_INVALID_DATA, "The icon could not be read.");
  }
  UniqueBitmap colour(info.hbmColor);
  UniqueBitmap mask(info.hbmMask);
  if (!colour) return Failed(ERROR_NOT_SUPPORTED, "A monochrome icon cannot be saved.");
  BITMAP bm{};
  ::GetObjectA(colour.get(), sizeof bm, &bm);
  int w = bm.bmWidth, h = bm.bmHeight;
  if (w <= 0 || h <= 0 || w > 256 || h > 256) return Failed(ERROR_INVALID_DATA, "The icon could not be read.");

  WindowDC screen(nullptr, WindowDC::Area::Client);
  BITMAPINFO bi{};
  bi.bmiHeader = DibInfoHeader(w, -h, 32);  // top-down
  std::vector<std::uint32_t> argb(static_cast<std::size_t>(w) * h);
  std::vector<std::uint32_t> maskPx(argb.size());
  if (::GetDIBits(screen.get(), colour.get(), 0, h, argb.data(), &bi, DIB_RGB_COLORS) != h ||
      ::GetDIBits(screen.get(), mask.get(), 0, h, maskPx.data(), &bi, DIB_RGB_COLORS) != h) {
    return Failed(ERROR_INVALID_DATA, "The icon could not be read.");
  }
  bool anyAlpha = std::any_of(argb.begin(), argb.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  std::vector<bool> transparent(argb.size());
  for (std::size_t i = 0; i < argb.size(); ++i) {
    transparent[i] = (maskPx[i] & 0xFFFFFF) != 0;
    if (!anyAlpha) argb[i] = (argb[i] & 0xFFFFFF) | (transparent[i] ? 0u : 0xFF000000u);
  }
  auto file = format::BuildIcoFile(w, h, argb, transparent);
  if (!file) return Failed(ERROR_INVALID_DATA, "The icon could not be read.");
  out.Write(*file);
  return Written(out);
}

// ---- raster files through the system's encoders ----

// What an encoder's failure leaves to say: the file's own error (a full
// disk) when there is one, else the encoder's.
WriteResult EncoderFailed(const NewFile& file, const wic::FrameEncoder& encoder) {
  if (!file.ok()) return Written(file);
  DWORD code = HRESULT_FACILITY(encoder.result()) == FACILITY_WIN32 ? HRESULT_CODE(encoder.result())
                                                                    : static_cast<DWORD>(ERROR_INVALID_DATA);
  return Failed(code ? code : ERROR_INVALID_DATA, encoder.reason());
}

// The bitmap an encoder reads: the picture's own, or a metafile or icon
// drawn at its natural size on white.
struct RasterSource {
  HBITMAP bitmap = nullptr;
  HPALETTE palette = nullptr;
  UniqueBitmap drawn;
};

bool DrawAtNaturalSize(const Picture& picture, RasterSource& source) {
  SIZE size = picture.SizePixels();
  if (size.cx <= 0 || size.cy <= 0) return false;
  WindowDC screen(nullptr, WindowDC::Area::Client);
  UniqueMemDC mem(::CreateCompatibleDC(screen.get()));
  if (!screen || !mem) return false;
  BITMAPINFO bi{};
  bi.bmiHeader = DibInfoHeader(size.cx, size.cy, 24);
  void* bits = nullptr;
  source.drawn.reset(::CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!source.drawn) return false;
  {
    SelectGuard sel(mem.get(), source.drawn.get());
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(mem.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    picture.Draw(mem.get(), 0, 0);
    ::GdiFlush();
  }
  source.bitmap = source.drawn.get();
  return true;
}

// A band of rows read bottom-up as GetDIBits gives them, turned top-down.
void TurnRows(std::uint8_t* rows, int count, std::size_t stride) {
  for (int i = 0, j = count - 1; i < j; ++i, --j) {
    std::swap_ranges(rows + static_cast<std::size_t>(i) * stride, rows + static_cast<std::size_t>(i + 1) * stride,
                     rows + static_cast<std::size_t>(j) * stride);
  }
}

// Reads the band of `rows` rows whose top row is `top` into `buffer`, top
// row first, at the depth of `bi`.
bool ReadBand(HDC screen, HBITMAP bmp, int height, int top, int rows, std::uint8_t* buffer, std::size_t stride,
              DibHeader& bi) {
  int start = imagefile::BottomUpStart(height, top, rows);
  if (::GetDIBits(screen, bmp, static_cast<UINT>(start), static_cast<UINT>(rows), buffer,
                  reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != rows) {
    return false;
  }
  TurnRows(buffer, rows, stride);
  return true;
}

// PNG, JPEG, TIFF: 24-bit rows (a palette bitmap's read through its
// palette), a band at a time.
WriteResult EncodeTrueColour(HDC screen, HBITMAP bmp, const format::DibImage& img, NewFile& file,
                             imagefile::FileFormat fileFormat) {
  std::uint32_t row = *format::RowBytes(img.width, 24);
  int band = imagefile::BandRows(row, img.height);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(row) * static_cast<std::size_t>(band));
  DibHeader bi{};
  bi.h = DibInfoHeader(img.width, img.height, 24);
  wic::FrameEncoder encoder(file, fileFormat, img.width, img.height, wic::Pixels::Bgr24, {},
                            imagefile::EncoderOptionsFor(fileFormat));
  for (int top = 0; top < img.height && encoder.ok(); top += band) {
    int rows = std::min(band, img.height - top);
    if (!ReadBand(screen, bmp, img.height, top, rows, buffer.data(), row, bi)) return Unreadable();
    encoder.WriteRows(buffer.data(), rows, row);
  }
  if (!encoder.Commit()) return EncoderFailed(file, encoder);
  return Written(file);
}

// GIF of a palette bitmap (1, 4 or 8 bits per pixel): its own indices and
// its own colour table.
WriteResult EncodeOwnPalette(HDC screen, HBITMAP bmp, const format::DibImage& img, NewFile& file) {
  std::uint32_t packedRow = *format::RowBytes(img.width, img.bitsPerPixel);
  std::uint32_t row = *format::RowBytes(img.width, 8);
  int band = imagefile::BandRows(std::max(packedRow, row), img.height);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(packedRow) * static_cast<std::size_t>(band));
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(row) * static_cast<std::size_t>(band));
  DibHeader bi{};
  bi.h = DibInfoHeader(img.width, img.height, img.bitsPerPixel);
  std::optional<wic::FrameEncoder> encoder;
  for (int top = 0; top < img.height; top += band) {
    int rows = std::min(band, img.height - top);
    if (!ReadBand(screen, bmp, img.height, top, rows, packed.data(), packedRow, bi)) return Unreadable();
    if (!encoder) {
      // GetDIBits gave the colour table with the first rows.
      std::vector<std::uint32_t> colours;
      for (std::size_t i = 0; i < (std::size_t{1} << img.bitsPerPixel); ++i) {
        const RGBQUAD& q = bi.colours[i];
        colours.push_back((std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue);
      }
      encoder.emplace(file, imagefile::FileFormat::Gif, img.width, img.height, wic::Pixels::Indexed8, colours,
                      imagefile::EncoderOptionsFor(imagefile::FileFormat::Gif));
    }
    for (int y = 0; y < rows; ++y) {
      imagefile::UnpackIndices(packed.data() + static_cast<std::size_t>(y) * packedRow, img.bitsPerPixel, img.width,
                               indices.data() + static_cast<std::size_t>(y) * row);
    }
    if (!encoder->WriteRows(indices.data(), rows, row)) break;
  }
  if (!encoder || !encoder->Commit()) return encoder ? EncoderFailed(file, *encoder) : Unreadable();
  return Written(file);
}

// GIF of a picture of more colours: a palette made from its colours (one
// pass over its rows), then its rows mapped to that palette (a second).
WriteResult EncodeMadePalette(HDC screen, HBITMAP bmp, const format::DibImage& img, NewFile& file) {
  std::uint32_t row = *format::RowBytes(img.width, 24);
  std::uint32_t indexRow = *format::RowBytes(img.width, 8);
  int band = imagefile::BandRows(row, img.height);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(row) * static_cast<std::size_t>(band));
  DibHeader bi{};
  bi.h = DibInfoHeader(img.width, img.height, 24);
  palette::ColourCount count;
  for (int top = 0; top < img.height; top += band) {
    int rows = std::min(band, img.height - top);
    if (!ReadBand(screen, bmp, img.height, top, rows, buffer.data(), row, bi)) return Unreadable();
    for (int y = 0; y < rows; ++y) count.AddBgrRow(buffer.data() + static_cast<std::size_t>(y) * row, img.width);
  }
  std::vector<palette::Colour> made = count.MakePalette();
  palette::Mapper mapper(count, made);
  std::vector<std::uint32_t> colours;
  for (const palette::Colour& c : made) {
    colours.push_back((std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue);
  }
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(indexRow) * static_cast<std::size_t>(band));
  wic::FrameEncoder encoder(file, imagefile::FileFormat::Gif, img.width, img.height, wic::Pixels::Indexed8, colours,
                            imagefile::EncoderOptionsFor(imagefile::FileFormat::Gif));
  for (int top = 0; top < img.height && encoder.ok(); top += band) {
    int rows = std::min(band, img.height - top);
    if (!ReadBand(screen, bmp, img.height, top, rows, buffer.data(), row, bi)) return Unreadable();
    for (int y = 0; y < rows; ++y) {
      mapper.MapBgrRow(buffer.data() + static_cast<std::size_t>(y) * row, img.width,
                       indices.data() + static_cast<std::size_t>(y) * indexRow);
    }
    encoder.WriteRows(indices.data(), rows, indexRow);
  }
  if (!encoder.Commit()) return EncoderFailed(file, encoder);
  return Written(file);
}

WriteResult WriteRaster(const Picture& picture, NewFile& file, imagefile::FileFormat fileFormat) {
  RasterSource source;
  if (picture.Type() == PictureType::Bitmap) {
    source.bitmap = static_cast<HBITMAP>(picture.Handle());
    source.palette = picture.Palette();
  } else if (!DrawAtNaturalSize(picture, source)) {
    return Failed(ERROR_NOT_ENOUGH_MEMORY,
                  "The picture could not be drawn for a " + std::string(imagefile::FormatName(fileFormat)) + " file.");
  }
  WindowDC screen(nullptr, WindowDC::Area::Client);
  if (!screen) return Unreadable();
  PaletteGuard pal(screen.get(), source.palette);
  format::DibImage img;
  DibHeader described{};
  if (!DescribeBitmap(screen.get(), source.bitmap, img, described)) return Unreadable();
  if (!format::RowBytes(img.width, 24)) return TooLarge();
  if (fileFormat != imagefile::FileFormat::Gif)
    return EncodeTrueColour(screen.get(), source.bitmap, img, file, fileFormat);
  if (img.bitsPerPixel <= 8) return EncodeOwnPalette(screen.get(), source.bitmap, img, file);
  return EncodeMadePalette(screen.get(), source.bitmap, img, file);
}

}  // namespace

WriteResult WritePicture(const Picture& picture, NewFile& file, imagefile::FileFormat fileFormat) {
  if (!picture.HasImage()) return Failed(0, "There is no picture to save.");
  if (!file.ok()) return Written(file);
  if (imagefile::IsRaster(fileFormat)) return WriteRaster(picture, file, fileFormat);
  switch (picture.Type()) {
    case PictureType::Bitmap: return WriteBitmap(picture, file);
    case PictureType::EnhMetafile: return WriteEnhMetafile(picture, file);
    case PictureType::Metafile: return WriteMetafile(picture, file);
    case PictureType::Icon: return WriteIcon(picture, file);
    default: return Failed(0, "There is no picture to save.");
  }
}

WriteResult WritePictureFile(const Picture& picture, const std::string& path) {
  if (!picture.HasImage()) return Failed(0, "There is no picture to save.");
  FileDestination dest = DestinationOf(path);
  if (dest.error) return Failed(dest.error, ErrorText(dest.error));
  NewFile file(dest.directory);
  WriteResult written = WritePicture(picture, file, imagefile::FormatForName(dest.path));
  if (!written.ok) return written;
  if (!file.Replace(dest.path)) return Written(file);
  written.path = dest.path;
  return written;
}

}  // namespace fw
