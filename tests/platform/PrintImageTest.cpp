#include "platform/PrintImage.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace tarvex {
namespace {

namespace fs = std::filesystem;

std::string Content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A PDF that the disk cannot take whole is reported, and neither a cut file
// nor a temporary is left; the file there before stays. The full disk is a
// file-size limit of this process, set for the one print.
TEST(PrintImage, APdfThatCannotBeWrittenWholeIsReportedAndLeavesNoCutFile) {
    const fs::path folder =
        fs::temp_directory_path() / ("tarvex-print-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Noise, which the PDF cannot compress: a file of some hundred kilobytes.
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, QRandomGenerator::global()->generate() | 0xFF000000u);
    const fs::path pdf = folder / "window.pdf";
    ASSERT_EQ(PrintImage(image, pdf.string()), "");
    const std::string whole = Content(pdf);
    ASSERT_EQ(whole.substr(0, 4), "%PDF");
    ASSERT_GT(whole.size(), 100000u);

    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit limit = before;
    limit.rlim_cur = whole.size() / 2;
    if (before.rlim_max != RLIM_INFINITY && before.rlim_max < limit.rlim_cur)
        GTEST_SKIP() << "the file-size limit is lower already";
    const auto signalBefore = ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        ::signal(SIGXFSZ, signalBefore);
        GTEST_SKIP() << "this machine does not let a process limit its file size";
    }
    const std::string fault = PrintImage(image, pdf.string());
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, signalBefore);

    EXPECT_NE(fault.find("the PDF could not be written whole"), std::string::npos) << fault;
    EXPECT_NE(fault.find("File too large"), std::string::npos) << fault;
    EXPECT_TRUE(Content(pdf) == whole);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 1);
    fs::remove_all(folder);
}

} // namespace
} // namespace tarvex
