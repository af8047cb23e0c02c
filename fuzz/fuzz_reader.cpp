#include "files/Session.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

// Arbitrary text as a sounding file, loaded the way the window loads one:
// written to a file and read by ReadSounding with each layout's model
// chosen in turn, each read into the fresh store ReadSounding makes. The
// reader must report, never crash; a file it accepts goes through every
// derived field and post-read step; a file it refuses leaves the sounding
// held before in place. One session serves every input, as one serves every
// file the program loads: it is made once, for its caches are large, and each
// input starts from the selection of an empty store, which is all a read
// takes from the store before it.
namespace {

namespace fs = std::filesystem;

const std::string& InputPath() {
    static const std::string path = [] {
        const fs::path file =
            fs::temp_directory_path() / ("tarvex-fuzz-reader-" + std::to_string(::getpid()));
        static const fs::path removed = file;
        std::atexit([] {
            std::error_code ignored;
            fs::remove(removed, ignored);
        });
        return file.string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = InputPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    static tarvex::Session session;
    static const tarvex::ProfileArrays empty;
    session.models.ModelCodes = {"eta", "ngm", "gfs3"};
    session.profile->CurrentModel = empty.CurrentModel;
    session.profile->DiagramTopPressure = empty.DiagramTopPressure;
    for (std::int16_t choice = 0; choice < 3; ++choice) {
        session.profile->ModelChoice = choice;
        const tarvex::ProfileArrays* before = session.profile.get();
        if (!tarvex::ReadSounding(session, path).ok && session.profile.get() != before)
            std::abort(); // a refused file replaced the sounding shown before
    }
    return 0;
}
