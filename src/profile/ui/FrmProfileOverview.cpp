// The main window's way into the overview window: the OverView button and
// the rebuild after a new sounding file was read.

#include "files/OverviewSettingsFile.h"
#include "files/Session.h"
#include "overview/fields/ParcelOverlays.h"
#include "overview/ui/FrmOverView.h"
#include "profile/ui/FrmProfile.h"
#include "shell/Monitors.h"

#include <future>
#include <optional>
#include <string>
#include <utility>

namespace tarvex {

void FrmProfile::btnOverView_Click() {
    OpenOverview(true);
}

void FrmProfile::OpenOverview(bool firstDrawn) {
    StopAnimation();
    const std::int32_t own = monitors_ ? monitors_->GetMonitorFromWindow(*this) : 0;
    const std::int32_t target = monitors_ ? monitors_->FirstOtherMonitor(own) : 0;
    if (overview_ && firstDrawn) {
        overview_->show();
    } else {
        if (!overview_) overview_ = new FrmOverView(session_, *this);
        // Held, the start-up's hours button sets the time window without
        // drawing (a new window draws only when its redraw is not held).
        overview_->RedrawSuspended = !firstDrawn;
        overview_->Form_Load();
        overview_->RedrawSuspended = false;
    }
    overview_->raise();
    overview_->activateWindow();
    if (monitors_ && monitors_->PrimaryScreenWidth() <= 2000)
        monitors_->CenterFormOnMonitor(*overview_, target);
}

FrmOverView* FrmProfile::Overview() const {
    return overview_.data();
}

void FrmProfile::StartReloadCopy() {
    if (session_.selection.ModelSwitching || !overview_ || reloadCopy_) return;
    std::string text = FormatOverviewSettings(overview_->CollectOverviewSettings());
    std::future<TextFileResult> written = overview_->StartReloadSave(text);
    reloadCopy_ = ReloadCopy{std::move(text), std::move(written)};
}

std::future<TextFileResult> FrmProfile::TakeReloadCopy(const std::string& kept) {
    std::optional<ReloadCopy> started = std::exchange(reloadCopy_, std::nullopt);
    if (started && started->text == kept) return std::move(started->written);
    // The settings changed since the read began: the copy started then is
    // replaced, once written, so that the slot ends with this one.
    if (started) started->written.wait();
    return overview_->StartReloadSave(kept);
}

void FrmProfile::UpdateOverview() {
    // While SelectFile switches the model the overview waits for the file.
    if (session_.selection.ModelSwitching) return;
    // A copy a read started for an overview closed since stays unreported:
    // no reload needs it.
    if (!overview_) {
        reloadCopy_.reset();
        return;
    }
    // The display settings survive the reload in memory, in the form the
    // slot file holds them; slot 9 keeps a copy on disk, written and flushed
    // on its own thread from the start of the read (see StartReloadCopy)
    // while the window starts again and draws, and in the slot, whole, when
    // the reload returns: the reload waits for it at its
    // end and reports a failure to write it. The window is not built again:
    // it is set back to how it was built, every control and form value, and
    // nothing of the file before kept, then started for the new file as a
    // new one would be, and placed as a new one is. The recall draws its
    // first picture: the one its start-up would draw with the opening
    // overlays would never be seen. Its companion panels are shown or hidden
    // once, for the settings kept (see FrmOverView::StartAgain).
    // The parcels of the ELCIN boxes are lifted meanwhile until the settings
    // are applied, which may draw this window (and lift parcels with it);
    // the animation, which draws it too, is stopped first.
    StopAnimation();
    std::optional<ParcelsAhead> parcels(std::in_place, session_, overview_->options);
    const std::string kept = FormatOverviewSettings(overview_->CollectOverviewSettings());
    std::future<TextFileResult> copy = TakeReloadCopy(kept);
    overview_->StartAgain(ParseOverviewSettings(kept), [this, &parcels] {
        OpenOverview(false);
        parcels.reset();
    });
    overview_->FinishReloadSave(std::move(copy));
}

} // namespace tarvex
