// SPDX-License-Identifier: GPL-3.0-or-later
// The GDI calls the program makes, as free functions on a device context, with the
// Windows functions' arguments and results. Packed bitmaps are passed as a pointer to
// their header, the colour table following it; only DIB_RGB_COLORS is supported
// (other colour uses fail as the device refusing the call would).
#pragma once

#include "platform/gdi/DeviceContext.h"

int GetDeviceCaps(HDC dc, int index);
int GetClipBox(HDC dc, RECT *rect); // 1: empty, 2: a rectangle

int SetStretchBltMode(HDC dc, int mode); // returns the previous mode
int GetStretchBltMode(HDC dc);
int SetROP2(HDC dc, int mode); // returns the previous mode
int GetROP2(HDC dc);

// Selects a palette into the DC; returns the previously selected one (none at first).
HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool forceBackground);
// Maps the selected palette onto the device's: the entries mapped, 0 on a true-colour
// device or when none is selected.
int RealizePalette(HDC dc);

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                      int startScan, int lines, const void *bits, const BITMAPINFOHEADER *info,
                      uint32_t colourUse);
int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                  int hSrc, const void *bits, const BITMAPINFOHEADER *info, uint32_t colourUse,
                  uint32_t rop);

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A memory DC of the same screen; release it with DeleteDC.
HDC CreateCompatibleDC(HDC dc);
int SetDIBits(HDC dc, HBITMAP bitmap, int startScan, int lines, const void *bits,
              const BITMAPINFOHEADER *info, uint32_t colourUse);
bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, uint32_t rop);
bool DeleteDC(HDC dc);

// Pens, brushes and bitmaps. SelectObject returns the previously selected object of the
// same kind, null on failure. DeleteObject ignores stock objects and refuses a bitmap
// selected into a DC.
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteObject(HGDIOBJ object);

bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);
int FillRect(HDC dc, const RECT *rect, HBRUSH brush);
