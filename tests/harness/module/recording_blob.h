// A BLOB as the server hands it to Parser_AddBlob, with a real get-segment
// function that serves the bytes it holds and records every call: how much
// room it was offered and how much it wrote. It writes no more than offered,
// so a call offered more room than the module's buffer has left is what a
// test checks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/host/host_blob_callback.h"

namespace vexa::test {

class RecordingBlob {
 public:
  struct Call {
    unsigned short offered;   // the buffer size the module passed
    unsigned short written;   // bytes the host wrote
    std::int64_t roomLeft;    // total length minus what the module accepted before this call
  };

  // Serves `data` in segments of at most `hostSegment` bytes (and never more
  // than offered); the first call after the data is used up returns zero,
  // leaving a nonzero length and some bytes in the buffer, which count for
  // nothing.
  RecordingBlob(std::string data, std::size_t hostSegment);

  // The record passed to Parser_AddBlob, with the given maximum segment and
  // total length fields. The record refers to this object.
  vexa::host::BlobCallback Record(std::int32_t maxSegment, std::int32_t totalLength);

  // Each delivery then claims `extra` bytes more than were written (at most
  // 65535), as a faulty host might.
  void OverstateDeliveries(unsigned short extra) { overstatement_ = extra; }

  const std::vector<Call>& Calls() const { return calls_; }
  std::size_t BytesWritten() const { return position_; }

  // True when every call offered at most the room the module had left.
  bool StayedWithinTotal() const;

 private:
  static short GetSegment(void* blobHandle, unsigned char* buffer, unsigned short bufferSize,
                          unsigned short* resultLength);
  short Serve(unsigned char* buffer, unsigned short bufferSize, unsigned short* resultLength);

  std::string data_;
  std::size_t hostSegment_;
  std::size_t position_ = 0;
  std::int64_t totalLength_ = 0;
  std::int64_t accepted_ = 0;  // what the module counts as delivered: claims held to the offer
  unsigned short overstatement_ = 0;
  std::vector<Call> calls_;
};

}  // namespace vexa::test
