#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Readings pasted from a spreadsheet: a row a line, the cells separated by tabs or
// semicolons (or spaces, where there is neither), a decimal comma or point, empty lines
// passed over, and a first line that is not a number taken for the header.

struct PastedReadings {
    std::vector<std::vector<double>> rows; // each as many numbers as there are columns
    // The first fault in Russian, naming the row as the table counts it; empty when none.
    std::string fault;
    std::size_t faultRow = 0; // that row, from 0
};

// `columns` names the columns the rows must fill ("a, м"); `firstRow` is the row of the
// table, from 0, that the first line goes into. Nothing is read past a fault.
PastedReadings ParsePastedReadings(std::string_view text, const std::vector<std::string> &columns,
                                   std::size_t firstRow);

// A number as a cell of a table holds it: a comma or a point, spaces about it; nothing for
// any other text, or one that is not finite.
bool ReadCellNumber(std::string_view text, double &value);
