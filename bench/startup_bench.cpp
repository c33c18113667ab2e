// Whole-process wall time of a program on an empty machine, next to a trivial
// program linked the same way.
//
//   startup_bench [--kept-root] RUNS PROGRAM [ARGS...] -- BASELINE [ARGS...]
//
// Every run gets a fresh, empty machine root (VORELA_ROOT), made before the clock
// starts and removed after it stops, so each run sees the machine as a first
// start does. With --kept-root the root is made once and kept between runs:
// each run then finds what the runs before it left (for a program that only
// reads, the folders a first start makes), as every start after the first
// does. Runs of the two programs alternate so that a busy machine disturbs
// both alike; the median of each is reported: wall time, and the CPU time the
// child spent (user + system), which a machine busy with other work disturbs
// far less than wall time.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
  double wall_ms = 0;
  double cpu_ms = 0;
};

double Ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

Sample RunOnce(const std::vector<char*>& argv, const std::string& root, bool keep_root) {
  std::filesystem::create_directories(root);
  setenv("VORELA_ROOT", root.c_str(), 1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(argv[0]);
    std::exit(2);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto stop = std::chrono::steady_clock::now();
  posix_spawn_file_actions_destroy(&actions);
  if (!keep_root) std::filesystem::remove_all(root);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
    std::exit(3);
  }
  return {std::chrono::duration<double, std::milli>(stop - start).count(),
          Ms(usage.ru_utime) + Ms(usage.ru_stime)};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> program, baseline;
  std::vector<char*>* into = &program;
  const bool keep_root = argc > 1 && std::string(argv[1]) == "--kept-root";
  if (keep_root) {
    --argc;
    ++argv;
  }
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      into = &baseline;
      continue;
    }
    into->push_back(argv[i]);
  }
  if (argc < 3 || program.empty() || baseline.empty()) {
    std::fprintf(
        stderr,
        "usage: startup_bench [--kept-root] RUNS PROGRAM [ARGS...] -- BASELINE [ARGS...]\n");
    return 1;
  }
  program.push_back(nullptr);
  baseline.push_back(nullptr);
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::string root =
      (std::filesystem::temp_directory_path() / ("vorela-startup-" + std::to_string(getpid())))
          .string();
  std::vector<double> ours, floor, ours_cpu, floor_cpu;
  RunOnce(program, root, keep_root);  // warms the page cache
  for (int i = 0; i < runs; ++i) {
    const Sample a = RunOnce(program, root, keep_root);
    const Sample b = RunOnce(baseline, root, keep_root);
    ours.push_back(a.wall_ms);
    ours_cpu.push_back(a.cpu_ms);
    floor.push_back(b.wall_ms);
    floor_cpu.push_back(b.cpu_ms);
  }
  if (keep_root) std::filesystem::remove_all(root);
  const double a = Median(ours), b = Median(floor);
  std::printf("%-40s median %.2f ms (%d runs), CPU %.2f ms\n", program[0], a, runs,
              Median(ours_cpu));
  std::printf("%-40s median %.2f ms, CPU %.2f ms\n", baseline[0], b, Median(floor_cpu));
  std::printf("difference %.2f ms, ratio %.2fx\n", a - b, a / b);
  return 0;
}
