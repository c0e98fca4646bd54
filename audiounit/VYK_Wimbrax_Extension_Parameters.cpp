#include "audiounit/VYK_Wimbrax_Extension_Parameters.h"

#include <charconv>

namespace {

constexpr AudioUnitParameterOptions kReadWrite =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;
constexpr AudioUnitParameterOptions kReadOnly = kAudioUnitParameterFlag_IsReadable;

} // namespace

VYK_Wimbrax_Extension_Parameters::VYK_Wimbrax_Extension_Parameters(
    std::shared_ptr<VYK_Wimbrax_ExtensionDSPKernelAdapter> kernelAdapter) {
    createParameters();
    // Before the provider is installed, value() still reads the defaults just set.
    for (const auto& parameter : parameterTree_->allParameters())
        kernelAdapter->setParameter(*parameter, parameter->value());
    parameterTree_->setImplementorValueObserver([kernelAdapter](const AUParameter& parameter, AUValue value) {
        kernelAdapter->setParameter(parameter, value);
    });
    parameterTree_->setImplementorValueProvider(
        [kernelAdapter](const AUParameter& parameter) { return kernelAdapter->valueForParameter(parameter); });
    parameterTree_->setImplementorStringFromValueCallback([](const AUParameter& parameter, const AUValue* value) {
        const AUValue v = value != nullptr ? *value : parameter.value();
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, v).ptr;
        return std::string(text, end);
    });
}

void VYK_Wimbrax_Extension_Parameters::createParameters() {
    std::vector<std::shared_ptr<AUParameterNode>> parameters;
    AUParameterAddress address = 0;
    for (const vyk::param::Metadata& row : vyk::param::kParameters) {
        auto parameter = AUParameterTree::createParameter(row.identifier, row.name, address++, row.min, row.max,
                                                          row.unit, std::nullopt, row.writable ? kReadWrite : kReadOnly,
                                                          std::nullopt, std::nullopt);
        parameter->setValue(row.defaultValue);
        parameters.push_back(std::move(parameter));
    }
    groups_.push_back(AUParameterTree::createGroup("kGlobalParameters", "VYK Wimbrax Global", std::move(parameters)));
    parameterTree_ = AUParameterTree::createTree({groups_.begin(), groups_.end()});
}
