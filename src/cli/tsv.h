#pragma once
// Tab-separated output: UTF-8 fields, with tab, newline, carriage return and
// backslash written as \t, \n, \r and \\ inside a field.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace varune::cli {

std::string EscapeField(std::string_view text);

// The shortest text that reads back to the same 32-bit float; "." as the
// decimal point whatever the locale.
std::string FloatText(float value);

// Writes the fields escaped, separated by tabs, ended by a newline.
void WriteRow(std::ostream& out, const std::vector<std::string>& fields);

}  // namespace varune::cli
