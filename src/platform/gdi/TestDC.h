// SPDX-License-Identifier: GPL-3.0-or-later
// A device context for tests: pixels in its own image, a screen depth and a device
// kind of the test's choosing, transfers it can be told to refuse, and a record of
// every GDI call made on it and of every message shown through it.
#pragma once

#include "platform/gdi/ImageDC.h"
#include "platform/gdi/MessageSink.h"

#include <string>
#include <vector>

namespace gdi {

struct TestDCOptions {
    int width = 64;
    int height = 64;
    uint32_t background = 0xff808080u; // initial pixels, 0xffRRGGBB
    int screenBits = 32;
    bool printer = false;    // TECHNOLOGY reads DT_RASPRINTER
    bool dibToDevice = true; // RASTERCAPS includes RC_DIBTODEV
    bool refuseStretchDIBits = false;
    bool refuseSetDIBitsToDevice = false;
    bool refuseCompatibleBitmap = false;
    bool refuseSetDIBits = false;
    bool refuseStretchBlt = false;
};

class TestDC final : public ImageDC, private MessageSink {
public:
    explicit TestDC(const TestDCOptions &options = {});

    int Technology() const override;
    int RasterCaps() const override;
    int BitsPixel() const override { return options_.screenBits; }

    int SetDIBitsToDevice(int x, int y, int width, int height, int xSrc, int ySrc, int startScan,
                          int lines, const void *bits, const BITMAPINFOHEADER *info) override;
    int StretchDIBits(int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc,
                      int hSrc, const void *bits, const BITMAPINFOHEADER *info,
                      uint32_t rop) override;
    HBITMAP CreateCompatibleBitmap(int width, int height) override;
    int SetDIBits(HBITMAP bitmap, int startScan, int lines, const void *bits,
                  const BITMAPINFOHEADER *info) override;
    bool StretchBlt(int x, int y, int width, int height, const DeviceContext &src, int xSrc,
                    int ySrc, int wSrc, int hSrc, uint32_t rop) override;
    void Note(const char *call) override { calls_.emplace_back(call); }

    QImage &Image() { return image_; }
    // Narrows drawing to a device rectangle (the whole image at first).
    void SetClip(QRect clip) { SetClipRect(clip); }

    const std::vector<std::string> &Calls() const { return calls_; }
    int CountOf(const std::string &call) const;
    const std::vector<std::string> &Messages() const { return messages_; }

private:
    void ShowMessage(const std::string &text) override { messages_.push_back(text); }

    TestDCOptions options_;
    QImage image_;
    std::vector<std::string> calls_;
    std::vector<std::string> messages_;
};

} // namespace gdi
