// A plain, slow restatement of how a course file is cut into lines and a
// line into fields: each rule written out step by step, with no shortcuts,
// so that the fast reader can be checked against it on any input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// The lines of a file: CR ends a line and takes one LF directly after it,
// a lone LF is text, 0x1A ends the file, the last line needs no line end.
// A file with no CR before its 0x1A (or its end) and a LF: each LF ends a line.
std::vector<std::string> lines_of(std::string_view bytes);

// The bytes of the file that are read at all: everything before the first
// 0x1A.
std::string_view readable_part(std::string_view bytes);

// Field n (from 1) by the default field rule, walked field by field from the
// start of the line for every call.
std::string field(std::string_view line, std::size_t n);

// The commas that separate fields: those the field walk steps over when it
// is asked for a field beyond the last one.
std::int64_t separating_commas(std::string_view line);

std::string_view trim(std::string_view text);

// Output text cut at each CR LF. False when the text has a CR that is not
// part of a CR LF, or does not end with CR LF (an empty text is fine).
bool split_crlf_lines(std::string_view text, std::vector<std::string>& lines);

}  // namespace model
