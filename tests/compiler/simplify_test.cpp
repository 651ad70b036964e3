// Tree simplification rules over small expressions with file-scope
// variables: each rule once where it applies and once where it must not.
#include "harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

// A compact prefix form of a tree: (op left right), loads of names as the name.
std::string show(const Node* n) {
    if (!n) return "nil";
    switch (n->kind) {
    case NodeKind::IntConst: return std::to_string(n->value);
    case NodeKind::FloatConst: return std::to_string(n->fvalue);
    case NodeKind::NameAddr: return "&" + n->name;
    case NodeKind::Load: return n->left && n->left->kind == NodeKind::NameAddr ? n->left->name : "(load " + show(n->left) + ")";
    case NodeKind::Convert: return "(cvt " + show(n->left) + ")";
    default: break;
    }
    static const std::pair<NodeKind, const char*> names[] = {
        {NodeKind::Seq, ","}, {NodeKind::Add, "+"}, {NodeKind::Sub, "-"}, {NodeKind::Mul, "*"},
        {NodeKind::Div, "/"}, {NodeKind::Mod, "%"}, {NodeKind::Shl, "<<"}, {NodeKind::Shr, ">>"},
        {NodeKind::BitAnd, "&"}, {NodeKind::BitOr, "|"}, {NodeKind::Neg, "neg"}, {NodeKind::Not, "!"},
        {NodeKind::Compl, "~"}, {NodeKind::Cond, "?"}, {NodeKind::Pair, "pair"},
    };
    std::string op = "?" + std::to_string(static_cast<int>(n->kind));
    for (const auto& [k, s] : names)
        if (k == n->kind) op = s;
    std::string out = "(" + op + " " + show(n->left);
    if (n->right) out += " " + show(n->right);
    return out + ")";
}

struct Simplified {
    std::string tree;
    std::string err;
};

Simplified simplified(const std::string& expr, bool after_error = false) {
    Unit u(expr);
    auto var = [&](const char* name, Type* t) {
        Symbol* s = new_symbol(u.tu, name);
        s->sclass = StorageClass::Global;
        s->type = t;
        append_symbol(u.tu.file_scope, s);
        return s;
    };
    BuiltinTypes& b = u.tu.builtin;
    var("x", &b.int_);
    var("y", &b.int_);
    var("i", &b.int_);
    var("u", &b.uint);
    var("c", &b.char_);
    Symbol* n = var("N", &b.int_);
    n->is_const = 1;
    n->flags |= Initialised;
    n->init_value = 5;
    Symbol* f = var("F", &b.double_);
    f->is_const = 1;
    f->flags |= Initialised;
    if (after_error) u.tu.errors = 1;
    Node* tree = nullptr;
    expression(u.tu, tree);
    simplify(u.tu, tree);
    return {show(tree), u.tu.err};
}

TEST(TcxSimplify, StrengthReduction) {
    EXPECT_EQ(simplified("x * 8").tree, "(<< x 3)");
    EXPECT_EQ(simplified("8 * x").tree, "(<< x 3)");
    EXPECT_EQ(simplified("x * 3").tree, "(* x 3)");
    EXPECT_EQ(simplified("u / 4").tree, "(>> u 2)");
    EXPECT_EQ(simplified("i / 4").tree, "(/ i 4)");
    EXPECT_EQ(simplified("u % 8").tree, "(& u 7)");
    EXPECT_EQ(simplified("i % 8").tree, "(% i 8)");
    EXPECT_EQ(simplified("x / 1").tree, "x");
    EXPECT_EQ(simplified("x * 1").tree, "x");
}

TEST(TcxSimplify, ZeroKeepsTheOtherOperandEvaluated) {
    EXPECT_EQ(simplified("x * 0").tree, "(, x 0)");
    EXPECT_EQ(simplified("0 / x").tree, "(, x 0)");
    EXPECT_EQ(simplified("x + 0").tree, "x");
    EXPECT_EQ(simplified("0 + x").tree, "x");
    EXPECT_EQ(simplified("x - 0").tree, "x");
    EXPECT_EQ(simplified("0 - x").tree, "(neg x)");
    EXPECT_EQ(simplified("x | 0").tree, "x");
    EXPECT_EQ(simplified("x << 0").tree, "x");
}

TEST(TcxSimplify, NegationsAndGathering) {
    EXPECT_EQ(simplified("x - -y").tree, "(+ x y)");
    EXPECT_EQ(simplified("-x + y").tree, "(- y x)");
    EXPECT_EQ(simplified("-(-x)").tree, "x");
    EXPECT_EQ(simplified("~(~x)").tree, "x");
    EXPECT_EQ(simplified("!!x").tree, "(! (! x))");
    EXPECT_EQ(simplified("3 * (x + 1)").tree, "(+ (* x 3) 3)");
    EXPECT_EQ(simplified("2 * (x + 1)").tree, "(<< (+ x 1) 1)");
    EXPECT_EQ(simplified("(x + 3) + 4").tree, "(+ x 7)");
    EXPECT_EQ(simplified("(x + 3) - 4").tree, "(- x 1)");
    EXPECT_EQ(simplified("10 - (x + 3)").tree, "(- 7 x)");
    EXPECT_EQ(simplified("u & 0xFFFF").tree, "u");
    EXPECT_EQ(simplified("x & -1").tree, "x");
    EXPECT_EQ(simplified("-1 & x").tree, "x");
    EXPECT_EQ(simplified("x & 255").tree, "(& x 255)");
}

TEST(TcxSimplify, ConstObjectsAndConditions) {
    EXPECT_EQ(simplified("N").tree, "5");
    EXPECT_EQ(simplified("N + 1").tree, "(+ N 1)");
    EXPECT_EQ(simplified("F").tree, "F");  // a float constant stays a load
    EXPECT_EQ(simplified("1 ? x : y").tree, "x");
    EXPECT_EQ(simplified("0 ? x : y").tree, "y");
}

TEST(TcxSimplify, NothingChangesAfterAnError) {
    EXPECT_EQ(simplified("x * 8", true).tree, "(* x 8)");
    EXPECT_EQ(simplified("1 + 2", true).tree, "(+ 1 2)");
    Simplified div = simplified("1 / 0");
    EXPECT_EQ(div.tree, "(/ 1 0)");
    EXPECT_EQ(div.err, "\"/src/t.c\" (1) Warning: Division by zero constant\n");
}

}  // namespace
}  // namespace zun::tcx::test
