// Reads each input as the kept game (FUZZED_GAME), a game record
// (FUZZED_RECORD) or the kept settings, the way the game does: through the
// size limit, the parser and, for a game that is taken, onto a board (its
// computer is not started: a search thread per input would only slow the
// run).
#include "fuzzinput.h"
#include "keep/gamerecord.h"
#include "keep/keptfile.h"
#include "keep/recordfolder.h"
#include "keep/savedgame.h"
#include "keep/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const FuzzInput input;
    const std::string path = input.write("kept.ini", data, size);
#ifdef FUZZED_GAME
    const KeptFile::Contents contents = KeptFile::read(path, SavedGame::kMaxFileSize);
    std::string reason;
    if (const auto game = SavedGame::parse(contents.text, reason)) {
        GameBoard board;
        if (!board.restore(*game)) {
            std::abort(); // the reader passed what the board cannot hold
        }
        board.winner();
    }
#elif defined(FUZZED_RECORD)
    std::string reason;
    if (const auto record = RecordFolder::read(path, reason)) {
        // What is read writes back the same, so a record survives a round trip.
        const std::string text = GameRecord::format(*record);
        std::string again;
        const auto reread = GameRecord::parse(text, again);
        if (!reread || GameRecord::format(*reread) != text) {
            std::abort();
        }
    }
#else
    const KeptFile::Contents contents = KeptFile::read(path, Settings::kMaxFileSize);
    std::string reason;
    if (const auto settings = Settings::parse(contents.text, reason)) {
        std::string again;
        if (!Settings::parse(settings->format(), again)) {
            std::abort(); // what is written must read back
        }
    }
#endif
    return 0;
}
