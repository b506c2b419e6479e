// Resizing Image1 by dragging on it. Plain C++.
#pragma once

#include <algorithm>
#include <optional>

namespace fw::drag {

enum class Mouse { Down, Move, Up };

struct Box {
  int left, top, width, height;  // pixels, in the picture area
};

// Tracks whether a button that went down on the image is still held.
class ImageDrag {
 public:
  // Returns where the image goes for this event, if anywhere. While a
  // button is held, each move puts the image at the area's top-left corner
  // with its bottom-right corner at the pointer (x, y relative to the
  // image). A pointer left of or above the image gives a size of zero.
  std::optional<Box> OnMouse(Mouse event, int x, int y) {
    switch (event) {
      case Mouse::Down: dragging_ = true; return std::nullopt;
      case Mouse::Up: dragging_ = false; return std::nullopt;
      case Mouse::Move:
        if (!dragging_) return std::nullopt;
        return Box{0, 0, std::max(0, x), std::max(0, y)};
    }
    return std::nullopt;
  }
  bool dragging() const { return dragging_; }

 private:
  bool dragging_ = false;
};

}  // namespace fw::drag
