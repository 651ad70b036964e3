// Motorola S-records of the load file: S0 header, S1/S2/S3 data records in
// the sizes and breaks the board's loaders expect, S9 with the entry; and the
// "_clean" copy for ROM code, which keeps only what goes into the ROM.
#include <cstdio>

#include "common/format.h"
#include "common/output_file.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

void SrecWriter::start(int type, uint32_t address) {
  if (type >= 0) type_ = type;
  address_bytes_ = type_ == 2 ? 3 : type_ == 3 ? 4 : 2;
  buffer_.clear();
  for (size_t i = address_bytes_; i-- > 0;) buffer_.push_back(static_cast<uint8_t>(address >> (8 * i)));
}

void SrecWriter::flush() {
  bool data_record = type_ >= 1 && type_ <= 3;
  if (data_record && buffer_.size() == address_bytes_) return;
  uint32_t count = static_cast<uint32_t>(buffer_.size()) + 1;
  uint32_t sum = count;
  std::string line = format("S%d%2.2X", type_, count);
  for (uint8_t byte : buffer_) {
    line += format("%2.2X", byte);
    sum += byte;
  }
  line += format("%2.2X\n", ~sum & 0xFFu);
  out_ += line;
  buffer_.resize(address_bytes_);
}

// S1 and S3 records stop at 32 and 30 data bytes and at the 16 KB borders
// that the board's monitor loads in separate blocks; S2 records only at 30.
void SrecWriter::add(uint8_t byte, uint32_t address) {
  if (type_ == 1 || type_ == 3) {
    if (buffer_.size() == 34 || address == 0x4000 || address == 0x8000 || address == 0xC000) {
      flush();
      start(-1, address);
    }
  } else if (buffer_.size() == 33) {
    flush();
    start(-1, address);
  }
  buffer_.push_back(byte);
}

void SrecWriter::header() {
  start(0, 0);
  flush();
}

void SrecWriter::data(const std::vector<uint8_t>& bytes, uint32_t address) {
  if (bytes.empty()) return;
  uint32_t last = address + static_cast<uint32_t>(bytes.size()) - 1;
  start(last < 0x10000 ? 1 : last < 0x1000000 ? 2 : 3, address);
  for (size_t i = 0; i < bytes.size(); ++i) add(bytes[i], address + static_cast<uint32_t>(i));
  flush();
}

void SrecWriter::end(uint32_t entry) {
  start(9, entry & 0xFFFF);
  flush();
}

uint32_t entry_address(Link& link) {
  if (!link.have_entry) return 0;
  Symbol* symbol = find_global(link, link.entry);
  if (!symbol) return 0;
  uint32_t value = symbol->segment ? symbol->segment->reloc_base + symbol->value : symbol->value;
  return value & 0xFFFF;
}

std::string clean_name(const std::string& output) {
  size_t dot = output.rfind('.');
  size_t sep = path_last_sep(output);
  std::string stem = output;
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) stem.resize(dot);
  return stem + "_clean.s19";
}

// Drops debug lines and the S1 records below 0x4000 (RAM on the board).
int write_clean_copy(Link& link, std::string_view content) {
  std::string name = clean_name(link.output);
  std::string out;
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) {
      print_out(link, "Error: Unexpected end of input line.\n");
      return 1;
    }
    std::string_view line(content.data() + pos, end - pos);
    pos = end + 1;
    if (line.empty() || line[0] != 'S' || line.starts_with("SX")) continue;
    if (line.starts_with("S1") && line.size() > 4 && line[4] < '4') continue;
    out.append(line);
    out += '\n';
  }
  std::string reason;
  if (!write_output_file(name, out, "vl", reason)) {
    print_out(link, format("Error: Unable to create output file '%s': %s\n", name.c_str(), reason.c_str()));
    return 1;
  }
  return 0;
}

}  // namespace zun::vlk
