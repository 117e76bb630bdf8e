#include "cli/Options.h"

#include "cli/DesignJson.h"
#include "cli/Status.h"
#include "design/InputFields.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string_view>

using enum Status;

namespace {

constexpr const char *kUsageHead = R"(Usage: telmar-calc [OPTIONS] [FILE]

Sizes a protective earthing installation of vertical electrodes in two-layer soil joined
by a horizontal steel strip, as the Telmar desktop program does.

Reads a design (a JSON object) or a batch (an array of objects) from FILE, or from
standard input when FILE is absent or "-", and prints every field of the design record,
inputs and results, as JSON.

Input fields:
)";

// The object's fields, read beside the table's; optional, and a design without purposes
// is sized against normativeResistance alone.
constexpr const char *kObjectUsage = R"(
What the earthing serves (optional): the installation is then sized against the least of
the norms its purposes give, and the answer adds "governingClause" (e.g. "1.7.101") and
"norms", each norm considered: "clause", "value" (Ом), "what", "artificial" (what the
artificial installation must meet for it), "needed", "governs". "allowedResistance" is the
governing norm of the artificial installation; "normativeResistance" may then be left out.
  purposes                       a list of "sourceNeutral" (ПУЭ 1.7.101: 2/4/8 Ом with
                                 natural and repeated earthings, 15/30/60 Ом the electrode
                                 near the neutral), "repeated" (1.7.103: 15/30/60 Ом),
                                 "isolatedAbove1kV" (1.7.96: 250/I, at most 10 Ом),
                                 "itNetwork" (1.7.104: 50/I, 4 Ом need not be undercut),
                                 "effectivelyEarthed" (1.7.90: 0,5 Ом)
  lineVoltage                    В: 660, 380 or 220 (default 380)
  faultCurrent                   I, А: the design earth-fault current, above 0
  naturalResistance              Rе, Ом: the natural electrodes, above 0 (optional);
                                 the artificial installation needs Rе·Rн/(Rе − Rн)
  repeatedEarthingsResistance    Ом: the outgoing lines' repeated earthings together,
                                 above 0 (optional), in parallel toward 1.7.101's 2/4/8 Ом
  sourcePower                    кВ·А: the source of an IT network, above 0 (optional); at
                                 most 100 кВ·А, 1.7.104 need not undercut 10 Ом

Подбор's inputs (optional):
  site                           {"length", "width"}: the free space, m, the installation
                                 must fit in; "building": {"length", "width", "distance"}:
                                 a building the contour goes round, at least 1 m from its
                                 walls; either or both
  rates                          {"perRodUpTo3m", "perRodOver3m", "perTrenchMetre",
                                 "perSteelKilogram"}: what the work costs, none below 0
)";

constexpr const char *kUsageTail = R"(
Options:
  --jsonl            read and write one JSON object per line
  --text             print the sentences of the results page instead of JSON
  --variants         print, for each design, the installations its soil, norm and
                     profile allow instead: every electrode length (2; 2,5; 3; 4; 5 m and
                     its own), ratio a/L (1, 2, 3) and arrangement that meets the norm and
                     fits the site, with coefficients settled by the tables, its "rods",
                     "rodMetres", "trenchLength", "footprintLength", "footprintWidth",
                     "steelMass" and "cost"; the cheapest first where the design has
                     "rates", else the fewest rods, then the shortest trench
  --report FILE.rtf  also write the filled report of a single design to FILE.rtf;
                     to FILE.pdf, a PDF made by the office suite (LibreOffice), or
                     drawn by telmar-calc itself where none is installed
  --field            also compute each design's installation as a field problem (its
                     rods and strip in segments in the two-layer soil) and add
                     "fieldResistance" (Ом), "fieldSegments" and "fieldDifference" (per cent
                     of the coefficient method's R); with faultCurrent and faultDuration
                     the touch and step voltages: "groundPotentialRise",
                     "maxTouchVoltage", "maxStepVoltage", "permittedTouchVoltage",
                     "permittedStepVoltage" (В, ГОСТ 12.1.038-82) and
                     "contactVoltagesMet"; "fieldFault" where it cannot be computed;
                     with --variants, each variant's "fieldResistance" (Ом; null where
                     it cannot be computed)
  --field-map FILE.png
                     also draw the surface potential of a single design's installation
                     (the one the field decides on, where "decideBy" says so) as a colour
                     map with equipotential lines, 1600 by 1000 pixels: in volts with a
                     fault current and its duration, else in per cent of its potential
  --dxf FILE.dxf     also write the plan and section of a single design to FILE.dxf
                     (DXF R12, millimetres at 1:1; layers ЗАЗЕМЛИТЕЛИ, ПОЛОСА,
                     РАЗМЕРЫ, ТЕКСТ, ЗДАНИЕ, ГРУНТ)
  --force            let --report, --field-map and --dxf replace an existing file
  --template FILE    the report template (default: the one installed with the program)
  --office PROGRAM   the office that makes a PDF (default: soffice on the PATH);
                     "none": telmar-calc draws the PDF's pages itself
  --survey FILE      fit the readings of a soil survey in FILE to two layers instead:
                     a JSON object with "method" ("wenner" or "schlumberger"),
                     "spacings" (Wenner a, or Schlumberger AB/2, m), for Schlumberger
                     "potentialSpacings" (MN/2, m), and either "resistances" (R, Ohm) or
                     "apparentResistivities" (Ohm m), at least three of each; prints
                     "upperResistivity", "lowerResistivity", "upperLayerThickness" (null
                     for a soil that reads uniform), "rmsPercent", "uniform", "poorFit"
                     (misfit above 10 %) and "sentences", or with --text the sentences
                     A design may carry such an object as "survey" (with "probeDepth",
                     "date", "place" besides): it is fitted first, and its fit is the
                     design's upperResistivity, lowerResistivity and upperLayerThickness
                     (a uniform soil keeps the design's own thickness); readings that
                     cannot be fitted end the run with status 2 and the row named
  --help             show this help and exit
  --version          show the version and exit

With --jsonl each line is answered as soon as it is read, a line being at most 1 MiB;
otherwise the input is read whole, at most 64 MiB, each design in it at most 1 MiB.

Exit status: 0 computed; 1 a calculation stopped on an arithmetic fault; 2 bad input or
usage; 3 the report could not be written; 4 the output could not be written.
)";

} // namespace

// The input fields as the help lists them, one a line with its kind and unit.
std::string Usage()
{
    std::string usage = kUsageHead;
    for (const InputField &field : inputTable) {
        std::string line = "  " + std::string(field.name);
        line.resize(std::max<std::size_t>(line.size() + 1, 33), ' ');
        switch (field.kind) {
        case InputKind::decimal:
        case InputKind::whole:
            if (field.name == "climaticZone") {
                line += "1 to 4: ψв follows the electrode length (optional)";
                break;
            }
            line += std::string(field.symbol) + (field.unit.empty() ? "" : ", ") +
                    std::string(field.unit) +
                    (field.kind == InputKind::whole ? ", a whole number" : "");
            if (field.neededFor == ElectrodeMaterial::angle) line += ", for an angle";
            if (field.neededFor == ElectrodeMaterial::roundRod) line += ", for a round rod";
            if (field.optional) line += " (optional)";
            break;
        case InputKind::choice:
            for (std::size_t i = 0; i < field.words.size(); ++i)
                line += std::string(i ? " or " : "") + '"' + std::string(field.words[i].word) + '"';
            line += " (default \"" + std::string(field.words.front().word) + "\")";
            break;
        case InputKind::text:
            line += "a name for the report (optional)";
            break;
        case InputKind::flag:
            line += "true or false (default false)";
            break;
        case InputKind::derived:
            continue; // computed, never given
        }
        usage += line + '\n';
    }
    return usage + kObjectUsage + kUsageTail;
}

Options ParseOptions(int argc, char *argv[])
{
    Options options;
    bool inputGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(badInput, std::string(argument) + " needs a file name");
            const std::string_view given = argv[++i];
            // "--report --force d.json" is a slip, not a file called "--force".
            if (given.empty() || given[0] == '-')
                Fail(badInput, std::string(argument) + " needs a file name, not '" + Shown(given) +
                                   "' (write ./" + Shown(given) + " for a file of that name)");
            return std::string(given);
        };
        if (argument == "--help") {
            std::cout << Usage();
            std::exit(static_cast<int>(std::cout.flush() ? ok : outputFailed));
        } else if (argument == "--version") {
            std::cout << "telmar-calc " TELMAR_VERSION "\n";
            std::exit(static_cast<int>(std::cout.flush() ? ok : outputFailed));
        } else if (argument == "--jsonl") {
            options.jsonl = true;
        } else if (argument == "--text") {
            options.text = true;
        } else if (argument == "--variants") {
            options.variants = true;
        } else if (argument == "--field") {
            options.field = true;
        } else if (argument == "--force") {
            options.force = true;
        } else if (argument == "--report") {
            options.report = value();
        } else if (argument == "--template") {
            options.reportTemplate = value();
        } else if (argument == "--dxf") {
            options.dxf = value();
        } else if (argument == "--survey") {
            options.survey = value();
        } else if (argument == "--field-map") {
            options.fieldMap = value();
        } else if (argument == "--office") {
            options.office = value();
        } else if ((argument.size() > 1 && argument[0] == '-') || inputGiven) {
            Fail(badInput, "unexpected argument '" + Shown(argument) + "' (see --help)");
        } else {
            options.input = argument;
            inputGiven = true;
        }
    }
    return options;
}
