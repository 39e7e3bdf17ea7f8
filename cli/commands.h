#pragma once
// Sub-command groups of quorvane-cli. Each group registers its sub-commands on
// the application; a command's callback records its outcome in the context.

#include <CLI/CLI.hpp>

/// Exit statuses: 0 everything succeeded, 1 some file failed, 2 bad usage.
enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct CliContext {
    int exit_status = kExitOk;
    /// Raises the exit status (never lowers it: a usage error stays 2).
    void Fail(int status) {
        if (status > exit_status) exit_status = status;
    }
};

/// encrypt, decrypt, wipe
void RegisterCryptCommands(CLI::App& app, CliContext& context);
/// hash
void RegisterHashCommands(CLI::App& app, CliContext& context);
/// password, base64
void RegisterToolCommands(CLI::App& app, CliContext& context);
