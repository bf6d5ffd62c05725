#include "fluid/fluidsimulation.h"

#include "base/log.h"
#include "base/tools.h"
#include "fluid/pbuffer.h"
#include "fluid/rendercontext.h"
#include "resources/softwarerenderer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

const char* const kSource = "global";
const char* const kFieldMode = "float=16 alpha textureRECT";
const char* const kDisplayMode = "rgb textureRECT";
// The processor's path draws the sources with the fixed pipeline into full
// floats, so that a colour is taken in exactly as the card's path takes it;
// without float buffers into bytes.
const char* const kCpuSourceMode = "float=32 alpha";
const char* const kCpuByteSourceMode = "rgb alpha";
const char* const kPathVariable = "SPORRIK_FLUID";
const char* const kUnsupported = "Fragment programming extensions (GL_NV_fragment_program) not supported";
const char* const kRunsOnGpu = "fluid solver: fragment programs on the graphics card";
const char* const kRunsOnCpu = "fluid solver: the same passes on the processor";
constexpr int kChannels = 4;
// Green and blue bytes of an 8-bit source buffer are centred on this value:
// a velocity of exactly 0 where nothing is drawn, and where 0.5 is.
constexpr int kByteCentre = 128;
constexpr float kByteMax = 255.0f;
constexpr float kNeutralColour = 0.5f;
const char* const kDashedLine = "---------------------------------------------------";
constexpr ProgramProfile kProfile = ProgramProfile::Fp30;

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

// A source quad in buffer coordinates, in the colour it adds.
void drawQuad(float x, float y, float quadWidth, float quadHeight, const std::array<float, 4>& colour) {
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glBegin(GL_QUADS);
    glVertex2f(x, y);
    glVertex2f(x + quadWidth, y);
    glVertex2f(x + quadWidth, y + quadHeight);
    glVertex2f(x, y + quadHeight);
    glEnd();
}

} // namespace

FluidSimulation::FluidSimulation(int width, int height, Path path) : width(width), height(height) {
    programContext = std::make_unique<FragmentProgramContext>();
    gReportingContext = programContext.get();
    FragmentProgramContext::setErrorCallback(reportProgramError);
    const Path chosen = choosePath(path);
    if (chosen == Path::Automatic) {
        log(ERROR, kSource, kUnsupported);
        return;
    }
    log(NOTE, kSource, chosen == Path::Cpu ? kRunsOnCpu : kRunsOnGpu);
    // Whatever fails, the passes must not run on what was left: one ERROR,
    // nothing kept, and the simulation answers as if unsupported.
    if (!(chosen == Path::Cpu ? buildCpu() : buildGpu())) {
        teardown();
        return;
    }
    available = true;
}

// Automatic when neither path can run.
FluidSimulation::Path FluidSimulation::choosePath(Path requested) {
    if (!RenderContext::isReady()) {
        return Path::Automatic;
    }
    const bool programs = FragmentProgramContext::isProfileSupported(kProfile);
    if (requested == Path::Automatic) {
        const char* forced = std::getenv(kPathVariable);
        if (forced != nullptr && std::strcmp(forced, "cpu") == 0) {
            requested = Path::Cpu;
        } else if (forced != nullptr && std::strcmp(forced, "gpu") == 0) {
            requested = Path::Gpu;
        }
    }
    if (requested == Path::Automatic) {
        return programs && !isSoftwareRenderer() ? Path::Gpu : Path::Cpu;
    }
    return requested == Path::Gpu && !programs ? Path::Automatic : requested;
}

bool FluidSimulation::buildGpu() {
    return loadPrograms() && createBuffers();
}

bool FluidSimulation::buildCpu() {
    if (width < 1 || height < 1) {
        return reportBufferFailure();
    }
    floatSources = GLEW_ARB_texture_float;
    if (!createBuffer(kSources, floatSources ? kCpuSourceMode : kCpuByteSourceMode, false)) {
        return false;
    }
    // Cleared to a velocity of exactly 0 where nothing is drawn.
    const float neutral = floatSources ? kNeutralColour : kByteCentre / kByteMax;
    glClearColor(0.0f, neutral, neutral, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    setPassState();
    PBuffer::makeWindowCurrent();
    solver = std::make_unique<FluidSolver>(width, height);
    sourceColours.resize(static_cast<size_t>(width + 2) * (height + 2) * kChannels);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE, &previous);
    for (GlTexture* picture : {&textures[kDisplay], &spareDisplay}) {
        *picture = createTextureName();
        glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA8, width + 2, height + 2, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
    }
    glBindTexture(GL_TEXTURE_RECTANGLE, previous);
    uploadPicture();
    return true;
}

FluidSimulation::~FluidSimulation() {
    teardown();
    if (gReportingContext == programContext.get()) {
        gReportingContext = nullptr;
        FragmentProgramContext::setErrorCallback(nullptr);
    }
}

void FluidSimulation::teardown() {
    const bool built = available || buffers[0] != nullptr || buffers[kSources] != nullptr;
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
    spareDisplay.reset();
    solver.reset();
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
    static constexpr Source kFiles[] = {
        {FluidSolver::Bounds, "cg/bounds.cg"},       {FluidSolver::LinsolveDUV, "cg/linsolveDUV.cg"},
        {FluidSolver::LinsolveU, "cg/linsolveU.cg"}, {FluidSolver::Div, "cg/div.cg"},
        {FluidSolver::Undiv, "cg/undiv.cg"},         {FluidSolver::AdvectUV, "cg/advectUV.cg"},
        {FluidSolver::AdvectD, "cg/advectD.cg"},     {FluidSolver::Clear, "cg/clear.cg"},
        {FluidSolver::Colcopy, "cg/colcopy.cg"},     {FluidSolver::Signedcol, "cg/signedcol.cg"},
        {FluidSolver::Texcopy, "cg/texcopy.cg"},     {FluidSolver::Sum, "cg/sum.cg"},
        {FluidSolver::DebugDisplay, "cg/debug.cg"},  {FluidSolver::DebugWindow, "cg/debug.cg"}};
    for (const Source& source : kFiles) {
        programs[source.program] = loadProgram(source.fileName);
        if (!programs[source.program]) {
            return false;
        }
        FragmentProgram& program = *programs[source.program];
        switch (source.program) {
        case FluidSolver::LinsolveDUV:
            diffuseA = program.getNamedParameter("a");
            diffuseC = program.getNamedParameter("c");
            break;
        case FluidSolver::LinsolveU:
            pressureA = program.getNamedParameter("a");
            pressureC = program.getNamedParameter("c");
            break;
        case FluidSolver::Div:
            divH = program.getNamedParameter("h");
            break;
        case FluidSolver::Undiv:
            undivH = program.getNamedParameter("h");
            break;
        case FluidSolver::AdvectUV:
            advectVelocity.fetch(program);
            break;
        case FluidSolver::AdvectD:
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

void FluidSimulation::AdvectParameters::set(const FluidSolver::Parameters& p) {
    w.set(p.gridWidth);
    h.set(p.gridHeight);
    dt.set(p.advectDt);
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
                           {FluidSolver::Colcopy, FluidSolver::Signedcol, FluidSolver::Texcopy,
                            FluidSolver::Sum, FluidSolver::Bounds, FluidSolver::LinsolveDUV,
                            FluidSolver::LinsolveU, FluidSolver::Div, FluidSolver::Undiv,
                            FluidSolver::AdvectUV, FluidSolver::AdvectD, FluidSolver::Clear})) {
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
    if (!createPassContext(kDisplay, kDisplayMode, 1.0f, {FluidSolver::DebugDisplay})) {
        return false;
    }

    markBoundary();

    PBuffer::makeWindowCurrent();
    textures[kDisplay] = createTextureName();
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    programs[FluidSolver::DebugWindow]->load();
    programs[FluidSolver::DebugWindow]->bind();
    return true;
}

void FluidSimulation::markBoundary() {
    buffers[0]->makeCurrent();
    setPassState();
    programs[FluidSolver::Colcopy]->bind();
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

void FluidSimulation::runPass(const FluidSolver::Pass& pass) {
    const int target = pass.target;
    const int source = pass.source;
    const int second = pass.second;
    buffers[target]->makeCurrent();
    programs[pass.program]->bind();
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
        passQuad(to.getWidth(), to.getHeight(), from.getWidth(), from.getHeight(), pass.inset, width, height);
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

void FluidSimulation::setParameters() {
    const FluidSolver::Parameters p = FluidSolver::parameters(width, height, diffusion);
    diffuseA.set(p.diffuseA);
    diffuseC.set(p.diffuseC);
    pressureA.set(p.pressureA);
    pressureC.set(p.pressureC);
    divH.set(p.cellSpacing);
    undivH.set(p.cellSpacing);
    advectVelocity.set(p);
    advectDensity.set(p);
}

void FluidSimulation::step(double) {
    if (!available) {
        return;
    }
    if (solver) {
        stepCpu();
        return;
    }
    // The sources' drawing may have left another unit active in buffer 0's context.
    buffers[1]->makeCurrent();
    glActiveTexture(GL_TEXTURE0);
    setParameters();
    for (const FluidSolver::Pass& pass : FluidSolver::stepPasses()) {
        runPass(pass);
    }
    buffers[kSources]->makeCurrent();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    PBuffer::makeWindowCurrent();
}

void FluidSimulation::stepCpu() {
    if (sourcesDrawn) {
        takeSources();
        sourcesDrawn = false;
    }
    for (const CellSource& c : pendingSources) {
        solver->addSource(c.x, c.y, c.width, c.height, c.colour.data());
    }
    pendingSources.clear();
    solver->step();
    uploadPicture();
}

// One read of the source buffer, which is then cleared for the next step.
void FluidSimulation::takeSources() {
    buffers[kSources]->makeCurrent();
    const int w = width + 2;
    const int h = height + 2;
    if (floatSources) {
        glReadPixels(0, 0, w, h, GL_RGBA, GL_FLOAT, sourceColours.data());
    } else {
        sourceBytes.resize(sourceColours.size());
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, sourceBytes.data());
        for (size_t k = 0; k < sourceBytes.size(); ++k) {
            const bool velocity = k % kChannels == 1 || k % kChannels == 2;
            sourceColours[k] = velocity ? kNeutralColour + (sourceBytes[k] - kByteCentre) / kByteMax
                                        : sourceBytes[k] / kByteMax;
        }
    }
    glClear(GL_COLOR_BUFFER_BIT);
    PBuffer::makeWindowCurrent();
    solver->takeSources(sourceColours.data());
}

// Into the window's context, leaving its binding and pixel-store state as found.
void FluidSimulation::uploadPicture() {
    GLint previous = 0;
    GLint unpackBuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE, &previous);
    glGetIntegerv(GL_PIXEL_UNPACK_BUFFER_BINDING, &unpackBuffer);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kChannels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    // Into the picture the frame has not drawn with: a software renderer
    // would first finish everything drawn with the other.
    glBindTexture(GL_TEXTURE_RECTANGLE, spareDisplay.get());
    glTexSubImage2D(GL_TEXTURE_RECTANGLE, 0, 0, 0, width + 2, height + 2, GL_RGBA, GL_UNSIGNED_BYTE,
                    solver->getPicture().data());
    std::swap(textures[kDisplay], spareDisplay);
    glBindTexture(GL_TEXTURE_RECTANGLE, previous);
    glPopClientAttrib();
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpackBuffer);
}

void FluidSimulation::beginSources() {
    if (!available) {
        return;
    }
    buffers[kSources]->makeCurrent();
    if (solver) {
        // Quads drawn now cover what was added before them.
        const float cellWidth = 1.0f / static_cast<float>(width + 2);
        const float cellHeight = 1.0f / static_cast<float>(height + 2);
        for (const CellSource& c : pendingSources) {
            drawQuad(c.x * cellWidth, c.y * cellHeight, c.width * cellWidth, c.height * cellHeight, c.colour);
        }
        pendingSources.clear();
        sourcesDrawn = true;
    } else {
        programs[FluidSolver::Signedcol]->bind();
    }
}

void FluidSimulation::endSources() {
    if (!available) {
        return;
    }
    PBuffer::makeWindowCurrent();
}

void FluidSimulation::addSource(float x, float y, float quadWidth, float quadHeight,
                                const std::array<float, 4>& colour) {
    if (!available) {
        return;
    }
    if (solver && floatSources) {
        // A pixel is drawn when its centre lies inside, left and lower edges included.
        const auto firstCentre = [](float edge, int cells) {
            return static_cast<int>(std::ceil(static_cast<double>(edge) * cells - 0.5));
        };
        const int x0 = firstCentre(x, width + 2);
        const int y0 = firstCentre(y, height + 2);
        const int x1 = firstCentre(x + quadWidth, width + 2);
        const int y1 = firstCentre(y + quadHeight, height + 2);
        if (x1 > x0 && y1 > y0) {
            pendingSources.push_back({x0, y0, x1 - x0, y1 - y0, colour});
        }
        return;
    }
    beginSources();
    drawQuad(x, y, quadWidth, quadHeight, colour);
    endSources();
}

void FluidSimulation::bindResult() {
    if (!available) {
        return;
    }
    glBindTexture(GL_TEXTURE_RECTANGLE, textures[kDisplay].get());
    if (!solver) {
        buffers[kDisplay]->bind();
    }
}

bool FluidSimulation::isResultBlack() const {
    return available && solver && solver->isPictureBlack();
}

void FluidSimulation::releaseResult() {
    if (!available || solver) {
        return;
    }
    buffers[kDisplay]->release();
}

void FluidSimulation::readState(float* out) {
    if (available && out != nullptr && solver) {
        solver->readState(out);
        return;
    }
    read(0, 1, 1, width, height, out);
}

void FluidSimulation::readBuffer(int index, float* out) {
    if (index < 0 || index >= FluidSolver::kFieldCount) {
        return;
    }
    if (available && out != nullptr && solver) {
        solver->readGrid(index, out);
        return;
    }
    read(index, 0, 0, width + 2, height + 2, out);
}

void FluidSimulation::read(int index, int x, int y, int w, int h, float* out) {
    if (!available || out == nullptr) {
        return;
    }
    buffers[index]->makeCurrent();
    glReadPixels(x, y, w, h, GL_RGBA, GL_FLOAT, out);
    PBuffer::makeWindowCurrent();
}
