#pragma once
// The effect's 47 parameters in one group, bound to the kernel: building the tree pushes
// every default into the kernel, then every value set through the tree goes to the
// kernel and every value read comes from it.
// Thread rules: built on the thread that creates the unit; the tree is then used from
// any thread except the render thread.
#include "audiotoolbox/AUParameterTree.h"
#include "dsp/VYK_Wimbrax_ExtensionDSPKernelAdapter.h"

#include <memory>
#include <vector>

class VYK_Wimbrax_Extension_Parameters {
public:
    static constexpr AUParameterAddress parameterCount = vyk::param::kCount;

    explicit VYK_Wimbrax_Extension_Parameters(std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> kernelAdapter);

    const std::shared_ptr<AUParameterTree>& parameterTree() const { return parameterTree_; }

private:
    void createParameters();

    std::shared_ptr<AUParameterTree> parameterTree_ = std::make_shared<AUParameterTree>();
    std::vector<std::shared_ptr<AUParameterGroup>> groups_;
};
