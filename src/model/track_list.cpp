#include "model/track_list.h"

#include "app/log.h"

namespace vyr {

std::int16_t TrackList::AddTrack(std::unique_ptr<Track>& track) {
    if (count >= kSlots) {
        notFull = 0;
        return 0;
    }
    const int slot = count + 1;
    if (slots_[slot] && track) track->CopyBlockFrom(*slots_[slot]);
    slots_[slot] = std::move(track);
    ++count;
    cursor = static_cast<std::uint16_t>(slot);
    return 1;
}

std::int16_t TrackList::SetTrack(int slot, std::unique_ptr<Track> track) {
    if (slot < 1 || slot > kSlots) return 1;
    if (!slots_[slot]) {
        slots_[slot] = std::move(track);
        return 1;
    }
    if (track.get() == slots_[slot].get()) {
        (void)track.release();  // the same object: it stays owned by the slot
        return 1;
    }
    if (track) track->CopyBlockFrom(*slots_[slot]);
    slots_[slot] = std::move(track);
    return 1;
}

Track* TrackList::GetTrack(int slot) const {
    if (slot < 1 || slot > kSlots) return nullptr;
    return slots_[slot].get();
}

Track* TrackList::NextTrack() {
    if (cursor >= kSlots) {
        cursor = kSlots;
        return nullptr;
    }
    ++cursor;
    return slots_[cursor].get();
}

void TrackList::DeleteTrackList() {
    if (count != 0 && !slots_[1]) {
        LogMessage("DeleteTrackList(): Track List is empty, but number of entries is not zero.");
        return;
    }
    for (auto& slot : slots_) slot.reset();
    cursor = 1;
    count = 0;
}

}  // namespace vyr
