// One course file, found on disk, from the opening of its files to its
// report: a file that is no course file is refused before any output is
// opened, so that the outputs of an earlier run stay as they are; any other
// is converted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/file_naming.hpp"
#include "console/console.hpp"

namespace app {

// A run that converts nothing must not pass for a successful one.
constexpr int nothing_converted = 1;

// The lines that refuse the course file at course_path (as found on disk,
// and so named), before any output is opened; none for a course file, or
// for one that cannot be looked at, whose reading reports it.
std::vector<std::string> refusal_of(std::string_view course_path);

// Converts the course file at course_path (as found on disk, or the name
// with * or ? that found it) into the outputs of `files`, shows the report
// and returns the exit code; in an interactive run the editors are started
// on the outputs. A file refusal_of refuses is not converted: its lines are
// shown, a key awaited, and nothing_converted returned.
int convert_course_file(const RunFiles& files, std::string_view course_path, bool interactive,
                        console::Console& console);

}  // namespace app
