#pragma once

#include <QLayout>
#include <QList>

namespace tarvex {

// Lays out sibling widgets over one shared room, of which the window shows
// one at a time. A PictureBox with a shape gets the largest box of that shape
// that fits the room, centred in it; any other widget takes the whole room.
// Hidden widgets are placed too, so that a picture is drawn for the size it
// will be shown at before it is shown.
class PictureLayout : public QLayout {
  public:
    explicit PictureLayout(QWidget* parent = nullptr);
    ~PictureLayout() override;

    // The box a picture of the given aspect (width over height; 0: none)
    // takes in the room.
    static QRect ShapedBox(const QRect& room, double aspect);

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& room) override;
    // Hidden widgets keep their place in the room.
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal | Qt::Vertical; }

  private:
    QList<QLayoutItem*> items_;
};

} // namespace tarvex
