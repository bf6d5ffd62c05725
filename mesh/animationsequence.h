#pragma once

#include "mesh/narrays.h"
#include "mesh/vectormath.h"

#include <cstdint>
#include <memory>
#include <vector>

// One step of a sequence: shows frame `frame` and blends towards the next
// key's frame over `duration` (in the caller's time unit).
struct AnimationKey {
    AnimationKey() = default;
    AnimationKey(uint32_t frame, double duration) : frame(frame), duration(duration) {}

    uint32_t frame = 0; // index into the owning sequence's frames
    double duration = 0.0;
};

// The vertex data of one key frame, for the vertex count of its mesh.
struct AnimationFrame {
    AnimationFrame() = default;
    // Sized arrays of zeros: vertexCount positions and normals and
    // vertexCount x textureUnits texture coordinates.
    AnimationFrame(int vertexCount, int textureUnits);

    NArray1<vec3> positions;
    NArray1<vec3> normals;
    NArray2<vec2> texCoords; // column u: coordinates of texture unit u
};

// Key frames with durations, looping: evaluated at time t it blends the two
// frames around t mod the total duration.
class AnimationSequence {
public:
    void addFrame(std::unique_ptr<AnimationFrame> frame);
    void addKey(std::unique_ptr<AnimationKey> key);

    // Writes the blend of the key frames around time into the arrays. Nothing
    // changes without keys, with a total duration <= 0, for a time that is not
    // finite, when a key names a missing frame or when the frames' vertex count
    // differs from positions. Normals and texture units are blended only where
    // both frames and the output agree in shape. Negative times wrap.
    void interpolate(NArray1<vec3>& positions, NArray1<vec3>& normals, NArray2<vec2>& texCoords,
                     double time) const;

    size_t getFrameCount() const { return frames.size(); }
    size_t getKeyCount() const { return keys.size(); }
    // Null when i is out of range.
    AnimationFrame* getFrame(size_t i) const { return i < frames.size() ? frames[i].get() : nullptr; }
    AnimationKey* getKey(size_t i) const { return i < keys.size() ? keys[i].get() : nullptr; }
    double getTotalDuration() const { return totalDuration; }

private:
    std::vector<std::unique_ptr<AnimationFrame>> frames;
    std::vector<std::unique_ptr<AnimationKey>> keys;
    double totalDuration = 0.0;
};
