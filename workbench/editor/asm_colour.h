// The 6809 assembler colouriser of the source editors: a pure function from
// the bytes of a range of text to one style number per byte. Directives are
// recognised through the same lookup the assembler uses (over the editor's
// own dialect tables); mnemonics and registers come from the keyword lists.
// No window system: the editor's adapter only fetches text and stores styles.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/directive.h"

namespace zun::wb {

// The style numbers of assembler text.
namespace asm_style {
inline constexpr uint8_t default_style = 0, comment = 1, number = 2, string = 3, op = 4, identifier = 5,
                         mnemonic = 6, keyword1 = 7, reg = 8, directive = 9, keyword3 = 10, character = 12,
                         string_eol = 13;
}

// Keyword lists 0-3 (0 the mnemonics, 2 the registers), each a set of words
// in lower case.
class AsmKeywords {
 public:
  // `words` are separated by blanks.
  void set(int list, std::string_view words);
  // The first list that holds the word, -1 for none.
  int list_of(std::string_view lowered) const;

 private:
  std::array<std::unordered_set<std::string>, 4> lists_;
};

// The keyword lists the assembler editors use.
inline constexpr std::string_view asm_mnemonics =
    "abx adca adcb adda addb addd anda andb andcc asla aslb asl asra asrb asr bita bitb bcc bcs beq bge bgt "
    "bhi bhs ble blo bls blt bmi bne bpl bra brn bsr bvc bvs clra clrb clr cmpa cmpb cmpd cmps cmpu cmpx "
    "cmpy coma comb com cwai daa deca decb dec eora eorb exg inca incb inc jmp jsr lda ldb ldd lds ldu ldx "
    "ldy leas leau leax leay lbcc lbcs lbeq lbge lbgt lbhi lbhs lble lblo lbls lblt lbmi lbne lbpl lbra "
    "lbrn lbsr lbvc lbvs lsla lslb lsl lsra lsrb lsr mul nega negb neg nop ora orb orcc pshs pshu puls pulu "
    "rola rolb rol rora rorb ror rti rts sta stb std sts stu stx sty sbca sbcb suba subb subd sex swi swi2 "
    "swi3 sync tfr tsta tstb tst";
inline constexpr std::string_view asm_registers = "a b d x y u pc dp ccr cc s";
const AsmKeywords& asm_keywords();

// The directive tables as the editor holds them: native and pure searched,
// compatibility not.
const DirectiveTables& asm_directive_tables();

bool IsNationalLetter(unsigned char c);  // å ä ö Å Ä Ö in Latin-1
bool IsAsmWordChar(unsigned char c);
bool IsAsmWordStart(unsigned char c);
bool IsAsmOperator(unsigned char c);

// 1 when the word (NUL-terminated, lower case) is a directive; else, for a
// preprocessor keyword at the word, the number of characters it takes; else 0.
int is_asm_directive(const char* word);

// The styles of text[start, start + length). The character before `start`
// (when there is one) tells whether `start` begins a line; the characters
// behind the range serve as look-ahead, so `text` should hold at least one
// more when the document goes on. A range that reaches the end of `text`
// ends the document.
std::vector<uint8_t> ColouriseAsmDoc(std::string_view text, size_t start, size_t length, int init_style,
                                     const AsmKeywords& keywords);

}  // namespace zun::wb
