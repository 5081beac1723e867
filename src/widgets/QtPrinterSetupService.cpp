// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtPrinterSetupService.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

bool QtPrinterSetupService::Run(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    // A setup dialog: the printer, its file and paper; the page is always the one
    // picture, so no page ranges.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // Confirming chooses the printer; printing is the print dialog's OK.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("&OK"));
    return dialog.exec() == QDialog::Accepted;
}
