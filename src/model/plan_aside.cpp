#include "model/plan_aside.h"

#include "listing/output_targets.h"

namespace meridel::model {
namespace {

// Keeps what the run writes in memory instead of a file.
class MemoryOpener : public listing::OutputOpener {
public:
    explicit MemoryOpener(std::string& bytes) : bytes_(bytes) {}
    std::unique_ptr<listing::OutputChannel> open(const std::string&) override {
        bytes_.clear();
        return std::make_unique<listing::RecordingChannel>(bytes_);
    }

private:
    std::string& bytes_;
};

}  // namespace

AsideRun runPlanAside(const MainWindowModel& plan, const std::optional<std::string>& clockMHz) {
    MainWindowModel copy(plan);
    copy.setChangeListener({});  // the window shows the original, not the copy
    if (clockMHz) {
        copy.setFieldText(Field::RefIn, *clockMHz);
        copy.selectPllText("1");
    }
    AsideRun result;
    MemoryOpener opener(result.listing);
    result.failure = copy.calculate(opener, result.words);
    if (result.failure) result.listing.clear();
    return result;
}

std::string listingBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    listing::RecordingChannel channel(bytes);
    for (const std::string& line : lines) channel.writeLine(line);
    channel.close();
    return bytes;
}

std::optional<std::string> writeWholeFile(const std::filesystem::path& path,
                                          std::string_view bytes) {
    try {
        listing::writeWholeFile(path, bytes,
                                "Choose a folder that can be written and check the free space "
                                "of the disk.");
    } catch (const listing::OutputError& error) {
        return error.what();
    }
    return std::nullopt;
}

}  // namespace meridel::model
