// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AlignPanel.h"

#include <QChildEvent>
#include <QResizeEvent>

AlignPanel::AlignPanel(QWidget *parent, Bevel bevel) : QFrame(parent)
{
    setBevel(bevel);
}

void AlignPanel::setBevel(Bevel bevel)
{
    switch (bevel) {
    case Bevel::None: setFrameStyle(QFrame::NoFrame); break;
    case Bevel::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
        break;
    case Bevel::Lowered:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        break;
    }
    realign();
}

void AlignPanel::setAlign(QWidget *child, Align align)
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].widget == child) {
            if (entries_[i].align == align)
                return realign();
            entries_.removeAt(i);
            break;
        }
    }
    if (align != Align::None)
        entries_.append({child, align});
    realign();
}

Align AlignPanel::align(const QWidget *child) const
{
    for (const Entry &e : entries_)
        if (e.widget == child)
            return e.align;
    return Align::None;
}

void AlignPanel::realign()
{
    QRect r = contentsRect();
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align side : order) {
        for (const Entry &e : entries_) {
            if (e.align != side || e.widget->isHidden())
                continue;
            QWidget *w = e.widget;
            switch (side) {
            case Align::Top:
                w->setGeometry(r.left(), r.top(), r.width(), w->height());
                r.setTop(r.top() + w->height());
                break;
            case Align::Bottom:
                w->setGeometry(r.left(), r.bottom() + 1 - w->height(), r.width(), w->height());
                r.setBottom(r.bottom() - w->height());
                break;
            case Align::Left:
                w->setGeometry(r.left(), r.top(), w->width(), std::max(0, r.height()));
                r.setLeft(r.left() + w->width());
                break;
            case Align::Right:
                w->setGeometry(r.right() + 1 - w->width(), r.top(), w->width(),
                               std::max(0, r.height()));
                r.setRight(r.right() - w->width());
                break;
            case Align::Client:
                w->setGeometry(r.left(), r.top(), std::max(0, r.width()), std::max(0, r.height()));
                break;
            case Align::None: break;
            }
        }
    }
}

void AlignPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    realign();
}

void AlignPanel::childEvent(QChildEvent *event)
{
    QFrame::childEvent(event);
    if (event->removed()) {
        for (qsizetype i = 0; i < entries_.size(); ++i) {
            if (entries_[i].widget == event->child()) {
                entries_.removeAt(i);
                break;
            }
        }
    }
}
