// SPDX-License-Identifier: GPL-3.0-or-later
// The system clock, as far as the windows need it; tests hand in one that tells the
// year they want.
#pragma once

class Clock {
public:
    virtual ~Clock() = default;
    // The year of the current local date, such as 2026.
    virtual int CurrentYear() const;
};
