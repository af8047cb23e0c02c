#include "platform/RecordingSurface.h"

#include "platform/TextMetrics.h"

#include <algorithm>
#include <iterator>

namespace tarvex {

RecordingSurface::RecordingSurface(int pixelWidth, int pixelHeight)
    : PictureSurface(pixelWidth, pixelHeight) {}

std::vector<DrawOperation> RecordingSurface::OperationsOf(DrawOperation::Kind kind) const {
    std::vector<DrawOperation> found;
    std::copy_if(operations_.begin(), operations_.end(), std::back_inserter(found),
                 [kind](const DrawOperation& op) { return op.kind == kind; });
    return found;
}

DrawOperation& RecordingSurface::Record(DrawOperation::Kind kind, double x1, double y1, double x2,
                                        double y2) {
    DrawOperation& op = operations_.emplace_back();
    op.kind = kind;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.state = State();
    op.scale = CurrentScale();
    return op;
}

void RecordingSurface::DrawClear() {
    Record(DrawOperation::Kind::Clear);
}

void RecordingSurface::DrawLine(double x1, double y1, double x2, double y2, Rgb color) {
    Record(DrawOperation::Kind::Line, x1, y1, x2, y2).color = color;
}

void RecordingSurface::DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
    const auto kind = filled ? DrawOperation::Kind::FilledBox : DrawOperation::Kind::Box;
    Record(kind, x1, y1, x2, y2).color = color;
}

void RecordingSurface::DrawCircle(double x, double y, double radius, Rgb color) {
    DrawOperation& op = Record(DrawOperation::Kind::Circle, x, y);
    op.radius = radius;
    op.color = color;
}

void RecordingSurface::DrawArc(double x, double y, double radius, double start, double end,
                               Rgb color) {
    DrawOperation& op = Record(DrawOperation::Kind::Arc, x, y);
    op.radius = radius;
    op.start = start;
    op.end = end;
    op.color = color;
}

void RecordingSurface::DrawPoint(double x, double y, Rgb color) {
    Record(DrawOperation::Kind::Point, x, y).color = color;
}

void RecordingSurface::DrawText(double x, double y, std::string_view text, bool lineEnd) {
    DrawOperation& op = Record(DrawOperation::Kind::Text, x, y);
    op.text = std::string(text);
    op.lineEnd = lineEnd;
    op.color = State().foreColor;
    op.fontPixels = TextPixelSize();
    op.textRect = TextRect{ToPixelX(x), ToPixelY(y), TextWidthPixels(text), TextHeightPixels(text)};
    op.textId = PrintedTextId();
}

void RecordingSurface::EraseText(const DrawnText& text) {
    std::erase_if(operations_, [&](const DrawOperation& op) {
        return op.kind == DrawOperation::Kind::Text && op.textId == text.id;
    });
}

void RecordingSurface::ShowPicture(const Picture&) {
    Record(DrawOperation::Kind::SetPicture);
}

Picture RecordingSurface::SnapshotPicture() {
    Record(DrawOperation::Kind::TakePicture);
    return Picture();
}

double RecordingSurface::TextWidthPixels(std::string_view text) const {
    return ModelTextWidth(FaceOfFont(FontName()), FontBold(), TextPixelSize(), text);
}

double RecordingSurface::TextHeightPixels(std::string_view) const {
    return ModelTextHeight(FaceOfFont(FontName()), FontBold(), TextPixelSize());
}

} // namespace tarvex
