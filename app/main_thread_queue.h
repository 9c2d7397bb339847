// MainThreadQueue: a small call queue for front ends without an event loop of their own (the
// command-line tool, the tests). Other threads post calls; the main thread runs them while it waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace glyphmill {

class MainThreadQueue {
 public:
  void post(std::function<void()> call) {
    {
      std::lock_guard<std::mutex> guard(mutex_);
      calls_.push_back(std::move(call));
    }
    ready_.notify_all();
  }

  // Runs queued calls until `done()` holds, waiting for more as needed. False when `limit` passed.
  template <typename Pred>
  bool runUntil(Pred done, std::chrono::milliseconds limit = std::chrono::minutes(10)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      std::function<void()> call;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_until(lock, deadline, [&] { return !calls_.empty(); })) return done();
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      call();
    }
    return true;
  }

  // Runs whatever is queued now.
  void runPending() {
    for (;;) {
      std::function<void()> call;
      {
        std::lock_guard<std::mutex> guard(mutex_);
        if (calls_.empty()) return;
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      call();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> calls_;
};

}  // namespace glyphmill
