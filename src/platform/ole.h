// OLE, loaded and started on first use: the picture objects, the Save
// dialog and the shell need it, the window's first paint does not, so
// start-up neither loads ole32 and oleaut32 nor initialises OLE. Everything
// runs on the one user-interface thread, where OLE is then initialised once
// and stays so until the program ends (Session).
#pragma once

#include <windows.h>
#include <olectl.h>

namespace fw::ole {

// Loads OLE and initialises it on this thread, the first time; true when it
// is initialised. Called before anything that may need OLE.
bool Start() noexcept;

// Ends OLE at the end of the program, when Start initialised it.
class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session();
};

// The OLE functions the program uses, each after Start; a library or
// function that cannot be found gives E_NOTIMPL.
HRESULT CreatePictureIndirect(PICTDESC* desc, REFIID iid, BOOL own, void** out) noexcept;
HRESULT LoadPicture(IStream* stream, LONG size, BOOL runmode, REFIID iid, void** out) noexcept;
HRESULT CreateStreamOnGlobal(HGLOBAL global, BOOL deleteOnRelease, IStream** out) noexcept;

}  // namespace fw::ole
