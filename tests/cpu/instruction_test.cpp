// Instruction rows: bytes encoded by hand from the MC6809 datasheet, with the
// registers, flags and memory the datasheet says they leave. CC bits:
// E 80, F 40, H 20, I 10, N 08, Z 04, V 02, C 01.
#include <gtest/gtest.h>

#include "tests/cpu/cpu_test_support.h"

namespace zun::test {
namespace {

class CpuRows : public ::testing::TestWithParam<Row> {};

TEST_P(CpuRows, Executes) { run_row(GetParam()); }

std::string row_name(const ::testing::TestParamInfo<Row>& info) {
  std::string name;
  for (const char* p = info.param.name; *p; ++p)
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name;
}

// Loads, stores, LEA: N and Z from the value, V cleared, C kept.
constexpr Row load_store[] = {
    {"LDA imm keeps C", "86 1F", "CC=0F", "", "A=1F CC=01", "", 2},
    {"LDA imm negative", "86 80", "", "", "A=80 CC=08", "", 2},
    {"LDA imm zero", "86 00", "A=55 CC=03", "", "A=00 CC=05", "", 2},
    {"LDB direct uses DP", "D6 10", "DP=20", "2010:9A", "B=9A CC=08", "", 2},
    {"LDX direct", "9E 10", "", "0010:12 80", "X=1280", "", 2},
    {"LDD extended zero", "FC 20 00", "D=FFFF", "2000:00 00", "D=0000 CC=04", "", 3},
    {"LDY immediate", "10 8E 80 00", "", "", "Y=8000 CC=08", "", 4},
    {"LDU indexed", "EE 84", "X=2000", "2000:AB CD", "U=ABCD CC=08", "", 2},
    {"LDS immediate", "10 CE 12 34", "", "", "S=1234", "", 4},
    {"LDS direct", "10 DE 10", "", "0010:00 00", "S=0000 CC=04", "", 3},
    {"STA direct", "97 40", "A=81 DP=20", "", "CC=08", "2040:81", 2},
    {"STB extended zero", "F7 30 00", "CC=0A", "3000:FF", "CC=04", "3000:00", 3},
    {"STD indexed", "ED 84", "D=1234 X=2000", "", "", "2000:12 34", 2},
    {"STX extended", "BF 20 00", "X=8001 CC=02", "", "CC=08", "2000:80 01", 3},
    {"STY indexed", "10 AF 84", "Y=00FF X=2000", "", "", "2000:00 FF", 3},
    {"STU extended", "FF 20 00", "", "", "", "2000:70 00", 3},
    {"STS direct", "10 DF 40", "DP=20", "", "CC=08", "2040:80 00", 3},
    {"LEAX -3,U", "30 5D", "", "", "X=6FFD", "", 2},
    {"LEAX zero sets Z", "30 1F", "X=0001 CC=01", "", "X=0000 CC=05", "", 2},
    {"LEAY clears Z", "31 21", "Y=0000 CC=04", "", "Y=0001 CC=00", "", 2},
    {"LEAS leaves CC", "32 7F", "CC=00", "", "S=7FFF", "", 2},
    {"LEAU 8-bit offset", "33 C8 10", "CC=04", "", "U=7010", "", 3},
    {"LDA 1,X wraps", "A6 01", "X=FFFF", "0000:42", "A=42", "", 2},
    {"LDD at FFFF wraps", "FC FF FF", "", "FFFF:12 ; 0000:34", "D=1234", "", 3},
    {"STD at FFFF wraps", "FD FF FF", "D=1234", "", "", "FFFF:12 ; 0000:34", 3},
};
INSTANTIATE_TEST_SUITE_P(CpuLoadStore, CpuRows, ::testing::ValuesIn(load_store), row_name);

constexpr Row arithmetic8[] = {
    {"ADDA half carry", "8B 01", "A=0F", "", "A=10 CC=20", "", 2},
    {"ADDA 7F+1", "8B 01", "A=7F", "", "A=80 CC=2A", "", 2},
    {"ADDA FF+1", "8B 01", "A=FF", "", "A=00 CC=25", "", 2},
    {"ADDA 80+80", "8B 80", "A=80", "", "A=00 CC=07", "", 2},
    {"ADDB direct", "DB 10", "B=22", "0010:11", "B=33", "", 2},
    {"ADCA with carry", "89 06", "A=09 CC=01", "", "A=10 CC=20", "", 2},
    {"ADCB 7F+0+C", "C9 00", "B=7F CC=01", "", "B=80 CC=2A", "", 2},
    {"SUBA 80-1", "80 01", "A=80", "", "A=7F CC=02", "", 2},
    {"SUBA 0-1", "80 01", "A=00", "", "A=FF CC=09", "", 2},
    {"SUBA no half borrow", "80 01", "A=12", "", "A=11 CC=20", "", 2},
    {"SUBB equal", "C0 44", "B=44", "", "B=00 CC=24", "", 2},
    {"SBCA 0-0-C", "82 00", "A=00 CC=01", "", "A=FF CC=09", "", 2},
    {"SBCA 10-1-C", "82 01", "A=10 CC=01", "", "A=0E CC=00", "", 2},
    {"SBCB no borrow in", "C2 01", "B=10", "", "B=0F CC=00", "", 2},
    {"CMPA borrow keeps A and H", "81 05", "A=03 CC=20", "", "CC=29", "", 2},
    {"CMPA equal", "81 03", "A=03", "", "CC=04", "", 2},
    {"CMPB 7F-80 overflows", "C1 80", "B=7F", "", "CC=0B", "", 2},
    {"ANDA zero keeps C", "84 0F", "A=F0 CC=03", "", "A=00 CC=05", "", 2},
    {"ANDB", "C4 F0", "B=9F", "", "B=90 CC=08", "", 2},
    {"BITA keeps A and C", "85 80", "A=80 CC=03", "", "CC=09", "", 2},
    {"BITB zero", "C5 01", "B=FE", "", "CC=04", "", 2},
    {"ORA zero clears V", "8A 00", "A=00 CC=02", "", "CC=04", "", 2},
    {"ORB", "CA 80", "B=01", "", "B=81 CC=08", "", 2},
    {"EORA negative", "88 FF", "A=7F", "", "A=80 CC=08", "", 2},
    {"EORB zero", "C8 55", "B=55 CC=02", "", "B=00 CC=04", "", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuArithmetic8, CpuRows, ::testing::ValuesIn(arithmetic8), row_name);

constexpr Row arithmetic16[] = {
    {"ADDD 7FFF+1", "C3 00 01", "D=7FFF", "", "D=8000 CC=0A", "", 3},
    {"ADDD FFFF+1", "C3 00 01", "D=FFFF", "", "D=0000 CC=05", "", 3},
    {"ADDD direct", "D3 10", "D=1234", "0010:11 11", "D=2345", "", 2},
    {"SUBD 8000-1", "83 00 01", "D=8000", "", "D=7FFF CC=02", "", 3},
    {"SUBD 0-1", "83 00 01", "D=0000", "", "D=FFFF CC=09", "", 3},
    {"SUBD extended", "B3 20 00", "D=1000", "2000:01 00", "D=0F00", "", 3},
    {"CMPX equal", "8C 12 34", "X=1234 CC=01", "", "CC=04", "", 3},
    {"CMPX 8000-1", "8C 00 01", "X=8000", "", "CC=02", "", 3},
    {"CMPD borrow", "10 83 00 02", "D=0001", "", "CC=09", "", 4},
    {"CMPY extended", "10 BC 20 00", "Y=4000", "2000:50 00", "CC=09", "", 4},
    {"CMPU equal", "11 83 70 00", "", "", "CC=04", "", 4},
    {"CMPS borrow", "11 8C 80 01", "", "", "CC=09", "", 4},
    {"CMPS direct overflows", "11 9C 10", "", "0010:7F FF", "CC=02", "", 3},
};
INSTANTIATE_TEST_SUITE_P(CpuArithmetic16, CpuRows, ::testing::ValuesIn(arithmetic16), row_name);

// NEG, COM, shifts and rotates, INC, DEC, TST, CLR on A, B and memory.
constexpr Row read_modify_write[] = {
    {"NEGA 80", "40", "A=80", "", "CC=0B", "", 1},
    {"NEGA 00", "40", "A=00 CC=0B", "", "CC=04", "", 1},
    {"NEGB 01", "50", "B=01", "", "B=FF CC=09", "", 1},
    {"COMA FF", "43", "A=FF CC=02", "", "A=00 CC=05", "", 1},
    {"COMB", "53", "B=0F", "", "B=F0 CC=09", "", 1},
    {"CLRA", "4F", "A=55 CC=0F", "", "A=00 CC=04", "", 1},
    {"CLRB keeps H", "5F", "B=55 CC=2B", "", "B=00 CC=24", "", 1},
    {"TSTA keeps C", "4D", "A=80 CC=03", "", "CC=09", "", 1},
    {"TSTB zero", "5D", "B=00", "", "CC=04", "", 1},
    {"INCA 7F", "4C", "A=7F", "", "A=80 CC=0A", "", 1},
    {"INCA FF keeps C", "4C", "A=FF CC=01", "", "A=00 CC=05", "", 1},
    {"INCB clears V", "5C", "B=01 CC=02", "", "B=02 CC=00", "", 1},
    {"DECA 80", "4A", "A=80", "", "A=7F CC=02", "", 1},
    {"DECA 00 keeps C", "4A", "A=00 CC=01", "", "A=FF CC=09", "", 1},
    {"DECB 01", "5A", "B=01", "", "B=00 CC=04", "", 1},
    {"ASLA 40", "48", "A=40", "", "A=80 CC=0A", "", 1},
    {"ASLA 80", "48", "A=80", "", "A=00 CC=07", "", 1},
    {"ASLB C0", "58", "B=C0", "", "B=80 CC=09", "", 1},
    {"ROLA through C", "49", "A=80 CC=01", "", "A=01 CC=03", "", 1},
    {"ROLB no C", "59", "B=01 CC=00", "", "B=02", "", 1},
    {"ASRA keeps V", "47", "A=81 CC=02", "", "A=C0 CC=0B", "", 1},
    {"ASRB", "57", "B=02 CC=01", "", "B=01 CC=00", "", 1},
    {"LSRA", "44", "A=01 CC=08", "", "A=00 CC=05", "", 1},
    {"LSRB", "54", "B=80", "", "B=40", "", 1},
    {"RORA C in", "46", "A=01 CC=01", "", "A=80 CC=09", "", 1},
    {"RORB no C", "56", "B=02", "", "B=01", "", 1},
    {"NEG direct", "00 10", "", "0010:01", "CC=09", "0010:FF", 2},
    {"COM indexed zero", "63 84", "X=2000", "2000:FF", "CC=05", "2000:00", 2},
    {"LSR extended", "74 20 00", "", "2000:01", "CC=05", "2000:00", 3},
    {"ROR direct", "06 10", "CC=01", "0010:02", "CC=08", "0010:81", 2},
    {"ASR extended", "77 20 00", "", "2000:80", "CC=08", "2000:C0", 3},
    {"ASL direct", "08 10", "", "0010:40", "CC=0A", "0010:80", 2},
    {"ROL indexed", "69 84", "X=2000 CC=01", "2000:80", "CC=03", "2000:01", 2},
    {"DEC direct", "0A 10", "", "0010:80", "CC=02", "0010:7F", 2},
    {"INC extended", "7C 20 00", "", "2000:7F", "CC=0A", "2000:80", 3},
    {"TST direct", "0D 10", "CC=03", "0010:80", "CC=09", "", 2},
    {"CLR extended", "7F 20 00", "CC=0B", "2000:55", "CC=04", "2000:00", 3},
    {"INC ,X+ moves X once", "6C 80", "X=2000", "2000:05", "X=2001", "2000:06", 2},
    {"DEC ,--Y", "6A A3", "Y=2002", "2000:05", "Y=2000", "2000:04", 2},
    {"NEG [,X++]", "60 91", "X=2000", "2000:30 00 ; 3000:02", "X=2002 CC=09", "3000:FE", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuReadModifyWrite, CpuRows, ::testing::ValuesIn(read_modify_write), row_name);

// DAA after BCD additions, MUL, SEX, ABX, CC operations.
constexpr Row special[] = {
    {"DAA low digit by H", "19", "A=41 CC=20", "", "A=47 CC=20", "", 1},
    {"DAA 9A both digits", "19", "A=9A", "", "A=00 CC=05", "", 1},
    {"DAA A0 high digit", "19", "A=A0", "", "A=00 CC=05", "", 1},
    {"DAA 99+99 keeps C H V", "19", "A=32 CC=23", "", "A=98 CC=2B", "", 1},
    {"DAA 10 after 09+06+1", "19", "A=10 CC=20", "", "A=16 CC=20", "", 1},
    {"DAA nothing to do", "19", "A=45", "", "", "", 1},
    {"MUL C from bit 7 of B", "3D", "A=0C B=64", "", "D=04B0 CC=01", "", 1},
    {"MUL zero", "3D", "A=00 B=64 CC=09", "", "D=0000 CC=0C", "", 1},
    {"MUL FF*FF", "3D", "D=FFFF CC=05", "", "D=FE01 CC=00", "", 1},
    {"SEX negative keeps V", "1D", "B=80 CC=02", "", "A=FF CC=0A", "", 1},
    {"SEX zero", "1D", "A=55 B=00", "", "A=00 CC=04", "", 1},
    {"SEX positive", "1D", "A=FF B=7F CC=0C", "", "A=00 CC=00", "", 1},
    {"ABX unsigned", "3A", "X=1000 B=80", "", "X=1080", "", 1},
    {"ABX wraps", "3A", "X=FFFF B=02 CC=0F", "", "X=0001", "", 1},
    {"ORCC", "1A 50", "CC=01", "", "CC=51", "", 2},
    {"ANDCC", "1C AF", "CC=FF", "", "CC=AF", "", 2},
    {"NOP", "12", "CC=0F", "", "", "", 1},
    {"SYNC continues", "13", "", "", "", "", 1},
};
INSTANTIATE_TEST_SUITE_P(CpuSpecial, CpuRows, ::testing::ValuesIn(special), row_name);

constexpr Row transfers[] = {
    {"TFR X,Y", "1F 12", "X=1234", "", "Y=1234", "", 2},
    {"TFR A,X zero-extends", "1F 81", "A=80 X=FFFF", "", "X=0080", "", 2},
    {"TFR X,B keeps the low byte", "1F 19", "X=1234", "", "B=34", "", 2},
    {"TFR X,PC", "1F 15", "X=3000", "", "PC=3000", "", 2},
    {"TFR PC,X", "1F 51", "", "", "X=1002", "", 2},
    {"TFR A,CC", "1F 8A", "A=FF", "", "CC=FF", "", 2},
    {"TFR to an unknown code", "1F 16", "X=1234", "", "", "", 2},
    {"TFR from an unknown code", "1F 61", "X=1234", "", "X=0000", "", 2},
    {"EXG X,PC", "1E 15", "X=3000", "", "PC=3000 X=1002", "", 2},
    {"EXG A,B", "1E 89", "A=12 B=34", "", "A=34 B=12", "", 2},
    {"EXG D,X", "1E 01", "D=1234 X=5678", "", "D=5678 X=1234", "", 2},
    {"EXG A,X", "1E 81", "A=12 X=3456", "", "A=56 X=0012", "", 2},
    {"EXG DP,CC", "1E BA", "DP=12 CC=05", "", "DP=05 CC=12", "", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuTransfers, CpuRows, ::testing::ValuesIn(transfers), row_name);

constexpr Row jumps[] = {
    {"JMP direct", "0E 40", "DP=00", "", "PC=0040", "", 2},
    {"JMP indexed", "6E 84", "X=2000", "", "PC=2000", "", 2},
    {"JMP indirect", "6E 94", "X=2000", "2000:40 00", "PC=4000", "", 2},
    {"JMP extended", "7E E1 23", "", "", "PC=E123", "", 3},
    {"JSR direct", "9D 40", "", "0040:AA BB", "PC=0040 S=7FFE", "7FFE:10 02", 2},
    {"JSR extended", "BD E1 23", "", "", "PC=E123 S=7FFE", "7FFE:10 03", 3},
    {"JSR indexed indirect", "AD 9F 20 00", "", "2000:30 00", "PC=3000 S=7FFE", "7FFE:10 04", 4},
    {"BSR forward", "8D 10", "", "", "PC=1012 S=7FFE", "7FFE:10 02", 2},
    {"BSR backward", "8D FE", "", "", "PC=1000 S=7FFE", "7FFE:10 02", 2},
    {"LBSR", "17 01 00", "", "", "PC=1103 S=7FFE", "7FFE:10 03", 3},
    {"LBRA backward", "16 FF FD", "", "", "PC=1000", "", 3},
    {"RTS", "39", "S=7FFE", "7FFE:12 34", "PC=1234 S=8000", "", 1},
    {"BRA +127", "20 7F", "", "", "PC=1081", "", 2},
    {"BRA to its own offset", "20 FF", "", "", "PC=1001", "", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuJumps, CpuRows, ::testing::ValuesIn(jumps), row_name);

constexpr Row stack[] = {
    {"PSHS all", "34 FF", "A=01 B=02 DP=03 X=0405 Y=0607 U=0809 CC=0A", "", "S=7FF4",
     "7FF4:0A 01 02 03 04 05 06 07 08 09 10 02", 2},
    {"PULS all", "35 FF", "S=7FF4", "7FF4:0A 01 02 03 04 05 06 07 08 09 30 00",
     "S=8000 CC=0A A=01 B=02 DP=03 X=0405 Y=0607 U=0809 PC=3000", "", 2},
    {"PSHU S", "36 40", "", "", "U=6FFE", "6FFE:80 00", 2},
    {"PULU PC", "37 80", "", "7000:20 00", "U=7002 PC=2000", "", 2},
    {"PULU S", "37 40", "", "7000:12 34", "U=7002 S=1234", "", 2},
    {"PSHS wraps", "34 10", "S=0001 X=1234", "", "S=FFFF", "FFFF:12 ; 0000:34", 2},
    {"SWI", "3F", "A=01 B=02 DP=03 X=0405 Y=0607 U=0809", "FFFA:20 00", "S=7FF4 CC=D0 PC=2000",
     "7FF4:80 01 02 03 04 05 06 07 08 09 10 01", 1},
    {"SWI2 keeps I and F", "10 3F", "A=01 B=02 DP=03 X=0405 Y=0607 U=0809 CC=01", "FFF4:20 00",
     "S=7FF4 CC=81 PC=2000", "7FF4:81 01 02 03 04 05 06 07 08 09 10 02", 2},
    {"SWI3", "11 3F", "A=01 B=02 DP=03 X=0405 Y=0607 U=0809", "FFF2:20 00", "S=7FF4 CC=80 PC=2000",
     "7FF4:80 01 02 03 04 05 06 07 08 09 10 02", 2},
    {"RTI with E set", "3B", "S=7FF4", "7FF4:80 01 02 03 04 05 06 07 08 09 30 00",
     "S=8000 CC=80 A=01 B=02 DP=03 X=0405 Y=0607 U=0809 PC=3000", "", 1},
    {"RTI with E clear", "3B", "S=7FFD A=55", "7FFD:01 30 00", "S=8000 CC=01 PC=3000", "", 1},
    {"CWAI", "3C EF", "CC=55", "", "S=7FF4 CC=C5",
     "7FF4:C5 00 00 00 00 00 00 00 70 00 10 02", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuStack, CpuRows, ::testing::ValuesIn(stack), row_name);

// Every indexed form's effective address and register change.
constexpr Row indexed[] = {
    {"LEAX ,Y+", "30 A0", "Y=2000", "", "X=2000 Y=2001", "", 2},
    {"LEAX ,Y++", "30 A1", "Y=2000", "", "X=2000 Y=2002", "", 2},
    {"LEAX ,-U", "30 C2", "", "", "X=6FFF U=6FFF", "", 2},
    {"LEAX ,--S", "30 E3", "", "", "X=7FFE S=7FFE", "", 2},
    {"LEAX B,Y signed", "30 A5", "Y=2000 B=FF", "", "X=1FFF", "", 2},
    {"LEAX A,Y", "30 A6", "Y=2000 A=7F", "", "X=207F", "", 2},
    {"LEAX D,Y", "30 AB", "Y=2000 D=F000", "", "X=1000", "", 2},
    {"LEAX -128,Y", "30 A8 80", "Y=2000", "", "X=1F80", "", 3},
    {"LEAX 16-bit offset", "30 A9 80 00", "Y=9000", "", "X=1000", "", 4},
    {"LEAX 5-bit 15,X", "30 0F", "X=2000", "", "X=200F", "", 2},
    {"LEAX 8-bit PCR", "30 8C F0", "", "", "X=0FF3", "", 3},
    {"LEAX 16-bit PCR", "30 8D 10 00", "", "", "X=2004", "", 4},
    {"LEAX [,Y]", "30 B4", "Y=2000", "2000:12 34", "X=1234", "", 2},
    {"LEAX [,X+]", "30 90", "X=2000", "2000:12 34", "X=1234", "", 2},
    {"LDA [,Y++]", "A6 B1", "Y=2000", "2000:30 00 ; 3000:77", "A=77 Y=2002", "", 2},
    {"LDA [,--U]", "A6 D3", "", "6FFE:30 00 ; 3000:01", "A=01 U=6FFE", "", 2},
    {"LDA [-2,Y]", "A6 B8 FE", "Y=2002", "2000:30 00 ; 3000:80", "A=80 CC=08", "", 3},
    {"LDA [D,X]", "A6 9B", "X=1F00 D=0100", "2000:30 00 ; 3000:05", "A=05", "", 2},
    {"LDA [PCR]", "A6 9C 10", "", "1013:30 00 ; 3000:09", "A=09", "", 3},
    {"LDA [$2000]", "A6 9F 20 00", "", "2000:30 00 ; 3000:55", "A=55", "", 4},
    {"LDA absolute without brackets", "A6 8F 30 00", "", "3000:44", "A=44", "", 4},
    {"LDA -16,S", "A6 70", "", "7FF0:11", "A=11", "", 2},
    {"STA ,-S", "A7 E2", "A=55", "", "S=7FFF", "7FFF:55", 2},
    {"LDD ,X++ word", "EC 81", "X=2000", "2000:12 34", "D=1234 X=2002", "", 2},
};
INSTANTIATE_TEST_SUITE_P(CpuIndexed, CpuRows, ::testing::ValuesIn(indexed), row_name);

}  // namespace
}  // namespace zun::test
