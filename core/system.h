#pragma once

#include "base/log.h"
#include "graph/connection.h"
#include "graph/windowsize.h"

#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class EventConsumer;
class InputEvent;
class Plug;

// Process-wide services: command line, clock, window and main loop, the input
// queue with its consumers, and the log.
class System {
public:
    // The log's own channel (base/log.h); System only forwards.
    using ReportChannel = Log::ReportChannel;
    // Seconds on a monotonic clock with an arbitrary zero; null restores the
    // steady clock.
    using TimeSource = std::function<double()>;

    static System* instance();
    // The instance if one exists, without creating it.
    static System* existing();

    System(const System&) = delete;
    System& operator=(const System&) = delete;
    ~System();

    // Replaces the stored command line (a copy is kept) and re-reads the
    // settings taken from it.
    void setArguments(int argc, const char* const* argv);
    const char* getArgument(const char* name) const;
    bool isFullscreen() const { return fullscreen; }
    // Switches the open window between the full screen and a 1024 x 768
    // window at once; before the window opens, it decides how it opens.
    // False when the screen is in game mode, whose window cannot become an
    // ordinary one without losing the OpenGL context: the next start opens
    // a window then.
    bool setFullscreen(bool flag);

    // Creates the window and GL context and registers the GLUT handlers.
    bool init();
    // Enters the GLUT main loop; does not return.
    [[noreturn]] void run();
    // Tears the game down and ends the process with exit code 0.
    [[noreturn]] void quit();

    double getTime() const;
    void setTimeSource(TimeSource source);
    // At most this many frames a second (0: as many as the renderer makes):
    // a frame early waits, which leaves the processor to others.
    void setFrameCap(int framesPerSecond) { frameCap = framesPerSecond; }

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    void reshape(int newWidth, int newHeight);

    void log(int type, const char* source, const char* message);
    ReportChannel setReportChannel(ReportChannel channel);

    // Input queue and dispatch.
    void queueEvent(const InputEvent& e);
    // modifiers: the KeyModifier bits held with the key.
    void keyDown(int key, int modifiers = 0);
    void keyUp(int key, int modifiers = 0);
    void motion(int x, int y);
    void pointerLeft();
    void processEvents();
    void setEventConsumers(const std::list<EventConsumer*>& newList);
    bool removeEventConsumer(EventConsumer* c);
    const std::list<EventConsumer*>& getEventConsumers() const { return consumers; }

    // One frame: dispatch input, draw the render graph.
    void display();

    // Plug connections, kept by identifier in the graph's registry
    // (PlugConnections). Neither plug is told.
    void connect(int id, const std::string& name, Plug* a, Plug* b);
    void disconnect(int id);
    Connection* findConnection(int id);

private:
    System();
    bool setup();
    const InputEvent* findLike(const InputEvent& e) const;
    void dispatch(InputEvent& e);
    void openWindow();
    bool checkCapabilities();

    static constexpr int kDefaultWidth = WindowSize::kDefaultWidth;
    static constexpr int kDefaultHeight = WindowSize::kDefaultHeight;

    bool fullscreen = true;
    bool windowOpen = false;
    bool fullscreenPending = false;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    std::vector<std::string> arguments;
    // glutInit gets a copy of its own, which it may rearrange.
    std::vector<std::string> glutArguments;
    std::vector<char*> glutArgumentPointers;
    TimeSource timeSource;
    double startTime = 0.0;
    double lastFrameTime = -1.0;
    int frameCap = 0;

    std::set<EventConsumer*> lastConsumerSet;
    std::list<EventConsumer*> consumers;
    std::set<EventConsumer*> newConsumerSet;
    // Newest at the front, taken from the back.
    std::deque<std::unique_ptr<InputEvent>> eventQueue;
    // Start events of keys still held, newest at the front.
    std::list<std::unique_ptr<InputEvent>> pressedEvents;
    double lastMouseX = -1.0;
    double lastMouseY = -1.0;
    double lastDispatchTime = 0.0;
    std::list<EventConsumer*>::iterator dispatchPosition;
};
