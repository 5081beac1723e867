// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's printer-setup dialog, behind an interface so that tests can answer it.
#pragma once

class QPrinter;
class QWidget;

class PrinterSetupService {
public:
    virtual ~PrinterSetupService() = default;
    // Lets the user choose the printer (or a PDF file), the paper and its orientation
    // for printer, which it changes only when the user confirms. Prints nothing.
    // True when confirmed.
    virtual bool Run(QPrinter &printer, QWidget *parent) = 0;
};
