// Painting and closing the splash window.
#include "workbench/frame/splash_window.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "workbench/frame/splash_art.h"

namespace zun::wb {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

SplashWindow* SplashWindow::create(QWidget* owner, const Dib& dib, int timeout_ms, const QString& version) {
  if (!owner) return nullptr;
  std::optional<DibImage> image = dib_pixels(dib);
  if (!image) return nullptr;
  QImage picture(image->width, image->height, QImage::Format_RGB32);
  for (int y = 0; y < image->height; ++y)
    std::copy_n(&image->pixels[static_cast<size_t>(y) * static_cast<size_t>(image->width)], image->width,
                reinterpret_cast<uint32_t*>(picture.scanLine(y)));
  auto* splash = new SplashWindow(owner, std::move(picture), version);
  if (timeout_ms > 0) QTimer::singleShot(timeout_ms, splash, &SplashWindow::closeSplash);
  // Centred over the owner, or over the screen while the owner is not shown.
  QRect over = owner->isVisible() ? owner->geometry() : owner->screen()->availableGeometry();
  splash->move(over.center() - splash->rect().center());
  splash->show();
  return splash;
}

SplashWindow::SplashWindow(QWidget* owner, QImage picture, const QString& version)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(std::move(picture)),
      version_(version) {
  setObjectName(QString::fromLatin1(class_name));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(picture_.size());
  qApp->installEventFilter(this);
}

void SplashWindow::setText(const QString& text) {
  text_ = text;
  update();
}

void SplashWindow::setTextColor(const QColor& colour, bool redraw) {
  text_colour_ = colour;
  if (redraw) update();
}

void SplashWindow::closeSplash() {
  qApp->removeEventFilter(this);
  close();
}

// The first key press or click anywhere in the program ends the splash; the
// event itself goes on to where it was meant.
bool SplashWindow::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
      QTimer::singleShot(0, this, &SplashWindow::closeSplash);
      break;
    default:
      break;
  }
  return false;
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
  QFont font = QApplication::font();
  font.setPixelSize(11);
  p.setFont(font);
  const int ascent = p.fontMetrics().ascent();
  p.setPen(text_colour_);
  int y = 150;
  for (std::string_view line : product_lines()) {
    p.drawText(320, y + ascent, qs(line));
    y += 14;
  }
  y = 260;
  for (std::string_view line : notice_lines()) {
    p.drawText(320, y + ascent, qs(line));
    y += 14;
  }
  p.setPen(QColor(255, 0, 0));
  p.drawText(40, 380 + ascent, version_);
  if (!text_.isEmpty()) p.drawText(40, 400 + ascent, text_);
}

SplashWindow* show_start_splash(QWidget* frame, const QString& version) {
  std::optional<Dib> dib = dib_load_resource("ZUN09_KY09_EDUC");
  if (!dib) return nullptr;
  SplashWindow* splash = SplashWindow::create(frame, *dib, start_splash_ms, version);
  if (splash) splash->setText(QString());
  return splash;
}

}  // namespace zun::wb
