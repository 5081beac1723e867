// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

constexpr JDIMENSION kLargestSide = 16384;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings (level -1: damaged or missing data, which libjpeg fills in) are counted,
// not shown.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ++info->err->num_warnings;
}

// Decompresses into *out, which the caller owns; false on any error. libjpeg reports
// errors by longjmp back into this function, so nothing here may need a destructor.
bool Decompress(const unsigned char *data, unsigned long size, QImage *out)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.emit_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    const bool knownSpace = info.jpeg_color_space == JCS_GRAYSCALE
                            || info.jpeg_color_space == JCS_YCbCr
                            || info.jpeg_color_space == JCS_RGB;
    if (!knownSpace || info.image_width > kLargestSide || info.image_height > kLargestSide) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (out->isNull() || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    const bool undamaged = errors.base.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return undamaged;
}

} // namespace

QImage DecodeJpeg(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QImage();
    QImage image;
    if (!Decompress(reinterpret_cast<const unsigned char *>(bytes.constData()),
                    static_cast<unsigned long>(bytes.size()), &image))
        return QImage();
    return image;
}
