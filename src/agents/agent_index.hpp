#pragma once

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

#include <cstdint>
#include <deque>
#include <vector>

class Agent;
struct AgentList;

// Where the agents of one list are, in square cells: answers "which agents could touch this
// rectangle" and "which agent is nearest" without visiting the rest of a grown world. Answers
// come in list order, so whoever walks them meets the agents as a walk of the whole list
// would. The index only reads the agents; it is kept current by refresh (after the list or
// its agents changed), moved (after one agent moved) and removed (before one is deleted).
class AgentIndex {
public:
    // An agent that may qualify, with its place in the list.
    struct Found {
        std::uint32_t order;
        Agent* agent;
    };

    explicit AgentIndex(const AgentList& list);

    // Files every agent of the list anew where it changed; starts over when the list did.
    void refresh();
    // Files one agent of the list again after it moved or changed its hitbox.
    void moved(Agent* agent);
    // Takes an agent out before the list loses it.
    void removed(Agent* agent);

    // Every agent whose hitbox could overlap `area`, in list order, into `out`.
    void touching(const sf::FloatRect& area, std::vector<Found>& out);
    // The agent whose centre is nearest to `at` and nearer than `farthest` (the first in
    // list order among equally near ones), or order -1 when there is none.
    Found nearest(sf::Vector2f at, float farthest);
    // The list's current place of a found agent.
    std::size_t placeOf(const Found& found) const;

    // A query buffer per nesting level, so that queries allocate nothing once warmed up.
    std::vector<Found>& borrowBuffer();
    void returnBuffer();

private:
    struct Cell {
        std::int64_t x = 0, y = 0;
        bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    };
    struct Slot {
        Agent* agent = nullptr;
        Cell cell;
        bool placed = false;  // false: its position has no cell (not finite or far beyond)
    };

    void rebuild();
    void file(std::uint32_t slot);
    void unfile(std::uint32_t slot);
    bool cellOf(sf::Vector2f at, Cell& cell) const;
    // The cell of the agent's place; false when it has none (not finite or far beyond).
    bool cellOfAgent(const Agent& agent, Cell& cell) const;
    // The agent's slot, or -1 when the index does not hold it there.
    int slotOf(const Agent* agent) const;
    std::size_t bucketOf(const Cell& cell) const;
    void growBuckets();
    bool isCurrent() const;
    // Collects the agents filed in the cells from `low` to `high`, in list order.
    void collect(const Cell& low, const Cell& high, std::vector<Found>& out);
    void collectAll(std::vector<Found>& out) const;
    void collectCell(const Cell& cell, std::vector<Found>& out);
    // The cells of row y on the square ring from `low` to `high` that may hold agents.
    void collectRingRow(const Cell& low, const Cell& high, std::int64_t y, std::vector<Found>& out);

    const AgentList& list;
    std::vector<Slot> slots;
    std::vector<std::vector<std::uint32_t>> buckets;
    std::vector<std::uint32_t> unplaced;
    std::uint32_t liveSlots = 0;
    float largestHalf = 0.f;  // px, the widest half-hitbox filed since the last rebuild
    Cell lowest, highest;     // the cells that hold agents lie between these
    bool anyPlaced = false;
    bool stale = true;
    std::deque<std::vector<Found>> buffers;  // a deque keeps lent buffers in place
    std::size_t buffersLent = 0;
};
