// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ProgressSink.h"

namespace document {

int32_t RowProgress(int32_t y, int32_t rows)
{
    if (rows <= 1)
        return 100;
    return y * 100 / (rows - 1);
}

} // namespace document
