#pragma once

// Every shipped sample sounding (the samples/ and archive/ folders the build
// makes beside the program), read as the program reads them, and a loop over
// each file's hours, for tests that check a picture over all of them.
#include "files/Session.h"
#include "files/SoundingFiles.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tarvex::test {

// The sample files beside the test program, in name order; fails the test
// when there are none (the build makes them).
inline std::vector<std::filesystem::path> ShippedSamples() {
    namespace fs = std::filesystem;
    const fs::path bin = fs::canonical("/proc/self/exe").parent_path();
    std::vector<fs::path> found;
    for (const char* folder : {"samples", "archive"}) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(bin / folder, error))
            if (entry.path().extension() == ".buf") found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    EXPECT_GE(found.size(), 12u) << "no shipped samples beside " << bin;
    return found;
}

// The model word of a sample's name (the text before the "_", after the
// run's date in the archive: "26120800.eta_KBUF.buf" is "eta").
inline std::string ModelOfSample(const std::filesystem::path& path) {
    std::string model = path.stem().string();          // 26120800.eta_KBUF
    model = model.substr(model.find_last_of('.') + 1); // eta_KBUF
    return model.substr(0, model.find('_'));
}

// Sets the session to read a sample as the program opens it: its model word
// chooses the model and the file's layout. False when the word names none.
inline bool UseModelOfSample(Session& session, const std::filesystem::path& path) {
    const std::string model = ModelOfSample(path);
    const auto parameters = ParametersForModelCode(model);
    if (!parameters) return false;
    session.models.ModelCodes = {model};
    session.profile->ModelChoice = 0;
    session.parameters = *parameters;
    return true;
}

// Reads each shipped sample into a session of its own, as the program opens
// it, and calls visit(session, name, hour) for each of its hours.
template <typename Visit> void ForEverySampleHour(Visit visit) {
    for (const std::filesystem::path& path : ShippedSamples()) {
        auto session = std::make_unique<Session>();
        const bool known = UseModelOfSample(*session, path);
        EXPECT_TRUE(known) << path;
        if (!known) continue;
        const SoundingReadResult read = ReadSounding(*session, path.string());
        EXPECT_TRUE(read.ok) << path << ": " << read.reason;
        if (!read.ok) continue;
        const ProfileArrays& s = *session->profile;
        const int last = std::clamp<int>(s.LastTime(s.CurrentModel), 0, kTimeColumns - 1);
        for (int hour = 0; hour <= last; ++hour)
            visit(*session, path.filename().string(), static_cast<std::int16_t>(hour));
    }
}

} // namespace tarvex::test
