#include "files/DataFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Arbitrary text as a training reference list: at most 200 sections, keys
// and actions always side by side.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::TrainingTable table;
    tarvex::ParseReferenceList(text, table);
    if (table.TrainingCount() > tarvex::kMaxTrainingSections ||
        table.TrainingKey.size() != table.TrainingAction.size())
        std::abort();
    return 0;
}
