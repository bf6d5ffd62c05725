#include "core/main.h"

#include "base/exceptions.h"
#include "core/gamepackage.h"
#include "core/system.h"
#include "graph/rendergraph.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"
#include "resources/material.h"
#include "resources/texturemanager.h"
#include "ui/menu.h"

#include <GL/glew.h>

#include <algorithm>

namespace {
std::unique_ptr<Main> gInstance;
}

Main* Main::instance() {
    if (!gInstance) {
        throw InstantiationException("'abstract' singleton, no subclass registered");
    }
    return gInstance.get();
}

Main* Main::existing() {
    return gInstance.get();
}

void Main::registerInstance(std::unique_ptr<Main> m) {
    if (gInstance) {
        throw IllegalStateException("singleton already initialized");
    }
    m->init();
    gInstance = std::move(m);
}

void Main::destroy() {
    if (gInstance) {
        gInstance->shutdown();
        gInstance.reset();
    }
}

Main::Main() {
    System* system = System::instance();
    renderGraph = std::make_unique<RenderGraph>(0, 0, system->getWidth(), system->getHeight());
    renderGraph->setConsumerSink(
        [system](const std::list<EventConsumer*>& consumers) { system->setEventConsumers(consumers); });
}

Main::~Main() {
    // Shutdown order: the render graph, then the texture manager singleton.
    renderGraph.reset();
    TextureManager::destroy();
}

void Main::init() {
    renderGraph->addRoot(&cursor, kCursorPriority);
    renderGraph->addRoot(&menuKeys, kMenuKeysPriority);
}

void Main::MenuKeys::handleEvent(InputEvent& e) {
    const auto* key = dynamic_cast<const InputEventKeyUp*>(&e);
    if (key == nullptr || key->getKey() != KeyEscape || !application.menusVisible()) {
        return;
    }
    e.consume();
    const std::vector<Menu*>& stack = application.getMenuStack();
    if (stack.size() > 1) {
        application.closeMenu(stack.back());
    } else {
        application.leaveMenus();
    }
}

void Main::shutdown() {
    // A copy: closing a menu shrinks the stack.
    const std::vector<Menu*> menus = menuStack;
    for (Menu* menu : menus) {
        closeMenu(menu);
    }
    renderGraph->clearRoots();
}

void Main::setGamePackage(GamePackage* p) {
    gamePackage = p;
    showMenu(p->getMenu());
    setTable(p->getTable());
    gameLogic = p->getGameLogic();
    hud = p->getHud();
}

void Main::setTable(RenderNode* t) {
    if (table != nullptr) {
        renderGraph->removeRoot(table);
    }
    table = t;
    renderGraph->addRoot(t, kTablePriority);
}

bool Main::showMenu(Menu* m) {
    if (m == nullptr || std::find(menuStack.begin(), menuStack.end(), m) != menuStack.end()) {
        return false;
    }
    Menu* previous = menuStack.empty() ? nullptr : menuStack.back();
    menuStack.push_back(m);
    if (previous != nullptr) {
        if (menusShown) {
            renderGraph->removeRoot(previous);
            previous->hidden();
        }
        previous->deactivated(m);
    }
    renderGraph->addRoot(m, kMenuPriority);
    m->activated(previous);
    menusShown = true;
    m->shown();
    takeInputNow();
    return true;
}

void Main::takeInputNow() {
    // The screens just switched take the keys still queued in this frame: a
    // quick typist's next key must not reach a menu that has just gone.
    // Before the first frame there are none, and nothing is loaded yet.
    if (framesRendered) {
        renderGraph->update();
    }
}

bool Main::closeMenu(Menu* m) {
    if (menuStack.empty() || menuStack.back() != m) {
        const auto entry = std::find(menuStack.begin(), menuStack.end(), m);
        if (entry == menuStack.end()) {
            return false;
        }
        menuStack.erase(entry);
        return true;
    }
    menuStack.pop_back();
    Menu* next = menuStack.empty() ? nullptr : menuStack.back();
    m->deactivated(next);
    m->hidden();
    renderGraph->removeRoot(m);
    if (next != nullptr) {
        next->activated(m);
        if (menusShown) {
            next->shown();
            renderGraph->addRoot(next, kMenuPriority);
        }
    }
    takeInputNow();
    return true;
}

void Main::leaveMenus() {
    if (!menusShown) {
        return;
    }
    menusShown = false;
    if (!menuStack.empty()) {
        Menu* top = menuStack.back();
        renderGraph->removeRoot(top);
        top->hidden();
        renderGraph->addRoot(hud, kHudPriority);
    }
    takeInputNow();
}

void Main::returnToMenus() {
    if (menusShown) {
        return;
    }
    menusShown = true;
    if (!menuStack.empty()) {
        Menu* top = menuStack.back();
        top->shown();
        renderGraph->addRoot(top, kMenuPriority);
        renderGraph->removeRoot(hud);
    }
    takeInputNow();
}

void Main::quit() {
    System::instance()->quit();
}

bool Main::menusVisible() const {
    return !menuStack.empty() && menusShown;
}

bool Main::isTyping() const {
    return menusVisible() && menuStack.back()->isTyping();
}

void Main::render(double elapsed) {
    // Code outside materials may have changed the state since the last frame.
    Material::resetLastApplied();
    framesRendered = true;
    System* system = System::instance();
    renderGraph->update();
    renderGraph->setViewport(0, 0, system->getWidth(), system->getHeight());
    glViewport(0, 0, system->getWidth(), system->getHeight());
    // Whatever the scene leaves undrawn stays black.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderGraph->render(elapsed);
    glFlush();
    renderGraph->update();
    frameDone();
}
