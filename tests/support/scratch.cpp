#include "support/scratch.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define VORELA_GETPID _getpid
#else
#include <unistd.h>
#define VORELA_GETPID getpid
#include "platform/posix/machine.h"
#endif

namespace vorela::testing {
namespace {

std::string ToWindowsForm(const std::filesystem::path& p) {
#ifdef _WIN32
  std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
#else
  return posix::WindowsPath(p.string());
#endif
}

}  // namespace

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  auto base = std::filesystem::temp_directory_path() / "vorela-tests";
  std::filesystem::create_directories(base);
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto dir = base / ("t" + std::to_string(VORELA_GETPID()) + "-" + std::to_string(stamp % 100000) +
                       "-" + std::to_string(counter++));
    std::error_code ec;
    if (std::filesystem::create_directory(dir, ec)) {
      std::u8string u8 = dir.u8string();
      native_ = std::string(u8.begin(), u8.end());
      windows_ = ToWindowsForm(dir);
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  // Read-only files left by a test must not keep the folder alive.
  for (auto it = std::filesystem::recursive_directory_iterator(native_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_symlink(ec)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ec);
    }
  }
  std::filesystem::remove_all(native_, ec);
}

void WriteNativeFile(const std::string& native_path, const std::string& bytes) {
  std::ofstream out(std::filesystem::u8path(native_path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + native_path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadNativeFile(const std::string& native_path) {
  std::ifstream in(std::filesystem::u8path(native_path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + native_path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vorela::testing
