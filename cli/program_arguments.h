#pragma once
// The program's arguments as UTF-8 text, and standard streams that carry
// bytes as they are. On POSIX both are so already; on Windows the arguments
// come from the UTF-16 command line (the narrow ones of main lose every
// character outside the ANSI code page), standard input and output are
// switched to binary (no CR LF in a digest list or decoded bytes), and the
// console shows UTF-8 text.

#include <string>
#include <vector>

class ProgramArguments {
  public:
    ProgramArguments(int argc, char** argv);
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    int count() const { return static_cast<int>(pointers_.size()) - 1; }
    /// argv-style, ending with a null pointer.
    char** values() { return pointers_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};
