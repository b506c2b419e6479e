// Small helpers for creating and placing windows and controls.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "platform/units.h"

namespace fw {

// Places are given in twips and converted to pixels at the DPI of the
// top-level window that holds the control (TopWindow::DpiOf).

// Creates a child control at a place given in twips; the class name and
// text are UTF-8.
HWND CreateControl(const char* className, const char* text, DWORD style, DWORD exStyle, HWND parent, int id,
                   const Place& place);

// Moves a window to a place given in twips, relative to its parent.
void MoveToPlace(HWND hwnd, const Place& place);

// A control of a window by its id, and its place in twips.
struct ControlPlace {
  int id;
  Place place;
};
// Moves each control of `parent` named in `places` to its place.
void MoveToPlaces(HWND parent, std::span<const ControlPlace> places);

// Replaces a window's procedure and returns the previous one.
WNDPROC SetWindowProc(HWND hwnd, WNDPROC proc);

// Centres a top-level window on the primary screen.
void CenterOnScreen(HWND hwnd);

// Sizes a top-level window so that its client area has the given size in
// twips (menu bar included in the outer size).
void SetClientSizeTwips(HWND hwnd, long width, long height);

enum class FontKind {
  Arial8,       // Arial 8.25 pt
  SansSerif8,   // MS Sans Serif 8.25 pt, as its scalable twin Microsoft Sans Serif
  Arial16Bold,  // Arial 15.75 pt bold
};
// Shared fonts, one of each kind for each DPI in use, created on first use
// and kept for the program's life.
HFONT UiFont(FontKind kind, int dpi);
// Gives a control the font of that kind at its window's DPI.
void SetFont(HWND hwnd, FontKind kind);
// Gives every control inside `root` that has one of the shared fonts the
// font of the same kind at `root`'s DPI (after the DPI has changed).
void RefreshFonts(HWND root);

// A window's text in UTF-8 (asked for in UTF-16, so an ANSI control's
// text comes converted from the ANSI code page).
std::string WindowText(HWND hwnd);
// The text of one item of a combo box's list; empty for no such item.
std::string ComboItemText(HWND combo, LRESULT index);

}  // namespace fw
