#pragma once
// The application's delegate: keeps the window and answers the launch with
// success; the life-cycle callbacks change nothing.
// Thread rules: main thread.
#include "uikit/UIApplication.h"

class AppDelegate : public UIApplicationDelegate {
public:
    bool application(UIApplication&, const UILaunchOptions*) override { return true; }
};
