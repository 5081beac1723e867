// SPDX-License-Identifier: GPL-3.0-or-later
// The work state as the small versioned JSON file of a work file:
//   {"format": "tintwell-state", "version": 1, "hue": 20, "saturation": 141,
//    "brightness": 0, "tool": "colorize", "zoom": 100}
#pragma once

#include "document/WorkState.h"

#include <QByteArray>

#include <optional>

namespace document {

QByteArray WorkStateToJson(const WorkState &state);

// The state a file holds: nothing when it is not this format's JSON object or comes
// from a later version; a value that is missing, not a number or out of its range keeps
// its default (a tool other than "erase" is Colorize).
std::optional<WorkState> WorkStateFromJson(const QByteArray &json);

} // namespace document
