// The main window's lower pictures as the user sees them: each shown for the
// first time, then at two other window sizes, one of them reached while the
// picture was hidden.
#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex {
namespace {

struct Shape {
    const char* name;
    double aspect; // width over height; 0 takes the whole room
    bool squareScale;
};

// By display mode 0..8, as the window is designed (sizes in twips).
constexpr std::array<Shape, 9> kShapes = {{{"picProfile", 0, false},
                                           {"picMap", 6555.0 / 6375.0, false},
                                           {"frameHodograph", 1.0, true},
                                           {"picIndices", 0, false},
                                           {"picCape", 6495.0 / 6375.0, false},
                                           {"picMBE", 6615.0 / 6495.0, false},
                                           {"picPrecipType", 6555.0 / 6915.0, false},
                                           {"picLapse", 0, false},
                                           {"picFog", 0, false}}};

class ShownPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() / ("tarvex-shown-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta"};
        window_ = std::make_unique<FrmProfile>(session_, desktop_);
        window_->SetMessageHandler([](const std::string&) {});
        window_->show();
        QApplication::processEvents();
        samples::SampleSpec spec;
        spec.times = 12;
        spec.levels = 40;
        const std::filesystem::path path = folder_ / "eta_KBUF.buf";
        std::ofstream(path, std::ios::binary) << samples::MakeSoundingText(spec);
        ASSERT_TRUE(window_->LoadSoundingFile(path.string()));
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::remove_all(folder_);
    }

    void Resize(int width, int height) {
        window_->resize(width, height);
        QApplication::processEvents();
    }

    // The shown picture of a mode: drawn at the size of its box, the box as
    // large as the room allows in its shape, and a drawing that reaches
    // across the box (not a small copy in a corner).
    void Check(int mode, const std::string& when) {
        SCOPED_TRACE(when + ", " + kShapes[static_cast<std::size_t>(mode)].name);
        const Shape& shape = kShapes[static_cast<std::size_t>(mode)];
        auto* box = window_->findChild<PictureBox*>(shape.name);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isVisible());
        const RasterSurface& surface = box->Surface();
        EXPECT_EQ(surface.PixelWidth(), box->width());
        EXPECT_EQ(surface.PixelHeight(), box->height());
        // The file list always takes the whole room.
        const QRect room = window_->picFiles->geometry();
        EXPECT_TRUE(room.contains(box->geometry()));
        EXPECT_TRUE(std::abs(box->width() - room.width()) <= 1 ||
                    std::abs(box->height() - room.height()) <= 1);
        if (shape.aspect > 0) {
            const double aspect = static_cast<double>(box->width()) / box->height();
            EXPECT_NEAR(aspect / shape.aspect, 1.0, 0.02);
        }
        if (shape.squareScale) {
            const double perX = surface.PixelWidth() / std::abs(surface.ScaleWidth());
            const double perY = surface.PixelHeight() / std::abs(surface.ScaleHeight());
            EXPECT_NEAR(perX / perY, 1.0, 0.02);
        }
        // Where something is drawn, it spans the box.
        const QImage& image = surface.Image();
        const Rgb back = surface.BackColor();
        const QRgb background = qRgb(back.r, back.g, back.b);
        int left = image.width(), right = -1, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (shape.aspect > 0) {
            ASSERT_GE(right, 0) << shape.name << " draws nothing";
            EXPECT_GE(right - left + 1, 0.75 * image.width());
            EXPECT_GE(bottom - top + 1, 0.75 * image.height());
        }
    }

    void Save(const std::string& name) {
        const std::filesystem::path out = std::filesystem::path(TARVEX_TEST_OUTPUT);
        std::filesystem::create_directories(out);
        window_->grab().save(QString::fromStdString((out / name).string()));
    }

    std::filesystem::path folder_;
    Session session_;
    RecordingDesktopService desktop_;
    std::unique_ptr<FrmProfile> window_;
};

TEST_F(ShownPictures, EveryPictureFillsItsBoxInItsShapeAtEverySize) {
    Resize(1480, 960);
    for (int mode = 0; mode < 9; ++mode) {
        window_->btnDisplay[static_cast<std::size_t>(mode)]->click();
        QApplication::processEvents();
        Check(mode, "first shown");
        if (mode == 1) Save("shown_map.png");
        if (mode == 2) Save("shown_hodograph.png");
    }
    // The map is hidden while the window becomes smaller, then shown.
    window_->btnDisplay[2]->click();
    Resize(1260, 760);
    Check(2, "smaller");
    window_->btnDisplay[1]->click();
    QApplication::processEvents();
    Check(1, "smaller, resized while hidden");
    // Every picture at a larger size.
    Resize(1700, 1150);
    for (int mode = 0; mode < 9; ++mode) {
        window_->btnDisplay[static_cast<std::size_t>(mode)]->click();
        QApplication::processEvents();
        Check(mode, "larger");
    }
    window_->btnDisplay[2]->click();
    QApplication::processEvents();
    Save("shown_hodograph_large.png");
}

// The window fits a 1280 x 800 screen, and the options column keeps its
// place whatever lower panel or control panel is open.
TEST_F(ShownPictures, TheWindowFitsASmallScreenAndTheOptionsStayPut) {
    const auto x = [this](const QWidget* w) { return w->mapTo(window_.get(), QPoint()).x(); };
    const int skewT = x(window_->chkSkewT);
    const int km = x(window_->btnPHK[2]);
    for (int panel = 0; panel < FrmProfile::kControlPanels; ++panel) {
        window_->btnControl[static_cast<std::size_t>(panel)]->click();
        for (int mode = 0; mode < 9; ++mode) {
            window_->btnDisplay[static_cast<std::size_t>(mode)]->click();
            QApplication::processEvents();
            SCOPED_TRACE("panel " + std::to_string(panel) + ", mode " + std::to_string(mode));
            EXPECT_EQ(x(window_->chkSkewT), skewT);
            EXPECT_EQ(x(window_->btnPHK[2]), km);
            EXPECT_LE(window_->minimumSizeHint().width(), 1280);
            EXPECT_LE(window_->minimumSizeHint().height(), 760);
        }
    }
}

// Counts the layout requests of the window and keeps the area of the hour
// bar's last paint.
struct StepWatch : QObject {
    QWidget* bar = nullptr;
    int layouts = 0;
    QRect barPainted;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) ++layouts;
        if (object == bar && event->type() == QEvent::Paint)
            barPainted = static_cast<QPaintEvent*>(event)->rect();
        return false;
    }
};

// An hour step repaints only what it changed: the hour bar round its thumb,
// the labels without a new layout of the window. What the window shows (as
// the screen holds it) is then what the whole window painted afresh shows,
// at every step, to and from the bar's ends.
TEST_F(ShownPictures, AnHourStepRepaintsWhatChangedAndTheWindowShowsItWhole) {
    QScrollBar& bar = *window_->vsbHour;
    StepWatch watch;
    watch.bar = &bar;
    QApplication::instance()->installEventFilter(&watch);
    const auto shown = [this] {
        return window_->screen()
            ->grabWindow(window_->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    ASSERT_EQ(bar.maximum(), 11);
    // The whole window painted afresh lays out what was never shown; the
    // window settles over a few passes.
    window_->grab();
    for (int pass = 0; pass < 10; ++pass) QApplication::processEvents();
    int before = bar.value();
    for (int hour : {1, 2, 3, 6, 5, 11, 10, 0, 1, 7, 4}) {
        SCOPED_TRACE("hour " + std::to_string(hour));
        watch.layouts = 0;
        watch.barPainted = QRect();
        bar.setValue(hour);
        QApplication::processEvents();
        EXPECT_EQ(watch.layouts, 0);
        const auto atEnd = [&bar](int value) {
            return value == bar.minimum() || value == bar.maximum();
        };
        if (!atEnd(hour) && !atEnd(before)) {
            EXPECT_GT(watch.barPainted.height(), 0);
            EXPECT_LT(watch.barPainted.height(), bar.height() - 40);
        }
        ASSERT_EQ(shown(), window_->grab().toImage().convertToFormat(QImage::Format_RGB32));
        before = hour;
    }
    QApplication::instance()->removeEventFilter(&watch);
}

} // namespace
} // namespace tarvex
