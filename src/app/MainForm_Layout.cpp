// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, their names, captions, hints, ranges and places. Sizes
// are pixels; panels keep to their side of the parent as AlignPanel places them.
#include "app/MainForm.h"

#include "app/Application.h"
#include "widgets/AlignPanel.h"
#include "widgets/MessageServiceSink.h"
#include "widgets/NamedWidgets.h"
#include "widgets/ProgressStatusBar.h"
#include "widgets/SpinEdit.h"
#include "widgets/Swatch.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

namespace {

SpinEdit *MakeSpin(QWidget *parent, const char *name, QRect place, int minimum, int maximum,
                   int step, int start, const QString &hint)
{
    auto *spin = Named(new SpinEdit(parent), name);
    spin->setGeometry(place);
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    spin->setValue(start);
    spin->setToolTip(hint);
    return spin;
}

// A picture in its normal and disabled states, drawn for the button.
QIcon ButtonIcon(const QString &base)
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/%1.png").arg(base), QSize(), QIcon::Normal);
    icon.addFile(QStringLiteral(":/images/%1_disabled.png").arg(base), QSize(), QIcon::Disabled);
    return icon;
}

// The "MS Sans Serif" 8-point face of the window: the platform's sans-serif at a
// character height of 11 pixels.
QFont WindowFont(bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

// One face for the tool bar's check boxes: the window's own, or where a caption would
// not fit the boxes' width in it, the condensed one, a pixel smaller at a time.
QFont CheckBoxFont(std::initializer_list<QCheckBox *> boxes, int width)
{
    QFont font = WindowFont(false);
    auto fits = [&] {
        for (QCheckBox *box : boxes) {
            box->setFont(font);
            if (box->sizeHint().width() > width)
                return false;
        }
        return true;
    };
    if (fits())
        return font;
    font.setStretch(QFont::Condensed);
    while (!fits() && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

} // namespace

void TMainForm::CreateControls()
{
    setWindowTitle(QStringLiteral("Merrow Tintwell 2.0"));
    setWindowIconText(ApplicationTitle());
    setFont(WindowFont(false));

    auto *client = Named(new AlignPanel(this), "ClientArea");
    setCentralWidget(client);

    // Status bar: a 250-pixel text panel that stays empty and the progress panel.
    StatusBar1 = Named(new ProgressStatusBar(client), "StatusBar1");
    StatusBar1->resize(764, 19);
    StatusBar1->SetDrawPanelHandler([this](ProgressStatusBar *bar, int panel, const QRect &rect) {
        StatusBar1DrawPanel(bar, panel, rect);
    });
    client->setAlign(StatusBar1, Align::Bottom);

    OuterPanel = Named(new AlignPanel(client), "OuterPanel");
    client->setAlign(OuterPanel, Align::Client);

    // Top bar with the open and save buttons and the advertisement.
    Panel7 = Named(new AlignPanel(OuterPanel, Bevel::Raised), "Panel7");
    Panel7->resize(764, 41);
    OuterPanel->setAlign(Panel7, Align::Top);
    Panel11 = Named(new AlignPanel(Panel7, Bevel::Raised), "Panel11");
    Panel11->resize(64, 39);
    Panel7->setAlign(Panel11, Align::Left);
    OpenBtn = Named(new QToolButton(Panel11), "OpenBtn");
    OpenBtn->setGeometry(8, 8, 26, 26);
    OpenBtn->setToolTip(QStringLiteral("Öffnen"));
    SaveAsButton = Named(new QToolButton(Panel11), "SaveAsButton");
    SaveAsButton->setGeometry(32, 8, 26, 26);
    SaveAsButton->setToolTip(QStringLiteral("Speichern unter"));
    OpenBtn->setIcon(ButtonIcon(QStringLiteral("open")));
    SaveAsButton->setIcon(ButtonIcon(QStringLiteral("save")));
    for (QToolButton *b : {OpenBtn, SaveAsButton}) {
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
    }
    AdvertLabel =
        MakeLabel(Panel7, "AdvertLabel",
                  QStringLiteral("Merrow Lightbox - sort and caption your photographs"), 72, 8);

    // Left tool bar: the two brush tools, radius and zoom, and whether colours keep the
    // photograph's tones.
    SpeedBar1 = Named(new AlignPanel(OuterPanel), "SpeedBar1");
    SpeedBar1->resize(89, 400);
    SpeedBar1->setFont(WindowFont(true));
    OuterPanel->setAlign(SpeedBar1, Align::Left);
    ColorierenBtn = Named(new QToolButton(SpeedBar1), "ColorierenBtn");
    ColorierenBtn->setText(QStringLiteral("Colorize"));
    ColorierenBtn->setToolTip(QStringLiteral("Replaces hue and saturation"));
    ColorierenBtn->setAccessibleName(QStringLiteral("Colorize"));
    ColorierenBtn->setIcon(ButtonIcon(QStringLiteral("colorize")));
    RadiergummiBtn = Named(new QToolButton(SpeedBar1), "RadiergummiBtn");
    RadiergummiBtn->setText(QStringLiteral("Erase"));
    RadiergummiBtn->setToolTip(QStringLiteral("Restores the original color palette"));
    RadiergummiBtn->setAccessibleName(QStringLiteral("Eraser"));
    RadiergummiBtn->setIcon(ButtonIcon(QStringLiteral("erase")));
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setObjectName(QStringLiteral("ToolGroup"));
    ToolGroup->setExclusive(true);
    for (QToolButton *b : {ColorierenBtn, RadiergummiBtn}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIconSize(QSize(16, 16));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        ToolGroup->addButton(b);
    }
    ColorierenBtn->setChecked(true);
    RadiusLabel = MakeLabel(SpeedBar1, "RadiusLabel", QStringLiteral("Radius:"), 8, 144);
    RadiusED = MakeSpin(SpeedBar1, "RadiusED", {8, 160, 73, 22}, 1, 100, 10, 10,
                        QStringLiteral("The radius the effect takes place in"));
    ZoomLabel = MakeLabel(SpeedBar1, "ZoomLabel", QStringLiteral("Zoom:"), 8, 184);
    ZoomEd = MakeSpin(SpeedBar1, "ZoomEd", {8, 200, 73, 22}, 10, 1000, 10, 100,
                      QStringLiteral("Shows the picture larger or smaller"));
    FollowEdgesCheck =
        Named(new QCheckBox(QStringLiteral("Follow edges"), SpeedBar1), "FollowEdgesCheck");
    FollowEdgesCheck->setToolTip(
        QStringLiteral("Spreads each stroke's colour up to the edges of the picture"));
    KeepTonesCheck =
        Named(new QCheckBox(QStringLiteral("Keep tones"), SpeedBar1), "KeepTonesCheck");
    KeepTonesCheck->setToolTip(QStringLiteral("Colours keep the lightness of the photograph"));
    // In the bar's bold face the captions would not fit the boxes' 78 pixels.
    const QFont captions = CheckBoxFont({FollowEdgesCheck, KeepTonesCheck}, 78);
    FollowEdgesCheck->setFont(captions);
    KeepTonesCheck->setFont(captions);
    LayOutSpeedBar();
    SpeedBar1->installEventFilter(this);

    // Palette panel on the right.
    Panel20 = Named(new AlignPanel(OuterPanel), "Panel20");
    Panel20->resize(72, 400);
    OuterPanel->setAlign(Panel20, Align::Right);
    Shape1 = Named(new Swatch(Panel20), "Shape1");
    Shape1->setGeometry(4, 4, 22, 45);
    Shape3 = Named(new Swatch(Panel20), "Shape3");
    Shape3->setGeometry(25, 4, 21, 45);
    Shape4 = Named(new Swatch(Panel20), "Shape4");
    Shape4->setGeometry(45, 4, 22, 45);
    Shape2 = Named(new Swatch(Panel20), "Shape2");
    Shape2->setGeometry(4, 50, 64, 14);
    PalPaintBox = Named(new SurfacePaintBox(Panel20), "PalPaintBox");
    PalPaintBox->setGeometry(0, 64, 72, 264);
    PalPaintBox->SetPaintHandler([this] { PalPaintBoxPaint(); });
    PalPaintBox->SetMessageSink(std::make_unique<MessageServiceSink>(Messages()));
    PalPaintBox->setCursor(Qt::PointingHandCursor);
    PalPaintBox->setMouseTracking(true);
    PalPaintBox->installEventFilter(this);
    HueLabel = MakeLabel(Panel20, "HueLabel", QStringLiteral("Hue"), 0, 328);
    SatLabel = MakeLabel(Panel20, "SatLabel", QStringLiteral("Sat"), 0, 344);

    // Middle: colour bar over the picture area.
    Panel4 = Named(new AlignPanel(OuterPanel), "Panel4");
    OuterPanel->setAlign(Panel4, Align::Client);
    Panel19 = Named(new AlignPanel(Panel4), "Panel19");
    Panel19->resize(603, 89);
    Panel4->setAlign(Panel19, Align::Top);

    ToolBar1 = Named(new QWidget(Panel19), "ToolBar1");
    ToolBar1->resize(603, 23);
    Panel19->setAlign(ToolBar1, Align::Top);
    const struct {
        QToolButton **button;
        const char *name;
        const char *caption;
    } presets[] = {
        {&ToolButton1, "ToolButton1", "Skin"},  {&ToolButton7, "ToolButton7", "Skin 2"},
        {&ToolButton2, "ToolButton2", "Sky"},   {&ToolButton3, "ToolButton3", "Water"},
        {&ToolButton4, "ToolButton4", "Sand"},  {&ToolButton5, "ToolButton5", "Grass"},
        {&ToolButton6, "ToolButton6", "Stone"}, {&ToolButton8, "ToolButton8", "Hill"},
        {&ToolButton9, "ToolButton9", "Wood"},  {&ToolButton10, "ToolButton10", "Forest"},
    };
    int x = 0;
    for (const auto &p : presets) {
        auto *b = Named(new QToolButton(ToolBar1), p.name);
        b->setText(QString::fromLatin1(p.caption));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setAutoRaise(true);
        b->setGeometry(x, 2, 37, 21);
        *p.button = b;
        x += 37;
    }

    GrrayBtn = Named(new QPushButton(QStringLiteral("Grayscale"), Panel19), "GrrayBtn");
    GrrayBtn->setGeometry(8, 32, 137, 25);
    GrrayBtn->setIcon(ButtonIcon(QStringLiteral("grayscale")));
    SoftenBtn = Named(new QPushButton(QStringLiteral("Soften"), Panel19), "SoftenBtn");
    SoftenBtn->setGeometry(8, 56, 137, 25);
    SoftenBtn->setIcon(ButtonIcon(QStringLiteral("soften")));
    ColourLabel = MakeLabel(Panel19, "ColourLabel", QStringLiteral("Colour:"), 160, 32);
    HueED = MakeSpin(Panel19, "HueED", {224, 32, 73, 21}, 0, 255, 1, 0, QString());
    SaturationLabel = MakeLabel(Panel19, "SaturationLabel", QStringLiteral("Saturation:"), 160, 56);
    SatEd = MakeSpin(Panel19, "SatEd", {224, 56, 73, 21}, 0, 255, 1, 0, QString());
    BrightnessLabel =
        MakeLabel(Panel19, "BrightnessLabel", QStringLiteral("Brightness (+/-):"), 304, 32);
    // The replacement face is wider than the classic one: narrow the label's letters
    // until it ends before its spin edit instead of being covered by it.
    for (int spacing = 100; BrightnessLabel->width() > 384 - 304 - 2 && spacing > 80;
         spacing -= 2) {
        QFont narrow = BrightnessLabel->font();
        narrow.setLetterSpacing(QFont::PercentageSpacing, spacing - 2);
        BrightnessLabel->setFont(narrow);
        BrightnessLabel->adjustSize();
    }
    BrightEd = MakeSpin(Panel19, "BrightEd", {384, 32, 65, 21}, -100, 100, 1, 0, QString());
    ColorAllBtn =
        Named(new QPushButton(QStringLiteral("Colorize everything"), Panel19), "ColorAllBtn");
    ColorAllBtn->setGeometry(304, 56, 145, 25);
    ColorAllBtn->setIcon(ButtonIcon(QStringLiteral("checkmarks")));
    for (QPushButton *b : {GrrayBtn, SoftenBtn, ColorAllBtn})
        b->setIconSize(QSize(16, 16));

    // Picture area: the view at the top-left corner of a scrolling box.
    ScrollBox1 = Named(new QScrollArea(Panel4), "ScrollBox1");
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setBackgroundRole(QPalette::Dark); // the application-workspace colour
    Panel4->setAlign(ScrollBox1, Align::Client);
    ScrollBox1->viewport()->setBackgroundRole(QPalette::Dark);
    ScrollBox1->viewport()->installEventFilter(this);
    PaintBox1 = Named(new SurfacePaintBox, "PaintBox1");
    PaintBox1->SetPaintHandler([this] { PaintBox1Paint(); });
    PaintBox1->SetMessageSink(std::make_unique<MessageServiceSink>(Messages()));
    PaintBox1->setCursor(Qt::PointingHandCursor);
    PaintBox1->setMouseTracking(true);
    PaintBox1->installEventFilter(this);
    ScrollBox1->setWidget(PaintBox1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

void TMainForm::LayOutSpeedBar()
{
    // Along the left or right edge: the buttons in a column, 3 pixels in from the
    // bar's left edge, then radius and zoom with their labels, then the check boxes.
    if (dockEdge_ == view::DockEdge::Left || dockEdge_ == view::DockEdge::Right) {
        ColorierenBtn->setGeometry(3, 11, 78, 64);
        RadiergummiBtn->setGeometry(3, 75, 78, 64);
        RadiusLabel->move(8, 144);
        RadiusED->setGeometry(8, 160, 73, 22);
        ZoomLabel->move(8, 184);
        ZoomEd->setGeometry(8, 200, 73, 22);
        FollowEdgesCheck->setGeometry(8, 232, 78, 17);
        KeepTonesCheck->setGeometry(8, 251, 78, 17);
        return;
    }
    // Along the top or bottom edge: the buttons in a row, then each label over its
    // spin box, side by side, then the check boxes level with the boxes.
    ColorierenBtn->setGeometry(3, 3, 78, 64);
    RadiergummiBtn->setGeometry(81, 3, 78, 64);
    RadiusLabel->move(168, 12);
    RadiusED->setGeometry(168, 28, 73, 22);
    ZoomLabel->move(248, 12);
    ZoomEd->setGeometry(248, 28, 73, 22);
    FollowEdgesCheck->setGeometry(328, 30, 78, 17);
    KeepTonesCheck->setGeometry(410, 30, 78, 17);
}
