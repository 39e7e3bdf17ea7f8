#pragma once
// The interface's translations as tables compiled into the program, for the
// Windows build, which has no Qt translation system. The build generates each
// table from translations/quorvane_<lang>.ts.

#include <span>

/// One translated text: UTF-8, as in the translation file.
struct TextTableEntry {
    const char* context;
    const char* source;       ///< the Chinese text
    const char* translation;  ///< the text in the table's language
};

/// The English texts (from translations/quorvane_en.ts).
std::span<const TextTableEntry> EnglishTextTable();
