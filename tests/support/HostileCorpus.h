// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile picture files made from valid ones: truncations at every header byte, header
// fields set to 0, 1, 65535, 2^31-1 and negative values, plane counts 0 and 9, scan
// lines shorter than the width, GIF code size 12, TIFF offsets past the end, RLE runs
// that pass the end of the picture, and bit flips. Used by the hostile-file test and by
// the sanitized replay of the fuzz build.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostile {

struct HostileFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Every hostile variant of every file in folder (not recursive), in a fixed order.
std::vector<HostileFile> MakeHostileCorpus(const std::string &folder);

// Hostile variants of one valid file, named after baseName.
std::vector<HostileFile> HostileVariants(const std::string &baseName,
                                         const std::vector<uint8_t> &valid);

} // namespace hostile
