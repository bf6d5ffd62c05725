#include "fluid/fluidsimulation.h"

#include "base/log.h"
#include "base/tools.h"
#include "fluid/pbuffer.h"

#include <string>

namespace {

const char* const kSource = "global";
const char* const kFieldMode = "float=16 alpha textureRECT";
const char* const kDisplayMode = "rgb textureRECT";
const char* const kDashedLine = "---------------------------------------------------";
constexpr ProgramProfile kProfile = ProgramProfile::Fp30;

constexpr float kTimeStep = 0.1f;
constexpr int kDiffusionIterations = 10;
constexpr int kPressureIterations = 5;
constexpr float kPressureA = 1.0f;
constexpr float kPressureC = 0.25f;
constexpr float kCellSpacing = 1.0f;

// The pass state of the buffers' contexts: the unit square seen straight on.
constexpr double kNear = 1.0;
constexpr double kFar = 50.0;
constexpr float kEyeDistance = -5.0f;

// The process-wide program context the error handler reports on.
FragmentProgramContext* gReportingContext = nullptr; // not owned: the newest simulation's

void reportProgramError() {
    const ProgramError error = FragmentProgramContext::getError();
    if (error == ProgramError::NoError) {
        return;
    }
    log(WARNING, kSource, kDashedLine);
    const char* text = FragmentProgramContext::getErrorString(error);
    if (text != nullptr && *text != '\0') {
        log(WARNING, kSource, text);
    }
    log(WARNING, kSource, gReportingContext != nullptr ? gReportingContext->getLastListing() : std::string());
    log(WARNING, kSource, kDashedLine);
}

// A sampling name of the solver's own, as each buffer gets one.
GlTexture createTextureName() {
    GlTexture name = GlTexture::generate();
    glBindTexture(GL_TEXTURE_RECTANGLE, name.get());
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_WRAP_T, GL_CLAMP);
    return name;
}

// Halving of the size ratio that centres a larger source on the target.
int axisShift(int sourceSize, int targetSize, int inset) {
    const int span = targetSize - 2 * inset;
    if (span <= 0) {
        return 0;
    }
    return ((sourceSize - 2 * inset) / span - 1) / 2;
}

} // namespace

FluidSimulation::FluidSimulation(int width, int height) : width(width), height(height) {
    programContext = std::make_unique<FragmentProgramContext>();
    gReportingContext = programContext.get();
    FragmentProgramContext::setErrorCallback(reportProgramError);
    if (!FragmentProgramContext::isProfileSupported(kProfile)) {
        log(ERROR, kSource, "Fragment programming extensions (GL_NV_fragment_program) not supported");
        return;
    }
    // Whatever fails, the passes must not run on what was left: one ERROR,
    // nothing kept, and the simulation answers as if unsupported.
    if (!loadPrograms() || !createBuffers()) {
        teardown();
        return;
    }
    available = true;
}

FluidSimulation::~FluidSimulation() {
    teardown();
    if (gReportingContext == programContext.get()) {
        gReportingContext = nullptr;
        FragmentProgramContext::setErrorCallback(nullptr);
    }
}

void FluidSimulation::teardown() {
    const bool built = available || buffers[0] != nullptr;
    available = false;
    for (auto& buffer : buffers) {
        buffer.reset();
    }
    for (auto& program : programs) {
        program.reset();
    }
    for (auto& texture : textures) {
        texture.reset();
    }
    if (built) {
        PBuffer::makeWindowCurrent();
    }
}

std::unique_ptr<FragmentProgram> FluidSimulation::loadProgram(const char* fileName) {
    log(DEBUG, kSource, std::string("compiling fragment program ") + fileName);
    const std::string path = resolvePath(fileName);
    // A missing file is this simulation's one error, not also the reader's.
    struct stat info {};
    const std::unique_ptr<char[]> text = statFile(path.c_str(), &info) ? readFile(path.c_str()) : nullptr;
    if (!text) {
        log(ERROR, kSource, std::string("Unable to load ") + fileName);
        return nullptr;
    }
    std::unique_ptr<FragmentProgram> program = programContext->createProgram(text.get(), kProfile);
    if (!program) {
        log(ERROR, kSource, std::string("Unable to compile ") + fileName);
    }
    return program;
}

bool FluidSimulation::loadPrograms() {
    struct Source {
        Program program;
        const char* fileName;
    };
    static constexpr Source kSources[] = {{Bounds, "cg/bounds.cg"},       {LinsolveDUV, "cg/linsolveDUV.cg"},
                                          {LinsolveU, "cg/linsolveU.cg"}, {Div, "cg/div.cg"},
                                          {Undiv, "cg/undiv.cg"},         {AdvectUV, "cg/advectUV.cg"},
                                          {AdvectD, "cg/advectD.cg"},     {Clear, "cg/clear.cg"},
                                          {Colcopy, "cg/colcopy.cg"},     {Signedcol, "cg/signedcol.cg"},
                                          {Texcopy, "cg/texcopy.cg"},     {Sum, "cg/sum.cg"},
                                          {DebugDisplay, "cg/debug.cg"},  {DebugWindow, "cg/debug.cg"}};
    for (const Source& source : kSources) {
        programs[source.program] = loadProgram(source.fileName);
        if (!programs[source.program]) {
            return false;
        }
        FragmentProgram& program = *programs[source.program];
        switch (source.program) {
        case LinsolveDUV:
            diffuseA = program.getNamedParameter("a");
            diffuseC = program.getNamedParameter("c");
            break;
        case LinsolveU:
            pressureA = program.getNamedParameter("a");
            pressureC = program.getNamedParameter("c");
            break;
        case Div:
            divH = program.getNamedParameter("h");
            break;
        case Undiv:
            undivH = program.getNamedParameter("h");
            break;
        case AdvectUV:
            advectVelocity.fetch(program);
            break;
        case AdvectD:
            advectDensity.fetch(program);
            break;
        default:
            break;
        }
    }
    return true;
}

void FluidSimulation::AdvectParameters::fetch(FragmentProgram& program) {
    w = program.getNamedParameter("w");
    h = program.getNamedParameter("h");
    dt = program.getNamedParameter("dt");
}

void FluidSimulation::AdvectParameters::set(int width, int height, float timeStep) {
    w.set(static_cast<float>(width));
    h.set(static_cast<float>(height));
    dt.set(width * timeStep);
}

bool FluidSimulation::reportBufferFailure() {
    log(ERROR, kSource,
        "Unable to create a " + toString(width + 2) + " x " + toString(height + 2) + " fluid buffer");
    return false;
}

bool FluidSimulation::createBuffer(int index, const char* mode, bool sharedContext) {
    buffers[index] = std::make_unique<PBuffer>(mode);
    if (!buffers[index]->initialize(width + 2, height + 2, sharedContext, false)) {
        return reportBufferFailure();
    }
    buffers[index]->makeCurrent();
    return true;
}

void FluidSimulation::setPassState() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, kEyeDistance);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
}

bool FluidSimulation::createPassContext(int index, const char* mode, float clearAlpha,
                                        std::initializer_list<Program> toLoad) {
    if (!createBuffer(index, mode, false)) {
        return false;
    }
    glClearColor(0.0f, 0.0f, 0.0f, clearAlpha);
    glClear(GL_COLOR_BUFFER_BIT);
    setPassState();
    for (Program p : toLoad) {
        programs[p]->load();
    }
    FragmentProgramContext::enableProfile(kProfile);
    return true;
}

bool FluidSimulation::createBuffers() {
    if (width < 1 || height < 1) {
        return reportBufferFailure();
    }
    // Buffer 0 has a context of its own; 1 to 4 render with it, so one pass
    // state and one set of loaded programs serve all five.
    if (!createPassContext(0, kFieldMode, 0.0f,
                           {Colcopy, Signedcol, Texcopy, Sum, Bounds, LinsolveDUV, LinsolveU, Div, Undiv,
                            AdvectUV, AdvectD, Clear})) {
        return false;
    }
    textures[0] = createTextureName();
    for (int index = 1; index <= 4; ++index) {
        if (!createBuffer(index, kFieldMode, true)) {
            return false;
        }
        glClear(GL_COLOR_BUFFER_BIT);
        textures[index] = createTextureName();
    }
    if (!createPassContext(kDisplay, kDisplayMode, 1.0f, {DebugDisplay})) {
        return false;
    }

    markBoundary();

    PBuffer::makeWindowCurrent();
    textures[kDisplay] = createTextureName();
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    programs[DebugWindow]->load();
    programs[DebugWindow]->bind();
    return true;
}

void FluidSimulation::markBoundary() {
    buffers[0]->makeCurrent();
    setPassState();
    programs[Colcopy]->bind();
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    // Through the centres of the outermost cells.
    const float hx = 0.5f / (width + 2);
    const float hy = 0.5f / (height + 2);
    const float corners[4][2] = {{hx, hy}, {1.0f - hx, hy}, {1.0f - hx, 1.0f - hy}, {hx, 1.0f - hy}};
    glBegin(GL_LINE_STRIP);
    for (int corner = 0; corner <= 4; ++corner) {
        glVertex2fv(corners[corner % 4]);
    }
    glEnd();
    // Which end pixels a line covers is the driver's choice (llvmpipe skips
    // one corner): the corners get a point each.
    glBegin(GL_POINTS);
    for (const auto& corner : corners) {
        glVertex2fv(corner);
    }
    glEnd();
    glColor4f(2.0f, 1.0f, 1.0f, 0.0f);
}

FluidSimulation::PassQuad FluidSimulation::passQuad(int targetWidth, int targetHeight, int sourceWidth,
                                                    int sourceHeight, int inset, int gridWidth,
                                                    int gridHeight) {
    const float b = static_cast<float>(inset);
    const float sx = 1.0f / (gridWidth + 2);
    const float sy = 1.0f / (gridHeight + 2);
    const float shiftX = static_cast<float>(axisShift(sourceWidth, targetWidth, inset));
    const float shiftY = static_cast<float>(axisShift(sourceHeight, targetHeight, inset));
    const float left = b - shiftX;
    const float right = sourceWidth - b - shiftX;
    const float bottom = b - shiftY;
    const float top = sourceHeight - b - shiftY;
    const float x0 = b * sx;
    const float x1 = (targetWidth - b) * sx;
    const float y0 = b * sy;
    const float y1 = (targetHeight - b) * sy;
    return PassQuad{{{left, bottom}, {left, top}, {right, top}, {right, bottom}},
                    {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}}};
}

void FluidSimulation::runPass(int target, Program program, int source, int second, int inset) {
    buffers[target]->makeCurrent();
    programs[program]->bind();
    glBindTexture(GL_TEXTURE_RECTANGLE, textures[source].get());
    buffers[source]->bind();
    if (second != kNoSecond) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_RECTANGLE, textures[second].get());
        buffers[second]->bind();
        glActiveTexture(GL_TEXTURE0);
    }
    const PBuffer& to = *buffers[target];
    const PBuffer& from = *buffers[source];
    const PassQuad quad =
        passQuad(to.getWidth(), to.getHeight(), from.getWidth(), from.getHeight(), inset, width, height);
    glBegin(GL_QUADS);
    for (int corner = 0; corner < 4; ++corner) {
        glTexCoord2fv(quad.texel[corner]);
        glVertex2fv(quad.vertex[corner]);
    }
    glEnd();
    buffers[source]->release();
    if (second != kNoSecond) {
        buffers[second]->release();
    }
}

void FluidSimulation::project() {
    divH.set(kCellSpacing);
    runPass(2, Div, 1, kNoSecond, 1);
    runPass(3, Bounds, 2, kNoSecond, 0);
    runPass(0, Clear, 3, kNoSecond, 0);
    pressureA.set(kPressureA);
    pressureC.set(kPressureC);
    for (int i = 0; i < kPressureIterations; ++i) {
        runPass(2, LinsolveU, 3, 0, 1);
        runPass(0, Bounds, 2, kNoSecond, 0);
    }
    undivH.set(kCellSpacing);
    runPass(2, Undiv, 1, 0, 1);
    runPass(1, Bounds, 2, kNoSecond, 0);
}

void FluidSimulation::step(double) {
    if (!available) {
        return;
    }
    // The sources' drawing may have left another unit active in buffer 0's context.
    buffers[1]->makeCurrent();
    glActiveTexture(GL_TEXTURE0);

    runPass(1, Sum, 0, 4, 1);

    const float a = kTimeStep * diffusion * width * height;
    diffuseA.set(a);
    diffuseC.set(1.0f / (4.0f * a + 1.0f));
    for (int i = 0; i < kDiffusionIterations; ++i) {
        runPass(2, LinsolveDUV, 1, 4, 1);
        runPass(4, Bounds, 2, kNoSecond, 0);
    }
    runPass(1, Texcopy, 4, kNoSecond, 0);

    project();

    advectVelocity.set(width, height, kTimeStep);
    runPass(0, AdvectUV, 1, kNoSecond, 1);
    runPass(1, Bounds, 0, kNoSecond, 0);

    project();

    advectDensity.set(width, height, kTimeStep);
    runPass(0, AdvectD, 1, kNoSecond, 1);

    runPass(kDisplay, DebugDisplay, 0, kNoSecond, 0);

    buffers[4]->makeCurrent();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    PBuffer::makeWindowCurrent();
}

void FluidSimulation::beginSources() {
    if (!available) {
        return;
    }
    buffers[4]->makeCurrent();
    programs[Signedcol]->bind();
}

void FluidSimulation::endSources() {
    if (!available) {
        return;
    }
    PBuffer::makeWindowCurrent();
}

void FluidSimulation::bindResult() {
    if (!available) {
        return;
    }
    glBindTexture(GL_TEXTURE_RECTANGLE, textures[kDisplay].get());
    buffers[kDisplay]->bind();
}

void FluidSimulation::releaseResult() {
    if (!available) {
        return;
    }
    buffers[kDisplay]->release();
}

void FluidSimulation::readState(float* out) {
    read(0, 1, 1, width, height, out);
}

void FluidSimulation::readBuffer(int index, float* out) {
    if (index >= 0 && index <= 4) {
        read(index, 0, 0, width + 2, height + 2, out);
    }
}

void FluidSimulation::read(int index, int x, int y, int w, int h, float* out) {
    if (!available || out == nullptr) {
        return;
    }
    buffers[index]->makeCurrent();
    glReadPixels(x, y, w, h, GL_RGBA, GL_FLOAT, out);
    PBuffer::makeWindowCurrent();
}
