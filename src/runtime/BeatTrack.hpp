#pragma once

#include <cstddef>
#include <vector>

/// A fixed list of beat times as a scene declares it: the times in list order (which need
/// not be rising) and the value the track's clock starts from.
struct BeatTable
{
    std::vector<float> times; ///< seconds from the scene's first frame, in list order
    float startClock = 0.0f;  ///< shifts the whole schedule against the scene's own time
};

/// One beat of a track: when it is due and whether it has still to fire.
struct BeatEntry
{
    float time = 0.0f;   ///< seconds on the track's clock
    bool pending = true; ///< true until the entry has fired
};

/// A beat schedule kept in a scene's private state. Each entry fires once, on the first poll
/// whose clock has reached its time; at most one entry fires per poll, so entries that fall
/// due together fire on consecutive frames.
struct BeatTrack
{
    std::vector<BeatEntry> beats; ///< the entries, in the table's list order
    float clock = 0.0f;           ///< seconds, advanced by every poll

    /// An empty track whose polls always answer -1.
    BeatTrack() = default;

    /// A track filled from table, as reset() does.
    explicit BeatTrack(const BeatTable& table);

    /// Refills the track from table: one pending entry per time, in list order, and the
    /// clock set to the table's start value. Entries of an earlier fill are dropped.
    void reset(const BeatTable& table);

    /// Advances the clock by dt, then fires the first entry in list order that is still
    /// pending and whose time is not after the clock: marks it fired and returns its index.
    /// Returns -1 when no entry is due (also for an empty track).
    int poll(float dt);

    /// Index of the last entry, the one that ends most scenes; -1 for an empty track.
    int lastIndex() const { return static_cast<int>(beats.size()) - 1; }
};
