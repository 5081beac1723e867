// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ProgressStatusBar.h"

#include "platform/gdi/SurfaceDC.h"
#include "widgets/QtRect.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

// Panels start 2 pixels below the bar's top edge, which carries a light line.
constexpr int kPanelTop = 2;

// Fills rect (bar coordinates) of image, whose pixel (x, y) shows bar point
// (x + origin.x, y + origin.y), with colour; a device context over the image does it.
void FillSolid(QImage &image, QPoint origin, const QRect &rect, QRgb colour)
{
    gdi::SurfaceDC(image, origin, rect, 32)
        .FillRect(FromQRect(rect),
                  RGB(uint8_t(qRed(colour)), uint8_t(qGreen(colour)), uint8_t(qBlue(colour))));
}

bool SameRows(const QRect &a, const QRect &b)
{
    return a.top() == b.top() && a.bottom() == b.bottom();
}

} // namespace

ProgressStatusBar::ProgressStatusBar(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The surface covers every pixel; Qt need not clear the widget first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ProgressStatusBar::~ProgressStatusBar()
{
    DropDirect();
}

QSize ProgressStatusBar::sizeHint() const
{
    return {kFirstPanelWidth + 100, kHeight};
}

QRect ProgressStatusBar::PanelRect(int panel) const
{
    if (panel == 0)
        return QRect(QPoint(0, kPanelTop), QPoint(kFirstPanelWidth - 3, kHeight - 1));
    return QRect(QPoint(kFirstPanelWidth, kPanelTop), QPoint(width() - 1, kHeight - 1));
}

void ProgressStatusBar::RepaintNow()
{
    rendered_ = false;
    if (!isVisible())
        return;
    Render();
    if (surface_.isNull() || !ShowNow(rect(), nullptr))
        repaint();
    emit Shown(rect());
}

void ProgressStatusBar::Fill(const QRect &rect, QRgb colour)
{
    if (surface_.size() != size())
        return;
    const QRect target = rect & surface_.rect();
    if (target.isEmpty())
        return;
    const bool sameColour = colour == lastColour_;
    const QRect before = lastFill_;
    lastRequest_ = rect;
    if (sameColour && target == before)
        return;
    // A longer bar of the same colour over the last one changes only its new part.
    QRect fresh = target;
    if (sameColour && SameRows(before, target) && before.left() == target.left()
        && before.right() < target.right())
        fresh.setLeft(before.right() + 1);
    // The surface takes the fill when it is next read or painted: the pending part stays
    // one rectangle in one colour, so a fill that does not continue it writes it first.
    if (!unwritten_.isEmpty()
        && !(sameColour && SameRows(unwritten_, fresh) && unwritten_.right() + 1 == fresh.left()))
        WriteSurface();
    unwritten_ = unwritten_.isEmpty() ? fresh : unwritten_.united(fresh);
    lastFill_ = target;
    lastColour_ = colour;
    if (!isVisible())
        return;
    if (!ShowNow(fresh, &colour)) {
        WriteSurface();
        repaint(fresh);
    }
    emit Shown(fresh);
}

void ProgressStatusBar::WriteSurface() const
{
    if (unwritten_.isEmpty())
        return;
    FillSolid(surface_, {}, unwritten_, lastColour_);
    unwritten_ = QRect();
}

const QImage &ProgressStatusBar::Surface() const
{
    WriteSurface();
    return surface_;
}

bool ProgressStatusBar::ShowNow(const QRect &rect, const QRgb *colour)
{
    if (!direct_ && !FindDirect())
        return false;
    const QRect part = rect & direct_->visible;
    if (part.isEmpty())
        return true;
    const QPoint offset = direct_->offset;
    const QRegion region(part.translated(offset));
    QBackingStore *store = direct_->store;
    store->beginPaint(region);
    QPaintDevice *device = store->paintDevice();
    if (!direct_->image) {
        // Only a store image at one device pixel per pixel, in a 32-bit RGB format and
        // holding the whole visible bar, is written directly.
        QImage *image = device && device->devType() == QInternal::Image
                            ? static_cast<QImage *>(device)
                            : nullptr;
        if (image && image->devicePixelRatio() == 1
            && image->rect().contains(direct_->visible.translated(offset))
            && (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32
                || image->format() == QImage::Format_ARGB32_Premultiplied))
            direct_->image = image;
    }
    if (device != direct_->image) {
        store->endPaint();
        DropDirect();
        return false;
    }
    // An opaque pixel reads the same in all three formats.
    QImage &image = *direct_->image;
    if (colour) {
        FillSolid(image, -offset, part, *colour);
    } else {
        for (int y = part.top(); y <= part.bottom(); ++y)
            std::copy_n(reinterpret_cast<const QRgb *>(surface_.constScanLine(y)) + part.left(),
                        part.width(),
                        reinterpret_cast<QRgb *>(image.scanLine(y + offset.y())) + part.left()
                            + offset.x());
    }
    store->endPaint();
    store->flush(region, direct_->handle);
    return true;
}

bool ProgressStatusBar::FindDirect()
{
    // Straight into the window's backing store and out to the screen, as a window
    // system's direct drawing does, for the common case: a raster window whose store
    // has the window's size, and a bar whose visible part is one rectangle. A repaint
    // does the same through the widget machinery at several times the cost.
    QWidget *top = window();
    QBackingStore *store = backingStore();
    QWindow *handle = top->windowHandle();
    // A window of the bar's own, or of a widget between it and the main window, shows
    // the bar instead of the main window: that case takes the repaint.
    const bool shownByTop = isWindow() || (!internalWinId() && nativeParentWidget() == top);
    if (!store || !handle || !shownByTop || handle->surfaceType() != QSurface::RasterSurface
        || store->size() != top->size())
        return false;
    const QRegion visible = visibleRegion();
    if (visible.rectCount() > 1)
        return false;
    direct_ = Direct{store, handle, nullptr, mapTo(top, QPoint()), visible.boundingRect()};
    QCoreApplication::instance()->installEventFilter(this);
    return true;
}

void ProgressStatusBar::DropDirect()
{
    if (!direct_)
        return;
    direct_.reset();
    QCoreApplication::instance()->removeEventFilter(this);
}

bool ProgressStatusBar::eventFilter(QObject *watched, QEvent *event)
{
    // Installed on the application while direct_ is kept: whatever the event, the
    // window may have changed.
    DropDirect();
    return QWidget::eventFilter(watched, event);
}

void ProgressStatusBar::Render()
{
    if (surface_.size() != size())
        surface_ = QImage(size(), QImage::Format_RGB32);
    if (surface_.isNull())
        return;
    const QColor face = palette().color(QPalette::Button);
    if (background_.size() != size() || backgroundFace_ != face) {
        background_ = QImage(size(), QImage::Format_RGB32);
        backgroundFace_ = face;
        QPainter painter(&background_);
        painter.fillRect(background_.rect(), face);
        painter.setPen(face.lighter(130));
        painter.drawLine(0, 0, width() - 1, 0);
        // The first panel: an empty sunken box.
        const QRect first = PanelRect(0);
        painter.setPen(face.darker(140));
        painter.drawLine(first.topLeft(), first.topRight());
        painter.drawLine(first.topLeft(), first.bottomLeft());
        painter.setPen(face.lighter(130));
        painter.drawLine(first.bottomLeft(), first.bottomRight());
        painter.drawLine(first.topRight(), first.bottomRight());
    }
    // The bar without the owner's panel changes only with its size and colours; it is
    // kept, and a full paint starts from a copy of it.
    std::memcpy(surface_.bits(), background_.constBits(), size_t(surface_.sizeInBytes()));

    rendered_ = true;
    unwritten_ = QRect();
    lastFill_ = QRect();
    lastRequest_ = QRect();
    if (drawPanel_) {
        inDrawPanel_ = true;
        drawPanel_(this, kOwnerDrawnPanel, PanelRect(kOwnerDrawnPanel));
        inDrawPanel_ = false;
        canvas_.reset();
    }
}

QPainter *ProgressStatusBar::Canvas() const
{
    if (!inDrawPanel_)
        return nullptr;
    // Made when the handler first asks: a panel with nothing to draw needs no painter.
    if (!canvas_) {
        canvas_.emplace(&surface_);
        canvas_->setPen(Qt::NoPen);
    }
    return &*canvas_;
}

bool ProgressStatusBar::event(QEvent *event)
{
    // The text panel stays empty: hints of the controls are not shown here.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QWidget::event(event);
}

void ProgressStatusBar::paintEvent(QPaintEvent *event)
{
    if (!rendered_ || surface_.size() != size())
        Render();
    WriteSurface();
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
}

void ProgressStatusBar::resizeEvent(QResizeEvent *event)
{
    rendered_ = false;
    QWidget::resizeEvent(event);
}
