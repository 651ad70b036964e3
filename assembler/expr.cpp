// Expressions: the token scanner, the syntax check that names the column of a
// fault, and the evaluator with its unusual grouping. Operand expressions also
// work out what the linker must add: every value carries the symbols it still
// depends on, so that differences of one segment cancel and anything else that
// is not "constant plus one symbol" is refused.
#include <algorithm>
#include <cstring>

#include "assembler/internal.h"
#include "common/format.h"

namespace zun::hasm {

namespace {

using Tok = ExprTok;
using Op = ExprOp;
using Token = ExprToken;

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alnum_(char c) { return is_letter(c) || is_digit(c) || c == '_'; }
bool is_symbol_char(char c) { return is_alnum_(c) || c == '$' || c == '.'; }

// Characters that could go on with a token: a number ends before anything else.
bool continues_token(char c) {
  return c == '"' || c == '#' || c == '$' || c == '\'' || is_digit(c) || c == '?' || c == '@' ||
         is_letter(c) || c == '\\' || c == '_' || c == '`' || c == 0x7F;
}

bool is_multiplicative(Op op) { return op == Op::Mul || op == Op::Div || op == Op::Mod; }

// One linear term of a value: a defined symbol's segment (differences of one
// segment cancel) or an undefined/external symbol. coeff counts how often it is added.
struct Term {
  Segment* segment;
  Symbol* symbol;   // key for symbols without a segment
  Symbol* plus;     // a symbol of this term that was added (relocation target)
  Symbol* minus;    // a symbol of this term that was subtracted
  int coeff;
  bool soft;        // only the location counter: a plain number where it cannot be relocated
};

struct Value {
  uint32_t n = 0;
  std::vector<Term> terms;
  bool nonlinear = false;  // a relocatable symbol was used under another operator
};

// The state of one evaluation.
struct Eval {
  Assembly& as;
  std::vector<Token>& toks;  // the run's token buffer, reused from line to line
  size_t i = 0;
  bool absolute = false;  // the absolute evaluator: symbols simply add their values
  bool failed = false;
  bool uses_symbol = false;
  int not_absolute = 0;
  int symbol_count = 0;
  Symbol* undefined = nullptr;  // last undefined or forward symbol met
  Symbol* missing = nullptr;    // last symbol that is only referenced
  bool unresolved = false;      // an import or a symbol never defined
  bool zeroed = false;          // a remainder by zero: the whole value is 0
  const char* line_start;

  explicit Eval(Assembly& a) : as(a), toks(a.expr_tokens), line_start(a.line.text.c_str()) {}
};

void add_terms(Value& v, const Value& r, int sign) {
  for (const Term& t : r.terms) {
    Term* found = nullptr;
    for (Term& u : v.terms)
      if (u.segment == t.segment && (t.segment != nullptr || u.symbol == t.symbol)) found = &u;
    Symbol* plus = sign > 0 ? t.plus : t.minus;
    Symbol* minus = sign > 0 ? t.minus : t.plus;
    if (!found) {
      v.terms.push_back({t.segment, t.symbol, plus, minus, sign * t.coeff, t.soft});
    } else {
      found->coeff += sign * t.coeff;
      if (plus) found->plus = plus;
      if (minus) found->minus = minus;
      found->soft = found->soft && t.soft;
    }
  }
  std::erase_if(v.terms, [](const Term& t) { return t.coeff == 0; });
  v.nonlinear = v.nonlinear || r.nonlinear;
}

void report(Eval& ev, const char* text, int column) {
  if (ev.failed) return;
  ev.failed = true;
  error(ev.as, format("%s, Position[%d]", text, column));
}

void report_plain(Eval& ev, const std::string& text) {
  if (ev.failed) return;
  ev.failed = true;
  error(ev.as, text);
}

// Number behind its radix prefix; p points at the first digit position.
const char* scan_digits(Eval& ev, const char* p, int radix, uint32_t& value) {
  static constexpr const char* Messages[] = {"Illegal binary digit", "Illegal octal digit",
                                             "Illegal decimal digit",
                                             "Illegal hexadecimal digit"};
  int which = radix == 2 ? 0 : radix == 8 ? 1 : radix == 10 ? 2 : 3;
  value = 0;
  bool bad = false;
  for (; continues_token(*p); ++p) {
    char c = *p;
    int d = is_digit(c) ? c - '0'
            : (c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                     : 99;
    if (d >= radix) {
      bad = true;
      continue;
    }
    value = value * static_cast<uint32_t>(radix) + static_cast<uint32_t>(d);
  }
  if (bad) report_plain(ev, Messages[which]);
  return p;
}

// Scans one token at p (with operator recognition); returns the position behind it.
const char* scan_token(Eval& ev, const char* p, Tok previous, Token& t) {
  t = Token{};
  t.column = static_cast<int>(p - ev.line_start);
  int reg_length = 0;
  if (register_at(p, &reg_length) >= 0) {
    t.kind = Tok::Register;
    return p + reg_length;
  }
  auto two = [&](const char* s) { return p[0] == s[0] && p[1] == s[1]; };
  static constexpr struct { const char* text; Op op; } Pairs[] = {
      {"==", Op::Eq}, {"!=", Op::Ne}, {"<=", Op::Le}, {">=", Op::Ge}, {"||", Op::LogOr},
      {"&&", Op::LogAnd}, {"<<", Op::Shl}, {">>", Op::Shr}, {"%%", Op::Mod}};
  for (const auto& pair : Pairs) {
    if (two(pair.text)) {
      t.kind = Tok::Op;
      t.op = pair.op;
      return p + 2;
    }
  }
  switch (*p) {
    case '!': t.kind = Tok::Op; t.op = Op::Not; return p + 1;
    case '&': t.kind = Tok::Op; t.op = Op::And; return p + 1;
    case '+': t.kind = Tok::Op; t.op = Op::Add; return p + 1;
    case '-': t.kind = Tok::Op; t.op = Op::Sub; return p + 1;
    case '/': t.kind = Tok::Op; t.op = Op::Div; return p + 1;
    case '^': t.kind = Tok::Op; t.op = Op::Xor; return p + 1;
    case '|': t.kind = Tok::Op; t.op = Op::Or; return p + 1;
    case '~': t.kind = Tok::Op; t.op = Op::Compl; return p + 1;
    case '(': t.kind = Tok::LParen; return p + 1;
    case ')': t.kind = Tok::RParen; return p + 1;
    case '.': t.kind = Tok::Loc; return p + 1;
    case '*':
      if (previous == Tok::Number || previous == Tok::Symbol || previous == Tok::Loc ||
          previous == Tok::RParen) {
        t.kind = Tok::Op;
        t.op = Op::Mul;
      } else {
        t.kind = Tok::Loc;
      }
      return p + 1;
    default: break;
  }
  if (p[0] == '\'' && p[1] != '\0') {
    if (p[2] == '\'') {
      t.kind = Tok::Number;
      t.value = static_cast<uint8_t>(p[1]);
      return p + 3;
    }
    if (ev.as.tsc) {
      t.kind = Tok::Number;
      t.value = static_cast<uint8_t>(p[1]);
      return p + 2;
    }
  }
  int radix = 0;
  const char* digits = p;
  if (p[0] == '$') { radix = 16; digits = p + 1; }
  else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) { radix = 16; digits = p + 2; }
  else if (p[0] == '%') { radix = 2; digits = p + 1; }
  else if (p[0] == '@') { radix = 8; digits = p + 1; }
  else if (is_digit(p[0])) { radix = 10; }
  if (radix != 0) {
    if (digits != p)
      while (*digits == ' ' || *digits == '\t') ++digits;
    t.kind = Tok::Number;
    return scan_digits(ev, digits, radix, t.value);
  }
  if (is_letter(p[0]) || p[0] == '_') {
    const char* q = p + 1;
    while (is_symbol_char(*q)) ++q;
    t.kind = Tok::Symbol;
    t.name = std::string_view(p, static_cast<size_t>(q - p));
    return q;
  }
  t.kind = Tok::Other;
  return p;
}

// Scans and checks the expression at pos; tokens land in ev.toks. Returns the
// position of the character that ended the expression.
const char* scan_and_check(Eval& ev, const char* pos) {
  enum { Start, AfterOperand, AfterOperator } state = Start;
  int depth = 0;
  Tok previous = Tok::Other;
  const char* p = pos;
  for (;;) {
    Token t;
    const char* next = scan_token(ev, p, previous, t);
    if (ev.failed) return p;
    switch (t.kind) {
      case Tok::Register:
        report(ev, "Illegal use of reserved word", t.column);
        return p;
      case Tok::Number:
      case Tok::Symbol:
      case Tok::Loc:
        if (state == AfterOperand) {
          report(ev, "Missing operator", t.column);
          return p;
        }
        if (t.kind == Tok::Symbol && t.name.size() > MaxNameLength) {
          report_plain(ev, format("Symbol name is to long (max %d characters)", MaxNameLength));
          return p;
        }
        state = AfterOperand;
        break;
      case Tok::Op:
        if (state != AfterOperand) {
          if (t.op == Op::Sub || t.op == Op::Not || t.op == Op::Compl) {
            state = AfterOperator;
            break;
          }
          report(ev, "Operand expected", t.column);
          return p;
        }
        if (t.op == Op::Not || t.op == Op::Compl) {
          report(ev, "Missing operator", t.column);
          return p;
        }
        state = AfterOperator;
        break;
      case Tok::LParen:
        if (state == AfterOperand) {
          report(ev, "Operand expected", t.column);
          return p;
        }
        ++depth;
        state = Start;
        break;
      case Tok::RParen:
        if (depth == 0) {
          report(ev, "Unexpected Parenthesis", t.column);
          return p;
        }
        if (state != AfterOperand) {
          report(ev, "Operand expected", t.column);
          return p;
        }
        --depth;
        break;
      case Tok::Other:
        if (continues_token(*p)) {
          report(ev, "Illegal character", t.column);
        } else if (state != AfterOperand) {
          report(ev, "Unterminated expression", t.column);
        } else if (*p == '<' || *p == '>') {
          // They read as operators but are none: ending the expression here
          // would silently drop the rest of the operand.
          report(ev, "Missing operator", t.column);
        } else if (depth > 0) {
          report(ev, "Missing Parenthesis", t.column);
        }
        ev.toks.push_back(t);
        return p;
    }
    ev.toks.push_back(t);
    previous = t.kind;
    p = next;
  }
}

Value symbol_value(Eval& ev, std::string_view name) {
  Assembly& as = ev.as;
  Symbol* s = find_symbol(as, name);
  if (!s) s = enter_symbol(as, name, 0, 0, SymUndefined, 0);
  bool only_referenced = (s->flags & SymUndefined) && !(s->flags & SymDefined);
  if (as.pass == 1 && only_referenced) {
    s->flags |= SymForward;
    if (s->first_ref_line == 0) s->first_ref_line = as.running_line;
  }
  bool forward = as.pass == 2 && s->first_line > as.running_line;
  bool external = (s->flags & SymExternal) != 0;
  if (only_referenced && !external) ev.missing = s;
  if (only_referenced || external) ev.unresolved = true;
  if (external || only_referenced || forward) {
    ++ev.not_absolute;
    ev.undefined = s;
  } else if (s->segment != as.current && s->segment != as.abs_segment) {
    ++ev.not_absolute;
  }
  // Any symbol, constants too, makes an indexed offset 16 bits: sizes follow
  // the text, not values that pass 1 may not know yet.
  ev.uses_symbol = true;
  Value v;
  bool constant = s->segment == as.abs_segment && s->segment != nullptr && !external;
  if (ev.absolute || (constant && !only_referenced)) {
    v.n = s->value;
    return v;
  }
  ++ev.symbol_count;
  Segment* seg = (external || only_referenced) ? nullptr : s->segment;
  v.n = seg ? s->value : 0;
  v.terms.push_back({seg, s, s, nullptr, 1, false});
  return v;
}

Value parse_expr(Eval& ev);

// primary: number | symbol | location counter | '(' expr ')'
Value parse_primary(Eval& ev) {
  const Token& t = ev.toks[ev.i++];
  Value v;
  switch (t.kind) {
    case Tok::Number: v.n = t.value; break;
    case Tok::Loc: {
      v.n = ev.as.line.address;
      if (!ev.absolute && ev.as.current && ev.as.current != ev.as.abs_segment) {
        v.terms.push_back({ev.as.current, nullptr, nullptr, nullptr, 1, true});
      }
      break;
    }
    case Tok::Symbol: v = symbol_value(ev, t.name); break;
    case Tok::LParen:
      v = parse_expr(ev);
      ++ev.i;  // ')'
      break;
    default: break;
  }
  return v;
}

bool is_op(const Eval& ev, bool (*pred)(Op)) {
  const Token& t = ev.toks[ev.i];
  return t.kind == Tok::Op && pred(t.op);
}

uint32_t apply(Eval& ev, Op op, uint32_t a, uint32_t b) {
  int32_t sa = static_cast<int32_t>(a), sb = static_cast<int32_t>(b);
  switch (op) {
    case Op::Add: return a + b;
    case Op::Sub: return a - b;
    case Op::Mul: return a * b;
    case Op::Div:
    case Op::Mod:
      if (b == 0) {
        // A remainder by zero is silent: the value ends as 0, but the field
        // is still emitted.
        if (op == Op::Div) report_plain(ev, "Integer divide by zero");
        else ev.zeroed = true;
        return 0;
      }
      // The minimum value over -1 wraps to itself rather than trapping.
      if (b == 0xFFFFFFFFu) return op == Op::Div ? 0u - a : 0u;
      return static_cast<uint32_t>(op == Op::Div ? sa / sb : sa % sb);
    case Op::Shl: return a << (b & 31);
    case Op::Shr: return static_cast<uint32_t>(sa >> (b & 31));
    case Op::And: return a & b;
    case Op::Or: return a | b;
    case Op::Xor: return a ^ b;
    case Op::LogOr: return (a != 0 || b != 0) ? 1 : 0;
    case Op::LogAnd: return (a != 0 && b != 0) ? 1 : 0;
    case Op::Eq: return a == b ? 1 : 0;
    case Op::Ne: return a != b ? 1 : 0;
    case Op::Le: return sa <= sb ? 1 : 0;
    case Op::Ge: return sa >= sb ? 1 : 0;
    case Op::Not: return a == 0 ? 1 : 0;
    case Op::Compl: return ~a;
  }
  return 0;
}

// A value that took part in an operator other than + and -: its symbols can no
// longer be relocated.
Value nonlinear(Value v, const Value& other) {
  auto hard = [](const Term& t) { return !t.soft; };
  if (std::any_of(v.terms.begin(), v.terms.end(), hard) ||
      std::any_of(other.terms.begin(), other.terms.end(), hard) || other.nonlinear)
    v.nonlinear = true;
  v.terms.clear();
  return v;
}

Value parse_unary(Eval& ev);

// mul_chain: unary [ ('*' | '/' | '%%') mul_chain ]     (groups from the right)
Value parse_mul_chain(Eval& ev) {
  Value left = parse_primary(ev);
  if (ev.failed || !is_op(ev, is_multiplicative)) return left;
  Op op = ev.toks[ev.i++].op;
  Value right = parse_unary(ev);
  if (ev.failed) return left;
  Value v = nonlinear(left, right);
  v.n = apply(ev, op, left.n, right.n);
  return v;
}

// unary: ('-' | '!' | '~') unary | mul_chain
Value parse_unary(Eval& ev) {
  const Token& t = ev.toks[ev.i];
  if (t.kind == Tok::Op && (t.op == Op::Sub || t.op == Op::Not || t.op == Op::Compl)) {
    ++ev.i;
    Value operand = parse_unary(ev);
    Value v = nonlinear(operand, Value{});
    v.n = t.op == Op::Sub ? 0u - operand.n : apply(ev, t.op, operand.n, 0);
    return v;
  }
  return parse_mul_chain(ev);
}

// expr: unary { binary-op unary }     (one level, grouped from the left)
Value parse_expr(Eval& ev) {
  Value v = parse_unary(ev);
  while (!ev.failed && ev.toks[ev.i].kind == Tok::Op) {
    Op op = ev.toks[ev.i++].op;
    Value r = parse_unary(ev);
    if (ev.failed) break;
    uint32_t n = apply(ev, op, v.n, r.n);
    if (op == Op::Add || op == Op::Sub) {
      add_terms(v, r, op == Op::Add ? 1 : -1);
    } else {
      v = nonlinear(v, r);
    }
    v.n = n;
  }
  return v;
}

bool evaluate(Eval& ev, const char*& pos, Value& v) {
  ev.toks.clear();
  const char* end = scan_and_check(ev, pos);
  pos = end;
  if (ev.failed) return false;
  ev.i = 0;
  v = parse_expr(ev);
  if (ev.zeroed) v = Value{};
  if (!ev.failed && ev.symbol_count > 10) report_plain(ev, "expression too complex");
  return !ev.failed;
}

}  // namespace

int register_at(const char* p, int* length) {
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  char a = upper(p[0]);
  if (!is_letter(a)) return -1;
  char b = upper(p[1]);
  if (!is_alnum_(p[1])) {
    *length = 1;
    switch (a) {
      case 'A': return RegA;
      case 'B': return RegB;
      case 'D': return RegD;
      case 'S': return RegS;
      case 'U': return RegU;
      case 'X': return RegX;
      case 'Y': return RegY;
      default: return -1;
    }
  }
  if (!is_alnum_(p[2])) {
    *length = 2;
    if (a == 'C' && b == 'C') return RegCC;
    if (a == 'D' && b == 'P') return RegDP;
    if (a == 'P' && b == 'C') return RegPC;
    return -1;
  }
  if (a == 'P' && b == 'C' && upper(p[2]) == 'R' && !is_alnum_(p[3])) {
    *length = 3;
    return RegPCR;
  }
  return -1;
}

bool eval_operand(Assembly& as, ExprResult& result) {
  Eval ev(as);
  Value v;
  result = ExprResult{};
  bool ok = evaluate(ev, as.line.pos, v);
  result.uses_symbol = ev.uses_symbol;
  if (!ok) return false;
  result.undefined = ev.unresolved;
  if (as.pass == 2 && ev.missing) {
    error(as, format("Undefined symbol '%s'", ev.missing->name.c_str()));
    return false;
  }
  result.value = v.n;
  // The location counter is relocated where it stands alone; elsewhere it is
  // the plain address it has always been.
  if (!v.nonlinear && !(v.terms.size() == 1 && v.terms[0].coeff == 1))
    std::erase_if(v.terms, [](const Term& t) { return t.soft; });
  if (v.nonlinear || v.terms.size() > 1 || (v.terms.size() == 1 && v.terms[0].coeff != 1)) {
    if (as.pass == 2) {
      error(as, "Non relocatable expression");
      return false;
    }
    return true;
  }
  if (v.terms.size() == 1) {
    const Term& t = v.terms[0];
    result.relocatable = true;
    result.reloc_symbol = t.plus;
    result.reloc_segment = t.segment;
    result.reloc_value = t.segment ? (t.plus ? t.plus->value : as.line.address) : 0;
    result.value = v.n - result.reloc_value;
  }
  return true;
}

bool eval_absolute(Assembly& as, const char*& pos, uint32_t& value, int* not_absolute) {
  Eval ev(as);
  ev.absolute = true;
  Value v;
  value = 0;
  if (!evaluate(ev, pos, v)) return false;
  if (not_absolute) {
    *not_absolute = ev.not_absolute;
  } else if (as.pass == 2 && ev.not_absolute > 0) {
    if (ev.undefined)
      error(as, format("Undefined symbol '%s'", ev.undefined->name.c_str()));
    else
      error(as, "Undefined Symbol");
    return false;
  }
  value = v.n;
  return true;
}

bool eval_absolute_field(Assembly& as, const char*& pos, uint32_t& value, int* not_absolute) {
  if (!eval_absolute(as, pos, value, not_absolute)) return false;
  if (static_cast<signed char>(*pos) <= ' ') return true;
  error(as, "Bad constant delimiter");
  value = 0;
  return false;
}

bool eval_absolute_text(Assembly& as, const std::string& text, uint32_t& value,
                        int* not_absolute) {
  // The scanner reports columns against the line; a text of its own is
  // evaluated as if it were the line.
  std::string saved = std::move(as.line.text);
  as.line.text = text;
  const char* pos = as.line.text.c_str();
  bool ok = eval_absolute(as, pos, value, not_absolute) && *pos == '\0';
  as.line.text = std::move(saved);
  return ok;
}

}  // namespace zun::hasm
