// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the windows' message boxes, file dialogs, help engine, clock, shell and
// printer setup that record what the window asked for and answer at once, so no modal
// box blocks a test and nothing outside the test is touched.
#pragma once

#include "widgets/Clock.h"
#include "widgets/FileDialogService.h"
#include "widgets/HelpEngine.h"
#include "widgets/MessageService.h"
#include "widgets/PrinterSetupService.h"
#include "widgets/ShellService.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

// Records every message box; answers with Answer (Ok by default).
class FakeMessageService : public MessageService {
public:
    struct Shown {
        QString Text;
        QString Caption;
        MessageIcon Icon;
        MessageButtons Buttons;
    };
    QList<Shown> Boxes;
    MessageButton Answer = MessageButton::Ok;

    MessageButton show(const QString &text, const QString &caption, MessageIcon icon,
                       MessageButtons buttons) override
    {
        Boxes.append({text, caption, icon, buttons});
        return Answer;
    }
};

// Answers the open and save dialogs with the next queued name; with none queued, the
// user cancels. Keeps the last requests for inspection.
class FakeFileDialogService : public FileDialogService {
public:
    QStringList OpenAnswers;
    QStringList SaveAnswers;
    std::optional<OpenDialogRequest> LastOpen;
    std::optional<SaveDialogRequest> LastSave;
    int OpenCount = 0;
    int SaveCount = 0;

    std::optional<QString> ChooseOpenFile(const OpenDialogRequest &request) override
    {
        ++OpenCount;
        LastOpen = request;
        if (OpenAnswers.isEmpty())
            return std::nullopt;
        return OpenAnswers.takeFirst();
    }
    std::optional<QString> ChooseSaveFile(const SaveDialogRequest &request) override
    {
        ++SaveCount;
        LastSave = request;
        if (SaveAnswers.isEmpty())
            return std::nullopt;
        return SaveAnswers.takeFirst();
    }
};

// Records the quit commands sent to the help engine, in a shared log if given.
class FakeHelpEngine : public HelpEngine {
public:
    explicit FakeHelpEngine(QStringList *log = nullptr) : log_(log) {}
    QStringList QuitFiles;
    void Quit(const QString &helpFile) override
    {
        QuitFiles << helpFile;
        if (log_)
            log_->append(QStringLiteral("help quit"));
    }

private:
    QStringList *log_;
};

// Tells the year it is set to.
class FakeClock : public Clock {
public:
    explicit FakeClock(int year) : Year(year) {}
    int Year;
    int CurrentYear() const override { return Year; }
};

// Records what the shell was asked to open; answers with Answer, starts nothing.
class FakeShellService : public ShellService {
public:
    struct Request {
        QPointer<QWidget> Parent;
        QString Address;
    };
    QList<Request> Requests;
    bool Answer = true;
    bool Open(QWidget *parent, const QString &address) override
    {
        Requests.append({parent, address});
        return Answer;
    }
};

// The printer setup answered by Answer, which may change the printer as a user would
// (a PDF file, another paper); with none, the user cancels.
class FakePrinterSetupService : public PrinterSetupService {
public:
    std::function<bool(QPrinter &)> Answer;
    int Count = 0;
    QPrinter *LastPrinter = nullptr;
    QPointer<QWidget> LastParent;
    bool Run(QPrinter &printer, QWidget *parent) override
    {
        ++Count;
        LastPrinter = &printer;
        LastParent = parent;
        return Answer ? Answer(printer) : false;
    }
};
