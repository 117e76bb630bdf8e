#pragma once

#include "design/DesignRecord.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The norm of the whole object: what the earthing serves gives the norms of ПУЭ (7-е изд.),
// the least of them governs, and the natural electrodes and repeated earthings in parallel
// leave the artificial installation less to do.

// The object's inputs as telmar-calc and the design file name them, in this order.
inline constexpr std::string_view kObjectInputNames[] = {
    "purposes",   "lineVoltage", "faultCurrent", "naturalResistance", "repeatedEarthingsResistance",
    "sourcePower"};

// A purpose as telmar-calc and the design file spell it.
struct PurposeWord {
    std::string_view word;
    Purpose purpose;
    std::string_view text;   // what the earthing serves, as the report says it
    std::string_view clause; // of ПУЭ, 7-е изд., that gives its norm
};
std::span<const PurposeWord> PurposeWords();

// The purpose of that word, or none for a word the program does not know.
std::optional<Purpose> PurposeNamed(std::string_view word);
std::string_view WordOf(Purpose purpose);
std::string_view TextOf(Purpose purpose);

// A design whose object inputs the norm cannot be worked from: the message names the field.
class ObjectNormError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The object inputs of `from` (purposes, voltage, fault current, source power, natural
// electrodes, repeated earthings) put on `to`, the rest of it left as it is.
void TakeObjectInputs(DesignInputs &to, const DesignInputs &from);

// What is wrong with the object inputs of `inputs`, in Russian, naming the field; none
// when they are sound or the design states no purposes.
std::optional<std::string> ObjectNormProblem(const DesignInputs &inputs);

// The norms the purposes of `inputs` give, the natural electrodes and repeated earthings
// counted, with ПУЭ's allowance factor `k` where its clause allows it, the governing one
// marked. Throws ObjectNormError for unsound inputs; empty for a design without purposes.
std::vector<ConsideredNorm> ObjectNorms(const DesignInputs &inputs, double k);

// The governing norm among `norms`; null for none.
const ConsideredNorm *GoverningNorm(const std::vector<ConsideredNorm> &norms);

// "Rн = 4 Ом (ПУЭ 1.7.101, 380 В)" and the like: a norm in a line of the page and the report.
std::string NormLine(const ConsideredNorm &norm, std::string_view decimalSeparator);
