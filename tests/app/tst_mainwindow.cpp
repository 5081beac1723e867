// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: places, captions, hints, spin-edit ranges and behaviour,
// the tool group, the menu, the shared commands and re-docking the left tool bar.
#include "app/WindowFixture.h"
#include "view/DockEdge.h"
#include "widgets/AlignPanel.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

class TestMainWindow : public QObject, WindowFixture {
    Q_OBJECT

private:
    // How often the drag frame has been shown somewhere new since the window was made:
    // each mouse event that leaves it visible at another place counts once.
    int frameDraws = 0;
    QRect lastFrame;

    QWidget *control(const QString &name) const { return form->findChild<QWidget *>(name); }
    // Sends a mouse event with the left button to SpeedBar1 at a point of its own.
    void speedBarMouse(QEvent::Type type, QPoint local)
    {
        const QPoint global = form->SpeedBar1->mapToGlobal(local);
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(local), QPointF(global), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(form->SpeedBar1, &e);
        auto *frame = form->OuterPanel->findChild<QWidget *>(QStringLiteral("DockFrame"));
        const QRect shown = frame && frame->isVisible() ? frame->geometry() : QRect();
        frameDraws += shown.isValid() && shown != lastFrame;
        lastFrame = shown;
        QCoreApplication::processEvents();
    }
    QPoint speedBarPointAt(QPoint outerPanelPoint) const
    {
        return form->SpeedBar1->mapFromGlobal(form->OuterPanel->mapToGlobal(outerPanelPoint));
    }
    void typeInto(SpinEdit *spin, const QString &text)
    {
        spin->selectAll();
        QTest::keyClicks(spin, text);
    }
    static void focusOut(QWidget *w)
    {
        QFocusEvent e(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &e);
    }

private slots:
    void init()
    {
        frameDraws = 0;
        lastFrame = QRect();
        openWindow();
    }
    void cleanup() { form.reset(); }

    void geometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("expected");
        auto row = [](const char *name, QRect r) { QTest::newRow(name) << QString(name) << r; };
        row("StatusBar1", {0, 485, 764, 19});
        row("OuterPanel", {0, 0, 764, 485});
        row("Panel7", {0, 0, 764, 41});
        row("Panel11", {1, 1, 64, 39});
        row("OpenBtn", {8, 8, 26, 26});
        row("SaveAsButton", {32, 8, 26, 26});
        row("SpeedBar1", {0, 41, 89, 444});
        row("ColorierenBtn", {3, 11, 78, 64});
        row("RadiergummiBtn", {3, 75, 78, 64});
        row("RadiusED", {8, 160, 73, 22});
        row("ZoomEd", {8, 200, 73, 22});
        row("FollowEdgesCheck", {8, 232, 78, 17});
        row("KeepTonesCheck", {8, 251, 78, 17});
        row("Panel20", {692, 41, 72, 444});
        row("Shape1", {4, 4, 22, 45});
        row("Shape3", {25, 4, 21, 45});
        row("Shape4", {45, 4, 22, 45});
        row("Shape2", {4, 50, 64, 14});
        row("PalPaintBox", {0, 64, 72, 264});
        row("Panel4", {89, 41, 603, 444});
        row("Panel19", {0, 0, 603, 89});
        row("ToolBar1", {0, 0, 603, 23});
        row("GrrayBtn", {8, 32, 137, 25});
        row("SoftenBtn", {8, 56, 137, 25});
        row("HueED", {224, 32, 73, 21});
        row("SatEd", {224, 56, 73, 21});
        row("BrightEd", {384, 32, 65, 21});
        row("ColorAllBtn", {304, 56, 145, 25});
        row("ScrollBox1", {0, 89, 603, 355});
    }
    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, expected);
        QWidget *w = control(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->geometry(), expected);
    }

    void labelPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("radius") << "RadiusLabel"
                                << "Radius:" << QPoint(8, 144);
        QTest::newRow("zoom") << "ZoomLabel"
                              << "Zoom:" << QPoint(8, 184);
        // The shown window has painted its palette, which captions the labels.
        QTest::newRow("hue") << "HueLabel"
                             << "Hue: 20" << QPoint(0, 328);
        QTest::newRow("sat") << "SatLabel"
                             << "Sat: 141" << QPoint(0, 344);
        QTest::newRow("colour") << "ColourLabel"
                                << "Colour:" << QPoint(160, 32);
        QTest::newRow("saturation") << "SaturationLabel"
                                    << "Saturation:" << QPoint(160, 56);
        QTest::newRow("brightness") << "BrightnessLabel"
                                    << "Brightness (+/-):" << QPoint(304, 32);
        QTest::newRow("advert") << "AdvertLabel" << QString() << QPoint(72, 8);
    }
    void labelPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, topLeft);
        auto *label = form->findChild<QLabel *>(name);
        QVERIFY(label);
        if (!text.isNull())
            QCOMPARE(label->text(), text);
        else
            QVERIFY(!label->text().isEmpty());
        QCOMPARE(label->pos(), topLeft);
    }

    void labelsAreNotCoveredByTheirSpinEdits()
    {
        QVERIFY(form->BrightnessLabel->geometry().right() < form->BrightEd->x());
        QVERIFY(form->ColourLabel->geometry().right() < form->HueED->x());
        QVERIFY(form->SaturationLabel->geometry().right() < form->SatEd->x());
    }

    // The two check boxes of the tool bar show their whole captions, in one face, whether
    // the bar is a column or a row.
    void checkBoxCaptionsFitTheirBoxes()
    {
        for (view::DockEdge edge : {view::DockEdge::Left, view::DockEdge::Top}) {
            form->DockSpeedBar(edge);
            for (QCheckBox *box : {form->FollowEdgesCheck, form->KeepTonesCheck}) {
                QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->objectName()));
                QVERIFY2(box->geometry().right() < form->SpeedBar1->width(),
                         qPrintable(box->objectName()));
            }
            QCOMPARE(form->FollowEdgesCheck->font(), form->KeepTonesCheck->font());
        }
    }

    void windowAndView()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Merrow Tintwell 2.0"));
        QCOMPARE(form->centralWidget()->size(), QSize(764, 504));
        QCOMPARE(form->ScrollBox1->widget(), form->PaintBox1);
        QCOMPARE(form->PaintBox1->pos(), QPoint(0, 0));
        QCOMPARE(form->PaintBox1->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(form->PalPaintBox->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(form->Timer1->interval(), 1000);
        QVERIFY(!form->Timer1->isActive());
    }

    void panelsFollowTheWindowSize()
    {
        form->resize(1000, form->height() + 100);
        QCoreApplication::processEvents();
        const int clientH = form->centralWidget()->height();
        QCOMPARE(form->StatusBar1->geometry(), QRect(0, clientH - 19, 1000, 19));
        QCOMPARE(form->Panel20->x(), 1000 - 72);
        QCOMPARE(form->Panel4->width(), 1000 - 89 - 72);
        QCOMPARE(form->SpeedBar1->height(), clientH - 19 - 41);
    }

    void presetButtons()
    {
        const char *names[] = {"ToolButton1", "ToolButton7", "ToolButton2", "ToolButton3",
                               "ToolButton4", "ToolButton5", "ToolButton6", "ToolButton8",
                               "ToolButton9", "ToolButton10"};
        const char *captions[] = {"Skin",  "Skin 2", "Sky",  "Water", "Sand",
                                  "Grass", "Stone",  "Hill", "Wood",  "Forest"};
        for (int i = 0; i < 10; ++i) {
            auto *b = form->findChild<QToolButton *>(QString::fromLatin1(names[i]));
            QVERIFY2(b, names[i]);
            QCOMPARE(b->text(), QString::fromLatin1(captions[i]));
            QCOMPARE(b->geometry(), QRect(37 * i, b->y(), 37, 21));
            QVERIFY(b->y() + 21 <= 23);
            QVERIFY(b->icon().isNull());
        }
    }

    void captionsAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("open") << "OpenBtn"
                              << ""
                              << "Öffnen";
        QTest::newRow("save") << "SaveAsButton"
                              << ""
                              << "Speichern unter";
        QTest::newRow("colorize") << "ColorierenBtn"
                                  << "Colorize"
                                  << "Replaces hue and saturation";
        QTest::newRow("erase") << "RadiergummiBtn"
                               << "Erase"
                               << "Restores the original color palette";
        QTest::newRow("gray") << "GrrayBtn"
                              << "Grayscale"
                              << "";
        QTest::newRow("soften") << "SoftenBtn"
                                << "Soften"
                                << "";
        QTest::newRow("all") << "ColorAllBtn"
                             << "Colorize everything"
                             << "";
    }
    void captionsAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        auto *b = form->findChild<QAbstractButton *>(name);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->toolTip(), hint);
        QVERIFY(b->statusTip().isEmpty());
        QVERIFY2(!b->icon().isNull(), "every one of these buttons carries a picture");
    }

    void buttonPictures()
    {
        QCOMPARE(form->OpenBtn->iconSize(), QSize(24, 24));
        QCOMPARE(form->ColorierenBtn->iconSize(), QSize(16, 16));
        for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
                 form->OpenBtn, form->SaveAsButton, form->ColorierenBtn, form->RadiergummiBtn,
                 form->GrrayBtn, form->SoftenBtn}) {
            const QImage normal = b->icon().pixmap(16, QIcon::Normal).toImage();
            const QImage disabled = b->icon().pixmap(16, QIcon::Disabled).toImage();
            QVERIFY(!normal.isNull());
            QVERIFY2(normal != disabled, qPrintable(b->objectName()));
        }
    }

    void spinEditSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("startText"); // null: set by the palette's first paint
        QTest::addColumn<QString>("hint");
        QTest::newRow("HueED") << "HueED" << 0 << 255 << 1 << QString() << "";
        QTest::newRow("SatEd") << "SatEd" << 0 << 255 << 1 << QString() << "";
        QTest::newRow("BrightEd") << "BrightEd" << -100 << 100 << 1 << "0"
                                  << "";
        QTest::newRow("RadiusED") << "RadiusED" << 1 << 100 << 10 << "10"
                                  << "The radius the effect takes place in";
        QTest::newRow("ZoomEd") << "ZoomEd" << 10 << 1000 << 10 << "100"
                                << "Shows the picture larger or smaller";
    }
    void spinEditSettings()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, step);
        QFETCH(QString, startText);
        QFETCH(QString, hint);
        auto *spin = form->findChild<SpinEdit *>(name);
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), minimum);
        QCOMPARE(spin->maximum(), maximum);
        QCOMPARE(spin->singleStep(), step);
        if (!startText.isNull())
            QCOMPARE(spin->text(), startText);
        QCOMPARE(spin->toolTip(), hint);
        QVERIFY(spin->alignment() & Qt::AlignRight);
    }

    void spinEditStepping_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("expected");
        QTest::newRow("radius 10 down") << "RadiusED" << 10 << -1 << 1;
        QTest::newRow("radius 1 up") << "RadiusED" << 1 << 1 << 11;
        QTest::newRow("radius 95 up") << "RadiusED" << 95 << 1 << 100;
        QTest::newRow("zoom 1000 up") << "ZoomEd" << 1000 << 1 << 1000;
        QTest::newRow("zoom 10 down") << "ZoomEd" << 10 << -1 << 10;
        QTest::newRow("zoom 100 up") << "ZoomEd" << 100 << 1 << 110;
        QTest::newRow("bright -100 down") << "BrightEd" << -100 << -1 << -100;
        QTest::newRow("bright 100 up") << "BrightEd" << 100 << 1 << 100;
        QTest::newRow("hue 255 up") << "HueED" << 255 << 1 << 255;
        QTest::newRow("hue 0 down") << "HueED" << 0 << -1 << 0;
    }
    void spinEditStepping()
    {
        QFETCH(QString, name);
        QFETCH(int, start);
        QFETCH(int, steps);
        QFETCH(int, expected);
        auto *spin = form->findChild<SpinEdit *>(name);
        spin->setValue(start);
        spin->stepBy(steps);
        QCOMPARE(spin->value(), expected);
        QCOMPARE(spin->text(), QString::number(expected));
    }

    void arrowKeysStepLikeTheArrows()
    {
        form->RadiusED->setValue(10);
        form->RadiusED->setFocus();
        QTest::keyClick(form->RadiusED, Qt::Key_Down);
        QCOMPARE(form->RadiusED->value(), 1);
        QTest::keyClick(form->RadiusED, Qt::Key_Up);
        QCOMPARE(form->RadiusED->value(), 11);
    }

    void typedZoomBeyondRangeIsClampedOnFocusLoss()
    {
        QSignalSpy changes(form->ZoomEd, &SpinEdit::changed);
        typeInto(form->ZoomEd, QStringLiteral("5000"));
        QVERIFY(changes.count() >= 1);
        QCOMPARE(form->ZoomEd->value(), 5000); // reaches the handler unchanged
        const int typed = int(changes.count());
        focusOut(form->ZoomEd);
        QCOMPARE(form->ZoomEd->text(), QStringLiteral("1000"));
        QCOMPARE(form->ZoomEd->value(), 1000);
        QCOMPARE(changes.count(), typed + 1);
    }

    void focusLossInRangeChangesNothing()
    {
        typeInto(form->ZoomEd, QStringLiteral("250"));
        QSignalSpy changes(form->ZoomEd, &SpinEdit::changed);
        focusOut(form->ZoomEd);
        QCOMPARE(form->ZoomEd->text(), QStringLiteral("250"));
        QCOMPARE(changes.count(), 0);
    }

    void textThatIsNoNumberReadsAsMinimum_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("changes"); // the hue's handler writes the value it read back
        QTest::newRow("zoom") << "ZoomEd" << 10 << 1;
        QTest::newRow("bright") << "BrightEd" << -100 << 1;
        QTest::newRow("radius") << "RadiusED" << 1 << 1;
        QTest::newRow("hue") << "HueED" << 0 << 2;
    }
    void textThatIsNoNumberReadsAsMinimum()
    {
        QFETCH(QString, name);
        QFETCH(int, minimum);
        QFETCH(int, changes);
        auto *spin = form->findChild<SpinEdit *>(name);
        QSignalSpy changed(spin, &SpinEdit::changed);
        spin->setText(QString());
        QCOMPARE(changed.count(), changes);
        QCOMPARE(spin->value(), minimum);
        spin->setText(QStringLiteral("-"));
        QCOMPARE(spin->value(), minimum);
    }

    void lettersCannotBeTyped()
    {
        typeInto(form->RadiusED, QStringLiteral("1x2"));
        QCOMPARE(form->RadiusED->text(), QStringLiteral("12"));
        QCOMPARE(form->RadiusED->value(), 12);
    }

    void programSetValueRaisesChangeAndClamps()
    {
        QSignalSpy changes(form->BrightEd, &SpinEdit::changed);
        form->BrightEd->setValue(-250);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(form->BrightEd->value(), -100);
        form->BrightEd->setValue(55);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(form->BrightEd->value(), 55);
    }

    void toolGroup()
    {
        QVERIFY(form->ColorierenBtn->isChecked());
        QVERIFY(!form->RadiergummiBtn->isChecked());
        QVERIFY(form->ToolGroup->exclusive());
        form->ColorierenBtn->click(); // pressing the down button leaves it down
        QVERIFY(form->ColorierenBtn->isChecked());
        form->RadiergummiBtn->click();
        QVERIFY(form->RadiergummiBtn->isChecked());
        QVERIFY(!form->ColorierenBtn->isChecked());
        form->RadiergummiBtn->click();
        QVERIFY(form->RadiergummiBtn->isChecked());
        QVERIFY(!form->ColorierenBtn->isChecked());
        QCOMPARE(form->ColorierenBtn->accessibleName(), QStringLiteral("Colorize"));
        QCOMPARE(form->RadiergummiBtn->accessibleName(), QStringLiteral("Eraser"));
    }

    void menuStructure()
    {
        const QList<QAction *> top = form->menuBar()->actions();
        QCOMPARE(top.size(), 2);
        QCOMPARE(top[0]->text(), QStringLiteral("File"));
        QCOMPARE(top[1]->text(), QStringLiteral("Help"));
        const QList<QAction *> file = form->File1->actions();
        const QStringList names = {"Open1", "Saveas1", "N1", "Print1", "N2", "Exeit1"};
        const QStringList captions = {"Open...", "Save as...", "", "Print...", "", "Exit"};
        QCOMPARE(file.size(), names.size());
        for (int i = 0; i < file.size(); ++i) {
            QCOMPARE(file[i]->objectName(), names[i]);
            QCOMPARE(file[i]->isSeparator(), captions[i].isEmpty());
            if (!captions[i].isEmpty())
                QCOMPARE(file[i]->text(), captions[i]);
        }
        QCOMPARE(form->Help1->actions().size(), 1);
        QCOMPARE(form->About1->text(), QStringLiteral("About"));
        for (QAction *a : form->findChildren<QAction *>()) {
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
            QVERIFY2(!a->text().contains(QLatin1Char('&')), qPrintable(a->objectName()));
        }
    }

    void saveMenuAndButtonShareTheCommand()
    {
        form->Saveas1->trigger();
        QCOMPARE(dialogs.SaveCount, 1);
        form->SaveAsButton->click();
        QCOMPARE(dialogs.SaveCount, 2);
        QCOMPARE(dialogs.LastSave->InitialDir, form->ProgramDir);
    }

    void openMenuAndButtonShareTheCommand()
    {
        form->Open1->trigger();
        if (dialogs.OpenCount == 0)
            QSKIP("the Open command does not show its dialog yet");
        QCOMPARE(dialogs.OpenCount, 1);
        form->OpenBtn->click();
        QCOMPARE(dialogs.OpenCount, 2);
    }

    void exitClosesTheWindow()
    {
        QVERIFY(form->isVisible());
        form->Exeit1->trigger();
        QVERIFY(!form->isVisible());
        QVERIFY(messages.Boxes.isEmpty()); // nothing is asked
    }

    void closeBoxBehavesAsExit()
    {
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QVERIFY(messages.Boxes.isEmpty());
    }

    void statusTipsNeverReachTheWindow()
    {
        QStatusTipEvent tip(QStringLiteral("a hint"));
        QVERIFY(QCoreApplication::sendEvent(form.get(), &tip));
        QVERIFY(form->findChildren<QStatusBar *>().isEmpty());
    }

    void fourPixelsDoNotStartADrag()
    {
        const QPoint press(40, 300);
        speedBarMouse(QEvent::MouseButtonPress, press);
        for (QPoint d : {QPoint(4, 0), QPoint(-4, 0), QPoint(0, 4), QPoint(0, -4), QPoint(4, 4),
                         QPoint(-4, -4)})
            speedBarMouse(QEvent::MouseMove, press + d);
        QCOMPARE(frameDraws, 0);
        speedBarMouse(QEvent::MouseButtonRelease, press + QPoint(4, 4));
        QCOMPARE(form->SpeedBarEdge(), view::DockEdge::Left);
        QCOMPARE(form->SpeedBar1->geometry(), QRect(0, 41, 89, 444));
    }

    void fivePixelsStartADragAndTheFrameFollowsTheTarget()
    {
        const QPoint press(40, 300);
        speedBarMouse(QEvent::MouseButtonPress, press);
        speedBarMouse(QEvent::MouseMove, press + QPoint(0, 5));
        QCOMPARE(frameDraws, 1);
        auto *frame = form->OuterPanel->findChild<QWidget *>(QStringLiteral("DockFrame"));
        QVERIFY(frame && frame->isVisible());
        QCOMPARE(frame->geometry(), QRect(0, 41, 89, 444));
        // Moving within the same target draws nothing new.
        speedBarMouse(QEvent::MouseMove, press + QPoint(2, 30));
        QCOMPARE(frameDraws, 1);
        // Over the right part of OuterPanel the frame moves to the right edge.
        speedBarMouse(QEvent::MouseMove, speedBarPointAt(QPoint(700, 240)));
        QCOMPARE(frameDraws, 2);
        QCOMPARE(frame->geometry(), QRect(764 - 89, 41, 89, 444));
        speedBarMouse(QEvent::MouseMove, speedBarPointAt(QPoint(720, 250)));
        QCOMPARE(frameDraws, 2);
        speedBarMouse(QEvent::MouseButtonRelease, speedBarPointAt(QPoint(720, 250)));
        QVERIFY(!frame->isVisible());
        QCOMPARE(form->SpeedBarEdge(), view::DockEdge::Right);
    }

    void dockAtTheCentreGoesRightAndOthersMakeRoom()
    {
        // One pixel taller makes OuterPanel 764 x 486, so its centre is a pixel.
        form->resize(form->width(), form->height() + 1);
        QCoreApplication::processEvents();
        QCOMPARE(form->OuterPanel->size(), QSize(764, 486));
        const QPoint press(40, 300);
        speedBarMouse(QEvent::MouseButtonPress, press);
        const QPoint centre = speedBarPointAt(QPoint(382, 243));
        speedBarMouse(QEvent::MouseMove, centre);
        speedBarMouse(QEvent::MouseButtonRelease, centre);
        QCOMPARE(form->SpeedBarEdge(), view::DockEdge::Right);
        QCOMPARE(form->SpeedBar1->geometry(), QRect(764 - 89, 41, 89, 445));
        QCOMPARE(form->Panel20->geometry(), QRect(764 - 89 - 72, 41, 72, 445));
        QCOMPARE(form->Panel4->geometry(), QRect(0, 41, 764 - 89 - 72, 445));
        // In a column, as on the left.
        QCOMPARE(form->ColorierenBtn->geometry(), QRect(3, 11, 78, 64));
        QCOMPARE(form->RadiergummiBtn->geometry(), QRect(3, 75, 78, 64));
    }

    void dockAtTheTopLaysTheBarOutInARow()
    {
        form->DockSpeedBar(view::DockEdge::Top);
        const QRect bar = form->SpeedBar1->geometry();
        QCOMPARE(bar.topLeft(), QPoint(0, 41));
        QCOMPARE(bar.width(), 764);
        QCOMPARE(form->Panel4->y(), 41 + bar.height());
        QCOMPARE(form->Panel20->y(), 41 + bar.height());
        QCOMPARE(form->ColorierenBtn->y(), form->RadiergummiBtn->y());
        QVERIFY(form->RadiergummiBtn->x() >= form->ColorierenBtn->geometry().right());
        for (QWidget *w : std::initializer_list<QWidget *>{
                 form->ColorierenBtn, form->RadiergummiBtn, form->RadiusED, form->ZoomEd,
                 form->RadiusLabel, form->ZoomLabel, form->FollowEdgesCheck, form->KeepTonesCheck})
            QVERIFY2(QRect(QPoint(0, 0), bar.size()).contains(w->geometry()),
                     qPrintable(w->objectName()));
        QVERIFY(!form->RadiusED->geometry().intersects(form->ZoomEd->geometry()));
        QVERIFY(!form->RadiusED->geometry().intersects(form->RadiergummiBtn->geometry()));
        QVERIFY(form->FollowEdgesCheck->x() >= form->ZoomEd->geometry().right());
        QVERIFY(form->KeepTonesCheck->x() >= form->FollowEdgesCheck->geometry().right());

        form->DockSpeedBar(view::DockEdge::Bottom);
        QCOMPARE(form->SpeedBar1->geometry().bottom(), form->OuterPanel->height() - 1);
        form->DockSpeedBar(view::DockEdge::Left);
        QCOMPARE(form->SpeedBar1->geometry(), QRect(0, 41, 89, 444));
        QCOMPARE(form->ZoomEd->geometry(), QRect(8, 200, 73, 22));
        QCOMPARE(form->FollowEdgesCheck->geometry(), QRect(8, 232, 78, 17));
        QCOMPARE(form->KeepTonesCheck->geometry(), QRect(8, 251, 78, 17));
    }

    void pressOnAButtonDoesNotDrag()
    {
        QTest::mousePress(form->RadiergummiBtn, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(form->RadiergummiBtn, QPoint(40, 40));
        QTest::mouseRelease(form->RadiergummiBtn, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(frameDraws, 0);
        QCOMPARE(form->SpeedBarEdge(), view::DockEdge::Left);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
