// Two controls that show a picture object:
//  - the picture box, which draws its picture at natural size at its
//    top-left corner (never scaled, no scroll bars) and holds other
//    controls, passing their notifications on to its parent;
//  - the image control, which takes its picture's natural size when given
//    one and reports mouse presses, moves and releases.
#pragma once

#include <windows.h>

#include <functional>

#include "control_ids.h"
#include "platform/handles.h"
#include "platform/picture.h"
#include "platform/units.h"

namespace fw {

void RegisterPictureControls(HINSTANCE instance);

inline constexpr const char* kPictureBoxClass = ids::kPictureBoxClass;
inline constexpr const char* kImageControlClass = ids::kImageControlClass;

HWND CreatePictureBox(HWND parent, int id, const Place& place, COLORREF background);
void SetBoxPicture(HWND box, Picture picture);
Picture GetBoxPicture(HWND box);

HWND CreateImageControl(HWND parent, int id, const Place& place);
// Gives the control a picture; it takes the picture's natural size at its
// current position (nothing shown and size kept without a picture).
void SetImagePicture(HWND image, Picture picture);
Picture GetImagePicture(HWND image);
// Shows a plain bitmap at its natural size, as a picture would be shown,
// until a picture is given (no picture object is made for it). Nothing
// happens when the control already holds a picture object.
void ShowImageBitmap(HWND image, UniqueBitmap bitmap);

enum class MouseEvent { Down, Move, Up };
// x, y in pixels relative to the control's top-left corner.
using ImageMouseHandler = std::function<void(MouseEvent, int button, int shift, int x, int y)>;
void SetImageMouseHandler(HWND image, ImageMouseHandler handler);

}  // namespace fw
