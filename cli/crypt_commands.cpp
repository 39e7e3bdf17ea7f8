#include <cstdio>

#include "cli/commands.h"

// Placeholder sub-commands until their subsystem lands.
void RegisterCryptCommands(CLI::App& app, CliContext& context) {
    for (const char* name : {"encrypt","decrypt","wipe"}) {
        auto* sub = app.add_subcommand(name, "not available yet");
        sub->allow_extras();
        sub->callback([&context, name] {
            std::fprintf(stderr, "quorvane-cli: %s is not available yet\n", name);
            context.Fail(kExitFailure);
        });
    }
}
