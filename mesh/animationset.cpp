#include "mesh/animationset.h"

#include "base/log.h"
#include "base/tools.h"

namespace {
constexpr const char* kInvalidSequence = "invalid animation sequence number";
}

AnimationSet::AnimationSet() = default;

AnimationSet::~AnimationSet() = default;

void AnimationSet::addSequence(std::unique_ptr<AnimationSequence> sequence) {
    if (sequence != nullptr) {
        sequences.push_back(std::move(sequence));
    }
}

AnimationSequence* AnimationSet::getSequence(int i) const {
    if (i < 0 || i >= getSequenceCount()) {
        log(DEBUG, "global", kInvalidSequence);
        return nullptr;
    }
    return sequences[static_cast<size_t>(i)].get();
}

void AnimationSet::animate(NArray1<vec3>& positions, NArray1<vec3>& normals, NArray2<vec2>& texCoords, int i,
                           double time) const {
    if (const AnimationSequence* sequence = getSequence(i)) {
        sequence->interpolate(positions, normals, texCoords, time);
    }
}
