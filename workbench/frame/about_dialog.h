// The About dialog (IDD_ABOUT): the product lines, the notice lines and the
// version line, and OK.
#pragma once

#include <QDialog>

namespace zun::wb {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(const QString& version, QWidget* parent = nullptr);
};

}  // namespace zun::wb
