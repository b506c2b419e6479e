// The picture-save operation: writes a picture object to a file in the
// picture's own storage format (a Windows bitmap for a bitmap picture, a
// metafile of the same kind for a metafile picture), whatever the file's
// extension. The file is written beside its target and moved into place,
// so a failure never damages an existing file of that name.
#pragma once

#include <string>

#include "platform/picture.h"

namespace fw {

struct WriteResult {
  bool ok = false;
  unsigned long error = 0;  // the Windows error code on failure (0: no picture)
  std::string reason;       // why it failed, in words for the user
};

WriteResult WritePictureFile(const Picture& picture, const std::string& path);

}  // namespace fw
