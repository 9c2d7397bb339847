// Row workers: splits an image pass whose rows are independent over the machine's cores.
//
// The calling thread (the render job's own) takes part and is the only one that runs `afterRow`,
// so progress reports still go out from the job's thread alone. Rows are handed out in small
// blocks from a shared counter, so both threads finish together whatever the rows cost.
#pragma once

#include <cstdint>
#include <functional>

namespace glyphmill {

// Threads a render pass may use: the cores of the machine, at least 1, at most 8.
int32_t RenderWorkerCount();

// Runs rowFn(y) once for every y in [begin, end), on up to `workers` threads including the caller;
// after each row the caller itself ran, afterRow(y) is called on the caller's thread (may be empty).
// Returns when every row is done.
void ForEachRow(int32_t begin, int32_t end, int32_t workers, const std::function<void(int32_t)>& rowFn,
                const std::function<void(int32_t)>& afterRow);

// A pipeline over items 0..count-1: produce(worker, i) runs on up to `workers` threads (worker 0
// is the caller, which helps whenever the item it waits for is not taken yet), consume(i) runs on
// the calling thread in ascending order as soon as item i is produced. Producers run at most
// `window` items ahead of the consumer, which bounds what waits in memory. consume returning false
// ends the pipeline: nothing further is consumed and no new item is started. Returns false then,
// true when every item was consumed. `produce` must not throw.
bool ProduceInOrder(int32_t count, int32_t workers, int32_t window,
                    const std::function<void(int32_t worker, int32_t item)>& produce,
                    const std::function<bool(int32_t item)>& consume);

}  // namespace glyphmill
