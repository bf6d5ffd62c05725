#include <GL/glew.h>

#include "scene/table.h"

void Table::applyCamera() const {
    glLoadIdentity();
    apply();
}
