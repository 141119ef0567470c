#include "app/file_naming.hpp"

#include "coursefile/records.hpp"
#include "textio/file_system.hpp"
#include "textio/strings.hpp"

namespace app {

namespace {

constexpr std::string_view course_extension = ".gbk";

bool ends_in_course_extension(std::string_view name) {
  return name.size() >= course_extension.size() &&
         textio::upper_case_ascii(name.substr(name.size() - course_extension.size())) ==
             textio::upper_case_ascii(course_extension);
}

std::string without_course_extension_at_end(std::string_view name) {
  if (ends_in_course_extension(name)) name.remove_suffix(course_extension.size());
  return std::string(name);
}

// A path without its folder.
std::string_view name_of(std::string_view path) { return path.substr(textio::os::folder_part(path).size()); }

// The one path whose name is_named picks; nullptr when none or several are.
template <typename Named>
const std::string* only_one(const std::vector<std::string>& paths, Named is_named) {
  const std::string* picked = nullptr;
  for (const std::string& path : paths) {
    if (!is_named(name_of(path))) continue;
    if (picked != nullptr) return nullptr;
    picked = &path;
  }
  return picked;
}

std::string as_opened(const textio::ChannelTable& channels, std::int16_t channel, const std::string& built) {
  std::string path = textio::opened_path(channels, channel);
  return path.empty() ? built : path;
}

}  // namespace

std::string base_name_from_chosen(std::string_view chosen_name) {
  return textio::remove_all(textio::upper_case(chosen_name), ".GBK");
}

std::string base_name_from_command_line(std::string_view course_name) {
  return without_course_extension_at_end(textio::remove_all(textio::remove_all(course_name, ".gbk"), ".GBK"));
}

RunFiles run_files(std::string base_name) {
  RunFiles files;
  files.course_file = base_name + ".gbk";
  files.dat_file = base_name + ".dat";
  files.ans_file = base_name + ".ans";
  files.txt_file = base_name + ".txt";
  files.base_name = std::move(base_name);
  return files;
}

RunFiles run_files_for_exact_file(std::string_view course_file) {
  RunFiles files = run_files(without_course_extension_at_end(course_file));
  files.course_file = std::string(course_file);
  files.match = textio::os::NameMatch::exact;
  return files;
}

FoundCourseFile find_course_file(platform::FileSearch& search, const RunFiles& files, std::string_view typed_name,
                                 bool built_as_typed) {
  return course_file_among(platform::files_named(search, files.course_file), files, typed_name, built_as_typed);
}

FoundCourseFile course_file_among(std::vector<std::string> paths, const RunFiles& files, std::string_view typed_name,
                                  bool built_as_typed) {
  FoundCourseFile found;
  if (paths.empty()) return found;
  if (files.course_file.find_first_of("*?") != std::string::npos) {
    // A name with * or ? finds whatever it matches, but names no file to open.
    found.how = FoundCourseFile::How::one;
    found.path = files.course_file;
    return found;
  }
  if (paths.size() == 1) {
    found.how = FoundCourseFile::How::one;
    found.path = paths.front();
    return found;
  }
  const std::string_view built = name_of(files.course_file);
  const std::string_view typed = name_of(typed_name);
  const std::string_view base = name_of(files.base_name);
  const std::string* exact = only_one(paths, [&](std::string_view name) { return name == typed; });
  if (exact == nullptr && built_as_typed) {
    exact = only_one(paths, [&](std::string_view name) { return name == built; });
    if (exact == nullptr) {
      exact = only_one(paths, [&](std::string_view name) { return without_course_extension_at_end(name) == base; });
    }
  }
  if (exact != nullptr) {
    found.how = FoundCourseFile::How::exactly;
    found.path = *exact;
  } else {
    found.how = FoundCourseFile::How::ambiguous;
    found.candidates = std::move(paths);
  }
  return found;
}

std::vector<std::string> no_course_file_lines(platform::FileSearch& search, const RunFiles& files,
                                              std::string_view typed_name) {
  if (platform::folder_named(files.course_file)) return {" " + files.course_file + " is a folder, not a course file"};
  std::vector<std::string> lines{" There is no file called " + files.course_file};
  if (!typed_name.empty() && !ends_in_course_extension(typed_name) && platform::file_exists(search, typed_name)) {
    lines.push_back(" course files end in .GBK; " + std::string(typed_name) + " is not one");
  }
  return lines;
}

std::string ambiguous_course_name_message(std::string_view course_file, const std::vector<std::string>& candidates) {
  std::string text = " " + std::string(course_file) + " could be ";
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (i > 0) text += i + 1 == candidates.size() ? " or " : ", ";
    text += candidates[i];
  }
  return text + ": give the name exactly";
}

RunFiles files_as_opened(const RunFiles& files, const textio::ChannelTable& channels,
                         std::string_view course_file_found) {
  RunFiles opened = files;
  opened.course_file = as_opened(channels, coursefile::course_channel, std::string(course_file_found));
  opened.dat_file = as_opened(channels, coursefile::dat_channel, files.dat_file);
  opened.ans_file = as_opened(channels, coursefile::ans_channel, files.ans_file);
  opened.txt_file = as_opened(channels, coursefile::txt_channel, files.txt_file);
  return opened;
}

}  // namespace app
