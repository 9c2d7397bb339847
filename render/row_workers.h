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

// The same for work that needs one private object per thread (a FreeType face, say): rowFn(worker,
// y) with `worker` in [0, workers), 0 being the calling thread; one worker never runs two rows at
// once. No afterRow: the caller acts on the results when this returns.
void ForEachRowOnWorker(int32_t begin, int32_t end, int32_t workers,
                        const std::function<void(int32_t worker, int32_t row)>& rowFn);

}  // namespace glyphmill
