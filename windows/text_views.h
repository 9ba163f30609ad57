// How the main window's lists and memo show the program's text.
#pragma once

class QListWidget;
class QPlainTextEdit;

namespace karvel {

// Rows of one size, so that a hundred thousand lines lay out at once (which
// hides the horizontal bar): a line wider than its list shows its whole
// text as a tooltip.
void set_up_list(QListWidget* list);

// The program's own lines: read, selected and copied, never typed over or
// undone; no wrapping, both bars shown; Tab moves the focus on.
void set_up_memo(QPlainTextEdit* memo);

}  // namespace karvel
