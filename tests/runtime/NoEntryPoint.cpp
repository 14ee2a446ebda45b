// SPDX-License-Identifier: MIT
// A library that takes the skin engine's name but lacks its entry point.
extern "C" int SkinH_Something()
{
    return 0;
}
