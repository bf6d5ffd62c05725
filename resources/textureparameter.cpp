#include "resources/textureparameter.h"

#include <GL/glew.h>

bool TextureParameter::apply(unsigned target, unsigned name) const {
    switch (getKind()) {
    case Integer:
        glTexParameteri(target, name, std::get<Integer>(value));
        return true;
    case Float:
        glTexParameterf(target, name, std::get<Float>(value));
        return true;
    case Integers:
        glTexParameteriv(target, name, std::get<Integers>(value).data());
        return true;
    case Floats:
        glTexParameterfv(target, name, std::get<Floats>(value).data());
        return true;
    case Scalar:
    case Scalars:
        return false;
    }
    return false;
}
