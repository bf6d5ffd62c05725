#pragma once

#include "keep/gamerecord.h"

#include <optional>
#include <string>
#include <vector>

// The folder of kept games, one record file per game, named by the time it
// was written so that names sort as the games do. The oldest records beyond
// kMaxRecords are removed as new ones come. Failures are logged as warnings
// and never thrown: the game goes on.
class RecordFolder {
public:
    static constexpr int kMaxRecords = 1000;
    static constexpr const char* kExtension = ".txt";

    struct Entry {
        std::string path;
        GameRecord record;
    };

    // folder: empty keeps nothing.
    explicit RecordFolder(std::string folder);
    // $XDG_DATA_HOME/sporrik/games, or ~/.local/share/sporrik/games; empty
    // when neither gives an absolute path.
    static std::string fromEnvironment();
    const std::string& getFolder() const { return folder; }

    // Writes the record whole: over path when one is given (the same game
    // kept again), else into a new file. The path written; empty on failure.
    std::string write(const GameRecord& record, const std::string& path = std::string());
    // The records in the folder, newest first. A damaged one is refused with
    // a warning and set aside as <name>.bad.
    std::vector<Entry> list() const;
    // The first of list(): the game that ended or was left last.
    std::optional<Entry> newest() const;

    // A record file read whole and parsed; nothing, with the reason, when it
    // cannot be read or is refused. The file is left as it is.
    static std::optional<GameRecord> read(const std::string& path, std::string& reason);

private:
    // The record files' names, oldest first.
    std::vector<std::string> fileNames() const;
    std::string newPath(const std::string& date) const;
    void trim() const;
    // The record at path, or nothing when it was refused and set aside.
    std::optional<GameRecord> take(const std::string& path) const;

    std::string folder;
};
