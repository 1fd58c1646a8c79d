// What a clean tells whoever shows it: that it begins, how far it has come,
// what it released, and that it has ended. The main window shows a progress
// row and the report line (WindowCleanProgress); a clean started from the
// command line with no copy running has nothing to show and writes the
// support trace (CleanWithoutWindow).
#pragma once
#include <cstdint>

namespace freeing {

enum class CleanKind { Smart, Deep };

class CleanProgress {
public:
    virtual ~CleanProgress() = default;

    // A run begins, before its first pump: a run started in that pump nests
    // in this one. Whatever starts a clean is unavailable until it ends.
    virtual void Begin() {}
    // The progress shows from 0 to `max`.
    virtual void ShowProgress(int /*max*/) {}
    // The progress reached `position`.
    virtual void Step(int /*position*/) {}
    // The gain in whole megabytes, once the run has measured it.
    virtual void Report(std::int32_t /*released*/) {}
    // The run has ended, after its report: with one pump, whatever it
    // changed is put back.
    virtual void End() {}
    // The run stopped early (the program ends, or an error): put back as it
    // was, without pumping.
    virtual void Abandon() {}
};

// One run's hold on a sink: Begin now, Abandon when the run is left without
// End (an exception, or the program ending).
class CleanScope {
public:
    explicit CleanScope(CleanProgress& progress) : progress_(progress) { progress_.Begin(); }
    ~CleanScope() {
        if (!ended_) progress_.Abandon();
    }
    CleanScope(const CleanScope&) = delete;
    CleanScope& operator=(const CleanScope&) = delete;
    void End() {
        ended_ = true;
        progress_.End();
    }

private:
    CleanProgress& progress_;
    bool ended_ = false;
};

}  // namespace freeing
