// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace Runtime {

// Has screen readers see forms and labels through the runtime's own interfaces: a form as a
// window of the controls it announces, a label given an accessible name as that name and its
// value. Call it once the application object exists and before any control does, so that no
// control is ever described without them.
void installAccessibility();

// Keeps a control of a form, with everything in it, out of what a screen reader is told: for
// controls that lie where no one can see them.
void hideFromScreenReaders(QWidget *control);

// Whether control is kept out of what a screen reader is told.
bool isHiddenFromScreenReaders(const QWidget *control);

} // namespace Runtime
