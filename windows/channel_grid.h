#pragma once

class QTableWidget;

namespace kvel {

// The channel grid's heading row (row 0) is shown as the grid's header, so it stays in view
// while the grid scrolls to the last channels; row 0 keeps its texts but is hidden, so row n
// is still channel n for the code. Call it once the headings are written.
void keepHeadingRowVisible(QTableWidget& grid);

}  // namespace kvel
