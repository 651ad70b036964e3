// Mutations the fuzz tests of all tools share: the line ends of other systems
// (and of the editor, which keeps CR-only files) and inputs cut short, as a
// full disk or a killed build leaves them.
#pragma once

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

namespace zun::test {

// How long a fuzz test runs and from which seed: 3 seconds and a fixed seed,
// unless ZUN_FUZZ_SECONDS and ZUN_FUZZ_SEED say otherwise.
struct FuzzRun {
  unsigned seed;
  std::mt19937 rng;
  std::chrono::steady_clock::time_point until;

  FuzzRun() {
    const char* seconds = std::getenv("ZUN_FUZZ_SECONDS");
    const char* seed_text = std::getenv("ZUN_FUZZ_SEED");
    seed = seed_text ? static_cast<unsigned>(std::strtoul(seed_text, nullptr, 10)) : 20261209u;
    rng.seed(seed);
    until = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                   std::chrono::duration<double>(seconds ? std::atof(seconds) : 3.0));
  }
  bool more() const { return std::chrono::steady_clock::now() < until; }
};

// All line ends become CR, CR LF or LF CR, or a single one changes or goes.
inline std::string change_line_ends(std::string text, std::mt19937& rng) {
  static const char* const kEnds[] = {"\r", "\r\n", "\n\r"};
  unsigned choice = rng() % 4;
  if (choice == 3) {
    if (text.empty()) return text;
    size_t at = text.find('\n', rng() % text.size());
    if (at != std::string::npos) text.replace(at, 1, rng() % 2 ? "\r" : "");
    return text;
  }
  std::string out;
  for (char c : text) {
    if (c == '\n') out += kEnds[choice];
    else out += c;
  }
  return out;
}

// The text cut at a random place, inside a line or at its end.
inline std::string cut_short(std::string text, std::mt19937& rng) {
  if (!text.empty()) text.resize(rng() % text.size());
  return text;
}

}  // namespace zun::test
