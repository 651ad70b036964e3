// The program model as text, one item per line in model order: the entry
// and code range, modules, execution points, functions with their locals,
// globals and the type slots in use. Used by sld-dump and its tests; and the
// directory the sld tools run from.
#include "common/format.h"
#include "debugger/sld/sld.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace zun::sld {

namespace {

std::string point_text(const ExecPoint* p) {
  return p ? format("%4.4X:%u", p->address, p->line) : "-";
}

std::string type_text(const TypeTable& types, int id) {
  return format("%d \"%s\"", id, types.type_name(id).c_str());
}

void dump_types(const TypeTable& types, std::string& out) {
  std::multimap<int, std::string> names;
  for (const auto& [name, id] : types.user_names()) names.emplace(id, name);
  out += "types\n";
  for (int id = 0; id < kTypeSlots; ++id) {
    const TypeRecord* r = types.slot(id);
    if (!r) continue;
    out += format("  %d", id);
    if (id < kFirstUserType) out += format(" typ%d", id);
    auto [from, to] = names.equal_range(id);
    for (auto it = from; it != to; ++it) out += " " + it->second;
    out += format(" %c kind %d size %d", r->letter, types.type_kind(id), r->size);
    if (!r->module.empty()) out += " module " + r->module;
    if (r->letter == 'B') out += format(" bits %d:%d", r->bit_offset, r->bit_width);
    if (r->chain >= 0) out += format(" to %d", r->chain);
    if (r->alias >= 0) out += format(" alias %d", r->alias);
    if (r->is_union) out += " union";
    out += format(" \"%s\"\n", types.type_name(id).c_str());
    for (const TypeMember& m : r->members) {
      out += format("    %s at %d", m.name.c_str(), m.offset);
      if (m.is_bit_field()) out += format(" bits %d:%d of %d", m.bit_offset, m.bit_width, m.size);
      out += " type " + type_text(types, m.type) + "\n";
    }
  }
}

}  // namespace

std::string sld_dump_text(const Sld& sld) {
  const TypeTable& types = sld.types();
  std::string out;
  const DebugModule* em = sld.entry_module();
  out += format("entry %s %s\n", em ? em->name.c_str() : "-", point_text(sld.entry()).c_str());
  out += format("code %4.4X-%4.4X\n", sld.code_low(), sld.code_high());
  out += "modules\n";
  for (const auto& m : sld.modules())
    out += format("  %s %c lines %u %s %s\n", m->name.c_str(), m->language, m->line_count,
                  m->has_source ? "source" : "no-source", m->path.c_str());
  out += "points\n";
  for (const auto& m : sld.modules())
    for (const ExecPoint& p : m->points)
      out += format("  %s %u %u %4.4X\n", m->name.c_str(), p.line, p.number2, p.address);
  out += "functions\n";
  for (const auto& m : sld.modules()) {
    for (const DebugFunction& f : m->functions) {
      out += format("  %s %s %s lines %u-%u code %4.4X-%4.4X entry %s exit %s\n", m->name.c_str(),
                    f.name.c_str(), f.c_name.empty() ? "-" : f.c_name.c_str(), f.start_line,
                    f.end_line, f.start_address, f.end_address, point_text(f.entry_point).c_str(),
                    point_text(f.exit_point).c_str());
      for (const LocalSymbol& l : f.locals) {
        if (l.static_address)
          out += format("    static %s %4.4X type %s", l.name.c_str(), *l.static_address,
                        type_text(types, l.type).c_str());
        else
          out += format("    local %s %d type %s", l.name.c_str(), l.offset, type_text(types, l.type).c_str());
        if (l.block)
          out += format(" block %u,%u-%u,%u", l.block->first.line, l.block->first.column,
                        l.block->second.line, l.block->second.column);
        out += "\n";
      }
    }
  }
  out += "globals\n";
  for (const GlobalSymbol& g : sld.sld_globals()) {
    out += format("  %s %s %c %4.4X size %d type %s", g.name.c_str(), g.module.c_str(),
                  g.is_global ? 'G' : 'S', g.address, types.type_size(g.type),
                  type_text(types, g.type).c_str());
    out += g.function.empty() ? "\n" : " function " + g.function + "\n";
  }
  dump_types(types, out);
  return out;
}

std::string sld_program_dir(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  return self.parent_path().generic_string();
}

}  // namespace zun::sld
