#include "profile/ui/MapPanel.h"

#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QCoreApplication>

#include <utility>

namespace tarvex {

MapPanel::MapPanel(Session& session, SoundingView& view, PictureBox* picMap,
                   std::function<void(const std::string&)> runControlCommand,
                   std::filesystem::path folder)
    : session_(session), view_(view), picMap_(picMap),
      runControlCommand_(std::move(runControlCommand)), folder_(std::move(folder)),
      picMapBuffer_(picMap->Surface().PixelWidth(), picMap->Surface().PixelHeight()) {
    if (folder_.empty())
        folder_ = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    picMapBuffer_.SetBackColor(RGB(255, 255, 255));
    picMapBuffer_.Clear();
    picMap_->SetMouseDownHandler([this](int button, int shift, double x, double y) {
        picMap_MouseDown(button, shift, x, y);
    });
    picMap_->SetResizeHandler([this] { Resized(); });
}

void MapPanel::LoadMapFiles() {
    session_.history.MapView = UsableMapView(session_.history.MapView);
    geographyStale_ = true;
    loaded_ = true;
    BuildBackground();
}

void MapPanel::SoundingRead() {
    session_.history.MapView = UsableMapView(session_.history.MapView);
    geographyStale_ = true;
    backgroundStale_ = true;
    loaded_ = true;
}

void MapPanel::ReadGeography() const {
    if (!geographyStale_) return;
    geographyStale_ = false;
    geography_ = ReadMapFiles(folder_);
    // The files are read again after every sounding: one message is enough.
    if (const std::string unread = DescribeUnreadMapFiles(geography_);
        !unread.empty() && !unreadReported_ && showMessage_) {
        unreadReported_ = true;
        showMessage_(unread);
    }
    if (geography_.SkippedRecords > 0 && !skippedReported_ && showMessage_) {
        skippedReported_ = true;
        showMessage_(DescribeSkippedMapRecords(geography_.SkippedRecords));
    }
}

const MapGeography& MapPanel::Geography() const {
    ReadGeography();
    return geography_;
}

void MapPanel::BuildBackground() {
    ReadGeography();
    backgroundStale_ = false;
    const MapExtent& view = session_.history.MapView;
    picMap_->Surface().Scale(view[0], view[1], view[2], view[3]);
    // The names are sized as the shown map's text is.
    const PictureSurface& shown = picMap_->Surface();
    picMapBuffer_.SetDesignSize(shown.DesignWidth(), shown.DesignHeight());
    DrawMapBackground(picMapBuffer_, geography_, *session_.profile, view);
}

void MapPanel::RedrawMap() {
    if (backgroundStale_) BuildBackground();
    tarvex::RedrawMap(picMap_->Surface(), picMapBuffer_.PersistentPicture(), session_, view_,
                      wind_);
}

void MapPanel::picMap_MouseDown(int Button, int, double X, double Y) {
    if (runControlCommand_) runControlCommand_("MAP");
    session_.history.MapView = ZoomMapView(UsableMapView(session_.history.MapView), Button, X, Y);
    if (loaded_) {
        BuildBackground();
    } else {
        LoadMapFiles();
    }
    RedrawMap();
}

void MapPanel::Resized() {
    // The background is drawn at the panel's size; a new size needs a new one.
    const RasterSurface& shown = picMap_->Surface();
    picMapBuffer_.Resize(shown.PixelWidth(), shown.PixelHeight());
    // A background not drawn since the last read waits for the map's next
    // redraw.
    if (!loaded_ || backgroundStale_) return;
    BuildBackground();
    RedrawMap();
}

} // namespace tarvex
