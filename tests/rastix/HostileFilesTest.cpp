// SPDX-License-Identifier: GPL-3.0-or-later
// Every hostile file must be refused with a readable error text, or decode to a sound
// picture, without crashing, within 2 seconds of processor time and 256 MiB of address
// space. The files of one folder are opened one after another in a child process that
// carries those limits and reports each file as it finishes, so a crash, a hang or a
// runaway allocation shows up as the failure of the file the child was opening. One
// child per folder rather than per file: under AddressSanitizer a fork costs more than
// most of these decodes.
#include "platform/rastix/Rastix.h"
#include "support/HostileCorpus.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
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

ChildReport OpenOne(const std::vector<uint8_t> &bytes)
{
    ChildReport r;
    const RasterImage raster = OpenDibMemory(bytes.data(), bytes.size());
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
    return r;
}

// The child: opens the files in turn, each with a fresh processor allowance (the
// soft limit is moved on; SIGXCPU ends the child when a file overruns it), writing one
// report per file.
[[noreturn]] void RunChild(const std::vector<hostile::HostileFile> &files, int out)
{
    if (kLimitAddressSpace) {
        const rlimit memory{256u << 20, 256u << 20};
        setrlimit(RLIMIT_AS, &memory);
    }
    for (const hostile::HostileFile &file : files) {
        // std::clock is the processor time the process has used so far.
        const rlimit cpu{rlim_t(std::clock() / CLOCKS_PER_SEC) + 1 + kCpuSeconds, RLIM_INFINITY};
        setrlimit(RLIMIT_CPU, &cpu);
        const ChildReport r = OpenOne(file.bytes);
        if (write(out, &r, sizeof r) != ssize_t(sizeof r))
            _exit(3);
    }
    _exit(0);
}

// Opens every file in limited children. Returns the reports in file order; when a child
// dies, the text says of which file and how, and the reports stop before that file.
std::string OpenAllInChildren(const std::vector<hostile::HostileFile> &files,
                              std::vector<ChildReport> &reports)
{
    reports.clear();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child < 0)
        return "fork failed";
    if (child == 0) {
        close(pipeEnds[0]);
        RunChild(files, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    // Each report is one write of fewer than PIPE_BUF bytes, so it arrives whole.
    ChildReport r;
    while (reports.size() < files.size() && read(pipeEnds[0], &r, sizeof r) == ssize_t(sizeof r))
        reports.push_back(r);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (reports.size() == files.size() && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    const std::string name = reports.size() < files.size() ? files[reports.size()].name : "?";
    if (WIFSIGNALED(status))
        return name + ": the child died of signal " + strsignal(WTERMSIG(status));
    return name + ": the child failed";
}

class HostileFiles : public testing::TestWithParam<const char *> {};

TEST_P(HostileFiles, AreRefusedWithTextOrDecodedSafely)
{
    const std::vector<hostile::HostileFile> corpus =
        hostile::MakeHostileCorpus((kSeeds / GetParam()).string());
    ASSERT_GE(corpus.size(), 20u);
    std::printf("%zu hostile files\n", corpus.size());
    std::vector<ChildReport> reports;
    const std::string death = OpenAllInChildren(corpus, reports);
    ASSERT_TRUE(death.empty()) << death;
    int refused = 0;
    for (size_t i = 0; i < corpus.size(); ++i) {
        if (reports[i].refused) {
            ++refused;
            EXPECT_GT(std::strlen(reports[i].text), 5u)
                << corpus[i].name << ": \"" << reports[i].text << "\"";
        } else {
            EXPECT_TRUE(reports[i].sound) << corpus[i].name;
        }
    }
    // Most hostile files must be refused; far fewer than half are harmless changes.
    EXPECT_GT(refused, int(corpus.size()) / 3);
}

std::string FolderName(const testing::TestParamInfo<const char *> &folder)
{
    return folder.param;
}

INSTANTIATE_TEST_SUITE_P(Formats, HostileFiles,
                         testing::Values("bmp", "pcx", "ilbm", "tga", "tiff", "gif", "jpeg",
                                         "opendib"),
                         FolderName);

} // namespace
