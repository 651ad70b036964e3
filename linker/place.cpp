// Segment placement: checks the script's memory, group and layout statements,
// then places every segment either by the script's groups and layout (when
// the scripts gave both) or by the default grouping, and builds the emission
// order that the S-record writer and the debug tail follow.
#include <algorithm>

#include "common/format.h"
#include "linker/link.h"

namespace zun::vlk {

std::string attribute_text(unsigned attributes) {
  std::string text;
  if (attributes & AttrE) text += " PAGED";
  if (attributes & AttrX) text += " CODE";
  if ((attributes & AttrR) && (attributes & AttrW)) text += " READ/WRITE";
  else if (attributes & AttrR) text += " READ ONLY";
  else if (attributes & AttrW) text += " WRITE-VOLATILE";
  return text;
}

namespace {

void check_script(Link& link) {
  std::stable_sort(link.memory.begin(), link.memory.end(),
                   [](const MemoryBlock& a, const MemoryBlock& b) { return a.start < b.start; });
  for (size_t i = 0; i + 1 < link.memory.size(); ++i) {
    const MemoryBlock& a = link.memory[i];
    const MemoryBlock& b = link.memory[i + 1];
    if (b.start < a.end) {
      warning(link, format("user defined memory images at lines %d and %d overlaps",
                           std::min(a.line, b.line), std::max(a.line, b.line)));
      link.overlapping = true;
    }
  }
  for (size_t i = 0; i < link.layout.size(); ++i)
    for (size_t j = i + 1; j < link.layout.size(); ++j) {
      const LayoutEntry& a = link.layout[i];
      const LayoutEntry& b = link.layout[j];
      if (a.start < b.end && b.start < a.end) {
        warning(link, format("memory layouts at lines %d and %d overlaps", a.line, b.line));
        link.overlapping = true;
      }
    }
  auto& groups = link.script_groups;
  for (size_t i = 0; i < groups.size(); ++i)
    for (size_t j = i + 1; j < groups.size(); ++j)
      if (equal_nocase(groups[i]->name, groups[j]->name))
        error(link, format("duplicate groupname '%s' at lines %d and %d", groups[j]->name.c_str(),
                           groups[i]->line, groups[j]->line));
  std::vector<const GroupMember*> members;
  for (auto& group : groups)
    for (const GroupMember& member : group->names) members.push_back(&member);
  for (size_t i = 0; i < members.size(); ++i)
    for (size_t j = i + 1; j < members.size(); ++j)
      if (equal_nocase(members[i]->name, members[j]->name))
        error(link, format("duplicate segment '%s' at lines %d and %d", members[j]->name.c_str(),
                           members[i]->line, members[j]->line));
}

Group* add_group(Link& link, const std::string& name, unsigned attributes) {
  link.groups.push_back(std::make_unique<Group>());
  Group* group = link.groups.back().get();
  group->name = name;
  group->attributes = attributes;
  return group;
}

void join(Group* group, Segment* segment) {
  segment->group = group;
  group->segments.push_back(segment);
}

void default_grouping(Link& link) {
  Group* text = add_group(link, "TEXTGROUP", AttrX);
  Group* constant = add_group(link, "CONSTGROUP", AttrC);
  Group* data = add_group(link, "DATAGROUP", AttrR);
  Group* bss = add_group(link, "BSSGROUP", AttrW);
  int unnamed = 0;
  for (auto& owned : link.segments) {
    Segment* segment = owned.get();
    const std::string& name = segment->name;
    Group* group = nullptr;
    if (equal_nocase(name, "dpg") || equal_nocase(name, "bss")) {
      segment->attributes = AttrW;
      group = bss;
    } else if (equal_nocase(name, "abs")) {
      segment->attributes = AttrC;
      segment->follows = nullptr;
      group = constant;
    } else if (equal_nocase(name, "data")) {
      segment->attributes = AttrR;
      group = data;
    } else if (equal_nocase(name, "text") || equal_nocase(name, "cdata")) {
      segment->attributes = AttrX;
      group = text;
    } else {
      segment->attributes = AttrX;
      if (!segment->follows) group = add_group(link, format("UGROUP%d", unnamed++), AttrX);
    }
    if (!segment->follows) join(group, segment);
  }
  for (auto& segment : link.segments) {
    if (!segment->follows) continue;
    if (Group* group = segment->follows->group) {
      join(group, segment.get());
    } else {
      warning(link, format("segment '%s' following '%s' was not inserted", segment->name.c_str(),
                           segment->follows->name.c_str()));
    }
  }
}

uint32_t group_end(const Group& group) { return group.base + group.size; }

void default_placement(Link& link) {
  bool unbased = false;
  for (auto& group : link.groups) {
    if (group->attributes & AttrC) continue;
    for (Segment* segment : group->segments) {
      group->size += segment->size;
      if (segment->address == kUnset) continue;
      if (group->first)
        error(link, format("multiple base addresses within group '%s' ", group->name.c_str()));
      group->first = segment;
      group->base = segment->address;
    }
    if (!group->first && !group->segments.empty()) unbased = true;
  }
  if (unbased) {
    for (auto& group : link.groups) {
      if ((group->attributes & AttrC) || group->first || group->segments.empty()) continue;
      bool any = false;
      int32_t highest = 0;
      for (auto& other : link.groups) {
        if ((other->attributes & AttrC) || !other->first) continue;
        int32_t end = static_cast<int32_t>(group_end(*other));
        if (!any || end > highest) highest = end;
        any = true;
      }
      group->base = any ? static_cast<uint32_t>(highest) : 0;
      group->first = group->segments.front();
    }
  }
  for (auto& group : link.groups) {
    if ((group->attributes & AttrC) || !group->first) continue;
    Segment* first = group->first;
    first->address = group->base;
    link.emission.push_back(first);
    uint32_t next = first->address + first->size;
    for (Segment* segment : group->segments) {
      if (segment == first) continue;
      segment->address = next;
      next += segment->size;
      link.emission.push_back(segment);
    }
  }
}

void layout_placement(Link& link) {
  for (auto& group : link.script_groups) {
    for (const GroupMember& member : group->names) {
      Segment* segment = find_segment(link, member.name);
      if (!segment) {
        if (link.verbose)
          warning(link, format("segment '%s' defined in group '%s' is empty", member.name.c_str(),
                               group->name.c_str()));
        continue;
      }
      if (segment->group)
        fatal(link, format("segment '%s' defined in multiple groups", segment->name.c_str()));
      if (segment->address != kUnset)
        warning(link, format("segment '%s' has a defined base that was modified",
                             segment->name.c_str()));
      segment->attributes = group->attributes;
      segment->group_offset = group->size;
      segment->assigned = true;
      group->size += segment->size;
      join(group.get(), segment);
    }
  }
  for (LayoutEntry& entry : link.layout) {
    if (!entry.group) {
      error(link, format("group '%s' referenced in layout at line %d is not defined",
                         entry.group_name.c_str(), entry.line));
      continue;
    }
    Group& group = *entry.group;
    group.base = entry.start;
    group.in_layout = true;
    uint32_t room = entry.end - entry.start + 1;
    if (group.size > room)
      warning(link, format("group '%s' exceed size in layout at line %d, requested size:%8.8X, "
                           "restricted to:%8.8X in layout",
                           group.name.c_str(), entry.line, group.size, room));
  }
  for (auto& group : link.script_groups) {
    if (group->in_layout || (group->attributes & AttrC)) continue;
    group->base = 0;
    warning(link, format("group '%s' is not placed by any layout, base 0 assumed",
                         group->name.c_str()));
  }
  std::vector<Group*> by_base;
  for (auto& group : link.script_groups) {
    if (group->attributes & AttrC) continue;
    for (Segment* segment : group->segments)
      segment->address = segment->reloc_base = group->base + segment->group_offset;
    by_base.push_back(group.get());
  }
  std::stable_sort(by_base.begin(), by_base.end(),
                   [](const Group* a, const Group* b) { return a->base < b->base; });
  for (size_t i = 0; i + 1 < by_base.size(); ++i)
    if (group_end(*by_base[i]) > by_base[i + 1]->base) {
      warning(link, format("groups '%s' and '%s' overlaps at:%8.8X", by_base[i]->name.c_str(),
                           by_base[i + 1]->name.c_str(), by_base[i + 1]->base));
      link.overlapping = true;
    }
  for (auto& segment : link.segments)
    if (segment->size != 0 && !segment->assigned)
      error(link, format("segment '%s' has code/data (size:0x%8.8X), but is not assigned to any group",
                         segment->name.c_str(), segment->size));
  for (auto& group : link.script_groups) {
    if (group->attributes & AttrC) continue;
    if (link.rom_code && !link.debug && (group->attributes & AttrW)) continue;
    for (Segment* segment : group->segments) link.emission.push_back(segment);
  }
  link.groups = std::move(link.script_groups);
}

}  // namespace

int place_segments(Link& link) {
  long errors_before = link.errors;
  check_script(link);
  if (link.errors != errors_before) return static_cast<int>(link.errors - errors_before);
  for (LayoutEntry& entry : link.layout)
    for (auto& group : link.script_groups)
      if (equal_nocase(group->name, entry.group_name)) entry.group = group.get();
  if (link.have_groups && link.have_layout) {
    layout_placement(link);
  } else {
    if (link.have_groups) warning(link, "command line options obeyed, group definition(s) ignored");
    if (link.have_layout) warning(link, "command line options obeyed, layout definition ignored");
    default_grouping(link);
    long before_default = link.errors;
    default_placement(link);
    // Its errors are counted, but the default placement itself never fails.
    errors_before += link.errors - before_default;
  }
  for (auto& segment : link.segments) {
    if (segment->address != kUnset) segment->reloc_base = segment->address;
    // Constants ("abs") that no -R option places are absolute values.
    else if (equal_nocase(segment->name, "abs") || (segment->group && (segment->group->attributes & AttrC)))
      segment->reloc_base = 0;
  }
  return static_cast<int>(link.errors - errors_before);
}

}  // namespace zun::vlk
