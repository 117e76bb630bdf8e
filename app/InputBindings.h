#pragma once

#include "design/DesignRecord.h"
#include "design/Tables.h"

#include <QString>

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class TForm1;
struct InputField;

// Which control of the wizard's pages holds which input of a design, in one table: the
// pages' commits read the inputs through it, a design file's inputs are put on the pages
// through it, and the design on the pages is taken back through it. A number field or a
// tile holds a number (the normative tile its allowance too), a soil list a soil (one of
// its items or a measured resistivity), the arrangement and material lists a choice.

// The inputs the pages give, and which of them they give: a text that does not convert
// gives none.
struct ScreenInputs {
    DesignRecord record;
    std::vector<const InputField *> given;
    // The object's inputs (purposes and what goes with them) are given: the design states
    // what its earthing serves.
    bool givesObject = false;

    bool gives(const InputField &field) const;
};

// The texts on the pages that give no input (a number half typed, a word in a soil list),
// by the name of the input their control holds.
using PageTexts = std::map<std::string, QString>;

// The inputs as the pages would commit them now.
ScreenInputs InputsOnPages(const TForm1 &form);

// Commits the numbers of page 1 or 2 into the record, in order; a text that does not
// convert, or a size at or below zero where the formulas divide by it, throws InputError
// naming the field, with the focus put there.
void CommitNumbers(TForm1 &form, int page);

// The texts on the pages that give no input.
PageTexts TextsGivingNoInput(const TForm1 &form);

// Whether a control of the pages holds the input of that name.
bool HeldOnPages(const std::string &input);

// Puts a design on the pages: each control shows its input where `inputs` gives it, else
// its text of `texts`; else it is emptied, or left as it is where `keepAbsent`.
void ShowInputs(TForm1 &form, const ScreenInputs &inputs, const PageTexts &texts, bool keepAbsent);

// Puts the inputs of `record` named by `inputs` on the pages, leaving the rest as it is.
void ShowOnPages(TForm1 &form, const DesignRecord &record,
                 std::initializer_list<std::string_view> inputs);

// What a soil list shows before a resistivity fitted to a survey: the number after it is
// the soil's all the same.
inline const QString kMeasuredMark = QStringLiteral("измерено: ");

// A soil list's soil: one of its items, or a measured resistivity typed in; nothing for any
// other text.
std::optional<Soil> SoilOf(const QComboBox *list);

// The soil list's items as the user reads numbers: "Кокс-2,5" with the locale's separator.
QString SoilItem(const Soil &soil);

// Commits the soils of page 1 into the record; false, with a message and the focus in the
// list, where a list holds neither a soil of its items nor a measured resistivity.
bool CommitSoils(TForm1 &form);

// The thickness lists of page 2 follow their widths: the angle's offers the thicknesses
// ГОСТ 8509-93 makes for the width typed and takes its usual one where the one shown is
// not made; it stands beside the angle only. Wired once, when the page is laid out.
void WireThicknessLists(TForm1 &form);
