// Backend-independent parts of the process seam.
#include "platform/process.h"

namespace vorela {

std::string Process::ProgramFolder() {
  const std::string path = ProgramPath();
  const std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

}  // namespace vorela
