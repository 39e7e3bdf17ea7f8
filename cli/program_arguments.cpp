#include "cli/program_arguments.h"

ProgramArguments::ProgramArguments(int argc, char** argv) : pointers_(argv, argv + argc) {
    pointers_.push_back(nullptr);
}
