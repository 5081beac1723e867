// SPDX-License-Identifier: GPL-3.0-or-later
// The names inside a work file, shared by its writer and its reader.
#pragma once

namespace document {

inline constexpr const char *kOpenRasterType = "image/openraster";
inline constexpr const char *kMimetypeEntry = "mimetype";
inline constexpr const char *kStackEntry = "stack.xml";
inline constexpr const char *kColourEntry = "data/colour.png";
inline constexpr const char *kOriginalEntry = "data/original.png";
inline constexpr const char *kMergedEntry = "mergedimage.png";
inline constexpr const char *kThumbnailEntry = "Thumbnails/thumbnail.png";
inline constexpr const char *kStateEntry = "tintwell/state.json";
inline constexpr const char *kStrokesEntry = "tintwell/strokes.bin";
inline constexpr const char *kColourLayer = "Colour";
inline constexpr const char *kOriginalLayer = "Original";

} // namespace document
