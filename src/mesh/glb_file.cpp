#include "mesh/glb_file.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "mesh/pbr_material.h"
#include "mesh/shaded_mesh.h"

namespace orva {

namespace {

using tinygltf::Value;

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// Positions are stored as integers of 16 bits over the part's box: one step of it is the
// box's largest side / 65534, 0.0004 mm on a 25 mm piece. The part's node turns them back
// into millimetres with a translation and one scale for all three axes, so normals keep
// their directions.
struct CQuantisedFrame {
    CVector3 centre;
    float step = 1.0f;
};

CQuantisedFrame FrameOf(const std::vector<CVector3>& points) {
    CVector3 lo = points.front();
    CVector3 hi = points.front();
    for (const CVector3& p : points) {
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], p[a]);
            hi[a] = std::max(hi[a], p[a]);
        }
    }
    CQuantisedFrame f;
    f.centre = (lo + hi) * 0.5f;
    const float side = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    f.step = side > 0.0f ? side / 65534.0f : 1.0f;
    return f;
}

// The byte normal closest to unit length among the roundings of each component up or down:
// a plain rounding may be off by more than viewers and validators accept.
std::array<int8_t, 3> QuantisedNormal(const CVector3& n) {
    std::array<int8_t, 3> best{0, 0, 127};
    float bestError = 2.0f;
    for (int pick = 0; pick < 8; ++pick) {
        std::array<int8_t, 3> q{};
        float lengthSquared = 0.0f;
        for (int a = 0; a < 3; ++a) {
            const float scaled = std::clamp(n[a], -1.0f, 1.0f) * 127.0f;
            const float r = (pick >> a & 1) != 0 ? std::ceil(scaled) : std::floor(scaled);
            q[a] = static_cast<int8_t>(r);
            lengthSquared += (r / 127.0f) * (r / 127.0f);
        }
        const float error = std::fabs(std::sqrt(lengthSquared) - 1.0f);
        if (error < bestError) {
            bestError = error;
            best = q;
        }
    }
    return best;
}

class CGlbBuilder {
public:
    explicit CGlbBuilder(const std::string& sceneName) {
        m_model.asset.version = "2.0";
        m_model.asset.generator = "Orvatrix Viewer";
        m_model.buffers.emplace_back();
        tinygltf::Node root;
        root.name = sceneName;
        root.scale = {0.001, 0.001, 0.001};  // millimetres to metres
        // The model's +Z up becomes +Y, and its front (-Y) faces +Z, where viewers look from.
        root.rotation = {-std::sqrt(0.5), 0.0, 0.0, std::sqrt(0.5)};
        m_model.nodes.push_back(root);
        tinygltf::Scene scene;
        scene.name = sceneName;
        scene.nodes = {0};
        m_model.scenes.push_back(scene);
        m_model.defaultScene = 0;
        Use("KHR_mesh_quantization", true);
    }

    void AddPart(const std::string& name, const CShadedMesh& mesh, const CPbrMaterial& look) {
        const CQuantisedFrame frame = FrameOf(mesh.points);
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.attributes["POSITION"] = AddPositions(mesh.points, frame);
        primitive.attributes["NORMAL"] = AddNormals(mesh.normals);
        primitive.indices = AddIndices(mesh.indices, mesh.points.size());
        primitive.material = MaterialIndex(look);
        tinygltf::Mesh gltfMesh;
        gltfMesh.name = name;
        gltfMesh.primitives.push_back(primitive);
        m_model.meshes.push_back(gltfMesh);
        tinygltf::Node node;
        node.name = name;
        node.mesh = static_cast<int>(m_model.meshes.size() - 1);
        node.translation = {frame.centre.x, frame.centre.y, frame.centre.z};
        node.scale = {frame.step, frame.step, frame.step};
        m_model.nodes.push_back(node);
        m_model.nodes[0].children.push_back(static_cast<int>(m_model.nodes.size() - 1));
    }

    std::string Bytes() {
        std::ostringstream out;
        tinygltf::TinyGLTF writer;
        writer.WriteGltfSceneToStream(&m_model, out, false, true);
        return out.str();
    }

private:
    void Use(const std::string& extension, bool required = false) {
        auto& used = m_model.extensionsUsed;
        if (std::find(used.begin(), used.end(), extension) == used.end()) {
            used.push_back(extension);
        }
        if (required) {
            m_model.extensionsRequired.push_back(extension);
        }
    }

    // Appends the bytes as a view of the buffer of their own, 4-byte aligned.
    int AddView(const void* data, size_t size, size_t stride, int target) {
        std::vector<unsigned char>& buffer = m_model.buffers[0].data;
        buffer.resize((buffer.size() + 3) & ~size_t(3), 0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = buffer.size();
        view.byteLength = size;
        view.byteStride = stride;
        view.target = target;
        const auto* bytes = static_cast<const unsigned char*>(data);
        buffer.insert(buffer.end(), bytes, bytes + size);
        m_model.bufferViews.push_back(view);
        return static_cast<int>(m_model.bufferViews.size() - 1);
    }

    int AddAccessor(int view, int componentType, int type, size_t count, bool normalized,
                    std::vector<double> min = {}, std::vector<double> max = {}) {
        tinygltf::Accessor a;
        a.bufferView = view;
        a.byteOffset = 0;
        a.componentType = componentType;
        a.type = type;
        a.count = count;
        a.normalized = normalized;
        a.minValues = std::move(min);
        a.maxValues = std::move(max);
        m_model.accessors.push_back(a);
        return static_cast<int>(m_model.accessors.size() - 1);
    }

    int AddPositions(const std::vector<CVector3>& points, const CQuantisedFrame& frame) {
        std::vector<int16_t> q(points.size() * 4, 0);  // x, y, z and a padding short
        std::vector<double> lo(3, 32767.0);
        std::vector<double> hi(3, -32767.0);
        for (size_t i = 0; i < points.size(); ++i) {
            for (int a = 0; a < 3; ++a) {
                const float v = std::round((points[i][a] - frame.centre[a]) / frame.step);
                q[i * 4 + a] = static_cast<int16_t>(std::clamp(v, -32767.0f, 32767.0f));
                lo[a] = std::min(lo[a], double(q[i * 4 + a]));
                hi[a] = std::max(hi[a], double(q[i * 4 + a]));
            }
        }
        const int view = AddView(q.data(), q.size() * sizeof(int16_t), 8, kArrayBuffer);
        return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_SHORT, TINYGLTF_TYPE_VEC3, points.size(),
                           false, lo, hi);
    }

    int AddNormals(const std::vector<CVector3>& normals) {
        std::vector<int8_t> q(normals.size() * 4, 0);
        for (size_t i = 0; i < normals.size(); ++i) {
            const std::array<int8_t, 3> n = QuantisedNormal(normals[i]);
            std::memcpy(&q[i * 4], n.data(), 3);
        }
        const int view = AddView(q.data(), q.size(), 4, kArrayBuffer);
        return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_BYTE, TINYGLTF_TYPE_VEC3, normals.size(),
                           true);
    }

    int AddIndices(const std::vector<uint32_t>& indices, size_t pointCount) {
        int view = 0;
        int type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
        if (pointCount <= 65535) {
            std::vector<uint16_t> narrow(indices.begin(), indices.end());
            view = AddView(narrow.data(), narrow.size() * 2, 0, kElementArrayBuffer);
            type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
        } else {
            view = AddView(indices.data(), indices.size() * 4, 0, kElementArrayBuffer);
        }
        return AddAccessor(view, type, TINYGLTF_TYPE_SCALAR, indices.size(), false);
    }

    int MaterialIndex(const CPbrMaterial& look);

    tinygltf::Model m_model;
    std::map<std::string, int> m_materials;  // by what tells them apart
};

Value Number(double v) {
    return Value(v);
}

Value Colour(const std::array<float, 3>& c) {
    return Value(Value::Array{Number(c[0]), Number(c[1]), Number(c[2])});
}

// What makes two looks the same material: stones of one material differ only in thickness,
// kept to a tenth of a millimetre.
std::string MaterialKey(const CPbrMaterial& look) {
    return look.name + "|" + std::to_string(std::lround(look.thicknessMm * 10.0f));
}

int CGlbBuilder::MaterialIndex(const CPbrMaterial& look) {
    const std::string key = MaterialKey(look);
    if (const auto found = m_materials.find(key); found != m_materials.end()) {
        return found->second;
    }
    tinygltf::Material m;
    m.name = look.name;
    m.pbrMetallicRoughness.baseColorFactor = {look.baseColour[0], look.baseColour[1],
                                              look.baseColour[2], look.opacity};
    m.pbrMetallicRoughness.metallicFactor = look.metallic;
    m.pbrMetallicRoughness.roughnessFactor = look.roughness;
    if (look.opacity < 1.0f) {
        m.alphaMode = "BLEND";
    }
    if (look.transmission > 0.0f) {
        m.extensions["KHR_materials_transmission"] =
            Value(Value::Object{{"transmissionFactor", Number(look.transmission)}});
        Use("KHR_materials_transmission");
        m.extensions["KHR_materials_ior"] = Value(Value::Object{{"ior", Number(look.ior)}});
        Use("KHR_materials_ior");
        Value::Object volume{{"thicknessFactor", Number(look.thicknessMm)},
                             {"attenuationColor", Colour(look.attenuationColour)}};
        if (look.attenuationDistanceM > 0.0f) {
            volume["attenuationDistance"] = Number(look.attenuationDistanceM);
        }
        m.extensions["KHR_materials_volume"] = Value(volume);
        Use("KHR_materials_volume");
    }
    if (look.dispersion > 0.0f) {
        m.extensions["KHR_materials_dispersion"] =
            Value(Value::Object{{"dispersion", Number(look.dispersion)}});
        Use("KHR_materials_dispersion");
    }
    if (look.clearcoat > 0.0f) {
        m.extensions["KHR_materials_clearcoat"] =
            Value(Value::Object{{"clearcoatFactor", Number(look.clearcoat)},
                                {"clearcoatRoughnessFactor", Number(look.clearcoatRoughness)}});
        Use("KHR_materials_clearcoat");
    }
    m_model.materials.push_back(m);
    const int index = static_cast<int>(m_model.materials.size() - 1);
    m_materials[key] = index;
    return index;
}

}  // namespace

CGlbFile MakeGlb(const std::string& sceneName, const std::vector<CMeshPart>& parts,
                 const CGlbOptions& options) {
    CGlbBuilder builder(sceneName);
    CGlbFile file;
    for (const CMeshPart& part : parts) {
        const CPbrMaterial look = PbrMaterialOfPart(part);
        CShadedMesh shaded;
        if (part.kind == CMeshPart::kMetal) {
            shaded = SmoothShaded(SimplifiedMesh(part.mesh, options.metalErrorMm));
        } else {
            shaded = look.flatShaded ? FlatShaded(part.mesh) : SmoothShaded(part.mesh);
        }
        file.triangles.push_back(shaded.indices.size() / 3);
        if (!shaded.indices.empty()) {
            builder.AddPart(part.name, shaded, look);
        }
    }
    file.bytes = builder.Bytes();
    return file;
}

}  // namespace orva
