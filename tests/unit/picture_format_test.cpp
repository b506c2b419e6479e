// The BMP, placeable metafile and icon writers, and the packed-DIB reader
// the clipboard uses. Written files are read back with a strict reader of
// our own and, where ImageMagick is installed, with its `convert`.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "image/picture_format.h"

namespace fw::format {
namespace {

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}
std::uint16_t Le16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8);
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A strict reader: every header field must be consistent with the file.
struct StrictBmp {
  int width = 0, height = 0, bpp = 0;
  bool topDown = false;
  std::uint32_t compression = 0, masks[3] = {0, 0, 0};
  std::vector<Rgbq> palette;
  std::string file;
  std::uint32_t offBits = 0, row = 0;

  static std::optional<StrictBmp> Read(const std::string& f) {
    StrictBmp b;
    b.file = f;
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M') return std::nullopt;
    if (Le32(f, 2) != f.size()) return std::nullopt;
    b.offBits = Le32(f, 10);
    if (Le32(f, 14) != 40) return std::nullopt;
    b.width = static_cast<std::int32_t>(Le32(f, 18));
    std::int32_t h = static_cast<std::int32_t>(Le32(f, 22));
    b.topDown = h < 0;
    b.height = h < 0 ? -h : h;
    if (Le16(f, 26) != 1) return std::nullopt;
    b.bpp = Le16(f, 28);
    b.compression = Le32(f, 30);
    std::uint32_t clrUsed = Le32(f, 46);
    std::size_t at = 54;
    if (b.compression == 3) {
      for (auto& m : b.masks) m = Le32(f, at), at += 4;
    }
    for (std::uint32_t i = 0; i < clrUsed; ++i, at += 4) {
      b.palette.push_back({static_cast<std::uint8_t>(f[at]), static_cast<std::uint8_t>(f[at + 1]),
                           static_cast<std::uint8_t>(f[at + 2]), 0});
    }
    if (at != b.offBits) return std::nullopt;
    b.row = ((b.width * b.bpp + 31) / 32) * 4;
    if (Le32(f, 34) != b.row * b.height) return std::nullopt;
    if (b.offBits + static_cast<std::size_t>(b.row) * b.height != f.size()) return std::nullopt;
    return b;
  }

  static int Expand(std::uint32_t v, std::uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!(mask & 1)) mask >>= 1, v >>= 1, ++shift;
    int bits = 0;
    while (mask & (1u << bits)) ++bits;
    v &= mask;
    return static_cast<int>((v * 255 + mask / 2) / mask);
  }

  Rgb At(int x, int y) const {
    int fileRow = topDown ? y : height - 1 - y;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(file.data()) + offBits + fileRow * row;
    switch (bpp) {
      case 1:
      case 4:
      case 8: {
        int perByte = 8 / bpp;
        int byte = p[x / perByte];
        int shift = (perByte - 1 - x % perByte) * bpp;
        int idx = (byte >> shift) & ((1 << bpp) - 1);
        const Rgbq& q = palette.at(static_cast<std::size_t>(idx));
        return {q.red, q.green, q.blue};
      }
      case 16: {
        std::uint32_t v = p[x * 2] | p[x * 2 + 1] << 8;
        if (compression == 3) return {Expand(v, masks[0]), Expand(v, masks[1]), Expand(v, masks[2])};
        return {Expand(v, 0x7C00), Expand(v, 0x3E0), Expand(v, 0x1F)};
      }
      case 24: return {p[x * 3 + 2], p[x * 3 + 1], p[x * 3]};
      default: {
        std::uint32_t v =
            p[x * 4] | p[x * 4 + 1] << 8 | p[x * 4 + 2] << 16 | static_cast<std::uint32_t>(p[x * 4 + 3]) << 24;
        if (compression == 3) return {Expand(v, masks[0]), Expand(v, masks[1]), Expand(v, masks[2])};
        return {p[x * 4 + 2], p[x * 4 + 1], p[x * 4]};
      }
    }
  }
};

// A test image whose pixel (x, y) has a known colour at every depth.
DibImage Pattern(int w, int h, std::uint16_t bpp, bool topDown, bool bitfields565 = false) {
  DibImage img;
  img.width = w;
  img.height = h;
  img.bitsPerPixel = bpp;
  img.topDown = topDown;
  if (bpp <= 8) {
    int n = 1 << bpp;
    for (int i = 0; i < n; ++i)
      img.palette.push_back({static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * 3 % 256), 0});
  }
  if (bitfields565) {
    img.compression = kBiBitfields;
    img.masks[0] = 0xF800;
    img.masks[1] = 0x07E0;
    img.masks[2] = 0x001F;
  }
  std::uint32_t row = *RowBytes(w, bpp);
  img.pixels.assign(static_cast<std::size_t>(row) * h, '\0');
  for (int fy = 0; fy < h; ++fy) {
    unsigned char* p = reinterpret_cast<unsigned char*>(img.pixels.data()) + fy * row;
    int y = topDown ? fy : h - 1 - fy;  // the picture's own row
    for (int x = 0; x < w; ++x) {
      int v = (x * 5 + y * 11) & 0xFF;
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          int perByte = 8 / bpp;
          int idx = v & ((1 << bpp) - 1);
          p[x / perByte] |= static_cast<unsigned char>(idx << ((perByte - 1 - x % perByte) * bpp));
          break;
        }
        case 16: {
          std::uint16_t px = bitfields565 ? static_cast<std::uint16_t>((x & 31) << 11 | (y & 63) << 5 | (v & 31))
                                          : static_cast<std::uint16_t>((x & 31) << 10 | (y & 31) << 5 | (v & 31));
          p[x * 2] = px & 0xFF;
          p[x * 2 + 1] = px >> 8;
          break;
        }
        case 24:
          p[x * 3] = static_cast<unsigned char>(v), p[x * 3 + 1] = static_cast<unsigned char>(x),
                p[x * 3 + 2] = static_cast<unsigned char>(y);
          break;
        default:
          p[x * 4] = static_cast<unsigned char>(v), p[x * 4 + 1] = static_cast<unsigned char>(x),
                p[x * 4 + 2] = static_cast<unsigned char>(y), p[x * 4 + 3] = 0;
          break;
      }
    }
  }
  return img;
}

Rgb ExpectedColour(const DibImage& img, int x, int y) {
  int v = (x * 5 + y * 11) & 0xFF;
  auto e5 = [](int c) { return (c * 255 + 15) / 31; };
  auto e6 = [](int c) { return (c * 255 + 31) / 63; };
  switch (img.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
      const Rgbq& q = img.palette[static_cast<std::size_t>(v & ((1 << img.bitsPerPixel) - 1))];
      return {q.red, q.green, q.blue};
    }
    case 16:
      if (img.compression == kBiBitfields) return {e5(x & 31), e6(y & 63), e5(v & 31)};
      return {e5(x & 31), e5(y & 31), e5(v & 31)};
    default: return {y & 0xFF, x & 0xFF, v};
  }
}

bool HaveConvert() {
  return std::system("convert -version >/dev/null 2>&1") == 0;
}

// ImageMagick's view of the file as 8-bit RGB.
std::string ConvertToRgb(const std::string& file) {
  std::string path = ::testing::TempDir() + "fw_bmp_test.bmp";
  std::ofstream(path, std::ios::binary) << file;
  std::string cmd = "convert '" + path + "' -depth 8 rgb:- 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  std::string out;
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  std::remove(path.c_str());
  return out;
}

struct Case {
  std::uint16_t bpp;
  bool topDown;
  bool bitfields;
};

class BmpDepths : public ::testing::TestWithParam<Case> {};

TEST_P(BmpDepths, WrittenFileReadsBackPixelForPixel) {
  Case c = GetParam();
  // An odd width exercises the row padding.
  DibImage img = Pattern(13, 7, c.bpp, c.topDown, c.bitfields);
  auto file = BuildBmpFile(img);
  ASSERT_TRUE(file.has_value());
  auto bmp = StrictBmp::Read(*file);
  ASSERT_TRUE(bmp.has_value()) << "inconsistent headers";
  EXPECT_EQ(bmp->width, 13);
  EXPECT_EQ(bmp->height, 7);
  EXPECT_EQ(bmp->bpp, c.bpp);
  EXPECT_EQ(bmp->topDown, c.topDown);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) ASSERT_EQ(bmp->At(x, y), ExpectedColour(img, x, y)) << x << "," << y;

  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick is not installed";
  std::string rgb = ConvertToRgb(*file);
  ASSERT_EQ(rgb.size(), 13u * 7u * 3u) << "ImageMagick could not read the file";
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 13; ++x) {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (y * 13 + x) * 3;
      Rgb want = ExpectedColour(img, x, y);
      // ImageMagick scales 5- and 6-bit channels slightly differently.
      int tol = c.bpp == 16 ? 4 : 0;
      ASSERT_NEAR(p[0], want.r, tol) << x << "," << y;
      ASSERT_NEAR(p[1], want.g, tol) << x << "," << y;
      ASSERT_NEAR(p[2], want.b, tol) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpDepths,
                         ::testing::Values(Case{1, false, false}, Case{1, true, false}, Case{4, false, false},
                                           Case{4, true, false}, Case{8, false, false}, Case{8, true, false},
                                           Case{16, false, false}, Case{16, false, true}, Case{16, true, true},
                                           Case{24, false, false}, Case{24, true, false}, Case{32, false, false},
                                           Case{32, true, false}));

TEST(Bmp, ShortPaletteIsWrittenWithItsLength) {
  DibImage img = Pattern(4, 2, 8, false);
  img.palette.resize(200);
  for (char& c : img.pixels) c = static_cast<char>(static_cast<unsigned char>(c) % 200);
  auto file = BuildBmpFile(img);
  ASSERT_TRUE(file);
  auto bmp = StrictBmp::Read(*file);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->palette.size(), 200u);
}

TEST(Bmp, InconsistentImagesAreRefused) {
  DibImage ok = Pattern(5, 3, 24, false);
  ASSERT_TRUE(BuildBmpFile(ok));

  DibImage bad = ok;
  bad.pixels.pop_back();
  EXPECT_FALSE(BuildBmpFile(bad)) << "pixels short by one byte";
  bad = ok;
  bad.width = 0;
  EXPECT_FALSE(BuildBmpFile(bad));
  bad = ok;
  bad.height = 0;
  EXPECT_FALSE(BuildBmpFile(bad));
  bad = ok;
  bad.bitsPerPixel = 12;
  EXPECT_FALSE(BuildBmpFile(bad));
  bad = ok;
  bad.compression = kBiBitfields;
  EXPECT_FALSE(BuildBmpFile(bad)) << "bit fields need 16 or 32 bits";
  bad = ok;
  bad.palette.push_back({1, 2, 3, 0});
  EXPECT_FALSE(BuildBmpFile(bad)) << "no colour table above 8 bits";

  DibImage pal = Pattern(5, 3, 4, false);
  pal.palette.resize(17);
  EXPECT_FALSE(BuildBmpFile(pal)) << "17 colours at 4 bits";
  pal.palette.clear();
  EXPECT_FALSE(BuildBmpFile(pal)) << "no colours at 4 bits";

  DibImage huge = ok;
  huge.width = 70000;
  huge.height = 70000;  // more than 4 GB of pixels
  EXPECT_FALSE(BuildBmpFile(huge));
  EXPECT_FALSE(RowBytes(std::numeric_limits<std::int32_t>::max(), 32));
}

TEST(PlaceableMetafile, HeaderHasTheKeyTheBoundsAndAValidChecksum) {
  std::string h = PlaceableMetafileHeader(2540, 1270, 2540);
  ASSERT_EQ(h.size(), 22u);
  EXPECT_EQ(Le32(h, 0), 0x9AC6CDD7u);
  EXPECT_EQ(Le16(h, 10), 2540);
  EXPECT_EQ(Le16(h, 12), 1270);
  EXPECT_EQ(Le16(h, 14), 2540);
  std::uint16_t x = 0;
  for (std::size_t i = 0; i < 20; i += 2) x ^= Le16(h, i);
  EXPECT_EQ(Le16(h, 20), x);
}

TEST(Ico, OneImageWithItsMask) {
  std::vector<std::uint32_t> px(16 * 16, 0xFF112233u);
  std::vector<bool> mask(16 * 16, false);
  mask[0] = true;  // top-left transparent
  auto ico = BuildIcoFile(16, 16, px, mask);
  ASSERT_TRUE(ico);
  EXPECT_EQ(Le16(*ico, 2), 1);  // icon
  EXPECT_EQ(Le16(*ico, 4), 1);  // one image
  EXPECT_EQ(static_cast<unsigned char>((*ico)[6]), 16);
  std::uint32_t bytes = Le32(*ico, 14), off = Le32(*ico, 18);
  EXPECT_EQ(off + bytes, ico->size());
  EXPECT_EQ(Le32(*ico, off + 8), 32u);  // doubled height
  // The mask's last row in the file is the picture's top row.
  std::size_t maskStart = off + 40 + 16 * 16 * 4;
  EXPECT_EQ(static_cast<unsigned char>((*ico)[maskStart + 15 * 4]), 0x80);
  EXPECT_FALSE(BuildIcoFile(300, 300, std::vector<std::uint32_t>(90000), std::vector<bool>(90000)));
  EXPECT_FALSE(BuildIcoFile(16, 16, px, std::vector<bool>(3)));
}

std::string PackedDib(std::int32_t w, std::int32_t h, std::uint16_t bpp, std::uint32_t compression,
                      std::uint32_t clrUsed, std::size_t extraColours, std::size_t pixelBytes) {
  std::string s;
  auto p32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  };
  auto p16 = [&](std::uint16_t v) {
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
  };
  p32(40);
  p32(static_cast<std::uint32_t>(w));
  p32(static_cast<std::uint32_t>(h));
  p16(1);
  p16(bpp);
  p32(compression);
  p32(0);
  p32(0);
  p32(0);
  p32(clrUsed);
  p32(0);
  s.append(extraColours * 4, '\0');
  s.append(pixelBytes, '\x55');
  return s;
}

TEST(PackedDib, LayoutOfTheCommonForms) {
  std::string d = PackedDib(10, 4, 24, kBiRgb, 0, 0, 32 * 4);
  auto l = ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
  ASSERT_TRUE(l);
  EXPECT_EQ(l->infoSize, 40u);
  EXPECT_EQ(l->pixelBytes, 128u);

  d = PackedDib(3, -2, 8, kBiRgb, 0, 256, 4 * 2);  // top-down, full colour table
  l = ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
  ASSERT_TRUE(l);
  EXPECT_EQ(l->colourCount, 256u);
  EXPECT_EQ(l->infoSize, 40u + 1024u);
  EXPECT_EQ(l->height, -2);

  d = PackedDib(3, 2, 32, kBiBitfields, 0, 3, 12 * 2);  // three masks after the header
  l = ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
  ASSERT_TRUE(l);
  EXPECT_EQ(l->infoSize, 52u);
}

TEST(PackedDib, DamagedOrUnusualBlocksAreRefusedWithoutReadingPastThem) {
  auto refuse = [](const std::string& d) {
    return !ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
  };
  EXPECT_TRUE(refuse(PackedDib(10, 4, 24, kBiRgb, 0, 0, 32 * 4 - 1))) << "pixels cut short";
  EXPECT_TRUE(refuse(PackedDib(3, 2, 8, kBiRgb, 0, 255, 8))) << "colour table cut short";
  EXPECT_TRUE(refuse(PackedDib(3, 2, 8, kBiRgb, 300, 300, 8))) << "more colours than 8 bits hold";
  EXPECT_TRUE(refuse(PackedDib(0, 2, 24, kBiRgb, 0, 0, 0)));
  EXPECT_TRUE(refuse(PackedDib(-3, 2, 24, kBiRgb, 0, 0, 64)));
  EXPECT_TRUE(refuse(PackedDib(3, 0, 24, kBiRgb, 0, 0, 0)));
  EXPECT_TRUE(refuse(PackedDib(3, std::numeric_limits<std::int32_t>::min(), 24, kBiRgb, 0, 0, 64)));
  EXPECT_TRUE(refuse(PackedDib(3, 2, 7, kBiRgb, 0, 0, 64)));
  EXPECT_TRUE(refuse(PackedDib(3, 2, 8, 1 /* RLE8 */, 0, 256, 64)));
  EXPECT_TRUE(refuse(PackedDib(3, 2, 24, kBiBitfields, 0, 3, 64)));
  EXPECT_TRUE(refuse(PackedDib(0x7FFFFFFF, 0x7FFFFFFF, 32, kBiRgb, 0, 0, 64))) << "size overflow";
  EXPECT_TRUE(refuse(std::string(39, '\0')));
  std::string d = PackedDib(3, 2, 24, kBiRgb, 0, 0, 24);
  d[0] = 12;  // an old core header
  EXPECT_TRUE(refuse(d));
  d[0] = static_cast<char>(200);  // a header larger than the block
  d.resize(100);
  EXPECT_TRUE(refuse(d));
  EXPECT_FALSE(ParsePackedDib(nullptr, 100));
}

TEST(PackedDib, BitFieldHeadersTooShortToHoldTheirMasksAreRefused) {
  // GDI takes the masks from bytes 40 to 51 of the block whatever the
  // header's size. The 52-byte block of a 44-byte header, 2x2 at 16 bits
  // with bit fields, holds no masks past its header: once only the header
  // is copied, GDI would read past the copy.
  auto withHeader = [](std::uint32_t headerSize, std::size_t pixelBytes) {
    std::string d = PackedDib(2, 2, 16, kBiBitfields, 0, 0, 0);
    d[0] = static_cast<char>(headerSize);
    d.insert(40, std::string(headerSize - 40, '\0'));
    d.append(pixelBytes, '\x11');
    return d;
  };
  std::string d = withHeader(44, 8);
  ASSERT_EQ(d.size(), 52u);
  EXPECT_FALSE(ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size()));
  for (std::uint32_t size = 41; size <= 51; ++size) {
    d = withHeader(size, 64);
    EXPECT_FALSE(ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size())) << size;
  }
  // From 52 bytes on the masks lie inside the header (V2 to V5 headers).
  for (std::uint32_t size : {52u, 56u, 108u, 124u}) {
    d = withHeader(size, 8);
    auto l = ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
    ASSERT_TRUE(l) << size;
    EXPECT_EQ(l->infoSize, size);
    EXPECT_EQ(l->pixelBytes, 8u);
  }
  // Without bit fields such a header has nothing past its size to read.
  d = PackedDib(2, 2, 24, kBiRgb, 0, 0, 0);
  d[0] = 44;
  d.insert(40, std::string(4, '\0'));
  d.append(16, '\x22');
  auto l = ParsePackedDib(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
  ASSERT_TRUE(l);
  EXPECT_EQ(l->infoSize, 44u);
}

}  // namespace
}  // namespace fw::format

namespace fw::format {
namespace {

TEST(Bmp, HeadersThenPixelsMakeTheWholeFile) {
  DibImage img = Pattern(9, 5, 8, false);
  auto whole = BuildBmpFile(img);
  auto headers = BuildBmpHeaders(img);
  ASSERT_TRUE(whole && headers);
  EXPECT_EQ(*headers + img.pixels, *whole);
  EXPECT_EQ(headers->size(), Le32(*whole, 10)) << "the pixels start right after the headers";
  // The headers alone do not need the pixels in memory.
  DibImage meta = img;
  meta.pixels.clear();
  EXPECT_EQ(BuildBmpHeaders(meta), headers);
  EXPECT_FALSE(BuildBmpFile(meta));
}

}  // namespace
}  // namespace fw::format
