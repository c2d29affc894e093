// Wording of a refused value.
#include "roster_error.h"

namespace brevorn {

std::string ValueProblem::describe() const
{
    std::string where = slot > 0 ? "unit " + std::to_string(slot) + " \"" + unitName + "\", " : std::string();
    return where + fieldKey + " is \"" + text + "\"; " + allowed;
}

} // namespace brevorn
