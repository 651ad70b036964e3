// Test tool, not a test: takes the picture of the workbench for the README.
// Opens a C source and an assembler source, runs the assembler on the latter
// through the tool runner, jumps to its first message, and saves the frame.
//   usage: wb_screenshot HASM09 OUTPUT.png
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include "common/format.h"
#include "workbench/core/workbench_core.h"
#include "workbench/editor/editor_controller.h"
#include "workbench/frame/frame_window.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QString hasm = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  QString png = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
  QTemporaryDir dir;
  QDir::setCurrent(dir.path());
  zun::wb::write_file_bytes("main.c",
                            "/* Count the switches that are on and show the count on the lamps. */\n"
                            "#define SWITCHES (*(volatile unsigned char *)0xE001)\n"
                            "#define LAMPS    (*(volatile unsigned char *)0xE000)\n\n"
                            "static unsigned char count_bits(unsigned char v)\n{\n"
                            "    unsigned char n = 0;\n"
                            "    while (v) {\n        n += v & 1;\n        v >>= 1;\n    }\n"
                            "    return n;\n}\n\n"
                            "void main(void)\n{\n    for (;;)\n        LAMPS = count_bits(SWITCHES);\n}\n");
  zun::wb::write_file_bytes("blink.s09",
                            "* Blink the lamps on port A of the KY09\n"
                            "LAMPS\tequ\t$E000\n"
                            "\torg\t$1000\n"
                            "start\tlda\t#$01\t\t; first lamp\n"
                            "loop\tsta\tLAMPS\n"
                            "\tcoma\n"
                            "\tldx\t#delay\n"
                            "wait\tleax\t-1,x\t\t; count down\n"
                            "\tbne\twait\n"
                            "\tbra\tlop\n"
                            "delay\tequ\t5000\n"
                            "title\tfcs\t\"blink\\n\"\n");
  zun::wb::FrameWindow frame;
  frame.resize(1280, 860);
  frame.show();
  app.processEvents();
  frame.outOpenClear();
  auto* c = frame.editors()->open(QStringLiteral("main.c"));
  auto* s = frame.editors()->open(QStringLiteral("blink.s09"));
  const int w = frame.mdiArea()->viewport()->width(), h = frame.mdiArea()->viewport()->height();
  frame.output()->parentWidget()->setGeometry(0, 0, w, h / 4);
  c->parentWidget()->setGeometry(0, h / 4, w / 2, h - h / 4);
  s->parentWidget()->setGeometry(w / 2, h / 4, w - w / 2, h - h / 4);
  frame.outPrint("------------- Assemble 'blink.s09'\n");
  int rc = frame.runProcess(QStringLiteral("\"%1\" -w blink.s09").arg(hasm));
  frame.outPrint(zun::format("Exit code %d\n", rc));
  QByteArray first = QByteArray::fromStdString(frame.output()->text().lines().at(1));
  frame.editors()->jumpToMessage(first);
  frame.updateMenus();
  app.processEvents();
  return frame.grab().save(png) ? 0 : 1;
}
