#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "mesh/mesh_files.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

void PutFloat(unsigned char*& at, float value) {
    std::memcpy(at, &value, 4);  // IEEE little-endian, as on every machine we build for
    at += 4;
}

CVector3 FacetNormal(const CVector3& a, const CVector3& b, const CVector3& c) {
    const CVector3 n = CrossProduct(b - a, c - a);
    const float length = Length(n);
    return length > 0.0f ? n * (1.0f / length) : CVector3(0, 0, 0);
}

}  // namespace

bool WriteStl(const std::string& path, const std::string& sceneName,
              const std::vector<CMeshPart>& parts, std::string& error) {
    uint64_t count = 0;
    for (const CMeshPart& p : parts) {
        count += p.mesh.triangles.size();
    }
    if (count > UINT32_MAX) {
        error = "too many triangles for STL";
        return false;
    }
    const bool written = WriteReplacingFile(path, [&](std::FILE* f) {
        unsigned char header[84] = {};
        // "solid" would make readers take the file for ASCII STL.
        const std::string title = "Orvatrix " + sceneName;
        std::memcpy(header, title.data(), std::min<std::size_t>(title.size(), 80));
        const auto n = static_cast<uint32_t>(count);
        std::memcpy(header + 80, &n, 4);
        if (std::fwrite(header, 1, sizeof header, f) != sizeof header) {
            return false;
        }
        unsigned char facet[50];
        for (const CMeshPart& p : parts) {
            const CTriangleMesh& m = p.mesh;
            for (const auto& t : m.triangles) {
                unsigned char* at = facet;
                const CVector3 normal = FacetNormal(m.points[t[0]], m.points[t[1]], m.points[t[2]]);
                for (const CVector3& v : {normal, m.points[t[0]], m.points[t[1]], m.points[t[2]]}) {
                    PutFloat(at, v.x);
                    PutFloat(at, v.y);
                    PutFloat(at, v.z);
                }
                at[0] = 0;
                at[1] = 0;
                if (std::fwrite(facet, 1, sizeof facet, f) != sizeof facet) {
                    return false;
                }
            }
        }
        return true;
    });
    if (!written) {
        error = std::strerror(errno != 0 ? errno : EIO);
    }
    return written;
}

}  // namespace orva
