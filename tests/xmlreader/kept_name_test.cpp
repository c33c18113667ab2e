#include "cleaner/kept_name.h"

#include <gtest/gtest.h>

#include <string>

namespace vorela {
namespace {

// Every length on both sides of each word size and of the in-place limit,
// each name kept over a longer and a shorter one, so that no byte of an
// earlier name shows through.
TEST(KeptNameTest, KeepsNamesOfEveryLengthWhateverCameBefore) {
  std::string source;
  for (std::size_t i = 0; i < KeptName::kInlineSize + 20; ++i) {
    source += static_cast<char>('a' + i % 26);
  }
  KeptName kept;
  EXPECT_EQ(kept.view(), "");
  for (std::size_t n = 0; n <= source.size(); ++n) {
    SCOPED_TRACE(n);
    // The name is cut from a longer buffer: nothing past its end may be read.
    const std::string name = source.substr(source.size() - n);
    kept.Assign(std::string(source.size(), '#'));
    kept.Assign(std::string_view(name));
    EXPECT_EQ(kept.view(), name);
    kept.Assign("x");
    kept.Assign(std::string_view(name));
    EXPECT_EQ(kept.view(), name);
  }
  kept.Clear();
  EXPECT_EQ(kept.view(), "");
}

}  // namespace
}  // namespace vorela
