#include "cleaner/xml_reader_error.h"

#include <exception>
#include <new>
#include <string>

namespace vorela {
namespace {

constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInvalidProcedureCall = 5;

}  // namespace

Error CurrentError(std::string_view source) {
  try {
    throw;
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return Error(kOutOfMemory, std::string(source), "Out of memory");
  } catch (const std::exception& e) {
    return Error(kInvalidProcedureCall, std::string(source), e.what());
  } catch (...) {
    return Error(kInvalidProcedureCall, std::string(source), "Unknown error");
  }
}

void RethrowWithPrefix(std::string_view source, std::string_view prefix) {
  Error error = CurrentError(source);
  error.SetDescription(std::string(prefix) + error.Description());
  throw error;
}

}  // namespace vorela
