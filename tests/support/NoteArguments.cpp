// SPDX-License-Identifier: MIT
// A stand-in for the programs that the window starts: it appends each argument after the first
// to the file that the first names, a line each, and ends. Given "-" for the file, it notes
// nothing. Plain C++, so that it starts in a moment on every system.
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "-") == 0)
        return 0;
    // Binary, so that a line ends in "\n" on every system.
    std::FILE *notes = std::fopen(argv[1], "ab");
    if (!notes)
        return 1;
    for (int i = 2; i < argc; ++i)
        std::fprintf(notes, "%s\n", argv[i]);
    return std::fclose(notes) == 0 ? 0 : 1;
}
