// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gdi/MemoryDC.h"

namespace gdi {

MemoryDC::MemoryDC(int screenBits) : screenBits_(screenBits)
{
    own_.stock = true; // never deleted by DeleteObject
    own_.image = QImage(1, 1, QImage::Format_RGB32);
    own_.image.fill(0xff000000u);
    Show(&own_);
}

MemoryDC::~MemoryDC()
{
    if (selected_ != &own_)
        selected_->selectedInto = nullptr;
}

void MemoryDC::Show(HBITMAP bitmap)
{
    selected_ = bitmap;
    bitmap->selectedInto = this;
    Target(&bitmap->image, QPoint(0, 0), bitmap->image.rect());
}

HBITMAP MemoryDC::SelectBitmap(HBITMAP bitmap)
{
    // A bitmap can be selected into one DC at a time.
    if (!bitmap || (bitmap->selectedInto && bitmap->selectedInto != this))
        return nullptr;
    HBITMAP previous = selected_;
    previous->selectedInto = nullptr;
    Show(bitmap);
    return previous;
}

} // namespace gdi
