#pragma once

#include "files/SoundingReader.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarvex::fixtures {

// A shipped sample or archived run, with the layout of its model word.
struct ShippedSounding {
    std::filesystem::path path;
    SoundingLayout layout;
};

// Every file of the program's samples and archive folders.
inline std::vector<ShippedSounding> ShippedSoundings() {
    std::vector<ShippedSounding> files;
    for (const char* folder : {"samples", "archive"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(TARVEX_RUNTIME) / folder)) {
            // The model word stands after an archive's date stamp and before "_".
            std::string name = entry.path().filename().string();
            name = name.substr(0, name.find('_'));
            name = name.substr(name.find('.') + 1);
            files.push_back({entry.path(), LayoutFromKeyword(name).value()});
        }
    }
    return files;
}

} // namespace tarvex::fixtures
