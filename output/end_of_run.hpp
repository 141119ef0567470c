// The end of a conversion run: the student count check, the .ans file, the
// closing of every channel and the report of files that failed.
#pragma once

#include <string_view>

#include "console/console.hpp"
#include "coursefile/course_values.hpp"
#include "textio/channels.hpp"

namespace output {

// Line q of the .ans file: a single key letter A..E as its digit, any other
// entry as it stands.
std::string_view ans_line(std::string_view key_entry);

// Returns the exit code: 0, or 1 when a file of the run failed (each failure
// has then been shown with a wait for the operator).
int end_run(const coursefile::CourseValues& values, std::string_view course_file_name, console::Console& console,
            textio::ChannelTable& channels);

}  // namespace output
