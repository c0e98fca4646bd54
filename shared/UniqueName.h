#pragma once
// A name that is new on every call, in this run and any other. Any thread.
#include <optional>
#include <string>
#include <string_view>

// The process's globally unique string, after the prefix and a hyphen when a prefix
// is given (an empty one too).
std::string uniqueName(std::optional<std::string_view> prefix = std::nullopt);
