// The register model, the stack temporaries and the legalizer core, driven
// by hand on an empty unit, and their effect on whole functions.
#include "tests/compiler/codegen/harness.h"
#include "tests/compiler/harness.h"

#include <gtest/gtest.h>

namespace zun::tcx::test {
namespace {

struct Model : Gen {
    Model() {
        temps_reset(*cg, 4);
        regs_reset(*cg);
    }
    size_t size() const { return cg->list.size(); }
    Insn* last() const { return cg->list.back(); }
    Insn* at(size_t i) const { return cg->list[i]; }
    Operand* tos() {
        Operand* d = new_operand(*cg, M_TOS);
        d->step = 1;
        return d;
    }
    const RegModel& regs() const { return cg->regs; }
};

TEST(RegisterModel, SecondHolderSpillsFirstAndRestoresItOnRelease) {
    Model m;
    m.cg->locals_size = 5;
    Operand* b1 = alloc_reg(*m.cg, R_B);
    EXPECT_EQ(m.size(), 0u);
    EXPECT_EQ(b1->sequence, 1);
    Operand* b2 = alloc_reg(*m.cg, R_B);
    EXPECT_EQ(b2->sequence, 2);
    ASSERT_EQ(m.size(), 1u);
    Insn* save = m.at(0);
    EXPECT_EQ(save->opcode, OP_STORE);
    EXPECT_EQ(save->arg, R_B);
    ASSERT_EQ(m.regs().temps.size(), 1u);
    EXPECT_EQ(m.regs().temps[0].size, 1);
    EXPECT_EQ(int_value(save->op[0]->value), -5);  // below 4 bytes of locals
    EXPECT_EQ(m.print(save), "\tSTB\t0,S\n");

    release(*m.cg, b2);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m.last()->opcode, OP_LOAD);
    EXPECT_EQ(m.last()->op[0], save->op[0]);
    EXPECT_EQ(m.print(m.last()), "\tLDB\t0,S\n");
    EXPECT_EQ(b2->sequence, -1);
    EXPECT_FALSE(m.regs().temps[0].in_use);
    release(*m.cg, b2);  // never twice
    release(*m.cg, b1);
    EXPECT_EQ(m.size(), 2u);
    regs_check_balanced(*m.cg);
    EXPECT_EQ(m.size(), 2u);

    // X goes to a word temporary; D while B is held saves only B
    Operand* x1 = alloc_reg(*m.cg, R_X);
    Operand* x2 = alloc_reg(*m.cg, R_X);
    EXPECT_EQ(m.last()->arg, R_X);
    EXPECT_EQ(m.regs().temps.back().size, 2);
    release(*m.cg, x2);
    EXPECT_EQ(m.last()->opcode, OP_LOAD);
    EXPECT_EQ(m.last()->arg, R_X);
    release(*m.cg, x1);
    Operand* b = alloc_reg(*m.cg, R_B);
    size_t before = m.size();
    Operand* d = alloc_reg(*m.cg, R_D);
    EXPECT_EQ(m.size(), before + 1);
    EXPECT_EQ(d->base->reg, R_B);
    EXPECT_EQ(d->second->reg, R_A);
    release(*m.cg, d);
    EXPECT_EQ(m.last()->opcode, OP_LOAD);
    EXPECT_EQ(m.last()->arg, R_B);
    release(*m.cg, b);
    EXPECT_EQ(m.regs().a + m.regs().b + m.regs().x, 0);
}

TEST(RegisterModel, KindsModesAndFaults) {
    Model m;
    Operand* u = alloc_reg(*m.cg, R_U);
    Operand* y = alloc_reg(*m.cg, R_Y);
    Operand* dy = alloc_reg(*m.cg, R_DY);
    EXPECT_EQ(u->mode, M_UREG);
    EXPECT_EQ(y->mode, M_YACK);
    EXPECT_EQ(dy->mode, M_DACK);
    EXPECT_EQ(dy->base->mode, M_ACK);
    EXPECT_EQ(dy->second->reg, R_Y);
    EXPECT_EQ(m.regs().y, 2);
    release(*m.cg, dy);
    release(*m.cg, y);
    release(*m.cg, u);
    EXPECT_EQ(m.regs().y + m.regs().u + m.regs().a + m.regs().b, 0);

    // X preferred; U only while X is busy and U free
    Operand* p1 = alloc_ptr_reg(*m.cg);
    Operand* p2 = alloc_ptr_reg(*m.cg);
    Operand* p3 = alloc_ptr_reg(*m.cg);
    EXPECT_EQ(p1->reg, R_X);
    EXPECT_EQ(p2->reg, R_U);
    EXPECT_EQ(p3->reg, R_X);
    release(*m.cg, p3);
    release(*m.cg, p2);
    release(*m.cg, p1);

    size_t n = m.size();
    Operand* bad = alloc_reg(*m.cg, 9);
    EXPECT_EQ(m.at(n)->fault, 9006);
    EXPECT_EQ(bad->reg, R_B);
    release(*m.cg, bad);
    Operand* acc = operand_reg(*m.cg, M_ACK, R_X);
    release(*m.cg, acc);
    EXPECT_EQ(m.last()->fault, 9002);
    Operand* walk = operand_reg(*m.cg, M_PROC, R_B);
    release(*m.cg, walk);
    EXPECT_EQ(m.last()->fault, 9008);
    release(*m.cg, nullptr);
}

TEST(RegisterModel, UnbalancedCountersReportedInOrder) {
    Model m;
    for (int r : {R_B, R_A, R_Y, R_U, R_X}) alloc_reg(*m.cg, r);
    regs_check_balanced(*m.cg);
    ASSERT_EQ(m.size(), 5u);
    const char* texts[] = {"unbalanced X allocation", "unbalanced U allocation", "unbalanced Y allocation",
                           "unbalanced A allocation", "unbalanced B allocation"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(m.at(i)->opcode, OP_FAULT);
        EXPECT_EQ(m.at(i)->fault, 4006 + i);
        EXPECT_TRUE(has(m.print(m.at(i)), std::string("; '") + texts[i] + "'"));
    }
    regs_reset(*m.cg);
    regs_check_balanced(*m.cg);
    EXPECT_EQ(m.size(), 5u);
}

TEST(Operands, Constructors) {
    Model m;
    Symbol s;
    s.value = -32768;
    EXPECT_EQ(int_value(operand_loc(*m.cg, &s)->value), -32768);
    s.value = 32766;
    EXPECT_EQ(int_value(operand_loc(*m.cg, &s)->value), 32766);
    EXPECT_EQ(m.tu->errors, 0);
    s.value = 32767;
    Operand* far = operand_loc(*m.cg, &s);
    EXPECT_EQ(far->mode, M_LOC);
    EXPECT_EQ(int_value(far->value), 0);
    EXPECT_EQ(m.tu->errors, 1);  // reported, not silently wrong
    s.value = 40000;
    EXPECT_EQ(int_value(operand_loc(*m.cg, &s)->value), 0);

    Node* name = m.glob("g")->value;
    Operand* g = operand_glob(*m.cg, name);
    EXPECT_EQ(g->mode, M_GLOB);
    EXPECT_EQ(g->value, name);
    Operand* c = copy_operand(*m.cg, g);
    EXPECT_NE(c, g);
    EXPECT_EQ(c->value, name);
    int errors = m.tu->errors;
    EXPECT_NE(copy_operand(*m.cg, nullptr), nullptr);
    EXPECT_EQ(m.tu->errors, errors + 1);
}

TEST(Temporaries, ReusedBySizeOnly) {
    Model m;
    Operand* t1 = temp_alloc(*m.cg, 2);
    Operand* t2 = temp_alloc(*m.cg, 2);
    EXPECT_EQ(int_value(t1->value), -6);
    EXPECT_EQ(int_value(t2->value), -8);
    temp_free(*m.cg, t1);
    temp_free(*m.cg, t2);
    EXPECT_EQ(temp_alloc(*m.cg, 2), t1);
    EXPECT_EQ(temp_alloc(*m.cg, 2), t2);
    EXPECT_EQ(m.regs().temp_bytes, 4);
    release(*m.cg, t1);  // a released temporary is free again
    Operand* one = temp_alloc(*m.cg, 1);
    EXPECT_NE(one, t1);
    EXPECT_EQ(int_value(one->value), -9);
    EXPECT_EQ(m.regs().temp_bytes, 5);
    EXPECT_EQ(temp_alloc(*m.cg, 2), t1);
    temps_reset(*m.cg, 0);
    EXPECT_EQ(m.regs().temp_bytes, 0);
    EXPECT_EQ(int_value(temp_alloc(*m.cg, 1)->value), -1);
}

TEST(Temporaries, FullTableStillPlacesEveryTemporary) {
    Model m;
    std::vector<Operand*> held;
    for (int i = 0; i < 101; ++i) held.push_back(temp_alloc(*m.cg, 2));
    EXPECT_EQ(m.regs().temps.size(), RegModel::kTemps);
    EXPECT_EQ(int_value(held.back()->value), -(4 + 2 * 101));
    temp_free(*m.cg, held.back());
    EXPECT_NE(temp_alloc(*m.cg, 2), held.back());
}

TEST(Legalize, EachClassMovesToItsPlace) {
    Model m;
    EXPECT_EQ(legalize(*m.cg, F_ACK, nullptr, 2), nullptr);
    Operand* l = m.loc(-2);
    EXPECT_EQ(legalize(*m.cg, F_ALL, l, 2), l);
    EXPECT_EQ(legalize(*m.cg, F_MEM, l, 2), l);
    Operand* imm = operand_imm(*m.cg, 7);
    EXPECT_EQ(legalize(*m.cg, F_IMMED, imm, 2), imm);
    EXPECT_EQ(m.size(), 0u);

    // accumulator into X
    Operand* d = alloc_reg(*m.cg, R_D);
    Operand* x = legalize(*m.cg, F_XACK, d, 2);
    EXPECT_EQ(x->mode, M_XACK);
    EXPECT_EQ(m.last()->opcode, OP_TFR);
    EXPECT_EQ(m.last()->arg, P_DX);
    EXPECT_EQ(m.regs().b + m.regs().a, 0);
    EXPECT_EQ(m.regs().x, 1);
    // an object through X into D gives X back
    Operand* v = legalize(*m.cg, F_ACK, x, 2);
    EXPECT_EQ(v->reg, R_D);
    EXPECT_EQ(m.last()->opcode, OP_LOAD);
    EXPECT_EQ(m.last()->op[0], x);
    EXPECT_EQ(m.regs().x, 0);
    release(*m.cg, v);

    // [n,X] becomes n,X on the same X
    Operand* ix = alloc_reg(*m.cg, R_X);
    ix->mode = M_IXACK;
    Operand* ox = legalize(*m.cg, F_XACK, ix, 2);
    EXPECT_EQ(ox->mode, M_XACK);
    EXPECT_EQ(m.last()->arg, R_X);
    EXPECT_EQ(m.regs().x, 1);
    release(*m.cg, ix);
    release(*m.cg, ox);
    EXPECT_EQ(m.regs().x, 0);

    // memory refused by bit 0x800 is loaded; an immediate without F_IMMED too
    Operand* b = legalize(*m.cg, F_MEM | F_NOMEM | F_ACK, l, 1);
    EXPECT_EQ(b->reg, R_B);
    EXPECT_EQ(m.print(m.last()), "\tLDB\t-2,S\n");
    release(*m.cg, b);
    Operand* k = legalize(*m.cg, F_ACK, imm, 2);
    EXPECT_EQ(m.print(m.last()), "\tLDD\t#7\n");
    release(*m.cg, k);
    Operand* lx = legalize(*m.cg, F_XACK, l, 2);
    EXPECT_EQ(m.print(m.last()), "\tLDX\t-2,S\n");
    release(*m.cg, lx);
    Operand* wide = legalize(*m.cg, F_ACK, m.loc(-8), 4);
    EXPECT_EQ(wide->mode, M_DACK);
    EXPECT_EQ(m.at(m.size() - 2)->opcode, OP_LOADHIGH);
    EXPECT_EQ(m.last()->opcode, OP_LOADLOW);
    release(*m.cg, wide);

    // D,X: loaded, X and the high half given back, B returned
    Operand* dd = alloc_reg(*m.cg, R_D);
    Operand* xx = alloc_reg(*m.cg, R_X);
    Operand* dx = new_operand(*m.cg, M_DXACK);
    dx->base = xx;
    dx->second = dd;
    Operand* lo = legalize(*m.cg, F_ACK, dx, 1);
    EXPECT_EQ(lo->reg, R_B);
    EXPECT_EQ(m.print(m.last()), "\tLDB\tD,X\n");
    EXPECT_EQ(m.regs().x + m.regs().a, 0);
    release(*m.cg, lo);
    // a long there: its address formed into X first
    dx = new_operand(*m.cg, M_DXACK);
    dx->base = alloc_reg(*m.cg, R_X);
    dx->second = alloc_reg(*m.cg, R_D);
    size_t before = m.size();
    release(*m.cg, legalize(*m.cg, F_ACK, dx, 4));
    ASSERT_EQ(m.size(), before + 3);
    EXPECT_EQ(m.print(m.at(before)), "\tLEAX\tD,X\n");
    EXPECT_EQ(m.print(m.at(before + 1)), "\tLDY\t0,X\n");
    EXPECT_EQ(m.print(m.at(before + 2)), "\tLDD\t2,X\n");
    EXPECT_EQ(m.regs().x + m.regs().a + m.regs().b + m.regs().y, 0);

    // a pointer walk: loaded, then the pointer stored back where it came from
    Operand* walk = alloc_reg(*m.cg, R_X);
    walk->mode = M_PROC;
    walk->step = 1;
    walk->origin = m.loc(-4);
    EXPECT_EQ(legalize(*m.cg, F_XREG, walk, 2), walk);
    Operand* w = legalize(*m.cg, F_ACK, walk, 2);
    EXPECT_EQ(m.print(m.at(m.size() - 2)), "\tLDD\t,X++\n");
    EXPECT_EQ(m.print(m.last()), "\tSTX\t-4,S\n");
    release(*m.cg, w);
    regs_check_balanced(*m.cg);
    EXPECT_NE(m.last()->opcode, OP_FAULT);
    EXPECT_TRUE(m.tu->err.empty());
}

TEST(Legalize, RefusedOperandTracedAndCodeGoesOn) {
    Model m;
    Operand* top = m.tos();
    EXPECT_EQ(legalize(*m.cg, F_ACK | F_IMMED | F_NOIND, top, 2), top);
    EXPECT_EQ(m.tu->err, "-LEGALIZE: \ntos size=2\n F_ACK F_IMMED F_NOIND is flags\n");
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m.last()->opcode, OP_FAULT);
    EXPECT_EQ(m.last()->fault, 1);
    m.tu->err.clear();
    Operand* xr = operand_reg(*m.cg, M_XREG, R_X);
    legalize(*m.cg, 0, xr, 1);
    EXPECT_EQ(m.tu->err, "-LEGALIZE: \nNon recognized mode = 3, size=1\nNo Flags\n");
    EXPECT_NE(emit(*m.cg, OP_RTS), nullptr);
    EXPECT_EQ(m.size(), 3u);
}

TEST(LongMoves, NoReloadRightAfterStoringTheSameOperand) {
    Model m;
    Operand* dy = alloc_reg(*m.cg, R_DY);
    store_long(*m.cg, m.loc(-8));
    EXPECT_EQ(m.at(0)->opcode, OP_STOREHIGH);
    EXPECT_EQ(m.at(1)->opcode, OP_STORELOW);
    release(*m.cg, dy);
    Operand* again = load_long(*m.cg, m.loc(-8));
    EXPECT_EQ(m.size(), 2u);
    EXPECT_EQ(again->mode, M_DACK);
    release(*m.cg, again);
    Operand* other = load_long(*m.cg, m.loc(-12));
    EXPECT_EQ(m.size(), 4u);
    EXPECT_EQ(m.print(m.at(2)), "\tLDY\t-12,S\n");
    EXPECT_EQ(m.print(m.at(3)), "\tLDD\t-10,S\n");
    release(*m.cg, other);
    // a label between the store and the load: another path may reach it
    store_long(*m.cg, m.glob("g"));
    emit_label(*m.cg, 7);
    release(*m.cg, load_long(*m.cg, m.glob("g")));
    EXPECT_EQ(m.last()->opcode, OP_LOADLOW);

    // through a pointer in a local: the address goes to Y, then low word first
    size_t n = m.size();
    Operand* ind = new_operand(*m.cg, M_LOCIND);
    ind->value->value = -2;
    release(*m.cg, load_long(*m.cg, ind));
    ASSERT_EQ(m.size(), n + 3);
    EXPECT_EQ(m.print(m.at(n)), "\tLDY\t-2,S\n");
    EXPECT_EQ(m.print(m.at(n + 1)), "\tLDD\t2,Y\n");
    EXPECT_EQ(m.print(m.at(n + 2)), "\tLDY\t0,Y\n");
    // and a store through it goes by X
    Operand* pair = alloc_reg(*m.cg, R_DY);
    store_long(*m.cg, ind);
    EXPECT_EQ(m.print(m.at(n + 3)), "\tLDX\t-2,S\n");
    EXPECT_EQ(m.print(m.at(n + 4)), "\tSTY\t0,X\n");
    EXPECT_EQ(m.print(m.at(n + 5)), "\tSTD\t2,X\n");
    release(*m.cg, pair);
    regs_check_balanced(*m.cg);
    EXPECT_EQ(m.size(), n + 6);
}

Node* constant(Gen& g, int32_t v, Kind k) {
    Node& n = *g.tu->nodes.make();
    n.kind = NodeKind::IntConst;
    n.type_kind = k;
    n.size = k == Kind::Char ? 1 : 2;
    n.value = v;
    return &n;
}

bool balanced(const Model& m) {
    const RegModel& r = m.regs();
    return r.x == 0 && r.u == 0 && r.y == 0 && r.a == 0 && r.b == 0;
}

TEST(Values, TreesAndDispatcherResultsBecomeSourceOperands) {
    Model m;
    Operand* d = g_value(*m.cg, constant(m, 0x1234, Kind::Short));
    EXPECT_EQ(d->mode, M_ACK);
    EXPECT_EQ(d->reg, R_D);
    EXPECT_EQ(m.print(m.last()), "\tLDD\t#$1234\n");
    release(*m.cg, d);
    Operand* b = value_in_acc(*m.cg, constant(m, 3, Kind::Char));
    EXPECT_EQ(b->reg, R_B);
    EXPECT_EQ(m.regs().a, 0);
    release(*m.cg, b);
    EXPECT_TRUE(balanced(m));

    // the pointer in X, adjusted first when it carries a base
    Operand* x = alloc_reg(*m.cg, R_X);
    x->mode = M_XREG;
    x->base = m.loc(0);
    x->value->value = 4;
    Operand* v = value_operand(*m.cg, x, 2);
    EXPECT_EQ(m.print(m.at(m.size() - 2)), "\tLEAX\t4,X\n");
    EXPECT_EQ(m.print(m.last()), "\tTFR\tX,D\n");
    EXPECT_EQ(m.regs().x, 0);
    release(*m.cg, v);

    Operand* ix = alloc_reg(*m.cg, R_X);
    ix->mode = M_IXACK;
    release(*m.cg, value_operand(*m.cg, ix, 2));
    EXPECT_EQ(m.print(m.last()), "\tLDD\t[0,X]\n");
    EXPECT_TRUE(balanced(m));

    // D+X: formed in X, then moved to D
    Operand* dd = alloc_reg(*m.cg, R_D);
    Operand* xx = alloc_reg(*m.cg, R_X);
    Operand* sum = new_operand(*m.cg, M_ADXACK);
    sum->base = xx;
    sum->second = dd;
    Operand* r = value_operand(*m.cg, sum, 2);
    EXPECT_EQ(r, dd);
    EXPECT_EQ(m.print(m.at(m.size() - 2)), "\tLEAX\tD,X\n");
    EXPECT_EQ(m.regs().x, 0);
    release(*m.cg, r);

    // a long at D,X: the address into X, the low word, then the high one
    dd = alloc_reg(*m.cg, R_D);
    xx = alloc_reg(*m.cg, R_X);
    Operand* at = new_operand(*m.cg, M_DXACK);
    at->base = xx;
    at->second = dd;
    size_t n = m.size();
    Operand* pair = value_operand(*m.cg, at, 4);
    EXPECT_EQ(pair->mode, M_DACK);
    ASSERT_EQ(m.size(), n + 3);
    EXPECT_EQ(m.print(m.at(n)), "\tLEAX\tD,X\n");
    EXPECT_EQ(m.print(m.at(n + 1)), "\tLDD\t2,X\n");
    EXPECT_EQ(m.print(m.at(n + 2)), "\tLDY\t0,X\n");
    release(*m.cg, pair);
    EXPECT_TRUE(balanced(m));

    value_operand(*m.cg, m.tos(), 2);
    EXPECT_EQ(m.last()->fault, 4001);
}

TEST(Values, PointersIntoRegisters) {
    Model m;
    Operand* p = g_deref_ptr(*m.cg, constant(m, 0x400, Kind::Pointer));
    EXPECT_EQ(p->mode, M_XREG);
    EXPECT_EQ(m.print(m.last()), "\tTFR\tD,X\n");
    EXPECT_EQ(m.regs().b + m.regs().a, 0);
    release(*m.cg, p);
    Operand* obj = ptr_in_x_obj(*m.cg, constant(m, 0x400, Kind::Pointer));
    EXPECT_EQ(obj->mode, M_XACK);
    EXPECT_EQ(int_value(obj->value), 0);
    release(*m.cg, obj);
    EXPECT_TRUE(balanced(m));

    // [D,X] dereferenced: the word at D+X addresses the object
    Operand* dd = alloc_reg(*m.cg, R_D);
    Operand* xx = alloc_reg(*m.cg, R_X);
    Operand* ind = new_operand(*m.cg, M_IDXACK);
    ind->base = xx;
    ind->second = dd;
    Operand* o = deref_operand(*m.cg, ind);
    EXPECT_EQ(o->mode, M_IXACK);
    EXPECT_EQ(m.print(m.last()), "\tLEAX\tD,X\n");
    release(*m.cg, o);
    EXPECT_TRUE(balanced(m));
    Operand* dy = alloc_reg(*m.cg, R_DY);
    deref_operand(*m.cg, dy);
    EXPECT_EQ(m.last()->fault, 2000);
    release(*m.cg, dy);

    Operand* u = value_in_ptr_reg(*m.cg, constant(m, 0x400, Kind::Pointer), R_U, false);
    EXPECT_EQ(u->mode, M_UREG);
    EXPECT_EQ(m.print(m.at(m.size() - 2)), "\tPSHS\tD\n");
    EXPECT_EQ(m.print(m.last()), "\tPULS\tU\n");
    release(*m.cg, u);
    Operand* y = value_in_ptr_reg(*m.cg, constant(m, 0x400, Kind::Pointer), R_Y, false);
    EXPECT_EQ(y->mode, M_YACK);
    EXPECT_EQ(m.print(m.last()), "\tTFR\tD,Y\n");
    release(*m.cg, y);
    EXPECT_TRUE(balanced(m));
    size_t n = m.size();
    EXPECT_EQ(value_in_ptr_reg(*m.cg, constant(m, 1, Kind::Short), R_D, true), nullptr);
    EXPECT_EQ(m.size(), n + 1);
    EXPECT_EQ(m.last()->fault, 2001);
}

TEST(SmallTests, OperatorsTreesAndModes) {
    Model m;
    EXPECT_EQ(is_commutative(*m.cg, OP_ADD), 1);
    EXPECT_EQ(is_commutative(*m.cg, OP_EOR), 1);
    EXPECT_EQ(is_commutative(*m.cg, OP_SUB), 0);
    EXPECT_EQ(is_commutative(*m.cg, OP_CMP), 0);
    EXPECT_EQ(m.size(), 0u);
    EXPECT_EQ(is_commutative(*m.cg, OP_LSR), 0);
    EXPECT_EQ(m.last()->fault, 2001);

    Node zero, fzero, one;
    fzero.kind = NodeKind::FloatConst;
    one.value = 1;
    EXPECT_TRUE(is_zero_const(&zero));
    EXPECT_TRUE(is_zero_const(&fzero));
    EXPECT_FALSE(is_zero_const(&one));
    for (uint32_t mode : {M_XREG, M_XACK, M_IXACK, M_DXACK, M_PROC}) EXPECT_TRUE(uses_x_mode(mode));
    EXPECT_FALSE(uses_x_mode(M_IDXACK));
    EXPECT_FALSE(uses_x_mode(M_YACK));

    Node name;
    name.kind = NodeKind::NameAddr;
    Node frame;
    frame.kind = NodeKind::FrameAddr;
    Node sum;
    sum.kind = NodeKind::Add;
    sum.left = &one;
    sum.right = &name;
    EXPECT_TRUE(is_simple_tree(&name));
    EXPECT_TRUE(is_simple_tree(&sum));
    EXPECT_FALSE(is_simple_tree(&frame));
    sum.right = &one;
    EXPECT_FALSE(is_simple_tree(&sum));

    Node lt;
    lt.kind = NodeKind::Lt;
    lt.left = &one;
    lt.right = &name;
    mirror_compare(&lt);
    EXPECT_EQ(lt.kind, NodeKind::Gt);
    EXPECT_EQ(lt.left, &name);
    mirror_compare(&lt);  // the constant is on the right now
    EXPECT_EQ(lt.kind, NodeKind::Gt);
    Node ge = lt;
    ge.kind = NodeKind::Ge;
    ge.left = &one;
    mirror_compare(&ge);
    EXPECT_EQ(ge.kind, NodeKind::Le);
}

TEST(Functions, TemporariesReusedAcrossStatementsOneFrameSize) {
    Compiled c = compile("void f(int *p, int i) { p[i] += 3; p[i + 1] -= 5; p[i + 2] |= 8; }\n"
                         "long g(long *q, int i) { q[i] += 1; return q[i + 1]++; }\n");
    ASSERT_EQ(c.rc, 0) << c.err;
    std::string t = body(c.out);
    // f reaches each element through X and needs no temporary at all
    EXPECT_TRUE(has(t, "_f:\n\tLDD\t4,S\n")) << t;
    EXPECT_FALSE(has(t, "OP_ERROR")) << t;
    EXPECT_TRUE(c.err.find("LEGALIZE") == std::string::npos) << c.err;
    // g: one address slot serves both statements
    EXPECT_EQ(count(t, ";\tTotal scratch space: 2 (bytes)"), 1) << t;
    EXPECT_TRUE(has(t, "_g:\n\tLEAS\t-2,S\n")) << t;
    EXPECT_TRUE(has(t, "\tLEAS\t2,S\n\tRTS\n")) << t;
}

}  // namespace
}  // namespace zun::tcx::test
