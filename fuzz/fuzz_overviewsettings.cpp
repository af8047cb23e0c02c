// Reads arbitrary bytes as an overview settings slot file and writes back
// what was read: neither may crash, and what is written must read back the
// same wherever an item was read.
#include "files/OverviewSettingsFile.h"

#include "files/SlotSettingsIo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::RefuseSlotText(text, 98); // the recall refuses a slot of another line count
    const tarvex::OverviewSettings read = tarvex::ParseOverviewSettings(text);
    const tarvex::OverviewSettings again =
        tarvex::ParseOverviewSettings(tarvex::FormatOverviewSettings(read));
    for (std::size_t k = 0; k < read.Boxes.size(); ++k)
        if (read.Boxes[k] && again.Boxes[k] != read.Boxes[k]) std::abort();
    for (std::size_t k = 0; k < read.CAPEkmColours.size(); ++k)
        if (read.CAPEkmColours[k] && again.CAPEkmColours[k] != read.CAPEkmColours[k]) std::abort();
    if (read.VWPUseA && again.VWPUseA != read.VWPUseA) std::abort();
    return 0;
}
