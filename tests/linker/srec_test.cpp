// The S-record writer against a reference that builds every record byte by
// byte, the plain way: blocks at the record-size limits and around the 16 KB
// borders, in all three address widths. The byte-exact files of whole links
// are golden cases (golden/srec_records and others).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "linker/link.h"

namespace zun::vlk::test {
namespace {

std::string hex2(uint32_t byte) {
  static const char digits[] = "0123456789ABCDEF";
  return {digits[(byte >> 4) & 15], digits[byte & 15]};
}

// One record per call; `bytes` holds the address bytes and the data bytes.
std::string reference_record(int type, const std::vector<uint8_t>& bytes) {
  uint32_t count = static_cast<uint32_t>(bytes.size()) + 1, sum = count;
  std::string line = "S" + std::to_string(type) + hex2(count);
  for (uint8_t b : bytes) {
    line += hex2(b);
    sum += b;
  }
  return line + hex2(~sum & 0xFF) + "\n";
}

std::vector<uint8_t> address_bytes(int type, uint32_t address) {
  int n = type == 2 ? 3 : type == 3 ? 4 : 2;
  std::vector<uint8_t> bytes;
  for (int i = n - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(address >> (8 * i)));
  return bytes;
}

// Byte by byte: a record ends when full (32 data bytes for S1, 30 for S2 and
// S3) and, for S1 and S3, before the addresses 0x4000, 0x8000 and 0xC000.
std::string reference_block(const std::vector<uint8_t>& data, uint32_t address) {
  uint32_t last = address + static_cast<uint32_t>(data.size()) - 1;
  int type = last < 0x10000 ? 1 : last < 0x1000000 ? 2 : 3;
  size_t limit = type == 1 ? 32 : 30;
  std::string out;
  std::vector<uint8_t> record = address_bytes(type, address);
  size_t held = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    uint32_t at = address + static_cast<uint32_t>(i);
    bool border = type != 2 && (at == 0x4000 || at == 0x8000 || at == 0xC000);
    if (held == limit || (border && held > 0)) {
      out += reference_record(type, record);
      record = address_bytes(type, at);
      held = 0;
    }
    record.push_back(data[i]);
    ++held;
  }
  return out + reference_record(type, record);
}

std::vector<uint8_t> pattern(size_t n, uint32_t seed) {
  std::vector<uint8_t> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(seed * 31 + i * 7 + (i >> 8));
  return data;
}

TEST(SrecWriter, BlocksMatchTheByteByByteRecordsAtEveryWidthAndBorder) {
  const uint32_t addresses[] = {0x0000,   0x0001,    0x3FE1,     0x3FFF,     0x4000,
                                0x7FF0,   0xBFE0,    0xBFFF,     0xFFE0,     0xFFFF,
                                0x10000,  0x1BFF0,   0xFFFFE0,   0x0100BFF0, 0xFFFFFFF0};
  const size_t lengths[] = {1, 2, 29, 30, 31, 32, 33, 34, 64, 65, 100};
  for (uint32_t address : addresses) {
    for (size_t n : lengths) {
      std::vector<uint8_t> data = pattern(n, address);
      std::string out;
      SrecWriter writer(out);
      writer.data(data, address);
      EXPECT_EQ(out, reference_block(data, address)) << std::hex << "block at 0x" << address
                                                     << ", 0x" << n << " bytes";
    }
  }
}

// An S3 block that starts below 0x4000 still breaks at the three borders
// (only there, not at 0x01004000 and the like).
TEST(SrecWriter, WideBlockFromLowMemoryBreaksAtTheThreeBorders) {
  uint32_t address = 0x3FF0;
  std::vector<uint8_t> data = pattern(0x1000000 - address + 0x10, 5);
  std::string out;
  SrecWriter writer(out);
  writer.data(data, address);
  auto record = [&](uint32_t at, size_t n) {
    std::vector<uint8_t> bytes = address_bytes(3, at);
    bytes.insert(bytes.end(), data.begin() + (at - address), data.begin() + (at - address + n));
    return reference_record(3, bytes);
  };
  // 0x4000 bytes are 546 records of 30 and one of 4; the block ends with
  // the 20 bytes from 0xFFFFFC.
  EXPECT_TRUE(out.starts_with(record(0x3FF0, 16) + record(0x4000, 30)));
  EXPECT_NE(out.find(record(0x7FFC, 4) + record(0x8000, 30)), std::string::npos);
  EXPECT_NE(out.find(record(0xBFFC, 4) + record(0xC000, 30)), std::string::npos);
  EXPECT_TRUE(out.ends_with(record(0xFFFFFC, 20)));
}

}  // namespace
}  // namespace zun::vlk::test
