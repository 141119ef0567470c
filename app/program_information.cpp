#include "app/program_information.hpp"

#include "app/command_tail.hpp"
#include "console/plain_io.hpp"

namespace app {

namespace {

constexpr std::string_view usage_text =
    "Usage: gbkconvert [COURSE]\n"
    "       gbkconvert --all [FOLDER]\n"
    "       gbkconvert --help | -h | --version\n"
    "\n"
    "Converts the course file of a multiple-choice examination, COURSE.GBK, into\n"
    "the three files that statistical detection reads, written beside the course\n"
    "file with its base name (an existing one is rewritten):\n"
    "  COURSE.dat  per student: student number, second student field, an empty\n"
    "              item, the response codes\n"
    "  COURSE.txt  per student: the response codes alone\n"
    "  COURSE.ans  the answer key, one question per line, coded as digits\n"
    "A response code is . for the keyed answer, 1 to 5 for the option A to E\n"
    "marked instead, - for no answer. Warnings (a student record with another\n"
    "number of answers, a multiple-version student number, a student count that\n"
    "differs from the header) wait for a key; they never stop the conversion.\n"
    "A file with no SH3, FH or SD record (saved as UTF-16, its fields separated\n"
    "by ;, empty) is not converted, and the outputs of an earlier run are left\n"
    "as they are. A UTF-8 byte-order mark at its start is skipped.\n"
    "\n"
    "Report: a run that converts ends with a short report: the course file, the\n"
    "student records and questions, the outputs; each student record that\n"
    "warned, by its line; student records read before any answer key; answers\n"
    "past question 100, which the key does not hold; and the key check, the\n"
    "questions whose key looks wrong from the answers of the class (no key, a\n"
    "key that is not A to E, a key that most students contradict). When\n"
    "standard output is a file or a pipe and the screen goes elsewhere, the\n"
    "report is written there too, as plain text (gbkconvert EXAM > report.txt).\n"
    "\n"
    "Command-line run: gbkconvert COURSE converts COURSE.GBK; the extension may be\n"
    "left off, and names match exactly first, then whatever their case. No dialog\n"
    "is shown and no editor is started.\n"
    "\n"
    "Whole folder: gbkconvert --all [FOLDER] converts every course file of FOLDER\n"
    "(the current folder when none is given) that the interactive list offers,\n"
    "one after the other, each as gbkconvert NAME in that folder converts it but\n"
    "without a wait at its warnings, and ends with a summary: a line per course\n"
    "file (converted, refused or failed and why, its student records, questions\n"
    "and findings), then the totals. On a terminal the summary waits for a key.\n"
    "\n"
    "Interactive run: gbkconvert alone asks whether to change the folder of the\n"
    "course files, lists the course files there to choose from (or asks for a\n"
    "path and name), converts the chosen file and opens the three outputs in the\n"
    "text editor: xdg-open on Linux, open -t on macOS, notepad on Windows. With\n"
    "two course files or more, the list's first entry converts them all, as\n"
    "--all does, and opens no editor.\n"
    "\n"
    "Plain console: when no terminal can show the screen (standard input not a\n"
    "terminal, or neither output one), the screen is plain text and every wait\n"
    "reads standard input: a key wait one key, a dialog one line (a number or a\n"
    "name picks from the list). The end of input ends every wait, so a run in a\n"
    "pipe or a script never hangs. With only standard output redirected, the\n"
    "screen is drawn on standard error.\n"
    "\n"
    "Exit status:\n"
    "  0  the course file was converted and every output written (with --all:\n"
    "     every course file of the folder)\n"
    "  1  a file of the run could not be opened, written or read, or nothing was\n"
    "     converted because the course file named does not exist, is a folder,\n"
    "     is not a course file, or could be either of two files whose names\n"
    "     differ only in case; with --all, a course file of the folder was not\n"
    "     converted, or the folder cannot be read or holds no course file\n"
    "\n"
    "Options (any other argument is the course name):\n"
    "  --all      convert every course file of a folder, then a summary\n"
    "  --help, -h print this text and exit (on Windows also /?)\n"
    "  --version  print the version and exit\n";

}  // namespace

std::optional<std::string> information_asked(std::string_view command_tail,
                                             std::initializer_list<std::string_view> help_words) {
  const std::string course_name = command_line_course_name(command_tail);
  if (course_name == "--version") return "gbkconvert " GBK_VERSION "\n";
  for (std::string_view word : help_words) {
    if (course_name == word) return std::string(usage_text);
  }
  return std::nullopt;
}

bool answer_information_request(std::string_view command_tail, std::initializer_list<std::string_view> help_words) {
  const std::optional<std::string> text = information_asked(command_tail, help_words);
  if (!text) return false;
  console::plain_io::write_standard_output(text->data(), text->size());
  return true;
}

}  // namespace app
