// PNG output of the Windows build, where no PNG library is linked: the image
// goes out uncompressed (stored deflate blocks), which every reader accepts;
// the files are screenshots for people to look at, not something kept.
#include <cstdio>
#include <algorithm>
#include <string>

#include "platform/drawing_surface.h"
#include "platform/win32/windows_lean.h"

namespace vorela {
namespace {

std::uint32_t Crc32(const std::string& data, std::size_t from) {
  static std::uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    ready = true;
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < data.size(); ++i) {
    crc = table[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

void Put32(std::string& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& body) {
  Put32(out, static_cast<std::uint32_t>(body.size()));
  const std::size_t start = out.size();
  out.append(type, 4);
  out += body;
  Put32(out, Crc32(out, start));
}

}  // namespace

bool WritePng(const std::vector<Color>& pixels, int width, int height, const std::string& path) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  std::string raw;
  raw.reserve((static_cast<std::size_t>(width) * 3 + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const Color c = pixels[static_cast<std::size_t>(y) * width + x];
      raw.push_back(static_cast<char>(RedOf(c)));
      raw.push_back(static_cast<char>(GreenOf(c)));
      raw.push_back(static_cast<char>(BlueOf(c)));
    }
  }
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (char ch : raw) {
    a = (a + static_cast<std::uint8_t>(ch)) % 65521;
    b = (b + a) % 65521;
  }
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<char>(n & 0xFF));
    z.push_back(static_cast<char>(n >> 8));
    z.push_back(static_cast<char>(~n & 0xFF));
    z.push_back(static_cast<char>((~n >> 8) & 0xFF));
    z.append(raw, at, n);
    if (last) break;
  }
  Put32(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32(header, static_cast<std::uint32_t>(width));
  Put32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");

  FILE* file = _wfopen(win32::Widen(path).c_str(), L"wb");
  if (!file) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) _wremove(win32::Widen(path).c_str());
  return written && closed;
}

}  // namespace vorela
