// Wording of a refused save for the message box.
#include "save_report.h"

#include "decimal_form.h"
#include "unit_fields.h"
#include "window_layout.h"

#include <QStringList>

namespace brevorn {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// What the user can do about the value. Numbers are asked for in the range the file
// can hold; for anything else the writer's own words say what is allowed.
QString remedy(const ValueProblem& problem)
{
    if (problem.fieldKey == dayCounterKey)
        return QStringLiteral("choose a number from 0 to %1").arg(MaxDayCounter);
    const UnitField* field = findUnitField(problem.fieldKey);
    if (field && field->kind == FieldKind::Count)
        return QStringLiteral("choose a number from 0 to %1").arg(MaxCount);
    return fromUtf8(problem.allowed);
}

QString describeProblem(const ValueProblem& problem)
{
    QString line;
    if (problem.slot > 0) {
        // An unnamed unit is known by its place in the list.
        line = problem.unitName.empty() ? QStringLiteral("Unit %1").arg(problem.slot) : fromUtf8(problem.unitName);
        line += QStringLiteral(", ");
    }
    std::string_view caption = fieldCaption(problem.fieldKey);
    if (caption.empty())
        caption = problem.fieldKey;
    line += QStringLiteral("\"%1\" is \"%2\"; %3").arg(fromUtf8(caption), fromUtf8(problem.text), remedy(problem));
    return line;
}

} // namespace

QString describeSaveRefusal(const RosterError& error)
{
    if (error.problems.empty())
        return fromUtf8(error.message);
    QStringList lines{QStringLiteral("Nothing was saved. Change these values and save again:"), QString()};
    for (const ValueProblem& problem : error.problems)
        lines << describeProblem(problem);
    return lines.join(QLatin1Char('\n'));
}

} // namespace brevorn
