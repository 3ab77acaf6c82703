#pragma once

class QAbstractItemView;

// Shows a view's selection only while the view has the keyboard focus, as
// the source list always has: a highlighted row elsewhere would suggest that
// the keyboard acts on it.
void InstallFocusOnlySelection(QAbstractItemView *view);
