#include "foundation/Console.h"
#include "foundation/DispatchQueue.h"
#include "foundation/RunLoop.h"
#include "foundation/Shutdown.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

void sinkToStderr() {
    Console::setSink([](std::string_view t) { ::write(STDERR_FILENO, t.data(), t.size()); });
}

// A program that never runs its main loop still gets its queued lines at exit, and
// nothing else that was queued runs.
TEST(Shutdown, ExitWritesQueuedLinesAndDropsOtherWork) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            sinkToStderr();
            RunLoop::main().performWrite("first line\n");
            DispatchQueue::main().async([] { Console::write("closure ran\n"); });
            RunLoop::main().performWrite("second line\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), AllOf(HasSubstr("first line\nsecond line\n"), Not(HasSubstr("closure ran"))));
}

TEST(Shutdown, AfterShutdownLinesAreWrittenAtOnceAndWorkIsDropped) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            sinkToStderr();
            DispatchQueue::global().async([] {}); // starts the workers
            DispatchQueue queue("com.example.late");
            Foundation::shutdown();
            Foundation::shutdown();
            RunLoop::main().performWrite("late line\n");
            DispatchQueue::main().async([] { Console::write("main closure ran\n"); });
            DispatchQueue::global().async([] { Console::write("global closure ran\n"); });
            queue.async([] { Console::write("serial closure ran\n"); });
            queue.sync([] { Console::write("serial sync ran\n"); }); // released, unrun
            RunLoop::main().runUntilIdle();
            Console::write("end\n");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), AllOf(HasSubstr("late line\nend\n"), Not(HasSubstr("ran"))));
}

} // namespace
