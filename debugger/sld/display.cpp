// What the debugger windows read from the model: values of typed variables
// in target memory, the shown and the executing module, and the lines of the
// source window (the module's source, or the disassembly when it has none).
#include "debugger/sld/sld.h"

namespace zun::sld {

namespace {

uint32_t read_number(SldTarget* target, uint32_t address, int32_t size) {
  if (!target || (size != 1 && size != 2 && size != 4)) return 0;
  return target->target_read(address, size);
}

}  // namespace

// By base kind: a pointer gives the pointer and the value it points at, a
// structure only its address word, a floating value its 4 bytes, anything
// else its own size.
void Sld::sld_read_value(int type, SldValue& value, uint32_t address) {
  int32_t size = types_.type_size(type);
  switch (types_.type_kind(type)) {
    case KIND_POINTER:
      value.pointer = read_number(target_, address, 2);
      value.value = read_number(target_, value.pointer, size);
      break;
    case KIND_STRUCT:
      value.pointer = read_number(target_, address, 2);
      break;
    case KIND_FLOAT:
      value.value = read_number(target_, address, 4);
      break;
    default:
      value.value = read_number(target_, address, size);
      break;
  }
}

void Sld::sld_read_bytes8(SldValue& value, uint32_t address) {
  value.value = value.high = 0;
  for (int i = 0; i < 8; ++i) {
    uint32_t b = read_number(target_, address + static_cast<uint32_t>(i), 1) & 0xFF;
    (i < 4 ? value.value : value.high) |= b << (8 * (i % 4));
  }
}

void Sld::sld_write_value(int type, uint32_t address, uint32_t value) {
  int32_t size = types_.type_size(type);
  if (target_ && (size == 1 || size == 2 || size == 4)) target_->target_write(address, value, size);
}

int Sld::sld_module_is_asm() const { return shown_module_ && shown_module_->language == 'A'; }

uint32_t Sld::sld_shown_line_count() const { return shown_module_ ? shown_module_->line_count : 0; }

int Sld::sld_shown_is_exec() const { return shown_module_ && shown_module_ == exec_module_; }

void Sld::sld_set_exec_point(const ExecPoint* point) {
  if (exec_module_) exec_point_ = point;
}

void Sld::sld_show_module(DebugModule* module) {
  if (!module) module = exec_module_;
  if (module != shown_module_) {
    shown_module_ = module;
    host_.source_top_reset();
  }
}

void Sld::sld_show_file(const DebugModule* module) {
  if (!module || module->path == shown_path_) return;
  shown_path_ = module->path;
  shown_file_name_ = module->file_name;
  host_.source_top_reset();
}

int Sld::sld_line_has_point(uint32_t line) const {
  return shown_module_ && shown_module_->first_point_on_line(line) ? 1 : 0;
}

uint32_t Sld::sld_exec_line() const {
  if (shown_module_ && shown_module_ == exec_module_ && shown_module_->has_source && exec_point_)
    return exec_point_->line;
  return 1;
}

int Sld::sld_is_disassembly_view() const { return !shown_module_ || !shown_module_->has_source; }

void Sld::sld_lines_from(uint32_t line) {
  forward_ = backward_ = -1;
  disassembly_ = sld_is_disassembly_view();
  if (disassembly_) {
    disassembly_address_ = target_ ? target_->target_get_pc() : 0;
    return;
  }
  int count = static_cast<int>(shown_module_->lines.size());
  if (line >= 1 && static_cast<int64_t>(line) <= count) {
    forward_ = static_cast<int>(line) - 1;
    backward_ = forward_ - 1;
  }
}

bool Sld::sld_line_next(std::string& text) {
  if (disassembly_) {
    if (!target_) return false;
    text.clear();
    disassembly_address_ = target_->disassemble_line(disassembly_address_, text);
    return true;
  }
  if (!shown_module_ || forward_ < 0 || forward_ >= static_cast<int>(shown_module_->lines.size()))
    return false;
  text = shown_module_->lines[static_cast<size_t>(forward_++)].text;
  return true;
}

bool Sld::sld_line_prev(std::string& text) {
  if (disassembly_ || !shown_module_ || backward_ < 0 ||
      backward_ >= static_cast<int>(shown_module_->lines.size()))
    return false;
  text = shown_module_->lines[static_cast<size_t>(backward_--)].text;
  return true;
}

void Sld::sld_reset_display() {
  shown_module_ = nullptr;
  exec_module_ = nullptr;
  exec_point_ = nullptr;
  entry_module_ = nullptr;
}

}  // namespace zun::sld
