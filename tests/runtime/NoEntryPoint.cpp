// SPDX-License-Identifier: MIT
// A library that takes the skin engine's name but lacks its entry point, or, with
// DATA_ENTRY_POINT, exports the entry point's name as data, which a call would crash on.
#ifdef DATA_ENTRY_POINT
extern "C" __attribute__((visibility("default"))) const char SkinH_AttachEx[] = "not code";
#else
extern "C" int SkinH_Something()
{
    return 0;
}
#endif
