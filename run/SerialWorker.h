#pragma once
// Runs jobs one at a time, each on a thread of its own. A new job's thread first waits
// for the previous job's thread to end, so the caller never blocks: a stopped worker
// may still be sending to the user-interface thread, which must stay free to answer.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace orodorev {

class SerialWorker {
 public:
  SerialWorker() = default;
  ~SerialWorker();
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  // May be called from a running job.
  void start(std::function<void()> job);

  // Waits until no job runs, including jobs that running jobs start. Never from a job.
  void join();

 private:
  std::mutex mutex_;
  std::condition_variable idle_;
  int running_ = 0;
  // Each thread joins its predecessor, so only the latest is left to join.
  std::thread last_;
};

}  // namespace orodorev
