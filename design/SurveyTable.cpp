#include "design/SurveyTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

// The blanks a spreadsheet leaves about its cells: spaces, and the no-break spaces of
// numbers grouped by thousands.
std::string_view Trimmed(std::string_view text)
{
    const auto blankAt = [&text](std::size_t i) {
        if (text[i] == ' ' || text[i] == '\r' || text[i] == '\t') return std::size_t{1};
        if (text.substr(i, 2) == "\xC2\xA0") return std::size_t{2};
        return std::size_t{0};
    };
    while (!text.empty() && blankAt(0) != 0)
        text.remove_prefix(blankAt(0));
    while (!text.empty()) {
        if (text.back() == ' ' || text.back() == '\r' || text.back() == '\t')
            text.remove_suffix(1);
        else if (text.size() >= 2 && text.substr(text.size() - 2) == "\xC2\xA0")
            text.remove_suffix(2);
        else
            break;
    }
    return text;
}

std::vector<std::string_view> Cells(std::string_view line)
{
    const char separator = line.find('\t') != std::string_view::npos  ? '\t'
                           : line.find(';') != std::string_view::npos ? ';'
                                                                      : ' ';
    std::vector<std::string_view> cells;
    for (std::size_t from = 0;;) {
        const std::size_t to = line.find(separator, from);
        const std::string_view cell = Trimmed(line.substr(from, to - from));
        // Spaces in a row count as one separator.
        if (separator != ' ' || !cell.empty()) cells.push_back(cell);
        if (to == std::string_view::npos) break;
        from = to + 1;
    }
    // A spreadsheet copies the empty cells after the last one filled.
    while (!cells.empty() && cells.back().empty())
        cells.pop_back();
    return cells;
}

std::string Quoted(std::string_view text)
{
    constexpr std::size_t kLongest = 40;
    return "«" + std::string(text.substr(0, kLongest)) + (text.size() > kLongest ? "…»" : "»");
}

} // namespace

bool ReadCellNumber(std::string_view text, double &value)
{
    std::string number(Trimmed(text));
    std::replace(number.begin(), number.end(), ',', '.');
    if (number.empty()) return false;
    const char *end = number.data() + number.size();
    const auto [at, error] = std::from_chars(number.data(), end, value);
    return error == std::errc() && at == end && std::isfinite(value);
}

PastedReadings ParsePastedReadings(std::string_view text, const std::vector<std::string> &columns,
                                   std::size_t firstRow)
{
    PastedReadings pasted;
    bool first = true;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos) to = text.size();
        const std::vector<std::string_view> cells = Cells(text.substr(from, to - from));
        from = to + 1;
        if (cells.empty()) continue;
        double ignored = 0;
        if (std::exchange(first, false) && !ReadCellNumber(cells.front(), ignored)) continue;

        const std::size_t row = firstRow + pasted.rows.size();
        const auto fail = [&pasted, row](const std::string &what) {
            pasted.fault = "Строка " + std::to_string(row + 1) + ": " + what;
            pasted.faultRow = row;
            return pasted;
        };
        if (cells.size() != columns.size()) {
            std::string names;
            for (const std::string &name : columns)
                names += (names.empty() ? "" : "; ") + name;
            return fail("ожидается чисел " + std::to_string(columns.size()) + " (" + names +
                        "), а их " + std::to_string(cells.size()) + ".");
        }
        std::vector<double> numbers;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            double value = 0;
            if (!ReadCellNumber(cells[i], value))
                return fail(Quoted(cells[i]) + " в столбце «" + columns[i] + "» — не число.");
            numbers.push_back(value);
        }
        pasted.rows.push_back(std::move(numbers));
    }
    return pasted;
}
