#pragma once
// Reading a password: from the terminal without echo, or from the first line
// of a file or of standard input. The text is returned as typed (UTF-8), in
// a string that wipes its memory when released.

#include <string>

#include "platform/system/secret_buffer.h"

/// True when standard input is a terminal that can be asked.
bool StdinIsTerminal();

/// Shows `prompt` on standard error and reads one line from the terminal on
/// standard input with echo switched off. The terminal's settings come back
/// on every path, also when the program is interrupted at the prompt.
/// Returns false when the terminal cannot be read.
bool AskPasswordOnTerminal(const char* prompt, SecretString::String& password);

/// Reads the first line of `path` ("-" for standard input) without its line
/// end ("\n" or "\r\n"). Returns false when the file cannot be read. Lines
/// are cut at 4096 bytes, far beyond any password a key can hold.
bool ReadPasswordFile(const std::string& path, SecretString::String& password);

/// Reads one line from standard input without its line end (for yes/no
/// answers). Returns false when standard input cannot be read.
bool ReadStdinLine(std::string& line);
