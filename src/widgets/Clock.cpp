// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Clock.h"

#include <QDate>

int Clock::CurrentYear() const
{
    return QDate::currentDate().year();
}
