// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-ins for the main window's message boxes, file dialogs and help engine that
// record what the window asked for and answer at once, so no modal box blocks a test.
#pragma once

#include "platform/ui/FileDialogService.h"
#include "platform/ui/HelpEngine.h"
#include "platform/ui/MessageService.h"

#include <QList>
#include <QString>
#include <QStringList>

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
