// Walking the tree: first, last, next and previous in tree order or with
// children above their parents, restricted to visible, initialized, leaf,
// level, checked, selected or cut/copied nodes; the sorted selection, the
// subtree iterator and the enumerations.
#include "treeview/LazyTrees.h"

namespace {
const QString RootMessage() { return QStringLiteral("Node must not be the hidden root node."); }
}  // namespace

// The next node after Node's whole subtree in tree order: its next sibling
// or that of the nearest ancestor that has one; nil at the end.
PLazyNode TBaseLazyTree::NextOutsideSubtree(PLazyNode Node) const {
    for (PLazyNode run = Node; run && run != FRoot; run = run->Parent)
        if (run->NextSibling) return run->NextSibling;
    return nullptr;
}

#define LT_CHILDREN_ABOVE(cca) ((cca) && FOptions->PaintOptions().Contains(toChildrenAbove))
#define LT_INIT(n) \
    do { if ((n) && (n) != FRoot && !(n)->States.Contains(vsInitialized)) InitializeNode(n); } while (0)
#define LT_CHILDREN(n) \
    do { if ((n)->States.Contains(vsHasChildren) && (n)->ChildCount == 0) InitializeChildren(n); } while (0)

// ---------------------------------------------------------------------------
// First, next, previous, last
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirst(bool ConsiderChildrenAbove) {
    PLazyNode result = FRoot->FirstChild;
    if (result && LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        for (;;) {
            LT_INIT(result);
            LT_CHILDREN(result);
            if (!result->FirstChild) break;
            result = result->FirstChild;
        }
    }
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstNoInit(bool ConsiderChildrenAbove) const {
    PLazyNode result = FRoot->FirstChild;
    if (result && LT_CHILDREN_ABOVE(ConsiderChildrenAbove))
        while (result->FirstChild) result = result->FirstChild;
    return result;
}

PLazyNode TBaseLazyTree::GetNext(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        if (Node->NextSibling) {
            result = Node->NextSibling;
            for (;;) {
                LT_INIT(result);
                LT_CHILDREN(result);
                if (!result->FirstChild) break;
                result = result->FirstChild;
            }
        } else {
            result = Node->Parent == FRoot ? nullptr : Node->Parent;
        }
    } else {
        LT_CHILDREN(Node);
        result = Node->FirstChild ? Node->FirstChild : NextOutsideSubtree(Node);
    }
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        if (Node->NextSibling) {
            PLazyNode result = Node->NextSibling;
            while (result->FirstChild) result = result->FirstChild;
            return result;
        }
        return Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    return Node->FirstChild ? Node->FirstChild : NextOutsideSubtree(Node);
}

PLazyNode TBaseLazyTree::GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        LT_CHILDREN(Node);
        if (Node->LastChild) result = Node->LastChild;
        else {
            for (PLazyNode run = Node; run && run != FRoot; run = run->Parent)
                if (run->PrevSibling) {
                    result = run->PrevSibling;
                    break;
                }
        }
    } else if (PLazyNode p = Node->PrevSibling) {
        LT_INIT(p);
        LT_CHILDREN(p);
        result = p->FirstChild ? GetLast(p, false) : p;
    } else {
        result = Node->Parent == FRoot ? nullptr : Node->Parent;
    }
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        if (Node->LastChild) return Node->LastChild;
        for (PLazyNode run = Node; run && run != FRoot; run = run->Parent)
            if (run->PrevSibling) return run->PrevSibling;
        return nullptr;
    }
    if (PLazyNode p = Node->PrevSibling) return p->FirstChild ? GetLastNoInit(p, false) : p;
    return Node->Parent == FRoot ? nullptr : Node->Parent;
}

PLazyNode TBaseLazyTree::GetLast(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) Node = FRoot;
    LT_INIT(Node);
    LT_CHILDREN(Node);
    PLazyNode result = Node->LastChild;
    if (!LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        while (result) {
            LT_INIT(result);
            LT_CHILDREN(result);
            if (!result->LastChild) break;
            result = result->LastChild;
        }
    }
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastNoInit(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!Node) Node = FRoot;
    PLazyNode result = Node->LastChild;
    if (!LT_CHILDREN_ABOVE(ConsiderChildrenAbove))
        while (result && result->LastChild) result = result->LastChild;
    return result;
}

// ---------------------------------------------------------------------------
// Children and siblings
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstChild(PLazyNode Node) {
    if (!Node) Node = FRoot;
    LT_INIT(Node);
    LT_CHILDREN(Node);
    PLazyNode result = Node->FirstChild;
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstChildNoInit(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return Node->States.Contains(vsHasChildren) ? Node->FirstChild : nullptr;
}

PLazyNode TBaseLazyTree::GetLastChild(PLazyNode Node) {
    if (!Node) Node = FRoot;
    LT_INIT(Node);
    LT_CHILDREN(Node);
    PLazyNode result = Node->LastChild;
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetLastChildNoInit(PLazyNode Node) const {
    if (!Node) Node = FRoot;
    return Node->States.Contains(vsHasChildren) ? Node->LastChild : nullptr;
}

PLazyNode TBaseLazyTree::GetNextSibling(PLazyNode Node) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    PLazyNode result = Node->NextSibling;
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetNextSiblingNoInit(PLazyNode Node) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    return Node->NextSibling;
}

PLazyNode TBaseLazyTree::GetPreviousSibling(PLazyNode Node) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    PLazyNode result = Node->PrevSibling;
    LT_INIT(result);
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousSiblingNoInit(PLazyNode Node) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    return Node->PrevSibling;
}

// ---------------------------------------------------------------------------
// Visible nodes
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetVisibleParent(PLazyNode Node, bool IncludeFiltered) const {
    LTAssert(Node != nullptr, QStringLiteral("Node must not be nil."));
    LTAssert(Node != FRoot, RootMessage());
    PLazyNode result = Node->Parent;
    while (result != FRoot && (!GetFullyVisible(result) || (!IncludeFiltered && GetEffectivelyFiltered(result))))
        result = result->Parent;
    return result;
}

PLazyNode TBaseLazyTree::GetFirstVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    LT_CHILDREN(Node);
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        PLazyNode run = Node->FirstChild;
        while (run) {
            LT_INIT(run);
            if (!run->States.Contains(vsVisible)) {
                if (run->NextSibling) {
                    run = run->NextSibling;
                    continue;
                }
                result = run->Parent == FRoot ? nullptr : run->Parent;
                break;
            }
            if (run->States.Contains(vsExpanded)) {
                LT_CHILDREN(run);
                if (run->FirstChild) {
                    run = run->FirstChild;
                    continue;
                }
            }
            result = run;
            break;
        }
    } else {
        // The first visible child; failing that, the first visible sibling
        // behind the parent, the grandparent, and so on.
        PLazyNode start = Node->FirstChild;
        while (start && !result) {
            for (PLazyNode run = start; run; run = run->NextSibling) {
                LT_INIT(run);
                if (run->States.Contains(vsVisible)) {
                    result = run;
                    break;
                }
            }
            if (result) break;
            PLazyNode up = start->Parent;
            if (up == FRoot) break;
            start = NextOutsideSubtree(up);
        }
    }
    if (result && !IncludeFiltered && GetEffectivelyFiltered(result)) result = GetNextVisible(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) const {
    if (!Node) Node = FRoot;
    if (!Node->States.Contains(vsHasChildren)) return nullptr;
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        PLazyNode run = Node->FirstChild;
        while (run) {
            if (!run->States.Contains(vsVisible)) {
                if (run->NextSibling) {
                    run = run->NextSibling;
                    continue;
                }
                result = run->Parent == FRoot ? nullptr : run->Parent;
                break;
            }
            if (run->States.Contains(vsExpanded) && run->FirstChild) {
                run = run->FirstChild;
                continue;
            }
            result = run;
            break;
        }
    } else {
        PLazyNode start = Node->FirstChild;
        while (start && !result) {
            for (PLazyNode run = start; run; run = run->NextSibling)
                if (run->States.Contains(vsVisible)) {
                    result = run;
                    break;
                }
            if (result) break;
            PLazyNode up = start->Parent;
            if (up == FRoot) break;
            start = NextOutsideSubtree(up);
        }
    }
    if (result && !IncludeFiltered && GetEffectivelyFiltered(result))
        result = GetNextVisibleNoInit(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    const bool above = LT_CHILDREN_ABOVE(ConsiderChildrenAbove);
    PLazyNode result = Node;
    do {
        if (!GetFullyVisible(result)) {
            result = GetVisibleParent(result, true);
            if (result == FRoot) return nullptr;
        }
        if (!above) {
            if (result->States.ContainsAll({vsExpanded, vsHasChildren})) LT_CHILDREN(result);
            PLazyNode child = nullptr;
            if (result->States.Contains(vsExpanded))
                for (PLazyNode run = result->FirstChild; run; run = run->NextSibling) {
                    LT_INIT(run);
                    if (run->States.Contains(vsVisible)) {
                        child = run;
                        break;
                    }
                }
            if (child) {
                result = child;
            } else {
                PLazyNode found = nullptr;
                for (PLazyNode up = result; up && up != FRoot && !found; up = up->Parent)
                    for (PLazyNode s = up->NextSibling; s; s = s->NextSibling) {
                        LT_INIT(s);
                        if (s->States.Contains(vsVisible)) {
                            found = s;
                            break;
                        }
                    }
                result = found;
            }
        } else {
            PLazyNode s = result->NextSibling;
            while (s) {
                LT_INIT(s);
                if (s->States.Contains(vsVisible)) break;
                s = s->NextSibling;
            }
            if (s) {
                for (;;) {
                    if (!s->States.Contains(vsExpanded)) break;
                    LT_CHILDREN(s);
                    PLazyNode c = s->FirstChild;
                    if (!c) break;
                    LT_INIT(c);
                    if (!c->States.Contains(vsVisible)) break;
                    s = c;
                }
                result = s;
            } else {
                result = result->Parent == FRoot ? nullptr : result->Parent;
                LT_INIT(result);
            }
        }
    } while (result && !GetEffectivelyVisible(result));
    return result;
}

PLazyNode TBaseLazyTree::GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    const bool above = LT_CHILDREN_ABOVE(ConsiderChildrenAbove);
    PLazyNode result = Node;
    do {
        if (!above && !GetFullyVisible(result)) {
            result = GetVisibleParent(result, true);
            if (result == FRoot) return nullptr;
        }
        if (!above) {
            PLazyNode child = nullptr;
            if (result->States.Contains(vsExpanded))
                for (PLazyNode run = result->FirstChild; run; run = run->NextSibling)
                    if (run->States.Contains(vsVisible)) {
                        child = run;
                        break;
                    }
            if (child) {
                result = child;
            } else {
                PLazyNode found = nullptr;
                for (PLazyNode up = result; up && up != FRoot && !found; up = up->Parent)
                    for (PLazyNode s = up->NextSibling; s; s = s->NextSibling)
                        if (s->States.Contains(vsVisible)) {
                            found = s;
                            break;
                        }
                result = found;
            }
        } else {
            PLazyNode s = result->NextSibling;
            while (s && !s->States.Contains(vsVisible)) s = s->NextSibling;
            if (s) {
                while (s->States.Contains(vsExpanded) && s->FirstChild && s->FirstChild->States.Contains(vsVisible))
                    s = s->FirstChild;
                result = s;
            } else {
                result = result->Parent == FRoot ? nullptr : result->Parent;
            }
        }
    } while (result && !GetEffectivelyVisible(result));
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    const bool above = LT_CHILDREN_ABOVE(ConsiderChildrenAbove);
    PLazyNode result = Node;
    do {
        if (!GetFullyVisible(result)) {
            PLazyNode parent = GetVisibleParent(result, true);
            if (parent == FRoot) return nullptr;
            PLazyNode marker = GetLastVisible(parent, ConsiderChildrenAbove, true);
            result = marker ? marker : parent;
        } else if (!above) {
            PLazyNode p = result->PrevSibling;
            while (p) {
                LT_INIT(p);
                if (p->States.Contains(vsVisible)) break;
                p = p->PrevSibling;
            }
            if (p) {
                PLazyNode last = GetLastVisible(p, ConsiderChildrenAbove, true);
                result = last ? last : p;
            } else {
                result = result->Parent == FRoot ? nullptr : result->Parent;
            }
        } else {
            PLazyNode next = nullptr;
            if (result->States.Contains(vsExpanded)) {
                LT_CHILDREN(result);
                for (PLazyNode c = result->LastChild; c; c = c->PrevSibling) {
                    LT_INIT(c);
                    if (c->States.Contains(vsVisible)) {
                        next = c;
                        break;
                    }
                }
            }
            if (!next)
                for (PLazyNode up = result; up && up != FRoot && !next; up = up->Parent)
                    for (PLazyNode p = up->PrevSibling; p; p = p->PrevSibling) {
                        LT_INIT(p);
                        if (p->States.Contains(vsVisible)) {
                            next = p;
                            break;
                        }
                    }
            result = next;
        }
        LT_INIT(result);
    } while (result && !GetEffectivelyVisible(result));
    return result;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!Node) return nullptr;
    LTAssert(Node != FRoot, RootMessage());
    const bool above = LT_CHILDREN_ABOVE(ConsiderChildrenAbove);
    PLazyNode result = Node;
    do {
        if (!GetFullyVisible(result)) {
            PLazyNode parent = GetVisibleParent(result, true);
            if (parent == FRoot) return nullptr;
            PLazyNode marker = GetLastVisibleNoInit(parent, ConsiderChildrenAbove, true);
            result = marker ? marker : parent;
        } else if (!above) {
            PLazyNode p = result->PrevSibling;
            while (p && !p->States.Contains(vsVisible)) p = p->PrevSibling;
            if (p) {
                PLazyNode last = GetLastVisibleNoInit(p, ConsiderChildrenAbove, true);
                result = last ? last : p;
            } else {
                result = result->Parent == FRoot ? nullptr : result->Parent;
            }
        } else {
            PLazyNode next = nullptr;
            if (result->States.Contains(vsExpanded))
                for (PLazyNode c = result->LastChild; c; c = c->PrevSibling)
                    if (c->States.Contains(vsVisible)) {
                        next = c;
                        break;
                    }
            if (!next)
                for (PLazyNode up = result; up && up != FRoot && !next; up = up->Parent)
                    for (PLazyNode p = up->PrevSibling; p; p = p->PrevSibling)
                        if (p->States.Contains(vsVisible)) {
                            next = p;
                            break;
                        }
            result = next;
        }
    } while (result && !GetEffectivelyVisible(result));
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisible(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        result = GetLastVisibleChild(Node, true);
    } else {
        for (PLazyNode next = GetLastVisibleChild(Node, true); next; next = GetLastVisibleChild(next, true))
            result = next;
    }
    if (result && !IncludeFiltered && GetEffectivelyFiltered(result))
        result = GetPreviousVisible(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetLastVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) const {
    if (!Node) Node = FRoot;
    PLazyNode result = nullptr;
    if (LT_CHILDREN_ABOVE(ConsiderChildrenAbove)) {
        result = GetLastVisibleChildNoInit(Node, true);
    } else {
        for (PLazyNode next = GetLastVisibleChildNoInit(Node, true); next;
             next = GetLastVisibleChildNoInit(next, true))
            result = next;
    }
    if (result && !IncludeFiltered && GetEffectivelyFiltered(result))
        result = GetPreviousVisibleNoInit(result, ConsiderChildrenAbove);
    return result;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    LT_CHILDREN(Node);
    for (PLazyNode run = Node->FirstChild; run; run = run->NextSibling) {
        LT_INIT(run);
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered) const {
    if (!Node) Node = FRoot;
    for (PLazyNode run = Node->FirstChild; run; run = run->NextSibling)
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    return nullptr;
}

PLazyNode TBaseLazyTree::GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered) {
    if (!Node) Node = FRoot;
    if (Node != FRoot && (!GetFullyVisible(Node) || !Node->States.Contains(vsExpanded))) return nullptr;
    LT_CHILDREN(Node);
    for (PLazyNode run = Node->LastChild; run; run = run->PrevSibling) {
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) {
            LT_INIT(run);
            return run;
        }
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered) const {
    if (!Node) Node = FRoot;
    if (Node != FRoot && (!GetFullyVisible(Node) || !Node->States.Contains(vsExpanded))) return nullptr;
    for (PLazyNode run = Node->LastChild; run; run = run->PrevSibling)
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    return nullptr;
}

PLazyNode TBaseLazyTree::GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    for (PLazyNode run = Node->NextSibling; run; run = run->NextSibling) {
        LT_INIT(run);
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered) const {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    for (PLazyNode run = Node->NextSibling; run; run = run->NextSibling)
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    return nullptr;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered) {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    for (PLazyNode run = Node->PrevSibling; run; run = run->PrevSibling) {
        LT_INIT(run);
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered) const {
    LTAssert(Node && Node != FRoot, QStringLiteral("Invalid parameter."));
    for (PLazyNode run = Node->PrevSibling; run; run = run->PrevSibling)
        if (run->States.Contains(vsVisible) && (IncludeFiltered || !GetEffectivelyFiltered(run))) return run;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Initialized, leaf, level, checked, selected and cut/copied nodes
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::GetFirstInitialized(bool ConsiderChildrenAbove) const {
    PLazyNode run = GetFirstNoInit(ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsInitialized)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove) const {
    PLazyNode run = GetNextNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsInitialized)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove) const {
    PLazyNode run = GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsInitialized)) run = GetPreviousNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetLastInitialized(PLazyNode Node, bool ConsiderChildrenAbove) const {
    PLazyNode run = GetLastNoInit(Node, ConsiderChildrenAbove);
    if (run && !run->States.Contains(vsInitialized)) run = GetPreviousInitialized(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetFirstLeaf() {
    PLazyNode run = GetFirst(false);
    while (run && run->States.Contains(vsHasChildren)) run = GetNext(run, false);
    return run;
}

PLazyNode TBaseLazyTree::GetNextLeaf(PLazyNode Node) {
    if (!Node || Node == FRoot) return GetFirstLeaf();
    PLazyNode run = GetNext(Node, false);
    while (run && run->States.Contains(vsHasChildren)) run = GetNext(run, false);
    return run;
}

PLazyNode TBaseLazyTree::GetPreviousLeaf(PLazyNode Node) {
    PLazyNode run = (!Node || Node == FRoot) ? GetLast(nullptr, false) : GetPrevious(Node, false);
    while (run && run->States.Contains(vsHasChildren)) run = GetPrevious(run, false);
    return run;
}

PLazyNode TBaseLazyTree::GetFirstLevel(uint32_t NodeLevel) {
    PLazyNode run = GetFirstNoInit(true);
    while (run && GetNodeLevel(run) != NodeLevel) run = GetNextNoInit(run, true);
    LT_INIT(run);
    return run;
}

PLazyNode TBaseLazyTree::GetNextLevel(PLazyNode Node, uint32_t NodeLevel) {
    PLazyNode run = Node;
    while (run && run != FRoot) {
        const uint32_t level = GetNodeLevel(run);
        if (level < NodeLevel) {
            run = GetNext(run, false);
            if (run && GetNodeLevel(run) == NodeLevel) return run;
        } else if (level == NodeLevel) {
            run = NextOutsideSubtree(run);
            if (run && GetNodeLevel(run) == NodeLevel) {
                LT_INIT(run);
                return run;
            }
        } else {
            run = run->Parent;
        }
    }
    return nullptr;
}

PLazyNode TBaseLazyTree::GetPreviousLevel(PLazyNode Node, uint32_t NodeLevel) {
    if (!Node || Node == FRoot) return nullptr;
    PLazyNode run = Node;
    for (;;) {
        PLazyNode p = run->PrevSibling;
        if (!p) {
            run = run->Parent;
            if (run == FRoot) return nullptr;
            if (GetNodeLevel(run) == NodeLevel) {
                LT_INIT(run);
                return run;
            }
            continue;
        }
        // Descend through last children towards the level asked for.
        LT_INIT(p);
        while (GetNodeLevel(p) < NodeLevel) {
            LT_CHILDREN(p);
            if (!p->LastChild) break;
            p = p->LastChild;
            LT_INIT(p);
        }
        if (GetNodeLevel(p) == NodeLevel) return p;
        run = p;
    }
}

PLazyNode TBaseLazyTree::GetFirstChecked(TCheckState State, bool ConsiderChildrenAbove) {
    PLazyNode run = GetFirstNoInit(ConsiderChildrenAbove);
    while (run && run->CheckState != State) run = GetNextNoInit(run, ConsiderChildrenAbove);
    LT_INIT(run);
    return run;
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove) {
    PLazyNode run = (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove)
                                              : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (run && run->CheckState != State) run = GetNextNoInit(run, ConsiderChildrenAbove);
    LT_INIT(run);
    return run;
}

PLazyNode TBaseLazyTree::GetNextChecked(PLazyNode Node, bool ConsiderChildrenAbove) {
    return GetNextChecked(Node, csCheckedNormal, ConsiderChildrenAbove);
}

PLazyNode TBaseLazyTree::GetPreviousChecked(PLazyNode Node, TCheckState State, bool ConsiderChildrenAbove) {
    PLazyNode run = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                              : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (run && run->CheckState != State) run = GetPreviousNoInit(run, ConsiderChildrenAbove);
    LT_INIT(run);
    return run;
}

PLazyNode TBaseLazyTree::GetFirstSelected(bool ConsiderChildrenAbove) const {
    if (FSelectionCount <= 0) return nullptr;
    PLazyNode run = GetFirstNoInit(ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsSelected)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (FSelectionCount <= 0) return nullptr;
    PLazyNode run = (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove)
                                              : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsSelected)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (FSelectionCount <= 0) return nullptr;
    PLazyNode run = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                              : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsSelected)) run = GetPreviousNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetFirstCutCopy(bool ConsiderChildrenAbove) const {
    if (!FStates.ContainsAny({tsCopyPending, tsCutPending})) return nullptr;
    PLazyNode run = GetFirstNoInit(ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsCutOrCopy)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!FStates.ContainsAny({tsCopyPending, tsCutPending})) return nullptr;
    PLazyNode run = (!Node || Node == FRoot) ? GetFirstNoInit(ConsiderChildrenAbove)
                                              : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsCutOrCopy)) run = GetNextNoInit(run, ConsiderChildrenAbove);
    return run;
}

PLazyNode TBaseLazyTree::GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove) const {
    if (!FStates.ContainsAny({tsCopyPending, tsCutPending})) return nullptr;
    PLazyNode run = (!Node || Node == FRoot) ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                              : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (run && !run->States.Contains(vsCutOrCopy)) run = GetPreviousNoInit(run, ConsiderChildrenAbove);
    return run;
}

bool TBaseLazyTree::HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const {
    if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
    for (PLazyNode run = Node->Parent;; run = run->Parent) {
        if (run == PotentialParent) return true;
        if (run == FRoot) return false;
    }
}

namespace {
TNodeArray SortedByState(const TBaseLazyTree* tree, PLazyNode first, TLazyNodeState state, bool Resolve,
                         int reserve, PLazyNode root) {
    TNodeArray result;
    result.reserve(reserve);
    PLazyNode run = first;
    while (run) {
        if (run->States.Contains(state)) {
            result.append(run);
            if (Resolve) {
                // Skip the subtree: only the topmost marked nodes are listed.
                PLazyNode next = nullptr;
                for (PLazyNode up = run; up && up != root; up = up->Parent)
                    if (up->NextSibling) {
                        next = up->NextSibling;
                        break;
                    }
                run = next;
                continue;
            }
        }
        run = tree->GetNextNoInit(run, false);
    }
    return result;
}
}  // namespace

TNodeArray TBaseLazyTree::GetSortedSelection(bool Resolve) const {
    if (FSelectionCount <= 0) return {};
    return SortedByState(this, GetFirstNoInit(false), vsSelected, Resolve, FSelectionCount, FRoot);
}

TNodeArray TBaseLazyTree::GetSortedCutCopySet(bool Resolve) const {
    return SortedByState(this, GetFirstNoInit(false), vsCutOrCopy, Resolve, 100, FRoot);
}

void TBaseLazyTree::GetTextInfo(PLazyNode, TColumnIndex, TFont* AFont, TRect& R, QString& Text) {
    R = TRect();
    Text.clear();
    if (AFont) AFont->Assign(*Font());
}

uint32_t TBaseLazyTree::CutCopyCount() const {
    uint32_t n = 0;
    for (PLazyNode run = GetFirstCutCopy(false); run; run = GetNextCutCopy(run, false)) ++n;
    return n;
}

uint32_t TBaseLazyTree::CheckedCount() {
    uint32_t n = 0;
    for (PLazyNode run = GetFirstChecked(csCheckedNormal, false); run; run = GetNextChecked(run, csCheckedNormal, false))
        ++n;
    return n;
}

// ---------------------------------------------------------------------------
// The subtree iterator
// ---------------------------------------------------------------------------

PLazyNode TBaseLazyTree::IterateSubtree(PLazyNode Node, const TLTGetNodeProc& Callback, void* Data,
                                        TLazyNodeStates Filter, bool DoInit, bool ChildNodesOnly) {
    LTAssert(Node != FRoot, RootMessage());
    const bool wasIterating = FStates.Contains(tsIterating);
    SwitchStates({tsIterating}, {});
    PLazyNode result = nullptr;
    try {
        auto step = [&](PLazyNode n) { return DoInit ? GetNext(n, false) : GetNextNoInit(n, false); };
        PLazyNode stop = nullptr;
        PLazyNode run = nullptr;
        bool walk = true;
        if (Node) {
            stop = NextOutsideSubtree(Node);
            if (DoInit) LT_INIT(Node);
            if (ChildNodesOnly) {
                if (DoInit) LT_CHILDREN(Node);
                if (Node->ChildCount == 0) walk = false;
                else run = step(Node);
            } else {
                run = Node;
            }
        } else {
            run = DoInit ? GetFirst(false) : GetFirstNoInit(false);
        }
        while (walk && run && run != stop) {
            if (Filter.Empty() || run->States.ContainsAll(Filter)) {
                bool abort = false;
                Callback(this, run, Data, abort);
                if (abort) {
                    result = run;
                    break;
                }
            }
            run = step(run);
        }
    } catch (...) {
        if (!wasIterating) SwitchStates({}, {tsIterating});
        throw;
    }
    if (!wasIterating) SwitchStates({}, {tsIterating});
    return result;
}

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------

TLTLazyNodeEnumerator TLTLazyNodeEnumeration::GetEnumerator() const {
    TLTLazyNodeEnumerator e;
    e.FNode = nullptr;
    e.FCanModeNext = true;
    e.FEnumeration = this;
    return e;
}

bool TLTLazyNodeEnumerator::MoveNext() {
    if (!FCanModeNext) return false;
    const TLTLazyNodeEnumeration& en = *FEnumeration;
    TBaseLazyTree* t = en.FTree;
    auto first = [&]() -> PLazyNode {
        switch (en.FMode) {
        case vneAll: return t->GetFirst(en.FConsiderChildrenAbove);
        case vneChecked: return t->GetFirstChecked(en.FState, en.FConsiderChildrenAbove);
        case vneChild: return t->GetFirstChild(en.FNode);
        case vneCutCopy: return t->GetFirstCutCopy(en.FConsiderChildrenAbove);
        case vneInitialized: return t->GetFirstInitialized(en.FConsiderChildrenAbove);
        case vneLeaf: return t->GetFirstLeaf();
        case vneLevel: return t->GetFirstLevel(en.FNodeLevel);
        case vneNoInit: return t->GetFirstNoInit(en.FConsiderChildrenAbove);
        case vneSelected: return t->GetFirstSelected(en.FConsiderChildrenAbove);
        case vneVisible: return t->GetFirstVisible(en.FNode, en.FConsiderChildrenAbove, en.FIncludeFiltered);
        case vneVisibleChild: return t->GetFirstVisibleChild(en.FNode, en.FIncludeFiltered);
        case vneVisibleNoInitChild: return t->GetFirstVisibleChildNoInit(en.FNode, en.FIncludeFiltered);
        case vneVisibleNoInit:
            return t->GetFirstVisibleNoInit(en.FNode, en.FConsiderChildrenAbove, en.FIncludeFiltered);
        }
        return nullptr;
    };
    auto next = [&](PLazyNode n) -> PLazyNode {
        switch (en.FMode) {
        case vneAll: return t->GetNext(n, en.FConsiderChildrenAbove);
        case vneChecked: return t->GetNextChecked(n, en.FState, en.FConsiderChildrenAbove);
        case vneChild: return t->GetNextSibling(n);
        case vneCutCopy: return t->GetNextCutCopy(n, en.FConsiderChildrenAbove);
        case vneInitialized: return t->GetNextInitialized(n, en.FConsiderChildrenAbove);
        case vneLeaf: return t->GetNextLeaf(n);
        case vneLevel: return t->GetNextLevel(n, en.FNodeLevel);
        case vneNoInit: return t->GetNextNoInit(n, en.FConsiderChildrenAbove);
        case vneSelected: return t->GetNextSelected(n, en.FConsiderChildrenAbove);
        case vneVisible: return t->GetNextVisible(n, en.FConsiderChildrenAbove);
        case vneVisibleChild: return t->GetNextVisibleSibling(n, en.FIncludeFiltered);
        case vneVisibleNoInitChild: return t->GetNextVisibleSiblingNoInit(n, en.FIncludeFiltered);
        case vneVisibleNoInit: return t->GetNextVisibleNoInit(n, en.FConsiderChildrenAbove);
        }
        return nullptr;
    };
    FNode = FNode ? next(FNode) : first();
    if ((en.FMode == vneVisible || en.FMode == vneVisibleNoInit) && !en.FIncludeFiltered)
        while (FNode && t->GetEffectivelyFiltered(FNode)) FNode = next(FNode);
    FCanModeNext = FNode != nullptr;
    return FCanModeNext;
}

namespace {
TLTLazyNodeEnumeration MakeEnum(TBaseLazyTree* t, TVZLazyNodeEnumerationMode mode) {
    TLTLazyNodeEnumeration e;
    e.FMode = mode;
    e.FTree = t;
    return e;
}
}  // namespace

TLTLazyNodeEnumeration TBaseLazyTree::Nodes(bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneAll);
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::CheckedNodes(TCheckState State, bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneChecked);
    e.FState = State;
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::ChildNodes(PLazyNode Node) {
    auto e = MakeEnum(this, vneChild);
    e.FNode = Node;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::CutCopyNodes(bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneCutCopy);
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::InitializedNodes(bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneInitialized);
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::LeafNodes() { return MakeEnum(this, vneLeaf); }
TLTLazyNodeEnumeration TBaseLazyTree::LevelNodes(uint32_t NodeLevel) {
    auto e = MakeEnum(this, vneLevel);
    e.FNodeLevel = NodeLevel;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::NoInitNodes(bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneNoInit);
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::SelectedNodes(bool ConsiderChildrenAbove) {
    auto e = MakeEnum(this, vneSelected);
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleNodes(PLazyNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
    auto e = MakeEnum(this, vneVisible);
    e.FNode = Node;
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNodes(PLazyNode Node, bool IncludeFiltered) {
    auto e = MakeEnum(this, vneVisibleChild);
    e.FNode = Node;
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered) {
    auto e = MakeEnum(this, vneVisibleNoInitChild);
    e.FNode = Node;
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}
TLTLazyNodeEnumeration TBaseLazyTree::VisibleNoInitNodes(PLazyNode Node, bool ConsiderChildrenAbove,
                                                         bool IncludeFiltered) {
    auto e = MakeEnum(this, vneVisibleNoInit);
    e.FNode = Node;
    e.FConsiderChildrenAbove = ConsiderChildrenAbove;
    e.FIncludeFiltered = IncludeFiltered;
    return e;
}
