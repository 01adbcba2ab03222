#include "agents/agent_index.hpp"

#include "agents/agent.hpp"
#include "core/vector_math.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr double cellSize = 256.0;     // px, about one planet across
constexpr double farthestCell = 1e12;  // cells from the origin; beyond, a position has no cell
constexpr float roundingSlack = 1.f;   // px added to every reach against float rounding
constexpr std::size_t fewestBuckets = 64;

float halfHitbox(const Agent& agent) {
    return std::max(std::fabs(agent.hitboxSize.x), std::fabs(agent.hitboxSize.y)) * 0.5f;
}

float distance(sf::Vector2f from, sf::Vector2f to) {
    return length(to - from);
}

bool inListOrder(const AgentIndex::Found& a, const AgentIndex::Found& b) {
    return a.order < b.order;
}
}  // namespace

AgentIndex::AgentIndex(const AgentList& list_) : list(list_) {}

bool AgentIndex::cellOf(sf::Vector2f at, Cell& cell) const {
    const double x = std::floor(static_cast<double>(at.x) / cellSize);
    const double y = std::floor(static_cast<double>(at.y) / cellSize);
    if (!(std::fabs(x) <= farthestCell && std::fabs(y) <= farthestCell)) return false;
    cell = {static_cast<std::int64_t>(x), static_cast<std::int64_t>(y)};
    return true;
}

std::size_t AgentIndex::bucketOf(const Cell& cell) const {
    const auto hx = static_cast<std::uint64_t>(cell.x) * 0x9E3779B97F4A7C15ull;
    const auto hy = static_cast<std::uint64_t>(cell.y) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<std::size_t>((hx ^ (hy >> 7) ^ hy) >> 20) & (buckets.size() - 1);
}

bool AgentIndex::isCurrent() const {
    return !stale && liveSlots == list.size();
}

void AgentIndex::growBuckets() {
    std::size_t wanted = fewestBuckets;
    while (wanted < 2 * list.size()) wanted *= 2;
    if (buckets.size() < wanted) buckets.resize(wanted);
}

void AgentIndex::rebuild() {
    growBuckets();
    for (std::vector<std::uint32_t>& bucket : buckets) bucket.clear();
    unplaced.clear();
    largestHalf = 0.f;
    anyPlaced = false;
    slots.assign(list.size(), Slot{});
    for (std::uint32_t i = 0; i < slots.size(); ++i) {
        slots[i].agent = list[i];
        list[i]->indexSlot = static_cast<int>(i);
        file(i);
    }
    liveSlots = static_cast<std::uint32_t>(slots.size());
    stale = false;
}

bool AgentIndex::cellOfAgent(const Agent& agent, Cell& cell) const {
    return std::isfinite(halfHitbox(agent)) && cellOf(agent.position, cell);
}

int AgentIndex::slotOf(const Agent* agent) const {
    const int slot = agent->indexSlot;
    if (slot < 0 || static_cast<std::size_t>(slot) >= slots.size() ||
        slots[static_cast<std::size_t>(slot)].agent != agent)
        return -1;
    return slot;
}

void AgentIndex::file(std::uint32_t slot) {
    Slot& s = slots[slot];
    const float half = halfHitbox(*s.agent);
    s.placed = cellOfAgent(*s.agent, s.cell);
    if (!s.placed) {
        unplaced.push_back(slot);
        return;
    }
    largestHalf = std::max(largestHalf, half);
    buckets[bucketOf(s.cell)].push_back(slot);
    if (!anyPlaced) lowest = highest = s.cell;
    lowest = {std::min(lowest.x, s.cell.x), std::min(lowest.y, s.cell.y)};
    highest = {std::max(highest.x, s.cell.x), std::max(highest.y, s.cell.y)};
    anyPlaced = true;
}

void AgentIndex::unfile(std::uint32_t slot) {
    std::vector<std::uint32_t>& from =
        slots[slot].placed ? buckets[bucketOf(slots[slot].cell)] : unplaced;
    const auto at = std::find(from.begin(), from.end(), slot);
    if (at == from.end()) return;
    *at = from.back();
    from.pop_back();
}

void AgentIndex::refresh() {
    if (stale || slots.size() != list.size()) {
        rebuild();
        return;
    }
    for (std::uint32_t i = 0; i < slots.size(); ++i) {
        if (slots[i].agent != list[i]) {
            rebuild();
            return;
        }
        moved(list[i]);
    }
}

void AgentIndex::moved(Agent* agent) {
    if (stale) return;
    const int slot = slotOf(agent);
    if (slot < 0) {
        stale = true;
        return;
    }
    const auto k = static_cast<std::uint32_t>(slot);
    const Slot& s = slots[k];
    Cell cell;
    if (s.placed && cellOfAgent(*agent, cell) && cell == s.cell) {
        largestHalf = std::max(largestHalf, halfHitbox(*agent));
        return;
    }
    unfile(k);
    file(k);
}

void AgentIndex::removed(Agent* agent) {
    const int slot = slotOf(agent);
    if (stale || slot < 0) {
        stale = true;
        return;
    }
    const auto k = static_cast<std::uint32_t>(slot);
    unfile(k);
    slots[k].agent = nullptr;
    slots[k].placed = false;
    liveSlots -= 1;
}

void AgentIndex::touching(const sf::FloatRect& area, std::vector<Found>& out) {
    out.clear();
    if (!isCurrent()) rebuild();
    const float reach = largestHalf + roundingSlack;
    const float left = std::min(area.left, area.left + area.width) - reach;
    const float right = std::max(area.left, area.left + area.width) + reach;
    const float top = std::min(area.top, area.top + area.height) - reach;
    const float bottom = std::max(area.top, area.top + area.height) + reach;
    Cell low, high;
    if (!cellOf({left, top}, low) || !cellOf({right, bottom}, high)) {
        collectAll(out);
        return;
    }
    collect(low, high, out);
}

void AgentIndex::collect(const Cell& from, const Cell& to, std::vector<Found>& out) {
    if (anyPlaced) {
        const Cell low{std::max(from.x, lowest.x), std::max(from.y, lowest.y)};
        const Cell high{std::min(to.x, highest.x), std::min(to.y, highest.y)};
        if (low.x <= high.x && low.y <= high.y) {
            const auto cells = static_cast<std::uint64_t>(high.x - low.x + 1) *
                               static_cast<std::uint64_t>(high.y - low.y + 1);
            // Past this many cells, reading the whole list is quicker than the cells.
            if (cells > slots.size()) {
                collectAll(out);
                return;
            }
            for (std::int64_t y = low.y; y <= high.y; ++y)
                for (std::int64_t x = low.x; x <= high.x; ++x) collectCell({x, y}, out);
        }
    }
    for (std::uint32_t slot : unplaced) out.push_back({slot, slots[slot].agent});
    std::sort(out.begin(), out.end(), inListOrder);
}

void AgentIndex::collectAll(std::vector<Found>& out) const {
    for (std::uint32_t i = 0; i < slots.size(); ++i)
        if (slots[i].agent != nullptr) out.push_back({i, slots[i].agent});
}

void AgentIndex::collectCell(const Cell& cell, std::vector<Found>& out) {
    for (std::uint32_t slot : buckets[bucketOf(cell)])
        if (slots[slot].cell == cell) out.push_back({slot, slots[slot].agent});
}

AgentIndex::Found AgentIndex::nearest(sf::Vector2f at, float farthest) {
    if (!isCurrent()) rebuild();
    Found best{static_cast<std::uint32_t>(-1), nullptr};
    float bestDistance = farthest;
    // A whole-list search keeps the first of equally near agents, so ties go to list order.
    const auto consider = [&](std::uint32_t slot) {
        const float d = distance(at, slots[slot].agent->position);
        if (d < bestDistance || (d == bestDistance && best.agent != nullptr && slot < best.order)) {
            bestDistance = d;
            best = {slot, slots[slot].agent};
        }
    };
    for (std::uint32_t slot : unplaced) consider(slot);
    Cell centre;
    if (!cellOf(at, centre)) {
        for (std::uint32_t i = 0; i < slots.size(); ++i)
            if (slots[i].placed) consider(i);
        return best;
    }
    if (!anyPlaced) return best;
    std::vector<Found>& ring = borrowBuffer();
    // Every cell of ring r + 1 and beyond lies at least r cells from `at`.
    for (std::int64_t r = 0;; ++r) {
        ring.clear();
        const Cell low{centre.x - r, centre.y - r};
        const Cell high{centre.x + r, centre.y + r};
        for (std::int64_t y = std::max(low.y, lowest.y); y <= std::min(high.y, highest.y); ++y)
            collectRingRow(low, high, y, ring);
        for (const Found& found : ring) consider(found.order);
        const bool coversAll =
            low.x <= lowest.x && low.y <= lowest.y && high.x >= highest.x && high.y >= highest.y;
        if (coversAll || static_cast<double>(r) * cellSize > bestDistance + roundingSlack) break;
    }
    returnBuffer();
    return best;
}

void AgentIndex::collectRingRow(const Cell& low, const Cell& high, std::int64_t y,
                                std::vector<Found>& out) {
    const std::int64_t first = std::max(low.x, lowest.x);
    const std::int64_t last = std::min(high.x, highest.x);
    if (y == low.y || y == high.y) {
        for (std::int64_t x = first; x <= last; ++x) collectCell({x, y}, out);
        return;
    }
    if (low.x >= first) collectCell({low.x, y}, out);
    if (high.x <= last && high.x != low.x) collectCell({high.x, y}, out);
}

std::size_t AgentIndex::placeOf(const Found& found) const {
    if (found.order < list.size() && list[found.order] == found.agent) return found.order;
    return static_cast<std::size_t>(std::find(list.begin(), list.end(), found.agent) -
                                    list.begin());
}

std::vector<AgentIndex::Found>& AgentIndex::borrowBuffer() {
    if (buffersLent == buffers.size()) buffers.emplace_back();
    return buffers[buffersLent++];
}

void AgentIndex::returnBuffer() {
    if (buffersLent > 0) buffersLent -= 1;
}
