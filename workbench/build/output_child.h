// The output window (ZunOutputChild): an append-only list of text lines with a
// vertical scroll bar. The lines live in the core's OutputText; this view
// paints them in the shared cell font and reports double-clicked lines.
#pragma once

#include <QAbstractScrollArea>
#include <QByteArray>
#include <string_view>

#include "workbench/core/workbench_core.h"
#include "workbench/frame/mdi_child.h"

namespace zun::wb {

class OutputChild : public QAbstractScrollArea, public MdiChild {
  Q_OBJECT

 public:
  static constexpr const char* class_name = "ZunOutputChild";
  OutputChild(const SharedFonts& fonts, QWidget* parent = nullptr);

  void write(std::string_view text);
  void clear();
  const OutputText& text() const { return text_; }
  int visibleRows() const;

  bool command(int id, qintptr param) override;
  bool queryClose() override { return true; }
  void describe(WorkbenchState&) const override {}

 signals:
  // A completed line was double-clicked; its bytes as the tool wrote them.
  void lineActivated(const QByteArray& line);
  void closeRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void updateScrollRange();
  const SharedFonts& fonts_;
  OutputText text_;
};

}  // namespace zun::wb
