// SPDX-License-Identifier: GPL-3.0-or-later
// Opens every hostile file made from the seed folders given as arguments, under the
// sanitizers. Exits 1 when a refusal carries no readable text; a sanitizer report
// aborts the run by itself.
#include "FuzzDecoder.h"
#include "support/HostileCorpus.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    size_t files = 0;
    int faults = 0;
    for (int i = 1; i < argc; ++i) {
        for (const hostile::HostileFile &file : hostile::MakeHostileCorpus(argv[i])) {
            ++files;
            const RasterImage raster = OpenDibMemory(file.bytes.data(), file.bytes.size());
            if (!raster.Pixels && RasterErrorText(raster).size() <= 5) {
                std::fprintf(stderr, "%s: refused without a readable text\n", file.name.c_str());
                ++faults;
            }
            CheckDecoded(raster);
        }
    }
    std::printf("hostile_replay: %zu files, %d faults\n", files, faults);
    return faults == 0 && files > 0 ? 0 : 1;
}
