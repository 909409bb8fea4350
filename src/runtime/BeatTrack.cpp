#include "runtime/BeatTrack.hpp"

BeatTrack::BeatTrack(const BeatTable& table)
{
    reset(table);
}

void BeatTrack::reset(const BeatTable& table)
{
    beats.clear();
    beats.reserve(table.times.size());
    for (float time : table.times)
        beats.push_back(BeatEntry{time, true});
    clock = table.startClock;
}

int BeatTrack::poll(float dt)
{
    clock += dt;
    for (std::size_t index = 0; index < beats.size(); ++index)
    {
        BeatEntry& entry = beats[index];
        if (entry.pending && entry.time <= clock)
        {
            entry.pending = false;
            return static_cast<int>(index);
        }
    }
    return -1;
}
