// The picture-save operation: writes a picture object to a file in the
// picture's own storage format (a Windows bitmap for a bitmap picture, a
// metafile of the same kind for a metafile picture), whatever the file's
// extension. The file is written beside its target under a temporary name
// and takes its name only once it is whole, so a failure never damages an
// existing file of that name and no name ever shows a partial file.
#pragma once

#include <string>

#include "platform/picture.h"
#include "platform/safe_file.h"

namespace fw {

struct WriteResult {
  bool ok = false;
  unsigned long error = 0;  // the Windows error code on failure (0: no picture)
  std::string reason;       // why it failed, in words for the user
  std::string path;         // the file written (WritePictureFile): its full name as Windows gives it
};

// Writes the picture as the file `path`, replacing a file of that name. A
// name that ends in dots or spaces is written under the name Windows gives
// it ("shot.bmp." as "shot.bmp"); the result says which file that was.
WriteResult WritePictureFile(const Picture& picture, const std::string& path);

// Writes the picture's bytes into `file`, which the caller then finishes
// and names.
WriteResult WritePicture(const Picture& picture, NewFile& file);

}  // namespace fw
