// resource_check VERSION EXE...: exit 0 when every EXE carries the shipped
// version block of VERSION and the shipped manifest; prints what is wrong
// otherwise. The release check runs it on the unpacked archive.
#include <cstdio>
#include <string>

#include "release/exe_resources.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: resource_check VERSION EXE...\n", stderr);
    return 2;
  }
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string problems = vorela::release::ReleaseProblems(argv[i], argv[1]);
    const auto description = vorela::release::VersionString(argv[i], "FileDescription");
    std::printf("%s: %s\n", argv[i],
                problems.empty() ? ("ok, " + description.value_or("")).c_str() : "NOT as shipped");
    if (!problems.empty()) {
      std::fputs(problems.c_str(), stdout);
      status = 1;
    }
  }
  return status;
}
