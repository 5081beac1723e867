// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile OpenRaster files: every crafted case is refused with a message, and every
// raster made on the way is released again; the generic truncations and bit flips of a
// valid work file never crash and leave nothing behind either.
#include "document/ReadWorkFile.h"
#include "document/SaveWorkFile.h"

#include "support/HostileWorkFiles.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<uint8_t> ValidWorkFile()
{
    RasterImage source = newdib(10, 10, 24, nullptr, 0);
    RasterImage work = newdib(10, 10, 24, nullptr, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            setpixel(source, x, y, uint32_t(x * 20 + y) * 0x010101u);
            setpixel(work, x, y, uint32_t(x * 7919 + y * 104729));
        }
    QString error;
    const QByteArray bytes = document::EncodeWorkFile(source, work, {}, {}, error);
    deldib(source);
    deldib(work);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// Counts the rasters made and released through it. The decoders make theirs
// themselves, so "balanced" is: everything made here released. A raster released may
// leave its address to the next one made, so only the ones still alive are kept (a
// raster released twice is the sanitized run's to find).
struct Counted {
    std::set<uintptr_t> live;
    bool Balanced() const { return live.empty(); }
    document::RasterLibrary library;
    Counted()
    {
        library.NewDib = [this](int32_t w, int32_t h, int32_t b, const void *s, int32_t n) {
            const RasterImage r = newdib(w, h, b, s, n);
            if (r.Storage)
                live.insert(r.Storage);
            return r;
        };
        library.DelDib = [this](const RasterImage &r) {
            live.erase(r.Storage);
            deldib(r);
        };
    }
};

TEST(HostileWorkFiles, EveryCraftedCaseIsRefusedWithAMessage)
{
    const std::vector<uint8_t> valid = ValidWorkFile();
    ASSERT_FALSE(valid.empty());
    const auto cases = hostile::HostileWorkFiles(valid);
    ASSERT_GT(cases.size(), 30u);
    for (const hostile::HostileFile &file : cases) {
        Counted counted;
        const document::WorkFileContent read =
            document::ReadWorkFile(file.bytes.data(), file.bytes.size(), counted.library);
        EXPECT_FALSE(read.Read) << file.name;
        EXPECT_GT(read.Error.size(), 30u) << file.name << ": " << read.Error;
        EXPECT_TRUE(counted.Balanced()) << file.name;
    }
}

TEST(HostileWorkFiles, TruncationsAndBitFlipsNeverCrashOrLeak)
{
    const std::vector<uint8_t> valid = ValidWorkFile();
    for (const hostile::HostileFile &file : hostile::HostileVariants("work.ora", valid)) {
        Counted counted;
        const document::WorkFileContent read =
            document::ReadWorkFile(file.bytes.data(), file.bytes.size(), counted.library);
        if (read.Read) {
            EXPECT_EQ(RasterWidth(read.Rasters.Work), RasterWidth(read.Rasters.Source));
            counted.library.Delete(read.Rasters.Source);
            counted.library.Delete(read.Rasters.Work);
        } else {
            EXPECT_FALSE(read.Error.empty()) << file.name;
        }
        EXPECT_TRUE(counted.Balanced()) << file.name;
    }
}

} // namespace
