#include "tree_print.h"

#include "common/format.h"

namespace zun::tcx::test {
namespace {

const char* node_name(NodeKind k) {
    switch (k) {
    case NodeKind::Seq: return ",";
    case NodeKind::IntConst: return "int";
    case NodeKind::FloatConst: return "float";
    case NodeKind::StaticAddr: return "static";
    case NodeKind::NameAddr: return "name";
    case NodeKind::FrameAddr: return "frame";
    case NodeKind::Call: return "call";
    case NodeKind::Add: return "+";
    case NodeKind::Sub: return "-";
    case NodeKind::Mul: return "*";
    case NodeKind::Mod: return "%";
    case NodeKind::Div: return "/";
    case NodeKind::Shl: return "<<";
    case NodeKind::Shr: return ">>";
    case NodeKind::Cond: return "?:";
    case NodeKind::Assign: return "=";
    case NodeKind::BlockCopy: return "copy";
    case NodeKind::Eq: return "==";
    case NodeKind::Ne: return "!=";
    case NodeKind::AddAssign: return "+=";
    case NodeKind::SubAssign: return "-=";
    case NodeKind::MulAssign: return "*=";
    case NodeKind::DivAssign: return "/=";
    case NodeKind::ModAssign: return "%=";
    case NodeKind::ShrAssign: return ">>=";
    case NodeKind::XorAssign: return "^=";
    case NodeKind::ShlAssign: return "<<=";
    case NodeKind::AndAssign: return "&=";
    case NodeKind::OrAssign: return "|=";
    case NodeKind::Neg: return "neg";
    case NodeKind::Not: return "!";
    case NodeKind::Compl: return "~";
    case NodeKind::Lt: return "<";
    case NodeKind::Le: return "<=";
    case NodeKind::Gt: return ">";
    case NodeKind::Ge: return ">=";
    case NodeKind::BitAnd: return "&";
    case NodeKind::BitOr: return "|";
    case NodeKind::LogAnd: return "&&";
    case NodeKind::LogOr: return "||";
    case NodeKind::Xor: return "^";
    case NodeKind::PostInc: return "post++";
    case NodeKind::PostDec: return "post--";
    case NodeKind::Load: return "load";
    case NodeKind::Convert: return "conv";
    case NodeKind::StructAddr: return "saddr";
    case NodeKind::BitValue: return "bits";
    case NodeKind::Pair: return "pair";
    case NodeKind::SizeofObject: return "sizeof";
    }
    return "?";
}

const char* kind_name(Kind k) {
    switch (k) {
    case Kind::Char: return "c";
    case Kind::Short: return "i";
    case Kind::Long: return "l";
    case Kind::LongLong: return "ll";
    case Kind::UChar: return "uc";
    case Kind::UShort: return "u";
    case Kind::ULong: return "ul";
    case Kind::ULongLong: return "ull";
    case Kind::Float: return "f";
    case Kind::Double: return "d";
    case Kind::Struct: return "s";
    case Kind::Union: return "un";
    case Kind::Function: return "fn";
    case Kind::Bitfield: return "bf";
    case Kind::Ellipsis: return "...";
    case Kind::Pointer: return "p";
    case Kind::Void: return "v";
    }
    return "?";
}

const char* stmt_name(StmtKind k) {
    switch (k) {
    case StmtKind::Expr: return "expr";
    case StmtKind::While: return "while";
    case StmtKind::For: return "for";
    case StmtKind::Do: return "do";
    case StmtKind::If: return "if";
    case StmtKind::Switch: return "switch";
    case StmtKind::Case: return "case";
    case StmtKind::Goto: return "goto";
    case StmtKind::Break: return "break";
    case StmtKind::Continue: return "continue";
    case StmtKind::Label: return "label";
    case StmtKind::Return: return "return";
    case StmtKind::Compound: return "block";
    case StmtKind::Default: return "default";
    case StmtKind::Asm: return "asm";
    }
    return "?";
}

}  // namespace

// (op:kind.size operands...); leaves show their value.
std::string print_tree(const Node* n) {
    if (!n) return "-";
    std::string head = format("%s:%s%d", node_name(n->kind), kind_name(n->type_kind), n->size);
    switch (n->kind) {
    case NodeKind::IntConst: return format("%d:%s%d", n->value, kind_name(n->type_kind), n->size);
    case NodeKind::FloatConst: return format("%g:%s%d", n->fvalue, kind_name(n->type_kind), n->size);
    case NodeKind::StaticAddr: return format("(static _%d)", n->value);
    case NodeKind::NameAddr: return "(name " + n->name + ")";
    case NodeKind::FrameAddr:
        return format("(frame %s%d)", n->symbol ? (n->symbol->name + " ").c_str() : "", n->value);
    case NodeKind::SizeofObject: return format("(sizeof %d)", n->value);
    case NodeKind::BitValue:
        return format("(%s w%d o%d %s)", head.c_str(), n->bit_width, n->bit_offset, print_tree(n->left).c_str());
    case NodeKind::BlockCopy:
        return format("(%s %s %s)", head.c_str(), print_tree(n->left).c_str(), print_tree(n->right).c_str());
    default: break;
    }
    std::string s = "(" + head + " " + print_tree(n->left);
    if (n->right || n->kind == NodeKind::Call || n->kind == NodeKind::Pair) s += " " + print_tree(n->right);
    return s + ")";
}

std::string print_statement(const Stmt* s, int indent) {
    std::string pad(static_cast<size_t>(indent) * 2, ' ');
    if (!s) return pad + "-\n";
    std::string out = pad + stmt_name(s->kind);
    switch (s->kind) {
    case StmtKind::Case: out += format(" %d", s->value); break;
    case StmtKind::Goto: case StmtKind::Label:
        out += " " + (s->label ? s->label->name : std::string("?")) + format(" L%d", s->value);
        break;
    case StmtKind::Asm:
        out += " \"" + s->asm_text + "\"";
        for (const Node* o : s->asm_operands) out += " " + print_tree(o);
        break;
    case StmtKind::Break: case StmtKind::Continue:
        out += s->target ? std::string(" -> ") + stmt_name(s->target->kind) : " -> ?";
        break;
    default: break;
    }
    if (s->const_cond >= 0) out += format(" const=%d", s->const_cond);
    if (s->kind == StmtKind::For) {
        out += "\n" + pad + "  init " + print_tree(s->init);
        out += "\n" + pad + "  cond " + print_tree(s->expr);
        out += "\n" + pad + "  step " + print_tree(s->step);
    } else if (s->expr) {
        out += " " + print_tree(s->expr);
    }
    out += "\n";
    if (s->kind == StmtKind::Compound)
        for (const Stmt* c : s->list) out += print_statement(c, indent + 1);
    bool has_body = s->kind != StmtKind::Expr && s->kind != StmtKind::Return && s->kind != StmtKind::Goto &&
                    s->kind != StmtKind::Break && s->kind != StmtKind::Continue && s->kind != StmtKind::Asm &&
                    s->kind != StmtKind::Compound;
    if (has_body) out += print_statement(s->body, indent + 1);
    if (s->kind == StmtKind::If && s->else_branch) out += pad + "else\n" + print_statement(s->else_branch, indent + 1);
    if (s->kind == StmtKind::Switch) {
        out += pad + "cases";
        for (const Stmt* c = s->first_case; c; c = c->next_case)
            out += c->kind == StmtKind::Default ? " default" : format(" %d", c->value);
        out += "\n";
    }
    return out;
}

std::string print_function(const FunctionDef& f) {
    std::string out = "function " + f.fn->name + format(" locals=%d", f.locals_size) + "\n";
    for (const Symbol* p : f.params) out += format("  param %s %d\n", p->name.c_str(), p->value);
    for (const Symbol* l : f.locals)
        if (l->sclass == StorageClass::Auto) out += format("  local %s %d\n", l->name.c_str(), l->value);
    return out + print_statement(f.body, 1);
}

}  // namespace zun::tcx::test
