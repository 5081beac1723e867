// SPDX-License-Identifier: GPL-3.0-or-later
// A drawing surface that behaves like a window the program paints with GDI calls and
// that shows what is drawn at once.
//
// The box keeps a QImage of its visible part only (inside a scroll area, that is the
// part the viewport shows), so memory does not grow with the box's size. Canvas()
// gives a device context on it whose coordinates are the box's own: (0, 0) is the
// box's top-left corner even when that is scrolled out of sight, and the clip box is
// the visible rectangle. After drawing, Present() shows the surface synchronously.
//
// Whenever Qt exposes, resizes or scrolls the box, or the visible part moves, the box
// calls the paint handler to redraw the surface, then shows it. The handler draws
// through Canvas() and may call Present(); inside the box's own painting that does
// nothing more, as the box shows the surface right after.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

#include "platform/gdi/GdiTypes.h"

namespace gdi {
class MessageSink;
class SurfaceDC;
} // namespace gdi

class SurfacePaintBox : public QWidget {
    Q_OBJECT
public:
    explicit SurfacePaintBox(QWidget *parent = nullptr);
    ~SurfacePaintBox() override;

    void SetPaintHandler(std::function<void()> handler) { handler_ = std::move(handler); }

    // The device context on the surface, clipped to the visible part. Valid until the
    // next call of Canvas or CanvasClipped.
    HDC Canvas();
    // The same with the clip narrowed to rect (box coordinates), for repainting only
    // what changed.
    HDC CanvasClipped(const QRect &rect);
    // Shows the surface within the current clip now (nothing while the box paints
    // itself, or when nothing is visible).
    void Present();

    // Where the DC's messages go, kept for the box's life (none: dropped).
    void SetMessageSink(std::unique_ptr<gdi::MessageSink> sink);

    // The part of the box the surface covers, in box coordinates.
    QRect SurfaceRect() const { return surfaceRect_; }
    const QImage &Surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Brings the surface in line with the visible part; true when it had to change
    // (its content is then blank).
    bool SyncSurface();
    void RunHandler();

    QImage surface_;
    QRect surfaceRect_;
    std::unique_ptr<gdi::SurfaceDC> dc_;
    std::unique_ptr<gdi::MessageSink> sink_;
    std::function<void()> handler_;
    bool inHandler_ = false;
    bool inPaintEvent_ = false;
    bool presenting_ = false;
};
