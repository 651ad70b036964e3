// Motorola S-record lines as the linker writes them and the loaders read
// them: "S", the type digit, the count of the bytes that follow (address,
// data and checksum) as two hex digits, then those bytes. The checksum is
// the ones' complement of the low byte of the sum of the count, address and
// data bytes. A line is taken whole or refused with the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zun {

struct SRecord {
  char type = 0;  // '0'-'9'
  uint32_t address = 0;
  std::vector<uint8_t> data;
};

// Address digits of a record type: 4 for S0, S1, S5 and S9, 6 for S2, S6 and
// S8, 8 for S3 and S7; 0 for any other type.
size_t srecord_address_digits(char type);

// The record on `line` (without its line end; blanks after the checksum are
// allowed). Without a record, `reason` says what is wrong: "bad count" when
// the count does not cover the line exactly, "bad checksum", "odd length",
// "non-hex digits in the ...", "unknown record type 'S%c'" or "not an
// S-record".
std::optional<SRecord> read_srecord(std::string_view line, std::string& reason);

// Where a walk over a load file ended at fault: the line (counted from 1) and
// the reason; line 0 when it ended without one.
struct SRecordFault {
  int line = 0;
  std::string reason;
};

// Walks the records of a load file up to its debug records (the "SX" lines
// after the data), passing over blank lines and handing each record to
// `take`. `take` answers false to end the walk, and sets `reason` when it ends
// it because the record is at fault. A line longer than kMaxRecordLine or one
// that holds no record ends the walk at fault too.
SRecordFault walk_srecords(std::FILE* file, const std::function<bool(const SRecord&, std::string& reason)>& take);

}  // namespace zun
