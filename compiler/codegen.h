// SPDX-License-Identifier: MIT
// The code generator's own records: operand descriptors, instruction-list
// entries with their opcodes, and the per-function context that the
// legalizers, the peephole passes and the printers share.
#pragma once

#include "compiler/internal.h"

#include <array>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zun::tcx {

// Where an operand lives and how it is addressed.
enum Mode : uint32_t {
    M_NONE = 0,
    M_ACK = 1,       // B, A or D
    M_DACK = 2,      // the D:Y pair
    M_XREG = 3,      // the pointer held in X
    M_XACK = 4,      // n,X
    M_IXACK = 5,     // [n,X]
    M_YACK = 7,      // n,Y
    M_IYACK = 8,     // [n,Y]
    M_ADRGLOB = 9,   // address of a global as an immediate
    M_ADRLOC = 10,   // address of a local
    M_GLOB = 11,     // global in memory
    M_LOC = 12,      // local or temporary
    M_IMM = 13,      // immediate constant
    M_LOCIND = 14,   // [n,S]
    M_GLOBIND = 15,  // [symbol,PCR]
    M_ADXACK = 16,   // the address D+X
    M_DXACK = 17,    // D,X
    M_IDXACK = 18,   // [D,X]
    M_TOS = 19,      // ,S (popped when step is set)
    M_UREG = 21,     // U
    M_AUTOPOST = 22,
    M_PROC = 23,     // ,X+ / ,Y+ / ,U+ walks
    M_SOFTREG = 24,
};

// Register numbers, also the names' index.
enum Reg : uint8_t { R_NONE = 0, R_B = 1, R_D = 2, R_X = 3, R_U = 4, R_Y = 5, R_A = 6, R_DY = 7 };

struct Operand {
    uint32_t mode = M_NONE;
    Node* value = nullptr;     // offset, constant or symbol; never null once built
    Type* type = nullptr;
    int32_t sequence = 0;      // register holder number, -1 once released
    Operand* base = nullptr;
    Operand* origin = nullptr;
    Operand* second = nullptr;
    int8_t step = 0;
    uint8_t reg = R_NONE;
    bool is_volatile = false;  // a volatile object: every access goes to memory
};

// Opcodes of instruction-list entries: 6809 instructions and pseudo entries.
enum Op : int {
    OP_ADD = 106, OP_SUB = 110, OP_MULS8 = 114, OP_MULU8 = 115, OP_MUL = 122,
    OP_MODS16 = 136, OP_MODU16 = 137, OP_AND = 140, OP_AND2 = 141, OP_EXG_DX = 142,
    OP_TFR = 143, OP_EXG_DY = 144, OP_OR = 145, OP_OR2 = 146, OP_EOR = 147,
    OP_ASL = 149, OP_LSR = 150, OP_JMP = 151, OP_JSR = 152, OP_RTS = 154, OP_TST = 155,
    OP_SEX = 156, OP_LEA = 158, OP_NEG = 160,
    OP_BRA = 161, OP_BEQ = 162, OP_BNE = 163, OP_BLT = 164, OP_BLE = 165, OP_BGT = 166,
    OP_BGE = 167, OP_BHI = 168, OP_BCC = 169, OP_BCS = 172, OP_BLS = 173,
    OP_COM = 174, OP_CMP = 175, OP_CLR = 178, OP_ENTER = 179, OP_ENTER2 = 180,
    OP_EXIT = 181, OP_EXIT2 = 182, OP_LABEL = 183, OP_CMP2 = 185, OP_LABELREF = 186,
    OP_ASR = 187, OP_ROL = 188, OP_ROR = 189, OP_NOP = 190, OP_RTI = 191,
    OP_LBRA = 2000, OP_LBEQ = 2001, OP_LBNE = 2002, OP_LBLT = 2003, OP_LBLE = 2004,
    OP_LBGT = 2005, OP_LBGE = 2006, OP_LBHI = 2007, OP_LBCC = 2008, OP_LBCS = 2009,
    OP_LBLS = 2010,
    OP_INC = 2021, OP_DEC = 2022, OP_PUSH = 2023, OP_PUSH2 = 2024, OP_LEAS = 2025,
    OP_LOAD = 2026, OP_STORE = 2027, OP_LOADLOW = 2031, OP_LOADHIGH = 2032,
    OP_STOREHIGH = 2033, OP_STORELOW = 2034, OP_MOVELONG = 2036, OP_ADJX = 2037,
    OP_ADJY = 2038, OP_CMPX = 2039, OP_CLRA = 2040, OP_LEAXC = 2042, OP_BLOCKMOVE = 2043,
    OP_ARGCOPY = 2044, OP_RSUB = 2045, OP_INCB = 2050, OP_PUSHREG = 2051,
    OP_PULLREG = 2052, OP_PUSHDY = 2053, OP_SHIFTMEM8 = 2058, OP_EXG_XY = 2065,
    OP_CMP32IMM = 2066, OP_LREF1 = 2067, OP_LREF2 = 2068, OP_BITB = 2071, OP_EORAIMM = 2072,
    OP_EOR2 = 2074, OP_OR2BYTES = 2075, OP_EXG_DU = 2076, OP_LREF3 = 2077, OP_LREF4 = 2078,
    OP_ADD32IMM = 2079, OP_SUB32IMM = 2080, OP_DEPTH = 2082, OP_INCX = 2083, OP_DECX = 2084,
    OP_INCY = 2085, OP_DECY = 2086, OP_EXG = 2089, OP_FAULT = 2090, OP_COMMENT = 2091,
    OP_DEBUG = 2092,
};

// Transfer and exchange pair codes of OP_TFR and OP_EXG.
enum Pair : int {
    P_XD = 1, P_DX = 2, P_AB = 3, P_BA = 4, P_XY = 6, P_DY = 7, P_YD = 9, P_XB = 12,
};

// Accepted operand places, as the legalizer reads them.
enum Flags : uint32_t {
    F_ACK = 0x1, F_XREG = 0x2, F_XACK = 0x4, F_MEM = 0x8, F_IXACK = 0x10, F_IMMED = 0x20,
    F_ALL = 0x40, F_VOL = 0x80, F_NOVALUE = 0x100, F_USES = 0x200, F_NOIND = 0x400,
    F_NOMEM = 0x800,
};

struct Insn {
    int opcode = OP_NOP;
    Operand* op[3] = {nullptr, nullptr, nullptr};
    int arg = 0;               // size, register number, pair code or count
    int label = 0;             // label entries and branch targets
    bool live = true;
    int fault = 0;             // OP_FAULT
    std::string text;          // OP_COMMENT
    int line = 0;              // the statement's source position, for the echo
    DebugPos pos;
    const Stmt* asm_stmt = nullptr;  // __asm text, its operands resolved when printed
    // OP_DEBUG: kind 1000 statement, 1003 function exit (both at debug_at),
    // 1004 a symbol of the function (debug_symbol).
    int debug_kind = 0;
    Pos debug_at;
    const Symbol* debug_symbol = nullptr;
};

struct SwitchTable {
    int label = 0;
    std::vector<int> targets;
};

// The registers handed out while a statement is generated, the saves of a
// register handed out twice, and the stack temporaries of the function.
struct SpillEntry {
    int kind = 0;              // register number saved
    Operand* temp = nullptr;   // where it was saved
    Operand* holder = nullptr; // the holder whose release restores it; null when free
};

struct TempSlot {
    Operand* d = nullptr;
    bool in_use = false;
    int size = 0;
};

struct RegModel {
    static constexpr size_t kSpills = 100;
    static constexpr size_t kTemps = 100;
    int x = 0, u = 0, y = 0, a = 0, b = 0;   // holders of each register
    std::vector<SpillEntry> spills = std::vector<SpillEntry>(kSpills);
    std::vector<TempSlot> temps;             // at most kTemps slots
    int temp_place = 0;        // bytes of temporaries, placing the next one
    int temp_bytes = 0;        // bytes of temporaries in the frame
    int locals = 0;            // bytes of locals above the temporaries
    std::vector<Operand*> statement_temps;  // in use until the statement ends
};

// The lengths of a mnemonic's instructions by addressing mode (-1 where it
// has none), kept by mnemonic so that the table is searched once for each.
using MnemonicRows = std::unordered_map<std::string, std::array<int, 10>>;

// A printed line split into mnemonic and operand and classified by the
// effects the peephole rules that follow values read (peephole_values.cpp).
struct PrintedLine {
    std::string m;        // mnemonic, upper case
    std::string operand;  // as printed
    std::string uop;      // the operand in upper case
    bool label = false;   // a label line inside an entry's text
    int branch = -1;      // a conditional branch: the flags it reads
    bool ends = false;    // goes nowhere after: BRA, JMP, RTS ...
    bool known = false;   // its effect on the flags is known
    unsigned freads = 0, fsets = 0;
};

// Per-function state of the code generator.
struct CodeGen {
    explicit CodeGen(TranslationUnit& unit) : tu(unit) {}

    TranslationUnit& tu;
    Arena<Operand> operands;
    Arena<Insn> insns;
    std::vector<Insn*> list;   // the function's instruction list
    std::vector<SwitchTable> tables;
    int locals_size = 0;       // bytes of locals and temporaries below the entry S
    int push_depth = 0;        // bytes pushed since the entry adjustment (printer)
    mutable bool offset_reported = false;  // an S offset beyond 16 bits was reported
    DebugPos stmt_pos;         // position given to new entries
    Pos debug_mark;            // -g: position of the last statement marker

    // Generation state of the function being compiled.
    FunctionDef* fn = nullptr;
    int depth = 0;             // bytes pushed so far while generating
    int break_label = 0, continue_label = 0, exit_label = 0;
    std::map<const Stmt*, int> case_labels;
    std::map<const Stmt*, std::pair<int, int>> loop_labels;  // break, continue
    RegModel regs;

    // The text of entries as printed at their place, kept while the list is
    // improved: the peephole rules and the branch sizes read it again and
    // again. The opcode, its number and label tell a rule's change.
    struct Rendered {
        int depth = 0, opcode = 0, arg = 0, label = 0;
        std::string text;
        int bytes = -1;                 // text_bytes, once asked for
        bool parsed = false;
        std::vector<PrintedLine> lines;  // once asked for
    };
    std::unordered_map<const Insn*, Rendered> rendered;
    MnemonicRows mnemonic_rows;
    const Insn* printing = nullptr;  // the entry put_op prints, for the faults it finds
};

// ---- output.cpp (writers the code generator adds) ----

void data_float(TranslationUnit& tu, const Symbol* s, double v);
void data_float_words(TranslationUnit& tu, double v);

// ---- insn_list.cpp ----

Operand* new_operand(CodeGen& cg, uint32_t mode, Operand* origin = nullptr);
Operand* copy_operand(CodeGen& cg, const Operand* d);
Node* int_node(CodeGen& cg, int32_t value);
Operand* operand_imm(CodeGen& cg, int32_t n);
Operand* operand_label(CodeGen& cg, int n);
Operand* operand_reg(CodeGen& cg, uint32_t mode, uint8_t reg);
Insn* emit(CodeGen& cg, int opcode, int arg = 0, Operand* a = nullptr, Operand* b = nullptr,
           Operand* c = nullptr);
Insn* emit_branch(CodeGen& cg, int opcode, int label);
Insn* emit_label(CodeGen& cg, int label);
Insn* emit_fault(CodeGen& cg, int code, Operand* d, int arg);
Insn* emit_comment(CodeGen& cg, const std::string& text);
int new_label(CodeGen& cg);
bool is_instruction(const Insn* e);
bool is_branch(int opcode);
int int_value(const Node* n, bool* symbolic = nullptr);

// ---- code_size.cpp ----

std::string upper_case(std::string_view s);
// The fields of a printed line, each a run of characters other than space
// and tab: the label (when the line starts with one), mnemonic and operand.
struct LineFields {
    std::string_view label, mnemonic, operand;
};
LineFields split_line(std::string_view line);
// What a line or text the size of which is not known counts as: beyond
// the reach of any branch.
constexpr int kUnknownBytes = 1 << 20;
// The bytes one printed line assembles to (0 for a label or comment line);
// -1 for a line that is not an instruction.
int line_bytes(std::string_view line, MnemonicRows* known = nullptr);
int text_bytes(std::string_view text, MnemonicRows* known = nullptr);

// ---- peephole.cpp ----

int long_branch(int opcode);
void branch_ranges(CodeGen& cg);
void merge_byte_pairs(CodeGen& cg);
void peephole(CodeGen& cg);

// ---- peephole_values.cpp ----

// Drops compares with 0 whose flags the instruction before set, and loads
// of values their register still holds; true when it dropped anything.
bool follow_values(CodeGen& cg);
// The lines of an entry as printed at depth, split and classified once.
const std::vector<PrintedLine>& entry_lines(CodeGen& cg, const Insn* e, int depth);
void improve_and_print(CodeGen& cg);

// ---- print_operand.cpp ----

void put(CodeGen& cg, const std::string& text);
// A line the printer writes where an entry cannot be printed: it stays in the
// text, and a live entry's fault fails the run.
void put_fault(CodeGen& cg, const std::string& text);
std::string mode_trace(const Operand* d, int size);
void put_amode(CodeGen& cg, bool split, int size, const std::string& m, const Operand* d,
               bool second_byte = false);
void put_amode_high(CodeGen& cg, const std::string& m, const Operand* d);
void put_amode_low(CodeGen& cg, const std::string& m, const Operand* d);
std::string put_amode_line(CodeGen& cg, const Operand* d, int extra);
void put_lea(CodeGen& cg, const Operand* d, int reg);
std::string operand_const(CodeGen& cg, const Node* n);
int stack_offset(const CodeGen& cg, const Operand* d, int extra = 0);
// An offset from the entry S as printed: below the frame and the pushes.
int frame_offset(const CodeGen& cg, int32_t entry_offset);

// ---- legalize.cpp ----

Operand* operand_glob(CodeGen& cg, Node* symbol);
Operand* operand_loc(CodeGen& cg, const Symbol* s);
Operand* operand_pair_d(CodeGen& cg, Operand* low, Operand* high);
Operand* operand_pair_dy(CodeGen& cg, Operand* d, Operand* y);

Operand* alloc_reg(CodeGen& cg, int kind);
Operand* alloc_ptr_reg(CodeGen& cg);
void release(CodeGen& cg, Operand* d);
void regs_reset(CodeGen& cg);
void regs_check_balanced(CodeGen& cg);

void temps_reset(CodeGen& cg, int locals_size);
Operand* temp_alloc(CodeGen& cg, int size);
void temp_free(CodeGen& cg, const Operand* d);

Operand* legalize(CodeGen& cg, uint32_t flags, Operand* d, int size);
Operand* value_operand(CodeGen& cg, Operand* r, int size);
Operand* g_value(CodeGen& cg, Node* n);
Operand* value_in_acc(CodeGen& cg, Node* n);
Operand* deref_operand(CodeGen& cg, Operand* r);
Operand* g_deref_ptr(CodeGen& cg, Node* n);
Operand* ptr_in_x_obj(CodeGen& cg, Node* n);
Operand* ptr_in_x(CodeGen& cg, Node* n);
Operand* value_in_ptr_reg(CodeGen& cg, Node* n, int kind, bool use_lea);
Operand* load_long(CodeGen& cg, Operand* d);
void store_long(CodeGen& cg, Operand* d);
bool same_operand(const Operand* a, const Operand* b);

int is_commutative(CodeGen& cg, int opcode);
bool is_zero_const(const Node* n);
bool uses_x_mode(uint32_t mode);
bool is_simple_tree(const Node* n);
void mirror_compare(Node* n);

// ---- codegen_expr.cpp ----

// The accumulator of a value of size bytes: B, or D.
inline int acc_reg(int size) { return size == 1 ? R_B : R_D; }
Operand* acc(CodeGen& cg, int size);
Node* make_node(CodeGen& cg, NodeKind kind, Node* l, Node* r, Kind tk, int32_t size);
void push_reg(CodeGen& cg, int reg, int size);
void pull_reg(CodeGen& cg, int reg, int size);
void release_stack(CodeGen& cg, int size);
void after_pop(CodeGen& cg, int size);
void gen_value(CodeGen& cg, Node* n);
void gen_effect(CodeGen& cg, Node* n);
int value_size(const Node* n);
bool is_unsigned_node(const Node* n);

// ---- codegen_load.cpp ----

void fault(CodeGen& cg, int code, int size);
bool is_struct_node(const Node* n);
// A pointer tree without the wrappers that change nothing in its bits.
Node* bare(Node* n);
bool is_address_constant(const Node* n);
// A constant address, or one a constant away from a frame or static address.
bool is_simple_address(Node* a);
// A 16-bit pointer object at a simple address: [n,S] or [name,PCR] reach its target.
bool is_pointer_variable(Node* p);
// A pointer variable stepped by size bytes at each access (*p++, *p--).
bool is_walk(Node* a, int size);
// The object at address a reached with X alone: D keeps its value.
bool addressable_without_d(Node* a, int size, bool walk);
// A pointer value that X can take without D.
bool x_only(Node* p);
// Emits the load of pointer p into X (x_only(p) holds).
void x_load(CodeGen& cg, Node* p, int32_t extra = 0);
// The register allocated, its register number set.
Operand* hold(CodeGen& cg, int reg);
// A register waits for a later use: in a stack temporary, or pushed when
// the function has no frame; restore_into gives it back.
Operand* save_reg(CodeGen& cg, int reg, int size);
void restore_into(CodeGen& cg, Operand* t, int reg, int size);
Operand* save_acc(CodeGen& cg, int size);
// The saved value as the operand of an operation on the accumulator.
void apply_saved(CodeGen& cg, int opcode, int size, Operand* t);
// The operand of the object at address a when no code is needed to reach it.
Operand* simple_addr(CodeGen& cg, Node* a, int32_t extra = 0);
// The pointer p into X; the X holder is returned.
Operand* pointer_into_x(CodeGen& cg, Node* p);
// The object at address a, size bytes; with walk, *p++ over a pointer
// variable is the walking operand (mode 23), its pointer stored back by
// release_object.
Operand* object_at(CodeGen& cg, Node* a, int size, bool walk);
Operand* object_no_walk(CodeGen& cg, Node* a, int size);
// Done with an object operand: a walking pointer goes back, X is free.
void release_object(CodeGen& cg, Operand* o);
bool uses_x(const Operand* o);
// An object at D,X whose D is needed for a value: its address goes into X.
Operand* stable(CodeGen& cg, Operand* o);
// An object behind [n,S] or [name,PCR] as 0,X with its address in X, so
// that its bytes or words can be named one by one.
Operand* through_x(CodeGen& cg, Operand* o);
// A 16-bit AND, OR or EOR goes byte by byte (ANDA o, ANDB o+1).
Operand* splittable(CodeGen& cg, Operand* o, int opcode, int size);
// Whether computing the tree may change X.
bool clobbers_x(const Node* n);
void load_value(CodeGen& cg, Operand* d, int size);
void store_value(CodeGen& cg, Operand* d, int size);
// Widens the accumulator from one size to another.
void resize(CodeGen& cg, int from, int to, bool from_unsigned);
// The value in B or D, a byte widened by its signedness.
void gen_value_as(CodeGen& cg, Node* n, int size);
// An operand the instruction on the accumulator can take without touching
// the accumulator: a constant, an address constant or an object in memory
// (through X at most unless x_too is false). Checked first, built afterwards.
bool plain(Node* n, int size, bool walk, bool x_too = true);
Operand* plain_operand(CodeGen& cg, Node* n, int size, bool walk);
Operand* gen_addr(CodeGen& cg, Node* a);
Operand* gen_object(CodeGen& cg, Node* a, int size, bool walk);
// Whether the object at address a is reached without code: a global, a
// local, or through a pointer variable ([n,S], [name,PCR]).
bool reached_without_code(Node* a);
// Whether the object at address a is reached with X alone, D untouched.
bool reached_with_x(Node* a, int size);

// ---- codegen_store.cpp ----

void gen_assign(CodeGen& cg, Node* n, bool want);
void gen_compound(CodeGen& cg, Node* n, bool want);
void gen_step(CodeGen& cg, Node* n, bool want);
// The address of a structure into U (the source of a block move).
void address_into_u(CodeGen& cg, Node* a, Operand*& u);
NodeKind binary_of(NodeKind k);
Node* settled_field(CodeGen& cg, Node* f);

// ---- codegen_arith.cpp ----

void gen_binop(CodeGen& cg, Node* n, int opcode, Node* left, Node* right, int size, bool walk = true);
void gen_binop(CodeGen& cg, Node* n, int opcode);
// How x * c goes by shifts and additions: D shifted left by each step's
// count, then x added (1), subtracted (-1) or not (0); no steps when the
// runtime routine does better.
struct MulPlan {
    struct Step {
        int shift;
        int add;
    };
    std::vector<Step> steps;
};
MulPlan mul_plan(uint16_t c);
// D (the value of x) times the constant of a plan with steps, x read again
// from memory when it may be, else kept on the stack.
void mul_d_by_plan(CodeGen& cg, Node* x, const MulPlan& plan);
void gen_mul(CodeGen& cg, Node* n);
void gen_divmod(CodeGen& cg, Node* n, bool mod);
void gen_shift(CodeGen& cg, Node* n);

// ---- codegen_branch.cpp ----

int compare_branch(NodeKind k, bool is_unsigned);
NodeKind negate_compare(NodeKind k);
void gen_bool_value(CodeGen& cg, Node* n);
void gen_conditional(CodeGen& cg, Node* n, bool want);
void gen_cond(CodeGen& cg, Node* n, int label, bool jump_if);

// ---- codegen_call.cpp ----

void call_runtime(CodeGen& cg, const std::string& name);
// A call; a structure result goes to result_at, or to a temporary whose
// address is the value.
void gen_call(CodeGen& cg, Node* n, Node* result_at = nullptr);

// ---- codegen_long.cpp ----

bool is_float_kind(Kind k);
bool gen_long(CodeGen& cg, Node* n);
void gen_long_as(CodeGen& cg, Node* n, Kind to);
void gen_narrow(CodeGen& cg, Node* n);
void gen_long_cond(CodeGen& cg, Node* n, int label, bool jump_if);
// x++ and x-- of 32-bit and floating objects; the old value in D:Y when wanted.
bool gen_long_step(CodeGen& cg, Node* n, bool want);
// x = v for 32-bit objects; D:Y holds the value when wanted.
bool gen_long_assign(CodeGen& cg, Node* n, bool want);

// ---- codegen_bitfield.cpp ----

// The value of a bit-field in B, D or D:Y.
void gen_bitfield_read(CodeGen& cg, Node* f);
// f = r for a bit-field; its new value in B, D or D:Y when wanted.
void gen_bitfield_store(CodeGen& cg, Node* f, Node* r, bool want);
// f op= r (and f++, f--): the field's new value in B, D or D:Y when wanted.
void gen_opassign_bitfield(CodeGen& cg, Node* f, NodeKind op, Node* r, bool want);

// ---- codegen_stmt.cpp ----

void gen_statement(CodeGen& cg, Stmt* s);

// ---- debug.cpp (pseudo-entries and frame lines, -g only) ----

enum DebugKind : int { DEBUG_STATEMENT = 1000, DEBUG_EXIT = 1003, DEBUG_SYMBOL = 1004 };

// A statement marker, unless the last marker has the same position.
void debug_statement(CodeGen& cg, const DebugPos& pos);
void debug_exit(CodeGen& cg, Pos pos);
// Takes out the statement markers that no code follows, after the peephole.
void debug_drop_codeless(CodeGen& cg);
// Symbol entries of the function itself, its parameters and its autos.
void debug_symbol_entries(CodeGen& cg);
// ".stab fstart" and its ".stab stmt", then the symbol entries' lines: they
// go out before the function's first entry, whatever that entry is.
void debug_function_start(CodeGen& cg);
// ".stab fend": after the function's code, before its jump tables.
void debug_function_end(CodeGen& cg);
void debug_entry_text(CodeGen& cg, const Insn* e);

// ---- print_insn.cpp ----

void put_op(CodeGen& cg, const Insn* e);
// The text of one entry as printed with depth bytes pushed, without any
// effect on the output, the labels or the diagnostics.
std::string render_entry(CodeGen& cg, const Insn* e, int depth);
// The same, printed once while the list is improved and kept with what
// is learnt of it; an entry whose operands change must be taken out of
// cg.rendered.
CodeGen::Rendered& rendered_entry(CodeGen& cg, const Insn* e, int depth);
int entry_bytes(CodeGen& cg, const Insn* e, int depth);
void op_error_dump(CodeGen& cg, const Insn* e);

}  // namespace zun::tcx
