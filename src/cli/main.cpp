// orva: the command-line side of the viewer. Reads scenes and reports on them without a display.
#include <CLI/CLI.hpp>

#include "cli/info_command.h"

int main(int argc, char** argv) {
    CLI::App app{"Orvatrix Viewer on the command line", "orva"};
    app.require_subcommand(1);

    orva::CInfoOptions info;
    CLI::App* infoCommand =
        app.add_subcommand("info", "Lists the objects of a scene file and its bounds");
    infoCommand->add_flag("--json", info.json, "Print one JSON document");
    infoCommand->add_option("--gemlib", info.gemLibraryPath,
                            "Gem library to use instead of the one beside orva");
    infoCommand->add_option("scene", info.scenePath, "Scene file (.orv)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }
    if (infoCommand->parsed()) {
        return orva::RunInfoCommand(info);
    }
    return 2;
}
