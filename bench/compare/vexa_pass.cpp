#include "bench/compare/vexa_pass.h"

#include <cstdint>
#include <stdexcept>

#include "bench/compare/memory_blob.h"

namespace vexa::compare {
namespace {

// A parser handle that Parser_Free releases whatever happens.
class ParserHandle {
 public:
  explicit ParserHandle(const vexa_host::VexaExports& vexa) : vexa_(vexa), handle_(vexa.Parser_Create()) {
    if (handle_ == 0) throw std::runtime_error("Parser_Create gave no handle");
  }
  ~ParserHandle() { vexa_.Parser_Free(&handle_); }
  ParserHandle(const ParserHandle&) = delete;
  ParserHandle& operator=(const ParserHandle&) = delete;

  const std::int32_t* Get() const { return &handle_; }

 private:
  const vexa_host::VexaExports& vexa_;
  std::int32_t handle_;
};

void Require(std::int32_t answer, const char* call) {
  if (answer != 1) throw std::runtime_error(std::string(call) + " refused a good handle");
}

void AddDocument(const vexa_host::VexaExports& vexa, const ParserHandle& parser, const std::string& document,
                 TextIntake intake) {
  if (intake == TextIntake::kAdd) {
    Require(vexa.Parser_Add(parser.Get(), document.c_str()), "Parser_Add");
    return;
  }
  const MemoryBlob blob(document);
  Require(vexa.Parser_AddBlob(parser.Get(), &blob.Record()), "Parser_AddBlob");
}

std::uint64_t CrcOf(const vexa_host::VexaExports& vexa, const ParserHandle& parser) {
  return static_cast<std::uint32_t>(vexa.Parser_CRC(parser.Get()));
}

// Reads every word, touching each of its bytes, and frees it.
void ReadWords(const vexa_host::VexaExports& vexa, const ResultRelease& release, const ParserHandle& parser,
               PassResult& result) {
  for (;;) {
    char* word = vexa.Parser_Next(parser.Get());
    if (word == nullptr) throw std::runtime_error("Parser_Next returned no string");
    std::uint64_t bytes = 0;
    for (const char* p = word; *p != '\0'; ++p) bytes = bytes * 31 + static_cast<unsigned char>(*p);
    const bool atEnd = word[0] == '\0';
    release.Free(word);
    if (atEnd) return;
    ++result.words;
    result.checksum += bytes;
  }
}

}  // namespace

PassResult ParseAndReadDocuments(const vexa_host::VexaExports& vexa, const ResultRelease& release,
                                 const std::vector<std::string>& documents, TextIntake intake) {
  PassResult result;
  for (const std::string& document : documents) {
    const ParserHandle parser(vexa);
    AddDocument(vexa, parser, document, intake);
    Require(vexa.Parser_Reset(parser.Get()), "Parser_Reset");
    ReadWords(vexa, release, parser, result);
    result.checksum ^= CrcOf(vexa, parser) << 16;
  }
  return result;
}

PassResult ParseDocumentsWithoutReading(const vexa_host::VexaExports& vexa, const std::vector<std::string>& documents) {
  PassResult result;
  for (const std::string& document : documents) {
    const ParserHandle parser(vexa);
    AddDocument(vexa, parser, document, TextIntake::kAddBlob);
    result.checksum ^= CrcOf(vexa, parser) << 16;
  }
  return result;
}

}  // namespace vexa::compare
