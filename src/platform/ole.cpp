#include "platform/ole.h"

#include <ole2.h>

#include "platform/lazy_library.h"

namespace fw::ole {
namespace {

constexpr const char* kOle32 = "ole32.dll";
constexpr const char* kOleAut32 = "oleaut32.dll";

bool started = false;

}  // namespace

bool Start() noexcept {
  static const bool ok = [] {
    auto* initialize = lazy::Function<decltype(::OleInitialize)>(kOle32, "OleInitialize");
    started = initialize && SUCCEEDED(initialize(nullptr));
    return started;
  }();
  return ok;
}

Session::~Session() {
  if (!started) return;
  if (auto* uninitialize = lazy::Function<decltype(::OleUninitialize)>(kOle32, "OleUninitialize")) uninitialize();
  started = false;
}

HRESULT CreatePictureIndirect(PICTDESC* desc, REFIID iid, BOOL own, void** out) noexcept {
  Start();
  static auto* create = lazy::Function<decltype(::OleCreatePictureIndirect)>(kOleAut32, "OleCreatePictureIndirect");
  return create ? create(desc, iid, own, out) : E_NOTIMPL;
}

HRESULT LoadPicture(IStream* stream, LONG size, BOOL runmode, REFIID iid, void** out) noexcept {
  Start();
  static auto* load = lazy::Function<decltype(::OleLoadPicture)>(kOleAut32, "OleLoadPicture");
  return load ? load(stream, size, runmode, iid, out) : E_NOTIMPL;
}

HRESULT CreateStreamOnGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** out) noexcept {
  Start();
  static auto* create = lazy::Function<decltype(::CreateStreamOnHGlobal)>(kOle32, "CreateStreamOnHGlobal");
  return create ? create(global, deleteOnRelease, out) : E_NOTIMPL;
}

}  // namespace fw::ole
