// --help (-h) and --version: the only arguments that are not a course name. They
// are answered on standard output at once, before the console is set up and
// without any wait, so that they work in a pipe and in scripts.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The usage or the version text that the command-line course name asks for,
// or nothing for a course name. help_words are the words that ask for the
// usage text where the program runs ("--help" and "-h"; on Windows also
// "/?").
std::optional<std::string> information_asked(std::string_view command_tail,
                                             std::initializer_list<std::string_view> help_words);

// When the command tail asks for information: writes it to standard output
// and returns true; the program then ends with exit code 0.
bool answer_information_request(std::string_view command_tail, std::initializer_list<std::string_view> help_words);

}  // namespace app
