#pragma once
// Resource identifiers shared by the resource script and the code.

#define IDI_PROGRAM 1
#define IDI_TRAY 2

#define IDB_BACKGROUND 100
#define IDB_ABOUT 101

// RCDATA pictures (PNG)
#define IDR_BUTTON_NORMAL 200
#define IDR_BUTTON_HOVER 201
#define IDR_BUTTON_PRESSED 202
#define IDR_GLYPH_FIRST 210  // nine glyphs, 210..218, in glyph-list order
