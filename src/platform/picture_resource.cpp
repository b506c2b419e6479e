#include "platform/picture_resource.h"

#include <olectl.h>

#include <cstring>

#include "platform/com.h"
#include "platform/handles.h"

namespace fw {

Picture LoadResourcePicture(int id) noexcept {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_RCDATA));
  if (!info) return Picture();
  DWORD size = ::SizeofResource(module, info);
  HGLOBAL loaded = ::LoadResource(module, info);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data || size == 0) return Picture();

  // The decoder reads from a stream over a movable memory block of our own.
  UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!block) return Picture();
  {
    GlobalLock<void> lock(block.get());
    if (!lock.get()) return Picture();
    std::memcpy(lock.get(), data, size);
  }
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(block.get(), TRUE, stream.put()))) return Picture();
  block.release();  // the stream frees it now

  ComPtr<IPictureDisp> disp;
  if (FAILED(::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPictureDisp, disp.put_void()))) {
    return Picture();
  }
  return Picture::FromDisp(std::move(disp));
}

}  // namespace fw
