// Lookup and access of unit fields through the field table.
#include "unit_fields.h"

namespace brevorn {

const UnitField* findUnitField(std::string_view key)
{
    for (const UnitField& field : unitFields) {
        if (field.key == key)
            return &field;
    }
    return nullptr;
}

std::string_view fieldText(const UnitRecord& unit, const UnitField& field)
{
    if (field.kind == FieldKind::Text)
        return unit.*field.text;
    const std::optional<std::string>& count = unit.*field.count;
    return count ? std::string_view(*count) : std::string_view();
}

void setFieldText(UnitRecord& unit, const UnitField& field, std::string text)
{
    if (field.kind == FieldKind::Text)
        unit.*field.text = std::move(text);
    else
        unit.*field.count = std::move(text);
}

} // namespace brevorn
