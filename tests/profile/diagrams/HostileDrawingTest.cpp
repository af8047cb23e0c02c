#include "compute/ProfileBuilder.h"
#include "files/DerivedFields.h"
#include "files/Session.h"
#include "platform/RasterSurface.h"
#include "profile/diagrams/DrawEverything.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tarvex {
namespace {

// What the reader now refuses must still not hang or overflow the drawing:
// a surface pressure of 1e20 (the dry adiabats once stepped it by 10 for
// ever) and winds of 1e30 at every level (pixel coordinates far outside any
// integer), drawn with every option on at the size the window shows.
TEST(HostileDrawing, HugeValuesDrawWithEveryOptionAndFinish) {
    for (float surface : {1e20f, 40000.0f, 0.0f}) {
        SCOPED_TRACE(surface);
        Session session;
        test::OneTimeProfile p;
        p.SurfacePressure = surface;
        p.SurfaceU = p.StormU = 1e30f;
        p.Levels = {{1000, 100, 20, 15, 1e30f, -1e30f, 17},
                    {850, 1500, 10, 5, 1e30f, 1e30f, 7},
                    {500, 5600, -20, -35, -1e30f, 1e30f, -22}};
        test::WriteProfile(*session.profile, p);
        ProfileArrays& s = *session.profile;
        s.MaxSurfacePressure = surface;
        s.DiagramTopPressure = 100;
        s.DiagramBottomPressure = 32767;
        FindTopLevel(s);
        MakeHeightGridPressures(s, session.heightGrid);

        RasterSurface sounding(900, 700);
        RasterSurface hodograph(367, 367);
        RasterSurface map(377, 367);
        test::DrawEverything(session, sounding, hodograph, map);
        // The picture was drawn: the frame left pixels that are not the
        // background's.
        const QImage& image = sounding.Image();
        EXPECT_NE(image.pixel(0, 0), image.pixel(image.width() / 2, image.height() - 1));
    }
}

} // namespace
} // namespace tarvex
