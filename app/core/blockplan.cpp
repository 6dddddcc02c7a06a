#include "blockplan.h"

#include <limits>
#include <vector>

namespace {

// Bytes on the wire, request and good reply, of one frame moving `words`
// words: a single word goes as a word command (12 bytes), a run as a block
// (8 + 3 bytes of frame, 2 a word).
long frameBytes(int words)
{
    return words == 1 ? 12 : 11 + 2L * words;
}

} // namespace

QList<BlockRun> planRuns(const QList<int32_t> &addresses, bool reading, int maxWords)
{
    const int n = static_cast<int>(addresses.size());
    // cost[k]: fewest bytes for the first k addresses; from[k]: where the last run starts
    std::vector<long> cost(static_cast<size_t>(n) + 1, std::numeric_limits<long>::max());
    std::vector<int> from(static_cast<size_t>(n) + 1, 0);
    cost[0] = 0;
    for (int end = 1; end <= n; ++end) {
        // runs addresses[start .. end-1], grown backwards while they stay a valid run
        for (int start = end - 1; start >= 0; --start) {
            if (start < end - 1) {
                const int32_t step = addresses[start + 1] - addresses[start];
                const bool next = step == 2;
                if (step <= 0 || step % 2 != 0 || (!reading && !next))
                    break;
            }
            const int64_t span = (static_cast<int64_t>(addresses[end - 1]) - addresses[start]) / 2 + 1;
            if (span > maxWords)
                break;
            const long total = cost[static_cast<size_t>(start)] + frameBytes(static_cast<int>(span));
            if (total < cost[static_cast<size_t>(end)]) {
                cost[static_cast<size_t>(end)] = total;
                from[static_cast<size_t>(end)] = start;
            }
        }
    }
    QList<BlockRun> runs;
    for (int end = n; end > 0; end = from[static_cast<size_t>(end)]) {
        const int start = from[static_cast<size_t>(end)];
        runs.prepend(BlockRun{start, end - start, addresses[start],
                              static_cast<int>((addresses[end - 1] - addresses[start]) / 2 + 1)});
    }
    return runs;
}
