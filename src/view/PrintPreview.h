// SPDX-License-Identifier: GPL-3.0-or-later
// The print dialog's preview: a page drawn small inside a box.
#pragma once

#include "document/RasterImage.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/Rect.h"
#include "view/PrintPlacement.h"

#include <cstdint>

namespace view {

// The paper in a boxWidth x boxHeight preview: the page with its proportions, as large
// as fits inside the box less margin on every side, centred. Empty when the page or
// what is left of the box is.
Rect PreviewPaper(const PrintPage &page, int32_t boxWidth, int32_t boxHeight, int32_t margin);

// A rectangle of page pixels as shown on the preview's paper: every edge scaled from
// the page to paper, rounded half up, after cutting the rectangle to the page. A
// rectangle that covers part of the page stays at least 1 pixel wide and high, so a
// small picture is still seen; one that covers none is empty.
Rect PageToPreview(const Rect &onPage, const PrintPage &page, const Rect &paper);

// The space kept free around the paper in the preview box.
constexpr int32_t kPreviewMargin = 8;

// Draws the preview into the box (0, 0, boxWidth, boxHeight) of dc: the box in
// background, the paper white with a black edge and a grey shadow, the printable
// area's edge in light grey, and the raster scaled (by DrawRaster) into where
// PrintPlacement puts it. A raster without pixels leaves the paper blank.
void PaintPrintPreview(HDC dc, int32_t boxWidth, int32_t boxHeight, COLORREF background,
                       const PrintPage &page, const RasterImage &raster, const PrintChoice &choice);

} // namespace view
