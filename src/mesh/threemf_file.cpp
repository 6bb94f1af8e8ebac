#include <zip.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "mesh/mesh_files.h"
#include "platform/markup_text.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

constexpr const char* kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" "
    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"model\" "
    "ContentType=\"application/vnd.ms-package.3dmanufacturing-3dmodel+xml\"/>"
    "</Types>\n";

constexpr const char* kRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Target=\"/3D/3dmodel.model\" Id=\"rel0\" "
    "Type=\"http://schemas.microsoft.com/3dmanufacturing/2013/01/3dmodel\"/>"
    "</Relationships>\n";

void AppendNumber(std::string& out, float value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void AppendMesh(std::string& out, const CTriangleMesh& mesh) {
    out += "<mesh><vertices>";
    for (const CVector3& p : mesh.points) {
        out += "<vertex x=\"";
        AppendNumber(out, p.x);
        out += "\" y=\"";
        AppendNumber(out, p.y);
        out += "\" z=\"";
        AppendNumber(out, p.z);
        out += "\"/>";
    }
    out += "</vertices><triangles>";
    for (const auto& t : mesh.triangles) {
        out += "<triangle v1=\"" + std::to_string(t[0]) + "\" v2=\"" + std::to_string(t[1]) +
               "\" v3=\"" + std::to_string(t[2]) + "\"/>";
    }
    out += "</triangles></mesh>";
}

std::string ModelXml(const std::string& sceneName, const std::vector<CMeshPart>& parts) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<model unit=\"millimeter\" xml:lang=\"en-US\" "
        "xmlns=\"http://schemas.microsoft.com/3dmanufacturing/core/2015/02\">\n"
        "<metadata name=\"Title\">" +
        MarkupText(sceneName) + "</metadata>\n<resources>\n<basematerials id=\"1\">";
    for (const CMeshPart& p : parts) {
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%06X", p.colour & 0xFFFFFFu);
        out += "<base name=\"" + MarkupText(p.material.empty() ? p.name : p.material) +
               "\" displaycolor=\"" + colour + "\"/>";
    }
    out += "</basematerials>\n";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += "<object id=\"" + std::to_string(i + 2) + "\" type=\"model\" name=\"" +
               MarkupText(parts[i].name) + "\" pid=\"1\" pindex=\"" + std::to_string(i) + "\">";
        AppendMesh(out, parts[i].mesh);
        out += "</object>\n";
    }
    out += "</resources>\n<build>";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out += "<item objectid=\"" + std::to_string(i + 2) + "\"/>";
    }
    out += "</build>\n</model>\n";
    return out;
}

bool AddEntry(zip_t* zip, const char* name, const std::string& content, std::string& error) {
    zip_source_t* source = zip_source_buffer(zip, content.data(), content.size(), 0);
    const zip_int64_t index =
        source != nullptr ? zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip_source_free(source);
        error = zip_strerror(zip);
        return false;
    }
    zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), std::time(nullptr), 0);
    return true;
}

}  // namespace

bool Write3mf(const std::string& path, const std::string& sceneName,
              const std::vector<CMeshPart>& parts, std::string& error) {
    CReplacingFile file;
    if (!file.Reserve(path)) {
        error = std::strerror(errno);
        return false;
    }
    int code = 0;
    zip_t* zip = zip_open(file.Path().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (zip == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = zip_error_strerror(&e);
        zip_error_fini(&e);
        return false;
    }
    // The buffers must outlive zip_close, which compresses them.
    const std::string model = ModelXml(sceneName, parts);
    const std::string types = kContentTypes;
    const std::string rels = kRelationships;
    if (!AddEntry(zip, "[Content_Types].xml", types, error) ||
        !AddEntry(zip, "_rels/.rels", rels, error) ||
        !AddEntry(zip, "3D/3dmodel.model", model, error)) {
        zip_discard(zip);
        return false;
    }
    if (zip_close(zip) != 0) {
        error = zip_strerror(zip);
        zip_discard(zip);
        return false;
    }
    if (!file.Commit()) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace orva
