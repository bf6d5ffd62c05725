#include "mesh/animationsequence.h"

#include <algorithm>
#include <cmath>

AnimationFrame::AnimationFrame(int vertexCount, int textureUnits) {
    const size_t vertices = static_cast<size_t>(std::max(vertexCount, 0));
    positions.resize(vertices);
    normals.resize(vertices);
    texCoords.resize(vertices, static_cast<size_t>(std::max(textureUnits, 0)));
}

void AnimationSequence::addFrame(std::unique_ptr<AnimationFrame> frame) {
    if (frame != nullptr) {
        frames.push_back(std::move(frame));
    }
}

void AnimationSequence::addKey(std::unique_ptr<AnimationKey> key) {
    if (key != nullptr) {
        totalDuration += key->duration;
        keys.push_back(std::move(key));
    }
}

void AnimationSequence::interpolate(NArray1<vec3>& positions, NArray1<vec3>& normals,
                                    NArray2<vec2>& texCoords, double time) const {
    if (keys.empty() || !(totalDuration > 0.0) || !std::isfinite(time)) {
        return;
    }
    double t = std::fmod(time, totalDuration);
    if (t < 0.0) {
        t += totalDuration;
    }
    size_t k = 0;
    while (k + 1 < keys.size() && t > keys[k]->duration) {
        t -= keys[k]->duration;
        ++k;
    }
    const double duration = keys[k]->duration;
    // A key without duration shows its own frame instead of dividing by zero.
    const float f = duration > 0.0 ? static_cast<float>(std::clamp(t / duration, 0.0, 1.0)) : 0.0f;
    const AnimationKey& next = *keys[k + 1 < keys.size() ? k + 1 : 0];
    const AnimationFrame* a = getFrame(keys[k]->frame);
    const AnimationFrame* b = getFrame(next.frame);
    if (a == nullptr || b == nullptr) {
        return;
    }
    const size_t count = positions.size();
    if (a->positions.size() != count || b->positions.size() != count) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        positions[i] = a->positions[i] + (b->positions[i] - a->positions[i]) * f;
    }
    if (normals.size() == count && a->normals.size() == count && b->normals.size() == count) {
        for (size_t i = 0; i < count; ++i) {
            normals[i] = a->normals[i] + (b->normals[i] - a->normals[i]) * f;
        }
    }
    if (texCoords.getRows() == count && a->texCoords.getRows() == count && b->texCoords.getRows() == count) {
        const size_t units =
            std::min({texCoords.getColumns(), a->texCoords.getColumns(), b->texCoords.getColumns()});
        for (size_t u = 0; u < units; ++u) {
            for (size_t i = 0; i < count; ++i) {
                const vec2& from = a->texCoords.at(i, u);
                texCoords.at(i, u) = from + (b->texCoords.at(i, u) - from) * f;
            }
        }
    }
}
