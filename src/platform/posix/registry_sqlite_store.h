// The life of the registry store's file: finding it missing, creating it whole,
// opening it, and the stand-in that answers reads while it does not exist.
//
// A machine starts with no store file. Reading it then answers what a freshly
// seeded store answers, from a seeded store in memory, so that programs that
// only read leave nothing behind and spend no disk syncs. The first write
// creates the store: seeded in memory, written under a temporary name, synced,
// moved into place only if no store is there yet, and the move synced (two
// syncs, where making it in place took nine). So every process sees either no
// store or a whole, seeded one, in WAL mode already, and two processes that
// create it at once end up sharing one of them.
//
// The seeded keys get the same ids in every store (the roots 1 and 2, then the
// seeded keys in order), and ids are never reused, so a key opened in the
// stand-in names the same key once the store exists (or a deleted one).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorela::posix {

inline constexpr std::int64_t kCurrentUserId = 1;
inline constexpr std::int64_t kLocalMachineId = 2;

// Inserts one key below parent (a write inside the caller's transaction).
int InsertKey(sqlite3* db, std::int64_t parent, const std::string& name, std::int64_t* id);

// Whether the key at the path parts (UTF-8 components, as SplitKeyPath gives
// them) below the root with id `root` is one a freshly seeded store has; the
// root itself is.
bool IsSeededKey(std::int64_t root, const std::vector<std::string>& parts);

// True when no store file is at path and one could be created there (its
// folder exists and may be written): reads are then answered by the stand-in.
// Any other trouble (a folder that is missing or is a file, no permission) is
// left for opening the store to report.
bool StoreIsMissing(const std::string& path);

// A freshly seeded store in memory, for the reads of a machine whose store is
// missing. An SQLite result code.
int OpenSeededStandIn(sqlite3** out);

// Creates the store at path unless a store is there already (another process
// may win the creation; that is success). When the file system cannot move a
// file into place without replacing what is there, nothing is created and the
// store is made in place by OpenStore instead. An SQLite result code.
int CreateStore(const std::string& path);

// Opens the store at path, creating and seeding it in place when it is new or
// was never seeded. exclusive: hold the store for this connection alone, which
// keeps the WAL index in the process's memory instead of the "-shm" file
// beside the store. An SQLite result code.
int OpenStore(const std::string& path, bool exclusive, sqlite3** out);

}  // namespace vorela::posix
