#include "keep/recordfolder.h"

#include "base/log.h"
#include "keep/keptfile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

const char* const kSource = "RecordFolder";
const char* const kGamesFolder = "/games";
// Records written within one second differ by a counter.
constexpr int kMaxSameSecond = 100;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

RecordFolder::RecordFolder(std::string folder) : folder(std::move(folder)) {}

std::string RecordFolder::fromEnvironment() {
    const std::string data =
        KeptFile::folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), ".local/share");
    return data.empty() ? data : data + kGamesFolder;
}

std::vector<std::string> RecordFolder::fileNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (endsWith(name, kExtension) && it->is_regular_file(error)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string RecordFolder::newPath(const std::string& date) const {
    // "2025-01-31T14:05:09Z" becomes "2025-01-31-140509-00.txt".
    std::string stem = date.substr(0, 10) + "-";
    for (const char c : date.substr(11, 8)) {
        if (c != ':') {
            stem += c;
        }
    }
    for (int n = 0; n < kMaxSameSecond; ++n) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "-%02d", n);
        const std::string path = folder + "/" + stem + suffix + kExtension;
        std::error_code error;
        if (!std::filesystem::exists(path, error) && !error) {
            return path;
        }
    }
    return std::string();
}

std::string RecordFolder::write(const GameRecord& record, const std::string& path) {
    if (folder.empty()) {
        return std::string();
    }
    const std::string target = path.empty() ? newPath(record.date) : path;
    if (target.empty()) {
        log(WARNING, kSource, "no free name for a record of " + record.date + " in " + folder);
        return std::string();
    }
    if (!KeptFile::write(target, GameRecord::format(record))) {
        return std::string();
    }
    trim();
    return target;
}

void RecordFolder::trim() const {
    const std::vector<std::string> names = fileNames();
    for (size_t i = 0; i + kMaxRecords < names.size(); ++i) {
        KeptFile::remove(folder + "/" + names[i]);
    }
}

std::optional<GameRecord> RecordFolder::read(const std::string& path, std::string& reason) {
    const KeptFile::Contents contents = KeptFile::read(path, GameRecord::kMaxFileSize);
    if (contents.status == KeptFile::Contents::Status::Missing) {
        reason = "is not there";
        return std::nullopt;
    }
    if (contents.status == KeptFile::Contents::Status::Refused) {
        reason = contents.reason;
        return std::nullopt;
    }
    return GameRecord::parse(contents.text, reason);
}

std::optional<GameRecord> RecordFolder::take(const std::string& path) const {
    std::string reason;
    std::optional<GameRecord> record = read(path, reason);
    if (!record) {
        KeptFile::refuse(path, reason);
    }
    return record;
}

std::vector<RecordFolder::Entry> RecordFolder::list() const {
    std::vector<Entry> entries;
    if (folder.empty()) {
        return entries;
    }
    std::vector<std::string> names = fileNames();
    // Files put there by hand beyond the limit are not read.
    if (names.size() > static_cast<size_t>(kMaxRecords)) {
        names.erase(names.begin(), names.end() - kMaxRecords);
    }
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        if (std::optional<GameRecord> record = take(path)) {
            entries.push_back({path, std::move(*record)});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.record.date != b.record.date ? a.record.date > b.record.date : a.path > b.path;
    });
    return entries;
}

std::optional<RecordFolder::Entry> RecordFolder::newest() const {
    std::vector<Entry> entries = list();
    if (entries.empty()) {
        return std::nullopt;
    }
    return std::move(entries.front());
}
