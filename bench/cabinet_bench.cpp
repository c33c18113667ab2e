// Extracting a large MSZIP cabinet with CabFile.Extract, side by side with
// cabextract (both decode with libmspack) in the same run: wall time of the
// best of five alternating runs and each side's peak resident memory, for two
// cabinet sizes (peak memory should not grow with the cabinet).
//
//   cabinet_bench [MEGABYTES=50] [FILES=300]
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
  return {seconds, usage.ru_maxrss};
}

// Keeps the best time and the highest peak.
void Keep(Run* best, const Run& r) {
  if (r.seconds < best->seconds) best->seconds = r.seconds;
  if (r.peak_kb > best->peak_kb) best->peak_kb = r.peak_kb;
}

void Measure(const fs::path& root, long long megabytes, int files) {
  const fs::path src = root / ("src" + std::to_string(megabytes));
  std::vector<vorela::CabinetSource> sources;
  // About 7/4 of the cabinet's size uncompressed.
  MakeSources(src, files, (megabytes << 20) * 7 / 4, &sources);
  const fs::path cab = root / ("bench" + std::to_string(megabytes) + ".cab");
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
  for (int round = 0; round < 5; ++round) {
    Keep(&mine, mine_once());
    Keep(&ref, ref_once());
  }
  std::printf(
      "%4lld MB cabinet (%lld MB unpacked, %d files): CabFile.Extract %.3f s, "
      "peak %ld KB | "
      "cabextract %.3f s, peak %ld KB | time ratio %.2f\n",
      static_cast<long long>(fs::file_size(cab) >> 20),
      (megabytes << 20) * 7 / 4 >> 20, files, mine.seconds, mine.peak_kb,
      ref.seconds, ref.peak_kb, mine.seconds / ref.seconds);
  fs::remove_all(ours);
  fs::remove_all(theirs);
  fs::remove(cab);
}

}  // namespace

int main(int argc, char** argv) {
  const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 50;
  const int files = argc > 2 ? std::atoi(argv[2]) : 300;
  const fs::path root = fs::temp_directory_path() /
                        ("vorela-cabinet-bench-" + std::to_string(getpid()));
  fs::create_directories(root);
  Measure(root, megabytes / 5 > 0 ? megabytes / 5 : 1, files);
  Measure(root, megabytes, files);
  fs::remove_all(root);
  return 0;
}
