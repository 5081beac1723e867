// SPDX-License-Identifier: GPL-3.0-or-later
// A device context over a window's surface image. Device coordinates are the window's:
// device point (x, y) is surface pixel (x - origin.x, y - origin.y), so a surface that
// holds only the visible part of a large window still takes the window's coordinates.
// The surface must stay alive and keep its size while the DC draws on it.
#pragma once

#include "platform/gdi/ImageDC.h"

namespace gdi {

class SurfaceDC final : public ImageDC {
public:
    // screenBits 0 takes the primary screen's depth now (32 without a GUI application).
    SurfaceDC(QImage &surface, QPoint origin, QRect clip, int screenBits = 0);

    int BitsPixel() const override { return screenBits_; }

    // Points the DC at a (possibly new) surface, origin and clip.
    void Retarget(QImage &surface, QPoint origin, QRect clip) { Target(&surface, origin, clip); }
    // Narrows or widens the clip rectangle (device coordinates).
    void SetClip(QRect clip) { SetClipRect(clip); }
    QRect Clip() const { return ClipRect(); }

private:
    int screenBits_;
};

// The primary screen's bits per pixel, 32 when there is no GUI application or screen.
int PrimaryScreenDepth();

} // namespace gdi
