// The text files a reviewer's snapshot of a running program writes beside
// its pictures: a tracked menu item by item, the main window's visible
// controls, and the tray icons. One line each, fields separated by blanks;
// see each function for its lines.
#pragma once

#include <windows.h>

#include <string>

class CWindow;

// Per item, two blanks per submenu depth, then the id (0 for a
// separator), the flags ("s" separator, "p" opens a submenu, "r" radio,
// "c" checked, "-" for none) and the text with its tab written as "\t".
// Submenus follow the item that opens them.
std::string DescribeMenuItems(HMENU menu);

// "window X Y W H", then "ID X Y W H" per visible control, in the order of
// the window's controls, all in screen coordinates.
std::string DescribeControls(CWindow& window);

// The window beside its picture, screen coordinates, texts on one line
// (tabs and line breaks written "\t", "\n"); out of view is "0 0 0 0":
//   window X Y W H TEXT
//   control ID X Y W H FLAGS TEXT      per visible surface-drawn control
//   child ID CLASS X Y W H FLAGS TEXT  per visible child window, then,
//                                      indented by two blanks, for a list
//                                      view its columns and rows
//     column I ORDER WIDTH TEXT
//     row I X Y W H FLAGS INDENT IMAGE, a tab and the cells joined by tabs
//                                      (columns in creation order),
//   for a tree view its items in display order
//     item DEPTH X Y W H FLAGS TEXT
//   and for a combo box its entries
//     entry I FLAGS TEXT
//   tip TEXT                           for a tooltip
// FLAGS: letters of d disabled, f focused, s selected, h hot, e expanded,
// else "-".
std::string DescribeWindow(HWND window);

// "ID MESSAGE RESOURCE TIP" per tray icon in the order they were added:
// RESOURCE is the number of the program's icon resource on show (0 when
// the picture is none of `resources`).
std::string DescribeTrayIcons(HINSTANCE program, const WORD* resources, int count);
