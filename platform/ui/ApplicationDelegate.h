#pragma once

namespace ui {

class Application;

// What the application object tells the application's own code.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching(Application& application) = 0;
    virtual void applicationWillTerminate(Application&) { }
};

} // namespace ui
