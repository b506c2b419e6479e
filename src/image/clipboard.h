// The picture area's clipboard: a picture goes on as a bitmap, and any
// picture format the clipboard holds comes back as a picture.
#pragma once

#include <windows.h>

#include "platform/picture.h"

namespace fw {

// Empties the clipboard and puts the picture on it as CF_BITMAP (with its
// palette as CF_PALETTE). A picture without an image, or one that cannot be
// copied, leaves the clipboard as it was; returns false then.
bool PutPictureOnClipboard(HWND owner, const Picture& picture);

// The clipboard's picture in the first picture format it holds (bitmap,
// device-independent bitmap, enhanced metafile, metafile); no picture object
// when it holds none.
Picture PictureFromClipboard(HWND owner);

}  // namespace fw
