#pragma once

#include <QList>
#include <cstdint>

// A run of word addresses moved in one frame: `entries` addresses of the
// list from `first` on, lying within `words` consecutive words from
// `address` on (more words than entries when a read bridges unused words).
struct BlockRun
{
    int first = 0;
    int entries = 0;
    int32_t address = 0;
    int words = 0;

    bool operator==(const BlockRun &o) const
    {
        return first == o.first && entries == o.entries && address == o.address && words == o.words;
    }
};

// Groups a list of word addresses, in its own order, into runs of ascending
// addresses, each at most `maxWords` words long, choosing the grouping that
// costs the fewest bytes on the wire. A read may take in unused words of a
// gap when that is cheaper than another frame; a write never does (it would
// overwrite them). With maxWords 1 every address is a run of its own: the
// word-by-word transfer of a controller without block commands.
QList<BlockRun> planRuns(const QList<int32_t> &addresses, bool reading, int maxWords);
