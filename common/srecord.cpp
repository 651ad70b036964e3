// Checking and decoding one S-record line; see srecord.h.
#include "common/srecord.h"

#include "common/format.h"
#include "common/line_reader.h"
#include "common/number.h"

namespace zun {

namespace {

// The byte of the two hex digits at `pos`, or nothing.
std::optional<uint8_t> byte_at(std::string_view line, size_t pos) {
  int high = hex_digit(line[pos]), low = hex_digit(line[pos + 1]);
  if (high < 0 || low < 0) return std::nullopt;
  return uint8_t(high << 4 | low);
}

}  // namespace

size_t srecord_address_digits(char type) {
  switch (type) {
    case '0': case '1': case '5': case '9': return 4;
    case '2': case '6': case '8': return 6;
    case '3': case '7': return 8;
    default: return 0;
  }
}

std::optional<SRecord> read_srecord(std::string_view line, std::string& reason) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.size() < 2 || line[0] != 'S') {
    reason = "not an S-record";
    return std::nullopt;
  }
  const size_t digits = srecord_address_digits(line[1]);
  if (digits == 0) {
    reason = format("unknown record type 'S%c'", line[1]);
    return std::nullopt;
  }
  if (line.size() < 4) {
    reason = "the line ends inside the count";
    return std::nullopt;
  }
  auto count = byte_at(line, 2);
  if (!count) {
    reason = "non-hex digits in the count";
    return std::nullopt;
  }
  // The count places the checksum: a line longer or shorter than it says
  // would lose a data byte or take the checksum for one.
  if (line.size() % 2) {
    reason = "odd length";
    return std::nullopt;
  }
  if (line.size() != 4 + 2 * size_t(*count) || *count < digits / 2 + 1) {
    reason = "bad count";
    return std::nullopt;
  }
  SRecord r;
  r.type = line[1];
  unsigned sum = *count;
  const size_t checksum_pos = line.size() - 2;
  for (size_t pos = 4; pos < checksum_pos; pos += 2) {
    auto b = byte_at(line, pos);
    if (!b) {
      reason = pos < 4 + digits ? "non-hex digits in the address" : "non-hex digits in the data";
      return std::nullopt;
    }
    sum += *b;
    if (pos < 4 + digits)
      r.address = r.address << 8 | *b;
    else
      r.data.push_back(*b);
  }
  auto checksum = byte_at(line, checksum_pos);
  if (!checksum) {
    reason = "non-hex digits in the checksum";
    return std::nullopt;
  }
  if (uint8_t(~sum) != *checksum) {
    reason = "bad checksum";
    return std::nullopt;
  }
  return r;
}

SRecordFault walk_srecords(std::FILE* file, const std::function<bool(const SRecord&, std::string& reason)>& take) {
  std::string line, reason;
  int number = 0;
  for (LineStatus status; (status = read_line(file, line, kMaxRecordLine)) != LineStatus::End;) {
    ++number;
    if (status == LineStatus::TooLong) return {number, format("the line is longer than %zu characters", kMaxRecordLine)};
    if (line.empty()) continue;
    if (line.size() >= 2 && line[0] == 'S' && line[1] == 'X') break;
    std::optional<SRecord> record = read_srecord(line, reason);
    if (record && take(*record, reason)) continue;
    if (!record || !reason.empty()) return {number, reason};
    break;
  }
  return {};
}

}  // namespace zun
