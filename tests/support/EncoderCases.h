// SPDX-License-Identifier: GPL-3.0-or-later
// What the tables of encoder-made test files share: the picture sizes every case runs
// at and the test names built from a (case, size) parameter.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace testsupport {

struct PictureSize {
    int width, height;
};

// An odd size, a single pixel, and a short strip wider than 64 pixels.
inline auto EncoderSizes()
{
    return testing::Values(PictureSize{37, 23}, PictureSize{1, 1}, PictureSize{66, 3});
}

// "<case>_<width>x<height>" for a parameter (case with a name, PictureSize).
struct EncoderCaseName {
    template <class Info>
    std::string operator()(const Info &info) const
    {
        const PictureSize s = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + "_" + std::to_string(s.width) + "x"
               + std::to_string(s.height);
    }
};

} // namespace testsupport
