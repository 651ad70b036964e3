// zun09: the workbench. An optional workspace file (".w09") on the command
// line is opened at start.
#include <QApplication>
#include <QFileInfo>

#include "workbench/app/workbench_app.h"
#include "workbench/frame/frame_window.h"
#include "workbench/frame/splash_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("KVT"));
  QApplication::setApplicationName(QStringLiteral("ZUN09"));
  // Start-up changes the current directory, so a relative workspace path is
  // made absolute first.
  QString workspace;
  if (argc > 1) workspace = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  zun::wb::Workbench workbench;
  workbench.start(workspace);
  zun::wb::show_start_splash(&workbench.frame(), workbench.frame().version());
  return app.exec();
}
