// Bad input at run time: command lines, an error raised at every tick while
// its report is open, processes that end during the trimming walk, and a
// Deep Clean whose allocations fail early. The program must neither crash
// nor hang, and each outcome is the one its rules give.
#include <gtest/gtest.h>

#include <set>

#include "FreeingTestSupport.h"
#include "RobustnessTestSupport.h"
#include "freeing/DeepClean.h"
#include "freeing/WorkingSets.h"
#include "monitor/CpuHistory.h"
#include "platform/Seam.h"
#include "widgets/Errors.h"

using namespace robustness;

// ---- Command lines ----

class BadCommandLine : public ProgramRig {};

// Only the one parameter "/m" starts in the tray; anything else, however
// long, foreign or numerous, starts with the window shown. The creation step
// that reads the command line is run once per line on one main window.
TEST_F(BadCommandLine, OnlyASingleSlashMStartsInTheTray) {
    const std::wstring manyParameters = [] {
        std::wstring line = L"brimvale.exe";
        for (int i = 0; i < 10000; ++i) line += L" /m";
        return line;
    }();
    const struct {
        const char* name;
        std::wstring line;
        bool inTray;
    } cases[] = {
        {"empty: not even the program's name", L"", false},
        {"the program alone", L"brimvale.exe", false},
        {"/m", L"brimvale.exe /m", true},
        {"/m in quotes", L"brimvale.exe \"/m\"", true},
        {"/m and 30,000 trailing blanks and tabs", L"brimvale.exe /m" + std::wstring(15000, L' ') +
                                                       std::wstring(15000, L'\t'), true},
        {"one parameter of 32,000 characters", L"brimvale.exe " + std::wstring(32000, L'm'), false},
        {"/m after a quoted foreign program path",
         L"\"C:\\Program Files\\\x03A9\x03BC\x03AD\x03B3\x03B1 \x6F22\\brimvale.exe\" /m", true},
        {"a full-width solidus", L"brimvale.exe \xFF0Fm", false},
        {"a Cyrillic em", L"brimvale.exe /\x043C", false},
        {"/m with a combining accent", L"brimvale.exe /m\x0301", false},
        {"/m with a surrogate pair", L"brimvale.exe /m\xD83D\xDE00", false},
        {"10,000 parameters", manyParameters, false},
    };
    Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        widgets::Application.SetCommandLineForTest(c.line);
        widgets::Application.SetShowMainFormOnRun(true);
        widgets::Dispatch([this] { main_->FormCreate(); });
        EXPECT_EQ(!c.inTray, widgets::Application.ShowMainFormOnRun());
        EXPECT_TRUE(TickShowsFigures());
        EXPECT_TRUE(reports_.Messages().empty());
    }
}

// ---- The standard error report ----

namespace {

// A window whose timer raises an error at every tick, as a handler that
// fails each time would. The tick itself watches the real message boxes of
// this thread: it counts how many are open at once, notes each new one, and
// closes the open box after a few ticks inside it, as a user would.
class FailingTicker : public widgets::TTntForm {
public:
    FailingTicker() : TTntForm(L"FailingTicker", "TFailingTicker", widgets::FormOptions{}) {
        timer = Add<widgets::TTimer>(widgets::TimerArgs{.name = L"Timer_fail", .interval = 20, .enabled = true});
        timer->OnTimer = [this] { Tick(); };
    }
    widgets::TTimer* timer = nullptr;
    int ticks = 0;
    int ticksInsideABox = 0;
    std::size_t mostBoxesAtOnce = 0;
    std::vector<HWND> boxesSeen;
    std::vector<std::wstring> titles, texts;
    static constexpr std::size_t kBoxes = 2;

private:
    static BOOL CALLBACK CollectBox(HWND wnd, LPARAM lParam) {
        wchar_t name[16] = {};
        ::GetClassNameW(wnd, name, 16);
        if (std::wstring(name) == L"#32770" && ::IsWindowVisible(wnd))
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(wnd);
        return TRUE;
    }
    static BOOL CALLBACK CollectText(HWND wnd, LPARAM lParam) {
        wchar_t name[16] = {};
        ::GetClassNameW(wnd, name, 16);
        wchar_t text[256] = {};
        ::GetWindowTextW(wnd, text, 256);
        if (std::wstring(name) == L"Static" && text[0]) *reinterpret_cast<std::wstring*>(lParam) = text;
        return TRUE;
    }
    void Tick() {
        ++ticks;
        std::vector<HWND> boxes;
        ::EnumThreadWindows(::GetCurrentThreadId(), &CollectBox, reinterpret_cast<LPARAM>(&boxes));
        mostBoxesAtOnce = std::max(mostBoxesAtOnce, boxes.size());
        if (boxes.size() > 1 || (mostBoxesAtOnce > 1 && !boxes.empty())) {
            // Stacked boxes: the fault is seen; close them all and stop raising.
            for (HWND box : boxes) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        if (boxes.empty()) {
            // Enough boxes, or stacked ones seen: the failing handler is mended.
            if (boxesSeen.size() >= kBoxes || mostBoxesAtOnce > 1) return;
        } else {
            ++ticksInsideABox;
            HWND box = boxes.front();
            if (insideThisBox_ == 0) {  // the previous tick found none: a new box
                boxesSeen.push_back(box);
                wchar_t title[64] = {};
                ::GetWindowTextW(box, title, 64);
                titles.push_back(title);
                std::wstring text;
                ::EnumChildWindows(box, &CollectText, reinterpret_cast<LPARAM>(&text));
                texts.push_back(text);
            }
            if (++insideThisBox_ >= 5) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        if (boxes.empty()) insideThisBox_ = 0;
        throw platform::EIniFileException(L"Unable to write to C:\\tick " + std::to_wstring(ticks));
    }
    int insideThisBox_ = 0;
};

}  // namespace

// An error raised at every tick, shown by the real message box: the ticks go
// on inside the box's modal loop and raise again, but only one box is ever
// open; each box is the report of the tick that opened it, and once it is
// closed the next error opens the next one.
TEST(StandardErrorReport, AnErrorAtEveryTickShowsOneBoxAtATime) {
    {
        const platform::ScopedSeam box(widgets::ShowReport, &widgets::ShowReportBox);
        FailingTicker ticker;
        const bool done = freeingtest::PumpUntil(
            [&] {
                return (ticker.boxesSeen.size() >= FailingTicker::kBoxes || ticker.mostBoxesAtOnce > 1) &&
                       ::IsWindow(ticker.boxesSeen.back()) == FALSE;
            },
            30000);
        ticker.timer->SetEnabled(false);
        ASSERT_TRUE(done) << ticker.boxesSeen.size() << " boxes in " << ticker.ticks << " ticks";
        EXPECT_EQ(1u, ticker.mostBoxesAtOnce);
        // At least five ticks inside each box, each raising an error that was dropped.
        EXPECT_GE(ticker.ticksInsideABox, 5 * static_cast<int>(FailingTicker::kBoxes));
        ASSERT_EQ(FailingTicker::kBoxes, ticker.boxesSeen.size());
        for (std::size_t i = 0; i < ticker.boxesSeen.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(L"Brimvale", ticker.titles[i]);
            EXPECT_EQ(0u, ticker.texts[i].find(L"Unable to write to C:\\tick "))
                << std::string(ticker.texts[i].begin(), ticker.texts[i].end());
        }
        // Each box shows the error of the tick that opened it.
        EXPECT_EQ(ticker.boxesSeen.size(), std::set<std::wstring>(ticker.texts.begin(), ticker.texts.end()).size());
    }
}

// ---- Processes that end during the trimming walk ----

namespace {

enum class EndAt { BeforeTheirOpen, BetweenOpenAndTrim };

struct WalkLog {
    EndAt endAt = EndAt::BeforeTheirOpen;
    std::vector<PROCESS_INFORMATION> children;  // started suspended, ended by the walk
    std::set<DWORD> askedFor;
    std::multiset<HANDLE> open;
    int opened = 0, processCloses = 0, otherCloses = 0, failedCloses = 0;
} gWalk;

void EndChildren() {
    for (PROCESS_INFORMATION& child : gWalk.children) {
        if (!child.hProcess) continue;
        ::TerminateProcess(child.hProcess, 9);
        ::WaitForSingleObject(child.hProcess, 10000);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        child.hProcess = child.hThread = nullptr;
    }
}

bool IsChild(DWORD pid) {
    for (const PROCESS_INFORMATION& child : gWalk.children)
        if (child.dwProcessId == pid) return true;
    return false;
}

HANDLE WINAPI EndingOpen(DWORD access, BOOL inherit, DWORD pid) {
    gWalk.askedFor.insert(pid);
    if (gWalk.endAt == EndAt::BeforeTheirOpen) EndChildren();  // the walk is under way: they end now
    HANDLE h = ::OpenProcess(access, inherit, pid);
    if (h) {
        ++gWalk.opened;
        gWalk.open.insert(h);
    }
    if (gWalk.endAt == EndAt::BetweenOpenAndTrim && IsChild(pid)) EndChildren();
    return h;
}

BOOL WINAPI CountingClose(HANDLE handle) {
    auto it = gWalk.open.find(handle);
    if (it != gWalk.open.end()) {
        gWalk.open.erase(it);
        ++gWalk.processCloses;
    } else {
        ++gWalk.otherCloses;
    }
    const BOOL ok = ::CloseHandle(handle);
    if (!ok) ++gWalk.failedCloses;
    return ok;
}

}  // namespace

// Real processes that are in the snapshot but end before the walk reaches
// them, or between their open and their trim: the walk passes over them,
// goes to the end, and closes exactly the handles it opened.
TEST(TrimmingWalk, ProcessesThatEndDuringTheWalkArePassedOver) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
    const struct {
        const char* name;
        EndAt endAt;
    } cases[] = {{"ended before their open", EndAt::BeforeTheirOpen},
                 {"ended between open and trim", EndAt::BetweenOpenAndTrim}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gWalk = WalkLog{};
        gWalk.endAt = c.endAt;
        for (int i = 0; i < 3; ++i) {
            STARTUPINFOW si{};
            si.cb = sizeof si;
            PROCESS_INFORMATION pi{};
            std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
            ASSERT_TRUE(::CreateProcessW(self, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                         nullptr, &si, &pi));
            gWalk.children.push_back(pi);
        }
        {
            platform::ScopedSeam<freeing::OpenProcessFn> open(freeing::OpenProcessCall, &EndingOpen);
            platform::ScopedSeam<freeing::CloseHandleFn> close(freeing::CloseHandleCall, &CountingClose);
            freeing::AutoFreePacer pacer;
            EXPECT_TRUE(freeing::FreeWorkingSets(pacer, 0));
        }
        EndChildren();  // in case the walk never reached them

        for (const PROCESS_INFORMATION& child : gWalk.children)
            EXPECT_EQ(1u, gWalk.askedFor.count(child.dwProcessId)) << "a child missing from the snapshot";
        EXPECT_GE(gWalk.opened, 1);  // this process at least
        EXPECT_TRUE(gWalk.open.empty());
        EXPECT_EQ(gWalk.opened, gWalk.processCloses);
        EXPECT_EQ(1, gWalk.otherCloses);  // the snapshot
        EXPECT_EQ(0, gWalk.failedCloses);
    }
}

// ---- Deep Clean with allocations failing early ----

namespace {

int gFailFrom = 0;
std::vector<void*> gTaken, gGivenBack;
const freeing::BlockAllocateFn gSystemAllocate = freeing::BlockAllocateCall;
const freeing::BlockReleaseFn gSystemRelease = freeing::BlockReleaseCall;

void* FailingAllocate(std::size_t bytes) {
    if (static_cast<int>(gTaken.size()) >= gFailFrom) return nullptr;
    void* block = gSystemAllocate(bytes);
    if (block) gTaken.push_back(block);
    return block;
}
void RecordingRelease(void* block) {
    gGivenBack.push_back(block);
    gSystemRelease(block);
}
void WINAPI NoPause(DWORD) {}

}  // namespace

// The fill ends at the first failed allocation, whenever that comes: the
// blocks taken so far, and only they, are given back, the report shows, and
// the window is as before the clean.
TEST(DeepCleanAllocation, FailingEarlyEndsTheFillAndGivesBackWhatWasTaken) {
    freeingtest::ScratchProgram program;
    freeingtest::FakeMemory memory{{{8 * freeingtest::MB, 8 * freeingtest::MB}}};  // a target of 8 blocks
    platform::ScopedSeam<freeing::BlockAllocateFn> allocate(freeing::BlockAllocateCall, &FailingAllocate);
    platform::ScopedSeam<freeing::BlockReleaseFn> release(freeing::BlockReleaseCall, &RecordingRelease);
    platform::ScopedSeam<freeing::SleepFn> noPause(freeing::DeepCleanSleepCall, &NoPause);
    {
        freeingtest::CleanRig rig;
        const int height = rig.form.Height();
        for (int failFrom : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << "the allocation after " << failFrom << " blocks fails");
            gFailFrom = failFrom;
            gTaken.clear();
            gGivenBack.clear();
            rig.form.released->SetCaption(L"");
            rig.DeepClean();
            rig.PostDeepCleanTick();
            ASSERT_TRUE(freeingtest::PumpUntil([&] {
                return !rig.form.classicFreeTimer->Enabled() && rig.form.goButton->Enabled() &&
                       rig.form.Height() == height;
            }));
            EXPECT_EQ(static_cast<std::size_t>(failFrom), gTaken.size());
            EXPECT_EQ(gTaken, gGivenBack);
            EXPECT_TRUE(rig.form.released->Visible());
            // The readings before and after are the same here.
            EXPECT_EQ(L"No memory has been released.", rig.form.released->Caption());
            EXPECT_FALSE(rig.form.progress->Visible());
        }
    }
}
