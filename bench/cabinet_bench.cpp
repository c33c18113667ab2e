// Extracting MSZIP cabinets with CabFile.Extract, side by side with cabextract
// (both decode with libmspack) in the same run: wall time of the best of
// several alternating runs, the least CPU time (user + system) of the same
// runs and each side's peak resident memory, for two
// cabinet sizes (peak memory should not grow with the cabinet), then for a
// growing number of small files (the time should grow with the number of
// files, not faster).
//
//   cabinet_bench [MEGABYTES=50] [FILES=300] [MANY=20000]
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cabinet/cab_file.h"
#include "platform/cabinet.h"
#include "platform/platform.h"
#include "platform/posix/machine.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Content that deflates to under two thirds: text in a 64-letter alphabet
// with runs of words, so that MSZIP does real work both ways.
void MakeSources(const fs::path& dir, int files, long long total,
                 std::vector<vorela::CabinetSource>* sources) {
  static const char* kWords[] = {"menu ", "vorela ", "search ",   "launcher ",
                                 "icon ", "page ",   "category ", "provider ",
                                 "\r\n",  "0123 ",   "xml ",      "window "};
  std::mt19937 rng(42);
  fs::create_directories(dir / "sub");
  const long long each = total / files;
  for (int i = 0; i < files; ++i) {
    const std::string name = (i % 3 ? "" : "sub/") + std::string("file") +
                             std::to_string(i) + (i % 2 ? ".htm" : ".ico");
    std::string data;
    data.reserve(static_cast<std::size_t>(each) + 16);
    static const char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+/";
    while (static_cast<long long>(data.size()) < each) {
      if (rng() % 8 == 0) {
        data += kWords[rng() % 12];
      } else {
        data += kLetters[rng() % 64];
      }
    }
    std::ofstream(dir / name, std::ios::binary).write(data.data(), each);
    std::string stored = name;
    for (char& c : stored) c = c == '/' ? '\\' : c;
    sources->push_back({stored, (dir / name).string()});
  }
}

struct Run {
  double seconds;
  long peak_kb;
  double cpu_seconds = 1e9;  // user + system, the run's own and its children's
};

// Runs fn in a child process so that its peak memory is its own.
template <class Fn>
Run InChild(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(fn() ? 0 : 1);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "run failed\n");
    std::exit(1);
  }
  const auto cpu = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return {seconds, usage.ru_maxrss, cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}

// Keeps the best time and the highest peak.
void Keep(Run* best, const Run& r) {
  if (r.seconds < best->seconds) best->seconds = r.seconds;
  if (r.cpu_seconds < best->cpu_seconds) best->cpu_seconds = r.cpu_seconds;
  if (r.peak_kb > best->peak_kb) best->peak_kb = r.peak_kb;
}

// Extracts a cabinet of `files` files holding `unpacked` bytes in all.
void Measure(const fs::path& root, long long unpacked, int files, int rounds) {
  const fs::path src = root / "src";
  std::vector<vorela::CabinetSource> sources;
  MakeSources(src, files, unpacked, &sources);
  const fs::path cab = root / "bench.cab";
  if (vorela::SystemCabinetWriter().WriteCabinet(cab.string(), sources) != 0) {
    std::fprintf(stderr, "cannot write the cabinet\n");
    std::exit(1);
  }
  fs::remove_all(src);

  const fs::path ours = root / "ours", theirs = root / "theirs";
  const auto mine_once = [&] {
    fs::remove_all(ours);
    fs::create_directories(ours);
    return InChild([&] {
      const vorela::Platform platform = vorela::SystemPlatform();
      vorela::CabFile file(platform);
      file.CabName = cab.string();
      return file.Extract("", ours.string(), "");
    });
  };
  const auto ref_once = [&] {
    fs::remove_all(theirs);
    fs::create_directories(theirs);
    return InChild([&] {
      const std::string dir = theirs.string(), path = cab.string();
      char* argv[] = {
          const_cast<char*>("cabextract"), const_cast<char*>("-q"),
          const_cast<char*>("-d"),         const_cast<char*>(dir.c_str()),
          const_cast<char*>(path.c_str()), nullptr};
      pid_t child;
      if (posix_spawnp(&child, "cabextract", nullptr, nullptr, argv, environ) !=
          0)
        return false;
      int status = 0;
      waitpid(child, &status, 0);
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    });
  };
  // Alternating rounds, so that a busy moment of the machine hits both sides.
  Run mine{1e9, 0}, ref{1e9, 0};
  for (int round = 0; round < rounds; ++round) {
    Keep(&mine, mine_once());
    Keep(&ref, ref_once());
  }
  const double mb = 1024.0 * 1024.0;
  std::printf(
      "%5.1f MB cabinet (%.1f MB unpacked, %5d files): CabFile.Extract %.3f s "
      "(CPU %.3f s), peak %ld KB | cabextract %.3f s (CPU %.3f s), peak %ld KB "
      "| time ratio %.2f, CPU ratio %.2f\n",
      static_cast<double>(fs::file_size(cab)) / mb,
      static_cast<double>(unpacked) / mb, files, mine.seconds,
      mine.cpu_seconds, mine.peak_kb, ref.seconds, ref.cpu_seconds,
      ref.peak_kb, mine.seconds / ref.seconds,
      mine.cpu_seconds / ref.cpu_seconds);
  std::fflush(stdout);
  fs::remove_all(ours);
  fs::remove_all(theirs);
  fs::remove(cab);
}

}  // namespace

int main(int argc, char** argv) {
  const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
  const int files = argc > 2 ? std::atoi(argv[2]) : 300;
  const int many = argc > 3 ? std::atoi(argv[3]) : 20000;
  const fs::path root = fs::temp_directory_path() /
                        ("vorela-cabinet-bench-" + std::to_string(getpid()));
  fs::create_directories(root);
  // About 7/4 of the cabinet's size uncompressed.
  const long long small = megabytes / 5 > 0 ? megabytes / 5 : 1;
  Measure(root, (small << 20) * 7 / 4, files, 5);
  Measure(root, (megabytes << 20) * 7 / 4, files, 5);
  for (int n : {many / 4, many / 2, many}) {
    if (n > 0) Measure(root, n * 1024LL, n, 3);
  }
  fs::remove_all(root);
  return 0;
}
