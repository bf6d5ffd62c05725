#pragma once

#include "mesh/animationset.h"
#include "mesh/dynamicmesh.h"

// A dynamic mesh with animation sequences; animating it overwrites its arrays
// with the blended key frames, and draw() shows the last animation step.
class AnimatedMesh : public DynamicMesh, public AnimationSet {
public:
    AnimatedMesh();
    ~AnimatedMesh() override;

    // Evaluates sequence at time into the mesh's own arrays.
    void animate(int sequence, double time);
    void animateAndDraw(int part, int sequence, double time);
};
