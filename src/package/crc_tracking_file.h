// A file being written that keeps the CRC-32 and the count of the bytes it
// accepted, so a writer knows the CRC of what it wrote without reading it
// again.
#pragma once

#include <cstdint>
#include <utility>

#include "package/crc32.h"
#include "platform/file_system.h"

namespace scrsetup {

class CrcTrackingFile : public File {
 public:
  explicit CrcTrackingFile(File& target) : target_(target) {}

  int64_t Size() override { return target_.Size(); }
  int64_t Position() override { return target_.Position(); }
  bool Seek(int64_t offset) override { return target_.Seek(offset); }
  int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
  int64_t Write(const void* data, int64_t count) override {
    const int64_t written = target_.Write(data, count);
    if (written > 0) {
      crc_ = Crc32(crc_, data, static_cast<size_t>(written));
      written_ += written;
    }
    return written;
  }

  // The CRC-32 of the bytes accepted since the last TakeCrc().
  uint32_t crc() const { return crc_; }
  uint32_t TakeCrc() { return std::exchange(crc_, 0u); }
  // All bytes accepted.
  int64_t written() const { return written_; }

 private:
  File& target_;
  uint32_t crc_ = 0;
  int64_t written_ = 0;
};

}  // namespace scrsetup
