// Every question the workbench puts to its user goes through UserDialogs, so
// tests can script the answers. QtUserDialogs is the real thing: message boxes
// captioned with the product title and the small dialogs built in code.
#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace zun::wb {

// A file dialog of the project system: its title, filters ("text (*.ext)"
// entries), default extension, where it starts, and whether it saves (asking
// before overwriting) or opens existing files, one or several.
struct FileRequest {
  QString title;
  QStringList filters;
  QString suffix;
  QString dir;
  bool save = false;
  bool multiple = false;
};

class UserDialogs {
 public:
  // Answers of the save and reload questions. Cancel is Escape (or the
  // window's close button) in the two save questions; All and NoneAll are
  // "Save &All"/"Yes to &All" and "&Discard all changes"/"N&o to All".
  enum class Answer { Yes, No, Cancel, All, NoneAll };

  virtual ~UserDialogs() = default;
  virtual void error(const QString& text) = 0;
  virtual void warning(const QString& text) = 0;
  virtual bool question(const QString& text) = 0;  // true for Yes
  virtual Answer askSave(const QString& fileName) = 0;
  virtual Answer askSaveAll(const QString& fileName) = 0;
  virtual Answer askReloadAll(const QString& fileName) = 0;
  // An empty result means the dialog was cancelled.
  virtual QString openFileName(const QString& dir) = 0;
  virtual QString saveFileName(const QString& dir) = 0;
  virtual QString loadFileName(const QString& dir, const QString& current) = 0;
  // The chosen files, none when cancelled. By default one file from the
  // plain open or save question, which is what scripted tests answer.
  virtual QStringList chooseFiles(const FileRequest& request) {
    QString name = request.save ? saveFileName(request.dir) : openFileName(request.dir);
    return name.isEmpty() ? QStringList() : QStringList{name};
  }
  virtual unsigned goToLine() = 0;  // 0 when nothing usable was typed
  virtual bool choosePrinter(QPrinter& printer) = 0;
  virtual void about(const QString& version) = 0;
  virtual void help(const QString& indexPage) = 0;
};

class QtUserDialogs : public UserDialogs {
 public:
  explicit QtUserDialogs(QWidget* owner) : owner_(owner) {}
  void error(const QString& text) override;
  void warning(const QString& text) override;
  bool question(const QString& text) override;
  Answer askSave(const QString& fileName) override;
  Answer askSaveAll(const QString& fileName) override;
  Answer askReloadAll(const QString& fileName) override;
  QString openFileName(const QString& dir) override;
  QString saveFileName(const QString& dir) override;
  QString loadFileName(const QString& dir, const QString& current) override;
  QStringList chooseFiles(const FileRequest& request) override;
  unsigned goToLine() override;
  bool choosePrinter(QPrinter& printer) override;
  void about(const QString& version) override;
  void help(const QString& indexPage) override;

 private:
  QWidget* owner_;
};

}  // namespace zun::wb
