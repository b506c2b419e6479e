#include "image/picture_file.h"

#include <windows.h>

namespace fw {

WriteResult WritePictureFile(const Picture&, const std::string&) {
  return WriteResult{false, ERROR_CALL_NOT_IMPLEMENTED, "saving is not available yet"};
}

}  // namespace fw
