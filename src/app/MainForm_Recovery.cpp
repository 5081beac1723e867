// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery work file: after each finished step the work goes, at most once a
// minute, to this window's recovery file (document::RecoveryFiles), written by a
// background thread from copies of the two rasters so that painting never waits; the
// interface stays on its one thread and only collects the result. A normal close, a
// save or an opened picture removes the file; at the next start a file left by a window
// that is gone is offered back.
#include "app/MainForm.h"

#include "document/ReadWorkFile.h"
#include "document/RecoveryFiles.h"
#include "document/ReplaceFile.h"
#include "document/SaveWorkFile.h"
#include "document/WorkState.h"
#include "widgets/MessageService.h"

#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kCollectPollMs = 200;

} // namespace

void TMainForm::RecoveryStep()
{
    CollectRecoveryWrite(false);
    if (!recovery_ || recovery_->OwnFile().isEmpty())
        return;
    if (!WorkChanged()) {
        recoveryDue_ = false;
        if (!recoveryWrite_.valid())
            recovery_->RemoveOwn();
        return;
    }
    recoveryDue_ = true;
    if (Painting || recoveryWrite_.valid()) {
        RecoveryTimer->start(kCollectPollMs); // written once the stroke or write ends
        return;
    }
    if (recoveryClock_.isValid() && recoveryClock_.elapsed() < recoveryInterval_) {
        RecoveryTimer->start(int(recoveryInterval_ - recoveryClock_.elapsed()));
        return;
    }
    const RasterImage source =
        seams_.Rasters.New(RasterWidth(SourceRaster), RasterHeight(SourceRaster), 24);
    const RasterImage work =
        seams_.Rasters.New(RasterWidth(WorkRaster), RasterHeight(WorkRaster), 24);
    if (!document::RasterExists(source) || !document::RasterExists(work)
        || source.Stride != SourceRaster.Stride || work.Stride != WorkRaster.Stride) {
        // No memory for the copies now: the next step tries again.
        for (const RasterImage &r : {source, work})
            if (r.Storage)
                seams_.Rasters.Delete(r);
        recoveryDue_ = false;
        return;
    }
    // The stroke record goes as a copy too; without memory for it, the work without it.
    auto strokes = std::make_shared<colour::StrokeRecord>();
    try {
        *strokes = UndoHistory.Record();
    } catch (const std::bad_alloc &) {
        strokes->Reset(0, 0);
    }
    std::memcpy(source.Pixels, SourceRaster.Pixels, RasterImageSize(SourceRaster));
    std::memcpy(work.Pixels, WorkRaster.Pixels, RasterImageSize(WorkRaster));
    recoveryCopies_[0] = source;
    recoveryCopies_[1] = work;
    recoveryDue_ = false;
    recoveryClock_.start();
    recoveryWrite_ = std::async(std::launch::async,
                                [source, work, strokes, state = CurrentWorkState(),
                                 path = recovery_->OwnFile()]() -> QString {
                                    QString error;
                                    const QByteArray bytes = document::EncodeWorkFile(
                                        source, work, state, *strokes, error);
                                    if (bytes.isEmpty())
                                        return error;
                                    return document::ReplaceFile(path, bytes);
                                });
    RecoveryTimer->start(kCollectPollMs);
}

void TMainForm::CollectRecoveryWrite(bool wait)
{
    if (!recoveryWrite_.valid())
        return;
    if (!wait && recoveryWrite_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    const QString failure = recoveryWrite_.get();
    for (RasterImage &r : recoveryCopies_) {
        seams_.Rasters.Delete(r);
        r = RasterImage{};
    }
    // A full disk or a folder that cannot be written: the old file stays, nothing is
    // shown, and the next step writes again at once.
    if (!failure.isEmpty())
        recoveryClock_.invalidate();
}

void TMainForm::RecoveryTimerTimer()
{
    CollectRecoveryWrite(false);
    if (recoveryWrite_.valid())
        RecoveryTimer->start(kCollectPollMs);
    else if (recoveryDue_)
        RecoveryStep();
}

void TMainForm::DropRecovery()
{
    CollectRecoveryWrite(true);
    recoveryDue_ = false;
    RecoveryTimer->stop();
    recoveryClock_.invalidate();
    if (recovery_)
        recovery_->RemoveOwn();
}

void TMainForm::OfferRecovery()
{
    if (!recovery_)
        return;
    const std::optional<QString> orphan = recovery_->TakeOrphan();
    if (!orphan)
        return;
    const MessageButton answer = messages_->show(
        QStringLiteral("Tintwell was closed before the last changes were saved. Restore them?"),
        QString(), MessageIcon::Question, MessageButton::Yes | MessageButton::No);
    if (answer != MessageButton::Yes) {
        recovery_->RemoveOrphan();
        return;
    }
    const std::string name = QFile::encodeName(*orphan).toStdString();
    const std::optional<document::WorkFileContent> content =
        document::OpenWorkFile(name, seams_.Rasters);
    if (!content || !content->Read) {
        ShowLoadMessage({content ? content->Error : "The recovery file cannot be read.",
                         document::LoadErrorTitle(name)});
        recovery_->RemoveOrphan();
        return;
    }
    DropRecovery();
    AdoptWorkFile(*content, name);
    // The restored work is in no file the user chose: it counts as changed, and this
    // window keeps the file until it is closed normally.
    UndoHistory.ForgetSaved();
    recovery_->AdoptOrphan();
}
