// SPDX-License-Identifier: GPL-3.0-or-later
// The ten colour presets of the preset bar, by the number of their button
// (ToolButton1 ... ToolButton10). Presets give hue and saturation only; brightness is
// left as it is.
#pragma once

#include <array>
#include <cstdint>

namespace colour {

struct Preset {
    const char *Caption;
    int32_t Hue;
    int32_t Sat;
};

// Index n - 1 is ToolButton n. The bar shows them in another order (Skin, Skin 2, Sky,
// ...), which is the layout's business.
constexpr std::array<Preset, 10> PresetButtons = {{
    {"Skin", 20, 141},   // ToolButton1
    {"Sky", 143, 157},   // ToolButton2
    {"Water", 147, 101}, // ToolButton3
    {"Sand", 23, 117},   // ToolButton4
    {"Grass", 55, 60},   // ToolButton5
    {"Stone", 0, 24},    // ToolButton6
    {"Skin 2", 17, 190}, // ToolButton7
    {"Hill", 139, 64},   // ToolButton8
    {"Wood", 23, 76},    // ToolButton9
    {"Forest", 89, 48},  // ToolButton10
}};

// The preset of ToolButton n, n in 1..10.
constexpr const Preset &PresetOfButton(int n)
{
    return PresetButtons[size_t(n - 1)];
}

} // namespace colour
