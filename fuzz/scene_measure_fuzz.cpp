// Reads arbitrary bytes as a scene and makes the jeweller's report of it, with a gem library
// of a closed cube and a group of one, so that stones are measured too: whatever a file holds,
// measuring must neither crash nor read out of bounds nor hang.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "cli/measure_command.h"
#include "measure/jewel_report.h"
#include "mesh_shapes.h"
#include "sampling_cap.h"
#include "scene/byte_reader.h"
#include "scene/gem_library.h"
#include "scene/group.h"
#include "scene/object_list.h"
#include "scene/scene_file.h"
#include "scene_writer.h"

namespace {

// Written once per process into the temporary folder.
void UseSmallGemLibrary() {
    static const bool ready = [] {
        orva::CObjectList shapes;
        orva::CListBuilder list(shapes.first);
        list.Append(orva::MakeBoxMesh({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}).release());
        auto group = std::make_unique<orva::CGroup>();
        orva::CListBuilder children(group->children.first);
        children.Append(orva::MakeBoxMesh({0, 0, 0}, {1, 2, 3}).release());
        list.Append(group.release());
        const std::string path =
            (std::filesystem::temp_directory_path() / "orva_measure_fuzz.gemlib").string();
        orva::WriteFileBytes(path, orva::WriteGemLibraryBytes(shapes.first));
        orva::GemLibrary().SetPath(path);
        return true;
    }();
    (void)ready;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UseSmallGemLibrary();
    // Scene files begin with the signature; the fuzzer's own inputs may not.
    for (bool withSignature : {true, false}) {
        orva::CByteReader in({data, size});
        orva::CSceneObject* first = nullptr;
        if (orva::ReadObjectList(in, first, withSignature) < 0) {
            continue;
        }
        orva::CObjectList list;
        list.Adopt(first);
        orva::fuzz::CapSamplingSteps(list.first, 16);
        orva::CJewelOptions options;
        options.accuracyPercent = 5.0;  // a coarse grid keeps each input quick
        options.threads = 2;
        const orva::CJewelReport report = orva::MeasureJewel(list.first, nullptr, options);
        const nlohmann::ordered_json d = orva::DescribeJewel(report);
        const std::string text = orva::FormatJewelTable(report) +
                                 d.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
        if (text.empty()) {
            __builtin_trap();  // a report always says its status
        }
        return 0;
    }
    return 0;
}
