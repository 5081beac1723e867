// SPDX-License-Identifier: GPL-3.0-or-later
// The recovery work file: written after steps (at most once per interval), removed by a
// normal close, offered at the next start when a window was not closed normally (a
// "crash": the window destroyed without closing), restored or removed as the user
// answers; two windows at once keep their own files; a failed write shows nothing and is
// tried again at the next step. One test kills a program (SIGKILL) that has painted and
// starts again: the test binary run with TINTWELL_RECOVERY_CHILD set is that program.
#include "app/WindowFixture.h"
#include "document/RecoveryFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The killed program: paints a stroke with "Water" at zoom 200 in a window keeping its
// recovery file in `folder`, waits for the write, leaves the work's and the original's
// bytes beside the folder, says so on its output and waits to be killed.
[[noreturn]] void PaintAndWaitToBeKilled(const QString &folder)
{
    WindowFixture window;
    window.recoveryFolder = folder;
    window.openWindow();
    window.form->recoveryInterval_ = 0;
    window.patternPicture();
    window.form->ToolButton3->click();
    window.stroke(QPoint(30, 20), QPoint(250, 160));
    window.form->CollectRecoveryWrite(true);
    QFile expected(folder + QStringLiteral("/../expected"));
    const Bytes work = Pixels(window.form->WorkRaster), source = Pixels(window.form->SourceRaster);
    if (!expected.open(QIODevice::WriteOnly)
        || expected.write(reinterpret_cast<const char *>(work.data()), qint64(work.size()))
               != qint64(work.size())
        || expected.write(reinterpret_cast<const char *>(source.data()), qint64(source.size()))
               != qint64(source.size()))
        std::_Exit(2);
    expected.close();
    std::puts("written");
    std::fflush(stdout);
    for (;;)
        ::pause();
}

} // namespace

class TestRecovery : public QObject, WindowFixture {
    Q_OBJECT

    const QString kOffer =
        QStringLiteral("Tintwell was closed before the last changes were saved. Restore them?");

    QStringList recoveryFiles() const
    {
        return QDir(recoveryFolder).entryList({QStringLiteral("*.ora")}, QDir::Files);
    }
    // Paints one stroke and waits for its recovery write.
    void paintAndWrite(QPoint from, QPoint to)
    {
        stroke(from, to);
        form->CollectRecoveryWrite(true);
    }
    // The window as a crash leaves it: destroyed without closing.
    void crash() { form.reset(); }

    std::unique_ptr<QTemporaryDir> folder;

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        recoveryFolder = folder->path() + QStringLiteral("/state/tintwell");
        openWindow();
        form->recoveryInterval_ = 0;
    }
    void cleanup()
    {
        form.reset();
        folder.reset();
    }

    void aKilledProgramsLastStepIsRestored()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TINTWELL_RECOVERY_CHILD"), recoveryFolder);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("written"));
        child.kill(); // SIGKILL: no close, no destructors
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(recoveryFiles().size(), 1);

        QFile expected(recoveryFolder + QStringLiteral("/../expected"));
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QByteArray bytes = expected.readAll();
        messages.Answer = MessageButton::Yes;
        form->OfferRecovery();
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes[0].Text, kOffer);
        const Bytes work = Pixels(form->WorkRaster), source = Pixels(form->SourceRaster);
        QCOMPARE(qsizetype(work.size() + source.size()), bytes.size());
        const auto asBytes = [](const Bytes &b) {
            return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
        };
        QCOMPARE(asBytes(work) + asBytes(source), bytes);
        QVERIFY(form->WorkChanged());
    }

    void aCrashedWindowsWorkIsOfferedAndYesRestoresIt()
    {
        patternPicture();
        form->ToolButton3->click(); // "Water"
        form->ZoomEd->setValue(200);
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        QCOMPARE(recoveryFiles().size(), 1);
        const Bytes source = Pixels(form->SourceRaster);
        const Bytes work = Pixels(form->WorkRaster);
        const int32_t hue = form->CurHue;
        crash();
        QCOMPARE(recoveryFiles().size(), 1);

        openWindow();
        QCOMPARE(recoveryFiles().size(), 1); // nothing written or taken at start
        messages.Answer = MessageButton::Yes;
        form->OfferRecovery();
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(messages.Boxes[0].Text, kOffer);
        QCOMPARE(messages.Boxes[0].Buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(Pixels(form->SourceRaster), source);
        QCOMPARE(Pixels(form->WorkRaster), work);
        QCOMPARE(form->CurHue, hue);
        QCOMPARE(form->ZoomEd->value(), 200);
        QVERIFY(form->WorkChanged());
        // Kept until a normal close, which asks first as for any change.
        QCOMPARE(recoveryFiles().size(), 1);
        messages.Answer = MessageButton::Discard;
        QVERIFY(form->close());
        QVERIFY(recoveryFiles().isEmpty());
    }

    void noRemovesTheOfferedFile()
    {
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        crash();
        openWindow();
        const Bytes white = Pixels(form->WorkRaster);
        messages.Answer = MessageButton::No;
        form->OfferRecovery();
        QCOMPARE(messages.Boxes.size(), 1);
        QVERIFY(recoveryFiles().isEmpty());
        QCOMPARE(Pixels(form->WorkRaster), white);
        QVERIFY(!form->WorkChanged());
        // Offered once only.
        form->OfferRecovery();
        QCOMPARE(messages.Boxes.size(), 1);
    }

    void aNormalCloseOrASaveRemovesTheFile()
    {
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        QCOMPARE(recoveryFiles().size(), 1);
        QTemporaryDir saved;
        dialogs.SaveAnswers = {saved.filePath(QStringLiteral("work.ora"))};
        form->Saveas1Click();
        QVERIFY(recoveryFiles().isEmpty());
        paintAndWrite(QPoint(10, 10), QPoint(60, 60));
        QCOMPARE(recoveryFiles().size(), 1);
        form->UndoStep(); // back at the saved work: nothing to recover
        form->CollectRecoveryWrite(true);
        QVERIFY(recoveryFiles().isEmpty());
        form->RedoStep();
        form->CollectRecoveryWrite(true);
        QCOMPARE(recoveryFiles().size(), 1);
        messages.Answer = MessageButton::Discard;
        QVERIFY(form->close());
        QVERIFY(recoveryFiles().isEmpty());
        crash();
        openWindow();
        form->OfferRecovery();
        QVERIFY(messages.Boxes.isEmpty());
    }

    void twoWindowsKeepTheirOwnFiles()
    {
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        TestMainForm other(seams());
        other.recoveryInterval_ = 0;
        other.GrrayBtnClick(); // white stays white, but it is a step
        other.CollectRecoveryWrite(true);
        QCOMPARE(recoveryFiles().size(), 2);
        // Neither is offered while both run.
        other.OfferRecovery();
        form->OfferRecovery();
        QVERIFY(messages.Boxes.isEmpty());
        // One of them crashes: the one still running is offered its work, and its own
        // file stays.
        crash();
        messages.Answer = MessageButton::No;
        other.OfferRecovery();
        QCOMPARE(messages.Boxes.size(), 1);
        QCOMPARE(recoveryFiles().size(), 1);
        QVERIFY(QFile::exists(other.recovery_->OwnFile()));
    }

    void aFailedWriteShowsNothingAndIsTriedAtTheNextStep()
    {
        // The folder goes away under the window: writes fail with no box.
        QVERIFY(QDir(recoveryFolder).removeRecursively());
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        QVERIFY(messages.Boxes.isEmpty());
        QVERIFY(recoveryFiles().isEmpty());
        form->recoveryInterval_ = 60'000; // a failure does not count as a write
        QVERIFY(QDir().mkpath(recoveryFolder));
        paintAndWrite(QPoint(10, 10), QPoint(60, 60));
        QCOMPARE(recoveryFiles().size(), 1);
        QVERIFY(messages.Boxes.isEmpty());
    }

    void atMostOneWritePerInterval()
    {
        form->recoveryInterval_ = 60'000;
        paintAndWrite(QPoint(40, 40), QPoint(300, 200));
        const QString file = QDir(recoveryFolder).filePath(recoveryFiles().value(0));
        const QByteArray first = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(!first.isEmpty());
        paintAndWrite(QPoint(10, 10), QPoint(60, 60));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), first); // the second step waits for the interval's end
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("TINTWELL_RECOVERY_CHILD"))
        PaintAndWaitToBeKilled(qEnvironmentVariable("TINTWELL_RECOVERY_CHILD"));
    TestRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_recovery.moc"
