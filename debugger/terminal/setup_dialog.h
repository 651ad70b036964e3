// SETUPSERIAL: the settings of a terminal ("Terminal Preferences") or of one
// of its download records ("Binary download Preferences", "Application
// download Preferences"). It edits a copy; the caller takes result() on OK.
// Colours are the exception: they reach the terminal as soon as chosen.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "debugger/terminal/terminal.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace zun::term {

struct SetupParams {
  PortSettings port;      // translations and load command (terminal controls)
  SerialSettings record;  // the record being edited
  QString caption;
  bool terminal_controls = true;
};

// The rates offered, with their button texts.
struct BaudChoice {
  uint32_t rate;
  const char* text;
};
inline constexpr BaudChoice baud_choices[] = {
    {110, "110"},       {300, "300"},       {600, "600"},       {1200, "1200"},       {2400, "2400"},
    {4800, "4800"},     {9600, "9600"},     {14400, "14400"},   {19200, "19 200"},    {38400, "38 400"},
    {56000, "56 000"},  {57600, "57 600"},  {115200, "115 200"}, {128000, "128 000"}, {256000, "256 000"},
};

class SetupDialog : public QDialog {
  Q_OBJECT

 public:
  SetupDialog(const SetupParams& params, QWidget* parent = nullptr);
  // The controls as they stand, over the parameters given.
  SetupParams result() const;
  // Picks a colour (0x00BBGGRR); tests replace the colour dialog.
  std::function<std::optional<uint32_t>(const QString& title)> chooseColour;

 signals:
  void colourChosen(bool text, uint32_t colour);

 private:
  void fill(const SetupParams& p);
  void pickColour(bool text);

  const SetupParams original_;
  QButtonGroup *baud_, *data_, *parity_, *stop_, *dtr_, *rts_, *enter_, *receive_;
  QCheckBox *xon_out_, *xon_in_, *cts_, *dsr_;
  QLineEdit* load_command_;
};

}  // namespace zun::term
