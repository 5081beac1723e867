// SPDX-License-Identifier: GPL-3.0-or-later
// Every hostile file must be refused with a readable error text, or decode to a sound
// picture, without crashing, within 2 seconds of processor time and 256 MiB of address
// space. Each file is opened in a child process that carries those limits, so a crash,
// a hang or a runaway allocation shows up as that file's failure.
#include "platform/rastix/Rastix.h"
#include "support/HostileCorpus.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const std::filesystem::path kSeeds = std::filesystem::path(TINTWELL_SOURCE_DIR) / "fuzz" / "seeds";

// AddressSanitizer maps terabytes of shadow memory, so the address-space limit is left
// to it there (its allocator refuses what no machine has); it also runs code several
// times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLimitAddressSpace = false;
constexpr rlim_t kCpuSeconds = 20;
#else
constexpr bool kLimitAddressSpace = true;
constexpr rlim_t kCpuSeconds = 2;
#endif

struct ChildReport {
    bool refused = false;
    bool sound = false;
    char text[256] = {};
};

// Opens the bytes in a limited child; the report, or a text saying how the child died.
std::string OpenInChild(const std::vector<uint8_t> &bytes, ChildReport &report)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child < 0)
        return "fork failed";
    if (child == 0) {
        close(pipeEnds[0]);
        const rlimit memory{256u << 20, 256u << 20};
        const rlimit cpu{kCpuSeconds, kCpuSeconds + 1};
        if (kLimitAddressSpace)
            setrlimit(RLIMIT_AS, &memory);
        setrlimit(RLIMIT_CPU, &cpu);
        const RasterImage raster = OpenDibMemory(bytes.data(), bytes.size());
        ChildReport r;
        r.refused = raster.Pixels == nullptr;
        if (r.refused) {
            std::strncpy(r.text, RasterErrorText(raster).c_str(), sizeof r.text - 1);
        } else {
            const int bits = RasterBitCount(raster);
            r.sound = RasterWidth(raster) > 0 && RasterHeight(raster) > 0
                      && (bits == 1 || bits == 4 || bits == 8 || bits == 24)
                      && raster.Stride >= (RasterWidth(raster) * bits + 7) / 8;
            deldib(raster);
        }
        const ssize_t written = write(pipeEnds[1], &r, sizeof r);
        _exit(written == ssize_t(sizeof r) ? 0 : 3);
    }
    close(pipeEnds[1]);
    const ssize_t got = read(pipeEnds[0], &report, sizeof report);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return std::string("the child died of signal ") + strsignal(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || got != ssize_t(sizeof report))
        return "the child failed";
    return {};
}

TEST(HostileFiles, AreRefusedWithTextOrDecodedSafely)
{
    std::vector<hostile::HostileFile> corpus;
    for (const char *folder : {"bmp", "pcx", "ilbm", "tga", "tiff", "gif", "jpeg", "opendib"}) {
        for (auto &f : hostile::MakeHostileCorpus((kSeeds / folder).string()))
            corpus.push_back(std::move(f));
    }
    ASSERT_GE(corpus.size(), 200u);
    std::printf("%zu hostile files\n", corpus.size());
    int refused = 0;
    for (const hostile::HostileFile &file : corpus) {
        ChildReport report;
        const std::string death = OpenInChild(file.bytes, report);
        ASSERT_TRUE(death.empty()) << file.name << ": " << death;
        if (report.refused) {
            ++refused;
            EXPECT_GT(std::strlen(report.text), 5u) << file.name << ": \"" << report.text << "\"";
        } else {
            EXPECT_TRUE(report.sound) << file.name;
        }
    }
    // Most hostile files must be refused; far fewer than half are harmless changes.
    EXPECT_GT(refused, int(corpus.size()) / 3);
}

} // namespace
