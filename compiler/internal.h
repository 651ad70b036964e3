// SPDX-License-Identifier: MIT
// Shared records of the compiler's stages and the functions they call across
// files. One TranslationUnit holds every piece of state of one compilation;
// each stage gets it by reference. Sections follow the source files.
#pragma once

#include "compiler/arena.h"
#include "compiler/compiler.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zun::tcx {

struct TranslationUnit;

// A stop of the whole compilation; run() turns it into the exit code.
struct Fatal {
    int exit_code;
};

struct Pos {
    int line = 0;
    int col = 0;
};

// Start and end of a declaration or statement in the source, for the echo
// of source lines and the debugger.
struct DebugPos {
    Pos start;
    Pos end;
};

// ---- scan.cpp ----

enum class Tok : int {
    IntConst = 1, LongConst = 2, String = 3, FloatConst = 4,
    Plus = 5, Minus = 6, Slash = 7, Shl = 8, Shr = 9, Percent = 10,
    Eq = 11, Ne = 12, Lt = 13, Le = 14, Gt = 15, Ge = 16,
    Assign = 17, AddAssign = 18, SubAssign = 19, MulAssign = 20, DivAssign = 21,
    ModAssign = 22, XorAssign = 23, ShlAssign = 24, ShrAssign = 25, AndAssign = 26,
    OrAssign = 27, Inc = 28, Dec = 29, Question = 30, Tilde = 31, Comma = 32,
    Colon = 33, Semicolon = 34, Caret = 35, LBracket = 36, RBracket = 37,
    LBrace = 38, RBrace = 39, RParen = 40, Arrow = 41, Dot = 42, OrOr = 43,
    AndAnd = 44, Not = 45, Or = 46, And = 47, Star = 48, LParen = 49, Ident = 50,
    Asm = 51, Pascal = 52, Nomangle = 54, Interrupt = 57, Int = 58, Restrict = 62,
    Inline = 63, Void = 64, Char = 65, Float = 66, Double = 67, Struct = 68,
    Union = 69, Enum = 70, Const = 71, Volatile = 72, Signed = 73, Long = 74,
    Short = 75, Unsigned = 76, Auto = 77, Extern = 78, Register = 79, Typedef = 80,
    Static = 81, Goto = 82, Return = 83, Sizeof = 84, Break = 85, Continue = 86,
    If = 87, Else = 88, For = 89, Do = 90, While = 91, Switch = 92, Case = 93,
    Default = 94, UIntConst = 95, ULongConst = 96, Eof = 97,
};

struct SourceLine {
    std::string_view text;  // in its file's text
    int number = 0;
    bool echoed = false;
};

struct SourceFile {
    std::string name;
    std::string text;  // the whole file, which its lines view
    std::vector<SourceLine> lines;
    int last_echoed = 0;
};

enum class SegKind : uint8_t { None = 0, Code = 2, Data = 3, Bss = 4, Const = 5 };

struct Scanner {
    std::vector<std::string_view> input_lines;  // the unit's input text, split by the line reader
    size_t next_input_line = 0;
    std::string line;                      // line being read, with its newline
    size_t line_pos = 0;
    int ch = ' ';                          // lookahead character, -1 at end of input
    std::string text;                      // characters of the current token
    Tok tok = Tok::Eof;
    uint32_t ival = 0;
    double fval = 0;
    std::string str;                       // decoded string literal
    int line_no = 0;                       // scanner's line, as line directives set it
    int tok_line = 0;                      // line that messages carry
    int physical_lines = 0;
    int column = 0;
    int quiet = 0;
    Pos tok_start, tok_end, last_lbrace, last_rbrace, last_rparen, last_semicolon;
    std::deque<SourceFile> files;          // source-line store
    SourceFile* current_file = nullptr;
    bool file_line_written = false;
};

void scan_init(TranslationUnit& tu);
void scan_token(TranslationUnit& tu);
void expect(TranslationUnit& tu, Tok t);
std::string token_text(const TranslationUnit& tu);
Pos current_pos(const TranslationUnit& tu);
bool find_char(TranslationUnit& tu, char c, Pos& out);
const SourceLine* source_line(const TranslationUnit& tu, int number);
void open_source_file(TranslationUnit& tu, const std::string& name);
void skip_space(TranslationUnit& tu);

// ---- types.cpp ----

enum class Kind : uint8_t {
    Char = 0, Short = 1, Long = 2, LongLong = 3, UChar = 4, UShort = 5, ULong = 6,
    ULongLong = 7, Float = 8, Double = 9, Struct = 11, Union = 12, Function = 13,
    Bitfield = 14, Ellipsis = 15, Pointer = 16, Void = 18,
};

struct Symbol;

struct Type {
    Symbol* first = nullptr;   // struct/union: first member; function: first parameter
    Symbol* last = nullptr;    // struct/union: newest member
    Type* base = nullptr;      // pointer/array element, function result
    std::string tag;
    int32_t size = 0;          // -1 while unknown
    Kind kind = Kind::Void;
    bool array = false;        // pointer: an array; function: has a prototype
    bool saved = false;        // outlives the scope that made it
    uint8_t bit_width = 0;
    uint8_t bit_offset = 0;
    uint8_t unit_bits = 0;
    bool is_const = false;     // this level of the type is const-qualified
    bool is_volatile = false;
    bool has_params = false;   // function: a parameter list was written
};

enum class StorageClass : uint8_t {
    Static = 0, Auto = 1, Global = 2, Extern = 3, Tag = 4, EnumConst = 5, Member = 6,
    Label = 7, LabelRef = 8, Typedef = 9, Param = 10,
};

enum SymbolFlags : uint8_t { Referenced = 1, BodyGiven = 2, Initialised = 4 };

struct Symbol {
    Symbol* older = nullptr;
    Symbol* newer = nullptr;
    std::string name;
    Type* type = nullptr;
    int32_t value = 0;         // label number, offset or enum value by class
    int32_t init_value = 0;    // initial value of a scalar, kept apart from the label
    double float_value = 0;
    StorageClass sclass = StorageClass::Auto;
    std::string segment;       // function: its code segment; static or global object: its bss or constant segment
    Pos body_start;
    int decl_line = 0;
    int block = 0;
    bool is_function = false;
    uint8_t nomangle = 0, is_volatile = 0, is_const = 0, interrupt = 0, pascal = 0;
    uint8_t flags = 0;
    bool emitted = false;
    bool checked = false;      // const/volatile check done
    bool is_register = false;  // declared with `register`
    uint32_t order = 0;        // place in its scope, counted from 1
    DebugPos pos;
};

// A list of symbols in declaration order.
struct Scope {
    Symbol* first = nullptr;
    Symbol* last = nullptr;
    uint32_t count = 0;  // symbols appended so far
    // The file scope never shrinks and may hold tens of thousands of names:
    // it keeps the newest symbol of each name indexed.
    bool indexed = false;
    std::unordered_map<std::string, Symbol*> index;
};

struct BuiltinTypes {
    Type void_, long_, ulong, llong, ullong, char_, uchar, short_, ushort, float_, double_,
        ldouble, int_, uint, char_ptr, implicit_fn, void_ptr, enum_const;
};

Type* new_type(TranslationUnit& tu, Kind kind, int32_t size);
Type* copy_type(TranslationUnit& tu, const Type* t);
Type* pointer_to(TranslationUnit& tu, Type* base);
Type* save_type(TranslationUnit& tu, Type* t);
bool same_type(const Type* a, const Type* b);
bool compatible_type(const Type* a, const Type* b);
bool is_integer(const Type* t);
bool is_unsigned(Kind k);
bool is_arith(const Type* t);
bool is_scalar_kind(Kind k);
Symbol* new_symbol(TranslationUnit& tu, const std::string& name);
// A symbol that nothing reads once its function's code is written: an auto
// object, a parameter as the body sees it, a label, __func__.
Symbol* new_local_symbol(TranslationUnit& tu, const std::string& name);
void append_symbol(Scope& scope, Symbol* s);
Symbol* find_in(const Scope& scope, const std::string& name);
Symbol* lookup(TranslationUnit& tu, const std::string& name);

// ---- parse_decl.cpp ----

enum class DeclContext : uint8_t { Block = 1, File = 2, OldParams = 10 };

struct DeclState {
    int n_const = 0, n_volatile = 0, n_pascal = 0, n_nomangle = 0, n_interrupt = 0;
    std::vector<std::string> kr_names;
    int bit_offset = 0, bit_width = 0, unit_bits = 0;
    bool in_body = false;      // inside a function body
    bool register_class = false;  // the declaration being read says `register`
    int block = 0;
    // File-scope symbols already looked at by the end-of-declaration checks,
    // and earlier ones a redeclaration may have made due for output.
    Symbol* qualifiers_checked = nullptr;
    Symbol* output_checked = nullptr;
    std::vector<Symbol*> redeclared;
    std::vector<Symbol*> tentative;  // definitions without initialiser, written at the end
};

void translation_unit(TranslationUnit& tu);
void declaration(TranslationUnit& tu, DeclContext ctx);

// What a declarator says about its type, applied to the specifier type
// once the whole declarator is read (declarators read inside out).
struct Declarator {
    struct Pointer {
        bool is_const = false, is_volatile = false;
    };
    struct Suffix {
        bool is_array = false;
        int32_t count = -1;
        Type* fn = nullptr;  // function suffix: parameters parsed, result set by apply
    };
    std::string name;
    int line = 0;
    Pos pos;
    bool progress = false;  // consumed at least one token
    std::vector<Pointer> pointers;
    std::vector<Suffix> suffixes;
    std::unique_ptr<Declarator> nested;
};

// The keyword counts of a declaration, kept while a list inside it (the
// members of a structure, the parameters of a prototype) counts its own,
// and put back when the list ends.
class OuterKeywordCounts {
public:
    explicit OuterKeywordCounts(TranslationUnit& tu);
    ~OuterKeywordCounts();
    OuterKeywordCounts(const OuterKeywordCounts&) = delete;
    OuterKeywordCounts& operator=(const OuterKeywordCounts&) = delete;

private:
    TranslationUnit& tu_;
    int n_const_, n_volatile_, n_pascal_, n_nomangle_, n_interrupt_;
};

struct Spec {
    Type* type = nullptr;
    bool any = false;  // a type word or typedef name was given
};

void append_member(Type* t, Symbol* s);
bool is_qualifier(Tok t);
void count_qualifier(TranslationUnit& tu);
void reset_counters(TranslationUnit& tu);
bool is_typedef_name(TranslationUnit& tu);
Spec type_specifier(TranslationUnit& tu);
void parse_declarator(TranslationUnit& tu, Declarator& d);
Type* apply(TranslationUnit& tu, const Declarator& d, Type* base);
Symbol* add_symbol(TranslationUnit& tu, Symbol* s, bool file_scope);

// ---- parse_stmt.cpp ----

struct Node;

// Statement records of one function body, the input of the code generator.
enum class StmtKind : uint8_t {
    Expr = 0, While = 1, For = 2, Do = 3, If = 4, Switch = 5, Case = 6, Goto = 7, Break = 8,
    Continue = 9, Label = 10, Return = 11, Compound = 12, Default = 13, Asm = 14,
};

struct Stmt {
    StmtKind kind = StmtKind::Expr;
    Node* expr = nullptr;        // expression; condition of while/do/if/for/switch; returned value
    Node* init = nullptr;        // for: first clause (may be null)
    Node* step = nullptr;        // for: third clause (may be null)
    Stmt* body = nullptr;        // loop/switch body, then-branch; case/default/label: following statement
    Stmt* else_branch = nullptr; // if
    std::vector<Stmt*> list;     // compound: its statements in order (a pending initialisation first)
    // break: the loop or switch it leaves; continue: the loop it continues. The
    // continue target by loop form: while and do jump to the condition; for to
    // the step, else the condition, else the loop's top.
    Stmt* target = nullptr;
    Stmt* next_case = nullptr;   // case/default: next one of the same switch, in source order
    Stmt* first_case = nullptr;  // switch: head of its case/default chain
    Stmt* default_case = nullptr;// switch: its default statement, if any
    Node* result_slot = nullptr; // unused by the front end; free for the code generator
    int32_t value = 0;           // case: value (already cut to the switch type); goto/label: label number
    int const_cond = -1;         // -1 not constant, 1 always true, 0 always false
    Symbol* label = nullptr;     // goto/label: the label symbol (name, value = label number)
    std::string asm_text;        // __asm: the string
    std::vector<Node*> asm_operands;  // __asm: 0..5 trees: integer constants or addresses of lvalues
    DebugPos pos;
    Pos while_pos;               // do: its `while`, where the test's line is
    void* gen = nullptr;         // the code generator's own per-statement record
};

// One parsed function, handed whole to the code generator.
struct FunctionDef {
    Symbol* fn = nullptr;
    Stmt* body = nullptr;                // the outermost compound statement
    // Parameters in binding order; value = offset above the stack pointer at
    // entry (2 and up, 4 and up with a structure result).
    std::vector<Symbol*> params;
    // Every auto object of the body; value = negative offset below the stack
    // pointer at entry (the object spans value .. value+size-1).
    std::vector<Symbol*> locals;
    int32_t locals_size = 0;             // bytes below the entry stack pointer
    std::vector<Symbol*> labels;         // goto labels; value = label number
    int func_name_label = 0;             // label of the pooled __func__ string
    bool struct_result = false;          // hidden result pointer at offset 2
    bool uses_asm = false;
    bool returns_seen = false;
    Pos body_start, body_end;
    // Scalar autos and parameters that may live in a register, oldest first:
    // those declared `register` (the first 20) and the others (the first 100,
    // for the register allocator's report). Taking an object's address with
    // '&' drops it from both lists; the extra ones are never listed.
    std::vector<Symbol*> register_candidates;
    std::vector<Symbol*> other_candidates;
};

constexpr size_t max_register_candidates = 20;
constexpr size_t max_other_candidates = 100;

// State of the function body being parsed.
struct BodyState {
    FunctionDef* def = nullptr;
    std::vector<Stmt*> breakable;      // enclosing loops and switches, innermost last
    std::vector<Stmt*> loops;          // enclosing loops, innermost last
    std::vector<Stmt*> switches;       // enclosing switches, innermost last
    std::vector<Stmt*> last_case;      // per switch: the newest case or default
    // Automatic initialisers not yet placed, each with its declarator's
    // position: each becomes a statement of its own.
    std::vector<std::pair<Node*, DebugPos>> pending_inits;
    bool return_seen = false;
    bool expression_failed = false;    // error 20 given for the previous token
};

// own: the definition's own function type (its parameters), which may be
// a later form of the symbol's prototype.
void function_body(TranslationUnit& tu, Symbol* fn, Type* own);
// Gives an automatic object of the current body its place in the frame.
void allocate_local(TranslationUnit& tu, Symbol* s);
// Lists a scalar auto or parameter of the current body as a register
// candidate; drop_register_candidate takes it off again (its address was taken).
void list_register_candidate(TranslationUnit& tu, Symbol* s);
void drop_register_candidate(TranslationUnit& tu, const Symbol* s);
// Writes the pooled strings not yet written, newest first.
void flush_new_strings(TranslationUnit& tu);
// Visits every statement record once in code order (the order in which the
// statements' instruction lists join into the function's list).
void join_statement_lists(Stmt* s, const std::function<void(Stmt*)>& append);

// ---- code generator entry (codegen_*.cpp; codegen_stub.cpp until it lands) ----

// Called once per function definition, only while no error has been reported
// in the run. Writes the function's whole text (pooled strings already
// flushed by the caller; prologue, code, jump tables, epilogue) into tu.out.
// May call internal_error. The front end has already simplified every tree.
void generate_function(TranslationUnit& tu, FunctionDef& f);

// ---- parse_struct.cpp ----

Type* struct_or_union(TranslationUnit& tu);
Type* enum_specifier(TranslationUnit& tu);
bool is_type_start(TranslationUnit& tu, Tok t);
Type* type_name(TranslationUnit& tu);  // abstract declarator for casts and sizeof
void emit_pending_globals(TranslationUnit& tu, bool tentative_too = true);

// ---- parse_expr.cpp ----

enum class NodeKind : uint8_t {
    Seq = 0, IntConst = 1, FloatConst = 2, StaticAddr = 3, NameAddr = 4, FrameAddr = 6,
    Call = 7, Add = 9, Sub = 10, Mul = 11, Mod = 12, Div = 13, Shl = 14, Shr = 15,
    Cond = 16, Assign = 17, Eq = 19, Ne = 20, AddAssign = 21, SubAssign = 22,
    MulAssign = 23, DivAssign = 24, ModAssign = 25, ShrAssign = 26, XorAssign = 27,
    ShlAssign = 28, AndAssign = 29, OrAssign = 30, Neg = 31, Not = 32, Compl = 33,
    Lt = 34, Le = 35, Gt = 36, Ge = 37, BitAnd = 38, BitOr = 39, LogAnd = 40,
    LogOr = 41, Xor = 42, PostInc = 43, PostDec = 44, Load = 45, Convert = 46,
    StructAddr = 47, BitValue = 48, Pair = 49, SizeofObject = 50,
    BlockCopy = 18,  // automatic aggregate initialiser: left source address, right target, value = size
};

struct Node {
    NodeKind kind = NodeKind::IntConst;
    Kind type_kind = Kind::Void;
    int32_t size = -1;
    int32_t literal_size = 0;
    Symbol* symbol = nullptr;
    uint8_t bit_width = 0, bit_offset = 0;
    int32_t value = 0;       // integer constant, label number, frame offset
    double fvalue = 0;
    std::string name;        // address by name
    bool warned = false;     // a folding warning was given for this node
    bool value_only = false; // no lvalue, though it may be a load: a cast's result, a member of a structure value
    bool is_volatile = false;  // Load, BitValue: the object read or written is volatile
    // fold_pass has been over this subtree and nothing has changed it since:
    // the conversions of a long chain of operators fold each operand once
    bool folded = false;
    Node* left = nullptr;
    Node* right = nullptr;
    Pos pos;
};

// An empty tree node: in the function's arena inside a body, else the unit's.
Node* blank_node(TranslationUnit& tu);
Node* new_node(TranslationUnit& tu, NodeKind kind, Node* left, Node* right);
Node* new_int_constant(TranslationUnit& tu, int32_t value, const Type* t);
void set_type(Node* n, const Type* t);
Node* typed_node(TranslationUnit& tu, NodeKind kind, Node* l, Node* r, const Type* t);
Type* expression(TranslationUnit& tu, Node*& slot);        // assignment level
Type* comma_expression(TranslationUnit& tu, Node*& slot);  // with the comma operator
// Whether writing the object that the lvalue tree n designates, of type
// t, would change a constant.
bool writes_constant(const Node* n, const Type* t);
Type* conditional_expression(TranslationUnit& tu, Node*& slot);
Type* convert(TranslationUnit& tu, Node*& slot, Type* from, Type* to, bool explicit_cast);
int32_t constant_integer(TranslationUnit& tu);
int32_t constant_int_expression(TranslationUnit& tu);
double constant_float_expression(TranslationUnit& tu);
Node* constant_address(TranslationUnit& tu);

// ---- convert.cpp ----

Type* promote(TranslationUnit& tu, Type* t);
// The usual arithmetic conversions: converts both trees, returns the common type.
Type* arith_type(TranslationUnit& tu, Type* lt, Type* rt, Node*& l, Node*& r);

// ---- parse_call.cpp ----

// A call of the operand built so far, after its '('; reads up to ')'.
Type* call(TranslationUnit& tu, Type* t, Node*& slot);

// ---- simplify.cpp ----

void simplify(TranslationUnit& tu, Node*& slot, bool always = false);
void fold_pass(TranslationUnit& tu, Node*& slot);
void fold_constant(TranslationUnit& tu, Node*& slot);
int32_t cut_to_type(int32_t v, Kind k);
void swap_operands(Node* n);
bool is_leaf(const Node* n);  // integer constant or address leaf (3, 4, 6)
// Value-node equality behind the code generator's operand comparison.
bool same_value(const Node* a, const Node* b);

// ---- init.cpp ----

void init_static(TranslationUnit& tu, Symbol* sym);
void init_auto(TranslationUnit& tu, Symbol* sym);
int init_data(TranslationUnit& tu, Symbol* sym, Type* t, int mode);

// ---- output.cpp ----

struct PooledString {
    int label = 0;
    std::string bytes;
    Symbol* owner = nullptr;  // __func__: written only when used; cleared once written or dropped
    std::string segment;      // the constant-data segment in force where the literal stood
};

struct Output {
    std::string text;
    bool pending_newline = false;
    int data_state = 0;          // 0 none, 1 FCB line open, 3 FDB line open
    int data_count = 0;
    std::string seg_name[6];     // by SegKind
    std::string seg_written[6];
    SegKind current = SegKind::None;
    std::vector<PooledString> pool;  // oldest first
    std::map<std::string, size_t> pool_index;
};

void out_line(TranslationUnit& tu, const std::string& s);
void out_newline(TranslationUnit& tu);
void out_raw(TranslationUnit& tu, const std::string& s);
std::string decorate(const std::string& name);
std::string asm_name(const Symbol* s);
void write_header(TranslationUnit& tu);
void file_line(TranslationUnit& tu, const std::string& path);
void segment_code(TranslationUnit& tu);
void segment_data(TranslationUnit& tu);
void segment_const(TranslationUnit& tu);
void segment_bss(TranslationUnit& tu);
// A SEGMENT line for a segment of the kind by its name, unless it is current.
void segment_named(TranslationUnit& tu, SegKind kind, const std::string& name);
void echo_source(TranslationUnit& tu, const DebugPos& pos);
std::string symbol_label(const Symbol* s);
void label_line(TranslationUnit& tu, int number);
void data_byte(TranslationUnit& tu, int value);
void data_byte_labelled(TranslationUnit& tu, const Symbol* s, const std::string& constant);
void data_word(TranslationUnit& tu, const std::string& constant);
void data_word_labelled(TranslationUnit& tu, const Symbol* s, const std::string& constant);
void data_quad(TranslationUnit& tu, const Symbol* s, const std::string& constant);
void data_string(TranslationUnit& tu, int label, const std::string& bytes, bool terminate = true);
void data_reserve(TranslationUnit& tu, const Symbol* s);
void export_line(TranslationUnit& tu, const Symbol* s);
std::string putconst(TranslationUnit& tu, const Node* n);
int pool_string(TranslationUnit& tu, const std::string& bytes, Symbol* owner);
// Passes the text written so far on to write_output once there is enough of it.
void pass_on_output(TranslationUnit& tu);
uint32_t float_bits(double v);
// v rounded to the target's single precision (what float_bits stores).
double single_value(double v);

// ---- debug.cpp (-g) ----

// The debug type table: slots 0-15 hold the built-in types, further slots
// are appended as symbol lines need them. A slot's index is the type's number.
struct DebugSlot {
    const Type* type = nullptr;
    char letter = 0;
    size_t chain_length = 0;  // levels same_chain compares; unequal lengths never match
};

struct DebugTable {
    static constexpr size_t capacity = 399;
    std::vector<DebugSlot> slots;
    std::map<const Type*, int> numbers;     // type record -> slot
    std::set<const Type*> no_slot;          // met when the table was full
    int symbol_line = 0;                    // declaration whose record is being made
    std::string module;                     // the second part of appended names
    bool module_fixed = false;
    std::set<const Symbol*> written;        // file-scope symbols with their line out
    std::map<const Symbol*, DebugPos> block_scopes;  // locals of inner blocks: their block
};

void debug_init(TranslationUnit& tu);
// The first source file that a line directive names gives the module name.
void debug_source_file(TranslationUnit& tu, const std::string& path);
std::string debug_module_name(const std::string& path);
int debug_type(TranslationUnit& tu, const Type* t);
int debug_type_number(const TranslationUnit& tu, const Type* t);
std::string debug_type_name(TranslationUnit& tu, int number);
std::string debug_type_ref(TranslationUnit& tu, int number);
// The locals of an inner block, `first` and those declared after it, are in
// scope only within the block.
void debug_block_scope(TranslationUnit& tu, const Symbol* first, const DebugPos& block);
// The ".stab sym" line of a static or global object whose storage is written.
void debug_symbol(TranslationUnit& tu, const Symbol* s);
// The record of a symbol line ("G:...", "S:...", "L:...", "F:..."); empty
// when the symbol gets none. frame: the frame size for autos.
std::string debug_symbol_record(TranslationUnit& tu, const Symbol* s, const Symbol* function, int frame);
void debug_type_table(TranslationUnit& tu);

// ---- diagnostics.cpp ----

extern const char* const compiler_message[153];

void report(TranslationUnit& tu, int number);
void report_at(TranslationUnit& tu, int line, int number, const std::string& arg = {});
void report_str(TranslationUnit& tu, int number, const std::string& text);
void report_str2(TranslationUnit& tu, int number, const std::string& a, const std::string& b);
void reportf(TranslationUnit& tu, int number, const std::string& text);
void internal_error(TranslationUnit& tu, int code);
// An entry that the code generator could not handle reached the output
// (its trace is there): an error of the run at the statement's line.
void code_generator_fault(TranslationUnit& tu, int code, int line);
// A message that names a limit of the compiler or a file problem, with its own
// text, as an error (or a warning) line at `line`; counted, never filtered.
void report_text(TranslationUnit& tu, int line, const std::string& text, bool is_warning = false);
// An error line for standard error that is neither counted nor limited
// (the run is over): "\"FILE\" (LINE) Error: TEXT", without the file part
// while no file is named.
std::string error_line(const TranslationUnit& tu, int line, const std::string& text);
std::string canon_name(const TranslationUnit& tu, const std::string& name);
std::string canon_quoted_name(const TranslationUnit& tu, const std::string& name);

// ---- driver.cpp ----

// The trees, statements and local symbols of one function body, parsed and
// then handed to the code generator: nothing of them is needed once its code
// is written. Types and all other symbols stay with the unit: later
// declarations, the debug type table (members, parameters of prototypes) and
// the end-of-unit checks still read them, and a block's static object has
// its debug line recorded by address.
struct FunctionArena {
    Arena<Node> nodes;
    Arena<Stmt> stmts;
    Arena<Symbol> symbols;
    void release() {
        nodes.release();
        stmts.release();
        symbols.release();
    }
};

struct TranslationUnit {
    explicit TranslationUnit(const Options& o);

    const Options& options;
    std::string file_name = " ";      // current file name for messages
    std::string working_dir;
    std::string input_text;

    // Reporting state.
    int last_line = 0;
    int last_error = 0;
    int errors = 0;
    int warnings = 0;
    int error_limit = 100;
    std::string err;                  // standard error
    std::string console;              // standard output besides the assembler text

    // Records that live as long as the unit: types, symbols, and the trees
    // made outside function bodies. The depth counter decides whether a type
    // counts as saved.
    int depth = 0;
    int sizeof_depth = 0;
    int constant_depth = 0;           // inside a constant_* helper: folding goes on after errors
    int nesting[3] = {};              // parse recursion by Nesting kind, see NestingGuard
    int chain_links = 0;              // links of the chains open around the parser, see ChainGuard
    Arena<Type> types;
    Arena<Symbol> symbols;
    Arena<Node> nodes;
    // The records of the function being compiled, released when its code is
    // written; `function` points at them from the start of its body till then.
    FunctionArena function_records;
    FunctionArena* function = nullptr;

    Scanner scan;
    BuiltinTypes builtin;
    Scope file_scope, tags, local_tags, locals;
    DeclState decl;
    int next_label = 1;
    Output out;
    DebugTable debug;
    BodyState* body = nullptr;        // set while a function body is parsed
    // Tests see each parsed function here, before code generation; a false
    // result skips its code generation (the tree tests stay independent of it).
    std::function<bool(const FunctionDef&)> function_hook;
    size_t strings_written = 0;       // pooled strings already in the output
    // Takes the assembler text written so far when there is an output file,
    // so that the text need not stay in memory to the end of the unit.
    std::function<void(std::string_view)> write_output;

    // The whole file; none when it cannot be read. `reason` gets why, when it is
    // something other than a missing file (a directory, a device).
    std::optional<std::string> read_file(const std::string& path, std::string* reason = nullptr) const;
};

void init_builtin_types(TranslationUnit& tu);

// Trees, statements and local symbols go to the function's records while it
// is alive; they are destroyed when it ends, once the function's code is written.
class FunctionScope {
public:
    explicit FunctionScope(TranslationUnit& tu) : tu_(tu), nested_(tu.function != nullptr) {
        tu.function = &tu.function_records;
    }
    ~FunctionScope() {
        if (nested_) return;
        tu_.function = nullptr;
        tu_.function_records.release();
    }
    FunctionScope(const FunctionScope&) = delete;
    FunctionScope& operator=(const FunctionScope&) = delete;

private:
    TranslationUnit& tu_;
    bool nested_;
};

// What a nesting level is a level of; each kind has the limit to itself,
// so that an expression may stand at the deepest statement.
enum class Nesting : uint8_t {
    Expression = 0,   // parentheses, brackets, the operand between '?' and ':'
    Statement = 1,    // the body of a statement, a block within a block
    Declaration = 2,  // declarator parentheses, parameter lists, structure bodies, aggregates within initialisers
};

// Bounds the recursion of the parsers, so that absurdly nested input ends
// with a message naming the limit instead of exhausting the stack.
class NestingGuard {
public:
    static constexpr int limit = 200;
    NestingGuard(TranslationUnit& tu, Nesting kind) : tu_(tu), kind_(kind) { enter(tu, kind); }
    ~NestingGuard() { --tu_.nesting[static_cast<int>(kind_)]; }
    // One level deeper; past the limit a message and the end of the run.
    static void enter(TranslationUnit& tu, Nesting kind);
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

private:
    TranslationUnit& tu_;
    Nesting kind_;
};

// A chain of operators (of one level, of prefixes, of assignments, of the
// last operands of ?:), a comma list or an argument list is read as a loop
// but builds a tree or list as deep as it is long, and the later passes
// walk it recursively. A chain is no nesting; the links of the chains open
// at a point, summed, are bounded by a limit of their own, so that such a
// tree stays within the stack.
class ChainGuard {
public:
    explicit ChainGuard(TranslationUnit& tu) : tu_(tu) {}
    ~ChainGuard() { tu_.chain_links -= links_; }
    ChainGuard(const ChainGuard&) = delete;
    ChainGuard& operator=(const ChainGuard&) = delete;
    void link();
    static constexpr int limit = 10000;

private:
    TranslationUnit& tu_;
    int links_ = 0;  // links of this chain, given back at its end
};

}  // namespace zun::tcx
