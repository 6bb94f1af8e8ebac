#include "report/shop_page.h"

#include <glib.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "image/picture_writer.h"
#include "measure/jewel_report.h"
#include "measure/jewel_report_text.h"
#include "picture/scene_picture.h"
#include "platform/interrupt.h"
#include "platform/markup_text.h"
#include "platform/module_directory.h"
#include "view/draw_surface.h"

namespace orva {

namespace {

// The poster's pixels: 4:3 at the size the page shows the piece, sharp on a high-density
// screen without weighing much as a JPEG.
constexpr int kPosterWidth = 1200;
constexpr int kPosterHeight = 900;
constexpr int kPosterQuality = 88;

std::string Base64(const std::string& bytes) {
    const std::unique_ptr<gchar, decltype(&g_free)> text(
        g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size()), g_free);
    return text.get();
}

std::string Hex(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
    return text;
}

// A script may sit inside <script> as it is unless it holds what would end the element
// early, or start one: then it goes in as a data: URI, which costs a third more.
std::string ScriptElement(const std::string& script) {
    std::string lower = script;
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (lower.find("</script") == std::string::npos && lower.find("<script") == std::string::npos) {
        return "<script type=\"module\">\n" + script + "\n</script>\n";
    }
    return "<script type=\"module\" src=\"data:text/javascript;base64," + Base64(script) +
           "\"></script>\n";
}

std::string Style(uint32_t background) {
    return "<style>\n"
           "html,body{margin:0;height:100%;background:" +
           Hex(background) +
           ";font-family:system-ui,sans-serif;color:#333}\n"
           "body{display:flex;flex-direction:column;min-height:100vh}\n"
           "h1{margin:16px 24px 0;font-size:20px;font-weight:600}\n"
           "model-viewer{display:block;width:100%;height:calc(100vh - 110px);min-height:300px;"
           "background-color:" +
           Hex(background) +
           ";--poster-color:transparent}\n"
           "p{margin:0 24px 20px;font-size:15px}\n"
           "</style>\n";
}

bool ReadWhole(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return !in.bad() && !text.empty();
}

}  // namespace

std::string ShopPageHtml(const CShopPage& page) {
    const std::string title = MarkupText(page.title);
    std::string html;
    html.reserve(page.viewerScript.size() + (page.glb.size() + page.posterJpeg.size()) * 4 / 3 +
                 4096);
    html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    html += "<title>" + title + "</title>\n";
    html += Style(page.background);
    html += ScriptElement(page.viewerScript);
    html += "</head>\n<body>\n<h1>" + title + "</h1>\n";
    // The neutral environment is the component's own, made in the page; a little more
    // exposure than its default lets yellow gold read as gold rather than brass.
    html += "<model-viewer alt=\"" + title +
            "\" camera-controls auto-rotate rotation-per-second=\"12deg\" "
            "environment-image=\"neutral\" exposure=\"1.4\" shadow-intensity=\"0.6\" "
            "interaction-prompt=\"none\" ";
    html += "poster=\"data:image/jpeg;base64," + Base64(page.posterJpeg) + "\" ";
    html += "src=\"data:model/gltf-binary;base64," + Base64(page.glb) + "\">";
    html += "</model-viewer>\n";
    html += "<p>" + MarkupText(page.caption) + "</p>\n</body>\n</html>\n";
    return html;
}

std::string ShopViewerScriptPath() {
    return GetProgramDataDirectory() + "web/model-viewer.min.js";
}

bool RenderShopPoster(CSceneAnchor& scene, int threads, uint32_t background, std::string& jpeg,
                      CInterrupt* interrupt) {
    CPictureSettings settings;
    settings.antialias = 3;
    settings.zoomAll = true;
    settings.margin = 8.0f;
    settings.background = background;
    settings.threads = threads;
    settings.view = 1;
    CImageSurface surface(kPosterWidth, kPosterHeight, background);
    if (RenderScenePicture(scene, settings, surface, interrupt).interrupted) {
        return false;
    }
    CPictureView view;
    view.width = surface.Width();
    view.height = surface.Height();
    view.stride = int64_t(surface.Width()) * 3;
    view.pixels = surface.Pixels().data();
    return EncodeJpeg(view, kPosterQuality, jpeg);
}

bool MakeShopPage(CSceneAnchor& scene, const std::string& sceneName, std::string glb, int threads,
                  CInterrupt* interrupt, std::string& html, std::string& error,
                  const std::string& scriptPath) {
    CShopPage page;
    if (!ReadWhole(scriptPath, page.viewerScript)) {
        error = "the page's viewer is missing: " + scriptPath;
        return false;
    }
    CJewelOptions options;
    options.threads = threads;
    options.interrupt = interrupt;
    const CSceneRange whole = WholeScene(scene);
    const CJewelReport report = MeasureJewel(whole.first, whole.stop, options);
    if (report.metal.interrupted ||
        !RenderShopPoster(scene, threads, page.background, page.posterJpeg, interrupt)) {
        error.clear();
        return false;
    }
    page.title = sceneName;
    page.caption = JewelSummaryLine(report);
    page.glb = std::move(glb);
    html = ShopPageHtml(page);
    return true;
}

}  // namespace orva
