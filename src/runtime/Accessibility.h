// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace Runtime {

// Keeps a control of a form, with everything in it, out of what a screen reader is told: for
// controls that lie where no one can see them.
void HideFromScreenReaders(QWidget *control);

// Whether control is kept out of what a screen reader is told.
bool IsHiddenFromScreenReaders(const QWidget *control);

} // namespace Runtime
