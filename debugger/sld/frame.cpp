// The frame base of a C function: S at its statement points, where the
// compiler keeps nothing pushed and from where the offsets of its locals
// count. Within a line S lies lower by what the line pushed (the arguments of
// a call that has just returned, temporaries), and in the prologue and the
// epilogue higher; how far is found by following the function's code, as the
// MC6809 would run it, from its entry to the PC. Also the calls a function
// makes directly.
#include "debugger/sld/sld.h"

#include <algorithm>
#include <map>
#include <vector>

namespace zun::sld {

namespace {

// What one instruction does to S and where control goes on.
struct Flow {
  uint32_t next = 0;                // the instruction behind it
  bool falls = true;                // control reaches `next`
  std::optional<uint32_t> target;   // a branch or jump target
  int32_t pushed = 0;               // bytes S moves down
  bool lost = false;                // S changes in a way the code does not tell
};

int32_t signed8(uint32_t v) { return static_cast<int8_t>(v); }
int32_t signed16(uint32_t v) { return static_cast<int16_t>(v); }

// The offset LEAS adds to S, from its indexed post byte; none for a form
// not relative to S (LEAS n,X) or not constant.
std::optional<int32_t> leas_offset(SldTarget& t, uint32_t at) {
  uint32_t post = t.target_read(at + 1, 1);
  if (((post >> 5) & 3) != 3) return std::nullopt;  // the register is not S
  if (!(post & 0x80)) return static_cast<int32_t>(post & 0x1F) - ((post & 0x10) ? 32 : 0);
  if (post & 0x10) return std::nullopt;  // indirect
  switch (post & 0x0F) {
    case 0x4: return 0;
    case 0x8: return signed8(t.target_read(at + 2, 1));
    case 0x9: return signed16(t.target_read(at + 2, 2));
    default: return std::nullopt;
  }
}

// Bytes an indexed operand moves S down by auto-decrement (,-S ,--S) or up
// by auto-increment (,S+ ,S++): the compiler pops a pushed operand so
// (ADDD ,S++). Zero for every other operand.
int32_t indexed_pushed(uint32_t post) {
  if (!(post & 0x80) || ((post >> 5) & 3) != 3) return 0;
  switch (post & 0x0F) {
    case 0x0: return -1;
    case 0x1: return -2;
    case 0x2: return 1;
    case 0x3: return 2;
    default: return 0;
  }
}

// Whether an opcode (of page 1, or behind a 0x10 or 0x11 prefix) takes an
// indexed operand.
bool indexed_opcode(uint32_t op) {
  return (op & 0xF0) == 0x60 || (op & 0xF0) == 0xA0 || (op & 0xF0) == 0xE0 || (op >= 0x30 && op <= 0x33);
}

// Transfers that load S from elsewhere: TFR r,S; EXG with S.
bool loads_s(uint32_t op, uint32_t post) {
  if (op == 0x1F) return (post & 0x0F) == 4;
  return op == 0x1E && ((post & 0x0F) == 4 || (post >> 4) == 4);
}

Flow decode(SldTarget& t, uint32_t at) {
  Flow f;
  std::string text;
  f.next = t.disassemble_line(at, text) & 0xFFFF;
  uint32_t op = t.target_read(at, 1);
  if (op == 0x10 || op == 0x11) {
    uint32_t op2 = t.target_read(at + 1, 1);
    if (op == 0x10 && op2 >= 0x21 && op2 <= 0x2F) {  // long conditional branches
      if (op2 != 0x21) f.target = (f.next + signed16(t.target_read(at + 2, 2))) & 0xFFFF;
    } else if (op == 0x10 && (op2 == 0xCE || op2 == 0xDE || op2 == 0xEE || op2 == 0xFE)) {
      f.lost = true;  // LDS
    } else if (indexed_opcode(op2)) {
      f.pushed = indexed_pushed(t.target_read(at + 2, 1));  // CMPD ,S++
    }
    return f;
  }
  switch (op) {
    case 0x20:  // BRA
      f.falls = false;
      [[fallthrough]];
    case 0x22: case 0x23: case 0x24: case 0x25: case 0x26: case 0x27: case 0x28:
    case 0x29: case 0x2A: case 0x2B: case 0x2C: case 0x2D: case 0x2E: case 0x2F:
      f.target = (f.next + signed8(t.target_read(at + 1, 1))) & 0xFFFF;
      break;
    case 0x16:  // LBRA
      f.falls = false;
      f.target = (f.next + signed16(t.target_read(at + 1, 2))) & 0xFFFF;
      break;
    case 0x7E:  // JMP extended
      f.falls = false;
      f.target = t.target_read(at + 1, 2);
      break;
    case 0x0E:  // JMP direct, JMP indexed: where to is not known here
    case 0x6E:
    case 0x39:  // RTS, RTI
    case 0x3B:
      f.falls = false;
      break;
    case 0x34:  // PSHS
      f.pushed = stacked_bytes(t.target_read(at + 1, 1));
      break;
    case 0x35: {  // PULS; with PC it returns
      uint32_t post = t.target_read(at + 1, 1);
      f.pushed = -stacked_bytes(post);
      f.falls = !(post & 0x80);
      break;
    }
    case 0x32:  // LEAS
      if (auto offset = leas_offset(t, at))
        f.pushed = -*offset;
      else
        f.lost = true;
      break;
    case 0x1E:
    case 0x1F:
      f.lost = loads_s(op, t.target_read(at + 1, 1));
      break;
    default:
      // Calls return with S as it was; other instructions move it only
      // through an indexed operand (LEAS is above: it loads S).
      if (indexed_opcode(op)) f.pushed = indexed_pushed(t.target_read(at + 1, 1));
      break;
  }
  return f;
}

}  // namespace

int32_t stacked_bytes(uint32_t post) {
  int32_t n = 0;
  for (int bit = 0; bit < 8; ++bit)
    if (post & (1u << bit)) n += bit < 4 ? 1 : 2;
  return n;
}

FrameDepths frame_depths(SldTarget& target, const DebugModule& m, const DebugFunction& f) {
  std::vector<uint32_t> points;
  for (const ExecPoint& p : m.points)
    if (p.address > f.start_address && p.address < f.end_address) points.push_back(p.address);
  std::sort(points.begin(), points.end());
  auto is_point = [&](uint32_t a) { return std::binary_search(points.begin(), points.end(), a); };
  // Bytes pushed since the entry, per instruction reached.
  FrameDepths pushed;
  std::optional<int32_t> frame;  // at the statement points
  std::vector<std::pair<uint32_t, int32_t>> work{{f.start_address, 0}};
  for (int round = 0; round < 2; ++round) {
    while (!work.empty()) {
      auto [at, depth] = work.back();
      work.pop_back();
      if (at < f.start_address || at >= f.end_address) continue;
      auto [it, fresh] = pushed.emplace(at, depth);
      // Paths that meet with different depths: not code to trust here.
      if (!fresh) {
        if (it->second != depth) return {};
        continue;
      }
      if (is_point(at)) {
        if (frame && *frame != depth) return {};
        frame = depth;
      }
      Flow flow = decode(target, at);
      if (flow.lost) continue;
      if (flow.target) work.emplace_back(*flow.target, depth + flow.pushed);
      if (flow.falls && flow.next > at) work.emplace_back(flow.next, depth + flow.pushed);
    }
    // Code reached only through a jump table begins at a statement point.
    if (!frame) return {};
    for (uint32_t a : points) work.emplace_back(a, *frame);
  }
  for (auto& [at, depth] : pushed) depth -= *frame;
  return pushed;
}

std::vector<uint32_t> direct_calls(SldTarget& target, const DebugFunction& f) {
  std::vector<uint32_t> calls;
  std::string text;
  for (uint32_t at = f.start_address; at < f.end_address;) {
    uint32_t next = target.disassemble_line(at, text) & 0xFFFF;
    switch (target.target_read(at, 1)) {
      case 0xBD: calls.push_back(target.target_read(at + 1, 2)); break;  // JSR extended
      case 0x8D: calls.push_back((next + signed8(target.target_read(at + 1, 1))) & 0xFFFF); break;
      case 0x17: calls.push_back((next + signed16(target.target_read(at + 1, 2))) & 0xFFFF); break;
      default: break;
    }
    if (next <= at) break;
    at = next;
  }
  return calls;
}

}  // namespace zun::sld
