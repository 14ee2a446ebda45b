// SPDX-License-Identifier: MIT
#pragma once

#include "app/Form1.h"

#include <memory>

// Lets the event loop run for that long.
void Settle(int milliseconds);

// The program's window, loaded, shown and settled, asking the service on host; null when it
// didn't load.
std::unique_ptr<Form1> ShowWindow(const QString &host);
