// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's status bar: 19 pixels high, two panels. The first is 250 pixels
// wide and never shows any text (status tips included); the second reaches to the
// right end and is drawn by its owner through the draw-panel handler.
//
// The bar keeps a QImage surface of itself, as the program's other self-drawn controls
// do. A full paint renders the surface (the bar's background, then the owner's panel
// through the handler, whose canvas is a painter on the surface) and shows it. FillNow
// draws onto the surface and shows the changed strip with repaint(), synchronously, so
// code that does not let the event loop run still updates the screen.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>

class QPainter;

class ProgressStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 19;
    static constexpr int kFirstPanelWidth = 250;
    static constexpr int kOwnerDrawnPanel = 1;

    // Called for the owner-drawn panel whenever the bar is painted in full; Canvas()
    // is valid during the call.
    using DrawPanelHandler =
        std::function<void(ProgressStatusBar *bar, int panel, const QRect &rect)>;

    explicit ProgressStatusBar(QWidget *parent = nullptr);

    void SetDrawPanelHandler(DrawPanelHandler handler) { drawPanel_ = std::move(handler); }

    // The painter on the surface while the draw-panel handler runs; null otherwise.
    QPainter *Canvas() const { return canvas_; }

    // Panel i's rectangle in bar coordinates (right and bottom exclusive, as QRect's
    // right() + 1 and bottom() + 1).
    QRect PanelRect(int panel) const;

    // Renders and shows the whole bar before returning: the old content is erased and
    // the handler draws the owner's panel afresh. Only deferred when the bar is hidden.
    void RepaintNow();

    // Fills rect (clipped to the bar) with colour (0xRRGGBB; alpha is ignored) on the
    // surface and shows it before returning; nothing is erased. Only what changes is
    // drawn: a longer fill of the same colour from the same left edge as the previous
    // one since the last full paint adds its new strip, and a fill the previous one
    // covers draws nothing. Before the first full paint there is nothing on screen to
    // draw over, and the call does nothing.
    void FillNow(const QRect &rect, QRgb colour);

    // What the bar shows.
    const QImage &Surface() const { return surface_; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Render();

    QImage surface_;
    bool rendered_ = false;
    QPainter *canvas_ = nullptr;
    DrawPanelHandler drawPanel_;
    QRect lastFill_;
    QRgb lastColour_ = 0;
};
