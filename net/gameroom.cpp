#include "net/gameroom.h"

bool GameRoom::restore(const std::vector<std::string>& moves, const Result& kept) {
    if (!rules.replay(moves)) {
        return false;
    }
    outcome = kept;
    return true;
}

bool GameRoom::isTaken(int seat) const {
    return isSeat(seat) && taken[slot(seat)];
}

int GameRoom::freeSeat() const {
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (!taken[slot(seat)]) {
            return seat;
        }
    }
    return 0;
}

void GameRoom::take(int seat) {
    if (isSeat(seat)) {
        taken[slot(seat)] = true;
        present[slot(seat)] = true;
    }
}

void GameRoom::leave(int seat, double now) {
    if (isTaken(seat) && present[slot(seat)]) {
        present[slot(seat)] = false;
        awaySince[slot(seat)] = now;
    }
}

void GameRoom::back(int seat) {
    if (isTaken(seat)) {
        present[slot(seat)] = true;
    }
}

Protocol::SeatPresence GameRoom::presence(int seat) const {
    if (!isTaken(seat)) {
        return SeatPresence::Empty;
    }
    return present[slot(seat)] ? SeatPresence::Connected : SeatPresence::Away;
}

Protocol::ErrorCode GameRoom::play(int seat, std::string_view move, uint32_t number) {
    takeBackDropped = false;
    if (!isTaken(seat)) {
        return ErrorCode::NotInGame;
    }
    if (outcome.finished) {
        return ErrorCode::GameOver;
    }
    if (!isTaken(other(seat))) {
        return ErrorCode::OpponentMissing;
    }
    if (rules.toMove() != seat) {
        return ErrorCode::NotYourTurn;
    }
    if (number != rules.moves().size() + 1) {
        return ErrorCode::WrongMoveNumber;
    }
    if (!rules.play(move)) {
        return ErrorCode::IllegalMove;
    }
    // A move answers an open take-back with no.
    takeBackDropped = takeBackAsker != 0;
    takeBackAsker = 0;
    if (const int winner = rules.winner(); winner != 0) {
        finish(winner, EndReason::Board);
    } else if (rules.moves().size() >= Protocol::kMaxMoves) {
        const int figures1 = rules.countFigures(1);
        const int figures2 = rules.countFigures(2);
        finish(figures1 > figures2 ? 1 : figures2 > figures1 ? 2 : 0, EndReason::MoveLimit);
    }
    return ErrorCode::None;
}

Protocol::ErrorCode GameRoom::askTakeBack(int seat) {
    if (!isTaken(seat)) {
        return ErrorCode::NotInGame;
    }
    if (outcome.finished) {
        return ErrorCode::GameOver;
    }
    if (takeBackAsker != 0) {
        return ErrorCode::TakeBackPending;
    }
    const size_t count = rules.moves().size();
    const bool ownMoveLast = count > 0 && moverOf(count - 1) == seat;
    if (!ownMoveLast && count < 2) {
        return ErrorCode::NothingToTakeBack;
    }
    takeBackAsker = seat;
    return ErrorCode::None;
}

Protocol::ErrorCode GameRoom::answerTakeBack(int seat, bool agree, int& removed) {
    removed = 0;
    if (!isTaken(seat)) {
        return ErrorCode::NotInGame;
    }
    if (takeBackAsker == 0) {
        return ErrorCode::NoTakeBackAsked;
    }
    if (seat == takeBackAsker) {
        return ErrorCode::OwnTakeBack;
    }
    const int asker = takeBackAsker;
    takeBackAsker = 0;
    if (!agree) {
        return ErrorCode::None;
    }
    // The asker's last move goes, and the opponent's answer after it if made.
    const int count = moverOf(rules.moves().size() - 1) == asker ? 1 : 2;
    for (int i = 0; i < count; ++i) {
        rules.takeBack();
    }
    removed = count;
    return ErrorCode::None;
}

Protocol::ErrorCode GameRoom::resign(int seat) {
    if (!isTaken(seat)) {
        return ErrorCode::NotInGame;
    }
    if (outcome.finished) {
        return ErrorCode::GameOver;
    }
    takeBackAsker = 0;
    finish(other(seat), EndReason::Resigned);
    return ErrorCode::None;
}

bool GameRoom::closeIfAway(double now, double limit) {
    if (outcome.finished) {
        return false;
    }
    std::array<bool, kSeats> overdue{};
    for (int seat = 1; seat <= kSeats; ++seat) {
        overdue[slot(seat)] = presence(seat) == SeatPresence::Away && now - awaySince[slot(seat)] >= limit;
    }
    if (!overdue[0] && !overdue[1]) {
        return false;
    }
    takeBackAsker = 0;
    for (int seat = 1; seat <= kSeats; ++seat) {
        const int opponent = other(seat);
        if (overdue[slot(seat)] && isTaken(opponent) && !overdue[slot(opponent)]) {
            finish(opponent, EndReason::Away);
            return true;
        }
    }
    finish(0, EndReason::Abandoned);
    return true;
}

void GameRoom::finish(int winner, EndReason reason) {
    outcome.finished = true;
    outcome.winner = winner;
    outcome.reason = reason;
}
