// SPDX-License-Identifier: GPL-3.0-or-later
// The memory device context CreateCompatibleDC makes: it draws into whichever bitmap
// is selected into it, at device (0, 0) = the bitmap's top-left pixel. It starts with
// its own 1 x 1 bitmap, as GDI's do.
#pragma once

#include "platform/gdi/ImageDC.h"

namespace gdi {

class MemoryDC final : public ImageDC {
public:
    explicit MemoryDC(int screenBits);
    ~MemoryDC() override;

    int BitsPixel() const override { return screenBits_; }
    HBITMAP SelectBitmap(HBITMAP bitmap) override;

private:
    void Show(HBITMAP bitmap);

    int screenBits_;
    BitmapObject own_;
    HBITMAP selected_ = nullptr;
};

} // namespace gdi
