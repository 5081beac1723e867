// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop links the program's windows to its menu entry and icon by the desktop
// file name Qt is given (the Wayland app id): it must name the entry the install puts
// in share/applications, and the AppStream metainfo beside it. tests/install checks the
// installed files themselves.
#include "app/Application.h"

#include <QFile>
#include <QGuiApplication>
#include <QtTest>

class TestDesktopEntry : public QObject {
    Q_OBJECT

private slots:
    void desktopFileNameNamesTheInstalledEntry()
    {
        SetUpApplication();
        const QString id = QGuiApplication::desktopFileName();
        QCOMPARE(id, DesktopEntryId());
        const QString packaging = QStringLiteral(TINTWELL_SOURCE_DIR "/packaging/");
        QVERIFY2(QFile::exists(packaging + id + QStringLiteral(".desktop")), qPrintable(id));
        QFile metainfo(packaging + id + QStringLiteral(".metainfo.xml"));
        QVERIFY2(metainfo.open(QIODevice::ReadOnly), qPrintable(metainfo.fileName()));
        const QByteArray xml = metainfo.readAll();
        QVERIFY(xml.contains(QStringLiteral("<id>%1</id>").arg(id).toUtf8()));
        QVERIFY(xml.contains(QStringLiteral(">%1.desktop</launchable>").arg(id).toUtf8()));
    }
};

QTEST_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
