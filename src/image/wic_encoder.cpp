#include "image/wic_encoder.h"

#include <objidl.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>

#include "platform/com.h"
#include "platform/lazy_library.h"
#include "platform/ole.h"
#include "platform/text.h"

namespace fw::wic {
namespace {

static_assert(imagefile::kVariantFloat == VT_R4 && imagefile::kVariantByte == VT_UI1);
static_assert(imagefile::kJpegSubsampling444 == WICJpegYCrCbSubsampling444);

constexpr const char* kCodecs = "windowscodecs.dll";

// The encoder's output: a stream over the NewFile. It lives inside the
// FrameEncoder, which releases the encoder before it, so its references are
// counted but never free it.
class FileStream final : public IStream {
 public:
  explicit FileStream(NewFile& file) : file_(file) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
      *out = static_cast<IStream*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references_); }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    DWORD got = 0;
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (!file_.Read(buffer, size, got)) return STG_E_READFAULT;
    position_ += got;
    if (read) *read = got;
    return got == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* bytes, ULONG size, ULONG* written) override {
    if (written) *written = 0;
    if (!bytes) return STG_E_INVALIDPOINTER;
    if (!file_.Write(std::string_view(static_cast<const char*>(bytes), size))) {
      return file_.error() == ERROR_DISK_FULL || file_.error() == ERROR_HANDLE_DISK_FULL ? STG_E_MEDIUMFULL
                                                                                         : STG_E_WRITEFAULT;
    }
    position_ += size;
    size_ = std::max(size_, position_);
    if (written) *written = size;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) override {
    long long base = origin == STREAM_SEEK_SET   ? 0
                     : origin == STREAM_SEEK_CUR ? static_cast<long long>(position_)
                     : origin == STREAM_SEEK_END ? static_cast<long long>(size_)
                                                 : -1;
    if (base < 0) return STG_E_INVALIDFUNCTION;
    long long to = base + move.QuadPart;
    if (to < 0) return STG_E_INVALIDFUNCTION;
    if (static_cast<unsigned long long>(to) != position_) {
      if (!file_.SeekTo(static_cast<std::uint64_t>(to))) return STG_E_SEEKERROR;
      position_ = static_cast<std::uint64_t>(to);
    }
    if (now) now->QuadPart = position_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = size_;
    stat->grfMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }  // the NewFile is flushed when finished
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Revert() override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return STG_E_INVALIDFUNCTION; }

 private:
  NewFile& file_;
  long references_ = 1;
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
};

const GUID& ContainerOf(imagefile::FileFormat format) {
  switch (format) {
    case imagefile::FileFormat::Jpeg: return GUID_ContainerFormatJpeg;
    case imagefile::FileFormat::Gif: return GUID_ContainerFormatGif;
    case imagefile::FileFormat::Tiff: return GUID_ContainerFormatTiff;
    default: return GUID_ContainerFormatPng;
  }
}

std::string HresultText(HRESULT hr) {
  char text[32];
  std::snprintf(text, sizeof text, "error 0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// The imaging factory: windowscodecs' own export, from the system
// directory; where that is missing, the registered class.
ComPtr<IWICImagingFactory> CreateFactory(HRESULT& hr) {
  ComPtr<IWICImagingFactory> factory;
  ole::Start();  // encoders may use COM themselves
  // Exported since the first release, not declared in the headers.
  using CreateFactoryFn = HRESULT WINAPI(UINT, IWICImagingFactory**);
  static auto* proxy = lazy::Function<CreateFactoryFn>(kCodecs, "WICCreateImagingFactory_Proxy");
  hr = proxy ? proxy(WINCODEC_SDK_VERSION, factory.put()) : E_NOTIMPL;
  if (SUCCEEDED(hr) && factory) return factory;
  static auto* create = lazy::Function<decltype(::CoCreateInstance)>("ole32.dll", "CoCreateInstance");
  hr = create
           ? create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, factory.put_void())
           : E_NOTIMPL;
  if (SUCCEEDED(hr) && !factory) hr = E_NOINTERFACE;
  return factory;
}

// The names of the options an encoder's property bag offers.
std::vector<std::wstring> OfferedOptions(IPropertyBag2* bag) {
  std::vector<std::wstring> names;
  ULONG count = 0;
  if (FAILED(bag->CountProperties(&count)) || count == 0) return names;
  std::vector<PROPBAG2> info(count);
  ULONG got = 0;
  if (FAILED(bag->GetPropertyInfo(0, count, info.data(), &got))) return names;
  static auto* freeMemory = lazy::Function<decltype(::CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
  for (ULONG i = 0; i < got && i < count; ++i) {
    if (info[i].pstrName) {
      names.emplace_back(info[i].pstrName);
      if (freeMemory) freeMemory(info[i].pstrName);
    }
  }
  return names;
}

}  // namespace

struct FrameEncoder::State {
  explicit State(NewFile& file) : stream(file) {}
  FileStream stream;  // first in, last out: the encoder below goes before it
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
};

FrameEncoder::FrameEncoder(NewFile& file, imagefile::FileFormat format, int width, int height, Pixels pixels,
                           const std::vector<std::uint32_t>& palette,
                           const std::vector<imagefile::EncoderOption>& options)
    : state_(std::make_unique<State>(file)), name_(imagefile::FormatName(format)), height_(height) {
  Start(file, format, width, height, pixels, palette, options);
}

bool FrameEncoder::Start(NewFile& file, imagefile::FileFormat format, int width, int height, Pixels pixels,
                         const std::vector<std::uint32_t>& palette,
                         const std::vector<imagefile::EncoderOption>& options) {
  const std::string& name = name_;
  auto failed = [&](HRESULT hr) {
    return Fail(hr, "The system's " + name + " encoder failed (" + HresultText(hr) + ").");
  };
  if (!file.ok()) return Fail(E_FAIL, "");
  HRESULT hr = S_OK;
  state_->factory = CreateFactory(hr);
  if (!state_->factory) {
    return Fail(hr, "This system has no image encoders (windowscodecs.dll, " + HresultText(hr) + ").");
  }
  hr = state_->factory->CreateEncoder(ContainerOf(format), nullptr, state_->encoder.put());
  if (FAILED(hr) || !state_->encoder) {
    return Fail(FAILED(hr) ? hr : E_NOINTERFACE, "This system has no " + name + " encoder (" + HresultText(hr) + ").");
  }
  if (FAILED(hr = state_->encoder->Initialize(&state_->stream, WICBitmapEncoderNoCache))) return failed(hr);
  if (FAILED(hr = state_->encoder->CreateNewFrame(state_->frame.put(), state_->options.put()))) {
    return failed(hr);
  }

  // The options this encoder knows (an older system's may lack one).
  if (!options.empty() && state_->options) {
    std::vector<std::wstring> offered = OfferedOptions(state_->options.get());
    for (const imagefile::EncoderOption& option : options) {
      std::wstring wide = Widen(option.name);
      if (std::find(offered.begin(), offered.end(), wide) == offered.end()) continue;
      PROPBAG2 property{};
      property.pstrName = wide.data();
      VARIANT value{};
      value.vt = option.variantType;
      if (option.variantType == VT_R4) {
        value.fltVal = option.real;
      } else {
        value.bVal = option.byte;
      }
      if (FAILED(hr = state_->options->Write(1, &property, &value))) return failed(hr);
    }
  }
  if (FAILED(hr = state_->frame->Initialize(state_->options.get()))) return failed(hr);
  if (FAILED(hr = state_->frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) {
    return failed(hr);
  }
  const GUID& wanted = pixels == Pixels::Bgr24 ? GUID_WICPixelFormat24bppBGR : GUID_WICPixelFormat8bppIndexed;
  WICPixelFormatGUID given = wanted;
  if (FAILED(hr = state_->frame->SetPixelFormat(&given))) return failed(hr);
  if (given != wanted) {
    // It would take the rows for something they are not.
    return Fail(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT, "The system's " + name + " encoder does not take " +
                                                         (pixels == Pixels::Bgr24 ? "24-bit" : "palette") + " pixels.");
  }
  if (pixels == Pixels::Indexed8) {
    ComPtr<IWICPalette> colours;
    if (FAILED(hr = state_->factory->CreatePalette(colours.put()))) return failed(hr);
    std::vector<WICColor> argb;
    for (std::uint32_t c : palette) argb.push_back(0xFF000000u | (c & 0xFFFFFFu));
    if (argb.empty()) argb.push_back(0xFF000000u);
    if (FAILED(
            hr = colours->InitializeCustom(argb.data(), static_cast<UINT>(std::min<std::size_t>(argb.size(), 256))))) {
      return failed(hr);
    }
    if (FAILED(hr = state_->frame->SetPalette(colours.get()))) return failed(hr);
  }
  return true;
}

FrameEncoder::~FrameEncoder() = default;

bool FrameEncoder::Fail(HRESULT hr, std::string reason) {
  if (SUCCEEDED(result_)) {
    result_ = FAILED(hr) ? hr : E_FAIL;
    reason_ = std::move(reason);
  }
  return false;
}

bool FrameEncoder::WriteRows(const std::uint8_t* rows, int count, std::uint32_t stride) {
  if (!ok()) return false;
  if (count <= 0 || written_ + count > height_) return Fail(WINCODEC_ERR_CODECTOOMANYSCANLINES, "Too many rows.");
  HRESULT hr = state_->frame->WritePixels(static_cast<UINT>(count), stride, stride * static_cast<UINT>(count),
                                          const_cast<BYTE*>(rows));
  if (FAILED(hr)) return Fail(hr, "The system's " + name_ + " encoder failed (" + HresultText(hr) + ").");
  written_ += count;
  return true;
}

bool FrameEncoder::Commit() {
  if (!ok()) return false;
  if (written_ != height_) return Fail(E_UNEXPECTED, "The picture's rows were not all written.");
  HRESULT hr = state_->frame->Commit();
  if (SUCCEEDED(hr)) hr = state_->encoder->Commit();
  if (FAILED(hr)) return Fail(hr, "The system's " + name_ + " encoder failed (" + HresultText(hr) + ").");
  return true;
}

}  // namespace fw::wic
