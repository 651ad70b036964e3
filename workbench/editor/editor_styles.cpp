// The looks of the file kinds. Style numbers are the lexers' own: the C
// lexer's (also for headers and linker scripts), the Ada lexer's and the
// assembler colouriser's. Comments are grey or green, strings purple.
#include "workbench/editor/editor_styles.h"

#include "workbench/core/workbench_core.h"

namespace zun::wb {

namespace {

constexpr uint32_t black = 0x000000, grey = 0x808080, red = 0xFF0000, green = 0x00C000, blue = 0x0000FF,
                   teal = 0x008080, dark_grey = 0x5A5A5A, comment_green = 0x008000, purple = 0x800080,
                   dark_red = 0x800000;

constexpr std::string_view c_words =
    "restrict inline int char long float double return struct union typedef enum static auto sizeof do if "
    "else for switch while short extern signed case goto default defined register unsigned break continue "
    "void volatile const";
constexpr std::string_view c_words2 = "__asm __nomangle __interrupt __pascal";
constexpr std::string_view lsc_words = " group  memory  layout  entry ";
constexpr std::string_view lsc_words2 = " init  text  data  bss  rodata  abs ";
constexpr std::string_view ada_words =
    "abort abs abstract accept access aliased all and array at begin body case constant declare delay "
    "delta digits do else elsif end entry exit for function generic goto if in is limited loop mod new not "
    "null of or others out package pragma private procedure protected raise range record rem renames "
    "requeue return reverse select separate subtype tagged task terminate then type until use when while "
    "with xor";

// Assembler: 3 string, 12 character, 13 unclosed string.
constexpr StyleColour asm_colours[] = {
    {0, black}, {1, grey},   {2, red},   {3, purple}, {4, black},  {5, green},       {6, blue},   {7, black},
    {8, red},   {9, teal},   {10, black}, {12, purple}, {13, dark_red}, {14, black},
};
constexpr int asm_quiet[] = {1, 3, 12, 13};

// C lexer: 1-3, 15, 17, 18 comments, 4 number, 6 string, 7 character,
// 12 unclosed string.
constexpr StyleColour c_colours[] = {
    {0, black},          {11, black},  {5, blue},   {9, red},    {10, dark_grey},    {1, comment_green},
    {2, comment_green},  {3, comment_green}, {15, comment_green}, {17, comment_green}, {18, comment_green},
    {4, dark_red},       {6, purple},  {7, purple}, {12, dark_red},
};
constexpr int c_bold[] = {16};
constexpr int c_quiet[] = {1, 2, 3, 6, 7, 12, 15, 17, 18};

// Ada lexer: 3 number, 5 character, 6 unclosed character, 7 string,
// 8 unclosed string, 10 comment.
constexpr StyleColour ada_colours[] = {
    {0, black},   {1, blue},       {2, black},   {3, dark_red}, {5, purple},
    {6, dark_red}, {7, purple},    {8, dark_red}, {10, comment_green},
};
constexpr int ada_quiet[] = {5, 6, 7, 8, 10};

constexpr StyleColour plain_colours[] = {{0, black}};

const EditorLook asm_look{lexer::container, {}, asm_colours, {}, asm_quiet};
const EditorLook c_look{lexer::cpp, {c_words, c_words2}, c_colours, c_bold, c_quiet};
const EditorLook lsc_look{lexer::cpp, {lsc_words, lsc_words2}, c_colours, c_bold, c_quiet};
const EditorLook ada_look{lexer::ada, {ada_words, {}}, ada_colours, {}, ada_quiet};
const EditorLook plain_look{lexer::none, {}, plain_colours, {}, {}};

}  // namespace

const EditorLook& editor_look(int file_kind) {
  switch (file_kind) {
    case file_kind::assembler: return asm_look;
    case file_kind::c_source:
    case file_kind::header: return c_look;
    case file_kind::linker_script: return lsc_look;
    case file_kind::ada_body:
    case file_kind::ada_spec: return ada_look;
    default: return plain_look;
  }
}

}  // namespace zun::wb
