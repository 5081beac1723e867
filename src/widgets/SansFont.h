// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the windows were laid out with ("MS Sans Serif", "Arial", "Arial Narrow")
// are not on this platform; the platform's sans-serif takes their place at the same
// size in pixels.
#pragma once

#include <QFont>

// DejaVu Sans (any sans-serif without it) with a character height of pixelSize.
// Condensed asks for the narrow cut, where the platform has one.
QFont SansFont(int pixelSize, bool bold = false, bool condensed = false);
