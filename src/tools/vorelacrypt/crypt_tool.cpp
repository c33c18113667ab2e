#include "tools/vorelacrypt/crypt_tool.h"

#include <iostream>
#include <iterator>
#include <memory>
#include <optional>

#include "cleaner/simple_xor.h"
#include "common/blowfish.h"
#include "common/blowfish_stream.h"
#include "common/error.h"
#include "common/product_facts.h"

namespace vorela {

namespace {

std::string Usage() {
  return
    "usage: vorelacrypt encrypt [--key KEY] [--xor] INPUT OUTPUT\n"
    "       vorelacrypt decrypt [--key KEY] [--xor] INPUT OUTPUT\n"
    "\n"
    "Encrypts or decrypts INPUT into OUTPUT in the launcher's cipher format\n"
    "(\"-\" is standard input or output).\n"
    "\n"
    "  --key KEY  the key (default \"" + std::string(kCipherKey) + "\", the programs' own key)\n"
    "  --xor      the simple XOR cipher instead (no header; a wrong key is "
    "not\n"
    "             detected)\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "\n"
    "Exit status: 0 done, 1 the data or a file could not be processed (OUTPUT\n"
    "untouched), 2 bad command line.\n";
}

struct Command {
  bool encrypt = true;
  bool use_xor = false;
  std::string key = kCipherKey;
  std::string input;
  std::string output;
};

// Parses args into command; returns an error message, or "" when it is fine.
std::string Parse(const std::vector<std::string>& args, Command& command) {
  if (args.empty()) return "missing command";
  if (args[0] == "encrypt") {
    command.encrypt = true;
  } else if (args[0] == "decrypt") {
    command.encrypt = false;
  } else {
    return "unknown command '" + args[0] + "'";
  }
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--key") {
      if (i + 1 >= args.size()) return "--key needs a value";
      command.key = args[++i];
      if (command.key.empty()) return "the key must not be empty";
    } else if (arg.rfind("--key=", 0) == 0) {
      command.key = arg.substr(6);
      if (command.key.empty()) return "the key must not be empty";
    } else if (arg == "--xor") {
      command.use_xor = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return "unknown option '" + arg + "'";
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) return "expected INPUT and OUTPUT";
  command.input = paths[0];
  command.output = paths[1];
  return "";
}

// A one-line bar redrawn in place on a terminal.
class ProgressBar : public ProgressObserver {
 public:
  explicit ProgressBar(std::ostream& err) : err_(err) {}
  void Progress(std::int32_t& Percent) override {
    constexpr int kWidth = 40;
    int filled = static_cast<int>(Percent) * kWidth / 100;
    err_ << '\r' << '[' << std::string(filled, '#')
         << std::string(kWidth - filled, ' ') << "] " << Percent << '%';
    if (Percent >= 100) err_ << '\n';
    err_.flush();
  }

 private:
  std::ostream& err_;
};

std::optional<ByteArray> ReadInput(const Command& command, std::istream& in,
                                   const Platform& platform,
                                   std::ostream& err) {
  if (command.input == "-") {
    ByteArray bytes((std::istreambuf_iterator<char>(in)),
                    std::istreambuf_iterator<char>());
    if (in.bad()) {
      err << "vorelacrypt: cannot read standard input\n";
      return std::nullopt;
    }
    return bytes;
  }
  if (!CipherSourceExists(platform, command.input)) {
    err << "vorelacrypt: " << command.input << ": no such file\n";
    return std::nullopt;
  }
  try {
    return ReadCipherFile(platform, command.input, "vorelacrypt");
  } catch (const Error& e) {
    err << "vorelacrypt: cannot read " << command.input << ": "
        << e.Description() << '\n';
    return std::nullopt;
  }
}

bool WriteOutput(const Command& command, const ByteArray& bytes,
                 std::ostream& out, const Platform& platform,
                 std::ostream& err) {
  if (command.output == "-") {
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      err << "vorelacrypt: cannot write standard output\n";
      return false;
    }
    return true;
  }
  try {
    WriteCipherFile(platform, command.output, bytes, "vorelacrypt");
    return true;
  } catch (const Error& e) {
    err << "vorelacrypt: cannot write " << command.output << ": "
        << e.Description() << '\n';
    return false;
  }
}

// Runs the cipher over bytes; returns false (with a message) when the data is
// not what the cipher can decrypt.
bool Transform(const Command& command, ByteArray& bytes,
               const Platform& platform, ProgressObserver* observer,
               std::ostream& err) {
  try {
    if (command.use_xor) {
      clsSimpleXOR cipher(platform);
      cipher.SetProgressObserver(observer);
      if (command.encrypt) {
        cipher.EncryptByte(bytes, command.key);
      } else {
        cipher.DecryptByte(bytes, command.key);
      }
    } else {
      clsBlowfish cipher(platform);
      cipher.SetProgressObserver(observer);
      if (command.encrypt) {
        cipher.EncryptByte(bytes, command.key);
      } else {
        cipher.DecryptByte(bytes, command.key);
      }
    }
    return true;
  } catch (const Error& e) {
    if (observer != nullptr) err << '\n';
    if (!command.encrypt && !command.use_xor) {
      err << "vorelacrypt: " << command.input
          << ": cannot decrypt: wrong key, or not (or no longer) an encrypted "
             "file ("
          << e.Description() << ")\n";
    } else {
      err << "vorelacrypt: " << command.input << ": " << e.Description()
          << '\n';
    }
    return false;
  } catch (const std::bad_alloc&) {
    err << "vorelacrypt: " << command.input << ": not enough memory\n";
    return false;
  }
}

// The file seam's reader and writer, and the standard streams, as the
// cipher's source and sink; a failure carries the user's path.
class ReaderSource : public ByteSource {
 public:
  ReaderSource(FileReader& reader, const std::string& path) : reader_(reader), path_(path) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
    std::size_t got = 0;
    if (reader_.Read(buffer, size, &got) != kErrorSuccess) {
      throw Error(RuntimeError::kPathFileAccess, "vorelacrypt", "cannot read " + path_);
    }
    return got;
  }

 private:
  FileReader& reader_;
  const std::string& path_;
};

class WriterSink : public ByteSink {
 public:
  WriterSink(FileWriter& writer, const std::string& path) : writer_(writer), path_(path) {}
  void Write(const std::uint8_t* data, std::size_t size) override {
    if (writer_.Write(data, size) != kErrorSuccess) {
      throw Error(RuntimeError::kPathFileAccess, "vorelacrypt", "cannot write " + path_);
    }
  }

 private:
  FileWriter& writer_;
  const std::string& path_;
};

class StreamSink : public ByteSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}
  void Write(const std::uint8_t* data, std::size_t size) override {
    out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out_) throw Error(RuntimeError::kPathFileAccess, "vorelacrypt", "cannot write standard output");
  }

 private:
  std::ostream& out_;
};

bool IsFolder(const Platform& platform, const std::string& path) {
  FileEntry entry;
  return platform.files != nullptr && platform.files->FindEntry(path, &entry) == kErrorSuccess &&
         entry.is_directory;
}

// What is wrong with an encrypted input of `length` bytes that the format
// cannot hold, or "" when the length is one the cipher can decrypt.
std::string LengthProblem(std::uint64_t length) {
  if (length == 0) return "the file is empty, so it is not an encrypted file";
  if (length < 16 || length % 8 != 0) {
    return "the file is truncated or not an encrypted file (" + std::to_string(length) +
           " bytes; an encrypted file is a multiple of 8 bytes, at least 16)";
  }
  return "";
}

// Encrypts or decrypts the file command.input block by block. Returns the
// exit code; messages go to err.
int StreamFile(const Command& command, std::ostream& out, std::ostream& err,
               const Platform& platform, const CryptToolOptions& options) {
  std::unique_ptr<FileReader> reader;
  if (Win32Error e = platform.files->OpenForReading(command.input, &reader); e != kErrorSuccess) {
    err << "vorelacrypt: " << command.input
        << (e == kErrorFileNotFound || e == kErrorPathNotFound ? ": no such file\n"
                                                               : ": cannot be read\n");
    return kCryptToolFailed;
  }
  const std::uint64_t length = reader->Length();
  if (!command.encrypt) {
    if (std::string problem = LengthProblem(length); !problem.empty()) {
      err << "vorelacrypt: " << command.input << ": cannot decrypt: " << problem << '\n';
      return kCryptToolFailed;
    }
  }
  ProgressBar bar(err);
  ProgressObserver* observer =
      options.progress_bar && length > kProgressBarMinimum ? &bar : nullptr;
  std::unique_ptr<FileWriter> writer;
  if (command.output != "-") {
    if (platform.files->BeginReplace(command.output, &writer) != kErrorSuccess) {
      err << "vorelacrypt: cannot write " << command.output << '\n';
      return kCryptToolFailed;
    }
  }
  StreamSink stream_sink(out);
  std::optional<WriterSink> file_sink;
  if (writer) file_sink.emplace(*writer, command.output);
  ByteSink& sink = writer ? static_cast<ByteSink&>(*file_sink) : stream_sink;
  ReaderSource source(*reader, command.input);
  try {
    if (command.encrypt) {
      EncryptBlowfishStream(platform, command.key, length, source, sink, observer);
    } else {
      DecryptBlowfishStream(platform, command.key, length, source, sink, observer);
    }
  } catch (const Error& e) {
    if (observer != nullptr) err << '\n';
    if (e.Number() == kObjectError && e.Description() == kSizeDescriptorError) {
      err << "vorelacrypt: " << command.input
          << ": cannot decrypt: wrong key, or not (or no longer) an encrypted file ("
          << e.Description() << ")\n";
    } else if (e.Source() == std::string("vorelacrypt")) {
      err << "vorelacrypt: " << e.Description() << '\n';
    } else {
      err << "vorelacrypt: " << command.input << ": " << e.Description() << '\n';
    }
    return kCryptToolFailed;
  }
  if (writer) {
    if (writer->Commit() != kErrorSuccess) {
      err << "vorelacrypt: cannot write " << command.output << '\n';
      return kCryptToolFailed;
    }
  } else {
    out.flush();
    if (!out) {
      err << "vorelacrypt: cannot write standard output\n";
      return kCryptToolFailed;
    }
  }
  return kCryptToolOk;
}

}  // namespace

int RunCryptTool(const std::vector<std::string>& args, std::istream& in,
                 std::ostream& out, std::ostream& err, const Platform& platform,
                 const CryptToolOptions& options) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      out << Usage();
      return kCryptToolOk;
    }
    if (arg == "--version") {
      out << "vorelacrypt " << options.version << '\n';
      return kCryptToolOk;
    }
  }
  Command command;
  std::string problem = Parse(args, command);
  if (!problem.empty()) {
    err << "vorelacrypt: " << problem << "\n" << Usage();
    return kCryptToolUsage;
  }
  if (command.input != "-" && IsFolder(platform, command.input)) {
    err << "vorelacrypt: " << command.input << ": is a folder, not a file\n";
    return kCryptToolFailed;
  }
  if (command.output != "-" && IsFolder(platform, command.output)) {
    err << "vorelacrypt: " << command.output
        << ": is a folder; name the output file inside it\n";
    return kCryptToolFailed;
  }
  // Files go through in blocks; standard input and the XOR cipher, whose
  // class works on whole arrays, in memory.
  if (command.input != "-" && !command.use_xor && platform.files != nullptr) {
    return StreamFile(command, out, err, platform, options);
  }
  std::optional<ByteArray> bytes = ReadInput(command, in, platform, err);
  if (!bytes) return kCryptToolFailed;

  if (!command.encrypt && !command.use_xor) {
    if (std::string problem = LengthProblem(bytes->size()); !problem.empty()) {
      err << "vorelacrypt: " << command.input << ": cannot decrypt: " << problem << '\n';
      return kCryptToolFailed;
    }
  }
  ProgressBar bar(err);
  ProgressObserver* observer =
      options.progress_bar && bytes->size() > kProgressBarMinimum ? &bar
                                                                  : nullptr;
  if (!Transform(command, *bytes, platform, observer, err))
    return kCryptToolFailed;
  return WriteOutput(command, *bytes, out, platform, err) ? kCryptToolOk
                                                          : kCryptToolFailed;
}

}  // namespace vorela
