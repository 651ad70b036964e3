// Time to colour a 20,000-line assembler source in one piece, as the editor
// does when a whole file is shown or searched: compiler-style lines with
// labels, mnemonics, registers, numbers, strings, directives, comments.
#include <benchmark/benchmark.h>

#include "workbench/editor/asm_colour.h"

namespace {

std::string source_of(int lines) {
  static const char* const pattern[] = {
      "* count the switches that are on\n",
      "_count_bits:\n",
      "\tpshs\tu,y\n",
      "\tldb\t#$00\n",
      "\tstb\t,-s\n",
      "L0002\ttst\t3,s\t; v\n",
      "\tbeq\tL0003\n",
      "\tldd\t#%00000001\n",
      "\tandb\t3,s\n",
      "\taddb\t,s\n",
      "\tlbra\tL0002\n",
      "\tfcs\t\"value \\\"%d\\\"\\n\"\n",
      "#ifdef DEBUG\n",
      "\tsegment\trodata\n",
      "\tFDB\t_count_bits+2*3\n",
      "\tleas\t1,s\n",
      "\tpuls\tu,y,pc\n",
      "\tORG\t$E000\n",
      "\texport\t_count_bits\n",
      "\tnop\n",
  };
  std::string text;
  for (int i = 0; i < lines; ++i) text += pattern[i % 20];
  return text;
}

void BM_ColourTwentyThousandLines(benchmark::State& state) {
  const std::string text = source_of(20000);
  for (auto _ : state) {
    std::vector<uint8_t> styles = zun::wb::ColouriseAsmDoc(text, 0, text.size(), 0, zun::wb::asm_keywords());
    benchmark::DoNotOptimize(styles.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ColourTwentyThousandLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
