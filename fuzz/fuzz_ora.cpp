// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the OpenRaster work-file reader: the zip archive, stack.xml, the state file, the
// stroke record and every layer behind them. Whatever the bytes, the result is a refusal
// with a message or two 24-bit rasters of one size, with a stroke record of that size if
// any, whose ids all name its marks.
#include "document/ReadWorkFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const document::WorkFileContent read = document::ReadWorkFile(data, size);
    if (!read.Read) {
        if (read.Error.empty())
            std::abort();
        return 0;
    }
    const RasterImage &s = read.Rasters.Source, &w = read.Rasters.Work;
    if (RasterBitCount(s) != 24 || RasterBitCount(w) != 24 || RasterWidth(s) != RasterWidth(w)
        || RasterHeight(s) != RasterHeight(w))
        std::abort();
    if (const auto &strokes = read.Strokes) {
        if (strokes->Width() != RasterWidth(s) || strokes->Height() != RasterHeight(s)
            || !strokes->Allocated())
            std::abort();
        for (int32_t y = 0; y < strokes->Height(); ++y)
            for (int32_t x = 0; x < strokes->Width(); ++x)
                if (strokes->Row(y)[x] > strokes->MarkCount())
                    std::abort();
    }
    deldib(s);
    deldib(w);
    return 0;
}
