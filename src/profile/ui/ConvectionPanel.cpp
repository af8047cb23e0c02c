#include "profile/ui/ConvectionPanel.h"

#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/diagnostics/EntrainingParcel.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <QGridLayout>
#include <QLabel>

namespace tarvex {

ConvectionPanel::ConvectionPanel(Session& session, SoundingView& view, PictureBox& picData,
                                 QWidget* parent)
    : QFrame(parent), session_(session), view_(view), picData_(picData) {
    setObjectName("frameECAPE");
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setVerticalSpacing(2);
    auto value = [&](const char* name, int row, int column) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setMinimumWidth(70);
        grid->addWidget(label, row, column);
        return label;
    };
    auto caption = [&](const char* text, int row) {
        grid->addWidget(new QLabel(text, this), row, 0);
    };
    grid->addWidget(new QLabel("Parcel", this), 0, 0);
    lblEParcelp = value("lblEParcelp", 0, 1);
    lblEParcelt = value("lblEParcelt", 0, 2);
    lblEParceldp = value("lblEParceldp", 0, 3);
    caption("CAPE", 1);
    lblECAPE = value("lblECAPE", 1, 1);
    caption("CIN", 2);
    lblECIN = value("lblECIN", 2, 1);
    caption("EQL", 3);
    lblEEQL = value("lblEEQL", 3, 1);
    caption("NCAPE", 4);
    lblNECAPE = value("lblNECAPE", 4, 1);
}

void ConvectionPanel::DisplayECAPEFrame() {
    setVisible(tarvex::DisplayECAPEFrame(session_, view_.CurrentColumn));
}

void ConvectionPanel::PlotECAPE(std::int16_t t, std::int16_t L) {
    const ECAPELabels labels = tarvex::PlotECAPE(picData_.Overlay(), session_, view_, t, L);
    lblEParcelp->setText(QString::fromStdString(labels.lblEParcelp));
    lblEParcelt->setText(QString::fromStdString(labels.lblEParcelt));
    lblEParceldp->setText(QString::fromStdString(labels.lblEParceldp));
    lblECAPE->setText(QString::fromStdString(labels.lblECAPE));
    lblECIN->setText(QString::fromStdString(labels.lblECIN));
    lblEEQL->setText(QString::fromStdString(labels.lblEEQL));
    lblNECAPE->setText(QString::fromStdString(labels.lblNECAPE));
}

void ConvectionPanel::ClearTrace() {
    picData_.ClearOverlay();
    view_.ECAPEPlotted = 0;
}

} // namespace tarvex
