#include "tools/assetgen/contactsheet.h"

#include "scene/basinlayout.h"
#include "tools/assetgen/assetset.h"
#include "tools/assetgen/fontrasteriser.h"
#include "tools/assetgen/fonts.h"
#include "tools/assetgen/md3reader.h"
#include "tools/assetgen/md3writer.h"
#include "tools/assetgen/softrenderer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr int kSheetWidth = 2048;
constexpr int kSceneWidth = 1024, kSceneHeight = 768;
constexpr int kModelTile = 224;
constexpr int kThumb = 192;
constexpr int kLabelHeight = 22;
constexpr int kGap = 8;
const Color kSheetBackground = rgb(0x202428);

// The scene as the water table lays it out.
constexpr float kBoardUnits = 64;
constexpr float kField = kBoardUnits / 9;
constexpr float kFigureScale = 6;
constexpr float kLowDetailDistance = 70;
// The orbit camera: azimuth, elevation (radians) and distance around the board.
struct Orbit {
    float azimuth, elevation, distance;
    Vec3 eye() const {
        return {32 + distance * std::cos(elevation) * std::cos(azimuth),
                32 - distance * std::cos(elevation) * std::sin(azimuth), distance * std::sin(elevation)};
    }
};
constexpr Orbit kDefaultOrbit{1.57075f, 0.5f, 70};
constexpr Orbit kLowOrbit{2.3f, 0.2f, 110};
constexpr Orbit kHighOrbit{1.57075f, 1.5f, 70};
const Vec3 kBoardTarget(32, 32, -5);

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// A decoded model with its skins, ready to be drawn with any placement.
struct Preview {
    std::vector<Md3Reader::Surface> surfaces;
    std::vector<const Canvas*> skins;
};

Preview preview(const AssetSet& assets, const Model& model) {
    Preview p;
    p.surfaces = Md3Reader::read(Md3Writer::encode(model));
    for (const ModelSurface& s : model.surfaces) {
        const TextureAsset* t = assets.findTexture(directoryOf(model.path) + "/" + s.texture);
        p.skins.push_back(t != nullptr ? &t->image : nullptr);
    }
    return p;
}

struct Placement {
    Vec3 offset;
    float scale = 1;
    float turn = 0; // radians about z
};

void drawPreview(SoftRenderer& renderer, const Preview& p, const Placement& at, bool lit, float gloss = 0) {
    float c = std::cos(at.turn), s = std::sin(at.turn);
    for (size_t i = 0; i < p.surfaces.size(); ++i) {
        const Md3Reader::Surface& surface = p.surfaces[i];
        std::vector<SoftRenderer::Vertex> vertices;
        for (size_t v = 0; v < surface.texCoords.size(); ++v) {
            const Vec3& q = surface.positions[0][v];
            const Vec3& n = surface.normals[0][v];
            SoftRenderer::Vertex out;
            out.position = at.offset + Vec3(c * q.x - s * q.y, s * q.x + c * q.y, q.z) * at.scale;
            out.normal = Vec3(c * n.x - s * n.y, s * n.x + c * n.y, n.z);
            out.uv = surface.texCoords[v];
            vertices.push_back(out);
        }
        SoftRenderer::Material material;
        material.texture = p.skins[i];
        material.lit = lit;
        material.gloss = gloss;
        renderer.draw(vertices, surface.triangles, material);
    }
}

const Model& modelNamed(const AssetSet& assets, const std::string& path) {
    for (const Model& m : assets.models()) {
        if (m.path == path) {
            return m;
        }
    }
    throw std::runtime_error("contact sheet: no model " + path);
}

const Canvas& textureNamed(const AssetSet& assets, const std::string& path) {
    const TextureAsset* t = assets.findTexture(path);
    if (t == nullptr) {
        throw std::runtime_error("contact sheet: no texture " + path);
    }
    return t->image;
}

// The basin quads of the water table: position, table texture coordinates.
void drawBasin(SoftRenderer& renderer, const AssetSet& assets) {
    const float t = kBasinBoardLow, u = kBasinBoardHigh, r = kBasinRimLow, R = kBasinRimHigh;
    struct Quad {
        Vec3 normal;
        Vec3 p[4];
        Vec2 uv[4];
    };
    const Quad quads[] = {
        {{0, 0, 1}, {{0, 0, -5}, {64, 0, -5}, {64, 64, -5}, {0, 64, -5}}, {{t, t}, {u, t}, {u, u}, {t, u}}},
        {{0, 1, 0}, {{0, 0, -5}, {0, 0, 0}, {64, 0, 0}, {64, 0, -5}}, {{t, t}, {t, r}, {u, r}, {u, t}}},
        {{0, -1, 0}, {{0, 64, -5}, {64, 64, -5}, {64, 64, 0}, {0, 64, 0}}, {{t, u}, {u, u}, {u, R}, {t, R}}},
        {{-1, 0, 0}, {{64, 0, -5}, {64, 0, 0}, {64, 64, 0}, {64, 64, -5}}, {{u, t}, {R, t}, {R, u}, {u, u}}},
        {{1, 0, 0}, {{0, 0, -5}, {0, 64, -5}, {0, 64, 0}, {0, 0, 0}}, {{t, t}, {t, u}, {r, u}, {r, t}}},
    };
    SoftRenderer::Material material;
    material.texture = &textureNamed(assets, "textures/table/table-01-c.png");
    material.overlay = &textureNamed(assets, "textures/caustic/caustic1.png");
    material.overlayWeight = 0.3f;
    material.overlayScale = 4;
    // Under the water: fog and the water's colour take the place of the
    // game's refraction pass.
    material.tint = rgb(0xa9c8e6);
    material.cull = false;
    for (const Quad& q : quads) {
        std::vector<SoftRenderer::Vertex> vertices;
        for (int k = 0; k < 4; ++k) {
            vertices.push_back({q.p[k], q.normal, q.uv[k]});
        }
        renderer.draw(vertices, {{0, 1, 2}, {0, 2, 3}}, material);
    }
}

Canvas renderScene(const AssetSet& assets, const Orbit& orbit) {
    const Vec3 eye = orbit.eye();
    SoftRenderer renderer(kSceneWidth, kSceneHeight, rgb(0x000000));
    renderer.lookAt(eye, kBoardTarget, {0, 0, 1});
    renderer.perspective(60);
    renderer.setLight({0.3f, -0.4f, 1});
    Preview sky = preview(assets, modelNamed(assets, "models/skybox/skybox"));
    drawPreview(renderer, sky, {eye, 5, 0}, false);
    drawBasin(renderer, assets);
    Preview table = preview(assets, modelNamed(assets, "models/table/table-outside"));
    drawPreview(renderer, table, {{32, 32, -12}, kBoardUnits, 0}, true);

    Preview kinds[2][2] = {
        {preview(assets, modelNamed(assets, "models/sporlet/spr-slime")),
         preview(assets, modelNamed(assets, "models/sporlet/spr-slime-low"))},
        {preview(assets, modelNamed(assets, "models/sporlet/spr-spike")),
         preview(assets, modelNamed(assets, "models/sporlet/spr-spike-low"))},
    };
    // A game in progress.
    const int fields[][3] = {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}, {2, 1, 1}, {3, 2, 1}, {4, 4, 1},
                             {8, 8, 2}, {7, 8, 2}, {8, 7, 2}, {6, 7, 2}, {5, 5, 2}, {4, 5, 2}, {6, 2, 2}};
    for (const auto& f : fields) {
        Vec3 at(f[0] * kField + 3, f[1] * kField + 3, 0);
        bool low = length(at - eye) >= kLowDetailDistance;
        drawPreview(renderer, kinds[f[2] - 1][low ? 1 : 0], {at, kFigureScale, kPi}, true, 0.0f);
    }
    return renderer.image();
}

// ---------------------------------------------------------------- overlay

// Draws a screen-aligned quad the way the game's 2D controls do: pixel
// rectangle (top-left origin) with OpenGL texture coordinates at its corners,
// bilinear sampling with repeat, alpha blending, colour modulation.
void drawQuad(Canvas& target, const Canvas& texture, float x0, float y0, float x1, float y1, Vec2 uvTopLeft,
              Vec2 uvBottomRight, const Color& color = {1, 1, 1, 1}) {
    for (int y = static_cast<int>(std::floor(y0)); y < static_cast<int>(std::ceil(y1)); ++y) {
        for (int x = static_cast<int>(std::floor(x0)); x < static_cast<int>(std::ceil(x1)); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            if (px < x0 || px >= x1 || py < y0 || py >= y1) {
                continue;
            }
            float u = lerp(uvTopLeft.x, uvBottomRight.x, (px - x0) / (x1 - x0));
            float v = lerp(uvTopLeft.y, uvBottomRight.y, (py - y0) / (y1 - y0));
            Color c = texture.sample(u * texture.width(), (1 - v) * texture.height(), true);
            target.blend(x, y, Color{c.r * color.r, c.g * color.g, c.b * color.b, c.a * color.a});
        }
    }
}

// The game's text drawing: one cell per character, sampled as it samples them.
// (x, y) is the lower-left corner of the text in pixels from the top left.
void drawText(Canvas& target, const AssetSet& assets, const FontGrid& grid, int style,
              const std::string& text, float x, float y) {
    const Canvas& texture =
        textureNamed(assets, std::string("textures/fonts/") + grid.name + std::to_string(style) + ".png");
    float cellU = grid.cellWidth / grid.textureWidth, cellV = grid.cellHeight / grid.textureHeight;
    float texelU = 1.0f / grid.textureWidth;
    for (size_t i = 0; i < text.size(); ++i) {
        int c = static_cast<unsigned char>(text[i]);
        int column = (c - kFirstChar) % grid.columns;
        int row =
            static_cast<int>(static_cast<float>(c - kFirstChar) / static_cast<float>(grid.columns) + 1.0f);
        float uLeft = column * cellU, vLow = 1.0f - row * cellV;
        float left = x + 1 + i * grid.cellWidth, bottom = y - 1;
        drawQuad(target, texture, left, bottom - grid.cellHeight, left + grid.cellWidth, bottom,
                 {uLeft, vLow + cellV}, {uLeft + cellU - texelU, vLow});
    }
}

// A 300-pixel button at its lower-left corner (pixels), with its centred label.
void drawButton(Canvas& target, const AssetSet& assets, float x, float y, int state,
                const std::string& caption) {
    const char* looks[] = {"n", "mo", "d"};
    auto piece = [&](const char* part) -> const Canvas& {
        return textureNamed(assets,
                            std::string("textures/buttons/btn1") + part + "_" + looks[state] + ".png");
    };
    constexpr float kWidth = 300, kHeight = 64, kCap = 64;
    drawQuad(target, piece("a"), x, y - kHeight, x + kCap, y, {0, 1}, {1, 0});
    drawQuad(target, piece("b"), x + kCap, y - kHeight, x + kWidth - kCap, y, {0, 1}, {1, 0});
    drawQuad(target, piece("c"), x + kWidth - kCap, y - kHeight, x + kWidth, y, {0, 1}, {1, 0});
    float tw = kBigFont.cellWidth * caption.size(), th = kBigFont.cellHeight;
    drawText(target, assets, kBigFont, state, caption, x + (kWidth - tw) / 2 + 6, y - (kHeight - th) / 2 - 4);
}

Canvas renderMenu(const AssetSet& assets, const Canvas& scene) {
    Canvas menu = scene;
    float w = static_cast<float>(kSceneWidth), h = static_cast<float>(kSceneHeight);
    auto toPixelY = [h](float ndc) {
        return (1 - ndc) * h / 2;
    };
    const Canvas& logo = textureNamed(assets, "textures/menu/spr2-logo.png");
    drawQuad(menu, logo, w / 2 - 256, toPixelY(0.5f) - 128, w / 2 + 256, toPixelY(0.5f), {0, 1}, {1, 0});
    const char* captions[] = {"New Game", "Demo", "Fluid Demo", "Exit"};
    const int states[] = {1, 0, 2, 0};
    float step = 1.25f * 64;
    for (int i = 0; i < 4; ++i) {
        drawButton(menu, assets, w / 2 - 150, toPixelY(0.1f) + i * step, states[i], captions[i]);
    }
    const Canvas& cursor = textureNamed(assets, "textures/cursor/cursor1.png");
    float mx = w / 2 - 60, my = toPixelY(0.1f) - 30;
    drawQuad(menu, cursor, mx - 4, my - 7, mx + 28, my + 25, {0, 1}, {1, 0});
    return menu;
}

void drawHud(Canvas& scene, const AssetSet& assets) {
    float w = static_cast<float>(kSceneWidth), h = static_cast<float>(kSceneHeight);
    auto toPixelX = [w](float ndc) {
        return (ndc + 1) * w / 2;
    };
    auto toPixelY = [h](float ndc) {
        return (1 - ndc) * h / 2;
    };
    drawText(scene, assets, kSmallFont, 0, "FPS: 60", toPixelX(1 - 200 / w), toPixelY(0.85f));
    drawText(scene, assets, kBigFont, 0, "Player 1: 7", toPixelX(40 / w - 1), toPixelY(-1));
    drawText(scene, assets, kBigFont, 0, "Player 2: 7", toPixelX(1 - 740 / w), toPixelY(-1));
}

// ---------------------------------------------------------------- models

Canvas renderModelView(const AssetSet& assets, const Model& model, int view) {
    SoftRenderer renderer(kModelTile, kModelTile, rgb(0x39424c));
    bool figure = model.path.find("sporlet") != std::string::npos;
    bool sky = model.path.find("skybox") != std::string::npos;
    Vec3 centre = figure ? Vec3(0, 0, 0.5f) : Vec3(0, 0, 0.1f);
    float reach = figure ? 0.65f : 1.05f;
    if (sky) {
        // From inside: the horizon, looking up at the sky, looking down at the sea.
        const Vec3 targets[] = {{0, 1, 0.15f}, {0.3f, 1, 1.6f}, {0.3f, 1, -1.2f}};
        renderer.lookAt({0, 0, 0}, targets[view], {0, 0, 1});
        renderer.perspective(90);
    } else {
        // Front (the figures face +y), the game's angle from 30 degrees above, top.
        const Vec3 eyes[] = {{0, 10, 0}, {0, 10 * std::cos(0.5f), 10 * std::sin(0.5f)}, {0, 0.001f, 10}};
        renderer.lookAt(centre + eyes[view], centre, {0, 0, 1});
        renderer.orthographic(reach);
    }
    renderer.setLight({0.5f, 0.8f, 0.9f});
    drawPreview(renderer, preview(assets, model), {}, !sky, figure ? 0.25f : 0.0f);
    return renderer.image();
}

// ---------------------------------------------------------------- sheet

class SheetCanvas {
public:
    SheetCanvas(int height, const std::string& fontFile)
        : canvas(kSheetWidth, height, kSheetBackground), font(fontFile) {
        font.setSize(12);
    }

    void label(const std::string& text, int x, int y) {
        Mask mask(kSheetWidth, 20);
        font.drawText(mask, text, 0, 15);
        for (int my = 0; my < mask.height(); ++my) {
            for (int mx = 0; mx < std::min(kSheetWidth - x, mask.width()); ++mx) {
                canvas.blend(x + mx, y + my, rgb(0xe8eef4, mask.at(mx, my)));
            }
        }
    }

    // Scaled to fit a box, over a checkerboard where it is transparent.
    void thumbnail(const Canvas& image, int x, int y, int box) {
        float scale =
            std::min(static_cast<float>(box) / image.width(), static_cast<float>(box) / image.height());
        int tw = std::max(1, static_cast<int>(image.width() * scale)),
            th = std::max(1, static_cast<int>(image.height() * scale));
        Canvas small = image.resized(tw, th);
        for (int py = 0; py < th; ++py) {
            for (int px = 0; px < tw; ++px) {
                bool dark = ((px / 8) + (py / 8)) % 2 == 0;
                canvas.at(x + px, y + py) = dark ? rgb(0x6a6f75) : rgb(0x8a8f95);
                canvas.blend(x + px, y + py, small.at(px, py));
            }
        }
    }

    Canvas canvas;

private:
    FontRasteriser font;
};

// Digits compare as numbers, so that caustic2 comes before caustic10.
std::string naturalKey(const std::string& text) {
    std::string key;
    for (size_t i = 0; i < text.size();) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            size_t end = i;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
                ++end;
            }
            key += std::string(8 - std::min<size_t>(8, end - i), '0') + text.substr(i, end - i);
            i = end;
        } else {
            key += text[i++];
        }
    }
    return key;
}

std::string fileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

ContactSheet::ContactSheet(const AssetSet& assets, const std::string& labelFont)
    : assets(assets), labelFont(labelFont) {}

Canvas ContactSheet::render() const {
    int modelRows = (static_cast<int>(assets.models().size()) * 3 + 8) / 9;
    int thumbColumns = kSheetWidth / (kThumb + kGap);
    int thumbRows = (static_cast<int>(assets.textures().size()) + thumbColumns - 1) / thumbColumns;
    int soundHeight = 140;
    int height = 2 * (kSceneHeight + kLabelHeight) + modelRows * (kModelTile + kLabelHeight + kGap) +
                 thumbRows * (kThumb + kLabelHeight + kGap) +
                 static_cast<int>(assets.sounds().size()) * soundHeight + 4 * kGap;
    SheetCanvas sheet(height, labelFont);

    Canvas scene = renderScene(assets, kDefaultOrbit);
    Canvas menu = renderMenu(assets, scene);
    drawHud(scene, assets);
    sheet.canvas.draw(scene, 0, 0);
    sheet.canvas.draw(menu, kSceneWidth, 0);
    sheet.label("scene from the default camera (basin approximated without the water surface), with the HUD",
                4, kSceneHeight + 2);
    sheet.label("menu over the scene: New Game hovered, Fluid Demo pressed", kSceneWidth + 4,
                kSceneHeight + 2);

    int y = kSceneHeight + kLabelHeight;
    sheet.canvas.draw(renderScene(assets, kLowOrbit), 0, y);
    sheet.label("the camera at its lowest and farthest, from a corner: every figure in low detail", 4,
                y + kSceneHeight + 2);
    sheet.canvas.draw(renderScene(assets, kHighOrbit), kSceneWidth, y);
    sheet.label("the camera at its highest", kSceneWidth + 4, y + kSceneHeight + 2);
    y += kSceneHeight + kLabelHeight + kGap;
    int column = 0;
    const char* views[] = {"front", "game", "top"};
    const char* skyViews[] = {"horizon", "up", "down"};
    // Figures first, then the table and the sky; textures by path.
    std::vector<const Model*> models;
    for (const char* kind : {"sporlet", "table", "skybox"}) {
        for (const Model& model : assets.models()) {
            if (model.path.find(kind) != std::string::npos) {
                models.push_back(&model);
            }
        }
    }
    std::vector<const TextureAsset*> textures;
    for (const TextureAsset& t : assets.textures()) {
        textures.push_back(&t);
    }
    std::sort(textures.begin(), textures.end(), [](const TextureAsset* a, const TextureAsset* b) {
        return naturalKey(a->path) < naturalKey(b->path);
    });
    for (const Model* modelPointer : models) {
        const Model& model = *modelPointer;
        bool sky = model.path.find("skybox") != std::string::npos;
        for (int view = 0; view < 3; ++view) {
            int x = column * (kModelTile + kGap);
            sheet.canvas.draw(renderModelView(assets, model, view), x, y);
            sheet.label(fileName(model.path) + " " + (sky ? skyViews[view] : views[view]) + " " +
                            std::to_string(model.triangleCount()) + " tris",
                        x, y + kModelTile + 2);
            if (++column == 9) {
                column = 0;
                y += kModelTile + kLabelHeight + kGap;
            }
        }
    }
    if (column != 0) {
        y += kModelTile + kLabelHeight + kGap;
    }

    column = 0;
    for (const TextureAsset* texture : textures) {
        const TextureAsset& t = *texture;
        int x = column * (kThumb + kGap);
        sheet.thumbnail(t.image, x, y, kThumb);
        sheet.label(fileName(t.path), x, y + kThumb + 2);
        if (++column == thumbColumns) {
            column = 0;
            y += kThumb + kLabelHeight + kGap;
        }
    }
    if (column != 0) {
        y += kThumb + kLabelHeight + kGap;
    }

    for (const SoundAsset& s : assets.sounds()) {
        int waveHeight = soundHeight - kLabelHeight - kGap;
        float mid = y + waveHeight / 2.0f;
        size_t n = s.samples.size();
        for (int x = 0; x < kSheetWidth; ++x) {
            size_t from = n * x / kSheetWidth, to = std::max(from + 1, n * (x + 1) / kSheetWidth);
            float low = 0, high = 0;
            for (size_t i = from; i < to && i < n; ++i) {
                low = std::min(low, s.samples[i]);
                high = std::max(high, s.samples[i]);
            }
            sheet.canvas.strokeLine(x + 0.5f, mid - high * waveHeight / 2, x + 0.5f,
                                    mid - low * waveHeight / 2, 1, rgb(0x7fd4ff));
        }
        sheet.label(s.path + "  " + std::to_string(n * 1000 / 44100) + " ms", 4, y + waveHeight + 2);
        y += soundHeight;
    }
    return sheet.canvas;
}
