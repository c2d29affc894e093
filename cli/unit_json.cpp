// Units as JSON objects.
#include "unit_json.h"

#include "unit_fields.h"

namespace brevorn {

OrderedJson textOrNull(const std::optional<std::string>& text)
{
    return text ? OrderedJson(*text) : OrderedJson(nullptr);
}

OrderedJson unitAsJson(const UnitRecord& unit)
{
    OrderedJson object = OrderedJson::object();
    // The keys are known to differ: appended directly, without the search that [] does for each.
    auto& members = object.get_ref<OrderedJson::object_t&>();
    members.reserve(unitFields.size());
    for (const UnitField& field : unitFields) {
        if (field.kind == FieldKind::Count)
            members.emplace_back(std::string(field.key), textOrNull(unit.*field.count));
        else
            members.emplace_back(std::string(field.key), unit.*field.text);
    }
    return object;
}

} // namespace brevorn
