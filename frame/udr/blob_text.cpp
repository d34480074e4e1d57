#include "frame/udr/blob_text.h"

#include <cstring>
#include <string>

namespace vexa::udr {
namespace {

// Segments are asked for in pieces of at most this many bytes.
constexpr unsigned kMaxRequest = 65535;

// The BLOB's total length as the engine reports it; 0 when it does not tell.
std::size_t TotalLength(Status* status, Firebird::IBlob* blob) {
  const unsigned char items[] = {isc_info_blob_total_length};
  unsigned char answer[16] = {};
  blob->getInfo(status, sizeof items, items, sizeof answer, answer);
  if (answer[0] != isc_info_blob_total_length) return 0;
  const unsigned length = static_cast<unsigned>(answer[1]) | static_cast<unsigned>(answer[2]) << 8u;
  if (length == 0 || length > 8) return 0;
  std::size_t total = 0;
  for (unsigned i = length; i > 0; --i) total = total << 8u | answer[2 + i];  // least significant byte first
  return total;
}

// Every byte of the BLOB, grown as it comes should the reported length be short.
std::string ReadAll(Status* status, Firebird::IBlob* blob) {
  std::string text(TotalLength(status, blob), '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == text.size()) text.resize(text.size() + kMaxRequest);
    const std::size_t room = text.size() - filled;
    unsigned length = 0;
    const int result = blob->getSegment(status, room < kMaxRequest ? static_cast<unsigned>(room) : kMaxRequest,
                                        &text[filled], &length);
    if (result != Firebird::IStatus::RESULT_OK && result != Firebird::IStatus::RESULT_SEGMENT) break;
    filled += length;
  }
  text.resize(filled);
  return text;
}

}  // namespace

std::string ReadBlob(Status* status, Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                     const ISC_QUAD& id) {
  ISC_QUAD blobId = id;
  Firebird::IBlob* blob = attachment->openBlob(status, transaction, &blobId, 0, nullptr);
  std::string bytes;
  try {
    bytes = ReadAll(status, blob);
    blob->close(status);  // releases it
  } catch (...) {
    blob->release();
    throw;
  }
  return bytes;
}

ISC_QUAD WriteBlob(Status* status, Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                   std::string_view bytes, std::optional<BlobCharsets> text) {
  ISC_QUAD id;
  const auto from = static_cast<unsigned char>(text ? text->from : 0);
  const auto to = static_cast<unsigned char>(text ? text->to : 0);
  const unsigned char textBlob[] = {isc_bpb_version1, isc_bpb_source_type, 1, isc_blob_text, isc_bpb_source_interp, 1,
                                    from,             isc_bpb_target_type, 1, isc_blob_text, isc_bpb_target_interp, 1,
                                    to};
  Firebird::IBlob* blob = text ? attachment->createBlob(status, transaction, &id, sizeof textBlob, textBlob)
                               : attachment->createBlob(status, transaction, &id, 0, nullptr);
  try {
    for (std::size_t at = 0; at < bytes.size(); at += kMaxRequest) {
      const std::size_t length = bytes.size() - at < kMaxRequest ? bytes.size() - at : kMaxRequest;
      blob->putSegment(status, static_cast<unsigned>(length), bytes.data() + at);
    }
    blob->close(status);  // releases it
  } catch (...) {
    blob->release();
    throw;
  }
  return id;
}

std::optional<std::string> BlobFieldBytes(Status* status, Firebird::IExternalContext* context,
                                          const unsigned char* message, const BlobField& field) {
  if (IsNull(message, field.nullOffset)) return std::nullopt;
  ISC_QUAD id;
  std::memcpy(&id, message + field.offset, sizeof id);
  const Released<Firebird::IAttachment> attachment(context->getAttachment(status));
  const Released<Firebird::ITransaction> transaction(context->getTransaction(status));
  return ReadBlob(status, attachment.Get(), transaction.Get(), id);
}

void AddBlobText(Status* status, Firebird::IExternalContext* context, const unsigned char* message,
                 const BlobField& field, TParser& parser) {
  const std::optional<std::string> text = BlobFieldBytes(status, context, message, field);
  if (text) parser.AddText(text->c_str());
}

}  // namespace vexa::udr
