// Backend-independent parts of the file seam.
#include "platform/files.h"

#include <algorithm>
#include <cstring>

#include "base/ascii.h"

namespace vorela {

namespace {

class WholeFileReader : public FileReader {
 public:
  explicit WholeFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Length() const override { return bytes_.size(); }
  Win32Error Read(void* buffer, std::size_t size, std::size_t* got) override {
    *got = std::min(size, bytes_.size() - offset_);
    std::memcpy(buffer, bytes_.data() + offset_, *got);
    offset_ += *got;
    return kErrorSuccess;
  }

 private:
  std::string bytes_;
  std::size_t offset_ = 0;
};

class WholeFileWriter : public FileWriter {
 public:
  WholeFileWriter(FileSystem& files, std::string_view path) : files_(files), path_(path) {}
  Win32Error Write(const void* data, std::size_t size) override {
    bytes_.append(static_cast<const char*>(data), size);
    return kErrorSuccess;
  }
  Win32Error Commit() override { return files_.WriteAtomic(path_, bytes_); }

 private:
  FileSystem& files_;
  std::string path_;
  std::string bytes_;
};

}  // namespace

Win32Error FileSystem::OpenForReading(std::string_view path,
                                      std::unique_ptr<FileReader>* reader) {
  std::string bytes;
  if (Win32Error e = ReadAll(path, &bytes); e != kErrorSuccess) return e;
  *reader = std::make_unique<WholeFileReader>(std::move(bytes));
  return kErrorSuccess;
}

Win32Error FileSystem::BeginReplace(std::string_view path, std::unique_ptr<FileWriter>* writer) {
  *writer = std::make_unique<WholeFileWriter>(*this, path);
  return kErrorSuccess;
}

Win32Error FileSystem::Copy(std::string_view from, std::string_view to) {
  std::string bytes;
  if (Win32Error e = ReadAll(from, &bytes); e != kErrorSuccess) return e;
  return WriteAtomic(to, bytes);
}

Win32Error FileSystem::CopyPlainFile(std::string_view from, std::string_view to) {
  FileEntry entry;
  if (Win32Error e = FindEntry(from, &entry); e != kErrorSuccess) return e;
  if (entry.is_directory) return kErrorBadFileType;
  return Copy(from, to);
}

void SortAsListed(std::vector<std::string>* names) {
  std::sort(names->begin(), names->end(),
            [](const std::string& a, const std::string& b) { return LessIgnoreCase(a, b); });
}

}  // namespace vorela
