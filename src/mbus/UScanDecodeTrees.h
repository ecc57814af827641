#pragma once
// The scan window's two device trees (VST and VST_Wireless, lazy string
// trees). Kept in a unit of their own: the tree's type names and those of
// the grids cannot meet in one translation unit.
#include "mbus/UScanDecode.h"

#include <QString>
#include <memory>

// The node record of both trees.
struct TMyRec {
    QString Caption; // the node's text
    bool Check = false;
};

class IScanTrees {
public:
    virtual ~IScanTrees() = default;
    virtual void Show_Tree(TScanTree tree, bool visible) = 0;
    virtual void Clear_Tree(TScanTree tree) = 0;
    virtual TMBusTreeNode* Add_Node(TScanTree tree, TMBusTreeNode* parent, const QString& text, bool checkBox,
                                    bool checked) = 0;
    // The caption a node shows (its record's).
    virtual QString Node_Text(TMBusTreeNode* node) = 0;
};

// The trees on the window's tree panel and wireless tree panel.
std::unique_ptr<IScanTrees> Make_Scan_Trees(TFScanDecode* window);
