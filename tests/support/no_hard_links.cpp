// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into the program to make its folder behave as a FAT or exFAT
// stick does: no hard links, and no renameat2 flags.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

extern "C" {

int linkat(int, const char*, int, const char*, int) {
    errno = EPERM;
    return -1;
}

int link(const char*, const char*) {
    errno = EPERM;
    return -1;
}

int renameat2(int, const char*, int, const char*, unsigned int) {
    errno = EINVAL;
    return -1;
}
}
