#include "output/default_printer.h"

#include <winspool.h>

#include "platform/lazy_library.h"

namespace fw {
namespace {

constexpr const char* kDocumentName = "Framewick";

static_assert(static_cast<short>(print::Orientation::Portrait) == DMORIENT_PORTRAIT &&
              static_cast<short>(print::Orientation::Landscape) == DMORIENT_LANDSCAPE);

// The spooler's functions, loaded with the first print.
constexpr const char* kSpooler = "winspool.drv";

template <typename Fn>
Fn* Spooler(const char* function) {
  Fn* fn = lazy::Function<Fn>(kSpooler, function);
  if (!fn) throw PrintError("the print spooler is not available");
  return fn;
}

LONG PrinterDocumentProperties(HWND owner, HANDLE printer, char* name, DEVMODEA* out, DEVMODEA* in, DWORD mode) {
  static auto* fn = Spooler<decltype(::DocumentPropertiesA)>("DocumentPropertiesA");
  return fn(owner, printer, name, out, in, mode);
}

std::string DefaultPrinterName() {
  static auto* getDefaultPrinter = Spooler<decltype(::GetDefaultPrinterA)>("GetDefaultPrinterA");
  DWORD size = 0;
  getDefaultPrinter(nullptr, &size);
  if (size == 0) throw PrintError("no default printer");
  std::string name(size, '\0');
  if (!getDefaultPrinter(name.data(), &size)) throw PrintError("no default printer");
  name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
  if (name.empty()) throw PrintError("no default printer");
  return name;
}

}  // namespace

void ClosePrinterHandle(HANDLE h) noexcept {
  if (auto* close = lazy::Function<decltype(::ClosePrinter)>(kSpooler, "ClosePrinter")) close(h);
}

DefaultPrinter DefaultPrinter::Open() {
  DefaultPrinter p;
  p.name_ = DefaultPrinterName();
  HANDLE h = nullptr;
  static auto* openPrinter = Spooler<decltype(::OpenPrinterA)>("OpenPrinterA");
  if (!openPrinter(p.name_.data(), &h, nullptr) || !h) throw PrintError("the printer cannot be opened");
  p.printer_.reset(h);
  // The printer's current settings.
  LONG size = PrinterDocumentProperties(nullptr, h, p.name_.data(), nullptr, nullptr, 0);
  if (size < static_cast<LONG>(sizeof(DEVMODEA))) throw PrintError("the printer has no settings");
  p.devmode_.assign(static_cast<std::size_t>(size), 0);
  if (PrinterDocumentProperties(nullptr, h, p.name_.data(), p.Mode(), nullptr, DM_OUT_BUFFER) != IDOK) {
    throw PrintError("the printer's settings cannot be read");
  }
  return p;
}

void DefaultPrinter::SetOrientation(print::Orientation orientation) {
  if (doc_ && doc_->started()) throw PrintError("the orientation cannot change on a started page");
  DEVMODEA* mode = Mode();
  mode->dmOrientation = static_cast<short>(orientation);
  mode->dmFields |= DM_ORIENTATION;
  // The driver checks the change and completes the settings that follow it.
  std::vector<unsigned char> asked = devmode_;
  if (PrinterDocumentProperties(nullptr, printer_.get(), name_.data(), Mode(),
                                reinterpret_cast<DEVMODEA*>(asked.data()), DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK) {
    throw PrintError("the printer refuses the orientation");
  }
  if (dc_ && !::ResetDCA(dc_.get(), Mode())) throw PrintError("the printer cannot change its orientation");
}

HDC DefaultPrinter::Device() {
  if (!dc_) {
    dc_.reset(::CreateDCA("WINSPOOL", name_.c_str(), nullptr, Mode()));
    if (!dc_) throw PrintError("the printer cannot be drawn on");
  }
  return dc_.get();
}

float DefaultPrinter::ScaleWidth() {
  return static_cast<float>(::GetDeviceCaps(Device(), HORZRES));
}

float DefaultPrinter::ScaleHeight() {
  return static_cast<float>(::GetDeviceCaps(Device(), VERTRES));
}

int DefaultPrinter::DpiX() {
  return ::GetDeviceCaps(Device(), LOGPIXELSX);
}

int DefaultPrinter::DpiY() {
  return ::GetDeviceCaps(Device(), LOGPIXELSY);
}

void DefaultPrinter::PaintPicture(const Picture& picture, float left, float top, float width, float height) {
  HDC dc = Device();
  if (!doc_) doc_ = std::make_unique<PrintDocument>();
  if (!doc_->started() && !doc_->Start(dc, kDocumentName)) throw PrintError("the document cannot be started");
  const int dpiX = DpiX(), dpiY = DpiY();
  const int x = static_cast<int>(print::DeviceLength(left, ScaleMode(), dpiX));
  const int y = static_cast<int>(print::DeviceLength(top, ScaleMode(), dpiY));
  const int cx = static_cast<int>(print::DeviceLength(width, ScaleMode(), dpiX));
  const int cy = static_cast<int>(print::DeviceLength(height, ScaleMode(), dpiY));
  if (cx <= 0 || cy <= 0 || !picture.DrawStretched(dc, x, y, cx, cy)) throw PrintError("the picture cannot be drawn");
}

void DefaultPrinter::EndDoc() {
  if (!doc_ || !doc_->started()) throw PrintError("nothing was printed");
  if (!doc_->Finish()) throw PrintError("the document cannot be ended");
}

}  // namespace fw
