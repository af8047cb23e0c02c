#pragma once

#include "profile/data/ProfileArrays.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvex {

// The model table of the configuration: what each entry of the model list is
// called and the layout keyword of its sounding files.
struct ModelTable {
    std::vector<std::string> ModelCaptions;
    std::vector<std::string> ModelCodes;
};

// Everything the program keeps while it runs. main creates one; windows and
// computations are handed it, or the parts of it they need.
struct Session {
    Session() : profile(std::make_unique<ProfileArrays>()) {}

    // The sounding store is large; it lives on the heap so that a Session can
    // sit on any stack, and a read can build a fresh store and swap it in.
    std::unique_ptr<ProfileArrays> profile;
    ModelTable models;
};

} // namespace tarvex
