// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the colour: the ten presets, the colour spin edits and the hue/saturation
// palette picker. Every change of CurHue or CurSat ends in PalPaintBoxPaint, the one
// place that shows the current colour (marker, swatches, labels, spin edits). Shape2 is
// the exception: it previews what is under the mouse or was just typed, and only the
// spin edits' handler and the palette's mouse handlers set it.
#include "app/MainForm.h"

#include "colour/PaletteField.h"
#include "colour/PalettePick.h"
#include "colour/Presets.h"
#include "colour/RGBHSL.h"
#include "colour/TypedColour.h"
#include "platform/gdi/Gdi.h"
#include "view/DrawRaster.h"
#include "widgets/SpinEdit.h"
#include "widgets/SurfacePaintBox.h"
#include "widgets/Swatch.h"

#include <QLabel>
#include <QToolButton>

namespace {

COLORREF HslColour(int32_t hue, int32_t sat, int32_t light)
{
    int32_t r = 0, g = 0, b = 0;
    HslToRgb(hue, sat, light, r, g, b);
    return ScreenColour(r, g, b);
}

COLORREF ButtonFace(const QWidget *widget)
{
    const QColor face = widget->palette().color(QPalette::Button);
    return RGB(uint8_t(face.red()), uint8_t(face.green()), uint8_t(face.blue()));
}

void SetCaption(QLabel *label, const QString &text)
{
    // The label sizes itself to its text, as the classic auto-sizing label does.
    label->setText(text);
    label->adjustSize();
}

} // namespace

void TMainForm::PresetClick(int n)
{
    const colour::Preset &preset = colour::PresetOfButton(n);
    CurHue = preset.Hue;
    CurSat = preset.Sat;
    ColorierenBtn->setChecked(true); // the exclusive group releases the Eraser
    PalPaintBoxPaint();
}

void TMainForm::ToolButton1Click()
{
    PresetClick(1);
}
void TMainForm::ToolButton2Click()
{
    PresetClick(2);
}
void TMainForm::ToolButton3Click()
{
    PresetClick(3);
}
void TMainForm::ToolButton4Click()
{
    PresetClick(4);
}
void TMainForm::ToolButton5Click()
{
    PresetClick(5);
}
void TMainForm::ToolButton6Click()
{
    PresetClick(6);
}
void TMainForm::ToolButton7Click()
{
    PresetClick(7);
}
void TMainForm::ToolButton8Click()
{
    PresetClick(8);
}
void TMainForm::ToolButton9Click()
{
    PresetClick(9);
}
void TMainForm::ToolButton10Click()
{
    PresetClick(10);
}

void TMainForm::PreviewColour(int32_t hue, int32_t sat)
{
    Shape2->setFillColour(HslColour(hue, sat, 128));
}

void TMainForm::HueEDChange()
{
    // The palette repaint writes both boxes; that must not come back here.
    if (SyncingEdits)
        return;
    // A number still being typed may lie beyond 0..255; TypedColourByte states the rule.
    PreviewColour(colour::TypedColourByte(HueED->value()), colour::TypedColourByte(SatEd->value()));
    CurHue = colour::TypedColourByte(HueED->value());
    CurSat = colour::TypedColourByte(SatEd->value());
    PalPaintBoxPaint();
}

void TMainForm::SatEdChange()
{
    // Also the brightness box's handler: nothing on the palette depends on brightness,
    // but hue and saturation are read again from their boxes all the same.
    HueEDChange();
}

void TMainForm::PalPaintBoxPaint()
{
    using colour::PaletteFrame;
    HDC dc = PalPaintBox->Canvas();
    const int32_t w = PalPaintBox->width();
    const int32_t h = PalPaintBox->height();

    // Frame: four 4-pixel strips in the button-face colour, which stays the brush.
    const COLORREF face = ButtonFace(PalPaintBox);
    HBRUSH faceBrush = CreateSolidBrush(face);
    HPEN facePen = CreatePen(PS_SOLID, 1, face);
    HGDIOBJ oldBrush = SelectObject(dc, faceBrush);
    HGDIOBJ oldPen = SelectObject(dc, facePen);
    const RECT strips[] = {{0, 0, w, PaletteFrame},
                           {0, h - PaletteFrame, w, h},
                           {0, 0, PaletteFrame, h},
                           {w - PaletteFrame, 0, w, h}};
    for (const RECT &strip : strips)
        FillRect(dc, &strip, faceBrush);

    // Field, unscaled. Without pixel memory there is no field to draw; the button face
    // covers its place instead, so the marker drawn below never leaves a trail.
    const RECT field{PaletteFrame, PaletteFrame, PaletteFrame + colour::PaletteColumns,
                     PaletteFrame + colour::PaletteRows};
    if (PaletteRaster.Pixels)
        DrawRaster(dc, field.Left, field.Top, field.Width(), field.Height(), PaletteRaster, 0, 0,
                   colour::PaletteColumns, colour::PaletteRows, true, SRCCOPY, false, nullptr);
    else
        FillRect(dc, &field, faceBrush);

    // Current colour, and the marker: outlined in its inverse, filled with the brush.
    int32_t r = 0, g = 0, b = 0;
    HslToRgb(CurHue, CurSat, 128, r, g, b);
    HPEN markerPen = CreatePen(PS_SOLID, 1, ScreenColour(255 - r, 255 - g, 255 - b));
    SelectObject(dc, markerPen);
    const Rect marker = colour::PaletteMarkerRect(CurHue, CurSat);
    Ellipse(dc, marker.Left, marker.Top, marker.Right, marker.Bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(markerPen);
    DeleteObject(facePen);
    DeleteObject(faceBrush);
    PalPaintBox->Present();

    Shape3->setFillColour(ScreenColour(r, g, b));
    const COLORREF dark = HslColour(CurHue, CurSat, 64);
    SetCaption(HueLabel, QStringLiteral("Hue: %1").arg(CurHue));
    SetCaption(SatLabel, QStringLiteral("Sat: %1").arg(CurSat));
    SyncingEdits = true;
    HueED->setValue(CurHue);
    SatEd->setValue(CurSat);
    SyncingEdits = false;
    Shape1->setFillColour(dark);
    Shape4->setFillColour(HslColour(CurHue, CurSat, 196));
}

void TMainForm::PalPaintBoxMouseMove(ShiftState Shift, int X, int Y)
{
    const colour::HueSat picked = colour::PaletteColourAt(X, Y);
    PreviewColour(picked.Hue, picked.Sat);
    if (!Shift.Left())
        return;
    CurHue = picked.Hue;
    CurSat = picked.Sat;
    PalPaintBoxPaint();
}

void TMainForm::PalPaintBoxMouseDown(Qt::MouseButton, ShiftState, int X, int Y)
{
    // Any button selects on its press; only a held left button selects while moving.
    const colour::HueSat picked = colour::PaletteColourAt(X, Y);
    PreviewColour(picked.Hue, picked.Sat);
    CurHue = picked.Hue;
    CurSat = picked.Sat;
    PalPaintBoxPaint();
}
