#include "browser/thumbnail_cache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QUrl>
#include <cstdlib>
#include <filesystem>

#include "image/picture_writer.h"
#include "platform/replacing_file.h"

namespace orva {

namespace {

namespace fs = std::filesystem;

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// "file://" and the percent-encoded absolute path: the key every cache user computes alike.
QByteArray FileUri(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(AbsolutePath(path))))
        .toEncoded();
}

// The file's modification time in whole seconds as text; empty when it cannot be read.
QString ModificationTime(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return {};
    }
    return QString::number(static_cast<qint64>(info.st_mtime));
}

// Makes the folder and its "thumbnails" parent readable by the user only.
bool MakePrivateFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    for (const fs::path& made : {folder.parent_path(), folder}) {
        chmod(made.c_str(), 0700);
    }
    return fs::is_directory(folder, error);
}

QImage FittedToCache(const QImage& picture) {
    return picture.width() > kCachedThumbnailSize || picture.height() > kCachedThumbnailSize
               ? picture.scaled(kCachedThumbnailSize, kCachedThumbnailSize, Qt::KeepAspectRatio,
                                Qt::SmoothTransformation)
               : picture;
}

}  // namespace

std::string ThumbnailCacheFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') {
        return std::string(xdg) + "/thumbnails/normal";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.cache/thumbnails/normal";
    }
    return {};
}

std::string CachedThumbnailPath(const std::string& path) {
    const std::string folder = ThumbnailCacheFolder();
    if (folder.empty()) {
        return {};
    }
    const QByteArray md5 = QCryptographicHash::hash(FileUri(path), QCryptographicHash::Md5);
    return folder + "/" + md5.toHex().toStdString() + ".png";
}

QImage FreshCachedThumbnail(const std::string& path) {
    const std::string cached = CachedThumbnailPath(path);
    const QString mtime = ModificationTime(path);
    if (cached.empty() || mtime.isEmpty() || access(cached.c_str(), R_OK) != 0) {
        return {};
    }
    // The image's own text, not the reader's: the reader takes "Thumb::URI" apart at the colon.
    QImage picture(QFile::decodeName(QByteArray::fromStdString(cached)), "png");
    if (picture.text("Thumb::MTime") != mtime ||
        picture.text("Thumb::URI") != QString::fromLatin1(FileUri(path))) {
        return {};
    }
    return picture;
}

bool StoreCachedThumbnail(const std::string& path, const QImage& picture) {
    const std::string cached = CachedThumbnailPath(path);
    const QString mtime = ModificationTime(path);
    if (cached.empty() || mtime.isEmpty() || picture.isNull() ||
        !MakePrivateFolder(fs::path(cached).parent_path())) {
        return false;
    }
    // Private to the user like its folder, and renamed into place whole, so that no file
    // manager reading the cache sees half a picture. The PNG writer replaces the reserved file
    // in its turn, which keeps its permissions.
    CReplacingFile file;
    if (!file.Reserve(cached, 0600)) {
        return false;
    }
    const QImage fitted = FittedToCache(picture).convertToFormat(QImage::Format_BGR888);
    const CPictureView view{fitted.width(), fitted.height(), fitted.bytesPerLine(),
                            fitted.constBits()};
    const CPngTexts texts = {{"Thumb::URI", FileUri(path).toStdString()},
                             {"Thumb::MTime", mtime.toStdString()},
                             {"Software", "Orvatrix Viewer"}};
    return WritePngFile(file.Path(), view, texts) && file.Commit();
}

}  // namespace orva
