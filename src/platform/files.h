// File seam: what the programs ask of the file system.
//
// Paths are UTF-8 strings in Windows form ("C:\dir\file.xml"); the POSIX backend
// maps them onto its machine folder. Every operation returns a Win32 error code
// (kErrorSuccess on success) and never throws or prints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error_codes.h"

namespace vorela {

struct FileEntry {
  bool is_directory = false;
  bool is_hidden = false;
  bool is_system = false;
  bool is_read_only = false;
  bool is_link = false;  // a symbolic link or junction (reparse point)
  std::uint64_t size = 0;
};

// A file opened for reading in blocks.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // The file's length when it was opened.
  virtual std::uint64_t Length() const = 0;
  // Reads up to size bytes; *got is 0 only at the end of the file.
  virtual Win32Error Read(void* buffer, std::size_t size, std::size_t* got) = 0;
};

// A replacement of a file written in blocks, with WriteAtomic's guarantees:
// the bytes go to a temporary beside the target, and only Commit renames it
// over the target. A writer destroyed before Commit removes its temporary and
// leaves the target as it was.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  virtual Win32Error Write(const void* data, std::size_t size) = 0;
  // Renames the temporary over the target. Where a file is replaced, its data
  // is flushed first, so a crash leaves the old file or the new one whole; a
  // new file is not flushed (a crash may leave it short, never a torn old one).
  virtual Win32Error Commit() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The length of a file or folder, as a file-length query answers it: a name
  // with a trailing separator is not found, a folder without one is.
  virtual Win32Error GetLength(std::string_view path, std::uint64_t* length) = 0;

  // The directory entry of path, as a directory search for it finds it (the
  // name is taken literally; no wildcards). Links are reported, not followed.
  virtual Win32Error FindEntry(std::string_view path, FileEntry* entry) = 0;

  // Reads the whole file.
  virtual Win32Error ReadAll(std::string_view path, std::string* bytes) = 0;

  // Replaces the whole file atomically: the bytes go to a temporary file in the
  // same folder, are flushed, and that file is renamed over path. On any
  // failure path is left exactly as it was and no temporary file remains.
  // Temporaries that earlier saves of path left when their process died are
  // removed first; a temporary of a save still running is never touched. A
  // new file gets the process's usual permissions (never writable by others);
  // where a link stood, a plain file takes its place.
  virtual Win32Error WriteAtomic(std::string_view path, std::string_view bytes) = 0;

  // WriteAtomic for a file that only its owner may read (the secret file):
  // whatever the file's earlier permissions, others can neither read nor
  // write it afterwards.
  virtual Win32Error WriteAtomicOwnerOnly(std::string_view path, std::string_view bytes) = 0;

  // Opens a plain file for reading in blocks (a folder is refused as ReadAll
  // refuses it). The base version reads the whole file, for in-memory ones.
  virtual Win32Error OpenForReading(std::string_view path, std::unique_ptr<FileReader>* reader);

  // Starts replacing path in blocks; refused where WriteAtomic would refuse.
  // The base version collects the bytes and calls WriteAtomic on Commit.
  virtual Win32Error BeginReplace(std::string_view path, std::unique_ptr<FileWriter>* writer);

  // Copies a file over an existing destination (replaced whole, atomically).
  // The base version reads the whole file and writes it with WriteAtomic.
  virtual Win32Error Copy(std::string_view from, std::string_view to);

  // Copies the plain file `from` over `to` in fixed-size blocks, so memory use
  // does not grow with the file. The source must be a file of bytes: a folder,
  // a device, a FIFO or a socket (also behind a link) is refused with
  // kErrorBadFileType before anything is read, and the call never waits for a
  // writer. `to` is replaced whole; on failure it is left as it was and no
  // partial copy remains. The base version suits in-memory file systems.
  virtual Win32Error CopyPlainFile(std::string_view from, std::string_view to);

  // Deletes one file (not a folder). A read-only file is refused (5).
  virtual Win32Error Delete(std::string_view path) = 0;

  // Renames a file, replacing an existing destination.
  virtual Win32Error Rename(std::string_view from, std::string_view to) = 0;

  // Creates one folder level: kErrorAlreadyExists when it exists,
  // kErrorPathNotFound when its parent does not.
  virtual Win32Error MakeDirectory(std::string_view path) = 0;

  // Removes an empty folder.
  virtual Win32Error RemoveEmptyDirectory(std::string_view path) = 0;

  // Names (without folder) of the plain files in folder whose names match
  // pattern ("*" and "?", case ignored), sorted as the platform lists them.
  virtual Win32Error ListFiles(std::string_view folder, std::string_view pattern,
                               std::vector<std::string>* names) = 0;

  // Removes a folder and everything in it. Without force a read-only file stops
  // the removal (5) and what was removed stays removed; with force read-only
  // files go too. A link or junction inside is removed as a link: nothing it
  // points to is touched. Removing a link itself removes only the link.
  virtual Win32Error DeleteTree(std::string_view path, bool force) = 0;

  // Sets or clears the read-only attribute.
  virtual Win32Error SetReadOnly(std::string_view path, bool read_only) = 0;
};

FileSystem& SystemFileSystem();

// Sorts names as ListFiles returns them: byte by byte with ASCII letters
// folded, the same order on both platforms whatever order the folder had.
void SortAsListed(std::vector<std::string>* names);

}  // namespace vorela
