#pragma once
// errno values the core reports that not every C library defines. MinGW's
// has neither ESTALE nor EDQUOT; the values are Linux's, so that messages and
// tests tell them apart from the ones it does define.

#include <cerrno>

#ifndef ESTALE
#define ESTALE 116
#endif
#ifndef EDQUOT
#define EDQUOT 122
#endif
#ifndef ELOOP
#define ELOOP 114
#endif
