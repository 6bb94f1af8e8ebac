#pragma once

#include <cstdint>
#include <string>

#include "scene/scene_file.h"

namespace orva {

class CInterrupt;

// What a shop's page shows: the piece to turn, a picture until it is ready, its name and
// one line of what it is made of.
struct CShopPage {
    std::string title;         // the scene's name
    std::string caption;       // one line under the piece
    std::string glb;           // the piece, a glTF binary
    std::string posterJpeg;    // shown until the piece is drawn
    std::string viewerScript;  // the web component that draws it, inlined
    uint32_t background = 0xF4F3F1;
};

// The page as one HTML file that fetches nothing: the script inlined, the piece and the
// picture as data: URIs. It opens from disk by a double-click and can be e-mailed whole.
std::string ShopPageHtml(const CShopPage& page);

// Where the web component is shipped: "web/model-viewer.min.js" of the program data.
std::string ShopViewerScriptPath();

// Renders the poster: the first standard view, anti-aliased, the piece fitted, on the page's
// background; false when `interrupt` stopped it.
bool RenderShopPoster(CSceneAnchor& scene, int threads, uint32_t background, std::string& jpeg,
                      CInterrupt* interrupt = nullptr);

// Makes the whole page of `scene` around its glTF binary: measures the piece for the
// caption, renders the poster and reads the script from `scriptPath`. False with `error` when
// the script is missing or the work was stopped (`error` then empty).
bool MakeShopPage(CSceneAnchor& scene, const std::string& sceneName, std::string glb, int threads,
                  CInterrupt* interrupt, std::string& html, std::string& error,
                  const std::string& scriptPath = ShopViewerScriptPath());

}  // namespace orva
