// The registry store's write transactions: all of a change or none of it.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>

#include "platform/posix/registry_sqlite_db.h"

namespace vorela::posix {
namespace {

class WriteTransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(Exec("CREATE TABLE t(v INTEGER)"), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  int Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

  int Rows() {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, "SELECT count(*) FROM t", -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const int n = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return n;
  }

  sqlite3* db_ = nullptr;
};

TEST_F(WriteTransactionTest, CommitsWhatSucceeds) {
  EXPECT_EQ(InWriteTransaction(db_, [&] {
              Exec("INSERT INTO t VALUES(1)");
              return kErrorSuccess;
            }),
            kErrorSuccess);
  EXPECT_EQ(Rows(), 1);
  EXPECT_TRUE(sqlite3_get_autocommit(db_));
}

TEST_F(WriteTransactionTest, RollsBackAFailureAndPassesItsCode) {
  EXPECT_EQ(InWriteTransaction(db_, [&] {
              Exec("INSERT INTO t VALUES(1)");
              return kErrorKeyDeleted;
            }),
            kErrorKeyDeleted);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(sqlite3_get_autocommit(db_));
}

TEST_F(WriteTransactionTest, RollsBackWhenTheBodyThrows) {
  EXPECT_THROW(InWriteTransaction(db_,
                                  [&]() -> Win32Error {
                                    Exec("INSERT INTO t VALUES(1)");
                                    throw std::runtime_error("interrupted");
                                  }),
               std::runtime_error);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(sqlite3_get_autocommit(db_));
}

TEST_F(WriteTransactionTest, RunsNothingWhenItCannotBegin) {
  ASSERT_EQ(Exec("BEGIN"), SQLITE_OK);  // a transaction is already open
  bool ran = false;
  EXPECT_NE(InWriteTransaction(db_, [&] {
              ran = true;
              return kErrorSuccess;
            }),
            kErrorSuccess);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace vorela::posix
#endif  // _WIN32
