// The clipboard, as another program sees and fills it.
#pragma once

#include <windows.h>

#include <string>

#include "harness/pixels.h"

namespace e2e {

// The clipboard's CF_BITMAP as pixels (empty when there is none).
Image ClipboardBitmap();
bool ClipboardHasFormat(UINT format);
bool PutBitmapOnClipboard(const Image& img);
bool PutTextOnClipboard(const std::string& text);
// Puts a Windows metafile on the clipboard as a metafile picture of the
// given size (HIMETRIC, MM_ANISOTROPIC); the clipboard then owns it.
bool PutMetafilePictOnClipboard(HMETAFILE wmf, LONG widthHimetric, LONG heightHimetric);
bool EmptyTheClipboard();

}  // namespace e2e
