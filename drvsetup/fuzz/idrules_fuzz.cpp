// Hardware-ID matching, the filter-list repair and the INF companion names: the IDs and registry
// values come from the device tree, outside data.
#include <cstdlib>

#include "drvsetup/idrules.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t split = size > 1 ? data[0] % size : 0;
    std::vector<char> device = vnfuzz::Text(data + 1, split > 0 ? split - 1 : 0);
    std::vector<char> given = vnfuzz::Text(data + split, size - split);

    vnsetup::MatchesId9x(device.data(), given.data());
    vnsetup::MatchesIdPrefix9x(device.data(), given.data());
    vnsetup::InstanceIdHasPrefix(device.data(), given.data());
    vnsetup::FindSetupClass(given.data());

    // The raw bytes as a registry value: an unterminated list, and a value in a buffer of its size.
    std::vector<char> raw(data + 1, data + size);
    raw.shrink_to_fit();
    vnsetup::MultiStringHasId(raw.data(), raw.size(), given.data());
    const std::size_t length = raw.size();
    const std::size_t capacity = length + (data[0] & 1);
    std::vector<char> value(raw);
    value.resize(capacity);
    value.shrink_to_fit();
    std::size_t repaired = vnsetup::RepairCommaFilter(value.data(), length, capacity);
    if (repaired > capacity || (repaired && value[repaired - 1] != '\0')) std::abort();

    vnfuzz::Buffer260 pnf, catalog;
    if (vnsetup::PnfPathFor(given.data(), pnf.data(), 260) && !pnf.Terminated()) std::abort();
    const char* name = vnsetup::FileNamePart(given.data());
    if (name < given.data() || name > given.data() + std::strlen(given.data())) std::abort();
    if (vnsetup::CatalogNameFor(name, catalog.data(), 260) && !catalog.Terminated()) std::abort();
    vnsetup::IsFullPath(given.data());
    return 0;
}
