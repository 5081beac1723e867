// SPDX-License-Identifier: GPL-3.0-or-later
// Print and About.
#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "app/PrintForm.h"
#include "view/PrintRaster.h"
#include "widgets/MessageService.h"
#include "widgets/MessageServiceSink.h"

#include <QPrinter>

QPrinter &TMainForm::Printer()
{
    if (!printer_) {
        printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer_->setDocName(QStringLiteral("Tintwell picture"));
    }
    return *printer_;
}

void TMainForm::Print1Click()
{
    // The dialog is made when needed and goes when the command ends.
    TPrintForm PrintForm(Printer(), WorkRaster, {seams_.PrinterSetup, seams_.Settings}, this);
    if (PrintForm.exec() != QDialog::Accepted)
        return;
    const QString failure = PrintWorkRaster(PrintForm.Choice());
    if (!failure.isEmpty())
        messages_->show(failure, QString(), MessageIcon::Error, MessageButton::Ok);
}

QString TMainForm::PrintWorkRaster(const view::PrintChoice &choice)
{
    QPrinter &printer = Printer();
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    // Without a printer the output is a PDF file, and its name comes from the setup.
    // (Starting a PDF printer that has no file name would also leave it stuck in its
    // printing state, refusing every later setup.)
    if (toFile && printer.outputFileName().isEmpty())
        return QStringLiteral("There is no printer to print on. Choose a printer, or printing "
                              "to a PDF file and its name, with \"Setup printer...\".");
    const QString target = toFile ? QStringLiteral("the file \"%1\"").arg(printer.outputFileName())
                                  : QStringLiteral("the printer \"%1\"").arg(printer.printerName());
    MessageServiceSink sink(*messages_);
    switch (view::PrintRaster(printer, WorkRaster, choice, &sink)) {
    case view::PrintResult::Printed: return QString();
    case view::PrintResult::NoPicture:
        return QStringLiteral("There is no picture in memory to print.");
    case view::PrintResult::NoPrintableArea:
        return QStringLiteral("The paper chosen for %1 leaves no room to print on.").arg(target);
    case view::PrintResult::CouldNotStart:
        return QStringLiteral("The picture could not be printed: %1 could not be opened.")
            .arg(target);
    case view::PrintResult::CouldNotFinish:
        return QStringLiteral("The picture could not be printed: %1 did not take the whole "
                              "page.")
            .arg(target);
    }
    return QString();
}

void TMainForm::About1Click()
{
    // Always the one box created at start-up, shown modally over this window.
    if (AboutBox)
        AboutBox->exec();
}
