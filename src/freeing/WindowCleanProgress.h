// A clean as the main window shows it: the progress row below the buttons,
// which the window grows to uncover, Go and Settings disabled while it runs,
// and the released-memory report line at the bottom.
#pragma once
#include <cstdint>
#include <vector>

#include "freeing/CleanProgress.h"
#include "localisation/Language.h"
#include "widgets/ComCtrls.h"
#include "widgets/Form.h"
#include "widgets/StdCtrls.h"

namespace freeing {

// The controls the report and the progress row are made of.
struct CleanControls {
    widgets::TTntForm& form;
    widgets::TTntProgressBar& progress;       // ProgressBar_clean_progress
    widgets::TTntLabel& progressLabel;        // Label_clean_progress
    widgets::TTntButton& goButton;            // Button_go
    widgets::TTntButton& settingsButton;      // Button_setting
    widgets::TTntLabel& numberBefore;         // Label_free_number_before
    widgets::TTntLabel& number;               // Label_free_number (auto-sizes to its text)
    widgets::TTntLabel& released;             // Label_Memory_Released
};

// Runs nest: a tray command handled in one run's pump starts another run
// inside it. Only the outermost run grows the window by the progress row's
// 20 pixels, shows the row and, at its end, hides it, gives the height back
// (exactly the height it found, even if the system limited the growth) and
// enables Go and Settings. An inner run may move the bar while it works, and
// when it ends it puts the bar's range and position and the two buttons'
// states back as it found them. (A run started in the outer run's first
// pump, before the outer one showed its row, shows and hides a row of its
// own.)
//
// Settings stays disabled with Go: the settings dialog's modal loop would
// otherwise run inside the clean's pump and hold the clean (and, in a Deep
// Clean, everything it has taken) for as long as the dialog stays open.
class WindowCleanProgress : public CleanProgress {
public:
    WindowCleanProgress(CleanControls controls, const localisation::TLanguage& language)
        : c_(controls), language_(language) {}

    void Begin() override;
    void ShowProgress(int max) override;
    void Step(int position) override { c_.progress.SetPosition(position); }
    // For a gain above 0 the number in navy followed by "MB memory has been
    // released.", otherwise "No memory has been released." where the number
    // would start, with the number hidden.
    void Report(std::int32_t released) override;
    void End() override;
    void Abandon() override;

    // Whether a run is under way (Go and Settings act only when none is).
    bool Running() const noexcept { return !runs_.empty(); }
    // The report line as the window shows it (for the tray's notification).
    std::wstring ReportLineShown(std::int32_t released) const;

private:
    struct Run {
        int min, max, position;
        bool goEnabled, settingsEnabled;
    };
    void putBack(const Run& run, bool outermost, bool showsRow);
    void setRowVisible(bool visible);

    CleanControls c_;
    const localisation::TLanguage& language_;
    std::vector<Run> runs_;
    // The run (an index into runs_) that grew the window and shows the row,
    // and the height it found; -1 while no run shows it.
    int rowShownBy_ = -1;
    int heightBefore_ = 0;
};

}  // namespace freeing
