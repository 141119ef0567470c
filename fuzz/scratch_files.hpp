// A private folder for the files one fuzz target writes and reads back.
#pragma once

#include <string>
#include <string_view>

namespace scratch {

// A new empty folder, in memory (/dev/shm) when the system has it.
std::string make_folder();

void write_file(const std::string& path, std::string_view bytes);

// The whole file; empty when it cannot be read. exists tells the two apart.
std::string read_file(const std::string& path, bool* exists = nullptr);

// Standard input at its end and standard output discarded, so that a run
// never waits for an operator and its console text does not flood the log.
void detach_console();

}  // namespace scratch
