// SPDX-License-Identifier: GPL-3.0-or-later
// The print dialog's controls and handlers.
#include "app/PrintForm.h"

#include "platform/gdi/GdiTypes.h"
#include "view/PrintPreview.h"
#include "view/PrintRaster.h"
#include "widgets/BevelLine.h"
#include "widgets/NamedWidgets.h"
#include "widgets/QtPrinterSetupService.h"
#include "widgets/SansFont.h"
#include "widgets/ScreenCentre.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>

namespace {

SpinEdit *MakePercentEdit(QWidget *parent, const char *name, QRect place)
{
    auto *spin = Named(new SpinEdit(parent), name);
    spin->setGeometry(place);
    spin->setRange(1, 100);
    spin->setSingleStep(1);
    spin->setValue(50);
    spin->setAlignment(Qt::AlignRight);
    return spin;
}

template <typename Button>
Button *MakeOption(QWidget *parent, const char *name, const QString &text, QRect place,
                   bool checked)
{
    auto *button = Named(new Button(text, parent), name);
    button->setGeometry(place);
    button->setChecked(checked);
    return button;
}

} // namespace

TPrintForm::TPrintForm(QPrinter &printer, const RasterImage &picture, PrintFormSeams seams,
                       QWidget *parent)
    : QDialog(parent), printer_(printer), picture_(picture), settings_(std::move(seams.Settings))
{
    if (seams.Setup) {
        setup_ = seams.Setup;
    } else {
        ownSetup_ = std::make_unique<QtPrinterSetupService>();
        setup_ = ownSetup_.get();
    }
    // The button pictures live in this static library's resources.
    Q_INIT_RESOURCE(dialogs);
    CreateControls();
}

TPrintForm::~TPrintForm()
{
    if (open_)
        SaveSettings();
}

void TPrintForm::CreateControls()
{
    setObjectName(QStringLiteral("PrintForm"));
    setWindowTitle(QStringLiteral("Print picture..."));
    // A dialog border with only the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(427, 328);
    setFont(SansFont(11));

    RxLabel1 = MakeLabel(this, "RxLabel1", QStringLiteral("Preview:"), 16, 0);
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setGeometry(16, 24, 200, 225);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    PrintPaintBox = Named(new SurfacePaintBox(Panel1), "PrintPaintBox");
    PrintPaintBox->setGeometry(4, 17, 190, 190);
    PrintPaintBox->SetPaintHandler([this] { PrintPaintBoxPaint(); });

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Print size"), this), "GroupBox1");
    GroupBox1->setGeometry(232, 24, 185, 129);
    UseFullCheck = MakeOption<QRadioButton>(
        GroupBox1, "UseFullCheck", QStringLiteral("Use page fully"), {16, 24, 113, 17}, true);
    UserdefCheck = MakeOption<QRadioButton>(
        GroupBox1, "UserdefCheck", QStringLiteral("User-defined"), {16, 48, 113, 17}, false);
    auto *sizeGroup = new QButtonGroup(this);
    sizeGroup->setObjectName(QStringLiteral("SizeGroup"));
    sizeGroup->setExclusive(true);
    sizeGroup->addButton(UseFullCheck);
    sizeGroup->addButton(UserdefCheck);
    // The two labels have 64 pixels before their boxes: the narrow cut of the face
    // keeps them clear of the boxes.
    RxLabel2 = MakeLabel(GroupBox1, "RxLabel2", QStringLiteral("Width in %:"), 16, 72);
    BreitEdit = MakePercentEdit(GroupBox1, "BreitEdit", {80, 72, 89, 22});
    RxLabel3 = MakeLabel(GroupBox1, "RxLabel3", QStringLiteral("Height in %:"), 16, 96);
    for (QLabel *label : {RxLabel2, RxLabel3}) {
        label->setFont(SansFont(11, false, true));
        label->adjustSize();
    }
    // The height box belongs to the dialog, not the group, though it sits inside the
    // group's frame, under the width box; made after the group, it lies above it.
    HochEdit = MakePercentEdit(this, "HochEdit", {312, 120, 89, 22});

    GroupBox2 = Named(new QGroupBox(QStringLiteral("Print options"), this), "GroupBox2");
    GroupBox2->setGeometry(232, 160, 185, 89);
    SverhCheck = MakeOption<QCheckBox>(
        GroupBox2, "SverhCheck", QStringLiteral("Maintain aspect ratio"), {8, 24, 169, 17}, true);
    ZentrCheck = MakeOption<QCheckBox>(GroupBox2, "ZentrCheck", QStringLiteral("Centered output"),
                                       {8, 48, 161, 17}, true);

    Bevel1 = Named(new BevelLine(this), "Bevel1");
    Bevel1->setGeometry(0, 264, 427, 16);

    OkBitBtn1 = Named(new QPushButton(QStringLiteral("&OK"), this), "OkBitBtn1");
    OkBitBtn1->setGeometry(29, 296, 89, 25);
    OkBitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    OkBitBtn1->setDefault(true);
    PrintSetupBtn =
        Named(new QPushButton(QStringLiteral("Setup printer..."), this), "PrintSetupBtn");
    PrintSetupBtn->setGeometry(125, 296, 177, 25);
    QIcon printerIcon;
    printerIcon.addFile(QStringLiteral(":/dialogs/printer.png"), QSize(), QIcon::Normal);
    printerIcon.addFile(QStringLiteral(":/dialogs/printer_disabled.png"), QSize(), QIcon::Disabled);
    PrintSetupBtn->setIcon(printerIcon);
    PrintSetupBtn->setAutoDefault(false);
    CancelBitBtn2 = Named(new QPushButton(QStringLiteral("&Cancel"), this), "CancelBitBtn2");
    CancelBitBtn2->setGeometry(309, 296, 89, 25);
    CancelBitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    CancelBitBtn2->setAutoDefault(false);
    for (QPushButton *b : {OkBitBtn1, PrintSetupBtn, CancelBitBtn2})
        b->setIconSize(QSize(16, 16));

    connect(UseFullCheck, &QRadioButton::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    // Toggled, not clicked: leaving "User-defined" for "Use page fully" must lock the
    // percentage boxes again, and a restored setting must set them too.
    connect(UserdefCheck, &QRadioButton::toggled, this, &TPrintForm::UserdefCheckClick);
    connect(BreitEdit, &SpinEdit::changed, this, &TPrintForm::BreitEditChange);
    connect(HochEdit, &SpinEdit::changed, this, &TPrintForm::HochEditChange);
    connect(SverhCheck, &QCheckBox::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    connect(ZentrCheck, &QCheckBox::clicked, this, &TPrintForm::PrintPaintBoxPaint);
    connect(OkBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(PrintSetupBtn, &QPushButton::clicked, this, &TPrintForm::PrintSetupBtnClick);
    // Escape reaches the dialog, which rejects: the same as pressing Cancel.
    connect(CancelBitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    UserdefCheckClick();
}

view::PrintChoice TPrintForm::Choice() const
{
    view::PrintChoice choice;
    choice.Size =
        UserdefCheck->isChecked() ? view::PrintSize::UserDefined : view::PrintSize::UsePageFully;
    choice.WidthPercent = BreitEdit->value();
    choice.HeightPercent = HochEdit->value();
    choice.KeepAspect = SverhCheck->isChecked();
    choice.Centred = ZentrCheck->isChecked();
    return choice;
}

view::PrintPage TPrintForm::Page() const
{
    return view::PageOf(printer_);
}

void TPrintForm::showEvent(QShowEvent *event)
{
    // Only when the program shows the dialog: coming back from being minimised with
    // its owner must not throw away what the user has set.
    if (!event->spontaneous()) {
        CentreOnScreen(this);
        FormShow();
    }
    QDialog::showEvent(event);
}

void TPrintForm::FormShow()
{
    open_ = true;
    RestoreSettings();
    UserdefCheckClick();
}

void TPrintForm::done(int result)
{
    if (open_) {
        SaveSettings();
        open_ = false;
    }
    QDialog::done(result);
}

void TPrintForm::PrintPaintBoxPaint()
{
    const QColor face = palette().color(QPalette::Button);
    view::PaintPrintPreview(PrintPaintBox->Canvas(), PrintPaintBox->width(),
                            PrintPaintBox->height(), RGB(face.red(), face.green(), face.blue()),
                            Page(), picture_, Choice());
    PrintPaintBox->Present();
}

void TPrintForm::UserdefCheckClick()
{
    const bool userDefined = UserdefCheck->isChecked();
    BreitEdit->setEnabled(userDefined);
    HochEdit->setEnabled(userDefined);
    PrintPaintBoxPaint();
}

void TPrintForm::BreitEditChange()
{
    PrintPaintBoxPaint();
}

void TPrintForm::HochEditChange()
{
    PrintPaintBoxPaint();
}

void TPrintForm::PrintSetupBtnClick()
{
    if (setup_->Run(printer_, this))
        PrintPaintBoxPaint();
}
