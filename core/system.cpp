#include "core/system.h"

#include "base/exceptions.h"
#include "base/log.h"
#include "base/tools.h"
#include "core/glutcallbacks.h"
#include "core/main.h"
#include "graph/framepace.h"
#include "graph/plugconnections.h"
#include "graph/windowsize.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"
#include "sound/soundsystem.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

namespace {

const char* const kSource = "system";
const char* const kGlobalSource = "global";
const char* const kWindowTitle = "Sporrik";
const char* const kGameModeFormat = "%ix%i:32@60";
constexpr int kWindowX = 100;
constexpr int kWindowY = 100;

std::unique_ptr<System> gInstance;

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

System* System::instance() {
    if (!gInstance) {
        gInstance.reset(new System());
        if (!gInstance->setup()) {
            gInstance.reset();
            throw InstantiationException("error initializing system");
        }
    }
    return gInstance.get();
}

System* System::existing() {
    return gInstance.get();
}

System::System() : timeSource(steadySeconds) {
    dispatchPosition = consumers.end();
    EventConsumer::setDestructionHandler([this](EventConsumer* c) { removeEventConsumer(c); });
}

System::~System() {
    EventConsumer::setDestructionHandler(nullptr);
}

bool System::setup() {
    fullscreen = getArgument("window") == nullptr;
    startTime = timeSource();
    return true;
}

void System::setArguments(int argc, const char* const* argv) {
    arguments.assign(argv, argv + argc);
    fullscreen = getArgument("window") == nullptr;
    const char* path = getArgument("path");
    setAssetDirectory(path != nullptr ? path : "");
}

const char* System::getArgument(const char* name) const {
    const size_t length = std::strlen(name);
    for (const std::string& argument : arguments) {
        if (argument.compare(0, length, name) != 0) {
            continue;
        }
        if (argument.size() == length) {
            return argument.c_str() + length;
        }
        if (argument[length] == '=') {
            return argument.c_str() + length + 1;
        }
    }
    return nullptr;
}

double System::getTime() const {
    return timeSource() - startTime;
}

void System::setTimeSource(TimeSource source) {
    timeSource = source ? std::move(source) : TimeSource(steadySeconds);
    startTime = timeSource();
    lastFrameTime = -1.0;
    lastDispatchTime = 0.0;
}

void System::reshape(int newWidth, int newHeight) {
    // A minimised window reports 0 x 0; later code divides by the size.
    width = std::max(newWidth, 1);
    height = std::max(newHeight, 1);
    WindowSize::set(width, height);
}

void System::log(int type, const char* source, const char* message) {
    Log::write(type, source, message);
}

System::ReportChannel System::setReportChannel(ReportChannel channel) {
    return Log::setReportChannel(std::move(channel));
}

bool System::init() {
    glutArguments = arguments;
    if (glutArguments.empty()) {
        glutArguments.push_back("sporrik");
    }
    glutArgumentPointers.clear();
    for (std::string& argument : glutArguments) {
        glutArgumentPointers.push_back(argument.data());
    }
    glutArgumentPointers.push_back(nullptr);
    int argc = static_cast<int>(glutArguments.size());
    glutInit(&argc, glutArgumentPointers.data());
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);

    openWindow();
    windowOpen = true;
    GlutCallbacks::registerAll();
    glutIgnoreKeyRepeat(1);
    glutSetCursor(GLUT_CURSOR_NONE);

    if (glewInit() != GLEW_OK) {
        ::log(ERROR, kSource, "Could not init GLEW");
    }
    if (!checkCapabilities()) {
        ::log(NOTE, kSource, "graphics system does not support minimum requirements");
    }
    return true;
}

void System::openWindow() {
    if (!fullscreen) {
        glutInitWindowSize(width, height);
        glutInitWindowPosition(kWindowX, kWindowY);
        glutCreateWindow(kWindowTitle);
        return;
    }
    char mode[64];
    std::snprintf(mode, sizeof mode, kGameModeFormat, width, height);
    ::log(NOTE, kSource, std::string("init fullscreenmode ") + mode);
    glutGameModeString(mode);
    glutEnterGameMode();
    // Many X servers (Xvfb among them) cannot switch modes; a window that
    // covers the screen serves as well.
    if (!glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) {
        ::log(NOTE, kSource, "game mode not available, opening a full-screen window");
        glutInitWindowSize(width, height);
        glutCreateWindow(kWindowTitle);
        glutFullScreen();
    }
}

bool System::setFullscreen(bool flag) {
    if (flag == fullscreen) {
        return true;
    }
    if (windowOpen && glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) {
        ::log(NOTE, kSource, "the screen is in game mode: the window opens at the next start");
        return false;
    }
    fullscreen = flag;
    if (!windowOpen) {
        return true;
    }
    if (flag) {
        // Without a window manager GLUT covers the screen by moving the
        // window back by its own position, which is right only from the
        // screen's corner: it goes there first, full screen a frame later.
        glutPositionWindow(0, 0);
        fullscreenPending = true;
    } else {
        fullscreenPending = false;
        glutLeaveFullScreen();
        glutReshapeWindow(kDefaultWidth, kDefaultHeight);
        glutPositionWindow(kWindowX, kWindowY);
    }
    return true;
}

bool System::checkCapabilities() {
    bool supported = true;
    if (!GLEW_VERSION_1_4) {
        ::log(DEBUG, kGlobalSource, "your driver does not support opengl 1.4");
        supported = false;
    }
    if (!GLEW_ARB_texture_env_combine) {
        ::log(DEBUG, kGlobalSource, "ARB_texture_env_combine not supported");
        supported = false;
    }
    if (glFogCoordPointer == nullptr) {
        ::log(DEBUG, kGlobalSource, "Fog Coordinates not supported");
    }
    // Offscreen float buffers take the place of pixel buffers with
    // render-to-texture: framebuffer objects and float textures.
    return supported && GLEW_ARB_vertex_program && GLEW_EXT_compiled_vertex_array &&
           GLEW_ARB_framebuffer_object && GLEW_ARB_texture_float;
}

void System::run() {
    glutMainLoop();
    // glutMainLoop only returns when told to leave, which this program never does.
    std::abort();
}

void System::quit() {
    Main::destroy();
    // After the package is gone: nobody holds a sample any more.
    SoundSystem::destroy();
    gInstance.reset();
    std::exit(EXIT_SUCCESS);
}

void System::display() {
    if (fullscreenPending) {
        fullscreenPending = false;
        glutFullScreen();
    }
    Main* main = Main::instance();
    double waited = 0.0;
    if (frameCap > 0 && lastFrameTime >= 0.0) {
        const double early = lastFrameTime + 1.0 / frameCap - getTime();
        if (early > 0.0) {
            std::this_thread::sleep_for(std::chrono::duration<double>(early));
            waited = early;
        }
    }
    FramePace::setWait(waited);
    const double now = getTime();
    const double elapsed = lastFrameTime < 0.0 ? 0.0 : now - lastFrameTime;
    lastFrameTime = now;
    processEvents();
    main->render(elapsed);
    glutSwapBuffers();
}

void System::queueEvent(const InputEvent& e) {
    eventQueue.push_front(e.clone());
}

const InputEvent* System::findLike(const InputEvent& e) const {
    for (const auto& queued : eventQueue) {
        if (queued->equals(e)) {
            return queued.get();
        }
    }
    for (const auto& pressed : pressedEvents) {
        if (pressed->equals(e)) {
            return pressed.get();
        }
    }
    return nullptr;
}

void System::keyDown(int key, int modifiers) {
    const InputEventKeyDown event(getTime(), key, modifiers);
    // The same key queued or held and not released since: operating-system
    // repeat. A press after a release is a new press, even within one frame:
    // a slow frame must not lose keys typed quickly.
    const InputEvent* last = findLike(event);
    if (last != nullptr && dynamic_cast<const InputEventStop*>(last) == nullptr) {
        return;
    }
    queueEvent(event);
}

void System::keyUp(int key, int modifiers) {
    const InputEvent* press = findLike(InputEventKey(0.0, key));
    if (press == nullptr) {
        return;
    }
    const double now = getTime();
    queueEvent(InputEventKeyUp(now, key, 0.0, now - press->getTime(), modifiers));
}

void System::motion(int x, int y) {
    lastMouseX = static_cast<double>(x) / width;
    lastMouseY = static_cast<double>(y) / height;
    queueEvent(InputEventMotion(getTime(), lastMouseX, lastMouseY, false));
}

void System::pointerLeft() {
    queueEvent(InputEventMotion(getTime(), lastMouseX, lastMouseY, true));
}

void System::processEvents() {
    const double now = getTime();
    const double elapsed = now - lastDispatchTime;
    while (!eventQueue.empty()) {
        std::unique_ptr<InputEvent> event = std::move(eventQueue.back());
        eventQueue.pop_back();
        auto* stop = dynamic_cast<InputEventStop*>(event.get());
        if (stop != nullptr) {
            stop->setPartialDuration(event->getTime() - lastDispatchTime);
        }
        if (dynamic_cast<InputEventStart*>(event.get()) != nullptr) {
            InputEvent& held = *event;
            pressedEvents.push_front(std::move(event));
            dispatch(held);
        } else if (stop != nullptr) {
            dispatch(*event);
            const auto press = std::find_if(pressedEvents.begin(), pressedEvents.end(),
                                            [&](const auto& pressed) { return pressed->equals(*event); });
            if (press != pressedEvents.end()) {
                pressedEvents.erase(press);
            }
        } else {
            dispatch(*event);
        }
    }
    for (const auto& pressed : pressedEvents) {
        if (pressed->getTime() > lastDispatchTime) {
            continue;
        }
        const auto* start = dynamic_cast<const InputEventStart*>(pressed.get());
        std::unique_ptr<InputEvent> middle = start->createMiddle(now, elapsed);
        dispatch(*middle);
    }
    lastDispatchTime = now;
}

void System::dispatch(InputEvent& e) {
    dispatchPosition = consumers.begin();
    while (dispatchPosition != consumers.end()) {
        EventConsumer* consumer = *dispatchPosition;
        ++dispatchPosition;
        consumer->handleEvent(e);
        if (e.isConsumed()) {
            break;
        }
    }
    dispatchPosition = consumers.end();
}

void System::setEventConsumers(const std::list<EventConsumer*>& newList) {
    newConsumerSet.clear();
    for (EventConsumer* consumer : newList) {
        if (!newConsumerSet.insert(consumer).second) {
            throw IllegalArgumentException("newList contains the same EventConsumers twice");
        }
    }
    for (auto it = consumers.begin(); it != consumers.end();) {
        EventConsumer* consumer = *it;
        ++it;
        if (newConsumerSet.count(consumer) == 0) {
            removeEventConsumer(consumer);
        }
    }
    auto position = consumers.begin();
    for (EventConsumer* consumer : newList) {
        if (position != consumers.end() && *position == consumer) {
            ++position;
            continue;
        }
        if (lastConsumerSet.count(consumer) != 0) {
            const auto old = std::find(position, consumers.end(), consumer);
            if (old != consumers.end()) {
                if (dispatchPosition == old) {
                    ++dispatchPosition;
                }
                consumers.erase(old);
            }
        }
        consumers.insert(position, consumer);
        lastConsumerSet.insert(consumer);
    }
    lastConsumerSet = newConsumerSet;
}

bool System::removeEventConsumer(EventConsumer* c) {
    if (lastConsumerSet.erase(c) == 0) {
        return false;
    }
    const auto it = std::find(consumers.begin(), consumers.end(), c);
    if (it == consumers.end()) {
        return false;
    }
    if (dispatchPosition == it) {
        ++dispatchPosition;
    }
    consumers.erase(it);
    return true;
}

void System::connect(int id, const std::string& name, Plug* a, Plug* b) {
    PlugConnections::instance().connect(id, name, a, b);
}

void System::disconnect(int id) {
    PlugConnections::instance().disconnect(id);
}

Connection* System::findConnection(int id) {
    return PlugConnections::instance().findConnection(id);
}
