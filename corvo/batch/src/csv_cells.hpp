// One record of a CSV file cut into its cells: commas separate cells, a
// cell in double quotes may hold commas, and a doubled quote inside it
// stands for one quote. Blanks around a cell are not part of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvo::batch {

// std::nullopt when a quoted cell has no closing quote on the line.
std::optional<std::vector<std::string>> csv_cells(std::string_view line);

// The lines of a text: LF, CR LF or a lone CR end a line; a UTF-8 byte
// order mark at the start is not part of the first line.
std::vector<std::string_view> text_lines(std::string_view text);

}  // namespace corvo::batch
