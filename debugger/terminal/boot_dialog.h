// BOOTSTRAPPER ("Bootstrap"): the bootstrapper and application files, the
// binary size, offset and options of a terminal, and the run itself with
// its progress. The run happens on the GUI thread with the controls off;
// the terminal keeps showing what the board answers meanwhile.
#pragma once

#include <QDialog>
#include <functional>

#include "debugger/terminal/terminal.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zun::wb {
class FrameWindow;
}

namespace zun::term {

class SetupDialog;
class TerminalChild;

class BootDialog : public QDialog, public BootUi {
  Q_OBJECT

 public:
  BootDialog(TerminalChild* child, wb::FrameWindow* frame);

  // OK: keeps the fields in the terminal and runs the download.
  void start();

  bool ask(const std::string& question) override;
  void prepare_target() override;
  void status(const std::string& text) override;
  void label(const std::string& text) override;
  void count(long n) override;
  void wait(std::chrono::milliseconds ms) override;
  void pump() override;

  // Tests replace the "Prepare target" box and the Options dialog.
  std::function<void()> prepareBox;
  std::function<bool(SetupDialog&)> runOptions;
  BootTiming timing;

 signals:
  void settingsChanged();

 protected:
  void reject() override;

 private:
  void fill();
  void store();
  void enableApplication();
  void setControlsEnabled(bool on);
  void browse(bool application);
  void options(bool application);
  void setPath(bool application, const QString& path);

  TerminalChild* child_;
  wb::FrameWindow* frame_;
  bool running_ = false;
  QString boot_full_, app_full_;  // the paths the two fields hold
  QLineEdit *boot_path_, *app_path_, *other_size_, *offset_, *delay_;
  QRadioButton *size_192_, *size_256_, *size_file_, *size_other_;
  QCheckBox *leading_ff_, *load_app_;
  QPushButton *ok_, *return_, *boot_browse_, *boot_options_, *app_browse_, *app_options_;
  QLabel *status_, *label_, *counter_;
};

}  // namespace zun::term
