// SPDX-License-Identifier: GPL-3.0-or-later
// The vector instruction sets the whole-picture operations are built for. Each
// operation's row kernels exist once per instruction set (Highway's targets: AVX-512
// with VBMI, AVX-512, AVX2, SSE4, SSSE3 and plain 128-bit code that runs on any x86-64)
// and the best one this processor has is chosen when an operation first runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ops {

// The targets built that this processor can run, as Highway target bits, best first.
// Every one of them gives the same bytes; tests run each through
// hwy::SetSupportedTargetsForTest.
std::vector<int64_t> SimdTargets();

// The target the operations use now.
int64_t SimdTargetInUse();

// A target's name, such as "AVX3_DL" or "EMU128".
std::string SimdTargetName(int64_t target);

} // namespace ops
