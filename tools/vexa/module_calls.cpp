#include "tools/vexa/module_calls.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "support/host/host_blob_callback.h"
#include "support/host/loaded_objects.h"
#include "support/host/system_library.h"

namespace vexa::inspector {
namespace {

// The text as a BLOB the host serves in segments, as the server's
// get-segment function does.
class TextBlob {
 public:
  TextBlob(const std::string& text, unsigned short segment) : text_(text), segment_(segment) {}

  vexa::host::BlobCallback Record() {
    vexa::host::BlobCallback record{};
    record.blob_get_segment = &TextBlob::GetSegment;
    record.blob_handle = this;
    record.blob_number_segments = static_cast<std::int32_t>((text_.size() + segment_ - 1) / segment_);
    record.blob_max_segment = segment_;
    record.blob_total_length = static_cast<std::int32_t>(text_.size());
    return record;
  }

 private:
  static short GetSegment(void* handle, unsigned char* buffer, unsigned short bufferSize,
                          unsigned short* resultLength) {
    auto* blob = static_cast<TextBlob*>(handle);
    const std::size_t count = std::min<std::size_t>({blob->segment_, bufferSize, blob->text_.size() - blob->position_});
    *resultLength = static_cast<unsigned short>(count);
    if (count == 0) return 0;
    std::memcpy(buffer, blob->text_.data() + blob->position_, count);
    blob->position_ += count;
    return 1;
  }

  const std::string& text_;
  unsigned short segment_;
  std::size_t position_ = 0;
};

bool AddText(const vexa::host::VexaExports& exports, std::int32_t handle, const std::string& text,
             unsigned short blobSegment) {
  if (blobSegment == 0) return exports.Parser_Add(&handle, text.c_str()) == 1;
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
  TextBlob blob(text, blobSegment);
  const vexa::host::BlobCallback record = blob.Record();
  return exports.Parser_AddBlob(&handle, &record) == 1;
}

}  // namespace

std::optional<ModuleSplit> SplitWithModule(const vexa::host::VexaExports& exports, const std::string& text, bool query,
                                           unsigned short blobSegment, std::string& error) {
  const std::int32_t handle = query ? exports.Parser_CreateQuery() : exports.Parser_Create();
  if (handle == 0) {
    error = "no parser handle (Parser_Create returned 0)";
    return std::nullopt;
  }
  if (!AddText(exports, handle, text, blobSegment) || exports.Parser_Reset(&handle) != 1) {
    error = "the module refused the text";
    exports.Parser_Free(&handle);
    return std::nullopt;
  }
  ModuleSplit split;
  for (;;) {
    char* result = exports.Parser_Next(&handle);
    if (result == nullptr) {
      split.sawNullResult = true;
      break;
    }
    std::string word = result;
    // ib_util_malloc hands out the C library's heap, as malloc does.
    std::free(result);
    if (word.empty()) break;
    split.words.push_back(std::move(word));
  }
  split.crc = static_cast<std::uint32_t>(exports.Parser_CRC(&handle));
  exports.Parser_Free(&handle);
  return split;
}

std::string DescribeResultAllocator(bool sawNullResult) {
  if (sawNullResult) return "none (Parser_Next returned a null pointer)";
  const std::string utility = vexa::host::LoadedObjectPath(vexa::host::kServerUtilityLibrary);
  if (!utility.empty()) return "ib_util_malloc of " + utility;
  return "malloc of the C library";
}

}  // namespace vexa::inspector
