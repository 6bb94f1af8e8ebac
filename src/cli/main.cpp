// orva: the command-line side of the viewer. Reads scenes and reports on them without a display.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/export_command.h"
#include "cli/info_command.h"
#include "cli/measure_command.h"
#include "cli/option_checks.h"
#include "cli/render_command.h"
#include "cli/thumbnails_command.h"
#include "cli/turntable_command.h"
#include "measure/jewel_materials.h"

namespace {

// NaN and infinity read as numbers, and a range check lets NaN through: every numeric option
// refuses them by name.
void RefuseNonFiniteNumbers(CLI::App& app) {
    const CLI::Validator finite(
        [](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(text.c_str(), &end);
            if (end != text.c_str() && !std::isfinite(value)) {
                return "must be a finite number (got " + text + ")";
            }
            return {};
        },
        "");  // no word in the help: the option's type already says "number"
    for (CLI::App* command : app.get_subcommands({})) {
        for (CLI::Option* option : command->get_options()) {
            // The type name, with what its checks append after a colon.
            const std::string type = option->get_type_name();
            const std::string base = type.substr(0, type.find(':'));
            if (base == "FLOAT" || base == "INT" || base == "UINT" || base == "NUMBER") {
                option->check(finite);
            }
        }
    }
}

const char* const kScenes =
    "Scene files (.orv), done one after another; a file that fails is named and the next goes on";

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Orvatrix Viewer on the command line", "orva"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "orva " ORVA_VERSION);

    orva::CInfoOptions info;
    CLI::App* infoCommand =
        app.add_subcommand("info", "Lists the objects of a scene file and its bounds");
    infoCommand->add_flag("--json", info.json,
                          "Print one JSON document (of several scenes, one a line)");
    infoCommand->add_option("--gemlib", info.gemLibraryPath,
                            "Gem library to use instead of the one beside orva");
    infoCommand->add_option("scene", info.scenePaths, kScenes)->required();

    orva::CExportOptions exportOptions;
    CLI::App* exportCommand = app.add_subcommand(
        "export",
        "Writes the resolved piece as closed meshes for casting and printing, or for the web");
    exportCommand->add_option("scene", exportOptions.scenePath, "Scene file (.orv)")->required();
    exportCommand
        ->add_option("-o,--output", exportOptions.outputPath,
                     "Output file: .stl, .3mf, .glb or .html (a web page)")
        ->required();
    exportCommand
        ->add_option("--resolution", exportOptions.resolution,
                     "Spacing of the metal's sampling in mm, 0.005..1")
        ->check(orva::Within(0.005, 1.0))
        ->capture_default_str();
    exportCommand->add_option("--parts", exportOptions.parts, "Which parts: all, metal or gems")
        ->check(orva::OneOf({"all", "metal", "gems"}))
        ->capture_default_str();
    exportCommand->add_option("--gemlib", exportOptions.gemLibraryPath,
                              "Gem library to use instead of the one beside orva");
    exportCommand->add_option("--materials", exportOptions.materialDirectory,
                              "Material folder to use instead of the one beside orva");
    exportCommand
        ->add_option("--threads", exportOptions.threads, "Threads of work (default: one per core)")
        ->check(orva::Within(1, 64));
    exportCommand->add_flag("--json", exportOptions.json,
                            "Print one JSON document: the parts written and the file");

    orva::CMeasureOptions measure;
    CLI::App* measureCommand =
        app.add_subcommand("measure", "Metal volume and weight, stones and carats, in millimetres");
    measureCommand->add_option("scene", measure.scenePaths, kScenes)->required();
    measureCommand->add_flag("--json", measure.json,
                             "Print one JSON document (of several scenes, one a line)");
    measureCommand->add_option("--pdf", measure.pdfPath,
                               "Also write the report as a one-page PDF, with pictures; {name} "
                               "is the scene's name, needed with several scenes");
    measureCommand->add_option("--gemlib", measure.gemLibraryPath,
                               "Gem library to use instead of the one beside orva");
    measureCommand->add_option("--materials", measure.materialDirectory,
                               "Material folder to use instead of the one beside orva");
    measureCommand->add_option("--alloy", measure.alloy,
                               "Weigh all metal as one alloy: " + orva::AlloyKeys());
    measureCommand
        ->add_option("--accuracy", measure.accuracyPercent,
                     "Relative accuracy of the metal volume in per cent, 0.01..50")
        ->check(orva::Within(0.01, 50.0))
        ->capture_default_str();
    measureCommand
        ->add_option("--threads", measure.threads, "Threads of work (default: one per core)")
        ->check(orva::Within(1, 64));

    orva::CRenderOptions render;
    CLI::App* renderCommand = app.add_subcommand(
        "render", "Renders a scene as the viewer shows it and writes the picture");
    renderCommand->add_option("scene", render.scenePaths, kScenes)->required();
    renderCommand
        ->add_option("-o,--output", render.outputPath,
                     "Picture to write (.png, .jpg, .jpeg or .bmp); {name} is the scene's name, "
                     "needed with several scenes: -o 'pictures/{name}.png'")
        ->required();
    renderCommand->add_option("--quality", render.quality, "JPEG quality 1..100")
        ->check(orva::Within(1, 100))
        ->capture_default_str();
    renderCommand->add_option("--size", render.size, "Picture size WIDTHxHEIGHT")
        ->capture_default_str();
    renderCommand
        ->add_option("--mode", render.mode,
                     "Display mode: 400 shaded per pixel, 300 per vertex; with OpenGL 100 "
                     "shaded, 10 fast wireframe, 0 wireframe")
        ->check(orva::OneOf({"400", "300", "100", "10", "0"}))
        ->capture_default_str();
    renderCommand->add_option("--view", render.view, "Standard view 1..6")
        ->check(orva::Within(1, 6))
        ->capture_default_str();
    renderCommand->add_flag("--zoom-all", render.zoomAll, "Fit the scene into the picture first");
    renderCommand
        ->add_option("--aa", render.antialias,
                     "Anti-aliasing: N x N samples per pixel, 1 (none) to 4; modes 400 and 300")
        ->check(orva::Within(1, 4))
        ->capture_default_str();
    renderCommand->add_option("--turn", render.turn,
                              "AZ[,EL]: degrees turned about the view's vertical axis, then "
                              "tilted about its horizontal axis, after --view");
    renderCommand->add_option("--zoom", render.zoom, "Magnification, applied last")
        ->check(orva::Within(0.001, 1000.0))
        ->capture_default_str();
    renderCommand
        ->add_option("--margin", render.margin,
                     "Percent of the picture left free on each side by --zoom-all, 0..45")
        ->check(orva::Within(0.0, 45.0))
        ->capture_default_str();
    renderCommand->add_option(
        "--background", render.background,
        "RRGGBB, or \"transparent\" for a PNG whose alpha is the coverage; modes 400 and 300");
    renderCommand->add_option("--gemlib", render.gemLibraryPath,
                              "Gem library to use instead of the one beside orva");
    renderCommand->add_option("--materials", render.materialDirectory,
                              "Material folder to use instead of the one beside orva");
    renderCommand
        ->add_option("--threads", render.threads, "Threads of work (default: one per core)")
        ->check(orva::Within(1, 64));
    renderCommand->add_flag("--stats", render.stats, "Print timings and counts as JSON on stderr");

    orva::CThumbnailOptions thumbnails;
    CLI::App* thumbnailsCommand = app.add_subcommand(
        "thumbnails", "Writes TITLE.bmp beside every TITLE.orv of a folder that has none");
    thumbnailsCommand->add_option("folder", thumbnails.folder, "Folder of scene files");
    thumbnailsCommand->add_flag("--force", thumbnails.force, "Write every thumbnail again");
    thumbnailsCommand->add_option("--size", thumbnails.size, "Width and height in pixels")
        ->check(orva::Within(1, 4096))
        ->capture_default_str();
    thumbnailsCommand
        ->add_option("--one", thumbnails.one,
                     "IN OUT SIZE: one picture of SIZE x SIZE for the desktop's thumbnailer, "
                     "in the format OUT's name asks for (PNG, JPEG, BMP; else PNG)")
        ->expected(3);
    thumbnailsCommand->add_option("--gemlib", thumbnails.gemLibraryPath,
                                  "Gem library to use instead of the one beside orva");
    thumbnailsCommand->add_option("--materials", thumbnails.materialDirectory,
                                  "Material folder to use instead of the one beside orva");

    orva::CTurntableOptions turntable;
    CLI::App* turntableCommand = app.add_subcommand(
        "turntable",
        "Renders frames turning once around the view's vertical axis: OUT.webp (animated, "
        "loops), OUT.mp4 (H.264), OUT.gif (animated, loops) or a folder (a name without an "
        "extension or ending in /) of frame_000.png, frame_001.png, ...; Ctrl+C leaves no "
        "animation file, and a folder keeps the frames finished before");
    turntableCommand->add_option("scene", turntable.scenePath, "Scene file (.orv)")->required();
    turntableCommand
        ->add_option("-o,--output", turntable.outputPath,
                     "OUT.webp, OUT.mp4, OUT.gif, or a folder for PNG frames")
        ->required();
    turntableCommand->add_option("--frames", turntable.frames, "Frames in one turn, 1..3600")
        ->check(orva::Within(1, 3600))
        ->capture_default_str();
    turntableCommand->add_option("--size", turntable.size, "Frame size WIDTHxHEIGHT")
        ->capture_default_str();
    turntableCommand->add_option("--aa", turntable.antialias, "N x N samples per pixel, 1..4")
        ->check(orva::Within(1, 4))
        ->capture_default_str();
    turntableCommand
        ->add_option("--turn", turntable.turn,
                     "AZ,EL: the first frame's turn and the tilt of every frame, in degrees")
        ->capture_default_str();
    turntableCommand->add_option("--background", turntable.background,
                                 "RRGGBB, or transparent (WebP and PNG frames only); default "
                                 "the viewer's grey");
    turntableCommand->add_option("--view", turntable.view, "Standard view 1..6 turned about")
        ->check(orva::Within(1, 6))
        ->capture_default_str();
    turntableCommand
        ->add_option("--margin", turntable.margin,
                     "Percent of the frame left free on each side, 0..45")
        ->check(orva::Within(0.0, 45.0))
        ->capture_default_str();
    turntableCommand->add_option("--fps", turntable.fps, "Frames per second, 1..120")
        ->check(orva::Within(1, 120))
        ->capture_default_str();
    turntableCommand->add_option("--gemlib", turntable.gemLibraryPath,
                                 "Gem library to use instead of the one beside orva");
    turntableCommand->add_option("--materials", turntable.materialDirectory,
                                 "Material folder to use instead of the one beside orva");
    turntableCommand
        ->add_option("--threads", turntable.threads,
                     "Threads of work, frames rendered side by side (default: one per core)")
        ->check(orva::Within(1, 64));

    RefuseNonFiniteNumbers(app);
    std::vector<std::string> commands;
    for (const CLI::App* command : app.get_subcommands({})) {
        commands.push_back(command->get_name());
    }
    // The command the words are for: the first that names one.
    std::string command;
    for (int i = 1; i < argc && command.empty(); ++i) {
        if (std::find(commands.begin(), commands.end(), argv[i]) != commands.end()) {
            command = argv[i];
        }
    }
    if (command.empty() && argc > 1 && argv[1][0] != '-') {
        std::fprintf(stderr, "orva: %s\n", orva::UnknownCommand(argv[1], commands).c_str());
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::RequiredError& error) {
        if (command.empty()) {
            std::fprintf(stderr, "orva: a command is required (orva --help lists them)\n");
        } else {
            std::fprintf(stderr, "%s\n", orva::OneLineError(error, command).c_str());
        }
        return 2;
    } catch (const CLI::ParseError& error) {
        std::fprintf(stderr, "%s\n", orva::OneLineError(error, command).c_str());
        return 2;
    }
    if (infoCommand->parsed()) {
        return orva::RunInfoCommand(info);
    }
    if (measureCommand->parsed()) {
        return orva::RunMeasureCommand(measure);
    }
    if (exportCommand->parsed()) {
        return orva::RunExportCommand(exportOptions);
    }
    if (renderCommand->parsed()) {
        return orva::RunRenderCommand(render);
    }
    if (turntableCommand->parsed()) {
        return orva::RunTurntableCommand(turntable);
    }
    if (thumbnailsCommand->parsed()) {
        return orva::RunThumbnailsCommand(thumbnails);
    }
    return 2;
}
