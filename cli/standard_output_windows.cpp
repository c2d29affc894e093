// The C runtime of Windows opens standard output in text mode; binary mode keeps the bytes.
#include "standard_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace brevorn {

void setStandardOutputBinary()
{
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

} // namespace brevorn
