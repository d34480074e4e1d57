// The index's stored records read from arbitrary bytes: a document's
// postings, the structure row, a segment header, and whole segments read
// through SegmentReader to every word, doclist, position, phonetic code and
// document. Whatever the bytes, reading may throw CorruptData and nothing
// else, and never reads outside what it was given. The input is carved into
// fields (input_fields.h):
//   kind       'p' a document's postings, 's' a structure row, 'h' a segment
//              header: the rest is the record, decoded as it is and again
//              with its CRC-32 appended, so that mutations get past the
//              checksum; what decodes must encode to what decodes the same;
//              'r' a segment's pages: the rest is records of a varint length
//              and that many bytes, the header first, then pages 0, 1, ...;
//              'w' a segment written from the next two fields, then damaged
//              as the last says;
//   page size  (w) in decimal, held to 200 .. 4000 bytes;
//   documents  (w) one a line, words separated by blanks;
//   damage     (w) the rest: pairs of a varint offset into the pages'
//              payloads, back to back (modulo their length), and a byte to
//              XOR there. An undamaged segment must read back as written.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "index/coding.h"
#include "index/document_postings.h"
#include "index/segment_reader.h"
#include "index/segment_writer.h"
#include "index/structure.h"
#include "input_fields.h"

namespace {

using vexa::index::CorruptData;
using vexa::index::PageRef;
using vexa::index::PostingCursor;
using vexa::index::SegmentHeader;
using vexa::index::SegmentReader;
using vexa::index::WordEntry;

// Words and doclists read from one segment at most: enough to reach every
// part of a segment that fits the input.
constexpr std::size_t kMostWords = 2000;

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "postings_decoder_fuzzer: %s\n", what);
    std::abort();
  }
}

// Runs `read`: damaged bytes may stop it with CorruptData, and only so;
// undamaged ones may not.
void Attempt(const std::function<void()>& read, bool damaged = true) {
  try {
    read();
  } catch (const CorruptData&) {
    Require(damaged, "an undamaged segment reads as damaged");
  }
}

std::string WithCrc(std::string_view record) {
  std::string sealed(record);
  vexa::index::SealWithCrc(sealed);
  return sealed;
}

// A document's postings read in place, every position decoded.
vexa::index::DocumentPostings DecodedPostings(std::string_view encoded) {
  const vexa::index::PostingsView view = vexa::index::ReadDocumentPostings(encoded);
  vexa::index::DocumentPostings postings;
  postings.length = view.length;
  for (const vexa::index::PostingsView::Term& term : view.terms) {
    postings.terms.push_back({std::string(term.term), {}});
    vexa::index::DecodePositions(term.positions, term.frequency, view.length, postings.terms.back().positions);
  }
  return postings;
}

void DecodeRecord(char kind, std::string_view bytes) {
  Attempt([&] {
    if (kind == 'p') {
      const std::string encoded = vexa::index::EncodeDocumentPostings(DecodedPostings(bytes));
      Require(vexa::index::EncodeDocumentPostings(DecodedPostings(encoded)) == encoded,
              "document postings do not read back as encoded");
    } else if (kind == 's') {
      const std::string encoded = vexa::index::Structure::Decode(bytes).Encode();
      Require(vexa::index::Structure::Decode(encoded).Encode() == encoded, "a structure does not read back as encoded");
    } else {
      const std::string encoded = SegmentHeader::Decode(bytes).Encode();
      Require(SegmentHeader::Decode(encoded).Encode() == encoded, "a segment header does not read back as encoded");
    }
  });
}

std::int32_t FakeSoundCode(std::string_view word) { return word.empty() ? 0 : static_cast<unsigned char>(word[0]) % 7 - 3; }

// What a segment holds: each word's doclist by key, and every key.
struct Content {
  std::map<std::string, std::map<std::uint64_t, std::vector<std::uint32_t>>> words;
  std::map<std::uint64_t, std::uint32_t> lengths;  // of each document, by key
};

// Pages as a storage hands them on, their CRCs checked: a page number the
// segment does not have is damage.
class Pages {
 public:
  void Add(std::string payload) { pages_.push_back(std::make_shared<const std::string>(std::move(payload))); }
  PageRef Load(std::uint32_t page) const {
    if (page >= pages_.size()) throw CorruptData("a page number past the end of the segment");
    return pages_[page];
  }
 private:
  std::vector<PageRef> pages_;
};

// Everything a search or a merge reads of a segment; compared with
// `written` when it is given (an undamaged segment).
void ReadSegment(std::string_view headerBytes, const Pages& pages, const Content* written) {
  const bool damaged = written == nullptr;
  std::shared_ptr<const SegmentHeader> header;
  Attempt([&] { header = std::make_shared<const SegmentHeader>(SegmentHeader::Decode(headerBytes)); }, damaged);
  if (!header) return;
  const SegmentReader reader(header, [&pages](std::uint32_t page) { return pages.Load(page); });

  Content read;
  std::vector<WordEntry> entries;
  Attempt([&] {
    reader.ForEachWord("", [&](WordEntry&& entry) {
      entries.push_back(std::move(entry));
      return entries.size() < kMostWords;
    });
  }, damaged);
  for (const WordEntry& entry : entries) {
    Attempt([&] {
      PostingCursor cursor = reader.Postings(entry);
      auto& doclist = read.words[entry.word];
      while (cursor.Next()) {
        doclist[cursor.Key()] = cursor.Positions();
        read.lengths[cursor.Key()] = cursor.DocumentLength();
        cursor.PositionBytes();
      }
      Require(doclist.size() == entry.documents || damaged, "a word's document count differs from its doclist");
    }, damaged);
    Attempt([&] {
      const std::optional<WordEntry> found = reader.Find(entry.word);
      Require(found.has_value() || damaged, "a word listed is not found");
      // Seeks through the doclist, forward from its middle key.
      PostingCursor seeker = reader.Postings(entry);
      const auto& doclist = read.words[entry.word];
      if (!doclist.empty()) {
        const std::uint64_t middle = std::next(doclist.begin(), static_cast<std::ptrdiff_t>(doclist.size() / 2))->first;
        Require((seeker.Seek(middle) && seeker.Key() == middle) || damaged, "a seek misses a key the doclist holds");
      }
      seeker.Seek(~std::uint64_t{0});
    }, damaged);
    Attempt([&] { reader.ForEachWord(entry.word.substr(0, 1), [](WordEntry&&) { return true; }); }, damaged);
  }
  Attempt([&] {
    SegmentReader::WordCursor cursor(reader);
    for (std::size_t i = 0; i < kMostWords && cursor.Next(); ++i) reader.Postings(cursor.Current()).Next();
  }, damaged);
  std::map<std::int32_t, std::vector<std::string>> byCode;
  for (const std::int32_t code : {-4, -3, -2, -1, 0, 1, 2, 3}) {
    Attempt([&] { byCode[code] = reader.WordsWithSoundCode(code); }, damaged);
  }
  std::vector<vexa::index::DocumentInfo> documents;
  Attempt([&] { documents = reader.AllDocuments(); }, damaged);
  std::vector<std::uint64_t> keys;
  for (const vexa::index::DocumentInfo& document : documents) keys.push_back(document.key);
  Attempt([&] {
    std::vector<std::uint64_t> probe = keys;
    for (const std::uint64_t key : keys) probe.push_back(key + 1);
    probe.push_back(0);
    std::sort(probe.begin(), probe.end());
    probe.erase(std::unique(probe.begin(), probe.end()), probe.end());
    Require(reader.DocumentsAmong(probe) == documents || damaged, "DocumentsAmong differs from AllDocuments");
  }, damaged);

  if (damaged) return;
  Require(read.words == written->words, "a written segment reads back other postings");
  Require(read.lengths == written->lengths, "a written segment reads back other document lengths");
  std::vector<std::uint64_t> writtenKeys;
  for (const auto& [key, length] : written->lengths) writtenKeys.push_back(key);
  Require(keys == writtenKeys, "a written segment reads back other documents");
  for (const auto& [code, words] : byCode) {
    std::vector<std::string> want;
    for (const auto& [word, doclist] : written->words) {
      if (FakeSoundCode(word) == code) want.push_back(word);
    }
    Require(words == want, "a written segment reads back other phonetic codes");
  }
}

// 'r': the header's bytes and the pages' payloads, each length-prefixed.
void ReadRawSegment(std::string_view input) {
  vexa::index::ByteReader in(input);
  std::vector<std::string> records;
  try {
    while (!in.AtEnd()) records.emplace_back(in.LengthPrefixedBytes());
  } catch (const CorruptData&) {
    records.emplace_back(in.Bytes(in.Remaining()));  // a short last record: what there is
  }
  if (records.empty()) return;
  Pages pages;
  for (std::size_t i = 1; i < records.size(); ++i) pages.Add(std::move(records[i]));
  ReadSegment(records[0], pages, nullptr);
}

Content ContentOf(std::string_view documents) {
  Content content;
  std::uint64_t key = 0;
  while (!documents.empty()) {
    const std::size_t end = std::min(documents.find('\n'), documents.size());
    std::string_view line = documents.substr(0, end);
    documents.remove_prefix(std::min(end + 1, documents.size()));
    key += 1 + line.size() % 5;  // keys with gaps, as removed documents leave
    std::uint32_t position = 0;
    while (!line.empty()) {
      const std::size_t blank = std::min(line.find(' '), line.size());
      const std::string_view word = line.substr(0, std::min(blank, vexa::index::kMaxTermBytes));
      if (!word.empty()) content.words[std::string(word)][key].push_back(position++);
      line.remove_prefix(std::min(blank + 1, line.size()));
    }
    if (position > 0) content.lengths[key] = position;
  }
  return content;
}

// 'w': a segment written from the documents, then damaged.
void ReadWrittenSegment(std::string_view pageSizeText, std::string_view documents, std::string_view damage) {
  std::size_t pageSize = 0;
  for (const char c : pageSizeText.substr(0, 6)) {
    if (c >= '0' && c <= '9') pageSize = pageSize * 10 + static_cast<std::size_t>(c - '0');
  }
  pageSize = std::clamp<std::size_t>(pageSize, 200, 4000);
  const Content content = ContentOf(documents);
  std::vector<std::string> payloads;
  vexa::index::SegmentWriter writer(
      [&](std::uint32_t page, const vexa::index::PageBytes& bytes) {
        Require(page == payloads.size(), "pages are not written in order");
        Require(bytes.size() <= pageSize, "a page is over its size");
        payloads.emplace_back(vexa::index::PagePayload(bytes));
      },
      FakeSoundCode, pageSize);
  for (const auto& [word, doclist] : content.words) {
    vexa::index::DoclistWriter& out = writer.StartWord(word);
    for (const auto& [key, positions] : doclist) out.Add(key, content.lengths.at(key), positions);
  }
  std::vector<vexa::index::DocumentInfo> written;
  for (const auto& [key, length] : content.lengths) written.push_back({key, length, static_cast<std::int32_t>(key)});
  const vexa::index::SegmentSummary summary = writer.Finish(written);
  Require(summary.pageCount == payloads.size() && summary.headerPage + summary.headerPages == summary.pageCount,
          "the summary places the header elsewhere");

  std::size_t total = 0;
  for (const std::string& payload : payloads) total += payload.size();
  vexa::index::ByteReader in(damage);
  Attempt([&] {
    while (!in.AtEnd() && total > 0) {
      std::uint64_t at = in.Varint() % total;
      const auto flip = static_cast<char>(in.AtEnd() ? 0xFF : in.Bytes(1)[0]);
      std::size_t page = 0;
      while (at >= payloads[page].size()) at -= payloads[page++].size();
      payloads[page][static_cast<std::size_t>(at)] ^= flip;
    }
  });
  std::string header;
  Pages pages;
  for (std::size_t page = 0; page < payloads.size(); ++page) {
    if (page >= summary.headerPage) header += payloads[page];
    pages.Add(std::move(payloads[page]));
  }
  ReadSegment(header, pages, damage.empty() ? &content : nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexa::fuzz::InputFields fields(data, size);
  const std::string_view kind = fields.Next();
  if (kind.size() != 1) return 0;
  switch (kind[0]) {
    case 'p':
    case 's':
    case 'h':
      DecodeRecord(kind[0], fields.Rest());
      DecodeRecord(kind[0], WithCrc(fields.Rest()));
      break;
    case 'r':
      ReadRawSegment(fields.Rest());
      break;
    case 'w': {
      const std::string_view pageSize = fields.Next();
      const std::string_view documents = fields.Next();
      ReadWrittenSegment(pageSize, documents, fields.Rest());
      break;
    }
    default:
      break;
  }
  return 0;
}
