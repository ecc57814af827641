#pragma once
#include "platform/controls/DragDrop.h"

#include <memory>

class QMimeData;

// What another program drags over a form's window reaches the registered
// target under the mouse as a data object of its own: when exactly one
// local file is dragged, that file (CF_HDROP); otherwise the text
// (CF_UNICODETEXT and CF_TEXT), rich text, CSV and the program's own
// formats a second copy of the program drags (see FormatsOfDragMimeData).
// Such data is only ever copied. A drag of this program that left its
// windows and comes back is its own again: the targets get its data object
// and may answer any effect it allows.
enum class TInboundDragStep { Enter, Move, Leave, Drop };
// The data object for the toolkit's drag data; nullptr when it carries
// none of those formats.
std::shared_ptr<TDataObject> InboundDataObject(const QMimeData* mime);
// One step of such a drag at a screen point; the effect the target under
// the point answered (DROPEFFECT_NONE without one). Enter and Move follow
// the mouse from target to target; Leave and Drop end the drag.
std::uint32_t DeliverInboundDrag(TInboundDragStep step, const QMimeData* mime, TPoint screen, std::uint32_t keyState);
