// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom that shows a whole picture in the visible area.
#pragma once

#include <cstdint>

namespace view {

// The zooms a zoom field offers: minimum to maximum percent in steps of step.
struct ZoomSteps {
    int32_t minimum;
    int32_t maximum;
    int32_t step;
};

// The largest multiple of steps.step from steps.minimum to steps.maximum at which a
// width x height raster's view (ScaledSize of each side) fits into areaWidth x
// areaHeight; steps.minimum when none fits. A side of 0 fits at every zoom.
int32_t FitZoom(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight,
                ZoomSteps steps);

} // namespace view
