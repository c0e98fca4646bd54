#include "foundation/Shutdown.h"

#include "foundation/RunLoop.h"
#include "foundation/WorkerPool.h"

#include <mutex>

namespace Foundation {

void shutdown() {
    static std::once_flag once;
    std::call_once(once, [] {
        WorkerPool::stopShared();
        RunLoop::main().close();
    });
}

} // namespace Foundation
