#pragma once
// One row height for every row of a list or tree, whatever a row holds (an icon, the selection's
// bold text), so that no row covers its neighbour.

class QAbstractItemView;

namespace bv::gui {

/// Gives every row of `view` the height `pixels`.
void SetRowHeight(QAbstractItemView* view, int pixels);

} // namespace bv::gui
