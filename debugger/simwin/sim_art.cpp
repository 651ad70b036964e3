// The simulator's pictures; see sim_art.h.
#include "debugger/simwin/sim_art.h"

#include <QPainter>
#include <QPainterPath>

namespace zun::sim {

namespace {

const QColor board_green(0x1E, 0x5C, 0x3A);
const QColor silk(0xE8, 0xF0, 0xE0);
const QColor chip_black(0x26, 0x26, 0x2A);
const QColor copper(0xC8, 0x9B, 0x3C);

// A chip outline with pins along both long sides and its silkscreen text.
void chip(QPainter& p, const QRect& r, const QString& top, const QString& bottom) {
  p.setPen(QPen(copper, 2));
  const int pins = std::max(2, r.width() / 12);
  for (int i = 0; i < pins; ++i) {
    const int x = r.left() + 6 + i * (r.width() - 12) / std::max(1, pins - 1);
    p.drawLine(x, r.top() - 4, x, r.top());
    p.drawLine(x, r.bottom(), x, r.bottom() + 4);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(chip_black);
  p.drawRoundedRect(r, 3, 3);
  p.setBrush(QColor(0x44, 0x44, 0x4A));
  p.drawEllipse(QPoint(r.left() + 6, r.center().y()), 3, 3);
  p.setPen(silk);
  p.drawText(r.adjusted(12, 1, -2, -r.height() / 2), Qt::AlignLeft | Qt::AlignVCenter, top);
  p.drawText(r.adjusted(12, r.height() / 2, -2, -1), Qt::AlignLeft | Qt::AlignVCenter, bottom);
}

void label(QPainter& p, int x, int y, const QString& text, Qt::Alignment align = Qt::AlignLeft, int width = 200) {
  p.setPen(silk);
  p.drawText(QRect(x, y, width, 14), align | Qt::AlignVCenter, text);
}

}  // namespace

QPixmap board_picture(const PanelGeometry& g, QSize size, const QFont& small_font) {
  const int L = g.L, W = g.W;
  QPixmap pm(size);
  pm.fill(board_green);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setFont(small_font);

  // Board edge and the mounting holes.
  p.setPen(QPen(QColor(0x12, 0x3C, 0x25), 3));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRect(2, 2, size.width() - 5, size.height() - 5), 8, 8);
  p.setPen(QPen(copper, 2));
  for (QPoint c : {QPoint(size.width() - 100, 40), QPoint(size.width() - 14, 40), QPoint(14, size.height() - 14),
                   QPoint(size.width() - 14, size.height() - 14)})
    p.drawEllipse(c, 5, 5);

  // The target name plate (the descriptor's name is written on it).
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF4, 0xF1, 0xD8));
  p.drawRoundedRect(QRect(4, g.descriptor_y - 3, 176, L + 6), 3, 3);
  label(p, 7, g.descriptor_y - 17, QStringLiteral("TARGET"));

  // Exception handling and ROM write: a lamp and a push button each.
  label(p, 200 + 2 * W + 6, 55, QStringLiteral("IRQ ENABLE"));
  label(p, 200 + 2 * W + 6, 73, QStringLiteral("ROM WRITE"));

  // The interrupt request buttons and their in-service lamps.
  label(p, 60, 74, QStringLiteral("IRQ FIRQ NMI"));
  label(p, 56, 128, QStringLiteral("SRV"));

  // The byte counter: a dark display window.
  p.setPen(QPen(QColor(0x0A, 0x0A, 0x0A), 1));
  p.setBrush(QColor(0x10, 0x14, 0x10));
  const PanelRect box = g.byte_total_box();
  p.drawRect(QRect(box.x, box.y, box.width, box.height));
  label(p, g.byte_total_x() - 4, g.byte_total_y - 17, QStringLiteral("BYTES RUN"));

  // The run lamps.
  label(p, 28, 155, QStringLiteral("BRK IO"));
  label(p, 28, 172, QStringLiteral("BRK IRQ"));
  label(p, 28, 189, QStringLiteral("RUN"));

  // The CPU: the disassembly list is its window.
  const QRect cpu(g.list_x - 8, g.list_y - 8, list_width * W + 16, list_rows * L + 16);
  chip(p, cpu, QString(), QString());
  label(p, g.list_x - 4, g.list_y - 24, QStringLiteral("MC6809"));

  // The stack window.
  p.setPen(QPen(QColor(0x0A, 0x0A, 0x0A), 1));
  p.setBrush(QColor(0x16, 0x22, 0x1A));
  p.drawRoundedRect(QRect(6, g.stack_y - 4, 106, 9 * L + 10), 4, 4);

  // Register names at the right of their fields (the Step button covers
  // the left of the first).
  const int rx = 393, ry = 147;
  const struct {
    const char* name;
    int x, y;
  } regs[] = {{"DP", rx + 24, ry},          {"A B", rx + 46, ry + 3 * L / 2}, {"X", rx + 42, ry + 3 * L},
              {"Y", rx + 42, ry + 9 * L / 2}, {"U", rx + 42, ry + 6 * L},       {"PC", rx + 42, ry + 15 * L / 2},
              {"S", rx + 42, ry + 9 * L},     {"CC", rx + 70, ry + 12 * L}};
  for (const auto& r : regs) label(p, r.x, r.y + 2, QString::fromLatin1(r.name), Qt::AlignLeft, 40);
  p.setPen(silk);
  p.drawText(QRect(rx + 3, ry + 12 * L - 15, 100, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("EFHINZVC"));

  // The peripheral chips along the right edge, with their addresses.
  const int cx = 500, cw = size.width() - cx - 12;
  if (cw > 60) {
    const struct {
      const char* type;
      const char* what;
    } chips[] = {{"MC6850", "ACIA1 E028"}, {"MC6850", "ACIA2 E024"}, {"MC6821", "PIA1 E048"},
                 {"MC6821", "PIA2 E050"},  {"MC6840", "TIMER E0E0"}, {"WD2795", "FDC E0A0"}};
    int y = 60;
    for (const auto& c : chips) {
      chip(p, QRect(cx, y, cw, 30), QString::fromLatin1(c.type), QString::fromLatin1(c.what));
      y += 46;
    }
  }
  label(p, size.width() - 60, size.height() - 22, QStringLiteral("KY09"));
  return pm;
}

QPixmap key_picture(bool down) {
  QPixmap pm(18, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(0x50, 0x50, 0x50));
  p.drawRoundedRect(QRect(0, 0, 17, 19), 3, 3);
  p.setBrush(down ? QColor(0x90, 0x20, 0x20) : QColor(0xD0, 0x40, 0x30));
  p.drawEllipse(down ? QRect(4, 5, 10, 10) : QRect(3, 3, 12, 12));
  return pm;
}

QIcon tool_icon(int id) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0x20, 0x30, 0x60);
  switch (id) {
    case SIM_LOAD_NEW: {  // a folder
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(0xF0, 0xC8, 0x50));
      p.drawRect(1, 5, 13, 9);
      p.drawRect(1, 3, 6, 2);
      break;
    }
    case SIM_RELOAD: {  // a circular arrow
      p.setPen(QPen(QColor(0x20, 0x80, 0x30), 2));
      p.drawArc(QRect(2, 2, 12, 12), 30 * 16, 280 * 16);
      p.setBrush(QColor(0x20, 0x80, 0x30));
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygon({QPoint(11, 0), QPoint(15, 5), QPoint(9, 6)}));
      break;
    }
    case SIM_BREAKPOINT_DIALOG: {  // a red stop dot over a list
      p.setPen(QPen(ink, 1));
      for (int y = 3; y <= 13; y += 5) p.drawLine(7, y, 15, y);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xE0, 0x20, 0x20));
      p.drawEllipse(QRect(0, 4, 7, 7));
      break;
    }
    case SIM_RESET: {  // a power symbol
      p.setPen(QPen(ink, 2));
      p.drawArc(QRect(2, 3, 12, 12), 120 * 16, 300 * 16);
      p.drawLine(8, 1, 8, 8);
      break;
    }
    case SIM_RESET_CPU: {  // a chip with an R
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(0x40, 0x40, 0x48));
      p.drawRect(3, 3, 10, 10);
      p.setPen(Qt::white);
      QFont f = p.font();
      f.setPixelSize(9);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRect(3, 3, 10, 10), Qt::AlignCenter, QStringLiteral("R"));
      break;
    }
    case SIM_RUN: {  // one triangle
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x20, 0x90, 0x30));
      p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
      break;
    }
    case SIM_RUN_FAST: {  // two triangles
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x20, 0x90, 0x30));
      p.drawPolygon(QPolygon({QPoint(1, 2), QPoint(8, 8), QPoint(1, 14)}));
      p.drawPolygon(QPolygon({QPoint(8, 2), QPoint(15, 8), QPoint(8, 14)}));
      break;
    }
    case SIM_STOP: {  // a square
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xD0, 0x20, 0x20));
      p.drawRect(3, 3, 10, 10);
      break;
    }
    case SIM_SETUP: {  // a board with a plug
      p.setPen(QPen(ink, 1));
      p.setBrush(QColor(0x30, 0x80, 0x50));
      p.drawRect(1, 4, 10, 9);
      p.setBrush(copper);
      p.drawRect(11, 6, 4, 5);
      break;
    }
    default: break;
  }
  return QIcon(pm);
}

}  // namespace zun::sim
