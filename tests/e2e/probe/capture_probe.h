// What the driver and capture_probe.dll agree on.
#pragma once

namespace e2e {

// Posted to the main window once the probe watches it: the window posts
// itself `lParam` hotkey messages of the id `wParam` from within one
// handler, so all of them are queued before the first is handled.
inline constexpr const char* kPostHotkeysMessage = "FramewickTest.PostHotkeys";

}  // namespace e2e
