#include "app/folder_conversion.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "app/course_selection.hpp"
#include "app/file_naming.hpp"
#include "app/start_up.hpp"
#include "output/run_report.hpp"
#include "platform/directory.hpp"
#include "textio/strings.hpp"

namespace app {

namespace {

using Result = CourseOutcome::Result;

void print_line(console::Console& console, std::string_view text) {
  console::print_text(console, text);
  console::line_end(console);
}

// The run's one wait, where an operator watches: a plain run never waits.
void wait_on_terminal(console::Console& console) {
  if (console.form == console::Form::terminal) console::wait_for_key(console);  // whatever was pressed
}

int end_unconverted(console::Console& console, std::string_view message) {
  print_line(console, message);
  wait_on_terminal(console);
  return nothing_converted;
}

// The names of the folder, read once for the whole run. A run by name
// looks at the folder for its course file (and any other named alike but
// for case) and for each output in another case; here those looks are
// answered from this one. What the run writes on the way changes none of
// the answers: no two course files it converts share a base name but for
// case, where each is named exactly and so are its outputs.
struct FolderNames {
  // Course files by name in upper case: what the existence test finds.
  std::map<std::string, std::vector<std::string>> course_files;
  std::set<std::string> upper_case_names;  // of every entry
};

FolderNames folder_names(const std::vector<std::string>& course_files) {
  FolderNames names;
  for (const std::string& name : course_files) names.course_files[textio::upper_case_ascii(name)].push_back(name);
  for (const platform::DirectoryEntry& entry : platform::matching_entries("*")) {
    names.upper_case_names.insert(textio::upper_case_ascii(entry.name));
  }
  return names;
}

// As `gbkconvert NAME` converts it in this folder. A name with ".gbk"
// before its end would make that run look for another file (a.gbk.gbk for
// a.gbk), whose outputs are not this one's to touch.
CourseOutcome convert_found_file(const std::string& name, const FolderNames& folder, platform::FileSearch& search,
                                 console::Console& console) {
  RunFiles files = run_files(base_name_from_command_line(name));
  const std::string upper_name = textio::upper_case_ascii(files.course_file);
  if (upper_name != textio::upper_case_ascii(name)) {
    const std::string why = "its name holds .gbk before its end";
    print_line(console, " " + name + " is not converted: " + why);
    return {.result = Result::refused, .why = why};
  }
  // An output that no name of the folder spells in any case is made as
  // built: what the look for it in another case would come to.
  bool output_named_in_folder = false;
  for (const std::string* output : {&files.dat_file, &files.txt_file, &files.ans_file}) {
    output_named_in_folder =
        output_named_in_folder || folder.upper_case_names.contains(textio::upper_case_ascii(*output));
  }
  if (!output_named_in_folder) files.match = textio::os::NameMatch::exact;
  // In the list's order, names alike but for case stand in byte order, as
  // the existence test gives them.
  const auto named_alike = folder.course_files.find(upper_name);
  std::vector<std::string> found =
      named_alike != folder.course_files.end() ? named_alike->second : std::vector<std::string>{};
  return convert_found_course_file(course_file_among(std::move(found), files, name, true), std::move(files), name,
                                   false, search, console);
}

// After an empty line, on a terminal from a cleared screen, in black as the
// report. Where the summary is longer than the part of the screen the
// operator sees, it comes a screen at a time, each but the last followed by
// a key wait.
void show_summary(const std::vector<std::string>& lines, console::Console& console) {
  const bool terminal = console.form == console::Form::terminal;
  console::line_end(console);
  if (terminal) console::clear_screen(console);
  console::set_colours(console, console::black, console::keep_colour);
  // A row for the cursor at the wait below the last line.
  const std::size_t fits =
      static_cast<std::size_t>(std::max(2, std::min(console.screen.height, console::visible_part(console).rows) - 1));
  std::size_t at = 0;
  while (terminal && lines.size() - at > fits) {
    for (std::size_t end = at + fits - 1; at < end; ++at) print_line(console, lines[at]);
    print_line(console, " Any key to continue");
    console::wait_for_key(console);  // whatever was pressed
    console::clear_screen(console);
  }
  for (; at < lines.size(); ++at) print_line(console, lines[at]);
  console::copy_to_standard_output(console, lines);
  console::set_colours(console, console::bright_white, console::keep_colour);
  wait_on_terminal(console);
}

}  // namespace

std::vector<std::string> summary_lines(const std::vector<NamedOutcome>& outcomes) {
  std::vector<std::string> lines;
  std::size_t converted = 0, with_findings = 0, refused = 0, failed = 0;
  for (const NamedOutcome& named : outcomes) {
    const CourseOutcome& outcome = named.outcome;
    std::string line = " " + named.name + ": ";
    switch (outcome.result) {
      case Result::converted:
        line += "converted";
        ++converted;
        if (outcome.findings > 0) ++with_findings;
        break;
      case Result::refused:
        line += "refused (" + outcome.why + ")";
        ++refused;
        break;
      case Result::failed:
        line += "failed (" + outcome.why + ")";
        ++failed;
        break;
    }
    if (outcome.read) {
      line += ", " + output::counted(static_cast<std::int64_t>(outcome.student_records), "student record") + ", " +
              (outcome.header_read ? output::counted(outcome.declared_questions, "question") : "no header record") +
              ", " +
              (outcome.findings == 0 ? "no findings"
                                     : output::counted(static_cast<std::int64_t>(outcome.findings), "finding"));
    }
    lines.push_back(std::move(line));
  }
  lines.push_back(" " + output::counted(static_cast<std::int64_t>(outcomes.size()), "course file") + ": " +
                  std::to_string(converted) + " converted (" + std::to_string(with_findings) +
                  " of them with findings), " + std::to_string(refused) + " refused, " + std::to_string(failed) +
                  " failed");
  return lines;
}

int convert_every_course_file(platform::FileSearch& search, console::Console& console) {
  const std::string folder = platform::current_directory();
  if (!platform::current_directory_listable())
    return end_unconverted(console, " The folder " + folder + " cannot be read");
  std::vector<std::string> names = course_files_found(search);
  if (names.empty()) return end_unconverted(console, " There are no .gbk files in " + folder);
  const FolderNames folder_names_read = folder_names(names);
  if (names.size() > listed_course_files) names.resize(listed_course_files);

  // The operator is not there for each file's messages: the run waits once,
  // at the summary.
  console.message_waits = false;
  std::vector<NamedOutcome> outcomes;
  for (const std::string& name : names) {
    if (!outcomes.empty()) console::line_end(console);  // each starts as a run of its own
    set_run_colours(console);
    outcomes.push_back({name, convert_found_file(name, folder_names_read, search, console)});
  }
  console.message_waits = true;
  show_summary(summary_lines(outcomes), console);
  const bool all_converted = std::all_of(outcomes.begin(), outcomes.end(), [](const NamedOutcome& named) {
    return named.outcome.result == Result::converted;
  });
  return all_converted ? 0 : nothing_converted;
}

int convert_folder(std::string_view folder, platform::FileSearch& search, console::Console& console) {
  if (!folder.empty()) {
    const int error = platform::change_directory(folder);
    if (error == platform::path_not_found) {
      return end_unconverted(console, " There is no folder called " + std::string(folder));
    }
    if (error != 0) return end_unconverted(console, " The folder " + std::string(folder) + " cannot be opened");
  }
  return convert_every_course_file(search, console);
}

}  // namespace app
