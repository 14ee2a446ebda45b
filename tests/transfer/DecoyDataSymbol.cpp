// SPDX-License-Identifier: MIT
// A library in the transfer plugin's place that exports the name of the old entry point,
// Inet_OpenURL, as data: a program that called it would crash. It must never even be loaded,
// so loading it ends the process.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) const char Inet_OpenURL[] = "not code";

namespace {

struct EndsTheProcessWhenLoaded
{
    EndsTheProcessWhenLoaded() { std::abort(); }
} const Trap;

} // namespace
