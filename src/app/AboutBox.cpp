// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"

#include "widgets/Clock.h"
#include "widgets/JpegImage.h"
#include "widgets/NamedWidgets.h"
#include "widgets/SansFont.h"
#include "widgets/ScreenCentre.h"
#include "widgets/ShellService.h"

#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>

namespace {

QLabel *PlacedLabel(QWidget *parent, const char *name, const QString &text, QRect place,
                    bool wrap = false)
{
    auto *label = Named(new QLabel(text, parent), name);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (place.size().isEmpty()) { // sized to its text
        label->move(place.topLeft());
        label->adjustSize();
    } else {
        label->setGeometry(place);
    }
    return label;
}

QPixmap PictureFromJpeg(const QString &resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return QPixmap();
    return QPixmap::fromImage(DecodeJpeg(file.readAll()));
}

} // namespace

TAboutBox::TAboutBox(AboutBoxSeams seams, QWidget *parent) : QDialog(parent)
{
    if (seams.SystemClock) {
        clock_ = seams.SystemClock;
    } else {
        ownClock_ = std::make_unique<Clock>();
        clock_ = ownClock_.get();
    }
    if (seams.Shell) {
        shell_ = seams.Shell;
    } else {
        ownShell_ = std::make_unique<ShellService>();
        shell_ = ownShell_.get();
    }
    // The picture and the button pictures live in this static library's resources.
    Q_INIT_RESOURCE(dialogs);
    CreateControls();
    FormCreate();
}

TAboutBox::~TAboutBox() = default;

QString TAboutBox::WebAddress()
{
    return QStringLiteral("https://www.merrow.example/");
}

void TAboutBox::CreateControls()
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    // A dialog border: fixed size, a close box, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(664, 453);
    setFont(SansFont(11));

    // Lowered outside, raised inside: a sunken box frame of one-pixel lines.
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setGeometry(8, 8, 649, 385);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setMidLineWidth(0);
    QPalette colours = Panel1->palette();
    colours.setColor(QPalette::Window, QColor(240, 202, 166));
    colours.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(colours);
    Panel1->setAutoFillBackground(true);

    ProgramIcon = Named(new QLabel(Panel1), "ProgramIcon");
    const QPixmap picture = PictureFromJpeg(QStringLiteral(":/dialogs/about.jpg"));
    ProgramIcon->setPixmap(picture);
    ProgramIcon->setGeometry(
        QRect(QPoint(16, 40), picture.isNull() ? QSize(306, 322) : picture.size()));

    ProductName =
        PlacedLabel(Panel1, "ProductName", QStringLiteral("Merrow Software"), {8, 8, 396, 27});
    ProductName->setFont(SansFont(24, true, true));

    Copyright = PlacedLabel(Panel1, "Copyright", QStringLiteral("Copyright © XXXX Merrow Software"),
                            {336, 40, 208, 13});
    Comments = PlacedLabel(Panel1, "Comments",
                           QStringLiteral("Tintwell is made by Merrow Software, Merrow. "
                                          "Write to us: help@merrow.example"),
                           {336, 56, 257, 33}, true);
    Label1 = PlacedLabel(Panel1, "Label1", QStringLiteral("Old photographs, new colours."),
                         {336, 96, 0, 0});
    Label1->setFont(SansFont(11, true));
    Label1->adjustSize();
    Label2 = PlacedLabel(Panel1, "Label2",
                         QStringLiteral("Making software for photographers since 1994."),
                         {336, 112, 0, 0});
    Label3 = PlacedLabel(Panel1, "Label3",
                         QStringLiteral("On our web site you will find the latest version of "
                                        "Tintwell, tips on colouring old photographs by hand, "
                                        "and our other programs for your pictures, such as "
                                        "Merrow Lightbox for sorting and captioning them.\n\n"
                                        "Click the address below to pay us a visit."),
                         {336, 128, 238, 121}, true);

    BitBtnXP1 = Named(new QPushButton(Panel1), "BitBtnXP1");
    BitBtnXP1->setGeometry(336, 240, 169, 25);
    BitBtnXP1->setText(QStringLiteral("www.merrow.example"));
    QIcon web;
    web.addFile(QStringLiteral(":/dialogs/web.png"), QSize(), QIcon::Normal);
    web.addFile(QStringLiteral(":/dialogs/web_disabled.png"), QSize(), QIcon::Disabled);
    BitBtnXP1->setIcon(web);
    BitBtnXP1->setIconSize(QSize(16, 16));
    BitBtnXP1->setAutoDefault(false);
    connect(BitBtnXP1, &QPushButton::clicked, this, &TAboutBox::BitBtnXP1Click);

    BitBtn1 = Named(new QPushButton(this), "BitBtn1");
    BitBtn1->setGeometry(241, 404, 181, 37);
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtn1->setIconSize(QSize(16, 16));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::FormCreate()
{
    const QString year = QString::number(clock_->CurrentYear());
    QString text = Copyright->text();
    const qsizetype at = text.indexOf(QStringLiteral("XXXX"));
    if (at >= 0)
        text.replace(at, 4, year);
    else
        text.prepend(year);
    Copyright->setText(text);
}

void TAboutBox::BitBtnXP1Click()
{
    (void)shell_->Open(this, WebAddress());
}

void TAboutBox::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) // shown by the program, not restored with its owner
        CentreOnScreen(this);
    QDialog::showEvent(event);
}
