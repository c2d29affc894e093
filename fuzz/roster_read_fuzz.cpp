// Feeds arbitrary bytes to the roster reader and checks the roster stays consistent.
#include "roster_reader.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    auto roster = std::make_unique<brevorn::Roster>();
    std::size_t findings = 0;
    auto result = brevorn::readRoster(in, "fuzz input", *roster, [&](const brevorn::ReaderFinding& finding) {
        if (finding.line < 1 || finding.message.empty())
            std::abort();
        ++findings;
    });
    if (result.ok()) {
        // Read into an empty roster, the next slot is always one past the unit count.
        if (roster->UnitCount < 0 || roster->UnitCount > brevorn::MaxUnits ||
            result.value().nextSlot != roster->UnitCount + 1)
            std::abort();
    } else if (!(*roster == brevorn::Roster{}) || result.error().message.empty()) {
        // A failed read leaves the roster exactly as it was.
        std::abort();
    }
    return 0;
}
