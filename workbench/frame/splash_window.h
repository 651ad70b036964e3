// The splash window (ZUNKY09##SplashScreenClass): a frameless picture on top
// of its owner, centred over it, with the product lines, the notice lines
// and the version line drawn over the picture. It closes itself when its
// time is up, at the user's first key press or mouse click, or with its
// owner.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include "workbench/frame/dib.h"

namespace zun::wb {

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZUNKY09##SplashScreenClass";
  // Nothing without an owner or with a picture that cannot be drawn. A time
  // of 0 ms keeps the splash until closeSplash or its owner goes.
  static SplashWindow* create(QWidget* owner, const Dib& dib, int timeout_ms, const QString& version);

  // A text drawn in red below the version line.
  void setText(const QString& text);
  void setTextColor(const QColor& colour, bool redraw);
  void closeSplash();
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SplashWindow(QWidget* owner, QImage picture, const QString& version);
  QImage picture_;
  QString version_;
  QString text_;
  QColor text_colour_ = Qt::black;
};

// At start-up: the splash picture over the frame for six seconds.
inline constexpr int start_splash_ms = 6000;
SplashWindow* show_start_splash(QWidget* frame, const QString& version);

}  // namespace zun::wb
