// TApplication: the program object. It runs the start-up hook chain, owns a
// hidden top-level application window (reached by broadcasts), creates the
// forms in order, runs the message loop and knows the command line.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include "widgets/Form.h"
#include "widgets/Program.h"

namespace widgets {

// Start-up hooks: Initialize calls InitProc; a hook that installs itself
// keeps the previous value and calls it in turn.
using TInitProc = void (*)();
extern TInitProc InitProc;

class TApplication : private TWindowBase {
public:
    // Runs the start-up hooks and creates the application window.
    void Initialize();
    using TWindowBase::Handle;
    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(const std::wstring& title);

    // Creates a form; the first one created becomes the main form.
    template <class F, class... Args>
    F* CreateForm(Args&&... args) {
        auto form = std::make_unique<F>(std::forward<Args>(args)...);
        F* raw = form.get();
        forms_.push_back(std::move(form));
        if (!mainForm_) mainForm_ = raw;
        return raw;
    }
    TTntForm* MainForm() const noexcept { return mainForm_; }

    // Shows the main form (unless it asked to start hidden) and runs the
    // message loop until Terminate.
    void Run();
    // Ends the message loop (and, through the quit it posts, any modal loop
    // under way); from now on no error report opens, and an open one closes.
    // Work that pumps messages (the cleans) looks at Terminated after each
    // pump and stops. OnTerminate runs first.
    void Terminate();
    // Run by each Terminate, before anything else (it must not throw): what
    // must go the moment the program begins to end, long before its windows.
    std::function<void()> OnTerminate;
    bool Terminated() const noexcept { return terminated_; }
    // Forgets a Terminate (tests that end the program in the middle of a
    // clean, then go on with other tests).
    void ResetTerminatedForTest() noexcept { terminated_ = false; }
    // Handles every pending message. A WM_QUIT taken here is put back and
    // the pumping stops, so the loop the caller returns to (the main loop or
    // a modal one) still ends.
    void ProcessMessages();
    // Brings the main form back from the minimised state.
    void Restore();
    // Whether the application counts as minimised: its main form is iconic.
    bool Iconic() const;

    std::wstring ExeName() const;
    int ParamCount() const;
    std::wstring ParamStr(int index) const;  // 0: the executable
    // Every parameter after the executable, in order.
    const std::vector<std::wstring>& Parameters() const { return params(); }
    // Replaces the command line the parameters are read from (tests).
    void SetCommandLineForTest(const std::wstring& line);

    // The main form asks to start hidden (only its tray icon shows).
    void SetShowMainFormOnRun(bool show) noexcept { showMainForm_ = show; }
    bool ShowMainFormOnRun() const noexcept { return showMainForm_; }
    // Ends the process after all forms are gone.
    void DestroyForms();

    // Messages the main loop (Run) has taken from the queue: each one is a
    // wake-up of the GUI thread. For tests and benchmarks of the resident
    // cost; with an observer set, it is told of each one before it is handled.
    unsigned long MessagesRetrieved() const noexcept { return messagesRetrieved_; }
    using MessageObserver = void (*)(const MSG& msg);
    void SetMessageObserverForTest(MessageObserver observer) noexcept { messageObserver_ = observer; }

private:
    // A close request (taskkill without /f, an installer) and the end of the
    // session end the program; the window is not destroyed on its own.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool handleMessage(MSG& msg);
    // The parameters, split once per command line: ParamStr(i) in a loop
    // over a line of thousands of parameters must not split it every time.
    const std::vector<std::wstring>& params() const;

    std::wstring title_;
    std::vector<std::unique_ptr<TTntForm>> forms_;
    TTntForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool showMainForm_ = true;
    std::wstring commandLineOverride_;
    bool hasOverride_ = false;
    mutable std::vector<std::wstring> params_;
    mutable bool paramsSplit_ = false;
    unsigned long messagesRetrieved_ = 0;
    MessageObserver messageObserver_ = nullptr;
};

extern TApplication Application;

}  // namespace widgets
