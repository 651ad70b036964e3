// The symbol table: one record per name, kept in 256 buckets by the 8-bit sum
// of the name (the order of the global-symbol records and of the printed
// table) and indexed by name for lookup. Holds the pass rules of labels and
// declarations and the conversions between the passes.
#include "assembler/internal.h"
#include "common/format.h"

namespace zun::hasm {

namespace {

unsigned bucket_of(std::string_view name) {
  unsigned sum = 0;
  for (char c : name) sum += static_cast<unsigned char>(c);
  return sum & 0xFF;
}

bool only_referenced(const Symbol& s) {
  return (s.flags & SymUndefined) && !(s.flags & SymDefined);
}

std::string current_module_for_symbol(const Assembly& as) {
  return as.compiler_output ? as.module_name : as.current_module;
}

void take_definition(Assembly& as, Symbol& s, uint32_t value) {
  // A name tested by #ifdef before this definition is a label, not a
  // '#define' constant that the next pass must define again.
  s.flags = (s.flags & ~(SymUndefined | SymPpDefine)) | SymDefined;
  s.value = value;
  s.first_line = as.running_line;
  s.segment = as.current;
}

}  // namespace

std::string fold_name(const Assembly& as, std::string_view name) {
  std::string folded(name);
  if (!as.opt.case_sensitive)
    for (char& c : folded)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return folded;
}

Symbol* find_symbol(Assembly& as, std::string_view name) {
  if (!as.opt.case_sensitive) {
    auto it = as.symbol_index.find(fold_name(as, name));
    return it == as.symbol_index.end() ? nullptr : it->second;
  }
  auto it = as.symbol_index.find(name);
  return it == as.symbol_index.end() ? nullptr : it->second;
}

Symbol* enter_symbol(Assembly& as, std::string_view name, uint32_t value, int line, uint32_t flags,
                     int size) {
  std::string folded = fold_name(as, name);
  if (as.symbol_index.count(folded)) {
    error(as, "(F1024)");
    return as.symbol_index[folded];
  }
  Symbol& s = as.symbol_store.emplace_back();
  s.name = folded;
  s.flags = flags;
  s.first_line = line;
  s.value = value;
  s.segment = (flags & SymExternal) ? nullptr : as.current;
  s.size = size;
  s.file = as.current_path;
  as.buckets[bucket_of(s.name)].push_back(&s);
  as.symbol_index.emplace(s.name, &s);
  return &s;
}

Symbol* reference_symbol(Assembly& as, std::string_view name) {
  Symbol* s = find_symbol(as, name);
  if (!s) s = enter_symbol(as, name, 0, 0, SymUndefined, 0);
  return s;
}

Symbol* define_label(Assembly& as, std::string_view name, uint32_t value, bool phase_check) {
  Symbol* s = find_symbol(as, name);
  if (as.pass == 1) {
    if (!s) {
      return enter_symbol(as, name, value, as.running_line, SymDefined, 0);
    }
    if (s->flags & SymMultiple) return s;
    if (s->flags & (SymDefined | SymExternal)) {
      s->flags |= SymMultiple;
    } else if (only_referenced(*s)) {
      take_definition(as, *s, value);
    } else if (s->flags & (SymGlobal | SymEntry | SymExit)) {
      take_definition(as, *s, value);
    } else {
      error(as, "(F1023)");
    }
    return s;
  }
  if (!s) return nullptr;  // pass 1 always enters it
  if (s->first_line == 0) s->first_line = as.running_line;
  if (s->flags & SymMultiple) {
    if (s->first_line != as.running_line) error(as, "Multiple definition");
    return s;
  }
  if (phase_check && !(s->flags & SymConstant) && s->value != value) {
    if (!as.phase_error_reported) {
      error(as, "Phase error between passes");
      as.phase_error_reported = true;
    } else {
      as.silenced = true;
    }
    s->value = value;
    return s;
  }
  s->module = current_module_for_symbol(as);
  return s;
}

void declare_symbol(Assembly& as, std::string_view name, Declare kind) {
  Symbol* s = reference_symbol(as, name);
  uint32_t flag = kind == Declare::External ? SymExternal
                  : kind == Declare::Global ? SymGlobal
                  : kind == Declare::Entry  ? SymEntry
                                            : SymExit;
  if (as.pass == 1) {
    if ((kind == Declare::Entry || kind == Declare::Exit) && (s->flags & flag))
      s->flags |= SymMultiple;
    else
      s->flags |= flag;
    return;
  }
  if (s->flags & SymMultiple) {
    error(as, "Illegal redeclaration");
    return;
  }
  switch (kind) {
    case Declare::External:
      s->segment = nullptr;
      break;
    case Declare::Global:
      if ((s->flags & (SymDefined | SymGlobal)) != (SymDefined | SymGlobal))
        error(as, "Undefined global symbol");
      break;
    case Declare::Entry:
    case Declare::Exit:
      if (!(s->flags & flag)) error(as, "Ambigious declaration");
      break;
  }
}

void symbols_between_passes(Assembly& as) {
  for (Symbol& s : as.symbol_store) {
    if (s.flags & SymPpDefine) s.flags = (s.flags & ~SymDefined) | SymUndefined;
  }
}

void make_undefined_external(Assembly& as) {
  for (Symbol& s : as.symbol_store) {
    if (only_referenced(s) && !(s.flags & SymPpDefine)) {
      s.flags = (s.flags & ~SymUndefined) | SymExternal;
      s.segment = nullptr;
    }
  }
}

void write_global_symbols(Assembly& as, std::string& out) {
  if (as.opt.externals) make_undefined_external(as);
  if (as.opt.symbol_table) list_symbol_header(as);
  for (const auto& bucket : as.buckets) {
    for (Symbol* s : bucket) {
      if ((s->flags & SymGlobal) && (s->flags & SymDefined) && s->segment) {
        out.append(format("G:%s:%s:%8.8X:%s\n", s->segment->name.c_str(), as.module_name.c_str(),
                         s->value, s->name.c_str()));
      }
      if (as.opt.symbol_table) list_symbol(as, *s);
    }
  }
}

void end_of_run_debug(Assembly& as) {
  if (!as.compiler_output) debug_type_records(as);
  for (const auto& bucket : as.buckets) {
    for (Symbol* s : bucket) {
      if (s->flags & SymExternal) continue;
      const char* seg = s->segment ? s->segment->name.c_str() : "";
      if (s->flags & SymEntry) {
        as.debug_records.append(format("SY:A:F:%s:%s:%s:%8.8X:%d\n", s->module.c_str(), seg,
                                      s->name.c_str(), s->value, s->first_line));
        if (!(s->flags & SymExit))
          warning_at(as, s->file, s->first_line,
                     format("Function '%s' has no exit definition", s->name.c_str()));
      }
      if (s->flags & SymExit) {
        as.debug_records.append(format("SY:A:E:%s:%s:%s:%X:%d\n", s->module.c_str(), seg,
                                      s->name.c_str(), s->exit_value, s->exit_line));
        if (!(s->flags & SymEntry))
          warning_at(as, s->file, s->exit_line,
                     format("Function '%s' has no entry definition", s->name.c_str()));
      }
      if (!(s->flags & (SymEntry | SymExit)) && !as.compiler_output &&
          (s->size > 0 || (s->flags & SymConstant)) && (s->flags & SymDefined)) {
        debug_data_symbol(as, *s);
      }
    }
  }
}

}  // namespace zun::hasm
