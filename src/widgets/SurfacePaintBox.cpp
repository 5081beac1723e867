// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SurfacePaintBox.h"

#include "platform/gdi/MessageSink.h"
#include "platform/gdi/SurfaceDC.h"

#include <QPaintEvent>
#include <QPainter>

SurfacePaintBox::SurfacePaintBox(QWidget *parent) : QWidget(parent)
{
    // The surface covers every visible pixel; Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    dc_ = std::make_unique<gdi::SurfaceDC>(surface_, QPoint(), QRect());
}

SurfacePaintBox::~SurfacePaintBox() = default;

void SurfacePaintBox::SetMessageSink(std::unique_ptr<gdi::MessageSink> sink)
{
    sink_ = std::move(sink);
    dc_->SetMessageSink(sink_.get());
}

bool SurfacePaintBox::SyncSurface()
{
    const QRect visible = isVisible() ? visibleRegion().boundingRect() : QRect();
    if (visible == surfaceRect_ && surface_.size() == visible.size())
        return false;
    surfaceRect_ = visible;
    if (visible.isEmpty())
        surface_ = QImage();
    else if (surface_.size() != visible.size())
        surface_ = QImage(visible.size(), QImage::Format_RGB32);
    if (!surface_.isNull())
        surface_.fill(palette().color(QPalette::Window));
    dc_->Retarget(surface_, visible.topLeft(), visible);
    return true;
}

void SurfacePaintBox::RunHandler()
{
    if (!handler_ || inHandler_ || surface_.isNull())
        return;
    inHandler_ = true;
    handler_();
    inHandler_ = false;
}

HDC SurfacePaintBox::Canvas()
{
    if (SyncSurface())
        RunHandler(); // the new surface must show the picture before anything else
    dc_->SetClip(surfaceRect_);
    return dc_.get();
}

HDC SurfacePaintBox::CanvasClipped(const QRect &rect)
{
    if (SyncSurface())
        RunHandler();
    dc_->SetClip(rect & surfaceRect_);
    return dc_.get();
}

void SurfacePaintBox::Present()
{
    const QRect area = dc_->Clip() & surfaceRect_;
    if (inPaintEvent_ || area.isEmpty())
        return;
    presenting_ = true;
    repaint(area);
    presenting_ = false;
}

void SurfacePaintBox::paintEvent(QPaintEvent *event)
{
    inPaintEvent_ = true;
    const bool moved = SyncSurface();
    // A paint Qt asks for (expose, resize, scroll) redraws the surface through the
    // handler, as a window's paint message would; one Present asked for only shows
    // what was drawn.
    if (moved || !presenting_) {
        dc_->SetClip(surfaceRect_);
        RunHandler();
    }
    inPaintEvent_ = false;
    if (surface_.isNull())
        return;
    QPainter painter(this);
    const QRect area = event->rect() & surfaceRect_;
    painter.drawImage(area, surface_, area.translated(-surfaceRect_.topLeft()));
}
