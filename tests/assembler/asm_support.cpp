#include "asm_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "assembler/assembler.h"

namespace zun::hasm::test {

AsmRun assemble(const std::string& source, const std::vector<std::string>& args,
                const std::map<std::string, std::string>& files) {
  namespace fs = std::filesystem;
  std::string templ = (fs::temp_directory_path() / "hasm09-test-XXXXXX").string();
  char* dir = mkdtemp(templ.data());
  fs::path old = fs::current_path();
  fs::current_path(dir);
  std::ofstream(std::string("t.s09"), std::ios::binary) << source;
  for (const auto& [name, text] : files) {
    fs::create_directories(fs::path(name).parent_path().empty() ? fs::path(".")
                                                                : fs::path(name).parent_path());
    std::ofstream(name, std::ios::binary) << text;
  }
  std::vector<std::string> argv = args;
  argv.push_back("t.s09");
  Options options;
  Report report;
  AsmRun result;
  if (parse_command_line(argv, options, report) == CommandLine::Run) run(options, report);
  result.rc = report.exit_code;
  result.out = report.out;
  result.err = report.err;
  std::string object = options.output.empty() ? "t.o09" : options.output;
  result.object = read_whole(object);
  result.listing = read_whole("t.lst");
  // No temporary file may outlive the run.
  for (const auto& entry : fs::directory_iterator(".")) {
    std::string name = entry.path().filename().string();
    if (name.size() == 7 && name[0] == 'R') result.err += "LEFTOVER TEMPORARY " + name + "\n";
  }
  fs::current_path(old);
  fs::remove_all(dir);
  return result;
}

std::vector<std::string> records(const std::string& text, const std::string& prefix) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

std::vector<uint8_t> hex_bytes(const std::string& text) {
  std::vector<uint8_t> bytes;
  std::istringstream in(text);
  std::string word;
  while (in >> word) bytes.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
  return bytes;
}

std::vector<uint8_t> segment_bytes(const std::string& object, const std::string& segment) {
  std::vector<uint8_t> bytes;
  for (const std::string& rec : records(object, "C:" + segment + "\t")) {
    std::string hex = rec.substr(rec.find('\t') + 1);
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

}  // namespace zun::hasm::test
