// Standard output as the tables need it. One implementation per platform.
#pragma once

namespace brevorn {

// Makes standard output pass bytes unchanged; Windows would otherwise turn each LF into CR LF.
void setStandardOutputBinary();

} // namespace brevorn
