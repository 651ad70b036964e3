// The listing file: the banner, one line per source line of pass 2 with its
// address and code bytes (six per line, continued on further lines), and the
// printed symbol table of -S.
#include "assembler/internal.h"
#include "common/format.h"

namespace zun::hasm {

namespace {

// Six byte columns of bytes [from, from+6): single bytes, or three words
// (high byte first, an odd last byte padded with 00) and three blanks.
void byte_columns(std::string& out, const std::vector<uint8_t>& bytes, size_t from, bool byte_mode) {
  if (byte_mode) {
    for (size_t i = from; i < from + 6; ++i)
      out += i < bytes.size() ? format(" %2.2X", bytes[i]) : std::string("   ");
    return;
  }
  for (size_t i = from; i < from + 6; i += 2) {
    if (i < bytes.size()) {
      unsigned low = i + 1 < bytes.size() ? bytes[i + 1] : 0;
      out += format(" %4.4X", (bytes[i] << 8) | low);
    } else {
      out += "     ";
    }
  }
  out += "   ";
}

}  // namespace

void list_line(Assembly& as) {
  LineState& l = as.line;
  if (!as.listing || !as.listing_enabled ||
      (!assembling(as) && !as.list_cond && !l.was_assembling)) {
    // The file header waits for the next line that is listed.
    if (l.file_changed_before) as.file_changed = true;
    return;
  }
  // A file left for this line is named before it; a file that this line
  // opened (an include) is named behind it.
  if (l.file_changed_before)
    as.listing->write(format("---- File: \"%s\"\n", as.current_path.c_str()));
  std::vector<uint8_t> shown;
  const std::vector<uint8_t>* bytes = &l.bytes;
  if (l.equ_value) {
    shown = {static_cast<uint8_t>(l.address >> 24), static_cast<uint8_t>(l.address >> 16),
             static_cast<uint8_t>(l.address >> 8), static_cast<uint8_t>(l.address)};
    bytes = &shown;
  }
  std::string out = (l.show_address && !l.equ_value) ? format("%4.4X", l.address) : "    ";
  byte_columns(out, *bytes, 0, l.byte_mode);
  out += format(" %4.1d.", as.running_line);
  out += " ";
  out += l.text;
  out += "\n";
  for (size_t from = 6; from < bytes->size(); from += 6) {
    out += "    ";
    byte_columns(out, *bytes, from, l.byte_mode);
    out += "\n";
  }
  as.listing->write(out);
  if (as.file_changed) {
    as.listing->write(format("---- File: \"%s\"\n", as.current_path.c_str()));
    as.file_changed = false;
  }
}

void list_banner(Assembly& as) {
  as.listing->write(format("%s - %s Relocating crossassembler, Version %s", ProgramName,
                           ProcessorName, Version));
  as.listing->write(format("\n%s\n\n", NoticeLine));
  as.listing->write(format("\nFile: %s\n", (as.base_name + ".lst").c_str()));
}

void list_symbol_header(Assembly& as) {
  if (as.listing)
    as.listing->write("\n--\tSYMBOL TABLE:\n--\tVALUE\tSYMBOL ");
  else
    as.report.out += "\n--\tSYMBOL TABLE:\n--\tVALUE   \tSYMBOL ";
}

void list_symbol(Assembly& as, const Symbol& s) {
  if (as.listing)
    as.listing->write(format("\n\t%4.4X\t%s", s.value, s.name.c_str()));
  else
    as.report.out += format("\t%4.4X\t%s", s.value, s.name.c_str());
}

}  // namespace zun::hasm
