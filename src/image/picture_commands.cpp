#include "image/picture_commands.h"

#include <windows.h>

#include "image/clipboard.h"
#include "image/drag_rules.h"
#include "platform/picture_box.h"
#include "resource_ids.h"

namespace fw {
namespace {

drag::ImageDrag g_imageDrag;

void Image1_Mouse(HWND image1, MouseEvent event, int, int, int x, int y) {
  drag::Mouse m = event == MouseEvent::Down ? drag::Mouse::Down
                  : event == MouseEvent::Up ? drag::Mouse::Up
                                            : drag::Mouse::Move;
  if (auto box = g_imageDrag.OnMouse(m, x, y)) {
    ::SetWindowPos(image1, nullptr, box->left, box->top, box->width, box->height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

void InitialisePictureArea(const MainWindow& form) {
  HWND image = form.image1();
  SetImageMouseHandler(image, [image](MouseEvent event, int button, int shift, int x, int y) {
    Image1_Mouse(image, event, button, shift, x, y);
  });
}

void LoadSamplePhoto(const MainWindow& form) {
  // Unless something has been given to Image1 in the meantime.
  HWND image = form.image1();
  if (GetImagePicture(image).IsObject()) return;
  ShowImageBitmap(image, UniqueBitmap(static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                                        MAKEINTRESOURCEA(IDR_SAMPLE_PHOTO),
                                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
}

void Command3_Click(MainWindow& form) {
  form.SetPicture(Picture());
}

void dfgd_Click(MainWindow& form) {
  form.SetPicture(Picture());
}

void Command8_Click(const MainWindow& form) {
  PutPictureOnClipboard(form.hwnd(), form.GetPicture());
}

void Command7_Click(MainWindow& form) {
  // With nothing to cut the clipboard keeps what the user had there.
  if (PutPictureOnClipboard(form.hwnd(), form.GetPicture())) form.SetPicture(Picture::Empty());
}

void Command9_Click(MainWindow& form) {
  // A clipboard that another program holds is not an empty one: the
  // picture stays.
  if (std::optional<Picture> pasted = PictureFromClipboard(form.hwnd())) form.SetPicture(std::move(*pasted));
}

void Command13_Click(const MainWindow& form) {
  SetImagePicture(form.image1(), form.GetPicture());
}

}  // namespace fw
