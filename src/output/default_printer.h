// The system's default printer as a drawing surface, and the owner of a
// printer handle. The spooler is loaded when the first print needs it.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "output/print_rules.h"
#include "platform/handles.h"
#include "platform/picture.h"

namespace fw {

// A printer handle from OpenPrinter, closed through the spooler (which is
// loaded by then).
void ClosePrinterHandle(HANDLE h) noexcept;
using UniquePrinter = UniqueHandle<SimpleTraits<HANDLE, ClosePrinterHandle>>;

// A printer operation that failed.
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The system's default printer as a drawing surface. Its settings are the
// printer's current defaults; the orientation can be changed until the first
// drawing. It measures in device pixels from the top-left corner of the
// printable area. The device context is made on first measurement, and the
// document starts with the first drawing. A document not ended when the
// object goes is withdrawn. Every failing operation throws PrintError.
class DefaultPrinter {
 public:
  // Fails when there is no default printer or it cannot be opened.
  static DefaultPrinter Open();

  DefaultPrinter(DefaultPrinter&&) noexcept = default;
  DefaultPrinter& operator=(DefaultPrinter&&) noexcept = default;

  const std::string& name() const { return name_; }

  void SetOrientation(print::Orientation orientation);

  // The printable area in the current unit.
  float ScaleWidth();
  float ScaleHeight();
  print::ScaleMode ScaleMode() const { return print::ScaleMode::Pixel; }
  // The resolution lengths convert at, horizontally and vertically
  // (pixels per inch).
  int DpiX();
  int DpiY();

  // Draws the whole picture stretched into the rectangle (current unit).
  void PaintPicture(const Picture& picture, float left, float top, float width, float height);
  // Ends the page and the document, which sends it to the printer.
  void EndDoc();

 private:
  DefaultPrinter() = default;
  HDC Device();
  DEVMODEA* Mode() { return reinterpret_cast<DEVMODEA*>(devmode_.data()); }

  std::string name_;
  UniquePrinter printer_;
  std::vector<unsigned char> devmode_;
  // Declared after the DC so that an open job is withdrawn before the DC goes.
  UniqueDC dc_;
  std::unique_ptr<PrintDocument> doc_;
};

}  // namespace fw
