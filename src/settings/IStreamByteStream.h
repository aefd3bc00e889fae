#pragma once
// The settings layout's byte stream over a COM IStream (the host's saved
// state). IStream statuses pass through unchanged.
#include <windows.h>
#include <objidl.h>

#include "settings/ByteStream.h"

namespace quorvane {

class IStreamByteStream final : public ByteStream {
 public:
  explicit IStreamByteStream(IStream& stream) : stream_(stream) {}

  StreamStatus Read(void* buffer, uint32_t size, uint32_t& done) override {
    ULONG read = 0;
    const HRESULT hr = stream_.Read(buffer, size, &read);
    done = read;
    return hr;
  }

  StreamStatus Write(const void* data, uint32_t size, uint32_t& done) override {
    ULONG written = 0;
    const HRESULT hr = stream_.Write(data, size, &written);
    done = written;
    return hr;
  }

 private:
  IStream& stream_;
};

}  // namespace quorvane
