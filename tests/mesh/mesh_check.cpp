// Checks a mesh file with CGAL, independently of the code that wrote it: whether its triangles
// form closed, manifold, outward shells without self-intersections, their volume, components
// and Euler characteristic. An STL is one soup; a 3MF is read with lib3mf, each object
// checked apart, with lib3mf's own manifold-and-oriented check beside CGAL's. Prints one JSON
// object per line: per object for a 3MF.
//
//   mesh_check FILE.stl|FILE.3mf
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/IO/polygon_soup_io.h>
#include <CGAL/Polygon_mesh_processing/connected_components.h>
#include <CGAL/Polygon_mesh_processing/measure.h>
#include <CGAL/Polygon_mesh_processing/orientation.h>
#include <CGAL/Polygon_mesh_processing/polygon_soup_to_polygon_mesh.h>
#include <CGAL/Polygon_mesh_processing/repair_polygon_soup.h>
#include <CGAL/Polygon_mesh_processing/self_intersections.h>
#include <CGAL/Surface_mesh.h>

#include <Model/COM/NMR_DLLInterfaces.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace PMP = CGAL::Polygon_mesh_processing;
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Mesh = CGAL::Surface_mesh<Kernel::Point_3>;

namespace {

void Report(const std::string& name, std::vector<Kernel::Point_3> points,
            std::vector<std::array<std::size_t, 3>> triangles, int lib3mfManifold) {
    const std::size_t read = triangles.size();
    // STL repeats each corner per triangle: the shells are whole once equal points are one.
    PMP::merge_duplicate_points_in_polygon_soup(points, triangles);
    const bool manifold = PMP::is_polygon_soup_a_polygon_mesh(triangles);
    Mesh mesh;
    bool closed = false;
    bool outward = false;
    bool selfIntersecting = false;
    double volume = 0.0;
    std::size_t components = 0;
    long euler = 0;
    if (manifold) {
        PMP::polygon_soup_to_polygon_mesh(points, triangles, mesh);
        closed = CGAL::is_closed(mesh);
        selfIntersecting = PMP::does_self_intersect(mesh);
        auto component = mesh.add_property_map<Mesh::Face_index, std::size_t>("f:c").first;
        components = PMP::connected_components(mesh, component);
        euler = static_cast<long>(mesh.number_of_vertices()) -
                static_cast<long>(mesh.number_of_edges()) +
                static_cast<long>(mesh.number_of_faces());
        if (closed) {
            outward = PMP::is_outward_oriented(mesh);
            volume = PMP::volume(mesh);
        }
    }
    std::printf(
        "{\"name\": \"%s\", \"triangles\": %zu, \"manifold\": %s, \"closed\": %s, "
        "\"outward\": %s, \"self_intersecting\": %s, \"components\": %zu, \"euler\": %ld, "
        "\"volume\": %.6f, \"lib3mf_manifold_oriented\": %s}\n",
        name.c_str(), read, manifold ? "true" : "false", closed ? "true" : "false",
        outward ? "true" : "false", selfIntersecting ? "true" : "false", components, euler, volume,
        lib3mfManifold < 0 ? "null" : (lib3mfManifold != 0 ? "true" : "false"));
}

// Every mesh object of a 3MF, read with lib3mf.
bool Check3mf(const char* path) {
    NMR::PLib3MFModel* model = nullptr;
    NMR::PLib3MFModelReader* reader = nullptr;
    NMR::PLib3MFModelResourceIterator* objects = nullptr;
    if (NMR::lib3mf_createmodel(&model) != 0 ||
        NMR::lib3mf_model_queryreader(model, "3mf", &reader) != 0 ||
        NMR::lib3mf_reader_readfromfileutf8(reader, path) != 0 ||
        NMR::lib3mf_model_getmeshobjects(model, &objects) != 0) {
        return false;
    }
    BOOL more = 0;
    while (NMR::lib3mf_resourceiterator_movenext(objects, &more) == 0 && more) {
        NMR::PLib3MFModelResource* object = nullptr;
        NMR::lib3mf_resourceiterator_getcurrent(objects, &object);
        char name[256] = "";
        ULONG needed = 0;
        NMR::lib3mf_object_getnameutf8(object, name, sizeof name, &needed);
        DWORD vertexCount = 0;
        DWORD triangleCount = 0;
        NMR::lib3mf_meshobject_getvertexcount(object, &vertexCount);
        NMR::lib3mf_meshobject_gettrianglecount(object, &triangleCount);
        std::vector<NMR::MODELMESHVERTEX> vertices(vertexCount);
        std::vector<NMR::MODELMESHTRIANGLE> indices(triangleCount);
        NMR::lib3mf_meshobject_getvertices(object, vertices.data(), vertexCount, nullptr);
        NMR::lib3mf_meshobject_gettriangleindices(object, indices.data(), triangleCount, nullptr);
        BOOL oriented = 0;
        NMR::lib3mf_meshobject_ismanifoldandoriented(object, &oriented);
        std::vector<Kernel::Point_3> points;
        for (const auto& v : vertices) {
            points.emplace_back(v.m_fPosition[0], v.m_fPosition[1], v.m_fPosition[2]);
        }
        std::vector<std::array<std::size_t, 3>> triangles;
        for (const auto& t : indices) {
            triangles.push_back({t.m_nIndices[0], t.m_nIndices[1], t.m_nIndices[2]});
        }
        Report(name, std::move(points), std::move(triangles), oriented ? 1 : 0);
        NMR::lib3mf_release(object);
    }
    NMR::lib3mf_release(objects);
    NMR::lib3mf_release(reader);
    NMR::lib3mf_release(model);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mesh_check FILE.stl|FILE.3mf\n");
        return 2;
    }
    const std::string path = argv[1];
    if (path.size() > 4 && path.substr(path.size() - 4) == ".3mf") {
        if (!Check3mf(argv[1])) {
            std::fprintf(stderr, "mesh_check: lib3mf cannot read %s\n", argv[1]);
            return 1;
        }
        return 0;
    }
    std::vector<Kernel::Point_3> points;
    std::vector<std::array<std::size_t, 3>> triangles;
    if (!CGAL::IO::read_polygon_soup(path, points, triangles)) {
        std::fprintf(stderr, "mesh_check: cannot read %s\n", argv[1]);
        return 1;
    }
    Report("", std::move(points), std::move(triangles), -1);
    return 0;
}
