// SPDX-License-Identifier: GPL-3.0-or-later
// Where a device context sends the few messages drawing shows the user. The windows
// adapt it to the program's message boxes; tests record the texts.
#pragma once

#include <string>

namespace gdi {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows text in a modal box with an OK button only, no owner and no caption.
    virtual void ShowMessage(const std::string &text) = 0;
};

} // namespace gdi
