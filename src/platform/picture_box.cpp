#include "platform/picture_box.h"

#include <memory>

#include "platform/handles.h"
#include "platform/skin.h"
#include "platform/window.h"

namespace fw {
namespace {

struct BoxData {
  Picture picture;
  COLORREF background = RGB(255, 255, 255);
  UniqueBrush brush;
};

struct ImageData {
  Picture picture;
  // A plain bitmap shown while no picture object has been given (the
  // sample photograph): showing it needs no OLE.
  UniqueBitmap plain;
  ImageMouseHandler mouse;
};

SIZE PlainSize(HBITMAP bmp) {
  BITMAP bm{};
  if (bmp && ::GetObjectA(bmp, sizeof bm, &bm) == sizeof bm) return SIZE{bm.bmWidth, bm.bmHeight};
  return SIZE{0, 0};
}

void DrawPlain(HDC dc, HBITMAP bmp) {
  SIZE s = PlainSize(bmp);
  UniqueMemDC mem(::CreateCompatibleDC(dc));
  if (!mem || s.cx <= 0 || s.cy <= 0) return;
  SelectGuard sel(mem.get(), bmp);
  ::BitBlt(dc, 0, 0, s.cx, s.cy, mem.get(), 0, 0, SRCCOPY);
}

template <typename T>
T* DataOf(HWND hwnd) {
  return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void PaintPicture(HWND hwnd, const Picture& picture, HBRUSH background) {
  PaintDC pdc(hwnd);
  RECT dirty = pdc.paint().rcPaint;
  int w = dirty.right - dirty.left, h = dirty.bottom - dirty.top;
  if (w <= 0 || h <= 0) return;
  // Drawn off screen first and copied in one step, so resizing and
  // repainting never flicker.
  UniqueMemDC mem(::CreateCompatibleDC(pdc.get()));
  UniqueBitmap buffer(::CreateCompatibleBitmap(pdc.get(), w, h));
  if (!mem || !buffer) {
    if (background) ::FillRect(pdc.get(), &dirty, background);
    picture.Draw(pdc.get(), 0, 0);
    return;
  }
  SelectGuard sel(mem.get(), buffer.get());
  ::SetViewportOrgEx(mem.get(), -dirty.left, -dirty.top, nullptr);
  if (background) ::FillRect(mem.get(), &dirty, background);
  picture.Draw(mem.get(), 0, 0);
  ::SetViewportOrgEx(mem.get(), 0, 0, nullptr);
  ::BitBlt(pdc.get(), dirty.left, dirty.top, w, h, mem.get(), 0, 0, SRCCOPY);
}

LRESULT HandlePictureBox(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  BoxData* data = DataOf<BoxData>(hwnd);
  LRESULT skinResult = 0;
  if (skin::HandleMessage(hwnd, msg, wParam, lParam, skinResult) && msg != WM_ERASEBKGND) return skinResult;
  switch (msg) {
    case WM_NCCREATE: {
      auto owned = std::make_unique<BoxData>();
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
      break;
    }
    case WM_NCDESTROY: {
      std::unique_ptr<BoxData> owned(data);
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    }
    case WM_ERASEBKGND: return 1;  // painted in WM_PAINT
    case WM_PAINT:
      if (data) {
        PaintPicture(hwnd, data->picture, data->brush.get());
        return 0;
      }
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: return ::SendMessageA(::GetParent(hwnd), msg, wParam, lParam);
    default: break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

int ShiftState(WPARAM wParam) {
  int shift = 0;
  if (wParam & MK_SHIFT) shift |= 1;
  if (wParam & MK_CONTROL) shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

// The picture box behind an image control, when its parent is one.
BoxData* ParentBox(HWND image) {
  HWND parent = ::GetParent(image);
  char cls[64] = {};
  if (!parent || !::GetClassNameA(parent, cls, sizeof cls) || lstrcmpiA(cls, kPictureBoxClass) != 0) return nullptr;
  return DataOf<BoxData>(parent);
}

// An image control is transparent where it has no picture: the picture box
// behind it shows through.
void PaintImage(HWND hwnd, const ImageData& data) {
  PaintDC pdc(hwnd);
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  SIZE s = data.plain ? PlainSize(data.plain.get()) : data.picture.SizePixels();
  if (s.cx < rc.right || s.cy < rc.bottom) {
    if (const BoxData* box = ParentBox(hwnd)) {
      HWND parent = ::GetParent(hwnd);
      POINT origin{0, 0};
      ::MapWindowPoints(hwnd, parent, &origin, 1);
      int saved = ::SaveDC(pdc.get());
      ::SetViewportOrgEx(pdc.get(), -origin.x, -origin.y, nullptr);
      RECT prc;
      ::GetClientRect(parent, &prc);
      if (box->brush) ::FillRect(pdc.get(), &prc, box->brush.get());
      box->picture.Draw(pdc.get(), 0, 0);
      ::RestoreDC(pdc.get(), saved);
    }
  }
  if (data.plain) {
    DrawPlain(pdc.get(), data.plain.get());
  } else {
    data.picture.Draw(pdc.get(), 0, 0);
  }
}

// What a mouse message tells: the event and the button(s) involved, in
// the numbering of the image control's mouse events (1 left, 2 right, 4
// middle; a move reports the buttons held).
struct MouseReport {
  MouseEvent event = MouseEvent::Move;
  int button = 0;
};

MouseReport ReadMouse(UINT msg, WPARAM wParam) {
  switch (msg) {
    case WM_LBUTTONDOWN: return {MouseEvent::Down, 1};
    case WM_RBUTTONDOWN: return {MouseEvent::Down, 2};
    case WM_MBUTTONDOWN: return {MouseEvent::Down, 4};
    case WM_LBUTTONUP: return {MouseEvent::Up, 1};
    case WM_RBUTTONUP: return {MouseEvent::Up, 2};
    case WM_MBUTTONUP: return {MouseEvent::Up, 4};
    default: break;
  }
  MouseReport move;
  if (wParam & MK_LBUTTON) move.button |= 1;
  if (wParam & MK_RBUTTON) move.button |= 2;
  if (wParam & MK_MBUTTON) move.button |= 4;
  return move;
}

void OnImageMouse(HWND hwnd, ImageData& data, UINT msg, WPARAM wParam, LPARAM lParam) {
  int x = static_cast<short>(LOWORD(lParam));
  int y = static_cast<short>(HIWORD(lParam));
  MouseReport report = ReadMouse(msg, wParam);
  // Like any control, the image keeps the mouse while a button is held.
  if (report.event == MouseEvent::Down) ::SetCapture(hwnd);
  if (report.event == MouseEvent::Up && !(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ::ReleaseCapture();
  if (data.mouse) {
    auto handler = data.mouse;  // the handler may replace itself
    handler(report.event, report.button, ShiftState(wParam), x, y);
  }
}

LRESULT HandleImage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ImageData* data = DataOf<ImageData>(hwnd);
  switch (msg) {
    case WM_NCCREATE: {
      auto owned = std::make_unique<ImageData>();
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owned.release()));
      break;
    }
    case WM_NCDESTROY: {
      std::unique_ptr<ImageData> owned(data);
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      if (!data) break;
      PaintImage(hwnd, *data);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      if (!data) break;
      OnImageMouse(hwnd, *data, msg, wParam, lParam);
      return 0;
    default: break;
  }
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The controls' procedures; nothing thrown leaves them.
LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return HandlePictureBox(hwnd, msg, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return HandleImage(hwnd, msg, wParam, lParam);
  } catch (...) {
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

void RegisterPictureControls(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PictureBoxProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kPictureBoxClass;
  ::RegisterClassExA(&wc);
  wc.lpfnWndProc = ImageProc;
  wc.lpszClassName = kImageControlClass;
  ::RegisterClassExA(&wc);
}

HWND CreatePictureBox(HWND parent, int id, const Place& place, COLORREF background) {
  // A container: Tab moves into the controls it holds.
  HWND box = CreateControl(kPictureBoxClass, "", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                           parent, id, place);
  if (BoxData* data = DataOf<BoxData>(box)) {
    data->background = background;
    data->brush.reset(::CreateSolidBrush(background));
  }
  return box;
}

void SetBoxPicture(HWND box, Picture picture) {
  BoxData* data = DataOf<BoxData>(box);
  if (!data) return;
  data->picture = std::move(picture);
  ::InvalidateRect(box, nullptr, FALSE);
  // Controls drawn over the picture show it through their empty parts.
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::InvalidateRect(child, nullptr, FALSE);
  }
}

Picture GetBoxPicture(HWND box) {
  BoxData* data = DataOf<BoxData>(box);
  return data ? data->picture : Picture();
}

HWND CreateImageControl(HWND parent, int id, const Place& place) {
  return CreateControl(kImageControlClass, "Image1", WS_VISIBLE | WS_CLIPSIBLINGS, 0, parent, id, place);
}

void SetImagePicture(HWND image, Picture picture) {
  ImageData* data = DataOf<ImageData>(image);
  if (!data) return;
  data->plain.reset();
  data->picture = std::move(picture);
  SIZE s = data->picture.SizePixels();
  if (data->picture.HasImage() && s.cx > 0 && s.cy > 0) {
    ::SetWindowPos(image, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(image, nullptr, FALSE);
}

void ShowImageBitmap(HWND image, UniqueBitmap bitmap) {
  ImageData* data = DataOf<ImageData>(image);
  if (!data || !bitmap || data->picture.IsObject()) return;
  data->plain = std::move(bitmap);
  SIZE s = PlainSize(data->plain.get());
  if (s.cx > 0 && s.cy > 0) {
    ::SetWindowPos(image, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(image, nullptr, FALSE);
}

Picture GetImagePicture(HWND image) {
  ImageData* data = DataOf<ImageData>(image);
  return data ? data->picture : Picture();
}

void SetImageMouseHandler(HWND image, ImageMouseHandler handler) {
  if (ImageData* data = DataOf<ImageData>(image)) data->mouse = std::move(handler);
}

}  // namespace fw
