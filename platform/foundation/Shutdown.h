#pragma once
// The end of the process, before static destruction: the worker threads are stopped
// and joined (each finishes the work in hand; queued work is dropped), the console text
// still queued on the main queue is written, and the rest of the main queue's work and
// its timers are dropped without running. Afterwards posted work is dropped and posted
// console text is written at once.
// Thread rules: the main thread, at the end of main(); idempotent. It is also registered
// with atexit when the main run loop or the workers are first used, for programs (and
// test runners) that do not call it.
namespace Foundation {

void shutdown();

} // namespace Foundation
