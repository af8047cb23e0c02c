// The overview's selected hour: the mouse on the time-height picture and the
// side scales, the floating panels and the link to the main window's hour.

#include "compute/Narrow.h"
#include "files/ScaleBounds.h"
#include "files/Session.h"
#include "overview/fields/MeanWindTrace.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/panels/HourPanels.h"
#include "overview/panels/SelectedHour.h"
#include "overview/ui/FrmOverView.h"
#include "overview/ui/LegendLabels.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/HodographPanel.h"
#include "profile/ui/MapPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

// Zoom factor of a side-scale click: the left button zooms in.
double ZoomFactor(int Button) {
    return Button == 1 ? 1.0 / 1.5 : 1.5;
}

} // namespace

void FrmOverView::BuildHourPanels(QWidget* area) {
    struct Spec {
        PictureBox** box;
        const char* name;
        int width;
        int height;
    };
    const Spec specs[] = {{&picMap, "picMap", 420, 300},
                          {&picHodograph, "picHodograph", 330, 330},
                          {&picProfile, "picProfile", 300, 400},
                          {&picCape, "picCape", 420, 330}};
    for (const Spec& spec : specs) {
        auto* box = new PictureBox(area);
        box->setObjectName(spec.name);
        box->setFixedSize(spec.width, spec.height);
        box->Surface().SetDesignSize(spec.width, spec.height);
        box->Surface().SetBackColor(spec.box == &picMap ? kWhite : kBlack);
        box->Surface().SetForeColor(kWhite);
        box->Surface().Clear();
        box->move(0, 0);
        box->hide();
        *spec.box = box;
    }
    picRH->SetMouseDownHandler(
        [this](int b, int s, double x, double y) { picRH_MouseDown(b, s, x, y); });
    picRH->SetMouseMoveHandler(
        [this](int b, int s, double x, double y) { picRH_MouseMove(b, s, x, y); });
    picRH->SetMouseUpHandler(
        [this](int b, int s, double x, double y) { picRH_MouseUp(b, s, x, y); });
    picLeft->SetMouseDownHandler(
        [this](int b, int, double x, double) { picSide_MouseDown(true, b, x); });
    picLeft->SetMouseUpHandler(
        [this](int b, int, double, double y) { picSide_MouseUp(true, b, y); });
    picRight->SetMouseDownHandler(
        [this](int b, int, double x, double) { picSide_MouseDown(false, b, x); });
    picRight->SetMouseUpHandler(
        [this](int b, int, double, double y) { picSide_MouseUp(false, b, y); });
}

void FrmOverView::DrawWindScale() {
    ::tarvex::DrawWindScale(picWindScale->Surface(), *session_.profile, options.SigmaLevel,
                            session_.parameters.ModelLevelStep);
    picWindScale->update();
}

PictureBox* FrmOverView::HourPanelBox(int index) const {
    const std::array<PictureBox*, 4> boxes = {picMap, picHodograph, picProfile, picCape};
    if (index < 0 || index >= 4) return nullptr;
    return boxes[static_cast<std::size_t>(index)];
}

const Picture& FrmOverView::MapBackground(int width, int height) {
    const MapPanel* panel = main_.mapPanel();
    const MapExtent view = UsableMapView(session_.history.MapView);
    const void* geography = panel ? &panel->Geography() : nullptr;
    if (mapBuffer_.PixelWidth() != width || mapBuffer_.PixelHeight() != height ||
        mapBufferView_ != view || mapBufferGeography_ != geography ||
        mapBuffer_.PersistentPicture().IsEmpty()) {
        mapBuffer_.Resize(width, height);
        mapBuffer_.SetBackColor(kWhite);
        DrawMapPaneBackground(mapBuffer_, panel ? panel->Geography() : MapGeography{},
                              *session_.profile, view, picMap->Surface().DesignWidth(),
                              picMap->Surface().DesignHeight());
        mapBufferView_ = view;
        mapBufferGeography_ = geography;
    }
    return mapBuffer_.PersistentPicture();
}

void FrmOverView::ShowHourProfile(std::int16_t hour) {
    const ProfileArrays& s = *session_.profile;
    const int last = s.LastTime(s.CurrentModel);
    // A column the model does not have shows nothing.
    if (hour < 0 || hour > last) return;
    const int index = session_.history.SelectedPanel;
    if (PictureBox* box = HourPanelBox(index)) {
        // The hour's column in the room the panel moves in, from the
        // picture's real place and the panel's real width.
        const int rhLeft = picRH->x();
        const PanelRow row{rhLeft, rhLeft + picRH->width(), pictureArea_->width()};
        ColumnPixels column = HourColumnPixels(axes, picRH->width(), hour);
        column.left += rhLeft;
        column.right += rhLeft;
        // At most half the room less a column, so that one side always
        // leaves the hour in sight; smaller than designed only where the
        // window is too narrow for that, keeping the panel's shape.
        const int most = MostPanelWidth(row, column.right - column.left);
        const double designWidth = box->Surface().DesignWidth();
        const int width = std::clamp(most, 1, static_cast<int>(designWidth));
        box->setFixedSize(width, static_cast<int>(std::lround(box->Surface().DesignHeight() *
                                                              width / designWidth)));
        box->move(PanelLeft(box->x(), box->width(), row, column), picRH->y());
        box->raise();
        box->show();
        const HodographPanel* hodo = main_.hodographPanel();
        static const HodographView kStartView;
        HourPanelContext ctx{session_,
                             options,
                             main_.soundingView(),
                             hodo ? hodo->view() : kStartView,
                             MapBackground(box->width(), box->height()),
                             mapWind_};
        DrawHourPanel(static_cast<HourPanel>(index), box->Surface(), ctx, hour);
        box->update();
    }
    SelectedHour = hour;
    if (options.chkSynch && main_.vsbHour) {
        QScrollBar* bar = main_.vsbHour;
        bar->setValue(std::clamp<int>(hour, bar->minimum(), bar->maximum()));
    }
}

void FrmOverView::ShowPrecipTotal(double X, double Y) {
    const ProfileArrays& s = *session_.profile;
    const int column =
        ClampToModelRange(static_cast<int>(std::floor(X)) + 1, s.LastTime(s.CurrentModel));
    std::array<bool, 4> chosen{};
    for (std::size_t k = 0; k < chosen.size(); ++k) chosen[k] = optSum[k]->isChecked();
    legends->ShowPrecipTotal(axes, chosen, SumStartColumn, column, picRH->Surface(), X, Y);
    SelectedHour = static_cast<std::int16_t>(column);
}

void FrmOverView::picRH_MouseDown(int Button, int, double X, double Y) {
    const ProfileArrays& s = *session_.profile;
    const int last = s.LastTime(s.CurrentModel);
    if (Button == 2) {
        SumStartColumn = ClampToModelRange(static_cast<int>(std::floor(X)) + 1, last);
        picTime->Surface().FilledBox(SumStartColumn, 0, SumStartColumn - 1, 10, kWhite);
        picTime->update();
        MouseAction = 7;
        ShowPrecipTotal(X, Y);
        return;
    }
    if (const std::optional<std::int16_t> hour = HourAtX(X, last)) {
        ShowHourProfile(*hour);
        MouseAction = 8;
    }
}

void FrmOverView::picRH_MouseMove(int Button, int, double X, double Y) {
    if (Button == 2 && MouseAction == 7) ShowPrecipTotal(X, Y);
    if (Button != 1) return;
    const ProfileArrays& s = *session_.profile;
    const std::optional<std::int16_t> hour = HourAtX(X, s.LastTime(s.CurrentModel));
    if (hour && *hour != SelectedHour) ShowHourProfile(*hour);
}

void FrmOverView::picRH_MouseUp(int, int, double, double) {
    if (MouseAction == 7) {
        legends->lblPrecip->hide();
        // The time strip drawn again takes away the start column's mark.
        DrawTimeAxis();
        picTime->update();
    } else if (MouseAction == 8) {
        for (int k = 0; k < 4; ++k) HourPanelBox(k)->hide();
    }
}

void FrmOverView::picSide_MouseDown(bool left, int, double X) {
    PictureSurface& pic = (left ? picLeft : picRight)->Surface();
    const HistorySettings& h = session_.history;
    float low = 0.0f;
    float high = 1.0f;
    // The right scales stand in fixed thirds; each left scale in the band
    // where the last redraw wrote its labels.
    const int band = X < 33 ? 0 : (X < 66 ? 1 : (X < 100 ? 2 : -1));
    if (left) {
        const auto hit =
            std::ranges::find_if(leftBands_, [X](const SideBand& b) { return b.Holds(X); });
        // A press beside every scale's labels zooms nothing.
        MouseAction = 0;
        if (hit == leftBands_.end()) return;
        switch (static_cast<LeftScale>(hit - leftBands_.begin())) {
        case LeftScale::Wind:
            MouseAction = 1;
            low = axes.DirectionTop - axes.DirectionSpan;
            high = axes.DirectionTop;
            break;
        case LeftScale::Index:
            MouseAction = 3;
            low = axes.IndexBase;
            high = low + axes.IndexSpan;
            break;
        case LeftScale::Pressure:
            MouseAction = 2;
            low = axes.PressureTraceBase;
            high = low + axes.PressureTraceSpan;
            break;
        case LeftScale::Cape:
            MouseAction = 7;
            high = h.OverviewThresholds[0];
            break;
        case LeftScale::Visibility:
            MouseAction = 8;
            high = h.OverviewThresholds[1];
            break;
        case LeftScale::Ventilation:
            MouseAction = 9;
            high = h.OverviewThresholds[2];
            break;
        }
    } else if (band < 0) {
        return;
    } else if (band == 0) {
        MouseAction = 4;
        low = axes.LnPBase - axes.LnPSpan;
        high = axes.LnPBase;
    } else if (band == 1) {
        MouseAction = 5;
        low = axes.PrecipBase;
        high = low + axes.PrecipSpan;
    } else {
        MouseAction = 6;
        low = axes.TraceBase;
        high = low + axes.TraceSpan;
    }
    // The log-pressure scale grows downward; the value scales grow upward.
    if (MouseAction == 4) {
        pic.Scale(0, low, 100, high);
    } else {
        pic.Scale(0, high, 100, low);
    }
}

void FrmOverView::picSide_MouseUp(bool left, int Button, double Y) {
    const int code = MouseAction;
    const bool leftCode =
        code == 1 || code == 2 || code == 3 || code == 7 || code == 8 || code == 9;
    if (leftCode != left || code < 1 || code > 9) return;
    const std::array<OverviewGrid, 10> grids = {
        OverviewGrid::None,   OverviewGrid::Wind,   OverviewGrid::Left, OverviewGrid::LakeIndex,
        OverviewGrid::Height, OverviewGrid::Precip, OverviewGrid::Temp, OverviewGrid::Left,
        OverviewGrid::Left,   OverviewGrid::Left};
    const QCheckBox* selector = GridBox(grids[static_cast<std::size_t>(code)]);
    if (!selector || !selector->isEnabled()) return;
    const auto f = static_cast<float>(ZoomFactor(Button));
    const auto y = static_cast<float>(Y);
    auto& tops = session_.history.OverviewThresholds;
    switch (code) {
    case 1:
        axes.DirectionSpan = std::min(axes.DirectionSpan * f, 360.0f);
        axes.DirectionTop = std::min(axes.DirectionSpan / 2.0f + y, 360.0f);
        if (axes.DirectionTop - axes.DirectionSpan < 0.0f) axes.DirectionTop = axes.DirectionSpan;
        break;
    case 2:
        axes.PressureTraceSpan = BoundedSpan(axes.PressureTraceSpan * f);
        axes.PressureTraceBase = BoundedScaleValue(y - axes.PressureTraceSpan / 2.0f);
        break;
    case 3:
        axes.IndexSpan = BoundedSpan(axes.IndexSpan * f);
        axes.IndexBase = BoundedScaleValue(y - axes.IndexSpan / 2.0f);
        break;
    case 4:
        // Up to a factor e^5 of pressure, as a display slot holds it.
        axes.LnPSpan = BoundedSpan(axes.LnPSpan * f, 5.0f / 1.15f);
        if (options.PressureBaseExtended) {
            const int m = session_.profile->CurrentModel;
            axes.LnPBase = axes.BaseLnP[static_cast<std::size_t>(m)] + 0.15f * axes.LnPSpan;
            axes.LnPSpan *= 1.15f;
        }
        break;
    case 5:
        axes.PrecipSpan = BoundedSpan(axes.PrecipSpan * f);
        axes.PrecipBase = 0.0f;
        break;
    case 6:
        // Kept as whole numbers in the history file: at least 1 wide.
        axes.TraceSpan = BoundedSpan(axes.TraceSpan * f, kMostTraceValue, 1.0f);
        axes.TraceBase = BoundedScaleValue(y - axes.TraceSpan / 2.0f, kMostTraceValue);
        session_.history.TraceRange = {ClampToInt<std::int16_t>(std::round(axes.TraceBase)),
                                       ClampToInt<std::int16_t>(std::round(axes.TraceSpan))};
        break;
    default: {
        float& top = tops[static_cast<std::size_t>(code - 7)];
        top = BoundedSpan(top * f);
        break;
    }
    }
    RedrawOverview();
}

} // namespace tarvex
