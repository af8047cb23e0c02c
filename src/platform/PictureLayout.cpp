#include "platform/PictureLayout.h"

#include "platform/PictureBox.h"

#include <QWidget>

#include <cmath>

namespace tarvex {

PictureLayout::PictureLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
}

PictureLayout::~PictureLayout() {
    while (QLayoutItem* item = takeAt(0)) delete item;
}

QRect PictureLayout::ShapedBox(const QRect& room, double aspect) {
    if (!(aspect > 0.0) || room.isEmpty()) return room;
    int w = room.width();
    int h = static_cast<int>(std::lround(w / aspect));
    if (h > room.height()) {
        h = room.height();
        w = static_cast<int>(std::lround(h * aspect));
    }
    w = std::max(1, w);
    h = std::max(1, h);
    return {room.x() + (room.width() - w) / 2, room.y() + (room.height() - h) / 2, w, h};
}

void PictureLayout::addItem(QLayoutItem* item) {
    items_.append(item);
}

QLayoutItem* PictureLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* PictureLayout::takeAt(int index) {
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QSize PictureLayout::sizeHint() const {
    QSize size;
    for (const QLayoutItem* item : items_) size = size.expandedTo(item->sizeHint());
    return size;
}

QSize PictureLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : items_) {
        const QWidget* w = item->widget();
        size = size.expandedTo(w ? w->minimumSize() : item->minimumSize());
    }
    return size;
}

void PictureLayout::setGeometry(const QRect& room) {
    QLayout::setGeometry(room);
    const QRect area = contentsRect();
    for (QLayoutItem* item : items_) {
        QWidget* widget = item->widget();
        if (!widget) {
            item->setGeometry(area);
            continue;
        }
        auto* picture = dynamic_cast<PictureBox*>(widget);
        // The widget's own geometry, not the item's: the item leaves hidden
        // widgets where they were.
        widget->setGeometry(ShapedBox(area, picture ? picture->ShapeAspect() : 0.0));
        if (picture) picture->FollowSize();
    }
}

} // namespace tarvex
