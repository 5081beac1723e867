// SPDX-License-Identifier: GPL-3.0-or-later
// The captions the window system gets: run on a real X server (Xvfb) with the xcb
// platform, reading each window's name back with xprop. Qt appends its application
// display name to every caption it hands the window system, so this is the only place
// where a caption that reads right inside Qt can still reach the desktop wrong.
#include "app/AboutBox.h"
#include "app/Application.h"
#include "app/PrintForm.h"
#include "app/WindowFixture.h"
#include "widgets/QtMessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// The window's name as the X server holds it (_NET_WM_NAME, UTF-8), or why not.
QString ServerCaption(QWidget *window)
{
    if (!QTest::qWaitForWindowExposed(window))
        return QStringLiteral("<not exposed>");
    QTest::qWait(50); // the name is set with the window, but let the server settle
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0)
        return QStringLiteral("<xprop failed: %1>")
            .arg(QString::fromLocal8Bit(xprop.readAllStandardError()));
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("= \"(.*)\"")).match(out);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<no name: %1>").arg(out);
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs the xcb platform on an X server (the test command runs it under Xvfb)");
        SetUpApplication();
    }

    void mainWindowAboutBoxAndPrintDialog()
    {
        TestMainForm form;
        form.show();
        QCOMPARE(ServerCaption(&form), QStringLiteral("Merrow Tintwell 2.0"));

        TAboutBox about({}, &form);
        about.show();
        QCOMPARE(ServerCaption(&about), QStringLiteral("Info"));
        about.hide();

        QTemporaryDir settings;
        QPrinter printer;
        TPrintForm print(printer, form.WorkRaster, {nullptr, SettingsStore(settings.path())},
                         &form);
        print.show();
        QCOMPARE(ServerCaption(&print), QStringLiteral("Print picture..."));
        print.reject();
    }

    void messageBoxes_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("own caption") << QStringLiteral("Error") << QStringLiteral("Error");
        QTest::newRow("no caption of its own") << QString() << ApplicationTitle();
    }
    void messageBoxes()
    {
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        QWidget owner;
        owner.show();
        QtMessageService messages(&owner, ApplicationTitle());
        QString seen = QStringLiteral("<no box>");
        QTimer::singleShot(0, [&] {
            QWidget *box = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((box = QApplication::activeModalWidget()) != nullptr, 5000);
            seen = ServerCaption(box);
            qobject_cast<QMessageBox *>(box)->accept();
        });
        messages.show(QStringLiteral("text"), caption, MessageIcon::Error, MessageButton::Ok);
        QCOMPARE(seen, shown);
    }
};

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
