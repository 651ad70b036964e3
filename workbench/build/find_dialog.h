// The "Find in Files" dialog (FINDINFILES): the search text, the file types
// and the folder, each with its history, the folder browser and the four
// flags. Find stores everything in the settings and ends the dialog with
// Accepted; Cancel leaves the settings as they were, except a folder chosen
// with "...", which is in the folder history at once.
#pragma once

#include <QDialog>
#include <functional>

#include "workbench/build/find_in_files.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace zun::wb {

class FindInFilesDialog : public QDialog {
  Q_OBJECT

 public:
  // `browse` asks for a folder, starting at the one given; empty when
  // cancelled. Without one, the system's folder dialog is used.
  FindInFilesDialog(FindSettings& settings, QWidget* parent = nullptr,
                    std::function<QString(const QString&)> browse = nullptr);

 private:
  void fill(QComboBox* box, const SearchHistory& history);
  void chooseFolder();
  void find();

  FindSettings& settings_;
  std::function<QString(const QString&)> browse_;
  QComboBox* what_;
  QComboBox* types_;
  QComboBox* folder_;
  QCheckBox* whole_words_;
  QCheckBox* match_case_;
  QCheckBox* regex_;
  QCheckBox* subfolders_;
  QPushButton* find_;
};

}  // namespace zun::wb
