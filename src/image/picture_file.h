// The picture-save operation: writes a picture object to a file in the
// format the file's name asks for (imagefile::FormatForName): PNG, JPEG,
// GIF or TIFF through the system's image encoders, and for any other name
// the picture's own storage format (a Windows bitmap for a bitmap picture,
// a metafile of the same kind for a metafile picture, an icon for an icon).
// The file is written beside its target under a temporary name and takes
// its name only once it is whole, so a failure never damages an existing
// file of that name and no name ever shows a partial file.
#pragma once

#include <string>

#include "image/image_file_rules.h"
#include "platform/picture.h"
#include "platform/safe_file.h"

namespace fw {

struct WriteResult {
  bool ok = false;
  unsigned long error = 0;  // the Windows error code on failure (0: no picture)
  std::string reason;       // why it failed, in words for the user
  std::string path;         // the file written (WritePictureFile): its full name as Windows gives it
};

// Writes the picture as the file `path`, in the format its name asks for,
// replacing a file of that name. A name that ends in dots or spaces is
// written under the name Windows gives it ("shot.png." as "shot.png", a
// PNG file); the result says which file that was.
WriteResult WritePictureFile(const Picture& picture, const std::string& path);

// Writes the picture's bytes into `file` in `format`, which the caller then
// finishes and names. A raster format takes a bitmap's rows a band at a
// time; a metafile or icon picture is drawn at its natural size first.
WriteResult WritePicture(const Picture& picture, NewFile& file, imagefile::FileFormat format);

}  // namespace fw
