// Motorola S-records of the load file: S0 header, S1/S2/S3 data records in
// the sizes and breaks the board's loaders expect, S9 with the entry; and the
// "_clean" copy for ROM code, which keeps only what goes into the ROM.
#include <algorithm>

#include "common/format.h"
#include "common/output_file.h"
#include "common/path.h"
#include "linker/link.h"

namespace zun::vlk {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

char* put_hex(char* p, uint32_t byte) {
  p[0] = kHexDigits[(byte >> 4) & 15];
  p[1] = kHexDigits[byte & 15];
  return p + 2;
}

}  // namespace

// 'S', the type, the count, the address in the type's width, the data and
// the checksum, written straight into the output.
void SrecWriter::record(int type, uint32_t address, std::span<const uint8_t> data) {
  size_t address_bytes = type == 2 ? 3 : type == 3 ? 4 : 2;
  uint32_t count = static_cast<uint32_t>(address_bytes + data.size() + 1);
  uint32_t sum = count;
  size_t at = out_.size();
  out_.resize(at + 4 + 2 * count + 1);
  char* p = out_.data() + at;
  *p++ = 'S';
  *p++ = static_cast<char>('0' + type);
  p = put_hex(p, count);
  for (size_t i = address_bytes; i-- > 0;) {
    uint32_t byte = (address >> (8 * i)) & 0xFF;
    sum += byte;
    p = put_hex(p, byte);
  }
  for (uint8_t byte : data) {
    sum += byte;
    p = put_hex(p, byte);
  }
  p = put_hex(p, ~sum & 0xFF);
  *p = '\n';
}

void SrecWriter::header() { record(0, 0, {}); }

// S1 and S3 records stop at 32 and 30 data bytes and at the 16 KB borders
// that the board's monitor loads in separate blocks; S2 records only at 30.
// Addresses wrap in 32 bits, as the block's own address arithmetic does.
void SrecWriter::data(std::span<const uint8_t> bytes, uint32_t address) {
  if (bytes.empty()) return;
  uint32_t last = address + static_cast<uint32_t>(bytes.size()) - 1;
  int type = last < 0x10000 ? 1 : last < 0x1000000 ? 2 : 3;
  size_t limit = type == 1 ? 32 : 30;
  out_.reserve(out_.size() + 2 * bytes.size() + (bytes.size() / limit + 1) * 20);
  for (size_t done = 0; done < bytes.size();) {
    uint32_t at = address + static_cast<uint32_t>(done);
    size_t n = std::min(limit, bytes.size() - done);
    if (type != 2)
      for (uint32_t border : {0x4000u, 0x8000u, 0xC000u})
        if (uint32_t ahead = border - at; ahead != 0 && ahead < n) n = ahead;
    record(type, at, bytes.subspan(done, n));
    done += n;
  }
}

void SrecWriter::end(uint32_t entry) { record(9, entry & 0xFFFF, {}); }

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
