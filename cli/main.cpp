// quorvane-cli: the command-line companion of the Quorvane window program.
#include <cstdio>

#include "ciphers/cipher_paths.h"
#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/program_arguments.h"
#include "hash/engines/digest_paths.h"
#include "quorvane_version.h"

int main(int argc, char** argv) {
    ProgramArguments arguments(argc, argv);
    IgnoreFileSizeSignal();
    CLI::App app{
        "Quorvane command-line companion: encrypt, decrypt, hash and wipe files, "
        "generate passwords, convert Base64.",
        "quorvane-cli"};
    app.set_version_flag("--version", [] {
        return std::string("quorvane-cli ") + QUORVANE_VERSION + "\n" + CipherPathsText() + "\n" +
               DigestPathsText();
    });
    app.require_subcommand(1);
    // Options begin with "-" on every system: "/name" is a path.
    app.allow_windows_style_options(false);

    CliContext context;
    RegisterCryptCommands(app, context);
    RegisterHashCommands(app, context);
    RegisterToolCommands(app, context);

    try {
        app.parse(arguments.count(), arguments.values());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    return context.exit_status;
}
