#include "files/DataFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Arbitrary text as a data file: a report or tables within their limits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tarvex::DataTables tables;
    tarvex::ParseDataFile(text, tables);
    if (tables.DataTableCount() > tarvex::kMaxDataTables) std::abort();
    for (const tarvex::DataTable& table : tables.Tables)
        if (table.RowCount() > tarvex::kMaxDataTableRows) std::abort();
    return 0;
}
