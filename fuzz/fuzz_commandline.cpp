#include "files/CommandLine.h"
#include "files/SoundingFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Arbitrary text as a command line, one argument a line, and as sounding file
// names: the user switch, the file's model word and site, the eta rule and
// the archive lists' entries must give an answer, never crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        arguments.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const tarvex::CommandLine line = tarvex::ParseCommandLine(arguments);
    tarvex::IsPlainUserName(line.UserName);
    tarvex::CommandProfile(line, {"ETA", "NGM", "RUC", "GFS3", "EtaM"});
    for (const std::string& name : arguments) {
        tarvex::ModelWordOfFileName(name);
        tarvex::ModelOfFileName(name);
        tarvex::SiteOfFileName(name);
        tarvex::ApplyEtaRule("ETA", name);
        tarvex::SoundingSelection selection;
        selection.CurrentSite = "KBUF";
        for (auto list : {tarvex::ArchiveListKind::ModelSite, tarvex::ArchiveListKind::Model,
                          tarvex::ArchiveListKind::All})
            tarvex::PickArchivedRun(selection, list, name);
    }
    return 0;
}
