// Writes a synthetic forecast sounding file: our own sample data for the
// program, the tests and the benchmarks.

#include "SampleSounding.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace {

using tarvex::samples::Atmosphere;
using tarvex::samples::SampleSpec;
using tarvex::samples::Variant;

constexpr const char* kUsage =
    "usage: tarvex_gensounding [--layout eta|ruc|ngm|gfs3] [--legacy] [--site KBUF]\n"
    "         [--station 725280] [--lat 42.94] [--lon -78.72] [--elevation 218]\n"
    "         [--run 2026120912] [--times 85] [--levels 67] [--step 1]\n"
    "         [--atmosphere convective|winter|lake|humid] [--variant NAME] -o FILE\n"
    "  --lon is as in the file: west negative. --run is the run time YYYYMMDDHH (UTC).\n"
    "  --step is the number of forecast hours between times.\n"
    "  Variants: Clean, MisspeltKeys, NoBlankBetweenBlocks, Truncated, TruncatedSurface,\n"
    "            TooManyLevels, TooManyTimes, BadDate, NoTimeBlocks, CrLf\n";

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

template <typename Number> Number Parse(std::string_view option, std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw UsageError(std::string(option) + ": \"" + std::string(text) + "\" is not a number");
    return value;
}

Atmosphere ParseAtmosphere(std::string_view name) {
    if (name == "convective") return Atmosphere::WarmSeasonConvective;
    if (name == "winter") return Atmosphere::WinterWarmNose;
    if (name == "lake") return Atmosphere::LakeEffectCold;
    if (name == "humid") return Atmosphere::HumidNight;
    throw UsageError("--atmosphere: \"" + std::string(name) +
                     "\" is not one of convective, winter, lake and humid");
}

Variant ParseVariant(std::string_view name) {
    constexpr std::pair<std::string_view, Variant> kVariants[] = {
        {"Clean", Variant::Clean},
        {"MisspeltKeys", Variant::MisspeltKeys},
        {"NoBlankBetweenBlocks", Variant::NoBlankBetweenBlocks},
        {"Truncated", Variant::Truncated},
        {"TruncatedSurface", Variant::TruncatedSurface},
        {"TooManyLevels", Variant::TooManyLevels},
        {"TooManyTimes", Variant::TooManyTimes},
        {"BadDate", Variant::BadDate},
        {"NoTimeBlocks", Variant::NoTimeBlocks},
        {"CrLf", Variant::CrLf},
    };
    for (const auto& [known, variant] : kVariants)
        if (known == name) return variant;
    throw UsageError("--variant: \"" + std::string(name) + "\" is not a known variant");
}

// YYYYMMDDHH; the date itself is checked with the rest of the sample settings.
void ParseRun(std::string_view text, SampleSpec& spec) {
    if (text.size() != 10)
        throw UsageError("--run: expected YYYYMMDDHH, got \"" + std::string(text) + "\"");
    spec.year = Parse<int>("--run", text.substr(0, 4));
    spec.month = Parse<int>("--run", text.substr(4, 2));
    spec.day = Parse<int>("--run", text.substr(6, 2));
    spec.hour = Parse<int>("--run", text.substr(8, 2));
}

struct Options {
    SampleSpec spec;
    std::string output;
    bool help = false;
};

Options ParseArguments(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        }
        if (arg == "--legacy") {
            o.spec.legacy = true;
            continue;
        }
        if (i + 1 >= argc) throw UsageError(std::string(arg) + ": a value is missing");
        const std::string_view value = argv[++i];
        if (arg == "-o")
            o.output = value;
        else if (arg == "--layout")
            o.spec.layout = value;
        else if (arg == "--site")
            o.spec.site = value;
        else if (arg == "--station")
            o.spec.stationNumber = Parse<int>(arg, value);
        else if (arg == "--lat")
            o.spec.lat = Parse<float>(arg, value);
        else if (arg == "--lon")
            o.spec.lon = Parse<float>(arg, value);
        else if (arg == "--elevation")
            o.spec.elevation = Parse<float>(arg, value);
        else if (arg == "--run")
            ParseRun(value, o.spec);
        else if (arg == "--times")
            o.spec.times = Parse<int>(arg, value);
        else if (arg == "--levels")
            o.spec.levels = Parse<int>(arg, value);
        else if (arg == "--step")
            o.spec.hoursPerTime = Parse<int>(arg, value);
        else if (arg == "--atmosphere")
            o.spec.atmosphere = ParseAtmosphere(value);
        else if (arg == "--variant")
            o.spec.variant = ParseVariant(value);
        else
            throw UsageError("unknown option \"" + std::string(arg) + "\"");
    }
    if (o.output.empty()) throw UsageError("no output file given (-o FILE)");
    return o;
}

// The file appears whole or not at all: written beside its final name, then
// renamed over it.
void WriteWhole(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) throw std::runtime_error("cannot create \"" + temp.string() + "\"");
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
        file.close();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw std::runtime_error("cannot write \"" + temp.string() + "\"");
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw std::runtime_error("cannot rename \"" + temp.string() + "\" to \"" + path.string() +
                                 "\": " + error.message());
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = ParseArguments(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "tarvex_gensounding: " << e.what() << "\n" << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    std::string text;
    try {
        text = tarvex::samples::MakeSoundingText(options.spec);
    } catch (const std::invalid_argument& e) {
        std::cerr << "tarvex_gensounding: " << e.what() << "\n";
        return 2;
    }
    try {
        WriteWhole(options.output, text);
    } catch (const std::exception& e) {
        std::cerr << "tarvex_gensounding: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
