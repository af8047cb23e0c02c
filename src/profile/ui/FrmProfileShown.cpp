// What the window shows of the sounding on screen: kept after every read that
// succeeded and put back after one that failed, so that a failed read
// changes nothing the user sees.
#include "files/Session.h"
#include "profile/ui/FrmProfile.h"

#include <QComboBox>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <cctype>

namespace tarvex {

namespace {

struct OptionState {
    QString text;
    bool enabled = false;
    bool checked = false;
    QString style;
};

OptionState Keep(const QRadioButton* option) {
    return {option->text(), option->isEnabled(), option->isChecked(), option->styleSheet()};
}

void Restore(QRadioButton* option, const OptionState& state) {
    option->setText(state.text);
    option->setEnabled(state.enabled);
    option->setChecked(state.checked);
    option->setStyleSheet(state.style);
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

constexpr const char* kMarkedSite = "background-color: rgb(255, 255, 0);";

} // namespace

// The model and the site of the sounding shown, with the settings that follow
// the model, the window's title and the model and site options.
struct ShownSounding {
    SoundingSelection selection;
    ModelParameters parameters;
    std::string FileTail;
    std::int16_t ModelChoice = 0;
    QString title;
    std::array<OptionState, FrmProfile::kModelOptions> models;
    std::array<OptionState, FrmProfile::kSiteButtons> sites;
    QStringList listSites;
    int listSite = -1;
    bool listShown = false;
};

void FrmProfile::KeepShownSounding() {
    auto shown = std::make_shared<ShownSounding>();
    shown->selection = session_.selection;
    shown->selection.ModelSwitching = false;
    shown->parameters = session_.parameters;
    shown->FileTail = session_.profile->FileTail;
    shown->ModelChoice = session_.profile->ModelChoice;
    shown->title = windowTitle();
    for (std::size_t k = 0; k < optModel.size(); ++k) shown->models[k] = Keep(optModel[k]);
    for (std::size_t k = 0; k < optSite.size(); ++k) shown->sites[k] = Keep(optSite[k]);
    for (int k = 0; k < lstSite->count(); ++k) shown->listSites.append(lstSite->itemText(k));
    shown->listSite = lstSite->currentIndex();
    shown->listShown = lstSite->isVisibleTo(this);
    shown_ = std::move(shown);
}

void FrmProfile::RestoreShownSounding() {
    if (!shown_) return; // nothing was ever shown: there is nothing to go back to
    const ShownSounding& shown = *shown_;
    const bool switching = session_.selection.ModelSwitching;
    session_.selection = shown.selection;
    session_.selection.ModelSwitching = switching;
    session_.parameters = shown.parameters;
    session_.profile->FileTail = shown.FileTail;
    session_.profile->ModelChoice = shown.ModelChoice;
    setWindowTitle(shown.title);
    for (std::size_t k = 0; k < optModel.size(); ++k) Restore(optModel[k], shown.models[k]);
    for (std::size_t k = 0; k < optSite.size(); ++k) Restore(optSite[k], shown.sites[k]);
    {
        const QSignalBlocker hold(lstSite);
        lstSite->clear();
        lstSite->addItems(shown.listSites);
        lstSite->setCurrentIndex(shown.listSite);
    }
    lstSite->setVisible(shown.listShown);
    ShowHour();
}

void FrmProfile::MarkSiteOfFile(const std::string& path) {
    const std::optional<std::string> site = SiteOfFileName(path);
    for (QRadioButton* option : optSite) {
        option->setChecked(false);
        option->setStyleSheet("");
    }
    if (!site) return;
    const QString wanted = QString::fromStdString(Upper(*site));
    int marked = -1;
    for (int k = 0; k < kListSiteButton && marked < 0; ++k) {
        const QRadioButton* option = optSite[static_cast<std::size_t>(k)];
        if (option->isEnabled() && option->text().toUpper() == wanted) marked = k;
    }
    if (marked < 0 && optSite[kListSiteButton]->isEnabled()) {
        const int entry = lstSite->findText(wanted, Qt::MatchFixedString);
        if (entry >= 0) {
            const QSignalBlocker hold(lstSite);
            lstSite->setCurrentIndex(entry);
            marked = kListSiteButton;
        }
    }
    if (marked < 0) return;
    QRadioButton* option = optSite[static_cast<std::size_t>(marked)];
    option->setChecked(true);
    option->setStyleSheet(kMarkedSite);
    session_.selection.SelectedSiteButton = marked;
    session_.selection.CurrentSite = Upper(*site);
}

} // namespace tarvex
