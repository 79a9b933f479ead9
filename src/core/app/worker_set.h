#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string_view>

#include "core/platform/worker.h"

namespace korvane::app {

// The fifteen long-lived workers of the main window, in their start order.
enum class WorkerSlot : int {
    KeyboardConnection,
    MouseConnection,
    MousePadConnection,
    MouseConsumerListener,
    KeyboardConsumerHolder,
    KeyboardEffect,
    MouseEffect,
    MousePadEffect,
    SyncEffect,
    KeyboardLightLink,
    KeyboardKeyLink,
    MouseLightLink,
    MouseKeyLink,
    MousePadLightLink,
    VersionReadback,
};

inline constexpr int kWorkerCount = 15;

struct WorkerEntry {
    WorkerSlot slot;
    std::string_view name;
    std::string_view endLine;  // debug line written when the worker ends; empty: none
    std::string_view thread;   // the thread's name as `top -H` shows it (at most 15 bytes)
};

inline constexpr std::array<WorkerEntry, kWorkerCount> kWorkerTable{{
    {WorkerSlot::KeyboardConnection, "keyboard connection", "键盘设备侦测线程设定退出",
     "kv-kb-conn"},
    {WorkerSlot::MouseConnection, "mouse connection", "鼠标设备侦测线程设定退出", "kv-ms-conn"},
    {WorkerSlot::MousePadConnection, "mouse-pad connection", "鼠标垫设备侦测线程设定退出",
     "kv-mp-conn"},
    {WorkerSlot::MouseConsumerListener, "mouse consumer listener", "鼠标同步线程设定测试退出",
     "kv-ms-listen"},
    {WorkerSlot::KeyboardConsumerHolder, "keyboard consumer holder", "键盘同步线程设定退出",
     "kv-kb-hold"},
    {WorkerSlot::KeyboardEffect, "keyboard lighting", "键盘灯光线程设定退出", "kv-kb-fx"},
    {WorkerSlot::MouseEffect, "mouse lighting", "鼠标灯光线程设定退出", "kv-ms-fx"},
    {WorkerSlot::MousePadEffect, "mouse-pad lighting", "鼠标垫灯光线程设定退出", "kv-mp-fx"},
    {WorkerSlot::SyncEffect, "synchronised lighting", "同步灯光线程设定退出", "kv-sync-fx"},
    {WorkerSlot::KeyboardLightLink, "keyboard light-profile link", "键盘灯光进程侦测线程设定退出",
     "kv-kb-light-lnk"},
    {WorkerSlot::KeyboardKeyLink, "keyboard key-profile link", "键盘按键进程侦测线程设定退出",
     "kv-kb-key-lnk"},
    {WorkerSlot::MouseLightLink, "mouse light-profile link", "鼠标灯光进程侦测线程设定退出",
     "kv-ms-light-lnk"},
    {WorkerSlot::MouseKeyLink, "mouse key-profile link", "鼠标按键进程线程设定退出",
     "kv-ms-key-lnk"},
    {WorkerSlot::MousePadLightLink, "mouse-pad light-profile link",
     "鼠标垫灯光进程侦测线程设定退出", "kv-mp-light-lnk"},
    {WorkerSlot::VersionReadback, "version readback", "", "kv-version"},
}};

// Holds the bodies the features give their slots, starts them once in order and stops
// them at exit. A slot that no feature filled is not started.
class WorkerSet {
  public:
    using Body = platform::Worker::Body;

    WorkerSet();
    ~WorkerSet();

    void assign(WorkerSlot slot, Body body);
    // Starts the filled slots in order; betweenNineAndTen runs after the ninth worker
    // (the main window's one-second timer starts there).
    void startAll(const std::function<void()>& betweenNineAndTen);
    bool started() const { return started_; }
    bool running(WorkerSlot slot) const;
    platform::StopEvent& stopEvent(WorkerSlot slot);

    // The exit sequence: every stop event is signalled in start order, then onSignalled runs
    // (it cuts the workers' device exchanges short); then waits of at most 1000 ms each for
    // all workers but the version readback (it may sit in a network call), one debug line
    // per wait, until they have ended or kStopBudget is spent. Workers still running then
    // are abandoned, and so is the version readback when it has not ended kReadbackGrace
    // after the others (within the budget). Nothing here waits for the main thread.
    void stopAll(const std::function<void()>& onSignalled = {});
    // Whether stopAll had to abandon a worker; its objects must then outlive it.
    bool anyAbandoned() const;

    // Keeps the whole exit under two seconds whatever a device or the network does.
    static constexpr std::chrono::milliseconds kStopBudget{1500};
    static constexpr std::chrono::milliseconds kStopRound{1000};
    static constexpr std::chrono::milliseconds kReadbackGrace{200};

  private:
    std::array<std::unique_ptr<platform::Worker>, kWorkerCount> workers_;
    std::array<Body, kWorkerCount> bodies_;
    bool started_ = false;
};

}  // namespace korvane::app
