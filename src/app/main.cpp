// Tarvex: reads a forecast sounding file and, until the main window is built,
// prints a one-screen summary of what was read.
#include "profile/data/ProfileArrays.h"
#include "profile/data/Session.h"
#include "profile/data/SoundingReader.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

// Sounding files are named model_site.buf; the model word gives the layout.
std::string ModelWordOfFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).stem().string();
    const std::size_t bar = name.find('_');
    return bar == std::string::npos ? name : name.substr(0, bar);
}

void PrintSummary(const tarvex::ProfileArrays& s, const std::string& path, bool legacy) {
    const int m = s.CurrentModel;
    std::printf("%s%s\n", path.c_str(), legacy ? "  *** Legacy Mode ****" : "");
    std::printf("station %.2f N %.2f W, elevation %.0f m; %d times, %d levels\n",
                static_cast<double>(s.StationLat(m)), static_cast<double>(s.StationLon(m)),
                static_cast<double>(s.StationElevation(m) * 1000.0f), s.LastTime(m) + 1,
                static_cast<int>(s.LevelCount(m)));
    std::printf("%-17s %7s %6s %6s %7s %6s %7s\n", "valid (UTC)", "psfc", "t2m", "td2m", "cape",
                "lift", "precip");
    for (int t = 0; t <= s.LastTime(m); ++t) {
        const tarvex::DateTime v = s.ValidTime(m, t);
        std::printf("%04d-%02d-%02d %02d:00  %7.1f %6.1f %6.1f %7.0f %6.1f %7.2f\n", v.Year(),
                    v.Month(), v.Day(), v.Hour(), static_cast<double>(s.SurfacePressure(m, t)),
                    static_cast<double>(s.SurfaceTemp(m, t)),
                    static_cast<double>(s.SurfaceDewPoint(m, t)), static_cast<double>(s.CAPE(m, t)),
                    static_cast<double>(s.LiftedIndex(m, t)), static_cast<double>(s.Precip(m, t)));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: tarvex FILE.buf\n";
        return 2;
    }
    const std::string path = argv[1];
    tarvex::Session session;
    session.models.ModelCodes = {ModelWordOfFile(path)};
    session.models.ModelCaptions = session.models.ModelCodes;
    session.profile->ModelChoice = 0;
    const tarvex::SoundingReadResult result = tarvex::ReadSounding(session, path);
    if (!result.ok) {
        std::cerr << tarvex::DescribeReadFailure(path, result) << "\n";
        return 1;
    }
    PrintSummary(*session.profile, path, result.LegacyMode);
    return 0;
}
