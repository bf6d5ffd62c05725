#include "mesh/animatedmesh.h"

AnimatedMesh::AnimatedMesh() = default;

AnimatedMesh::~AnimatedMesh() = default;

void AnimatedMesh::animate(int sequence, double time) {
    AnimationSet::animate(positions, normals, texCoords, sequence, time);
}

void AnimatedMesh::animateAndDraw(int part, int sequence, double time) {
    animate(sequence, time);
    draw(part);
}
