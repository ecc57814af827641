#pragma once
// Enumerations that the string grid's units and the drop-down edits both
// name, declared once so that one unit may include both families.

// Where an attached label stands. The flat combo box uses the first
// thirteen values.
enum TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft, lpLeftTopLeft, lpLeftCenterLeft,
    lpLeftBottomLeft, lpTopCenter, lpBottomCenter, lpRightTop, lpRightCenter, lpRighBottom, lpTopRight,
    lpBottomRight
};
// A push button or a latching (check) button.
enum TExGridButtonStyle { tasButton, tasCheck };
