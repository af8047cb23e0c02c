#include "shell/FrmHelp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

TEST(FrmHelp, TheBannerWordFlickersAfterARandomPause) {
    // The random source gives 0, then 0.5, then just under 1.
    std::vector<double> draws = {0.0, 0.5, 0.9999};
    std::size_t next = 0;
    auto* about = new FrmHelp(nullptr, [&] { return draws[next++]; });
    EXPECT_EQ(about->windowTitle().toStdString(), "Tarvex Information");
    EXPECT_EQ(about->pnlVersion->text().toStdString(), "Version 71.78");
    EXPECT_EQ(about->pnlProfile->text().toStdString(), "ZiveVoz");
    EXPECT_TRUE(about->timerZiveVoz->isActive());
    EXPECT_EQ(about->timerZiveVoz->interval(), 2000);
    EXPECT_FALSE(about->timerZurAvo->isActive());

    // The clock steps from tick to tick: each tick swaps the word and hands
    // over to the other timer.
    const int pauses[] = {2000, 6000, 9999};
    for (int k = 0; k < 3; ++k) {
        about->timerZiveVoz_Timer();
        EXPECT_EQ(about->pnlProfile->text().toStdString(), "ZurAvo");
        EXPECT_FALSE(about->timerZiveVoz->isActive());
        EXPECT_TRUE(about->timerZurAvo->isActive());
        EXPECT_EQ(about->timerZurAvo->interval(), 100);
        about->timerZurAvo_Timer();
        EXPECT_EQ(about->pnlProfile->text().toStdString(), "ZiveVoz");
        EXPECT_FALSE(about->timerZurAvo->isActive());
        EXPECT_EQ(about->timerZiveVoz->interval(), pauses[k]);
    }

    // The texts keep their line structure: ten, twelve and five lines.
    EXPECT_EQ(about->txtHelp->toPlainText().count('\n'), 9);
    EXPECT_EQ(about->txtCredits->toPlainText().count('\n'), 11);
    EXPECT_EQ(about->txtORVA->toPlainText().count('\n'), 4);
    EXPECT_TRUE(AboutHelpText().contains("\r\n"));

    // OK closes the window, which goes with its timers.
    QPointer<FrmHelp> alive(about);
    QPointer<QTimer> timer(about->timerZiveVoz);
    about->show();
    about->grab().save(TARVEX_TEST_OUTPUT "/about-window.png");
    about->btnOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(timer.isNull());
}

} // namespace
} // namespace tarvex
