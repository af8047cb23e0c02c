#pragma once

#include "platform/RasterSurface.h"

#include <QWidget>

#include <functional>

namespace tarvex {

// A widget that shows a raster surface at its top-left corner and delivers the
// mouse in the surface's user scale. Buttons: 1 left, 2 right, 4 middle (for a
// move, the sum of the buttons held). Shift: 1 shift, 2 control, 4 alt, added.
class PictureBox : public QWidget {
  public:
    using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

    explicit PictureBox(QWidget* parent = nullptr);

    // The surface, drawn for the widget's size: a hidden box that was given
    // a new size takes it, and runs its resize handler, here or when it is
    // first shown, whichever comes first.
    RasterSurface& Surface() {
        CatchUp();
        return surface_;
    }
    const RasterSurface& Surface() const {
        CatchUp();
        return surface_;
    }
    // A transparent layer of the same size shown over the surface, for
    // marks that come and go (a trace following the mouse) without touching
    // the picture below; Clear empties it.
    RasterSurface& Overlay();
    // Empties the layer; a layer never asked for is left unmade.
    void ClearOverlay();
    // The surface as the widget shows it, with the overlay over it.
    QImage ShownImage() const;

    void SetMouseDownHandler(MouseHandler handler) { mouseDown_ = std::move(handler); }
    void SetMouseMoveHandler(MouseHandler handler) { mouseMove_ = std::move(handler); }
    void SetMouseUpHandler(MouseHandler handler) { mouseUp_ = std::move(handler); }
    // Runs after the surface has taken the widget's new size, whether the box
    // is shown or hidden; the owner redraws the picture there (unless its
    // redraws are held), so that it is always drawn for the size it shows.
    void SetResizeHandler(std::function<void()> handler) { resized_ = std::move(handler); }

    // The shape the picture keeps in a window, as a width and a height in any
    // one unit (a designed size in twips, or 1 by 1 for a square scale); a
    // layout gives it the largest box of that shape that fits its room. No
    // shape (the default): the picture takes the whole room.
    void SetShape(double width, double height);
    // Width over height of the shape; 0 when the picture has none.
    double ShapeAspect() const { return aspect_; }

    // Gives the surface the widget's size when they differ, then runs the
    // resize handler. Qt holds back the resize event of a hidden widget until
    // it is shown, so a layout that places hidden boxes calls this itself. A
    // box that its window does not show keeps the new size pending: its
    // picture is made and drawn when the box is shown or its surface is
    // first asked for, so that pictures nobody looks at cost nothing.
    void FollowSize();
    // For an owner about to draw the picture: true when the box is not shown
    // in its window, so that the owner leaves the drawing to the box, which
    // runs draw when it is shown or its surface is first asked for (a later
    // call replaces the draw left before). False when the owner draws now:
    // the box is shown, or it is running what was left or its resize
    // handler; a draw left before is then dropped, as the owner's drawing
    // replaces it.
    bool DrawWhenSeen(std::function<void()> draw);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void RequestPaint(const QRect& area);
    // Takes a pending size, if any: the surface is resized and redrawn; then
    // runs a draw left by DrawWhenSeen.
    void CatchUp() const;
    void TakeSize();
    void Deliver(const MouseHandler& handler, int button, const QMouseEvent& event) const;

    RasterSurface surface_;
    RasterSurface overlay_;
    bool overlayUsed_ = false;
    // The area a paint has been asked for, until it happens.
    QRect paintRequested_;
    bool sizePending_ = false;
    // Set while CatchUp runs the resize handler or the draw left.
    bool catchingUp_ = false;
    std::function<void()> leftDraw_;
    MouseHandler mouseDown_;
    MouseHandler mouseMove_;
    MouseHandler mouseUp_;
    std::function<void()> resized_;
    double aspect_ = 0.0;
};

} // namespace tarvex
