# Writes a generated assembler source for the benchmarks: n instruction lines
# in blocks of ten that use every operand form (labels, branches, indexed,
# immediate). Given modules > 1 it writes module `module` (0 to modules-1) of
# a program instead: every block exports its label and calls the same block
# of the next module, and a data segment holds the blocks' addresses.
#   awk -v n=20000 -f asm_source.awk
#   awk -v n=400 -v module=3 -v modules=50 -f asm_source.awk
BEGIN {
  if (modules < 2) {
    modules = 1
    label = "L"
  } else {
    label = "M" module "L"
    next_label = "M" ((module + 1) % modules) "L"
  }
  print "\tSEGMENT\ttext"
  if (module == 0) print "\tEXPORT\tentry"
  for (i = 0; modules > 1 && i < n; i += 10)
    printf "\tEXPORT\t%s%d\n\tIMPORT\t%s%d\n", label, i, next_label, i
  print "COUNT\tEQU\t$40"
  if (module == 0) print "entry:"
  for (i = 0; i < n; i += 10) {
    printf "%s%d\tLDD\t#%d\n", label, i, i % 1000
    printf "\tSTD\t%d,X\n", i % 200
    printf "\tLDX\t#%s%d\n", label, i
    printf "\tLEAY\t[,X++]\n"
    printf "\tPSHS\tD,X,Y\n"
    printf "\tCMPA\t#COUNT\n"
    printf "\tBNE\t%s%d\n", label, i
    printf "\tTFR\tX,D\n"
    printf "\tJSR\t%s%d\n", (modules > 1 ? next_label : label), i
    printf "\tLBRA\t%s%d\n", label, i
  }
  print "\tRTS"
  if (modules == 1) exit
  print "\tSEGMENT\tdata"
  for (i = 0; i < n; i += 10) printf "\tFDB\t%s%d\n", label, i
}
