// The owner-draw tree: cell content is measured and placed through the
// application's events only.
#include "treeview/LazyTrees.h"

TPoint TCustomLazyDrawTree::CellContentMargin(PLazyNode Node, TColumnIndex Column,
                                              TLTCellContentMarginType CellContentMarginType, TCanvas* Canvas) {
    TPoint result(0, 0);
    if (!Canvas) Canvas = this->Canvas();
    if (OnGetCellContentMargin) OnGetCellContentMargin(this, Canvas, Node, Column, CellContentMarginType, result);
    return result;
}

int TCustomLazyDrawTree::NodeWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    int result = 2 * TextMargin();
    if (!Canvas) Canvas = this->Canvas();
    if (OnGetNodeWidth) OnGetNodeWidth(this, Canvas, Node, Column, result);
    return result;
}
