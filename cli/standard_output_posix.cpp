// POSIX streams never translate line ends: nothing to do.
#include "standard_output.h"

namespace brevorn {

void setStandardOutputBinary() {}

} // namespace brevorn
