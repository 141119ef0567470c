// The conversion run of whole course files, in process: a class of 32,767
// students (every answer given, or names and blank answers), files of
// growing size (the time must grow with the size and no faster), one 10 MB
// line with 30,000 commas, 100,000 lines that are not records. Bytes per
// second are those of the course file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/winmain.hpp"
#include "course_generator.hpp"
#include "tests/support/console_into_file.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

// The course files, removed when the benchmark ends.
const tests::ScratchFolder& folder() {
  static const tests::ScratchFolder scratch_folder;
  return scratch_folder;
}

// Each course file is written once, on first use, and kept for the run.
std::string course(const std::string& base, const std::function<void(const std::string&)>& write) {
  static std::map<std::string, bool> written;
  const std::string path = (folder() / base).string();
  if (!written[base]) {
    write(path + ".gbk");
    written[base] = true;
  }
  return path;
}

void convert(benchmark::State& state, const std::string& base) {
  const auto size = static_cast<std::int64_t>(fs::file_size(base + ".gbk"));
  int exit_code = 0;
  {
    // The run's console text goes nowhere and its key waits return at
    // once, so only the conversion is measured.
    const tests::ConsoleIntoFile quiet("/dev/null");
    for (auto _ : state) exit_code |= app::WINMAIN(base);
  }
  if (exit_code != 0) state.SkipWithError("the run reported a failed file");
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["MB"] = static_cast<double>(size) / 1e6;
}

void BM_ClassOf32767Students(benchmark::State& state) {
  convert(state, course("class", [](const std::string& path) { bench::write_class(path, 32767, 100); }));
}
BENCHMARK(BM_ClassOf32767Students)->Unit(benchmark::kMillisecond);

// The same class as the operators' sheets come: 5% blank answers, field 3
// a quoted name with a comma.
void BM_ClassOf32767StudentsWithNamesAndBlanks(benchmark::State& state) {
  convert(state, course("names", [](const std::string& path) {
            bench::write_class(path, 32767, 100, {.blank_percent = 5, .fields = bench::LeadingFields::quoted_name});
          }));
}
BENCHMARK(BM_ClassOf32767StudentsWithNamesAndBlanks)->Unit(benchmark::kMillisecond);

void BM_FileOfSize(benchmark::State& state) {
  const std::int64_t megabytes = state.range(0);
  convert(state, course("size" + std::to_string(megabytes),
                        [megabytes](const std::string& path) { bench::write_sized(path, megabytes * 1000 * 1000); }));
}
BENCHMARK(BM_FileOfSize)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_TenMegabyteLineWith30000Commas(benchmark::State& state) {
  convert(state,
          course("longline", [](const std::string& path) { bench::write_long_line(path, 10 * 1000 * 1000, 30000); }));
}
BENCHMARK(BM_TenMegabyteLineWith30000Commas)->Unit(benchmark::kMillisecond);

void BM_HundredThousandLinesThatAreNotRecords(benchmark::State& state) {
  convert(state, course("nonrecords", [](const std::string& path) { bench::write_non_records(path, 100000); }));
}
BENCHMARK(BM_HundredThousandLinesThatAreNotRecords)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
