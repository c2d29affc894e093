// This process's memory as Linux reports it, for the memory probes.
#pragma once

#include <string>

namespace brevorn::bench {

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS"); -1 when it is missing.
long statusKiB(const std::string& field);

// Starts the peak over from here, so that what came before (making the files) does not
// count; returns the memory held now, in KiB.
long resetPeak();

} // namespace brevorn::bench
