#pragma once
// Where to click on a node of the scan window's trees: the point of a part
// of the node's row (its check box, its expand button), found by the tree's
// own hit test along the row.
#include "treeview/LazyTrees.h"

inline bool Node_Part_Point(TBaseLazyTree* t, PLazyNode n, THitPosition part, TPoint& p)
{
    const TRect r = t->GetDisplayRect(n, -1, false);
    const int y = (r.Top + r.Bottom) / 2;
    for (int x = 0; x < r.Right; ++x) {
        THitInfo hit;
        t->GetHitTestInfoAt(x, y, true, hit);
        if (hit.HitNode == n && hit.HitPositions.Contains(part)) {
            p = Point(x + 2, y);
            return true;
        }
    }
    return false;
}

inline bool Check_Box_Point(TBaseLazyTree* t, PLazyNode n, TPoint& p)
{
    return Node_Part_Point(t, n, hiOnItemCheckbox, p);
}
