#include "image/picture_commands.h"

#include <windows.h>

#include "app/form1.h"
#include "image/clipboard.h"
#include "image/drag_rules.h"
#include "platform/picture_box.h"
#include "resource_ids.h"

namespace fw {
namespace {

drag::ImageDrag g_imageDrag;

void Image1_Mouse(MouseEvent event, int, int, int x, int y) {
  drag::Mouse m = event == MouseEvent::Down ? drag::Mouse::Down
                  : event == MouseEvent::Up ? drag::Mouse::Up
                                            : drag::Mouse::Move;
  if (auto box = g_imageDrag.OnMouse(m, x, y)) {
    ::SetWindowPos(Form1().image1(), nullptr, box->left, box->top, box->width, box->height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void InitialisePictureArea() {
  SetImageMouseHandler(Form1().image1(), Image1_Mouse);
}

void LoadSamplePhoto() {
  // Unless something has been given to Image1 in the meantime.
  HWND image = Form1().image1();
  if (!GetImagePicture(image).IsObject()) SetImagePicture(image, Picture::FromResource(IDR_SAMPLE_PHOTO));
}

void Command3_Click() {
  Form1().SetPicture(Picture());
}

void dfgd_Click() {
  Form1().SetPicture(Picture());
}

void Command8_Click() {
  PutPictureOnClipboard(Form1().hwnd(), Form1().GetPicture());
}

void Command7_Click() {
  // With nothing to cut the clipboard keeps what the user had there.
  if (PutPictureOnClipboard(Form1().hwnd(), Form1().GetPicture())) Form1().SetPicture(Picture::Empty());
}

void Command9_Click() {
  // A clipboard that another program holds is not an empty one: the
  // picture stays.
  if (std::optional<Picture> pasted = PictureFromClipboard(Form1().hwnd())) Form1().SetPicture(std::move(*pasted));
}

void Command13_Click() {
  SetImagePicture(Form1().image1(), Form1().GetPicture());
}

}  // namespace fw
