#pragma once

#include "mesh/animationsequence.h"

#include <memory>
#include <vector>

// Animation sequences numbered from 0, evaluated into a mesh's arrays.
class AnimationSet {
public:
    AnimationSet();
    AnimationSet(const AnimationSet&) = delete;
    AnimationSet& operator=(const AnimationSet&) = delete;
    virtual ~AnimationSet();

    void addSequence(std::unique_ptr<AnimationSequence> sequence);
    // Null, with the log line "invalid animation sequence number", for an
    // index outside the sequences.
    AnimationSequence* getSequence(int i) const;
    int getSequenceCount() const { return static_cast<int>(sequences.size()); }

    // Sequence i's interpolate; an invalid index logs as getSequence does and
    // leaves the arrays alone.
    void animate(NArray1<vec3>& positions, NArray1<vec3>& normals, NArray2<vec2>& texCoords, int i,
                 double time) const;

private:
    std::vector<std::unique_ptr<AnimationSequence>> sequences;
};
