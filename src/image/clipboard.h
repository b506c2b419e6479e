// The picture area's clipboard: a picture goes on as a bitmap, and any
// picture format the clipboard holds comes back as a picture.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/picture.h"

namespace fw {

// Empties the clipboard and puts the picture on it as CF_BITMAP (with its
// palette as CF_PALETTE). Everything is made ready first, so that handing
// the data over is all that follows the emptying: a picture without an
// image, one that cannot be copied, an owner that is not a window of this
// thread, or a clipboard another program holds leave the clipboard as it
// was; returns false then.
bool PutPictureOnClipboard(HWND owner, const Picture& picture);

// The clipboard's picture in the first picture format it holds (bitmap,
// device-independent bitmap, enhanced metafile, metafile); no picture object
// when it holds none. Nothing at all when the clipboard cannot be opened
// (another program holds it): that says nothing about what it holds.
std::optional<Picture> PictureFromClipboard(HWND owner);

}  // namespace fw
