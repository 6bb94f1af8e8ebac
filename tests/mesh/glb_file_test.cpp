// The glTF binary read back by tinygltf's parser and decoded by hand: every part's triangles,
// put through the nodes' transforms, lie where the millimetre mesh lies turned to +Y up and
// scaled to metres, its normals point out of it, and the materials carry the stones' extensions.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cmath>
#include <cstring>

#include "mesh/glb_file.h"

namespace orva {
namespace {

using Vec = std::array<double, 3>;

// A closed prism of `sides` about the z axis: a flat band's worth of metal or a stone's girdle.
CTriangleMesh Prism(int sides, float radius, float z0, float z1, CVector3 centre) {
    CTriangleMesh m;
    for (int i = 0; i < sides; ++i) {
        const float a = 6.2831853f * float(i) / float(sides);
        for (const float z : {z0, z1}) {
            m.points.push_back(centre + CVector3(radius * std::cos(a), radius * std::sin(a), z));
        }
    }
    const auto n = static_cast<uint32_t>(m.points.size());
    m.points.push_back(centre + CVector3(0, 0, z0));
    m.points.push_back(centre + CVector3(0, 0, z1));
    for (uint32_t i = 0; i < uint32_t(sides); ++i) {
        const uint32_t a0 = 2 * i, a1 = a0 + 1, b0 = (2 * i + 2) % n, b1 = b0 + 1;
        m.triangles.push_back({a0, b0, b1});
        m.triangles.push_back({a0, b1, a1});
        m.triangles.push_back({n, b0, a0});
        m.triangles.push_back({n + 1, a1, b1});
    }
    return m;
}

Vec Rotate(const std::vector<double>& q, const Vec& v) {
    if (q.size() != 4) {
        return v;
    }
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const Vec t = {2 * (y * v[2] - z * v[1]), 2 * (z * v[0] - x * v[2]), 2 * (x * v[1] - y * v[0])};
    return {v[0] + w * t[0] + (y * t[2] - z * t[1]), v[1] + w * t[1] + (z * t[0] - x * t[2]),
            v[2] + w * t[2] + (x * t[1] - y * t[0])};
}

Vec Apply(const tinygltf::Node& node, Vec v) {
    for (int a = 0; a < 3; ++a) {
        v[a] *= node.scale.empty() ? 1.0 : node.scale[a];
    }
    v = Rotate(node.rotation, v);
    for (int a = 0; a < 3; ++a) {
        v[a] += node.translation.empty() ? 0.0 : node.translation[a];
    }
    return v;
}

// The part's triangles in the scene's space (metres, +Y up), and the normal at each corner.
struct CDecoded {
    std::vector<Vec> corners;
    std::vector<Vec> normals;
    int indexType = 0;
};

const unsigned char* Data(const tinygltf::Model& model, int accessor) {
    const tinygltf::Accessor& a = model.accessors[accessor];
    const tinygltf::BufferView& v = model.bufferViews[a.bufferView];
    return model.buffers[v.buffer].data.data() + v.byteOffset + a.byteOffset;
}

CDecoded Decode(const tinygltf::Model& model, const tinygltf::Node& root,
                const tinygltf::Node& node) {
    const tinygltf::Primitive& p = model.meshes[node.mesh].primitives.at(0);
    const int pos = p.attributes.at("POSITION");
    const int nor = p.attributes.at("NORMAL");
    const size_t posStride = model.bufferViews[model.accessors[pos].bufferView].byteStride;
    const size_t norStride = model.bufferViews[model.accessors[nor].bufferView].byteStride;
    const tinygltf::Accessor& indices = model.accessors[p.indices];
    CDecoded d;
    d.indexType = indices.componentType;
    for (size_t i = 0; i < indices.count; ++i) {
        uint32_t k = 0;
        if (indices.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
            std::memcpy(&k, Data(model, p.indices) + 4 * i, 4);
        } else {
            uint16_t s = 0;
            std::memcpy(&s, Data(model, p.indices) + 2 * i, 2);
            k = s;
        }
        int16_t q[3];
        std::memcpy(q, Data(model, pos) + posStride * k, sizeof q);
        const auto* n = reinterpret_cast<const int8_t*>(Data(model, nor) + norStride * k);
        d.corners.push_back(Apply(root, Apply(node, {double(q[0]), double(q[1]), double(q[2])})));
        d.normals.push_back(Rotate(root.rotation, {n[0] / 127.0, n[1] / 127.0, n[2] / 127.0}));
    }
    return d;
}

Vec Minus(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Checks the decoded part against its mesh and returns the volume it encloses, in mm³.
double CheckPart(const CDecoded& d, const CMeshPart& part, double toleranceMm) {
    CVector3 lo, hi;
    EXPECT_TRUE(MeshBounds(part.mesh, lo, hi));
    // The model's (x, y, z) in mm is the file's (x, z, -y) in metres.
    const Vec wantLo = {lo.x / 1e3, lo.z / 1e3, -hi.y / 1e3};
    const Vec wantHi = {hi.x / 1e3, hi.z / 1e3, -lo.y / 1e3};
    Vec gotLo = d.corners.at(0), gotHi = d.corners.at(0);
    double volume = 0.0;
    int inward = 0;
    for (size_t i = 0; i < d.corners.size(); ++i) {
        for (int a = 0; a < 3; ++a) {
            gotLo[a] = std::min(gotLo[a], d.corners[i][a]);
            gotHi[a] = std::max(gotHi[a], d.corners[i][a]);
        }
        if (i % 3 == 2) {
            const Vec& a = d.corners[i - 2];
            const Vec face = Cross(Minus(d.corners[i - 1], a), Minus(d.corners[i], a));
            volume += Dot(a, face) / 6.0 * 1e9;
            for (size_t c = i - 2; c <= i; ++c) {
                inward += Dot(face, d.normals[c]) <= 0.0 ? 1 : 0;
                EXPECT_NEAR(std::sqrt(Dot(d.normals[c], d.normals[c])), 1.0, 0.005);
            }
        }
    }
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(gotLo[a], wantLo[a], toleranceMm / 1e3) << part.name << " axis " << a;
        EXPECT_NEAR(gotHi[a], wantHi[a], toleranceMm / 1e3) << part.name << " axis " << a;
    }
    EXPECT_EQ(inward, 0) << part.name << ": corners whose normal points into the part";
    return volume;
}

TEST(GlbFileTest, PartsComeBackInMetresWithYUpAndTheirLooks) {
    std::vector<CMeshPart> parts(3);
    parts[0] = {CMeshPart::kMetal, "Gold18KYellow", "Gold18KYellow", 0, Prism(96, 9, -1, 1, {})};
    parts[1] = {CMeshPart::kGem, "round brilliant Diamond", "Diamond", 0,
                Prism(16, 2.5f, 0, 3, {0, -4, 9})};
    // 24 000 flat triangles: more corners than 16-bit indices reach.
    parts[2] = {CMeshPart::kGem, "oval Ruby", "Ruby", 0, Prism(6000, 1, 0, 1, {3, 1, -2})};
    const CGlbFile glb = MakeGlb("piece.orv", parts);
    ASSERT_EQ(glb.triangles.size(), 3u);
    EXPECT_EQ(glb.triangles[1], 64u);
    EXPECT_EQ(glb.triangles[2], 24000u);
    EXPECT_LT(glb.triangles[0], 96u * 4) << "the metal's flat faces are simplified";

    tinygltf::Model model;
    std::string error, warning;
    tinygltf::TinyGLTF reader;
    ASSERT_TRUE(reader.LoadBinaryFromMemory(
        &model, &error, &warning, reinterpret_cast<const unsigned char*>(glb.bytes.data()),
        static_cast<unsigned>(glb.bytes.size())))
        << error;
    ASSERT_EQ(model.scenes.at(0).nodes.size(), 1u);
    const tinygltf::Node& root = model.nodes[model.scenes[0].nodes[0]];
    EXPECT_EQ(root.name, "piece.orv");
    ASSERT_EQ(root.children.size(), 3u);
    const double volumes[] = {
        CheckPart(Decode(model, root, model.nodes[root.children[0]]), parts[0], 0.011),
        CheckPart(Decode(model, root, model.nodes[root.children[1]]), parts[1], 0.001),
        CheckPart(Decode(model, root, model.nodes[root.children[2]]), parts[2], 0.001)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(volumes[i], EnclosedVolume(parts[i].mesh), 0.01 * EnclosedVolume(parts[i].mesh))
            << parts[i].name;
        EXPECT_EQ(model.nodes[root.children[i]].name, parts[i].name);
    }
    EXPECT_EQ(Decode(model, root, model.nodes[root.children[2]]).indexType,
              TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
    EXPECT_EQ(Decode(model, root, model.nodes[root.children[1]]).indexType,
              TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT);

    const auto& metal = model.materials[model.meshes[0].primitives[0].material];
    EXPECT_EQ(metal.pbrMetallicRoughness.metallicFactor, 1.0);
    const auto& diamond = model.materials[model.meshes[1].primitives[0].material];
    EXPECT_EQ(diamond.name, "Diamond");
    EXPECT_TRUE(diamond.extensions.count("KHR_materials_transmission"));
    EXPECT_TRUE(diamond.extensions.count("KHR_materials_dispersion"));
    EXPECT_NEAR(diamond.extensions.at("KHR_materials_ior").Get("ior").GetNumberAsDouble(), 2.417,
                1e-6);
    EXPECT_EQ(model.extensionsRequired, std::vector<std::string>{"KHR_mesh_quantization"});
}

}  // namespace
}  // namespace orva
