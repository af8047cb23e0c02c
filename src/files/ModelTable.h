#pragma once

#include <string>
#include <vector>

namespace tarvex {

// The model table of the configuration: what each entry of the model list is
// called and the layout keyword of its sounding files.
struct ModelTable {
    std::vector<std::string> ModelCaptions;
    std::vector<std::string> ModelCodes;
};

} // namespace tarvex
