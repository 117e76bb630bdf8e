// --field: the answer with the field computation's section beside the coefficient method's.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "design/CoefficientMethod.h"
#include "design/FieldMethod.h"

#include <stdexcept>

void AppendFieldCalculation(std::string &out, const DesignRecord &record,
                            const std::optional<std::string> &fault, bool text, bool pretty)
{
    if (fault) {
        AppendCalculation(out, record, fault, text, pretty);
        return;
    }
    DesignResult result = ResultOf(record);
    try {
        FieldMethod().Calculate(record, result);
    } catch (const std::exception &error) {
        // The solver's own failure (a matrix it cannot factor) stays this design's.
        MethodResult section;
        section.method = FieldMethod().key();
        section.quantities.push_back({"fieldFault", "", std::string(error.what()), "",
                                      "Расчёт поля невозможен", Writing::word, Role::result});
        result.sections.push_back(std::move(section));
    }
    if (!text) {
        AppendDesignJson(out, result, pretty);
        return;
    }
    AppendSentences(out, record);
    for (const Quantity &q : result.sections.back().quantities)
        if (q.role == Role::result) out += QuantityLine(q, ",") + '\n';
}
