#pragma once

#include <string>
#include <string_view>

// Fixed notation with exactly one digit after the separator, rounded half away from zero
// to five significant digits or one decimal, whichever is fewer; scientific with five
// significant digits once six or more digits stand before the separator (53,9; 1,2346E5).
std::string FormatOneDecimal(double value, std::string_view decimalSeparator);

// The shortest form with at most fifteen significant digits: fixed notation from 0.0001
// up to 10^15, scientific otherwise (5; 12,5; 0,666666666666667; 1E-5; 1E15).
std::string FormatGeneral(double value, std::string_view decimalSeparator);

// A count not yet rounded to whole electrodes: one decimal as FormatOneDecimal writes it,
// more where one would show a whole number the count is not (14,97, not 15,0, before 15 or
// 16 is taken); at most six.
std::string FormatCount(double value, std::string_view decimalSeparator);
