// Arbitrary bytes as a cabinet: the platform's walk and every CabFile
// operation must give a result or an error, never a crash, leak or bad access.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "cabinet/cab_file.h"
#include "platform/platform.h"

namespace {

std::filesystem::path WorkFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    auto base =
        std::filesystem::temp_directory_path(ec) / "vorela-cabinet-fuzz";
    base /= std::to_string(std::random_device()());
    std::filesystem::create_directories(base, ec);
    return base;
  }();
  return folder;
}

std::string PathText(const std::filesystem::path& p) {
  const std::u8string u8 = p.u8string();
  return std::string(u8.begin(), u8.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static const vorela::Platform platform = vorela::SystemPlatform();
  const std::filesystem::path cab_path = WorkFolder() / "input.cab";
  const std::filesystem::path out_path = WorkFolder() / "out";
  {
    std::ofstream out(cab_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data),
              static_cast<std::streamsize>(size));
  }
  std::error_code ec;
  std::filesystem::remove_all(out_path, ec);
  std::filesystem::create_directories(out_path, ec);

  vorela::CabFile cab(platform);
  cab.CabName = PathText(cab_path);
  long long claimed = 0;
  cab.FileFound = [&](const std::string&, const vorela::CabDateTime&,
                      std::int32_t bytes, const std::string&) {
    claimed += static_cast<std::uint32_t>(bytes);
  };
  try {
    cab.FileCount();
  } catch (const vorela::Error&) {
  }
  try {
    cab.GetXML("");
    cab.GetXML("a.txt");
  } catch (const vorela::Error&) {
  }
  try {
    cab.GetInfo("");
  } catch (const vorela::Error&) {
  }
  // Extraction only where the output stays small, so that a run stays fast.
  if (claimed < (4 << 20)) {
    try {
      cab.Extract("", PathText(out_path), "");
    } catch (const vorela::Error&) {
    }
  }
  std::filesystem::remove_all(out_path, ec);
  return 0;
}
