#pragma once
// Parameter groups and the parameter tree a unit shows its hosts.
//
// Thread rules: a tree and its groups are built on one thread before they are shared
// and never change shape afterwards; then every member may be called from any thread
// except the render thread (see AUParameterObservers.h for the callbacks).
#include "audiotoolbox/AUParameter.h"
#include "audiotoolbox/AUParameterObservers.h"

#include <memory>
#include <unordered_map>
#include <vector>

class AUParameterGroup : public AUParameterNode {
public:
    AUParameterGroup(std::string identifier, std::string name, std::vector<std::shared_ptr<AUParameterNode>> children)
        : AUParameterNode(std::move(identifier), std::move(name)), children_(std::move(children)) {}

    const std::vector<std::shared_ptr<AUParameterNode>>& children() const { return children_; }
    // Every parameter below the group, nested groups included, depth first in order.
    std::vector<std::shared_ptr<AUParameter>> allParameters() const;

private:
    std::vector<std::shared_ptr<AUParameterNode>> children_;
};

class AUParameterTree : public AUParameterGroup {
public:
    // An empty tree.
    AUParameterTree() : AUParameterTree(std::vector<std::shared_ptr<AUParameterNode>>{}) {}
    explicit AUParameterTree(std::vector<std::shared_ptr<AUParameterNode>> children);

    static std::shared_ptr<AUParameter>
    createParameter(std::string identifier, std::string name, AUParameterAddress address, AUValue min, AUValue max,
                    AudioUnitParameterUnit unit, std::optional<std::string> unitName, AudioUnitParameterOptions flags,
                    std::optional<std::vector<std::string>> valueStrings,
                    std::optional<std::vector<AUParameterAddress>> dependentParameters);
    static std::shared_ptr<AUParameterGroup> createGroup(std::string identifier, std::string name,
                                                         std::vector<std::shared_ptr<AUParameterNode>> children);
    static std::shared_ptr<AUParameterTree> createTree(std::vector<std::shared_ptr<AUParameterNode>> children);

    // Null when no parameter has the address; the first in tree order when several do.
    std::shared_ptr<AUParameter> parameterWithAddress(AUParameterAddress address) const;

    void setImplementorValueObserver(AUImplementorValueObserver observer);
    void setImplementorValueProvider(AUImplementorValueProvider provider);
    void setImplementorStringFromValueCallback(AUImplementorStringFromValueCallback callback);

    // The observer hears (address, value) of every value set on a parameter of the tree.
    AUParameterObserverToken tokenByAddingParameterObserver(AUParameterObserver observer);
    void removeParameterObserver(AUParameterObserverToken token);

private:
    std::shared_ptr<AUParameterObservers> observers_;
    std::unordered_map<AUParameterAddress, std::shared_ptr<AUParameter>> byAddress_;
};
