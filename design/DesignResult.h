#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// How a quantity's value is written where a person reads it.
enum class Writing {
    oneDecimal, // FormatOneDecimal: resistances
    count,      // FormatCount: the unrounded counts
    general,    // FormatGeneral: lengths, whole counts, factors
    flag,       // "да" or "нет"
    word,       // the text as it stands
};

// Whom a quantity is for.
enum class Role {
    result,  // the user reads it: each place that shows results shows it, by a sentence of
             // its own or as a line "caption = value unit"
    working, // a step's working value: in the data telmar-calc writes, not on the page
};

// One value a method works out. The texts are the program's own constants.
struct Quantity {
    std::string_view key;    // telmar-calc's JSON name
    std::string_view symbol; // as the report writes it: "ρр"
    std::variant<double, bool, std::string> value;
    std::string_view unit; // "Ом·м"; empty for a pure number
    std::string_view caption; // "Расчётное удельное сопротивление грунта"
    Writing writing = Writing::general;
    Role role = Role::result;
};

// What a method decides: the installation to build.
struct Decision {
    double count = 0; // n, whole
    Arrangement arrangement = Arrangement::contour;
    double electrodeLength = 0;
    double stripLength = 0; // the strip that joins the n electrodes
    std::string adjective;  // form of "вертикальный" after n
    std::string noun;       // form of "заземлитель" after n
};

// The decided installation against the norm.
struct Verdict {
    double resistance = 0;   // R(n)
    double norm = 0;         // Rn, raised by the allowance where asked for
    bool met = false;        // R(n) ≤ Rn
    bool stripAlone = false; // the strip meets the norm without the electrodes' help
};

// One method's part of a result: what it computed, in its order, and what it decides.
struct MethodResult {
    std::string_view method; // its key: "coefficients"
    std::string_view name;   // its Russian name
    std::vector<Quantity> quantities;
    Decision decision;
    Verdict verdict;
};

// A design computed whole: the coefficient method's detailed record (which the drawing and
// the report's worked calculation read), and a section for each method.
struct DesignResult {
    DesignRecord record;
    std::vector<MethodResult> sections;
};

// The quantity of `section` named `key`, or none.
const Quantity *FindQuantity(const MethodResult &section, std::string_view key);

// A quantity's value as a number; 0 for a text.
double QuantityNumber(const Quantity &quantity);

// "caption = value unit", the value written as the quantity says with `decimalSeparator`.
std::string QuantityLine(const Quantity &quantity, std::string_view decimalSeparator);

// The value alone, written as the quantity says.
std::string QuantityValue(const Quantity &quantity, std::string_view decimalSeparator);
