// The order both backends list files in, whatever order the folder had.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"

namespace vorela {
namespace {

TEST(ListingOrder, SortsWithAsciiLettersFolded) {
  std::vector<std::string> names = {"b.xml", "_a.xml", "C.xml", "a1.xml", "A.xml"};
  SortAsListed(&names);
  // "_" (0x5F) comes before the letters because they fold to lower case.
  EXPECT_EQ(names, (std::vector<std::string>{"_a.xml", "A.xml", "a1.xml", "b.xml", "C.xml"}));
}

}  // namespace
}  // namespace vorela
