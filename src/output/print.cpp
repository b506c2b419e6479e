#include "output/print.h"

#include "platform/msgbox.h"

namespace fw {
namespace {

constexpr const char* kNothingPrinted = "No Image To Print";

}  // namespace

void PrintPictureScaled(DefaultPrinter& printer, const Picture& picture) {
  long w = 0, h = 0;
  if (!picture.IsObject() || !picture.SizeHimetric(w, h)) throw PrintError("the picture has no size");
  printer.SetOrientation(print::OrientationFor(w, h));
  if (w <= 0 || h <= 0) throw PrintError("the picture has no size");

  print::Page page;
  page.printableWidth = printer.ScaleWidth();
  page.printableHeight = printer.ScaleHeight();
  page.unit = printer.ScaleMode();
  page.dpiX = printer.DpiX();
  page.dpiY = printer.DpiY();
  std::optional<print::Placement> place = print::PlacePicture(w, h, page);
  if (!place) throw PrintError("the picture cannot be placed");
  printer.PaintPicture(picture, 0, 0, place->width, place->height);
}

void Command11_Click(const MainWindow& form) {
  bool printed = false;
  try {
    // The printer and its job are released before any message shows.
    DefaultPrinter printer = DefaultPrinter::Open();
    PrintPictureScaled(printer, form.GetPicture());
    printer.EndDoc();
    printed = true;
  } catch (...) {
    printed = false;
  }
  if (!printed) ShowMessage(kNothingPrinted, MB_OK);
}

}  // namespace fw
