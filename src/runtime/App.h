// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Runtime::App {

// The folder that holds the program's executable, without a trailing separator except at a
// root.
QString Path();

} // namespace Runtime::App
