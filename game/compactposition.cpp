#include "game/compactposition.h"

#include "game/gameboard.h"

#include <array>

namespace {

using Bits = CompactPosition::Bits;
constexpr int kFields = CompactPosition::kFields;
constexpr int kSide = CompactPosition::kSide;

constexpr Bits bit(int field) {
    return Bits(1) << field;
}

constexpr Bits kAll = (Bits(1) << kFields) - 1;

constexpr Bits row(int y) {
    Bits result = 0;
    for (int x = 0; x < kSide; ++x) {
        result |= bit(x + y * kSide);
    }
    return result;
}

constexpr Bits column(int x) {
    Bits result = 0;
    for (int y = 0; y < kSide; ++y) {
        result |= bit(x + y * kSide);
    }
    return result;
}

// A shift by one field along a row must not wrap into the next row.
constexpr Bits kNotFirstColumn = kAll & ~column(0);
constexpr Bits kNotLastColumn = kAll & ~column(kSide - 1);

// The set together with every field at distance 1 from it.
constexpr Bits grow(Bits b) {
    const Bits row = b | ((b << 1) & kNotFirstColumn) | ((b >> 1) & kNotLastColumn);
    return (row | (row << kSide) | (row >> kSide)) & kAll;
}

struct Tables {
    std::array<Bits, kFields> neighbours{};
    std::array<Bits, kFields> jumpRing{};
    // Two keys per field (one per player) and one for player 2 to move.
    std::array<uint64_t, 2 * kFields + 1> keys{};
};

constexpr uint64_t splitMix(uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr Tables makeTables() {
    Tables t;
    for (int field = 0; field < kFields; ++field) {
        const Bits near = grow(bit(field));
        t.neighbours[field] = near & ~bit(field);
        t.jumpRing[field] = grow(near) & ~near;
    }
    uint64_t state = 0x5350'4F52'5249'4Bull;
    for (auto& key : t.keys) {
        key = splitMix(state);
    }
    return t;
}

constexpr Tables kTables = makeTables();
constexpr size_t kSideKey = 2 * kFields;

uint64_t fieldKey(int field, int player) {
    return kTables.keys[static_cast<size_t>(field * 2 + player - 1)];
}

// Both keys of a field: a conversion swaps one for the other.
uint64_t swapKey(int field) {
    return fieldKey(field, 1) ^ fieldKey(field, 2);
}

int firstField(Bits b) {
    const auto low = static_cast<uint64_t>(b);
    return low != 0 ? __builtin_ctzll(low) : 64 + __builtin_ctzll(static_cast<uint64_t>(b >> 64));
}

int opponentOf(int player) {
    return 3 - player;
}

} // namespace

bool CompactPosition::fits(const GameBoard& board) {
    return board.getWidth() == kSide && board.getHeight() == kSide;
}

CompactPosition CompactPosition::fromBoard(const GameBoard& board, int player) {
    CompactPosition position;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            position.setField(x, y, board.getField(x, y));
        }
    }
    if (player == GameBoard::kPlayer2) {
        position.side = GameBoard::kPlayer2;
        position.hash ^= kTables.keys[kSideKey];
    }
    return position;
}

int32_t CompactPosition::getField(int x, int y) const {
    if (x < 0 || y < 0 || x >= kSide || y >= kSide) {
        return 0;
    }
    const Bits b = bit(fieldAt(x, y));
    return (player1 & b) != 0 ? 1 : (player2 & b) != 0 ? 2 : 0;
}

void CompactPosition::setField(int x, int y, int32_t value) {
    if (x < 0 || y < 0 || x >= kSide || y >= kSide || value < 0 || value > 2) {
        return;
    }
    const int field = fieldAt(x, y);
    const int32_t old = getField(x, y);
    if (old != 0) {
        figures(old) &= ~bit(field);
        hash ^= fieldKey(field, old);
    }
    if (value != 0) {
        figures(value) |= bit(field);
        hash ^= fieldKey(field, value);
    }
}

int CompactPosition::count(int player) const {
    return popCount(figures(player));
}

uint64_t CompactPosition::computeKey() const {
    uint64_t result = side == 2 ? kTables.keys[kSideKey] : 0;
    for (int field = 0; field < kFields; ++field) {
        const int32_t value = getField(fieldX(field), fieldY(field));
        if (value != 0) {
            result ^= fieldKey(field, value);
        }
    }
    return result;
}

CompactPosition::Bits CompactPosition::empty() const {
    return kAll & ~(player1 | player2);
}

int CompactPosition::generateMoves(CompactMove* out) const {
    const Bits free = empty();
    const Bits own = figures(side);
    int n = 0;
    for (Bits targets = grow(own) & free; targets != 0; targets &= targets - 1) {
        const auto to = static_cast<uint8_t>(firstField(targets));
        out[n++] = {to, to};
    }
    for (Bits sources = own; sources != 0; sources &= sources - 1) {
        const int from = firstField(sources);
        for (Bits targets = kTables.jumpRing[from] & free; targets != 0; targets &= targets - 1) {
            out[n++] = {static_cast<uint8_t>(from), static_cast<uint8_t>(firstField(targets))};
        }
    }
    return n;
}

bool CompactPosition::hasMove(int player) const {
    return (grow(grow(figures(player))) & empty()) != 0;
}

bool CompactPosition::isLegal(CompactMove move) const {
    if (move.to >= kFields || move.from >= kFields || (empty() & bit(move.to)) == 0) {
        return false;
    }
    const Bits own = figures(side);
    if (move.isSplit()) {
        return (kTables.neighbours[move.to] & own) != 0;
    }
    return (own & bit(move.from)) != 0 && (kTables.jumpRing[move.from] & bit(move.to)) != 0;
}

int CompactPosition::conversions(CompactMove move) const {
    return popCount(kTables.neighbours[move.to] & figures(opponentOf(side)));
}

void CompactPosition::conversionsByField(std::array<uint8_t, kFields>& out) const {
    const std::array<Bits, 4> planes = neighbourCounts(figures(opponentOf(side)));
    const Bits free = empty();
    out.fill(0);
    for (size_t k = 0; k < planes.size(); ++k) {
        for (Bits b = planes[k] & free; b != 0; b &= b - 1) {
            out[static_cast<size_t>(firstField(b))] |= static_cast<uint8_t>(1 << k);
        }
    }
}

void CompactPosition::play(CompactMove move) {
    const int opponent = opponentOf(side);
    Bits& own = figures(side);
    Bits& other = figures(opponent);
    own |= bit(move.to);
    hash ^= fieldKey(move.to, side);
    if (!move.isSplit()) {
        own &= ~bit(move.from);
        hash ^= fieldKey(move.from, side);
    }
    const Bits converted = kTables.neighbours[move.to] & other;
    other ^= converted;
    own |= converted;
    for (Bits rest = converted; rest != 0; rest &= rest - 1) {
        hash ^= swapKey(firstField(rest));
    }
    side = opponent;
    hash ^= kTables.keys[kSideKey];
}

int CompactPosition::winner() const {
    const int count1 = popCount(player1);
    const int count2 = popCount(player2);
    if (count1 == 0 && count2 == 0) {
        return 0;
    }
    if (empty() == 0) {
        return count1 > count2 ? 1 : 2;
    }
    if (count1 == 0) {
        return 2;
    }
    if (count2 == 0) {
        return 1;
    }
    // Player 1 is asked first, whoever is to move, as the board does.
    if (!hasMove(1)) {
        return 2;
    }
    if (!hasMove(2)) {
        return 1;
    }
    return 0;
}

int CompactPosition::reach(int player) const {
    return popCount(grow(figures(player)) & empty());
}

CompactPosition::Bits CompactPosition::grown(Bits set) {
    return grow(set);
}

std::array<CompactPosition::Bits, 4> CompactPosition::neighbourCounts(Bits set) {
    std::array<Bits, 4> planes{};
    // One ripple-carry add per direction into the four count planes.
    const auto add = [&planes](Bits term) {
        for (Bits& plane : planes) {
            const Bits carry = plane & term;
            plane ^= term;
            term = carry;
        }
    };
    const Bits east = (set << 1) & kNotFirstColumn;
    const Bits west = (set >> 1) & kNotLastColumn;
    for (const Bits line : {east, west}) {
        add(line);
        add((line << kSide) & kAll);
        add(line >> kSide);
    }
    add((set << kSide) & kAll);
    add(set >> kSide);
    return planes;
}

CompactPosition::Bits CompactPosition::border() {
    return row(0) | row(kSide - 1) | column(0) | column(kSide - 1);
}
