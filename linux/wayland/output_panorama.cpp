// One sky over all of a Wayland compositor's outputs.
#include "linux/wayland/output_panorama.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// Logical coordinates come from the compositor; their sums and products are taken in 64 bits
// and held to int, so that no layout overflows.
int heldToInt(std::int64_t value)
{
    const std::int64_t least = std::numeric_limits<int>::min();
    const std::int64_t most = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, least, most));
}

bool hasSize(const OutputArea& area)
{
    return area.width > 0 && area.height > 0;
}

bool sameArea(const OutputArea& a, const OutputArea& b)
{
    return a.placed == b.placed && a.x == b.x && a.y == b.y && a.width == b.width &&
           a.height == b.height;
}

// Where two surfaces would show the same area, the one with the focus is drawn, else the first.
bool hiddenBy(const OutputSurface& surface, std::size_t i, const OutputSurface& other,
              std::size_t j)
{
    return surface.activated == other.activated ? j < i : other.activated;
}

} // namespace

std::vector<OutputArea> shownAreas(const std::vector<OutputSurface>& surfaces)
{
    bool anyPlaced = false;
    int left = 0;
    int top = 0;
    for (const OutputSurface& surface : surfaces) {
        if (!surface.output.placed)
            continue;
        left = anyPlaced ? std::min(left, surface.output.x) : surface.output.x;
        top = anyPlaced ? std::min(top, surface.output.y) : surface.output.y;
        anyPlaced = true;
    }
    std::vector<OutputArea> candidates(surfaces.size());
    for (std::size_t i = 0; i < surfaces.size(); ++i) {
        const OutputSurface& surface = surfaces[i];
        const OutputArea& output = surface.output;
        const bool ownSize = !hasSize(output) ||
                             (surface.width == output.width && surface.height == output.height);
        OutputArea& shown = candidates[i];
        shown = ownSize ? OutputArea{output.placed, output.x, output.y, 0, 0}
                        : OutputArea{true, left, top, 0, 0};
        shown.width = surface.width;
        shown.height = surface.height;
    }
    std::vector<OutputArea> areas(surfaces.size());
    for (std::size_t i = 0; i < surfaces.size(); ++i) {
        bool hidden = !hasSize(candidates[i]);
        for (std::size_t j = 0; j < surfaces.size() && !hidden; ++j)
            hidden = j != i && candidates[i].placed && sameArea(candidates[i], candidates[j]) &&
                     hiddenBy(surfaces[i], i, surfaces[j], j);
        if (!hidden)
            areas[i] = candidates[i];
    }
    return areas;
}

Panorama arrangePanorama(const std::vector<OutputArea>& outputs)
{
    bool anyPlaced = false;
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    for (const OutputArea& output : outputs) {
        if (!output.placed || !hasSize(output))
            continue;
        const std::int64_t x = output.x;
        const std::int64_t y = output.y;
        left = anyPlaced ? std::min(left, x) : x;
        top = anyPlaced ? std::min(top, y) : y;
        right = anyPlaced ? std::max(right, x + output.width) : x + output.width;
        bottom = anyPlaced ? std::max(bottom, y + output.height) : y + output.height;
        anyPlaced = true;
    }
    Panorama panorama;
    panorama.areas.resize(outputs.size());
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const OutputArea& output = outputs[i];
        if (!hasSize(output))
            continue;
        std::int64_t x = output.x;
        std::int64_t y = output.y;
        if (!output.placed) {
            x = right;
            y = top;
            right += output.width;
            bottom = std::max(bottom, top + output.height);
        }
        panorama.areas[i] = {true, heldToInt(x - left), heldToInt(y - top), output.width,
                             output.height};
    }
    panorama.width = heldToInt(right - left);
    panorama.height = heldToInt(bottom - top);
    return panorama;
}

PanoramaViewport panoramaViewport(const Panorama& panorama, const OutputArea& area, int scale)
{
    const std::int64_t s = std::max(scale, 1);
    const std::int64_t below = std::int64_t{panorama.height} - area.y - area.height;
    return {heldToInt(-s * area.x), heldToInt(-s * below), heldToInt(s * panorama.width),
            heldToInt(s * panorama.height)};
}
