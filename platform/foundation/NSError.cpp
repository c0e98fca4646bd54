#include "foundation/NSError.h"

#include <cstring>

NSError NSError::posix(int code) { return {code, std::strerror(code)}; }

NSError NSError::posix(int code, std::string description) { return {code, std::move(description)}; }
