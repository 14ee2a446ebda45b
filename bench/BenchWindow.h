// SPDX-License-Identifier: MIT
#pragma once

#include "app/Form1.h"

#include <memory>

// The program's window, loaded, shown and settled, asking the service on host; null when it
// didn't load.
std::unique_ptr<Form1> showWindow(const QString &host);
