#include "run/SerialWorker.h"

namespace orodorev {

SerialWorker::~SerialWorker() { join(); }

void SerialWorker::start(std::function<void()> job) {
  std::lock_guard lock(mutex_);
  ++running_;
  std::thread previous = std::move(last_);
  last_ = std::thread([this, previous = std::move(previous), job = std::move(job)]() mutable {
    if (previous.joinable()) previous.join();
    job();
    std::lock_guard lock(mutex_);
    --running_;
    idle_.notify_all();
  });
}

void SerialWorker::join() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return running_ == 0; });
  std::thread last = std::move(last_);
  lock.unlock();
  if (last.joinable()) last.join();
}

}  // namespace orodorev
