#pragma once
// Scenes instead of storyboards: a scene builder, registered under a name by an
// explicit call, makes the controller and gives it a view builder that builds
// the views, connects the outlets and actions and checks the required outlets.
// Thread rules: main thread.
#include "uikit/UIViewController.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A scene that cannot be built: unknown, or an outlet left unconnected.
class UISceneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace UIStoryboard {
using Builder = std::function<std::shared_ptr<UIViewController>()>;
// Replaces a scene of the same name.
void registerScene(const std::string& name, Builder builder);
bool hasScene(const std::string& name);
// Throws UISceneError for an unknown scene or a builder that made no controller.
std::shared_ptr<UIViewController> instantiate(const std::string& name);
} // namespace UIStoryboard

// Collects the required outlets of one scene; check() throws UISceneError
// naming every one that is missing.
class UIOutletCheck {
public:
    explicit UIOutletCheck(std::string scene) : scene_(std::move(scene)) {}
    template <class T>
    UIOutletCheck& require(const char* name, const std::shared_ptr<T>& outlet) {
        if (!outlet) missing_.push_back(name);
        return *this;
    }
    void check() const;

private:
    std::string scene_;
    std::vector<std::string> missing_;
};
