#include "workbench/frame/cascade.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <algorithm>

namespace zun::wb {

void cascade_children(QMdiArea* mdi) {
  QList<QMdiSubWindow*> subs;
  for (QMdiSubWindow* sub : mdi->subWindowList(QMdiArea::StackingOrder))
    if (sub->isVisible() && !sub->isMinimized()) subs << sub;
  if (subs.isEmpty()) return;
  QMdiSubWindow* active = mdi->activeSubWindow();
  const QSize area = mdi->viewport()->size();
  const QStyle* style = subs.front()->style();
  const int step = std::max(8, style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, subs.front()) +
                                   style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, subs.front()));
  const int width = std::max(1, std::min(800, area.width())), height = std::max(1, std::min(400, area.height()));
  const int places = std::max(1, std::min(area.width() - width, area.height() - height) / step + 1);
  int i = 0;
  for (QMdiSubWindow* sub : subs) {
    if (sub->isMaximized()) sub->showNormal();
    const int offset = (i++ % places) * step;
    sub->setGeometry(offset, offset, width, height);
  }
  if (active) mdi->setActiveSubWindow(active);
}

}  // namespace zun::wb
