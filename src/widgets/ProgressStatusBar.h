// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's status bar: 19 pixels high, two panels. The first is 250 pixels
// wide and never shows any text (status tips included); the second reaches to the
// right end and is drawn by its owner through the draw-panel handler.
//
// The bar keeps a QImage surface of itself. A full paint renders the surface (the
// bar's background, then the owner's panel through the handler, whose canvas is a
// painter on the surface) and shows it. RepaintNow and FillNow put what they change on
// screen at once, outside any paint cycle, so code that does not let the event loop
// run still updates the screen: straight into the window's backing store where it
// can, through a repaint where it cannot. The surface takes a fill's pixels when it
// is next read or painted.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

class QBackingStore;

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
    ~ProgressStatusBar() override;

    void SetDrawPanelHandler(DrawPanelHandler handler) { drawPanel_ = std::move(handler); }

    // The painter on the surface while the draw-panel handler runs; null otherwise.
    QPainter *Canvas() const;

    // Panel i's rectangle in bar coordinates (right and bottom exclusive, as QRect's
    // right() + 1 and bottom() + 1).
    QRect PanelRect(int panel) const;

    // Renders and shows the whole bar before returning: the old content is erased and
    // the handler draws the owner's panel afresh. Only deferred when the bar is hidden.
    void RepaintNow();

    // Fills rect (clipped to the bar) with colour (0xRRGGBB; alpha is ignored) on the
    // surface and shows it before returning; nothing is erased. Only pixels the fill
    // changes are written: a fill identical to the previous one since the last full
    // paint is skipped, and a longer one of the same colour adds its new part. Before
    // the first full paint there is nothing on screen to draw over, and the call does
    // nothing. Operations report every row, so the same bar comes again and again: the
    // test for it is inline and comes first.
    void FillNow(const QRect &rect, QRgb colour)
    {
        colour |= 0xff000000u;
        if (rendered_ && (rect != lastRequest_ || colour != lastColour_))
            Fill(rect, colour);
    }

    // What the bar shows.
    const QImage &Surface() const;

    QSize sizeHint() const override;

signals:
    // FillNow or RepaintNow has just put rect on screen, before returning: straight
    // into the window where it can, through a paint event where it cannot.
    void Shown(const QRect &rect);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Render();
    // FillNow's work for a fill that differs from the last; colour is opaque.
    void Fill(const QRect &rect, QRgb colour);
    // Puts rect on screen at once without a repaint, filled with *colour or, without
    // one, as the surface has it; false when the window's backing store does not allow
    // it.
    bool ShowNow(const QRect &rect, const QRgb *colour);
    // Finds the window's backing store and the bar's place in it, or false when the bar
    // cannot be drawn there directly.
    bool FindDirect();
    void DropDirect();
    // Writes the fills not yet on the surface (they are on screen already).
    void WriteSurface() const;

    // The surface is what the bar shows; the part of the last fill that is on screen
    // but not yet written to it is unwritten_, in lastColour_.
    mutable QImage surface_;
    mutable QRect unwritten_;
    bool rendered_ = false;
    bool inDrawPanel_ = false;
    mutable std::optional<QPainter> canvas_;
    QImage background_;
    QColor backgroundFace_;
    DrawPanelHandler drawPanel_;
    // Where ShowNow draws: the window's backing store, its image (known after the first
    // draw), the bar's offset in the window and the bar's visible part (bar
    // coordinates). Finding it walks the widget tree, which costs more than the fill, so
    // it is kept while no event reaches any object of the application: every change that
    // could move, cover or re-create any of it (a move, resize, show, hide, raise,
    // reparenting or repaint of any widget, a resized or re-exposed window) is delivered
    // as an event, and an operation reporting progress lets none through.
    struct Direct {
        QBackingStore *store = nullptr;
        QWindow *handle = nullptr;
        QImage *image = nullptr;
        QPoint offset;
        QRect visible;
    };
    std::optional<Direct> direct_;
    QRect lastRequest_;
    QRect lastFill_;
    QRgb lastColour_ = 0;
};
