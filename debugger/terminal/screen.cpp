// The terminal's character screen. Rows live in a ring buffer; the row table
// names the buffer row shown on each screen row, so scrolling turns the table
// instead of moving text. Received bytes: BS, CR and LF by the receive
// translation, TAB to the next multiple of 8, printable ASCII; the rest is
// dropped.
#include <algorithm>

#include "debugger/terminal/terminal.h"

namespace zun::term {

Screen::Screen(int columns, int rows) : columns_(std::max(1, columns)), rows_(std::max(1, rows)) {
  cells_.assign(size_t(columns_) * size_t(rows_), ' ');
  row_table_.resize(size_t(rows_));
  for (int i = 0; i < rows_; ++i) row_table_[size_t(i)] = i;
}

std::string_view Screen::row_text(int screen_row) const {
  return std::string_view(cells_).substr(size_t(row_table_[size_t(screen_row)]) * size_t(columns_), size_t(columns_));
}

std::string Screen::text() const {
  std::string out;
  for (int i = 0; i < rows_; ++i) {
    out += row_text(i);
    out += '\n';
  }
  return out;
}

void Screen::blank_to_end() {
  char* row = row_cells(row_);
  std::fill(row + column_, row + columns_, ' ');
}

// The cursor moves down until the screen is full; then the screen scrolls
// up by one row and the bottom row starts blank.
void Screen::new_line() {
  if (row_ < rows_ - 1) {
    ++row_;
    return;
  }
  std::rotate(row_table_.begin(), row_table_.begin() + 1, row_table_.end());
  char* row = row_cells(row_);
  std::fill(row, row + columns_, ' ');
}

void Screen::feed(uint8_t byte, int receive_translation) {
  if (column_ < columns_) {
    switch (byte) {
      case 8:
        if (column_ > 0) row_cells(row_)[--column_] = ' ';
        return;
      case 13:
        if (receive_translation == 1) return;
        blank_to_end();
        if (receive_translation == 2) {
          column_ = 0;
          new_line();
        }
        return;
      case 10:
        if (receive_translation == 2) return;
        if (receive_translation == 1) {
          blank_to_end();
          column_ = 0;
        }
        new_line();
        return;
      default: break;
    }
  } else {
    // The line is full: the byte goes to the start of the next one.
    column_ = 0;
    new_line();
  }
  if (byte == 9) {
    char* row = row_cells(row_);
    do row[column_++] = ' ';
    while (column_ % 8 != 0 && column_ < columns_);
    return;
  }
  if (byte < 32 || byte >= 128) return;
  row_cells(row_)[column_++] = char(byte);
}

bool Screen::resize(int columns, int rows) {
  columns = std::max(1, columns);
  rows = std::max(1, rows);
  if (long(columns) * long(rows) > max_cells) return false;
  Screen fresh(columns, rows);
  // The rows up to the cursor's, as many of the last of them as fit.
  const int kept = std::min(row_ + 1, rows);
  const int first = row_ + 1 - kept;
  const size_t width = size_t(std::min(columns, columns_));
  for (int i = 0; i < kept; ++i) std::copy_n(row_text(first + i).data(), width, fresh.row_cells(i));
  fresh.row_ = kept - 1;
  fresh.column_ = column_ <= columns ? column_ : 0;
  *this = std::move(fresh);
  return true;
}

}  // namespace zun::term
