// SPDX-License-Identifier: GPL-3.0-or-later
// A fuzz target's entry run once on each file named on the command line, as libFuzzer
// runs it on files it is given: how a build without libFuzzer replays the saved
// regression inputs. A decoder fault aborts the process; an unreadable file fails it.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
            return 1;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        std::printf("%s: %zu bytes, no fault\n", argv[i], bytes.size());
    }
    return 0;
}
