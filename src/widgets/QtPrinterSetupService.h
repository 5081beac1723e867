// SPDX-License-Identifier: GPL-3.0-or-later
// PrinterSetupService over Qt's print dialog, which on this platform offers the
// installed printers and, always, printing to a PDF file.
#pragma once

#include "widgets/PrinterSetupService.h"

class QtPrinterSetupService : public PrinterSetupService {
public:
    bool Run(QPrinter &printer, QWidget *parent) override;
};
