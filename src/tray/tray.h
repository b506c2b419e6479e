// Hiding the program in the notification area: the one notification icon,
// the window procedure that receives its mouse messages, and the "Tray"
// button.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>

#include "platform/picture.h"
#include "program/main_window.h"

namespace fw {

// The one notification record, kept between requests; each request sends it
// whole, in the wide record's first (152-byte on 32-bit Windows) version.
extern NOTIFYICONDATAW TrayIconData;
// The procedure TrayWndProc replaced on the owner (in practice
// HotkeyWndProc); everything TrayWndProc does not take goes there.
extern WNDPROC PrevTrayWndProc;

// Installs TrayWndProc on the owner and adds the icon with the owner's own
// icon. True when the shell took the icon.
bool AddTrayIcon(MainWindow& owner, HMENU menu);
// Deletes the icon and puts the replaced procedure back.
void RemoveTrayIcon();
void SetTrayTip(std::string_view text);  // UTF-8
// Shows an icon picture as the notification icon; any other picture changes
// nothing.
void SetTrayIconFromPicture(const Picture& picture);

// After the shell has restarted ("TaskbarCreated"): adds the icon again from
// the same record when the program has one, hidden in the notification area
// or not. Should the shell take it neither as a new icon nor as one it still
// has, a hidden main window is shown, as it could not be reached otherwise.
void AddTrayIconAgain();

LRESULT CALLBACK TrayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void Command6_Click(MainWindow& form);  // "Tray"

}  // namespace fw
