#pragma once

#include <string>

// The user's decimal separator, as UTF-8: what the core's conversions and formats
// (design/Conversion.h, design/NumberFormat.h) take to read and write numbers as the user
// types and reads them.
std::string DecimalSeparator();
