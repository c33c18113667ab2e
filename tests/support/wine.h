// Where the Windows build runs under Wine, whose platform DLLs differ from
// Windows in a few places the tests record (rather than skip).
#pragma once

namespace vorela::testing {

// True in the Windows build when the platform is Wine; false elsewhere.
bool RunningUnderWine();

}  // namespace vorela::testing
