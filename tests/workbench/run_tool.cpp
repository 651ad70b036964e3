// Test tool: runs one command line through the workbench's tool runner, as
// a build command does, offscreen; its output goes to standard output.
//   wb_run_tool COMMAND-LINE
#include <QApplication>
#include <cstdio>

#include "workbench/build/tool_runner.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  zun::wb::ToolRunner runner([](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); },
                             [](const QString&) {});
  return runner.runProcess(QString::fromLocal8Bit(argv[1])) == 0 ? 0 : 1;
}
