#include "frame/udr/index_session.h"

#include "frame/udr/module_analyzer.h"
#include "frame/udr/routine_error.h"

namespace vexa::udr {
namespace {

// The database file's name and creation time: a database restored or
// replaced keeps no page of another under the same key.
std::string DatabaseKey(Status* status, Firebird::IAttachment* attachment) {
  const unsigned char items[] = {isc_info_db_id, isc_info_creation_date, isc_info_end};
  unsigned char answer[1024] = {};
  attachment->getInfo(status, sizeof items, items, sizeof answer, answer);
  std::string key;
  for (std::size_t at = 0; at + 3 <= sizeof answer && answer[at] != isc_info_end;) {
    const unsigned length = static_cast<unsigned>(answer[at + 1]) | static_cast<unsigned>(answer[at + 2]) << 8u;
    if (at + 3 + length > sizeof answer) break;
    key.append(reinterpret_cast<const char*>(answer + at + 3), length);
    key += '|';
    at += 3 + length;
  }
  if (key.empty()) throw RoutineError("the database did not say what it is");
  return key;
}

}  // namespace

const IndexIdentity& IndexSession::Identity(const Connection& connection, const std::string& name) {
  if (!tables_) tables_ = std::make_unique<IndexTables>(connection.status, connection.master);
  if (databaseKey_.empty()) databaseKey_ = DatabaseKey(connection.status, connection.attachment);
  // Looked up on every call: an index dropped and made again under its
  // name is another index.
  const std::optional<IndexRecord> record = tables_->FindIndex(connection, name);
  if (!record) throw RoutineError("there is no full-text index named " + name + " (see sql/fulltext_udr.sql)");
  const std::int16_t id = record->id;
  const auto found = identities_.find(id);
  if (found != identities_.end() && found->second.name == name && found->second.analyzer.name == record->analyzer) {
    return found->second;
  }
  IndexIdentity identity;
  identity.id = id;
  identity.name = name;
  identity.cacheKey = databaseKey_ + std::to_string(id);
  identity.columns = tables_->Columns(connection, id);
  identity.source = tables_->Source(connection, id);
  identity.analyzer = AnalyzerOfIndex(name, record->analyzer, tables_->DatabaseCharset(connection, id));
  return identities_.insert_or_assign(id, std::move(identity)).first->second;
}

IndexSession::Call::Call(IndexSession& session, Status* status, Firebird::IExternalContext* context,
                         const std::string& indexName)
    : attachment_(context->getAttachment(status)),
      transaction_(context->getTransaction(status)),
      identity_(session.Identity(Connection{status, context->getMaster(), attachment_.Get(), transaction_.Get()}, indexName)),
      storage_(Connection{status, context->getMaster(), attachment_.Get(), transaction_.Get()}, *session.tables_, identity_,
               &session.seen_[identity_.id]),
      analyzer_(*identity_.analyzer.words),
      index_(storage_, analyzer_, &index::PageCache::Shared(), index::MaintenanceOptions(), identity_.columns) {}

}  // namespace vexa::udr
