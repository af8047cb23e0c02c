#pragma once

#include "overview/fields/OverviewState.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

class QLabel;
class QString;
class QPoint;
class QSize;
class QWidget;

namespace tarvex {

struct Session;

// The part (0 .. n - 1) of a label of the given width that shows n parts side
// by side, under a pointer at x, counted from the right end; none when the
// label has no parts or the pointer lies outside it.
std::optional<int> LegendSegment(double x, double width, int n);

// Text colours of the humidity legend's six cells once cell index was
// chosen: the cells below it grey, the rest white.
std::array<Rgb, 6> RHLegendColours(int index);

// Colour each humidity legend cell stands for (the shading of its class);
// none for the unshaded 30 to 70 % cell.
std::array<std::optional<Rgb>, 6> RHLegendClassColours();
// Colour each heat-index legend cell ("IV" .. "I") stands for.
std::array<Rgb, 4> HeatLegendClassColours();

// Height in pixels of the bar of colour under a legend cell's text.
inline constexpr int kLegendSwatchPixels = 5;

// Style of a legend cell: its text colour on its background, over a bar of
// the colour it stands for (a bar of the background when it stands for none).
QString LegendCellSheet(Rgb text, Rgb background, std::optional<Rgb> swatch);
// Gives widget the style sheet unless it has that one already: the toolkit
// styles a widget and its children again for every sheet it is given, the
// same or not.
void SetStyleSheetIfNew(QWidget* widget, const QString& sheet);
// Gives a legend cell that style, with its text kept above the bar: the cell
// is as tall as its text and the bar, and its text is centred above the bar.
void ShowLegendCell(QLabel* cell, Rgb text, Rgb background, std::optional<Rgb> swatch);

// Captions of the entraining-CAPE legend (the contour interval times 1, 20,
// 40, 100, 200 and 400) and their colours: yellow from the start label on,
// black below it. A start above 5 counts as 5, so the last label always
// shows.
struct ECAPELegend {
    std::array<std::string, 6> captions;
    std::array<Rgb, 6> colours;
};
ECAPELegend ECAPELegendOf(int ContourInterval, int ECAPELegendStart);

// The heat-index class explained by legend label index (0 "IV" .. 3 "I");
// empty for any other index.
std::string HeatIndexMessage(int index);

// Sum of the chosen per-hour quantities (0 precipitation, 1 snow,
// 2 evaporation, 3 run-off) over the columns from the smaller to the larger
// of the two, both included, clamped to the model's columns. The snow is
// made here, whether or not its bars are shown.
double PrecipSum(Session& session, const OverviewOptions& options,
                 const std::array<bool, 4>& chosen, int from, int to);
// The sum as the label shows it: three decimals and an inch sign.
std::string PrecipSumCaption(double total);

// Where the sum label's top-left corner goes inside picRH (pixels): beside
// the pointer, 1.5 columns towards the later hours, with its bottom at the
// pointer; at the left edge when the pointer is within a column of it; always
// wholly inside the picture.
QPoint PrecipLabelPosition(const OverviewAxes& axes, QSize picture, QSize label, int column,
                           QPoint pointer);

// A companion panel keeps its room while hidden, so that showing or hiding
// it never changes the size of the window; it starts hidden.
QWidget* Companion(QWidget* panel);

// A row of coloured captions on the dark legend background: the colour
// classes of an overlay.
struct LegendEntry {
    const char* caption;
    Rgb colour;
};
QWidget* ColourLegend(QWidget* parent, const char* name,
                      std::initializer_list<LegendEntry> entries);

// The overview's legend labels and readouts: the humidity legend (lblRH),
// the entraining-CAPE legend (lblECAPE), the heat-index legend (lblHI), the
// mixing-layer readout (lblMixingLayer) and the precipitation-sum label
// (lblPrecip, inside picRH).
class OverviewLegends : public QObject {
  public:
    using Redraw = std::function<void()>;
    using Word = std::function<void(const std::string&)>;
    using Message = std::function<void(const std::string& title, const std::string& text)>;

    // The humidity and entraining-CAPE legends are made inside
    // contourPanel, the heat legend inside temperaturePanel, where the
    // window places them (without them, each is a window of its own).
    OverviewLegends(Session& session, OverviewOptions& options, QWidget* picRH, Redraw redraw,
                    Word runControlCommand, QWidget* contourPanel = nullptr,
                    QWidget* temperaturePanel = nullptr);

    // The legends, each in a widget of its own for the window to place.
    QWidget* pnlRH = nullptr;
    QWidget* frameECAPE = nullptr;
    QWidget* pnlHeatIndex = nullptr;
    std::array<QLabel*, 6> lblRH{};
    std::array<QLabel*, 6> lblECAPE{};
    std::array<QLabel*, 4> lblHI{};
    QLabel* lblMixingLayer = nullptr;
    QLabel* lblPrecip = nullptr;
    // How a message box is shown (tests replace it).
    Message showMessage;

    // The mixing-layer readout is the window's own label (shown with the
    // maximum-temperature method); the legends answer its mouse releases.
    void AttachMixingLayer(QLabel* label);

    void lblRH_DblClick(int Index);
    void lblECAPE_DblClick(int Index);
    void lblHI_DblClick(int Index);
    // A release at x (pixels) on the mixing-layer readout: the day under it
    // warms by 1 F for the left button, cools by 1 F for any other.
    void lblMixingLayer_MouseUp(bool leftButton, double x);
    // The entraining-CAPE legend from the options, while chkECAPE is on.
    void DisplayECAPELabels();
    // The humidity legend's colours from RHLegendIndex (after a settings
    // recall, say).
    void ShowRHLegend();
    // The running sum while the right button drags from SumStartColumn to
    // column; the pointer is at (X, Y) in picture's user scale, whatever
    // plotter set it last, and the picture's scale is left as it is.
    void ShowPrecipTotal(const OverviewAxes& axes, const std::array<bool, 4>& chosen,
                         int SumStartColumn, int column, const PictureSurface& picture, double X,
                         double Y);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowECAPELegend();

    Session& session_;
    OverviewOptions& options_;
    Redraw redraw_;
    Word word_;
};

} // namespace tarvex
