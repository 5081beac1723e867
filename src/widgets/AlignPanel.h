// SPDX-License-Identifier: GPL-3.0-or-later
// A panel that places its children the way the classic form designer aligns them:
// each child may keep to the top, bottom, left or right side of the space left by the
// children placed before it, stretching along that side, or fill what is left. Top
// children are placed first, then bottom, left, right and the filling one; within a
// side, in the order the children were given an alignment. Children without an
// alignment keep the position and size they were given.
//
// The panel's bevel (none, raised, lowered, one pixel) narrows the space its children
// are aligned in by its width.
#pragma once

#include <QFrame>

enum class Align { None, Top, Bottom, Left, Right, Client };

enum class Bevel { None, Raised, Lowered };

class AlignPanel : public QFrame {
    Q_OBJECT
public:
    explicit AlignPanel(QWidget *parent = nullptr, Bevel bevel = Bevel::None);

    void setBevel(Bevel bevel);
    // Gives a child of this panel an alignment (or None to free it) and places the
    // children again. A child that already had an alignment keeps its place in the
    // order only when the side does not change.
    void setAlign(QWidget *child, Align align);
    Align align(const QWidget *child) const;
    // Places the aligned children in the current content rectangle.
    void realign();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;

private:
    struct Entry {
        QWidget *widget;
        Align align;
    };
    QList<Entry> entries_;
};
