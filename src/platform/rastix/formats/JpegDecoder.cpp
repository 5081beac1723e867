// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG (JFIF, Exif, Adobe) files through libjpeg, read from memory with the library's
// default settings, so the pixels are exactly those djpeg writes. Colour pictures
// become 24-bit, grey ones 8-bit with a grey palette. CMYK and YCCK pictures are
// converted to RGB by multiplying each ink with black, the inks taken as stored
// inverted (as Adobe writes them) whether or not the file carries Adobe's marker: that
// is how djpeg, ImageMagick and web browsers show them, and the only way real files
// without the marker are written. The Exif orientation is applied afterwards.
//
// libjpeg reports errors by longjmp. Everything that must survive the jump lives in one
// heap object that is never reassigned after setjmp, and no frame between setjmp and
// the jump owns anything that needs a destructor. No message reaches the terminal.
#include "platform/rastix/Rastix.h"
#include "platform/rastix/formats/Decoder.h"
#include "platform/rastix/formats/ExifOrientation.h"
#include "platform/rastix/formats/Orientation.h"

#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace rastix {

namespace {

// Progressive files may hold any number of scans; real ones hold a few dozen.
constexpr int kMaxScans = 1000;

struct JpegJob {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    bool created = false;
    std::string error;     // what libjpeg or we found wrong
    bool fullText = false; // error is a whole refusal text, not what is damaged
    RasterImage raster;
    std::vector<uint8_t> row; // one CMYK row
    int orientation = 1;      // from the Exif marker

    ~JpegJob()
    {
        if (created)
            jpeg_destroy_decompress(&info);
        if (raster.Pixels)
            deldib(raster);
    }
};

JpegJob &JobOf(j_common_ptr common)
{
    // The error manager's address is the job's member; the client data points back.
    return *static_cast<JpegJob *>(common->client_data);
}

[[noreturn]] void OnError(j_common_ptr common)
{
    JpegJob &job = JobOf(common);
    char text[JMSG_LENGTH_MAX] = {};
    common->err->format_message(common, text);
    job.error = text;
    std::longjmp(job.jump, 1);
}

void OnMessage(j_common_ptr)
{
    // Warnings and trace messages are not shown.
}

void OnProgress(j_common_ptr common)
{
    auto *decompress = reinterpret_cast<j_decompress_ptr>(common);
    if (common->is_decompressor && decompress->input_scan_number > kMaxScans) {
        JpegJob &job = JobOf(common);
        job.error = "it holds more than " + std::to_string(kMaxScans) + " scans";
        std::longjmp(job.jump, 1);
    }
}

// One CMYK or YCCK row (already turned into inverted CMYK by libjpeg) to blue, green,
// red, rounded as djpeg rounds.
void CmykToBgr(const uint8_t *in, uint8_t *out, uint32_t width)
{
    for (uint32_t x = 0; x < width; ++x) {
        const unsigned c = in[4 * x], m = in[4 * x + 1], y = in[4 * x + 2], k = in[4 * x + 3];
        out[3 * x] = uint8_t((y * k + 127) / 255);
        out[3 * x + 1] = uint8_t((m * k + 127) / 255);
        out[3 * x + 2] = uint8_t((c * k + 127) / 255);
    }
}

// Everything that calls libjpeg after setjmp. Holds no object with a destructor
// while it calls the library. Returns false (job.error set) when the picture cannot be
// made.
bool ReadJpeg(JpegJob &job, Bytes file)
{
    j_decompress_ptr info = &job.info;
    jpeg_mem_src(info, file.data, static_cast<unsigned long>(file.size));
    jpeg_save_markers(info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(info, TRUE);
    if (auto refusal = CheckPictureSize(info->image_width, info->image_height)) {
        job.error = std::move(*refusal);
        job.fullText = true;
        return false;
    }

    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    const bool grey = info->jpeg_color_space == JCS_GRAYSCALE;
    info->out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(info);

    const uint32_t width = info->output_width;
    const uint32_t height = info->output_height;
    job.raster = newdib(int32_t(width), int32_t(height), grey ? 8 : 24, nullptr, 0);
    if (!job.raster.Pixels) {
        job.error = "There is not enough memory for the picture";
        job.fullText = true;
        return false;
    }
    if (grey)
        SetGreyPalette(job.raster);
    if (cmyk)
        job.row.resize(size_t(width) * 4);

    while (info->output_scanline < height) {
        const uint32_t y = info->output_scanline;
        uint8_t *out = PictureRow(job.raster, y);
        JSAMPROW target = cmyk ? job.row.data() : out;
        if (jpeg_read_scanlines(info, &target, 1) != 1)
            break; // the library has already filled the rest of the data as missing
        if (cmyk)
            CmykToBgr(job.row.data(), out, width);
    }
    for (jpeg_saved_marker_ptr m = info->marker_list; m; m = m->next) {
        // APP1 also carries XMP; the first Exif block counts.
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6
            && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
            job.orientation = ExifOrientation(m->data, m->data_length);
            break;
        }
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

bool IsJpeg(Bytes file)
{
    return file.size >= 3 && file.data[0] == 0xff && file.data[1] == 0xd8 && file.data[2] == 0xff;
}

RasterImage DecodeJpeg(Bytes file)
{
    const std::unique_ptr<JpegJob> job = std::make_unique<JpegJob>();
    job->info.err = jpeg_std_error(&job->errors);
    job->errors.error_exit = OnError;
    job->errors.output_message = OnMessage;
    job->progress.progress_monitor = OnProgress;
    job->info.client_data = job.get(); // kept by jpeg_create_decompress
    if (setjmp(job->jump))
        return job->fullText ? FailedRaster(job->error) : DamagedRaster(job->error);
    jpeg_create_decompress(&job->info);
    job->created = true;
    job->info.progress = &job->progress;
    if (!ReadJpeg(*job, file))
        return job->fullText ? FailedRaster(job->error) : DamagedRaster(job->error);

    const RasterImage result = job->raster;
    job->raster = RasterImage{};
    return ApplyOrientation(result, job->orientation);
}

} // namespace rastix
