// The document service on more than one thread: each thread that asks gets
// working documents, whichever thread asked first. (The Windows backend sets
// COM up per thread; a once-per-process set-up served only the first one.)
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "platform/xml_dom.h"

namespace vorela {
namespace {

// Loads and saves a small document; "" when any step fails.
std::string RoundTrip() {
  std::unique_ptr<XmlDocument> doc = SystemXmlDom().CreateDocument();
  if (!doc || !doc->LoadBytes("<a><b>text</b></a>")) return "";
  std::string saved;
  if (!doc->Serialize(&saved)) return "";
  return saved;
}

TEST(XmlDomThreads, EveryThreadThatAsksGetsWorkingDocuments) {
  const std::string here = RoundTrip();
  ASSERT_NE(here, "");
  for (int i = 0; i < 2; ++i) {  // a fresh thread each time, and one after another
    std::string there;
    std::thread worker([&there] { there = RoundTrip(); });
    worker.join();
    EXPECT_EQ(there, here) << "thread " << i;
  }
  EXPECT_EQ(RoundTrip(), here);  // the first thread is unaffected
}

}  // namespace
}  // namespace vorela
