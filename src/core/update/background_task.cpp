#include "core/update/background_task.h"

#include "core/platform/thread_name.h"

namespace korvane::update {

BackgroundTask::BackgroundTask(std::string name, Body body)
    : thread_([this, name = std::move(name), body = std::move(body)] {
          platform::nameThisThread(name);
          body(stop_);
          finished_ = true;
      }) {}

BackgroundTask::~BackgroundTask() {
    stop_.set();
    thread_.join();
}

}  // namespace korvane::update
