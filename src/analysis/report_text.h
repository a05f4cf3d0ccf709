#pragma once
// The report: the plain text the desktop program shows after an analysis,
// lines separated by LF, as UTF-8. A view of an Analysis; it changes nothing.
#include <functional>
#include <string>
#include <string_view>

#include "analysis/analysis.h"

namespace vennik {

// Receives the report in pieces, in order.
using TextSink = std::function<void(std::string_view)>;

// Writes the report, starting with the file name line, without a line end
// after its last line. The pieces are bounded in size, so a huge report is
// never held whole.
void writeReport(const Analysis& a, const TextSink& sink);
std::string reportText(const Analysis& a);

// One row of the listing, with its leading LF, wrapped as the listing wraps
// it. Appended to `out`.
void appendListingRow(std::string& out, const Analysis& a, int32_t row);

// Appends a row's line list (ASCII) wrapped: a row longer than 82 characters
// breaks after the first blank at or after position 77 and goes on on a line
// indented by the name width plus 9. `head` is the number of characters
// before the list on the row's first line, its LF included. A row whose
// indent would reach the break position, or whose rest has no blank to break
// at, is left as it is.
void appendWrappedList(std::string& out, std::string_view list, size_t head, int32_t nameWidth);

}  // namespace vennik
