// File names by pattern: one search at a time for the whole run, the names of
// normal files only (hidden, system and directory entries need their
// attribute in the selection), in the order the file system gives them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum Attribute : int { hidden = 2, system = 4, volume_label = 8, directory = 16 };

struct FileSearch {
  std::vector<std::string> names;  // what the running search still has to give
  std::size_t next = 0;
  bool open = false;
  int selection = 0;
};

// Starts a new search (closing any running one) and returns its first name,
// or the empty text. A pattern ending in a directory separator lists the
// files of that directory. An empty pattern acts as next_file_name.
std::string first_file_name(FileSearch& search, std::string_view pattern, int selection);
std::string next_file_name(FileSearch& search);

// A normal file of that name (or matching that pattern) exists.
bool file_exists(FileSearch& search, std::string_view name);

// The normal files a name finds, matched as file_exists matches it, each as
// the name's folder (spelled as the file system has it) followed by the
// file's own name, in byte order. For a name without `*` or `?`, two or more
// are names that differ only in case.
std::vector<std::string> files_named(FileSearch& search, std::string_view name);

// Whether a name (or pattern) finds a directory, matched as files_named
// matches normal files: what a course name that finds no file may name.
bool folder_named(std::string_view name);

// `*` any run of characters, `?` one character, letters in either case.
bool wildcard_match(std::string_view pattern, std::string_view name);

// The entries of one directory as the search sees them (file_search_posix.cpp
// or file_search_windows.cpp): name and attribute bits.
struct DirectoryEntry {
  std::string name;
  int attributes = 0;
};
// The entries of the directory part of pattern whose names match its last
// part; the last part "*.*" of a pattern ending in a separator is added here.
std::vector<DirectoryEntry> matching_entries(std::string_view pattern);

}  // namespace platform
