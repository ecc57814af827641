#pragma once
#include "platform/controls/DragDrop.h"

#include <memory>

class QMimeData;

// What another program drags over a form's window reaches the registered
// target under the mouse as a data object of its own: the text (CF_UNICODETEXT
// and CF_TEXT) and, when exactly one local file is dragged, that file
// (CF_HDROP). Nothing else is taken, and nothing is dragged out of the
// program to others.
enum class TInboundDragStep { Enter, Move, Leave, Drop };
// The data object for the toolkit's drag data; nullptr when it carries
// neither text nor a single local file.
std::shared_ptr<TDataObject> InboundDataObject(const QMimeData* mime);
// One step of such a drag at a screen point; the effect the target under
// the point answered (DROPEFFECT_NONE without one). Enter and Move follow
// the mouse from target to target; Leave and Drop end the drag.
std::uint32_t DeliverInboundDrag(TInboundDragStep step, const QMimeData* mime, TPoint screen, std::uint32_t keyState);
