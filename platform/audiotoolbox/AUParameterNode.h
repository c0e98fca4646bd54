#pragma once
// A node of a parameter tree: a parameter or a group of nodes. Nodes are built before
// the tree is shared and never change their description afterwards.
#include <string>

class AUParameterNode {
public:
    virtual ~AUParameterNode() = default;
    const std::string& identifier() const { return identifier_; }
    const std::string& displayName() const { return displayName_; }

protected:
    AUParameterNode(std::string identifier, std::string displayName)
        : identifier_(std::move(identifier)), displayName_(std::move(displayName)) {}

private:
    std::string identifier_;
    std::string displayName_;
};
