#pragma once

#include <QImage>
#include <string>

namespace orva {

// The desktop's shared thumbnail cache, which file managers read too: a picture of at most
// 128 × 128 per file in $XDG_CACHE_HOME/thumbnails/normal (~/.cache/thumbnails/normal), named
// by the MD5 of the file's URI and carrying that URI and the file's modification time, so a
// changed file is seen to need a new one. Nothing is ever written beside the user's files.
inline constexpr int kCachedThumbnailSize = 128;

// The cache folder; empty when neither $XDG_CACHE_HOME nor $HOME is set.
std::string ThumbnailCacheFolder();

// Where the cached thumbnail of `path` is (or would be); empty without a cache folder.
std::string CachedThumbnailPath(const std::string& path);

// The cached thumbnail of `path`, or a null image when there is none, or when it was made of
// the file as it was before its last change, or of another file.
QImage FreshCachedThumbnail(const std::string& path);

// Stores `picture` as the thumbnail of `path` as the file is now. The folder is made private
// to the user and the picture appears whole or not at all. False when it could not be written.
bool StoreCachedThumbnail(const std::string& path, const QImage& picture);

}  // namespace orva
