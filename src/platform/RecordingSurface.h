#pragma once

#include "platform/PictureSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvex {

// One drawing operation as a recording surface saw it, in user coordinates,
// with the attributes and the scale in force when it ran.
struct DrawOperation {
    enum class Kind {
        Clear,
        Line,
        Box,
        FilledBox,
        Circle,
        Arc,
        Point,
        Text,
        SetPicture,
        TakePicture
    };

    Kind kind = Kind::Clear;
    // Line: from (x1, y1) to (x2, y2). Box and FilledBox: the two corners.
    // Circle, Arc and Point: the centre or point in (x1, y1). Text: its
    // top-left corner in (x1, y1).
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    double radius = 0.0; // x units
    double start = 0.0;  // arc angles, radians
    double end = 0.0;
    Rgb color; // outline, line or point colour; text: the fore colour
    std::string text;
    bool lineEnd = false; // text printed with a line end
    // Text: the pixel font size it was drawn at and its box in pixels.
    int fontPixels = 0;
    TextRect textRect;
    // Text: its id among the surface's drawn texts (DrawnText::id).
    std::uint64_t textId = 0;
    DrawState state;
    UserScale scale;
};

// A surface without pixels that records every operation, for tests of drawing
// code. Text is measured by the fonts' own advance widths and line height at
// the pixel font size (ModelTextWidth), so measurements are the same on every
// machine and within a pixel or so of what the raster surface draws.
class RecordingSurface : public PictureSurface {
  public:
    explicit RecordingSurface(int pixelWidth = 400, int pixelHeight = 400);

    const std::vector<DrawOperation>& Operations() const { return operations_; }
    std::vector<DrawOperation> OperationsOf(DrawOperation::Kind kind) const;
    void ForgetOperations() { operations_.clear(); }
    void Resize(int pixelWidth, int pixelHeight) { SetPixelSize(pixelWidth, pixelHeight); }

  protected:
    void DrawClear() override;
    void DrawLine(double x1, double y1, double x2, double y2, Rgb color) override;
    void DrawBox(double x1, double y1, double x2, double y2, Rgb color, bool filled) override;
    void DrawCircle(double x, double y, double radius, Rgb color) override;
    void DrawArc(double x, double y, double radius, double start, double end, Rgb color) override;
    void DrawPoint(double x, double y, Rgb color) override;
    void DrawText(double x, double y, std::string_view text, bool lineEnd) override;
    void ShowPicture(const Picture& picture) override;
    Picture SnapshotPicture() override;
    double TextWidthPixels(std::string_view text) const override;
    double TextHeightPixels(std::string_view text) const override;
    // A text left out after it was drawn is no longer among the operations:
    // it is never painted.
    void EraseText(const DrawnText& text) override;

  private:
    DrawOperation& Record(DrawOperation::Kind kind, double x1 = 0.0, double y1 = 0.0,
                          double x2 = 0.0, double y2 = 0.0);

    std::vector<DrawOperation> operations_;
};

} // namespace tarvex
