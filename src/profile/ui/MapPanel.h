#pragma once

#include "platform/RasterSurface.h"
#include "profile/diagrams/MapDiagram.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tarvex {

class PictureBox;
struct Session;
struct SoundingView;

// The main window's map panel: picMap shows the geography around the site,
// kept as a background picture on the off-screen surface picMapBuffer, with
// the overlay chosen by the window's map options. A click zooms in (left
// button) or out (other buttons) about the clicked point.
class MapPanel {
  public:
    // folder: where "TarVex.Map" and "TarVex.CTY" are looked up; empty means
    // the program's folder. runControlCommand is the help hook, given the
    // panel's topic word on every click.
    MapPanel(Session& session, SoundingView& view, PictureBox* picMap,
             std::function<void(const std::string&)> runControlCommand,
             std::filesystem::path folder = {});
    MapPanel(const MapPanel&) = delete;
    MapPanel& operator=(const MapPanel&) = delete;

    // After each sounding read: reads the map files again and rebuilds the
    // background for the current site and view. A view without extent (from
    // a damaged settings file) is replaced by the default view first.
    void LoadMapFiles();
    // After each sounding read, in place of LoadMapFiles: the view is made
    // usable at once, while the files are read and the background drawn
    // when the map is next drawn or its geography asked for, so that a read
    // with the map not shown (the program's start among them) does no map
    // work.
    void SoundingRead();
    // Where the panel reports map records it had to leave out (once per
    // run of the program).
    void SetMessageHandler(std::function<void(const std::string&)> showMessage) {
        showMessage_ = std::move(showMessage);
    }
    // Repaints picMap for the shown hour.
    void RedrawMap();
    // Mouse-down on picMap, in map units.
    void picMap_MouseDown(int Button, int Shift, double X, double Y);

    const RasterSurface& picMapBuffer() const { return picMapBuffer_; }
    // The geography of the map files, read first when the files changed.
    const MapGeography& Geography() const;
    const MapWindState& WindState() const { return wind_; }

  private:
    void BuildBackground();
    void ReadGeography() const;
    void Resized();

    Session& session_;
    SoundingView& view_;
    PictureBox* picMap_;
    std::function<void(const std::string&)> runControlCommand_;
    std::filesystem::path folder_;
    RasterSurface picMapBuffer_;
    mutable MapGeography geography_;
    bool loaded_ = false;
    // The files changed since they were read (a sounding was read since);
    // the background is older than the files or the sounding.
    mutable bool geographyStale_ = true;
    bool backgroundStale_ = false;
    mutable bool skippedReported_ = false;
    mutable bool unreadReported_ = false;
    std::function<void(const std::string&)> showMessage_;
    MapWindState wind_;
};

} // namespace tarvex
