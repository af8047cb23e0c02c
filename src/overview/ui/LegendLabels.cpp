#include "overview/ui/LegendLabels.h"

#include "compute/TimeHeightFields.h"
#include "files/Session.h"
#include "overview/fields/HumidityShading.h"
#include "overview/fields/IndexTraces.h"
#include "overview/fields/LayerTraces.h"
#include "overview/fields/SurfaceTraces.h"
#include "platform/Controls.h"
#include "platform/Format.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

constexpr std::array<int, 6> kECAPEFactors = {1, 20, 40, 100, 200, 400};
constexpr const char* kRHCaptions[] = {"<30", "", "70", "80", "90", "95"};
constexpr const char* kHICaptions[] = {"IV", "III", "II", "I"};
constexpr double kDegreeF = 5.0 / 9.0; // deg C per deg F

// The humidity each legend cell stands for: under 30, 30 to 70 (unshaded),
// then the lower bound of its class.
constexpr std::array<float, 6> kRHCellValues = {0.0f, 50.0f, 70.0f, 80.0f, 90.0f, 95.0f};
// Grey, on which the entraining-CAPE legend's black (hidden) labels show.
constexpr Rgb kECAPEBackground = RGB(96, 96, 96);
// Heat classes of the legend cells "IV", "III", "II", "I".
constexpr std::array<int, 4> kHICategories = {4, 3, 2, 1};

QString Rgb3(Rgb colour) {
    return QString("rgb(%1, %2, %3)").arg(colour.r).arg(colour.g).arg(colour.b);
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new KeptLookLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

template <std::size_t N>
QWidget* LabelRow(QWidget* parent, std::array<QLabel*, N>& labels, const char* panelName,
                  const char* labelName, const std::function<QString(std::size_t)>& caption,
                  QObject* filter, Rgb background) {
    // Made in its parent: a styled row moved into another widget would be
    // styled again.
    auto* panel = new QWidget(parent);
    panel->setObjectName(panelName);
    panel->setStyleSheet(QString("background: %1;").arg(Rgb3(background)));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(2, 2, 2, 2);
    for (std::size_t k = 0; k < N; ++k) {
        labels[k] = NewLabel(panel, QString("%1_%2").arg(labelName).arg(k), caption(k));
        labels[k]->installEventFilter(filter);
        row->addWidget(labels[k]);
    }
    return panel;
}

} // namespace

QWidget* Companion(QWidget* panel) {
    QSizePolicy policy = panel->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(policy);
    panel->hide();
    return panel;
}

QWidget* ColourLegend(QWidget* parent, const char* name,
                      std::initializer_list<LegendEntry> entries) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet("background: rgb(64, 64, 64);");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(2, 2, 2, 2);
    for (const LegendEntry& entry : entries) {
        // Each class on a swatch of its colour, the caption in black or
        // white, whichever reads on it.
        auto* label = NewLabel(panel, QString(), entry.caption);
        const Rgb& c = entry.colour;
        const Rgb text = c.r + c.g + c.b > 382 ? RGB(0, 0, 0) : RGB(255, 255, 255);
        ShowLegendCell(label, text, c, std::nullopt);
        row->addWidget(label);
    }
    return Companion(panel);
}

std::optional<int> LegendSegment(double x, double width, int n) {
    if (n <= 0 || !(width > 0.0) || !(x >= 0.0) || !(x < width)) return std::nullopt;
    return std::min(static_cast<int>(x / (width / n)), n - 1);
}

std::array<std::optional<Rgb>, 6> RHLegendClassColours() {
    std::array<std::optional<Rgb>, 6> colours{};
    for (std::size_t k = 0; k < colours.size(); ++k)
        colours[k] = HumidityShade(kRHCellValues[k], 0);
    return colours;
}

std::array<Rgb, 4> HeatLegendClassColours() {
    std::array<Rgb, 4> colours{};
    for (std::size_t k = 0; k < colours.size(); ++k) colours[k] = HeatClassColour(kHICategories[k]);
    return colours;
}

QString LegendCellSheet(Rgb text, Rgb background, std::optional<Rgb> swatch) {
    return QString("color: %1; background: %2; border-bottom: %3px solid %4;")
        .arg(Rgb3(text), Rgb3(background), QString::number(kLegendSwatchPixels),
             Rgb3(swatch.value_or(background)));
}

void SetStyleSheetIfNew(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet) widget->setStyleSheet(sheet);
}

void ShowLegendCell(QLabel* cell, Rgb text, Rgb background, std::optional<Rgb> swatch) {
    SetStyleSheetIfNew(cell, LegendCellSheet(text, background, swatch));
    // The bar is painted over the bottom of the cell; the text's room ends
    // above it, and the cell's size counts it.
    cell->setContentsMargins(0, 0, 0, kLegendSwatchPixels);
}

std::array<Rgb, 6> RHLegendColours(int index) {
    std::array<Rgb, 6> colours{};
    for (int k = 0; k < 6; ++k)
        colours[static_cast<std::size_t>(k)] = k < index ? RGB(63, 63, 63) : RGB(255, 255, 255);
    return colours;
}

ECAPELegend ECAPELegendOf(int ContourInterval, int ECAPELegendStart) {
    const int start = std::min(ECAPELegendStart, 5);
    ECAPELegend legend;
    for (std::size_t k = 0; k < kECAPEFactors.size(); ++k) {
        legend.captions[k] = std::to_string(ContourInterval * kECAPEFactors[k]);
        legend.colours[k] = static_cast<int>(k) >= start ? RGB(255, 255, 0) : RGB(0, 0, 0);
    }
    return legend;
}

std::string HeatIndexMessage(int index) {
    static const std::string deg = "\u00b0";
    switch (index) {
    case 0:
        return "IV. Very Warm. 80" + deg + " - 90" + deg +
               "  Fatigue Possible with Prolonged Exposure and Physical Activity";
    case 1:
        return "III. Hot. 90" + deg + " - 105" + deg +
               "  Sunstroke, Heat Cramps and Heat Exhaustion POSSIBLE with Prolonged Exposure "
               "and Physical Activity";
    case 2:
        return "II. Very Hot. 105" + deg + " - 130" + deg +
               "  Sunstroke, Heat Cramps or Heat Exhaustion LIKELY. Heatstroke POSSIBLE with "
               "Prolonged Exposure and Physical Activity";
    case 3:
        return "I. Extremely Hot.  > 130" + deg + "  Heatstroke or Sunstroke IMMINENT";
    default:
        return {};
    }
}

double PrecipSum(Session& session, const OverviewOptions& options,
                 const std::array<bool, 4>& chosen, int from, int to) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);
    if (last < 0) return 0.0;
    if (chosen[1]) MakeSnowAmount(session, options);
    const int lo = std::clamp(std::min(from, to), 0, last);
    const int hi = std::clamp(std::max(from, to), 0, last);
    const TimeField* fields[] = {&s.Precip, &session.timeHeight->SnowAmount, &s.Evaporation,
                                 &s.RunOff};
    double total = 0.0;
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        if (!chosen[k]) continue;
        for (int t = lo; t <= hi; ++t) total += (*fields[k])(m, t);
    }
    return total;
}

std::string PrecipSumCaption(double total) {
    return Format(total, "0.000") + "\"";
}

QPoint PrecipLabelPosition(const OverviewAxes& axes, QSize picture, QSize label, int column,
                           QPoint pointer) {
    const double span = axes.ScaleLeftColumn - axes.ScaleRightColumn;
    int left = 0;
    if (column < axes.ScaleLeftColumn - 1.0f && span > 0.0) {
        const double x = (axes.ScaleLeftColumn - (column + 1.5)) / span * picture.width();
        left = static_cast<int>(std::lround(x));
    }
    const int top = pointer.y() - label.height();
    return {std::clamp(left, 0, std::max(picture.width() - label.width(), 0)),
            std::clamp(top, 0, std::max(picture.height() - label.height(), 0))};
}

OverviewLegends::OverviewLegends(Session& session, OverviewOptions& options, QWidget* picRH,
                                 Redraw redraw, Word runControlCommand, QWidget* contourPanel,
                                 QWidget* temperaturePanel)
    : session_(session), options_(options), redraw_(std::move(redraw)),
      word_(std::move(runControlCommand)) {
    showMessage = [](const std::string& title, const std::string& text) {
        QMessageBox::information(nullptr, QString::fromStdString(title),
                                 QString::fromStdString(text));
    };
    // The legends show only while their overlays are on. The humidity and
    // heat legends stand on black like the picture; the entraining-CAPE
    // legend on grey, where its black (hidden) labels show.
    pnlRH = LabelRow(
        contourPanel, lblRH, "pnlRH", "lblRH",
        [](std::size_t k) { return QString(kRHCaptions[k]); }, this, kBlack);
    frameECAPE = LabelRow(
        contourPanel, lblECAPE, "frameECAPE", "lblECAPE", [](std::size_t) { return QString(); },
        this, kECAPEBackground);
    pnlHeatIndex = LabelRow(
        temperaturePanel, lblHI, "pnlHeatIndex", "lblHI",
        [](std::size_t k) { return QString(kHICaptions[k]); }, this, kBlack);
    for (QWidget* legend : {pnlRH, frameECAPE, pnlHeatIndex}) Companion(legend);
    lblPrecip = NewLabel(picRH, "lblPrecip", QString());
    lblPrecip->setStyleSheet("background: white; color: black;");
    lblPrecip->hide();
    const std::array<Rgb, 4> heat = HeatLegendClassColours();
    for (std::size_t k = 0; k < lblHI.size(); ++k)
        ShowLegendCell(lblHI[k], kWhite, kBlack, heat[k]);
    ShowRHLegend();
    ShowECAPELegend();
}

void OverviewLegends::ShowRHLegend() {
    const std::array<Rgb, 6> colours = RHLegendColours(options_.RHLegendIndex);
    const std::array<std::optional<Rgb>, 6> classes = RHLegendClassColours();
    for (std::size_t k = 0; k < lblRH.size(); ++k)
        ShowLegendCell(lblRH[k], colours[k], kBlack, classes[k]);
}

void OverviewLegends::ShowECAPELegend() {
    const ECAPELegend legend = ECAPELegendOf(options_.ContourInterval, options_.ECAPELegendStart);
    for (std::size_t k = 0; k < lblECAPE.size(); ++k) {
        lblECAPE[k]->setText(QString::fromStdString(legend.captions[k]));
        ShowLegendCell(lblECAPE[k], legend.colours[k], kECAPEBackground, kYellow);
    }
}

void OverviewLegends::AttachMixingLayer(QLabel* label) {
    lblMixingLayer = label;
    if (label) label->installEventFilter(this);
}

void OverviewLegends::lblRH_DblClick(int Index) {
    if (word_) word_("Relative Humidity");
    options_.RHLegendIndex = static_cast<std::int16_t>(Index);
    ShowRHLegend();
    if (redraw_) redraw_();
}

void OverviewLegends::lblECAPE_DblClick(int Index) {
    options_.ECAPELegendStart = static_cast<std::int16_t>(Index);
    DisplayECAPELabels();
    if (redraw_) redraw_();
}

void OverviewLegends::lblHI_DblClick(int Index) {
    const std::string text = HeatIndexMessage(Index);
    if (!text.empty() && showMessage) showMessage("C-11 Heat Index", text);
}

void OverviewLegends::lblMixingLayer_MouseUp(bool leftButton, double x) {
    if (!lblMixingLayer) return;
    const int m = session_.profile->CurrentModel;
    MixingLayerResults& r = session_.timeHeight->mixingLayer;
    const std::optional<int> day =
        LegendSegment(x, lblMixingLayer->width(), std::min<int>(r.DayCount(m), kMixingLayerDays));
    if (!day) return;
    r.MaxTemperature[static_cast<std::size_t>(m)][static_cast<std::size_t>(*day)] +=
        static_cast<float>(leftButton ? kDegreeF : -kDegreeF);
    lblMixingLayer->setText(QString::fromStdString(MixingLayerReadoutText(session_)));
    r.MixingLayerReady(m) = kFlagFalse;
    if (redraw_) redraw_();
}

void OverviewLegends::DisplayECAPELabels() {
    if (options_.chkECAPE) ShowECAPELegend();
}

void OverviewLegends::ShowPrecipTotal(const OverviewAxes& axes, const std::array<bool, 4>& chosen,
                                      int SumStartColumn, int column, const PictureSurface& picture,
                                      double X, double Y) {
    lblPrecip->setText(QString::fromStdString(
        PrecipSumCaption(PrecipSum(session_, options_, chosen, SumStartColumn, column))));
    lblPrecip->adjustSize();
    const QPoint pointer(static_cast<int>(std::lround(picture.ToPixelX(X))),
                         static_cast<int>(std::lround(picture.ToPixelY(Y))));
    const QSize size(picture.PixelWidth(), picture.PixelHeight());
    lblPrecip->move(PrecipLabelPosition(axes, size, lblPrecip->size(), column, pointer));
    lblPrecip->show();
    lblPrecip->raise();
}

bool OverviewLegends::eventFilter(QObject* watched, QEvent* event) {
    auto indexIn = [&](const auto& labels) -> int {
        for (std::size_t k = 0; k < labels.size(); ++k)
            if (labels[k] == watched) return static_cast<int>(k);
        return -1;
    };
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (const int k = indexIn(lblRH); k >= 0) lblRH_DblClick(k);
        if (const int k = indexIn(lblECAPE); k >= 0) lblECAPE_DblClick(k);
        if (const int k = indexIn(lblHI); k >= 0) lblHI_DblClick(k);
    } else if (event->type() == QEvent::MouseButtonRelease && watched == lblMixingLayer) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        lblMixingLayer_MouseUp(mouse->button() == Qt::LeftButton, mouse->position().x());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarvex
