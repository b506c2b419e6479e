// Pictures stored in the program's resources (JPEG or BMP data as RCDATA).
#pragma once

#include <windows.h>

#include "platform/picture.h"

namespace fw {

// Decodes the RCDATA resource `id` of the program into a picture object;
// no object when the resource is missing or cannot be decoded.
Picture LoadResourcePicture(int id) noexcept;

}  // namespace fw
