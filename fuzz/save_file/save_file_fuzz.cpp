// Feeds arbitrary bytes to the save-file parser: it must never read outside the bytes, and a
// file it accepts must encode back to exactly the same bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "menus/save_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SaveRecord record;
    std::string error;
    if (!ParseSaveFile(std::span<const std::uint8_t>(data, size), &record, &error)) return 0;
    const std::vector<std::uint8_t> again = EncodeSaveFile(record);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    return 0;
}
