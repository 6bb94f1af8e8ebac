#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace orva {

struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A C file that closes itself.
using CFileHandle = std::unique_ptr<std::FILE, CFileCloser>;

inline CFileHandle OpenFile(const std::string& path, const char* mode) {
    return CFileHandle(std::fopen(path.c_str(), mode));
}

}  // namespace orva
