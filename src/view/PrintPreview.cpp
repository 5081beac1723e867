// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/PrintPreview.h"

#include "platform/gdi/Gdi.h"
#include "view/DrawRaster.h"

#include <algorithm>

namespace view {

namespace {

constexpr int32_t kShadow = 3;

void Fill(HDC dc, const Rect &rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A one-pixel frame just inside rect.
void Frame(HDC dc, const Rect &rect, COLORREF colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Offset v (0..from) of a side of length from, on a side of length to, rounded half up.
int32_t ScaleEdge(int64_t v, int64_t to, int64_t from)
{
    return int32_t((2 * v * to + from) / (2 * from));
}

} // namespace

Rect PreviewPaper(const PrintPage &page, int32_t boxWidth, int32_t boxHeight, int32_t margin)
{
    // The box with its margins is a page whose printable area is the inside; the paper
    // is a picture of the page's size placed on it, filling it with its proportions.
    const PrintPage box{boxWidth, boxHeight,
                        Rect{margin, margin, boxWidth - margin, boxHeight - margin}};
    PrintChoice fit;
    fit.Size = PrintSize::UsePageFully;
    fit.KeepAspect = true;
    fit.Centred = true;
    return PrintPlacement(box, page.Width, page.Height, fit);
}

Rect PageToPreview(const Rect &onPage, const PrintPage &page, const Rect &paper)
{
    const Rect cut{std::max(onPage.Left, 0), std::max(onPage.Top, 0),
                   std::min(onPage.Right, page.Width), std::min(onPage.Bottom, page.Height)};
    if (cut.Empty() || paper.Empty())
        return {};
    Rect r{paper.Left + ScaleEdge(cut.Left, paper.Width(), page.Width),
           paper.Top + ScaleEdge(cut.Top, paper.Height(), page.Height),
           paper.Left + ScaleEdge(cut.Right, paper.Width(), page.Width),
           paper.Top + ScaleEdge(cut.Bottom, paper.Height(), page.Height)};
    if (r.Right <= r.Left) {
        r.Left = std::min(r.Left, paper.Right - 1);
        r.Right = r.Left + 1;
    }
    if (r.Bottom <= r.Top) {
        r.Top = std::min(r.Top, paper.Bottom - 1);
        r.Bottom = r.Top + 1;
    }
    return r;
}

void PaintPrintPreview(HDC dc, int32_t boxWidth, int32_t boxHeight, COLORREF background,
                       const PrintPage &page, const RasterImage &raster, const PrintChoice &choice)
{
    Fill(dc, Rect{0, 0, boxWidth, boxHeight}, background);
    const Rect paper = PreviewPaper(page, boxWidth - kShadow, boxHeight - kShadow, kPreviewMargin);
    if (paper.Empty())
        return;
    Fill(dc,
         Rect{paper.Left + kShadow, paper.Top + kShadow, paper.Right + kShadow,
              paper.Bottom + kShadow},
         RGB(128, 128, 128));
    Fill(dc, paper, RGB(255, 255, 255));
    const Rect printable = PageToPreview(page.Printable, page, paper);
    if (!printable.Empty() && printable != paper)
        Frame(dc, printable, RGB(200, 200, 200));
    Frame(dc, paper, RGB(0, 0, 0));

    if (!raster.Pixels)
        return;
    const int32_t width = RasterWidth(raster);
    const int32_t height = RasterHeight(raster);
    const Rect place = PageToPreview(PrintPlacement(page, width, height, choice), page, paper);
    if (!place.Empty())
        DrawRaster(dc, place.Left, place.Top, place.Width(), place.Height(), raster, 0, 0, width,
                   height, true, SRCCOPY, true, nullptr);
}

} // namespace view
