// Serves a ControllerModel on a tty: a pseudo-terminal pair it opens itself (the slave
// path is what a client opens) or an existing device. Runs on its own thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/controller_model.h"

namespace sim {

class PtyServer {
  public:
    // Sees every request frame taken in before a hang-up, with its order word and the
    // model's reply, on the serving thread under the model's lock. It may reshape the reply
    // (other bytes, none, a delay, its bytes spaced out) or hang the model up: faults beyond
    // those the model knows, for tests.
    using ReplyHook =
        std::function<void(int order, const uint8_t* frame, Reply& reply, ControllerModel& model)>;

    PtyServer(Faults faults = {}, long baud = 0);
    ~PtyServer();

    // Opens a pty pair and starts serving; returns the slave path, "" on failure.
    std::string startPty();
    // Serves on an existing tty device; false on failure.
    bool startDevice(const std::string& path);
    void stop();
    // Prints "frame ORDER WORD0" on stdout for every request frame taken in.
    void setFrameLog(bool on) { logFrames_ = on; }

    const std::string& slavePath() const { return slavePath_; }
    // The served model; only while not serving (before start or after stop).
    ControllerModel& model() { return model_; }
    // A copy of the model taken under the server's lock; safe while serving.
    ControllerModel modelSnapshot() const;
    int framesReceived() const { return framesReceived_; }
    // Safe while serving; an empty hook leaves the model's replies as they are.
    void setReplyHook(ReplyHook hook);
    // Requests taken in whose reply has not all gone out yet.
    int repliesOwed() const { return repliesOwed_; }
    // True once the line served has been closed (after a hang-up, or by stop).
    bool lineClosed() const { return lineClosed_; }

  private:
    void serve();
    bool startServing(int fd);
    void closeLine();
    bool replyPending() const;  // reply bytes written but not yet taken by the other end

    mutable std::mutex modelMutex_;  // the serving thread holds it while the model answers
    ControllerModel model_;
    long baud_;
    int fd_ = -1;
    int slaveKeepAlive_ = -1;  // keeps the pty alive between client opens
    std::string slavePath_;
    std::atomic<bool> running_{false};
    bool logFrames_ = false;
    std::atomic<int> framesReceived_{0};
    std::atomic<int> repliesOwed_{0};
    std::atomic<bool> lineClosed_{false};
    ReplyHook hook_;  // under modelMutex_
    std::thread thread_;
};

}  // namespace sim
