#include "uikit/UIStoryboard.h"

#include <map>

namespace {
std::map<std::string, UIStoryboard::Builder>& scenes() {
    static std::map<std::string, UIStoryboard::Builder> registry;
    return registry;
}
} // namespace

void UIStoryboard::registerScene(const std::string& name, Builder builder) { scenes()[name] = std::move(builder); }

bool UIStoryboard::hasScene(const std::string& name) { return scenes().count(name) != 0; }

std::shared_ptr<UIViewController> UIStoryboard::instantiate(const std::string& name) {
    const auto it = scenes().find(name);
    if (it == scenes().end() || !it->second) throw UISceneError("there is no scene named \"" + name + "\"");
    auto controller = it->second();
    if (!controller) throw UISceneError("the builder of the scene \"" + name + "\" made no view controller");
    return controller;
}

void UIOutletCheck::check() const {
    if (missing_.empty()) return;
    std::string names;
    for (const auto& m : missing_) names += (names.empty() ? "" : ", ") + m;
    throw UISceneError("scene \"" + scene_ + "\": required outlet" + (missing_.size() > 1 ? "s " : " ") + names +
                       (missing_.size() > 1 ? " are" : " is") + " not connected");
}
