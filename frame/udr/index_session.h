// What an index routine keeps for its attachment (the engine makes a routine
// object per attachment): the index tables' prepared statements and the
// identities of the indexes it used. Nothing of a transaction is kept: each
// call opens the index anew in the caller's transaction.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "frame/udr/firebird_index_storage.h"
#include "frame/udr/firebird_udr.h"
#include "frame/udr/index_tables.h"
#include "frame/udr/routine_error.h"
#include "index/coding.h"
#include "index/fulltext_index.h"
#include "parser/word_cut.h"

namespace vexa::udr {

// The index the procedures use.
inline constexpr const char* kDefaultIndex = "DEFAULT";
// The SQL that declares the index's routines, for messages.
inline constexpr const char* kScript = "sql/fulltext_udr.sql";

// Runs `work`; stored data the index cannot read becomes an error naming it.
template <typename Work>
auto OnIndex(const std::string& name, Work&& work) -> decltype(work()) {
  try {
    return work();
  } catch (const index::CorruptData& error) {
    throw RoutineError("the full-text index " + name + " is damaged: " + error.what());
  }
}

class IndexSession {
 public:
  IndexSession() = default;

  // An index opened for one call of a routine.
  class Call {
   public:
    // Throws a RoutineError when the index does not exist.
    Call(IndexSession& session, Status* status, Firebird::IExternalContext* context,
         const std::string& indexName = kDefaultIndex);

    index::FulltextIndex& Index() { return index_; }
    // The analyzer the index records: every text of the call is read by it.
    const index::TextAnalyzer& Analyzer() const { return analyzer_; }
    // An argument's or a column's text (of the engine's character set
    // `charset`) as the index's analyzer reads it.
    std::string Text(std::string bytes, unsigned charset) const {
      return TextForAnalyzer(identity_.analyzer, std::move(bytes), charset);
    }
    // A text the analyzer made, for a field of character set `charset`.
    std::string Output(std::string text, unsigned charset) const {
      return TextFromAnalyzer(identity_.analyzer, std::move(text), charset);
    }
    bool ReadsUtf8() const { return identity_.analyzer.readsUtf8; }
    const std::string& Name() const { return identity_.name; }
    const IndexIdentity& Identity() const { return identity_; }
    index::IndexStorage& Storage() { return storage_; }
    // The caller's attachment and transaction.
    Connection Where(Status* status, Firebird::IMaster* master) const {
      return Connection{status, master, attachment_.Get(), transaction_.Get()};
    }

   private:
    Released<Firebird::IAttachment> attachment_;
    Released<Firebird::ITransaction> transaction_;
    const IndexIdentity& identity_;
    FirebirdIndexStorage storage_;
    const index::TextAnalyzer& analyzer_;
    index::FulltextIndex index_;
  };

 private:
  const IndexIdentity& Identity(const Connection& connection, const std::string& name);

  std::unique_ptr<IndexTables> tables_;
  std::string databaseKey_;
  std::map<std::int16_t, IndexIdentity> identities_;  // by index id
  std::map<std::int16_t, SeenStructure> seen_;        // by index id
};

}  // namespace vexa::udr
