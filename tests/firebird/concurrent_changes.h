// Connections of a served database changing the same rows of DOCUMENTS at
// once, each change in a READ COMMITTED transaction of its own, tried again
// when it meets another writer; and the bodies they choose from, with what
// the module makes of each.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "expected_index.h"
#include "firebird_server.h"
#include "library_words.h"
#include "sql_connection.h"

namespace vexa::firebird {

// The bodies the documents may take, and what the module makes of each.
struct BodyPool {
  std::vector<std::string> bodies;
  std::map<std::string, DocumentForm> forms;

  // `count` bodies of `words` words, GeneratedDocument's from `firstSeed` on.
  BodyPool(const LibraryWords& library, std::uint32_t firstSeed, int count, std::size_t words);

  // What the index should hold for the rows DOCUMENTS has now.
  Expectations ExpectedFor(Connection& connection) const;
};

struct WorkerReport {
  int committed = 0;
  int retried = 0;
  int deadlocks = 0;  // a deadlock that was no conflict over one document's row
  std::string failure;
};

// Runs `change` in a READ COMMITTED transaction of its own until it
// commits; a conflict with another writer of the same document is tried
// again. False, with the failure reported, when it could not commit.
bool CommitWithRetries(Connection& connection, WorkerReport& report, const std::function<void(Transaction&)>& change);

struct ConcurrentChanges {
  int connections = 8;
  int changesPerConnection = 40;
  std::int64_t documents = 24;  // ids 1 .. documents
  int removeOneIn = 5;          // a change deletes the document, or else updates or inserts it
  // Called by a connection after each change it committed (the first is
  // change 0), on its own attachment; may be empty.
  std::function<void(Connection& connection, int connectionNumber, int change)> afterChange;
};

// Runs the connections to their end, each choosing documents and bodies from
// `pool` with a random sequence of its own; the server is stopped when they
// have not ended within a deadline. Expects every connection to have ended
// without failure or deadlock, and returns how many transactions were tried
// again.
int RunConcurrentChanges(ServedDatabase& served, const BodyPool& pool, const ConcurrentChanges& plan);

}  // namespace vexa::firebird
