// The owning COM pointer of the Windows backends (the DOM and SAX readers, the
// browser), over an object that only counts its references: every path keeps
// the count balanced. The template needs nothing of Windows, so both builds
// run it.
#include "platform/win32/com_ptr.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vorela::win32 {
namespace {

struct Counted {
  int refs = 1;  // as an object comes from a factory: one reference, the caller's
  unsigned long AddRef() { return static_cast<unsigned long>(++refs); }
  unsigned long Release() { return static_cast<unsigned long>(--refs); }
};

// What a factory with a T** out-parameter does.
void Make(Counted* object, Counted** out) { *out = object; }

TEST(ComPtr, OwnsOneReferenceAndReleasesItOnEveryWayOut) {
  Counted a;
  {
    ComPtr<Counted> p = ComPtr<Counted>::Attach(&a);
    EXPECT_EQ(a.refs, 1);
    ComPtr<Counted> copy = p;
    EXPECT_EQ(a.refs, 2);
    ComPtr<Counted> moved = std::move(copy);
    EXPECT_FALSE(copy);  // NOLINT(bugprone-use-after-move): moved-from is null
    EXPECT_EQ(a.refs, 2);
    p = p;  // NOLINT(clang-diagnostic-self-assign-overloaded): self-assignment keeps the count
    EXPECT_EQ(a.refs, 2);
  }
  EXPECT_EQ(a.refs, 0);

  Counted b;
  try {
    ComPtr<Counted> p = ComPtr<Counted>::Attach(&b);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(b.refs, 0);

  std::vector<ComPtr<Counted>> many;
  Counted c;
  for (int i = 0; i < 9; ++i) many.push_back(i == 0 ? ComPtr<Counted>::Attach(&c) : many[0]);
  EXPECT_EQ(c.refs, 9);
  many.clear();
  EXPECT_EQ(c.refs, 0);
}

TEST(ComPtr, PutReleasesTheOldObjectAndAssignmentSwapsOwners) {
  Counted a, b;
  ComPtr<Counted> p;
  Make(&a, p.put());
  EXPECT_EQ(p.get(), &a);
  Make(&b, p.put());  // reused as an out-parameter: a is let go first
  EXPECT_EQ(a.refs, 0);
  EXPECT_EQ(b.refs, 1);

  Counted c;
  ComPtr<Counted> q = ComPtr<Counted>::Attach(&c);
  p = std::move(q);
  EXPECT_EQ(b.refs, 0);
  EXPECT_EQ(c.refs, 1);
  p = nullptr;
  EXPECT_EQ(c.refs, 0);
  EXPECT_FALSE(p);

  Counted d;
  ComPtr<Counted> r = ComPtr<Counted>::Attach(&d);
  Counted* raw = r.Detach();
  EXPECT_FALSE(r);
  EXPECT_EQ(raw->refs, 1);  // the caller's now
}

}  // namespace
}  // namespace vorela::win32
